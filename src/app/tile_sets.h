#pragma once
// The tile sets of the scenes and the battlefields, found as the game finds
// them. For scene k (battle map m) the first pair of files present in the game
// directory, names matched case-insensitively:
//   1. the names in entry k (m) of z.dat's index and data name tables;
//   2. the numbered names sdxNNN / smpNNN (wdxNNN / wmpNNN), NNN = k in three digits;
//   3. the bare names sdx / smp (wdx / wmp), the one set of an unpatched game.
// The index and the data file always come from the same step. A set read
// once is kept by the cache until the game directory is read again (or its
// files change on disk), so an unpatched game's one set serves every scene
// after a single read.
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"
#include "gamefiles/file_io.h"
#include "gamefiles/pictures.h"
#include "text/charset.h"

namespace tavrel {

struct EditorState;

enum class TileSetKind { Scene, Battle };

enum class TileSetStep { ZdatNames, Numbered, Bare };

// One pair of names to look for.
struct TileSetNames {
  std::string index;
  std::string data;
  TileSetStep step = TileSetStep::Bare;
};

// The z.dat name of entry `entry` of the kind's index or data table: the bytes
// up to the first zero. Empty when z.dat does not hold the whole entry, when
// the entry is empty or when a byte cannot be part of a file name.
std::string ZdatTileName(std::span<const uint8_t> zdat, TileSetKind kind, bool index, int entry);

// The pairs to look for, in order (z.dat's pair first when both its names are usable).
std::vector<TileSetNames> TileSetCandidates(std::span<const uint8_t> zdat, TileSetKind kind, int number);

// The outcome of a search: the files chosen, or nothing and every name tried.
struct TileSetFiles {
  std::filesystem::path index;  // as spelt in the directory
  std::filesystem::path data;
  TileSetStep step = TileSetStep::Bare;
};
struct TileSetSearch {
  std::optional<TileSetFiles> found;
  std::vector<std::string> tried;  // every name looked for, each once, in order
};

// Looks for the kind's set `number` in `dir`; `zdat` holds z.dat's bytes (empty when absent).
TileSetSearch FindTileSet(const std::filesystem::path& dir, std::span<const uint8_t> zdat, TileSetKind kind,
                          int number);

// A set as read, shared by everyone who asked for it.
struct LoadedTileSet {
  TileSetFiles files;
  std::shared_ptr<const PictureSet> tiles;
  std::shared_ptr<const FileWarning> damage;  // the index disagrees with its data (CheckPictureIndex)
};

// "Tile files: sdx / smp" in the run's charset, as the interface strings are.
std::string TileFilesUsedMessage(const TextCodec& text, const TileSetFiles& files);
// The same, and on lines of their own what is damaged in them (the index
// against its data, tiles of impossible sizes).
std::string TileSetMessage(const TextCodec& text, const LoadedTileSet& set);

// Which tiles of the set claim an impossible size (DamagedPicturesMessage,
// naming the data file) in the run's charset; empty when none does.
std::string TileSetDamageMessage(const TextCodec& text, const LoadedTileSet& set);

// The sets read from one game directory, by the files they came from.
class TileSetCache {
 public:
  // Set `number` of the kind: found, read on first use, coloured by `palette`.
  // The error (in simplified characters) names the files that could not be
  // read, or every name tried.
  Result<LoadedTileSet> Load(const std::filesystem::path& dir, TileSetKind kind, int number, const Palette& palette);
  // Forgets every set and z.dat (the game directory is read again).
  void Clear();
  // How many picture sets were read from files since the last Clear.
  int setsRead() const { return setsRead_; }

 private:
  const Bytes& Zdat(const std::filesystem::path& dir);

  std::filesystem::path dir_;
  std::optional<Bytes> zdat_;
  // By the two files' paths, sizes and times of last change.
  std::map<std::string, LoadedTileSet> sets_;
  int setsRead_ = 0;
};

// Scene k's and battle map m's tile sets of the state's game, via its cache;
// errors in the run's charset.
Result<LoadedTileSet> LoadSceneTiles(EditorState& state, int scene);
Result<LoadedTileSet> LoadBattleTiles(EditorState& state, int map);

// ---- Scene pictures ---------------------------------------------------------------

// The tile a picture number names: number / 2, a half rounded to the even neighbour.
int TileIndexForNumber(int pictureNumber);
// The tile of a picture number typed into a box; nullptr when the text is no
// number or the tile lies outside the set or does not show (absent, damaged).
const RlePicture* TileForText(const PictureSet& tiles, const std::string& text);
const RlePicture* TileForNumber(const PictureSet& tiles, int pictureNumber);
// The picture numbers an animation from `start` to `end` shows: start,
// start + 2, ... while not above end; empty when start > end.
std::vector<int> AnimationNumbers(int start, int end);

}  // namespace tavrel
