#include <gtest/gtest.h>

#include <string>

#include "gamefiles/file_io.h"
#include "gamefiles_test_support.h"

namespace tavrel {
namespace {

using testing::FaultHookGuard;
using testing::ScratchDir;

const Bytes kOld = {1, 2, 3, 4, 5};
const Bytes kNew = {9, 8, 7};

TEST(GamefilesFindFile, MatchesNamesCaseInsensitivelyAndKeepsTheFilesOwnName) {
  ScratchDir dir;
  dir.Put("KDEF.GRP", kOld);
  dir.Put("Talk.Idx", kOld);
  EXPECT_EQ(FindGameFile(dir.path(), "kdef.grp").filename(), "KDEF.GRP");
  EXPECT_EQ(FindGameFile(dir.path(), "talk.idx").filename(), "Talk.Idx");
  // None present: the name as asked for, in the directory.
  EXPECT_EQ(FindGameFile(dir.path(), "r1.grp"), dir / "r1.grp");
  EXPECT_EQ(FindGameFile(dir / "no-such-dir", "r1.grp"), dir / "no-such-dir" / "r1.grp");
}

TEST(GamefilesReadWholeFile, ReadsEveryByteAndNamesAMissingFile) {
  ScratchDir dir;
  Bytes big(200000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = uint8_t(i * 7);
  dir.Put("big.grp", big);
  dir.Put("empty.idx", {});
  Result<Bytes> read = ReadWholeFile(dir / "big.grp");
  ASSERT_TRUE(read) << read.error();
  EXPECT_EQ(*read, big);
  Result<Bytes> empty = ReadWholeFile(dir / "empty.idx");
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->empty());

  Result<Bytes> missing = ReadWholeFile(dir / "talk.grp");
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.error().find((dir / "talk.grp").string()), std::string::npos) << missing.error();
  Result<Bytes> directory = ReadWholeFile(dir.path());
  ASSERT_FALSE(directory);
  EXPECT_NE(directory.error().find(dir.path().string()), std::string::npos);
}

TEST(GamefilesAtomicWrite, ReplacesTheFileAndKeepsThePreviousAsBak) {
  ScratchDir dir;
  dir.Put("war.sta", kOld);
  dir.Put("war.sta.bak", {0xEE});
  ASSERT_TRUE(WriteFileAtomic(dir / "war.sta", kNew));
  EXPECT_EQ(dir.Get("war.sta"), kNew);
  EXPECT_EQ(dir.Get("war.sta.bak"), kOld);
  EXPECT_FALSE(dir.Has("war.sta.tmp"));

  // A new file has nothing to back up; without a backup wanted none is made.
  ASSERT_TRUE(WriteFileAtomic(dir / "fresh.dat", kNew));
  EXPECT_EQ(dir.Get("fresh.dat"), kNew);
  EXPECT_FALSE(dir.Has("fresh.dat.bak"));
  ASSERT_TRUE(WriteFileAtomic(dir / "fresh.dat", kOld, /*keepBackup=*/false));
  EXPECT_EQ(dir.Get("fresh.dat"), kOld);
  EXPECT_FALSE(dir.Has("fresh.dat.bak"));

  ASSERT_TRUE(WriteFileAtomic(dir / "empty.dat", {}));
  EXPECT_TRUE(dir.Has("empty.dat"));
  EXPECT_TRUE(dir.Get("empty.dat").empty());
}

TEST(GamefilesAtomicWrite, AFailingStepLeavesTheOldFileAndNamesIt) {
  for (const std::string step : {"write", "flush", "rename"}) {
    SCOPED_TRACE(step);
    ScratchDir dir;
    FaultHookGuard guard;
    dir.Put("z.dat", kOld);
    std::vector<std::string> seen;
    SetWriteFaultHook([&](const std::string& s, const std::filesystem::path&) {
      seen.push_back(s);
      return s != step;
    });
    Status written = WriteFileAtomic(dir / "z.dat", kNew);
    ASSERT_FALSE(written);
    EXPECT_NE(written.error().find((dir / "z.dat").string()), std::string::npos) << written.error();
    EXPECT_EQ(dir.Get("z.dat"), kOld);
    EXPECT_FALSE(dir.Has("z.dat.tmp"));
    EXPECT_FALSE(dir.Has("tavrel-save.journal"));
    // The failing step was the last of the save; only the journal's removal follows.
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[seen.size() - 2], step);
    EXPECT_EQ(seen.back(), "journal-remove");
  }
}

TEST(GamefilesAtomicWrite, AFailedFirstSaveCreatesNoFile) {
  ScratchDir dir;
  FaultHookGuard guard;
  SetWriteFaultHook([](const std::string& s, const std::filesystem::path&) { return s != "rename"; });
  EXPECT_FALSE(WriteFileAtomic(dir / "new.grp", kNew));
  EXPECT_FALSE(dir.Has("new.grp"));
  EXPECT_FALSE(dir.Has("new.grp.tmp"));
}

// A producer's pieces make the file in order; a producer that fails part-way,
// or a disk that fills part-way, leaves the old file and no temporary.
TEST(GamefilesAtomicWrite, WrittenInPiecesOrNotAtAll) {
  ScratchDir dir;
  dir.Put("kdefout.txt", kOld);
  const ByteProducer threePieces = [](const ByteSink& sink) -> Status {
    for (const Bytes& piece : {Bytes{'a', 'b'}, Bytes{}, Bytes{'c'}})
      if (Status s = sink(piece); !s) return s;
    return Ok();
  };
  ASSERT_TRUE(WriteFileAtomicInPieces(dir / "kdefout.txt", threePieces, false));
  EXPECT_EQ(dir.Get("kdefout.txt"), (Bytes{'a', 'b', 'c'}));
  EXPECT_FALSE(dir.Has("kdefout.txt.bak"));

  const ByteProducer failsAfterOne = [](const ByteSink& sink) -> Status {
    if (Status s = sink(Bytes{'x', 'y'}); !s) return s;
    return Error{"the text ran out"};
  };
  Status failed = WriteFileAtomicInPieces(dir / "kdefout.txt", failsAfterOne, false);
  ASSERT_FALSE(failed);
  EXPECT_NE(failed.error().find("the text ran out"), std::string::npos) << failed.error();
  EXPECT_NE(failed.error().find((dir / "kdefout.txt").string()), std::string::npos) << failed.error();
  EXPECT_EQ(dir.Get("kdefout.txt"), (Bytes{'a', 'b', 'c'}));
  EXPECT_FALSE(dir.Has("kdefout.txt.tmp"));

  // The disk takes three bytes: the second piece fails, and the producer
  // hears of it and stops.
  int handed = 0;
  const ByteProducer manyPieces = [&handed](const ByteSink& sink) -> Status {
    for (int i = 0; i < 10; ++i, ++handed)
      if (Status s = sink(Bytes{'1', '2'}); !s) return s;
    return Ok();
  };
  SetWriteByteLimit(3);
  Status full = WriteFileAtomicInPieces(dir / "kdefout.txt", manyPieces, false);
  SetWriteByteLimit(std::nullopt);
  ASSERT_FALSE(full);
  EXPECT_EQ(handed, 1);
  EXPECT_EQ(dir.Get("kdefout.txt"), (Bytes{'a', 'b', 'c'}));
  EXPECT_FALSE(dir.Has("kdefout.txt.tmp"));
}

TEST(GamefilesAtomicWrite, AnUnwritableDirectoryIsReported) {
  ScratchDir dir;
  Status written = WriteFileAtomic(dir / "missing" / "talk.grp", kNew);
  ASSERT_FALSE(written);
  EXPECT_NE(written.error().find("talk.grp"), std::string::npos);
}

TEST(GamefilesAtomicPair, AFailedSecondRenameRestoresTheFirstFile) {
  for (bool keepBackup : {true, false}) {
    SCOPED_TRACE(keepBackup);
    ScratchDir dir;
    FaultHookGuard guard;
    dir.Put("kdef.idx", kOld);
    dir.Put("kdef.grp", {5, 5});
    const std::filesystem::path grp = dir / "kdef.grp";
    SetWriteFaultHook(
        [&](const std::string& s, const std::filesystem::path& p) { return !(s == "rename" && p == grp); });
    Status written = WriteFilesAtomic({{dir / "kdef.idx", kNew}, {grp, kNew}}, keepBackup);
    ASSERT_FALSE(written);
    EXPECT_NE(written.error().find(grp.string()), std::string::npos) << written.error();
    EXPECT_EQ(dir.Get("kdef.idx"), kOld);
    EXPECT_EQ(dir.Get("kdef.grp"), Bytes({5, 5}));
    EXPECT_FALSE(dir.Has("kdef.idx.tmp"));
    EXPECT_FALSE(dir.Has("kdef.grp.tmp"));
    EXPECT_FALSE(dir.Has("kdef.idx.old"));
  }
}

TEST(GamefilesAtomicPair, AFailedSecondWriteTouchesNeitherFile) {
  ScratchDir dir;
  FaultHookGuard guard;
  dir.Put("talk.idx", kOld);
  dir.Put("talk.grp", kOld);
  const std::filesystem::path grp = dir / "talk.grp";
  SetWriteFaultHook([&](const std::string& s, const std::filesystem::path& p) { return !(s == "flush" && p == grp); });
  Status written = WriteFilesAtomic({{dir / "talk.idx", kNew}, {grp, kNew}});
  ASSERT_FALSE(written);
  EXPECT_NE(written.error().find(grp.string()), std::string::npos);
  EXPECT_EQ(dir.Get("talk.idx"), kOld);
  EXPECT_EQ(dir.Get("talk.grp"), kOld);
  EXPECT_FALSE(dir.Has("talk.idx.tmp"));
  EXPECT_FALSE(dir.Has("talk.grp.tmp"));
}

TEST(GamefilesAtomicPair, AFailedFirstPairWithoutOldFilesLeavesNoNewFile) {
  ScratchDir dir;
  FaultHookGuard guard;
  const std::filesystem::path grp = dir / "kdef.grp";
  SetWriteFaultHook([&](const std::string& s, const std::filesystem::path& p) { return !(s == "rename" && p == grp); });
  EXPECT_FALSE(WriteFilesAtomic({{dir / "kdef.idx", kNew}, {grp, kNew}}));
  EXPECT_FALSE(dir.Has("kdef.idx"));
  EXPECT_FALSE(dir.Has("kdef.grp"));
}

TEST(GamefilesAtomicPair, ASuccessReplacesBothAndBacksBothUp) {
  ScratchDir dir;
  dir.Put("kdef.idx", kOld);
  dir.Put("kdef.grp", {5, 5});
  ASSERT_TRUE(WriteFilesAtomic({{dir / "kdef.idx", kNew}, {dir / "kdef.grp", {6}}}));
  EXPECT_EQ(dir.Get("kdef.idx"), kNew);
  EXPECT_EQ(dir.Get("kdef.grp"), Bytes({6}));
  EXPECT_EQ(dir.Get("kdef.idx.bak"), kOld);
  EXPECT_EQ(dir.Get("kdef.grp.bak"), Bytes({5, 5}));
}

}  // namespace
}  // namespace tavrel
