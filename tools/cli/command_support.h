#pragma once
// What the subcommands share: where the tool lies (mb.dat and kdefattr.dat
// are beside it), reading a game directory, writing an export.
#include <fmt/format.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/command_registry.h"
#include "gamefiles/file_io.h"
#include "text/ui_strings.h"

namespace tavrel::cli {

// Interface string `number` with its arguments, as the tool prints it: in
// the run's language, and in a Chinese run in the characters of its charset.
template <class... Args>
std::string ToolText(const EditorState& state, int number, const Args&... args) {
  return state.text().MapInterfaceText(FormatInterfaceString(number, args...));
}
// The same as a line on stdout (Say) or stderr (Complain).
template <class... Args>
void Say(const EditorState& state, int number, const Args&... args) {
  fmt::print("{}\n", ToolText(state, number, args...));
}
template <class... Args>
void Complain(const EditorState& state, int number, const Args&... args) {
  fmt::print(stderr, "{}\n", ToolText(state, number, args...));
}
// A message the core built (an error, a report line), mapped the same way.
void SayCore(const EditorState& state, const std::string& message);
void ComplainCore(const EditorState& state, const std::string& message);

// Called by main with argv[0], the fallback when the executable's own path
// cannot be asked from the system.
void RememberInvocation(const char* argv0);

// The directory of the running executable.
std::filesystem::path ProgramDirectory();

// StartEditor, then ReadGameFiles on `dir`. Prints the problem to stderr and
// returns false on failure. The read's warnings go to `report` when given,
// else to stderr as "warning: FILE: reason" lines.
bool LoadGame(EditorState& state, const CommonOptions& common, const std::string& dir,
              GameReadReport* report = nullptr);

// Writes an export to `file` (relative to the current directory) and prints
// interface string `messageNumber` followed by the path. Returns the exit code.
int WriteExportFile(const EditorState& state, const std::string& file, const ByteProducer& produce, int messageNumber);

}  // namespace tavrel::cli
