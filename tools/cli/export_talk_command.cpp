// tavrel export-talk DIR [-o FILE]: every dialogue as one line of text.
#include <memory>

#include "app/exports.h"
#include "cli/command_registry.h"
#include "cli/command_support.h"
#include "text/ui_string_names.h"

namespace tavrel::cli {
namespace {

constexpr int kExportedMessage = Str::TalkExportedTo;  // "talk文件导出到"

int RunExportTalk(const CommonOptions& common, const std::string& dir, const std::string& file) {
  EditorState state;
  if (!LoadGame(state, common, dir)) return 1;
  const Bytes text = ExportTalkText(state);
  return WriteExportFile(state, file, WholeBytes(text), kExportedMessage);
}

struct ExportTalkArgs {
  std::string dir;
  std::string file = kTalkExportName;
};

const Command<ExportTalkArgs> kCommand{
    "export-talk", "Write every dialogue as text",
    [](CLI::App& sub, ExportTalkArgs& args) {
      sub.add_option("DIR", args.dir, "game directory")->required();
      sub.add_option("-o,--output", args.file, "output file")->capture_default_str();
    },
    [](const CommonOptions& common, const ExportTalkArgs& args) { return RunExportTalk(common, args.dir, args.file); }};

}  // namespace
}  // namespace tavrel::cli
