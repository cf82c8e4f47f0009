#include "cli/command_registry.h"

#include <fmt/format.h>

#include <cstdio>
#include <system_error>

#include "app/exports.h"
#include "app/program_files.h"
#include "cli/command_support.h"
#include "text/ui_strings.h"

namespace tavrel::cli {
namespace {

std::filesystem::path& Invocation() {
  static std::filesystem::path path;
  return path;
}

}  // namespace

std::vector<CommandSetup>& Commands() {
  static std::vector<CommandSetup> commands;
  return commands;
}

void RememberInvocation(const char* argv0) { Invocation() = argv0 ? argv0 : ""; }

void SayCore(const EditorState& state, const std::string& message) {
  fmt::print("{}\n", state.text().MapInterfaceText(message));
}
void ComplainCore(const EditorState& state, const std::string& message) {
  fmt::print(stderr, "{}\n", state.text().MapInterfaceText(message));
}

std::filesystem::path ProgramDirectory() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::canonical("/proc/self/exe", ec);
  if (!ec) return self.parent_path();
  const std::filesystem::path fallback = std::filesystem::absolute(Invocation(), ec);
  return ec ? std::filesystem::current_path() : fallback.parent_path();
}

bool StartEditor(EditorState& state, const CommonOptions& common) {
  SetInterfaceLanguage(ParseInterfaceLanguage(common.language).value_or(InterfaceLanguage::Chinese));
  state.programDir = FindDataDirectory(ProgramDirectory());
  auto started = InitializeEditor(state, ParseCharset(common.charset));
  if (!started) {
    fmt::print(stderr, "{}\n", started.error());
    return false;
  }
  for (const std::string& warning : started->warnings) ComplainCore(state, warning);
  return true;
}

bool LoadGame(EditorState& state, const CommonOptions& common, const std::string& dir, GameReadReport* report) {
  if (!StartEditor(state, common)) return false;
  std::error_code ec;
  if (!std::filesystem::is_directory(dir, ec)) {
    Complain(state, Str::NotADirectory, dir);
    return false;
  }
  state.gameDirectory = dir;
  Result<GameReadReport> read = ReadGameFiles(state);
  if (!read) {
    ComplainCore(state, read.error());
    return false;
  }
  if (report) {
    *report = std::move(*read);
  } else {
    for (const FileWarning& w : read->warnings) Complain(state, Str::ToolWarning, w.file, w.message);
  }
  return true;
}

int WriteExportFile(const EditorState& state, const std::string& file, const ByteProducer& produce, int messageNumber) {
  const std::filesystem::path path(file);
  const std::filesystem::path dir = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  auto written = WriteExport(dir, path.filename().string(), produce);
  if (!written) {
    ComplainCore(state, written.error());
    return 1;
  }
  fmt::print("{}{}\n", state.text().UiString(messageNumber), written->string());
  return 0;
}

}  // namespace tavrel::cli
