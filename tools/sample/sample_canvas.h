#pragma once
// Drawing of the sample pictures: an 8-bit canvas with transparency, a few
// filled shapes, the palette's colour ramps, and the game's run-length
// encoding of a picture entry.
#include <cstdint>
#include <vector>

#include "gamefiles/file_io.h"

namespace tavrel::sample {

// The palette is 16 ramps of 16 shades, dark to bright: index ramp * 16 + shade.
enum Ramp : uint8_t {
  kGrey,
  kSkin,
  kHair,
  kRed,
  kOrange,
  kYellow,
  kGreen,
  kTeal,
  kBlue,
  kPurple,
  kPink,
  kEarth,
  kStone,
  kWood,
  kLeaf,
  kWater,
};
inline constexpr int kRampCount = 16;
inline constexpr int kShades = 16;
inline int16_t Colour(Ramp ramp, int shade) {
  return static_cast<int16_t>(ramp * kShades + (shade < 0 ? 0 : shade >= kShades ? kShades - 1 : shade));
}

inline constexpr int16_t kClear = -1;

// Black stands at two indices, as in real palettes: index 0 (the grey ramp's
// darkest shade) and the hair ramp's darkest shade, which no picture uses as hair.
inline constexpr int16_t kBlack = 0;
inline constexpr int16_t kDuplicateBlack = kHair * kShades;

struct Canvas {
  int width;
  int height;
  std::vector<int16_t> pixels;  // palette index, or kClear
  Canvas(int w, int h) : width(w), height(h), pixels(size_t(w) * size_t(h), kClear) {}

  void Set(int x, int y, int16_t colour) {
    if (x >= 0 && y >= 0 && x < width && y < height) pixels[size_t(y) * size_t(width) + size_t(x)] = colour;
  }
  int16_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
  void FillRect(int x0, int y0, int w, int h, int16_t colour);
  // Ellipse centred at (cx, cy) with half-axes rx, ry.
  void FillEllipse(int cx, int cy, int rx, int ry, int16_t colour);
  // Isometric diamond: top corner at (cx, top), half-width hw, half-height hh.
  void FillDiamond(int cx, int top, int hw, int hh, int16_t colour);
  // Every pixel already drawn in `from` gets `to`, where (x + y) % period is 0
  // (hatching, checks, dots on a filled area).
  void Pattern(int16_t from, int16_t to, int period, bool diagonal);
};

// One picture entry: width, height, x offset, y offset, then the rows. A row
// is its byte count L (the bytes after L), then groups of skip, count and
// pixels; a row without a visible pixel is the single byte 0.
Bytes EncodePicture(const Canvas& canvas, int16_t xOffset, int16_t yOffset);

}  // namespace tavrel::sample
