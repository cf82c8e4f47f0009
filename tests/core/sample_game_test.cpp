// The sample game as a whole: deterministic, complete, readable by the
// editor and written back byte for byte in both charsets.
#include <gtest/gtest.h>

#include <set>

#include "sample_test_support.h"

namespace tavrel::testing {
namespace {

TEST(SampleGame, SameBytesOnEveryRun) {
  const auto again = sample::MakeSampleGame(SampleAt(1));
  ASSERT_EQ(again.size(), SampleFiles().size());
  for (const sample::SampleFile& f : again) {
    ASSERT_TRUE(SampleFiles().count(f.name)) << f.name;
    EXPECT_EQ(f.bytes, SampleFiles().at(f.name)) << f.name;
  }
}

TEST(SampleGame, HoldsEveryFileTheEditorReadsOnceEach) {
  const auto files = sample::MakeSampleGame(SampleAt(1));
  std::set<std::string> names;
  for (const auto& f : files) EXPECT_TRUE(names.insert(f.name).second) << "twice: " << f.name;
  for (const char* name : {"talk.idx", "talk.grp", "kdef.idx", "kdef.grp", "r1.idx", "r1.grp", "hdgrp.idx", "hdgrp.grp",
                           "mmap.col", "sdx", "smp", "wdx", "wmp", "z.dat"})
    EXPECT_TRUE(names.count(name)) << name;
  for (const char* name : {"sdx000", "smp000", "wdx000", "wmp000"}) EXPECT_FALSE(names.count(name)) << name;
  for (const auto& f : sample::MakeBattleFiles(SampleAt(1))) EXPECT_TRUE(names.count(f.name)) << f.name;
  for (const auto& f : sample::MakeExecutableDataFiles(SampleAt(1))) EXPECT_TRUE(names.count(f.name)) << f.name;
}

// Entry k of a 13-byte name table of z.dat, up to its first zero.
std::string ZdatEntry(const Bytes& z, size_t first, size_t k) {
  std::string name;
  for (size_t at = first + 13 * k; at < first + 13 * (k + 1) && z.at(at) != 0; ++at) name.push_back(char(z[at]));
  return name;
}

TEST(SampleGame, TileSetsAreBareOrNumberedAndZdatNamesThem) {
  // Scene index and data tables at 322192 and 320892 (100 entries), battle
  // index and data tables at 324224 and 323834 (30 entries).
  const Bytes& bare = SampleFiles(false).at("z.dat");
  for (size_t k : {0u, 7u, 99u}) {
    EXPECT_EQ(ZdatEntry(bare, 322192, k), "sdx");
    EXPECT_EQ(ZdatEntry(bare, 320892, k), "smp");
  }
  for (size_t k : {0u, 29u}) {
    EXPECT_EQ(ZdatEntry(bare, 324224, k), "wdx");
    EXPECT_EQ(ZdatEntry(bare, 323834, k), "wmp");
  }
  const auto& numbered = SampleFiles(true);
  const Bytes& z = numbered.at("z.dat");
  EXPECT_EQ(ZdatEntry(z, 322192, 7), "sdx007");
  EXPECT_EQ(ZdatEntry(z, 320892, 11), "smp011");
  EXPECT_EQ(ZdatEntry(z, 324224, 25), "wdx025");
  EXPECT_EQ(ZdatEntry(z, 323834, 3), "wmp003");
  for (const char* name : {"sdx000", "smp000", "sdx011", "smp011", "wdx000", "wmp000", "wdx025", "wmp025"})
    EXPECT_TRUE(numbered.count(name)) << name;
  for (const char* name : {"sdx", "smp", "wdx", "wmp"}) EXPECT_FALSE(numbered.count(name)) << name;
  // Everything but the tiles and z.dat is the same in both layouts.
  for (const auto& [name, bytes] : SampleFiles(false)) {
    if (name == "z.dat" || name == "sdx" || name == "smp" || name == "wdx" || name == "wmp") continue;
    ASSERT_TRUE(numbered.count(name)) << name;
    EXPECT_EQ(numbered.at(name), bytes) << name;
  }
}

TEST(SampleGame, NeedsTheAttributeTable) {
  sample::SampleOptions options;
  ScratchDir dir;
  EXPECT_FALSE(sample::WriteSampleGame(dir.path(), options));
  EXPECT_FALSE(dir.Has("kdef.idx"));
}

TEST(SampleGame, WritesIntoANewDirectoryAndOverAnOldOne) {
  ScratchDir dir;
  const auto target = dir.path() / "game" / "nested";
  ASSERT_TRUE(sample::WriteSampleGame(target, SampleAt(1)));
  ASSERT_TRUE(sample::WriteSampleGame(target, SampleAt(1)));
  size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(target)) {
    ++count;
    const std::string name = entry.path().filename().string();
    ASSERT_TRUE(SampleFiles().count(name)) << "stray file " << name;
    EXPECT_EQ(std::filesystem::file_size(entry.path()), SampleFiles().at(name).size()) << name;
  }
  EXPECT_EQ(count, SampleFiles().size());
}

TEST(SampleGame, ScaleMultipliesEventsAndDialogues) {
  std::map<std::string, size_t> sizes;
  for (const auto& f : sample::MakeSampleGame(SampleAt(3))) sizes[f.name] = f.bytes.size();
  EXPECT_EQ(sizes["kdef.idx"], 3 * SampleFiles().at("kdef.idx").size());
  EXPECT_EQ(sizes["talk.idx"], 3 * SampleFiles().at("talk.idx").size());
  EXPECT_EQ(sizes["r1.grp"], SampleFiles().at("r1.grp").size());
  EXPECT_EQ(sizes["hdgrp.grp"], SampleFiles().at("hdgrp.grp").size());
}

TEST(SampleGame, ReadsWithTheSizesItPromises) {
  SampleGameDir dir;
  EditorState state;
  ReadSampleGame(state, GameCharset::Big5, dir.path());
  EXPECT_EQ(state.eventCount(), 300);
  EXPECT_GE(state.talkCount(), 120);
  EXPECT_GE(state.game.names.persons.size(), 320u);
  EXPECT_GE(state.game.names.items.size(), 100u);
  EXPECT_GE(state.game.names.scenes.size(), 10u);
  EXPECT_GE(state.game.names.skills.size(), 50u);
  EXPECT_GE(state.game.portraits.size(), 100u);
  ASSERT_EQ(state.game.portraitUsers.size(), state.game.portraits.size());
  // Portraits shared by several persons, and persons in no list at all.
  size_t shared = 0, listed = 0;
  for (const auto& users : state.game.portraitUsers) shared += users.size() > 1, listed += users.size();
  EXPECT_GT(shared, 0u);
  EXPECT_LT(listed, state.game.names.persons.size());
}

// Entry k's end in an index file: its (k + 1)-th 32-bit value.
int32_t IndexEnd(const Bytes& idx, size_t k) {
  const size_t at = 4 * k;
  return int32_t(uint32_t(idx.at(at)) | uint32_t(idx.at(at + 1)) << 8 | uint32_t(idx.at(at + 2)) << 16 |
                 uint32_t(idx.at(at + 3)) << 24);
}

// The database's base entry holds 36 bytes and 4 per inventory slot: 836
// bytes in the original game's 200 slots, 996 in a real mod's 240. The editor
// reads the other entries the same either way.
TEST(SampleGame, TheBaseEntryHasTheOriginalsOrAModsSize) {
  EXPECT_EQ(IndexEnd(SampleFiles().at("r1.idx"), 0), 836);
  sample::SampleOptions options = SampleAt(1);
  options.inventorySlots = 240;
  ScratchDir dir;
  ASSERT_TRUE(sample::WriteSampleGame(dir.path(), options));
  EXPECT_EQ(IndexEnd(dir.Get("r1.idx"), 0), 996);
  EXPECT_EQ(IndexEnd(dir.Get("r1.idx"), 1) - 996, IndexEnd(SampleFiles().at("r1.idx"), 1) - 836)
      << "the persons follow, as many as before";

  EditorState mod, original;
  ReadSampleGame(mod, GameCharset::Big5, dir.path());
  SampleGameDir originalDir;
  ReadSampleGame(original, GameCharset::Big5, originalDir.path());
  ASSERT_EQ(mod.game.names.persons.size(), original.game.names.persons.size());
  for (size_t p = 0; p < mod.game.names.persons.size(); ++p)
    EXPECT_EQ(mod.game.names.persons[p].name, original.game.names.persons[p].name);
  EXPECT_EQ(mod.game.names.scenes.size(), original.game.names.scenes.size());
}

// As in real mods, the database names scenes the object tables do not hold.
TEST(SampleGame, TheDatabaseNamesMoreScenesThanTheObjectTables) {
  SampleGameDir dir;
  EditorState state;
  ReadSampleGame(state, GameCharset::Gbk, dir.path());
  ASSERT_TRUE(state.game.objects.present);
  EXPECT_GT(int32_t(state.game.names.scenes.size()), state.game.objects.sceneCount());
}

class SampleRoundTrip : public ::testing::TestWithParam<GameCharset> {};

TEST_P(SampleRoundTrip, SavingRightAfterReadingRewritesTheSameBytes) {
  SampleGameDir dir;
  EditorState state;
  ReadSampleGame(state, GetParam(), dir.path());
  ScratchDir saved;
  state.gameDirectory = saved.path().string();
  Status s = SaveGameFiles(state);
  ASSERT_TRUE(s) << s.error();
  for (const char* name : {"talk.idx", "talk.grp", "kdef.idx", "kdef.grp"})
    EXPECT_EQ(saved.Get(name), SampleFiles().at(name)) << name;
}

INSTANTIATE_TEST_SUITE_P(BothCharsets, SampleRoundTrip, ::testing::Values(GameCharset::Gbk, GameCharset::Big5),
                         [](const auto& tested) { return std::string(CharsetName(tested.param)); });

}  // namespace
}  // namespace tavrel::testing
