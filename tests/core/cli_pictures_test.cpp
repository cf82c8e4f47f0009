// tavrel export-pictures / import-pictures on the sample game.
#include <gtest/gtest.h>

#include <filesystem>

#include "gamefiles/png_file.h"
#include "sample_test_support.h"
#include "tool_run.h"

namespace tavrel::testing {
namespace {

namespace fs = std::filesystem;

std::string Q(const fs::path& p) { return "'" + p.string() + "'"; }

TEST(CliPictures, PortraitsRoundTripByteForByteAndKeepABackup) {
  SampleGameDir dir;
  const ToolRun out = RunTool("export-pictures " + Q(dir.path()) + " portraits -o " + Q(dir / "pics") + " 2>&1");
  ASSERT_EQ(out.exitCode, 0) << out.out;
  EXPECT_TRUE(fs::exists(dir / "pics" / "pictures.txt"));
  EXPECT_TRUE(fs::exists(dir / "pics" / "0000.png"));
  const ToolRun in = RunTool("import-pictures " + Q(dir.path()) + " portraits " + Q(dir / "pics") + " 2>&1");
  ASSERT_EQ(in.exitCode, 0) << in.out;
  EXPECT_NE(in.out.find("hdgrp.idx/hdgrp.grp"), std::string::npos) << in.out;
  EXPECT_NE(in.out.find("：120 幅图片保留原有字节，0 幅重新编码"), std::string::npos) << in.out;
  EXPECT_EQ(dir.Get("hdgrp.grp"), SampleFiles().at("hdgrp.grp"));
  EXPECT_EQ(dir.Get("hdgrp.idx"), SampleFiles().at("hdgrp.idx"));
  EXPECT_FALSE(dir.Has("hdgrp.grp.bak"));  // no byte would change: nothing written
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
