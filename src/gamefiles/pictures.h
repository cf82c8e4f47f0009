#pragma once
// Run-length encoded 8-bit pictures in picture sets, the palette mmap.col, and
// rendering into a 32-bit top-down pixel area.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"
#include "gamefiles/file_io.h"

namespace tavrel {

// 256 colours 0x00RRGGBB.
using Palette = std::array<uint32_t, 256>;

// Reads the first 768 bytes of mmap.col: red, green, blue of 0 .. 63, each
// times 4. Components above 63 are kept to 8 bits (never overflow).
Result<Palette> LoadPalette(const std::filesystem::path& gameDir);
Palette ParsePalette(std::span<const uint8_t> bytes);

struct RlePicture {
  int16_t absent = -1;  // -1 absent, 0 present
  int16_t width = 0;
  int16_t height = 0;
  int16_t xOffset = 0;
  int16_t yOffset = 0;
  Bytes data;                     // the encoded rows
  std::vector<uint32_t> colours;  // colour of the pixel index at each data position
};

using PictureSet = std::vector<RlePicture>;

// The game draws on a 320 × 200 screen and none of its pictures is larger. A
// header claiming more than four times that each way (1280 × 800, sixteen
// screens) holds no picture of this game, whatever a mod draws: the bound
// keeps one picture's pixels to a few megabytes.
inline constexpr int kScreenWidth = 320;
inline constexpr int kScreenHeight = 200;
inline constexpr int kMaxPictureWidth = 4 * kScreenWidth;
inline constexpr int kMaxPictureHeight = 4 * kScreenHeight;

// A present picture whose header claims an impossible size: a negative side,
// a side past the bound, or more rows than it has bytes (every row takes at
// least its length byte). It keeps its bytes (a save writes them back as they
// came) and is drawn, decoded and exported as absent.
bool PictureDamaged(const RlePicture& picture);

// Present, not damaged, and at least one pixel each way: what is drawn.
bool PictureShows(const RlePicture& picture);

// The numbers of the damaged pictures of a set, in order.
std::vector<int32_t> DamagedPictureNumbers(const PictureSet& set);

// "FILE: N pictures ... (numbers a, b, …)": which pictures of the set read from
// `file` are damaged, in simplified characters like every interface string.
// Empty when none is.
std::string DamagedPicturesMessage(const std::string& file, const PictureSet& set);

// A picture as pixels: one palette index per pixel and whether the pixel
// shows, rows top to bottom. Indices of transparent pixels are 0.
struct IndexedPicture {
  int width = 0;
  int height = 0;
  int16_t xOffset = 0;
  int16_t yOffset = 0;
  std::vector<uint8_t> indices;  // width * height
  std::vector<uint8_t> visible;  // width * height, 1 where the pixel shows
  size_t at(int x, int y) const { return size_t(y) * size_t(width) + size_t(x); }
  bool operator==(const IndexedPicture&) const = default;
};

// The pixels the reader's walk gives for a present picture (as RenderPicture
// shows them); an absent or damaged picture or one with a side below 1 gives
// an empty picture of its offsets.
IndexedPicture DecodePictureIndices(const RlePicture& picture);

// Reads a picture set (names found case-insensitively in `dir`). Entries of
// size <= 0 are absent; when the last offset differs from the data length the
// last entry runs to the end of the data. Entries shorter than their 8-byte
// header are absent; data shorter than its rows claim is walked as far as it
// goes. An index that disagrees with its data (CheckPictureIndex) is
// reported in `warnings` as damage; one file of the pair missing beside the
// other reads as empty, both missing is an error. An entry of an impossible size is kept as it came
// (PictureDamaged).
Result<PictureSet> LoadPictureSet(const std::filesystem::path& dir, const std::string& idxName,
                                  const std::string& grpName, const Palette& palette,
                                  std::vector<FileWarning>* warnings = nullptr);
PictureSet ParsePictureSet(std::span<const uint8_t> idx, std::span<const uint8_t> grp, const Palette& palette);

// How a picture set's index and its data of `dataBytes` disagree: pictures
// whose range the data does not hold whole (read as absent or cut) and data
// bytes no picture holds, as a damage warning naming the index; nothing when
// they agree. Absent pictures (entries of size <= 0) are no damage.
std::optional<FileWarning> CheckPictureIndex(std::span<const uint8_t> idx, size_t dataBytes, const std::string& idxPath,
                                             const std::string& grpPath);

// Fills picture.colours from its data and the palette (zeros for a damaged picture).
void ExpandPictureRows(RlePicture& picture, const Palette& palette);

// A top-down area of 32-bit pixels, row r starting at pixel r * width.
struct PixelArea {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  PixelArea() = default;
  PixelArea(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}
  uint32_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// Copies the picture's visible pixels with its top-left corner at (x, y);
// transparent pixels and pixels outside the area are left alone, and so is
// everything for a picture that does not show.
void RenderPicture(const RlePicture& picture, PixelArea& area, int x, int y);

// The picture's whole rectangle, transparent pixels black (what DrawPicture
// copies into a window at (x - xOffset, y - yOffset)). Empty for a picture
// that does not show.
PixelArea RenderPictureOpaque(const RlePicture& picture);

}  // namespace tavrel
