// tavrel lint DIR: every broken reference, unknown word, irregular
// conditional, jump outside its event and event without an end, as
// "kdef:event:line: message"; dialogues no instruction shows and items no
// event gives as information; battle numbers outside their ranges as
// "war:N: ..."; then "N errors, M warnings" (in a Chinese run "N个错误，M个警告").
// Exit 1 when there is an error.
#include <fmt/format.h>

#include <memory>

#include "app/lint.h"
#include "cli/command_registry.h"
#include "cli/command_support.h"
#include "text/ui_strings.h"

namespace tavrel::cli {
namespace {

int SeverityWord(Severity severity) {
  switch (severity) {
    case Severity::Error:
      return Str::LintError;
    case Severity::Warning:
      return Str::LintWarning;
    case Severity::Info:
      return Str::LintInfo;
  }
  return Str::LintInfo;
}

int RunLint(const CommonOptions& common, const std::string& dir, bool quiet) {
  EditorState state;
  if (!LoadGame(state, common, dir)) return 2;
  const LintReport report = LintLoadedGame(state);
  for (const Finding& f : report.findings) {
    if (quiet && f.severity == Severity::Info) continue;
    fmt::print("{}: {}: {}\n", PlaceTag(f.place), ToolText(state, SeverityWord(f.severity)),
               state.text().MapInterfaceText(f.message));
  }
  SayCore(state, LintSummary(report));
  return report.errors > 0 ? 1 : 0;
}

const RegisterCommand kRegister([](CLI::App& app, const CommonOptions& common, int& exitCode) {
  struct Args {
    std::string dir;
    bool quiet = false;
  };
  auto args = std::make_shared<Args>();
  CLI::App* sub = app.add_subcommand("lint", "Check every event for broken references and jumps (exit 1 on an error)");
  sub->add_option("DIR", args->dir, "game directory")->required();
  sub->add_flag("--no-info", args->quiet, "leave out unused dialogues and items no event gives");
  sub->callback([&common, &exitCode, args] { exitCode = RunLint(common, args->dir, args->quiet); });
});

}  // namespace
}  // namespace tavrel::cli
