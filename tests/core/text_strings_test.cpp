// The interface string table: exact numbers and texts.
#include <gtest/gtest.h>

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
  for (int n : {0, 100, 104, 119, 142, 216, 318, 320, 402, 500, 586, 1007, 1115, 1320, 4005, 10024, 10132, 20000,
                20012, 20099, 20199})
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

}  // namespace
}  // namespace tavrel
