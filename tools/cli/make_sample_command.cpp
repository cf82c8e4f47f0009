// tavrel make-sample DIR [--scale N] [--numbered-tiles]: writes the generated sample game.
#include <fmt/format.h>

#include <memory>

#include "cli/command_registry.h"
#include "sample/sample_parts.h"

namespace tavrel::cli {
namespace {

int RunMakeSample(const CommonOptions& common, const std::string& dir, int scale, bool numberedTiles) {
  EditorState state;
  if (!StartEditor(state, common)) return 1;  // the events need the attribute table
  sample::SampleOptions options;
  options.scale = scale;
  options.attributes = &state.attributes;
  options.numberedTiles = numberedTiles;
  if (Status written = sample::WriteSampleGame(dir, options); !written) {
    fmt::print(stderr, "{}\n", written.error());
    return 1;
  }
  fmt::print("sample game written to {}\n", dir);
  return 0;
}

const RegisterCommand kRegister([](CLI::App& app, const CommonOptions& common, int& exitCode) {
  struct Args {
    std::string dir;
    int scale = 1;
    bool numberedTiles = false;
  };
  auto args = std::make_shared<Args>();
  CLI::App* sub = app.add_subcommand("make-sample", "Write the sample game into a directory");
  sub->add_option("DIR", args->dir, "directory to write (created if needed)")->required();
  sub->add_option("--scale", args->scale, "multiplies events and dialogues")
      ->check(CLI::Range(1, 100))
      ->capture_default_str();
  sub->add_flag("--numbered-tiles", args->numberedTiles,
                "a tile set per scene and per battlefield (sdxNNN/smpNNN, wdxNNN/wmpNNN) instead of the one "
                "set sdx/smp and wdx/wmp");
  sub->callback([&common, &exitCode, args] { exitCode = RunMakeSample(common, args->dir, args->scale, args->numberedTiles);
  });
});

}  // namespace
}  // namespace tavrel::cli
