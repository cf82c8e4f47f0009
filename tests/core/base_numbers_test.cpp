// The one parser of typed numbers, its syntax options side by side; hex
// digits; "n(HEX)name" entries; Result's checks.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/numbers.h"
#include "base/result.h"

namespace tavrel::test {
namespace {

TEST(ParseInteger, SyntaxOptionsSideBySide) {
  // Each text over -32768 .. 32767 with the default syntax (a typed box),
  // without blanks around, and without the plus sign.
  struct Case {
    const char* text;
    std::optional<int64_t> typed, noBlanks, noPlus;
  };
  const std::nullopt_t no = std::nullopt;
  const Case cases[] = {
      {"0", 0, 0, 0},
      {"17", 17, 17, 17},
      {"-1", -1, -1, -1},
      {"+5", 5, 5, no},
      {"  12 ", 12, no, 12},
      {"\t-3", -3, no, -3},
      {" +7\t", 7, no, no},
      {"32767", 32767, 32767, 32767},
      {"-32768", -32768, -32768, -32768},
      {"-0", 0, 0, 0},
      {"000123", 123, 123, 123},
      {"", no, no, no},
      {"   ", no, no, no},
      {"32768", no, no, no},
      {"-32769", no, no, no},
      {"99999999999999999999", no, no, no},
      {"-99999999999999999999", no, no, no},
      {"+", no, no, no},
      {"-", no, no, no},
      {"--1", no, no, no},
      {"+-1", no, no, no},
      {"-+1", no, no, no},
      {"1 2", no, no, no},
      {"12a", no, no, no},
      {"0x10", no, no, no},
      {"1e3", no, no, no},
      {"1.0", no, no, no},
      {"- 1", no, no, no},
      {"\xEF\xBC\x92", no, no, no},  // a full-width digit two
      {"\n5", no, no, no},           // only spaces and tabs are blanks
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseInteger(c.text, -32768, 32767), c.typed) << '"' << c.text << '"';
    EXPECT_EQ(ParseInteger(c.text, -32768, 32767, {.blanksAround = false}), c.noBlanks) << '"' << c.text << '"';
    EXPECT_EQ(ParseInteger(c.text, -32768, 32767, {.plusSign = false}), c.noPlus) << '"' << c.text << '"';
  }
}

TEST(ParseInteger, RangeIsInclusiveOnBothEnds) {
  EXPECT_EQ(ParseInteger("255", 0, 255), 255);
  EXPECT_EQ(ParseInteger("0", 0, 255), 0);
  EXPECT_EQ(ParseInteger("256", 0, 255), std::nullopt);
  EXPECT_EQ(ParseInteger("-1", 0, 255), std::nullopt);
  EXPECT_EQ(ParseInteger("-2147483648", INT32_MIN, INT32_MAX), INT32_MIN);
  EXPECT_EQ(ParseInteger("2147483648", INT32_MIN, INT32_MAX), std::nullopt);
  EXPECT_EQ(ParseInteger<int16_t>(" -32768"), int16_t(-32768));
  EXPECT_EQ(ParseInteger<uint8_t>("256"), std::nullopt);
  EXPECT_EQ(ParseInteger<uint8_t>("255"), uint8_t(255));
}

TEST(TrimBlanks, SpacesAndTabsAtEitherEndOnly) {
  EXPECT_EQ(TrimBlanks(" \t a b\t "), "a b");
  EXPECT_EQ(TrimBlanks("\t\t"), "");
  EXPECT_EQ(TrimBlanks("\na\r"), "\na\r");
}

TEST(HexText, UpperCaseWithoutLeadingZeros) {
  const std::pair<uint32_t, const char*> cases[] = {
      {0, "0"},
      {15, "F"},
      {16, "10"},
      {26, "1A"},
      {255, "FF"},
      {256, "100"},
      {4095, "FFF"},
      {4096, "1000"},
      {0xFFFF, "FFFF"},
      {0x8000, "8000"},
      {0x10000, "10000"},
      {0x0ABCDEF1, "ABCDEF1"},
      {0xFFFFFFFF, "FFFFFFFF"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(HexText(value), text) << value;
  // A signed word is written as its 16-bit pattern.
  EXPECT_EQ(HexText(uint16_t(int16_t(-1))), "FFFF");
  std::vector<uint8_t> bytes{'x'};
  AppendHex(bytes, 0x1A);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{'x', '1', 'A'}));
}

TEST(NumberedName, DecimalThenHexThenName) {
  EXPECT_EQ(NumberedName(26, "name"), "26(1A)name");
  EXPECT_EQ(NumberedName(0, ""), "0(0)");
  EXPECT_EQ(NumberedName(300, "N"), "300(12C)N");
}

Result<int> Doubled(const Result<std::string>& text) {
  if (!text) return text.passError();
  return int(text->size()) * 2;
}

TEST(ResultTest, ErrorPassesAlongUnchanged) {
  Result<int> failed = Doubled(Error{"kdef.grp: damaged"});
  ASSERT_FALSE(failed.ok());
  EXPECT_EQ(failed.error(), "kdef.grp: damaged");
  EXPECT_EQ(Doubled(std::string("abc")).value(), 6);
}

TEST(ResultDeathTest, ValueOfAFailedResultAborts) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const Result<int> failed = Error{"no such file"};
  EXPECT_DEATH((void)failed.value(), "no such file");
  EXPECT_DEATH((void)*failed, "no such file");
}

}  // namespace
}  // namespace tavrel::test
