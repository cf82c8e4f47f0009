#pragma once
// The find window: a text (or regular expression) searched in every line of
// every event, or a reference to a dialogue, person, item, scene, skill,
// battle, event or portrait chosen from the lists the dialogs use. The
// search runs in slices from the event loop, shows its progress and can be
// stopped; its results stay until the game is edited, then the window says
// they may be out of date and offers to search again. Enter or a double
// click on a result asks the main window to show that line.
#include <QDialog>
#include <functional>
#include <memory>
#include <vector>

#include "app/editor_state.h"
#include "app/find.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

namespace tavrel::ui {

class FindWindow : public QDialog {
  Q_OBJECT
 public:
  // `shown` gives the shown event's statements as the user sees them, asked
  // for at the start of every search.
  using ShownSource = std::function<std::vector<Statement>(int32_t& event)>;
  FindWindow(EditorState& state, ShownSource shown, QWidget* parent = nullptr);
  ~FindWindow() override;

  // Sets the reference search to `number` of `kind` and starts it.
  void findReference(RefKind kind, int32_t number);
  // Starts the search the controls describe.
  void start();
  void stop();
  bool searching() const { return search_ != nullptr; }
  // The result after (+1) or before (-1) the chosen one, chosen and shown;
  // false when there is none.
  bool step(int direction);
  // Whether the results were found in the tables as they are now.
  bool stale() const;
  // Shows or hides the out-of-date note; the main window calls it after an edit.
  void refreshState();
  int resultCount() const { return static_cast<int>(results_.size()); }

 signals:
  void showPlace(const tavrel::Place& place);

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void fillNumbers();
  void slice();
  void finish();
  void appendResults(size_t from);
  void activate(int row);
  RefKind chosenKind() const;

  EditorState& state_;
  ShownSource shownSource_;
  QRadioButton* byText_ = nullptr;
  QRadioButton* byReference_ = nullptr;
  QLineEdit* text_ = nullptr;
  QCheckBox* regex_ = nullptr;
  QCheckBox* ignoreCase_ = nullptr;
  QComboBox* kind_ = nullptr;
  QComboBox* number_ = nullptr;
  QPushButton* find_ = nullptr;
  QPushButton* stop_ = nullptr;
  QPushButton* again_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* count_ = nullptr;
  QLabel* staleNote_ = nullptr;
  QListWidget* list_ = nullptr;
  QTimer* timer_ = nullptr;

  std::vector<Statement> shown_;  // the shown event's statements, kept for the running search
  std::unique_ptr<EventSearch> search_;
  std::vector<FoundLine> results_;
  uint64_t foundAt_ = 0;  // the history's revision the results were found at
  bool haveResults_ = false;
};

}  // namespace tavrel::ui
