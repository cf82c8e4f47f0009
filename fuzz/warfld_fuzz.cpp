// warfld.idx / warfld.grp and a battle tile set: one map read and composed.
#include "app/battle_geometry.h"
#include "fuzz_support.h"
#include "gamefiles/idx_grp.h"
#include "gamefiles/war_map.h"

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const int m = data[0] % (kBattlefieldCount + 2) - 1;  // a map number, sometimes out of range
  const int cx = data[1] / 4 % 72 - 4, cy = data[2] % 72 - 4;
  const auto parts = fuzz::UnpackParts(data + 3, size - 3, 4);
  // The whole index against the data, as `tavrel check` holds it.
  const IndexReading reading = ReadIndex(parts[0], parts[1].size(), IndexCheck::Strict);
  FUZZ_CHECK(reading.loss().bytes >= 0 && size_t(reading.loss().bytes) <= parts[1].size());
  Result<Battlefield> field = ParseBattlefield(parts[0], parts[1], m);
  if (!field) {
    FUZZ_CHECK(field.error().find("warfld") != std::string::npos || m < 0 || m >= kBattlefieldCount);
    return 0;
  }
  FUZZ_CHECK(field->layerCount == 2 || field->layerCount == 3);
  for (const auto& layer : field->layers) FUZZ_CHECK(layer.size() == kBattlefieldLayerValues);
  Palette palette{};
  for (size_t i = 0; i < palette.size(); ++i) palette[i] = uint32_t(i * 0x010203u);
  const PictureSet tiles = ParsePictureSet(parts[2], parts[3], palette);
  // Composing the whole canvas is slow under the sanitizers: one input in four.
  if (data[1] % 4 != 0) return 0;
  CompositionGaps gaps;
  const PixelArea canvas = ComposeBattlefield(*field, tiles, cx, cy, &gaps);
  FUZZ_CHECK(canvas.width == kBattleCanvasWidth && canvas.height == kBattleCanvasHeight);
  const PixelArea view = CropArea(canvas, kBattleViewWidth, kBattleViewHeight);
  FUZZ_CHECK(view.pixels.size() == size_t(kBattleViewWidth) * kBattleViewHeight);
  return 0;
}
