#pragma once
// Every message box and question of the editor goes through one Prompt, so
// tests can answer them. The editor uses QMessageBox and QFileDialog.
#include <QString>

class QWidget;

namespace tavrel::ui {

// YesNoDefaultNo: a question whose Yes loses something; Enter answers No.
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, YesNoDefaultNo };
enum class Answer { Ok, Cancel, Yes, No };
// What a path question asks for.
enum class PathKind { Folder, OpenFile, SaveFile };

class Prompt {
 public:
  virtual ~Prompt() = default;
  // `title` empty: the default title (the main window's title as it was when
  // the window opened).
  virtual Answer Ask(QWidget* parent, const QString& title, const QString& text, Buttons buttons) = 0;
  // A question of three answers whose buttons say what each does: `yes`,
  // `no` and `cancel` caption the Yes, No and Cancel buttons. By default it
  // is asked as Ask(..., Buttons::YesNoCancel).
  virtual Answer AskChoice(QWidget* parent, const QString& title, const QString& text, const QString& yes,
                           const QString& no, const QString& cancel);
  // A folder or file chosen by the user, starting at `start`; empty when
  // the user cancelled. `filter` ("PNG pictures (*.png)") limits the files
  // shown; empty: every file.
  virtual QString ChoosePath(QWidget* parent, const QString& title, PathKind kind, const QString& start,
                             const QString& filter) = 0;
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
// Yes, No or Cancel from buttons captioned `yes`, `no` and `cancel`.
Answer AskChoice(QWidget* parent, const QString& text, const QString& yes, const QString& no, const QString& cancel,
                 const QString& title = {});
QString ChoosePath(QWidget* parent, const QString& title, PathKind kind, const QString& start,
                   const QString& filter = {});

}  // namespace tavrel::ui
