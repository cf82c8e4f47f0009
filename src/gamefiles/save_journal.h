#pragma once
// The journal of a save: a small file in the game directory, written and
// flushed before the first game file is touched and removed once the last
// rename is flushed, so that a save cut off at any instant is finished or
// undone at the next open (RecoverInterruptedSave, save_recovery.h).
//
// It lies in the game directory as tavrel-save.journal (written as
// tavrel-save.journal.tmp, flushed, then renamed, so it appears whole or not
// at all). UTF-8 text, one record a line, fields separated by one space, the
// file name last so that it may hold spaces:
//
//   tavrel save journal 1
//   replace COUNT
//   file NEWSIZE NEWCRC OLDSIZE OLDCRC KEEP NAME      COUNT lines, or
//   patch SIZE BEFORECRC AFTERCRC RUNS NAME
//   run OFFSET OLDHEX NEWHEX                         RUNS lines
//   end CRC
//
// Sizes and offsets are decimal, checksums CRC-32 as 8 hex digits; OLDSIZE
// and OLDCRC are "-" for a file that did not exist. A replacement makes
// NAME.tmp (the new copy) and NAME.old (the old copy: a hard link to the old
// file, or a copy of it) beside NAME before the renames; KEEP says where
// the old copy goes once every new file is in place: "bak" (NAME.bak, the
// older backups moving on to NAME.bak2 and NAME.bak3), "none" (removed) or
// "damagedN" (NAME.damaged for 1, NAME.damagedN after: the old file had been
// read with damage, so it never pushes out a backup).
// A patch writes the runs over NAME in place; BEFORECRC and AFTERCRC are the
// whole file's before and after. The end line's CRC covers every byte before
// it.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "gamefiles/file_io.h"

namespace tavrel {

inline constexpr const char* kSaveJournalName = "tavrel-save.journal";
// A journal is small: a few lines per file, or a patch's runs twice in hex.
inline constexpr uint64_t kMaxSaveJournalBytes = 4u << 20;

enum class KeepOld { Backup, Drop, Damaged };

// One file of a replacement.
struct JournalFile {
  std::string name;  // a bare file name in the game directory
  uint64_t newSize = 0;
  uint32_t newCrc = 0;
  bool oldPresent = false;
  uint64_t oldSize = 0;
  uint32_t oldCrc = 0;
  KeepOld keep = KeepOld::Backup;
  int damagedNumber = 0;  // for KeepOld::Damaged, from 1
  friend bool operator==(const JournalFile&, const JournalFile&) = default;
};

// One run of an in-place patch.
struct JournalRun {
  uint64_t offset = 0;
  Bytes before, after;  // of equal length
  friend bool operator==(const JournalRun&, const JournalRun&) = default;
};

struct SaveJournal {
  bool patch = false;
  std::vector<JournalFile> files;  // a replacement
  // A patch:
  std::string patchName;
  uint64_t patchSize = 0;
  uint32_t beforeCrc = 0, afterCrc = 0;
  std::vector<JournalRun> runs;
  friend bool operator==(const SaveJournal&, const SaveJournal&) = default;
};

std::string EncodeSaveJournal(const SaveJournal& journal);
// The journal, checked line by line and against its checksum; the error says
// why it cannot be trusted.
Result<SaveJournal> ParseSaveJournal(std::span<const uint8_t> bytes);

std::filesystem::path SaveJournalPath(const std::filesystem::path& dir);
// Writes the journal into `dir` durably (temporary, flush, rename, directory
// flush). Errors name `target`, the first game file of the save.
Status WriteSaveJournal(const std::filesystem::path& dir, const SaveJournal& journal,
                        const std::filesystem::path& target);
// Removes it and flushes the directory; false when that could not be done.
bool RemoveSaveJournal(const std::filesystem::path& dir);

// NAME.bak (generation 1), NAME.bak2, NAME.bak3.
std::filesystem::path BackupPath(const std::filesystem::path& file, int generation);
inline constexpr int kBackupGenerations = 3;
// NAME.damaged (1), NAME.damaged2, ...
std::filesystem::path DamagedCopyPath(const std::filesystem::path& file, int number);
// The first number whose NAME.damagedN does not exist.
int FreeDamagedNumber(const std::filesystem::path& file);

// Moves the old copy NAME.old where `f.keep` says (NAME.bak after moving the
// older generations on, NAME.damagedN, or away). Repeating it after it was
// cut off part-way ends the same; without NAME.old there is nothing to do.
Status KeepOldCopy(const std::filesystem::path& dir, const JournalFile& f);

}  // namespace tavrel
