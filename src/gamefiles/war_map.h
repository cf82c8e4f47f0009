#pragma once
// Battlefields: warfld.idx / warfld.grp hold 26 maps of 64 x 64 squares, two
// or three layers of 16-bit picture numbers each. The tile set a map is drawn
// with is found by LoadBattleTiles (app/tile_sets.h).
#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"
#include "gamefiles/pictures.h"

namespace tavrel {

inline constexpr int kBattlefieldCount = 26;
inline constexpr int kBattlefieldSide = 64;
inline constexpr size_t kBattlefieldLayerValues = size_t(kBattlefieldSide) * kBattlefieldSide;
inline constexpr size_t kBattlefieldLayerBytes = kBattlefieldLayerValues * 2;

struct Battlefield {
  int layerCount = 0;  // 2 or 3 as the entry's size says; a two-layer map's third layer is all 0
  // Layer 0 is the ground; square (x, y) is at y * 64 + x.
  std::array<std::vector<int16_t>, 3> layers;
  size_t missingBytes = 0;  // layer bytes the entry did not hold (read as 0)

  int16_t value(int layer, int x, int y) const {
    return layers[size_t(layer)][size_t(y) * kBattlefieldSide + size_t(x)];
  }
};

// Map m of a warfld index and data. Only the first 26 end offsets count. An
// entry of exactly 16384 bytes has two layers, any other size three; the
// layers take the entry's bytes in order and whatever the entry lacks is 0.
// Errors: m outside 0 .. 25, an index too short for m, an entry that runs
// backwards or starts beyond the data.
Result<Battlefield> ParseBattlefield(std::span<const uint8_t> idx, std::span<const uint8_t> grp, int m);

// The same from the game directory's warfld.idx / warfld.grp.
Result<Battlefield> ReadBattlefield(const std::filesystem::path& gameDir, int m);

}  // namespace tavrel
