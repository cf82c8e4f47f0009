#pragma once
// The check window: runs the game check (app/lint.h) over the committed
// events and lists what it found, errors first, with the summary line.
// Enter or a double click on a problem asks the main window to show its
// line (or, for an unused dialogue, the dialogue).
#include <QDialog>
#include <vector>

#include "app/editor_state.h"
#include "app/lint.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace tavrel::ui {

class CheckWindow : public QDialog {
  Q_OBJECT
 public:
  explicit CheckWindow(EditorState& state, QWidget* parent = nullptr);

  void check();
  bool stale() const;
  void refreshState();
  const LintReport& report() const { return report_; }

 signals:
  void showPlace(const tavrel::Place& place);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void activate(int row);

  EditorState& state_;
  QPushButton* check_ = nullptr;
  QLabel* summary_ = nullptr;
  QLabel* staleNote_ = nullptr;
  QListWidget* list_ = nullptr;
  LintReport report_;
  uint64_t checkedAt_ = 0;
  bool checked_ = false;
};

}  // namespace tavrel::ui
