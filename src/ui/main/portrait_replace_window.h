#pragma once
// The speaker portrait replacement: two portrait sides (the old portrait and
// the new one), each a list of portrait numbers, a preview anchored at the
// box's bottom left and the persons wearing it; Comok counts the dialogue
// instructions showing the old portrait, asks, and replaces it by the new
// one in every event (app/portrait_replace.h).
#include <QDialog>

#include "app/editor_state.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace tavrel::ui {

class PictureBox;

class PortraitReplaceWindow : public QDialog {
  Q_OBJECT
 public:
  explicit PortraitReplaceWindow(EditorState& state, QWidget* parent = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // One portrait side: its list, its preview and the list of its wearers.
  struct Side {
    QLabel* title = nullptr;
    QComboBox* portraits = nullptr;
    PictureBox* picture = nullptr;
    QLabel* usersTitle = nullptr;
    QListWidget* users = nullptr;
  };

  void buildSide(Side& side, const char* titleName, const char* listName, const char* pictureName,
                 const char* usersTitleName, const char* usersName);
  void showSide(Side& side);
  void replace();

  EditorState& state_;
  Side old_;
  Side new_;
  QPushButton* replaceButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
};

}  // namespace tavrel::ui
