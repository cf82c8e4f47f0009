// The event selector, the instruction list and the commands on whole events:
// add, delete, commit, and the two clipboards of the pop-up menu.
#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <vector>

#include "app/commands.h"
#include "ui/main/main_window.h"
#include "ui/main/statement_list_model.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tavrel::ui {

void MainWindow::fillEventSelector() {
  {
    const QSignalBlocker block(eventSelector_);
    eventSelector_->clear();
    const EventStarts starts(state_.game.objects, state_.eventCount());
    QStringList items;
    items.reserve(state_.eventCount());
    for (int32_t k = 0; k < state_.eventCount(); ++k) items << eventItemText(starts, k);
    eventSelector_->addItems(items);
    eventSelector_->setCurrentIndex(state_.eventCount() > 0 ? 0 : -1);
  }
  refreshInstructionList();
}

void MainWindow::eventChosen() {
  const int shown = instructionLines_->event();
  const bool edited = HasUncommittedEdits(state_, shown);
  if (!settleUncommittedEdits()) {
    // Cancelled: the event with the edits stays chosen.
    const QSignalBlocker block(eventSelector_);
    eventSelector_->setCurrentIndex(shown);
    return;
  }
  // The same event chosen again after its edits were settled already shows
  // it as it now is.
  if (edited && currentEvent() == shown) return;
  refreshInstructionList();
}

bool MainWindow::settleUncommittedEdits() {
  const int event = instructionLines_->event();
  if (!state_.loaded || !HasUncommittedEdits(state_, event)) return true;
  const Answer answer =
      AskChoice(this, UiFormat(state_, Str::UncommittedEditsQuestion, event, Ui(state_, Str::ModifyEvent)),
                Ui(state_, Str::CommitEdits), Ui(state_, Str::DiscardEdits), Ui(state_, Str::Cancel));
  if (answer != Answer::Yes && answer != Answer::No) return false;
  // The step belongs to the event shown and its line, whatever the selector
  // says already.
  const int line = currentLine();
  StepRecorder step(state_, answer == Answer::Yes ? kStepModifyEvent : kStepDiscardEdits,
                    StepPlace{event, line, currentDialogue()});
  step.TouchEvent(event);
  DecodeReport report;
  if (answer == Answer::Yes)
    CommitEvent(state_, event);
  else
    report = ChooseEvent(state_, event);  // the statements of the words as they are
  step.Finish();
  if (answer == Answer::No && currentEvent() == event) {
    fillInstructionLines(line);
    reportUnknownWords(report);
  }
  refreshChrome();
  return true;
}

void MainWindow::refreshInstructionList() {
  const int event = currentEvent();
  DecodeReport report;
  if (event >= 0) report = ChooseEvent(state_, event);
  instructionLines_->showEvent(event);
  showInstructionWords();  // no line is chosen: the panel empties
  reportUnknownWords(report);
  refreshChrome();
}

// Refills the lines from the statements as they are (no decoding) and makes
// `line` current again, which shows its words.
void MainWindow::fillInstructionLines(int line) {
  instructionLines_->showEvent(currentEvent());
  const int last = instructionLines_->rowCount() - 1;
  if (line > last) line = last;
  if (line >= 0) instructionList_->setCurrentIndex(instructionLines_->index(line));
  instructionList_->setFocus();
  refreshChrome();
}

void MainWindow::addEvent() {
  std::string message;
  StepRecorder step(state_, kStepAddEvent, place());
  const int32_t number = AddEvent(state_, &message);
  step.Finish();
  eventSelector_->addItem(eventItemText(EventStarts(state_.game.objects, state_.eventCount()), number));
  refreshChrome();
  ShowMessage(this, Q(message));
}

void MainWindow::deleteEvent() {
  if (!AskOkCancel(this, Ui(state_, Str::DeleteEventQuestion), Ui(state_, Str::DeleteFileTitle))) return;
  const int event = currentEvent();
  StepRecorder step(state_, kStepDeleteEvent, place());
  step.TouchEvent(event);
  if (Status deleted = DeleteLastEvent(state_, event); !deleted) {
    step.Cancel();
    ShowMessage(this, CoreText(state_, deleted.error()));
    return;
  }
  step.Finish();
  {
    const QSignalBlocker block(eventSelector_);
    eventSelector_->removeItem(eventSelector_->count() - 1);
    eventSelector_->setCurrentIndex(eventSelector_->count() - 1);
  }
  refreshInstructionList();
}

void MainWindow::modifyEvent() {
  StepRecorder step(state_, kStepModifyEvent, place());
  step.TouchEvent(currentEvent());
  CommitEvent(state_, currentEvent());
  step.Finish();
  refreshChrome();
}

void MainWindow::copyInstructions() {
  std::vector<int> lines;
  for (const QModelIndex& index : instructionList_->selectionModel()->selectedIndexes()) lines.push_back(index.row());
  if (CopyInstructions(state_, currentEvent(), lines)) pasteAction_->setEnabled(true);
}

void MainWindow::copyWholeEvent() {
  if (currentEvent() < 0) return;
  CopyWholeEvent(state_, currentEvent());
  pasteAllAction_->setEnabled(true);
}

void MainWindow::pasteInstructions() {
  const int line = currentLine();
  if (line < 0 || !state_.hasInstructionClip) return;
  StepRecorder step(state_, kStepPasteInstructions, place());
  step.TouchEvent(currentEvent());
  const DecodeReport report = PasteInstructions(state_, currentEvent(), line);
  step.Finish();
  fillInstructionLines(line);
  reportUnknownWords(report);
}

void MainWindow::pasteWholeEvent() {
  if (currentEvent() < 0 || !state_.hasEventClip) return;
  if (!AskYesNo(this, Ui(state_, Str::PasteEventQuestion))) return;
  StepRecorder step(state_, kStepPasteEvent, place());
  step.TouchEvent(currentEvent());
  const DecodeReport report = PasteWholeEvent(state_, currentEvent());
  step.Finish();
  fillInstructionLines(-1);
  reportUnknownWords(report);
}

void MainWindow::popUpEditMenu(const QPoint& globalPos) { editMenu_->popup(globalPos); }

// The edit menu pops up when the right button is released over the
// instruction list, or from the keyboard's menu key.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == instructionList_->viewport() && event->type() == QEvent::MouseButtonRelease) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::RightButton) {
      popUpEditMenu(mouse->globalPosition().toPoint());
      return true;
    }
  }
  if ((watched == instructionList_ || watched == instructionList_->viewport()) &&
      event->type() == QEvent::ContextMenu) {
    auto* menu = static_cast<QContextMenuEvent*>(event);
    if (menu->reason() == QContextMenuEvent::Keyboard) {
      const QModelIndex current = instructionList_->currentIndex();
      const QRect at = current.isValid() ? instructionList_->visualRect(current) : QRect();
      popUpEditMenu(instructionList_->viewport()->mapToGlobal(at.isValid() ? at.center() : QPoint(0, 0)));
    }
    return true;  // the mouse's menu comes with the release above
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace tavrel::ui
