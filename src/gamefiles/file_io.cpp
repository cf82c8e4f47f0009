#include "gamefiles/file_io.h"

#include <fmt/format.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <type_traits>

#include "text/ui_strings.h"

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tavrel {
namespace fs = std::filesystem;

namespace {

WriteFaultHook& FaultHook() {
  static WriteFaultHook hook;
  return hook;
}

bool StepAllowed(const char* step, const fs::path& path) {
  const WriteFaultHook& hook = FaultHook();
  return !hook || hook(step, path);
}

std::optional<uint64_t>& ByteLimit() {
  static std::optional<uint64_t> limit;
  return limit;
}

// fwrite of all the bytes, within the byte limit of the test seam.
bool WriteAll(std::FILE* file, std::span<const uint8_t> bytes) {
  size_t n = bytes.size();
  std::optional<uint64_t>& limit = ByteLimit();
  if (limit) {
    n = size_t(std::min<uint64_t>(n, *limit));
    *limit -= n;
  }
  return (n == 0 || std::fwrite(bytes.data(), 1, n, file) == n) && n == bytes.size();
}

// The one platform-specific piece: push a written file's data to the disk.
bool SyncToDisk(std::FILE* file) {
#if defined(_WIN32)
  return _commit(_fileno(file)) == 0;
#else
  return fsync(fileno(file)) == 0;
#endif
}

std::string LowerAscii(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
  return s;
}

fs::path WithSuffix(const fs::path& path, const char* suffix) {
  fs::path p = path;
  p += suffix;
  return p;
}

Error WriteError(const fs::path& path, const std::string& what) {
  return Error{FormatInterfaceString(Str::CannotSave, path.string(), what)};
}

// Writes what `produce` gives to `tmp` and flushes it to the disk. Errors
// name `target`, the game file the temporary stands for.
Status WriteTemporary(const fs::path& target, const fs::path& tmp, const ByteProducer& produce) {
  const bool allowed = StepAllowed("create", target);
  std::FILE* file = allowed ? std::fopen(tmp.string().c_str(), "wb") : nullptr;
  if (!file)
    return WriteError(target, FormatInterfaceString(Str::CannotCreate, tmp.string(),
                                                    allowed ? std::strerror(errno) : std::strerror(EACCES)));
  const Error writingFailed{FormatInterfaceString(Str::WriteFailed)};
  const ByteSink sink = [&](std::span<const uint8_t> piece) -> Status {
    if (WriteAll(file, piece)) return Ok();
    return writingFailed;
  };
  Status produced = StepAllowed("write", target) ? produce(sink) : Status(writingFailed);
  bool ok = bool(produced);
  std::string what = ok ? "" : produced.error();
  if (ok && !(StepAllowed("flush", target) && std::fflush(file) == 0 && SyncToDisk(file))) {
    ok = false;
    what = FormatInterfaceString(Str::FlushFailed);
  }
  if (std::fclose(file) != 0 && ok) {
    ok = false;
    what = FormatInterfaceString(Str::CloseFailed);
  }
  if (!ok) {
    std::error_code ec;
    fs::remove(tmp, ec);
    return WriteError(target, what);
  }
  return Ok();
}

// One file of a group on its way into place.
struct Pending {
  fs::path path;
  ByteProducer produce;
  fs::path tmp;
  fs::path backup;  // copy of the old file, empty when there was none
  bool keepBackup = true;
  bool copyOld = true;  // false for a lone file without a backup: nothing to restore
  bool replaced = false;
};

void RemoveTemporaries(std::vector<Pending>& group) {
  std::error_code ec;
  for (Pending& p : group) fs::remove(p.tmp, ec);
}

// Puts back every file of the group that was already replaced; gives the
// paths that could not be put back, "" when all were.
std::string RestoreReplaced(std::vector<Pending>& group) {
  std::string unrestored;
  for (Pending& p : group) {
    if (!p.replaced) continue;
    std::error_code ec;
    if (p.backup.empty()) {
      fs::remove(p.path, ec);
    } else if (p.keepBackup) {
      // Through the temporary name, so the restore is a rename as well.
      if (fs::copy_file(p.backup, p.tmp, fs::copy_options::overwrite_existing, ec)) fs::rename(p.tmp, p.path, ec);
    } else {
      fs::rename(p.backup, p.path, ec);
    }
    if (ec) unrestored += (unrestored.empty() ? "" : ", ") + p.path.string();
    p.replaced = false;
  }
  return unrestored;
}

void DropScratchBackups(std::vector<Pending>& group) {
  std::error_code ec;
  for (Pending& p : group)
    if (!p.keepBackup && !p.backup.empty()) fs::remove(p.backup, ec);
}

// Copies the old file aside (NAME.bak, or a scratch copy that goes away after
// the group is in place), then renames the temporary over the old file, which
// is atomic: the game file is never missing.
Status ReplaceOne(Pending& p) {
  std::error_code ec;
  if (p.copyOld && fs::exists(p.path, ec)) {
    p.backup = WithSuffix(p.path, p.keepBackup ? ".bak" : ".old");
    if (StepAllowed("backup", p.path))
      fs::copy_file(p.path, p.backup, fs::copy_options::overwrite_existing, ec);
    else
      ec = std::make_error_code(std::errc::permission_denied);
    if (ec) {
      p.backup.clear();
      return WriteError(
          p.path, FormatInterfaceString(Str::CannotKeepBackup, WithSuffix(p.path, ".bak").string(), ec.message()));
    }
  }
  if (!StepAllowed("rename", p.path))
    return WriteError(p.path, FormatInterfaceString(Str::CannotRenameIntoPlace, std::strerror(EACCES)));
  fs::rename(p.tmp, p.path, ec);
  if (ec) return WriteError(p.path, FormatInterfaceString(Str::CannotRenameIntoPlace, ec.message()));
  p.replaced = true;
  return Ok();
}

Status ReplaceGroup(std::vector<Pending> group) {
  for (Pending& p : group) {
    p.tmp = WithSuffix(p.path, ".tmp");
    p.copyOld = p.keepBackup || group.size() > 1;
    if (Status s = WriteTemporary(p.path, p.tmp, p.produce); !s) {
      RemoveTemporaries(group);
      return s;
    }
  }
  for (Pending& p : group) {
    if (Status s = ReplaceOne(p); !s) {
      const std::string unrestored = RestoreReplaced(group);
      RemoveTemporaries(group);
      // A scratch copy that could not be put back is the only old copy left.
      if (!unrestored.empty()) return Error{FormatInterfaceString(Str::RestoreIncomplete, s.error(), unrestored)};
      DropScratchBackups(group);
      return s;
    }
  }
  DropScratchBackups(group);
  return Ok();
}

}  // namespace

fs::path FindGameFile(const fs::path& dir, const std::string& name) {
  fs::path exact = dir / name;
  std::error_code ec;
  if (fs::exists(exact, ec)) return exact;
  const std::string wanted = LowerAscii(name);
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string found = it->path().filename().string();
    if (LowerAscii(found) == wanted) return it->path();
  }
  return exact;
}

namespace {

// Reads a whole file into `out`, resized to hold it (a last partial value
// zero-filled); returns the number of bytes.
template <class T>
Result<size_t> ReadInto(const fs::path& path, std::vector<T>& out) {
  static_assert(std::is_trivially_copyable_v<T>);
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (!fs::exists(status)) return Error{FormatInterfaceString(Str::FileNotFound, path.string())};
  if (fs::is_directory(status)) return Error{FormatInterfaceString(Str::DirectoryNotFile, path.string())};
  std::FILE* file = std::fopen(path.string().c_str(), "rb");
  if (!file) return Error{FormatInterfaceString(Str::CannotOpen, path.string(), std::strerror(errno))};
  const auto valuesFor = [](size_t bytes) { return (bytes + sizeof(T) - 1) / sizeof(T); };
  // Read straight into a buffer of the file's size; a file that is longer
  // than its size said (still being written) is read on in steps.
  size_t expected = 0;
  if (auto size = fs::file_size(path, ec); !ec) expected = static_cast<size_t>(size);
  out.assign(valuesFor(expected), T{});
  auto* bytes = reinterpret_cast<unsigned char*>(out.data());
  size_t have = expected == 0 ? 0 : std::fread(bytes, 1, expected, file);
  bool failed = std::ferror(file) != 0;
  if (!failed && have == expected) {
    unsigned char chunk[65536];
    for (;;) {
      const size_t got = std::fread(chunk, 1, sizeof chunk, file);
      if (got != 0) {
        out.resize(valuesFor(have + got), T{});
        std::memcpy(reinterpret_cast<unsigned char*>(out.data()) + have, chunk, got);
        have += got;
      }
      if (got < sizeof chunk) {
        failed = std::ferror(file) != 0;
        break;
      }
    }
  }
  std::fclose(file);
  if (failed) return Error{FormatInterfaceString(Str::CannotRead, path.string())};
  out.resize(valuesFor(have));
  return have;
}

}  // namespace

Result<Bytes> ReadWholeFile(const fs::path& path) {
  Bytes bytes;
  if (Result<size_t> read = ReadInto(path, bytes); !read) return read.passError();
  return bytes;
}

Result<size_t> ReadWholeFileWords(const fs::path& path, std::vector<int16_t>& words) { return ReadInto(path, words); }

ByteProducer WholeBytes(std::span<const uint8_t> bytes) {
  return [bytes](const ByteSink& sink) { return sink(bytes); };
}

Status WriteFileAtomic(const fs::path& path, std::span<const uint8_t> bytes, bool keepBackup) {
  return WriteFileAtomicInPieces(path, WholeBytes(bytes), keepBackup);
}

Status WriteFileAtomicInPieces(const fs::path& path, const ByteProducer& produce, bool keepBackup) {
  std::vector<Pending> group(1);
  group[0].path = path;
  group[0].produce = produce;
  group[0].keepBackup = keepBackup;
  return ReplaceGroup(std::move(group));
}

Status WriteFilesAtomic(const std::vector<FileWrite>& files, bool keepBackup) {
  std::vector<Pending> group(files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    group[i].path = files[i].path;
    group[i].produce = WholeBytes(files[i].bytes);
    group[i].keepBackup = keepBackup;
  }
  return ReplaceGroup(std::move(group));
}

Status WriteInPlace(const fs::path& path, std::span<const InPlaceWrite> writes) {
  std::error_code ec;
  const uint64_t size = fs::file_size(path, ec);
  if (ec) return WriteError(path, ec.message());
  for (const InPlaceWrite& w : writes)
    if (w.offset > size || w.bytes.size() > size - w.offset)
      return WriteError(path, FormatInterfaceString(Str::RangeBeyondFileEnd, w.offset, w.bytes.size(), size));
  std::FILE* file = std::fopen(path.string().c_str(), "r+b");
  if (!file) return WriteError(path, std::strerror(errno));
  // The bytes about to be overwritten, to put back if a write fails.
  std::vector<Bytes> before(writes.size());
  bool ok = true;
  for (size_t k = 0; ok && k < writes.size(); ++k) {
    before[k].resize(writes[k].bytes.size());
    ok = std::fseek(file, long(writes[k].offset), SEEK_SET) == 0 &&
         std::fread(before[k].data(), 1, before[k].size(), file) == before[k].size();
  }
  if (!ok) {
    std::fclose(file);
    return WriteError(path, FormatInterfaceString(Str::ReadFailed));
  }
  std::string what;
  size_t started = 0;  // runs whose writing began
  for (; ok && started < writes.size(); ++started) {
    const InPlaceWrite& w = writes[started];
    ok = StepAllowed("write", path) && std::fseek(file, long(w.offset), SEEK_SET) == 0 && WriteAll(file, w.bytes);
    if (!ok) what = FormatInterfaceString(Str::WriteFailed);
  }
  if (ok && !(StepAllowed("flush", path) && std::fflush(file) == 0 && SyncToDisk(file))) {
    ok = false;
    what = FormatInterfaceString(Str::FlushFailed);
  }
  if (!ok) {
    // Over bytes the file already holds: no new space is needed.
    for (size_t k = 0; k < started && k < writes.size(); ++k)
      if (std::fseek(file, long(writes[k].offset), SEEK_SET) == 0)
        std::fwrite(before[k].data(), 1, before[k].size(), file);
    std::fflush(file);
    SyncToDisk(file);
  }
  if (std::fclose(file) != 0 && ok) {
    ok = false;
    what = FormatInterfaceString(Str::CloseFailed);
  }
  return ok ? Ok() : Status(WriteError(path, what));
}

void SetWriteFaultHook(WriteFaultHook hook) { FaultHook() = std::move(hook); }
void SetWriteByteLimit(std::optional<uint64_t> bytes) { ByteLimit() = bytes; }

}  // namespace tavrel
