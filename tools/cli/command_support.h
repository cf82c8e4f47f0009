#pragma once
// What the subcommands share: where the tool lies (mb.dat and kdefattr.dat
// are beside it), reading a game directory, writing an export.
#include <fmt/format.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/save_plan.h"
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

// The one way every command opens a game directory: checks that `dir` is
// one, then settles a save that was cut off in it (RecoverInterruptedSave)
// and prints what that did to stderr, before anything in it is read. Prints
// the problem and returns false when `dir` is no directory or the recovery
// failed. `state` gives the language of the message.
bool OpenGameDirectory(const EditorState& state, const std::string& dir);

// StartEditor, OpenGameDirectory, then ReadGameFiles on `dir` with what the
// command `needs`. Prints the problem to stderr and
// returns false on failure. The read's warnings go to `report` when given,
// else to stderr as "warning: FILE: reason" lines.
bool LoadGame(EditorState& state, const CommonOptions& common, const std::string& dir, GameReadReport* report = nullptr,
              ReadNeeds needs = {});

// Writes what a writing command changed through the save plan of the parts
// it names (app/save_plan.h): files whose bytes would not change are not
// written, and a part read with damage is refused, naming it and what would
// be lost, unless `overwriteDamaged`. Prints what was written or refused;
// returns the exit code.
int WritePlan(EditorState& state, SavePlan plan, bool overwriteDamaged);

// The option every writing command has.
inline constexpr const char* kOverwriteDamagedFlag = "--overwrite-damaged";
inline constexpr const char* kOverwriteDamagedHelp =
    "write a file that was read with damage all the same, losing what its read could not get";

// Writes an export to `file` (relative to the current directory) and prints
// interface string `messageNumber` followed by the path. Returns the exit code.
int WriteExportFile(const EditorState& state, const std::string& file, const ByteProducer& produce, int messageNumber);

}  // namespace tavrel::cli
