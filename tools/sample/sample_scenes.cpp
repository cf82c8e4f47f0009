// The tile sets of the scenes: small isometric tiles, first floors, then
// raised blocks, then objects, coloured by a scene's theme. One set sdx/smp
// for every scene, or one set sdxNNN/smpNNN per scene.
// A tile is anchored at the centre of its floor diamond.
#include <fmt/format.h>

#include <array>

#include "sample/sample_build.h"
#include "sample/sample_canvas.h"

namespace tavrel::sample {
namespace {

constexpr int kTileWidth = 36;
constexpr int kHalfW = kTileWidth / 2;
constexpr int kFloorHeight = 18;
constexpr int kHalfH = kFloorHeight / 2;
constexpr int kFloorTiles = 14;
constexpr int kBlockTiles = 14;

struct Theme {
  Ramp ground, wall, accent;
};
constexpr std::array<Theme, 6> kThemes = {{
    {kLeaf, kStone, kWood},
    {kEarth, kWood, kRed},
    {kStone, kStone, kTeal},
    {kYellow, kEarth, kOrange},
    {kGreen, kGrey, kPurple},
    {kWater, kStone, kYellow},
}};

Canvas Floor(int variant, const Theme& theme) {
  Canvas c(kTileWidth, kFloorHeight);
  const Ramp ground = variant >= 7 && variant % 7 == 3 ? kWater : theme.ground;
  const int16_t base = Colour(ground, 6 + variant % 4);
  c.FillDiamond(kHalfW, 0, kHalfW, kHalfH, base);
  switch (variant % 7) {
    case 1:
      c.Pattern(base, Colour(ground, 3), 3, false);
      break;  // speckles
    case 2:
      c.Pattern(base, Colour(ground, 11), 4, true);
      break;  // furrows
    case 3:
      c.Pattern(base, Colour(ground, 12), 6, true);
      break;  // ripples
    case 4:
      c.FillDiamond(kHalfW, 4, kHalfW - 8, kHalfH - 4, Colour(kStone, 9));
      break;  // path
    case 5:   // tufts
      for (int x = 8; x < kTileWidth - 8; x += 6) c.FillRect(x, kHalfH - 2 + x % 4, 1, 3, Colour(kLeaf, 13));
      break;
    case 6:
      c.FillDiamond(kHalfW, 3, kHalfW - 6, kHalfH - 3, Colour(theme.accent, 8));
      break;  // rug
    default:
      break;
  }
  return c;
}

// A raised block of `rise` pixels: two side faces under a top diamond.
void DrawBlock(Canvas& c, int rise, int inset, Ramp ramp) {
  const int hw = kHalfW - inset, hh = hw / 2;
  for (int dx = -hw; dx < hw; ++dx) {
    const int edge = hh + (dx < 0 ? (dx + hw) / 2 : (hw - 1 - dx) / 2);
    c.FillRect(kHalfW + dx, edge, 1, rise, Colour(ramp, dx < 0 ? 8 : 5));
  }
  c.FillDiamond(kHalfW, 0, hw, hh, Colour(ramp, 12));
}

Canvas Block(int variant, const Theme& theme) {
  const int rise = 10 + variant * 3;
  Canvas c(kTileWidth, kFloorHeight + rise);
  DrawBlock(c, rise, 0, variant % 2 ? theme.wall : kWood);
  if (variant % 3 == 2) c.FillRect(kHalfW - 12, kHalfH + 6, 5, rise / 2, Colour(kGrey, 2));  // window
  return c;
}

Canvas Object(int variant, const Theme& theme) {
  switch (variant % 5) {
    case 0: {  // tree
      const int trunk = 12 + variant % 4 * 4;
      Canvas c(kTileWidth, 24 + trunk + kHalfH);
      c.FillRect(kHalfW - 2, 20, 4, trunk + 4, Colour(kWood, 5));
      c.FillEllipse(kHalfW, 14, 13 + variant % 3, 13, Colour(kLeaf, 7 + variant % 5));
      c.Pattern(Colour(kLeaf, 7 + variant % 5), Colour(kLeaf, 12), 4, true);
      return c;
    }
    case 1: {  // pillar
      Canvas c(kTileWidth, 56);
      DrawBlock(c, 56 - 14, 10, theme.wall);
      return c;
    }
    case 2: {  // lantern on a post
      Canvas c(kTileWidth, 44);
      c.FillRect(kHalfW - 1, 12, 2, 28, Colour(kWood, 4));
      c.FillEllipse(kHalfW, 8, 6, 7, Colour(kRed, 10));
      c.FillRect(kHalfW - 2, 5, 4, 6, Colour(kYellow, 14));
      return c;
    }
    case 3: {  // rock
      Canvas c(kTileWidth, 26);
      c.FillEllipse(kHalfW, 15, 12 + variant % 4, 9, Colour(kStone, 7));
      c.FillEllipse(kHalfW - 4, 11, 5, 3, Colour(kStone, 11));
      return c;
    }
    default: {  // chest
      Canvas c(kTileWidth, kFloorHeight + 10);
      DrawBlock(c, 10, 6, kWood);
      c.FillRect(kHalfW - 2, 12, 4, 4, Colour(theme.accent, 13));
      return c;
    }
  }
}

Bytes Tile(int t, const Theme& theme) {
  const Canvas c = t < kFloorTiles                 ? Floor(t, theme)
                   : t < kFloorTiles + kBlockTiles ? Block(t - kFloorTiles, theme)
                                                   : Object(t - kFloorTiles - kBlockTiles, theme);
  return EncodePicture(c, kHalfW, static_cast<int16_t>(c.height - kHalfH));
}

}  // namespace

std::vector<SampleFile> MakeSceneTileFiles(const SampleSizes& sizes, bool numbered) {
  std::vector<SampleFile> files;
  if (!numbered) {
    // The one set holds as many tiles as the largest numbered set.
    std::vector<Bytes> tiles;
    tiles.reserve(size_t(sizes.sceneTiles + 16));
    for (int t = 0; t < sizes.sceneTiles + 16; ++t) tiles.push_back(Tile(t, kThemes[0]));
    AddIdxGrp(files, "sdx", "smp", tiles);
    return files;
  }
  for (int scene = 0; scene < sizes.scenes; ++scene) {
    const Theme& theme = kThemes[size_t(scene) % kThemes.size()];
    const int count = sizes.sceneTiles + scene * 5 % 17;
    std::vector<Bytes> tiles;
    tiles.reserve(size_t(count));
    for (int t = 0; t < count; ++t) tiles.push_back(Tile(t, theme));
    AddIdxGrp(files, fmt::format("sdx{:03}", scene), fmt::format("smp{:03}", scene), tiles);
  }
  return files;
}

}  // namespace tavrel::sample
