// tavrel make-sample DIR [--scale N] [--numbered-tiles] [--inventory-slots N]: writes the generated sample game.
#include <fmt/format.h>

#include <memory>

#include "cli/command_registry.h"
#include "cli/command_support.h"
#include "sample/sample_parts.h"

namespace tavrel::cli {
namespace {

int RunMakeSample(const CommonOptions& common, const std::string& dir, int scale, bool numberedTiles,
                  int inventorySlots) {
  EditorState state;
  if (!StartEditor(state, common)) return 1;  // the events need the attribute table
  sample::SampleOptions options;
  options.scale = scale;
  options.attributes = &state.attributes;
  options.numberedTiles = numberedTiles;
  options.inventorySlots = inventorySlots;
  if (Status written = sample::WriteSampleGame(dir, options); !written) {
    ComplainCore(state, written.error());
    return 1;
  }
  Say(state, Str::SampleWritten, dir);
  return 0;
}

struct MakeSampleArgs {
  std::string dir;
  int scale = 1;
  bool numberedTiles = false;
  int inventorySlots = 200;
};

const Command<MakeSampleArgs> kCommand{
    "make-sample", "Write the sample game into a directory",
    [](CLI::App& sub, MakeSampleArgs& args) {
      sub.add_option("DIR", args.dir, "directory to write (created if needed)")->required();
      sub.add_option("--scale", args.scale, "multiplies events and dialogues")
          ->check(CLI::Range(1, 100))
          ->capture_default_str();
      sub.add_flag("--numbered-tiles", args.numberedTiles,
                   "a tile set per scene and per battlefield (sdxNNN/smpNNN, wdxNNN/wmpNNN) instead of the one "
                   "set sdx/smp and wdx/wmp");
      sub.add_option("--inventory-slots", args.inventorySlots,
                     "inventory slots of the database's base entry: 200 as the original game, 240 as a real mod")
          ->check(CLI::Range(1, 4000))
          ->capture_default_str();
    },
    [](const CommonOptions& common, const MakeSampleArgs& args) {
      return RunMakeSample(common, args.dir, args.scale, args.numberedTiles, args.inventorySlots);
    }};

}  // namespace
}  // namespace tavrel::cli
