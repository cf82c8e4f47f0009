// The sample game's battles: war.sta, the 26 battlefields of warfld.idx /
// warfld.grp and the isometric tile set wdx / wmp (or one set wdxNNN / wmpNNN
// per battlefield).
// Everything is drawn here from small deterministic rules, so the same bytes
// come out on every run.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "gamefiles/file_io.h"
#include "sample/sample_build.h"
#include "sample/sample_canvas.h"

namespace tavrel::sample {
namespace {

constexpr int kMapCount = 26;
constexpr int kMapSide = 64;

uint32_t Mix(uint32_t a, uint32_t b, uint32_t c) {
  uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  return h;
}

// A tile drawn on a canvas with its anchor: the anchor is the centre of the
// square's floor diamond, so the square (x + 1, y) lands 18 right and 9 down
// of (x, y).
struct Tile {
  Canvas canvas;
  int16_t xOffset;
  int16_t yOffset;
};

// The 36 x 18 floor diamond, shaded lighter towards its lower edge and
// speckled with a second shade.
Tile Floor(Ramp ramp, uint32_t seed, int speckle) {
  Canvas c(36, 18);
  c.FillDiamond(18, 0, 18, 9, Colour(ramp, 6));
  for (int y = 0; y < 18; ++y)
    for (int x = 0; x < 36; ++x) {
      if (c.At(x, y) == kClear) continue;
      int shade = 5 + y / 4;
      if (Mix(seed, uint32_t(x), uint32_t(y)) % 7 == 0) shade += speckle;
      c.Set(x, y, Colour(ramp, shade));
    }
  return {std::move(c), 18, 9};
}

// The centre marker: the outline of the floor diamond only.
Tile Marker() {
  Canvas c(36, 18);
  c.FillDiamond(18, 0, 18, 9, Colour(kYellow, 15));
  Canvas inner(36, 18);
  inner.FillDiamond(18, 2, 14, 7, 0);
  for (int y = 0; y < 18; ++y)
    for (int x = 0; x < 36; ++x)
      if (inner.At(x, y) != kClear) c.Set(x, y, kClear);
  return {std::move(c), 18, 9};
}

// A tree: trunk from the square's centre up into a round crown.
Tile Tree(int height) {
  Canvas c(30, height);
  const int foot = height - 9;
  c.FillRect(13, foot - height / 2, 4, height / 2 + 2, Colour(kWood, 6));
  c.FillEllipse(15, height / 3, 14, height / 3, Colour(kLeaf, 7));
  c.Pattern(Colour(kLeaf, 7), Colour(kLeaf, 11), 4, true);
  return {std::move(c), 15, int16_t(foot)};
}

Tile Bush() {
  Canvas c(24, 20);
  c.FillEllipse(12, 9, 11, 7, Colour(kGreen, 8));
  c.Pattern(Colour(kGreen, 8), Colour(kGreen, 12), 3, true);
  return {std::move(c), 12, 11};
}

// An isometric block `lift` pixels high standing on the square.
Tile Block(Ramp ramp, int lift) {
  Canvas c(36, 18 + lift);
  c.FillDiamond(18, lift, 18, 9, Colour(ramp, 5));  // the sides' lower outline
  c.FillRect(0, 9, 18, lift, Colour(ramp, 5));
  c.FillRect(18, 9, 18, lift, Colour(ramp, 8));
  for (int y = lift; y < 18 + lift; ++y)
    for (int x = 18; x < 36; ++x)
      if (c.At(x, y) != kClear) c.Set(x, y, Colour(ramp, 8));
  c.FillDiamond(18, 0, 18, 9, Colour(ramp, 12));  // the top face
  return {std::move(c), 18, int16_t(9 + lift)};
}

Tile Tent() {
  Canvas c(36, 34);
  for (int y = 0; y < 25; ++y) {
    const int half = 2 + y * 16 / 25;
    for (int x = 18 - half; x < 18 + half; ++x) c.Set(x, y, Colour(x < 18 ? kEarth : kYellow, 8 + y / 6));
  }
  c.FillRect(16, 14, 4, 11, Colour(kHair, 2));
  return {std::move(c), 18, 25};
}

Tile Flag(Ramp ramp) {
  Canvas c(14, 30);
  c.FillRect(1, 0, 1, 30, Colour(kWood, 4));
  for (int y = 1; y < 10; ++y)
    for (int x = 2; x < 14 - y / 2; ++x) c.Set(x, y, Colour(ramp, 9 + (x + y) % 3));
  return {std::move(c), 2, 27};
}

// Picture positions of a battlefield tile set.
enum TileNumber : int {
  kMarker = 0,
  kGrass,
  kDirt,
  kPond,
  kPaving,
  kSandFloor,
  kRoad,
  kTree,
  kRock,
  kWall,
  kBush,
  kTent,
  kRedFlag,
  kBlueFlag,
};

std::vector<Tile> TileSet(int map) {
  const uint32_t s = uint32_t(map) * 31u + 7u;
  std::vector<Tile> tiles;
  tiles.push_back(Marker());
  tiles.push_back(Floor(map % 2 ? kLeaf : kGreen, s + 1, 3));
  tiles.push_back(Floor(kEarth, s + 2, -2));
  tiles.push_back(Floor(kWater, s + 3, 4));
  tiles.push_back(Floor(kStone, s + 4, 2));
  tiles.push_back(Floor(kYellow, s + 5, -3));
  tiles.push_back(Floor(kOrange, s + 6, -4));
  tiles.push_back(Tree(40 + map % 3 * 4));
  tiles.push_back(Block(kStone, 8));
  tiles.push_back(Block(map % 2 ? kWood : kStone, 24));
  tiles.push_back(Bush());
  tiles.push_back(Tent());
  tiles.push_back(Flag(kRed));
  tiles.push_back(Flag(kBlue));
  return tiles;
}

// Map `map`'s tiles under the names given.
void MakeTileSetFiles(int map, const std::string& index, const std::string& data, std::vector<SampleFile>& files) {
  std::vector<Bytes> entries;
  for (const Tile& t : TileSet(map)) entries.push_back(EncodePicture(t.canvas, t.xOffset, t.yOffset));
  AddIdxGrp(files, index, data, entries);
}

// Battlefield m as its layers of picture numbers (twice the tile position).
// Maps m % 3 == 1 have two layers, the others three.
Bytes MakeBattlefield(int m) {
  const int layers = m % 3 == 1 ? 2 : 3;
  std::vector<int16_t> v(size_t(layers) * kMapSide * kMapSide, 0);
  auto cell = [&](int layer, int x, int y) -> int16_t& {
    return v[size_t(layer) * kMapSide * kMapSide + size_t(y * kMapSide + x)];
  };
  const uint32_t seed = uint32_t(m) + 101u;
  for (int y = 0; y < kMapSide; ++y)
    for (int x = 0; x < kMapSide; ++x) {
      const uint32_t h = Mix(seed, uint32_t(x), uint32_t(y));
      int ground = kGrass;
      if (h % 11 == 0) ground = kDirt;
      if (m % 4 == 2) ground = (h % 5 == 0) ? kDirt : kSandFloor;  // desert
      const int river = (x + y + m) % 64;
      if (m % 4 == 1 && river >= 40 && river < 43) ground = kPond;
      if (m % 4 == 3 && (x == 32 || y == 31)) ground = kRoad;
      if (m % 5 == 0 && x >= 24 && x < 40 && y >= 22 && y < 38) ground = kPaving;
      cell(0, x, y) = int16_t(ground * 2);

      int thing = 0;
      if (ground == kGrass || ground == kDirt) {
        if (h % 97 < 6)
          thing = kTree;
        else if (h % 97 < 8)
          thing = kRock;
        else if (h % 97 < 10)
          thing = kBush;
      }
      if (m % 5 == 0 && ground == kPaving && (x == 24 || x == 39 || y == 22 || y == 37) && (x + y) % 5 != 0)
        thing = kWall;
      if (std::abs(x - 32) <= 3 && std::abs(y - 31) <= 3) thing = 0;  // the battle ground stays open
      cell(1, x, y) = int16_t(thing * 2);
      if (layers == 3) {
        int top = 0;
        if (thing == 0 && h % 211 == 5) top = kTent;
        if (thing == 0 && h % 173 == 9) top = (x < 32) ? kBlueFlag : kRedFlag;
        cell(2, x, y) = int16_t(top * 2);
      }
    }
  Bytes out;
  out.reserve(v.size() * 2);
  for (int16_t value : v) AppendI16(out, value);
  return out;
}

struct SampleBattle {
  const char* name;     // traditional Chinese, stored as BIG5
  const char* oldName;  // what the name bytes held before a rename (kept after the zero)
  int16_t lead;
  int16_t map;
  int16_t experience;
  int16_t music;
  int manual;     // hand-chosen participants
  int automatic;  // automatically chosen participants
  int enemies;
  int16_t firstEnemy;  // person number of enemy 0
};

constexpr std::array<SampleBattle, 12> kBattles{{
    {"初戰山谷", "", 0, 0, 80, 3, 1, 0, 3, 10},
    {"河邊伏兵", "", 1, 1, 150, 4, 2, 0, 5, 12},
    {"夜襲營地", "", 2, 3, 220, 5, 0, 3, 6, 14},
    {"古寺之戰", "", 3, 5, 300, 6, 4, 0, 8, 16},
    {"雪嶺", "雪嶺之戰", 4, 7, 360, 7, 3, 2, 4, 11},
    {"荒野遭遇", "", 5, 8, 420, 3, 6, 0, 10, 13},
    {"城門決戰", "", 6, 10, 900, 12, 2, 4, 20, 15},
    {"竹林", "", 7, 12, 480, 8, 1, 1, 7, 17},
    {"密道突圍", "", 8, 15, 520, 9, 5, 0, 12, 18},
    {"絕壁", "", 9, 19, 610, 10, 0, 6, 9, 19},
    {"湖心島之戰", "", 10, 22, 700, 11, 3, 0, 11, 20},
    {"黑風寨", "", 11, 25, 1200, 14, 6, 0, 15, 21},
}};

constexpr int kRecordSize = 186;

// Battle i: the table's battles first, then (for larger samples) the same
// battles again on other maps.
Bytes MakeWarSta(int count) {
  Bytes out;
  out.reserve(size_t(count) * kRecordSize);
  for (int i = 0; i < count; ++i) {
    const SampleBattle& b = kBattles[size_t(i) % kBattles.size()];
    const int round = i / int(kBattles.size());
    AppendI16(out, int16_t(b.lead + round * 100));
    // Ten name bytes: the old name first, then the new one over it with its zero.
    std::array<uint8_t, 10> name{};
    const Bytes old = Big5Bytes(b.oldName);
    std::copy_n(old.begin(), std::min<size_t>(old.size(), 10), name.begin());
    const Bytes now = Big5Bytes(b.name);
    const size_t n = std::min<size_t>(now.size(), 10);
    std::copy_n(now.begin(), n, name.begin());
    if (n < 10) name[n] = 0;
    out.insert(out.end(), name.begin(), name.end());
    AppendI16(out, int16_t((b.map + round * 7) % kMapCount));
    AppendI16(out, b.experience);
    AppendI16(out, b.music);
    for (int k = 0; k < 6; ++k) AppendI16(out, int16_t(k < b.manual ? (k * 3 + i) % 10 : -1));
    for (int k = 0; k < 6; ++k) AppendI16(out, int16_t(k < b.automatic ? (k * 2 + i + 1) % 10 : -1));
    for (int k = 0; k < 6; ++k) AppendI16(out, int16_t(30 + k % 3 + i % 4));
    for (int k = 0; k < 6; ++k) AppendI16(out, int16_t(33 + k / 3 + i % 3));
    for (int d = 0; d < 20; ++d) AppendI16(out, int16_t(d < b.enemies ? b.firstEnemy + d % 6 : -1));
    for (int d = 0; d < 20; ++d) AppendI16(out, int16_t(d < b.enemies ? 28 + d % 8 : 0));
    for (int d = 0; d < 20; ++d) AppendI16(out, int16_t(d < b.enemies ? 26 + d / 8 + i % 2 : 0));
  }
  return out;
}

}  // namespace

std::vector<SampleFile> MakeBattleFiles(const SampleOptions& options) {
  const SampleSizes sizes = SizesFor(options);
  std::vector<SampleFile> files;
  files.push_back({"war.sta", MakeWarSta(std::max(sizes.battles, int(kBattles.size())))});

  std::vector<Bytes> maps;
  maps.reserve(size_t(kMapCount));
  for (int m = 0; m < kMapCount; ++m) maps.push_back(MakeBattlefield(m));
  AddIdxGrp(files, "warfld.idx", "warfld.grp", maps);

  if (options.numberedTiles)
    for (int m = 0; m < kMapCount; ++m)
      MakeTileSetFiles(m, fmt::format("wdx{:03}", m), fmt::format("wmp{:03}", m), files);
  else
    MakeTileSetFiles(0, "wdx", "wmp", files);
  return files;
}

}  // namespace tavrel::sample
