#include <gtest/gtest.h>

#include <string>

#include "gamefiles/idx_grp.h"
#include "gamefiles_test_support.h"

namespace tavrel {
namespace {

using testing::IndexBytes;
using testing::ScratchDir;

IdxGrpFile Strict(const std::vector<int32_t>& ends, size_t grpSize, std::vector<FileWarning>* warnings = nullptr) {
  return ParseIdxGrp(IndexBytes(ends), Bytes(grpSize, 0xAB), "d/x.idx", "d/x.grp", IndexCheck::Strict, warnings);
}

TEST(GamefilesIdxGrp, BuildsTheOffsetListAndSlicesEntries) {
  Bytes grp = {10, 11, 12, 20, 30, 31};
  std::vector<FileWarning> warnings;
  IdxGrpFile file = ParseIdxGrp(IndexBytes({3, 3, 4, 6}), grp, "x.idx", "x.grp", IndexCheck::Strict, &warnings);
  EXPECT_TRUE(warnings.empty());
  EXPECT_EQ(file.count(), 4);
  EXPECT_EQ(file.offsets, (std::vector<int32_t>{0, 3, 3, 4, 6}));
  auto bytes = [&](int32_t k) { return Bytes(file.Entry(k).begin(), file.Entry(k).end()); };
  EXPECT_EQ(bytes(0), Bytes({10, 11, 12}));
  EXPECT_TRUE(bytes(1).empty());
  EXPECT_EQ(bytes(2), Bytes({20}));
  EXPECT_EQ(bytes(3), Bytes({30, 31}));
  EXPECT_TRUE(file.Entry(4).empty());
  EXPECT_TRUE(file.Entry(-1).empty());
}

TEST(GamefilesIdxGrp, AnEmptyIndexBesideEmptyDataHasNoEntriesAndNoDamage) {
  std::vector<FileWarning> warnings;
  IdxGrpFile file = ParseIdxGrp({}, {}, "x.idx", "x.grp", IndexCheck::Strict, &warnings);
  EXPECT_EQ(file.count(), 0);
  EXPECT_EQ(file.offsets, std::vector<int32_t>{0});
  EXPECT_TRUE(warnings.empty());
}

// An index that disagrees with its data is read as far as they agree and
// reported as damage, with what writing the pair again would lose.
TEST(GamefilesIdxGrp, ADisagreeingIndexIsReadAsFarAsItAgreesAndItsDamageCounted) {
  struct Case {
    const char* what;
    std::vector<int32_t> ends;
    size_t grpSize;
    std::vector<int32_t> read;  // the offsets the read keeps
    FileLoss loss;
    const char* says;  // a number the message must hold
  };
  const Case cases[] = {
      // Offsets that leave the data: the entries from there on are not read.
      {"past the end", {4, 9}, 8, {0, 4}, {1, 4}, "9"},
      {"huge", {4, 0x7FFFFFFF}, 8, {0, 4}, {1, 4}, "2147483647"},
      {"backwards", {6, 4, 8}, 8, {0, 6}, {2, 2}, "4"},
      {"negative", {-4, 8}, 8, {0}, {2, 8}, "-4"},
      {"negative huge", {int32_t(0x80000000)}, 8, {0}, {1, 8}, "-2147483648"},
      // An index that stops before the data ends: the rest is in no entry.
      {"empty beside data", {}, 215893, {0}, {0, 215893}, "215893"},
      {"short", {2, 5}, 8, {0, 2, 5}, {0, 3}, "5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<FileWarning> warnings;
    IdxGrpFile file = Strict(c.ends, c.grpSize, &warnings);
    EXPECT_EQ(file.offsets, c.read);
    ASSERT_EQ(warnings.size(), 1u);
    const FileWarning& w = warnings[0];
    EXPECT_EQ(w.file, "x.idx");
    ASSERT_TRUE(w.damage.has_value());
    EXPECT_EQ(*w.damage, c.loss);
    EXPECT_NE(w.message.find("d/x.idx"), std::string::npos) << w.message;
    EXPECT_NE(w.message.find(c.says), std::string::npos) << w.message;
    EXPECT_NE(w.message.find(std::to_string(c.loss.bytes)), std::string::npos) << w.message;
  }
  std::vector<FileWarning> warnings;
  Strict({4, 9}, 8, &warnings);
  EXPECT_NE(warnings.at(0).message.find("d/x.grp"), std::string::npos) << warnings[0].message;
  warnings.clear();
  Strict({4, 8}, 8, &warnings);  // exactly the data: fine
  EXPECT_TRUE(warnings.empty());
}

TEST(GamefilesIdxGrp, SparseIndexesNameMissingEntriesPastTheDataAndLeaveTrailingBytes) {
  // Two whole entries of 4 bytes, two named past the data's end, then bytes
  // after the last entry: neither is damage.
  IndexReading read = ReadIndex(IndexBytes({4, 8, 12, 16}), 8, IndexCheck::Sparse);
  EXPECT_FALSE(read.damaged());
  EXPECT_EQ(read.readEntries(), 4);
  EXPECT_EQ(read.missingEntries, 2);
  read = ReadIndex(IndexBytes({4}), 10, IndexCheck::Sparse);
  EXPECT_FALSE(read.damaged());
  EXPECT_EQ(read.coveredBytes, 4);
  // An entry that starts inside the data and ends past it is cut: damage.
  read = ReadIndex(IndexBytes({4, 12}), 8, IndexCheck::Sparse);
  EXPECT_TRUE(read.damaged());
  EXPECT_EQ(read.stop, IndexReading::Stop::EndBeyondData);
  EXPECT_EQ(read.readEntries(), 1);
}

TEST(GamefilesIdxGrp, ATrailingPartialValueIsIgnoredWithAWarning) {
  Bytes idx = IndexBytes({2, 4});
  idx.push_back(0);
  std::vector<FileWarning> warnings;
  IdxGrpFile file = ParseIdxGrp(idx, Bytes(4), "dir/x.idx", "dir/x.grp", IndexCheck::Strict, &warnings);
  EXPECT_EQ(file.offsets, (std::vector<int32_t>{0, 2, 4}));
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0].file, "x.idx");
  EXPECT_FALSE(warnings[0].damage.has_value()) << "nothing is lost";
  EXPECT_NE(warnings[0].message.find("dir/x.idx"), std::string::npos) << warnings[0].message;
}

TEST(GamefilesIdxGrp, PictureIndexesMayHoldAnyValuesButEntriesStayInsideTheData) {
  IdxGrpFile file =
      ParseIdxGrp(IndexBytes({-5, 3, 2, 100}), Bytes{1, 2, 3, 4, 5}, "p.idx", "p.grp", IndexCheck::Pictures);
  EXPECT_TRUE(file.Entry(0).empty());   // 0 .. -5
  EXPECT_EQ(file.Entry(1).size(), 3u);  // -5 .. 3, clipped to 0 .. 3
  EXPECT_TRUE(file.Entry(2).empty());   // 3 .. 2
  EXPECT_EQ(file.Entry(3).size(), 3u);  // 2 .. 100, clipped to 2 .. 5
  EXPECT_EQ(file.Entry(3)[0], 3);
}

TEST(GamefilesIdxGrp, OneFileOfAPairMissingReadsAsDamageNamingItAndBothMissingIsAnError) {
  ScratchDir dir;
  Result<IdxGrpFile> none = ReadIdxGrp(dir.path(), "talk.idx", "talk.grp", IndexCheck::Strict);
  ASSERT_FALSE(none);
  EXPECT_NE(none.error().find("talk.idx"), std::string::npos) << none.error();

  // The index names an entry the missing data would hold.
  dir.Put("talk.idx", IndexBytes({1}));
  std::vector<FileWarning> warnings;
  Result<IdxGrpFile> noGrp = ReadIdxGrp(dir.path(), "talk.idx", "talk.grp", IndexCheck::Strict, &warnings);
  ASSERT_TRUE(noGrp);
  EXPECT_EQ(noGrp->count(), 0);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0].file, "talk.grp");
  EXPECT_EQ(warnings[0].damage, (FileLoss{1, 0}));
  EXPECT_NE(warnings[0].message.find((dir / "talk.grp").string()), std::string::npos) << warnings[0].message;

  // Data beside a missing index: every byte of it is in no entry.
  std::filesystem::remove(dir / "talk.idx");
  dir.Put("TALK.GRP", Bytes(7, 0xFF));
  warnings.clear();
  Result<IdxGrpFile> noIdx = ReadIdxGrp(dir.path(), "talk.idx", "talk.grp", IndexCheck::Strict, &warnings);
  ASSERT_TRUE(noIdx);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0].file, "talk.idx");
  EXPECT_EQ(warnings[0].damage, (FileLoss{0, 7}));

  dir.Put("talk.idx", IndexBytes({7}));
  warnings.clear();
  EXPECT_TRUE(ReadIdxGrp(dir.path(), "talk.idx", "talk.grp", IndexCheck::Strict, &warnings));
  EXPECT_TRUE(warnings.empty());
}

TEST(GamefilesIdxGrp, BuildIndexWritesLittleEndianEnds) {
  const int32_t ends[] = {1, 0x01020304, -1};
  EXPECT_EQ(BuildIndex(ends), Bytes({1, 0, 0, 0, 4, 3, 2, 1, 0xFF, 0xFF, 0xFF, 0xFF}));
}

}  // namespace
}  // namespace tavrel
