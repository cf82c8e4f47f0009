// tavrel export-kdef DIR [-o FILE]: every event, decoded afresh, as text.
#include <fmt/format.h>

#include <memory>

#include "app/exports.h"
#include "cli/command_registry.h"
#include "cli/command_support.h"
#include "text/ui_string_names.h"

namespace tavrel::cli {
namespace {

constexpr int kExportedMessage = Str::KdefExportedTo;  // "kdef文件导出到"

int RunExportKdef(const CommonOptions& common, const std::string& dir, const std::string& file) {
  EditorState state;
  if (!LoadGame(state, common, dir)) return 1;
  KdefExportReport report;
  const int status = WriteExportFile(
      state, file, [&](const ByteSink& sink) { return ExportKdefText(state, sink, &report); }, kExportedMessage);
  if (report.totalUnknownWords > 0) Complain(state, Str::CheckUnknownWords, report.totalUnknownWords);
  return status;
}

struct ExportKdefArgs {
  std::string dir;
  std::string file = kKdefExportName;
};

const Command<ExportKdefArgs> kCommand{
    "export-kdef", "Write every event as text",
    [](CLI::App& sub, ExportKdefArgs& args) {
      sub.add_option("DIR", args.dir, "game directory")->required();
      sub.add_option("-o,--output", args.file, "output file")->capture_default_str();
    },
    [](const CommonOptions& common, const ExportKdefArgs& args) { return RunExportKdef(common, args.dir, args.file); }};

}  // namespace
}  // namespace tavrel::cli
