#pragma once
// A game's events as a folder of script files (see script/script_text.h):
// written from the editor's state and read back into it.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/editor_state.h"
#include "script/script_text.h"

namespace tavrel {

// The header of a script folder: format, charset, event count and the
// numbers of the attribute table the scripts were written with.
std::string WriteScriptHeader(const EditorState& state);

// The header and one file per event, in that order.
std::vector<ScriptFile> WriteScriptFiles(const EditorState& state);

// Writes the header and every event's file into `folder` (created when
// missing); files that already hold the same text are left alone, and event
// files numbered at or beyond the event count are removed.
Status ExportScriptFolder(const EditorState& state, const std::filesystem::path& folder);

struct ScriptImport {
  int32_t events = 0;   // events in the folder
  int32_t changed = 0;  // events whose words differ from before (added ones included)
};

// Replaces the events of `state` by compiled ones: events whose words are
// unchanged stay as they were, the others get empty statement lists. Marks
// the state modified when anything changed. Writes no file.
ScriptImport ApplyScripts(EditorState& state, std::vector<std::vector<int16_t>> events);

// ReadScriptFolder, then ApplyScripts. With any error the state is untouched
// and the message lists the problems as file:line:column lines.
Result<ScriptImport> ImportScriptFolder(EditorState& state, const std::filesystem::path& folder);

}  // namespace tavrel
