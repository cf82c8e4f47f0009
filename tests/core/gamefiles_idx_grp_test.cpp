#include <gtest/gtest.h>

#include <string>

#include "gamefiles/idx_grp.h"
#include "gamefiles_test_support.h"

namespace tavrel {
namespace {

using testing::IndexBytes;
using testing::ScratchDir;

Result<IdxGrpFile> Strict(const std::vector<int32_t>& ends, size_t grpSize) {
  return ParseIdxGrp(IndexBytes(ends), Bytes(grpSize, 0xAB), "x.idx", "x.grp", IndexCheck::Strict);
}

TEST(GamefilesIdxGrp, BuildsTheOffsetListAndSlicesEntries) {
  Bytes grp = {10, 11, 12, 20, 30, 31};
  Result<IdxGrpFile> file = ParseIdxGrp(IndexBytes({3, 3, 4, 6}), grp, "x.idx", "x.grp", IndexCheck::Strict);
  ASSERT_TRUE(file) << file.error();
  EXPECT_EQ(file->count(), 4);
  EXPECT_EQ(file->offsets, (std::vector<int32_t>{0, 3, 3, 4, 6}));
  auto bytes = [&](int32_t k) { return Bytes(file->Entry(k).begin(), file->Entry(k).end()); };
  EXPECT_EQ(bytes(0), Bytes({10, 11, 12}));
  EXPECT_TRUE(bytes(1).empty());
  EXPECT_EQ(bytes(2), Bytes({20}));
  EXPECT_EQ(bytes(3), Bytes({30, 31}));
  EXPECT_TRUE(file->Entry(4).empty());
  EXPECT_TRUE(file->Entry(-1).empty());
}

TEST(GamefilesIdxGrp, AnEmptyIndexHasNoEntries) {
  Result<IdxGrpFile> file = ParseIdxGrp({}, {}, "x.idx", "x.grp", IndexCheck::Strict);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->count(), 0);
  EXPECT_EQ(file->offsets, std::vector<int32_t>{0});
}

TEST(GamefilesIdxGrp, StrictCheckRejectsDamagedIndexesNamingTheFile) {
  struct Case {
    const char* what;
    std::vector<int32_t> ends;
    size_t grpSize;
  };
  const Case cases[] = {
      {"past the end", {4, 9}, 8},
      {"huge", {4, 0x7FFFFFFF}, 8},
      {"backwards", {6, 4, 8}, 8},
      {"negative", {-4, 8}, 8},
      {"negative huge", {int32_t(0x80000000)}, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Result<IdxGrpFile> file = Strict(c.ends, c.grpSize);
    ASSERT_FALSE(file);
    EXPECT_NE(file.error().find("x.idx"), std::string::npos) << file.error();
  }
  Result<IdxGrpFile> pastEnd = Strict({4, 9}, 8);
  EXPECT_NE(pastEnd.error().find("x.grp"), std::string::npos) << pastEnd.error();
  EXPECT_TRUE(Strict({4, 8}, 8));  // exactly the data: fine
}

TEST(GamefilesIdxGrp, ATrailingPartialValueIsIgnoredWithAWarning) {
  Bytes idx = IndexBytes({2, 4});
  idx.push_back(0);
  std::vector<FileWarning> warnings;
  Result<IdxGrpFile> file = ParseIdxGrp(idx, Bytes(4), "dir/x.idx", "dir/x.grp", IndexCheck::Strict, &warnings);
  ASSERT_TRUE(file) << file.error();
  EXPECT_EQ(file->offsets, (std::vector<int32_t>{0, 2, 4}));
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0].file, "x.idx");
  EXPECT_NE(warnings[0].message.find("dir/x.idx"), std::string::npos) << warnings[0].message;
}

TEST(GamefilesIdxGrp, PictureIndexesMayHoldAnyValuesButEntriesStayInsideTheData) {
  Result<IdxGrpFile> file =
      ParseIdxGrp(IndexBytes({-5, 3, 2, 100}), Bytes{1, 2, 3, 4, 5}, "p.idx", "p.grp", IndexCheck::Pictures);
  ASSERT_TRUE(file) << file.error();
  EXPECT_TRUE(file->Entry(0).empty());   // 0 .. -5
  EXPECT_EQ(file->Entry(1).size(), 3u);  // -5 .. 3, clipped to 0 .. 3
  EXPECT_TRUE(file->Entry(2).empty());   // 3 .. 2
  EXPECT_EQ(file->Entry(3).size(), 3u);  // 2 .. 100, clipped to 2 .. 5
  EXPECT_EQ(file->Entry(3)[0], 3);
}

TEST(GamefilesIdxGrp, ReadingNamesTheMissingFile) {
  ScratchDir dir;
  Result<IdxGrpFile> noIdx = ReadIdxGrp(dir.path(), "talk.idx", "talk.grp", IndexCheck::Strict);
  ASSERT_FALSE(noIdx);
  EXPECT_NE(noIdx.error().find("talk.idx"), std::string::npos) << noIdx.error();
  dir.Put("talk.idx", IndexBytes({1}));
  Result<IdxGrpFile> noGrp = ReadIdxGrp(dir.path(), "talk.idx", "talk.grp", IndexCheck::Strict);
  ASSERT_FALSE(noGrp);
  EXPECT_NE(noGrp.error().find("talk.grp"), std::string::npos) << noGrp.error();
  dir.Put("TALK.GRP", {0xFF});
  EXPECT_TRUE(ReadIdxGrp(dir.path(), "talk.idx", "talk.grp", IndexCheck::Strict));
}

TEST(GamefilesIdxGrp, BuildIndexWritesLittleEndianEnds) {
  const int32_t ends[] = {1, 0x01020304, -1};
  EXPECT_EQ(BuildIndex(ends), Bytes({1, 0, 0, 0, 4, 3, 2, 1, 0xFF, 0xFF, 0xFF, 0xFF}));
}

}  // namespace
}  // namespace tavrel
