// The tavrel tool run as a user runs it: make-sample, check, event and the
// exports, their output and their exit codes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <regex>

#include "gamefiles_test_support.h"
#include "tool_run.h"

namespace tavrel::testing {
namespace {

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

ToolRun Tavrel(const std::string& arguments) { return RunTool(arguments); }
// The check's lines as an English run prints them.
ToolRun English(const std::string& arguments) { return RunTool("--language en " + arguments); }

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
    const ToolRun run = English(std::string("--charset ") + charset + " check " + Game());
    EXPECT_EQ(run.exitCode, 0) << run.out;
    for (const char* line :
         {"events: 300", "unknown words: 0", "dialogues: 160", "persons: 320", "scenes: 14", "portraits: 120",
          "scene object tables: 12, objects: 42", "commit: identical", "round trip: identical"})
      EXPECT_TRUE(HasLine(run.out, line)) << charset << " lacks \"" << line << "\" in\n" << run.out;
    EXPECT_NE(run.out.find("battle round trip: identical"), std::string::npos) << run.out;
    for (const char* name : {"battles: ", "words: ", "statements: ", "labels: ", "irregular conditionals: ", "items: ",
                             "skills: ", "battle values out of range: 0"})
      EXPECT_NE(run.out.find(name), std::string::npos) << name;
  }
}

TEST_F(Cli, CheckWarnsOfMissingPreviewFilesAndStillPasses) {
  // A directory of just the edited files and some of what is only shown.
  const std::filesystem::path part = dir_->path() / "partial";
  std::filesystem::create_directories(part);
  for (const char* name : {"kdef.idx", "kdef.grp", "talk.idx", "talk.grp"})
    std::filesystem::copy_file(std::filesystem::path(game_) / name, part / name);
  const ToolRun run = English("check " + Quoted(part.string()));
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
  const ToolRun run = English("check " + Quoted(copy.path().string()));
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
  const ToolRun run = English("check " + Quoted(copy.path().string()));
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.out.find("battle round trip: 5 bytes after the last whole record are dropped"), std::string::npos)
      << run.out;
  EXPECT_TRUE(HasLine(run.out, "round trip: identical")) << "the dialogue and event files are fine";
}

// Random bytes in kdef.grp decode almost wholly as unknown words: every
// event is more than a quarter unknown and the check fails naming them.
TEST_F(Cli, CheckFailsOnAnEventFileOfRandomBytes) {
  ScratchDir copy;
  std::filesystem::copy(game_, copy.path(), std::filesystem::copy_options::recursive);
  Bytes noise(std::filesystem::file_size(copy / "kdef.grp"));
  uint32_t seed = 2024;
  for (uint8_t& b : noise) {
    seed = seed * 1664525u + 1013904223u;
    b = uint8_t(seed >> 24);
  }
  copy.Put("kdef.grp", noise);
  const ToolRun run = English("check " + Quoted(copy.path().string()));
  EXPECT_EQ(run.exitCode, 1) << run.out;
  std::smatch words, unknown;
  ASSERT_TRUE(std::regex_search(run.out, words, std::regex("\nwords: ([0-9]+)\n"))) << run.out;
  ASSERT_TRUE(std::regex_search(run.out, unknown, std::regex("\nunknown words: ([0-9]+)\n"))) << run.out;
  EXPECT_GT(std::stol(unknown.str(1)) * 10, std::stol(words.str(1)) * 9);
  std::smatch failed;
  ASSERT_TRUE(std::regex_search(run.out, failed,
                                std::regex("\ntoo many unknown words: in ([0-9]+) events more than a quarter of the "
                                           "words start no instruction; this does not read as an event file\n")))
      << run.out;
  const int events = std::stoi(failed.str(1));
  EXPECT_GE(events, 290) << "nearly every event of random words";
  EXPECT_TRUE(std::regex_search(run.out, std::regex("\nevent 0: [0-9]+ unknown words out of [0-9]+\n"))) << run.out;
  EXPECT_TRUE(HasLine(run.out, "... and " + std::to_string(events - 10) + " more not listed")) << run.out;
}

// One stray word in an event of many is counted, and the check still passes.
TEST_F(Cli, CheckCountsAStrayWordWithoutFailing) {
  ScratchDir copy;
  std::filesystem::copy(game_, copy.path(), std::filesystem::copy_options::recursive);
  // Event 0 ends at the first offset of kdef.idx; a word 0x7FFF (no
  // instruction) goes before its first word, and every later end moves on.
  Bytes idx = ReadWholeFile(copy / "kdef.idx").value();
  Bytes grp = ReadWholeFile(copy / "kdef.grp").value();
  const int32_t firstEnd = int32_t(idx[0] | idx[1] << 8 | idx[2] << 16 | idx[3] << 24);
  ASSERT_GE(firstEnd, 16) << "event 0 holds at least eight words";
  grp.insert(grp.begin(), {0xFF, 0x7F});
  for (size_t at = 0; at + 4 <= idx.size(); at += 4) {
    const int32_t end = int32_t(idx[at] | idx[at + 1] << 8 | idx[at + 2] << 16 | idx[at + 3] << 24) + 2;
    for (int k = 0; k < 4; ++k) idx[at + size_t(k)] = uint8_t(uint32_t(end) >> (8 * k));
  }
  copy.Put("kdef.idx", idx);
  copy.Put("kdef.grp", grp);
  const ToolRun run = English("check " + Quoted(copy.path().string()));
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_TRUE(HasLine(run.out, "unknown words: 1")) << run.out;
  EXPECT_EQ(run.out.find("too many unknown words"), std::string::npos) << run.out;
}

// Battle 1 on battlefield 9999 and its enemy 3 beyond the 320 persons.
TEST_F(Cli, CheckFailsOnBattleNumbersOutsideTheirRanges) {
  ScratchDir copy;
  std::filesystem::copy(game_, copy.path(), std::filesystem::copy_options::recursive);
  Bytes sta = ReadWholeFile(copy / "war.sta").value();
  sta[186 + 12] = 0x0F;  // 9999
  sta[186 + 13] = 0x27;
  sta[186 + 66 + 6] = 0x40;  // 320
  sta[186 + 66 + 7] = 0x01;
  copy.Put("war.sta", sta);
  const ToolRun run = English("check " + Quoted(copy.path().string()));
  EXPECT_EQ(run.exitCode, 1) << run.out;
  EXPECT_TRUE(HasLine(run.out, "battle values out of range: 2")) << run.out;
  EXPECT_TRUE(HasLine(run.out, "In 1 battle, 2 values are out of range:")) << run.out;
  EXPECT_TRUE(HasLine(run.out, "battle 1: Battlefield number is 9999, not from 0 to 25")) << run.out;
  EXPECT_TRUE(HasLine(run.out, "battle 1: enemy E3 is 320: neither -1 (nobody) nor a person from 0 to 319")) << run.out;
  EXPECT_TRUE(HasLine(run.out, "battle round trip: identical")) << "the bytes themselves go back as read";

  const ToolRun lint = English("lint --no-info " + Quoted(copy.path().string()));
  EXPECT_EQ(lint.exitCode, 1);
  EXPECT_NE(lint.out.find("war:1: error: Battlefield number is 9999, not from 0 to 25\n"), std::string::npos)
      << lint.out;
  EXPECT_NE(lint.out.find("war:1: error: enemy E3 is 320: neither -1 (nobody) nor a person from 0 to 319\n"),
            std::string::npos)
      << lint.out;
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
