// An English run: the instruction lines of a sample event against their
// golden file, the English instruction names, the exports in UTF-8 and the
// tool's --language option. Game text stays as the game holds it.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/exports.h"
#include "sample_test_support.h"
#include "text/codepage.h"
#include "text/ui_strings.h"
#include "tool_run.h"

namespace tavrel::testing {
namespace {

struct EnglishRun {
  EnglishRun() { SetInterfaceLanguage(InterfaceLanguage::English); }
  ~EnglishRun() { SetInterfaceLanguage(InterfaceLanguage::Chinese); }
};

std::vector<std::string> GoldenLines(const char* name) {
  std::ifstream file(std::string(TAVREL_TEST_DATA_DIR "/") + name, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);)
    if (!line.empty() && line[0] != '#') lines.push_back(line);
  return lines;
}

void ExpectLines(const std::vector<std::string>& actual, const std::vector<std::string>& expected) {
  ASSERT_FALSE(expected.empty());
  for (size_t k = 0; k < std::min(actual.size(), expected.size()); ++k)
    EXPECT_EQ(actual[k], expected[k]) << "line " << k;
  EXPECT_EQ(actual.size(), expected.size());
}

bool WellFormedUtf8(std::string_view text) {
  for (size_t pos = 0; pos < text.size();)
    if (NextCodePoint(text, pos) == kBadUtf8) return false;
  return true;
}

TEST(EnglishRun, TheLinesOfASampleEventMatchTheirGoldenFile) {
  SampleGameDir dir;
  EnglishRun english;
  EditorState state;
  ReadSampleGame(state, GameCharset::Gbk, dir.path());
  ExpectLines(ShowEventLines(state, 2).lines, GoldenLines("event_lines_en.txt"));
}

// The same event with BIG5 game text: the English words are the same, the
// names and dialogue are the game's own, in traditional characters.
TEST(EnglishRun, Big5GameTextKeepsTheEnglishWords) {
  SampleGameDir dir;
  EnglishRun english;
  EditorState state;
  ReadSampleGame(state, GameCharset::Big5, dir.path());
  const std::vector<std::string> lines = ShowEventLines(state, 2).lines;
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0].substr(0, 5), "1(1):");
  EXPECT_NE(lines[0].find("] says: "), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find("務必小心"), std::string::npos) << lines[0];  // the dialogue as BIG5 holds it
  EXPECT_EQ(lines[2], "3(3): change scene event: scene [古松寺], current scene event");
  EXPECT_EQ(lines.back(), "-1(FFFF): end of event");
}

// A line made by hand, as the readable form reads it.
TEST(EnglishRun, AConditionalReadsAsAQuestion) {
  SampleGameDir dir;
  EnglishRun english;
  EditorState state;
  ReadSampleGame(state, GameCharset::Gbk, dir.path());
  Statement s;
  s.Id = 4;
  s.DataNum = 3;
  s.data = {0, 1, 2};
  s.yesOffset = 1;
  s.noOffset = 2;
  s.isGoto = 0;
  s.gotoLabel = ":Label0";
  const std::string item = state.game.names.items[0].name;
  EXPECT_EQ(DescribeLine(s, state.describeContext()), "4(4): use item [" + item + "]? otherwise jump to :Label0");
  s.isGoto = 1;
  EXPECT_EQ(DescribeLine(s, state.describeContext()), "4(4): use item [" + item + "]? if yes jump to :Label0");
}

TEST(EnglishRun, TheCommandsSpeakEnglish) {
  SampleGameDir dir;
  EnglishRun english;
  EditorState state;
  ReadSampleGame(state, GameCharset::Big5, dir.path());
  std::string message;
  const int32_t added = AddEvent(state, &message);
  EXPECT_EQ(message, "Event " + std::to_string(added) + " added. Now add or edit its instructions.");
  auto refused = DeleteLastDialogue(state, 0);
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.error(), "Only the last dialogue can be deleted.");
}

TEST(EnglishRun, TheInsertChoicesNameTheInstructionsInEnglish) {
  SampleGameDir dir;
  EnglishRun english;
  EditorState state;
  ReadSampleGame(state, GameCharset::Gbk, dir.path());
  EXPECT_EQ(state.attributes[4].name, "use item?");
  EXPECT_EQ(state.attributes[4].length, 4);  // the lengths and jumps stay kdefattr.dat's
  EXPECT_EQ(state.attributes[4].noOffset, 3);
}

// The event export: the same layout, the English words, UTF-8 throughout.
TEST(EnglishRun, TheEventExportIsUtf8WithTheEnglishWords) {
  SampleGameDir dir;
  EnglishRun english;
  EditorState state;
  ReadSampleGame(state, GameCharset::Big5, dir.path());
  const Bytes bytes = ExportKdefText(state);
  const std::string text(bytes.begin(), bytes.end());
  EXPECT_TRUE(WellFormedUtf8(text));
  EXPECT_EQ(text.substr(0, 14), "\r\nEvent 0(0)\r\n");
  const std::string second = "\r\nEvent 2(2)\r\n\r\n 1 ";
  const size_t at = text.find(second);
  ASSERT_NE(at, std::string::npos);
  const size_t note = text.find(" Note: 1(1):[", at);
  ASSERT_NE(note, std::string::npos);
  EXPECT_LT(note, text.find("\r\n", at + second.size()));
  EXPECT_NE(text.find("務必小心", at), std::string::npos);  // game text as UTF-8

  const Bytes talk = ExportTalkText(state);
  const std::string talkText(talk.begin(), talk.end());
  EXPECT_TRUE(WellFormedUtf8(talkText));
  EXPECT_EQ(talkText.find(state.game.talk.entries[1].text.str()), talkText.find("\r\n") + 2 + 5);  // " 1 1 "
}

TEST(EnglishRun, TheToolTakesTheLanguageOption) {
  SampleGameDir dir;
  const std::vector<std::string> golden = GoldenLines("event_lines_en.txt");
  const ToolRun en = RunTool("--language en event '" + dir.path().string() + "' 2");
  ASSERT_EQ(en.exitCode, 0);
  std::string expected;
  for (const std::string& line : golden) expected += line + "\n";
  EXPECT_EQ(en.out, expected);
  const ToolRun zh = RunTool("--language zh event '" + dir.path().string() + "' 2");
  ASSERT_EQ(zh.exitCode, 0);
  EXPECT_NE(zh.out.find("-1(FFFF):事件结束"), std::string::npos);
  EXPECT_NE(RunTool("--language fr event '" + dir.path().string() + "' 2 2>/dev/null").exitCode, 0);
}

}  // namespace
}  // namespace tavrel::testing
