// The words of the chosen instruction and the instruction commands: modify
// a word, modify, insert and delete an instruction, and the guide.
#include <QLineEdit>
#include <QListWidget>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/guide.h"
#include "ui/instructions/instruction_dialogs.h"
#include "ui/main/insert_statement_dialog.h"
#include "ui/main/main_window.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tavrel::ui {

// The panel always shows the statement as it is now: after an undo or a
// redo of the same line the word chosen before stays chosen with its value;
// another line or event starts with no word chosen and an empty word box.
void MainWindow::showInstructionWords() {
  const std::pair<int, int> shown{currentEvent(), currentLine()};
  const int keptRow = shown == wordsShownFor_ ? wordList_->currentRow() : -1;
  wordsShownFor_ = shown;
  wordList_->clear();
  wordEdit_->clear();
  const Statement* statement = StatementAt(state_, shown.first, shown.second);
  if (statement == nullptr) return;
  if (statement->islabel) {
    ShowMessage(this, Ui(state_, Str::CannotDeleteLabel));
    return;
  }
  for (const std::string& word : WordLines(*statement)) wordList_->addItem(Q(word));
  if (keptRow >= 0 && keptRow < wordList_->count()) wordList_->setCurrentRow(keptRow);
}

void MainWindow::showWord() {
  if (QListWidgetItem* item = wordList_->currentItem()) wordEdit_->setText(item->text());
}

void MainWindow::modifyWord() {
  if (QListWidgetItem* item = wordList_->currentItem()) item->setText(wordEdit_->text());
}

void MainWindow::modifyInstruction() {
  const int line = currentLine();
  if (line < 0) return;
  std::vector<std::string> words;
  words.reserve(size_t(wordList_->count()));
  for (int k = 0; k < wordList_->count(); ++k) words.push_back(U8(wordList_->item(k)->text()));
  StepRecorder step(state_, kStepModifyInstruction, place(), kMergeWordEdits);
  step.TouchEvent(currentEvent());
  auto modified = ModifyInstruction(state_, currentEvent(), line, words);
  step.Finish();
  if (!modified) {
    ShowMessage(this, CoreText(state_, modified.error()));
    return;
  }
  fillInstructionLines(line);
  reportUnknownWords(*modified);
}

void MainWindow::insertInstruction() {
  const int line = currentLine();
  if (line < 0) return;
  StepRecorder step(state_, kStepInsertInstruction, place());
  step.TouchEvent(currentEvent());
  InsertStatementDialog dialog(state_, currentEvent(), line, this);
  dialog.exec();
  CommitEvent(state_, currentEvent());
  step.Finish();
  fillInstructionLines(line);
  if (dialog.inserted()) reportUnknownWords(dialog.report());
}

void MainWindow::deleteInstruction() {
  const int event = currentEvent();
  const int line = currentLine();
  std::string question;
  if (!DeleteQuestion(state_, event, line, &question)) return;
  if (!AskOkCancel(this, Q(question))) return;
  StepRecorder step(state_, kStepDeleteInstruction, place());
  step.TouchEvent(event);
  const DeleteOutcome outcome = DeleteInstruction(state_, event, line);
  step.Finish();
  switch (outcome) {
    case DeleteOutcome::Nothing:
      return;
    case DeleteOutcome::IsLabel:
      ShowMessage(this, Ui(state_, Str::CannotDeleteLabel));
      return;
    case DeleteOutcome::BlockNotEmpty:
      ShowMessage(this, Ui(state_, Str::JumpSpanNotEmpty));
      break;
    case DeleteOutcome::Deleted:
      break;
  }
  fillInstructionLines(line);
}

void MainWindow::openGuide() {
  const int event = currentEvent();
  const int line = currentLine();
  const Statement* statement = StatementAt(state_, event, line);
  if (statement == nullptr) return;
  const int16_t opcode = statement->Id;  // a label's Id is 0: "too simple"
  const Guide guide = GuideFor(opcode);
  if (guide.kind == GuideKind::Dialog) {
    StepRecorder step(state_, kStepInstructionDialog, place());
    step.TouchEvent(event);
    if (opcode == 1) step.TouchAllDialogue();
    const bool opened = OpenInstructionDialog(guide.form, state_, event, line, this);
    step.Finish();
    if (opened) {
      if (opcode == 1) refreshDialogueList();  // the dialogue dialog may add entries
    } else {
      ShowMessage(this, Q(GuideMessage(state_, opcode, GuideKind::NoGuide)));
    }
  } else {
    ShowMessage(this, Q(GuideMessage(state_, opcode, guide.kind)));
  }
  showInstructionWords();
  refreshChrome();
}

}  // namespace tavrel::ui
