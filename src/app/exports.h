#pragma once
// The two text exports of the loaded game: every dialogue as talk.txt and
// every event, freshly decoded, as kdefout.txt. Both are text in the
// charset's code page with CRLF line ends; in an English run they are UTF-8,
// in the same layout with the English words.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/editor_state.h"
#include "gamefiles/file_io.h"

namespace tavrel {

inline constexpr const char* kTalkExportName = "talk.txt";
inline constexpr const char* kKdefExportName = "kdefout.txt";

// One line per dialogue: the printed number, the hex number, a space, the text.
Bytes ExportTalkText(const EditorState& state);

// What the event export met on its way.
struct KdefExportReport {
  std::vector<int32_t> unknownWords;  // per event: words decoded as unknown statements
  int32_t totalUnknownWords = 0;
};

// Every event is decoded again from its words with its label counter set to
// 0 first, so statement lists and labels are as after a fresh showing.
Bytes ExportKdefText(EditorState& state, KdefExportReport* report = nullptr);
// The same text handed to `sink` in pieces as it is written, so it never
// stands whole in memory. When the sink fails, the rest of the text is
// dropped but every event is still decoded; the sink's error is returned.
Status ExportKdefText(EditorState& state, const ByteSink& sink, KdefExportReport* report = nullptr);

// The printed number form of the exports: the signed decimal preceded by a
// space when not negative and always followed by one (" 26 ", "-1 "). Hex
// numbers are base/numbers.h's AppendHex.
std::string PrintedNumber(int32_t value);

// Replaces dir/fileName with `bytes`, or with what `produce` writes
// (atomically, no backup). Returns the path written, or a message naming the
// directory.
Result<std::filesystem::path> WriteExport(const std::filesystem::path& dir, const std::string& fileName,
                                          const Bytes& bytes);
Result<std::filesystem::path> WriteExport(const std::filesystem::path& dir, const std::string& fileName,
                                          const ByteProducer& produce);

// Where an export of the editor went.
struct ExportWritten {
  std::filesystem::path path;
  // Empty when the file lies in the program's directory; otherwise that
  // directory, which could not be written.
  std::filesystem::path unwritable;
};

// Writes an export into the program's directory, or into `userDir` (created
// when missing) when the program's directory cannot be written: an installed
// editor's data directory belongs to the system. The error names every
// directory tried. A producer runs again for the second directory.
Result<ExportWritten> WriteProgramExport(const std::filesystem::path& programDir, const std::string& fileName,
                                         const Bytes& bytes, const std::filesystem::path& userDir);
Result<ExportWritten> WriteProgramExport(const std::filesystem::path& programDir, const std::string& fileName,
                                         const ByteProducer& produce, const std::filesystem::path& userDir);

}  // namespace tavrel
