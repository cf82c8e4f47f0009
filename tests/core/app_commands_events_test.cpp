// Whole-event commands and the two clipboards.
#include <gtest/gtest.h>

#include <vector>

#include "app/commands.h"
#include "app_commands_support.h"
#include "script/event_table.h"
#include "text/ui_string_names.h"

namespace tavrel::test {
namespace {

using Strings = std::vector<std::string>;
using Words = std::vector<int16_t>;

class CommandsEvents : public CommandsFixture {};

TEST_F(CommandsEvents, AddingToHundredEventsCreatesEventHundredOfEmptyAndEnd) {
  for (int16_t i = 0; i < 100; ++i) AddWords({10, i, -1});
  std::string message;
  EXPECT_EQ(AddEvent(state, &message), 100);
  EXPECT_EQ(state.eventCount(), 101);
  EXPECT_EQ(message, Ui(Str::AddEvent) + "100" + Ui(Str::AddOrModifyInstructions));
  EXPECT_TRUE(state.modified);

  const KdefEvent& added = Event(100);
  EXPECT_EQ(added.words, (Words{0, -1}));
  EXPECT_TRUE(added.statements.empty());
  EXPECT_EQ(added.labelCounter, 0);
  // The earlier events and their offsets are kept; the list has one entry per event plus one.
  EXPECT_EQ(Event(99).words, (Words{10, 99, -1}));
  ASSERT_EQ(state.game.events.offsets.size(), 102u);
  EXPECT_EQ(state.game.events.offsets[100], 300);
  EXPECT_EQ(state.game.events.offsets[101], 302);

  EXPECT_EQ(Shape(Statements(100)), Strings{});
  EXPECT_EQ(ShowEventLines(state, 100).lines.size(), 2u);
  EXPECT_EQ(Shape(Statements(100)), (Strings{"0", "-1"}));
}

TEST_F(CommandsEvents, OnlyTheLastEventCanBeDeleted) {
  for (int i = 0; i < 3; ++i) AddWords({13, -1});
  for (int32_t event : {0, 1, -1, 3}) {
    Status refused = DeleteLastEvent(state, event);
    ASSERT_FALSE(refused) << event;
    EXPECT_EQ(refused.error(), Ui(Str::OnlyLastEventDeletable));
  }
  EXPECT_EQ(state.eventCount(), 3);
  EXPECT_EQ(state.game.events.offsets.size(), 4u);
  EXPECT_FALSE(state.modified);

  EXPECT_TRUE(DeleteLastEvent(state, 2));
  EXPECT_EQ(state.eventCount(), 2);
  EXPECT_EQ(state.game.events.offsets, (std::vector<int32_t>{0, 2, 4}));
  EXPECT_TRUE(state.modified);
}

TEST_F(CommandsEvents, AddThenDeleteRestoresTheTableAndItsBytes) {
  AddWords({5, 2, 0, 10, 7, 13, -1});
  AddWords({-1});
  Bytes idxBefore, grpBefore;
  EncodeEvents(state.game.events, idxBefore, grpBefore);
  const std::vector<int32_t> offsetsBefore = state.game.events.offsets;

  const int32_t added = AddEvent(state);
  EXPECT_TRUE(DeleteLastEvent(state, added));
  EXPECT_EQ(state.game.events.offsets, offsetsBefore);

  Bytes idxAfter, grpAfter;
  EncodeEvents(state.game.events, idxAfter, grpAfter);
  EXPECT_EQ(idxAfter, idxBefore);
  EXPECT_EQ(grpAfter, grpBefore);
}

TEST_F(CommandsEvents, CommitStoresTheStatementsAndMarksOnlyRealChanges) {
  const int32_t event = Shown({10, 7, 13, -1});
  CommitEvent(state, event);
  EXPECT_EQ(Event(event).words, (Words{10, 7, 13, -1}));
  EXPECT_FALSE(state.modified) << "the same words were stored again";

  Statements(event)[0].data[0] = 9;
  CommitEvent(state, -1);
  EXPECT_EQ(Event(event).words, (Words{10, 7, 13, -1}));
  CommitEvent(state, event);
  EXPECT_EQ(Event(event).words, (Words{10, 9, 13, -1}));
  EXPECT_TRUE(state.modified);
}

class CommandsClipboard : public CommandsFixture {};

TEST_F(CommandsClipboard, LinesTwoAndFourPastedAtLineZeroStandAtTheTopInLineOrder) {
  const int32_t source = Shown({10, 1, 10, 2, 10, 3, 10, 4, 10, 5, -1});
  const int32_t target = Shown({13, 14, -1});
  const std::vector<int> selected{4, 2};  // selection order is not line order
  ASSERT_TRUE(CopyInstructions(state, source, selected));
  EXPECT_TRUE(state.hasInstructionClip);

  PasteInstructions(state, target, 0);
  EXPECT_EQ(Event(target).words, (Words{10, 3, 10, 5, 13, 14, -1}));
  EXPECT_EQ(Shape(Statements(target)), (Strings{"10", "10", "13", "14", "-1"}));
  EXPECT_EQ(Statements(target)[0].note, Statements(source)[2].note);
  EXPECT_EQ(Statements(target)[1].note, Statements(source)[4].note);
  EXPECT_TRUE(state.modified);

  // The clipboard stays filled: pasting again inserts the same two before line 3.
  PasteInstructions(state, target, 3);
  EXPECT_EQ(Event(target).words, (Words{10, 3, 10, 5, 13, 10, 3, 10, 5, 14, -1}));
  EXPECT_EQ(Event(source).words, (Words{10, 1, 10, 2, 10, 3, 10, 4, 10, 5, -1}));
}

TEST_F(CommandsClipboard, ConditionalWithoutItsLabelJumpsToTheEndOfTheTarget) {
  const int32_t source = Shown({5, 2, 0, 10, 7, 13, -1});
  ASSERT_EQ(Shape(Statements(source)), (Strings{"5", "10", ":Label0", "13", "-1"}));
  const int32_t target = Shown({13, 14, -1});
  const std::vector<int> conditionalOnly{0};
  ASSERT_TRUE(CopyInstructions(state, source, conditionalOnly));

  PasteInstructions(state, target, 0);
  // Its block now holds everything after it: 13, 14 and the end, one word each.
  EXPECT_EQ(Event(target).words, (Words{5, 3, 0, 13, 14, -1}));
  EXPECT_EQ(Shape(Statements(target)), (Strings{"5", "13", "14", "-1", ":Label0"}));
  EXPECT_EQ(Statements(target)[0].isGoto, 1);
  EXPECT_EQ(Statements(target)[0].gotoLabel, ":Label0");
}

TEST_F(CommandsClipboard, PastedBlockPairsWithItsOwnLabelAndLabelsAreRenumbered) {
  // Source: a yes-jump block around one instruction.
  const int32_t source = Shown({5, 2, 0, 10, 7, 13, -1});
  // Target: its own no-jump block, whose label has the same name as the source's.
  const int32_t target = Shown({5, 0, 1, 14, -1});
  ASSERT_EQ(Shape(Statements(target)), (Strings{"5", "14", ":Label0", "-1"}));

  const std::vector<int> block{0, 1, 2};
  ASSERT_TRUE(CopyInstructions(state, source, block));
  PasteInstructions(state, target, 0);
  EXPECT_EQ(Shape(Statements(target)), (Strings{"5", "10", ":Label0", "5", "14", ":Label1", "-1"}));
  EXPECT_EQ(Event(target).words, (Words{5, 2, 0, 10, 7, 5, 0, 1, 14, -1}));
}

TEST_F(CommandsClipboard, NothingSelectedOrNothingCopiedLeavesEverythingAsItWas) {
  const int32_t source = Shown({10, 1, 10, 2, -1});
  const int32_t target = Shown({13, -1});
  EXPECT_FALSE(CopyInstructions(state, source, {}));
  const std::vector<int> outside{-1, 3, 9};
  EXPECT_FALSE(CopyInstructions(state, source, outside));
  EXPECT_FALSE(state.hasInstructionClip);

  PasteInstructions(state, target, 0);
  PasteWholeEvent(state, target);
  EXPECT_EQ(Shape(Statements(target)), (Strings{"13", "-1"}));

  const std::vector<int> first{0};
  ASSERT_TRUE(CopyInstructions(state, source, first));
  EXPECT_FALSE(CopyInstructions(state, source, {}));
  ASSERT_EQ(state.instructionClipboard.size(), 1u) << "an empty selection keeps the clipboard";
  PasteInstructions(state, target, -1);
  PasteInstructions(state, target, 5);
  EXPECT_EQ(Event(target).words, (Words{13, -1}));
  EXPECT_FALSE(state.modified);
}

TEST_F(CommandsClipboard, WholeEventPasteReplacesTheTargetAndSurvivesSourceEdits) {
  const int32_t source = Shown({5, 2, 0, 10, 7, 13, -1});
  const int32_t target = Shown({14, 14, 14, -1});
  CopyWholeEvent(state, source);
  EXPECT_TRUE(state.hasEventClip);
  // The clipboard holds its own statements: an edit of the source after copying does not travel.
  Statements(source)[1].data[0] = 99;

  PasteWholeEvent(state, target);
  EXPECT_EQ(Event(target).words, (Words{5, 2, 0, 10, 7, 13, -1}));
  EXPECT_EQ(Shape(Statements(target)), (Strings{"5", "10", ":Label0", "13", "-1"}));
  EXPECT_EQ(InstructionLines(state, target).size(), 5u);
  EXPECT_TRUE(state.modified);
}

// Choosing an event decodes it afresh with labels from :Label0, however
// often it was shown before.
TEST_F(CommandsEvents, ChoosingAgainNumbersTheLabelsFromZero) {
  const int32_t event = AddWords({5, 5, 0, 5, 1, 0, 13, 13, -1});
  const Strings shape{"5", "5", "13", ":Label1", "13", ":Label0", "-1"};
  for (int time = 0; time < 3; ++time) {
    ChooseEvent(state, event);
    EXPECT_EQ(Shape(Statements(event)), shape) << "showing " << time + 1;
    EXPECT_EQ(Event(event).labelCounter, 2);
  }
}

// Uncommitted edits are what the words do not hold yet: none for an event as
// decoded (also one whose jump runs past its end, which a commit would
// change), one after each kind of edit, none once committed or put back.
TEST_F(CommandsEvents, UncommittedEditsAreTheStatementsTheWordsDoNotHold) {
  const int32_t plain = AddWords({5, 1, 0, 13, 10, 7, -1});
  const int32_t pastTheEnd = AddWords({5, 9, 0, 13, -1});
  const int32_t unknown = AddWords({13, 30000, 10, 4, -1});
  const int32_t empty = AddWords({});
  for (int32_t e : {plain, pastTheEnd, unknown, empty}) {
    EXPECT_FALSE(HasUncommittedEdits(state, e)) << "never shown: " << e;
    ChooseEvent(state, e);
    EXPECT_FALSE(HasUncommittedEdits(state, e)) << "as decoded: " << e;
  }
  EXPECT_FALSE(HasUncommittedEdits(state, -1));
  EXPECT_FALSE(HasUncommittedEdits(state, 4));

  // A word changed and laid out again, then committed.
  ASSERT_TRUE(ModifyInstruction(state, plain, 3, Strings{"10", "8"}));
  EXPECT_TRUE(HasUncommittedEdits(state, plain));
  CommitEvent(state, plain);
  EXPECT_EQ(Event(plain).words, (Words{5, 1, 0, 13, 10, 8, -1}));
  EXPECT_FALSE(HasUncommittedEdits(state, plain));
  // Changed and changed back: nothing to lose.
  ASSERT_TRUE(ModifyInstruction(state, plain, 3, Strings{"10", "9"}));
  EXPECT_TRUE(HasUncommittedEdits(state, plain));
  ASSERT_TRUE(ModifyInstruction(state, plain, 3, Strings{"10", "8"}));
  EXPECT_FALSE(HasUncommittedEdits(state, plain));
  // An instruction deleted; choosing the event again drops the edit.
  ASSERT_EQ(DeleteInstruction(state, plain, 3), DeleteOutcome::Deleted);
  EXPECT_TRUE(HasUncommittedEdits(state, plain));
  ChooseEvent(state, plain);
  EXPECT_FALSE(HasUncommittedEdits(state, plain));
  EXPECT_EQ(Shape(Statements(plain)), (Strings{"5", "13", ":Label0", "10", "-1"}));
  // A data word an instruction dialog changed in place, without layout.
  ASSERT_TRUE(Statements(unknown)[2].SetWord(0, 5));
  ASSERT_TRUE(Statements(pastTheEnd)[0].SetWord(0, 1));
  EXPECT_TRUE(HasUncommittedEdits(state, unknown));
  EXPECT_TRUE(HasUncommittedEdits(state, pastTheEnd));
  // An instruction inserted is committed by the insert command itself.
  InsertInstruction(state, empty, 0, kInsertEndEntry, true);
  EXPECT_TRUE(HasUncommittedEdits(state, empty));
  CommitEvent(state, empty);
  EXPECT_FALSE(HasUncommittedEdits(state, empty));
  EXPECT_EQ(Event(empty).words, (Words{-1}));
}

}  // namespace
}  // namespace tavrel::test
