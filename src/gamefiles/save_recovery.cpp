#include "gamefiles/save_recovery.h"

#include <algorithm>
#include <cstdio>
#include <system_error>
#include <vector>

#include "base/crc32.h"
#include "gamefiles/file_io.h"
#include "gamefiles/file_steps.h"
#include "gamefiles/save_journal.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace fs = std::filesystem;
using namespace file_steps;

namespace {

// A file's size and checksum; not present when there is none.
struct Contents {
  bool present = false;
  uint64_t size = 0;
  uint32_t crc = 0;
  bool matches(uint64_t s, uint32_t c) const { return present && size == s && crc == c; }
};

Result<Contents> Inspect(const fs::path& path) {
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(path, ec))) return Contents{};
  Result<Bytes> bytes = ReadWholeFile(path);  // refuses a directory too
  if (!bytes) return bytes.passError();
  return Contents{true, bytes->size(), Crc32(*bytes)};
}

// One file of the journal as the directory holds it.
struct FileState {
  const JournalFile* f = nullptr;
  fs::path path, tmp, old;
  bool isOld = false;     // NAME holds the old contents (is absent, for a file the save made)
  bool isNew = false;     // NAME holds the new contents
  bool tmpWhole = false;  // NAME.tmp holds the new contents
  bool oldWhole = false;  // NAME.old holds the old contents
};

std::string NameList(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& n : names) out += (out.empty() ? "" : ", ") + n;
  return out;
}

class Recovery {
 public:
  explicit Recovery(fs::path dir) : dir_(std::move(dir)), journal_(SaveJournalPath(dir_)) {}

  Result<std::string> Run();

 private:
  Result<std::string> Distrust(const std::string& reason);
  Error Failed(const std::string& what) const {
    return Error{FormatInterfaceString(Str::SaveRecoveryFailed, dir_.string(), what)};
  }
  Result<std::string> Replace(const SaveJournal& journal);
  Result<std::string> Patch(const SaveJournal& journal);
  // Removes a copy the save left; `listed`: named in the message.
  Status Remove(const fs::path& path, const fs::path& file, bool listed = true);
  // Removes the journal and its temporary; the message, with the copies removed.
  Result<std::string> Close(std::string message);

  fs::path dir_, journal_;
  std::vector<std::string> removed_;
};

Status Recovery::Remove(const fs::path& path, const fs::path& file, bool listed) {
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(path, ec))) return Ok();
  if (!StepAllowed("remove", file)) return Failed(path.string());
  fs::remove(path, ec);
  if (ec) return Failed(path.string() + ": " + ec.message());
  if (listed) removed_.push_back(path.filename().string());
  return Ok();
}

Result<std::string> Recovery::Close(std::string message) {
  // The journal's own temporary is no copy of a game file: not listed.
  if (Status s = Remove(WithSuffix(journal_, ".tmp"), journal_, false); !s) return s.passError();
  SyncDirectory(dir_);
  if (!RemoveSaveJournal(dir_)) return Failed(journal_.string());
  // Appended piece by piece: GCC 12 at -O3 reads "\n" + a temporary as an
  // overlapping copy (-Wrestrict).
  if (!removed_.empty()) {
    message += '\n';
    message += FormatInterfaceString(Str::SaveRecoveredLeftovers, NameList(removed_));
  }
  return message;
}

Result<std::string> Recovery::Distrust(const std::string& reason) {
  const std::string base = journal_.filename().string() + ".damaged";
  fs::path aside = dir_ / base;
  std::error_code ec;
  for (int n = 2; fs::exists(fs::symlink_status(aside, ec)); ++n) aside = dir_ / (base + std::to_string(n));
  if (!StepAllowed("journal-remove", journal_)) return Failed(journal_.string());
  RenameReplacing(journal_, aside, ec);
  if (ec) return Failed(journal_.string() + ": " + ec.message());
  SyncDirectory(dir_);
  return FormatInterfaceString(Str::SaveJournalUntrusted, dir_.string(), reason, aside.filename().string());
}

Result<std::string> Recovery::Run() {
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(journal_, ec))) {
    // Cut off while the journal was being written: no game file was touched.
    const fs::path tmp = WithSuffix(journal_, ".tmp");
    if (!fs::exists(fs::symlink_status(tmp, ec))) return std::string();
    if (Status s = Remove(tmp, journal_, false); !s) return s.passError();
    SyncDirectory(dir_);
    return FormatInterfaceString(Str::SaveNeverStarted, dir_.string(), tmp.filename().string());
  }
  const uint64_t size = fs::file_size(journal_, ec);
  if (!ec && size > kMaxSaveJournalBytes) return Distrust(FormatInterfaceString(Str::JournalTooLarge, size));
  // A journal that cannot be read now (its permissions) may be read later.
  Result<Bytes> bytes = ReadWholeFile(journal_);
  if (!bytes) return Failed(bytes.error());
  Result<SaveJournal> journal = ParseSaveJournal(*bytes);
  if (!journal) return Distrust(journal.error());
  return journal->patch ? Patch(*journal) : Replace(*journal);
}

Result<std::string> Recovery::Replace(const SaveJournal& journal) {
  std::vector<FileState> files;
  std::vector<std::string> names;
  for (const JournalFile& f : journal.files) {
    FileState s;
    s.f = &f;
    s.path = dir_ / f.name;
    s.tmp = WithSuffix(s.path, ".tmp");
    s.old = WithSuffix(s.path, ".old");
    Result<Contents> now = Inspect(s.path), tmp = Inspect(s.tmp), old = Inspect(s.old);
    for (const Result<Contents>* r : {&now, &tmp, &old})
      if (!*r) return Failed(r->error());
    s.isNew = now->matches(f.newSize, f.newCrc);
    s.isOld = f.oldPresent ? now->matches(f.oldSize, f.oldCrc) : !now->present;
    if (!s.isNew && !s.isOld) return Distrust(FormatInterfaceString(Str::RecoveryFileNeither, s.path.string()));
    s.tmpWhole = tmp->matches(f.newSize, f.newCrc);
    s.oldWhole = f.oldPresent && old->matches(f.oldSize, f.oldCrc);
    files.push_back(std::move(s));
    names.push_back(f.name);
  }
  // The renames begin only once every new copy and every old copy is made:
  // a file replaced, or an old copy whole, says every new copy was whole. A
  // file whose new contents are its old ones and whose new copy is gone
  // counts as renamed only then (else its copy was never made).
  bool renamesBegun = false;
  for (const FileState& s : files) renamesBegun = renamesBegun || (s.isNew && !s.isOld) || s.oldWhole;
  bool forward = true;
  for (const FileState& s : files) forward = forward && (s.tmpWhole || (s.isNew && (!s.isOld || renamesBegun)));

  // Every old copy this needs must be whole before anything is changed.
  for (const FileState& s : files) {
    const bool replaced = s.isNew && !s.isOld;
    std::error_code ec;
    const bool oldThere = fs::exists(fs::symlink_status(s.old, ec));
    const bool needed = forward ? oldThere : true;  // forward: one left to keep; back: the one to restore
    if (replaced && s.f->oldPresent && needed && !s.oldWhole)
      return Distrust(FormatInterfaceString(Str::RecoveryOldCopyIncomplete, s.old.string()));
  }

  if (forward) {
    for (const FileState& s : files) {
      // Not renamed yet (its new copy is still there) and the old file in
      // place: its old copy is made again. A file whose new contents are its
      // old ones counts as renamed only once its copy has gone.
      if (!s.isOld || !s.tmpWhole || !s.f->oldPresent || s.oldWhole) continue;
      Result<Bytes> old = ReadWholeFile(s.path);
      if (!old) return Failed(old.error());
      if (Status w = MakeOldCopy(s.path, s.old, *old); !w) return Failed(w.error());
    }
    SyncDirectory(dir_);
    for (const FileState& s : files) {
      if (!s.tmpWhole) continue;
      std::error_code ec;
      if (!StepAllowed("rename", s.path)) return Failed(s.path.string());
      RenameReplacing(s.tmp, s.path, ec);
      if (ec) return Failed(s.path.string() + ": " + ec.message());
    }
    SyncDirectory(dir_);
    for (const FileState& s : files)
      if (Status k = KeepOldCopy(dir_, *s.f); !k) return Failed(k.error());
  } else {
    for (const FileState& s : files) {
      if (!s.isNew || s.isOld) continue;
      std::error_code ec;
      if (s.f->oldPresent) {
        if (!StepAllowed("rename", s.path)) return Failed(s.path.string());
        RenameReplacing(s.old, s.path, ec);
      } else {
        if (!StepAllowed("remove", s.path)) return Failed(s.path.string());
        fs::remove(s.path, ec);
      }
      if (ec) return Failed(s.path.string() + ": " + ec.message());
    }
  }
  SyncDirectory(dir_);
  for (const FileState& s : files) {
    if (Status r = Remove(s.tmp, s.path); !r) return r.passError();
    // A NAME.old beside a file the save made is not this save's.
    if (s.f->oldPresent)
      if (Status r = Remove(s.old, s.path); !r) return r.passError();
  }
  return Close(FormatInterfaceString(forward ? Str::SaveRecoveredFinished : Str::SaveRecoveredUndone, dir_.string(),
                                     NameList(names)));
}

Result<std::string> Recovery::Patch(const SaveJournal& journal) {
  const fs::path path = dir_ / journal.patchName;
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(path, ec)))
    return Distrust(FormatInterfaceString(Str::RecoveryFileNeither, path.string()));
  Result<Bytes> bytes = ReadWholeFile(path);
  if (!bytes) return Failed(bytes.error());
  const std::string neither = FormatInterfaceString(Str::RecoveryFileNeither, path.string());
  if (bytes->size() != journal.patchSize) return Distrust(neither);
  if (Crc32(*bytes) != journal.afterCrc) {
    // Some runs were written, or none: with all of them the file must be
    // the patched one, else something else changed it.
    for (const JournalRun& r : journal.runs)
      std::copy(r.after.begin(), r.after.end(), bytes->begin() + ptrdiff_t(r.offset));
    if (Crc32(*bytes) != journal.afterCrc) return Distrust(neither);
    std::FILE* file = std::fopen(path.string().c_str(), "r+b");
    if (!file) return Failed(path.string());
    bool ok = true;
    for (const JournalRun& r : journal.runs)
      ok = ok && StepAllowed("write", path) && std::fseek(file, long(r.offset), SEEK_SET) == 0 &&
           std::fwrite(r.after.data(), 1, r.after.size(), file) == r.after.size();
    ok = ok && StepAllowed("flush", path) && std::fflush(file) == 0 && SyncToDisk(file);
    ok = std::fclose(file) == 0 && ok;
    if (!ok) return Failed(path.string());
  }
  return Close(FormatInterfaceString(Str::SaveRecoveredFinished, dir_.string(), journal.patchName));
}

}  // namespace

Result<std::string> RecoverInterruptedSave(const fs::path& dir) { return Recovery(dir).Run(); }

}  // namespace tavrel
