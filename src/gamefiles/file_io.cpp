#include "gamefiles/file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <type_traits>

#include "text/ui_strings.h"

namespace tavrel {
namespace fs = std::filesystem;

namespace {

std::string LowerAscii(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
  return s;
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

}  // namespace tavrel
