#include "gamefiles/war_map.h"

#include <fmt/format.h>

#include <algorithm>

#include "gamefiles/file_io.h"
#include "text/ui_strings.h"

namespace tavrel {

Result<Battlefield> ParseBattlefield(std::span<const uint8_t> idx, std::span<const uint8_t> grp, int m) {
  if (m < 0 || m >= kBattlefieldCount)
    return Error{FormatInterfaceString(Str::NoSuchBattlefield, m, kBattlefieldCount - 1)};
  const size_t endAt = size_t(m) * 4;
  if (idx.size() < endAt + 4) return Error{FormatInterfaceString(Str::WarfldIndexTooShort, idx.size(), m)};
  const int64_t start = m == 0 ? 0 : ReadI32(idx, endAt - 4);
  const int64_t end = ReadI32(idx, endAt);
  if (start < 0 || end < start) return Error{FormatInterfaceString(Str::WarfldEntryBad, m, start, end)};
  if (start > int64_t(grp.size())) return Error{FormatInterfaceString(Str::WarfldDataTooShort, m, start, grp.size())};

  const int64_t size = end - start;
  Battlefield field;
  field.layerCount = size == int64_t(2 * kBattlefieldLayerBytes) ? 2 : 3;
  // The layers take the entry's own bytes only, never the next map's.
  const size_t available = size_t(std::min<int64_t>(size, int64_t(grp.size()) - start));
  const std::span<const uint8_t> entry = grp.subspan(size_t(start), available);
  size_t at = 0;
  for (int layer = 0; layer < 3; ++layer) {
    std::vector<int16_t>& values = field.layers[size_t(layer)];
    values.assign(kBattlefieldLayerValues, 0);
    if (layer >= field.layerCount) continue;
    for (size_t k = 0; k < kBattlefieldLayerValues; ++k, at += 2) {
      if (at + 2 <= entry.size())
        values[k] = ReadI16(entry, at);
      else
        field.missingBytes += at < entry.size() ? 1 : 2;
    }
  }
  return field;
}

Result<Battlefield> ReadBattlefield(const std::filesystem::path& gameDir, int m) {
  if (m < 0 || m >= kBattlefieldCount) return ParseBattlefield({}, {}, m);
  Result<Bytes> idx = ReadWholeFile(FindGameFile(gameDir, "warfld.idx"));
  if (!idx) return idx.passError();
  Result<Bytes> grp = ReadWholeFile(FindGameFile(gameDir, "warfld.grp"));
  if (!grp) return grp.passError();
  return ParseBattlefield(*idx, *grp, m);
}

}  // namespace tavrel
