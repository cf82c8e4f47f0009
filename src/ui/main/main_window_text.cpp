// The text forms of the events and the dialogue: a folder of event scripts
// and a dialogue file, written for any text editor and compiled back into
// the tables. Imports change only the tables in memory; saving writes them.
#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QStatusBar>

#include "app/dialogue_text.h"
#include "app/script_folder.h"
#include "ui/main/busy.h"
#include "ui/main/main_window.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tavrel::ui {

// The file dialogs start where the last text went, else in the game directory.
QString MainWindow::textStart() const { return lastTextPath_.isEmpty() ? Q(state_.gameDirectory) : lastTextPath_; }

void MainWindow::exportScript() {
  const QString folder = ChoosePath(this, Ui(state_, Str::MenuExportScript), PathKind::Folder, textStart());
  if (folder.isEmpty()) return;
  lastTextPath_ = folder;
  Status written = Ok();
  {
    Busy busy(statusBar(), Ui(state_, Str::MenuExportScript));
    written = ExportScriptFolder(state_, ChosenPath(folder));
  }
  if (!written) {
    ShowMessage(this, CoreText(state_, written.error()), Ui(state_, Str::MenuExportScript));
    return;
  }
  ShowMessage(this, Ui(state_, Str::ScriptExportedTo) + PathText(ChosenPath(folder)),
              Ui(state_, Str::MenuExportScript));
}

void MainWindow::importScript() {
  // The imported events are shown afresh: the shown one's edits are settled first.
  if (!settleUncommittedEdits()) return;
  const QString folder = ChoosePath(this, Ui(state_, Str::MenuImportScript), PathKind::Folder, textStart());
  if (folder.isEmpty()) return;
  lastTextPath_ = folder;
  const int remembered = currentEvent();
  Result<ScriptImport> imported = Error{};
  {
    Busy busy(statusBar(), Ui(state_, Str::MenuImportScript));
    StepRecorder step(state_, kStepImportScript, place());
    step.TouchAllEvents();
    step.TouchAllDialogue();
    imported = ImportScriptFolder(state_, ChosenPath(folder));
    if (!imported) step.Cancel();
  }
  if (!imported) {
    // Nothing changed: the lists still show the tables as they were.
    ShowMessage(this, CoreText(state_, imported.error()), Ui(state_, Str::MenuImportScript));
    return;
  }
  fillEventSelector();
  if (remembered >= 0 && remembered < eventSelector_->count()) eventSelector_->setCurrentIndex(remembered);
  ShowMessage(this,
              Ui(state_, Str::ScriptImportedEvents) + QString::number(imported->events) +
                  Ui(state_, Str::ChangedAmong) + QString::number(imported->changed),
              Ui(state_, Str::MenuImportScript));
}

void MainWindow::exportDialogue() {
  const QString start = textStart() + "/dialogue.txt";
  const QString file = ChoosePath(this, Ui(state_, Str::MenuExportDialogue), PathKind::SaveFile, start);
  if (file.isEmpty()) return;
  lastTextPath_ = QFileInfo(file).absolutePath();
  if (Status written = ExportDialogueFile(state_, ChosenPath(file)); !written) {
    ShowMessage(this, CoreText(state_, written.error()), Ui(state_, Str::MenuExportDialogue));
    return;
  }
  ShowMessage(this, Ui(state_, Str::DialogueExportedTo) + PathText(ChosenPath(file)),
              Ui(state_, Str::MenuExportDialogue));
}

// A text the charset cannot wholly hold is imported only when the user
// agrees to the replaced characters.
void MainWindow::importDialogue() {
  const QString file = ChoosePath(this, Ui(state_, Str::MenuImportDialogue), PathKind::OpenFile, textStart());
  if (file.isEmpty()) return;
  lastTextPath_ = QFileInfo(file).absolutePath();
  bool onlyUnholdable = false;
  StepRecorder step(state_, kStepImportDialogue, place());
  step.TouchAllDialogue();
  Result<DialogueImport> imported = ImportDialogueFile(state_, ChosenPath(file), false, &onlyUnholdable);
  if (!imported && onlyUnholdable) {
    if (!AskYesNo(this, Ui(state_, Str::UnencodableImportQuestion) + "\n" + CoreText(state_, imported.error()),
                  Ui(state_, Str::MenuImportDialogue)))
      return;
    imported = ImportDialogueFile(state_, ChosenPath(file), true);
  }
  if (!imported) {
    step.Cancel();
    ShowMessage(this, CoreText(state_, imported.error()), Ui(state_, Str::MenuImportDialogue));
    return;
  }
  step.Finish();
  refreshDialogueList();
  ShowMessage(this,
              Ui(state_, Str::DialogueImportedTalks) + QString::number(imported->entries) +
                  Ui(state_, Str::ChangedAmong) + QString::number(imported->changed),
              Ui(state_, Str::MenuImportDialogue));
}

}  // namespace tavrel::ui
