// Which guide the instruction-editing button opens for each opcode.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/editor_state.h"
#include "app/guide.h"
#include "text/ui_string_names.h"

namespace tavrel {
namespace {

std::string GuideLine(int op) {
  const Guide guide = GuideFor(static_cast<int16_t>(op));
  switch (guide.kind) {
    case GuideKind::Dialog:
      return std::to_string(op) + " dialog " + std::string(guide.form);
    case GuideKind::TooSimple:
      return std::to_string(op) + " simple";
    case GuideKind::NoGuide:
      return std::to_string(op) + " none";
  }
  return std::to_string(op) + " ?";
}

TEST(CommandsGuide, EveryOpcodeOpensTheGuideOfTheGoldenFile) {
  std::ifstream file(TAVREL_TEST_DATA_DIR "/guides.txt");
  ASSERT_TRUE(file) << "tests/data/guides.txt";
  std::vector<std::string> expected;
  for (std::string line; std::getline(file, line);)
    if (!line.empty() && line[0] != '#') expected.push_back(line);
  ASSERT_EQ(expected.size(), 69u);  // -1 .. 67
  for (int op = -1; op <= 67; ++op) EXPECT_EQ(GuideLine(op), expected[size_t(op + 1)]);
  // A guide with no dialog names none.
  for (int op = -1; op <= 67; ++op) {
    const Guide guide = GuideFor(static_cast<int16_t>(op));
    if (guide.kind != GuideKind::Dialog) {
      EXPECT_TRUE(guide.form.empty()) << op;
    }
  }
}

TEST(CommandsGuide, ValuesOutsideTheOpcodesHaveNoGuide) {
  for (int16_t op : {int16_t{-32768}, int16_t{-2}, int16_t{68}, int16_t{100}, int16_t{32767}})
    EXPECT_EQ(GuideFor(op).kind, GuideKind::NoGuide) << op;
}

TEST(CommandsGuide, MessagesNameTheOpcodeInDecimalAndHex) {
  EditorState state;
  state.codec = std::make_shared<TextCodec>(GameCharset::Gbk, std::make_shared<CharsetTables>());
  const TextCodec& text = state.text();
  EXPECT_EQ(GuideMessage(state, -1, GuideFor(-1).kind),
            text.UiString(Str::InstructionWord) + "-1(FFFF)" + text.UiString(Str::GuideTooSimple));
  EXPECT_EQ(GuideMessage(state, 0, GuideFor(0).kind),
            text.UiString(Str::InstructionWord) + "0(0)" + text.UiString(Str::GuideTooSimple));
  EXPECT_EQ(GuideMessage(state, 24, GuideFor(24).kind),
            text.UiString(Str::InstructionWord) + "24(18)" + text.UiString(Str::GuideNone));
  EXPECT_EQ(GuideMessage(state, 200, GuideFor(200).kind),
            text.UiString(Str::InstructionWord) + "200(C8)" + text.UiString(Str::GuideNone));
  EXPECT_EQ(GuideMessage(state, 1, GuideKind::Dialog), "");
}

}  // namespace
}  // namespace tavrel
