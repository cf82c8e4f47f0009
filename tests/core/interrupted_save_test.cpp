// Saves cut off at every instant. A child process runs the save and ends
// (from the write hook, as a crash, a kill or a power loss would) before one
// of its steps; then the directory is opened again as the next run opens it.
// It must hold the whole old game or the whole new game, byte for byte, with
// no file left over, and say which in one message.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/editor_state.h"
#include "app/zdat_patch.h"
#include "gamefiles/save_journal.h"
#include "gamefiles/save_recovery.h"
#include "gamefiles/war_sta.h"
#include "sample_test_support.h"
#include "save_cutoff_support.h"
#include "text/ui_strings.h"
#include "tool_run.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;
using testing::CutOffAt;
using testing::Differences;
using testing::DirFiles;
using testing::kCutOff;
using testing::Lay;
using testing::ReadSampleGame;
using testing::SampleGameDir;
using testing::ScratchDir;
using testing::Snapshot;

// The files the save writes: alldef.idx keeps its bytes (no table changed
// size), so it is not written.
const std::vector<std::string> kGroup = {"talk.idx", "talk.grp",  "kdef.idx",  "kdef.grp",
                                         "hdgrp.idx", "hdgrp.grp", "alldef.grp"};
const std::string kGroupList = "talk.idx, talk.grp, kdef.idx, kdef.grp, hdgrp.idx, hdgrp.grp, alldef.grp";

bool Journalled(const ScratchDir& dir) {
  return dir.Has(kSaveJournalName) || dir.Has(std::string(kSaveJournalName) + ".tmp");
}

// The editor's save of seven files: dialogue and events, a portrait and
// a scene object changed; two older backup generations already lie there.
class InterruptedSave : public ::testing::Test {
 protected:
  void SetUp() override {
    ReadSampleGame(state, GameCharset::Big5, dir.path());
    StoreDialogue(state, 3, state.game.talk.entries[3].text.str() + "測試一下");
    AddDialogue(state);
    AddEvent(state);
    state.game.portraits[0] = state.game.portraits[1];
    state.game.objects.scenes[0].objects[5].words[size_t(TriggerWord(Trigger::Action))] = 34;
    state.modified = true;
    ASSERT_TRUE(PortraitsChanged(state.game));
    ASSERT_TRUE(SceneObjectsChanged(state));
    dir.Put("talk.grp.bak", {1, 2, 3});
    dir.Put("talk.grp.bak2", {4, 5});
    dir.Put("kdef.idx.bak", {6});
    before = Snapshot(dir.path());
    calls = testing::HookCallsOf(Save(), scratch / "steps");
    ASSERT_FALSE(calls.empty()) << "the save without a stop";
    after = Snapshot(dir.path());
    Lay(dir, before);
  }
  // The number (from 1) of the hook's `n`-th call for `step`.
  int CallOf(const std::string& step, int n) const {
    for (size_t k = 0; k < calls.size(); ++k)
      if (calls[k].step == step && --n == 0) return int(k) + 1;
    return 0;
  }
  std::function<bool()> Save() {
    return [this] { return bool(SaveGameFiles(state)); };
  }
  std::string Finished() const {
    return FormatInterfaceString(Str::SaveRecoveredFinished, dir.path().string(), kGroupList);
  }
  std::string Undone() const {
    return FormatInterfaceString(Str::SaveRecoveredUndone, dir.path().string(), kGroupList);
  }

  SampleGameDir dir;
  ScratchDir scratch;
  EditorState state;
  DirFiles before, after;
  std::vector<testing::HookCall> calls;  // of the whole save
};

TEST_F(InterruptedSave, TheWholeSaveReplacesEveryFileAndMovesTheBackupsOn) {
  for (const std::string& name : kGroup) {
    EXPECT_NE(after.at(name), before.at(name)) << name;
    EXPECT_EQ(after.at(name + ".bak"), before.at(name)) << name;
  }
  EXPECT_EQ(after.at("alldef.idx"), before.at("alldef.idx"));
  EXPECT_FALSE(after.contains("alldef.idx.bak"));
  EXPECT_EQ(after.at("talk.grp.bak2"), Bytes({1, 2, 3}));
  EXPECT_EQ(after.at("talk.grp.bak3"), Bytes({4, 5}));
  EXPECT_EQ(after.at("kdef.idx.bak2"), Bytes({6}));
  // Five first backups and two older generations; nothing else.
  EXPECT_EQ(after.size(), before.size() + 5 + 2) << Differences(after, before);
  // The steps: the journal, three for each new copy, one for each old copy
  // and rename, a move for each backup generation, the journal's removal.
  std::map<std::string, int> count;
  for (const testing::HookCall& call : calls) ++count[call.step];
  const std::map<std::string, int> expected = {{"journal-create", 1}, {"journal-write", 1}, {"journal-flush", 1},
                                               {"journal-place", 1},  {"create", 7},        {"write", 7},
                                               {"flush", 7},          {"backup", 7},        {"rename", 7},
                                               {"rotate", 7 + 2 + 1}, {"journal-remove", 1}};
  EXPECT_EQ(count, expected);
  EXPECT_EQ(calls.front().step, "journal-create");
  EXPECT_EQ(calls.back().step, "journal-remove");
}

TEST_F(InterruptedSave, AStopBeforeAnyStepLeavesTheOldOrTheNewGame) {
  int olds = 0, news = 0;
  const int steps = int(calls.size());
  for (int k = 1; k <= steps + 1; ++k) {
    SCOPED_TRACE("stopped at step " + std::to_string(k));
    Lay(dir, before);
    const int end = CutOffAt(k, Save());
    if (k > steps) {
      EXPECT_EQ(end, 0);
      break;
    }
    ASSERT_EQ(end, kCutOff);
    const bool journalled = Journalled(dir);
    const bool placed = dir.Has(kSaveJournalName);
    if (!journalled) {
      const DirFiles found = Snapshot(dir.path());
      ASSERT_TRUE(found == before || found == after) << "without a journal:" << Differences(found, before);
    }
    Result<std::string> recovered = RecoverInterruptedSave(dir.path());
    ASSERT_TRUE(recovered) << recovered.error();
    EXPECT_EQ(!recovered->empty(), journalled) << *recovered;
    const DirFiles now = Snapshot(dir.path());
    if (now == after) {
      ++news;
      if (journalled) {
        EXPECT_TRUE(recovered->starts_with(Finished())) << *recovered;
      }
    } else {
      ASSERT_TRUE(now == before) << "neither game:" << Differences(now, before);
      EXPECT_EQ(news, 0) << "an earlier stop gave the new game already";
      ++olds;
      if (placed) {
        EXPECT_TRUE(recovered->starts_with(Undone())) << *recovered;
      } else if (journalled) {
        EXPECT_EQ(*recovered, FormatInterfaceString(Str::SaveNeverStarted, dir.path().string(),
                                                    std::string(kSaveJournalName) + ".tmp"));
      }
    }
    // The directory opens as the game it holds, without a warning.
    if ((now == after && news == 1) || (now == before && olds == 1)) {
      EditorState reopened;
      ReadSampleGame(reopened, GameCharset::Big5, dir.path());
    }
  }
  EXPECT_GT(olds, 0);
  EXPECT_GT(news, 0);
}

// A power loss can leave a file that was being written cut short: a new
// copy or the journal at half its length when the flush was due.
TEST_F(InterruptedSave, ANewCopyOrAJournalCutShortUndoesTheSave) {
  const testing::Tear halve = [](const std::string& step, const fs::path& path) {
    fs::path written = path;
    written += ".tmp";
    if (step == "journal-flush") {
      written = SaveJournalPath(path.parent_path());
      written += ".tmp";
    } else if (step != "flush") {
      return;
    }
    fs::resize_file(written, fs::file_size(written) / 2);
    _exit(kCutOff + 1);
  };
  int torn = 0;
  for (int k = 1; k <= int(calls.size()); ++k) {
    if (calls[size_t(k) - 1].step != "flush" && calls[size_t(k) - 1].step != "journal-flush") continue;
    SCOPED_TRACE("stopped at step " + std::to_string(k));
    Lay(dir, before);
    ASSERT_EQ(CutOffAt(k, Save(), halve), kCutOff + 1);
    ++torn;
    Result<std::string> recovered = RecoverInterruptedSave(dir.path());
    ASSERT_TRUE(recovered) << recovered.error();
    const DirFiles now = Snapshot(dir.path());
    ASSERT_TRUE(now == before) << Differences(now, before);
    if (torn == 1) {
      EXPECT_EQ(*recovered, FormatInterfaceString(Str::SaveNeverStarted, dir.path().string(),
                                                  std::string(kSaveJournalName) + ".tmp"));
    } else {
      EXPECT_TRUE(recovered->starts_with(Undone())) << *recovered;
    }
  }
  EXPECT_EQ(torn, 1 + int(kGroup.size()));  // the journal and each new copy
}

// The tool settles the save before it reads, and says so first.
TEST_F(InterruptedSave, TheToolSettlesItBeforeReading) {
  // Stopped before the second rename: talk.idx new beside the old talk.grp.
  ASSERT_EQ(CutOffAt(CallOf("rename", 2), Save()), kCutOff);
  ASSERT_NE(dir.Get("talk.idx"), before.at("talk.idx"));
  ASSERT_EQ(dir.Get("talk.grp"), before.at("talk.grp"));
  testing::ToolRun run = testing::RunTool("--language en check '" + dir.path().string() + "' 2>&1");
  EXPECT_EQ(run.exitCode, 0) << run.out;
  SetInterfaceLanguage(InterfaceLanguage::English);
  const std::string message = Finished();
  SetInterfaceLanguage(InterfaceLanguage::Chinese);
  EXPECT_TRUE(run.out.starts_with(message)) << run.out;
  EXPECT_TRUE(Snapshot(dir.path()) == after) << Differences(Snapshot(dir.path()), after);
  // Nothing left to say at the next open.
  run = testing::RunTool("--language en check '" + dir.path().string() + "' 2>&1");
  EXPECT_EQ(run.out.find("cut off"), std::string::npos) << run.out;
}

// A recovery can be stopped too: the next one takes it up and ends the same.
TEST(InterruptedRecovery, ARecoveryStoppedAtAnyStepIsTakenUpByTheNext) {
  ScratchDir dir;
  const DirFiles before = {{"a.idx", {1, 2, 3, 4}}, {"a.grp", {9, 9, 9}}, {"a.grp.bak", {7}}, {"other", {5}}};
  const std::vector<FileWrite> files = {
      {dir / "a.idx", {4, 3, 2, 1, 0}}, {dir / "a.grp", {8}}, {dir / "b.new", {6, 6}}};
  const auto save = [&] { return bool(WriteFilesAtomic(files)); };
  const auto recover = [&] { return bool(RecoverInterruptedSave(dir.path())); };
  Lay(dir, before);
  ASSERT_EQ(CutOffAt(1 << 20, save), 0);
  const DirFiles after = Snapshot(dir.path());
  const DirFiles expected = {
      {"a.idx", {4, 3, 2, 1, 0}}, {"a.grp", {8}},      {"b.new", {6, 6}}, {"a.idx.bak", {1, 2, 3, 4}},
      {"a.grp.bak", {9, 9, 9}},   {"a.grp.bak2", {7}}, {"other", {5}}};
  ASSERT_TRUE(after == expected) << Differences(after, expected);
  int tried = 0;
  for (int k = 1;; ++k) {
    Lay(dir, before);
    const int end = CutOffAt(k, save);
    if (end == 0) break;
    ASSERT_EQ(end, kCutOff);
    const DirFiles cut = Snapshot(dir.path());
    for (int j = 1;; ++j) {
      SCOPED_TRACE("save stopped at " + std::to_string(k) + ", recovery at " + std::to_string(j));
      Lay(dir, cut);
      const int recovered = CutOffAt(j, recover);
      if (recovered == 0) break;
      ASSERT_EQ(recovered, kCutOff);
      ++tried;
      Result<std::string> again = RecoverInterruptedSave(dir.path());
      ASSERT_TRUE(again) << again.error();
      const DirFiles now = Snapshot(dir.path());
      ASSERT_TRUE(now == before || now == after) << Differences(now, before) << " /" << Differences(now, after);
    }
  }
  EXPECT_GT(tried, 20);
}

// A save of a pair whose index was read with damage, cut off at every step:
// the damaged original never takes the place of a backup, whichever way the
// save is settled.
TEST(InterruptedRecovery, ADamagedOriginalNeverPushesOutABackupAtAnyStep) {
  ScratchDir dir;
  const DirFiles before = {{"talk.idx", {}},
                           {"talk.grp", {1, 2, 3}},
                           {"talk.idx.bak", {4, 0, 0, 0}},
                           {"talk.grp.bak", {1, 2}},
                           {"talk.idx.damaged", {9}}};
  std::vector<FileWrite> files = {{dir / "talk.idx", {3, 0, 0, 0}}, {dir / "talk.grp", {1, 2, 3}}};
  files[0].inputDamaged = true;
  const auto save = [&] { return bool(WriteFilesAtomic(files)); };
  const DirFiles after = {{"talk.idx", {3, 0, 0, 0}},  {"talk.grp", {1, 2, 3}},   {"talk.idx.bak", {4, 0, 0, 0}},
                          {"talk.grp.bak", {1, 2, 3}}, {"talk.grp.bak2", {1, 2}}, {"talk.idx.damaged", {9}},
                          {"talk.idx.damaged2", {}}};
  Lay(dir, before);
  ASSERT_EQ(CutOffAt(1 << 20, save), 0);
  ASSERT_TRUE(Snapshot(dir.path()) == after) << Differences(Snapshot(dir.path()), after);
  int olds = 0, news = 0;
  for (int k = 1;; ++k) {
    SCOPED_TRACE("stopped at step " + std::to_string(k));
    Lay(dir, before);
    const int end = CutOffAt(k, save);
    if (end == 0) break;
    ASSERT_EQ(end, kCutOff);
    Result<std::string> recovered = RecoverInterruptedSave(dir.path());
    ASSERT_TRUE(recovered) << recovered.error();
    const DirFiles now = Snapshot(dir.path());
    ASSERT_TRUE(now == before || now == after) << Differences(now, before) << " /" << Differences(now, after);
    ++(now == before ? olds : news);
  }
  EXPECT_GT(olds, 0);
  EXPECT_GT(news, 0);
}

// The battle editor's save of war.sta, a group of one with its backups.
TEST(InterruptedBattleSave, TheBattleListIsTheOldOrTheNewOne) {
  SampleGameDir dir;
  Result<WarStaContents> read = ReadWarSta(dir.path(), testing::Big5Codec());
  ASSERT_TRUE(read) << read.error();
  std::vector<BattleRecord> battles = read->battles;
  battles[0].name = "新戰";
  dir.Put("war.sta.bak", {1});
  const auto save = [&] { return bool(SaveWarSta(dir.path(), battles, testing::Big5Codec())); };
  const DirFiles before = Snapshot(dir.path());
  ASSERT_EQ(CutOffAt(1 << 20, save), 0);
  const DirFiles after = Snapshot(dir.path());
  ASSERT_EQ(after.at("war.sta.bak"), before.at("war.sta"));
  ASSERT_EQ(after.at("war.sta.bak2"), Bytes({1}));
  int k = 1;
  for (;; ++k) {
    SCOPED_TRACE("stopped at step " + std::to_string(k));
    Lay(dir, before);
    const int end = CutOffAt(k, save);
    if (end == 0) break;
    ASSERT_EQ(end, kCutOff);
    ASSERT_TRUE(RecoverInterruptedSave(dir.path()));
    const DirFiles now = Snapshot(dir.path());
    ASSERT_TRUE(now == before || now == after) << Differences(now, after);
  }
  EXPECT_GT(k, 10);
}

// z.dat is patched in place: a stop part-way through the runs is finished
// from the journal; its backup is whole or not there.
TEST(InterruptedPatch, ThePatchedProgramDataIsWholeBeforeOrAfter) {
  SampleGameDir dir;
  zdat::ZdatChoices choices;
  choices.memory = true;
  choices.totalMemory = "1000";
  choices.memory1 = "2000";
  choices.memory2 = "3000";
  choices.wordLimits[0] = {true, "999", false};
  const auto patch = [&] {
    zdat::PatchSession session;
    return bool(zdat::PatchZdat(dir.path(), choices, session).written);
  };
  const DirFiles before = Snapshot(dir.path());
  ASSERT_EQ(CutOffAt(1 << 20, patch), 0);
  const DirFiles after = Snapshot(dir.path());
  ASSERT_NE(after.at("z.dat"), before.at("z.dat"));
  ASSERT_EQ(after.at("z.dat.bak"), before.at("z.dat"));
  DirFiles backedUp = before;  // the backup kept, the patch not begun
  backedUp["z.dat.bak"] = before.at("z.dat");
  int finished = 0;
  for (int k = 1;; ++k) {
    SCOPED_TRACE("stopped at step " + std::to_string(k));
    Lay(dir, before);
    const int end = CutOffAt(k, patch);
    if (end == 0) break;
    ASSERT_EQ(end, kCutOff);
    const bool midPatch = dir.Has(kSaveJournalName) && dir.Get("z.dat") != before.at("z.dat");
    Result<std::string> recovered = RecoverInterruptedSave(dir.path());
    ASSERT_TRUE(recovered) << recovered.error();
    const DirFiles now = Snapshot(dir.path());
    ASSERT_TRUE(now == before || now == backedUp || now == after) << Differences(now, after);
    if (midPatch) {
      ++finished;
      EXPECT_TRUE(now == after);
      EXPECT_EQ(*recovered, FormatInterfaceString(Str::SaveRecoveredFinished, dir.path().string(), "z.dat"));
    }
  }
  EXPECT_GT(finished, 0) << "no stop fell between two runs";
}

}  // namespace
}  // namespace tavrel
