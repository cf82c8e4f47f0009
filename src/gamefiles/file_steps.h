#pragma once
// The steps every write into a game directory is made of, shared by the
// atomic replacement (file_io.cpp), the save journal and the recovery of an
// interrupted save. Internal to the game-file layer.
#include <cstdio>
#include <filesystem>
#include <span>
#include <system_error>

#include "gamefiles/file_io.h"

namespace tavrel::file_steps {

// Asks the test seam whether `step` may go ahead for the game file `path`.
bool StepAllowed(const char* step, const std::filesystem::path& path);

// The hook names of writing one file; nullptr: no hook for that part.
// `counted`: the bytes count against the test seam's byte limit.
struct WriteSteps {
  const char* create;
  const char* write;
  const char* flush;
  bool counted;
};
inline constexpr WriteSteps kNewCopySteps{"create", "write", "flush", true};
inline constexpr WriteSteps kJournalSteps{"journal-create", "journal-write", "journal-flush", false};

// fwrite of all the bytes (within the byte limit of the test seam when
// `counted`).
bool WriteAll(std::FILE* file, std::span<const uint8_t> bytes, bool counted = true);
// Pushes a written file's data to the disk.
bool SyncToDisk(std::FILE* file);
// Pushes the directory's entries (a new name, a rename, a removal) to the
// disk. On POSIX an fsync of the directory; Windows has no such call for a
// directory, and its renames are made write-through instead (RenameReplacing).
void SyncDirectory(const std::filesystem::path& dir);
// Renames `from` over `to`, replacing it in one step.
void RenameReplacing(const std::filesystem::path& from, const std::filesystem::path& to, std::error_code& ec);

std::filesystem::path WithSuffix(const std::filesystem::path& path, const char* suffix);
// The directory a file lies in ("." for a bare name).
std::filesystem::path DirectoryOf(const std::filesystem::path& file);
// "Cannot save PATH: WHAT".
Error WriteError(const std::filesystem::path& path, const std::string& what);

// Writes what `produce` gives to `file` and flushes it to the disk; a
// failure removes `file`. Errors name `target`, the game file it stands for.
Status WriteFlushed(const std::filesystem::path& target, const std::filesystem::path& file, const ByteProducer& produce,
                    const WriteSteps& steps);

// NAME.old, the old copy of `file` whose contents are `bytes`, after the
// hook's "backup" step: a second name for the file where the file system has
// hard links (nothing is written, and the rename of the new copy over `file`
// leaves it the old contents), else a copy written and flushed.
Status MakeOldCopy(const std::filesystem::path& file, const std::filesystem::path& old, std::span<const uint8_t> bytes);

}  // namespace tavrel::file_steps
