// The file menu (game directory, read, save, exports, exit), unsaved
// changes, and the side windows.
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QMenu>
#include <QStatusBar>

#include "app/exports.h"
#include "app/program_files.h"
#include "gamefiles/save_recovery.h"
#include "app/save_plan.h"
#include "ui/main/busy.h"
#include "ui/main/main_window.h"
#include "ui/main/side_windows.h"
#include "ui/pictures/portrait_window.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"
#include "ui/settings.h"
#include "ui/shell/about_window.h"
#include "ui/shell/game_path_window.h"

namespace tavrel::ui {

void MainWindow::chooseGameDirectory() {
  GamePathWindow window(state_, this);
  window.exec();
  setGameDirectory(Q(state_.gameDirectory));
}

void MainWindow::refreshRecentMenu() {
  recentMenu_->clear();
  const EditorSettings* settings = Settings();
  const QStringList directories = settings ? settings->recentDirectories() : QStringList();
  for (int k = 0; k < directories.size(); ++k) {
    // The path as it is: an "&" in it is no mnemonic mark.
    QAction* action = recentMenu_->addAction(QString(directories[k]).replace(u'&', QStringLiteral("&&")));
    action->setObjectName(QStringLiteral("mnu_recent_%1").arg(k));
    const QString directory = directories[k];
    connect(action, &QAction::triggered, this, [this, directory] { openRecentDirectory(directory); });
  }
  recentMenu_->setEnabled(!directories.isEmpty());
}

bool MainWindow::openRecentDirectory(const QString& directory) {
  if (!QFileInfo(directory).isDir()) {
    ShowMessage(this, UiFormat(state_, Str::RecentDirectoryMissing, directory));
    return false;
  }
  const std::string before = state_.gameDirectory;
  state_.gameDirectory = U8(directory);
  if (!readFiles()) {
    state_.gameDirectory = before;
    return false;
  }
  setGameDirectory(directory);
  return true;
}

void MainWindow::setGameDirectory(const QString& directory) {
  state_.gameDirectory = U8(directory);
  baseTitle_ = Ui(state_, Str::EditorTitle) + "-" + directory;
  readFileAction_->setEnabled(true);
  refreshChrome();
}

bool MainWindow::readFiles() {
  if (!settleUncommittedEdits() || !settleUnsavedChanges(204)) return false;
  // A save that was cut off in the directory is finished or undone before
  // anything in it is read, and said in one message.
  Result<std::string> recovered = RecoverInterruptedSave(std::filesystem::path(state_.gameDirectory));
  if (!recovered) {
    ShowMessage(this, CoreText(state_, recovered.error()));
    return false;
  }
  if (!recovered->empty()) ShowMessage(this, CoreText(state_, *recovered));
  Result<GameReadReport> read = Error{};
  {
    Busy busy(statusBar(), Ui(state_, Str::MenuReadFiles));
    read = ReadGameFiles(state_);
  }
  if (!read) {
    // The read is all or nothing: the lists still show the previous state.
    ShowMessage(this, CoreText(state_, read.error()));
    return false;
  }
  state_.history.Clear();
  state_.modified = false;

  {
    const QSignalBlocker block(dialogueSelector_);
    dialogueSelector_->setCurrentIndex(-1);
  }
  refreshDialogueList();
  if (state_.talkCount() > 0) dialogueSelector_->setCurrentIndex(0);
  for (QAction* on : {saveFileAction_, exportTalkAction_, exportKdefAction_, exportScriptAction_, importScriptAction_,
                      exportDialogueAction_, importDialogueAction_, portraitReplaceAction_, battleEditorAction_,
                      zdatPatcherAction_, portraitsAction_, sceneObjectsAction_, findAction_, checkAction_})
    on->setEnabled(true);
  dialogueFrame_->setEnabled(true);
  eventFrame_->setEnabled(true);
  fillEventSelector();
  if (EditorSettings* settings = Settings()) {
    settings->addRecentDirectory(Q(state_.gameDirectory));
    refreshRecentMenu();
  }
  // What could not be read or was read gently, in one message once the
  // window shows what was read.
  if (const std::string warnings = ReadWarningsMessage(*read); !warnings.empty())
    ShowMessage(this, CoreText(state_, warnings));
  return true;
}

bool MainWindow::saveFiles() { return saveFiles(true); }

bool MainWindow::saveFiles(bool ask) {
  if (!state_.loaded || !settleUncommittedEdits()) return false;
  // The question lists exactly what the save writes; a file read with
  // damage that holds changes gets a question of its own.
  SavePlan plan = PlanSave(state_);
  if (!plan.writesAnything() && !plan.needsAnswers()) {
    // Every file already holds what the editor holds.
    state_.history.MarkClean();
    state_.modified = false;
    refreshChrome();
    statusBar()->showMessage(CoreText(state_, SavePlanText(plan)), 5000);
    return true;
  }
  if (ask && !AskOkCancel(this, CoreText(state_, SavePlanText(plan)), windowTitle())) return false;
  for (PlannedPart& part : plan.parts)
    if (part.needsAnswer()) part.overwriteDamaged = AskYesDefaultNo(this, CoreText(state_, DamageQuestionText(part)));
  Result<SaveOutcome> saved = CarryOutSave(state_, plan);
  if (!saved) {
    ShowMessage(this, CoreText(state_, saved.error()));
    return false;
  }
  if (!saved->leftWithChanges.empty()) {
    // The editor still holds changes the disk does not: they stay unsaved.
    ShowMessage(this, CoreText(state_, LeftDamagedText(saved->leftWithChanges)));
    refreshChrome();
    return false;
  }
  state_.history.MarkClean();
  state_.modified = false;
  refreshChrome();
  statusBar()->showMessage(Ui(state_, Str::MenuSaveFiles), 3000);
  return true;
}

// Before the tables are thrown away (reading again, exit): with unsaved
// changes the save question comes first; declining it asks whether to go on
// with the command (`actionText` names it) or keep the window as it is.
bool MainWindow::settleUnsavedChanges(int actionText) {
  if (!state_.modified || !state_.loaded) return true;
  if (AskYesNo(this, CoreText(state_, SavePlanText(PlanSave(state_))), windowTitle())) return saveFiles(false);
  return AskOkCancel(this, Ui(state_, actionText) + QString::fromUtf8("？"), windowTitle());
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (settleUncommittedEdits() && settleUnsavedChanges(208))
    event->accept();
  else
    event->ignore();
}

// The line an export's message gets when the program's directory could not
// take the file.
QString MainWindow::FallbackNote(const ExportWritten& written) const {
  return written.unwritable.empty() ? QString()
                                    : "\n" + PathText(written.unwritable) + Ui(state_, Str::SavedInUserDataInstead);
}

void MainWindow::exportTalk() {
  Result<ExportWritten> written = Error{};
  {
    Busy busy(statusBar(), Ui(state_, Str::MenuExportTalk));
    written = WriteProgramExport(state_.programDir, kTalkExportName, ExportTalkText(state_), UserDataDirectory());
  }
  if (!written) {
    ShowMessage(this, CoreText(state_, written.error()), Ui(state_, Str::TalkExportTitle));
    return;
  }
  ShowMessage(this, Ui(state_, Str::TalkExportedTo) + PathText(written->path) + FallbackNote(*written),
              Ui(state_, Str::TalkExportTitle));
}

void MainWindow::exportKdef() {
  // The export decodes every event afresh, the shown one too.
  if (!settleUncommittedEdits()) return;
  KdefExportReport report;
  Result<ExportWritten> written = Error{};
  {
    Busy busy(statusBar(), Ui(state_, Str::MenuExportKdef));
    written = WriteProgramExport(
        state_.programDir, kKdefExportName,
        [this, &report](const ByteSink& sink) { return ExportKdefText(state_, sink, &report); }, UserDataDirectory());
  }
  // Every event was decoded afresh, the shown one too.
  fillInstructionLines(currentLine());
  if (report.totalUnknownWords > 0) ShowMessage(this, Ui(state_, Str::UnknownStatements));
  if (!written) {
    ShowMessage(this, CoreText(state_, written.error()), Ui(state_, Str::KdefExportTitle));
    return;
  }
  ShowMessage(this, Ui(state_, Str::KdefExportedTo) + PathText(written->path) + FallbackNote(*written),
              Ui(state_, Str::KdefExportTitle));
}

void MainWindow::openBattleEditor() { OpenBattleEditor(state_, this); }

void MainWindow::openPatcher() { OpenPatcher(state_, this); }

void MainWindow::openPortraitWindow() {
  OpenPortraitWindow(state_, this);
  refreshChrome();
}

void MainWindow::openPortraitReplacement() {
  // One step for the window: counting decodes every event again, so the
  // shown event's statements are kept from before it opened, with its
  // edits settled first.
  if (!settleUncommittedEdits()) return;
  StepRecorder step(state_, kStepReplacePortrait, place());
  step.TouchAllEvents();
  OpenPortraitReplacement(state_, this);
  step.Finish();
  refreshInstructionList();
}

void MainWindow::openAbout() {
  AboutWindow about(state_, this);
  about.exec();
}

}  // namespace tavrel::ui
