// The sample palette, portraits and scene tiles: valid files in the game's
// picture format, and portraits a person can tell apart.
#include <gtest/gtest.h>

#include <fmt/format.h>

#include <set>

#include "gamefiles/idx_grp.h"
#include "gamefiles/pictures.h"
#include "sample_test_support.h"

namespace tavrel::testing {
namespace {

// Walks the encoded rows of one picture entry strictly: every row's length
// byte counts the bytes after it, no run passes the width, and the rows use
// up the entry exactly. Returns the number of visible pixels, or -1.
int StrictPixelCount(std::span<const uint8_t> entry) {
  if (entry.size() < 8) return -1;
  const int width = ReadI16(entry, 0), height = ReadI16(entry, 2);
  size_t at = 8;
  int pixels = 0;
  for (int row = 0; row < height; ++row) {
    if (at >= entry.size()) return -1;
    const size_t length = entry[at++], end = at + length;
    if (end > entry.size()) return -1;
    int x = 0;
    while (at < end) {
      if (at + 2 > end) return -1;
      x += entry[at];
      const int n = entry[at + 1];
      at += 2;
      if (n == 0 || at + size_t(n) > end || x + n > width) return -1;
      x += n, at += size_t(n), pixels += n;
    }
  }
  return at == entry.size() ? pixels : -1;
}

Result<IdxGrpFile> SampleSet(const std::string& idx, const std::string& grp, bool numberedTiles = false) {
  const auto& files = SampleFiles(numberedTiles);
  return ParseIdxGrp(files.at(idx), files.at(grp), idx, grp, IndexCheck::Pictures);
}

TEST(SamplePalette, HoldsSixBitComponentsInManyColours) {
  const Bytes& col = SampleFiles().at("mmap.col");
  ASSERT_EQ(col.size(), 768u);
  for (uint8_t c : col) EXPECT_LE(c, 63);
  const Palette palette = ParsePalette(col);
  EXPECT_EQ(palette[0], 0u);
  EXPECT_GE(std::set<uint32_t>(palette.begin(), palette.end()).size(), 240u);
}

TEST(SamplePalette, HoldsBlackTwiceAsRealPalettesDo) {
  const Bytes& col = SampleFiles().at("mmap.col");
  // Entry 0 and entry 32 (the hair ramp's darkest shade) are both 0, 0, 0.
  EXPECT_EQ(Bytes(col.begin(), col.begin() + 3), (Bytes{0, 0, 0}));
  EXPECT_EQ(Bytes(col.begin() + 96, col.begin() + 99), (Bytes{0, 0, 0}));
}

TEST(SamplePortraits, DrawBlackWithIndexZeroAndItsDuplicate) {
  // Real portraits show palette index 0 as a visible black: every sample
  // portrait does, and most show the second black entry (32) beside it.
  const Palette palette = ParsePalette(SampleFiles().at("mmap.col"));
  const PictureSet pictures = ParsePictureSet(SampleFiles().at("hdgrp.idx"), SampleFiles().at("hdgrp.grp"), palette);
  int present = 0, withDuplicate = 0;
  for (size_t k = 0; k < pictures.size(); ++k) {
    if (pictures[k].absent != 0) continue;
    ++present;
    const IndexedPicture p = DecodePictureIndices(pictures[k]);
    bool zero = false, duplicate = false;
    for (size_t i = 0; i < p.indices.size(); ++i) {
      zero = zero || (p.visible[i] && p.indices[i] == 0);
      duplicate = duplicate || (p.visible[i] && p.indices[i] == 32);
    }
    EXPECT_TRUE(zero) << "portrait " << k;
    withDuplicate += duplicate ? 1 : 0;
  }
  EXPECT_GT(withDuplicate, present / 2);
  EXPECT_LT(withDuplicate, present);
}

TEST(SamplePortraits, AreDistinctPicturesWithSomeMissing) {
  auto set = SampleSet("hdgrp.idx", "hdgrp.grp");
  ASSERT_TRUE(set) << set.error();
  ASSERT_GE(set->count(), 100);
  const Palette palette = ParsePalette(SampleFiles().at("mmap.col"));
  const PictureSet pictures = ParsePictureSet(SampleFiles().at("hdgrp.idx"), SampleFiles().at("hdgrp.grp"), palette);
  std::set<std::vector<uint32_t>> looks;
  int absent = 0;
  for (int32_t k = 0; k < set->count(); ++k) {
    const auto entry = set->Entry(k);
    if (entry.empty()) {
      ++absent;
      EXPECT_EQ(pictures[size_t(k)].absent, -1);
      continue;
    }
    EXPECT_GT(StrictPixelCount(entry), 200) << "portrait " << k;
    const RlePicture& p = pictures[size_t(k)];
    EXPECT_EQ(p.xOffset, 0);
    EXPECT_EQ(p.yOffset, p.height) << "anchored at the bottom left corner";
    EXPECT_TRUE(looks.insert(RenderPictureOpaque(p).pixels).second) << "portrait " << k << " looks like another";
  }
  EXPECT_GT(absent, 0);
  EXPECT_LT(absent, set->count() / 10);
}

TEST(SampleSceneTiles, EverySceneHasAValidTileSet) {
  std::vector<std::pair<std::string, std::string>> sets{{"sdx", "smp"}};
  for (int scene = 0; scene < 12; ++scene)
    sets.emplace_back(fmt::format("sdx{:03}", scene), fmt::format("smp{:03}", scene));
  for (const auto& [idx, grp] : sets) {
    const bool numbered = idx != "sdx";
    ASSERT_TRUE(SampleFiles(numbered).count(idx)) << idx;
    auto set = SampleSet(idx, grp, numbered);
    ASSERT_TRUE(set) << set.error();
    EXPECT_GE(set->count(), 48) << idx;
    for (int32_t k = 0; k < set->count(); ++k) {
      const auto entry = set->Entry(k);
      ASSERT_GT(StrictPixelCount(entry), 0) << idx << " tile " << k;
      const int width = ReadI16(entry, 0), height = ReadI16(entry, 2);
      EXPECT_EQ(ReadI16(entry, 4), width / 2);
      EXPECT_TRUE(ReadI16(entry, 6) > 0 && ReadI16(entry, 6) < height);
    }
  }
}

}  // namespace
}  // namespace tavrel::testing
