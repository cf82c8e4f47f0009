// tavrel: the command-line side of the editor. Reads, checks and exports a
// game directory and writes the sample game; the subcommands register
// themselves in Commands(). Every message of a run, a wrong command line's
// included, is in the interface language that --language chooses (Chinese
// when it is not given).
#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>

#include <fmt/format.h>

#include "cli/command_registry.h"
#include "cli/command_support.h"
#include "cli/parse_errors.h"
#include "text/ui_strings.h"

namespace {

int Run(int argc, char** argv) {
  tavrel::cli::RememberInvocation(argc > 0 ? argv[0] : nullptr);
  // The language is needed before the parse can say what is wrong.
  tavrel::SetInterfaceLanguage(tavrel::cli::LanguageOfArguments(argc, argv));
  CLI::App app{"Tavrel: reads, checks and exports the data files of the game"};
  app.fallthrough();
  tavrel::cli::CommonOptions common;
  app.add_option("--charset", common.charset, "GBK (simplified) or BIG5 (traditional)")
      ->check(CLI::IsMember({"GBK", "BIG5"}))
      ->capture_default_str();
  app.add_option("--language", common.language,
                 "zh or en: the language of every message and of the instruction lines and export words the tool "
                 "prints and writes")
      ->check(CLI::IsMember({"zh", "en"}))
      ->capture_default_str();
  app.require_subcommand(1);
  int exitCode = 0;
  for (const tavrel::cli::CommandSetup& setup : tavrel::cli::Commands()) setup(app, common, exitCode);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    fmt::print(stderr, "{}\n{}\n", tavrel::cli::ParseErrorText(e), tavrel::FormatInterfaceString(tavrel::Str::SeeHelp));
    return e.get_exit_code();
  }
  return exitCode;
}

}  // namespace

// A failure no command expected (out of memory, a broken stream) still ends
// with a message and exit code 1.
int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", tavrel::FormatInterfaceString(tavrel::Str::UnexpectedFailure, e.what()).c_str());
  } catch (...) {
    std::fprintf(stderr, "%s\n", tavrel::FormatInterfaceString(tavrel::Str::UnexpectedFailure, "?").c_str());
  }
  return 1;
}
