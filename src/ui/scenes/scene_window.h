#pragma once
// The scene window: the scenes with their names, and for the chosen scene
// every non-empty object with its place, whether it can be passed, the three
// events it starts (each with the first line of the event) and its pictures
// with a preview of the first. An object is edited in the scene-event
// dialog's fields; an event is attached to or cleared from the chosen
// trigger. Enter or a double click on an event closes the window with that
// event chosen, for the main window to show it.
#include <QDialog>
#include <memory>

#include "app/editor_state.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace tavrel::ui {

class SceneWindow : public QDialog {
  Q_OBJECT
 public:
  // Opens on `scene` (the first when -1) with `object` chosen when given.
  SceneWindow(EditorState& state, QWidget* parent = nullptr, int scene = -1, int object = -1);

  // The event to show in the main window, -1 when none was chosen.
  int chosenEvent() const { return chosenEvent_; }
  // Whether an object was changed while the window was open.
  bool changedObjects() const { return changed_; }

  int currentScene() const;
  // The object of the current row, -1 when none.
  int currentObject() const;
  void chooseScene(int scene);
  void chooseObject(int object);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void fillObjects();
  void showCellEvent(int row, int column);
  void editObject();
  void attachEvent();
  void clearEvent();
  void afterEdit(int object);
  // The trigger of the current cell's column; false when it is no event column.
  bool currentTrigger(int& trigger) const;

  EditorState& state_;
  QListWidget* scenes_ = nullptr;
  QTableWidget* objects_ = nullptr;
  QLabel* note_ = nullptr;
  QLabel* tileFiles_ = nullptr;
  QLineEdit* eventNumber_ = nullptr;
  QPushButton* editButton_ = nullptr;
  QPushButton* attachButton_ = nullptr;
  QPushButton* clearButton_ = nullptr;
  QPushButton* showButton_ = nullptr;
  int chosenEvent_ = -1;
  bool changed_ = false;
};

// Opens the window modally; returns the event to show, -1 for none.
int OpenSceneWindow(EditorState& state, QWidget* parent, int scene = -1, int object = -1);

}  // namespace tavrel::ui
