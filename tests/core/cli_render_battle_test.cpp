// tavrel render-battle DIR BATTLE -o FILE.png: the battle map view's picture
// of a battle as it opens, on both layouts of the sample's tile sets.
#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>

#include <fmt/format.h>

#include "app/battle_geometry.h"
#include "gamefiles/war_map.h"
#include "gamefiles/war_sta.h"
#include "sample_test_support.h"
#include "tool_run.h"

namespace tavrel::testing {
namespace {

namespace fs = std::filesystem;

PixelArea ReadPng(const fs::path& path) {
  PixelArea out;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.string().c_str())) return out;
  image.format = PNG_FORMAT_RGB;
  std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return out;
  out = PixelArea(int(image.width), int(image.height));
  for (size_t k = 0; k < out.pixels.size(); ++k)
    out.pixels[k] = uint32_t(rgb[3 * k]) << 16 | uint32_t(rgb[3 * k + 1]) << 8 | rgb[3 * k + 2];
  return out;
}

ToolRun Render(const ScratchDir& dir, const std::string& battle, const fs::path& out) {
  return RunTool("render-battle '" + dir.path().string() + "' " + battle + " -o '" + out.string() + "' 2>&1");
}

TEST(CliRenderBattle, DrawsTheViewAsItOpensAndNamesTheTilesOnBothLayouts) {
  for (bool numbered : {false, true}) {
    SCOPED_TRACE(numbered ? "numbered" : "bare");
    SampleGameDir dir(numbered);
    const int battle = 2;
    const ToolRun run = Render(dir, std::to_string(battle), dir / "view.png");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const WarStaContents contents = ParseWarSta(SampleFiles(numbered).at("war.sta"), Big5Codec());
    const BattleRecord& record = contents.battles.at(battle);
    const std::string index = numbered ? fmt::format("wdx{:03}", record.map) : "wdx";
    const std::string data = numbered ? fmt::format("wmp{:03}", record.map) : "wmp";
    EXPECT_NE(run.out.find("图块文件：" + index + " / " + data), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("地面图块"), std::string::npos) << "every ground tile is drawn: " << run.out;

    const PixelArea picture = ReadPng(dir / "view.png");
    ASSERT_EQ(picture.width, 640);
    ASSERT_EQ(picture.height, 480);
    // The view opens on square (32, 31).
    Result<Battlefield> field = ReadBattlefield(dir.path(), record.map);
    ASSERT_TRUE(field) << field.error();
    Result<Palette> palette = LoadPalette(dir.path());
    ASSERT_TRUE(palette);
    Result<PictureSet> tiles = LoadPictureSet(dir.path(), index, data, *palette);
    ASSERT_TRUE(tiles) << tiles.error();
    const PixelArea expected = DrawBattleView(&*field, *tiles, record, 32, 31);
    EXPECT_TRUE(picture.pixels == expected.pixels);
    EXPECT_NE(picture.at(320, 240), 0u);  // the centre square's ground
  }
}

TEST(CliRenderBattle, WithoutTilesItWritesTheMarkersAndFailsNamingEveryFileTried) {
  SampleGameDir dir;
  fs::remove(dir / "wdx");
  const ToolRun run = Render(dir, "0", dir / "view.png");
  EXPECT_EQ(run.exitCode, 1) << run.out;
  EXPECT_NE(run.out.find("wdx, wmp, wdx"), std::string::npos) << run.out;
  const PixelArea picture = ReadPng(dir / "view.png");
  ASSERT_EQ(picture.width, 640);
  EXPECT_EQ(picture.at(320, 240), 0u);
  EXPECT_TRUE(std::any_of(picture.pixels.begin(), picture.pixels.end(), [](uint32_t p) { return p != 0; }));
}

// Tile files of bytes that are no pictures leave every square black: the
// run fails and names the files; the picture shows the markers.
TEST(CliRenderBattle, DamagedTileFilesFailNamingThem) {
  SampleGameDir dir;
  Bytes noise(20000);
  uint32_t seed = 77;
  for (uint8_t& b : noise) {
    seed = seed * 1664525u + 1013904223u;
    b = uint8_t(seed >> 24);
  }
  dir.Put("wdx", Bytes(noise.begin(), noise.begin() + 2000));
  dir.Put("wmp", noise);
  const ToolRun run = RunTool("--language en render-battle '" + dir.path().string() + "' 0 -o '" +
                              (dir / "view.png").string() + "' 2>&1");
  EXPECT_EQ(run.exitCode, 1) << run.out;
  EXPECT_NE(run.out.find("wdx / wmp"), std::string::npos) << run.out;
  const PixelArea picture = ReadPng(dir / "view.png");
  ASSERT_EQ(picture.width, 640);
  EXPECT_EQ(picture.at(320, 240), 0u);
}

// Without tile 0, the editor's centre mark, the battlefield itself is whole:
// a warning, and the run succeeds.
TEST(CliRenderBattle, AMissingCentreMarkIsAWarningOnly) {
  SampleGameDir dir;
  Bytes idx = dir.Get("wdx");
  Bytes grp = dir.Get("wmp");
  // Entry 0 empty: its bytes go to nobody, every other entry keeps its own.
  const uint32_t firstEnd = uint32_t(idx[0] | idx[1] << 8 | idx[2] << 16 | idx[3] << 24);
  grp.erase(grp.begin(), grp.begin() + firstEnd);
  for (size_t at = 0; at + 4 <= idx.size(); at += 4) {
    const uint32_t end = uint32_t(idx[at] | idx[at + 1] << 8 | idx[at + 2] << 16 | idx[at + 3] << 24) - firstEnd;
    for (int k = 0; k < 4; ++k) idx[at + size_t(k)] = uint8_t(end >> (8 * k));
  }
  dir.Put("wdx", idx);
  dir.Put("wmp", grp);
  const ToolRun run = RunTool("--language en render-battle '" + dir.path().string() + "' 0 -o '" +
                              (dir / "view.png").string() + "' 2>&1");
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_NE(run.out.find("The tile set wdx has no tile 0; the centre mark was not drawn."), std::string::npos)
      << run.out;
}

TEST(CliRenderBattle, ABattleThatIsNotThereWritesNothing) {
  SampleGameDir dir;
  const size_t battles = SampleFiles().at("war.sta").size() / kBattleRecordSize;
  for (const std::string& battle : {std::to_string(battles), std::string("-1")}) {
    const ToolRun run = Render(dir, battle, dir / "view.png");
    EXPECT_EQ(run.exitCode, 1) << battle << run.out;
    EXPECT_FALSE(dir.Has("view.png")) << battle;
  }
}

}  // namespace
}  // namespace tavrel::testing
