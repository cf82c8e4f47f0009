#pragma once
// The dialogue table as editable UTF-8 text (see docs/script-format.md): one
// entry a line, "NUMBER TEXT", numbers from 0 without gaps, with escapes for
// line breaks, backslashes and spaces at either end of a text.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/editor_state.h"
#include "app/script_folder.h"

namespace tavrel {

// A text as it stands on its line: "\\" "\n" "\r" "\t", "\s" for a space at
// either end, "\xHH" for other control characters.
std::string EscapeDialogue(std::string_view text);

// The whole file: a comment header, then one line per entry.
std::string WriteDialogueText(const EditorState& state);

struct CompiledDialogue {
  std::vector<TalkEntry> entries;
  int32_t changed = 0;                 // entries new or with another text than before
  std::vector<TextDiagnostic> errors;  // nothing may be written when there are any
  std::vector<TextDiagnostic> lossy;   // characters the charset cannot hold
  int32_t unholdable = 0;              // of the errors: such characters (without allowLossy)
};

// Parses the text against the current table: an entry whose text is as
// before is kept as it is (with the bytes it was read with). A character that
// EncodeGameText cannot hold is an error, or with `allowLossy` a warning in
// `lossy` (it is then stored as EncodeGameText stores it).
CompiledDialogue CompileDialogueText(std::string_view text, const std::string& fileName, const TalkTable& current,
                                     const TextCodec& codec, bool allowLossy);

// Writes WriteDialogueText to `file` (replaced atomically, no backup).
Status ExportDialogueFile(const EditorState& state, const std::filesystem::path& file);

struct DialogueImport {
  int32_t entries = 0;
  int32_t changed = 0;
  std::vector<TextDiagnostic> lossy;
};

// Replaces the dialogue table of `state` by compiled entries (free of
// errors), marking the state modified when anything changed.
DialogueImport ApplyDialogue(EditorState& state, CompiledDialogue compiled);

// Reads and compiles the file; on success replaces the dialogue table of
// `state` (marking it modified when anything changed). Writes no game file.
// With any error the state is untouched and the message lists the problems;
// `onlyUnholdable` then tells whether every problem was a character the
// charset cannot hold, so that importing with `allowLossy` would succeed.
Result<DialogueImport> ImportDialogueFile(EditorState& state, const std::filesystem::path& file,
                                          bool allowLossy = false, bool* onlyUnholdable = nullptr);

}  // namespace tavrel
