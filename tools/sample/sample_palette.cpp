// mmap.col: 256 colours of three 6-bit components (red, green, blue), laid
// out as 16 ramps of 16 shades so that the pictures can pick a hue and a
// brightness independently. As in the palettes of real games, a colour may
// stand at two indices: the hair ramp's darkest shade is black like index 0
// (the portraits draw with both).
#include <array>

#include "sample/sample_build.h"
#include "sample/sample_canvas.h"

namespace tavrel::sample {
namespace {

struct RampEnds {
  std::array<int, 3> dark;
  std::array<int, 3> bright;
};

// In the order of enum Ramp; components 0 .. 63.
constexpr std::array<RampEnds, kRampCount> kRamps = {{
    {{0, 0, 0}, {63, 63, 63}},    // grey (index 0 is black)
    {{24, 12, 6}, {63, 52, 42}},  // skin
    {{6, 3, 2}, {44, 30, 16}},    // hair (shade 0 is kDuplicateBlack)
    {{14, 0, 0}, {63, 20, 16}},   // red
    {{18, 6, 0}, {63, 42, 10}},   // orange
    {{20, 16, 0}, {63, 60, 24}},  // yellow
    {{0, 12, 0}, {30, 63, 24}},   // green
    {{0, 12, 12}, {20, 60, 56}},  // teal
    {{0, 0, 16}, {30, 40, 63}},   // blue
    {{10, 0, 16}, {52, 30, 63}},  // purple
    {{20, 4, 10}, {63, 40, 52}},  // pink
    {{12, 7, 2}, {50, 40, 24}},   // earth
    {{8, 8, 10}, {48, 48, 44}},   // stone
    {{10, 5, 1}, {46, 30, 14}},   // wood
    {{2, 10, 2}, {26, 50, 14}},   // leaf
    {{0, 6, 18}, {24, 48, 63}},   // water
}};

}  // namespace

SampleFile MakePaletteFile() {
  SampleFile file{"mmap.col", {}};
  file.bytes.reserve(768);
  for (const RampEnds& ramp : kRamps)
    for (int shade = 0; shade < kShades; ++shade)
      for (int c = 0; c < 3; ++c)
        file.bytes.push_back(
            static_cast<uint8_t>(ramp.dark[c] + (ramp.bright[c] - ramp.dark[c]) * shade / (kShades - 1)));
  for (int c = 0; c < 3; ++c) file.bytes[size_t(kDuplicateBlack) * 3 + size_t(c)] = 0;
  return file;
}

}  // namespace tavrel::sample
