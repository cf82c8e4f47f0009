// tavrel export-dialogue DIR -o FILE: every dialogue as one editable line of
// UTF-8 text.
#include <fmt/format.h>

#include <memory>

#include "app/dialogue_text.h"
#include "cli/command_registry.h"
#include "cli/command_support.h"

namespace tavrel::cli {
namespace {

int RunExportDialogue(const CommonOptions& common, const std::string& dir, const std::string& file) {
  EditorState state;
  if (!LoadGame(state, common, dir)) return 1;
  if (Status written = ExportDialogueFile(state, file); !written) {
    ComplainCore(state, written.error());
    return 1;
  }
  Say(state, Str::DialoguesWritten, state.talkCount(), file);
  return 0;
}

struct ExportDialogueArgs {
  std::string dir;
  std::string file;
};

const Command<ExportDialogueArgs> kCommand{"export-dialogue", "Write every dialogue as an editable line of text",
                                           [](CLI::App& sub, ExportDialogueArgs& args) {
                                             sub.add_option("DIR", args.dir, "game directory")->required();
                                             sub.add_option("-o,--output", args.file, "output file")->required();
                                           },
                                           [](const CommonOptions& common, const ExportDialogueArgs& args) {
                                             return RunExportDialogue(common, args.dir, args.file);
                                           }};

}  // namespace
}  // namespace tavrel::cli
