// Every command of the tool that opens a game directory settles a save cut
// off there before it reads anything, and says so first.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "gamefiles/save_journal.h"
#include "sample_test_support.h"
#include "text/ui_strings.h"
#include "tool_run.h"

namespace tavrel {
namespace {

using testing::RunTool;
using testing::SampleGameDir;
using testing::ScratchDir;

// The names of the commands as the tool's help lists them: the lines under
// its list of subcommands, each starting with the command's name.
std::vector<std::string> ListedCommands() {
  const testing::ToolRun help = RunTool("--help 2>&1");
  std::vector<std::string> names;
  std::istringstream lines(help.out);
  bool listing = false;
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("SUBCOMMANDS") || line.starts_with("Subcommands")) {
      listing = true;
      continue;
    }
    if (!listing) continue;
    if (line.empty() || !line.starts_with("  ")) break;
    std::istringstream words(line);
    std::string name;
    words >> name;
    if (!name.empty()) names.push_back(name);
  }
  return names;
}

TEST(ToolRecovery, EveryCommandSettlesAnInterruptedSaveBeforeReading) {
  SampleGameDir dir;
  ScratchDir out;
  const std::string d = "'" + dir.path().string() + "'";
  const std::string o = out.path().string() + "/";
  // What each command needs besides the directory; the outputs go elsewhere.
  const std::map<std::string, std::string> runs = {
      {"check", "check " + d},
      {"event", "event " + d + " 0"},
      {"export-dialogue", "export-dialogue " + d + " -o '" + o + "dialogue.txt'"},
      {"export-kdef", "export-kdef " + d + " -o '" + o + "kdef.txt'"},
      {"export-pictures", "export-pictures " + d + " portraits -o '" + o + "portraits'"},
      {"export-script", "export-script " + d + " -o '" + o + "script'"},
      {"export-talk", "export-talk " + d + " -o '" + o + "talk.txt'"},
      {"find", "find " + d + " --event 0"},
      {"import-dialogue", "import-dialogue " + d + " '" + o + "none.txt'"},
      {"import-pictures", "import-pictures " + d + " portraits '" + o + "none'"},
      {"import-script", "import-script " + d + " '" + o + "none'"},
      {"lint", "lint " + d},
      {"make-sample", "make-sample " + d},
      {"render-battle", "render-battle " + d + " 0 -o '" + o + "battle.png'"},
      {"scenes", "scenes " + d + " --scene 0"},
      {"zdat", "zdat " + d},
  };
  const std::vector<std::string> listed = ListedCommands();
  ASSERT_GT(listed.size(), 10u) << "the help lists no commands";
  SetInterfaceLanguage(InterfaceLanguage::English);
  const std::string journal = std::string(kSaveJournalName) + ".tmp";
  const std::string said = FormatInterfaceString(Str::SaveNeverStarted, dir.path().string(), journal);
  SetInterfaceLanguage(InterfaceLanguage::Chinese);
  for (const std::string& command : listed) {
    SCOPED_TRACE(command);
    ASSERT_TRUE(runs.contains(command)) << "a new command: say how it opens a game directory here";
    // A save cut off while its journal was being written: the directory
    // holds its unfinished journal and no other change.
    dir.Put(journal, {'t', 'a', 'v'});
    const testing::ToolRun run = RunTool("--language en " + runs.at(command) + " 2>&1");
    EXPECT_TRUE(run.out.starts_with(said)) << run.out;
    EXPECT_FALSE(dir.Has(journal));
  }
}

}  // namespace
}  // namespace tavrel
