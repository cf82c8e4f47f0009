// tavrel export-pictures / import-pictures on the sample game.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/picture_sets.h"
#include "gamefiles/pictures.h"
#include "gamefiles/png_file.h"
#include "sample_test_support.h"
#include "tool_run.h"

namespace tavrel::testing {
namespace {

namespace fs = std::filesystem;

std::string Q(const fs::path& p) { return "'" + p.string() + "'"; }

TEST(CliPictures, AnUnchangedFolderWritesNothingAndAChangedOneKeepsABackup) {
  SampleGameDir dir;
  const ToolRun out = RunTool("export-pictures " + Q(dir.path()) + " portraits -o " + Q(dir / "pics") + " 2>&1");
  ASSERT_EQ(out.exitCode, 0) << out.out;
  EXPECT_TRUE(fs::exists(dir / "pics" / "pictures.txt"));
  EXPECT_TRUE(fs::exists(dir / "pics" / "0000.png"));
  const auto grpTime = fs::last_write_time(dir / "hdgrp.grp");
  const ToolRun in = RunTool("import-pictures " + Q(dir.path()) + " portraits " + Q(dir / "pics") + " 2>&1");
  ASSERT_EQ(in.exitCode, 0) << in.out;
  EXPECT_NE(in.out.find("hdgrp.idx/hdgrp.grp：没有图片改动，没有写入任何文件"), std::string::npos) << in.out;
  EXPECT_EQ(dir.Get("hdgrp.grp"), SampleFiles().at("hdgrp.grp"));
  EXPECT_EQ(dir.Get("hdgrp.idx"), SampleFiles().at("hdgrp.idx"));
  EXPECT_EQ(fs::last_write_time(dir / "hdgrp.grp"), grpTime);
  EXPECT_FALSE(dir.Has("hdgrp.grp.bak"));
  EXPECT_FALSE(dir.Has("hdgrp.idx.bak"));

  // One portrait replaced by another's picture: one encoded, the pair
  // replaced with its backup, every other portrait's bytes as they were.
  fs::copy_file(dir / "pics" / "0001.png", dir / "pics" / "0000.png", fs::copy_options::overwrite_existing);
  const ToolRun changed = RunTool("import-pictures " + Q(dir.path()) + " portraits " + Q(dir / "pics") + " 2>&1");
  ASSERT_EQ(changed.exitCode, 0) << changed.out;
  EXPECT_NE(changed.out.find("：119 幅图片保留原有字节，1 幅重新编码"), std::string::npos) << changed.out;
  EXPECT_EQ(dir.Get("hdgrp.grp.bak"), SampleFiles().at("hdgrp.grp"));
  const Palette palette = ParsePalette(SampleFiles().at("mmap.col"));
  const PictureSet before = ParsePictureSet(SampleFiles().at("hdgrp.idx"), SampleFiles().at("hdgrp.grp"), palette);
  const PictureSet after = ParsePictureSet(dir.Get("hdgrp.idx"), dir.Get("hdgrp.grp"), palette);
  ASSERT_EQ(after.size(), before.size());
  EXPECT_EQ(DecodePictureIndices(after[0]).indices, DecodePictureIndices(before[1]).indices);
  for (size_t k = 1; k < before.size(); ++k) EXPECT_TRUE(SamePictureBytes(after[k], before[k])) << k;
}

TEST(CliPictures, DamagedPicturesAreListedAndKept) {
  SampleGameDir dir;
  // Portrait 2's header claims 2000 × 56 pixels, more than a game picture.
  Bytes grp = dir.Get("hdgrp.grp");
  const Bytes idx = dir.Get("hdgrp.idx");
  const size_t second = size_t(ReadI32(idx, 4));
  grp[second] = 0xD0;
  grp[second + 1] = 0x07;
  dir.Put("hdgrp.grp", grp);
  const ToolRun out = RunTool("export-pictures " + Q(dir.path()) + " portraits -o " + Q(dir / "pics") + " 2>&1");
  ASSERT_EQ(out.exitCode, 0) << out.out;
  EXPECT_NE(out.out.find("hdgrp.grp：1 幅图片的大小不可能（第 2 幅）"), std::string::npos) << out.out;
  Result<Bytes> list = ReadWholeFile(dir / "pics" / "pictures.txt");
  ASSERT_TRUE(list);
  EXPECT_NE(std::string(list->begin(), list->end()).find("\n2 damaged\n"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "pics" / "0002.png"));
  const ToolRun in = RunTool("import-pictures " + Q(dir.path()) + " portraits " + Q(dir / "pics") + " 2>&1");
  ASSERT_EQ(in.exitCode, 0) << in.out;
  EXPECT_EQ(dir.Get("hdgrp.grp"), grp);
}

TEST(CliPictures, SceneAndBattleSetsAreFoundAsTheGameFindsThemAndReencodeAllKeepsPixels) {
  SampleGameDir dir(true);
  for (const std::string set : {"scene 4", "battle 2", "pair fight001"}) {
    SCOPED_TRACE(set);
    const fs::path folder = dir / ("pics " + set);
    ToolRun run = RunTool("export-pictures " + Q(dir.path()) + " " + set + " -o " + Q(folder) + " 2>&1");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    run = RunTool("import-pictures --reencode-all " + Q(dir.path()) + " " + set + " " + Q(folder) + " 2>&1");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("：0 幅图片保留原有字节"), std::string::npos) << run.out;
    // Exported again from the re-encoded set: the same files.
    const fs::path again = dir / ("again " + set);
    run = RunTool("export-pictures " + Q(dir.path()) + " " + set + " -o " + Q(again) + " 2>&1");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
      ++files;
      Result<Bytes> a = ReadWholeFile(entry.path());
      Result<Bytes> b = ReadWholeFile(again / entry.path().filename());
      ASSERT_TRUE(a && b) << entry.path();
      EXPECT_TRUE(*a == *b) << entry.path();
    }
    EXPECT_GT(files, 2);
  }
  // Encoded afresh, the sets come out as the sample's own bytes: no file
  // would change, so none is written.
  EXPECT_FALSE(dir.Has("smp004.bak"));
  EXPECT_FALSE(dir.Has("wmp002.bak"));
  EXPECT_FALSE(dir.Has("fight001.grp.bak"));
}

TEST(CliPictures, AFailedImportWritesNothing) {
  SampleGameDir dir;
  ASSERT_EQ(RunTool("export-pictures " + Q(dir.path()) + " portraits -o " + Q(dir / "pics") + " 2>&1").exitCode, 0);
  ASSERT_TRUE(WriteFileAtomic(dir / "pics" / "0009.png", Bytes{0x89, 'P', 'N', 'G', 1, 2, 3}, false));
  const ToolRun run = RunTool("import-pictures " + Q(dir.path()) + " portraits " + Q(dir / "pics") + " 2>&1");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find("0009.png"), std::string::npos) << run.out;
  EXPECT_EQ(dir.Get("hdgrp.grp"), SampleFiles().at("hdgrp.grp"));
  EXPECT_FALSE(dir.Has("hdgrp.grp.bak"));

  const ToolRun unknown = RunTool("export-pictures " + Q(dir.path()) + " tiles -o " + Q(dir / "x") + " 2>&1");
  EXPECT_EQ(unknown.exitCode, 1);
  EXPECT_NE(unknown.out.find("tiles"), std::string::npos) << unknown.out;
}

}  // namespace
}  // namespace tavrel::testing
