// The Statement record's word access.
#include <gtest/gtest.h>

#include <vector>

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

}  // namespace
}  // namespace tavrel
