#pragma once
// Event scripts as editable UTF-8 text (see docs/script-format.md): one
// instruction a line, its opcode and data words in decimal, conditional jump
// words as references to named labels, and the instruction's readable line as
// a comment. Every word sequence has a text that compiles back to the very
// same words: words that do not form an instruction are written as `raw`
// lines, and jump words whose target is no instruction boundary of the event
// stay plain numbers.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "script/attributes.h"
#include "script/describe.h"
#include "text/charset.h"

namespace tavrel {

// One problem found in a text: where it is and what was expected there.
struct TextDiagnostic {
  std::string file;
  int line = 0;    // from 1
  int column = 0;  // from 1, in characters
  std::string message;

  std::string ToString() const;  // "file:line:column: message"
};

// The column (from 1, in characters) of byte `offset` of a UTF-8 line.
int TextColumn(std::string_view line, size_t offset);

// The lines of a text: "\n" or "\r\n" ends a line; a leading UTF-8 byte
// order mark is skipped.
std::vector<std::string_view> SplitTextLines(std::string_view text);

// Up to `limit` diagnostics, one a line, and a count of the rest.
std::string JoinDiagnostics(const std::vector<TextDiagnostic>& diagnostics, size_t limit = 20);

inline constexpr const char* kScriptHeaderName = "header.txt";
inline constexpr const char* kScriptFileSuffix = ".kdef.txt";

// "0012.kdef.txt": at least four digits.
std::string ScriptFileName(int32_t event);
// The event number of a file name "NNNN.kdef.txt" (up to nine digits), if it is one.
std::optional<int32_t> EventNumberOf(const std::string& name);

// The text of one event.
std::string WriteEventScript(std::span<const int16_t> words, int32_t number, const AttributeTable& attributes,
                             const DescribeContext& ctx);

// The header of a script folder: format, charset, event count and the
// numbers of the attribute table the scripts were written with.
std::string WriteScriptHeader(GameCharset charset, int32_t events, const AttributeTable& attributes);

struct ScriptFile {
  std::string name;  // file name inside the folder
  std::string text;
};

struct CompiledEvent {
  std::vector<int16_t> words;
  std::vector<TextDiagnostic> errors;  // the words mean nothing when there are any
};

// Compiles the text of one event; `fileName` names it in the diagnostics.
CompiledEvent CompileEventScript(std::string_view text, const std::string& fileName, const AttributeTable& attributes);

struct CompiledScripts {
  std::vector<std::vector<int16_t>> events;  // by event number
  std::vector<TextDiagnostic> errors;
};

// Compiles a whole folder given as files: the header (checked against
// `attributes`) and the event files NNNN.kdef.txt, numbered 0 to N - 1
// without gaps, N as the header says. Other files are ignored. `folder`
// prefixes the file names in the diagnostics.
CompiledScripts CompileScriptFiles(const std::vector<ScriptFile>& files, const AttributeTable& attributes,
                                   const std::filesystem::path& folder = {});

// Reads the folder and compiles it.
CompiledScripts ReadScriptFolder(const std::filesystem::path& folder, const AttributeTable& attributes);

}  // namespace tavrel
