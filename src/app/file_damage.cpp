#include "app/file_damage.h"

#include <algorithm>
#include <set>

#include "app/editor_state.h"
#include "app/tile_sets.h"
#include "gamefiles/idx_grp.h"
#include "gamefiles/war_map.h"
#include "gamefiles/war_sta.h"

namespace tavrel {

std::vector<FileWarning> DamageOfFilesReadOnOpen(const EditorState& state) {
  const std::filesystem::path dir(state.gameDirectory);
  std::vector<FileWarning> damage;

  // The battlefields: the map reader takes one entry at a time, the check
  // holds the whole index against the data.
  if (Result<PairBytes> pair = ReadPairBytes(dir, "warfld.idx", "warfld.grp"); pair) {
    std::vector<FileWarning> found;
    ParseIndex(pair->idx, pair->grp.size(), pair->idxPath.string(), pair->grpPath.string(), IndexCheck::Strict, &found);
    for (FileWarning& w : found)
      if (w.damage) {
        if (!pair->missing.empty()) NoteMissingFile(w, pair->missing);
        damage.push_back(std::move(w));
      }
  }

  // Every tile set a scene or a battle map is drawn with, each pair once.
  const Bytes zdat = [&] {
    Result<Bytes> read = ReadWholeFile(FindGameFile(dir, "z.dat"));
    return read ? std::move(*read) : Bytes{};
  }();
  const int scenes = std::max<int>(state.game.objects.sceneCount(), int(state.game.names.scenes.size()));
  std::set<std::string> checked;
  auto check = [&](TileSetKind kind, int number) {
    const TileSetSearch search = FindTileSet(dir, zdat, kind, number);
    if (!search.found || !checked.insert(search.found->index.string()).second) return;
    Result<Bytes> index = ReadWholeFile(search.found->index);
    std::error_code ec;
    const auto dataBytes = std::filesystem::file_size(search.found->data, ec);
    if (!index || ec) return;
    if (auto found =
            CheckPictureIndex(*index, size_t(dataBytes), search.found->index.string(), search.found->data.string()))
      damage.push_back(std::move(*found));
  };
  for (int s = 0; s < scenes; ++s) check(TileSetKind::Scene, s);
  for (int m = 0; m < kBattlefieldCount; ++m) check(TileSetKind::Battle, m);

  // The battles: a cut last record is lost when they are saved.
  if (Result<WarStaContents> battles = ReadWarSta(dir, state.text()); battles)
    if (auto found = WarStaDamage(*battles, FindGameFile(dir, "war.sta"))) damage.push_back(std::move(*found));
  return damage;
}

}  // namespace tavrel
