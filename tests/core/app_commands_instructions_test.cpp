// Instruction commands: parse and modify words, delete, insert.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app_commands_support.h"
#include "script/describe.h"
#include "text/ui_string_names.h"

namespace tavrel::test {
namespace {

using Strings = std::vector<std::string>;
using Words = std::vector<int16_t>;

TEST(CommandsParseWord, RefusalQuotesTheTextAndNamesTheRange) {
  // What is accepted is ParseInteger's default syntax (base_numbers_test).
  Result<int16_t> parsed = ParseWord(" 12 ");
  ASSERT_TRUE(parsed.ok());
  EXPECT_EQ(*parsed, 12);
  Result<int16_t> refused = ParseWord("32768");
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.error(), "\"32768\" (-32768 … 32767)");
}

class CommandsModify : public CommandsFixture {};

TEST_F(CommandsModify, EditedWordShowsInTheLineAfterRelayoutButNotInTheWords) {
  // Persons 7 and 9 carry different names, so the line must change with the word.
  state.game.names.persons.resize(10);
  state.game.names.persons[7].name = "Seven";
  state.game.names.persons[9].name = "Nine";
  const int32_t event = Shown({10, 7, 5, 1, 0, 13, 14, -1});
  const std::string oldLine = Statements(event)[0].note;
  const Strings words{"10", " 9 "};
  Result<DecodeReport> done = ModifyInstruction(state, event, 0, words);
  ASSERT_TRUE(done) << done.error();
  EXPECT_EQ(done->unknownWords, 0);

  Statement expected;
  expected.Id = 10;
  expected.SetDataNum(1);
  expected.data[0] = 9;
  EXPECT_EQ(Statements(event)[0].data, (Words{9}));
  EXPECT_EQ(InstructionLines(state, event)[0], DescribeLine(expected, state.describeContext()));
  EXPECT_NE(InstructionLines(state, event)[0], oldLine);
  EXPECT_EQ(Shape(Statements(event)), (Strings{"10", "5", "13", ":Label0", "14", "-1"}));
  EXPECT_EQ(Event(event).words, (Words{10, 7, 5, 1, 0, 13, 14, -1}));
  EXPECT_FALSE(state.modified);
}

TEST_F(CommandsModify, BadEntryRefusesTheCommandNamingTheEntry) {
  const int32_t event = Shown({2, 5, 1, -1});
  const Statement before = Statements(event)[0];
  const Strings cases[] = {
      {"2", "abc", "1"},    // entry 1
      {"2", "5", "40000"},  // entry 2
      {"x2", "5", "1"},     // entry 0
      {"2", "5"},           // too few entries
  };
  for (const Strings& words : cases) {
    Result<DecodeReport> refused = ModifyInstruction(state, event, 0, words);
    ASSERT_FALSE(refused) << words[1];
    EXPECT_FALSE(refused.error().empty());
    const Statement& now = Statements(event)[0];
    EXPECT_EQ(now.Id, before.Id);
    EXPECT_EQ(now.data, before.data);
    EXPECT_EQ(now.note, before.note);
  }
  Result<DecodeReport> refused = ModifyInstruction(state, event, 0, cases[0]);
  EXPECT_NE(refused.error().find("abc"), std::string::npos) << refused.error();
  EXPECT_NE(refused.error().find(" 1"), std::string::npos) << refused.error();
  refused = ModifyInstruction(state, event, 0, cases[1]);
  EXPECT_NE(refused.error().find(" 2"), std::string::npos) << refused.error();
  EXPECT_NE(refused.error().find("40000"), std::string::npos) << refused.error();
}

TEST_F(CommandsModify, NewOpcodeKeepsTheNumberOfDataWords) {
  ASSERT_EQ(Attr(2).length, 3);
  ASSERT_EQ(Attr(41).length, 4);
  const int32_t event = Shown({2, 5, 1, 13, 14, -1});
  const Strings words{"41", "5", "1"};
  ASSERT_TRUE(ModifyInstruction(state, event, 0, words));
  // Still three words; decoding reads them with the length of 41 and takes the 13 along.
  EXPECT_EQ(Shape(Statements(event)), (Strings{"41", "14", "-1"}));
  EXPECT_EQ(Statements(event)[0].data, (Words{5, 1, 13}));
}

TEST_F(CommandsModify, UnknownWordsAfterRelayoutAreReported) {
  const int32_t event = Shown({10, 5, -1});
  const Strings words{"99", "5"};
  Result<DecodeReport> done = ModifyInstruction(state, event, 0, words);
  ASSERT_TRUE(done) << done.error();
  EXPECT_EQ(done->unknownWords, 2);  // 99, and 5 with too few words left behind it
  EXPECT_EQ(Shape(Statements(event)), (Strings{"99", "5", "-1"}));
}

TEST_F(CommandsModify, LabelsAndMissingSelectionAreLeftAlone) {
  const int32_t event = Shown({5, 1, 0, 13, -1});
  ASSERT_EQ(Shape(Statements(event)), (Strings{"5", "13", ":Label0", "-1"}));
  const Strings words{"7"};
  for (int line : {2, -1, 4}) {
    Result<DecodeReport> nothing = ModifyInstruction(state, event, line, words);
    ASSERT_TRUE(nothing) << line;
    EXPECT_EQ(nothing->unknownWords, 0);
  }
  EXPECT_EQ(Shape(Statements(event)), (Strings{"5", "13", ":Label0", "-1"}));
  EXPECT_TRUE(ModifyInstruction(state, -1, 0, words));
}

class CommandsDelete : public CommandsFixture {};

TEST_F(CommandsDelete, ConditionalFollowedByItsLabelGoesWithIt) {
  const int32_t event = Shown({5, 1, 0, 0, 13, -1});
  ASSERT_EQ(Shape(Statements(event)), (Strings{"5", "0", ":Label0", "13", "-1"}));
  std::string question;
  ASSERT_TRUE(DeleteQuestion(state, event, 1, &question));
  EXPECT_EQ(question, Ui(Str::DeleteInstructionQuestion) + Statements(event)[1].note);

  EXPECT_EQ(DeleteInstruction(state, event, 1), DeleteOutcome::Deleted);
  EXPECT_EQ(Shape(Statements(event)), (Strings{"5", ":Label0", "13", "-1"}));
  EXPECT_EQ(DeleteInstruction(state, event, 0), DeleteOutcome::Deleted);
  EXPECT_EQ(Shape(Statements(event)), (Strings{"13", "-1"}));
  // Neither re-layout nor commit: the words change only with the next commit.
  EXPECT_EQ(Event(event).words, (Words{5, 1, 0, 0, 13, -1}));
  CommitEvent(state, event);
  EXPECT_EQ(Event(event).words, (Words{13, -1}));
}

TEST_F(CommandsDelete, ConditionalWithInstructionsInItsBlockIsRefused) {
  const int32_t event = Shown({5, 1, 0, 0, 13, -1});
  const Strings before = Shape(Statements(event));
  EXPECT_EQ(DeleteInstruction(state, event, 0), DeleteOutcome::BlockNotEmpty);
  EXPECT_EQ(Shape(Statements(event)), before);
}

TEST_F(CommandsDelete, LabelsOneLineEventsAndNoSelectionDeleteNothing) {
  const int32_t event = Shown({5, 1, 0, 0, 13, -1});
  const Strings before = Shape(Statements(event));
  EXPECT_TRUE(DeleteQuestion(state, event, 2, nullptr));
  EXPECT_EQ(DeleteInstruction(state, event, 2), DeleteOutcome::IsLabel);
  EXPECT_EQ(DeleteInstruction(state, event, -1), DeleteOutcome::Nothing);
  EXPECT_EQ(DeleteInstruction(state, event, 5), DeleteOutcome::Nothing);
  EXPECT_EQ(Shape(Statements(event)), before);

  const int32_t single = Shown({-1});
  std::string question = "untouched";
  EXPECT_FALSE(DeleteQuestion(state, single, 0, &question));
  EXPECT_EQ(question, "untouched");
  EXPECT_EQ(DeleteInstruction(state, single, 0), DeleteOutcome::Nothing);
  EXPECT_EQ(Shape(Statements(single)), (Strings{"-1"}));
}

TEST_F(CommandsDelete, IrregularConditionalIsDeletedLikeAnyInstruction) {
  const int32_t event = Shown({5, 1, 1, 13, -1});  // both jump words set: no block
  ASSERT_EQ(Shape(Statements(event)), (Strings{"5", "13", "-1"}));
  ASSERT_EQ(Statements(event)[0].isGoto, 0);
  EXPECT_EQ(DeleteInstruction(state, event, 0), DeleteOutcome::Deleted);
  EXPECT_EQ(Shape(Statements(event)), (Strings{"13", "-1"}));
}

class CommandsInsert : public CommandsFixture {};

TEST_F(CommandsInsert, ChoicesListEveryOpcodeAndTheEndInstruction) {
  const Strings choices = InsertChoices(state);
  ASSERT_EQ(choices.size(), 69u);
  EXPECT_EQ(choices[0], "0(0)：" + Attr(0).name);
  EXPECT_EQ(choices[26], "26(1A)：" + Attr(26).name);
  EXPECT_EQ(choices[67], "67(43)：" + Attr(67).name);
  EXPECT_EQ(choices[kInsertEndEntry], "-1：" + Ui(Str::InsertEventEnd));

  EXPECT_TRUE(InsertShowsJumpChoice(state, 5));
  EXPECT_TRUE(InsertShowsJumpChoice(state, 60));
  EXPECT_FALSE(InsertShowsJumpChoice(state, 10));
  EXPECT_FALSE(InsertShowsJumpChoice(state, kInsertEndEntry));
  EXPECT_FALSE(InsertShowsJumpChoice(state, -1));
}

TEST_F(CommandsInsert, OrdinaryInstructionStandsBeforeTheSelectedLine) {
  const int32_t event = Shown({13, -1});
  InsertInstruction(state, event, 1, 17, true);
  ASSERT_EQ(Shape(Statements(event)), (Strings{"13", "17", "-1"}));
  EXPECT_EQ(Statements(event)[1].DataNum, Attr(17).length - 1);
  EXPECT_EQ(Statements(event)[1].data, Words(static_cast<size_t>(Attr(17).length - 1), 0));
  EXPECT_EQ(Event(event).words, (Words{13, -1})) << "the insert command commits afterwards";
  CommitEvent(state, event);
  EXPECT_EQ(Event(event).words, (Words{13, 17, 0, 0, 0, 0, 0, -1}));
}

TEST_F(CommandsInsert, ConditionalBuildsABlockAroundTheEmptyStatement) {
  struct Case {
    int opcode;
    bool yes;
  };
  for (const Case c : {Case{5, true}, Case{5, false}, Case{28, true}, Case{28, false}}) {
    SCOPED_TRACE(testing::Message() << c.opcode << (c.yes ? " yes" : " no"));
    const InstructionAttr& attr = Attr(c.opcode);
    const int32_t event = Shown({13, -1});
    InsertInstruction(state, event, 1, c.opcode, c.yes);
    ASSERT_EQ(Shape(Statements(event)), (Strings{"13", std::to_string(c.opcode), "0", ":Label0", "-1"}));
    const Statement& s = Statements(event)[1];
    EXPECT_EQ(s.isGoto, c.yes ? 1 : 2);
    EXPECT_EQ(s.gotoLabel, ":Label0");
    EXPECT_EQ(s.Word(attr.yesOffset - 1), c.yes ? 1 : 0);
    EXPECT_EQ(s.Word(attr.noOffset - 1), c.yes ? 0 : 1);
    EXPECT_EQ(s.DataNum, attr.length - 1);
    EXPECT_EQ(Event(event).labelCounter, 1);
  }
}

TEST_F(CommandsInsert, NewBlockTakesTheFirstLabelNumberAndOlderBlocksMoveOn) {
  const int32_t event = Shown({10, 3, 5, 0, 1, 14, -1});
  ASSERT_EQ(Shape(Statements(event)), (Strings{"10", "5", "14", ":Label0", "-1"}));
  InsertInstruction(state, event, 0, 5, true);
  EXPECT_EQ(Shape(Statements(event)), (Strings{"5", "0", ":Label0", "10", "5", "14", ":Label1", "-1"}));
  CommitEvent(state, event);
  EXPECT_EQ(Event(event).words, (Words{5, 1, 0, 0, 10, 3, 5, 0, 1, 14, -1}));
}

TEST_F(CommandsInsert, EndInstructionEntryIsInsertedAndDecodingGoesOnPastIt) {
  const int32_t event = Shown({13, -1});
  InsertInstruction(state, event, 0, kInsertEndEntry, false);
  EXPECT_EQ(Shape(Statements(event)), (Strings{"-1", "13", "-1"}));
  EXPECT_EQ(Statements(event)[0].DataNum, 0);
}

TEST_F(CommandsInsert, NoChoiceOrNoSelectionChangesNothing) {
  const int32_t event = Shown({5, 0, 1, 14, -1});
  const Strings before = Shape(Statements(event));
  const int32_t counter = Event(event).labelCounter;
  for (int entry : {-1, kInsertEndEntry + 1}) InsertInstruction(state, event, 0, entry, true);
  InsertInstruction(state, event, -1, 5, true);
  InsertInstruction(state, event, 9, 5, true);
  InsertInstruction(state, -1, 0, 5, true);
  EXPECT_EQ(Shape(Statements(event)), before);
  EXPECT_EQ(Event(event).labelCounter, counter);
}

}  // namespace
}  // namespace tavrel::test
