#pragma once
// Every message box and question of the editor goes through one Prompt, so
// tests can answer them. The editor uses QMessageBox and QFileDialog.
#include <QString>

class QWidget;

namespace tavrel::ui {

// YesNoDefaultNo: a question whose Yes loses something; Enter answers No.
enum class Buttons { Ok, OkCancel, YesNo, YesNoDefaultNo };
enum class Answer { Ok, Cancel, Yes, No };
// What a path question asks for.
enum class PathKind { Folder, OpenFile, SaveFile };

class Prompt {
 public:
  virtual ~Prompt() = default;
  // `title` empty: the default title (the main window's title as it was when
  // the window opened).
  virtual Answer Ask(QWidget* parent, const QString& title, const QString& text, Buttons buttons) = 0;
  // A folder or file chosen by the user, starting at `start`; empty when
  // the user cancelled.
  virtual QString ChoosePath(QWidget* parent, const QString& title, PathKind kind, const QString& start) = 0;
};

// The prompt in use; a QMessageBox prompt unless a test installed another.
Prompt& CurrentPrompt();
void SetPrompt(Prompt* prompt);  // nullptr restores the QMessageBox prompt

void SetDefaultTitle(const QString& title);
QString DefaultTitle();

// Shorthands.
void ShowMessage(QWidget* parent, const QString& text, const QString& title = {});
bool AskOkCancel(QWidget* parent, const QString& text, const QString& title = {});
bool AskYesNo(QWidget* parent, const QString& text, const QString& title = {});
// Yes or No, with No the default: for a question whose Yes loses something.
bool AskYesDefaultNo(QWidget* parent, const QString& text, const QString& title = {});
QString ChoosePath(QWidget* parent, const QString& title, PathKind kind, const QString& start);

}  // namespace tavrel::ui
