// Replacing a speaker portrait in every dialogue instruction: the count, the
// question, and which words the replacement touches.
#include <gtest/gtest.h>

#include "app/portrait_replace.h"
#include "app_commands_support.h"
#include "text/ui_string_names.h"

namespace tavrel::test {
namespace {

class PortraitReplace : public CommandsFixture {
 protected:
  void SetUp() override {
    CommandsFixture::SetUp();
    // Event 0: two dialogues with portrait 3 around a conditional, one with 4.
    AddWords({1, 10, 3, 0, 5, 4, 0, 1, 11, 3, 1, 1, 12, 4, 0, -1});
    for (int i = 1; i < 7; ++i) AddWords({1, 20, 5, 0, 10, 3, -1});  // portrait 5, and a word 3 elsewhere
    AddWords({2, 3, 3, 1, 13, 3, 5, -1});                            // event 7: an item instruction, then portrait 3
    for (const KdefEvent& e : state.game.events.events) before.push_back(e.words);
  }
  std::vector<std::vector<int16_t>> Words() const {
    std::vector<std::vector<int16_t>> words;
    for (const KdefEvent& e : state.game.events.events) words.push_back(e.words);
    return words;
  }
  std::vector<std::vector<int16_t>> before;
};

TEST_F(PortraitReplace, CountsAndReplacesOnlyThePortraitWord) {
  EXPECT_EQ(CountPortraitUses(state, 3).dialogues, 3);
  EXPECT_EQ(Words(), before);  // counting only decodes
  EXPECT_EQ(PortraitReplaceQuestion(state, 3), Ui(Str::TalksFound) + "3" + Ui(Str::ModifyQuestionSuffix));

  const PortraitReplacement done = ReplacePortrait(state, 3, 5);
  EXPECT_EQ(done.replaced, 3);
  const auto after = Words();
  ASSERT_EQ(after.size(), before.size());
  // Exactly the portrait words of the three dialogues change.
  std::vector<std::vector<int16_t>> expected = before;
  expected[0][2] = 5;
  expected[0][9] = 5;
  expected[7][5] = 5;
  EXPECT_EQ(after, expected);
  EXPECT_TRUE(state.modified);
  EXPECT_EQ(CountPortraitUses(state, 3).dialogues, 0);
  EXPECT_EQ(CountPortraitUses(state, 5).dialogues, 9);
}

TEST_F(PortraitReplace, AnsweringNoChangesNoWord) {
  // The window asks after counting; No calls nothing else.
  CountPortraitUses(state, 3);
  EXPECT_EQ(Words(), before);
  EXPECT_FALSE(state.modified);
}

TEST_F(PortraitReplace, SamePortraitOnBothSidesKeepsEveryWord) {
  EXPECT_EQ(ReplacePortrait(state, 3, 3).replaced, 3);
  EXPECT_EQ(Words(), before);
  EXPECT_FALSE(state.modified);
}

TEST_F(PortraitReplace, ChoicesAndWearers) {
  state.game.portraits.resize(4);
  state.game.names.persons.resize(3);
  state.game.names.persons[0].name = "A";
  state.game.names.persons[2].name = "C";
  state.game.portraitUsers = {{0, 2}, {}, {}, {}};
  EXPECT_EQ(PortraitChoices(state), (std::vector<std::string>{"0", "1", "2", "3"}));
  EXPECT_EQ(PortraitUserLines(state, 0), (std::vector<std::string>{"0A", "2C"}));
  EXPECT_TRUE(PortraitUserLines(state, 1).empty());
  EXPECT_TRUE(PortraitUserLines(state, 9).empty());
}

}  // namespace
}  // namespace tavrel::test
