// The scene window driven offscreen on the sample game: choosing a scene,
// opening an event in the main window (Enter, a double click, the event
// selector's pop-up), editing an object in the scene-event dialog's fields
// and cancelling, attaching and clearing events; and the event selector's
// texts, typing a number into it and filtering it by a scene's name.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "app/commands.h"
#include "app/scene_objects.h"
#include "support/controls.h"
#include "support/sample_game.h"
#include "support/scripted_prompt.h"
#include "ui/main/main_window.h"
#include "ui/qt_text.h"
#include "ui/scenes/scene_window.h"

using namespace tavrel;
using namespace tavrel::ui;
using namespace tavrel::ui::test;

namespace {

// Runs `act` on the modal window the next step opens, once it is up; a
// window `act` leaves open is closed, so the test fails instead of waiting.
void OnModal(std::function<void(QWidget*)> act) {
  QTimer::singleShot(0, [act] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) qFatal("no modal window opened");
    if (!QTest::qWaitForWindowExposed(modal)) qWarning("the modal window is not exposed");
    act(modal);
    if (modal->isVisible()) {
      qWarning("%s was left open", qPrintable(modal->objectName()));
      if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
    }
  });
}

// The row of object `object` in the window's table, -1 when it is not listed.
int RowOf(QTableWidget* table, int object) {
  for (int row = 0; row < table->rowCount(); ++row)
    if (table->item(row, 0)->text() == QString::number(object)) return row;
  return -1;
}

constexpr int kX = 1, kAction = 4, kItem = 5, kPass = 6, kPictures = 7;

}  // namespace

class SceneWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void choosingASceneListsItsObjects() {
    SampleGame game;
    QVERIFY2(game.ok(), qPrintable(game.error));
    SceneWindow window(game.state);
    auto* scenes = Find<QListWidget>(window, "lstScenes");
    auto* table = Find<QTableWidget>(window, "tblObjects");
    // Every scene the database names, also the two past alldef's 12 tables.
    QCOMPARE(scenes->count(), 14);
    QCOMPARE(scenes->item(5)->text(), QString("场景5 碧水镇"));

    window.chooseScene(5);
    // Objects 12 and 13 and three decorations 20..22.
    QCOMPARE(table->rowCount(), 5);
    const int row = RowOf(table, 12);
    QCOMPARE(row, 0);
    QCOMPARE(table->item(row, kX)->text(), QString("28"));
    QCOMPARE(table->item(row, kX + 1)->text(), QString("29"));
    // The event with the first line the main window's list shows for it.
    ShowEventLines(game.state, 110);
    const QString first = Q(InstructionLines(game.state, 110).front());
    QCOMPARE(table->item(row, kAction)->text(), "110  " + first);
    QCOMPARE(table->item(row, kItem)->text(), QString());
    QCOMPARE(table->item(RowOf(table, 13), kItem)->text().section(' ', 0, 0), QString("150"));
    QCOMPARE(table->item(row, kPictures)->text(), QString("52 54 56 / 2"));
    QVERIFY(!table->item(row, kPictures)->icon().isNull());  // tile 26 of the scene's set

    window.chooseScene(3);
    QCOMPARE(table->rowCount(), 0);
    QCOMPARE(Find<QLabel>(window, "lblSceneNote")->text(), Ui(game.state, Str::SceneEmptyTable));
    QVERIFY(!Find<QPushButton>(window, "cmdEditObject")->isEnabled());

    // The broken reference says so.
    window.chooseScene(7);
    QCOMPARE(table->item(RowOf(table, 4), kAction)->text(), "4100  " + Ui(game.state, Str::EventDoesNotExist));
    // A number 0 or below starts nothing and shows as it is.
    window.chooseScene(0);
    QCOMPARE(table->item(RowOf(table, 7), kAction)->text(), QString("-1"));
    QCOMPARE(table->item(RowOf(table, 7), kItem)->text(), QString());
  }

  void anEventOpensInTheMainWindow() {
    SampleGame game;
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    MainWindow main(game.state);
    main.setGameDirectory(game.dir);
    QVERIFY(main.readFiles());
    auto* events = Find<QComboBox>(main, "Combokdef");

    // Enter on an event cell.
    OnModal([](QWidget* modal) {
      auto* window = qobject_cast<SceneWindow*>(modal);
      if (window == nullptr) qFatal("not the scene window");
      window->chooseScene(5);
      auto* table = Find<QTableWidget>(*window, "tblObjects");
      table->setCurrentCell(RowOf(table, 12), kAction);
      QTest::keyClick(table, Qt::Key_Return);
    });
    Find<QAction>(main, "mnu_sceneobjects")->trigger();
    QCOMPARE(events->currentIndex(), 110);

    // A double click, from the selector's pop-up on event 12: the window
    // opens where the event starts.
    events->setCurrentIndex(12);
    int openedScene = -1, openedObject = -1;
    OnModal([&](QWidget* modal) {
      auto* window = qobject_cast<SceneWindow*>(modal);
      if (window == nullptr) qFatal("not the scene window");
      openedScene = window->currentScene();
      openedObject = window->currentObject();
      auto* table = Find<QTableWidget>(*window, "tblObjects");
      const int row = RowOf(table, 2);
      const QRect cell = table->visualItemRect(table->item(row, kAction));
      QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
      QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    });
    Find<QAction>(main, "mnu_eventobjects")->trigger();
    QCOMPARE(openedScene, 0);
    QCOMPARE(openedObject, 2);
    QCOMPARE(events->currentIndex(), 11);  // object 2's action event

    // The missing event is not opened: a message, the window stays.
    OnModal([](QWidget* modal) {
      auto* window = qobject_cast<SceneWindow*>(modal);
      window->chooseScene(7);
      auto* table = Find<QTableWidget>(*window, "tblObjects");
      table->setCurrentCell(RowOf(table, 4), kAction);
      QTest::keyClick(table, Qt::Key_Return);
      if (!window->isVisible()) qFatal("the window closed on a missing event");
      Click(*window, "cmdClose");
    });
    prompt.Clear();
    Find<QAction>(main, "mnu_sceneobjects")->trigger();
    QCOMPARE(events->currentIndex(), 11);
    QCOMPARE(int(prompt.asked().size()), 1);
    QVERIFY(prompt.asked().front().text.contains("4100"));
    game.state.modified = false;
  }

  void editingAnObjectTakesTheDialogsFieldsAndCancelLeavesIt() {
    SampleGame game;
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    SceneWindow window(game.state, nullptr, 5, 13);
    auto* table = Find<QTableWidget>(window, "tblObjects");
    QCOMPARE(window.currentObject(), 13);

    OnModal([](QWidget* dialog) {
      // The dialog shows the object's words; scene and object stay fixed.
      if (Find<QLineEdit>(*dialog, "txtkdef2")->text() != "150") qFatal("item event not shown");
      if (Find<QComboBox>(*dialog, "ComboAddress")->isEnabled()) qFatal("the scene can be changed");
      Find<QLineEdit>(*dialog, "txtX")->setText("31");
      Find<QLineEdit>(*dialog, "txtkdef3")->setText("77");
      Click(*dialog, "cmdok");
    });
    Click(window, "cmdEditObject");
    const SceneObject* object = game.state.game.objects.Object(5, 13);
    QCOMPARE(object->words[kObjectX], int16_t(31));
    QCOMPARE(object->event(Trigger::Pass), int16_t(77));
    QCOMPARE(object->words[kObjectY], int16_t(33));
    QCOMPARE(table->item(RowOf(table, 13), kX)->text(), QString("31"));
    QCOMPARE(table->item(RowOf(table, 13), kPass)->text().section(' ', 0, 0), QString("77"));
    QCOMPARE(game.state.history.UndoCaption(), int(Str::StepModifyObject));
    QVERIFY(game.state.modified);
    QVERIFY(window.changedObjects());

    // Cancel changes nothing; a bad box is refused by the dialog's own check.
    const size_t steps = game.state.history.size();
    OnModal([](QWidget* dialog) {
      Find<QLineEdit>(*dialog, "txtX")->setText("abc");
      Click(*dialog, "cmdok");  // refused with a message, the dialog stays
      if (!dialog->isVisible()) qFatal("a bad box was taken");
      Find<QLineEdit>(*dialog, "txtX")->setText("99");
      Click(*dialog, "cmdcancel");
    });
    prompt.Clear();
    Click(window, "cmdEditObject");
    QCOMPARE(int(prompt.asked().size()), 1);
    QVERIFY(prompt.asked().front().text.contains(Ui(game.state, Str::CoordinateX)));
    QCOMPARE(game.state.game.objects.Object(5, 13)->words[kObjectX], int16_t(31));
    QCOMPARE(game.state.history.size(), steps);
    game.state.modified = false;
  }

  // Without the scene's tile files the window says so once, in its own
  // line; editing an object asks nothing and its dialog says it in its line.
  void missingTilesAreSaidInTheWindowNotBeforeEveryEdit() {
    SampleGame game;
    QVERIFY2(game.ok(), qPrintable(game.error));
    QVERIFY(QFile::rename(game.path("sdx"), game.path("sdx.kept")));
    ScriptedPrompt prompt;
    SceneWindow window(game.state, nullptr, 5, 13);
    const QString said = Find<QLabel>(window, "lblTileFiles")->text();
    QVERIFY2(said.contains("sdx") && said.contains("smp"), qPrintable(said));
    for (int time = 0; time < 2; ++time) {
      QString inDialog;
      OnModal([&inDialog](QWidget* dialog) {
        inDialog = Find<QLabel>(*dialog, "lblTileFiles")->text();
        Click(*dialog, "cmdcancel");
      });
      Click(window, "cmdEditObject");
      QVERIFY2(inDialog.contains("sdx") && inDialog.contains("smp"), qPrintable(inDialog));
    }
    QVERIFY2(prompt.asked().empty(), prompt.asked().empty() ? "" : qPrintable(prompt.asked().front().text));
    QCOMPARE(window.currentObject(), 13);
  }

  void attachingAndClearingEventsOnTheChosenTrigger() {
    SampleGame game;
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    SceneWindow window(game.state, nullptr, 0, 5);
    auto* table = Find<QTableWidget>(window, "tblObjects");
    const int row = RowOf(table, 5);
    table->setCurrentCell(row, kAction);
    Find<QLineEdit>(window, "txtEvent")->setText("33");
    Click(window, "cmdAttachEvent");
    QCOMPARE(game.state.game.objects.Object(0, 5)->event(Trigger::Action), int16_t(33));
    QCOMPARE(table->item(RowOf(table, 5), kAction)->text().section(' ', 0, 0), QString("33"));

    table->setCurrentCell(RowOf(table, 5), kPass);
    Click(window, "cmdClearEvent");
    QCOMPARE(game.state.game.objects.Object(0, 5)->event(Trigger::Pass), int16_t(0));
    QCOMPARE(table->item(RowOf(table, 5), kPass)->text(), QString());

    // An event past the last is refused with a message.
    table->setCurrentCell(RowOf(table, 5), kItem);
    Find<QLineEdit>(window, "txtEvent")->setText("300");
    prompt.Clear();
    Click(window, "cmdAttachEvent");
    QCOMPARE(int(prompt.asked().size()), 1);
    QCOMPARE(game.state.game.objects.Object(0, 5)->event(Trigger::Item), int16_t(0));
    // Not on an event column: nothing changes.
    table->setCurrentCell(RowOf(table, 5), kX);
    Find<QLineEdit>(window, "txtEvent")->setText("40");
    Click(window, "cmdAttachEvent");
    QCOMPARE(game.state.game.objects.Object(0, 5)->words,
             (std::array<int16_t, 11>{0, 5, 33, 0, 0, 0, 0, 0, 0, 30, 31}));
    QCOMPARE(game.state.history.size(), size_t(2));
    game.state.modified = false;
  }

  void theEventSelectorSaysWhereEachEventStarts() {
    SampleGame game;
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    MainWindow main(game.state);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    main.setGameDirectory(game.dir);
    QVERIFY(main.readFiles());
    auto* events = Find<QComboBox>(main, "Combokdef");
    QCOMPARE(events->itemText(110), QString("110  场景5 碧水镇 · 物体12 · 空格"));
    QCOMPARE(events->itemText(10), QString("10  场景0 青龙村 · 物体1 · 空格 +1"));
    QCOMPARE(events->itemText(150), QString("150  场景5 碧水镇 · 物体13 · 物品"));
    QCOMPARE(events->itemText(13), QString("13"));

    // A number typed into the selector chooses that event.
    events->setFocus();
    QTest::keyClicks(events, "110");
    QCOMPARE(events->currentIndex(), 110);

    // A scene's name keeps only the events started there; a number and
    // Enter in the box chooses that event.
    auto* filter = Find<QLineEdit>(main, "txtEventFilter");
    auto* view = qobject_cast<QListView*>(events->view());
    QVERIFY(view);
    filter->setText("碧水");
    QList<int> shown;
    for (int row = 0; row < events->count(); ++row)
      if (!view->isRowHidden(row)) shown << row;
    QCOMPARE(shown, (QList<int>{110, 150}));
    filter->setText("青龙");
    shown.clear();
    for (int row = 0; row < events->count(); ++row)
      if (!view->isRowHidden(row)) shown << row;
    QCOMPARE(shown, (QList<int>{10, 11, 12, 20}));
    filter->setText("150");
    QTest::keyClick(filter, Qt::Key_Return);
    QCOMPARE(events->currentIndex(), 150);
    QVERIFY(!view->isRowHidden(3));

    // After an object's change the texts follow; undo takes it back.
    OnModal([](QWidget* modal) {
      auto* window = qobject_cast<SceneWindow*>(modal);
      window->chooseScene(11);
      auto* table = Find<QTableWidget>(*window, "tblObjects");
      table->setCurrentCell(RowOf(table, 199), kAction);
      Find<QLineEdit>(*window, "txtEvent")->setText("13");
      Click(*window, "cmdAttachEvent");
      Click(*window, "cmdClose");
    });
    Find<QAction>(main, "mnu_sceneobjects")->trigger();
    QCOMPARE(events->itemText(13), QString("13  场景11 望江洞 · 物体199 · 空格"));
    QVERIFY(main.windowTitle().endsWith(" *"));
    Find<QAction>(main, "mnu_undo")->trigger();
    QCOMPARE(events->itemText(13), QString("13"));
    QCOMPARE(game.state.game.objects.Object(11, 199)->event(Trigger::Action), int16_t(0));
    QVERIFY(!main.windowTitle().endsWith(" *"));
    game.state.modified = false;
  }
};

QTEST_MAIN(SceneWindowTest)
#include "scene_window_test.moc"
