// Every text a window shows, in both charsets and in an English run, is made
// of numbered interface strings in that charset or language (plus numbers,
// punctuation and names from the game data); Qt's own buttons follow the
// interface's language. An English run shows no Chinese outside game text.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
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

#include "app/commands.h"
#include "app/guide.h"
#include "app/instruction_catalogue.h"
#include "script/attributes.h"
#include "support/sample_game.h"
#include "support/scripted_prompt.h"
#include "text/ui_strings.h"
#include "ui/battle/battle_editor_window.h"
#include "ui/battle/battle_messages.h"
#include "ui/battle/battlefield_window.h"
#include "ui/find/check_window.h"
#include "ui/find/find_window.h"
#include "ui/instructions/instruction_dialogs.h"
#include "ui/main/insert_statement_dialog.h"
#include "ui/main/main_window.h"
#include "ui/main/portrait_replace_window.h"
#include "ui/patcher/zdat_patcher_window.h"
#include "ui/pictures/portrait_window.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"
#include "ui/qt_translations.h"
#include "ui/scenes/scene_window.h"
#include "ui/shell/about_window.h"
#include "ui/shell/game_path_window.h"
#include "ui/shell/select_charset_window.h"

Q_DECLARE_METATYPE(tavrel::GameCharset)
Q_DECLARE_METATYPE(tavrel::InterfaceLanguage)

using namespace tavrel;
using namespace tavrel::ui;
using namespace tavrel::ui::test;

namespace {

// Judges a shown text against the table in one charset.
class TableTexts {
 public:
  TableTexts(const EditorState& state, bool tableAsItIs = false) : codec_(state.text()) {
    english_ = EnglishInterface();
    big5_ = !tableAsItIs && !english_ && codec_.charset() == GameCharset::Big5;
    for (const InterfaceString& s : InterfaceStrings()) {
      const QString text =
          tableAsItIs ? Q(std::string(InterfaceStringText(s.number))) : Q(std::string(codec_.UiText(s.number)));
      // A text's pieces lie between its places "{}" and its count groups
      // "[one|other]"; each form of a group is a piece of its own.
      static const QRegularExpression group(QStringLiteral(R"(\[([^\[\]{}|]*)\|([^\[\]{}|]*)\])"));
      QStringList pieces = text.split(QRegularExpression(QStringLiteral(R"(\{\}|)") + group.pattern()));
      for (auto m = group.globalMatch(text); m.hasNext();) {
        const QRegularExpressionMatch forms = m.next();
        pieces << forms.captured(1) << forms.captured(2);
      }
      for (const QString& piece : pieces)
        if (std::any_of(piece.begin(), piece.end(), [](QChar c) { return c.isLetter(); })) {
          pieces_.push_back(piece);
          // An action's tooltip is its text without the dots.
          if (piece.endsWith(QStringLiteral("..."))) pieces_.push_back(piece.chopped(3));
        }
    }
    // The instruction names' own table (kdefattr.dat, kdefattr-en.txt).
    for (const InstructionAttr& a : state.attributes)
      if (!a.name.empty()) pieces_.push_back(Q(a.name));
    std::sort(pieces_.begin(), pieces_.end(), [](const QString& a, const QString& b) { return a.size() > b.size(); });
    const NameTables& names = state.game.names;
    auto add = [this](const std::string& name) {
      for (char32_t c : Q(name).toUcs4()) dataCharacters_.insert(c);
      if (!name.empty()) gameTexts_.push_back(Q(name));
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
    for (const InstructionAttr& a : state.attributes)  // the instruction names' own table
      for (char32_t c : Q(a.name).toUcs4()) dataCharacters_.insert(c);
    // Paths, the game's file names (fight003, wdx002, the bare tile sets sdx,
    // smp, wdx, wmp) and numbers in hexadecimal, "(AA)", are data too.
    std::sort(gameTexts_.begin(), gameTexts_.end(),
              [](const QString& a, const QString& b) { return a.size() > b.size(); });
    paths_ = QRegularExpression(QStringLiteral(R"(/[\w.\-/]*)"));
    data_ = QRegularExpression(QStringLiteral(R"(\b[A-Za-z]+\d+(\.\w+)?\b|\b(?i:sdx|smp|wdx|wmp)\b|\([0-9A-Fa-f]+\))"));
  }

  // Empty when `text` passes; else why not.
  QString Problem(const QString& text) const {
    if (english_) {
      // Game text is shown as the game holds it; nothing else is Chinese.
      QString rest = text;
      rest.replace(paths_, QStringLiteral(" "));
      for (const QString& game : gameTexts_) rest.replace(game, QStringLiteral(" "));
      for (char32_t c : rest.toUcs4())
        if ((c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xFF00 && c <= 0xFFEF))
          return QStringLiteral("Chinese in an English run: ") + rest;
    }
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
  bool english_ = false;
  bool big5_ = false;
  std::vector<QString> gameTexts_;  // names, dialogue and battle names, longest first
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
    if (w->objectName() == QLatin1String("cboLanguage")) continue;      // each language in its own words
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
      for (int k = 0; k < header->count(); ++k) add(header->model()->headerData(k, header->orientation()).toString());
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
    QVERIFY2(problem.isEmpty(),
             qPrintable(where + QStringLiteral(": \"") + caption + QStringLiteral("\": ") + problem));
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
  void cleanup() { SetInterfaceLanguage(InterfaceLanguage::Chinese); }

  void everyWindow_data() {
    QTest::addColumn<GameCharset>("charset");
    QTest::addColumn<InterfaceLanguage>("language");
    QTest::newRow("GBK") << GameCharset::Gbk << InterfaceLanguage::Chinese;
    QTest::newRow("BIG5") << GameCharset::Big5 << InterfaceLanguage::Chinese;
    QTest::newRow("English GBK") << GameCharset::Gbk << InterfaceLanguage::English;
    QTest::newRow("English BIG5") << GameCharset::Big5 << InterfaceLanguage::English;
  }

  void everyWindow() {
    QFETCH(GameCharset, charset);
    QFETCH(InterfaceLanguage, language);
    SetInterfaceLanguage(language);
    SampleGame game(charset, false);
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    EditorState& state = game.state;
    {
      SelectCharsetWindow window(StartChoice{charset, language});
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
    for (int scene : {0, 3, 5}) {
      SceneWindow window(state, nullptr, scene);
      ExpectTableTexts(read, window, QStringLiteral("scene objects"));
    }
    {
      PortraitReplaceWindow window(state);
      ExpectTableTexts(read, window, QStringLiteral("portrait replace"));
    }
    {
      PortraitWindow window(state);
      ExpectTableTexts(read, window, QStringLiteral("portraits"));
    }
    {
      // A search for the event scene 5's object 12 starts: its object result.
      FindWindow window(state, [](int32_t& event) {
        event = -1;
        return std::vector<Statement>();
      });
      window.findReference(RefKind::Event, 110);
      for (int k = 0; k < 100 && window.searching(); ++k) QTest::qWait(10);
      QVERIFY(window.resultCount() > 0);
      ExpectTableTexts(read, window, QStringLiteral("find"));
    }
    {
      CheckWindow window(state);
      window.check();
      QVERIFY(window.report().errors > 0);
      ExpectTableTexts(read, window, QStringLiteral("check"));
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
    QFETCH(InterfaceLanguage, language);
    SetInterfaceLanguage(language);
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
      const std::vector<BattleValueProblem> problems{{1, BattleField::Map, 0, 99, 0, 25},
                                                     {1, BattleField::Enemies, 3, 400, -1, 319}};
      for (const QString& text :
           {WarStaReadMessage(state, WarStaContents{.battles = {}, .fileMissing = true, .ignoredBytes = 0}, {}),
            WarStaReadMessage(
                state,
                WarStaContents{.battles = {BlankBattle(), BlankBattle()}, .fileMissing = false, .ignoredBytes = 7},
                problems),
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

  // The insert dialog of an English run names every instruction in English,
  // over the lengths and jumps of kdefattr.dat.
  void insertDialogNamesInEnglish() {
    SetInterfaceLanguage(InterfaceLanguage::English);
    SampleGame game(GameCharset::Big5);
    QVERIFY2(game.ok(), qPrintable(game.error));
    InsertStatementDialog dialog(game.state, 1, 0);
    auto* choices = dialog.findChild<QComboBox*>("ComboStatment");
    QVERIFY(choices);
    QCOMPARE(choices->count(), 69);
    QCOMPARE(choices->itemText(0), QStringLiteral("0(0): empty statement"));
    QCOMPARE(choices->itemText(1), QStringLiteral("1(1): dialogue"));
    QCOMPARE(choices->itemText(4), QStringLiteral("4(4): use item?"));
    QCOMPARE(choices->itemText(60), QStringLiteral("60(3C): check scene, event position tile"));
    QCOMPARE(choices->itemText(68), QStringLiteral("-1: end of event"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Insert instruction"));
    // The core's messages are shown as they are, not through the traditional map.
    QCOMPARE(SaveFailedMessage(game.state, "x"), QStringLiteral("The battles were not saved: x"));
    QCOMPARE(CoreText(game.state, "战场 OK"), QString::fromUtf8("战场 OK"));
  }

  // The question before a save, through the prompt's message boxes: Qt's
  // standard buttons speak the charset's language.
  void standardButtonsFollowTheCharset_data() {
    QTest::addColumn<GameCharset>("charset");
    QTest::addColumn<QString>("ok");
    QTest::addColumn<QString>("cancel");
    QTest::addColumn<InterfaceLanguage>("language");
    QTest::newRow("GBK") << GameCharset::Gbk << QString::fromUtf8("确定") << QString::fromUtf8("取消")
                         << InterfaceLanguage::Chinese;
    QTest::newRow("BIG5") << GameCharset::Big5 << QString::fromUtf8("確定") << QString::fromUtf8("取消")
                          << InterfaceLanguage::Chinese;
    QTest::newRow("English BIG5") << GameCharset::Big5 << QStringLiteral("OK") << QStringLiteral("Cancel")
                                  << InterfaceLanguage::English;
  }

  void standardButtonsFollowTheCharset() {
    QFETCH(GameCharset, charset);
    QFETCH(InterfaceLanguage, language);
    SetInterfaceLanguage(language);
    QFETCH(QString, ok);
    QFETCH(QString, cancel);
    const QString missing = InstallQtTranslation(charset);
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("Qt's translation is not installed (package "
                                                          "qt6-translations-l10n): ") +
                                           missing));
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
