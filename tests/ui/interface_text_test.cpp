// Every text a window shows, in both charsets, is made of numbered interface
// strings in that charset (plus numbers, punctuation and names from the game
// data); Qt's own buttons follow the charset's language.
#include <QAbstractButton>
#include <QApplication>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <set>

#include "app/instruction_catalogue.h"
#include "app/commands.h"
#include "app/guide.h"
#include "script/attributes.h"
#include "ui/instructions/instruction_dialogs.h"
#include "support/sample_game.h"
#include "support/scripted_prompt.h"
#include "text/ui_strings.h"
#include "ui/battle/battle_messages.h"
#include "ui/battle/battle_editor_window.h"
#include "ui/battle/battlefield_window.h"
#include "ui/main/insert_statement_dialog.h"
#include "ui/main/main_window.h"
#include "ui/main/portrait_replace_window.h"
#include "ui/patcher/zdat_patcher_window.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"
#include "ui/qt_translations.h"
#include "ui/shell/about_window.h"
#include "ui/shell/game_path_window.h"
#include "ui/shell/select_charset_window.h"

Q_DECLARE_METATYPE(tavrel::GameCharset)

using namespace tavrel;
using namespace tavrel::ui;
using namespace tavrel::ui::test;

namespace {

// Judges a shown text against the table in one charset.
class TableTexts {
 public:
  TableTexts(const EditorState& state, bool tableAsItIs = false) : codec_(state.text()) {
    big5_ = !tableAsItIs && codec_.charset() == GameCharset::Big5;
    for (const InterfaceString& s : InterfaceStrings()) {
      const QString text = tableAsItIs ? Q(std::string(s.text)) : Q(std::string(codec_.UiText(s.number)));
      for (const QString& piece : text.split(QStringLiteral("{}")))
        if (std::any_of(piece.begin(), piece.end(), [](QChar c) { return c.isLetter(); })) {
          pieces_.push_back(piece);
          // An action's tooltip is its text without the dots.
          if (piece.endsWith(QStringLiteral("..."))) pieces_.push_back(piece.chopped(3));
        }
    }
    std::sort(pieces_.begin(), pieces_.end(), [](const QString& a, const QString& b) { return a.size() > b.size(); });
    const NameTables& names = state.game.names;
    auto add = [this](const std::string& name) {
      for (char32_t c : Q(name).toUcs4()) dataCharacters_.insert(c);
    };
    for (const auto& p : names.persons) add(p.name), add(p.secondName);
    for (const auto& i : names.items) add(i.name), add(i.secondName);
    for (const auto& s : names.scenes) add(s.name);
    for (const auto& s : names.skills) add(s.name);
    for (const BattleRecord& b : state.battles) add(b.name);
    for (const TalkEntry& t : state.game.talk.entries) {
      add(t.text.str());
      if (!t.text.empty()) talks_.push_back(Q(t.text.str()));
    }
    for (const InstructionAttr& a : state.attributes) add(a.name);  // the instruction names' own table
    // Paths, the game's file names (fight003, wdx002, the bare tile sets sdx,
    // smp, wdx, wmp) and numbers in hexadecimal, "(AA)", are data too.
    paths_ = QRegularExpression(QStringLiteral(R"(/[\w.\-/]*)"));
    data_ = QRegularExpression(QStringLiteral(R"(\b[A-Za-z]+\d+(\.\w+)?\b|\b(?i:sdx|smp|wdx|wmp)\b|\([0-9A-Fa-f]+\))"));
  }

  // Empty when `text` passes; else why not.
  QString Problem(const QString& text) const {
    if (big5_)
      for (char32_t c : text.toUcs4()) {
        const QString one = QString::fromUcs4(&c, 1);
        if (!dataCharacters_.count(c) && Q(codec_.MapToTraditional(U8(one))) != one)
          return QStringLiteral("simplified character ") + one;
      }
    QString rest = text;
    rest.replace(paths_, QStringLiteral(" "));
    for (const QString& talk : talks_) rest.replace(talk, QStringLiteral(" "));
    for (const QString& piece : pieces_) rest.replace(piece, QStringLiteral(" "));
    rest.replace(data_, QStringLiteral(" "));
    int letters = 0;
    for (char32_t c : rest.toUcs4()) {
      const bool ascii = c < 0x80 && QChar::isLetter(c);
      letters = ascii ? letters + 1 : 0;
      if (letters >= 2) return QStringLiteral("a word outside the table in: ") + rest;
      if (c >= 0x2E80 && QChar::isLetter(c) && !dataCharacters_.count(c))
        return QStringLiteral("a character outside the table in: ") + rest;
    }
    return {};
  }

 private:
  const TextCodec& codec_;
  bool big5_ = false;
  std::vector<QString> pieces_;
  std::set<char32_t> dataCharacters_;
  QRegularExpression paths_;
  std::vector<QString> talks_;  // dialogue texts, shown whole
  QRegularExpression data_;
};

// A button's or action's text as it is shown: "&&" is an "&", a single "&"
// marks the mnemonic and is not shown.
QString Shown(QString text) {
  text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  text.remove(u'&');
  return text.replace(u'\x01', u'&');
}

// Every caption of a window and its children: titles, labels, buttons, group
// boxes, menus and actions, tooltips, list entries and headers.
QStringList Captions(QWidget& window) {
  QStringList out;
  auto add = [&out](const QString& text) {
    if (!text.trimmed().isEmpty()) out << text;
  };
  auto addActions = [&add](const QList<QAction*>& actions) {
    for (QAction* action : actions) {
      add(Shown(action->text()));
      add(action->toolTip());
      if (action->menu()) add(Shown(action->menu()->title()));
    }
  };
  add(window.windowTitle());
  QList<QWidget*> widgets = window.findChildren<QWidget*>();
  widgets.prepend(&window);
  for (QWidget* w : widgets) {
    add(w->toolTip());
    addActions(w->actions());
    if (w->objectName() == QLatin1String("statusDirectory")) continue;  // the game directory's path
    if (auto* label = qobject_cast<QLabel*>(w)) add(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(w)) add(Shown(button->text()));
    if (auto* group = qobject_cast<QGroupBox*>(w)) add(Shown(group->title()));
    if (auto* edit = qobject_cast<QLineEdit*>(w)) add(edit->placeholderText());
    if (auto* combo = qobject_cast<QComboBox*>(w); combo && !combo->isEditable())
      for (int k = 0; k < combo->count(); ++k) add(combo->itemText(k));
    if (auto* list = qobject_cast<QListWidget*>(w))
      for (int k = 0; k < list->count(); ++k) add(list->item(k)->text());
    if (auto* tabs = qobject_cast<QTabWidget*>(w))
      for (int k = 0; k < tabs->count(); ++k) add(tabs->tabText(k));
    if (auto* header = qobject_cast<QHeaderView*>(w); header && header->model() && !header->isHidden())
      for (int k = 0; k < header->count(); ++k)
        add(header->model()->headerData(k, header->orientation()).toString());
    if (auto* bar = qobject_cast<QMenuBar*>(w)) addActions(bar->actions());
    if (auto* menu = qobject_cast<QMenu*>(w)) add(Shown(menu->title()));
    if (auto* status = qobject_cast<QStatusBar*>(w)) add(status->currentMessage());
  }
  return out;
}

// Fails the running test for every caption of `window` outside the table.
void ExpectTableTexts(const TableTexts& table, QWidget& window, const QString& where) {
  for (const QString& caption : Captions(window)) {
    const QString problem = table.Problem(caption);
    QVERIFY2(problem.isEmpty(), qPrintable(where + QStringLiteral(": \"") + caption + QStringLiteral("\": ") + problem));
  }
}

void ExpectTableMessages(const TableTexts& table, const ScriptedPrompt& prompt, const QString& where) {
  QVERIFY2(!prompt.asked().empty(), qPrintable(where + QStringLiteral(": no message")));
  for (const Asked& asked : prompt.asked())
    for (const QString& text : {asked.title, asked.text}) {
      const QString problem = table.Problem(text);
      QVERIFY2(problem.isEmpty(), qPrintable(where + QStringLiteral(": \"") + text + QStringLiteral("\": ") + problem));
    }
}


int16_t OpcodeOf(std::string_view form) {
  for (int op = 0; op < kOpcodeCount; ++op)
    if (GuideFor(int16_t(op)).form == form) return int16_t(op);
  return -1;
}

// The first statement of kind `opcode` (event, line); when none has it, one
// is inserted at the top of event 1.
std::pair<int, int> FirstOf(EditorState& state, int16_t opcode) {
  for (int e = 0; e < state.eventCount(); ++e) {
    ShowEventLines(state, e);
    const auto& list = state.game.events.events[size_t(e)].statements;
    for (size_t k = 0; k < list.size(); ++k)
      if (!list[k].islabel && list[k].Id == opcode) return {e, int(k)};
  }
  ShowEventLines(state, 1);
  InsertInstruction(state, 1, 0, opcode, true);
  return {1, 0};
}

}  // namespace

class InterfaceTextTest : public QObject {
  Q_OBJECT

 private slots:
  void everyWindow_data() {
    QTest::addColumn<GameCharset>("charset");
    QTest::newRow("GBK") << GameCharset::Gbk;
    QTest::newRow("BIG5") << GameCharset::Big5;
  }

  void everyWindow() {
    QFETCH(GameCharset, charset);
    SampleGame game(charset, false);
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    EditorState& state = game.state;
    {
      SelectCharsetWindow window;
      ExpectTableTexts(TableTexts(state, true), window, QStringLiteral("charset window"));
    }
    MainWindow main(state);
    main.setGameDirectory(game.dir);
    QVERIFY(main.readFiles());
    QVERIFY2(state.game.names.persons.size() > 1, "names read");
    const TableTexts read(state);
    main.show();
    ExpectTableTexts(read, main, QStringLiteral("main window"));

    {
      GamePathWindow window(state);
      ExpectTableTexts(read, window, QStringLiteral("game path"));
      state.gameDirectory = U8(game.dir);
    }
    {
      AboutWindow window(state);
      ExpectTableTexts(read, window, QStringLiteral("about"));
      // The about box names the version the title gives.
      const QString version = window.findChild<QLabel*>("lblVersion")->text();
      QVERIFY2(Ui(state, Str::EditorTitle).contains(version), qPrintable(version));
    }
    {
      InsertStatementDialog dialog(state, 1, 0);
      ExpectTableTexts(read, dialog, QStringLiteral("insert instruction"));
    }
    for (std::string_view form : CatalogueForms()) {
      const std::span<const CatalogueRow> rows = DialogRows(form);
      const int16_t opcode = OpcodeOf(form);
      QVERIFY(opcode >= 0 && !rows.empty());
      const auto where = FirstOf(state, opcode);
      auto dialog = MakeInstructionDialog(form, state, where.first, where.second, nullptr);
      QVERIFY2(dialog, form.data());
      ExpectTableTexts(read, *dialog, Q(std::string(form)));
    }
    {
      ZdatPatcherWindow window(state);
      ExpectTableTexts(read, window, QStringLiteral("patcher"));
    }
    {
      PortraitReplaceWindow window(state);
      ExpectTableTexts(read, window, QStringLiteral("portrait replace"));
    }
    {
      BattleEditorWindow editor(state);
      if (auto* battles = editor.findChild<QComboBox*>("Combowar"); battles->count() > 3) battles->setCurrentIndex(3);
      const TableTexts withBattles(state);  // the battles are read when the editor opens
      ExpectTableTexts(withBattles, editor, QStringLiteral("battle editor"));
      BattlefieldWindow view(state, editor.chosenBattle(), editor.mapText());
      ExpectTableTexts(withBattles, view, QStringLiteral("battle map"));
    }
    QVERIFY2(prompt.asked().empty(), qPrintable(prompt.asked().empty() ? QString() : prompt.asked().front().text));
    state.modified = false;
  }

  // The reports of damaged and missing files, as the windows show them.
  void everyReport_data() { everyWindow_data(); }

  void everyReport() {
    QFETCH(GameCharset, charset);
    SampleGame game(charset);
    QVERIFY2(game.ok(), qPrintable(game.error));
    EditorState& state = game.state;
    SetDefaultTitle(Ui(state, Str::EditorTitle));
    const TableTexts table(state);
    {
      ScriptedPrompt prompt;
      QVERIFY(QFile::remove(game.path("z.dat")));
      ZdatPatcherWindow window(state);
      QTest::mouseClick(window.findChild<QPushButton*>("cmdok"), Qt::LeftButton);
      ExpectTableMessages(table, prompt, QStringLiteral("patcher without z.dat"));
    }
    {
      ScriptedPrompt prompt;
      QVERIFY(QFile::remove(game.path("war.sta")));
      BattleEditorWindow editor(state);
      QTest::mouseClick(editor.findChild<QPushButton*>("cmddelwar"), Qt::LeftButton);
      ExpectTableTexts(table, editor, QStringLiteral("battle editor without war.sta"));
      for (const QString& text : {WarStaReadMessage(state, WarStaContents{.battles = {}, .fileMissing = true, .ignoredBytes = 0}),
                                  OnlyBattleLeftMessage(state), MapNumberNotNumberMessage(state, "12a"),
                                  MapNumberOutOfRangeMessage(state, 999), GroundMissingMessage(state, 3),
                                  MarkerMissingMessage(state, QStringLiteral("wdx")), BattlefieldShortMessage(state, 2, 10)})
        QVERIFY2(table.Problem(text).isEmpty(), qPrintable(text + table.Problem(text)));
    }
    {
      // The core's own messages: a read with preview files missing, then one
      // without the event data.
      for (const char* name : {"hdgrp.idx", "r1.grp", "mmap.col"}) QVERIFY(QFile::remove(game.path(name)));
      const Result<GameReadReport> partial = ReadGameFiles(state);
      QVERIFY2(partial.ok(), partial.ok() ? "" : partial.error().c_str());
      const QString warnings = CoreText(state, ReadWarningsMessage(*partial));
      QVERIFY(!warnings.isEmpty());
      QVERIFY2(table.Problem(warnings).isEmpty(), qPrintable(warnings + table.Problem(warnings)));
      QVERIFY(QFile::remove(game.path("kdef.grp")));
      const Result<GameReadReport> failed = ReadGameFiles(state);
      QVERIFY(!failed.ok());
      const QString error = CoreText(state, failed.error());
      QVERIFY2(table.Problem(error).isEmpty(), qPrintable(error + table.Problem(error)));
    }
  }

  // The battle windows' own texts follow the charset: simplified in a "GBK"
  // run, traditional in a "BIG5" run.
  void battleMessagesFollowTheCharset() {
    SampleGame gbk(GameCharset::Gbk, false);
    SampleGame big5(GameCharset::Big5, false);
    QVERIFY2(gbk.ok() && big5.ok(), qPrintable(gbk.error + big5.error));
    QCOMPARE(SaveFailedMessage(gbk.state, "x"), QString::fromUtf8("战斗场景文件没有保存：x"));
    QCOMPARE(SaveFailedMessage(big5.state, "x"), QString::fromUtf8("戰鬥場景文件沒有保存：x"));
    QCOMPARE(OnlyBattleLeftMessage(gbk.state), QString::fromUtf8("只剩一个战斗，不能删除。"));
    QCOMPARE(OnlyBattleLeftMessage(big5.state), QString::fromUtf8("只剩一個戰鬥，不能刪除。"));
    // A core message is shown in the charset too.
    QCOMPARE(CoreText(gbk.state, "战场"), QString::fromUtf8("战场"));
    QCOMPARE(CoreText(big5.state, "战场"), QString::fromUtf8("戰場"));
  }

  // The question before a save, through the prompt's message boxes: Qt's
  // standard buttons speak the charset's language.
  void standardButtonsFollowTheCharset_data() {
    QTest::addColumn<GameCharset>("charset");
    QTest::addColumn<QString>("ok");
    QTest::addColumn<QString>("cancel");
    QTest::newRow("GBK") << GameCharset::Gbk << QString::fromUtf8("确定") << QString::fromUtf8("取消");
    QTest::newRow("BIG5") << GameCharset::Big5 << QString::fromUtf8("確定") << QString::fromUtf8("取消");
  }

  void standardButtonsFollowTheCharset() {
    QFETCH(GameCharset, charset);
    QFETCH(QString, ok);
    QFETCH(QString, cancel);
    const QString missing = InstallQtTranslation(charset);
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("Qt's translation is not installed (package "
                                                          "qt6-translations-l10n): ") + missing));
    SetPrompt(nullptr);
    QString okText, cancelText;
    bool seen = false;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      seen = true;
      okText = box->button(QMessageBox::Ok)->text();
      cancelText = box->button(QMessageBox::Cancel)->text();
      box->button(QMessageBox::Cancel)->click();
    });
    QVERIFY(!AskOkCancel(nullptr, QStringLiteral("?"), QString::fromLatin1(CharsetName(charset))));
    QVERIFY(seen);
    QVERIFY2(okText.contains(ok), qPrintable(okText));
    QVERIFY2(cancelText.contains(cancel), qPrintable(cancelText));
  }
};

QTEST_MAIN(InterfaceTextTest)
#include "interface_text_test.moc"
