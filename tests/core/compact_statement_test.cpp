// The statement's inline storage (words and texts inside the statement,
// longer ones on the heap) and the buffers the encoder reuses between events.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/commands.h"
#include "sample_test_support.h"
#include "script/encode.h"
#include "script/statement.h"

namespace tavrel {
namespace {

using Words = std::vector<int16_t>;

Words Counting(size_t n, int16_t from = 1) {
  Words w(n);
  for (size_t i = 0; i < n; ++i) w[i] = static_cast<int16_t>(from + i);
  return w;
}

TEST(StatementWords, KeepTheirValuesAcrossTheInlineAndHeapSizes) {
  // Below, at and above the words held inside the statement, growing and
  // shrinking through the boundary in both directions.
  StatementWords words;
  for (size_t n : {0u, 1u, 3u, 4u, 5u, 13u, 2u, 40u, 4u, 0u}) {
    SCOPED_TRACE(n);
    const Words expected = Counting(n, static_cast<int16_t>(n));
    words = expected;
    EXPECT_EQ(words.size(), n);
    EXPECT_EQ(words, expected);
    EXPECT_EQ(Words(words), expected);
  }
  words.assign(6, -3);
  EXPECT_EQ(words, (Words{-3, -3, -3, -3, -3, -3}));
  words.resize(8, 9);
  EXPECT_EQ(words, (Words{-3, -3, -3, -3, -3, -3, 9, 9}));
  words.resize(2);
  words.push_back(5);
  EXPECT_EQ(words, (Words{-3, -3, 5}));
}

TEST(StatementWords, CopiesAndMovesAreIndependent) {
  for (size_t n : {3u, 13u}) {
    SCOPED_TRACE(n);
    StatementWords original = Counting(n);
    StatementWords copy = original;
    copy[0] = 99;
    EXPECT_EQ(original[0], 1);
    EXPECT_EQ(copy[0], 99);

    StatementWords moved = std::move(copy);
    EXPECT_EQ(moved.size(), n);
    EXPECT_EQ(moved[0], 99);
    EXPECT_EQ(moved[n - 1], static_cast<int16_t>(n));

    // Assigning over a longer array, and to itself, keeps the values.
    StatementWords longer = Counting(30, 100);
    longer = original;
    EXPECT_EQ(longer, Counting(n));
    StatementWords& same = longer;
    longer = same;
    EXPECT_EQ(longer, Counting(n));
    longer = std::move(same);
    EXPECT_EQ(longer.size(), n);
  }
}

TEST(StatementWords, AssignFromTheirOwnValues) {
  StatementWords words = Counting(12);
  words.assign(words.begin() + 2, words.begin() + 7);
  EXPECT_EQ(words, (Words{3, 4, 5, 6, 7}));
}

TEST(StatementText, HoldsShortAndLongTextsAndComparesWithStrings) {
  const std::string longLine = "26(1A):对话 编号12 头像3 位置1 「你好，少侠。」";
  StatementText text;
  EXPECT_TRUE(text.empty());
  for (const std::string& value : {std::string(":Label0"), std::string("12345678"), std::string("123456789"), longLine,
                                   std::string(), std::string(":Label2147483647")}) {
    SCOPED_TRACE(value);
    text = value;
    EXPECT_EQ(text.size(), value.size());
    EXPECT_EQ(text, value);
    EXPECT_EQ(std::string(text), value);
    EXPECT_EQ(text.view(), value);
  }
  text = longLine;
  StatementText copy = text;
  copy += "!";
  EXPECT_EQ(text, longLine);
  EXPECT_EQ(copy, longLine + "!");
  EXPECT_EQ("->" + text, "->" + longLine);
  EXPECT_FALSE(text == copy);

  StatementText moved = std::move(copy);
  EXPECT_EQ(moved, longLine + "!");
  moved.assign(moved.view().substr(0, 5));  // from its own characters
  EXPECT_EQ(moved, longLine.substr(0, 5));
}

TEST(StatementText, StatementsCopiedIntoAListKeepTheirOwnTexts) {
  std::vector<Statement> list;
  for (int i = 0; i < 100; ++i) {
    Statement s = MakeLabel(":Label" + std::to_string(i));
    s.data = Counting(size_t(i % 9));
    list.push_back(s);  // the list grows and moves its statements
  }
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(list[size_t(i)].note, ":Label" + std::to_string(i));
    EXPECT_EQ(list[size_t(i)].data, Counting(size_t(i % 9)));
  }
}

class EncoderBuffers : public ::testing::Test {
 protected:
  void SetUp() override { testing::ReadSampleGame(state_, GameCharset::Gbk, dir_.path()); }
  EditorState& state() { return state_; }

  // A conditional instruction whose jump words lie inside it.
  int16_t FirstConditional() const {
    for (int op = 0; op < kOpcodeCount; ++op) {
      const InstructionAttr& a = state_.attributes[size_t(op)];
      if (a.conditional != 0 && a.yesOffset >= 1 && a.noOffset >= 1 && a.yesOffset < a.length &&
          a.noOffset < a.length && a.yesOffset != a.noOffset)
        return static_cast<int16_t>(op);
    }
    ADD_FAILURE() << "no conditional instruction";
    return 0;
  }

  testing::SampleGameDir dir_;
  EditorState state_;
};

TEST_F(EncoderBuffers, CommitSaysWhetherTheWordsChanged) {
  KdefEvent& event = state().game.events.events[1];
  ShowEvent(event, state().attributes, state().describeContext());
  const Words before = event.words;
  EXPECT_FALSE(Commit(event));
  EXPECT_EQ(event.words, before);

  ASSERT_FALSE(event.statements.empty());
  Statement& first = event.statements.front();
  ASSERT_FALSE(first.islabel);
  first.Id = static_cast<int16_t>(first.Id == 0 ? 1 : 0);
  first.SetDataNum(first.DataNum);
  EXPECT_TRUE(Commit(event));
  EXPECT_NE(event.words, before);
  EXPECT_EQ(event.words, Encode(event.statements));
}

TEST_F(EncoderBuffers, EventsAfterEachOtherNeverSeeTheLabelsOfTheEventBefore) {
  // Event A pairs its conditional with a label "X"; event B uses the same
  // name without a label: its jump must run to its own end, not to A's
  // label position left in the reused table.
  const int16_t op = FirstConditional();
  const InstructionAttr& a = state().attributes[size_t(op)];
  auto conditional = [&](const std::string& label) {
    Statement s;
    s.Id = op;
    s.SetDataNum(a.length - 1);
    s.yesOffset = static_cast<int16_t>(a.yesOffset);
    s.noOffset = static_cast<int16_t>(a.noOffset);
    s.isGoto = 1;
    s.gotoLabel = label;
    return s;
  };
  Statement end;
  end.Id = -1;
  std::vector<Statement> first{conditional("X"), MakeLabel("X"), end, end};
  FixJumps(first);
  EXPECT_EQ(first[0].Word(a.yesOffset - 1), 0);  // the label follows at once

  std::vector<Statement> second{conditional("X"), end, end, end};
  FixJumps(second);
  EXPECT_EQ(second[0].Word(a.yesOffset - 1), 3);  // to the end: three words

  // Many labels: more than the table held for the events before.
  std::vector<Statement> many;
  for (int i = 0; i < 500; ++i) many.push_back(conditional(":L" + std::to_string(i)));
  for (int i = 499; i >= 0; --i) {
    many.push_back(MakeLabel(":L" + std::to_string(i)));
    many.push_back(end);
  }
  FixJumps(many);
  const int64_t length = a.length;
  for (int i = 0; i < 500; ++i) {
    // Conditionals after i, then the labels of 499 .. i+1 with one end each.
    const int64_t expected = (499 - i) * length + (499 - i);
    ASSERT_EQ(many[size_t(i)].Word(a.yesOffset - 1), static_cast<int16_t>(expected)) << i;
  }
}

}  // namespace
}  // namespace tavrel
