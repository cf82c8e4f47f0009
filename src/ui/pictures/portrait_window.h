#pragma once
// The portrait window (menu 图片 → 头像): every portrait in a grid with its
// number and the persons wearing it, drawn with the game palette. A portrait
// is replaced from a PNG file or a new one added at the end, each after a
// preview of the picture as the palette shows it; one portrait or all of them
// are exported as PNG files. Changes are undoable steps of the editor's
// history and reach hdgrp.idx/grp with the main save.
#include <QDialog>
#include <optional>

#include "app/editor_state.h"
#include "app/picture_sets.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace tavrel::ui {

class PictureBox;

// The preview before a replacement or an addition: the portrait as it is
// (empty for a new one) and the PNG as the palette will show it, with how
// many pixels had to be mapped; OK goes on, Cancel leaves everything as it was.
class PortraitPreview : public QDialog {
  Q_OBJECT
 public:
  PortraitPreview(const EditorState& state, const RlePicture* before, const RlePicture& after, uint64_t mappedPixels,
                  QWidget* parent = nullptr);
};

class PortraitWindow : public QDialog {
  Q_OBJECT
 public:
  explicit PortraitWindow(EditorState& state, QWidget* parent = nullptr);

  // The chosen portrait number, -1 when none.
  int chosen() const;
  void choose(int number);

 private:
  void fillGrid();
  void showItem(int number);
  void showChosen();
  // Reads the PNG the user names and shows the preview; the picture with the
  // offsets it will get, or nothing when the user cancelled or it could not be read.
  std::optional<IndexedPicture> askPicture(const RlePicture* before, int16_t xOffset, int16_t yOffset);
  void replaceChosen();
  void addPortrait();
  void exportChosen();
  void exportAll();

  EditorState& state_;
  QListWidget* grid_ = nullptr;
  QLabel* users_ = nullptr;
  QPushButton* replace_ = nullptr;
  QPushButton* add_ = nullptr;
  QPushButton* export_ = nullptr;
  QPushButton* exportAll_ = nullptr;
  QPushButton* close_ = nullptr;
};

// Opens the window modally.
void OpenPortraitWindow(EditorState& state, QWidget* parent);

}  // namespace tavrel::ui
