// Game directories with some files missing or short: a directory without
// dialogue opens and gets dialogue files only once dialogue is added; the
// scene and battle commands need only the files they use; object tables that
// name fewer scenes than the name tables are no damage, and only the scene
// that has no table says so.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/commands.h"
#include "app/save_plan.h"
#include "app/scene_objects.h"
#include "sample_test_support.h"
#include "tool_run.h"

namespace tavrel::testing {
namespace {

namespace fs = std::filesystem;

std::string Q(const fs::path& p) { return "'" + p.string() + "'"; }

TEST(PartialDirectories, WithoutDialogueTheGameOpensAndGetsDialogueFilesOnlyOnceItHasDialogue) {
  SampleGameDir dir;
  fs::remove(dir / "talk.idx");
  fs::remove(dir / "talk.grp");
  EditorState state;
  Result<GameReadReport> read = ReadAsItLies(state, dir.path());
  ASSERT_TRUE(read) << read.error();
  EXPECT_TRUE(state.game.talkMissing);
  EXPECT_EQ(state.talkCount(), 0);
  EXPECT_EQ(state.eventCount(), int32_t(SampleFiles().at("kdef.idx").size() / 4));
  // Said once, naming both files; no damage.
  ASSERT_EQ(read->warnings.size(), 1u);
  EXPECT_NE(read->warnings[0].message.find((dir / "talk.idx").string()), std::string::npos);
  EXPECT_NE(read->warnings[0].message.find((dir / "talk.grp").string()), std::string::npos);
  EXPECT_TRUE(state.game.damagedFiles.empty());

  AddEvent(state);
  ASSERT_TRUE(SaveGameFiles(state));
  EXPECT_FALSE(dir.Has("talk.idx"));
  EXPECT_FALSE(dir.Has("talk.grp"));

  AddDialogue(state);
  StoreDialogue(state, 0, "新");
  const SavePlan plan = PlanSave(state);
  const std::string text = SavePlanText(plan);
  EXPECT_NE(text.find("talk.idx"), std::string::npos) << text;
  ASSERT_TRUE(SaveGameFiles(state));
  ASSERT_TRUE(dir.Has("talk.idx"));
  EXPECT_EQ(dir.Get("talk.idx").size(), 4u);
  EditorState again;
  ASSERT_TRUE(ReadAsItLies(again, dir.path()));
  EXPECT_FALSE(again.game.talkMissing);
  EXPECT_EQ(again.game.talk.entries.at(0).text, "新");

  // `tavrel check` reads it without complaint about the dialogue.
  fs::remove(dir / "talk.idx");
  fs::remove(dir / "talk.grp");
  const ToolRun check = RunTool("check " + Q(dir.path()) + " 2>&1");
  EXPECT_EQ(check.out.find("round trip: talk"), std::string::npos) << check.out;
}

TEST(PartialDirectories, SceneAndBattleCommandsNeedNeitherDialogueNorEvents) {
  SampleGameDir dir;
  for (const char* name : {"talk.idx", "talk.grp", "kdef.idx", "kdef.grp"}) fs::remove(dir / name);
  const ToolRun scenes = RunTool("--language en scenes " + Q(dir.path()) + " 2>&1");
  EXPECT_EQ(scenes.exitCode, 0) << scenes.out;
  EXPECT_NE(scenes.out.find("scene 0"), std::string::npos) << scenes.out;
  const ToolRun battle = RunTool("render-battle " + Q(dir.path()) + " 0 -o " + Q(dir / "battle.png") + " 2>&1");
  EXPECT_EQ(battle.exitCode, 0) << battle.out;
  EXPECT_TRUE(dir.Has("battle.png"));
  // The editor itself needs the events.
  EditorState state;
  Result<GameReadReport> read = ReadAsItLies(state, dir.path());
  ASSERT_FALSE(read);
  EXPECT_NE(read.error().find("kdef.idx"), std::string::npos) << read.error();
}

// Object tables for fewer scenes than the names hold, three ways: tables cut
// at a scene, an index for fewer scenes than its data holds, an index naming
// scenes past its data. No warning at the read or in the tool; the scene
// without a table says so where it is shown; a save leaves the tables.
TEST(PartialDirectories, ObjectTablesForFewerScenesAreNoDamageAndTheSceneWithoutATableSaysSo) {
  const Bytes idx = SampleFiles().at("alldef.idx");
  const Bytes grp = SampleFiles().at("alldef.grp");
  const size_t scenes = idx.size() / 4;
  ASSERT_GE(scenes, 3u);
  const size_t kept = scenes - 2;
  const size_t keptBytes = kept * kSceneTableBytes;
  Bytes longer = Bytes(idx.begin(), idx.begin() + ptrdiff_t(kept * 4));
  for (size_t k = kept; k < scenes; ++k) AppendI32(longer, int32_t(keptBytes + (k - kept + 1) * kSceneTableBytes));
  struct Case {
    const char* what;
    Bytes idx, grp;
    size_t trailing;  // bytes after the last table
  };
  const Case cases[] = {
      {"cut at a scene", Bytes(idx.begin(), idx.begin() + ptrdiff_t(kept * 4)),
       Bytes(grp.begin(), grp.begin() + ptrdiff_t(keptBytes)), 0},
      {"index for fewer scenes", Bytes(idx.begin(), idx.begin() + ptrdiff_t(kept * 4)), grp, grp.size() - keptBytes},
      {"index past the data", longer, Bytes(grp.begin(), grp.begin() + ptrdiff_t(keptBytes)), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SampleGameDir dir;
    dir.Put("alldef.idx", c.idx);
    dir.Put("alldef.grp", c.grp);
    EditorState state;
    Result<GameReadReport> read = ReadAsItLies(state, dir.path());
    ASSERT_TRUE(read) << read.error();
    EXPECT_EQ(ReadWarningsMessage(*read), "");
    ASSERT_GT(state.game.names.scenes.size(), kept);
    EXPECT_EQ(ListedSceneCount(state),
              std::max<int32_t>(int32_t(state.game.names.scenes.size()), state.game.objects.sceneCount()));
    EXPECT_EQ(SceneWithoutTableNote(state, 0), "");
    EXPECT_EQ(SceneWithoutTableNote(state, int32_t(kept) - 1), "");
    const std::string note = SceneWithoutTableNote(state, int32_t(kept));
    EXPECT_NE(note.find("alldef.grp"), std::string::npos) << note;
    EXPECT_NE(note.find(std::to_string(kept - 1)), std::string::npos) << note;
    if (c.trailing > 0) {
      EXPECT_NE(note.find(std::to_string(c.trailing)), std::string::npos) << note;
    }
    EXPECT_FALSE(SceneWithoutTableNote(state, int32_t(state.game.names.scenes.size()) - 1).empty());

    const ToolRun tool = RunTool("--language en scenes " + Q(dir.path()) + " 2>&1");
    EXPECT_EQ(tool.exitCode, 0) << tool.out;
    EXPECT_EQ(tool.out.find("warning"), std::string::npos) << tool.out;

    AddDialogue(state);
    ASSERT_TRUE(SaveGameFiles(state));
    EXPECT_EQ(dir.Get("alldef.idx"), c.idx);
    EXPECT_EQ(dir.Get("alldef.grp"), c.grp);
  }
}

}  // namespace
}  // namespace tavrel::testing
