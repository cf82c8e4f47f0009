// Undo and redo through the windows: the edit menu of the main window for
// every command, the unsaved mark and the close question across save, undo
// and redo, the battle editor's own history, and restoring z.dat.
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "app/commands.h"
#include "support/controls.h"
#include "support/sample_game.h"
#include "support/scripted_prompt.h"
#include "ui/battle/battle_editor_window.h"
#include "ui/main/main_window.h"
#include "ui/patcher/zdat_patcher_window.h"
#include "ui/qt_text.h"

using namespace tavrel;
using namespace tavrel::ui;
using namespace tavrel::ui::test;

namespace {

void OnModal(std::function<void(QWidget*)> act) {
  QTimer::singleShot(0, [act] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) qFatal("no modal window opened");
    act(modal);
  });
}

QStringList Items(QAbstractItemView* list) {
  QStringList lines;
  QAbstractItemModel* model = list->model();
  for (int k = 0; k < model->rowCount(); ++k) lines << model->data(model->index(k, 0)).toString();
  return lines;
}

QStringList Items(QComboBox* box) {
  QStringList items;
  for (int k = 0; k < box->count(); ++k) items << box->itemText(k);
  return items;
}

// What the window shows and what a save would write.
struct Seen {
  std::vector<std::vector<int16_t>> words;
  QStringList talk;
  QStringList events;
  QStringList lines;
  QStringList dialogueItems;
  int event = -1;
  int line = -1;
  bool operator==(const Seen&) const = default;
};

}  // namespace

class UndoTest : public QObject {
  Q_OBJECT

  struct Session {
    SampleGame game;
    ScriptedPrompt prompt;
    std::unique_ptr<MainWindow> window;

    Session() : game(GameCharset::Gbk, false) {
      if (!game.ok()) qFatal("sample game: %s", qPrintable(game.error));
      window = std::make_unique<MainWindow>(game.state);
      window->setGameDirectory(game.dir);
      Find<QAction>(*window, "mnu_readfile")->trigger();
      if (!game.state.loaded) qFatal("the sample game was not read");
      prompt.Clear();
    }
    ~Session() { game.state.modified = false; }
    MainWindow& w() { return *window; }
    EditorState& state() { return game.state; }
    QComboBox* events() { return Find<QComboBox>(w(), "Combokdef"); }
    QListView* lines() { return Find<QListView>(w(), "listkdef"); }
    QComboBox* talk() { return Find<QComboBox>(w(), "Combotalk"); }
    QAction* undo() { return Find<QAction>(w(), "mnu_undo"); }
    QAction* redo() { return Find<QAction>(w(), "mnu_redo"); }
    QString ui(int n) const { return Q(game.state.text().UiString(n)); }
    void choose(int line) { lines()->setCurrentIndex(lines()->model()->index(line, 0)); }
    int currentLine() { return lines()->currentIndex().isValid() ? lines()->currentIndex().row() : -1; }

    Seen seen() {
      Seen s;
      for (const KdefEvent& e : state().game.events.events) s.words.emplace_back(e.words.begin(), e.words.end());
      for (const TalkEntry& t : state().game.talk.entries) s.talk << Q(t.text.str());
      s.events = Items(events());
      s.lines = Items(lines());
      s.dialogueItems = Items(talk());
      s.event = events()->currentIndex();
      s.line = currentLine();
      return s;
    }
    // An event holding an instruction with parameter words that is not a
    // jump, chosen with that line.
    int chooseEditable(int from = 0) {
      for (int e = from; e < state().eventCount(); ++e) {
        events()->setCurrentIndex(e);
        const auto& list = state().game.events.events[size_t(e)].statements;
        for (size_t k = 0; k < list.size(); ++k)
          if (!list[k].islabel && list[k].DataNum >= 1 && list[k].isGoto == 0) {
            choose(int(k));
            return e;
          }
      }
      qFatal("no instruction with words");
    }
    // An event with a dialogue instruction, chosen with that line.
    void chooseDialogueInstruction() {
      for (int e = 0; e < state().eventCount(); ++e) {
        events()->setCurrentIndex(e);
        const auto& list = state().game.events.events[size_t(e)].statements;
        for (size_t k = 0; k < list.size(); ++k)
          if (!list[k].islabel && list[k].Id == 1 && list[k].DataNum >= 3) {
            choose(int(k));
            return;
          }
      }
      qFatal("no dialogue instruction");
    }
  };

 private slots:
  void theEditMenuIsVisibleAndNamesTheStep() {
    Session s;
    QMenu* menu = Find<QMenu>(s.w(), "mnu_history");
    QVERIFY(menu->menuAction()->isVisible());
    QCOMPARE(menu->title(), QString::fromUtf8("编辑"));
    QVERIFY(s.w().menuBar()->actions().contains(menu->menuAction()));
    const QList<QAction*> popUp = Find<QMenu>(s.w(), "mnu_edit")->actions();
    QVERIFY(popUp.contains(s.undo()) && popUp.contains(s.redo()));
    QVERIFY(!s.undo()->isEnabled());
    QVERIFY(!s.redo()->isEnabled());
    QCOMPARE(s.undo()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    QVERIFY(s.redo()->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Y)));
    QVERIFY(s.redo()->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)));

    s.chooseEditable();
    Click(s.w(), "cmddeletestatement");
    QCOMPARE(s.undo()->text(), QString::fromUtf8("撤销 删除指令"));
    QVERIFY(s.undo()->isEnabled());
    s.undo()->trigger();
    QCOMPARE(s.redo()->text(), QString::fromUtf8("重做 删除指令"));
    QCOMPARE(s.undo()->text(), QString::fromUtf8("撤销"));
    QVERIFY(!s.undo()->isEnabled());
  }

  // Every command: do it, undo it (the lists and tables are as before, the
  // step's event and line chosen), redo it (as after). At the end everything
  // is undone and saved: the files are byte for byte those read.
  void everyCommandUndoesAndRedoes() {
    Session s;
    const QByteArray files[] = {FileBytes(s.game.path("kdef.grp")), FileBytes(s.game.path("kdef.idx")),
                                FileBytes(s.game.path("talk.grp")), FileBytes(s.game.path("talk.idx"))};
    QTemporaryDir texts;
    const QString dialogueFile = texts.path() + "/dialogue.txt";
    const QString scripts = texts.path() + "/scripts";
    s.prompt.QueuePath(scripts);
    Find<QAction>(s.w(), "mnu_exportscript")->trigger();
    QVERIFY(QFile::exists(scripts));
    s.prompt.QueuePath(dialogueFile);
    Find<QAction>(s.w(), "mnu_exportdialogue")->trigger();
    QVERIFY(QFile::exists(dialogueFile));

    struct Kind {
      const char* name;
      int caption;
      std::function<void()> prepare;  // choosing, copying: no step
      std::function<void()> act;
    };
    int editable = -1;
    const std::vector<Kind> kinds = {
        {"add event", 20403, [] {}, [&] { Click(s.w(), "cmdinsertkdef"); }},
        {"delete the last event", 20404, [&] { s.events()->setCurrentIndex(s.state().eventCount() - 1); },
         [&] { Click(s.w(), "cmddeletekdef"); }},
        {"modify instruction", 20408,
         [&] {
           editable = s.chooseEditable();
           QListWidget* words = Find<QListWidget>(s.w(), "Liststatement");
           words->setCurrentRow(1);
           auto* word = Find<QLineEdit>(s.w(), "txtword");
           word->setText(QString::number(word->text().toInt() == 77 ? 78 : 77));
           Click(s.w(), "cmdmodifyword");
         },
         [&] { Click(s.w(), "cmdmodifystatement"); }},
        {"modify event", 20405, [] {}, [&] { Click(s.w(), "cmdmodifykdef"); }},
        {"insert instruction", 20409, [&] { s.chooseEditable(); },
         [&] {
           OnModal([](QWidget* dialog) {
             Find<QComboBox>(*dialog, "ComboStatment")->setCurrentIndex(3);
             Click(*dialog, "cmdok");
           });
           Click(s.w(), "cmdinsertstatement");
         }},
        {"delete instruction", 20410, [&] { s.chooseEditable(); }, [&] { Click(s.w(), "cmddeletestatement"); }},
        {"paste instructions", 20406,
         [&] {
           s.chooseEditable();
           Find<QAction>(s.w(), "mnu_copy")->trigger();
         },
         [&] { Find<QAction>(s.w(), "mnu_paste")->trigger(); }},
        {"paste whole event", 20407,
         [&] {
           const int from = s.chooseEditable();
           Find<QAction>(s.w(), "mnu_copyAll")->trigger();
           s.chooseEditable(from + 1);
         },
         [&] { Find<QAction>(s.w(), "mnu_pasteAll")->trigger(); }},
        {"add dialogue", 20412, [] {}, [&] { Click(s.w(), "cmdinserttalk"); }},
        {"modify dialogue", 20413,
         [&] {
           s.talk()->setCurrentIndex(1);
           Find<QLineEdit>(s.w(), "txttalk")->setText(QString::fromUtf8("新的话"));
         },
         [&] { Click(s.w(), "cmdmodifytalk"); }},
        {"delete the last dialogue", 20414, [&] { s.talk()->setCurrentIndex(s.talk()->count() - 1); },
         [&] { Click(s.w(), "cmddeletetalk"); }},
        {"dialogue instruction dialog", 20411, [&] { s.chooseDialogueInstruction(); },
         [&] {
           OnModal([](QWidget* dialog) {
             Find<QPlainTextEdit>(*dialog, "txttalk")->setPlainText(QString::fromUtf8("新对话*"));
             Find<QRadioButton>(*dialog, "Option2")->setChecked(true);
             Click(*dialog, "Comok");
           });
           Click(s.w(), "cmdwizard");
         }},
        {"replace a portrait", 20415,
         [&] {
           s.chooseDialogueInstruction();
           // The dialog's edit above may still be uncommitted here: committed first, or the window asks.
           Click(s.w(), "cmdmodifykdef");
         },
         [&] {
           const int from = s.state()
                                .game.events.events[size_t(s.events()->currentIndex())]
                                .statements[size_t(s.currentLine())]
                                .Word(1);
           OnModal([from](QWidget* dialog) {
             Find<QComboBox>(*dialog, "Combotalkman")->setCurrentIndex(from);
             Find<QComboBox>(*dialog, "Combotalkman2")->setCurrentIndex(from == 0 ? 1 : 0);
             Click(*dialog, "Comok");
             Click(*dialog, "Comcancel");
           });
           Find<QAction>(s.w(), "mnu_replacetalk")->trigger();
         }},
        {"import event scripts", 20416,
         [&] {
           s.chooseEditable();
           Click(s.w(), "cmddeletestatement");
           Click(s.w(), "cmdmodifykdef");
           s.prompt.QueuePath(scripts);
         },
         [&] { Find<QAction>(s.w(), "mnu_importscript")->trigger(); }},
        {"import dialogue", 20417,
         [&] {
           s.talk()->setCurrentIndex(2);
           Find<QLineEdit>(s.w(), "txttalk")->setText(QString::fromUtf8("另一句"));
           Click(s.w(), "cmdmodifytalk");
           s.prompt.QueuePath(dialogueFile);
         },
         [&] { Find<QAction>(s.w(), "mnu_importdialogue")->trigger(); }},
    };
    size_t steps = 0;
    for (const Kind& kind : kinds) {
      kind.prepare();
      steps = s.state().history.position();
      const Seen before = s.seen();
      kind.act();
      const Seen after = s.seen();
      QVERIFY2(after.words != before.words || after.talk != before.talk || after.lines != before.lines, kind.name);
      QVERIFY2(s.state().history.position() == steps + 1, kind.name);
      QCOMPARE(s.undo()->text(), s.ui(20400) + " " + s.ui(kind.caption));

      s.undo()->trigger();
      const Seen undone = s.seen();
      QVERIFY2(undone.words == before.words, kind.name);
      QVERIFY2(undone.talk == before.talk, kind.name);
      QVERIFY2(undone.dialogueItems == before.dialogueItems, kind.name);
      QVERIFY2(undone.events == before.events, kind.name);
      QCOMPARE(undone.event, before.event);
      QVERIFY2(undone.lines == before.lines, kind.name);
      QCOMPARE(undone.line, before.line);

      s.redo()->trigger();
      const Seen redone = s.seen();
      QVERIFY2(redone.words == after.words, kind.name);
      QVERIFY2(redone.talk == after.talk, kind.name);
      QVERIFY2(redone.dialogueItems == after.dialogueItems, kind.name);
      QCOMPARE(redone.event, before.event < s.state().eventCount() ? before.event : s.state().eventCount() - 1);
    }
    QVERIFY(editable >= 0);
    while (s.undo()->isEnabled()) s.undo()->trigger();
    QVERIFY(!s.state().modified);
    QVERIFY(!s.w().windowTitle().endsWith(" *"));
    QVERIFY(s.w().saveFiles());
    QCOMPARE(FileBytes(s.game.path("kdef.grp")), files[0]);
    QCOMPARE(FileBytes(s.game.path("kdef.idx")), files[1]);
    QCOMPARE(FileBytes(s.game.path("talk.grp")), files[2]);
    QCOMPARE(FileBytes(s.game.path("talk.idx")), files[3]);
  }

  // An item's count set to -30, the instruction and the event changed, both
  // undone: the word panel shows the count as it is again, and changing the
  // instruction then writes nothing back. Choosing another event empties the
  // panel, and coming back shows the words of the event chosen.
  void afterUndoTheWordPanelShowsTheStatementAsItIs() {
    Session s;
    int event = -1;
    int line = -1;
    for (int e = 0; e < s.state().eventCount() && event < 0; ++e) {
      s.events()->setCurrentIndex(e);
      const auto& list = s.state().game.events.events[size_t(e)].statements;
      for (size_t k = 0; k < list.size(); ++k)
        if (!list[k].islabel && list[k].Id == 32 && list[k].DataNum == 2 && list[k].Word(1) != -30) {
          event = e;
          line = int(k);
          break;
        }
    }
    QVERIFY2(event >= 0, "the sample game gives an item somewhere");
    s.choose(line);
    const Statement& shown = s.state().game.events.events[size_t(event)].statements[size_t(line)];
    const int16_t count = shown.Word(1);
    const std::vector<int16_t> words(s.state().game.events.events[size_t(event)].words.begin(),
                                     s.state().game.events.events[size_t(event)].words.end());
    const QStringList linesBefore = Items(s.lines());

    QListWidget* panel = Find<QListWidget>(s.w(), "Liststatement");
    auto* word = Find<QLineEdit>(s.w(), "txtword");
    QCOMPARE(panel->count(), 3);
    panel->setCurrentRow(2);
    QCOMPARE(word->text(), QString::number(count));
    word->setText("-30");
    Click(s.w(), "cmdmodifyword");
    Click(s.w(), "cmdmodifystatement");
    Click(s.w(), "cmdmodifykdef");
    QCOMPARE(s.state().game.events.events[size_t(event)].statements[size_t(line)].Word(1), int16_t(-30));

    s.undo()->trigger();  // change event
    s.undo()->trigger();  // change instruction
    QCOMPARE(s.events()->currentIndex(), event);
    QCOMPARE(s.currentLine(), line);
    QCOMPARE(Items(s.lines()), linesBefore);
    QCOMPARE(panel->count(), 3);
    QCOMPARE(panel->item(2)->text(), QString::number(count));
    QCOMPARE(panel->currentRow(), 2);  // the word chosen before stays chosen, with its value
    QCOMPARE(word->text(), QString::number(count));

    // Enter in the word box and "change instruction", as the user goes on.
    const size_t steps = s.state().history.position();
    QTest::keyClick(word, Qt::Key_Return);
    Click(s.w(), "cmdmodifystatement");
    QCOMPARE(s.state().game.events.events[size_t(event)].statements[size_t(line)].Word(1), count);
    QCOMPARE(Items(s.lines()), linesBefore);
    QCOMPARE(s.state().history.position(), steps);  // nothing changed: no step
    QVERIFY(std::equal(words.begin(), words.end(), s.state().game.events.events[size_t(event)].words.begin(),
                       s.state().game.events.events[size_t(event)].words.end()));

    // Redo both: the panel follows again.
    s.redo()->trigger();
    s.redo()->trigger();
    QCOMPARE(panel->item(2)->text(), QString("-30"));
    QCOMPARE(word->text(), QString("-30"));

    // Another event: the panel holds nothing of this one.
    const int other = event == 0 ? 1 : 0;
    s.events()->setCurrentIndex(other);
    QCOMPARE(s.currentLine(), -1);
    QCOMPARE(panel->count(), 0);
    QVERIFY(word->text().isEmpty());
  }

  void theUnsavedMarkAndTheCloseQuestionFollowTheHistory() {
    Session s;
    s.talk()->setCurrentIndex(1);
    Find<QLineEdit>(s.w(), "txttalk")->setText(QString::fromUtf8("一"));
    Click(s.w(), "cmdmodifytalk");
    QVERIFY(s.w().windowTitle().endsWith(" *"));
    QVERIFY(s.w().saveFiles());  // the save question is answered OK
    QVERIFY(!s.w().windowTitle().endsWith(" *"));
    Find<QLineEdit>(s.w(), "txttalk")->setText(QString::fromUtf8("二"));
    Click(s.w(), "cmdmodifytalk");
    QVERIFY(s.w().windowTitle().endsWith(" *"));

    s.undo()->trigger();  // back to the saved state: no mark, no question
    QVERIFY(!s.w().windowTitle().endsWith(" *"));
    s.prompt.Clear();
    QCloseEvent close;
    QApplication::sendEvent(&s.w(), &close);
    QVERIFY(close.isAccepted());
    QVERIFY(s.prompt.asked().empty());

    s.undo()->trigger();  // before the saved state
    QVERIFY(s.w().windowTitle().endsWith(" *"));
    s.redo()->trigger();
    QVERIFY(!s.w().windowTitle().endsWith(" *"));
    s.redo()->trigger();  // past it
    QVERIFY(s.w().windowTitle().endsWith(" *"));
    s.prompt.Clear();
    s.prompt.Queue(Answer::No);      // do not save
    s.prompt.Queue(Answer::Cancel);  // and keep the window
    QCloseEvent again;
    QApplication::sendEvent(&s.w(), &again);
    QVERIFY(!again.isAccepted());
    QCOMPARE(s.prompt.asked().size(), size_t(2));

    // Reading again starts an empty history.
    s.prompt.Clear();
    Find<QAction>(s.w(), "mnu_readfile")->trigger();
    QVERIFY(!s.undo()->isEnabled());
    QVERIFY(!s.redo()->isEnabled());
    QCOMPARE(s.state().history.size(), size_t(0));
  }

  void theBattleEditorKeepsAHistoryOfItsOwn() {
    SampleGame game;
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    BattleEditorWindow window(game.state);
    auto* battles = Find<QComboBox>(window, "Combowar");
    QVERIFY(battles->count() >= 2);
    const std::vector<BattleRecord> read = game.state.battles;
    auto* undo = Find<QPushButton>(window, "cmdundo");
    auto* redo = Find<QPushButton>(window, "cmdredo");
    QVERIFY(!undo->isEnabled());

    battles->setCurrentIndex(1);
    auto* name = Find<QLineEdit>(window, "txtwarname");
    name->setText("renamed");
    Click(window, "cmdedit");
    QCOMPARE(QString::fromStdString(game.state.battles[1].name), QString("renamed"));
    Click(window, "cmdaddwar");
    QCOMPARE(game.state.battles.size(), read.size() + 1);
    QCOMPARE(undo->text(),
             Q(game.state.text().UiString(Str::Undo)) + " " + Q(game.state.text().UiString(Str::StepAddBattle)));

    Click(window, "cmdundo");
    QCOMPARE(game.state.battles.size(), read.size());
    QCOMPARE(battles->count(), int(read.size()));
    Click(window, "cmdundo");
    QVERIFY(game.state.battles == read);
    QCOMPARE(battles->currentIndex(), 1);
    QVERIFY(!undo->isEnabled());
    Click(window, "cmdredo");
    QCOMPARE(QString::fromStdString(game.state.battles[1].name), QString("renamed"));
    QVERIFY(redo->isEnabled());
    // The main window's history does not hold the battle editor's steps.
    QCOMPARE(game.state.history.size(), size_t(0));
  }

  void zdatIsRestoredFromItsBackupAfterAsking() {
    SampleGame game;
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    const QString zdat = game.path("z.dat");
    const QByteArray original = FileBytes(zdat);
    QVERIFY(!original.isEmpty());
    ZdatPatcherWindow window(game.state);

    // Without a backup: the question, then the message naming the missing file.
    Click(window, "cmdrestore");
    QCOMPARE(prompt.asked().size(), size_t(2));
    QCOMPARE(prompt.asked()[0].text, Q(game.state.text().UiString(Str::RestoreZdatQuestion)));
    QVERIFY(prompt.asked()[1].text.contains("z.dat.bak"));
    QCOMPARE(FileBytes(zdat), original);

    {
      QFile bak(zdat + ".bak");
      QVERIFY(bak.open(QIODevice::WriteOnly));
      bak.write(original);
    }
    QByteArray changed = original;
    changed[0] = char(changed[0] ^ 0x5a);
    {
      QFile file(zdat);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(changed);
    }
    prompt.Clear();
    prompt.Queue(Answer::No);
    Click(window, "cmdrestore");
    QCOMPARE(FileBytes(zdat), changed);  // answered No: untouched

    prompt.Clear();
    Click(window, "cmdrestore");
    QCOMPARE(FileBytes(zdat), original);
    QCOMPARE(prompt.asked().back().text, Q(game.state.text().UiString(Str::ZdatRestored)));
    QCOMPARE(FileBytes(zdat + ".bak"), original);
  }
};

QTEST_MAIN(UndoTest)
#include "undo_test.moc"
