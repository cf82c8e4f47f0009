// The scenes' object tables: reading alldef.idx/grp (short entries, a
// missing pair, empty records), where the sample's events start, the event
// selector's texts, the checks, and editing an object with its undo and the
// bytes the save writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/scene_objects.h"
#include "gamefiles/alldef.h"
#include "sample_test_support.h"
#include "text/ui_string_names.h"
#include "text/ui_strings.h"
#include "tool_run.h"

namespace tavrel::testing {
namespace {

std::string Quoted(const std::string& s) { return "'" + s + "'"; }
ToolRun Tavrel(const std::string& arguments) { return RunTool("--language en " + arguments); }

// One 4400-byte table, zero but for the given records (object, 11 words).
Bytes Table(std::initializer_list<std::pair<int, std::array<int16_t, 11>>> records) {
  Bytes entry(4400, 0);
  for (const auto& [object, words] : records)
    for (int w = 0; w < 11; ++w) {
      entry[size_t(object * 22 + w * 2)] = uint8_t(uint16_t(words[size_t(w)]));
      entry[size_t(object * 22 + w * 2 + 1)] = uint8_t(uint16_t(words[size_t(w)]) >> 8);
    }
  return entry;
}

TEST(SceneObjectFile, ReadsRecordsAndHidesOnlyTheSceneOfAShortEntry) {
  Bytes grp = Table({{3, {1, 3, 0x1234, -1, 0, 2, 4, 6, 7, 25, 30}}, {199, {0, 0, 0, 0, 9, 0, 0, 0, 0, 0, 1}}});
  const Bytes shortEntry(4378, 0x11);  // one record short
  grp.insert(grp.end(), shortEntry.begin(), shortEntry.end());
  const Bytes empty = Table({});
  grp.insert(grp.end(), empty.begin(), empty.end());
  const Bytes idx = IndexBytes({4400, 8778, 13178});

  std::vector<FileWarning> warnings;
  Result<SceneObjectTables> read = ParseSceneObjects(idx, grp, "g/alldef.idx", "g/alldef.grp", &warnings);
  ASSERT_TRUE(read) << read.error();
  ASSERT_EQ(read->sceneCount(), 3);

  const SceneObject* o = read->Object(0, 3);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->words, (std::array<int16_t, 11>{1, 3, 0x1234, -1, 0, 2, 4, 6, 7, 25, 30}));
  EXPECT_EQ(o->event(Trigger::Action), 0x1234);
  EXPECT_FALSE(o->startsEvent(Trigger::Item));  // -1 starts nothing
  EXPECT_FALSE(o->startsEvent(Trigger::Pass));  // nor does 0
  EXPECT_TRUE(read->Object(0, 199)->startsEvent(Trigger::Pass));
  EXPECT_EQ(SceneObjectNumbers(*read, 0), (std::vector<int32_t>{3, 199}));
  EXPECT_TRUE(read->Object(0, 0)->empty());

  // The short entry: named in one warning, its scene without objects.
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0].file, "alldef.grp");
  EXPECT_NE(warnings[0].message.find("g/alldef.grp"), std::string::npos) << warnings[0].message;
  EXPECT_NE(warnings[0].message.find("4378"), std::string::npos) << warnings[0].message;
  EXPECT_NE(warnings[0].message.find("场景1"), std::string::npos) << warnings[0].message;
  EXPECT_FALSE(read->scenes[1].valid);
  EXPECT_EQ(read->Object(1, 0), nullptr);
  EXPECT_TRUE(SceneObjectNumbers(*read, 1).empty());

  // A table of empty records has no objects and starts nothing.
  EXPECT_TRUE(read->scenes[2].valid);
  EXPECT_TRUE(SceneObjectNumbers(*read, 2).empty());
  EXPECT_EQ(ObjectsStartingEvent(*read, 9), (std::vector<ObjectStart>{{0, 199, Trigger::Pass}}));

  // Written back unchanged, the damaged entry as it was.
  EXPECT_EQ(EncodeSceneObjects(*read), grp);
}

TEST(SceneObjectFile, AnIndexPastItsDataIsAnErrorNamingTheIndex) {
  const Bytes grp = Table({});
  Result<SceneObjectTables> read = ParseSceneObjects(IndexBytes({4400, 8800}), grp, "alldef.idx", "alldef.grp");
  ASSERT_FALSE(read);
  EXPECT_NE(read.error().find("alldef.idx"), std::string::npos) << read.error();
}

TEST(SceneObjectFile, BytesAfterTheLastEntryStayWhenAnObjectChanges) {
  Bytes grp = Table({});
  grp.push_back(0xAB);
  std::vector<FileWarning> warnings;
  Result<SceneObjectTables> read = ParseSceneObjects(IndexBytes({4400}), grp, "alldef.idx", "alldef.grp", &warnings);
  ASSERT_TRUE(read) << read.error();
  ASSERT_EQ(warnings.size(), 1u);  // the byte belongs to no scene
  EXPECT_EQ(warnings[0].file, "alldef.grp");
  EXPECT_NE(warnings[0].message.find("1字节"), std::string::npos) << warnings[0].message;
  read->scenes[0].objects[1].words[kObjectY] = -2;
  Bytes expected = grp;
  expected[22 + 20] = 0xFE;
  expected[22 + 21] = 0xFF;
  EXPECT_EQ(EncodeSceneObjects(*read), expected);
}

class SampleObjects : public ::testing::Test {
 protected:
  void SetUp() override { ReadSampleGame(state, GameCharset::Big5, dir.path()); }
  const SceneObjectTables& tables() const { return state.game.objects; }

  SampleGameDir dir;
  EditorState state;
};

// The sample's planted objects (tools/sample/sample_objects.cpp).
TEST_F(SampleObjects, EveryPlantedObjectStartsItsEvent) {
  ASSERT_TRUE(tables().present);
  EXPECT_EQ(tables().sceneCount(), 12);
  EXPECT_EQ(ObjectsStartingEvent(tables(), 10),
            (std::vector<ObjectStart>{{0, 1, Trigger::Action}, {1, 0, Trigger::Action}}));
  EXPECT_EQ(ObjectsStartingEvent(tables(), 11), (std::vector<ObjectStart>{{0, 2, Trigger::Action}}));
  EXPECT_EQ(ObjectsStartingEvent(tables(), 12), (std::vector<ObjectStart>{{0, 2, Trigger::Item}}));
  EXPECT_EQ(ObjectsStartingEvent(tables(), 20), (std::vector<ObjectStart>{{0, 5, Trigger::Pass}}));
  EXPECT_EQ(ObjectsStartingEvent(tables(), 110), (std::vector<ObjectStart>{{5, 12, Trigger::Action}}));
  EXPECT_EQ(ObjectsStartingEvent(tables(), 150), (std::vector<ObjectStart>{{5, 13, Trigger::Item}}));
  EXPECT_EQ(ObjectsStartingEvent(tables(), 299), (std::vector<ObjectStart>{{11, 199, Trigger::Pass}}));
  EXPECT_TRUE(ObjectsStartingEvent(tables(), 13).empty());
  EXPECT_TRUE(SceneObjectNumbers(tables(), 3).empty());  // the scene with an empty table

  // The index over every event agrees, and leaves out the missing event.
  const EventStarts starts(tables(), state.eventCount());
  for (int32_t e : {10, 11, 12, 20, 110, 150, 299, 13, 0}) {
    const std::vector<ObjectStart> one = ObjectsStartingEvent(tables(), e);
    EXPECT_TRUE(std::ranges::equal(starts.Of(e), one)) << e;
  }
  EXPECT_TRUE(starts.Of(4100).empty());

  EXPECT_EQ(ObjectStartText({5, 12, Trigger::Action}), "场景 5 物体 12: 空格");
  EXPECT_EQ(ObjectStartText({0, 2, Trigger::Item}), "场景 0 物体 2: 物品");
  EXPECT_EQ(ObjectStartLine({11, 199, Trigger::Pass}), "scene 11 object 199: on passing");
  EXPECT_EQ(ObjectStartLine({0, 1, Trigger::Action}), "scene 0 object 1: on action key");
}

TEST_F(SampleObjects, SelectorTextsNameTheFirstPlaceAndCountTheRest) {
  const EventStarts starts(tables(), state.eventCount());
  const NameTables& names = state.game.names;
  EXPECT_EQ(EventSelectorText(starts, names, 110), "110  场景5 碧水鎮 · 物体12 · 空格");
  EXPECT_EQ(EventSelectorText(starts, names, 10), "10  场景0 青龍村 · 物体1 · 空格 +1");
  EXPECT_EQ(EventSelectorText(starts, names, 12), "12  场景0 青龍村 · 物体2 · 物品");
  EXPECT_EQ(EventSelectorText(starts, names, 20), "20  场景0 青龍村 · 物体5 · 经过");
  EXPECT_EQ(EventSelectorText(starts, names, 13), "13");
  EXPECT_EQ(EventSelectorText(starts, names, 0), "0");
  // A scene the name tables do not have shows its number alone.
  EXPECT_EQ(EventSelectorText(starts, NameTables{}, 299), "299  场景11 · 物体199 · 经过");
}

TEST_F(SampleObjects, CheckFindsTheBrokenReferenceAndListsEventsStartedFromNowhere) {
  const std::vector<ObjectFinding> findings = CheckSceneObjects(tables(), state.eventCount());
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].text, "alldef:7:4: event 4100 does not exist");
  EXPECT_EQ(findings[0].event, 4100);
  EXPECT_EQ(findings[0].trigger, Trigger::Action);
  // One event more and 4100 would still be missing; at 4101 events it exists.
  EXPECT_EQ(CheckSceneObjects(tables(), 4100).size(), 1u);
  EXPECT_TRUE(CheckSceneObjects(tables(), 4101).empty());

  // With instructions naming every event but 1..15, what is left are the
  // unnamed ones no object starts: 1..9 and 13..15 (10, 11, 12 are started).
  std::vector<bool> named(size_t(state.eventCount()), true);
  for (int e = 0; e <= 15; ++e) named[size_t(e)] = false;
  EXPECT_EQ(EventsNamedByNothing(tables(), state.eventCount(), named),
            (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 13, 14, 15}));
  // Named by nothing at all: every event but 0 and the seven started ones.
  EXPECT_EQ(EventsNamedByNothing(tables(), state.eventCount(), {}).size(), size_t(300 - 1 - 7));
}

TEST_F(SampleObjects, AttachingAnEventIsAnUndoableStepAndTheSaveChangesExactlyItsWords) {
  const Bytes before = dir.Get("alldef.grp");
  ASSERT_TRUE(AttachObjectEvent(state, 0, 5, Trigger::Action, 33));
  EXPECT_EQ(state.game.objects.Object(0, 5)->event(Trigger::Action), 33);
  EXPECT_EQ(state.game.objects.Object(0, 5)->event(Trigger::Pass), 20);
  EXPECT_TRUE(state.modified);
  EXPECT_EQ(state.history.UndoCaption(), Str::StepAttachEvent);
  EXPECT_EQ(ObjectsStartingEvent(tables(), 33), (std::vector<ObjectStart>{{0, 5, Trigger::Action}}));

  ASSERT_TRUE(state.history.Undo(state));
  EXPECT_EQ(state.game.objects.Object(0, 5)->event(Trigger::Action), 0);
  EXPECT_FALSE(state.modified);
  std::optional<StepPlace> redone = state.history.Redo(state);
  ASSERT_TRUE(redone);
  EXPECT_EQ(redone->scene, 0);
  EXPECT_EQ(redone->object, 5);
  EXPECT_EQ(state.game.objects.Object(0, 5)->event(Trigger::Action), 33);

  ASSERT_TRUE(SaveGameFiles(state));
  // Scene 0, object 5, word 2 lies at 5 * 22 + 2 * 2 = 114: 33 = 0x21 0x00.
  Bytes expected = before;
  expected[114] = 0x21;
  expected[115] = 0x00;
  EXPECT_EQ(dir.Get("alldef.grp"), expected);
  EXPECT_EQ(dir.Get("alldef.grp.bak"), before);
  EXPECT_EQ(dir.Get("alldef.idx"), SampleFiles().at("alldef.idx"));

  // Read again, the object is as saved.
  ASSERT_TRUE(ReadGameFiles(state));
  EXPECT_EQ(state.game.objects.Object(0, 5)->event(Trigger::Action), 33);
}

TEST_F(SampleObjects, AnUntouchedTableIsNotWritten) {
  // An edit undone is no change either.
  ASSERT_TRUE(ClearObjectEvent(state, 5, 12, Trigger::Action));
  EXPECT_EQ(state.game.objects.Object(5, 12)->event(Trigger::Action), 0);
  ASSERT_TRUE(state.history.Undo(state));
  EXPECT_FALSE(SceneObjectsChanged(state));
  ASSERT_TRUE(SaveGameFiles(state));
  EXPECT_FALSE(dir.Has("alldef.grp.bak"));
  EXPECT_FALSE(dir.Has("alldef.idx.bak"));
  EXPECT_TRUE(dir.Has("kdef.grp.bak"));
  EXPECT_EQ(dir.Get("alldef.grp"), SampleFiles().at("alldef.grp"));
}

TEST_F(SampleObjects, FieldsAreCheckedAsTheSceneEventDialogChecksThem) {
  const SceneObject* object = state.game.objects.Object(5, 13);
  std::vector<FieldValue> values = ShowFields(state, ObjectAsInstruction(*object, 5, 13), ObjectRows());
  ASSERT_EQ(values.size(), 11u);  // passable .. Y
  // The boxes show the words: number 13, item event 150, X 29, Y 33.
  EXPECT_EQ(values[1].text, "13");
  EXPECT_EQ(values[3].text, "150");
  EXPECT_EQ(values[9].text, "29");
  EXPECT_EQ(values[10].text, "33");

  values[9].text = "abc";
  Status refused = ApplyObjectFields(state, 5, 13, values);
  ASSERT_FALSE(refused);
  EXPECT_NE(refused.error().find("坐標X"), std::string::npos) << refused.error();  // the field, in the run's charset
  EXPECT_EQ(state.game.objects.Object(5, 13)->words[kObjectX], 29);
  EXPECT_EQ(state.history.size(), 0u);

  values[9].text = "40000";  // no 16-bit word
  EXPECT_FALSE(ApplyObjectFields(state, 5, 13, values));
  values[9].text = "31";
  values[10].text = "-7";
  ASSERT_TRUE(ApplyObjectFields(state, 5, 13, values));
  EXPECT_EQ(state.game.objects.Object(5, 13)->words,
            (std::array<int16_t, 11>{1, 13, 0, 150, 0, 58, 58, 58, 0, 31, -7}));
  EXPECT_EQ(state.history.UndoCaption(), Str::StepModifyObject);
  // The same values again change nothing and make no step.
  ASSERT_TRUE(ApplyObjectFields(state, 5, 13, values));
  EXPECT_EQ(state.history.size(), 1u);
}

TEST_F(SampleObjects, EditsOutsideTheTablesAreRefused) {
  EXPECT_FALSE(AttachObjectEvent(state, 0, 5, Trigger::Action, 300));  // past the last event
  EXPECT_FALSE(AttachObjectEvent(state, 0, 5, Trigger::Action, 0));
  EXPECT_FALSE(AttachObjectEvent(state, 12, 0, Trigger::Action, 10));  // no scene 12
  EXPECT_FALSE(ClearObjectEvent(state, 0, 200, Trigger::Item));        // no object 200
  EXPECT_EQ(state.history.size(), 0u);
  EXPECT_FALSE(state.modified);
}

TEST(SceneObjectRead, AMissingPairIsAWarningAndStartsNothing) {
  SampleGameDir dir;
  std::filesystem::remove(dir / "alldef.idx");
  std::filesystem::remove(dir / "alldef.grp");
  EditorState state;
  state.programDir = TAVREL_BIN_DIR;
  ASSERT_TRUE(InitializeEditor(state, GameCharset::Big5));
  state.gameDirectory = dir.path().string();
  Result<GameReadReport> read = ReadGameFiles(state);
  ASSERT_TRUE(read) << read.error();
  std::vector<std::string> files;
  for (const FileWarning& w : read->warnings) files.push_back(w.file);
  EXPECT_EQ(files, (std::vector<std::string>{"alldef.idx", "alldef.grp"}));
  EXPECT_FALSE(state.game.objects.present);
  EXPECT_TRUE(ObjectsStartingEvent(state.game.objects, 10).empty());
  EXPECT_EQ(EventSelectorText(EventStarts(state.game.objects, state.eventCount()), state.game.names, 110), "110");
  EXPECT_FALSE(AttachObjectEvent(state, 0, 1, Trigger::Action, 10));
  // The save writes the rest and creates no object tables.
  ASSERT_TRUE(SaveGameFiles(state));
  EXPECT_FALSE(dir.Has("alldef.grp"));
}

TEST(SceneObjectRead, AShortEntryInTheGameIsAWarningAndTheOtherScenesStay) {
  SampleGameDir dir;
  Bytes grp = SampleFiles().at("alldef.grp");
  grp.erase(grp.begin() + 4400, grp.begin() + 4410);  // scene 1 ten bytes short
  Bytes idx = SampleFiles().at("alldef.idx");
  for (size_t k = 1; k < idx.size() / 4; ++k) {
    const int32_t end = ReadI32(idx, k * 4) - 10;
    for (int b = 0; b < 4; ++b) idx[k * 4 + size_t(b)] = uint8_t(uint32_t(end) >> (8 * b));
  }
  dir.Put("alldef.grp", grp);
  dir.Put("alldef.idx", idx);
  EditorState state;
  state.programDir = TAVREL_BIN_DIR;
  ASSERT_TRUE(InitializeEditor(state, GameCharset::Big5));
  state.gameDirectory = dir.path().string();
  Result<GameReadReport> read = ReadGameFiles(state);
  ASSERT_TRUE(read) << read.error();
  ASSERT_EQ(read->warnings.size(), 1u);
  EXPECT_EQ(read->warnings[0].file, "alldef.grp");
  EXPECT_TRUE(SceneObjectNumbers(state.game.objects, 1).empty());
  EXPECT_TRUE(ObjectsStartingEvent(state.game.objects, 10) ==
              (std::vector<ObjectStart>{{0, 1, Trigger::Action}}));  // scene 1's object is gone
  EXPECT_EQ(ObjectsStartingEvent(state.game.objects, 110), (std::vector<ObjectStart>{{5, 12, Trigger::Action}}));
  // An edit elsewhere keeps the short entry's bytes.
  ASSERT_TRUE(AttachObjectEvent(state, 5, 13, Trigger::Pass, 7));
  ASSERT_TRUE(SaveGameFiles(state));
  const Bytes saved = dir.Get("alldef.grp");
  ASSERT_EQ(saved.size(), grp.size());
  Bytes expected = grp;
  // Scene 5 starts at 4400 + 4390 + 3 * 4400 = 21990; object 13 word 4.
  expected[21990 + 13 * 22 + 8] = 7;
  EXPECT_EQ(saved, expected);
}

TEST(ScenesTool, PrintsEveryObjectWithItsThreeEvents) {
  SampleGameDir dir;
  const ToolRun run = Tavrel("scenes " + Quoted(dir.path().string()) + " --scene 5");
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_NE(run.out.find("scene 5 "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(": 5 objects\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("  object 12 at 28,29: action 110, item 0, pass 0\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("  object 13 at 29,33: action 0, item 150, pass 0\n"), std::string::npos) << run.out;

  const ToolRun all = Tavrel("scenes " + Quoted(dir.path().string()));
  EXPECT_EQ(all.exitCode, 0);
  EXPECT_EQ(std::count(all.out.begin(), all.out.end(), '\n'), 12 + 9 + 11 * 3) << all.out;
  EXPECT_NE(all.out.find(": 0 objects\n"), std::string::npos);  // scene 3
  EXPECT_NE(all.out.find("  object 4 at 15,16: action 4100, item 0, pass 0\n"), std::string::npos);

  EXPECT_NE(Tavrel("scenes " + Quoted(dir.path().string()) + " --scene 12 2>/dev/null").exitCode, 0);
}

}  // namespace
}  // namespace tavrel::testing
