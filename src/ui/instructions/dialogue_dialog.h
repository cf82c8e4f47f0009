#pragma once
// The dialogue instruction's dialog: the dialogue text itself, the speaker's
// portrait with the persons wearing it, and the display mode. OK stores the
// text into the dialogue the instruction names or into a new one.
#include <QTimer>

#include "ui/instructions/instruction_dialog.h"

class QListWidget;
class QRadioButton;

namespace tavrel::ui {

class PictureBox;

class DialogueDialog : public InstructionDialog {
  Q_OBJECT
 public:
  DialogueDialog(EditorState& state, Statement& statement, std::string_view form, QWidget* parent = nullptr);

 protected:
  void afterLoad() override;
  bool write() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void showSpeaker();

  PictureBox* portrait_ = nullptr;
  QListWidget* speakers_ = nullptr;
  QRadioButton* existing_ = nullptr;
  QRadioButton* appended_ = nullptr;
  QTimer timer_;
};

}  // namespace tavrel::ui
