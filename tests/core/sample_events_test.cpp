// The sample events: every instruction kind, clean decoding, the jump shapes
// the editor has to handle, and parameter words that make sense.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "sample_test_support.h"
#include "script/encode.h"

namespace tavrel::testing {
namespace {

class SampleEvents : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new SampleGameDir;
    state_ = new EditorState;
    ReadSampleGame(*state_, GameCharset::Gbk, dir_->path());
    const DescribeContext ctx = state_->describeContext();
    for (KdefEvent& event : state_->game.events.events)
      unknown_ += ShowEvent(event, state_->attributes, ctx).unknownWords;
  }
  static void TearDownTestSuite() {
    delete state_;
    delete dir_;
  }
  static const std::vector<KdefEvent>& Events() { return state_->game.events.events; }
  static bool IsConditional(const Statement& s) {
    return !s.islabel && s.Id >= 0 && s.Id < kOpcodeCount && state_->attributes[size_t(s.Id)].conditional != 0;
  }

  static SampleGameDir* dir_;
  static EditorState* state_;
  static int64_t unknown_;
};
SampleGameDir* SampleEvents::dir_ = nullptr;
EditorState* SampleEvents::state_ = nullptr;
int64_t SampleEvents::unknown_ = 0;

TEST_F(SampleEvents, DecodeWithoutAnUnknownWord) { EXPECT_EQ(unknown_, 0); }

TEST_F(SampleEvents, UseEveryOpcodeAndTheEnd) {
  std::set<int> seen;
  for (const KdefEvent& e : Events())
    for (const Statement& s : e.statements)
      if (!s.islabel) seen.insert(s.Id);
  for (int op = -1; op < kOpcodeCount; ++op) EXPECT_TRUE(seen.count(op)) << "opcode " << op;
}

TEST_F(SampleEvents, HoldYesNoIrregularAndNestedJumps) {
  int yes = 0, no = 0, irregular = 0, deepest = 0;
  int bothZero = 0, bothPositive = 0, negative = 0;
  for (const KdefEvent& e : Events()) {
    int open = 0;
    for (const Statement& s : e.statements) {
      if (s.islabel) {
        --open;
        continue;
      }
      if (!IsConditional(s)) continue;
      yes += s.isGoto == 1, no += s.isGoto == 2;
      if (s.isGoto == 0) {
        // Irregular: anything but exactly one positive jump word.
        ++irregular;
        const int16_t y = s.Word(s.yesOffset - 1), n = s.Word(s.noOffset - 1);
        EXPECT_FALSE((y >= 1 && n == 0) || (y == 0 && n >= 1)) << y << " " << n;
        bothZero += y == 0 && n == 0;
        bothPositive += y >= 1 && n >= 1;
        negative += y < 0 || n < 0;
      } else {
        deepest = std::max(deepest, ++open);
      }
    }
    EXPECT_EQ(open, 0);
  }
  EXPECT_GT(yes, 10);
  EXPECT_GT(no, 10);
  EXPECT_GT(irregular, 0);
  EXPECT_GT(bothZero, 0);
  EXPECT_GT(bothPositive, 0);
  EXPECT_GT(negative, 0);
  EXPECT_GE(deepest, 3);
}

TEST_F(SampleEvents, IncludeEmptyAndAddedStyleEvents) {
  const auto& events = Events();
  const bool empty = std::any_of(events.begin(), events.end(), [](const KdefEvent& e) { return e.words.empty(); });
  const bool added = std::any_of(events.begin(), events.end(), [](const KdefEvent& e) {
    return e.words == std::vector<int16_t>{0, -1};
  });
  EXPECT_TRUE(empty);
  EXPECT_TRUE(added);
  EXPECT_EQ(events.back().words, (std::vector<int16_t>{0, -1}));
}

// As in real games, a few events stop without their end instruction.
TEST_F(SampleEvents, AFewEventsEndWithoutTheEndInstruction) {
  int without = 0, nonEmpty = 0;
  for (const KdefEvent& e : Events())
    if (!e.words.empty()) {
      ++nonEmpty;
      without += e.words.back() != -1;
    }
  EXPECT_GT(without, 0);
  EXPECT_LT(without * 50, nonEmpty);
}

// Dialogue names portraits from 75 on that several persons wear, and
// portraits nobody wears; every one of their lines names a speaker.
TEST_F(SampleEvents, DialogueShowsSharedAndUnwornPortraits) {
  const auto& users = state_->game.portraitUsers;
  int shared = 0, unworn = 0;
  for (const KdefEvent& e : Events())
    for (const Statement& s : e.statements) {
      if (s.islabel || s.Id != 1) continue;
      const int16_t portrait = s.Word(1);
      ASSERT_GE(portrait, 0);
      ASSERT_LT(size_t(portrait), users.size());
      const size_t wearers = users[size_t(portrait)].size();
      shared += portrait >= 75 && wearers > 1;
      if (wearers == 0) {
        ++unworn;
        EXPECT_NE(s.note.view().find("[头像" + std::to_string(portrait) + "]"), std::string::npos) << s.note.view();
      }
      EXPECT_EQ(s.note.view().find("???"), std::string::npos) << s.note.view();
    }
  EXPECT_GT(shared, 10);
  EXPECT_GT(unworn, 3);
}

TEST_F(SampleEvents, CommittingTheDecodedListGivesTheSameWords) {
  for (const KdefEvent& e : Events()) {
    KdefEvent copy = e;
    Commit(copy);
    ASSERT_EQ(copy.words, e.words);
  }
}

// Which parameter word holds what, for the kinds the editor shows by name.
struct NamedWord {
  std::vector<int> opcodes;
  int word;
  size_t (*limit)(const EditorState&);
  bool currentSceneAllowed;  // -2 stands for the scene the player is in
};

size_t Dialogues(const EditorState& s) { return s.game.talk.entries.size(); }
size_t Portraits(const EditorState& s) { return s.game.portraits.size(); }
size_t Persons(const EditorState& s) { return s.game.names.persons.size(); }
size_t Items(const EditorState& s) { return s.game.names.items.size(); }
size_t Scenes(const EditorState& s) { return s.game.names.scenes.size(); }
size_t Skills(const EditorState& s) { return s.game.names.skills.size(); }
size_t EventCount(const EditorState& s) { return s.game.events.events.size(); }

const std::vector<NamedWord> kNamedWords = {
    {{1}, 0, Dialogues, false},
    {{1}, 1, Portraits, false},
    {{10, 16, 21, 23, 28, 29, 33, 34, 35, 41, 45, 46, 47, 48, 49, 63}, 0, Persons, false},
    {{2, 4, 18, 32, 43, 50}, 0, Items, false},
    {{41}, 1, Items, false},
    {{50}, 4, Items, false},
    {{33}, 1, Skills, false},
    {{35}, 2, Skills, false},
    {{39}, 0, Scenes, false},
    {{3, 17, 26, 60}, 0, Scenes, true},
};

TEST_F(SampleEvents, NamedParametersLieInTheirTables) {
  for (const NamedWord& named : kNamedWords) {
    const int64_t limit = int64_t(named.limit(*state_));
    int checked = 0;
    for (const KdefEvent& e : Events())
      for (const Statement& s : e.statements) {
        if (s.islabel || std::find(named.opcodes.begin(), named.opcodes.end(), s.Id) == named.opcodes.end()) continue;
        const int16_t w = s.Word(named.word);
        if (named.currentSceneAllowed && w == -2) continue;
        ++checked;
        EXPECT_TRUE(w >= 0 && w < limit) << "opcode " << s.Id << " word " << named.word << " = " << w;
      }
    EXPECT_GT(checked, 0) << "opcode " << named.opcodes.front();
  }
}

TEST_F(SampleEvents, TriggerEventsAndPicturesAreUsable) {
  for (const KdefEvent& e : Events())
    for (const Statement& s : e.statements) {
      if (s.Id == 3 && !s.islabel) {
        for (int w = 4; w <= 6; ++w) EXPECT_LT(s.Word(w), int(EventCount(*state_))) << "trigger event";
        for (int w = 7; w <= 9; ++w) EXPECT_EQ(s.Word(w) % 2, 0) << "picture numbers count in steps of 2";
      }
      if (s.Id == 27 && !s.islabel) {
        EXPECT_LE(s.Word(1), s.Word(2)) << "animation runs forwards";
      }
    }
}

}  // namespace
}  // namespace tavrel::testing
