// The find and check windows, F3 and Shift+F3 over the results, the
// dialogue's "where used" and showing a result's place.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QMenu>

#include "app/commands.h"
#include "ui/find/check_window.h"
#include "ui/find/find_window.h"
#include "ui/main/main_window.h"
#include "ui/main/side_windows.h"
#include "ui/main/statement_list_model.h"
#include "ui/qt_text.h"

namespace tavrel::ui {

// Find and check sit in the edit menu, which pops up over the instruction
// list; their keys work anywhere in the window.
void MainWindow::buildFindActions() {
  editMenu_->addSeparator();
  findAction_ = editMenu_->addAction(Ui(state_, Str::FindMenu));
  findAction_->setObjectName("mnu_find");
  findAction_->setShortcut(QKeySequence::Find);
  checkAction_ = editMenu_->addAction(Ui(state_, Str::CheckGameMenu));
  checkAction_->setObjectName("mnu_check");
  findNextAction_ = new QAction(this);
  findNextAction_->setObjectName("findNext");
  findNextAction_->setShortcut(QKeySequence(Qt::Key_F3));
  findPreviousAction_ = new QAction(this);
  findPreviousAction_->setObjectName("findPrevious");
  findPreviousAction_->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
  for (QAction* action : {findAction_, findNextAction_, findPreviousAction_}) {
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
  }
  connect(findAction_, &QAction::triggered, this, [this] { openFind(); });
  connect(checkAction_, &QAction::triggered, this, [this] { openCheck(); });
  connect(findNextAction_, &QAction::triggered, this, [this] { findStep(+1); });
  connect(findPreviousAction_, &QAction::triggered, this, [this] { findStep(-1); });
}

std::vector<Statement> MainWindow::shownStatements(int32_t& event) const {
  event = currentEvent();
  const KdefEvent* shown = EventAt(state_, event);
  if (shown == nullptr) {
    event = -1;
    return {};
  }
  return shown->statements;
}

FindWindow* MainWindow::openFind() {
  if (!state_.loaded) return nullptr;
  if (findWindow_ == nullptr) {
    findWindow_ = new FindWindow(
        state_, [this](int32_t& event) { return shownStatements(event); }, this);
    connect(findWindow_, &FindWindow::showPlace, this, &MainWindow::showPlace);
  }
  findWindow_->show();
  findWindow_->raise();
  findWindow_->activateWindow();
  return findWindow_;
}

CheckWindow* MainWindow::openCheck() {
  if (!state_.loaded) return nullptr;
  if (checkWindow_ == nullptr) {
    checkWindow_ = new CheckWindow(state_, this);
    connect(checkWindow_, &CheckWindow::showPlace, this, &MainWindow::showPlace);
  }
  checkWindow_->show();
  checkWindow_->raise();
  checkWindow_->check();
  return checkWindow_;
}

void MainWindow::findStep(int direction) {
  if (findWindow_ != nullptr) findWindow_->step(direction);
}

void MainWindow::showDialogueUses() {
  const int dialogue = currentDialogue();
  if (dialogue < 0) return;
  if (FindWindow* find = openFind()) find->findReference(RefKind::Dialogue, dialogue);
}

void MainWindow::refreshFindWindows() {
  if (findWindow_ != nullptr) findWindow_->refreshState();
  if (checkWindow_ != nullptr) checkWindow_->refreshState();
}

void MainWindow::showPlace(const Place& place) {
  switch (place.kind) {
    case PlaceKind::EventLine: {
      if (place.owner < 0 || place.owner >= state_.eventCount()) return;
      if (currentEvent() != place.owner) eventSelector_->setCurrentIndex(place.owner);
      if (place.index >= 0 && place.index < instructionLines_->rowCount()) {
        const QModelIndex line = instructionLines_->index(place.index);
        instructionList_->setCurrentIndex(line);
        instructionList_->scrollTo(line);
      }
      break;
    }
    case PlaceKind::Dialogue:
      if (place.owner >= 0 && place.owner < state_.talkCount()) dialogueSelector_->setCurrentIndex(place.owner);
      break;
    case PlaceKind::SceneObject:
      openSceneWindow(place.owner, place.index);
      break;
    case PlaceKind::Event:
      if (place.owner >= 0 && place.owner < state_.eventCount()) eventSelector_->setCurrentIndex(place.owner);
      break;
    case PlaceKind::Battle:
      OpenBattleEditor(state_, this, place.owner);
      break;
    case PlaceKind::Item:
      break;
  }
}

}  // namespace tavrel::ui
