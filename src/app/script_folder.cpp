#include "app/script_folder.h"

#include <algorithm>
#include <system_error>

#include "gamefiles/file_io.h"
#include "text/ui_string_names.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace fs = std::filesystem;

namespace {

Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

}  // namespace

std::string WriteScriptHeader(const EditorState& state) {
  return WriteScriptHeader(state.charset, state.eventCount(), state.attributes);
}

std::vector<ScriptFile> WriteScriptFiles(const EditorState& state) {
  std::vector<ScriptFile> files;
  files.reserve(state.game.events.events.size() + 1);
  files.push_back(ScriptFile{kScriptHeaderName, WriteScriptHeader(state)});
  const DescribeContext ctx = state.describeContext();
  const auto& events = state.game.events.events;
  for (size_t i = 0; i < events.size(); ++i) {
    const int32_t n = static_cast<int32_t>(i);
    files.push_back(ScriptFile{ScriptFileName(n), WriteEventScript(events[i].words, n, state.attributes, ctx)});
  }
  return files;
}

Status ExportScriptFolder(const EditorState& state, const fs::path& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec || !fs::is_directory(folder, ec))
    return Error{FormatInterfaceString(Str::CannotCreateFolder, folder.string(), ec.message())};
  const std::vector<ScriptFile> files = WriteScriptFiles(state);
  for (const ScriptFile& f : files) {
    const fs::path path = folder / f.name;
    // Untouched events keep their files as they are.
    if (fs::exists(path, ec)) {
      Result<Bytes> old = ReadWholeFile(path);
      if (old && old->size() == f.text.size() && std::equal(old->begin(), old->end(), f.text.begin())) continue;
    }
    if (Status s = WriteFileAtomic(path, ToBytes(f.text), false); !s) return s;
  }
  // Files of events that no longer exist (or the same event under another
  // spelling of its number) would come back at the next import.
  std::vector<fs::path> stale;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::optional<int32_t> n = EventNumberOf(name);
    if (n && (*n >= state.eventCount() || name != ScriptFileName(*n))) stale.push_back(it->path());
  }
  // Without the whole list the next import could bring back removed events.
  if (ec) return Error{FormatInterfaceString(Str::CannotListOldEventFiles, folder.string(), ec.message())};
  for (const fs::path& p : stale) {
    fs::remove(p, ec);
    if (ec) return Error{FormatInterfaceString(Str::CannotRemoveOldEventFile, p.string(), ec.message())};
  }
  return Ok();
}

ScriptImport ApplyScripts(EditorState& state, std::vector<std::vector<int16_t>> events) {
  ScriptImport report;
  report.events = static_cast<int32_t>(events.size());
  EventTable& table = state.game.events;
  std::vector<KdefEvent> next(events.size());
  for (size_t i = 0; i < events.size(); ++i) {
    if (i < table.events.size() && table.events[i].words == events[i]) {
      next[i] = std::move(table.events[i]);
      continue;
    }
    ++report.changed;
    next[i].words = std::move(events[i]);
  }
  const bool removed = table.events.size() > next.size();
  table.events = std::move(next);
  table.offsets.assign(1, 0);
  for (const KdefEvent& e : table.events) table.offsets.push_back(table.offsets.back() + e.wordCount());
  if (report.changed > 0 || removed) state.modified = true;
  return report;
}

Result<ScriptImport> ImportScriptFolder(EditorState& state, const fs::path& folder) {
  CompiledScripts compiled = ReadScriptFolder(folder, state.attributes);
  if (!compiled.errors.empty()) return Error{JoinDiagnostics(compiled.errors)};
  return ApplyScripts(state, std::move(compiled.events));
}

}  // namespace tavrel
