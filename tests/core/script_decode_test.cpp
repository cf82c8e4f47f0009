// Decoding an event's words into statements and labels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/decode.h"

namespace tavrel {
namespace {

// A small instruction set: every opcode one word long except
//   1: 4 words, 2: 3 words, 25: 5 words,
//   4: conditional of 4 words, jump words 2 and 3,
//   5: conditional of 3 words, jump words 1 and 2.
AttributeTable TestTable() {
  AttributeTable t{};
  for (InstructionAttr& a : t) a.length = 1;
  t[1].length = 4;
  t[2].length = 3;
  t[25].length = 5;
  t[4] = {4, 1, 2, 3, "cond4"};
  t[5] = {3, 1, 1, 2, "cond5"};
  return t;
}

struct Decoded {
  std::vector<Statement> list;
  int32_t counter = 0;
  DecodeReport report;
};

Decoded Decode(const std::vector<int16_t>& words, int32_t counter = 0, const AttributeTable& table = TestTable()) {
  Decoded d;
  d.counter = counter;
  d.report = DecodeRange(words, 0, static_cast<int32_t>(words.size()), d.list, d.counter, table);
  return d;
}

// The list in short: opcodes, "->label" after a conditional with a label,
// label names on their own.
std::string Shape(const std::vector<Statement>& list) {
  std::string out;
  for (const Statement& s : list) {
    if (!out.empty()) out += ' ';
    if (s.islabel) {
      out += s.note;
    } else {
      out += std::to_string(s.Id);
      if (!s.gotoLabel.empty()) out += "->" + s.gotoLabel;
    }
  }
  return out;
}

TEST(ScriptDecode, EndWordAloneIsOneStatement) {
  Decoded d = Decode({-1});
  ASSERT_EQ(d.list.size(), 1u);
  EXPECT_EQ(d.list[0].Id, -1);
  EXPECT_EQ(d.list[0].DataNum, 0);
  EXPECT_EQ(d.list[0].isGoto, 0);
  EXPECT_FALSE(d.list[0].islabel);
  EXPECT_EQ(d.report.unknownWords, 0);
}

TEST(ScriptDecode, WordsAfterTheEndAreDecodedToo) {
  Decoded d = Decode({-1, 2, 7, 8, -1, 1, 3, 4, 5});
  EXPECT_EQ(Shape(d.list), "-1 2 -1 1");
  EXPECT_EQ(d.list[1].DataNum, 2);
  EXPECT_EQ(d.list[1].data, (std::vector<int16_t>{7, 8}));
  EXPECT_EQ(d.list[3].data, (std::vector<int16_t>{3, 4, 5}));
}

TEST(ScriptDecode, RegularJumpClosesItsBlockWithALabel) {
  struct Case {
    int16_t yes, no;
    int32_t isGoto;
  };
  for (Case c : {Case{3, 0, 1}, Case{0, 3, 2}}) {
    SCOPED_TRACE(c.isGoto);
    // conditional, 3 words of an ordinary instruction, then more words
    Decoded d = Decode({5, c.yes, c.no, 2, 11, 12, 0, 7});
    EXPECT_EQ(Shape(d.list), "5->:Label0 2 :Label0 0 7");
    const Statement& s = d.list[0];
    EXPECT_EQ(s.isGoto, c.isGoto);
    EXPECT_EQ(s.GotoAddress, 3);
    EXPECT_EQ(s.yesOffset, 1);
    EXPECT_EQ(s.noOffset, 2);
    EXPECT_EQ(s.data, (std::vector<int16_t>{c.yes, c.no}));
    EXPECT_EQ(d.list[1].data, (std::vector<int16_t>{11, 12}));
    const Statement& label = d.list[2];
    EXPECT_TRUE(label.islabel);
    EXPECT_EQ(label.Id, 0);
    EXPECT_EQ(label.DataNum, 0);
    EXPECT_EQ(d.counter, 1);
  }
}

TEST(ScriptDecode, IrregularJumpMakesNoLabelAndGivesItsNumberBack) {
  const std::vector<std::pair<int16_t, int16_t>> pairs = {{0, 0}, {2, 3}, {-1, 0}, {0, -4}, {-3, 2}, {2, -3}};
  for (auto [yes, no] : pairs) {
    SCOPED_TRACE(std::to_string(yes) + "," + std::to_string(no));
    // the irregular conditional, one word, then a regular one
    Decoded d = Decode({5, yes, no, 0, 5, 1, 0, 7, 0}, 7);
    EXPECT_EQ(Shape(d.list), "5 0 5->:Label7 7 :Label7 0");
    const Statement& s = d.list[0];
    EXPECT_EQ(s.isGoto, 0);
    EXPECT_TRUE(s.gotoLabel.empty());
    EXPECT_EQ(s.data, (std::vector<int16_t>{yes, no}));
    EXPECT_EQ(s.yesOffset, 1);
    EXPECT_EQ(d.counter, 8);
  }
}

TEST(ScriptDecode, NestedBlocksCloseInReverseOrder) {
  // outer block [4, 13): inner conditional, its block [7, 10), then 3 words
  Decoded d = Decode({4, 1, 9, 0, 5, 3, 0, 2, 1, 1, 0, 0, 0, 7});
  EXPECT_EQ(Shape(d.list), "4->:Label0 5->:Label1 2 :Label1 0 0 0 :Label0 7");
  EXPECT_EQ(d.list[0].isGoto, 1);
  EXPECT_EQ(d.list[0].GotoAddress, 9);
  EXPECT_EQ(d.counter, 2);
}

TEST(ScriptDecode, LabelNumbersContinueFromTheCounter) {
  Decoded d = Decode({5, 1, 0, 0, 5, 0, 1, 0}, 41);
  EXPECT_EQ(Shape(d.list), "5->:Label41 0 :Label41 5->:Label42 0 :Label42");
  EXPECT_EQ(d.list[3].isGoto, 2);
  EXPECT_EQ(d.counter, 43);
}

TEST(ScriptDecode, UnknownOpcodesBecomeOneWordStatements) {
  Decoded d = Decode({68, 0, 200, -2, -32768, 2, 5, 6});
  EXPECT_EQ(Shape(d.list), "68 0 200 -2 -32768 2");
  for (size_t i : {0, 2, 3, 4}) {
    EXPECT_EQ(d.list[i].DataNum, 0);
    EXPECT_TRUE(d.list[i].data.empty());
  }
  EXPECT_EQ(d.report.unknownWords, 4);
}

TEST(ScriptDecode, InstructionCutOffByTheEndKeepsItsOpcode) {
  // opcode 25 is 5 words long and starts 2 words before the end
  Decoded d = Decode({0, 25, 9});
  EXPECT_EQ(Shape(d.list), "0 25 9");
  EXPECT_EQ(d.list[1].DataNum, 0);
  EXPECT_EQ(d.report.unknownWords, 1);
}

TEST(ScriptDecode, InstructionMustFitTheBlockItStartsIn) {
  // block [3, 5) holds the first two words of a 3-word instruction
  Decoded d = Decode({5, 2, 0, 2, 1, 1, 0});
  EXPECT_EQ(Shape(d.list), "5->:Label0 2 1 :Label0 1 0");
  EXPECT_EQ(d.report.unknownWords, 3);
}

TEST(ScriptDecode, BlockReachingPastItsEnclosingRangeEndsThatRange) {
  // outer block [3, 8); the inner one [6, 16) ends at the last word, 12
  Decoded d = Decode({5, 5, 0, 5, 10, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(Shape(d.list), "5->:Label0 5->:Label1 0 0 0 0 0 0 :Label1 :Label0 0 0 0 0");
  EXPECT_EQ(d.report.unknownWords, 0);
}

TEST(ScriptDecode, JumpPastTheLastWordStopsThere) {
  EXPECT_EQ(Shape(Decode({5, 100, 0, 0, 2, 3}).list), "5->:Label0 0 2 3 :Label0");
  EXPECT_EQ(Shape(Decode({5, 32767, 0, 1, 0}).list), "5->:Label0 1 0 :Label0");
  // the last instruction of the event jumps: its block is empty
  EXPECT_EQ(Shape(Decode({0, 5, 0, 9}).list), "0 5->:Label0 :Label0");
}

TEST(ScriptDecode, RangesOutsideTheSequenceReadNothingBeyondIt) {
  const std::vector<int16_t> words = {0, 7, 2, 3};
  const AttributeTable table = TestTable();
  std::vector<Statement> list;
  int32_t counter = 0;
  DecodeRange(words, 1, 50, list, counter, table);
  EXPECT_EQ(Shape(list), "7 2 3");  // 2 needs three words and finds two
  list.clear();
  DecodeRange(words, 3, 2, list, counter, table);
  DecodeRange(words, 6, 9, list, counter, table);
  DecodeRange(words, 2, 2, list, counter, table);
  EXPECT_TRUE(list.empty());
}

TEST(ScriptDecode, DamagedAttributeRecordsDoNotStallOrReachOutside) {
  AttributeTable table = TestTable();
  table[3].length = 0;
  table[6] = {2, 1, 3, 0, "jump words outside"};
  table[7] = {3, 1, 1, 1, "both jumps in one word"};
  Decoded d = Decode({3, 6, 1, 7, 2, 0, 0}, 0, table);
  EXPECT_EQ(Shape(d.list), "3 6 7 0");
  EXPECT_EQ(d.report.unknownWords, 1);
  EXPECT_EQ(d.list[1].isGoto, 0);
  EXPECT_EQ(d.list[1].DataNum, 1);
  EXPECT_EQ(d.list[2].isGoto, 0);  // yes = no = 2: not exactly one jump in use
  EXPECT_EQ(d.counter, 0);
}

TEST(ScriptDecode, EventOfAHundredThousandInstructions) {
  // 10000 conditionals each holding the next, then one word in the innermost
  // block, then 90000 one-word instructions.
  constexpr int kNested = 10000;
  constexpr int kTail = 90000;
  std::vector<int16_t> words;
  for (int k = 0; k < kNested; ++k) {
    words.insert(words.end(), {5, static_cast<int16_t>(3 * (kNested - 1 - k) + 1), 0});
  }
  words.push_back(7);
  words.insert(words.end(), kTail, 0);

  Decoded d = Decode(words);
  ASSERT_EQ(d.list.size(), size_t(2 * kNested + 1 + kTail));
  EXPECT_EQ(d.counter, kNested);
  EXPECT_EQ(d.report.unknownWords, 0);
  EXPECT_EQ(d.list[kNested - 1].gotoLabel, ":Label9999");
  EXPECT_EQ(d.list[kNested].Id, 7);
  for (int k = 0; k < kNested; ++k) {
    const Statement& label = d.list[kNested + 1 + k];
    ASSERT_TRUE(label.islabel);
    ASSERT_EQ(label.note, ":Label" + std::to_string(kNested - 1 - k));
  }
  EXPECT_FALSE(d.list.back().islabel);
  EXPECT_EQ(d.list.back().Id, 0);
}

}  // namespace
}  // namespace tavrel
