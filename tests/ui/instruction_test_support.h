#pragma once
// The sample game for the instruction dialog tests: generated into a scratch
// directory and read as the editor reads a game, plus the helpers that find
// a statement of a kind, open its dialog and read its picture boxes.
#include <QAbstractButton>
#include <QDialog>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>
#include <utility>

#include "app/commands.h"
#include "app/editor_state.h"
#include "sample/sample_parts.h"
#include "ui/instructions/instruction_dialogs.h"
#include "ui/picture_box.h"

namespace tavrel::ui::test {

class SampleEditor {
 public:
  // Returns an empty string on success, else what failed. `numberedTiles`
  // writes a tile set per scene instead of the one bare set.
  std::string Start(bool numberedTiles = false) {
    if (!dir_.isValid()) return "no scratch directory";
    state.programDir = TAVREL_BIN_DIR;
    auto started = InitializeEditor(state, GameCharset::Gbk);
    if (!started) return started.error();
    gameDir = dir_.path().toStdString() + "/game";
    sample::SampleOptions options;
    options.attributes = &state.attributes;
    options.numberedTiles = numberedTiles;
    if (Status written = sample::WriteSampleGame(gameDir, options); !written) return written.error();
    state.gameDirectory = gameDir;
    if (auto read = ReadGameFiles(state); !read) return read.error();
    return {};
  }

  // The first statement of kind `opcode` in the sample events (event, line);
  // when none has it, one is inserted at the top of event 1.
  std::pair<int, int> Find(int16_t opcode) {
    for (int e = 0; e < state.eventCount(); ++e) {
      ShowEventLines(state, e);
      const auto& list = state.game.events.events[size_t(e)].statements;
      for (size_t k = 0; k < list.size(); ++k)
        if (!list[k].islabel && list[k].Id == opcode) return {e, int(k)};
    }
    ShowEventLines(state, 1);
    InsertInstruction(state, 1, 0, opcode, true);
    return {1, 0};
  }

  Statement& At(std::pair<int, int> where) { return *StatementAt(state, where.first, where.second); }

  std::unique_ptr<QDialog> Open(std::string_view form, std::pair<int, int> where) {
    return MakeInstructionDialog(form, state, where.first, where.second, nullptr);
  }

  EditorState state;
  std::string gameDir;

 private:
  QTemporaryDir dir_;
};

inline void Click(QWidget* dialog, const char* name) {
  auto* button = dialog->findChild<QAbstractButton*>(name);
  QVERIFY2(button != nullptr, name);
  button->click();
}

// What a picture box shows when `picture` is drawn with its anchor at
// (x, y) into an empty box of the same size; a null picture: the empty box.
inline QImage Expected(const PictureBox& box, const RlePicture* picture, int x, int y) {
  QImage image(box.image().size(), QImage::Format_RGB32);
  image.fill(Qt::black);
  if (picture != nullptr && picture->absent == 0) {
    const QImage tile = ToImage(RenderPictureOpaque(*picture));
    const int left = x - picture->xOffset;
    const int top = y - picture->yOffset;
    for (int row = 0; row < tile.height(); ++row)
      for (int col = 0; col < tile.width(); ++col)
        if (left + col >= 0 && left + col < image.width() && top + row >= 0 && top + row < image.height())
          image.setPixel(left + col, top + row, tile.pixel(col, row));
  }
  return image;
}

inline bool AllBlack(const QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) != 0) return false;
  return true;
}

}  // namespace tavrel::ui::test
