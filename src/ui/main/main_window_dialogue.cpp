// The dialogue selector and its three commands: add, store, delete.
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

#include "app/commands.h"
#include "app/find.h"
#include "ui/main/main_window.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tavrel::ui {

void MainWindow::refreshDialogueList() {
  const int remembered = currentDialogue();
  {
    const QSignalBlocker block(dialogueSelector_);
    dialogueSelector_->clear();
    for (int32_t i = 0; i < state_.talkCount(); ++i) dialogueSelector_->addItem(Q(TalkItem(state_, i)));
    dialogueSelector_->setCurrentIndex(DialoguePositionAfterRefresh(state_, remembered));
  }
  showDialogue();
  refreshChrome();
}

void MainWindow::showDialogue() {
  const int index = currentDialogue();
  if (index >= 0 && index < state_.talkCount())
    dialogueEdit_->setText(Q(state_.game.talk.entries[static_cast<size_t>(index)].text));
  else
    dialogueEdit_->clear();
  // A game without dialogue files says so where the dialogue would be.
  dialogueEdit_->setPlaceholderText(state_.game.talkMissing ? Ui(state_, Str::NoDialogueFiles) : QString());
}

void MainWindow::addDialogue() {
  std::string message;
  StepRecorder step(state_, kStepAddDialogue, place());
  const int32_t number = AddDialogue(state_, &message);
  step.Finish();
  refreshDialogueList();
  dialogueSelector_->setCurrentIndex(number);
  showDialogue();
  ShowMessage(this, Q(message));
  dialogueEdit_->setFocus();
  dialogueEdit_->selectAll();
}

void MainWindow::modifyDialogue() {
  const int index = currentDialogue();
  if (index < 0) return;
  StepRecorder step(state_, kStepModifyDialogue, place());
  step.TouchDialogue(index);
  StoreDialogue(state_, index, U8(dialogueEdit_->text()));
  step.Finish();
  refreshDialogueList();
}

void MainWindow::deleteDialogue() {
  const int index = currentDialogue();
  if (index < 0) return;
  QString question = Ui(state_, Str::DeleteTalkQuestion);
  if (index + 1 == state_.talkCount()) {  // only the last can go: say what still shows it
    int32_t event = -1;
    const std::vector<Statement> shown = shownStatements(event);
    const int32_t uses = CountReferences(state_, RefKind::Dialogue, index, ShownStatements{event, shown});
    question += QStringLiteral("\n") + UiFormat(state_, Str::DeleteDialogueStillShown, uses);
  }
  if (!AskOkCancel(this, question, Ui(state_, Str::DeleteFileTitle))) return;
  StepRecorder step(state_, kStepDeleteDialogue, place());
  step.TouchDialogue(index);
  if (Status deleted = DeleteLastDialogue(state_, index); !deleted) {
    step.Cancel();
    ShowMessage(this, CoreText(state_, deleted.error()), Ui(state_, Str::DeleteFileTitle));
    return;
  }
  step.Finish();
  refreshDialogueList();
}

}  // namespace tavrel::ui
