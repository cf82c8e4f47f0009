// Battles: war.sta records, the battle editor's list commands, the
// battlefields and the isometric picture drawn from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include <fmt/format.h>

#include "app/battle_check.h"
#include "app/battle_edit.h"
#include "app/battle_geometry.h"
#include "gamefiles/war_map.h"
#include "gamefiles/war_sta.h"
#include "sample_test_support.h"
#include "text/ui_strings.h"

namespace tavrel::testing {
namespace {

const Bytes& SampleWarSta() { return SampleFiles().at("war.sta"); }

BattleRecord NamedBattle(const std::string& name) {
  BattleRecord battle = BlankBattle();
  battle.name = name;
  return battle;
}

TEST(WarSta, ReadsTheWholeRecordsAndWritesThemBackByteForByte) {
  const WarStaContents read = ParseWarSta(SampleWarSta(), Big5Codec());
  ASSERT_EQ(read.battles.size() * kBattleRecordSize, SampleWarSta().size());
  EXPECT_EQ(read.ignoredBytes, 0u);
  EXPECT_EQ(EncodeWarSta(read.battles, Big5Codec()), SampleWarSta());

  // The leading number and every 16-bit field sit where the record says.
  const BattleRecord& first = read.battles.front();
  const auto word = [&](size_t offset) { return int16_t(SampleWarSta()[offset] | SampleWarSta()[offset + 1] << 8); };
  EXPECT_EQ(first.lead, word(0));
  EXPECT_EQ(first.map, word(12));
  EXPECT_EQ(first.enemyY.back(), word(kBattleRecordSize - 2));
}

TEST(WarSta, SavesAtomicallyAndReadsBackTheSameBytes) {
  SampleGameDir dir;
  auto read = ReadWarSta(dir.path(), Big5Codec());
  ASSERT_TRUE(read) << read.error();
  auto saved = SaveWarSta(dir.path(), read->battles, Big5Codec());
  ASSERT_TRUE(saved) << saved.error();
  EXPECT_EQ(dir.Get("war.sta"), SampleWarSta());
  EXPECT_EQ(dir.Get("war.sta.bak"), SampleWarSta());
}

TEST(WarSta, APartialOrMissingFileGivesTheWholeRecordsItHas) {
  Bytes partial(SampleWarSta().begin(), SampleWarSta().begin() + 2 * kBattleRecordSize + 57);
  const WarStaContents two = ParseWarSta(partial, Big5Codec());
  EXPECT_EQ(two.battles.size(), 2u);
  EXPECT_EQ(two.ignoredBytes, 57u);

  EXPECT_TRUE(ParseWarSta({}, Big5Codec()).battles.empty());

  ScratchDir empty;
  auto missing = ReadWarSta(empty.path(), Big5Codec());
  ASSERT_TRUE(missing);
  EXPECT_TRUE(missing->fileMissing);
  EXPECT_TRUE(missing->battles.empty());
}

TEST(WarStaNames, ALongNameIsCutToEightBytesAndItsZero) {
  BattleRecord battle =
      NamedBattle("\xE4\xB8\x80\xE4\xBA\x8C\xE4\xB8\x89\xE5\x9B\x9B\xE4\xBA\x94\xE5\x85\xAD");  // 一二三四五六
  battle.nameBytes[9] = 0x5A;
  const auto stored = StoredNameBytes(battle, Big5Codec());
  const Bytes four = Big5Codec().EncodeGameText("\xE4\xB8\x80\xE4\xBA\x8C\xE4\xB8\x89\xE5\x9B\x9B");  // 一二三四
  ASSERT_EQ(four.size(), 8u);
  EXPECT_TRUE(std::equal(four.begin(), four.end(), stored.begin()));
  EXPECT_EQ(stored[8], 0);
  EXPECT_EQ(stored[9], 0x5A);  // the byte after the zero is the record's own
}

TEST(WarStaNames, AShorterNameKeepsTheOldBytesAfterItsZero) {
  BattleRecord battle = NamedBattle("\xE4\xB8\x80\xE4\xBA\x8C\xE4\xB8\x89\xE5\x9B\x9B");  // 一二三四
  battle.nameBytes = StoredNameBytes(battle, Big5Codec());
  battle.nameBytes[9] = 0x33;
  const auto before = battle.nameBytes;
  battle.name = "\xE6\x88\xB0";  // 戰
  const auto stored = StoredNameBytes(battle, Big5Codec());
  const Bytes one = Big5Codec().EncodeGameText(battle.name);
  ASSERT_EQ(one.size(), 2u);
  EXPECT_EQ(stored[0], one[0]);
  EXPECT_EQ(stored[1], one[1]);
  EXPECT_EQ(stored[2], 0);
  EXPECT_TRUE(std::equal(before.begin() + 3, before.end(), stored.begin() + 3));
}

// The sample's limits: 26 battlefields in warfld.idx, 320 persons in r1.
constexpr BattleLimits kSampleLimits{26, 320};

class BattleListCommands : public ::testing::Test {
 protected:
  void SetUp() override { battles = ParseWarSta(SampleWarSta(), Big5Codec()).battles; }
  std::vector<BattleRecord> battles;
};

TEST_F(BattleListCommands, AddCopiesTheWindowsFieldsUnderTheNameNoname) {
  BattleFields fields = FieldsOf(battles[3]);
  fields.name = "ignored";
  fields.map = "7";
  fields.enemyX[4] = "12";
  const size_t before = battles.size();
  const BattleCommandResult added = AddBattle(battles, 3, fields, kSampleLimits);
  ASSERT_TRUE(added.changed);
  ASSERT_EQ(battles.size(), before + 1);
  EXPECT_EQ(added.choose, int(before));
  const BattleRecord& last = battles.back();
  EXPECT_EQ(last.name, kNewBattleName);
  EXPECT_EQ(last.map, 7);
  EXPECT_EQ(last.enemyX[4], 12);
  EXPECT_EQ(last.manual, battles[3].manual);
  EXPECT_EQ(last.enemies, battles[3].enemies);
  EXPECT_EQ(last.lead, 0);
}

TEST_F(BattleListCommands, DeleteRemovesTheLastWhicheverIsChosenButNeverTheOnlyOne) {
  const std::vector<BattleRecord> before = battles;
  const BattleCommandResult deleted = DeleteLastBattle(battles);
  EXPECT_TRUE(deleted.changed);
  ASSERT_EQ(battles.size(), before.size() - 1);
  EXPECT_TRUE(std::equal(battles.begin(), battles.end(), before.begin()));

  battles.resize(1);
  const BattleCommandResult refused = DeleteLastBattle(battles);
  EXPECT_FALSE(refused.changed);
  EXPECT_EQ(refused.refusal, BattleCommandResult::Refusal::OnlyBattleLeft);
  EXPECT_EQ(battles.size(), 1u);
}

TEST_F(BattleListCommands, ANumberThatIsNotSixteenBitRefusesApplyAndAddAndChangesNothing) {
  const std::vector<BattleRecord> before = battles;
  for (const char* bad : {"40000", "-32769", "1.5", "abc", ""}) {
    BattleFields fields = FieldsOf(battles[2]);
    fields.personY[5] = bad;
    const BattleCommandResult applied = ApplyBattle(battles, 2, fields, kSampleLimits);
    EXPECT_FALSE(applied.changed) << bad;
    ASSERT_TRUE(applied.fieldError) << bad;
    EXPECT_EQ(applied.fieldError->field, BattleField::PersonY);
    EXPECT_FALSE(applied.fieldError->range);
    EXPECT_EQ(applied.fieldError->index, 5);
    EXPECT_FALSE(AddBattle(battles, 2, fields, kSampleLimits).changed) << bad;
    EXPECT_EQ(battles, before) << bad;
  }
  BattleFields fields = FieldsOf(battles[2]);
  fields.music = " -32768 ";
  EXPECT_TRUE(ApplyBattle(battles, 2, fields, kSampleLimits).changed);
  EXPECT_EQ(battles[2].music, -32768);
  EXPECT_EQ(battles[2].nameBytes, before[2].nameBytes);
}

// What each number of a record stands for, as the format describes it: the
// map is a battlefield of warfld, the persons are persons of the database
// (or -1), the positions are squares of the 64 x 64 field; the leading
// number, experience and music have no range of their own.
TEST(BattleRanges, EachFieldIsCheckedAsWhatItStandsFor) {
  const std::map<std::string, BattleRange> expected{
      {"lead", BattleRange::Any},       {"map", BattleRange::Battlefield}, {"experience", BattleRange::Any},
      {"music", BattleRange::Any},      {"manual", BattleRange::Person},   {"automatic", BattleRange::Person},
      {"personX", BattleRange::Square}, {"personY", BattleRange::Square},  {"enemies", BattleRange::Person},
      {"enemyX", BattleRange::Square},  {"enemyY", BattleRange::Square},
  };
  std::map<std::string, BattleRange> actual;
  for (const BattleNumberField& f : BattleNumberFields()) actual[f.name] = f.range;
  EXPECT_EQ(actual, expected);
}

TEST(BattleRanges, ValuesOutsideTheirRangesAreFoundAndTheEdgesAreTaken) {
  BattleRecord battle = BlankBattle();
  battle.lead = -30000;
  battle.experience = -5;
  battle.music = 32767;
  battle.map = 25;
  battle.manual = {0, 319, -1, -1, -1, -1};
  battle.personX = {0, 63, 0, 0, 0, 0};
  EXPECT_TRUE(CheckBattles(std::vector<BattleRecord>{battle}, kSampleLimits).empty());

  battle.map = 26;
  battle.automatic[2] = 320;
  battle.enemies[19] = -2;
  battle.personY[5] = 64;
  battle.enemyX[0] = -1;
  const std::vector<BattleValueProblem> found =
      CheckBattles(std::vector<BattleRecord>{BlankBattle(), battle}, kSampleLimits);
  const std::vector<BattleValueProblem> expected{
      {1, BattleField::Map, 0, 26, 0, 25},     {1, BattleField::Automatic, 2, 320, -1, 319},
      {1, BattleField::PersonY, 5, 64, 0, 63}, {1, BattleField::Enemies, 19, -2, -1, 319},
      {1, BattleField::EnemyX, 0, -1, 0, 63},
  };
  EXPECT_EQ(found, expected);
  EXPECT_EQ(BattlesWithProblems(found), 1);

  // Without a person table persons are not checked; a short warfld.idx holds fewer maps.
  const std::vector<BattleValueProblem> unknown = CheckBattles(std::vector<BattleRecord>{battle}, BattleLimits{20, -1});
  ASSERT_EQ(unknown.size(), 3u);
  EXPECT_EQ(unknown[0].high, 19);
}

TEST(BattleRanges, TheMapsOfWarfldAreItsIndexEntriesUpToTwentySix) {
  EXPECT_EQ(BattlefieldsInIndex(0), 0);
  EXPECT_EQ(BattlefieldsInIndex(3), 0);
  EXPECT_EQ(BattlefieldsInIndex(50), 12);
  EXPECT_EQ(BattlefieldsInIndex(104), 26);
  EXPECT_EQ(BattlefieldsInIndex(4000), 26);
}

TEST_F(BattleListCommands, AValueOutsideItsRangeRefusesApplyAndAddNamingTheFieldAndTheRange) {
  const std::vector<BattleRecord> before = battles;
  BattleFields fields = FieldsOf(battles[2]);
  fields.map = "9999";
  BattleCommandResult applied = ApplyBattle(battles, 2, fields, kSampleLimits);
  EXPECT_FALSE(applied.changed);
  ASSERT_TRUE(applied.fieldError && applied.fieldError->range);
  EXPECT_EQ(applied.fieldError->field, BattleField::Map);
  EXPECT_EQ(BattleProblemText(*applied.fieldError->range), "战斗地图编号为 9999，不在 0 到 25 之间");
  EXPECT_FALSE(AddBattle(battles, 2, fields, kSampleLimits).changed);
  EXPECT_EQ(battles, before);

  fields = FieldsOf(battles[2]);
  fields.enemies[7] = 320;
  applied = ApplyBattle(battles, 2, fields, kSampleLimits);
  ASSERT_TRUE(applied.fieldError && applied.fieldError->range);
  EXPECT_EQ(applied.fieldError->index, 7);
  EXPECT_EQ(BattleProblemText(*applied.fieldError->range), "E7 号敌人为 320，既不是 -1（无人）也不是 0 到 319 号人物");
  EXPECT_EQ(battles, before);
}

TEST(BattleRanges, AReportCountsTheValuesAndBattlesAndListsTheFirst) {
  std::vector<BattleValueProblem> problems;
  for (int32_t b = 0; b < 3; ++b)
    for (int k = 0; k < 4; ++k) problems.push_back({b, BattleField::EnemyY, k, 99, 0, 63});
  const std::string report = BattleProblemsReport(problems, 5);
  EXPECT_EQ(report.substr(0, report.find('\n')), "3 个战斗中有 12 个数值超出范围：");
  EXPECT_NE(report.find("\n战斗1：E0 号敌人的 Y 坐标为 99，不在 0 到 63 之间\n"), std::string::npos) << report;
  EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 6);
  EXPECT_EQ(report.substr(report.rfind('\n') + 1), "……另有 7 个未列出");
  EXPECT_TRUE(BattleProblemsReport({}).empty());

  SetInterfaceLanguage(InterfaceLanguage::English);
  const std::string english = BattleProblemsReport(std::span(problems).first(1));
  SetInterfaceLanguage(InterfaceLanguage::Chinese);
  EXPECT_EQ(english, "In 1 battle, 1 value is out of range:\nbattle 0: Y of enemy E0 is 99, not from 0 to 63");
}

// The battlefields and their tile sets as the sample game writes them: the
// one set wdx/wmp, or with `numbered` the set wdxNNN/wmpNNN of each map.
class BattlefieldPicture : public ::testing::Test {
 protected:
  static const Palette& SamplePalette() {
    static const Palette palette = ParsePalette(SampleFiles().at("mmap.col"));
    return palette;
  }
  static Battlefield Field(int m) {
    auto field = ParseBattlefield(SampleFiles().at("warfld.idx"), SampleFiles().at("warfld.grp"), m);
    EXPECT_TRUE(field) << field.error();
    return field ? *field : Battlefield{};
  }
  static PictureSet Tiles(int m, bool numbered) {
    const auto& files = SampleFiles(numbered);
    const std::string index = numbered ? fmt::format("wdx{:03}", m) : "wdx";
    const std::string data = numbered ? fmt::format("wmp{:03}", m) : "wmp";
    return ParsePictureSet(files.at(index), files.at(data), SamplePalette());
  }
  // The colour of picture `p` of `tiles` at its own anchor.
  static uint32_t AnchorColour(const PictureSet& tiles, int p) {
    const PixelArea alone = RenderPictureOpaque(tiles[size_t(p)]);
    return alone.at(tiles[size_t(p)].xOffset, tiles[size_t(p)].yOffset);
  }
};

TEST_F(BattlefieldPicture, TwoAndThreeLayerMapsAreToldApartByTheirSize) {
  const Battlefield three = Field(0);
  const Battlefield two = Field(1);
  EXPECT_EQ(three.layerCount, 3);
  EXPECT_EQ(two.layerCount, 2);
  EXPECT_EQ(two.missingBytes, 0u);
  EXPECT_TRUE(std::all_of(two.layers[2].begin(), two.layers[2].end(), [](int16_t v) { return v == 0; }));
  EXPECT_FALSE(ParseBattlefield(SampleFiles().at("warfld.idx"), SampleFiles().at("warfld.grp"), 26));
  EXPECT_FALSE(ParseBattlefield(SampleFiles().at("warfld.idx"), SampleFiles().at("warfld.grp"), -1));
}

TEST_F(BattlefieldPicture, SquaresAroundTheCentreAreAnchoredOnTheDiamondGrid) {
  EXPECT_EQ(SquareAnchor(0, 0), (CanvasPoint{320, 240}));
  EXPECT_EQ(SquareAnchor(1, 0), (CanvasPoint{338, 249}));
  EXPECT_EQ(SquareAnchor(0, 1), (CanvasPoint{302, 249}));

  // Ground tiles of distinct ramps on the centre and its two neighbours,
  // nothing standing on them: each anchor shows its own ground colour.
  for (auto [m, numbered] : {std::pair{0, false}, std::pair{1, false}, std::pair{0, true}, std::pair{1, true}}) {
    SCOPED_TRACE(fmt::format("map {}{}", m, numbered ? ", numbered tiles" : ""));
    Battlefield field = Field(m);
    const PictureSet tiles = Tiles(m, numbered);
    const int x = 32, y = 31;
    const int pond = 3, paving = 4, road = 6;
    auto put = [&](int sx, int sy, int tile) {
      field.layers[0][size_t(sy) * kBattlefieldSide + size_t(sx)] = int16_t(tile * 2);
      for (int layer = 1; layer < 3; ++layer)
        if (!field.layers[size_t(layer)].empty())
          field.layers[size_t(layer)][size_t(sy) * kBattlefieldSide + size_t(sx)] = 0;
    };
    put(x, y, pond);
    put(x + 1, y, paving);
    put(x, y + 1, road);
    ASSERT_NE(AnchorColour(tiles, pond), AnchorColour(tiles, paving));
    ASSERT_NE(AnchorColour(tiles, paving), AnchorColour(tiles, road));
    CompositionGaps gaps;
    const PixelArea canvas = ComposeBattlefield(field, tiles, x, y, &gaps);
    ASSERT_EQ(canvas.width, kBattleCanvasWidth);
    ASSERT_EQ(canvas.height, kBattleCanvasHeight);
    EXPECT_EQ(canvas.at(320, 240), AnchorColour(tiles, pond));
    EXPECT_EQ(canvas.at(338, 249), AnchorColour(tiles, paving));
    EXPECT_EQ(canvas.at(302, 249), AnchorColour(tiles, road));
    EXPECT_EQ(gaps.groundMissing, 0);
    EXPECT_FALSE(gaps.markerMissing);
    // The centre marker lies over everything: its first visible pixel shows on the canvas.
    const PixelArea marker = RenderPictureOpaque(tiles[0]);
    const auto lit = std::find_if(marker.pixels.begin(), marker.pixels.end(), [](uint32_t p) { return p != 0; });
    ASSERT_NE(lit, marker.pixels.end());
    const int at = int(lit - marker.pixels.begin());
    EXPECT_EQ(canvas.at(320 - tiles[0].xOffset + at % marker.width, 240 - tiles[0].yOffset + at / marker.width), *lit);
  }
}

TEST_F(BattlefieldPicture, AMissingTileSetLeavesABlackCanvasAndSaysWhatIsMissing) {
  CompositionGaps gaps;
  const PixelArea canvas = ComposeBattlefield(Field(0), PictureSet{}, 32, 31, &gaps);
  EXPECT_TRUE(std::all_of(canvas.pixels.begin(), canvas.pixels.end(), [](uint32_t p) { return p == 0; }));
  EXPECT_GT(gaps.groundMissing, 0);
  EXPECT_TRUE(gaps.markerMissing);
  const PixelArea view = CropArea(canvas, kBattleViewWidth, kBattleViewHeight);
  EXPECT_EQ(view.width, 640);
  EXPECT_EQ(view.height, 480);
}

TEST_F(BattlefieldPicture, TheViewIsTheCroppedFieldWithTheMarkersWrittenOverIt) {
  BattleRecord battle = BlankBattle();
  battle.personX.fill(0);
  battle.personY.fill(0);
  battle.personX[0] = 34;  // written at (320, 267): " 0", the digit one advance to the right
  battle.personY[0] = 33;
  battle.enemies.fill(kNoPerson);
  battle.enemies[3] = 0;  // "E3" at (338, 240)
  battle.enemyX[3] = 33;
  battle.enemyY[3] = 31;
  const Battlefield field = Field(0);
  const PictureSet tiles = Tiles(0, false);
  CompositionGaps gaps;
  const PixelArea view = DrawBattleView(&field, tiles, battle, 32, 31, &gaps);
  ASSERT_EQ(view.width, 640);
  ASSERT_EQ(view.height, 480);
  const PixelArea canvas = ComposeBattlefield(field, tiles, 32, 31);
  // The glyph "0": its top row lit in columns 1 to 3, each pixel doubled.
  EXPECT_EQ(view.at(320 + 12 + 2, 267), 0xFFFFA0u);
  EXPECT_EQ(view.at(320 + 12 + 7, 268), 0xFFFFA0u);
  EXPECT_EQ(view.at(320 + 12, 267), canvas.at(320 + 12, 267));  // column 0 of the top row is dark
  EXPECT_EQ(view.at(320 + 4, 267), canvas.at(320 + 4, 267));    // the space leaves the field
  // The "E": its whole top row.
  EXPECT_EQ(view.at(338, 240), 0xFF6060u);
  EXPECT_EQ(view.at(338 + 9, 241), 0xFF6060u);
  // Away from the markers the view is the canvas.
  EXPECT_EQ(view.at(100, 100), canvas.at(100, 100));
  EXPECT_EQ(view.at(639, 479), canvas.at(639, 479));
  EXPECT_EQ(gaps.groundMissing, 0);

  // Without a field: black, the markers still written.
  const PixelArea bare = DrawBattleView(nullptr, tiles, battle, 32, 31);
  EXPECT_EQ(bare.at(338, 240), 0xFF6060u);
  EXPECT_EQ(bare.at(320, 240), 0u);
}

TEST(BattleMarkers, ParticipantsAlwaysAndEnemiesOnlyWithAPerson) {
  BattleRecord battle = BlankBattle();
  battle.personX[0] = 34;
  battle.personY[0] = 33;
  battle.enemies.fill(kNoPerson);
  battle.enemies[3] = 0;
  battle.enemyX[3] = 33;
  battle.enemyY[3] = 31;
  battle.enemyX[4] = 40;  // no person: no marker
  const std::vector<BattleMarker> markers = BattleMarkers(battle, 32, 31);
  ASSERT_EQ(markers.size(), size_t(kBattleParticipants) + 1);
  EXPECT_EQ(markers[0].text, " 0");
  EXPECT_EQ(markers[0].at, (CanvasPoint{320, 267}));  // (X+2, Y+2)
  EXPECT_EQ(markers[5].text, " 5");
  EXPECT_EQ(markers.back().text, "E3");
  EXPECT_TRUE(markers.back().enemy);
  EXPECT_EQ(markers.back().at, (CanvasPoint{338, 240}));
}

TEST(BattleTiles, LayerValuesNameTilesByHalvesRoundedToEven) {
  EXPECT_EQ(TilePosition(0), 0);
  EXPECT_EQ(TilePosition(8), 4);
  EXPECT_EQ(TilePosition(5), 2);    // 2.5 -> 2
  EXPECT_EQ(TilePosition(7), 4);    // 3.5 -> 4
  EXPECT_EQ(TilePosition(-3), -2);  // -1.5 -> -2
}

}  // namespace
}  // namespace tavrel::testing
