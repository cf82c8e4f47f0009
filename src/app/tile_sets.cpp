#include "app/tile_sets.h"

#include <fmt/format.h>

#include <algorithm>
#include <cstring>
#include <system_error>

#include "app/commands.h"
#include "app/editor_state.h"
#include "app/zdat_sites.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;

// A byte a DOS file name in the game directory can hold.
bool NameByte(uint8_t b) {
  if (b <= 0x20 || b >= 0x7F) return false;
  return std::strchr("/\\:*?\"<>|", b) == nullptr;
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

// The file `name` in `dir` when it is there as a file, whatever its case.
std::optional<fs::path> Present(const fs::path& dir, const std::string& name) {
  const fs::path path = FindGameFile(dir, name);
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return std::nullopt;
  return path;
}

// What tells one state of a file from another without reading it.
std::string Stamp(const fs::path& path) {
  std::error_code ec;
  const auto size = fs::file_size(path, ec);
  const auto changed = fs::last_write_time(path, ec);
  return fmt::format("{}\n{}\n{}", path.string(), ec ? 0 : size, ec ? 0 : changed.time_since_epoch().count());
}

}  // namespace

std::string ZdatTileName(std::span<const uint8_t> zdat, TileSetKind kind, bool index, int entry) {
  using zdat::NameTable;
  const zdat::NameTableSite& table =
      zdat::TableOf(kind == TileSetKind::Scene ? (index ? NameTable::SceneIndex : NameTable::SceneData)
                                               : (index ? NameTable::BattleIndex : NameTable::BattleData));
  if (entry < 0 || uint32_t(entry) >= table.entries) return {};
  const size_t at = table.entry(uint32_t(entry));
  if (at + table.entryWidth > zdat.size()) return {};
  std::string name;
  for (size_t k = 0; k < table.entryWidth && zdat[at + k] != 0; ++k) {
    if (!NameByte(zdat[at + k])) return {};
    name.push_back(char(zdat[at + k]));
  }
  if (name == "." || name == "..") return {};
  return name;
}

std::vector<TileSetNames> TileSetCandidates(std::span<const uint8_t> zdat, TileSetKind kind, int number) {
  const bool scene = kind == TileSetKind::Scene;
  std::vector<TileSetNames> out;
  const std::string index = ZdatTileName(zdat, kind, true, number);
  const std::string data = ZdatTileName(zdat, kind, false, number);
  if (!index.empty() && !data.empty()) out.push_back({index, data, TileSetStep::ZdatNames});
  if (number >= 0)
    out.push_back({fmt::format("{}{:03}", scene ? "sdx" : "wdx", number),
                   fmt::format("{}{:03}", scene ? "smp" : "wmp", number), TileSetStep::Numbered});
  out.push_back({scene ? "sdx" : "wdx", scene ? "smp" : "wmp", TileSetStep::Bare});
  return out;
}

TileSetSearch FindTileSet(const fs::path& dir, std::span<const uint8_t> zdat, TileSetKind kind, int number) {
  TileSetSearch search;
  auto note = [&search](const std::string& name) {
    const std::string lower = Lower(name);
    for (const std::string& t : search.tried)
      if (Lower(t) == lower) return;
    search.tried.push_back(name);
  };
  for (const TileSetNames& names : TileSetCandidates(zdat, kind, number)) {
    note(names.index);
    note(names.data);
    const std::optional<fs::path> index = Present(dir, names.index);
    const std::optional<fs::path> data = Present(dir, names.data);
    if (index && data) {
      search.found = TileSetFiles{*index, *data, names.step};
      return search;
    }
  }
  return search;
}

std::string TileFilesUsedMessage(const TextCodec& text, const TileSetFiles& files) {
  return text.MapInterfaceText(
      FormatInterfaceString(Str::TileFilesUsed, files.index.filename().string(), files.data.filename().string()));
}

std::string TileSetMessage(const TextCodec& text, const LoadedTileSet& set) {
  std::string message = TileFilesUsedMessage(text, set.files);
  if (set.damage) message += "\n" + text.MapInterfaceText(set.damage->message);
  if (const std::string damaged = TileSetDamageMessage(text, set); !damaged.empty()) message += "\n" + damaged;
  return message;
}

std::string TileSetDamageMessage(const TextCodec& text, const LoadedTileSet& set) {
  if (!set.tiles) return {};
  return text.MapInterfaceText(DamagedPicturesMessage(set.files.data.filename().string(), *set.tiles));
}

const Bytes& TileSetCache::Zdat(const fs::path& dir) {
  if (!zdat_) {
    Result<Bytes> read = ReadWholeFile(FindGameFile(dir, "z.dat"));
    // A missing or unreadable z.dat only skips its step.
    zdat_ = read ? std::move(*read) : Bytes{};
  }
  return *zdat_;
}

Result<LoadedTileSet> TileSetCache::Load(const fs::path& dir, TileSetKind kind, int number, const Palette& palette) {
  if (dir != dir_) {
    Clear();
    dir_ = dir;
  }
  const TileSetSearch search = FindTileSet(dir, Zdat(dir), kind, number);
  if (!search.found) {
    std::string names;
    for (const std::string& name : search.tried) names += (names.empty() ? "" : ", ") + name;
    return Error{FormatInterfaceString(Str::TileFilesNotFound, names)};
  }
  const TileSetFiles& files = *search.found;
  const std::string key = Stamp(files.index) + "\n" + Stamp(files.data);
  if (auto it = sets_.find(key); it != sets_.end()) return LoadedTileSet{files, it->second.tiles, it->second.damage};
  Result<Bytes> index = ReadWholeFile(files.index);
  Result<Bytes> data = index ? ReadWholeFile(files.data) : Result<Bytes>(Error{});
  if (!index || !data)
    return Error{FormatInterfaceString(Str::TileFilesUnreadable, files.index.filename().string(),
                                       files.data.filename().string(), index ? data.error() : index.error())};
  ++setsRead_;
  LoadedTileSet set{files, std::make_shared<const PictureSet>(ParsePictureSet(*index, *data, palette)), nullptr};
  if (auto damage = CheckPictureIndex(*index, data->size(), files.index.string(), files.data.string()))
    set.damage = std::make_shared<const FileWarning>(std::move(*damage));
  sets_.emplace(key, set);
  return set;
}

void TileSetCache::Clear() {
  dir_.clear();
  zdat_.reset();
  sets_.clear();
  setsRead_ = 0;
}

namespace {

Result<LoadedTileSet> LoadForState(EditorState& state, TileSetKind kind, int number) {
  Result<LoadedTileSet> set = state.tileSets.Load(state.gameDirectory, kind, number, state.game.palette);
  if (!set) return Error{state.text().MapInterfaceText(set.error())};
  return set;
}

}  // namespace

Result<LoadedTileSet> LoadSceneTiles(EditorState& state, int scene) {
  return LoadForState(state, TileSetKind::Scene, scene);
}

Result<LoadedTileSet> LoadBattleTiles(EditorState& state, int map) {
  return LoadForState(state, TileSetKind::Battle, map);
}

// ---- Scene pictures ---------------------------------------------------------------

int TileIndexForNumber(int pictureNumber) {
  const int floorHalf = pictureNumber >= 0 ? pictureNumber / 2 : -((1 - pictureNumber) / 2);
  if (pictureNumber % 2 == 0) return floorHalf;
  return floorHalf % 2 == 0 ? floorHalf : floorHalf + 1;  // x.5: the even neighbour
}

const RlePicture* TileForNumber(const PictureSet& tiles, int pictureNumber) {
  const int index = TileIndexForNumber(pictureNumber);
  if (index < 0 || static_cast<size_t>(index) >= tiles.size()) return nullptr;
  const RlePicture& tile = tiles[static_cast<size_t>(index)];
  return PictureShows(tile) ? &tile : nullptr;
}

const RlePicture* TileForText(const PictureSet& tiles, const std::string& text) {
  Result<int16_t> number = ParseWord(text);
  return number ? TileForNumber(tiles, *number) : nullptr;
}

std::vector<int> AnimationNumbers(int start, int end) {
  std::vector<int> numbers;
  if (start > end) return numbers;
  numbers.reserve(static_cast<size_t>((end - start) / 2 + 1));
  for (int s = start; s <= end; s += 2) numbers.push_back(s);
  return numbers;
}

}  // namespace tavrel
