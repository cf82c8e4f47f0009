#include "bench_games.h"

#include <fmt/format.h>

#include <cstdlib>
#include <map>
#include <stdexcept>
#include <system_error>

#include "app/exports.h"
#include "gamefiles/file_io.h"
#include "sample/sample_parts.h"
#include "script/encode.h"

namespace tavrel::bench {
namespace fs = std::filesystem;
namespace {

fs::path& Root() {
  static fs::path root;
  return root;
}

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what); }

// mb.dat and kdefattr.dat lie beside the tool, as for the program.
void Start(EditorState& state) {
  state.programDir = TAVREL_BIN_DIR;
  auto started = InitializeEditor(state, GameCharset::Gbk);
  if (!started) Fail(started.error());
  for (const std::string& warning : started->warnings) Fail(warning);
}

void Read(EditorState& state, const fs::path& dir) {
  Start(state);
  state.gameDirectory = dir.string();
  if (auto read = ReadGameFiles(state); !read) Fail(read.error());
}

void EnsureGame(const fs::path& dir, int scale) {
  std::error_code ec;
  if (fs::exists(dir / "kdef.grp", ec)) return;
  EditorState started;
  Start(started);
  sample::SampleOptions options;
  options.scale = scale;
  options.attributes = &started.attributes;
  if (Status written = sample::WriteSampleGame(dir, options); !written) Fail(written.error());
}

std::string Quoted(const fs::path& path) {
  std::string out = "'";
  for (char c : path.string()) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

template <class T>
T& PerScale(std::map<int, std::unique_ptr<T>>& cache, int scale, T* (*make)(int)) {
  auto& slot = cache[scale];
  if (!slot) slot.reset(make(scale));
  return *slot;
}

}  // namespace

void SetGamesRoot(const fs::path& root) { Root() = root; }

fs::path GameDirectory(int scale) {
  if (Root().empty()) Root() = fs::temp_directory_path() / "tavrel-bench-games";
  const fs::path dir = Root() / fmt::format("scale{}", scale);
  EnsureGame(dir, scale);
  return dir;
}

namespace {

// The game of `scale` read into a state; each caller keeps its own states.
EditorState* ReadGame(int scale) {
  auto* state = new EditorState;
  Read(*state, GameDirectory(scale));
  return state;
}

}  // namespace

EditorState& LoadedGame(int scale) {
  static std::map<int, std::unique_ptr<EditorState>> games;
  return PerScale<EditorState>(games, scale, ReadGame);
}

EditorState& GameToRead(int scale) {
  static std::map<int, std::unique_ptr<EditorState>> games;
  return PerScale<EditorState>(games, scale, ReadGame);
}

EditorState& GameToSave(int scale) {
  static std::map<int, std::unique_ptr<EditorState>> games;
  return PerScale<EditorState>(games, scale, [](int s) {
    const fs::path dir = GameDirectory(s).parent_path() / fmt::format("save{}", s);
    std::error_code ec;
    fs::remove_all(dir, ec);
    fs::copy(GameDirectory(s), dir, fs::copy_options::recursive, ec);
    if (ec) Fail(fmt::format("cannot copy the game into {}: {}", dir.string(), ec.message()));
    auto* state = new EditorState;
    Read(*state, dir);
    return state;
  });
}

std::vector<fs::path> ReadFiles(int scale) {
  const EditorState& state = LoadedGame(scale);
  std::vector<fs::path> files;
  for (const char* name :
       {"talk.idx", "talk.grp", "mmap.col", "hdgrp.idx", "hdgrp.grp", "r1.idx", "r1.grp", "kdef.idx", "kdef.grp"})
    files.push_back(GameFilePath(state, name));
  return files;
}

namespace {

int64_t SizeOfFiles(const std::vector<fs::path>& files) {
  int64_t bytes = 0;
  for (const fs::path& path : files) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec) Fail(fmt::format("cannot measure {}: {}", path.string(), ec.message()));
    bytes += static_cast<int64_t>(size);
  }
  return bytes;
}

}  // namespace

int64_t ReadBytes(int scale) { return SizeOfFiles(ReadFiles(scale)); }

int64_t SavedBytes(int scale) {
  const EditorState& state = LoadedGame(scale);
  std::vector<fs::path> files;
  for (const char* name : {"talk.idx", "talk.grp", "kdef.idx", "kdef.grp"}) files.push_back(GameFilePath(state, name));
  return SizeOfFiles(files);
}

int64_t StatementCount(int scale) {
  static std::map<int, int64_t> counts;
  auto [it, fresh] = counts.try_emplace(scale, 0);
  if (fresh) {
    EditorState& state = LoadedGame(scale);
    const DescribeContext ctx = state.describeContext();
    for (KdefEvent& event : state.game.events.events) {
      ShowEvent(event, state.attributes, ctx);
      it->second += static_cast<int64_t>(event.statements.size());
    }
  }
  return it->second;
}

EditorState& RepeatedGame() {
  static std::unique_ptr<EditorState> game = [] {
    auto made = std::make_unique<EditorState>();
    Read(*made, GameDirectory(1));
    EventTable& table = made->game.events;
    const std::vector<KdefEvent> originals = std::move(table.events);
    table.events.clear();
    table.offsets.assign(1, 0);
    for (int copy = 0; copy < kRepeats; ++copy)
      for (const KdefEvent& original : originals) {
        KdefEvent event;
        event.words = std::vector<int16_t>(original.words.begin(), original.words.end());
        table.offsets.push_back(table.offsets.back() + event.wordCount());
        table.events.push_back(std::move(event));
      }
    const DescribeContext ctx = made->describeContext();
    for (KdefEvent& event : table.events) ShowEvent(event, made->attributes, ctx);
    return made;
  }();
  return *game;
}

fs::path ExportTextUtf8(int scale) {
  const fs::path dir = GameDirectory(scale).parent_path();
  const fs::path utf8 = dir / fmt::format("kdefout{}.utf8.txt", scale);
  static std::map<int, bool> made;
  if (made[scale]) return utf8;
  const fs::path gbk = dir / fmt::format("kdefout{}.gbk.txt", scale);
  if (Status s = WriteFileAtomic(gbk, ExportKdefText(LoadedGame(scale)), false); !s) Fail(s.error());
  const std::string command = fmt::format("iconv -f CP936 -t UTF-8 {} > {}", Quoted(gbk), Quoted(utf8));
  if (std::system(command.c_str()) != 0) Fail("failed: " + command);
  made[scale] = true;
  return utf8;
}

namespace {

struct LongGame {
  EditorState state;
  int32_t event = -1;
  int64_t statements = 0;
};

LongGame& Long() {
  static std::unique_ptr<LongGame> game = [] {
    auto made = std::make_unique<LongGame>();
    Read(made->state, GameDirectory(1));
    sample::SampleOptions options;
    options.attributes = &made->state.attributes;
    KdefEvent event;
    event.words = sample::MakeLongEvent(options, kLongEventInstructions);
    EventTable& table = made->state.game.events;
    table.offsets.push_back(table.offsets.back() + event.wordCount());
    table.events.push_back(std::move(event));
    made->event = made->state.eventCount() - 1;
    KdefEvent& added = table.events.back();
    ShowEvent(added, made->state.attributes, made->state.describeContext());
    made->statements = static_cast<int64_t>(added.statements.size());
    return made;
  }();
  return *game;
}

}  // namespace

EditorState& LongEventGame() { return Long().state; }
int32_t LongEventNumber() { return Long().event; }
int64_t LongEventStatements() { return Long().statements; }

}  // namespace tavrel::bench
