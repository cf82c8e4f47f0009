// Dialogue commands and what the main window's lists show.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/commands.h"
#include "app_commands_support.h"
#include "gamefiles/talk.h"
#include "text/ui_string_names.h"

namespace tavrel::test {
namespace {

using Strings = std::vector<std::string>;

class CommandsDialogue : public CommandsFixture {
 protected:
  void FiveEntries() {
    for (const char* text : {"甲*乙", "one", "", "three", "four"}) AddTalk(text);
  }
  Strings Texts() const {
    Strings texts;
    for (const TalkEntry& e : state.game.talk.entries) texts.push_back(e.text);
    return texts;
  }
};

TEST_F(CommandsDialogue, AddingGivesThePlaceholderAndNamesTheNewNumber) {
  FiveEntries();
  std::string message;
  EXPECT_EQ(AddDialogue(state, &message), 5);
  EXPECT_EQ(state.talkCount(), 6);
  EXPECT_EQ(state.game.talk.entries[5].text, Ui(Str::TalkInputPrompt));
  EXPECT_FALSE(state.game.talk.entries[5].fromFile);
  EXPECT_EQ(state.game.talk.offsets.size(), 7u);
  EXPECT_EQ(message, Ui(Str::TalkAddedNumber) + "5" + Ui(Str::ModifyTalkNext));
  EXPECT_EQ(TalkItem(state, 5), "5:" + Ui(Str::TalkInputPrompt));
  EXPECT_EQ(DialoguePositionAfterRefresh(state, 5), 5);
  EXPECT_TRUE(state.modified);
}

TEST_F(CommandsDialogue, DeletingAnyButTheLastIsRefused) {
  FiveEntries();
  for (int32_t index : {3, 0, -1, 5}) {
    Status refused = DeleteLastDialogue(state, index);
    ASSERT_FALSE(refused) << index;
    EXPECT_EQ(refused.error(), Ui(Str::OnlyLastTalkDeletable));
  }
  EXPECT_EQ(state.talkCount(), 5);
  EXPECT_EQ(state.game.talk.offsets.size(), 6u);
  EXPECT_FALSE(state.modified);
}

TEST_F(CommandsDialogue, AddThenDeleteRestoresTheTable) {
  FiveEntries();
  const Strings texts = Texts();
  const std::vector<int32_t> offsets = state.game.talk.offsets;
  Bytes idxBefore, grpBefore;
  TalkTable copy = state.game.talk;
  EncodeTalk(copy, state.text(), idxBefore, grpBefore);

  ASSERT_TRUE(DeleteLastDialogue(state, AddDialogue(state)));
  EXPECT_EQ(Texts(), texts);
  EXPECT_EQ(state.game.talk.offsets, offsets);
  EXPECT_EQ(DialoguePositionAfterRefresh(state, 5), 4);
  Bytes idxAfter, grpAfter;
  EncodeTalk(state.game.talk, state.text(), idxAfter, grpAfter);
  EXPECT_EQ(idxAfter, idxBefore);
  EXPECT_EQ(grpAfter, grpBefore);
}

TEST_F(CommandsDialogue, StoreKeepsTheTextExactlyAsTyped) {
  FiveEntries();
  StoreDialogue(state, 1, "one");
  EXPECT_FALSE(state.modified) << "the same text is no change";
  StoreDialogue(state, 1, "新*文字 ");
  StoreDialogue(state, 3, "");
  StoreDialogue(state, 5, "outside");
  StoreDialogue(state, -1, "outside");
  EXPECT_EQ(Texts(), (Strings{"甲*乙", "新*文字 ", "", "", "four"}));
  EXPECT_TRUE(state.modified);
}

TEST_F(CommandsDialogue, RefreshKeepsThePositionOrFallsBackToTheLast) {
  struct Case {
    int entries;
    int32_t remembered;
    int32_t chosen;
  };
  const Case cases[] = {
      {5, 0, 0}, {5, 2, 2}, {5, 4, 4},  {5, 5, 4},   {5, 70, 4}, {5, -1, -1},
      {1, 0, 0}, {1, 3, 0}, {0, 0, -1}, {0, -1, -1}, {0, 4, -1},
  };
  for (const Case& c : cases) {
    state.game.talk = TalkTable{};
    state.game.talk.offsets = {0};
    for (int i = 0; i < c.entries; ++i) AddTalk("t");
    EXPECT_EQ(DialoguePositionAfterRefresh(state, c.remembered), c.chosen) << c.entries << " " << c.remembered;
  }
}

class CommandsLists : public CommandsFixture {};

TEST_F(CommandsLists, WordListShowsIdThenSignedData) {
  Statement s;
  s.Id = 1;
  s.SetDataNum(3);
  s.data = {5, -1, 32767};
  EXPECT_EQ(WordLines(s), (Strings{"1", "5", "-1", "32767"}));

  Statement end;
  end.Id = -1;
  EXPECT_EQ(WordLines(end), (Strings{"-1"}));
  EXPECT_EQ(WordLines(MakeLabel(":Label0")), Strings{});
}

TEST_F(CommandsLists, EventLinesComeFromDecodingWithLabelsFromZero) {
  const int32_t event = AddWords({5, 2, 0, 10, 7, 13, -1});
  ShownEvent first = ShowEventLines(state, event);
  ASSERT_EQ(first.lines.size(), 5u);
  EXPECT_EQ(first.lines[2], ":Label0");
  EXPECT_EQ(first.lines, InstructionLines(state, event));
  EXPECT_EQ(first.report.unknownWords, 0);

  // Shown again, the event reads as before: its labels are not renumbered.
  ShownEvent again = ShowEventLines(state, event);
  EXPECT_EQ(again.lines, first.lines);
  EXPECT_EQ(Statements(event)[0].gotoLabel, ":Label0");

  EXPECT_TRUE(ShowEventLines(state, 1).lines.empty());
  EXPECT_TRUE(ShowEventLines(state, -1).lines.empty());
  EXPECT_TRUE(InstructionLines(state, 7).empty());
}

TEST_F(CommandsLists, UnknownWordsAreReportedByTheShownEvent) {
  const int32_t event = AddWords({99, 10});  // 99 is no opcode; 10 lacks its parameter
  ShownEvent shown = ShowEventLines(state, event);
  EXPECT_EQ(shown.report.unknownWords, 2);
  EXPECT_EQ(shown.lines.size(), 2u);
}

TEST_F(CommandsLists, LookupsStayInsideTheirTables) {
  const int32_t event = Shown({13, -1});
  EXPECT_EQ(StatementAt(state, event, 1), &Statements(event)[1]);
  EXPECT_EQ(StatementAt(state, event, 2), nullptr);
  EXPECT_EQ(StatementAt(state, event, -1), nullptr);
  EXPECT_EQ(StatementAt(state, event + 1, 0), nullptr);
  EXPECT_EQ(EventAt(state, event), &Event(event));
  EXPECT_EQ(EventAt(state, -1), nullptr);

  AddTalk("你好*");
  EXPECT_EQ(TalkItem(state, 0), "0:你好*");
  EXPECT_EQ(TalkItem(state, 1), "");
  EXPECT_EQ(TalkItem(state, -1), "");
}

}  // namespace
}  // namespace tavrel::test
