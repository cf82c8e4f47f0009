// Which guide the instruction-editing button opens for each opcode.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>

#include "app/editor_state.h"
#include "app/guide.h"
#include "text/ui_string_names.h"

namespace tavrel {
namespace {

// The guides as the instruction dialogs are catalogued, written out apart
// from the code's own table.
const std::set<int> kTooSimple{-1, 0, 5, 7, 8, 9, 11, 12, 13, 14, 20, 22, 57};
const std::map<int, std::string> kDialogs{
    {1, "frmStatement_0x01"},  {2, "frmstatement_0x02"},  {3, "frmstatement_0x03"},  {4, "frmStatement_0x04"},
    {6, "frmStatement_0x06"},  {10, "frmStatement_0x0a"}, {16, "frmStatement_0x10"}, {17, "frmStatement_0x11"},
    {18, "frmStatement_0x12"}, {19, "frmStatement_0x13"}, {21, "frmStatement_0x15"}, {23, "frmStatement_0x17"},
    {25, "frmstatement_0x19"}, {26, "frmStatement_0x1a"}, {27, "frmStatement_0x1B"}, {28, "frmStatement_0x1c"},
    {29, "frmStatement_0x1d"}, {30, "frmStatement_0x1e"}, {31, "frmStatement_0x1f"}, {32, "frmstatement_0x20"},
    {33, "frmStatement_0x21"}, {34, "frmStatement_0x22"}, {35, "frmStatement_0x23"}, {37, "frmStatement_0x25"},
    {38, "frmStatement_0x26"}, {39, "frmStatement_0x27"}, {40, "frmStatement_0x28"}, {41, "frmStatement_0x29"},
    {43, "frmStatement_0x12"}, {44, "frmStatement_0x2c"}, {45, "frmStatement_0x2d"}, {46, "frmStatement_0x2e"},
    {47, "frmStatement_0x2f"}, {48, "frmStatement_0x30"}, {49, "frmStatement_0x31"}, {56, "FrmStatement_0x38"},
    {60, "frmStatement_0x3c"}, {63, "frmstatement_0x3f"},
};

TEST(CommandsGuide, EveryOpcodeMapsToItsGuide) {
  std::set<std::string> forms;
  for (int op = -1; op <= 67; ++op) {
    SCOPED_TRACE(op);
    const Guide guide = GuideFor(static_cast<int16_t>(op));
    if (kTooSimple.count(op) != 0) {
      EXPECT_EQ(guide.kind, GuideKind::TooSimple);
      EXPECT_TRUE(guide.form.empty());
    } else if (auto dialog = kDialogs.find(op); dialog != kDialogs.end()) {
      EXPECT_EQ(guide.kind, GuideKind::Dialog);
      EXPECT_EQ(guide.form, dialog->second);
      forms.insert(std::string(guide.form));
    } else {
      EXPECT_EQ(guide.kind, GuideKind::NoGuide);
      EXPECT_TRUE(guide.form.empty());
    }
  }
  EXPECT_EQ(forms.size(), 37u);
  EXPECT_EQ(GuideFor(18).form, GuideFor(43).form);
  EXPECT_EQ(GuideFor(24).kind, GuideKind::NoGuide);
}

TEST(CommandsGuide, ValuesOutsideTheOpcodesHaveNoGuide) {
  for (int16_t op : {int16_t{-32768}, int16_t{-2}, int16_t{68}, int16_t{100}, int16_t{32767}})
    EXPECT_EQ(GuideFor(op).kind, GuideKind::NoGuide) << op;
}

TEST(CommandsGuide, MessagesNameTheOpcodeInDecimalAndHex) {
  EditorState state;
  state.codec = std::make_shared<TextCodec>(GameCharset::Gbk, std::make_shared<CharsetTables>());
  const TextCodec& text = state.text();
  EXPECT_EQ(GuideMessage(state, -1, GuideFor(-1).kind), text.UiString(Str::InstructionWord) + "-1(FFFF)" + text.UiString(Str::GuideTooSimple));
  EXPECT_EQ(GuideMessage(state, 0, GuideFor(0).kind), text.UiString(Str::InstructionWord) + "0(0)" + text.UiString(Str::GuideTooSimple));
  EXPECT_EQ(GuideMessage(state, 24, GuideFor(24).kind), text.UiString(Str::InstructionWord) + "24(18)" + text.UiString(Str::GuideNone));
  EXPECT_EQ(GuideMessage(state, 200, GuideFor(200).kind), text.UiString(Str::InstructionWord) + "200(C8)" + text.UiString(Str::GuideNone));
  EXPECT_EQ(GuideMessage(state, 1, GuideKind::Dialog), "");
}

}  // namespace
}  // namespace tavrel
