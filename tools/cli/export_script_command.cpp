// tavrel export-script DIR -o FOLDER: every event as an editable text file
// FOLDER/NNNN.kdef.txt, and FOLDER/header.txt with the charset and the
// attribute table the texts were written with.
#include <fmt/format.h>

#include <memory>

#include "app/script_folder.h"
#include "cli/command_registry.h"
#include "cli/command_support.h"

namespace tavrel::cli {
namespace {

int RunExportScript(const CommonOptions& common, const std::string& dir, const std::string& folder) {
  EditorState state;
  if (!LoadGame(state, common, dir)) return 1;
  if (Status written = ExportScriptFolder(state, folder); !written) {
    ComplainCore(state, written.error());
    return 1;
  }
  Say(state, Str::EventsWritten, state.eventCount(), folder);
  return 0;
}

struct ExportScriptArgs {
  std::string dir;
  std::string folder;
};

const Command<ExportScriptArgs> kCommand{
    "export-script", "Write every event as an editable text file",
    [](CLI::App& sub, ExportScriptArgs& args) {
      sub.add_option("DIR", args.dir, "game directory")->required();
      sub.add_option("-o,--output", args.folder, "folder of the script files")->required();
    },
    [](const CommonOptions& common, const ExportScriptArgs& args) {
      return RunExportScript(common, args.dir, args.folder);
    }};

}  // namespace
}  // namespace tavrel::cli
