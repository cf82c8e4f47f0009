#pragma once
// The instruction dialogs that name scene tiles (0x03, 0x11, 0x3c, 0x1B, 0x2c): a
// scene chosen by hand loads its tile set, a browser shows any tile, and a
// preview shows the instruction's tile or plays its animation.
#include <QTimer>
#include <memory>
#include <vector>

#include "ui/instructions/instruction_dialog.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace tavrel::ui {

class PictureBox;

class PicturePreviewDialog : public InstructionDialog {
  Q_OBJECT
 public:
  PicturePreviewDialog(EditorState& state, Statement& statement, std::string_view form, QWidget* parent = nullptr);

 private:
  struct Animation {
    QLineEdit* start = nullptr;
    QLineEdit* end = nullptr;
    PictureBox* box = nullptr;
    QTimer* timer = nullptr;
    std::vector<int> numbers;
    size_t next = 0;
  };

  void chooseScene(int scene);
  void browse();
  void showInstructionTile();
  void play(Animation& animation);
  void step(Animation& animation);
  void addAnimation(FieldRole start, FieldRole end, const char* box, const char* button, const char* timer);
  void drawTile(PictureBox* box, const RlePicture* tile);
  void sceneEventTick();
  void afterLoad() override;

  const PictureSet& tiles() const;  // the chosen scene's set, empty when none was found

  std::shared_ptr<const PictureSet> tiles_;  // shared with the state's cache
  QLabel* tileFiles_ = nullptr;              // the tile files of the chosen scene
  bool sceneChosen_ = false;
  QScrollBar* scroll_ = nullptr;
  QLineEdit* browseNumber_ = nullptr;
  PictureBox* browseBox_ = nullptr;
  PictureBox* instructionBox_ = nullptr;  // Pic1 of 0x11 and 0x3c
  std::vector<std::unique_ptr<Animation>> animations_;
  // The scene-event dialog: its three pictures in turn every 300 ms, and
  // both its boxes anchored 10 pixels above the bottom.
  bool sceneEvent_ = false;
  PictureBox* eventBox_ = nullptr;
  QTimer* eventTimer_ = nullptr;
  int phase_ = 0;
};

}  // namespace tavrel::ui
