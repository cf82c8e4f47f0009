#pragma once
// The game-directory window: a drive chooser and the directory tree of that
// drive. Opening it forgets the previous game directory; OK takes the open
// directory, Cancel leaves none.
#include <QDialog>
#include <QString>
#include <QStringList>

#include "app/editor_state.h"

class QComboBox;
class QFileSystemModel;
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

  EditorState& state_;
  QComboBox* drives_ = nullptr;
  QTreeView* tree_ = nullptr;
  QFileSystemModel* model_ = nullptr;
};

}  // namespace tavrel::ui
