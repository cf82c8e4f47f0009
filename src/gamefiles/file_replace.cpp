// Replacing game files: a lone file by one rename, a save's group through
// the save journal (save_journal.h), and a patch in place.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <system_error>

#include "base/crc32.h"
#include "gamefiles/file_io.h"
#include "gamefiles/file_steps.h"
#include "gamefiles/save_journal.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace fs = std::filesystem;
using namespace file_steps;

namespace {

// One file of a group on its way into place.
struct Pending {
  fs::path path;
  ByteProducer produce;
  bool keepBackup = true;
  bool inputDamaged = false;
  fs::path tmp, old;
  bool oldPresent = false;
  std::optional<Bytes> oldBytes;  // until NAME.old is written
  bool replaced = false;
};

Status RenameIntoPlace(const fs::path& from, const fs::path& path) {
  std::error_code ec;
  if (!StepAllowed("rename", path))
    return WriteError(path, FormatInterfaceString(Str::CannotRenameIntoPlace, std::strerror(EACCES)));
  RenameReplacing(from, path, ec);
  if (ec) return WriteError(path, FormatInterfaceString(Str::CannotRenameIntoPlace, ec.message()));
  return Ok();
}

// A lone file without a backup: the rename is the whole change, so a stop
// leaves the old file or the new one and at most NAME.tmp.
Status ReplaceLone(const fs::path& path, const ByteProducer& produce) {
  const fs::path tmp = WithSuffix(path, ".tmp");
  if (Status s = WriteFlushed(path, tmp, produce, kNewCopySteps); !s) return s;
  if (Status s = RenameIntoPlace(tmp, path); !s) {
    std::error_code ec;
    fs::remove(tmp, ec);
    return s;
  }
  SyncDirectory(DirectoryOf(path));
  return Ok();
}

// The journal's line for a file: the new contents' size and checksum (the
// producer runs once for them) and the old file's, read into `p.oldBytes`.
Result<JournalFile> Describe(Pending& p) {
  JournalFile f;
  f.name = p.path.filename().string();
  Status counted = p.produce([&f](std::span<const uint8_t> piece) -> Status {
    f.newSize += piece.size();
    f.newCrc = Crc32(piece, f.newCrc);
    return Ok();
  });
  if (!counted) return WriteError(p.path, counted.error());
  std::error_code ec;
  if (fs::exists(p.path, ec)) {
    Result<Bytes> old = ReadWholeFile(p.path);
    if (!old) return WriteError(p.path, old.error());
    p.oldPresent = f.oldPresent = true;
    f.oldSize = old->size();
    f.oldCrc = Crc32(*old);
    p.oldBytes = std::move(*old);
  }
  f.keep = !p.keepBackup ? KeepOld::Drop : p.inputDamaged ? KeepOld::Damaged : KeepOld::Backup;
  if (f.keep == KeepOld::Damaged) f.damagedNumber = FreeDamagedNumber(p.path);
  return f;
}

void RemoveCopies(const std::vector<Pending>& group) {
  std::error_code ec;
  for (const Pending& p : group) {
    fs::remove(p.tmp, ec);
    fs::remove(p.old, ec);
  }
}

// Before any rename: nothing to put back.
Status Abandon(const fs::path& dir, const std::vector<Pending>& group, Status failure) {
  RemoveCopies(group);
  SyncDirectory(dir);
  RemoveSaveJournal(dir);
  return failure;
}

// After a failed rename: the replaced files go back from their old copies.
// One that cannot keeps its copies and the journal, so the next open puts
// it back.
Status PutBack(const fs::path& dir, std::vector<Pending>& group, Status failure) {
  std::string unrestored;
  for (Pending& p : group) {
    if (!p.replaced) continue;
    std::error_code ec;
    if (p.oldPresent)
      RenameReplacing(p.old, p.path, ec);
    else
      fs::remove(p.path, ec);
    if (ec) unrestored += (unrestored.empty() ? "" : ", ") + p.path.string();
    p.replaced = bool(ec);
  }
  if (!unrestored.empty()) return Error{FormatInterfaceString(Str::RestoreIncomplete, failure.error(), unrestored)};
  return Abandon(dir, group, failure);
}

Status ReplaceJournalled(std::vector<Pending>& group) {
  const fs::path dir = DirectoryOf(group.front().path);
  for (const Pending& p : group)
    if (DirectoryOf(p.path) != dir) return WriteError(p.path, FormatInterfaceString(Str::SaveGroupOneDirectory));
  std::error_code ec;
  if (fs::exists(SaveJournalPath(dir), ec))
    return WriteError(group.front().path,
                      FormatInterfaceString(Str::SaveJournalPresent, SaveJournalPath(dir).string()));
  SaveJournal journal;
  for (Pending& p : group) {
    p.tmp = WithSuffix(p.path, ".tmp");
    p.old = WithSuffix(p.path, ".old");
    Result<JournalFile> f = Describe(p);
    if (!f) return f.passError();
    journal.files.push_back(std::move(*f));
  }
  if (Status s = WriteSaveJournal(dir, journal, group.front().path); !s) return s;

  for (Pending& p : group)
    if (Status s = WriteFlushed(p.path, p.tmp, p.produce, kNewCopySteps); !s) return Abandon(dir, group, s);
  for (Pending& p : group) {
    if (!p.oldBytes) continue;
    Status s = MakeOldCopy(p.path, p.old, *p.oldBytes);
    p.oldBytes.reset();
    if (!s) return Abandon(dir, group, s);
  }
  SyncDirectory(dir);
  for (Pending& p : group) {
    if (Status s = RenameIntoPlace(p.tmp, p.path); !s) return PutBack(dir, group, s);
    p.replaced = true;
  }
  SyncDirectory(dir);
  // The save stands. An old copy that cannot be moved on (a backup held
  // open by another program) stays as NAME.old.
  for (const JournalFile& f : journal.files) KeepOldCopy(dir, f);
  SyncDirectory(dir);
  RemoveSaveJournal(dir);
  return Ok();
}

// Writes each run's `after` (or `before`) bytes at its offset and flushes.
// Gives the number of runs whose writing began, and whether all went well.
struct RunsWritten {
  size_t started = 0;
  bool ok = true;
  std::string what;
};

RunsWritten WriteRuns(std::FILE* file, const fs::path& path, std::span<const JournalRun> runs) {
  RunsWritten out;
  for (; out.ok && out.started < runs.size(); ++out.started) {
    const JournalRun& r = runs[out.started];
    out.ok = StepAllowed("write", path) && std::fseek(file, long(r.offset), SEEK_SET) == 0 && WriteAll(file, r.after);
    if (!out.ok) out.what = FormatInterfaceString(Str::WriteFailed);
  }
  if (out.ok && !(StepAllowed("flush", path) && std::fflush(file) == 0 && SyncToDisk(file))) {
    out.ok = false;
    out.what = FormatInterfaceString(Str::FlushFailed);
  }
  return out;
}

}  // namespace

Status WriteFileAtomic(const fs::path& path, std::span<const uint8_t> bytes, bool keepBackup) {
  return WriteFileAtomicInPieces(path, WholeBytes(bytes), keepBackup);
}

Status WriteFileAtomicInPieces(const fs::path& path, const ByteProducer& produce, bool keepBackup) {
  if (!keepBackup) return ReplaceLone(path, produce);
  std::vector<Pending> group(1);
  group[0].path = path;
  group[0].produce = produce;
  return ReplaceJournalled(group);
}

Status WriteFilesAtomic(const std::vector<FileWrite>& files, bool keepBackup) {
  if (files.empty()) return Ok();
  std::vector<Pending> group(files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    group[i].path = files[i].path;
    group[i].produce = WholeBytes(files[i].bytes);
    group[i].keepBackup = keepBackup;
    group[i].inputDamaged = files[i].inputDamaged;
  }
  return ReplaceJournalled(group);
}

Status WriteInPlace(const fs::path& path, std::span<const InPlaceWrite> writes) {
  std::error_code ec;
  const uint64_t size = fs::file_size(path, ec);
  if (ec) return WriteError(path, ec.message());
  for (const InPlaceWrite& w : writes)
    if (w.offset > size || w.bytes.size() > size - w.offset)
      return WriteError(path, FormatInterfaceString(Str::RangeBeyondFileEnd, w.offset, w.bytes.size(), size));
  const fs::path dir = DirectoryOf(path);
  if (fs::exists(SaveJournalPath(dir), ec))
    return WriteError(path, FormatInterfaceString(Str::SaveJournalPresent, SaveJournalPath(dir).string()));
  Result<Bytes> whole = ReadWholeFile(path);
  if (!whole || whole->size() != size) return WriteError(path, FormatInterfaceString(Str::ReadFailed));

  // The journal holds each run's bytes before and after and the whole
  // file's checksums, so a stop part-way is finished at the next open.
  SaveJournal journal;
  journal.patch = true;
  journal.patchName = path.filename().string();
  journal.patchSize = size;
  journal.beforeCrc = Crc32(*whole);
  for (const InPlaceWrite& w : writes) {
    if (w.bytes.empty()) continue;
    const auto at = whole->begin() + ptrdiff_t(w.offset);
    journal.runs.push_back(
        {w.offset, Bytes(at, at + ptrdiff_t(w.bytes.size())), Bytes(w.bytes.begin(), w.bytes.end())});
    std::copy(w.bytes.begin(), w.bytes.end(), at);
  }
  if (journal.runs.empty()) return Ok();
  journal.afterCrc = Crc32(*whole);
  whole.value().clear();
  if (Status s = WriteSaveJournal(dir, journal, path); !s) return s;

  std::FILE* file = std::fopen(path.string().c_str(), "r+b");
  if (!file) {
    const std::string what = std::strerror(errno);
    RemoveSaveJournal(dir);
    return WriteError(path, what);
  }
  RunsWritten written = WriteRuns(file, path, journal.runs);
  bool restored = true;
  if (!written.ok) {
    // Over bytes the file already holds: no new space is needed.
    for (size_t k = 0; k < written.started && k < journal.runs.size(); ++k) {
      const JournalRun& r = journal.runs[k];
      restored = restored && std::fseek(file, long(r.offset), SEEK_SET) == 0 &&
                 std::fwrite(r.before.data(), 1, r.before.size(), file) == r.before.size();
    }
    restored = std::fflush(file) == 0 && SyncToDisk(file) && restored;
  }
  if (std::fclose(file) != 0 && written.ok) {
    written.ok = false;
    written.what = FormatInterfaceString(Str::CloseFailed);
  }
  // A file whose old bytes could not all go back keeps the journal: the
  // next open finishes the patch.
  if (written.ok || restored) RemoveSaveJournal(dir);
  return written.ok ? Ok() : Status(WriteError(path, written.what));
}

}  // namespace tavrel
