#pragma once
// A Prompt that answers from a script and records every question asked.
#include <QString>
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
    return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
  }

  QString ChoosePath(QWidget*, const QString& title, PathKind kind, const QString& start) override {
    pathsAsked_.push_back({title, start, kind});
    if (paths_.empty()) return {};
    QString path = paths_.front();
    paths_.pop_front();
    return path;
  }
  struct PathAsked {
    QString title;
    QString start;
    PathKind kind;
  };
  const std::vector<PathAsked>& pathsAsked() const { return pathsAsked_; }

 private:
  std::deque<Answer> answers_;
  std::vector<Asked> asked_;
  std::deque<QString> paths_;
  std::vector<PathAsked> pathsAsked_;
};

}  // namespace tavrel::ui::test
