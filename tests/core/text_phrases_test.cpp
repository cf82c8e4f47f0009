// Simplified Chinese against real text, with the mb.dat the build generates:
// the game's own 么, characters whose traditional form depends on the phrase
// (发 髮/發, 干 乾/幹, 后 後/后, 里 裡/里), and an edit that keeps the game's
// bytes of what it did not touch.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "text/charset.h"
#include "text/phrase_conversion.h"

namespace tavrel {
namespace {

using Bytes = std::vector<uint8_t>;

class Phrases : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    auto tables = std::make_shared<CharsetTables>();
    const Status loaded = LoadCharsetTables(std::filesystem::path(TAVREL_BIN_DIR) / "mb.dat", *tables);
    ASSERT_TRUE(loaded.ok()) << loaded.error();
    gbk_ = std::make_unique<TextCodec>(GameCharset::Gbk, tables);
    big5_ = std::make_unique<TextCodec>(GameCharset::Big5, tables);
  }
  static void TearDownTestSuite() {
    gbk_.reset();
    big5_.reset();
  }

  // Traditional text as the game stores it.
  static Bytes Game(const std::string& traditional) { return big5_->EncodeGameText(traditional); }
  // What a "GBK" run shows of the game's text.
  static std::string Shown(const Bytes& game) { return gbk_->DecodeGameText(game); }
  // What text typed in a "GBK" run is stored as, read in traditional characters.
  static std::string Typed(const std::string& simplified) {
    return big5_->DecodeGameText(gbk_->EncodeGameText(simplified));
  }

  static inline std::unique_ptr<TextCodec> gbk_, big5_;
};

// 怎 AB E7, 什 A4 B0, 么 A4 5C, 麼 BB F2 in BIG5.
const Bytes kZenme = {0xAB, 0xE7, 0xA4, 0x5C};
const Bytes kShenme = {0xA4, 0xB0, 0xA4, 0x5C};

TEST_F(Phrases, TheGamesOwnMeReadsAsMe) {
  EXPECT_EQ(Shown(kZenme), "怎么");
  EXPECT_EQ(Shown(kShenme), "什么");
  EXPECT_EQ(Shown({0xAB, 0xE7, 0xBB, 0xF2}), "怎么");  // 怎麼 reads the same
  EXPECT_EQ(Shown({0xA9, 0xEF}), "抬");                // not the traditional 擡
  using P = std::array<uint8_t, 2>;
  EXPECT_EQ(gbk_->tables().big5ToGbk[CharsetTables::Index(0xA4, 0x5C)], (P{0xC3, 0xB4}));  // 么
  EXPECT_EQ(gbk_->tables().big5ToGbk[CharsetTables::Index(0xA9, 0xEF)], (P{0xCC, 0xA7}));  // 抬
}

TEST_F(Phrases, TypedMeIsWrittenAsTheGameWritesIt) {
  EXPECT_EQ(gbk_->EncodeGameText("怎么"), kZenme);
  EXPECT_EQ(gbk_->EncodeGameText("什么"), kShenme);
  EXPECT_EQ(Typed("你在干什么"), "你在幹什么");
  // Read back in a "GBK" run, the text is what was typed.
  EXPECT_EQ(Shown(gbk_->EncodeGameText("这是怎么回事")), "这是怎么回事");
}

TEST_F(Phrases, OneSimplifiedCharacterTwoTraditionalOnes) {
  ASSERT_TRUE(PhraseConversionAvailable()) << "OpenCC's data (libopencc-data) is needed";
  // 发
  EXPECT_EQ(Typed("头发"), "頭髮");
  EXPECT_EQ(Typed("发现"), "發現");
  EXPECT_EQ(Typed("他的头发白了，我才发现"), "他的頭髮白了，我才發現");
  // 干
  EXPECT_EQ(Typed("干净"), "乾淨");
  EXPECT_EQ(Typed("干活"), "幹活");
  // 后
  EXPECT_EQ(Typed("后来"), "後來");
  EXPECT_EQ(Typed("皇后"), "皇后");
  // 里
  EXPECT_EQ(Typed("这里"), "這裡");
  EXPECT_EQ(Typed("十里"), "十里");
  // The game's line marker inside a phrase does not break it.
  EXPECT_EQ(Typed("他的头*发"), "他的頭*髮");
  EXPECT_TRUE(gbk_->CanEncode("头发干净"));
}

TEST_F(Phrases, TraditionalTextReadsSimplified) {
  EXPECT_EQ(Shown(Game("頭髮")), "头发");
  EXPECT_EQ(Shown(Game("發現")), "发现");
  EXPECT_EQ(Shown(Game("乾淨")), "干净");
  EXPECT_EQ(Shown(Game("幹活")), "干活");
  EXPECT_EQ(Shown(Game("後來")), "后来");
  EXPECT_EQ(Shown(Game("皇后")), "皇后");
  EXPECT_EQ(Shown(Game("這裡")), "这里");
  EXPECT_EQ(Shown(Game("十里")), "十里");
}

TEST_F(Phrases, AnEditKeepsTheGameBytesOfWhatItDidNotTouch) {
  // The game writes 頭發 where the phrase would give 頭髮: the game wins
  // where the user did not type.
  const Bytes read = Game("他的頭發白了");
  ASSERT_EQ(Shown(read), "他的头发白了");
  EXPECT_EQ(big5_->DecodeGameText(gbk_->EncodeGameText("他的头发全白了", read)), "他的頭發全白了");
  EXPECT_EQ(big5_->DecodeGameText(gbk_->EncodeGameText("她的头发白了", read)), "她的頭發白了");
  EXPECT_EQ(gbk_->EncodeGameText("他的头发白了", read), read);
  // Typed anew, the same words take the phrase's form.
  EXPECT_EQ(Typed("他的头发全白了"), "他的頭髮全白了");

  // A pair that is no BIG5 character reads as "??" and keeps its bytes.
  const Bytes odd = {'a', 0xA3, 0xFE, 'b'};
  ASSERT_EQ(Shown(odd), "a??b");
  EXPECT_EQ(gbk_->EncodeGameText("a??c", odd), (Bytes{'a', 0xA3, 0xFE, 'c'}));
  EXPECT_EQ(gbk_->EncodeGameText("a??c"), (Bytes{'a', '?', '?', 'c'}));
  // Everything replaced, and everything deleted.
  EXPECT_EQ(gbk_->EncodeGameText("x", read), Bytes{'x'});
  EXPECT_EQ(gbk_->EncodeGameText("", read), Bytes{});
  // The same in a "BIG5" run: the pair survives an edit elsewhere.
  EXPECT_EQ(big5_->EncodeGameText("a?c", Bytes{'a', 0xA3, 0xFE, 'b'}), (Bytes{'a', 0xA3, 0xFE, 'c'}));
}

}  // namespace
}  // namespace tavrel
