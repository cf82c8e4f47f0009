#pragma once
// Whole-file reading and atomic replacement of game files. Nothing stays open
// between commands.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"

namespace tavrel {

using Bytes = std::vector<uint8_t>;

// The file `name` in `dir`, matched case-insensitively (DOS games ship
// KDEF.GRP as well as kdef.grp). An existing file is returned under its own
// name; when none matches, dir / name.
std::filesystem::path FindGameFile(const std::filesystem::path& dir, const std::string& name);

// The whole file, or an error naming it.
Result<Bytes> ReadWholeFile(const std::filesystem::path& path);
// The same bytes straight into 16-bit words as they lie in memory (a last
// odd byte in a word of its own, zero-filled); gives the number of bytes.
Result<size_t> ReadWholeFileWords(const std::filesystem::path& path, std::vector<int16_t>& words);

// One file of a group to replace.
struct FileWrite {
  std::filesystem::path path;
  Bytes bytes;
  // The file was read with damage (and the user agreed to write it): what
  // lies on disk now is no copy worth keeping over an older backup.
  bool inputDamaged = false;
};

// Receives a file's new contents piece by piece, in order; a piece lives only
// for the call. An error stops the writing.
using ByteSink = std::function<Status(std::span<const uint8_t> piece)>;
// Hands every piece of a file's new contents to the sink, in order, and
// passes on the first error the sink returns.
using ByteProducer = std::function<Status(const ByteSink& sink)>;
// Contents that are whole in memory, as one piece; `bytes` must outlive the
// producer.
ByteProducer WholeBytes(std::span<const uint8_t> bytes);

// Replaces the file atomically: writes NAME.tmp beside it, flushes, and
// renames it into place. With `keepBackup` it is a save of a game file: it
// goes through WriteFilesAtomic as a group of one, keeping the old file as
// NAME.bak. A failure at any point leaves the old file in place and names it.
Status WriteFileAtomic(const std::filesystem::path& path, std::span<const uint8_t> bytes, bool keepBackup = true);
// The same, with the contents written as they are produced, so a large file
// never has to be whole in memory (a save with a backup runs the producer
// twice: once for the journal's checksum, once to write).
Status WriteFileAtomicInPieces(const std::filesystem::path& path, const ByteProducer& produce, bool keepBackup = true);

// Writes a group of files of one directory (an .idx with its .grp, or
// several such pairs) so that either all are replaced or none is, even when
// the process or the machine stops at any instant:
//   1. the journal (save_journal.h) names every file with the size and
//      checksum of its old and new contents; it is flushed, as is the
//      directory, before anything else is written;
//   2. every new copy NAME.tmp and every old copy NAME.old is written and
//      flushed;
//   3. each NAME.tmp is renamed over NAME;
//   4. each old copy is kept: NAME.bak, after NAME.bak2 has moved to
//      NAME.bak3 and NAME.bak to NAME.bak2 (without `keepBackup` it is
//      removed; for a file with `inputDamaged` it becomes NAME.damaged, or
//      NAME.damaged2 and on when that exists, and the .bak files stay);
//   5. the journal is removed.
// A failure in 1-3 puts back the files already replaced and removes the
// copies; a stop is finished or undone by RecoverInterruptedSave at the next
// open. A journal already in the directory (a save not yet recovered)
// refuses the save. Every save into a game directory goes this way (a group
// of one without `keepBackup` for z.dat and its backup), so a stop leaves no
// copy behind there.
Status WriteFilesAtomic(const std::vector<FileWrite>& files, bool keepBackup = true);

// One run of bytes written over a file in place at `offset`.
struct InPlaceWrite {
  uint64_t offset = 0;
  std::span<const uint8_t> bytes;
};

// Writes the runs into the existing file in place and flushes it; the file's
// length never changes (a run reaching past its end is refused before
// anything is written). A journal holding the runs' old and new bytes is
// written first, so a stop part-way is finished at the next open. When a
// write fails part-way the runs already written are put back, so the file
// is as it was.
Status WriteInPlace(const std::filesystem::path& path, std::span<const InPlaceWrite> writes);

// Test seam: when set, called before each step of a write with the game
// file's path; returning false makes that step fail (a test that ends the
// process in the hook sees the directory as a crash at that instant leaves
// it):
//   "create"  creating the new copy NAME.tmp (as in a read-only directory)
//   "write"   writing the new bytes (in place too)
//   "flush"   flushing them to the disk (in place too)
//   "backup"  keeping the old copy NAME.old (a hard link, else a copy)
//   "rename"  renaming the new copy into place
//   "rotate"  each move of a backup generation (NAME.bak to NAME.bak2, ...,
//             NAME.old to NAME.bak or NAME.damaged)
//   "journal-create", "journal-write", "journal-flush", "journal-place",
//   "journal-remove"  the journal's own steps (its path is the game file's
//             for the first four; the journal's for the last)
//   "remove"  recovery removing a leftover copy
using WriteFaultHook = std::function<bool(const std::string& step, const std::filesystem::path& path)>;
void SetWriteFaultHook(WriteFaultHook hook);
// Test seam: from now on at most `bytes` more bytes are written, counted over
// every file but the journal (whose failures the journal steps above stand
// for); the write that would pass the limit writes up to it and fails, as on
// a full disk. std::nullopt lifts the limit.
void SetWriteByteLimit(std::optional<uint64_t> bytes);

// Little-endian access that never reads past `bytes`.
inline int32_t ReadI32(std::span<const uint8_t> b, size_t at) {
  return static_cast<int32_t>(uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
                              uint32_t(b[at + 3]) << 24);
}
inline int16_t ReadI16(std::span<const uint8_t> b, size_t at) {
  return static_cast<int16_t>(uint16_t(b[at]) | uint16_t(b[at + 1]) << 8);
}
inline void AppendI32(Bytes& out, int32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(uint32_t(v) >> (8 * i)));
}
inline void AppendI16(Bytes& out, int16_t v) {
  out.push_back(static_cast<uint8_t>(uint16_t(v)));
  out.push_back(static_cast<uint8_t>(uint16_t(v) >> 8));
}

}  // namespace tavrel
