// The instruction dialog catalogue and the conversions between words and
// what the dialogs' controls show.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "app/guide.h"
#include "app/instruction_catalogue.h"
#include "sample_test_support.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace {

using testing::ReadSampleGame;
using testing::SampleGameDir;

class CatalogueOnSample : public ::testing::Test {
 protected:
  void SetUp() override { ReadSampleGame(state, GameCharset::Gbk, dir.path()); }
  std::string Ui(int n) const { return state.text().UiString(n); }

  static Statement Instruction(int16_t id, std::vector<int16_t> words) {
    Statement s;
    s.Id = id;
    s.DataNum = static_cast<int32_t>(words.size());
    s.data = std::move(words);
    return s;
  }

  SampleGameDir dir;
  EditorState state;
};

TEST(InstructionCatalogue, EveryDialogOfTheGuideHasRowsAndEveryRowGroupIsReached) {
  std::set<std::string_view> guided;
  for (int op = -1; op <= 67; ++op) {
    const Guide guide = GuideFor(static_cast<int16_t>(op));
    if (guide.kind != GuideKind::Dialog) continue;
    guided.insert(guide.form);
    EXPECT_FALSE(DialogRows(guide.form).empty()) << guide.form;
  }
  const std::vector<std::string_view> forms = CatalogueForms();
  EXPECT_EQ(forms.size(), 37u);
  EXPECT_EQ(std::set<std::string_view>(forms.begin(), forms.end()), guided);
  EXPECT_TRUE(DialogRows("frmStatement_0x99").empty());
}

TEST(InstructionCatalogue, EveryStringExistsAndEveryNameIsUniqueWithinItsDialog) {
  auto exists = [](int n) { return n == 0 || HasInterfaceString(n); };
  for (std::string_view form : CatalogueForms()) {
    std::set<std::string_view> names;
    for (const CatalogueRow& row : DialogRows(form)) {
      EXPECT_TRUE(HasInterfaceString(row.title)) << form;
      EXPECT_TRUE(exists(row.text) && exists(row.text2) && exists(row.heading)) << form << " " << row.name;
      EXPECT_TRUE(exists(row.list.currentString)) << row.name;
      if (row.list.source == ListSource::Strings) {
        for (int k = 0; k < row.list.count; ++k) EXPECT_TRUE(HasInterfaceString(row.list.first + k)) << row.name;
      }
      EXPECT_TRUE(names.insert(row.name).second) << form << " " << row.name;
      if (!row.label.empty()) {
        EXPECT_TRUE(names.insert(row.label).second) << form << " " << row.label;
      }
      EXPECT_EQ(row.control == FieldControl::List, row.list.source != ListSource::None) << row.name;
    }
  }
}

TEST(InstructionCatalogue, TheDialogsSpeltAsTheGuideNamesThem) {
  const auto rows12 = DialogRows(GuideFor(43).form);  // 0x2b shares the item dialog of 0x12
  ASSERT_EQ(rows12.size(), 1u);
  EXPECT_EQ(rows12[0].title, 531);
  EXPECT_EQ(rows12[0].list.source, ListSource::Items);
  const auto rows06 = DialogRows("frmStatement_0x06");
  ASSERT_EQ(rows06.size(), 2u);
  EXPECT_EQ(rows06[1].word, 3);
  EXPECT_EQ(rows06[1].control, FieldControl::Check);
  EXPECT_EQ(DialogRows("frmstatement_0x03").size(), 13u);
}

TEST_F(CatalogueOnSample, NamedListsNumberTheirEntriesInDecimalAndHex) {
  const std::vector<std::string> persons = ListEntries(state, ListFormat{ListSource::Persons});
  ASSERT_EQ(persons.size(), 320u);
  EXPECT_EQ(persons.front(), "0(0)" + state.game.names.persons.front().name);
  EXPECT_EQ(persons.back(), "319(13F)" + state.game.names.persons.back().name);
  const std::vector<std::string> items = ListEntries(state, ListFormat{ListSource::Items});
  ASSERT_GT(items.size(), 26u);
  EXPECT_EQ(items[26], "26(1A)" + state.game.names.items[26].name);
  const std::vector<std::string> skills = ListEntries(state, ListFormat{ListSource::Skills});
  EXPECT_EQ(skills.size(), state.game.names.skills.size());
}

TEST_F(CatalogueOnSample, SceneListsAndTheirCurrentSceneEntry) {
  const CatalogueRow& address = DialogRows("frmstatement_0x03")[0];
  const std::vector<std::string> scenes = ListEntries(state, address.list);
  ASSERT_EQ(scenes.size(), state.game.names.scenes.size() + 1);
  EXPECT_EQ(scenes[0], "---" + Ui(Str::LineCurrentScene) + "---");
  EXPECT_EQ(scenes[1], "0" + state.game.names.scenes[0].name);
  const std::vector<std::string> plain = ListEntries(state, DialogRows("frmStatement_0x27")[0].list);
  EXPECT_EQ(plain.front(), "0" + state.game.names.scenes[0].name);

  const std::vector<std::string> events = ListEntries(state, DialogRows("frmstatement_0x03")[1].list);
  ASSERT_EQ(events.size(), 201u);
  EXPECT_EQ(events[0], "---" + Ui(Str::LineCurrentSceneEvent) + "---");
  EXPECT_EQ(events[1], "0");
  EXPECT_EQ(events[200], "199");
  const std::vector<std::string> pass = ListEntries(state, DialogRows("frmstatement_0x03")[2].list);
  EXPECT_EQ(pass, (std::vector<std::string>{Ui(Str::KeepUnchanged), Ui(Str::PassableYes), Ui(Str::PassableNo)}));
}

TEST_F(CatalogueOnSample, FixedListsAreTheirStringsInOrder) {
  EXPECT_EQ(
      ListEntries(state, DialogRows("frmStatement_0x28")[0].list),
      (std::vector<std::string>{Ui(Str::FacingUp), Ui(Str::FacingRight), Ui(Str::FacingLeft), Ui(Str::FacingDown)}));
  EXPECT_EQ(ListEntries(state, DialogRows("frmstatement_0x3f")[1].list),
            (std::vector<std::string>{Ui(Str::SexMale), Ui(Str::SexFemale), Ui(Str::SexEunuch)}));
  const std::vector<std::string> modes = ListEntries(state, DialogRows("frmStatement_0x01")[2].list);
  ASSERT_EQ(modes.size(), 6u);
  EXPECT_EQ(modes[1], Ui(Str::Placement1));
  const std::vector<std::string> portraits = ListEntries(state, DialogRows("frmStatement_0x01")[1].list);
  ASSERT_EQ(portraits.size(), state.game.portraits.size());
  EXPECT_EQ(portraits[12], "12");
}

TEST(InstructionCatalogueWords, APlainListShowsMinusOneAsNoEntryAndWritesItBack) {
  const ListFormat persons{ListSource::Persons};
  EXPECT_EQ(EntryForWord(persons, 320, -1), -1);
  EXPECT_EQ(WordForEntry(persons, 320, -1, -1), -1);
  EXPECT_EQ(EntryForWord(persons, 320, 26), 26);
  EXPECT_EQ(WordForEntry(persons, 320, 26, 3), 26);
  EXPECT_EQ(EntryForWord(persons, 320, 319), 319);
  // Outside the list: nothing chosen, the old word survives an untouched list.
  EXPECT_EQ(EntryForWord(persons, 320, 320), -1);
  EXPECT_EQ(WordForEntry(persons, 320, -1, 320), 320);
  EXPECT_EQ(EntryForWord(persons, 320, -2), -1);
  EXPECT_EQ(WordForEntry(persons, 320, -1, -7), -7);
}

TEST(InstructionCatalogueWords, TheCurrentSceneEntryStandsForMinusTwo) {
  const ListFormat scenes{ListSource::Scenes, 0, 0, 509, true};
  const int count = 13;  // 12 scenes and the current-scene entry
  EXPECT_EQ(EntryForWord(scenes, count, -2), 0);
  EXPECT_EQ(EntryForWord(scenes, count, 0), 1);
  EXPECT_EQ(EntryForWord(scenes, count, 11), 12);
  EXPECT_EQ(EntryForWord(scenes, count, -1), 0);      // -1 shows the current scene too ...
  EXPECT_EQ(WordForEntry(scenes, count, 0, -1), -2);  // ... and is written as -2
  EXPECT_EQ(WordForEntry(scenes, count, 5, 0), 4);
  EXPECT_EQ(EntryForWord(scenes, count, 12), -1);
  EXPECT_EQ(WordForEntry(scenes, count, -1, 12), 12);
  EXPECT_EQ(EntryForWord(scenes, count, -3), -1);
  EXPECT_EQ(WordForEntry(scenes, count, -1, -3), -3);
}

TEST(InstructionCatalogueWords, CheckBoxesShowOneAndZeroAndKeepOtherWords) {
  EXPECT_EQ(CheckForWord(1), CheckMark::On);
  EXPECT_EQ(CheckForWord(0), CheckMark::Off);
  EXPECT_EQ(CheckForWord(5), CheckMark::Mixed);
  EXPECT_EQ(WordForCheck(CheckMark::On, 0), 1);
  EXPECT_EQ(WordForCheck(CheckMark::Off, 1), 0);
  EXPECT_EQ(WordForCheck(CheckMark::Mixed, 5), 5);
}

TEST_F(CatalogueOnSample, TheBattleCheckBoxWritesOnlyItsWord) {
  const auto rows = DialogRows("frmStatement_0x06");
  Statement s = Instruction(6, {7, 11, 12, 1});
  std::vector<FieldValue> values = ShowFields(state, s, rows);
  EXPECT_EQ(values[0].text, "7");
  EXPECT_EQ(values[1].check, CheckMark::On);
  values[1].check = CheckMark::Off;
  ASSERT_TRUE(ApplyFields(state, s, rows, values));
  EXPECT_EQ(s.data, (std::vector<int16_t>{7, 11, 12, 0}));
}

TEST_F(CatalogueOnSample, ABadTextBoxRefusesTheWholeWrite) {
  const auto rows = DialogRows("frmStatement_0x1c");
  Statement s = Instruction(28, {3, 10, 20, 0, 0});
  std::vector<FieldValue> values = ShowFields(state, s, rows);
  values[0].entry = 9;
  values[1].text = "-5";
  for (const char* bad : {"abc", "40000", "-32769", "", "1.5"}) {
    values[2].text = bad;
    Status applied = ApplyFields(state, s, rows, values);
    ASSERT_FALSE(applied) << bad;
    EXPECT_NE(applied.error().find(Ui(Str::MoralityRange) + " -"), std::string::npos) << applied.error();
    EXPECT_EQ(s.data, (std::vector<int16_t>{3, 10, 20, 0, 0})) << bad;
  }
  values[2].text = " 32767";
  ASSERT_TRUE(ApplyFields(state, s, rows, values));
  EXPECT_EQ(s.data, (std::vector<int16_t>{9, -5, 32767, 0, 0}));
}

TEST_F(CatalogueOnSample, MinusTwoInATextBoxIsWrittenUnchanged) {
  const auto rows = DialogRows("frmStatement_0x1a");
  Statement s = Instruction(26, {-2, -2, -1, 4, 5});
  std::vector<FieldValue> values = ShowFields(state, s, rows);
  EXPECT_EQ(values[0].entry, 0);
  EXPECT_EQ(values[1].text, "-2");
  EXPECT_EQ(values[2].text, "-1");
  ASSERT_TRUE(ApplyFields(state, s, rows, values));
  EXPECT_EQ(s.data, (std::vector<int16_t>{-2, -2, -1, 4, 5}));
}

TEST_F(CatalogueOnSample, FieldsPastDataNumAreDisabledAndNeverWritten) {
  const auto rows = DialogRows("frmStatement_0x1c");
  Statement s = Instruction(28, {3});
  std::vector<FieldValue> values = ShowFields(state, s, rows);
  EXPECT_TRUE(values[0].enabled);
  EXPECT_FALSE(values[1].enabled);
  EXPECT_FALSE(values[2].enabled);
  values[0].entry = 4;
  values[2].text = "not even a number";  // ignored: the word does not exist
  ASSERT_TRUE(ApplyFields(state, s, rows, values));
  EXPECT_EQ(s.data, (std::vector<int16_t>{4}));
  // Old words beyond a shrunk DataNum stay where they are.
  Statement shrunk = Instruction(28, {3, 10, 20});
  shrunk.DataNum = 1;
  values = ShowFields(state, shrunk, rows);
  values[0].entry = 5;
  ASSERT_TRUE(ApplyFields(state, shrunk, rows, values));
  EXPECT_EQ(shrunk.data, (std::vector<int16_t>{5, 10, 20}));
}

TEST_F(CatalogueOnSample, TheDialogueInstructionOverwritesOrAppends) {
  const auto rows = DialogRows("frmStatement_0x01");
  const int32_t count = state.talkCount();
  ASSERT_GT(count, 6);
  const std::string old5 = state.game.talk.entries[5].text;
  Statement s = Instruction(1, {5, 12, 1});
  std::vector<FieldValue> values = ShowFields(state, s, rows);
  EXPECT_EQ(values[0].text, old5);
  EXPECT_EQ(values[1].entry, 12);
  EXPECT_EQ(values[2].entry, 1);

  values[2].entry = 3;
  ASSERT_TRUE(ApplyDialogueInstruction(state, s, rows, values, "新的對話", true));
  EXPECT_EQ(s.data, (std::vector<int16_t>{static_cast<int16_t>(count), 12, 3}));
  EXPECT_EQ(state.talkCount(), count + 1);
  EXPECT_EQ(state.game.talk.offsets.size(), size_t(count) + 2);
  EXPECT_EQ(state.game.talk.entries.back().text, "新的對話");
  EXPECT_EQ(state.game.talk.entries[5].text, old5);

  Statement again = Instruction(1, {5, 12, 1});
  ASSERT_TRUE(ApplyDialogueInstruction(state, again, rows, ShowFields(state, again, rows), "改過", false));
  EXPECT_EQ(state.game.talk.entries[5].text, "改過");
  EXPECT_EQ(state.talkCount(), count + 1);
}

TEST_F(CatalogueOnSample, TheDialogueInstructionRefusesWhatCannotBeStored) {
  const auto rows = DialogRows("frmStatement_0x01");
  const int32_t count = state.talkCount();
  Statement bad = Instruction(1, {-4, 12, 1});
  std::vector<FieldValue> values = ShowFields(state, bad, rows);
  EXPECT_EQ(values[0].text, "");
  values[1].entry = 3;
  EXPECT_FALSE(ApplyDialogueInstruction(state, bad, rows, values, "x", false));
  EXPECT_EQ(bad.data, (std::vector<int16_t>{-4, 12, 1}));
  ASSERT_TRUE(ApplyDialogueInstruction(state, bad, rows, values, "x", true));
  EXPECT_EQ(bad.data[0], count);

  state.game.talk.entries.resize(32768);
  state.game.talk.offsets.resize(32769);
  Statement full = Instruction(1, {5, 12, 1});
  values = ShowFields(state, full, rows);
  values[1].entry = 0;
  Status refused = ApplyDialogueInstruction(state, full, rows, values, "x", true);
  ASSERT_FALSE(refused);
  EXPECT_NE(refused.error().find("32768"), std::string::npos);
  EXPECT_EQ(state.talkCount(), 32768);
  EXPECT_EQ(full.data, (std::vector<int16_t>{5, 12, 1}));
}

}  // namespace
}  // namespace tavrel
