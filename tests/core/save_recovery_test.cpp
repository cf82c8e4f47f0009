// The recovery of an interrupted save when something is wrong: a journal
// cut short, damaged or lying, a file changed since, a recovery that cannot
// write; the backup generations a save keeps; and a journal in the way of a
// new save.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>

#include <fstream>
#include <string>
#include <vector>

#include "../shared/unprivileged_user.h"
#include "base/crc32.h"
#include "gamefiles/save_journal.h"
#include "gamefiles/save_recovery.h"
#include "save_cutoff_support.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;
using testing::CutOffAt;
using testing::Differences;
using testing::DirFiles;
using testing::FaultHookGuard;
using testing::kCutOff;
using testing::Lay;
using testing::ScratchDir;
using testing::Snapshot;

const DirFiles kBefore = {{"a.idx", {1, 2, 3, 4}}, {"a.grp", {9, 9, 9}}, {"a.grp.bak", {7}}};

// A pair save stopped after its first rename: a.idx new, a.grp old.
class MixedPair : public ::testing::Test {
 protected:
  void SetUp() override {
    files = {{dir / "a.idx", {4, 3, 2, 1, 0}}, {dir / "a.grp", {8}}};
    for (int k = 1;; ++k) {
      Lay(dir, kBefore);
      ASSERT_EQ(CutOffAt(k, [&] { return bool(WriteFilesAtomic(files)); }), kCutOff) << "never mixed";
      if (dir.Get("a.idx") == files[0].bytes && dir.Get("a.grp") == kBefore.at("a.grp")) break;
    }
    cut = Snapshot(dir.path());
    journal = cut.at(kSaveJournalName);
  }
  // The recovery changed nothing but moving the journal aside, and said why.
  void ExpectDistrusted(const std::string& reason) {
    Result<std::string> recovered = RecoverInterruptedSave(dir.path());
    ASSERT_TRUE(recovered) << recovered.error();
    EXPECT_EQ(*recovered, FormatInterfaceString(Str::SaveJournalUntrusted, dir.path().string(), reason,
                                                std::string(kSaveJournalName) + ".damaged"));
    DirFiles expected = cut;
    expected[std::string(kSaveJournalName) + ".damaged"] = expected.at(kSaveJournalName);
    expected.erase(kSaveJournalName);
    const DirFiles now = Snapshot(dir.path());
    EXPECT_TRUE(now == expected) << Differences(now, expected);
  }
  void PutJournal(const Bytes& bytes) {
    Lay(dir, cut);
    dir.Put(kSaveJournalName, bytes);
    cut[kSaveJournalName] = bytes;
  }

  ScratchDir dir;
  std::vector<FileWrite> files;
  DirFiles cut;
  Bytes journal;
};

TEST_F(MixedPair, ASoundJournalWithWholeNewCopiesFinishesTheSave) {
  ASSERT_TRUE(dir.Has("a.grp.tmp")) << "the second new copy was written";
  Result<std::string> recovered = RecoverInterruptedSave(dir.path());
  ASSERT_TRUE(recovered) << recovered.error();
  // Every new copy was whole: the save is finished.
  EXPECT_EQ(dir.Get("a.idx"), files[0].bytes);
  EXPECT_EQ(dir.Get("a.grp"), files[1].bytes);
  EXPECT_EQ(dir.Get("a.grp.bak2"), Bytes({7}));
  EXPECT_EQ(dir.Get("a.grp.bak"), Bytes({9, 9, 9}));
  EXPECT_EQ(dir.Get("a.idx.bak"), Bytes({1, 2, 3, 4}));
  EXPECT_EQ(Snapshot(dir.path()).size(), 5u) << "no copy is left";
  EXPECT_EQ(*recovered, FormatInterfaceString(Str::SaveRecoveredFinished, dir.path().string(), "a.idx, a.grp"));
}

TEST_F(MixedPair, ALostNewCopyPutsTheOldPairBackAndSaysWhatWasRemoved) {
  fs::resize_file(dir / "a.grp.tmp", 0);
  cut = Snapshot(dir.path());
  Result<std::string> recovered = RecoverInterruptedSave(dir.path());
  ASSERT_TRUE(recovered) << recovered.error();
  const DirFiles now = Snapshot(dir.path());
  EXPECT_TRUE(now == kBefore) << Differences(now, kBefore);
  EXPECT_EQ(*recovered, FormatInterfaceString(Str::SaveRecoveredUndone, dir.path().string(), "a.idx, a.grp") + "\n" +
                            FormatInterfaceString(Str::SaveRecoveredLeftovers, "a.grp.tmp, a.grp.old"));
}

TEST_F(MixedPair, AJournalCutShortOrChangedAnywhereChangesNoFile) {
  for (size_t n = 0; n < journal.size(); n += 7) {
    SCOPED_TRACE("cut to " + std::to_string(n));
    PutJournal(Bytes(journal.begin(), journal.begin() + ptrdiff_t(n)));
    ExpectDistrusted(ParseSaveJournal(cut.at(kSaveJournalName)).error());
  }
  for (size_t k = 0; k < journal.size(); k += 5) {
    SCOPED_TRACE("byte " + std::to_string(k));
    Bytes changed = journal;
    changed[k] ^= 0x04;
    PutJournal(changed);
    Result<SaveJournal> refused = ParseSaveJournal(changed);
    ASSERT_FALSE(refused);
    ExpectDistrusted(refused.error());
  }
}

TEST_F(MixedPair, AJournalThatIsTooLargeIsNotRead) {
  PutJournal(Bytes(kMaxSaveJournalBytes + 10, 'x'));
  ExpectDistrusted(FormatInterfaceString(Str::JournalTooLarge, kMaxSaveJournalBytes + 10));
}

// Sealed with a right checksum, but naming files that hold something else.
TEST_F(MixedPair, AJournalThatDisagreesWithTheFilesChangesNoFile) {
  Result<SaveJournal> parsed = ParseSaveJournal(journal);
  ASSERT_TRUE(parsed) << parsed.error();
  SaveJournal lying = *parsed;
  lying.files[1].oldCrc ^= 1;  // a.grp holds neither its old nor its new contents
  const std::string lyingText = EncodeSaveJournal(lying);
  PutJournal(Bytes(lyingText.begin(), lyingText.end()));
  ExpectDistrusted(FormatInterfaceString(Str::RecoveryFileNeither, (dir / "a.grp").string()));

  // A file changed by someone else since the stop.
  PutJournal(journal);
  dir.Put("a.grp", {5, 5, 5, 5});
  cut["a.grp"] = {5, 5, 5, 5};
  ExpectDistrusted(FormatInterfaceString(Str::RecoveryFileNeither, (dir / "a.grp").string()));

  // The old copy of a replaced file is gone: it could not be put back.
  PutJournal(journal);
  dir.Put("a.grp", kBefore.at("a.grp"));
  cut["a.grp"] = kBefore.at("a.grp");
  fs::resize_file(dir / "a.grp.tmp", 0);
  cut["a.grp.tmp"] = dir.Get("a.grp.tmp");
  fs::remove(dir / "a.idx.old");
  cut.erase("a.idx.old");
  ExpectDistrusted(FormatInterfaceString(Str::RecoveryOldCopyIncomplete, (dir / "a.idx.old").string()));
}

TEST_F(MixedPair, AnEarlierDamagedJournalIsKeptUnderAnotherName) {
  Bytes changed = journal;
  changed[3] ^= 1;
  PutJournal(changed);
  dir.Put(std::string(kSaveJournalName) + ".damaged", {1});
  ASSERT_TRUE(RecoverInterruptedSave(dir.path()));
  EXPECT_EQ(dir.Get(std::string(kSaveJournalName) + ".damaged"), Bytes({1}));
  EXPECT_EQ(dir.Get(std::string(kSaveJournalName) + ".damaged2"), changed);
}

TEST_F(MixedPair, ANewSaveWaitsForTheRecovery) {
  Status saved = WriteFilesAtomic({{dir / "b.idx", {1}}});
  ASSERT_FALSE(saved);
  EXPECT_NE(saved.error().find(FormatInterfaceString(Str::SaveJournalPresent, (dir / kSaveJournalName).string())),
            std::string::npos)
      << saved.error();
  const DirFiles now = Snapshot(dir.path());
  EXPECT_TRUE(now == cut) << Differences(now, cut);
}

// A step of the recovery that fails (here refused by the hook) keeps the
// journal and says the directory was not read; the next open finishes.
TEST_F(MixedPair, ARecoveryThatCannotWriteKeepsTheJournalForTheNextOpen) {
  {
    FaultHookGuard guard;
    SetWriteFaultHook([](const std::string& step, const fs::path&) { return step != "rotate"; });
    Result<std::string> failed = RecoverInterruptedSave(dir.path());
    ASSERT_FALSE(failed);
    EXPECT_NE(failed.error().find(dir.path().string()), std::string::npos) << failed.error();
    EXPECT_TRUE(dir.Has(kSaveJournalName));
  }
  ASSERT_TRUE(RecoverInterruptedSave(dir.path()));
  EXPECT_EQ(dir.Get("a.idx"), files[0].bytes);
  EXPECT_EQ(dir.Get("a.grp"), files[1].bytes);
  EXPECT_FALSE(dir.Has(kSaveJournalName));
}

// As an ordinary user: a directory that cannot be written cannot be
// recovered; nothing is read or changed, and the same recovery succeeds
// once it can write.
TEST_F(MixedPair, ARecoveryInAReadOnlyDirectoryChangesNothing) {
  const std::string problem = testing::AsUnprivilegedUser(
      {dir.path()},
      [&] {
        fs::permissions(dir.path(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        Result<std::string> refused = RecoverInterruptedSave(dir.path());
        fs::permissions(dir.path(), fs::perms::owner_write, fs::perm_options::add);
        ASSERT_FALSE(refused);
        const DirFiles now = Snapshot(dir.path());
        EXPECT_TRUE(now == cut) << Differences(now, cut);
        ASSERT_TRUE(RecoverInterruptedSave(dir.path()));
        EXPECT_EQ(dir.Get("a.grp"), files[1].bytes);
      },
      [] { return ::testing::Test::HasFailure(); });
  EXPECT_EQ(problem, "");
}

TEST(SaveRecovery, NothingToDoSaysNothing) {
  ScratchDir dir;
  Lay(dir, kBefore);
  dir.Put("a.grp.tmp", {1});  // not this program's to judge without a journal
  Result<std::string> recovered = RecoverInterruptedSave(dir.path());
  ASSERT_TRUE(recovered);
  EXPECT_EQ(*recovered, "");
  EXPECT_TRUE(dir.Has("a.grp.tmp"));
}

TEST(BackupGenerations, ThreeAreKeptAndTheOldestDropsOut) {
  ScratchDir dir;
  dir.Put("war.sta", {0});
  for (uint8_t n = 1; n <= 5; ++n) ASSERT_TRUE(WriteFileAtomic(dir / "war.sta", Bytes{n}));
  EXPECT_EQ(dir.Get("war.sta"), Bytes({5}));
  EXPECT_EQ(dir.Get("war.sta.bak"), Bytes({4}));
  EXPECT_EQ(dir.Get("war.sta.bak2"), Bytes({3}));
  EXPECT_EQ(dir.Get("war.sta.bak3"), Bytes({2}));
  EXPECT_FALSE(dir.Has("war.sta.bak4"));
  EXPECT_EQ(Snapshot(dir.path()).size(), 4u);
}

// A file read with damage that the user agreed to replace: its damaged
// original is kept beside it, and the backups of good saves stay.
TEST(BackupGenerations, ADamagedOriginalNeverPushesOutABackup) {
  ScratchDir dir;
  dir.Put("talk.idx", {});  // empty beside data: damaged
  dir.Put("talk.grp", {1, 2, 3});
  dir.Put("talk.idx.bak", {4, 0, 0, 0});
  dir.Put("talk.grp.bak", {1, 2, 3});
  std::vector<FileWrite> files = {{dir / "talk.idx", {3, 0, 0, 0}}, {dir / "talk.grp", {1, 2, 3}}};
  files[0].inputDamaged = true;
  ASSERT_TRUE(WriteFilesAtomic(files));
  EXPECT_EQ(dir.Get("talk.idx"), Bytes({3, 0, 0, 0}));
  EXPECT_EQ(dir.Get("talk.idx.bak"), Bytes({4, 0, 0, 0}));
  EXPECT_FALSE(dir.Has("talk.idx.bak2"));
  EXPECT_TRUE(dir.Has("talk.idx.damaged"));
  EXPECT_TRUE(dir.Get("talk.idx.damaged").empty());
  EXPECT_EQ(dir.Get("talk.grp.bak2"), Bytes({1, 2, 3}));  // the sound partner moves on as usual
  // A second damaged save keeps both damaged originals.
  dir.Put("talk.idx", {0xFF});
  ASSERT_TRUE(WriteFilesAtomic(files));
  EXPECT_TRUE(dir.Get("talk.idx.damaged").empty());
  EXPECT_EQ(dir.Get("talk.idx.damaged2"), Bytes({0xFF}));
  EXPECT_EQ(dir.Get("talk.idx.bak"), Bytes({4, 0, 0, 0}));
}

// Where the old file cannot be given a second name (a file system without
// hard links; here a file of another owner, which the kernel refuses to link
// for an ordinary user), the old copy is written out: the backup is the
// old bytes in a file of its own. Only root can leave a file of its own in
// a directory of nobody's, so elsewhere this cannot be set up.
TEST(BackupGenerations, AnOldFileThatCannotBeLinkedIsCopied) {
  std::ifstream protection("/proc/sys/fs/protected_hardlinks");
  int protectedLinks = 0;
  protection >> protectedLinks;
  if (geteuid() != 0 || protectedLinks != 1) GTEST_SKIP() << "needs root and fs.protected_hardlinks = 1";
  ScratchDir dir;
  dir.Put("war.sta", {1, 2, 3});
  dir.Put("war.sta.bak", {9});
  const passwd* nobody = getpwnam("nobody");
  ASSERT_NE(nobody, nullptr);
  ASSERT_EQ(lchown(dir.path().c_str(), nobody->pw_uid, nobody->pw_gid), 0);
  struct stat old {};
  ASSERT_EQ(stat((dir / "war.sta").c_str(), &old), 0);
  const std::string problem = testing::AsUnprivilegedUser(
      {},
      [&] {
        ASSERT_EQ(link((dir / "war.sta").c_str(), (dir / "probe").c_str()), -1) << "the kernel allowed the link";
        Status saved = WriteFileAtomic(dir / "war.sta", Bytes{4, 5});
        ASSERT_TRUE(saved) << saved.error();
        const DirFiles expected = {{"war.sta", {4, 5}}, {"war.sta.bak", {1, 2, 3}}, {"war.sta.bak2", {9}}};
        EXPECT_TRUE(Snapshot(dir.path()) == expected) << Differences(Snapshot(dir.path()), expected);
        struct stat kept {};
        ASSERT_EQ(stat((dir / "war.sta.bak").c_str(), &kept), 0);
        EXPECT_NE(kept.st_ino, old.st_ino) << "the backup is the old file itself, not a copy";
      },
      [] { return ::testing::Test::HasFailure(); });
  EXPECT_EQ(problem, "");
}

}  // namespace
}  // namespace tavrel
