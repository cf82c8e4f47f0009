// Game text conversion with hand-made charset tables.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "text/charset.h"
#include "text/codepage.h"
#include "text/ui_string_names.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace {

using Bytes = std::vector<uint8_t>;

// 一 is BIG5 A4 40 and GBK D2 BB; 个 is GBK B8 F6 and not in BIG5.
constexpr const char* kOne = "一";

std::shared_ptr<CharsetTables> OneTables() {
  auto t = std::make_shared<CharsetTables>();
  t->big5ToGbk[CharsetTables::Index(0xA4, 0x40)] = {0xD2, 0xBB};
  t->gbkToBig5[CharsetTables::Index(0xD2, 0xBB)] = {0xA4, 0x40};
  return t;
}

std::string Decode(const TextCodec& codec, const Bytes& bytes) { return codec.DecodeGameText(bytes); }

TEST(Charset, NamesAndZeroTerminatedLength) {
  EXPECT_EQ(ParseCharset("GBK"), GameCharset::Gbk);
  EXPECT_EQ(ParseCharset("BIG5"), GameCharset::Big5);
  EXPECT_EQ(ParseCharset("gbk"), GameCharset::Big5);
  EXPECT_EQ(ParseCharset(""), GameCharset::Big5);
  EXPECT_STREQ(CharsetName(GameCharset::Gbk), "GBK");
  EXPECT_STREQ(CharsetName(GameCharset::Big5), "BIG5");

  const uint8_t bytes[] = {1, 2, 0, 3};
  EXPECT_EQ(ZeroTerminatedLength(bytes, 4), 2u);
  EXPECT_EQ(ZeroTerminatedLength(bytes, 2), 2u);
  EXPECT_EQ(ZeroTerminatedLength(bytes, 0), 0u);
  EXPECT_EQ(ZeroTerminatedLength(bytes + 3, 1), 1u);
}

TEST(CharsetGbkRun, DecodeThroughBig5ToGbk) {
  auto t = OneTables();
  t->big5ToGbk[CharsetTables::Index(0xA4, 0x41)] = {0x00, 0x41};  // one byte non-zero: taken
  t->big5ToGbk[CharsetTables::Index(0xA4, 0x42)] = {0x41, 0x42};
  TextCodec codec(GameCharset::Gbk, t);

  EXPECT_EQ(Decode(codec, {0xA4, 0x40}), kOne);
  EXPECT_EQ(Decode(codec, {0xA4, 0x41}), "A");
  EXPECT_EQ(Decode(codec, {0xA4, 0x42}), "AB");
  EXPECT_EQ(Decode(codec, {0xA4, 0x43}), "??");  // no entry
  EXPECT_EQ(Decode(codec, {'x', 0xA4, 0x40, 'y'}), std::string("x") + kOne + "y");
}

TEST(CharsetGbkRun, DecodeStopsAtZeroAndNeverOverreads) {
  TextCodec codec(GameCharset::Gbk, OneTables());
  EXPECT_EQ(Decode(codec, {0x41, 0x00, 0x42}), "A");
  EXPECT_EQ(codec.DecodeGameText(nullptr, 0), "");
  const uint8_t some[] = {0xA4, 0x40};
  EXPECT_EQ(codec.DecodeGameText(some, 0), "");
  // The trail byte beyond the count must not be used.
  EXPECT_EQ(codec.DecodeGameText(some, 1), "?");
  EXPECT_EQ(Decode(codec, {0x41, 0xA4}), "A?");
  // A lead byte right before the terminator keeps its text short.
  EXPECT_EQ(Decode(codec, {0x41, 0xA4, 0x00, 0x40}), "A?");
}

TEST(CharsetGbkRun, EncodeThroughGbkToBig5) {
  auto t = OneTables();
  TextCodec codec(GameCharset::Gbk, t);
  EXPECT_EQ(codec.EncodeGameText(std::string("A") + kOne + "B"), (Bytes{0x41, 0xA4, 0x40, 0x42}));
  EXPECT_TRUE(codec.CanEncode(std::string("A") + kOne + "B?"));
  EXPECT_EQ(codec.EncodeGameText(""), Bytes{});

  // GBK holds 个 but the table has no BIG5 equivalent.
  EXPECT_EQ(codec.EncodeGameText("个"), (Bytes{'?', '?'}));
  EXPECT_FALSE(codec.CanEncode("个"));

  // Writing needs both bytes non-zero, unlike reading.
  t->gbkToBig5[CharsetTables::Index(0xD2, 0xBB)] = {0x00, 0x41};
  TextCodec halfEntry(GameCharset::Gbk, t);
  EXPECT_EQ(halfEntry.EncodeGameText(kOne), (Bytes{'?', '?'}));
  EXPECT_FALSE(halfEntry.CanEncode(kOne));
}

TEST(CharsetGbkRun, EmptyTablesReadAndWriteQuestionMarks) {
  TextCodec codec(GameCharset::Gbk, std::make_shared<CharsetTables>());
  EXPECT_EQ(Decode(codec, {0xA4, 0x40, 'a'}), "??a");
  EXPECT_EQ(codec.EncodeGameText(kOne), (Bytes{'?', '?'}));
}

TEST(CharsetGbkRun, UnrepresentableAndMalformedText) {
  TextCodec codec(GameCharset::Gbk, OneTables());
  // Not in GBK: one "?" per character, whatever its UTF-8 length.
  EXPECT_EQ(codec.EncodeGameText("\xE0\xB8\x81"), Bytes{'?'});      // U+0E01
  EXPECT_EQ(codec.EncodeGameText("\xE2\x82\xAC"), Bytes{'?'});      // euro sign: single byte 0x80 in CP936
  EXPECT_EQ(codec.EncodeGameText("\xF0\x9F\x98\x80"), Bytes{'?'});  // outside the BMP
  EXPECT_FALSE(codec.CanEncode("\xF0\x9F\x98\x80"));
  // Malformed UTF-8: one "?" per bad byte.
  EXPECT_EQ(codec.EncodeGameText(std::string("a\xFF") + "b"), (Bytes{'a', '?', 'b'}));
  EXPECT_EQ(codec.EncodeGameText("\xE4\xB8"), (Bytes{'?', '?'}));           // truncated
  EXPECT_EQ(codec.EncodeGameText("\xC0\x80"), (Bytes{'?', '?'}));           // overlong
  EXPECT_EQ(codec.EncodeGameText("\xED\xA0\x80"), (Bytes{'?', '?', '?'}));  // surrogate
  EXPECT_FALSE(codec.CanEncode("a\xFF"));
}

// An English run with BIG5 game text: the interface is English and no text
// goes through the traditional map, while game text is read and written as
// in a Chinese run.
TEST(CharsetBig5Run, AnEnglishInterfaceKeepsTheGameTextAndMapsNothing) {
  auto tables = std::make_shared<CharsetTables>();
  tables->interfaceTextMap[0x6218] = 0x6230;  // 战 -> 戰
  tables->interfaceTextMap['O'] = '0';        // would spoil "OK" if English were mapped
  TextCodec codec(GameCharset::Big5, tables);
  EXPECT_EQ(codec.MapInterfaceText("战场"), "戰场");
  EXPECT_EQ(codec.UiString(Str::Ok), "确定");  // 确, 定 are not in this map
  SetInterfaceLanguage(InterfaceLanguage::English);
  EXPECT_EQ(codec.UiString(Str::Ok), "OK");
  EXPECT_EQ(codec.UiText(Str::MenuHelp), "Help");
  EXPECT_EQ(codec.MapInterfaceText("战场 OK"), "战场 OK");
  EXPECT_EQ(Decode(codec, {'A', 0xA4, 0x40}), std::string("A") + kOne);
  EXPECT_EQ(codec.EncodeGameText(kOne), (Bytes{0xA4, 0x40}));
  SetInterfaceLanguage(InterfaceLanguage::Chinese);
  EXPECT_EQ(codec.MapInterfaceText("战场"), "戰场");
}

TEST(CharsetBig5Run, DecodeAndEncodeDirectly) {
  // The tables play no part in game text of a BIG5 run.
  TextCodec codec(GameCharset::Big5, std::make_shared<CharsetTables>());
  EXPECT_EQ(Decode(codec, {'A', 0xA4, 0x40, 'B'}), std::string("A") + kOne + "B");
  EXPECT_EQ(Decode(codec, {0xAD, 0xD3}), "個");
  EXPECT_EQ(Decode(codec, {0xA4}), "?");  // a lead byte at the end of the text
  EXPECT_EQ(Decode(codec, {'x', 0xA4}), "x?");

  EXPECT_EQ(codec.EncodeGameText(std::string("A") + kOne + "B"), (Bytes{0x41, 0xA4, 0x40, 0x42}));
  EXPECT_EQ(codec.EncodeGameText("個"), (Bytes{0xAD, 0xD3}));
  EXPECT_EQ(codec.EncodeGameText("个"), Bytes{'?'});  // simplified only
  EXPECT_TRUE(codec.CanEncode("個"));
  EXPECT_FALSE(codec.CanEncode("个"));
}

TEST(CharsetBig5Run, AnInvalidPairKeepsEveryByteItCan) {
  // A lead byte and a byte that cannot finish its character: one "?", and an
  // ASCII byte after it is read as itself (the "*" line marker of dialogue).
  TextCodec codec(GameCharset::Big5, std::make_shared<CharsetTables>());
  EXPECT_EQ(Decode(codec, {0xA4, 0x2A, 0x52}), "?*R");
  EXPECT_EQ(Decode(codec, {0xA4, 0x20}), "? ");
  EXPECT_EQ(Decode(codec, {0xA4, 0x2A, 0xA4, 0x40}), std::string("?*") + kOne);
  // Trail 0x7F is ASCII and never part of a character.
  EXPECT_EQ(Decode(codec, {0xA4, 0x7F, 'z'}), std::string("?\x7f") + "z");
  // 0x80 and 0xFF lead nothing: the byte after them starts afresh.
  EXPECT_EQ(Decode(codec, {0xFF, 0xA4, 0x40}), std::string("?") + kOne);
  EXPECT_EQ(Decode(codec, {0x80, 0xFF, 'z'}), "??z");
  // A valid lead and a non-ASCII byte that is no trail: both taken, one "?".
  EXPECT_EQ(Decode(codec, {0xA4, 0x80, 'z'}), "?z");
  // A valid pair whose trail lies in the ASCII range is one character.
  EXPECT_EQ(Decode(codec, {0xA4, 0x40, 0x2A}), std::string(kOne) + "*");
}

TEST(CharsetGbkRun, AnInvalidPairStillTakesTwoBytes) {
  // The "GBK" run walks mb.dat's table pair by pair: no entry is "??".
  TextCodec codec(GameCharset::Gbk, OneTables());
  EXPECT_EQ(Decode(codec, {0xA4, 0x2A, 0x52}), "??R");
  EXPECT_EQ(Decode(codec, {0xA4}), "?");
}

TEST(CharsetBig5Run, EveryBig5CharacterRoundTrips) {
  TextCodec codec(GameCharset::Big5, std::make_shared<CharsetTables>());
  const CodePage& big5 = GetCodePage(CodePageId::Big5);
  ASSERT_TRUE(big5.available);
  int characters = 0, mismatches = 0;
  for (int lead = 0xA1; lead <= 0xF9; ++lead)
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      uint16_t cp = big5.Decode(uint8_t(lead), uint8_t(trail));
      if (cp == 0) continue;
      ++characters;
      Bytes bytes{uint8_t(lead), uint8_t(trail)};
      std::string text = Decode(codec, bytes);
      Bytes back = codec.EncodeGameText(text);
      // A character with two codes comes back as its preferred one, which
      // reads as the same character.
      if (back != bytes && Decode(codec, back) != text) ++mismatches;
    }
  EXPECT_GT(characters, 13000);
  EXPECT_EQ(mismatches, 0);
}

TEST(CharsetCodePage, GbkTableIsComplete) {
  const CodePage& gbk = GetCodePage(CodePageId::Gbk);
  ASSERT_TRUE(gbk.available);
  int characters = 0;
  for (uint16_t cp : gbk.toUnicode)
    if (cp) ++characters;
  EXPECT_GT(characters, 21000);
  EXPECT_EQ(gbk.fromUnicode[0x4E2A], 0xB8F6);  // 个
  EXPECT_EQ(gbk.Decode(0xD2, 0xBB), 0x4E00);   // 一
  EXPECT_EQ(gbk.Decode(0x41, 0x42), 0);
}

TEST(CharsetInterfaceText, MapsCodeUnitByCodeUnit) {
  auto t = std::make_shared<CharsetTables>();
  t->interfaceTextMap[0x786E] = 0x78BA;  // 确 -> 確
  t->interfaceTextMap['A'] = 'B';
  t->interfaceTextMap[0x4E00] = 0xD800;  // a lone surrogate cannot be shown
  TextCodec big5(GameCharset::Big5, t);
  TextCodec gbk(GameCharset::Gbk, t);

  EXPECT_EQ(big5.UiString(Str::Ok), "確定");
  EXPECT_EQ(gbk.UiString(Str::Ok), "确定");
  EXPECT_EQ(big5.UiString(318), "");
  EXPECT_EQ(big5.MapInterfaceText("AxA"), "BxB");
  EXPECT_EQ(big5.MapInterfaceText(kOne), "?");
  EXPECT_EQ(big5.MapInterfaceText("\xF0\x9F\x98\x80"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(big5.MapInterfaceText("a\xFF"), "a?");
  // A "GBK" run shows interface text as the table has it, simplified.
  EXPECT_EQ(big5.MapInterfaceText("确定"), "確定");
  EXPECT_EQ(gbk.MapInterfaceText("确定"), "确定");
  EXPECT_EQ(gbk.MapInterfaceText("AxA"), "AxA");
  EXPECT_EQ(gbk.MapToTraditional("AxA"), "BxB");
}

TEST(CharsetAttributeText, GbkBytesToBig5) {
  auto t = OneTables();
  t->gbkToBig5[CharsetTables::Index(0xB8, 0xF6)] = {0x00, 0x41};  // either byte non-zero: taken
  TextCodec codec(GameCharset::Gbk, t);
  EXPECT_EQ(codec.GbkBytesToBig5(Bytes{'1', 0xD2, 0xBB, 0xB8, 0xF6, 0xC0, 0xC0, 0xD2}),
            (Bytes{'1', 0xA4, 0x40, 0x00, 0x41, '?', '?', '?'}));
  EXPECT_EQ(codec.GbkBytesToBig5(Bytes{}), Bytes{});
}

TEST(CharsetExport, ToCodePageFollowsTheCharset) {
  TextCodec gbk(GameCharset::Gbk, std::make_shared<CharsetTables>());
  TextCodec big5(GameCharset::Big5, std::make_shared<CharsetTables>());
  std::string text = std::string("A") + kOne + "个\n";
  EXPECT_EQ(gbk.ToCodePage(text), "A\xD2\xBB\xB8\xF6\n");
  EXPECT_EQ(big5.ToCodePage(text), "A\xA4\x40?\n");
  EXPECT_EQ(big5.ToCodePage("\xFF"), "?");
}

}  // namespace
}  // namespace tavrel
