// tavrel zdat DIR: what the z.dat patcher shows when it opens, one
// "name: value" a line; "-" for a value beyond the end of a short z.dat.
#include <fmt/format.h>

#include <memory>

#include "app/zdat_patch.h"
#include "cli/command_registry.h"
#include "cli/command_support.h"

namespace tavrel::cli {
namespace {

int RunZdat(const CommonOptions& common, const std::string& dir) {
  EditorState state;  // only for the language and charset of the messages
  if (!StartEditor(state, common)) return 1;
  std::error_code ec;
  if (!std::filesystem::is_directory(dir, ec)) {
    Complain(state, Str::NotADirectory, dir);
    return 1;
  }
  const zdat::ZdatFile file = zdat::ReadZdat(dir);
  const std::string problem = zdat::ZdatOpenProblem(state.text(), file);
  if (!file.found) {
    fmt::print(stderr, "{}\n", problem);
    return 1;
  }
  fmt::print("{}", zdat::ZdatReport(file.values));
  if (!problem.empty()) fmt::print(stderr, "{}\n", problem);
  return 0;
}

struct ZdatArgs {
  std::string dir;
};

const Command<ZdatArgs> kCommand{
    "zdat", "Print the values the z.dat patcher shows",
    [](CLI::App& sub, ZdatArgs& args) { sub.add_option("DIR", args.dir, "game directory")->required(); },
    [](const CommonOptions& common, const ZdatArgs& args) { return RunZdat(common, args.dir); }};

}  // namespace
}  // namespace tavrel::cli
