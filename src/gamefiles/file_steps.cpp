#include "gamefiles/file_steps.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include "text/ui_strings.h"

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tavrel {
namespace fs = std::filesystem;

namespace {

WriteFaultHook& FaultHook() {
  static WriteFaultHook hook;
  return hook;
}

std::optional<uint64_t>& ByteLimit() {
  static std::optional<uint64_t> limit;
  return limit;
}

}  // namespace

void SetWriteFaultHook(WriteFaultHook hook) { FaultHook() = std::move(hook); }
void SetWriteByteLimit(std::optional<uint64_t> bytes) { ByteLimit() = bytes; }

namespace file_steps {

bool StepAllowed(const char* step, const fs::path& path) {
  const WriteFaultHook& hook = FaultHook();
  return !hook || hook(step, path);
}

bool WriteAll(std::FILE* file, std::span<const uint8_t> bytes, bool counted) {
  size_t n = bytes.size();
  std::optional<uint64_t>& limit = ByteLimit();
  if (limit && counted) {
    n = size_t(std::min<uint64_t>(n, *limit));
    *limit -= n;
  }
  return (n == 0 || std::fwrite(bytes.data(), 1, n, file) == n) && n == bytes.size();
}

bool SyncToDisk(std::FILE* file) {
#if defined(_WIN32)
  return _commit(_fileno(file)) == 0;
#else
  return fsync(fileno(file)) == 0;
#endif
}

void SyncDirectory(const fs::path& dir) {
#if !defined(_WIN32)
  // A file system that cannot flush a directory (some network ones) says so
  // with an error; the renames are still as safe as it makes them.
  const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
#else
  (void)dir;
#endif
}

void RenameReplacing(const fs::path& from, const fs::path& to, std::error_code& ec) {
  ec.clear();
#if defined(_WIN32)
  if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    ec = std::error_code(int(GetLastError()), std::system_category());
#else
  fs::rename(from, to, ec);
#endif
}

fs::path WithSuffix(const fs::path& path, const char* suffix) {
  fs::path p = path;
  p += suffix;
  return p;
}

fs::path DirectoryOf(const fs::path& file) {
  fs::path dir = file.parent_path();
  return dir.empty() ? fs::path(".") : dir;
}

Error WriteError(const fs::path& path, const std::string& what) {
  return Error{FormatInterfaceString(Str::CannotSave, path.string(), what)};
}

Status WriteFlushed(const fs::path& target, const fs::path& file, const ByteProducer& produce,
                    const WriteSteps& steps) {
  const bool allowed = !steps.create || StepAllowed(steps.create, target);
  std::FILE* out = allowed ? std::fopen(file.string().c_str(), "wb") : nullptr;
  if (!out)
    return WriteError(target, FormatInterfaceString(Str::CannotCreate, file.string(),
                                                    allowed ? std::strerror(errno) : std::strerror(EACCES)));
  const Error writingFailed{FormatInterfaceString(Str::WriteFailed)};
  const ByteSink sink = [&](std::span<const uint8_t> piece) -> Status {
    if (WriteAll(out, piece, steps.counted)) return Ok();
    return writingFailed;
  };
  Status produced = !steps.write || StepAllowed(steps.write, target) ? produce(sink) : Status(writingFailed);
  bool ok = bool(produced);
  std::string what = ok ? "" : produced.error();
  if (ok && !((!steps.flush || StepAllowed(steps.flush, target)) && std::fflush(out) == 0 && SyncToDisk(out))) {
    ok = false;
    what = FormatInterfaceString(Str::FlushFailed);
  }
  if (std::fclose(out) != 0 && ok) {
    ok = false;
    what = FormatInterfaceString(Str::CloseFailed);
  }
  if (!ok) {
    std::error_code ec;
    fs::remove(file, ec);
    return WriteError(target, what);
  }
  return Ok();
}

Status MakeOldCopy(const fs::path& file, const fs::path& old, std::span<const uint8_t> bytes) {
  std::error_code ec;
  if (!StepAllowed("backup", file))
    return WriteError(file, FormatInterfaceString(Str::CannotCreate, old.string(), std::strerror(EACCES)));
  fs::remove(old, ec);
  fs::create_hard_link(file, old, ec);
  if (!ec) return Ok();
  fs::remove(old, ec);
  static constexpr WriteSteps kUnhooked{nullptr, nullptr, nullptr, true};
  return WriteFlushed(file, old, WholeBytes(bytes), kUnhooked);
}

}  // namespace file_steps
}  // namespace tavrel
