#pragma once
// Subcommands of the `tavrel` tool register themselves here, one file each.
#include <CLI/CLI.hpp>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/editor_state.h"

namespace tavrel::cli {

// Options every subcommand shares.
struct CommonOptions {
  std::string charset = "GBK";
  std::string language = "zh";  // of everything the tool prints and writes: its messages and the lines
};

// Adds one subcommand to `app`. The callback it installs sets `exitCode`.
using CommandSetup = std::function<void(CLI::App& app, const CommonOptions& common, int& exitCode)>;

std::vector<CommandSetup>& Commands();

// Adds a setup to Commands(); Command below is the usual way in.
struct RegisterCommand {
  explicit RegisterCommand(CommandSetup setup) { Commands().push_back(std::move(setup)); }
};

// One subcommand, defined as a constant at namespace scope of its file:
//
//   struct EventArgs { std::string dir; int number = 0; };
//   const Command<EventArgs> kCommand{"event", "help line",
//       [](CLI::App& sub, EventArgs& args) { sub.add_option("DIR", args.dir, "...")->required(); },
//       [](const CommonOptions& common, const EventArgs& args) { return RunEvent(common, args.dir); }};
//
// The options fill a fresh Args (its defaults are the options' defaults);
// `run` gets it after the parse and returns the exit code.
template <class Args>
class Command {
 public:
  using Options = void (*)(CLI::App& sub, Args& args);
  using Run = int (*)(const CommonOptions& common, const Args& args);

  Command(const char* name, const char* help, Options options, Run run)
      : registered_([=](CLI::App& app, const CommonOptions& common, int& exitCode) {
          auto args = std::make_shared<Args>();
          CLI::App* sub = app.add_subcommand(name, help);
          options(*sub, *args);
          sub->callback([&common, &exitCode, args, run] { exitCode = run(common, *args); });
        }) {}

 private:
  RegisterCommand registered_;
};

// Start-up for a command that reads a game: the interface language of the
// lines it prints, charset, mb.dat and kdefattr.dat from the tool's own
// directory. Prints the problem to stderr and returns
// false on failure.
bool StartEditor(EditorState& state, const CommonOptions& common);

}  // namespace tavrel::cli
