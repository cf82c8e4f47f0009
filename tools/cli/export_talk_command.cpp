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

const RegisterCommand kRegister([](CLI::App& app, const CommonOptions& common, int& exitCode) {
  struct Args {
    std::string dir;
    std::string file = kTalkExportName;
  };
  auto args = std::make_shared<Args>();
  CLI::App* sub = app.add_subcommand("export-talk", "Write every dialogue as text");
  sub->add_option("DIR", args->dir, "game directory")->required();
  sub->add_option("-o,--output", args->file, "output file")->capture_default_str();
  sub->callback([&common, &exitCode, args] { exitCode = RunExportTalk(common, args->dir, args->file); });
});

}  // namespace
}  // namespace tavrel::cli
