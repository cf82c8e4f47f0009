#include <gtest/gtest.h>

#include <string>

#include "gamefiles_test_support.h"
#include "script/event_table.h"

namespace tavrel {
namespace {

using testing::FaultHookGuard;
using testing::IndexBytes;
using testing::ScratchDir;

Bytes Words(const std::vector<int16_t>& words) {
  Bytes out;
  for (int16_t w : words) AppendI16(out, w);
  return out;
}

TEST(GamefilesKdef, IndexValuesSixAndTenGiveEventsOfThreeAndTwoWords) {
  ScratchDir dir;
  dir.Put("kdef.idx", IndexBytes({6, 10}));
  dir.Put("kdef.grp", Words({1, -2, 0x7FFF, int16_t(0x8000), 5}));
  Result<EventTable> table = ReadEvents(dir.path());
  ASSERT_TRUE(table) << table.error();
  EXPECT_EQ(table->offsets, (std::vector<int32_t>{0, 3, 5}));
  ASSERT_EQ(table->events.size(), 2u);
  EXPECT_EQ(table->events[0].words, (std::vector<int16_t>{1, -2, 0x7FFF}));
  EXPECT_EQ(table->events[1].words, (std::vector<int16_t>{int16_t(0x8000), 5}));
  EXPECT_TRUE(table->events[0].statements.empty());
  EXPECT_EQ(table->events[0].labelCounter, 0);
}

TEST(GamefilesKdef, ALastOddByteBelongsToNoWordAndAnIndexPastTheBytesIsDamage) {
  // kdef.grp is read straight into words: an index may reach its last whole
  // word, not the odd byte after it, and the words read are little-endian.
  ScratchDir dir;
  Bytes grp = Words({0x0102, -1});
  grp.push_back(0x7E);
  dir.Put("kdef.grp", grp);
  dir.Put("kdef.idx", IndexBytes({4}));
  Result<EventTable> table = ReadEvents(dir.path());
  ASSERT_TRUE(table) << table.error();
  EXPECT_EQ(table->events[0].words, (std::vector<int16_t>{0x0102, -1}));
  // The odd byte after the last whole word belongs to no event: writing the
  // events back would lose it.
  std::vector<FileWarning> warnings;
  ASSERT_TRUE(ReadEvents(dir.path(), &warnings));
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0].damage, (FileLoss{0, 1}));
  dir.Put("kdef.idx", IndexBytes({6}));
  warnings.clear();
  Result<EventTable> past = ReadEvents(dir.path(), &warnings);
  ASSERT_TRUE(past) << past.error();
  EXPECT_TRUE(past->events.empty());
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].message.find("超出了"), std::string::npos) << warnings[0].message;
  EXPECT_NE(warnings[0].message.find("（5 字节）"), std::string::npos) << warnings[0].message;
  EXPECT_EQ(warnings[0].damage, (FileLoss{1, 5}));
}

TEST(GamefilesKdef, EventsOfOneReadShareTheirWordsAndAreReplacedOneByOne) {
  ScratchDir dir;
  dir.Put("kdef.idx", IndexBytes({6, 10, 10, 14}));
  dir.Put("kdef.grp", Words({1, 2, 3, 4, 5, 6, 7}));
  Result<EventTable> table = ReadEvents(dir.path());
  ASSERT_TRUE(table) << table.error();
  ASSERT_EQ(table->events.size(), 4u);
  // All events look into one buffer, in file order.
  EXPECT_EQ(table->events[1].words.data(), table->events[0].words.data() + 3);
  EXPECT_TRUE(table->events[2].words.empty());
  EXPECT_EQ(table->events[3].words, (std::vector<int16_t>{6, 7}));

  // New words for one event leave the others, and a copy made before, as
  // they were; the copy outlives the table.
  KdefEvent copy = table->events[1];
  table->events[1].words = {9, 9, 9};
  EXPECT_EQ(table->events[0].words, (std::vector<int16_t>{1, 2, 3}));
  EXPECT_EQ(table->events[1].words, (std::vector<int16_t>{9, 9, 9}));
  EXPECT_EQ(table->events[3].words, (std::vector<int16_t>{6, 7}));
  table.value() = EventTable{};
  EXPECT_EQ(copy.words, (std::vector<int16_t>{4, 5}));
}

TEST(EventWords, AViewIsClippedToItsBuffer) {
  auto buffer = std::make_shared<const std::vector<int16_t>>(std::vector<int16_t>{1, 2, 3});
  EXPECT_EQ(EventWords(buffer, 1, 10), (std::vector<int16_t>{2, 3}));
  EXPECT_TRUE(EventWords(buffer, 7, 2).empty());
  EXPECT_TRUE(EventWords(nullptr, 0, 5).empty());
  EXPECT_TRUE(EventWords().empty());
  EXPECT_EQ(EventWords(buffer, 0, 2), EventWords({1, 2}));
  EXPECT_FALSE(EventWords(buffer, 0, 3) == EventWords({1, 2}));
}

TEST(GamefilesKdef, ReadingAndWritingWithoutEditsReproducesBothFiles) {
  ScratchDir dir;
  const Bytes idx = IndexBytes({4, 4, 10, 12});  // includes an event of 0 words
  const Bytes grp = Words({3, 0, -1, 2, 300, -300});
  dir.Put("kdef.idx", idx);
  dir.Put("kdef.grp", grp);
  Result<EventTable> table = ReadEvents(dir.path());
  ASSERT_TRUE(table) << table.error();
  EXPECT_TRUE(table->events[1].words.empty());
  ASSERT_TRUE(WriteEvents(dir.path(), *table));
  EXPECT_EQ(dir.Get("kdef.idx"), idx);
  EXPECT_EQ(dir.Get("kdef.grp"), grp);
}

TEST(GamefilesKdef, LengtheningAnEventMovesOnlyItsAndLaterIndexValues) {
  EventTable table;
  table.events.resize(4);
  table.events[0].words = {1, 2};
  table.events[1].words = {3};
  table.events[2].words = {4, 5, 6};
  table.events[3].words = {};
  Bytes idx, grp;
  EncodeEvents(table, idx, grp);
  EXPECT_EQ(idx, IndexBytes({4, 6, 12, 12}));

  const int k = 3;
  std::vector<int16_t> longer = table.events[1].words;
  longer.insert(longer.end(), k, int16_t(-7));
  table.events[1].words = longer;
  EncodeEvents(table, idx, grp);
  EXPECT_EQ(idx, IndexBytes({4, 6 + 2 * k, 12 + 2 * k, 12 + 2 * k}));
  EXPECT_EQ(grp, Words({1, 2, 3, -7, -7, -7, 4, 5, 6}));
  EXPECT_EQ(table.offsets, (std::vector<int32_t>{0, 2, 3 + k, 6 + k, 6 + k}));
}

TEST(GamefilesKdef, AnEmptyEventAddsNoBytesAndRepeatsItsPredecessorsValue) {
  EventTable table;
  table.events.resize(2);
  table.events[0].words = {9, 9};
  Bytes idx, grp;
  EncodeEvents(table, idx, grp);
  EXPECT_EQ(idx, IndexBytes({4, 4}));
  EXPECT_EQ(grp, Words({9, 9}));
}

TEST(GamefilesKdef, AnEmptyIndexGivesNoEvents) {
  ScratchDir dir;
  dir.Put("kdef.idx", {});
  dir.Put("kdef.grp", {});
  Result<EventTable> table = ReadEvents(dir.path());
  ASSERT_TRUE(table) << table.error();
  EXPECT_TRUE(table->events.empty());
  EXPECT_EQ(table->offsets, std::vector<int32_t>{0});
}

TEST(GamefilesKdef, DamagedOrMissingFilesAreReportedByName) {
  struct Case {
    const char* what;
    Bytes idx;
    size_t grpSize;
    const char* named;
  };
  Bytes partial = IndexBytes({2});
  partial.push_back(1);
  const Case cases[] = {
      {"offset past the end", IndexBytes({4, 10}), 8, "kdef.grp"},
      {"huge offset", IndexBytes({4, 0x7FFFFFFE}), 8, "kdef.idx"},
      {"backwards", IndexBytes({6, 4}), 8, "kdef.idx"},
  };
  // Read as far as the index agrees with the data; the damage names the file.
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir dir;
    dir.Put("kdef.idx", c.idx);
    dir.Put("kdef.grp", Bytes(c.grpSize, 0));
    std::vector<FileWarning> warnings;
    Result<EventTable> table = ReadEvents(dir.path(), &warnings);
    ASSERT_TRUE(table) << table.error();
    EXPECT_EQ(table->events.size(), 1u);  // the first event lies inside the data
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_TRUE(warnings[0].damage.has_value());
    EXPECT_NE(warnings[0].message.find(c.named), std::string::npos) << warnings[0].message;
  }
  {
    // An odd byte offset is rounded down to its word, a trailing partial
    // value ignored; both are warned about.
    ScratchDir gentle;
    Bytes idx = IndexBytes({2, 5});
    idx.push_back(1);
    gentle.Put("kdef.idx", idx);
    gentle.Put("kdef.grp", Bytes(8, 0));
    std::vector<FileWarning> warnings;
    Result<EventTable> table = ReadEvents(gentle.path(), &warnings);
    ASSERT_TRUE(table) << table.error();
    EXPECT_EQ(table->offsets, (std::vector<int32_t>{0, 1, 2}));
    // Besides, the events end at word 2 of 4: the last 4 bytes are in none.
    ASSERT_EQ(warnings.size(), 3u);
    for (const FileWarning& w : warnings) EXPECT_EQ(w.file, "kdef.idx");
    EXPECT_EQ(warnings[1].damage, (FileLoss{0, 4}));
  }
  ScratchDir dir;
  Result<EventTable> none = ReadEvents(dir.path());
  ASSERT_FALSE(none);
  EXPECT_NE(none.error().find("kdef.idx"), std::string::npos) << none.error();
}

TEST(GamefilesKdef, AFailedWriteKeepsTheOldFilesAndOffsets) {
  ScratchDir dir;
  FaultHookGuard guard;
  dir.Put("kdef.idx", IndexBytes({2}));
  dir.Put("kdef.grp", Words({42}));
  Result<EventTable> table = ReadEvents(dir.path());
  ASSERT_TRUE(table);
  table->events[0].words = {42, 43};
  SetWriteFaultHook([](const std::string& step, const std::filesystem::path& p) {
    return !(step == "write" && p.filename() == "kdef.grp");
  });
  Status written = WriteEvents(dir.path(), *table);
  ASSERT_FALSE(written);
  EXPECT_NE(written.error().find("kdef.grp"), std::string::npos);
  EXPECT_EQ(dir.Get("kdef.idx"), IndexBytes({2}));
  EXPECT_EQ(dir.Get("kdef.grp"), Words({42}));
  EXPECT_EQ(table->offsets, (std::vector<int32_t>{0, 1}));
}

}  // namespace
}  // namespace tavrel
