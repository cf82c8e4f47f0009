#pragma once
// The pieces of the synthetic sample game. Every file is invented by this
// project's own code and is the same bytes on every run.
#include <filesystem>
#include <string>
#include <vector>

#include "gamefiles/file_io.h"
#include "script/attributes.h"

namespace tavrel::sample {

struct SampleFile {
  std::string name;  // file name in the game directory, as the game spells it
  Bytes bytes;
};

struct SampleOptions {
  int scale = 1;  // multiplies events and dialogues
  // Instruction lengths and jump layout (from kdefattr.dat); required for events.
  const AttributeTable* attributes = nullptr;
  // false: one scene tile set sdx / smp and one battle tile set wdx / wmp, as
  // an unpatched game ships them; true: a set per scene (sdxNNN / smpNNN) and
  // per battlefield (wdxNNN / wmpNNN), as a modder lays them out. z.dat's
  // name tables name the files written either way.
  bool numberedTiles = false;
  // Inventory slots of the database's base entry (r1.grp entry 0, 36 + 4 x
  // slots bytes): 200 as the original game has them, 240 as a real mod.
  int inventorySlots = 200;
};

// war.sta (at least 10 battles), warfld.idx/warfld.grp (26 maps of two and
// three layers) and the battle tile set wdx/wmp (or wdxNNN/wmpNNN).
std::vector<SampleFile> MakeBattleFiles(const SampleOptions& options);

// z.dat (full size, plausible values at every patch site) and a few
// fightNNN.idx/.grp files.
std::vector<SampleFile> MakeExecutableDataFiles(const SampleOptions& options);

// Every file of a complete game directory (dialogue, events, names,
// portraits, palette, scene tiles, and the two groups above).
std::vector<SampleFile> MakeSampleGame(const SampleOptions& options);

// The words of one event of at least `instructions` instructions (the end
// instruction included), built like the events of the sample game at
// options.scale; for measuring and testing very long events.
std::vector<int16_t> MakeLongEvent(const SampleOptions& options, int instructions);

// Writes MakeSampleGame into `dir` (created if needed).
Status WriteSampleGame(const std::filesystem::path& dir, const SampleOptions& options);

}  // namespace tavrel::sample
