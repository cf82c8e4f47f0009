// The tavrel tool run as a user runs it: make-sample, check, event and the
// exports, their output and their exit codes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "gamefiles_test_support.h"
#include "tool_run.h"

namespace tavrel::testing {
namespace {

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

ToolRun Tavrel(const std::string& arguments) { return RunTool(arguments); }

bool HasLine(const std::string& out, const std::string& line) {
  return ("\n" + out).find("\n" + line + "\n") != std::string::npos;
}

class Cli : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new ScratchDir;
    game_ = (dir_->path() / "game").string();
    made_ = Tavrel("make-sample " + Quoted(game_));
  }
  static void TearDownTestSuite() { delete dir_; }
  static std::string Game() { return Quoted(game_); }

  static ScratchDir* dir_;
  static std::string game_;
  static ToolRun made_;
};
ScratchDir* Cli::dir_ = nullptr;
std::string Cli::game_;
ToolRun Cli::made_;

TEST_F(Cli, MakeSampleWritesAGame) {
  EXPECT_EQ(made_.exitCode, 0) << made_.out;
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(game_) / "kdef.grp"));
}

// The sample with a real mod's base entry: 36 + 4 x 240 = 996 bytes, the
// first value of r1.idx; the editor reads it as any other game.
TEST_F(Cli, MakeSampleWithAModsInventory) {
  const std::string mod = (dir_->path() / "mod").string();
  ASSERT_EQ(Tavrel("make-sample " + Quoted(mod) + " --inventory-slots 240").exitCode, 0);
  std::ifstream idx(std::filesystem::path(mod) / "r1.idx", std::ios::binary);
  unsigned char first[4] = {};
  idx.read(reinterpret_cast<char*>(first), 4);
  EXPECT_EQ(first[0] | first[1] << 8 | first[2] << 16 | first[3] << 24, 996);
  EXPECT_EQ(Tavrel("check " + Quoted(mod)).exitCode, 0);
  EXPECT_NE(Tavrel("make-sample " + Quoted(mod) + " --inventory-slots 0 2>/dev/null").exitCode, 0);
}

TEST_F(Cli, CheckReportsTheSampleAndAnIdenticalRoundTrip) {
  for (const char* charset : {"GBK", "BIG5"}) {
    const ToolRun run = Tavrel(std::string("--charset ") + charset + " check " + Game());
    EXPECT_EQ(run.exitCode, 0) << run.out;
    for (const char* line :
         {"events: 300", "unknown words: 0", "dialogues: 160", "persons: 320", "scenes: 14", "portraits: 120",
          "scene object tables: 12, objects: 42", "commit: identical", "round trip: identical"})
      EXPECT_TRUE(HasLine(run.out, line)) << charset << " lacks \"" << line << "\" in\n" << run.out;
    EXPECT_NE(run.out.find("battle round trip: identical"), std::string::npos) << run.out;
    for (const char* name :
         {"battles: ", "words: ", "statements: ", "labels: ", "irregular conditionals: ", "items: ", "skills: "})
      EXPECT_NE(run.out.find(name), std::string::npos) << name;
  }
}

TEST_F(Cli, CheckWarnsOfMissingPreviewFilesAndStillPasses) {
  // A directory of just the edited files and some of what is only shown.
  const std::filesystem::path part = dir_->path() / "partial";
  std::filesystem::create_directories(part);
  for (const char* name : {"kdef.idx", "kdef.grp", "talk.idx", "talk.grp"})
    std::filesystem::copy_file(std::filesystem::path(game_) / name, part / name);
  const ToolRun run = Tavrel("check " + Quoted(part.string()));
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_TRUE(HasLine(run.out, "events: 300")) << run.out;
  for (const char* file : {"hdgrp.idx", "r1.idx", "mmap.col"})
    EXPECT_NE(run.out.find(std::string("warning: ") + file + ": "), std::string::npos) << file << " in\n" << run.out;

  // Without kdef.grp nothing is read.
  std::filesystem::remove(part / "kdef.grp");
  EXPECT_NE(Tavrel("check " + Quoted(part.string()) + " 2>/dev/null").exitCode, 0);
}

TEST_F(Cli, CheckFailsForAMissingDirectory) {
  const ToolRun run = Tavrel("check " + Quoted((dir_->path() / "nowhere").string()) + " 2>/dev/null");
  EXPECT_NE(run.exitCode, 0);
  EXPECT_EQ(run.out.find("round trip"), std::string::npos);
}

TEST_F(Cli, CheckFailsWhenAFileWouldNotBeWrittenBack) {
  ScratchDir copy;
  std::filesystem::copy(game_, copy.path(), std::filesystem::copy_options::recursive);
  {
    std::ofstream grp(copy / "talk.grp", std::ios::binary | std::ios::app);
    grp.put('x');  // bytes after the last dialogue are not part of any entry
  }
  const ToolRun run = Tavrel("check " + Quoted(copy.path().string()));
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.out.find("round trip: talk.grp differs"), std::string::npos) << run.out;
}

TEST_F(Cli, CheckFailsWhenTheBattleFileWouldLoseBytes) {
  ScratchDir copy;
  std::filesystem::copy(game_, copy.path(), std::filesystem::copy_options::recursive);
  {
    std::ofstream sta(copy / "war.sta", std::ios::binary | std::ios::app);
    sta.write("12345", 5);  // a partial record
  }
  const ToolRun run = Tavrel("check " + Quoted(copy.path().string()));
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.out.find("battle round trip: 5 bytes after the last whole record are dropped"), std::string::npos)
      << run.out;
  EXPECT_TRUE(HasLine(run.out, "round trip: identical")) << "the dialogue and event files are fine";
}

TEST_F(Cli, EventPrintsTheInstructionLines) {
  const ToolRun run = Tavrel("event " + Game() + " 0");
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out.substr(run.out.rfind('\n', run.out.size() - 2) + 1), "-1(FFFF):事件结束\n");
  const ToolRun last = Tavrel("event " + Game() + " 299");
  EXPECT_EQ(last.out, "0(0)::空语句(清屏)\n-1(FFFF):事件结束\n");
  EXPECT_NE(Tavrel("event " + Game() + " 300 2>/dev/null").exitCode, 0);
}

TEST_F(Cli, ExportsWriteTheNamedFiles) {
  const std::string talk = (dir_->path() / "talk-out.txt").string();
  const std::string kdef = (dir_->path() / "kdef-out.txt").string();
  EXPECT_EQ(Tavrel("export-talk " + Game() + " -o " + Quoted(talk)).exitCode, 0);
  EXPECT_EQ(Tavrel("export-kdef " + Game() + " -o " + Quoted(kdef)).exitCode, 0);
  const Bytes text = ReadWholeFile(talk).value();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 160);
  EXPECT_GT(std::filesystem::file_size(kdef), std::filesystem::file_size(talk));
}

TEST_F(Cli, ExportWritesIntoTheCurrentDirectoryByDefault) {
  ScratchDir work;
  const std::string command = "cd " + Quoted(work.path().string()) + " && " + Quoted(TAVREL_BIN_DIR "/tavrel") +
                              " export-talk " + Game() + " >/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_TRUE(work.Has("talk.txt"));
}

}  // namespace
}  // namespace tavrel::testing
