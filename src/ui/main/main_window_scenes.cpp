// Where events start: the scene menu, the texts of the event selector, its
// filter box and its pop-up menu, and the scene window.
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>

#include "app/scene_objects.h"
#include "ui/main/main_window.h"
#include "ui/qt_text.h"
#include "ui/scenes/scene_window.h"

namespace tavrel::ui {

void MainWindow::buildSceneMenu() {
  sceneMenu_ = menuBar()->addMenu(Ui(state_, Str::ScenesMenu));
  sceneMenu_->setObjectName("mnu_scenes");
  sceneObjectsAction_ = sceneMenu_->addAction(Ui(state_, Str::SceneObjectsAction));
  sceneObjectsAction_->setObjectName("mnu_sceneobjects");
  connect(sceneObjectsAction_, &QAction::triggered, this, [this] { openSceneWindow(); });

  eventObjectsAction_ = new QAction(Ui(state_, Str::ObjectsOfEvent), this);
  eventObjectsAction_->setObjectName("mnu_eventobjects");
  connect(eventObjectsAction_, &QAction::triggered, this, [this] {
    const std::vector<ObjectStart> places = ObjectsStartingEvent(state_.game.objects, currentEvent());
    if (places.empty())
      openSceneWindow();
    else
      openSceneWindow(places.front().scene, places.front().object);
  });
  connect(eventSelector_, &QWidget::customContextMenuRequested, this, &MainWindow::popUpEventMenu);
  connect(eventFilter_, &QLineEdit::textChanged, this, &MainWindow::filterEvents);
  connect(eventFilter_, &QLineEdit::returnPressed, this, &MainWindow::chooseTypedEvent);
}

QString MainWindow::eventItemText(const EventStarts& starts, int32_t event) const {
  if (starts.Of(event).empty()) return QString::number(event);
  return CoreText(state_, EventSelectorText(starts, state_.game.names, event));
}

void MainWindow::refreshEventTexts() {
  const EventStarts starts(state_.game.objects, state_.eventCount());
  for (int32_t k = 0; k < eventSelector_->count() && k < state_.eventCount(); ++k) {
    const QString text = eventItemText(starts, k);
    if (eventSelector_->itemText(k) != text) eventSelector_->setItemText(k, text);
  }
  filterEvents(eventFilter_->text());
}

namespace {

bool IsNumber(const QString& text) {
  bool number = false;
  text.trimmed().toInt(&number);
  return number;
}

}  // namespace

void MainWindow::filterEvents(const QString& typed) {
  auto* view = qobject_cast<QListView*>(eventSelector_->view());
  if (view == nullptr) return;
  const QString text = typed.trimmed();
  const bool all = text.isEmpty() || IsNumber(text);
  // A scene matches by its name at any of the event's places, not only the
  // first one the item shows.
  std::vector<bool> scenes(size_t(state_.game.objects.sceneCount()), false);
  if (!all)
    for (int32_t s = 0; s < state_.game.objects.sceneCount(); ++s)
      scenes[size_t(s)] = CoreText(state_, SceneCaption(state_.game.names, s)).contains(text, Qt::CaseInsensitive);
  const EventStarts starts = all ? EventStarts() : EventStarts(state_.game.objects, state_.eventCount());
  for (int row = 0; row < eventSelector_->count(); ++row) {
    bool shown = all || eventSelector_->itemText(row).contains(text, Qt::CaseInsensitive);
    if (!shown)
      for (const ObjectStart& place : starts.Of(row))
        if (scenes[size_t(place.scene)]) {
          shown = true;
          break;
        }
    view->setRowHidden(row, !shown);
  }
}

// Enter in the filter box: a number chooses that event; a name chooses the
// first event it keeps and opens the list of those it keeps.
void MainWindow::chooseTypedEvent() {
  const QString text = eventFilter_->text().trimmed();
  if (text.isEmpty()) return;
  bool number = false;
  const int event = text.toInt(&number);
  if (number) {
    if (event >= 0 && event < eventSelector_->count()) eventSelector_->setCurrentIndex(event);
    return;
  }
  auto* view = qobject_cast<QListView*>(eventSelector_->view());
  for (int row = 0; row < eventSelector_->count(); ++row)
    if (view == nullptr || !view->isRowHidden(row)) {
      eventSelector_->setCurrentIndex(row);
      eventSelector_->showPopup();
      return;
    }
}

void MainWindow::popUpEventMenu(const QPoint& at) {
  if (!state_.loaded) return;
  QMenu menu(this);
  menu.setObjectName("mnu_eventselector");
  menu.addAction(eventObjectsAction_);
  menu.exec(eventSelector_->mapToGlobal(at));
}

void MainWindow::openSceneWindow(int scene, int object) {
  if (!state_.loaded) return;
  SceneWindow window(state_, this, scene, object);
  window.exec();
  if (window.changedObjects()) refreshEventTexts();
  if (window.chosenEvent() >= 0 && window.chosenEvent() < eventSelector_->count())
    eventSelector_->setCurrentIndex(window.chosenEvent());
  refreshChrome();
}

}  // namespace tavrel::ui
