#include "ui/prompt.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <utility>

namespace tavrel::ui {
namespace {

class MessageBoxPrompt final : public Prompt {
 public:
  Answer Ask(QWidget* parent, const QString& title, const QString& text, Buttons buttons) override {
    const QString caption = title.isEmpty() ? DefaultTitle() : title;
    switch (buttons) {
      case Buttons::Ok:
        QMessageBox::information(parent, caption, text, QMessageBox::Ok);
        return Answer::Ok;
      case Buttons::OkCancel:
        return QMessageBox::question(parent, caption, text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) ==
                       QMessageBox::Ok
                   ? Answer::Ok
                   : Answer::Cancel;
      case Buttons::YesNo:
      case Buttons::YesNoDefaultNo:
        return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No,
                                     buttons == Buttons::YesNo ? QMessageBox::Yes : QMessageBox::No) == QMessageBox::Yes
                   ? Answer::Yes
                   : Answer::No;
      case Buttons::YesNoCancel:
        return AskChoice(parent, title, text, {}, {}, {});
    }
    return Answer::Cancel;
  }

  Answer AskChoice(QWidget* parent, const QString& title, const QString& text, const QString& yes, const QString& no,
                   const QString& cancel) override {
    QMessageBox box(QMessageBox::Question, title.isEmpty() ? DefaultTitle() : title, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    const std::pair<QMessageBox::StandardButton, const QString*> captions[] = {
        {QMessageBox::Yes, &yes}, {QMessageBox::No, &no}, {QMessageBox::Cancel, &cancel}};
    for (const auto& [button, caption] : captions)
      if (!caption->isEmpty()) box.button(button)->setText(*caption);
    switch (box.exec()) {
      case QMessageBox::Yes:
        return Answer::Yes;
      case QMessageBox::No:
        return Answer::No;
      default:
        return Answer::Cancel;
    }
  }

  QString ChoosePath(QWidget* parent, const QString& title, PathKind kind, const QString& start,
                     const QString& filter) override {
    switch (kind) {
      case PathKind::Folder:
        return QFileDialog::getExistingDirectory(parent, title, start);
      case PathKind::OpenFile:
        return QFileDialog::getOpenFileName(parent, title, start, filter);
      case PathKind::SaveFile:
        return QFileDialog::getSaveFileName(parent, title, start, filter);
    }
    return {};
  }
};

MessageBoxPrompt& MessageBoxes() {
  static MessageBoxPrompt prompt;
  return prompt;
}
Prompt* g_prompt = nullptr;
QString g_defaultTitle;

}  // namespace

Answer Prompt::AskChoice(QWidget* parent, const QString& title, const QString& text, const QString&, const QString&,
                         const QString&) {
  return Ask(parent, title, text, Buttons::YesNoCancel);
}

Prompt& CurrentPrompt() { return g_prompt ? *g_prompt : MessageBoxes(); }
void SetPrompt(Prompt* prompt) { g_prompt = prompt; }
void SetDefaultTitle(const QString& title) { g_defaultTitle = title; }
QString DefaultTitle() { return g_defaultTitle; }

void ShowMessage(QWidget* parent, const QString& text, const QString& title) {
  CurrentPrompt().Ask(parent, title, text, Buttons::Ok);
}
bool AskOkCancel(QWidget* parent, const QString& text, const QString& title) {
  return CurrentPrompt().Ask(parent, title, text, Buttons::OkCancel) == Answer::Ok;
}
bool AskYesNo(QWidget* parent, const QString& text, const QString& title) {
  return CurrentPrompt().Ask(parent, title, text, Buttons::YesNo) == Answer::Yes;
}
bool AskYesDefaultNo(QWidget* parent, const QString& text, const QString& title) {
  return CurrentPrompt().Ask(parent, title, text, Buttons::YesNoDefaultNo) == Answer::Yes;
}
Answer AskChoice(QWidget* parent, const QString& text, const QString& yes, const QString& no, const QString& cancel,
                 const QString& title) {
  return CurrentPrompt().AskChoice(parent, title, text, yes, no, cancel);
}
QString ChoosePath(QWidget* parent, const QString& title, PathKind kind, const QString& start, const QString& filter) {
  return CurrentPrompt().ChoosePath(parent, title, kind, start, filter);
}

}  // namespace tavrel::ui
