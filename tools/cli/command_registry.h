#pragma once
// Subcommands of the `tavrel` tool register themselves here, one file each.
#include <CLI/CLI.hpp>
#include <functional>
#include <string>
#include <vector>

#include "app/editor_state.h"

namespace tavrel::cli {

// Options every subcommand shares.
struct CommonOptions {
  std::string charset = "GBK";
  std::string language = "zh";  // of the lines the tool prints and writes; its own messages are English
};

// Adds one subcommand to `app`. The callback it installs sets `exitCode`.
using CommandSetup = std::function<void(CLI::App& app, const CommonOptions& common, int& exitCode)>;

std::vector<CommandSetup>& Commands();

struct RegisterCommand {
  explicit RegisterCommand(CommandSetup setup) { Commands().push_back(std::move(setup)); }
};

// Start-up for a command that reads a game: the interface language of the
// lines it prints, charset, mb.dat and kdefattr.dat from the tool's own
// directory. Prints the problem to stderr and returns
// false on failure.
bool StartEditor(EditorState& state, const CommonOptions& common);

}  // namespace tavrel::cli
