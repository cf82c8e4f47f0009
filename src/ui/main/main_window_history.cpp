// Undo and redo: the edit menu of the menu bar and showing the place of the
// step taken back or made again.
#include <QAction>
#include <QComboBox>
#include <QKeySequence>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>

#include "app/commands.h"
#include "ui/main/main_window.h"
#include "ui/main/statement_list_model.h"
#include "ui/qt_text.h"

namespace tavrel::ui {

void MainWindow::buildHistoryMenu() {
  historyMenu_ = menuBar()->addMenu(Ui(state_, Str::EditMenu));
  historyMenu_->setObjectName("mnu_history");
  undoAction_ = historyMenu_->addAction(Ui(state_, Str::Undo));
  undoAction_->setObjectName("mnu_undo");
  undoAction_->setShortcut(QKeySequence::Undo);
  redoAction_ = historyMenu_->addAction(Ui(state_, Str::Redo));
  redoAction_->setObjectName("mnu_redo");
  redoAction_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  connect(undoAction_, &QAction::triggered, this, &MainWindow::undo);
  connect(redoAction_, &QAction::triggered, this, &MainWindow::redo);
}

void MainWindow::refreshHistoryActions() {
  const History& history = state_.history;
  undoAction_->setEnabled(history.CanUndo());
  redoAction_->setEnabled(history.CanRedo());
  undoAction_->setText(history.CanUndo() ? Ui(state_, Str::Undo) + " " + Ui(state_, history.UndoCaption())
                                         : Ui(state_, Str::Undo));
  redoAction_->setText(history.CanRedo() ? Ui(state_, Str::Redo) + " " + Ui(state_, history.RedoCaption())
                                         : Ui(state_, Str::Redo));
}

void MainWindow::undo() {
  if (std::optional<StepPlace> where = state_.history.Undo(state_)) showStep(*where);
}

void MainWindow::redo() {
  if (std::optional<StepPlace> where = state_.history.Redo(state_)) showStep(*where);
}

void MainWindow::showStep(const StepPlace& where) {
  {
    const QSignalBlocker block(eventSelector_);
    const int remembered = currentEvent();
    if (eventSelector_->count() != state_.eventCount()) {
      eventSelector_->clear();
      const EventStarts starts(state_.game.objects, state_.eventCount());
      for (int32_t k = 0; k < state_.eventCount(); ++k) eventSelector_->addItem(eventItemText(starts, k));
    } else if (where.scene >= 0) {
      refreshEventTexts();  // an object's events changed
    }
    int event = where.event >= 0 ? where.event : remembered;
    if (event >= state_.eventCount()) event = state_.eventCount() - 1;
    eventSelector_->setCurrentIndex(event);
  }
  if (where.event >= 0) {
    // The statements as the step left them, not decoded afresh.
    fillInstructionLines(where.line);
    if (where.line < 0) showInstructionWords();
  } else {
    refreshInstructionList();
  }
  refreshDialogueList();
  if (where.dialogue >= 0 && where.dialogue < state_.talkCount()) {
    dialogueSelector_->setCurrentIndex(where.dialogue);
    showDialogue();
  }
  refreshChrome();
}

}  // namespace tavrel::ui
