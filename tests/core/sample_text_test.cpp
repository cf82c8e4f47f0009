// The sample dialogue and names: BIG5 text the editor reads back whole, the
// game's asterisk rule, and the odd cases (empty texts, ASCII, full fields).
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "app/find.h"
#include "sample_test_support.h"

namespace tavrel::testing {
namespace {

class SampleText : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new SampleGameDir;
    state_ = new EditorState;
    ReadSampleGame(*state_, GameCharset::Big5, dir_->path());
  }
  static void TearDownTestSuite() {
    delete state_;
    delete dir_;
  }
  static SampleGameDir* dir_;
  static EditorState* state_;
};
SampleGameDir* SampleText::dir_ = nullptr;
EditorState* SampleText::state_ = nullptr;

// Chinese characters between the asterisks of a text (UTF-8 sequences of
// more than one byte).
std::vector<int> GroupsBetweenAsterisks(const std::string& text) {
  std::vector<int> groups{0};
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '*')
      groups.push_back(0);
    else if (c >= 0xC0)
      ++groups.back();
  }
  return groups;
}

TEST_F(SampleText, DialogueKeepsTheAsteriskRule) {
  int marked = 0;
  for (const TalkEntry& entry : state_->game.talk.entries) {
    const std::vector<int> groups = GroupsBetweenAsterisks(entry.text);
    for (size_t g = 0; g + 1 < groups.size(); ++g) EXPECT_EQ(groups[g], 12) << entry.text;
    EXPECT_LE(groups.back(), 12) << entry.text;
    if (!entry.text.empty()) {
      EXPECT_NE(entry.text.str().back(), '*') << "no asterisk at the very end";
    }
    marked += groups.size() > 1;
  }
  EXPECT_GT(marked, 20);
}

TEST_F(SampleText, DialogueHasEmptyTextsAndAscii) {
  const auto& entries = state_->game.talk.entries;
  const auto empty = std::count_if(entries.begin(), entries.end(), [](const TalkEntry& e) { return e.text.empty(); });
  const auto ascii = std::count_if(entries.begin(), entries.end(), [](const TalkEntry& e) {
    return std::any_of(e.text.view().begin(), e.text.view().end(), [](char c) { return c >= '0' && c <= '9'; });
  });
  EXPECT_GT(empty, 0);
  EXPECT_LT(empty, long(entries.size()) / 10);
  EXPECT_GT(ascii, 0);
  // An empty text is its terminator alone.
  const auto& offsets = state_->game.talk.offsets;
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i].text.empty()) {
      EXPECT_EQ(offsets[i + 1] - offsets[i], 1);
    }
}

TEST_F(SampleText, EveryTextIsRepresentableInBig5) {
  for (const TalkEntry& entry : state_->game.talk.entries) {
    EXPECT_TRUE(state_->text().CanEncode(entry.text.str())) << entry.text.str();
    EXPECT_EQ(state_->text().EncodeGameText(entry.text.str()),
              Bytes(entry.readBytes().begin(), entry.readBytes().end()))
        << entry.text;
  }
  for (const PersonRecord& p : state_->game.names.persons) EXPECT_EQ(p.name.find('?'), std::string::npos);
}

TEST_F(SampleText, NamesAreChineseAndSomeFillTheirField) {
  const NameTables& names = state_->game.names;
  bool fullField = false;
  for (const PersonRecord& p : names.persons) {
    EXPECT_FALSE(p.name.empty());
    EXPECT_GE(static_cast<unsigned char>(p.name[0]), 0xC0) << p.name;
    fullField = fullField || std::none_of(p.nameBytes.begin(), p.nameBytes.end(), [](uint8_t b) { return b == 0; });
  }
  EXPECT_TRUE(fullField);
  std::set<std::string> scenes;
  for (const SceneRecord& s : names.scenes) scenes.insert(s.name);
  EXPECT_EQ(scenes.size(), names.scenes.size()) << "scene names are told apart by the scene lists";
  for (const ItemRecord& i : names.items) EXPECT_FALSE(i.name.empty());
  for (const SkillRecord& k : names.skills) EXPECT_FALSE(k.name.empty());
}

// As the game's text does, the dialogue writes 麼 as 么 (A4 5C) in 怎么 and
// 什么: 怎 is AB E7, 什 A4 B0.
TEST_F(SampleText, DialogueWritesMeAsTheGameDoes) {
  int zenme = 0, shenme = 0;
  for (const TalkEntry& entry : state_->game.talk.entries) {
    const std::span<const uint8_t> b = entry.readBytes();
    for (size_t i = 0; i + 4 <= b.size(); ++i) {
      zenme += b[i] == 0xAB && b[i + 1] == 0xE7 && b[i + 2] == 0xA4 && b[i + 3] == 0x5C;
      shenme += b[i] == 0xA4 && b[i + 1] == 0xB0 && b[i + 2] == 0xA4 && b[i + 3] == 0x5C;
    }
  }
  EXPECT_GT(zenme, 0);
  EXPECT_GT(shenme, 0);
}

// A search for 怎么 finds the same lines whichever charset the editor runs in.
TEST_F(SampleText, FindingTheGamesMeInBothCharsets) {
  EditorState gbk;
  ReadSampleGame(gbk, GameCharset::Gbk, dir_->path());
  for (const char* text : {"怎么", "什么"}) {
    FindQuery query;
    query.mode = FindQuery::Mode::Text;
    query.text = text;
    auto inGbk = FindAll(gbk, query);
    auto inBig5 = FindAll(*state_, query);
    ASSERT_TRUE(inGbk && inBig5);
    EXPECT_GT(inBig5->size(), 0u) << text;
    ASSERT_EQ(inGbk->size(), inBig5->size()) << text;
    for (size_t k = 0; k < inGbk->size(); ++k) EXPECT_EQ((*inGbk)[k].place, (*inBig5)[k].place);
  }
}

TEST_F(SampleText, GbkRunShowsTheSameTextsSimplified) {
  EditorState gbk;
  ReadSampleGame(gbk, GameCharset::Gbk, dir_->path());
  ASSERT_EQ(gbk.talkCount(), state_->talkCount());
  for (const TalkEntry& entry : gbk.game.talk.entries)
    EXPECT_EQ(entry.text.str().find("??"), std::string::npos) << entry.text.str();
  EXPECT_NE(gbk.game.talk.entries[0].text, state_->game.talk.entries[0].text) << "simplified differs from traditional";
}

}  // namespace
}  // namespace tavrel::testing
