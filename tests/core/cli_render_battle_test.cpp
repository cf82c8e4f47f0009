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
