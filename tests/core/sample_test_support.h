#pragma once
// The sample game for the tests: generated once per test binary with the
// attribute table beside the tool, written into scratch directories and
// read back as the editor reads a game.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/editor_state.h"
#include "gamefiles_test_support.h"
#include "sample/sample_parts.h"

namespace tavrel::testing {

inline const AttributeTable& ShippedAttributes() {
  static const AttributeTable table = [] {
    const TextCodec codec(GameCharset::Gbk, std::make_shared<CharsetTables>());
    auto loaded = LoadAttributeTable(TAVREL_BIN_DIR, codec);
    if (!loaded) ADD_FAILURE() << loaded.error();
    return loaded ? *loaded : AttributeTable{};
  }();
  return table;
}

inline sample::SampleOptions SampleAt(int scale) {
  sample::SampleOptions options;
  options.scale = scale;
  options.attributes = &ShippedAttributes();
  return options;
}

// The files of the sample game at scale 1, by name: one tile set sdx/smp and
// one wdx/wmp as an unpatched game has them, or with `numberedTiles` a set
// sdxNNN/smpNNN per scene and wdxNNN/wmpNNN per battlefield.
inline const std::map<std::string, Bytes>& SampleFiles(bool numberedTiles = false) {
  auto make = [](bool numbered) {
    std::map<std::string, Bytes> byName;
    sample::SampleOptions options = SampleAt(1);
    options.numberedTiles = numbered;
    for (sample::SampleFile& f : sample::MakeSampleGame(options)) byName[f.name] = std::move(f.bytes);
    return byName;
  };
  if (numberedTiles) {
    static const std::map<std::string, Bytes> numbered = make(true);
    return numbered;
  }
  static const std::map<std::string, Bytes> bare = make(false);
  return bare;
}

// An editor started as the program starts (mb.dat and kdefattr.dat beside
// the tool) with the game in `dir` read.
inline void ReadSampleGame(EditorState& state, GameCharset charset, const std::filesystem::path& dir) {
  state.programDir = TAVREL_BIN_DIR;
  auto started = InitializeEditor(state, charset);
  ASSERT_TRUE(started) << started.error();
  ASSERT_TRUE(started->warnings.empty()) << started->warnings.front();
  state.gameDirectory = dir.string();
  Result<GameReadReport> read = ReadGameFiles(state);
  ASSERT_TRUE(read) << read.error();
  ASSERT_TRUE(read->warnings.empty()) << read->warnings.front().message;
}

// The editor started as the program starts, with the game in `dir` read as
// it lies, damaged or not.
inline Result<GameReadReport> ReadAsItLies(EditorState& state, const std::filesystem::path& dir) {
  state.programDir = TAVREL_BIN_DIR;
  if (auto started = InitializeEditor(state, GameCharset::Big5); !started) return started.passError();
  state.gameDirectory = dir.string();
  return ReadGameFiles(state);
}

// A scratch directory holding the sample game at scale 1.
class SampleGameDir : public ScratchDir {
 public:
  explicit SampleGameDir(bool numberedTiles = false) {
    for (const auto& [name, bytes] : SampleFiles(numberedTiles)) Put(name, bytes);
  }
};

}  // namespace tavrel::testing
