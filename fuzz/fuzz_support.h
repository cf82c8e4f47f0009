#pragma once
// What the fuzz targets share: several files packed into one input, a scratch
// game directory per process, and the sample game's tables for the targets
// that need names, dialogue or instruction attributes.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "gamefiles/file_io.h"
#include "gamefiles/names.h"
#include "gamefiles/talk.h"
#include "sample/sample_parts.h"
#include "script/attributes.h"
#include "text/charset.h"

namespace tavrel::fuzz {

// An input holding `count` parts: each part but the last is preceded by its
// length (32-bit little-endian, cut to what is left); the last takes the rest.
inline std::vector<std::span<const uint8_t>> UnpackParts(const uint8_t* data, size_t size, size_t count) {
  std::vector<std::span<const uint8_t>> parts;
  std::span<const uint8_t> rest(data, size);
  for (size_t k = 0; k + 1 < count; ++k) {
    size_t length = 0;
    if (rest.size() >= 4) {
      length = size_t(rest[0]) | size_t(rest[1]) << 8 | size_t(rest[2]) << 16 | size_t(rest[3]) << 24;
      rest = rest.subspan(4);
    } else {
      rest = {};
    }
    length = std::min(length, rest.size());
    parts.push_back(rest.first(length));
    rest = rest.subspan(length);
  }
  parts.push_back(rest);
  return parts;
}

inline Bytes PackParts(const std::vector<Bytes>& parts) {
  Bytes out;
  for (size_t k = 0; k < parts.size(); ++k) {
    if (k + 1 < parts.size()) AppendI32(out, static_cast<int32_t>(parts[k].size()));
    out.insert(out.end(), parts[k].begin(), parts[k].end());
  }
  return out;
}

// A directory of this process's own, in memory where the system offers it,
// removed when the process ends normally. libFuzzer leaves without the exit
// handlers, so fuzz/run names a base directory (TAVREL_FUZZ_SCRATCH) and
// removes it afterwards.
inline const std::filesystem::path& ScratchGameDir() {
  static const std::filesystem::path dir = [] {
    std::error_code ec;
    const char* named = std::getenv("TAVREL_FUZZ_SCRATCH");
    std::filesystem::path base = named != nullptr && *named != 0 ? std::filesystem::path(named)
                                 : std::filesystem::is_directory("/dev/shm", ec)
                                     ? std::filesystem::path("/dev/shm")
                                     : std::filesystem::temp_directory_path();
    std::filesystem::path d = base / ("tavrel-fuzz-" + std::to_string(getpid()));
    std::filesystem::remove_all(d, ec);
    std::filesystem::create_directories(d);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(ScratchGameDir(), ignored);
    });
    return d;
  }();
  return dir;
}

// Replaces the files of the scratch directory by `files` (name, bytes).
inline void LayFiles(const std::vector<std::pair<std::string, std::span<const uint8_t>>>& files) {
  const std::filesystem::path& dir = ScratchGameDir();
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) std::filesystem::remove_all(entry.path(), ec);
  for (const auto& [name, bytes] : files) {
    std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
}

inline const AttributeTable& Attributes() {
  static const AttributeTable table = [] {
    const TextCodec codec(GameCharset::Gbk, std::make_shared<CharsetTables>());
    auto loaded = LoadAttributeTable(TAVREL_FUZZ_DATA_DIR, codec);
    if (!loaded) {
      std::fprintf(stderr, "%s\n", loaded.error().c_str());
      std::abort();
    }
    return *loaded;
  }();
  return table;
}

// Game text decoded as BIG5 without mb.dat.
inline const TextCodec& Big5() {
  static const TextCodec codec(GameCharset::Big5, std::make_shared<CharsetTables>());
  return codec;
}

inline std::vector<sample::SampleFile> SampleGame() {
  sample::SampleOptions options;
  options.attributes = &Attributes();
  return sample::MakeSampleGame(options);
}

inline Bytes SampleFile(const std::vector<sample::SampleFile>& game, const std::string& name) {
  for (const sample::SampleFile& f : game)
    if (f.name == name) return f.bytes;
  std::fprintf(stderr, "the sample game has no %s\n", name.c_str());
  std::abort();
}

// Name tables and dialogue of the sample game, read once.
struct SampleTables {
  NameTables names;
  TalkTable talk;
};
inline const SampleTables& SampleNamesAndTalk() {
  static const SampleTables tables = [] {
    const auto game = SampleGame();
    const Bytes files[] = {SampleFile(game, "r1.idx"), SampleFile(game, "r1.grp"), SampleFile(game, "talk.idx"),
                           SampleFile(game, "talk.grp")};
    LayFiles({{"r1.idx", files[0]}, {"r1.grp", files[1]}, {"talk.idx", files[2]}, {"talk.grp", files[3]}});
    SampleTables t;
    auto names = LoadNameTables(ScratchGameDir(), Big5());
    auto talk = LoadTalk(ScratchGameDir(), Big5());
    if (!names || !talk) std::abort();
    t.names = std::move(*names);
    t.talk = std::move(*talk);
    return t;
  }();
  return tables;
}

// Stops the run when a property fails, so libFuzzer keeps the input.
#define FUZZ_CHECK(cond)                                                            \
  do {                                                                              \
    if (!(cond)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                                 \
    }                                                                               \
  } while (0)

}  // namespace tavrel::fuzz
