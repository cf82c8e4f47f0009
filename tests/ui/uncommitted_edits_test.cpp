// Instruction edits not yet committed into the event's words ("change event")
// are never dropped without a word: choosing another event, reading, saving
// and closing ask whether to commit them, drop them or stay, and the history
// records what was answered.
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "app/commands.h"
#include "script/encode.h"
#include "support/controls.h"
#include "support/sample_game.h"
#include "support/scripted_prompt.h"
#include "ui/main/main_window.h"
#include "ui/qt_text.h"

using namespace tavrel;
using namespace tavrel::ui;
using namespace tavrel::ui::test;

namespace {

QStringList Items(QAbstractItemView* list) {
  QStringList lines;
  QAbstractItemModel* model = list->model();
  for (int k = 0; k < model->rowCount(); ++k) lines << model->data(model->index(k, 0)).toString();
  return lines;
}

enum class Situation { ChooseEvent, Read, Save, Close };

}  // namespace

Q_DECLARE_METATYPE(Situation)
Q_DECLARE_METATYPE(tavrel::ui::Answer)

class UncommittedEditsTest : public QObject {
  Q_OBJECT

  // The sample game read through the window, with an event of labels chosen
  // and one of its instructions edited and changed, not committed.
  struct Session {
    SampleGame game;
    ScriptedPrompt prompt;
    std::unique_ptr<MainWindow> window;
    int event = -1;
    int line = -1;
    int16_t before = 0;  // the edited word as read
    int16_t edited = 0;
    std::vector<int16_t> words;  // the event's words as read
    QStringList linesBefore;     // its lines as first shown
    QStringList linesEdited;     // and after the edit

    Session() : game(GameCharset::Gbk, false) {
      if (!game.ok()) qFatal("sample game: %s", qPrintable(game.error));
      window = std::make_unique<MainWindow>(game.state);
      window->setGameDirectory(game.dir);
      Find<QAction>(*window, "mnu_readfile")->trigger();
      if (!game.state.loaded) qFatal("the sample game was not read");
      for (int e = 1; e < state().eventCount() && event < 0; ++e) {
        events()->setCurrentIndex(e);
        const std::vector<Statement>& list = statements(e);
        bool labels = false;
        for (const Statement& s : list) labels = labels || s.islabel;
        for (size_t k = 0; labels && k < list.size(); ++k)
          if (!list[k].islabel && list[k].isGoto == 0 && list[k].DataNum >= 1 && list[k].Id > 0) {
            event = e;
            line = int(k);
            break;
          }
      }
      if (event < 0) qFatal("no event with labels and an instruction with words");
      const KdefEvent& e = state().game.events.events[size_t(event)];
      words.assign(e.words.begin(), e.words.end());
      linesBefore = Items(lines());
      if (!linesBefore.contains(":Label0")) qFatal("the chosen event shows no :Label0");
      lines()->setCurrentIndex(lines()->model()->index(line, 0));
      before = statements(event)[size_t(line)].Word(0);
      edited = int16_t(before == 7 ? 8 : 7);
      auto* panel = Find<QListWidget>(w(), "Liststatement");
      panel->setCurrentRow(1);
      Find<QLineEdit>(w(), "txtword")->setText(QString::number(edited));
      Click(w(), "cmdmodifyword");
      Click(w(), "cmdmodifystatement");
      linesEdited = Items(lines());
      if (!HasUncommittedEdits(state(), event)) qFatal("the edit is not uncommitted");
      prompt.Clear();
    }
    ~Session() { game.state.modified = false; }
    MainWindow& w() { return *window; }
    EditorState& state() { return game.state; }
    const std::vector<Statement>& statements(int e) { return state().game.events.events[size_t(e)].statements; }
    QComboBox* events() { return Find<QComboBox>(w(), "Combokdef"); }
    QListView* lines() { return Find<QListView>(w(), "listkdef"); }
    QAction* undo() { return Find<QAction>(w(), "mnu_undo"); }
    QString ui(int n) const { return Q(game.state.text().UiString(n)); }
    int other() const { return event == 1 ? 2 : 1; }
    std::vector<int16_t> wordsNow() const {
      const KdefEvent& e = game.state.game.events.events[size_t(event)];
      return {e.words.begin(), e.words.end()};
    }
    std::vector<int16_t> wordsCommitted() const {
      std::vector<int16_t> w = words;
      // The edited word: the first data word of the statement at `line`.
      size_t at = 0;
      for (int k = 0; k < line; ++k)
        at += size_t(game.state.game.events.events[size_t(event)].statements[size_t(k)].EncodedLength());
      w[at + 1] = edited;
      return w;
    }
    // The question asked first, with its captions.
    void verifyQuestion() {
      QVERIFY(!prompt.asked().empty());
      QCOMPARE(prompt.asked()[0].buttons, Buttons::YesNoCancel);
      QCOMPARE(prompt.asked()[0].text,
               UiFormat(game.state, Str::UncommittedEditsQuestion, event, ui(Str::ModifyEvent)));
      QCOMPARE(prompt.captions().size(), size_t(1));
      QCOMPARE(prompt.captions()[0], (QStringList{ui(Str::CommitEdits), ui(Str::DiscardEdits), ui(Str::Cancel)}));
    }
    // Acts out the situation; returns whether a close was accepted.
    bool act(Situation situation) {
      switch (situation) {
        case Situation::ChooseEvent:
          events()->setCurrentIndex(other());
          return true;
        case Situation::Read:
          Find<QAction>(w(), "mnu_readfile")->trigger();
          return true;
        case Situation::Save:
          Find<QAction>(w(), "mnu_Savefile")->trigger();
          return true;
        case Situation::Close: {
          QCloseEvent close;
          QApplication::sendEvent(&w(), &close);
          return close.isAccepted();
        }
      }
      return false;
    }
  };

 private slots:
  void choosingWithoutEditsAsksNothing() {
    SampleGame game(GameCharset::Gbk, false);
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    MainWindow window(game.state);
    window.setGameDirectory(game.dir);
    QVERIFY(window.readFiles());
    auto* events = Find<QComboBox>(window, "Combokdef");
    for (int e : {3, 8, 3, 24}) events->setCurrentIndex(e);
    QVERIFY(prompt.asked().empty());
    QCOMPARE(game.state.history.size(), size_t(0));
  }

  void everyAnswerInEverySituation_data() {
    QTest::addColumn<Situation>("situation");
    QTest::addColumn<Answer>("answer");
    const std::pair<const char*, Situation> situations[] = {{"choose", Situation::ChooseEvent},
                                                            {"read", Situation::Read},
                                                            {"save", Situation::Save},
                                                            {"close", Situation::Close}};
    const std::pair<const char*, Answer> answers[] = {
        {"commit", Answer::Yes}, {"discard", Answer::No}, {"cancel", Answer::Cancel}};
    for (const auto& [where, situation] : situations)
      for (const auto& [what, answer] : answers)
        QTest::newRow(qPrintable(QString("%1, %2").arg(where, what))) << situation << answer;
  }

  void everyAnswerInEverySituation() {
    QFETCH(Situation, situation);
    QFETCH(Answer, answer);
    Session s;
    const QByteArray grp = FileBytes(s.game.path("kdef.grp"));
    const size_t steps = s.state().history.position();
    s.prompt.Queue(answer);  // later questions (save? go on?) are answered Yes and OK
    const bool accepted = s.act(situation);
    s.verifyQuestion();
    if (QTest::currentTestFailed()) return;
    const bool read = situation == Situation::Read && answer != Answer::Cancel;

    switch (answer) {
      case Answer::Yes: {
        // Committed as "change event" does it; read, save and close go on
        // with the save question, answered Yes: the file holds the edit.
        if (!read) {
          QCOMPARE(s.wordsNow(), s.wordsCommitted());
          QCOMPARE(s.undo()->text(), s.ui(Str::Undo) + " " + s.ui(Str::StepModifyEvent));
          QCOMPARE(s.state().history.position(), steps + 1);
        } else {
          QCOMPARE(s.wordsNow(), s.wordsCommitted());  // saved before reading, then read back
          QCOMPARE(s.state().history.size(), size_t(0));
        }
        if (situation != Situation::ChooseEvent) QVERIFY(FileBytes(s.game.path("kdef.grp")) != grp);
        QVERIFY(accepted);
        break;
      }
      case Answer::No: {
        // Dropped: the words are as read, the lines as first shown (the same
        // label numbers), and the step says so.
        QCOMPARE(s.wordsNow(), s.words);
        QCOMPARE(FileBytes(s.game.path("kdef.grp")), grp);
        QVERIFY(accepted);
        if (read) {
          QCOMPARE(s.state().history.size(), size_t(0));
          break;
        }
        QVERIFY(!HasUncommittedEdits(s.state(), s.event));
        QCOMPARE(s.undo()->text(), s.ui(Str::Undo) + " " + s.ui(Str::StepDiscardEdits));
        QCOMPARE(s.state().history.position(), steps + 1);
        QVERIFY(!s.state().modified);
        if (situation == Situation::Close) break;
        if (situation == Situation::ChooseEvent) {
          QCOMPARE(s.events()->currentIndex(), s.other());
          s.prompt.Clear();
          s.events()->setCurrentIndex(s.event);  // coming back
          QVERIFY(s.prompt.asked().empty());
        }
        QCOMPARE(s.events()->currentIndex(), s.event);
        QCOMPARE(Items(s.lines()), s.linesBefore);
        // Undo brings the edit back, shown.
        s.undo()->trigger();
        QCOMPARE(s.events()->currentIndex(), s.event);
        QCOMPARE(Items(s.lines()), s.linesEdited);
        QVERIFY(HasUncommittedEdits(s.state(), s.event));
        QCOMPARE(s.state().history.position(), steps);
        break;
      }
      default: {
        // Cancelled: nothing happened; the edited event stays chosen.
        QCOMPARE(s.prompt.asked().size(), size_t(1));
        QCOMPARE(s.events()->currentIndex(), s.event);
        QCOMPARE(Items(s.lines()), s.linesEdited);
        QVERIFY(HasUncommittedEdits(s.state(), s.event));
        QCOMPARE(s.state().history.position(), steps);
        QCOMPARE(s.undo()->text(), s.ui(Str::Undo) + " " + s.ui(Str::StepModifyInstruction));
        QCOMPARE(FileBytes(s.game.path("kdef.grp")), grp);
        QCOMPARE(accepted, situation != Situation::Close);
        QCOMPARE(s.wordsNow(), s.words);
        break;
      }
    }
  }

  // Choosing the same event again is a choice too: dropping its edits is
  // asked first, and after cancel they are still there.
  void choosingTheShownEventAgainAsks() {
    Session s;
    s.prompt.Queue(Answer::Cancel);
    QCoreApplication::processEvents();  // the change that chose it is over
    emit s.events()->activated(s.event);
    QCOMPARE(s.prompt.asked().size(), size_t(1));
    QCOMPARE(Items(s.lines()), s.linesEdited);
    s.prompt.Clear();
    s.prompt.Queue(Answer::No);
    QCoreApplication::processEvents();  // the change that chose it is over
    emit s.events()->activated(s.event);
    QCOMPARE(s.prompt.asked().size(), size_t(1));
    QCOMPARE(Items(s.lines()), s.linesBefore);
    QVERIFY(!HasUncommittedEdits(s.state(), s.event));
  }

  // A result of the find window in another event: after cancel the shown
  // event and its line stay.
  void showingAPlaceElsewhereAsksToo() {
    Session s;
    s.prompt.Queue(Answer::Cancel);
    s.w().showPlace(Place{PlaceKind::EventLine, s.other(), 0});
    QCOMPARE(s.events()->currentIndex(), s.event);
    QCOMPARE(s.lines()->currentIndex().row(), s.line);
    QCOMPARE(Items(s.lines()), s.linesEdited);
  }
};

QTEST_MAIN(UncommittedEditsTest)
#include "uncommitted_edits_test.moc"
