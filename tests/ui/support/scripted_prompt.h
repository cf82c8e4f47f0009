#pragma once
// A Prompt that answers from a script and records every question asked.
#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

#include "ui/prompt.h"

namespace tavrel::ui::test {

struct Asked {
  QString title;
  QString text;
  Buttons buttons;
};

class ScriptedPrompt final : public Prompt {
 public:
  ScriptedPrompt() { SetPrompt(this); }
  ~ScriptedPrompt() override { SetPrompt(nullptr); }

  // Answers used in order; when none is left, the box's default button is
  // answered (OK, Yes, or No for a question whose default is No).
  void Queue(Answer answer) { answers_.push_back(answer); }
  const std::vector<Asked>& asked() const { return asked_; }
  // Paths answered to path questions in order; when none is left the
  // question is cancelled (an empty path).
  void QueuePath(const QString& path) { paths_.push_back(path); }
  void Clear() {
    asked_.clear();
    captions_.clear();
    answers_.clear();
    paths_.clear();
  }

  Answer Ask(QWidget*, const QString& title, const QString& text, Buttons buttons) override {
    asked_.push_back({title.isEmpty() ? DefaultTitle() : title, text, buttons});
    if (!answers_.empty()) {
      Answer a = answers_.front();
      answers_.pop_front();
      return a;
    }
    // Unscripted, the box's default button is taken.
    if (buttons == Buttons::YesNoDefaultNo) return Answer::No;
    return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
  }

  // A three-way question is recorded as asked with Buttons::YesNoCancel,
  // with its captions.
  Answer AskChoice(QWidget* parent, const QString& title, const QString& text, const QString& yes, const QString& no,
                   const QString& cancel) override {
    captions_.push_back({yes, no, cancel});
    return Ask(parent, title, text, Buttons::YesNoCancel);
  }
  // The captions of every three-way question, in order.
  const std::vector<QStringList>& captions() const { return captions_; }

  QString ChoosePath(QWidget*, const QString& title, PathKind kind, const QString& start,
                     const QString& filter) override {
    pathsAsked_.push_back({title, start, kind, filter});
    if (paths_.empty()) return {};
    QString path = paths_.front();
    paths_.pop_front();
    return path;
  }
  struct PathAsked {
    QString title;
    QString start;
    PathKind kind;
    QString filter;
  };
  const std::vector<PathAsked>& pathsAsked() const { return pathsAsked_; }

 private:
  std::deque<Answer> answers_;
  std::vector<Asked> asked_;
  std::vector<QStringList> captions_;
  std::deque<QString> paths_;
  std::vector<PathAsked> pathsAsked_;
};

}  // namespace tavrel::ui::test
