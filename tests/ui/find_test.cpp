// The find window, F3 and Shift+F3, "where used" beside the dialogue
// selector and in the battle editor, the delete question's count and the
// check window, driven offscreen on the sample game.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "app/commands.h"
#include "support/controls.h"
#include "support/sample_game.h"
#include "support/scripted_prompt.h"
#include "ui/battle/battle_editor_window.h"
#include "ui/find/check_window.h"
#include "ui/find/find_window.h"
#include "ui/main/main_window.h"
#include "ui/qt_text.h"

using namespace tavrel;
using namespace tavrel::ui;
using namespace tavrel::ui::test;

namespace {

constexpr char kText[] = "找得到的一句Xyz";

}  // namespace

class FindTest : public QObject {
  Q_OBJECT

  struct Session {
    SampleGame game;
    ScriptedPrompt prompt;
    std::unique_ptr<MainWindow> window;
    int dialogue = -1;
    int planted = -1;

    Session() : game(GameCharset::Gbk, false) {
      if (!game.ok()) qFatal("sample game: %s", qPrintable(game.error));
      window = std::make_unique<MainWindow>(game.state);
      window->setGameDirectory(game.dir);
      Find<QAction>(*window, "mnu_readfile")->trigger();
      if (!game.state.loaded) qFatal("the sample game was not read");
      // A dialogue of its own, shown by lines 0 and 2 of a new event; line 1
      // is person 7 joining.
      dialogue = AddDialogue(game.state);
      StoreDialogue(game.state, dialogue, kText);
      window->refreshDialogueList();
      Click(*window, "cmdinsertkdef");
      planted = game.state.eventCount() - 1;
      game.state.game.events.events.back().words = {1, int16_t(dialogue), 0, 0, 10, 7, 1, int16_t(dialogue), 0, 0, -1};
      events()->setCurrentIndex(planted);
      prompt.Clear();
      window->show();
    }
    ~Session() { game.state.modified = false; }
    MainWindow& w() { return *window; }
    QComboBox* events() { return Find<QComboBox>(w(), "Combokdef"); }
    QListView* lines() { return Find<QListView>(w(), "listkdef"); }
    int currentRow() { return lines()->currentIndex().isValid() ? lines()->currentIndex().row() : -1; }
    FindWindow& find() { return *Find<FindWindow>(w(), "frmFind"); }
    QListWidget* results() { return Find<QListWidget>(find(), "lstResults"); }
    // The main window as the active one (the offscreen platform does not
    // move activation back by itself when another window goes).
    void activateMain() {
      QApplication::setActiveWindow(&w());
      QVERIFY(QTest::qWaitForWindowActive(&w()));
    }
    // Types `text` into the find window and searches it to the end.
    void search(const QString& text, bool regex = false) {
      FindWindow& f = find();
      Find<QRadioButton>(f, "optText")->setChecked(true);
      Find<QCheckBox>(f, "chkRegex")->setChecked(regex);
      Find<QLineEdit>(f, "txtFind")->setText(text);
      Click(f, "cmdFind");
      QTRY_VERIFY(!f.searching());
    }
  };

 private slots:
  void ctrlFOpensTheWindowAndATextSearchFindsTheDialogueLines() {
    Session s;
    s.activateMain();
    QTest::keyClick(&s.w(), Qt::Key_F, Qt::ControlModifier);
    QTRY_VERIFY(s.find().isVisible());
    s.search(QStringLiteral("一句Xyz"));
    QCOMPARE(s.results()->count(), 2);
    QCOMPARE(Find<QLabel>(s.find(), "lblCount")->text(), QStringLiteral("2处"));
    QVERIFY(s.results()->item(0)->text().startsWith(QStringLiteral("事件%1，第0行：1(1):").arg(s.planted)));
    QVERIFY(s.results()->item(1)->text().startsWith(QStringLiteral("事件%1，第2行：").arg(s.planted)));
    QVERIFY(s.results()->item(1)->text().endsWith(QString::fromUtf8(kText)));
    // Case matters for Latin letters unless asked not to.
    s.search(QStringLiteral("一句xyz"));
    QCOMPARE(s.results()->count(), 0);
    Find<QCheckBox>(s.find(), "chkIgnoreCase")->setChecked(true);
    s.search(QStringLiteral("一句xyz"));
    QCOMPARE(s.results()->count(), 2);
    s.search(QStringLiteral("^1\\(1\\):.*一句X.z$"), true);
    QCOMPARE(s.results()->count(), 2);
  }

  void enterAndF3StepThroughTheResultsInTheMainWindow() {
    Session s;
    s.w().openFind();
    s.search(QString::fromUtf8(kText));
    QCOMPARE(s.results()->count(), 2);
    s.events()->setCurrentIndex(0);
    s.results()->setCurrentRow(1);
    QTest::keyClick(s.results(), Qt::Key_Return);
    QCOMPARE(s.events()->currentIndex(), s.planted);
    QCOMPARE(s.currentRow(), 2);

    // The find window closed: the keys still step through its results.
    s.find().hide();
    s.activateMain();
    QTest::keyClick(&s.w(), Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(s.results()->currentRow(), 0);
    QCOMPARE(s.currentRow(), 0);
    QTest::keyClick(&s.w(), Qt::Key_F3);
    QCOMPARE(s.results()->currentRow(), 1);
    QCOMPARE(s.currentRow(), 2);
    QTest::keyClick(&s.w(), Qt::Key_F3);  // past the last: stays
    QCOMPARE(s.results()->currentRow(), 1);
    // A double click shows the line as well.
    s.lines()->setCurrentIndex(s.lines()->model()->index(1, 0));
    s.find().show();
    QListWidgetItem* first = s.results()->item(0);
    const QPoint at = s.results()->visualItemRect(first).center();
    QTest::mouseClick(s.results()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(s.results()->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(s.currentRow(), 0);
  }

  void stoppingASearchAndTheStaleMarkAfterAnEdit() {
    Session s;
    FindWindow& f = *s.w().openFind();
    Find<QLineEdit>(f, "txtFind")->setText(QString::fromUtf8(kText));
    Click(f, "cmdFind");
    QVERIFY(f.searching());
    QVERIFY(Find<QPushButton>(f, "cmdStop")->isEnabled());
    QVERIFY(!Find<QPushButton>(f, "cmdFind")->isEnabled());
    Click(f, "cmdStop");  // before the first slice ran
    QVERIFY(!f.searching());
    QCOMPARE(s.results()->count(), 0);
    QVERIFY(Find<QPushButton>(f, "cmdFind")->isEnabled());

    s.search(QString::fromUtf8(kText));
    QCOMPARE(s.results()->count(), 2);
    QVERIFY(Find<QLabel>(f, "lblStale")->isHidden());
    Click(s.w(), "cmdinsertkdef");  // an edit
    QVERIFY(f.stale());
    QVERIFY(!Find<QLabel>(f, "lblStale")->isHidden());
    QVERIFY(!Find<QPushButton>(f, "cmdAgain")->isHidden());
    Click(f, "cmdAgain");
    QTRY_VERIFY(!f.searching());
    QVERIFY(!f.stale());
    QVERIFY(Find<QLabel>(f, "lblStale")->isHidden());
    QCOMPARE(s.results()->count(), 2);
  }

  void aBadRegularExpressionIsAMessage() {
    Session s;
    s.w().openFind();
    s.search(QStringLiteral("(unclosed"), true);
    QCOMPARE(s.results()->count(), 0);
    QCOMPARE(int(s.prompt.asked().size()), 1);
    QVERIFY(s.prompt.asked()[0].text.contains(QStringLiteral("正则表达式")));
    QVERIFY(s.prompt.asked()[0].text.contains(QStringLiteral("(unclosed")));
  }

  void theShownEventIsSearchedAsTheListShowsIt() {
    Session s;
    // Line 1 shows person 8 joining, not yet committed into the words.
    s.game.state.game.events.events[size_t(s.planted)].statements[1].SetWord(0, 8);
    FindWindow& f = *s.w().openFind();
    Find<QComboBox>(f, "cboKind")->setCurrentIndex(1);  // persons
    QCOMPARE(Find<QComboBox>(f, "cboNumber")->count(), int(s.game.state.game.names.persons.size()));
    f.findReference(RefKind::Person, 8);
    QTRY_VERIFY(!f.searching());
    bool shown = false;
    for (int k = 0; k < s.results()->count(); ++k)
      shown = shown || s.results()->item(k)->text().startsWith(QStringLiteral("事件%1，第1行：").arg(s.planted));
    QVERIFY(shown);
  }

  void whereUsedBesideTheDialogueSelectorAndTheDeleteQuestion() {
    Session s;
    Find<QComboBox>(s.w(), "Combotalk")->setCurrentIndex(s.dialogue);
    Click(s.w(), "cmdwhereusedtalk");
    QTRY_VERIFY(!s.find().searching());
    QCOMPARE(s.results()->count(), 2);
    QCOMPARE(Find<QRadioButton>(s.find(), "optReference")->isChecked(), true);
    QCOMPARE(Find<QComboBox>(s.find(), "cboNumber")->currentIndex(), s.dialogue);

    s.prompt.Queue(Answer::Cancel);
    Click(s.w(), "cmddeletetalk");
    QCOMPARE(int(s.prompt.asked().size()), 1);
    QVERIFY(s.prompt.asked()[0].text.endsWith(QStringLiteral("仍有2条指令显示这句对话。")));
    QCOMPARE(s.game.state.talkCount(), s.dialogue + 1);
  }

  void theBattleEditorListsTheEventsThatStartTheBattle() {
    Session s;
    // Battle 10 is started by no sample event; this one starts it at line 1.
    s.game.state.game.events.events[size_t(s.planted)].words = {0, 6, 10, 1, 0, 0, 7, -1};
    BattleEditorWindow editor(s.game.state);
    Find<QComboBox>(editor, "Combowar")->setCurrentIndex(10);
    auto* startedBy = Find<QListWidget>(editor, "lstStartedBy");
    QCOMPARE(startedBy->count(), 1);
    QVERIFY(startedBy->item(0)->text().startsWith(QStringLiteral("事件%1，第1行：6(6):").arg(s.planted)));
    Find<QComboBox>(editor, "Combowar")->setCurrentIndex(11);
    QCOMPARE(startedBy->count(), 0);
  }

  void theCheckWindowListsAProblemAndShowsItsLine() {
    Session s;
    s.game.state.game.events.events[size_t(s.planted)].words = {0, 10, 7, 1, 9999, 0, 0, -1};
    Find<QAction>(s.w(), "mnu_check")->trigger();
    CheckWindow& check = *Find<CheckWindow>(s.w(), "frmCheck");
    QVERIFY(check.isVisible());
    // The planted dialogue, the sample's own object that starts a missing
    // event and its events that stop without their end instruction.
    int open = 0;
    for (const KdefEvent& e : s.game.state.game.events.events) open += !e.words.empty() && e.words.back() != -1;
    QVERIFY(open > 0);
    QCOMPARE(check.report().errors, 2 + open);
    auto* problems = Find<QListWidget>(check, "lstProblems");
    const QString expected =
        QStringLiteral("错误  事件%1，第2行：对话9999超出范围：共有%2个").arg(s.planted).arg(s.game.state.talkCount());
    int row = -1;
    for (int k = 0; k < problems->count(); ++k)
      if (problems->item(k)->text() == expected) row = k;
    QVERIFY2(row >= 0, qPrintable(problems->item(0)->text()));
    bool objectListed = false;
    for (int k = 0; k < problems->count(); ++k)
      objectListed = objectListed || problems->item(k)->text() == QStringLiteral("错误  场景7 物体4：事件4100不存在");
    QVERIFY(objectListed);
    QVERIFY(Find<QLabel>(check, "lblSummary")->text().startsWith(QStringLiteral("%1个错误，").arg(2 + open)));
    s.events()->setCurrentIndex(0);
    problems->setCurrentRow(row);
    QTest::keyClick(problems, Qt::Key_Return);
    QCOMPARE(s.events()->currentIndex(), s.planted);
    QCOMPARE(s.currentRow(), 2);
    // Fixed and checked again: only the sample's own errors.
    s.game.state.game.events.events[size_t(s.planted)].words = {0, -1};
    Click(check, "cmdCheck");
    QCOMPARE(check.report().errors, 1 + open);
  }

  // A dialogue line names its speaker by the persons who wear the portrait,
  // in the event list and in the find results alike.
  void aSpeakerIsNamedByTheWearersOfItsPortrait() {
    Session s;
    const EditorState& state = s.game.state;
    const auto& users = state.game.portraitUsers;
    int shared = -1, unworn = -1;
    for (size_t p = 75; p < users.size(); ++p) {
      if (shared < 0 && users[p].size() > 1) shared = int(p);
      if (unworn < 0 && users[p].empty()) unworn = int(p);
    }
    QVERIFY(shared >= 0 && unworn >= 0);
    const auto& wearers = users[size_t(shared)];
    const QString sharedSpeaker = QStringLiteral("[%1 +%2]")
                                      .arg(Q(state.game.names.persons.at(size_t(wearers.front())).name))
                                      .arg(wearers.size() - 1);
    const QString unwornSpeaker = QStringLiteral("[头像%1]").arg(unworn);
    Click(s.w(), "cmdinsertkdef");
    const int event = state.eventCount() - 1;
    s.game.state.game.events.events.back().words = {
        1, int16_t(s.dialogue), int16_t(shared), 0, 1, int16_t(s.dialogue), int16_t(unworn), 0, -1};
    s.events()->setCurrentIndex(event);
    s.prompt.Clear();
    QAbstractItemModel* lines = s.lines()->model();
    QVERIFY2(lines->data(lines->index(0, 0)).toString().contains(sharedSpeaker), qPrintable(sharedSpeaker));
    QVERIFY2(lines->data(lines->index(1, 0)).toString().contains(unwornSpeaker), qPrintable(unwornSpeaker));
    s.activateMain();
    QTest::keyClick(&s.w(), Qt::Key_F, Qt::ControlModifier);
    QTRY_VERIFY(s.find().isVisible());
    s.search(unwornSpeaker);
    QVERIFY(s.results()->count() >= 1);
    QVERIFY(
        s.results()->item(s.results()->count() - 1)->text().startsWith(QStringLiteral("事件%1，第1行：").arg(event)));
    for (int k = 0; k < s.results()->count(); ++k) QVERIFY(s.results()->item(k)->text().contains(unwornSpeaker));
    s.search(QStringLiteral("[???]"));
    QCOMPARE(s.results()->count(), 0);
  }

  // In English the summary's counts agree with their nouns, and a battle of
  // war.sta outside its ranges is an error of the check.
  void theCheckWindowCountsInEnglishAndListsBattlesOutOfRange() {
    struct EnglishRun {
      EnglishRun() { SetInterfaceLanguage(InterfaceLanguage::English); }
      ~EnglishRun() { SetInterfaceLanguage(InterfaceLanguage::Chinese); }
    } english;
    Session s;
    Find<QAction>(s.w(), "mnu_check")->trigger();
    CheckWindow& check = *Find<CheckWindow>(s.w(), "frmCheck");
    // The sample's own errors: a broken object and events without their end.
    const int errors = check.report().errors;
    QVERIFY(errors >= 2);
    const QString before = Find<QLabel>(check, "lblSummary")->text();
    QVERIFY2(before.startsWith(QStringLiteral("%1 errors, ").arg(errors)), qPrintable(before));

    QFile sta(s.game.path("war.sta"));
    QVERIFY(sta.open(QIODevice::ReadWrite));
    QVERIFY(sta.seek(186 + 12));
    QCOMPARE(sta.write(QByteArray("\x0f\x27", 2)), qint64(2));  // battle 1 on battlefield 9999
    sta.close();
    Click(check, "cmdCheck");
    QCOMPARE(check.report().errors, errors + 1);
    const QString after = Find<QLabel>(check, "lblSummary")->text();
    QVERIFY2(after.startsWith(QStringLiteral("%1 errors, ").arg(errors + 1)), qPrintable(after));
    auto* problems = Find<QListWidget>(check, "lstProblems");
    bool listed = false;
    for (int k = 0; k < problems->count(); ++k)
      listed = listed || problems->item(k)->text() == "error  battle 1: Battlefield number is 9999, not from 0 to 25";
    QVERIFY2(listed, qPrintable(problems->item(1)->text()));
  }
};

QTEST_MAIN(FindTest)
#include "find_test.moc"
