#include "app/dialogue_text.h"

#include <fmt/format.h>

#include <algorithm>
#include <optional>

#include "gamefiles/file_io.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace {

constexpr const char* kEscapes = "\\\\ \\n \\r \\t \\s or \\xHH";

// The length of the UTF-8 sequence at `at`, 0 when it is not a valid one.
size_t Utf8Length(std::string_view s, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char b = byte(at);
  size_t n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
  if (n == 0 || at + n > s.size()) return 0;
  for (size_t i = 1; i < n; ++i)
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
  if (n == 2 && b < 0xC2) return 0;  // overlong
  return n;
}

uint32_t CodePoint(std::string_view s) {
  const auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(s[i])); };
  switch (s.size()) {
    case 1:
      return byte(0);
    case 2:
      return (byte(0) & 0x1F) << 6 | (byte(1) & 0x3F);
    case 3:
      return (byte(0) & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);
    default:
      return (byte(0) & 0x07) << 18 | (byte(1) & 0x3F) << 12 | (byte(2) & 0x3F) << 6 | (byte(3) & 0x3F);
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// One character of the unescaped text and where it stood on its line.
struct Placed {
  size_t from;    // byte in the unescaped text
  size_t length;  // its UTF-8 bytes
  size_t source;  // byte in the line
};

// Undoes the escapes of `rest` (the text part of line `line`, starting at
// byte `base`). Reports and returns nothing on a broken escape or bad UTF-8.
std::optional<std::string> Unescape(std::string_view lineText, size_t base, int line, const std::string& file,
                                    std::vector<Placed>& placed, std::vector<TextDiagnostic>& errors) {
  std::string out;
  auto fail = [&](size_t at, std::string message) {
    errors.push_back(TextDiagnostic{file, line, TextColumn(lineText, at), std::move(message)});
    return std::nullopt;
  };
  size_t i = base;
  while (i < lineText.size()) {
    const char c = lineText[i];
    if (c != '\\') {
      const size_t n = Utf8Length(lineText, i);
      if (n == 0) return fail(i, "expected UTF-8 text: this byte starts no valid UTF-8 character");
      placed.push_back(Placed{out.size(), n, i});
      out.append(lineText.substr(i, n));
      i += n;
      continue;
    }
    if (i + 1 >= lineText.size()) return fail(i, fmt::format("expected an escape after '\\': {}", kEscapes));
    const char e = lineText[i + 1];
    char value = 0;
    size_t used = 2;
    switch (e) {
      case '\\':
        value = '\\';
        break;
      case 'n':
        value = '\n';
        break;
      case 'r':
        value = '\r';
        break;
      case 't':
        value = '\t';
        break;
      case 's':
        value = ' ';
        break;
      case 'x': {
        const int hi = i + 2 < lineText.size() ? HexDigit(lineText[i + 2]) : -1;
        const int lo = i + 3 < lineText.size() ? HexDigit(lineText[i + 3]) : -1;
        if (hi < 0 || lo < 0 || hi * 16 + lo >= 0x80)
          return fail(i, "expected two hexadecimal digits from 00 to 7F after '\\x'");
        value = static_cast<char>(hi * 16 + lo);
        used = 4;
        break;
      }
      default: {
        const size_t n = std::max<size_t>(Utf8Length(lineText, i + 1), 1);
        return fail(i, fmt::format("unknown escape '\\{}': expected {}", lineText.substr(i + 1, n), kEscapes));
      }
    }
    placed.push_back(Placed{out.size(), 1, i});
    out.push_back(value);
    i += used;
  }
  return out;
}

}  // namespace

std::string EscapeDialogue(std::string_view text) {
  size_t first = 0;
  while (first < text.size() && text[first] == ' ') ++first;
  size_t last = text.size();
  while (last > first && text[last - 1] == ' ') --last;
  std::string out;
  out.reserve(text.size() + 8);
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == ' ')
      out += (i < first || i >= last) ? "\\s" : " ";
    else if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else if (c == '\t')
      out += "\\t";
    else if (c < 0x20 || c == 0x7F)
      out += fmt::format("\\x{:02X}", c);
    else
      out += static_cast<char>(c);
  }
  return out;
}

std::string WriteDialogueText(const EditorState& state) {
  const auto& entries = state.game.talk.entries;
  std::string out;
  out += "# Tavrel dialogue: one entry a line, \"NUMBER TEXT\", numbered from 0 without gaps.\n";
  out += "# Escapes: \\\\ backslash, \\n line feed, \\r carriage return, \\t tab, \\s space, \\xHH control.\n";
  out += fmt::format("# charset {}, {} entries\n", CharsetName(state.charset), entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    out += std::to_string(i);
    if (!entries[i].text.empty()) {
      out += ' ';
      out += EscapeDialogue(entries[i].text.view());
    }
    out += '\n';
  }
  return out;
}

CompiledDialogue CompileDialogueText(std::string_view text, const std::string& fileName, const TalkTable& current,
                                     const TextCodec& codec, bool allowLossy) {
  CompiledDialogue result;
  const std::vector<std::string_view> lines = SplitTextLines(text);
  std::vector<Placed> placed;
  for (size_t li = 0; li < lines.size(); ++li) {
    const int line = int(li) + 1;
    const std::string_view l = lines[li];
    if (l.empty() || l[0] == '#') continue;
    const size_t expected = result.entries.size();
    size_t digits = 0;
    while (digits < l.size() && digits < 10 && l[digits] >= '0' && l[digits] <= '9') ++digits;
    if (digits == 0) {
      result.errors.push_back(TextDiagnostic{
          fileName, line, 1, fmt::format("expected the entry number {}, a space and the text", expected)});
      break;  // every later number would be off as well
    }
    const std::string_view number = l.substr(0, digits);
    if (number != std::to_string(expected)) {
      result.errors.push_back(
          TextDiagnostic{fileName, line, 1,
                         fmt::format("expected the entry number {}, found {}: entries are numbered from 0 without gaps",
                                     expected, number)});
      break;
    }
    if (digits < l.size() && l[digits] != ' ') {
      result.errors.push_back(TextDiagnostic{fileName, line, TextColumn(l, digits),
                                             "expected a space between the entry number and the text"});
      result.entries.emplace_back();
      continue;
    }
    placed.clear();
    std::optional<std::string> entryText =
        Unescape(l, std::min(digits + 1, l.size()), line, fileName, placed, result.errors);
    if (!entryText) {
      result.entries.emplace_back();
      continue;
    }
    if (expected < current.entries.size() && current.entries[expected].text == *entryText) {
      result.entries.push_back(current.entries[expected]);
      continue;
    }
    ++result.changed;
    if (!codec.CanEncode(*entryText)) {
      for (const Placed& p : placed) {
        const std::string_view ch = std::string_view(*entryText).substr(p.from, p.length);
        if (codec.CanEncode(ch)) continue;
        const std::string what =
            FormatInterfaceString(Str::CharacterNotStorable, ch, fmt::format("{:04X}", uint32_t(CodePoint(ch))),
                                  CharsetName(codec.charset()));
        (allowLossy ? result.lossy : result.errors)
            .push_back(TextDiagnostic{fileName, line, TextColumn(l, p.source), what});
        if (!allowLossy) ++result.unholdable;
      }
    }
    // A changed entry of the game keeps what it was read from, so the
    // characters around the change keep their game bytes when saved.
    if (expected < current.entries.size()) {
      result.entries.push_back(current.entries[expected]);
      result.entries.back().text = std::move(*entryText);
    } else {
      result.entries.push_back(NewTalkEntry(std::move(*entryText)));
    }
  }
  if (!result.errors.empty()) result.entries.clear();
  return result;
}

Status ExportDialogueFile(const EditorState& state, const std::filesystem::path& file) {
  const std::string text = WriteDialogueText(state);
  return WriteFileAtomic(file, Bytes(text.begin(), text.end()), false);
}

DialogueImport ApplyDialogue(EditorState& state, CompiledDialogue compiled) {
  DialogueImport report;
  report.entries = static_cast<int32_t>(compiled.entries.size());
  report.changed = compiled.changed;
  report.lossy = std::move(compiled.lossy);
  const bool resized = compiled.entries.size() != state.game.talk.entries.size();
  state.game.talk.entries = std::move(compiled.entries);
  if (report.changed > 0 || resized) state.modified = true;
  return report;
}

Result<DialogueImport> ImportDialogueFile(EditorState& state, const std::filesystem::path& file, bool allowLossy,
                                          bool* onlyUnholdable) {
  if (onlyUnholdable != nullptr) *onlyUnholdable = false;
  Result<Bytes> bytes = ReadWholeFile(file);
  if (!bytes) return bytes.passError();
  CompiledDialogue compiled =
      CompileDialogueText(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), file.string(),
                          state.game.talk, state.text(), allowLossy);
  if (!compiled.errors.empty()) {
    if (onlyUnholdable != nullptr) *onlyUnholdable = compiled.unholdable == int32_t(compiled.errors.size());
    return Error{JoinDiagnostics(compiled.errors)};
  }
  return ApplyDialogue(state, std::move(compiled));
}

}  // namespace tavrel
