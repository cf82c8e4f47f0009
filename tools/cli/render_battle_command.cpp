// tavrel render-battle DIR BATTLE -o FILE.png: battle BATTLE's map with its
// markers, drawn as the battle map view draws it when it opens, as a PNG.
#include <fmt/format.h>

#include <memory>
#include <optional>

#include "app/battle_geometry.h"
#include "app/tile_sets.h"
#include "cli/command_support.h"
#include "gamefiles/png_file.h"
#include "gamefiles/war_map.h"
#include "gamefiles/war_sta.h"
#include "text/ui_string_names.h"

namespace tavrel::cli {
namespace {

// The centre square the view opens on.
constexpr int kOpeningCentreX = 32;
constexpr int kOpeningCentreY = 31;

int RunRenderBattle(const CommonOptions& common, const std::string& dir, int battle, const std::string& out) {
  EditorState state;
  // The battle needs its battle file, map and tiles, not the events or
  // the dialogue.
  ReadNeeds needs;
  needs.events = false;
  if (!LoadGame(state, common, dir, nullptr, needs)) return 1;
  const TextCodec& text = state.text();
  Result<WarStaContents> contents = ReadWarSta(dir, text);
  if (!contents) {
    ComplainCore(state, contents.error());
    return 1;
  }
  const std::vector<BattleRecord>& battles = contents->battles;
  if (battle < 0 || size_t(battle) >= battles.size()) {
    Complain(state, Str::NoSuchBattle, battle, battles.size());
    return 1;
  }
  const BattleRecord& record = battles[size_t(battle)];
  bool complete = true;

  static const PictureSet kNoTiles;
  std::shared_ptr<const PictureSet> tiles;
  std::optional<TileSetFiles> tileFiles;
  Result<LoadedTileSet> loaded = LoadBattleTiles(state, record.map);
  if (loaded) {
    tiles = loaded->tiles;
    tileFiles = loaded->files;
    fmt::print("{}\n", TileFilesUsedMessage(text, loaded->files));
    if (loaded->damage) {
      fmt::print(stderr, "{}\n", text.MapInterfaceText(loaded->damage->message));
      complete = false;
    }
    // Tiles of impossible sizes are drawn as absent: the picture is not whole.
    if (const std::string damaged = TileSetDamageMessage(text, *loaded); !damaged.empty()) {
      fmt::print(stderr, "{}\n", damaged);
      complete = false;
    }
  } else {
    ComplainCore(state, loaded.error());
    complete = false;
  }
  std::optional<Battlefield> field;
  if (Result<Battlefield> read = ReadBattlefield(dir, record.map); read) {
    field = std::move(*read);
  } else {
    ComplainCore(state, read.error());
    complete = false;
  }

  CompositionGaps gaps;
  const PixelArea view = DrawBattleView(field ? &*field : nullptr, tiles ? *tiles : kNoTiles, record, kOpeningCentreX,
                                        kOpeningCentreY, &gaps);
  // Squares whose ground the tile set lacks are left black: the picture is
  // not what the game shows, so the files are named and the run fails. The
  // centre mark is the editor's own; without it the picture is still the
  // battlefield, so that is a warning only.
  if (tileFiles && field) {
    if (gaps.groundMissing > 0) {
      Complain(state, Str::RenderGroundMissing, gaps.groundMissing, tileFiles->index.filename().string(),
               tileFiles->data.filename().string());
      complete = false;
    }
    if (gaps.markerMissing) Complain(state, Str::MarkerTileMissing, tileFiles->index.filename().string());
  }
  if (Status written = WritePng(out, view); !written) {
    ComplainCore(state, written.error());
    return 1;
  }
  Say(state, Str::BattlePictureWritten, out);
  return complete ? 0 : 1;
}

struct RenderBattleArgs {
  std::string dir;
  int battle = 0;
  std::string out;
};

const Command<RenderBattleArgs> kCommand{
    "render-battle",
    "Draw a battle's map with its markers as the battle map view shows it, as a 640x480 PNG (exit 1 when "
    "the tiles or the map could not be read or the tile set lacks ground tiles the map uses; the picture shows "
    "what could be drawn)",
    [](CLI::App& sub, RenderBattleArgs& args) {
      sub.add_option("DIR", args.dir, "game directory")->required();
      sub.add_option("BATTLE", args.battle, "battle number in war.sta (from 0)")->required();
      sub.add_option("-o,--output", args.out, "PNG file to write")->required();
    },
    [](const CommonOptions& common, const RenderBattleArgs& args) {
      return RunRenderBattle(common, args.dir, args.battle, args.out);
    }};

}  // namespace
}  // namespace tavrel::cli
