// Saves that fail part-way: for every game file the editor writes and every
// way the file-writing layer can fail, the old files stay byte for byte, the
// failure names the file and the editor's state is as before the save.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <utility>

#include "../shared/unprivileged_user.h"
#include "app/commands.h"
#include "app/editor_state.h"
#include "app/zdat_patch.h"
#include "gamefiles/file_io.h"
#include "gamefiles/war_sta.h"
#include "sample_test_support.h"

namespace tavrel {
namespace {

using testing::FaultHookGuard;
using testing::ReadSampleGame;
using testing::SampleGameDir;
namespace fs = std::filesystem;

// Every regular file of the directory, by name.
std::map<std::string, Bytes> Snapshot(const fs::path& dir) {
  std::map<std::string, Bytes> files;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    Result<Bytes> bytes = ReadWholeFile(entry.path());
    files[entry.path().filename().string()] = bytes ? *bytes : Bytes{};
  }
  return files;
}

// Files that were there are unchanged; new ones may only be backups of them.
void ExpectOldFilesKept(const std::map<std::string, Bytes>& before, const fs::path& dir) {
  const auto after = Snapshot(dir);
  for (const auto& [name, bytes] : before) {
    auto found = after.find(name);
    ASSERT_NE(found, after.end()) << name << " disappeared";
    EXPECT_TRUE(found->second == bytes) << name << " changed";
  }
  for (const auto& [name, bytes] : after) {
    if (before.contains(name)) continue;
    ASSERT_TRUE(name.ends_with(".bak")) << "left behind: " << name;
    const std::string original = name.substr(0, name.size() - 4);
    ASSERT_TRUE(before.contains(original)) << name;
    EXPECT_TRUE(bytes == before.at(original)) << name << " is not the old file";
  }
}

// One way for the writing layer to fail, aimed at the game file `target`
// (a file name; the hook sees full paths).
struct Fault {
  std::string name;
  std::function<void(const std::string& target)> install;
};

WriteFaultHook FailStep(const std::string& step, const std::string& target) {
  return [step, target](const std::string& s, const fs::path& p) {
    return !(s == step && p.filename().string() == target);
  };
}

std::vector<Fault> Faults(size_t firstFileSize) {
  std::vector<Fault> faults;
  for (const char* step : {"create", "write", "flush", "backup", "rename"})
    faults.push_back(
        {std::string("on ") + step, [step](const std::string& t) { SetWriteFaultHook(FailStep(step, t)); }});
  // A full disk: nothing at all, one byte, part-way through the first file,
  // and part-way through the second of a pair.
  for (uint64_t n : {uint64_t(0), uint64_t(1), uint64_t(firstFileSize / 2), uint64_t(firstFileSize + 3)})
    faults.push_back({"after " + std::to_string(n) + " bytes", [n](const std::string&) { SetWriteByteLimit(n); }});
  return faults;
}

class FailingSave : public ::testing::Test {
 protected:
  SampleGameDir dir;
};

// The dialogue and event files, through the editor's save command.
struct SavedState {
  std::vector<std::string> texts;
  std::vector<Bytes> readBytes;
  std::vector<int32_t> talkOffsets, eventOffsets;
  std::vector<std::vector<int16_t>> words;
  bool modified;
  friend bool operator==(const SavedState&, const SavedState&) = default;
};
SavedState Capture(const EditorState& s) {
  SavedState c;
  for (const TalkEntry& e : s.game.talk.entries) {
    c.texts.push_back(e.text);
    c.readBytes.emplace_back(e.readBytes().begin(), e.readBytes().end());
  }
  c.talkOffsets = s.game.talk.offsets;
  c.eventOffsets = s.game.events.offsets;
  for (const KdefEvent& e : s.game.events.events) c.words.push_back(e.words);
  c.modified = s.modified;
  return c;
}

TEST_F(FailingSave, DialogueAndEventFilesStayAsTheyWereAndTheStateIsUnchanged) {
  EditorState state;
  ReadSampleGame(state, GameCharset::Big5, dir.path());
  // Edits that change the length of both pairs.
  StoreDialogue(state, 3, state.game.talk.entries[3].text.str() + "測試一下");
  AddDialogue(state);
  AddEvent(state);
  state.modified = true;

  const auto before = Snapshot(dir.path());
  // The four files in the order they are written, with their new sizes, so
  // a byte limit can run out inside each of them.
  const std::vector<std::string> targets = {"talk.idx", "talk.grp", "kdef.idx", "kdef.grp"};
  std::vector<Bytes> fresh(4);
  EncodeTalk(std::as_const(state.game.talk), state.text(), fresh[0], fresh[1]);
  EncodeEvents(std::as_const(state.game.events), fresh[2], fresh[3]);
  for (size_t k = 0; k < 4; ++k) ASSERT_NE(fresh[k], before.at(targets[k])) << targets[k] << " would not change";
  struct Case {
    std::string target;  // the file the failure hits
    std::string name;
    std::function<void()> install;
  };
  std::vector<Case> cases;
  for (const std::string& target : targets)
    for (const char* step : {"create", "write", "flush", "backup", "rename"})
      cases.push_back(
          {target, std::string("on ") + step, [step, target] { SetWriteFaultHook(FailStep(step, target)); }});
  // A full disk: at the first byte of each file, one byte into it and half way.
  uint64_t start = 0;
  for (size_t k = 0; k < 4; ++k) {
    for (uint64_t n : {start, start + 1, start + fresh[k].size() / 2})
      cases.push_back({targets[k], "after " + std::to_string(n) + " bytes", [n] { SetWriteByteLimit(n); }});
    start += fresh[k].size();
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target + " " + c.name);
    for (const auto& [name, bytes] : before) dir.Put(name, bytes);
    for (const std::string& t : targets) fs::remove(dir / (t + ".bak"));
    const SavedState kept = Capture(state);
    Status saved = Ok();
    {
      FaultHookGuard guard;
      c.install();
      saved = SaveGameFiles(state);
    }
    ASSERT_FALSE(saved) << "the fault was not reported";
    EXPECT_NE(saved.error().find((dir.path() / c.target).string()), std::string::npos) << saved.error();
    EXPECT_TRUE(Capture(state) == kept) << "the state changed";
    // All four files byte for byte as they were, whichever of them failed.
    for (const std::string& t : targets) EXPECT_EQ(dir.Get(t), before.at(t)) << t;
    ExpectOldFilesKept(before, dir.path());
  }
  // With nothing failing the save goes through and all four hold the edits.
  for (const auto& [name, bytes] : before) dir.Put(name, bytes);
  ASSERT_TRUE(SaveGameFiles(state));
  for (size_t k = 0; k < 4; ++k) {
    EXPECT_EQ(dir.Get(targets[k]), fresh[k]) << targets[k];
    EXPECT_EQ(dir.Get(targets[k] + ".bak"), before.at(targets[k])) << targets[k];
  }
}

TEST_F(FailingSave, BattleFileStaysAsItWasAndTheBattlesAreUnchanged) {
  const TextCodec& codec = testing::Big5Codec();
  Result<WarStaContents> read = ReadWarSta(dir.path(), codec);
  ASSERT_TRUE(read) << read.error();
  std::vector<BattleRecord> battles = read->battles;
  battles[0].name = "新戰";
  battles.push_back(battles[1]);
  const auto before = Snapshot(dir.path());
  for (const Fault& fault : Faults(dir.Get("war.sta").size())) {
    SCOPED_TRACE(fault.name);
    const std::vector<BattleRecord> kept = battles;
    Result<fs::path> saved = fs::path();
    {
      FaultHookGuard guard;
      fault.install("war.sta");
      saved = SaveWarSta(dir.path(), battles, codec);
    }
    ASSERT_FALSE(saved);
    EXPECT_NE(saved.error().find("war.sta"), std::string::npos) << saved.error();
    EXPECT_TRUE(battles == kept);
    ExpectOldFilesKept(before, dir.path());
  }
}

TEST_F(FailingSave, PatchedProgramDataIsPutBackWhenWritingItFails) {
  zdat::ZdatChoices choices;
  choices.memory = true;
  choices.totalMemory = "1000";
  choices.memory1 = "2000";
  choices.memory2 = "3000";
  choices.wordLimits[0] = {true, "999", false};
  const Bytes old = dir.Get("z.dat");
  const auto before = Snapshot(dir.path());
  struct Case {
    std::string name;
    std::function<void()> install;
  };
  const std::vector<Case> cases = {
      {"keeping the backup cannot create it", [] { SetWriteFaultHook(FailStep("create", "z.dat.bak")); }},
      {"keeping the backup cannot flush it", [] { SetWriteFaultHook(FailStep("flush", "z.dat.bak")); }},
      {"keeping the backup cannot rename it", [] { SetWriteFaultHook(FailStep("rename", "z.dat.bak")); }},
      {"disk full before the backup", [] { SetWriteByteLimit(0); }},
      {"writing in place fails", [] { SetWriteFaultHook(FailStep("write", "z.dat")); }},
      {"flushing in place fails", [] { SetWriteFaultHook(FailStep("flush", "z.dat")); }},
      {"in place after 5 bytes", [&] { SetWriteByteLimit(old.size() + 5); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    zdat::PatchSession session;
    zdat::PatchOutcome outcome;
    {
      FaultHookGuard guard;
      c.install();
      outcome = zdat::PatchZdat(dir.path(), choices, session);
    }
    ASSERT_FALSE(outcome.written);
    EXPECT_NE(outcome.written.error().find("z.dat"), std::string::npos) << outcome.written.error();
    EXPECT_EQ(dir.Get("z.dat"), old);
    EXPECT_NE(zdat::PatchOutcomeMessage(testing::Big5Codec(), outcome).find("z.dat"), std::string::npos);
    ExpectOldFilesKept(before, dir.path());
    std::error_code ec;
    fs::remove(dir / "z.dat.bak", ec);
  }
  // Unhindered, the same patch goes in and keeps the old file as the backup.
  zdat::PatchSession session;
  ASSERT_TRUE(zdat::PatchZdat(dir.path(), choices, session).written);
  EXPECT_NE(dir.Get("z.dat"), old);
  EXPECT_EQ(dir.Get("z.dat").size(), old.size());
  EXPECT_EQ(dir.Get("z.dat.bak"), old);
}

// Run as an ordinary user (as `nobody` when the tests run as root), whom a
// directory without write permission refuses.
TEST_F(FailingSave, ReadOnlyDirectoryRefusesTheSaveAndKeepsTheFiles) {
  EditorState state;
  ReadSampleGame(state, GameCharset::Big5, dir.path());
  StoreDialogue(state, 0, "改了");
  const auto before = Snapshot(dir.path());
  const SavedState kept = Capture(state);
  const std::string problem = testing::AsUnprivilegedUser(
      {dir.path()},
      [&] {
        fs::permissions(dir.path(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        Status saved = SaveGameFiles(state);
        fs::permissions(dir.path(), fs::perms::owner_write, fs::perm_options::add);
        ASSERT_FALSE(saved);
        EXPECT_NE(saved.error().find("talk."), std::string::npos) << saved.error();
        EXPECT_TRUE(Capture(state) == kept);
        ExpectOldFilesKept(before, dir.path());
      },
      [] { return ::testing::Test::HasFailure(); });
  EXPECT_EQ(problem, "");
}

}  // namespace
}  // namespace tavrel
