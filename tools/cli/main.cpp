// tavrel: the command-line side of the editor. Reads, checks and exports a
// game directory and writes the sample game; the subcommands register
// themselves in Commands().
#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>

#include "cli/command_registry.h"
#include "cli/command_support.h"

namespace {

int Run(int argc, char** argv) {
  tavrel::cli::RememberInvocation(argc > 0 ? argv[0] : nullptr);
  CLI::App app{"Tavrel: reads, checks and exports the data files of the game"};
  app.fallthrough();
  tavrel::cli::CommonOptions common;
  app.add_option("--charset", common.charset, "GBK (simplified) or BIG5 (traditional)")
      ->check(CLI::IsMember({"GBK", "BIG5"}))
      ->capture_default_str();
  app.add_option("--language", common.language,
                 "zh or en: the language of the instruction lines and export words the tool prints and writes")
      ->check(CLI::IsMember({"zh", "en"}))
      ->capture_default_str();
  app.require_subcommand(1);
  int exitCode = 0;
  for (const tavrel::cli::CommandSetup& setup : tavrel::cli::Commands()) setup(app, common, exitCode);
  CLI11_PARSE(app, argc, argv);
  return exitCode;
}

}  // namespace

// A failure no command expected (out of memory, a broken stream) still ends
// with a message and exit code 1.
int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tavrel: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "tavrel: unexpected failure\n");
  }
  return 1;
}
