// The Statement record's word access, and how its words encode.
#include <gtest/gtest.h>

#include <vector>

#include "script/encode.h"
#include "script/statement.h"

namespace tavrel {
namespace {

Statement WithWords(std::vector<int16_t> words) {
  Statement s;
  s.DataNum = static_cast<int32_t>(words.size());
  s.data = std::move(words);
  return s;
}

TEST(ScriptStatement, SetDataNumFromOneOnReplacesTheWordsWithZeros) {
  Statement s = WithWords({1, 2, 3, 4, 5});
  s.SetDataNum(3);
  EXPECT_EQ(s.DataNum, 3);
  EXPECT_EQ(s.data, (std::vector<int16_t>{0, 0, 0}));

  s.data = {7, 8, 9};
  s.SetDataNum(4);
  EXPECT_EQ(s.data, (std::vector<int16_t>{0, 0, 0, 0}));
  EXPECT_EQ(s.EncodedLength(), 5);
}

TEST(ScriptStatement, SetDataNumBelowOneChangesOnlyTheCount) {
  for (int32_t n : {0, -1}) {
    SCOPED_TRACE(n);
    Statement s = WithWords({1, 2, 3, 4, 5});
    s.SetDataNum(n);
    EXPECT_EQ(s.DataNum, n);
    EXPECT_EQ(s.data, (std::vector<int16_t>{1, 2, 3, 4, 5}));
    // The kept words are no longer parameters.
    EXPECT_EQ(s.Word(0), 0);
    EXPECT_FALSE(s.SetWord(0, 9));
    EXPECT_EQ(s.data[0], 1);
  }
}

TEST(ScriptStatement, WordsOutsideTheParametersAreNeitherReadNorWritten) {
  Statement s = WithWords({10, -20});
  EXPECT_EQ(s.Word(0), 10);
  EXPECT_EQ(s.Word(1), -20);
  EXPECT_EQ(s.Word(-1), 0);
  EXPECT_EQ(s.Word(2), 0);

  EXPECT_TRUE(s.SetWord(1, 33));
  EXPECT_EQ(s.data, (std::vector<int16_t>{10, 33}));
  EXPECT_FALSE(s.SetWord(2, 1));
  EXPECT_FALSE(s.SetWord(-1, 1));
  EXPECT_EQ(s.data, (std::vector<int16_t>{10, 33}));

  // A count larger than the words actually held never reaches past them.
  s.DataNum = 6;
  EXPECT_EQ(s.Word(4), 0);
  EXPECT_FALSE(s.SetWord(4, 1));
  EXPECT_EQ(s.data.size(), 2u);
}

TEST(ScriptStatement, LabelHasItsNameAndNoWords) {
  Statement label = MakeLabel(":Label7");
  EXPECT_TRUE(label.islabel);
  EXPECT_EQ(label.note, ":Label7");
  EXPECT_EQ(label.Id, 0);
  EXPECT_EQ(label.DataNum, 0);
  EXPECT_EQ(label.isGoto, 0);
  EXPECT_TRUE(label.gotoLabel.empty());
  EXPECT_EQ(label.EncodedLength(), 0);
}

// A statement encodes as its opcode and DataNum words: the words it holds,
// zeros for a count beyond them, nothing for a label or a negative count.
TEST(ScriptEncode, CountDecidesTheWordsEncoded) {
  Statement beyond = WithWords({7, 8});
  beyond.Id = 3;
  beyond.DataNum = 4;
  Statement lowered = WithWords({1, 2, 3});
  lowered.Id = 9;
  lowered.DataNum = 1;
  Statement negative = WithWords({5});
  negative.Id = 12;
  negative.DataNum = -2;
  Statement end;
  end.Id = -1;
  const std::vector<Statement> list = {beyond, MakeLabel(":Label0"), lowered, negative, end};
  EXPECT_EQ(Encode(list), (std::vector<int16_t>{3, 7, 8, 0, 0, 9, 1, 12, -1}));
  EXPECT_TRUE(Encode({MakeLabel(":Label0")}).empty());
}

// Committing reuses one buffer of words: a short event after a long one
// takes exactly its own words, zeros included.
TEST(ScriptEncode, ShortEventAfterLongOneCommitsOnlyItsWords) {
  KdefEvent long_event;
  for (int i = 0; i < 50; ++i) {
    Statement s = WithWords({int16_t(i), int16_t(i + 1)});
    s.Id = 25;
    long_event.statements.push_back(s);
  }
  EXPECT_TRUE(Commit(long_event));
  EXPECT_EQ(long_event.words.size(), 150u);

  KdefEvent short_event;
  Statement s = WithWords({4});
  s.Id = 37;
  s.DataNum = 3;
  short_event.statements = {s, Statement{}};
  short_event.statements[1].Id = -1;
  EXPECT_TRUE(Commit(short_event));
  EXPECT_EQ(std::vector<int16_t>(short_event.words.begin(), short_event.words.end()),
            (std::vector<int16_t>{37, 4, 0, 0, -1}));
  EXPECT_FALSE(Commit(short_event)) << "the same statements leave the words as they are";
}

}  // namespace
}  // namespace tavrel
