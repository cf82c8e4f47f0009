// Scene and battle tile sets found as the game finds them: z.dat's name
// tables, then the numbered names, then the bare names; the index and data
// files of one step; a set read once per reading of the game.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <fmt/format.h>

#include "app/tile_sets.h"
#include "sample_test_support.h"

namespace tavrel::testing {
namespace {

namespace fs = std::filesystem;

// Name table offsets and sizes of z.dat, written out here as the format has them.
constexpr size_t kSceneDataTable = 320892;
constexpr size_t kSceneIndexTable = 322192;
constexpr size_t kBattleDataTable = 323834;
constexpr size_t kBattleIndexTable = 324224;
constexpr size_t kEntry = 13;
constexpr size_t kZdatSize = 324224 + 30 * 13;  // ends with the battle index table

Bytes EmptyZdat() { return Bytes(kZdatSize, 0); }

void PutEntry(Bytes& z, size_t table, size_t k, const std::string& name) {
  std::fill_n(z.begin() + ptrdiff_t(table + kEntry * k), kEntry, uint8_t(0));
  std::copy(name.begin(), name.end(), z.begin() + ptrdiff_t(table + kEntry * k));
}

// A set of `count` pictures of 1 x 1 pixel: told apart by their number.
void PutSet(const ScratchDir& dir, const std::string& index, const std::string& data, int count) {
  std::vector<int32_t> ends;
  Bytes grp;
  for (int k = 0; k < count; ++k) {
    for (int16_t v : {int16_t(1), int16_t(1), int16_t(0), int16_t(0)}) AppendI16(grp, v);
    grp.push_back(1);  // one row of one run: skip 0, one pixel
    grp.push_back(0);
    grp.push_back(1);
    grp.push_back(uint8_t(k));
    ends.push_back(int32_t(grp.size()));
  }
  dir.Put(index, IndexBytes(ends));
  dir.Put(data, grp);
}

class TileSetLookup : public ::testing::Test {
 protected:
  Result<LoadedTileSet> Scene(int k) { return cache.Load(dir.path(), TileSetKind::Scene, k, Palette{}); }
  Result<LoadedTileSet> Battle(int m) { return cache.Load(dir.path(), TileSetKind::Battle, m, Palette{}); }
  static std::string Chosen(const Result<LoadedTileSet>& set) {
    if (!set) return "none: " + set.error();
    return set->files.index.filename().string() + " " + set->files.data.filename().string();
  }

  ScratchDir dir;
  TileSetCache cache;
};

TEST_F(TileSetLookup, EachStepInTurnZdatNamesThenNumberedThenBare) {
  Bytes z = EmptyZdat();
  PutEntry(z, kSceneIndexTable, 3, "town.i");
  PutEntry(z, kSceneDataTable, 3, "town.d");
  PutEntry(z, kSceneIndexTable, 4, "gone.i");  // names files that are not there
  PutEntry(z, kSceneDataTable, 4, "gone.d");
  dir.Put("z.dat", z);
  PutSet(dir, "town.i", "town.d", 3);
  PutSet(dir, "sdx003", "smp003", 4);  // step 1 wins for scene 3
  PutSet(dir, "sdx004", "smp004", 5);
  PutSet(dir, "sdx", "smp", 6);

  auto three = Scene(3);
  EXPECT_EQ(Chosen(three), "town.i town.d");
  EXPECT_EQ(three->files.step, TileSetStep::ZdatNames);
  EXPECT_EQ(three->tiles->size(), 3u);
  auto four = Scene(4);
  EXPECT_EQ(Chosen(four), "sdx004 smp004");
  EXPECT_EQ(four->files.step, TileSetStep::Numbered);
  EXPECT_EQ(four->tiles->size(), 5u);
  auto five = Scene(5);
  EXPECT_EQ(Chosen(five), "sdx smp");
  EXPECT_EQ(five->files.step, TileSetStep::Bare);
  EXPECT_EQ(five->tiles->size(), 6u);
  // Scene 120 lies past the 100 entries: numbered, then bare.
  EXPECT_EQ(Chosen(Scene(120)), "sdx smp");
  PutSet(dir, "sdx120", "smp120", 2);
  EXPECT_EQ(Chosen(Scene(120)), "sdx120 smp120");
}

TEST_F(TileSetLookup, ZdatEntriesNameADifferentSetForEachScene) {
  Bytes z = EmptyZdat();
  const std::vector<std::string> stems{"hill", "cave", "port"};
  for (size_t k = 0; k < stems.size(); ++k) {
    PutEntry(z, kSceneIndexTable, k, stems[k] + ".sdx");
    PutEntry(z, kSceneDataTable, k, stems[k] + ".smp");
    PutSet(dir, stems[k] + ".sdx", stems[k] + ".smp", int(k) + 2);
  }
  dir.Put("z.dat", z);
  for (size_t k = 0; k < stems.size(); ++k) {
    auto set = Scene(int(k));
    ASSERT_TRUE(set) << set.error();
    EXPECT_EQ(Chosen(set), stems[k] + ".sdx " + stems[k] + ".smp");
    EXPECT_EQ(set->tiles->size(), k + 2);
  }
  EXPECT_EQ(cache.setsRead(), 3);
}

TEST_F(TileSetLookup, BattleMapsUseTheirOwnTablesAndNames) {
  Bytes z = EmptyZdat();
  PutEntry(z, kBattleIndexTable, 29, "last.wdx");
  PutEntry(z, kBattleDataTable, 29, "last.wmp");
  PutEntry(z, kSceneIndexTable, 2, "scene.i");  // a scene's names never serve a map
  PutEntry(z, kSceneDataTable, 2, "scene.d");
  dir.Put("z.dat", z);
  PutSet(dir, "last.wdx", "last.wmp", 2);
  PutSet(dir, "scene.i", "scene.d", 2);
  PutSet(dir, "wdx002", "wmp002", 3);
  PutSet(dir, "wdx", "wmp", 4);
  EXPECT_EQ(Chosen(Battle(29)), "last.wdx last.wmp");
  EXPECT_EQ(Chosen(Battle(2)), "wdx002 wmp002");
  EXPECT_EQ(Chosen(Battle(7)), "wdx wmp");
}

TEST_F(TileSetLookup, UnusableEntriesAndAShortZdatAreSkipped) {
  Bytes z = EmptyZdat();
  PutEntry(z, kSceneIndexTable, 1, "a b");  // a space
  PutEntry(z, kSceneDataTable, 1, "ab");
  PutEntry(z, kSceneIndexTable, 2, "x\x01y");
  PutEntry(z, kSceneDataTable, 2, "xy");
  PutEntry(z, kSceneIndexTable, 3, "");  // empty
  PutEntry(z, kSceneDataTable, 3, "xy");
  PutEntry(z, kSceneIndexTable, 4, "dir/x");
  PutEntry(z, kSceneDataTable, 4, "xy");
  dir.Put("z.dat", z);
  PutSet(dir, "a b", "ab", 2);
  PutSet(dir, "xy", "xy", 2);
  PutSet(dir, "sdx", "smp", 7);
  for (int k : {1, 2, 3, 4}) EXPECT_EQ(Chosen(Scene(k)), "sdx smp") << k;

  // A z.dat that ends inside the scene index table holds only the entries before.
  ScratchDir shortDir;
  Bytes cut = EmptyZdat();
  PutEntry(cut, kSceneIndexTable, 0, "in.i");
  PutEntry(cut, kSceneDataTable, 0, "in.d");
  PutEntry(cut, kSceneIndexTable, 1, "out.i");
  PutEntry(cut, kSceneDataTable, 1, "out.d");
  cut.resize(kSceneIndexTable + kEntry + 5);
  shortDir.Put("z.dat", cut);
  PutSet(shortDir, "in.i", "in.d", 2);
  PutSet(shortDir, "out.i", "out.d", 2);
  PutSet(shortDir, "sdx", "smp", 3);
  TileSetCache other;
  EXPECT_EQ(Chosen(other.Load(shortDir.path(), TileSetKind::Scene, 0, Palette{})), "in.i in.d");
  EXPECT_EQ(Chosen(other.Load(shortDir.path(), TileSetKind::Scene, 1, Palette{})), "sdx smp");
}

TEST_F(TileSetLookup, NamesMatchWhateverTheirCase) {
  Bytes z = EmptyZdat();
  PutEntry(z, kSceneIndexTable, 0, "SCENE.I");
  PutEntry(z, kSceneDataTable, 0, "Scene.D");
  dir.Put("Z.DAT", z);
  PutSet(dir, "scene.i", "scene.d", 2);
  PutSet(dir, "SDX", "Smp", 3);
  PutSet(dir, "WDX001", "wMp001", 4);
  EXPECT_EQ(Chosen(Scene(0)), "scene.i scene.d");
  EXPECT_EQ(Chosen(Scene(1)), "SDX Smp");
  EXPECT_EQ(Chosen(Battle(1)), "WDX001 wMp001");
}

TEST_F(TileSetLookup, IndexAndDataAlwaysComeFromTheSameStep) {
  PutSet(dir, "sdx005", "smp005", 2);
  fs::remove(dir / "smp005");
  PutSet(dir, "sdx", "smp", 3);
  EXPECT_EQ(Chosen(Scene(5)), "sdx smp");  // never sdx005 with smp

  ScratchDir halves;
  PutSet(halves, "sdx005", "smp", 2);  // one half of two different steps
  TileSetCache other;
  auto none = other.Load(halves.path(), TileSetKind::Scene, 5, Palette{});
  ASSERT_FALSE(none);
  for (const char* name : {"sdx005", "smp005", "sdx", "smp"})
    EXPECT_NE(none.error().find(name), std::string::npos) << name << ": " << none.error();
}

TEST_F(TileSetLookup, NothingFoundNamesEveryFileTriedOnceInOneMessage) {
  Bytes z = EmptyZdat();
  PutEntry(z, kSceneIndexTable, 8, "sdx");  // an unpatched game's entry: the bare names again
  PutEntry(z, kSceneDataTable, 8, "smp");
  dir.Put("z.dat", z);
  const TileSetSearch search = FindTileSet(dir.path(), z, TileSetKind::Scene, 8);
  EXPECT_FALSE(search.found);
  EXPECT_EQ(search.tried, (std::vector<std::string>{"sdx", "smp", "sdx008", "smp008"}));
  auto none = Scene(8);
  ASSERT_FALSE(none);
  EXPECT_NE(none.error().find("sdx, smp, sdx008, smp008"), std::string::npos) << none.error();
  EXPECT_EQ(none.error().find("smp008, sdx"), std::string::npos) << none.error();
}

TEST_F(TileSetLookup, ASetIsReadOnceHoweverManyScenesChooseIt) {
  PutSet(dir, "sdx", "smp", 9);
  auto first = Scene(0);
  ASSERT_TRUE(first) << first.error();
  for (int k = 0; k < 100; ++k) {
    auto again = Scene(k);
    ASSERT_TRUE(again) << again.error();
    EXPECT_EQ(again->tiles, first->tiles);  // the very same set
  }
  EXPECT_EQ(cache.setsRead(), 1);
  // A set changed on disk is read anew; the cache forgets everything on Clear.
  PutSet(dir, "sdx", "smp", 10);
  EXPECT_EQ(Scene(3)->tiles->size(), 10u);
  EXPECT_EQ(cache.setsRead(), 2);
  cache.Clear();
  EXPECT_EQ(Scene(3)->tiles->size(), 10u);
  EXPECT_EQ(cache.setsRead(), 1);
}

TEST_F(TileSetLookup, ADirectoryInPlaceOfAFileIsNoCandidate) {
  PutSet(dir, "sdx", "smp", 2);
  fs::remove(dir / "smp");
  fs::create_directory(dir / "smp");  // there, but no file: not a candidate
  auto none = Scene(0);
  ASSERT_FALSE(none);
  EXPECT_NE(none.error().find("smp"), std::string::npos) << none.error();
  EXPECT_EQ(cache.setsRead(), 0);
}

// Both layouts of the sample game, through the editor state's cache.
TEST(SampleTileSets, BothLayoutsGiveEverySceneAndMapASetReadOncePerReading) {
  for (bool numbered : {false, true}) {
    SCOPED_TRACE(numbered ? "numbered" : "bare");
    SampleGameDir dir(numbered);
    EditorState state;
    ReadSampleGame(state, GameCharset::Gbk, dir.path());
    for (int scene = 0; scene < 12; ++scene) {
      auto set = LoadSceneTiles(state, scene);
      ASSERT_TRUE(set) << set.error();
      EXPECT_EQ(set->files.step, TileSetStep::ZdatNames);  // z.dat names what the sample wrote
      EXPECT_EQ(set->files.index.filename().string(), numbered ? fmt::format("sdx{:03}", scene) : "sdx");
      EXPECT_EQ(set->files.data.filename().string(), numbered ? fmt::format("smp{:03}", scene) : "smp");
      EXPECT_GE(set->tiles->size(), 48u);
    }
    EXPECT_EQ(state.tileSets.setsRead(), numbered ? 12 : 1);
    for (int m = 0; m < 26; ++m) {
      auto set = LoadBattleTiles(state, m);
      ASSERT_TRUE(set) << set.error();
      EXPECT_EQ(set->files.index.filename().string(), numbered ? fmt::format("wdx{:03}", m) : "wdx");
    }
    EXPECT_EQ(state.tileSets.setsRead(), numbered ? 12 + 26 : 2);
    EXPECT_EQ(TileFilesUsedMessage(state.text(), LoadBattleTiles(state, 3)->files),
              numbered ? "图块文件：wdx003 / wmp003" : "图块文件：wdx / wmp");
    // Reading the game again forgets the sets.
    ASSERT_TRUE(ReadGameFiles(state));
    EXPECT_EQ(state.tileSets.setsRead(), 0);
    ASSERT_TRUE(LoadSceneTiles(state, 0));
    EXPECT_EQ(state.tileSets.setsRead(), 1);
  }
}

TEST(SampleTileSets, WithoutZdatTheNumberedAndBareNamesStillServe) {
  for (bool numbered : {false, true}) {
    SampleGameDir dir(numbered);
    fs::remove(dir / "z.dat");
    EditorState state;
    ReadSampleGame(state, GameCharset::Gbk, dir.path());
    auto set = LoadSceneTiles(state, 7);
    ASSERT_TRUE(set) << set.error();
    EXPECT_EQ(set->files.step, numbered ? TileSetStep::Numbered : TileSetStep::Bare);
  }
}

TEST(ScenePictures, PictureNumbersNameHalvesRoundedToEven) {
  EXPECT_EQ(TileIndexForNumber(10), 5);
  EXPECT_EQ(TileIndexForNumber(5), 2);  // 2.5: the even neighbour
  EXPECT_EQ(TileIndexForNumber(7), 4);  // 3.5
  EXPECT_EQ(TileIndexForNumber(-1), 0);
  EXPECT_EQ(TileIndexForNumber(-3), -2);
  EXPECT_EQ(TileIndexForNumber(-4), -2);
}

TEST(ScenePictures, TilesOutsideTheSetOrNotNumbersAreNothing) {
  // 0 and 2: one pixel each; 1: absent; 3: 9 rows in 4 bytes (damaged).
  PictureSet tiles(4);
  for (size_t k : {0u, 2u, 3u}) {
    tiles[k].absent = 0;
    tiles[k].width = 1;
    tiles[k].height = k == 3 ? 9 : 1;
    tiles[k].data = {3, 0, 1, 5};
  }
  EXPECT_EQ(TileForText(tiles, "4"), &tiles[2]);
  EXPECT_EQ(TileForText(tiles, "0"), &tiles[0]);
  EXPECT_EQ(TileForText(tiles, "2"), nullptr);  // absent entry
  EXPECT_EQ(TileForText(tiles, "6"), nullptr);  // damaged: drawn as absent
  EXPECT_EQ(TileForText(tiles, "8"), nullptr);
  EXPECT_EQ(TileForText(tiles, "-4"), nullptr);
  EXPECT_EQ(TileForText(tiles, "abc"), nullptr);
  EXPECT_EQ(TileForText(tiles, "99999"), nullptr);
}

TEST(ScenePictures, AnimationsStepByTwoUpToTheEnd) {
  EXPECT_EQ(AnimationNumbers(100, 106), (std::vector<int>{100, 102, 104, 106}));
  EXPECT_EQ(AnimationNumbers(100, 105), (std::vector<int>{100, 102, 104}));
  EXPECT_TRUE(AnimationNumbers(8, 6).empty());
  EXPECT_EQ(AnimationNumbers(32766, 32767).size(), 1u);
  EXPECT_EQ(AnimationNumbers(-32768, 32767).size(), 32768u);
}

}  // namespace
}  // namespace tavrel::testing
