#pragma once
// The game-directory window: a drive chooser, the directory tree of that
// drive and a field to type or paste a path into, which follows the tree.
// Opening it forgets the previous game directory; OK (or Enter in the field)
// takes the field's directory, Cancel leaves none.
#include <QDialog>
#include <QString>
#include <QStringList>

#include "app/editor_state.h"

class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QTreeView;

namespace tavrel::ui {

class GamePathWindow : public QDialog {
  Q_OBJECT
 public:
  // Empties state.gameDirectory at once. The tree starts in the directory
  // that was set before, so setting it again is one click.
  explicit GamePathWindow(EditorState& state, QWidget* parent = nullptr);

  // The directory the tree has open: its current directory, or the drive
  // root when none is current.
  QString openDirectory() const;

  // The drives offered: the drive letters, or the mount points elsewhere.
  static QStringList Drives();
  // The game directory text of a path: native separators, no trailing
  // separator except for a drive root, which keeps it.
  static QString DirectoryText(const QString& path);

 private:
  void showDrive(int position);
  void openAt(const QString& path);
  void takeDirectory();
  // The tree's choice shown in the field.
  void showChosenPath();

  EditorState& state_;
  QComboBox* drives_ = nullptr;
  QTreeView* tree_ = nullptr;
  QLineEdit* path_ = nullptr;
  QFileSystemModel* model_ = nullptr;
};

}  // namespace tavrel::ui
