// The z.dat patcher's core on the sample game's full-size z.dat: the whole
// file is compared before and after, so every test sees exactly which bytes
// a patch changed.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "app/zdat_patch.h"
#include "sample_test_support.h"

namespace tavrel::testing {
namespace {

using namespace tavrel::zdat;

// Offset -> new byte, for every byte that differs.
std::map<uint32_t, uint8_t> Changed(const Bytes& before, const Bytes& after) {
  std::map<uint32_t, uint8_t> changed;
  EXPECT_EQ(before.size(), after.size());
  for (size_t i = 0; i < std::min(before.size(), after.size()); ++i)
    if (before[i] != after[i]) changed[uint32_t(i)] = after[i];
  return changed;
}

class ZdatPatch : public ::testing::Test {
 protected:
  void SetUp() override { dir.Put("z.dat", Original()); }
  // The numbered layout's z.dat: its tile-set entries differ one from the
  // next, so a group that writes one name into every entry shows in each.
  static const Bytes& Original() { return SampleFiles(true).at("z.dat"); }

  PatchOutcome Patch(const ZdatChoices& choices) { return PatchZdat(dir.path(), choices, session); }
  std::map<uint32_t, uint8_t> ChangedBytes() { return Changed(Original(), dir.Get("z.dat")); }
  static size_t Row(std::string_view key) {
    for (size_t k = 0; k < kByteLimits.size(); ++k)
      if (kByteLimits[k].key == key) return k;
    ADD_FAILURE() << key;
    return 0;
  }

  ScratchDir dir;
  PatchSession session;
};

TEST(ZdatSites, NoTwoSitesShareAByteAndTheSampleHoldsThemAll) {
  std::set<uint32_t> used;
  size_t total = 0;
  const auto take = [&](uint32_t at, uint32_t width) {
    for (uint32_t i = 0; i < width; ++i) used.insert(at + i);
    total += width;
  };
  for (const FixedSite& s : kFixedSites) take(s.offset, s.width);
  for (const NameTableSite& t : kNameTables) take(t.first, t.entries * t.entryWidth);
  for (const WordLimitSite& row : kWordLimits)
    for (uint32_t at : row.values.view()) take(at, 2);
  for (const ByteLimitSite& row : kByteLimits) {
    for (uint32_t at : row.values.view()) take(at, 1);
    for (size_t b = 0; b < row.branches.count; ++b) take(row.branches.at[b], BranchWidth(row, b));
  }
  EXPECT_EQ(used.size(), total);
  EXPECT_EQ(HighestSiteEnd(), *used.rbegin() + 1);
  EXPECT_GE(SampleFiles().at("z.dat").size(), HighestSiteEnd());
}

TEST_F(ZdatPatch, ReadsTheValuesTheWindowShows) {
  const ZdatFile file = ReadZdat(dir.path());
  ASSERT_TRUE(file.complete());
  EXPECT_EQ(file.values.totalMemory, 420000);
  EXPECT_EQ(file.values.sdx, "sdx000");
  EXPECT_EQ(file.values.wmp, "wmp000");
  EXPECT_EQ(file.values.leaveEvent, 186);
  EXPECT_EQ(file.values.wordLimits[0], 999);
  EXPECT_EQ(file.values.byteLimits[Row("attack limit")], 100);
  const std::string report = ZdatReport(file.values);
  EXPECT_NE(report.find("memory M1: 96000\n"), std::string::npos);
  EXPECT_NE(report.find("roster: 3 5 8 13 21 34\n"), std::string::npos);
}

TEST_F(ZdatPatch, HiddenWeaponsFollowTheirOwnCancelBoxNotTheSwords) {
  ZdatChoices c;
  const size_t anqi = Row("hidden weapons limit"), sword = Row("sword limit");
  c.byteLimits[anqi] = {true, "90", true};
  c.byteLimits[sword] = {false, "90", false};
  ASSERT_TRUE(Patch(c).written);
  std::map<uint32_t, uint8_t> expected;
  for (uint32_t at : kByteLimits[anqi].branches.view()) expected[at] = kRemoveBranch;
  EXPECT_EQ(ChangedBytes(), expected);
}

TEST_F(ZdatPatch, BattleNamesAreWrittenByTheirOwnBoxOnly) {
  ZdatChoices c;
  c.battlePictures = true;
  c.wdx = " wdy ";
  c.wmp = "wmq";
  c.sdx = "never";
  c.smp = "never";
  ASSERT_TRUE(Patch(c).written);
  const Bytes after = dir.Get("z.dat");
  std::map<uint32_t, uint8_t> expected;
  for (const NameTableSite* t : {&TableOf(NameTable::BattleIndex), &TableOf(NameTable::BattleData)}) {
    const std::string name = t->table == NameTable::BattleIndex ? "wdy" : "wmq";
    for (uint32_t i = 0; i < t->entries; ++i) {
      for (size_t j = 0; j < name.size(); ++j) expected[t->entry(i) + uint32_t(j)] = uint8_t(name[j]);
      expected[t->entry(i) + uint32_t(name.size())] = 0;
    }
  }
  // Only the bytes that differ from the sample's "wdx000"/"wmp000" count.
  for (auto it = expected.begin(); it != expected.end();)
    it = Original()[it->first] == it->second ? expected.erase(it) : std::next(it);
  EXPECT_EQ(ChangedBytes(), expected);

  // The scene box alone leaves the battle tables as they were.
  dir.Put("z.dat", Original());
  ZdatChoices scene;
  scene.scenePictures = true;
  scene.sdx = "sdx";
  scene.smp = "smp";
  scene.wdx = scene.wmp = "never";
  ASSERT_TRUE(Patch(scene).written);
  for (const auto& [at, byte] : ChangedBytes()) {
    EXPECT_GE(at, TableOf(NameTable::SceneData).first);
    EXPECT_LT(at, TableOf(NameTable::SceneIndex).end());
  }
}

TEST_F(ZdatPatch, SceneIndexNameWithItsZeroByteInEveryEntry) {
  ZdatChoices c;
  c.scenePictures = true;
  c.sdx = "sdx";
  c.smp = "smp000";  // as it is: the data table does not change
  ASSERT_TRUE(Patch(c).written);
  const Bytes after = dir.Get("z.dat");
  const NameTableSite& t = TableOf(NameTable::SceneIndex);
  for (uint32_t i = 0; i < t.entries; ++i) {
    const uint32_t at = t.entry(i);
    EXPECT_EQ(std::string(after.begin() + at, after.begin() + at + 4), std::string("sdx\0", 4)) << i;
  }
  // "sdxNNN" became "sdx" and a zero: each index entry changes at its fourth
  // byte only; the data entries "smpNNN" took "smp000", so only their digits change.
  std::map<uint32_t, uint8_t> index, data;
  for (const auto& [at, byte] : ChangedBytes()) {
    if (at >= t.first && at < t.end())
      index[at] = byte;
    else
      data[at] = byte;
  }
  EXPECT_EQ(index.size(), size_t(t.entries));
  for (uint32_t i = 0; i < t.entries; ++i) EXPECT_EQ(index.count(t.entry(i) + 3), 1u);
  const NameTableSite& d = TableOf(NameTable::SceneData);
  for (const auto& [at, byte] : data) {
    EXPECT_GE(at, d.first + 3);
    EXPECT_EQ(byte, '0');
    EXPECT_LT((at - d.first) % d.entryWidth, 6u);
    EXPECT_GE((at - d.first) % d.entryWidth, 3u);
  }
}

TEST_F(ZdatPatch, RosterGathersAtTheFrontAndWritesFiftyBytes) {
  Bytes z = Original();
  const FixedSite& roster = SiteOf(Site::Roster);
  std::fill_n(z.begin() + roster.offset, roster.width, uint8_t(0));
  z[roster.offset + 1] = 5;
  z[roster.offset + 3] = 7;
  dir.Put("z.dat", z);
  const ZdatFile file = ReadZdat(dir.path());
  ASSERT_TRUE(file.values.roster);
  ZdatChoices c;
  c.roster = true;
  GatherRoster(*file.values.roster, c.rosterSlots);
  EXPECT_EQ(c.rosterSlots[0], 5);
  EXPECT_EQ(c.rosterSlots[1], 7);
  c.leaveEvent = "-2";
  ASSERT_TRUE(Patch(c).written);
  const Bytes after = dir.Get("z.dat");
  EXPECT_EQ(after[roster.offset], 5);
  EXPECT_EQ(after[roster.offset + 1], 7);
  for (uint32_t i = 2; i < roster.width; ++i) EXPECT_EQ(after[roster.offset + i], 0) << i;
  std::set<uint32_t> allowed;
  for (Site s : {Site::Roster, Site::LeaveRoutine, Site::LeaveCount1, Site::LeaveCount2, Site::LeaveEvent})
    for (uint32_t i = 0; i < SiteOf(s).width; ++i) allowed.insert(SiteOf(s).offset + i);
  for (const auto& [at, byte] : Changed(z, after)) EXPECT_TRUE(allowed.contains(at)) << at;
  EXPECT_EQ(after[SiteOf(Site::LeaveCount1).offset], kLeaveCount);
  EXPECT_EQ(after[SiteOf(Site::LeaveCount2).offset], kLeaveCount);
  EXPECT_EQ(ReadI16(after, SiteOf(Site::LeaveEvent).offset), -2);
  EXPECT_EQ(
      Bytes(after.begin() + SiteOf(Site::LeaveRoutine).offset, after.begin() + SiteOf(Site::LeaveRoutine).offset + 4),
      Bytes(kLeaveRoutineBytes.begin(), kLeaveRoutineBytes.end()));
}

TEST_F(ZdatPatch, FightGroupRenamesTheFilesAndReplacesAnExistingNewName) {
  Bytes oldIdx = dir.Get("fight000.idx"), oldGrp = dir.Get("fight000.grp");
  if (oldIdx.empty()) {  // the sample's fight files live in the game directory
    for (const auto& [name, bytes] : SampleFiles())
      if (name.rfind("fight", 0) == 0) dir.Put(name, bytes);
    oldIdx = dir.Get("fight000.idx");
    oldGrp = dir.Get("fight000.grp");
  }
  ASSERT_FALSE(oldIdx.empty());
  dir.Put("fdx000", {1, 2, 3});
  ZdatChoices c;
  c.fight = true;
  c.renameFightFiles = true;
  const PatchOutcome out = Patch(c);
  ASSERT_TRUE(out.written);
  EXPECT_TRUE(out.renameFailures.empty());
  EXPECT_FALSE(dir.Has("fight000.idx"));
  EXPECT_FALSE(dir.Has("fight000.grp"));
  EXPECT_EQ(dir.Get("fdx000"), oldIdx);
  EXPECT_EQ(dir.Get("fmp000"), oldGrp);
  EXPECT_TRUE(dir.Has("fdx003"));
  const Bytes after = dir.Get("z.dat");
  EXPECT_EQ(after[SiteOf(Site::FightByte).offset], kFightCount);
  const NameTableSite& index = TableOf(NameTable::FightIndex);
  EXPECT_EQ(std::string(after.begin() + index.entry(219), after.begin() + index.entry(220)),
            std::string("fdx219\0\0\0\0", 10));
  const NameTableSite& data = TableOf(NameTable::FightData);
  EXPECT_EQ(std::string(after.begin() + data.entry(7), after.begin() + data.entry(8)),
            std::string("fmp007\0\0\0\0", 10));
  for (const auto& [at, byte] : ChangedBytes())
    EXPECT_TRUE(at == SiteOf(Site::FightByte).offset || (at >= data.first && at < index.end())) << at;
}

TEST_F(ZdatPatch, FightGroupWithoutRenamingLeavesTheFiles) {
  for (const auto& [name, bytes] : SampleFiles())
    if (name.rfind("fight", 0) == 0) dir.Put(name, bytes);
  ZdatChoices c;
  c.fight = true;
  ASSERT_TRUE(Patch(c).written);
  EXPECT_TRUE(dir.Has("fight000.idx"));
  EXPECT_FALSE(dir.Has("fdx000"));
}

TEST_F(ZdatPatch, BadValuesRefuseTheirGroupAndNameTheField) {
  const TextCodec codec(GameCharset::Gbk, std::make_shared<CharsetTables>());
  const struct {
    void (*set)(ZdatChoices&);
    std::string_view field;
  } cases[] = {
      {[](ZdatChoices& c) {
         c.byteLimits[0] = {true, "256", false};
       },
       kByteLimits[0].field},
      {[](ZdatChoices& c) {
         c.byteLimits[1] = {true, "-1", false};
       },
       kByteLimits[1].field},
      {[](ZdatChoices& c) {
         c.wordLimits[0] = {true, "32768", false};
       },
       kWordLimits[0].field},
      {[](ZdatChoices& c) {
         c.wordLimits[1] = {true, "12a", false};
       },
       kWordLimits[1].field},
      {[](ZdatChoices& c) {
         c.memory = true;
         c.totalMemory = "1";
         c.memory1 = "2147483648";
         c.memory2 = "3";
       },
       "txtMemory1"},
      {[](ZdatChoices& c) {
         c.roster = true;
         c.rosterSlots[0] = 9;
         c.leaveEvent = "-32769";
       },
       "txtliduishijian"},
      {[](ZdatChoices& c) {
         c.scenePictures = true;
         c.sdx = "abcdefghijklm";
         c.smp = "smp";
       },
       "txtSDX"},
      {[](ZdatChoices& c) {
         c.battlePictures = true;
         c.wdx = "wdx";
         c.wmp = "名字";
       },
       "txtWMP"},
  };
  for (const auto& one : cases) {
    ZdatChoices c;
    one.set(c);
    const PatchOutcome out = Patch(c);
    ASSERT_EQ(out.plan.refusals.size(), 1u) << one.field;
    EXPECT_EQ(out.plan.refusals[0].field, one.field);
    EXPECT_TRUE(out.plan.writes.empty()) << one.field;
    EXPECT_TRUE(ChangedBytes().empty()) << one.field;
    const std::string message = PatchOutcomeMessage(codec, out);
    EXPECT_NE(message.find(codec.UiString(out.plan.refusals[0].caption)), std::string::npos) << message;
  }
  // A 12-character name fits with its zero byte; the limits at their ends are accepted.
  ZdatChoices fits;
  fits.scenePictures = true;
  fits.sdx = "abcdefghijkl";
  fits.smp = "smp";
  fits.byteLimits[0] = {true, "255", false};
  fits.wordLimits[0] = {true, "-32768", false};
  EXPECT_TRUE(Patch(fits).plan.refusals.empty());
}

TEST_F(ZdatPatch, RefusedGroupDoesNotStopTheOthers) {
  ZdatChoices c;
  c.byteLimits[0] = {true, "300", false};
  c.water = true;
  c.walkOnWater = true;
  const PatchOutcome out = Patch(c);
  EXPECT_EQ(out.plan.refusals.size(), 1u);
  const uint32_t at = SiteOf(Site::WalkOnWater).offset;
  EXPECT_EQ(ChangedBytes(), (std::map<uint32_t, uint8_t>{{at, 0x90}, {at + 1, 0x90}}));
}

TEST_F(ZdatPatch, ShortFileWritesNothingBeyondItsEndAndKeepsItsLength) {
  // Long enough for the memory numbers, too short for the name tables.
  const size_t size = TableOf(NameTable::SceneData).first;
  Bytes z(Original().begin(), Original().begin() + long(size));
  dir.Put("z.dat", z);
  const ZdatFile file = ReadZdat(dir.path());
  EXPECT_TRUE(file.found);
  EXPECT_FALSE(file.complete());
  EXPECT_FALSE(file.values.sdx);
  EXPECT_TRUE(file.values.totalMemory);
  const TextCodec codec(GameCharset::Gbk, std::make_shared<CharsetTables>());
  EXPECT_FALSE(ZdatOpenProblem(codec, file).empty());
  EXPECT_NE(ZdatReport(file.values).find("sdx name: -\n"), std::string::npos);

  ZdatChoices c;
  c.scenePictures = true;
  c.sdx = "a";
  c.smp = "b";
  c.memory = true;
  c.totalMemory = "1";
  c.memory1 = "2";
  c.memory2 = "3";
  const PatchOutcome out = Patch(c);
  ASSERT_EQ(out.plan.refusals.size(), 1u);
  EXPECT_EQ(out.plan.refusals[0].kind, Refusal::Kind::ShortFile);
  const Bytes after = dir.Get("z.dat");
  ASSERT_EQ(after.size(), size);
  Bytes expected = z;  // the three numbers written, nothing else
  for (const auto& [site, value] : {std::pair{Site::TotalMemory, 1}, {Site::Memory1, 2}, {Site::Memory2, 3}}) {
    const uint32_t at = SiteOf(site).offset;
    expected[at] = uint8_t(value);
    std::fill_n(expected.begin() + at + 1, 3, uint8_t(0));
  }
  EXPECT_EQ(after, expected);
}

TEST_F(ZdatPatch, MissingFileWritesNothingAndCreatesNothing) {
  std::filesystem::remove(dir / "z.dat");
  const ZdatFile file = ReadZdat(dir.path());
  EXPECT_FALSE(file.found);
  const TextCodec codec(GameCharset::Gbk, std::make_shared<CharsetTables>());
  EXPECT_NE(ZdatOpenProblem(codec, file).find("z.dat"), std::string::npos);
  ZdatChoices c;
  c.water = true;
  const PatchOutcome out = Patch(c);
  EXPECT_FALSE(out.fileFound);
  EXPECT_FALSE(dir.Has("z.dat"));
  EXPECT_FALSE(dir.Has("z.dat.bak"));
  EXPECT_FALSE(PatchOutcomeMessage(codec, out).empty());
}

TEST_F(ZdatPatch, FirstPatchOfTheRunKeepsThePreviousContent) {
  ZdatChoices c;
  c.water = true;
  c.walkOnWater = true;
  ASSERT_TRUE(Patch(c).written);
  EXPECT_EQ(dir.Get("z.dat.bak"), Original());
  const Bytes once = dir.Get("z.dat");
  c.walkOnWater = false;
  ASSERT_TRUE(Patch(c).written);
  EXPECT_EQ(dir.Get("z.dat.bak"), Original());  // the second patch keeps the first backup
  EXPECT_NE(dir.Get("z.dat"), once);
  // Nothing checked: nothing written, no backup in a fresh run either.
  PatchSession fresh;
  ScratchDir other;
  other.Put("z.dat", Original());
  EXPECT_TRUE(PatchZdat(other.path(), ZdatChoices{}, fresh).written);
  EXPECT_FALSE(other.Has("z.dat.bak"));
}

TEST(ZdatRoster, PersonChoicesStopAt255) {
  NameTables names;
  names.persons.resize(300);
  names.persons[12].name = "N";
  const std::vector<std::string> entries = RosterPersonChoices(names);
  ASSERT_EQ(entries.size(), 256u);
  EXPECT_EQ(entries[12], "12(C)N");
  EXPECT_EQ(entries[255], "255(FF)");
}

}  // namespace
}  // namespace tavrel::testing
