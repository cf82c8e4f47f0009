// tavrel zdat DIR: the values the patcher shows, one "name: value" a line.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>

#include "sample_test_support.h"
#include "tool_run.h"

namespace tavrel::testing {
namespace {

using ZdatRun = ToolRun;

ZdatRun Zdat(const std::filesystem::path& dir) { return RunTool("zdat '" + dir.string() + "' 2>/dev/null"); }

TEST(CliZdat, PrintsEveryValueOfTheSample) {
  ScratchDir dir;
  dir.Put("z.dat", SampleFiles().at("z.dat"));
  const ZdatRun run = Zdat(dir.path());
  EXPECT_EQ(run.exitCode, 0);
  for (const char* line :
       {"total memory: 420000\n", "memory M1: 96000\n", "memory M2: 64000\n", "sdx name: sdx\n", "smp name: smp\n",
        "wdx name: wdx\n", "wmp name: wmp\n", "leave event: 186\n", "life limit: 999\n", "energy limit: 1999\n",
        "attack limit: 100\n", "poisoned attack limit: 110\n", "roster: 3 5 8 13 21 34\n"})
    EXPECT_NE(run.out.find(line), std::string::npos) << line << run.out;
  // 3 memory numbers, 4 names, the leave event, 2 + 14 limits, the roster.
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 25);
}

TEST(CliZdat, MissingFileFails) {
  ScratchDir dir;
  const ZdatRun run = Zdat(dir.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.out.empty());
}

}  // namespace
}  // namespace tavrel::testing
