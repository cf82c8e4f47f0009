// Loading mb.dat: the section order, and the generated file beside the program.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "text/charset.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

constexpr size_t kSection2 = 95 * 157 * 2;               // after the BIG5 section
constexpr size_t kSection3 = kSection2 + 126 * 190 * 2;  // after the GBK section

class MbDatFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tavrel_mbdat_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path Write(const Bytes& bytes) {
    fs::path path = dir_ / "mb.dat";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path;
  }
  static void Put(Bytes& b, size_t offset, std::initializer_list<uint8_t> values) {
    for (uint8_t v : values) b.at(offset++) = v;
  }
  fs::path dir_;
};

TEST_F(MbDatFile, MissingFileNamesThePathAndLeavesTablesZero) {
  fs::path path = dir_ / "mb.dat";
  CharsetTables tables;
  tables.interfaceTextMap[7] = 9;
  Status s = LoadCharsetTables(path, tables);
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error(), "找不到文件 " + path.string());
  EXPECT_EQ(tables.interfaceTextMap[7], 0);
  EXPECT_EQ(tables.big5ToGbk[CharsetTables::Index(0xA4, 0x40)], (std::array<uint8_t, 2>{0, 0}));
}

TEST_F(MbDatFile, SectionsAreReadInLoopOrder) {
  Bytes b(kMbDatSize, 0);
  // Section 1: 157 trails per lead, 0x40-0x7E then 0xA1-0xFE.
  Put(b, 0, {0x11, 0x12});              // A0 40
  Put(b, 62 * 2, {0x13, 0x14});         // A0 7E
  Put(b, 63 * 2, {0x15, 0x16});         // A0 A1
  Put(b, 157 * 2, {0x17, 0x18});        // A1 40
  Put(b, kSection2 - 2, {0x19, 0x1A});  // FE FE
  // Section 2: 190 trails per lead, 0x40-0xFE without 0x7F.
  Put(b, kSection2, {0x21, 0x22});            // 81 40
  Put(b, kSection2 + 63 * 2, {0x23, 0x24});   // 81 80
  Put(b, kSection2 + 190 * 2, {0x25, 0x26});  // 82 40
  Put(b, kSection3 - 2, {0x27, 0x28});        // FE FE
  // Section 3: little-endian source and target units; a later record wins.
  Put(b, kSection3, {0x2A, 0x4E, 0x0B, 0x50});
  Put(b, kSection3 + 4, {0x4E, 0x78, 0xBA, 0x78});
  Put(b, kSection3 + 40, {0x2A, 0x4E, 0x34, 0x12});
  Put(b, kMbDatSize - 4, {0x01, 0x02, 0x03, 0x04});

  CharsetTables t;
  ASSERT_TRUE(LoadCharsetTables(Write(b), t).ok());
  using P = std::array<uint8_t, 2>;
  EXPECT_EQ(t.big5ToGbk[CharsetTables::Index(0xA0, 0x40)], (P{0x11, 0x12}));
  EXPECT_EQ(t.big5ToGbk[CharsetTables::Index(0xA0, 0x7E)], (P{0x13, 0x14}));
  EXPECT_EQ(t.big5ToGbk[CharsetTables::Index(0xA0, 0x7F)], (P{0, 0}));
  EXPECT_EQ(t.big5ToGbk[CharsetTables::Index(0xA0, 0xA1)], (P{0x15, 0x16}));
  EXPECT_EQ(t.big5ToGbk[CharsetTables::Index(0xA1, 0x40)], (P{0x17, 0x18}));
  EXPECT_EQ(t.big5ToGbk[CharsetTables::Index(0xFE, 0xFE)], (P{0x19, 0x1A}));
  EXPECT_EQ(t.gbkToBig5[CharsetTables::Index(0x81, 0x40)], (P{0x21, 0x22}));
  EXPECT_EQ(t.gbkToBig5[CharsetTables::Index(0x81, 0x7F)], (P{0, 0}));
  EXPECT_EQ(t.gbkToBig5[CharsetTables::Index(0x81, 0x80)], (P{0x23, 0x24}));
  EXPECT_EQ(t.gbkToBig5[CharsetTables::Index(0x82, 0x40)], (P{0x25, 0x26}));
  EXPECT_EQ(t.gbkToBig5[CharsetTables::Index(0xFE, 0xFE)], (P{0x27, 0x28}));
  EXPECT_EQ(t.interfaceTextMap[0x4E2A], 0x1234);
  EXPECT_EQ(t.interfaceTextMap[0x784E], 0x78BA);
  EXPECT_EQ(t.interfaceTextMap[0x0201], 0x0403);
  EXPECT_EQ(t.interfaceTextMap[0], 0);  // the all-zero records
}

TEST_F(MbDatFile, ShortFileFillsWhatItHoldsAndSaysSo) {
  Bytes b(kSection2 + 3, 0);
  Put(b, 0, {0x11, 0x12});
  Put(b, kSection2, {0x21, 0x22, 0x23});
  fs::path path = Write(b);
  CharsetTables t;
  Status s = LoadCharsetTables(path, t);
  ASSERT_FALSE(s.ok());
  EXPECT_NE(s.error().find(path.string()), std::string::npos) << s.error();
  EXPECT_EQ(t.big5ToGbk[CharsetTables::Index(0xA0, 0x40)], (std::array<uint8_t, 2>{0x11, 0x12}));
  EXPECT_EQ(t.gbkToBig5[CharsetTables::Index(0x81, 0x40)], (std::array<uint8_t, 2>{0x21, 0x22}));
  EXPECT_EQ(t.gbkToBig5[CharsetTables::Index(0x81, 0x41)], (std::array<uint8_t, 2>{0, 0}));

  CharsetTables empty;
  EXPECT_FALSE(LoadCharsetTables(Write({}), empty).ok());
}

// The mb.dat the build generates beside the program.
class GeneratedMbDat : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    tables_ = std::make_shared<CharsetTables>();
    status_ = std::make_unique<Status>(LoadCharsetTables(Path(), *tables_));
  }
  static fs::path Path() { return fs::path(TAVREL_BIN_DIR) / "mb.dat"; }
  static inline std::shared_ptr<CharsetTables> tables_;
  static inline std::unique_ptr<Status> status_;
};

TEST_F(GeneratedMbDat, HasTheExactSizeAndLoads) {
  EXPECT_EQ(fs::file_size(Path()), kMbDatSize);
  ASSERT_TRUE(status_->ok()) << status_->error();
}

TEST_F(GeneratedMbDat, ConvertsBothWays) {
  using P = std::array<uint8_t, 2>;
  EXPECT_EQ(tables_->big5ToGbk[CharsetTables::Index(0xAD, 0xD3)], (P{0xB8, 0xF6}));  // 個 -> 个
  EXPECT_EQ(tables_->gbkToBig5[CharsetTables::Index(0xB8, 0xF6)], (P{0xAD, 0xD3}));  // 个 -> 個
  EXPECT_EQ(tables_->big5ToGbk[CharsetTables::Index(0xA4, 0x40)], (P{0xD2, 0xBB}));  // 一, the same
  EXPECT_EQ(tables_->big5ToGbk[CharsetTables::Index(0xA3, 0xFE)], (P{0, 0}));        // not a BIG5 code

  TextCodec gbk(GameCharset::Gbk, tables_);
  const uint8_t game[] = {0xA4, 0x40, 0xAD, 0xD3, 'x', 0};
  EXPECT_EQ(gbk.DecodeGameText(game, sizeof game), "一个x");
  EXPECT_EQ(gbk.EncodeGameText("一个x"), (Bytes{0xA4, 0x40, 0xAD, 0xD3, 'x'}));
  EXPECT_TRUE(gbk.CanEncode("一个x"));
}

TEST_F(GeneratedMbDat, InterfaceStringsInBothRuns) {
  TextCodec big5(GameCharset::Big5, tables_);
  TextCodec gbk(GameCharset::Gbk, tables_);
  EXPECT_EQ(big5.UiString(Str::Ok), "確定");
  EXPECT_EQ(gbk.UiString(Str::Ok), "确定");
  EXPECT_EQ(big5.UiString(Str::BattleEditorTitle), "戰鬥場景編輯");
  // Every interface string can be written in traditional characters.
  for (const auto& s : InterfaceStrings()) EXPECT_TRUE(big5.CanEncode(big5.UiString(s.number))) << s.number;
}

}  // namespace
}  // namespace tavrel
