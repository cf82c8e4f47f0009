#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gamefiles/names.h"
#include "gamefiles_test_support.h"

namespace tavrel {
namespace {

using testing::Big5Codec;
using testing::IndexBytes;
using testing::ScratchDir;

// BIG5 bytes of 一 中 文 人 大.
const Bytes kFiveChars = {0xA4, 0x40, 0xA4, 0xA4, 0xA4, 0xE5, 0xA4, 0x48, 0xA4, 0x6A};

void Poke(Bytes& section, size_t at, const Bytes& bytes) {
  std::memcpy(section.data() + at, bytes.data(), bytes.size());
}
void PokeI16(Bytes& section, size_t at, int16_t v) {
  Bytes b;
  AppendI16(b, v);
  Poke(section, at, b);
}

// r1.grp with entry 0 of 7 bytes (so no section starts at a round offset),
// entries 1 to 4 as given, and one more entry that is never read.
void PutR1(const ScratchDir& dir, const std::vector<Bytes>& sections) {
  Bytes grp(7, 0x55);
  std::vector<int32_t> ends = {7};
  for (const Bytes& s : sections) {
    grp.insert(grp.end(), s.begin(), s.end());
    ends.push_back(int32_t(grp.size()));
  }
  grp.insert(grp.end(), 30, 0x66);
  ends.push_back(int32_t(grp.size()));
  dir.Put("r1.idx", IndexBytes(ends));
  dir.Put("r1.grp", grp);
}

TEST(GamefilesNames, ReadsEveryTableAtItsRecordPositions) {
  Bytes persons(kPersonRecordSize * 2, 0);
  PokeI16(persons, kPersonRecordSize + 0, -3);
  PokeI16(persons, kPersonRecordSize + 2, 7);
  PokeI16(persons, kPersonRecordSize + 4, 4);
  PokeI16(persons, kPersonRecordSize + 6, 5);
  Poke(persons, kPersonRecordSize + 8, {'P', 'e', 'r'});
  Poke(persons, kPersonRecordSize + 18, {'A', 'l', 't'});

  Bytes items(kItemRecordSize * 200, 0);
  for (size_t k = 0; k < 200; ++k) Poke(items, k * kItemRecordSize + 2, {uint8_t('a' + k % 26), '#'});
  const size_t item5 = 5 * kItemRecordSize;
  PokeI16(items, item5, 1234);
  Poke(items, item5 + 2, {0xA4, 0xA4, 0xA4, 0xE5});  // 中文
  Poke(items, item5 + 22, {'s', 'e', 'c'});

  Bytes scenes(kSceneRecordSize * 3, 0);
  Poke(scenes, 2 * kSceneRecordSize + 2, {'T', 'o', 'w', 'n'});
  Bytes skills(kSkillRecordSize, 0);
  PokeI16(skills, 0, 99);
  Poke(skills, 2, {'F', 'i', 's', 't'});

  ScratchDir dir;
  PutR1(dir, {persons, items, scenes, skills});
  Result<NameTables> names = LoadNameTables(dir.path(), Big5Codec());
  ASSERT_TRUE(names) << names.error();
  ASSERT_EQ(names->persons.size(), 2u);
  const PersonRecord& p = names->persons[1];
  EXPECT_EQ(p.value0, -3);
  EXPECT_EQ(p.portrait, 7);
  EXPECT_EQ(p.value2, 4);
  EXPECT_EQ(p.value3, 5);
  EXPECT_EQ(p.name, "Per");
  EXPECT_EQ(p.secondName, "Alt");

  ASSERT_EQ(names->items.size(), 200u);
  EXPECT_EQ(names->items[5].name, "中文");
  EXPECT_EQ(names->items[5].value0, 1234);
  EXPECT_EQ(names->items[5].secondName, "sec");
  EXPECT_EQ(names->items[4].name, "e#");
  EXPECT_EQ(names->items[199].name, "r#");

  ASSERT_EQ(names->scenes.size(), 3u);
  EXPECT_EQ(names->scenes[2].name, "Town");
  ASSERT_EQ(names->skills.size(), 1u);
  EXPECT_EQ(names->skills[0].value0, 99);
  EXPECT_EQ(names->skills[0].name, "Fist");
}

TEST(GamefilesNames, NamesAreDecodedWithTheirFieldWidth) {
  Bytes persons(kPersonRecordSize * 2, 0);
  Poke(persons, 8, kFiveChars);                                                // fills the field, no zero
  Poke(persons, 18, {'Z'});                                                    // must not run into the name
  Poke(persons, kPersonRecordSize + 8, {0xA4, 0x40, 0xA4, 0xA4, 0xA4, 0xE5});  // 6 bytes, then zeros
  ScratchDir dir;
  PutR1(dir, {persons, {}, {}, {}});
  Result<NameTables> names = LoadNameTables(dir.path(), Big5Codec());
  ASSERT_TRUE(names) << names.error();
  EXPECT_EQ(names->persons[0].name, "一中文人大");
  EXPECT_EQ(names->persons[0].nameBytes[9], 0x6A);
  EXPECT_EQ(names->persons[1].name, "一中文");
  EXPECT_TRUE(names->items.empty());
}

TEST(GamefilesNames, RecordCountsRoundHalfToEven) {
  struct Case {
    size_t length;
    size_t persons;
  };
  const Case cases[] = {
      {0, 0},
      {kPersonRecordSize * 2 + 91, 2},  // 2.5
      {kPersonRecordSize * 3 + 91, 4},  // 3.5
      {kPersonRecordSize + 90, 1},
      {kPersonRecordSize + 92, 2},
      {91, 0},  // 0.5
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    Bytes persons(c.length, 0);
    if (c.persons > 0) Poke(persons, (c.persons - 1) * kPersonRecordSize + 8, {'L', 'a', 's', 't'});
    ScratchDir dir;
    PutR1(dir, {persons, {}, {}, {}});
    Result<NameTables> names = LoadNameTables(dir.path(), Big5Codec());
    ASSERT_TRUE(names) << names.error();
    ASSERT_EQ(names->persons.size(), c.persons);
    if (c.persons > 0) {
      EXPECT_EQ(names->persons.back().name, "Last");
    }
  }
}

TEST(GamefilesNames, ARecordCutShortByTheDataReadsZeros) {
  // A scene section of 1.5 records, the last one in the file: the rounded-up
  // record's fields end inside the 26 bytes present, the rest of it is absent.
  Bytes scenes(kSceneRecordSize + 26, 0);
  Poke(scenes, kSceneRecordSize + 2, {'E', 'n', 'd'});
  Bytes grp(7, 0);
  for (int i = 0; i < 3; ++i) grp.insert(grp.end(), kPersonRecordSize, 0);  // 3 persons
  const int32_t personsEnd = int32_t(grp.size());
  grp.insert(grp.end(), scenes.begin(), scenes.end());
  ScratchDir dir;
  dir.Put("r1.idx", IndexBytes({7, personsEnd, personsEnd, int32_t(grp.size()), int32_t(grp.size())}));
  dir.Put("r1.grp", grp);
  Result<NameTables> names = LoadNameTables(dir.path(), Big5Codec());
  ASSERT_TRUE(names) << names.error();
  EXPECT_EQ(names->persons.size(), 3u);
  ASSERT_EQ(names->scenes.size(), 2u);
  EXPECT_EQ(names->scenes[1].name, "End");
}

TEST(GamefilesNames, DamagedOrMissingFilesAreReportedByName) {
  ScratchDir dir;
  Result<NameTables> none = LoadNameTables(dir.path(), Big5Codec());
  ASSERT_FALSE(none);
  EXPECT_NE(none.error().find("r1.idx"), std::string::npos) << none.error();

  dir.Put("r1.idx", IndexBytes({0, 0, 0, 0}));  // entries 0 to 3 only
  dir.Put("r1.grp", {});
  Result<NameTables> tooFew = LoadNameTables(dir.path(), Big5Codec());
  ASSERT_FALSE(tooFew);
  EXPECT_NE(tooFew.error().find("r1.idx"), std::string::npos) << tooFew.error();

  // Claims a person the data lacks: read up to there, too few entries, and
  // the damage names the data.
  dir.Put("r1.idx", IndexBytes({0, 182, 182, 182, 182}));
  std::vector<FileWarning> warnings;
  Result<NameTables> pastEnd = LoadNameTables(dir.path(), Big5Codec(), &warnings);
  ASSERT_FALSE(pastEnd);
  EXPECT_NE(pastEnd.error().find("r1.idx"), std::string::npos) << pastEnd.error();
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].message.find("r1.grp"), std::string::npos) << warnings[0].message;
  EXPECT_EQ(warnings[0].damage, (FileLoss{4, 0}));

  dir.Put("r1.idx", IndexBytes({0, 0, 0, 0, 0}));
  EXPECT_TRUE(LoadNameTables(dir.path(), Big5Codec()));
}

TEST(GamefilesPortraitUsers, ListsWearersAscendingAndIgnoresPortraitsOutOfRange) {
  NameTables names;
  names.persons.resize(14);
  names.persons[3].portrait = 7;
  names.persons[12].portrait = 7;
  names.persons[5].portrait = -1;
  names.persons[6].portrait = 8;  // one past the last portrait
  names.persons[13].portrait = 32767;
  for (int p : {0, 1, 2, 4, 7, 8, 9, 10, 11}) names.persons[size_t(p)].portrait = 2;
  std::vector<std::vector<int32_t>> users = BuildPortraitUsers(names, 8);
  ASSERT_EQ(users.size(), 8u);
  EXPECT_EQ(users[7], (std::vector<int32_t>{3, 12}));
  EXPECT_EQ(users[2], (std::vector<int32_t>{0, 1, 2, 4, 7, 8, 9, 10, 11}));
  EXPECT_TRUE(users[0].empty());
  EXPECT_TRUE(BuildPortraitUsers(names, 0).empty());
  EXPECT_TRUE(BuildPortraitUsers(names, -4).empty());
}

}  // namespace
}  // namespace tavrel
