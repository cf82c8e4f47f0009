#pragma once
// Every message box and question of the editor goes through one Prompt, so
// tests can answer them. The editor uses QMessageBox.
#include <QString>

class QWidget;

namespace tavrel::ui {

enum class Buttons { Ok, OkCancel, YesNo };
enum class Answer { Ok, Cancel, Yes, No };

class Prompt {
 public:
  virtual ~Prompt() = default;
  // `title` empty: the default title (the main window's title as it was when
  // the window opened).
  virtual Answer Ask(QWidget* parent, const QString& title, const QString& text, Buttons buttons) = 0;
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

}  // namespace tavrel::ui
