// The interface string table: exact numbers and texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "text/codepage.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace {

// The whole table against tests/data/interface_strings.txt, one string a
// line as "number<TAB>text" (a line break in a text written as \n). The file
// is the reviewed list of what the editor shows; any change to a text, a
// number or the order shows up here as a difference.
std::string Escaped(std::string_view text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\\n") : std::string(1, c);
  return out;
}

TEST(InterfaceStrings, TheWholeTableMatchesItsGoldenFile) {
  std::ifstream file(TAVREL_TEST_DATA_DIR "/interface_strings.txt", std::ios::binary);
  ASSERT_TRUE(file) << "tests/data/interface_strings.txt";
  std::vector<std::string> expected;
  for (std::string line; std::getline(file, line);)
    if (!line.empty() && line[0] != '#') expected.push_back(line);
  std::vector<std::string> actual;
  for (const auto& s : InterfaceStrings()) actual.push_back(std::to_string(s.number) + "\t" + Escaped(s.text));
  for (size_t k = 0; k < std::min(expected.size(), actual.size()); ++k)
    ASSERT_EQ(actual[k], expected[k]) << "line " << k + 1 << " of the strings";
  EXPECT_EQ(actual.size(), expected.size());
}

TEST(InterfaceStrings, NumbersNotListedDoNotExist) {
  for (int n : {0,    100,  104,  119,  142,   216,   318,   320,   402,   500,  586,
                1007, 1115, 1320, 4005, 10024, 10132, 20000, 20012, 20099, 20199})
    EXPECT_FALSE(HasInterfaceString(n)) << n;
  EXPECT_EQ(InterfaceStringText(318), "");
  EXPECT_EQ(InterfaceStringIndex(318), -1);
  EXPECT_EQ(InterfaceStringIndex(101), 0);
}

TEST(InterfaceStrings, EveryTextIsNonEmptyWellFormedUtf8) {
  for (const auto& s : InterfaceStrings()) {
    EXPECT_FALSE(s.text.empty()) << s.number;
    for (size_t pos = 0; pos < s.text.size();) ASSERT_NE(NextCodePoint(s.text, pos), kBadUtf8) << s.number;
    EXPECT_EQ(InterfaceStringText(s.number), s.text);
  }
}

// Restores the Chinese interface when a test that switched to English ends.
struct EnglishRun {
  EnglishRun() { SetInterfaceLanguage(InterfaceLanguage::English); }
  ~EnglishRun() { SetInterfaceLanguage(InterfaceLanguage::Chinese); }
};

// Both tables are walked, each against the other: a number added to one
// table only shows up here, whoever added it.
TEST(InterfaceStrings, EveryNumberHasBothTexts) {
  for (const auto& s : InterfaceStrings())
    EXPECT_FALSE(EnglishInterfaceStringText(s.number).empty()) << s.number << " has no English text: " << s.text;
  for (const auto& s : EnglishInterfaceStrings())
    EXPECT_FALSE(InterfaceStringText(s.number, InterfaceLanguage::Chinese).empty())
        << s.number << " has no Chinese text: " << s.text;
  EXPECT_EQ(EnglishInterfaceStrings().size(), InterfaceStrings().size());
}

// The arguments a text takes: one a "{}", and up to the highest N of "{N}".
size_t Places(std::string_view text) {
  size_t count = 0;
  for (size_t at = text.find("{}"); at != std::string_view::npos; at = text.find("{}", at + 2)) ++count;
  for (char n = '0'; n <= '9'; ++n)
    if (text.find(std::string{'{', n, '}'}) != std::string_view::npos) count = std::max(count, size_t(n - '0' + 1));
  return count;
}

// An English text takes the same arguments as its Chinese text, holds no
// Chinese character or full-width punctuation, and starts or ends with a
// space only where the Chinese one continues a sentence.
TEST(InterfaceStrings, EnglishTextsTakeTheSameArgumentsAndHoldNoChinese) {
  for (const auto& s : EnglishInterfaceStrings()) {
    EXPECT_EQ(Places(s.text), Places(InterfaceStringText(s.number, InterfaceLanguage::Chinese))) << s.number;
    for (size_t pos = 0; pos < s.text.size();) {
      const char32_t cp = NextCodePoint(s.text, pos);
      ASSERT_NE(cp, kBadUtf8) << s.number;
      const bool chinese = (cp >= 0x2E80 && cp <= 0x9FFF) || (cp >= 0xFF00 && cp <= 0xFFEF);
      EXPECT_FALSE(chinese) << s.number << ": " << s.text;
    }
  }
}

// The run's language decides every lookup by number, and the core's
// messages with it; a text in one language can be asked for in any run.
TEST(InterfaceStrings, TheRunsLanguageDecidesEveryLookup) {
  EXPECT_EQ(CurrentInterfaceLanguage(), InterfaceLanguage::Chinese);
  EXPECT_EQ(InterfaceStringText(Str::Ok), "确定");
  EXPECT_EQ(FormatInterfaceString(Str::FileNotFound, "a.grp"), "找不到文件 a.grp");
  {
    EnglishRun english;
    EXPECT_EQ(InterfaceStringText(Str::Ok), "OK");
    EXPECT_EQ(InterfaceStringText(Str::MenuFile), "File");
    EXPECT_EQ(FormatInterfaceString(Str::FileNotFound, "a.grp"), "File a.grp not found");
    EXPECT_EQ(FormatInterfaceString(Str::NoSuchBattle, 9, 4), "There is no battle 9: war.sta holds 4 battles.");
    EXPECT_EQ(InterfaceStringText(Str::Ok, InterfaceLanguage::Chinese), "确定");
  }
  EXPECT_EQ(InterfaceStringText(Str::Ok), "确定");
  EXPECT_EQ(InterfaceStringText(Str::Cancel, InterfaceLanguage::English), "Cancel");
}

// A count agrees with its noun: "[one|other]" takes the form of the number
// put in before it.
TEST(InterfaceStrings, AGroupTakesTheFormThatAgreesWithItsNumber) {
  const std::string_view summary = "{} [error|errors], {} [warning|warnings]";
  EXPECT_EQ(FormatText(summary, 1, 2), "1 error, 2 warnings");
  EXPECT_EQ(FormatText(summary, 0, 1), "0 errors, 1 warning");
  EXPECT_EQ(FormatText(summary, 11, 21), "11 errors, 21 warnings");
  EXPECT_EQ(FormatText(summary, -1, 10), "-1 errors, 10 warnings");
  // Before any number the group agrees with the first.
  EXPECT_EQ(FormatText("[one|many] in {}", 1), "one in 1");
  EXPECT_EQ(FormatText("[one|many] in {}", 3), "many in 3");
  // Brackets that are no group of two forms stay as they are, and an
  // argument is never read as a group.
  EXPECT_EQ(FormatText("[portrait {}]", 1), "[portrait 1]");
  EXPECT_EQ(FormatText("{} [a|b|c] [|]", 1), "1 [a|b|c] ");
  EXPECT_EQ(FormatText("{}: {}", "[x|y]", 1), "[x|y]: 1");
  EXPECT_EQ(FormatText("{} and {}", std::string("a")), "a and ");
  EXPECT_EQ(FormatText("no places", 5), "no places");
  // "{N}" names argument N; a group follows the argument put in last.
  EXPECT_EQ(FormatText("{0} lost {2} [entry|entries] and {1} [byte|bytes]; keep {0}?", "a.idx", 1, 3),
            "a.idx lost 3 entries and 1 byte; keep a.idx?");
  EXPECT_EQ(FormatText("{1}{0}", 5), "5");
}

// Every English text, its numbers all 1, reads no "1 errors": each count of
// a noun is written with a group. The nouns are those the messages count.
TEST(InterfaceStrings, EnglishCountsOfOneTakeTheSingular) {
  const std::vector<std::string> plurals = {
      "errors",  "warnings", "bytes",   "battles", "events",  "results",   "pictures",     "pixels", "words",
      "entries", "records",  "squares", "tiles",   "objects", "dialogues", "instructions", "values", "arguments",
      "numbers", "were",     "are",     "follow",  "run",     "show",      "end"};
  for (const auto& s : EnglishInterfaceStrings()) {
    std::vector<std::string> ones(Places(s.text), "1");
    const std::string text = FillInterfaceText(s.text, ones);
    for (const std::string& noun : plurals)
      for (const std::string& before :
           {std::string("1 "), std::string("1 whole "), std::string("1 empty "), std::string("1 instruction ")})
        EXPECT_EQ(text.find(before + noun + " "), std::string::npos) << s.number << ": " << text;
    for (const std::string& noun : plurals)
      EXPECT_FALSE(text.size() >= noun.size() + 2 &&
                   text.compare(text.size() - noun.size() - 2, noun.size() + 2, "1 " + noun) == 0)
          << s.number << ": " << text;
  }
}

// The Chinese texts have no plural forms; a group there would be a mistake.
TEST(InterfaceStrings, ChineseTextsHoldNoGroups) {
  for (const auto& s : InterfaceStrings()) {
    std::vector<std::string> args(Places(s.text), "2");
    std::string plain;
    size_t next = 0;
    for (size_t at = 0; at < s.text.size();)
      if (s.text.compare(at, 2, "{}") == 0) {
        plain += args[next++];
        at += 2;
      } else if (s.text[at] == '{' && at + 2 < s.text.size() && std::isdigit(uint8_t(s.text[at + 1])) &&
                 s.text[at + 2] == '}') {
        plain += args[size_t(s.text[at + 1] - '0')];
        at += 3;
      } else {
        plain += s.text[at++];
      }
    EXPECT_EQ(FillInterfaceText(s.text, args), plain) << s.number;
  }
}

TEST(InterfaceStrings, LanguageNames) {
  EXPECT_EQ(ParseInterfaceLanguage("zh"), InterfaceLanguage::Chinese);
  EXPECT_EQ(ParseInterfaceLanguage("en"), InterfaceLanguage::English);
  EXPECT_EQ(ParseInterfaceLanguage("EN"), std::nullopt);
  EXPECT_EQ(ParseInterfaceLanguage(""), std::nullopt);
  EXPECT_STREQ(InterfaceLanguageName(InterfaceLanguage::English), "en");
  EXPECT_STREQ(InterfaceLanguageName(InterfaceLanguage::Chinese), "zh");
}

}  // namespace
}  // namespace tavrel
