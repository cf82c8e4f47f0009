#include "gamefiles/pictures.h"

#include <fmt/format.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "gamefiles/idx_grp.h"
#include "text/ui_strings.h"

namespace tavrel {

namespace {

constexpr size_t kPaletteBytes = 768;
constexpr size_t kPictureHeader = 8;

// Walks the encoded rows of a picture and calls visit(row, column, position,
// count) for every run: `count` pixel bytes start at data[position], the first
// of them at picture column `column`. Runs are cut where the data ends and the
// walk stops there. A skip that carries x to or past the width ends the row,
// and the next row begins after that skip byte. Rendering and colour expansion
// both walk through here, so they always agree on where each row lies. The
// walk stops before row `rowEnd` (what lies below an area is not walked).
template <class Visit>
void WalkRuns(const RlePicture& picture, int rowEnd, Visit visit) {
  const Bytes& data = picture.data;
  const size_t length = data.size();
  const int64_t width = picture.width;
  const int rows = std::min<int>(picture.height, rowEnd);
  size_t p = 0;
  for (int row = 0; row < rows; ++row) {
    if (p >= length) return;
    const size_t rowStart = p;
    const size_t rowLength = data[p++];
    if (rowLength == 0) continue;
    int64_t x = 0;
    for (;;) {
      if (p >= length) return;
      x += data[p++];
      if (x >= width) break;
      if (p >= length) return;
      const size_t n = data[p++];
      const size_t present = std::min(n, length - p);
      if (present > 0) visit(row, x, p, present);
      if (present < n) return;
      p += n;
      x += int64_t(n);
      if (x >= width || p - rowStart >= rowLength) break;
    }
  }
}

uint32_t Component(uint8_t sixBits) { return uint32_t(sixBits * 4) & 0xFF; }

constexpr size_t kNumbersListed = 12;  // numbers a damage message lists before "…"

}  // namespace

bool PictureDamaged(const RlePicture& picture) {
  if (picture.absent != 0) return false;
  return picture.width < 0 || picture.height < 0 || picture.width > kMaxPictureWidth ||
         picture.height > kMaxPictureHeight || size_t(picture.height) > picture.data.size();
}

bool PictureShows(const RlePicture& picture) {
  return picture.absent == 0 && picture.width > 0 && picture.height > 0 && !PictureDamaged(picture);
}

std::vector<int32_t> DamagedPictureNumbers(const PictureSet& set) {
  std::vector<int32_t> numbers;
  for (size_t k = 0; k < set.size(); ++k)
    if (PictureDamaged(set[k])) numbers.push_back(int32_t(k));
  return numbers;
}

std::string DamagedPicturesMessage(const std::string& file, const PictureSet& set) {
  const std::vector<int32_t> numbers = DamagedPictureNumbers(set);
  if (numbers.empty()) return {};
  const std::string_view separator = InterfaceStringText(Str::NameListSeparator);
  std::string listed;
  for (size_t k = 0; k < numbers.size() && k < kNumbersListed; ++k)
    listed += (k == 0 ? "" : std::string(separator)) + std::to_string(numbers[k]);
  if (numbers.size() > kNumbersListed) listed += std::string(separator) + "…";
  return FormatInterfaceString(Str::PicturesDamaged, file, numbers.size(), listed, kMaxPictureWidth, kMaxPictureHeight);
}

Palette ParsePalette(std::span<const uint8_t> bytes) {
  Palette palette{};
  const size_t entries = std::min<size_t>(256, bytes.size() / 3);
  for (size_t i = 0; i < entries; ++i)
    palette[i] = Component(bytes[3 * i]) << 16 | Component(bytes[3 * i + 1]) << 8 | Component(bytes[3 * i + 2]);
  return palette;
}

Result<Palette> LoadPalette(const std::filesystem::path& gameDir) {
  const std::filesystem::path path = FindGameFile(gameDir, "mmap.col");
  Result<Bytes> bytes = ReadWholeFile(path);
  if (!bytes) return bytes.passError();
  if (bytes->size() < kPaletteBytes)
    return Error{FormatInterfaceString(Str::PaletteTooShort, path.string(), bytes->size(), kPaletteBytes)};
  return ParsePalette(*bytes);
}

void ExpandPictureRows(RlePicture& picture, const Palette& palette) {
  picture.colours.assign(picture.data.size(), 0);
  if (PictureDamaged(picture)) return;
  WalkRuns(picture, picture.height, [&](int, int64_t, size_t at, size_t count) {
    for (size_t i = at; i < at + count; ++i) picture.colours[i] = palette[picture.data[i]];
  });
}

namespace {

// Where picture k of a set lies in data of `length` bytes, as the reader
// takes it: nothing for an absent picture (an empty or negative entry, one
// outside the data, one too short for its header). When the last offset
// differs from the data length the last picture runs to the data's end; a
// picture that runs past the end is cut there.
std::optional<std::pair<int64_t, int64_t>> PictureRange(const std::vector<int32_t>& offsets, size_t k, int64_t length) {
  const int64_t begin = offsets[k];
  int64_t end = offsets[k + 1];
  if (k + 2 == offsets.size() && end != length) end = length;
  if (end <= begin || begin < 0 || begin >= length) return std::nullopt;
  end = std::min(end, length);
  if (end - begin < int64_t(kPictureHeader)) return std::nullopt;
  return std::make_pair(begin, end);
}

}  // namespace

PictureSet ParsePictureSet(std::span<const uint8_t> idx, std::span<const uint8_t> grp, const Palette& palette) {
  // Picture indexes are taken as they come: a trailing partial value is
  // dropped and every range is checked picture by picture.
  const std::vector<int32_t> offsets = ReadIndex(idx, grp.size(), IndexCheck::Pictures).offsets;
  const size_t n = offsets.size() - 1;
  PictureSet set(n);
  for (size_t k = 0; k < n; ++k) {
    const auto range = PictureRange(offsets, k, static_cast<int64_t>(grp.size()));
    if (!range) continue;
    std::span<const uint8_t> entry = grp.subspan(size_t(range->first), size_t(range->second - range->first));
    RlePicture& picture = set[k];
    picture.absent = 0;
    picture.width = ReadI16(entry, 0);
    picture.height = ReadI16(entry, 2);
    picture.xOffset = ReadI16(entry, 4);
    picture.yOffset = ReadI16(entry, 6);
    picture.data.assign(entry.begin() + kPictureHeader, entry.end());
    ExpandPictureRows(picture, palette);
  }
  return set;
}

std::optional<FileWarning> CheckPictureIndex(std::span<const uint8_t> idx, size_t dataBytes, const std::string& idxPath,
                                             const std::string& grpPath) {
  const IndexReading reading = ReadIndex(idx, dataBytes, IndexCheck::Pictures);
  const std::vector<int32_t>& offsets = reading.offsets;
  const int64_t length = static_cast<int64_t>(dataBytes);
  // The pictures the index gives bytes (a size above 0) that the data does
  // not hold whole: read absent (lost) or cut short (kept as far as they go).
  std::vector<std::pair<int64_t, int64_t>> held;
  held.reserve(offsets.size());
  int64_t notWhole = 0, lost = 0;
  for (size_t k = 0; k + 1 < offsets.size(); ++k) {
    const int64_t begin = offsets[k], end = offsets[k + 1];
    const auto range = PictureRange(offsets, k, length);
    if (range) held.push_back(*range);
    if (end <= begin) continue;  // an absent picture by the index's own word
    if (begin < 0 || end > length || !range) ++notWhole;
    if (!range) ++lost;
  }
  // Bytes of the data no picture read holds: the union of the ranges, which
  // are in order unless the index runs backwards somewhere.
  if (!std::is_sorted(held.begin(), held.end())) std::sort(held.begin(), held.end());
  int64_t covered = 0, reach = 0;
  for (const auto& [begin, end] : held) {
    covered += std::max<int64_t>(0, end - std::max(begin, reach));
    reach = std::max(reach, end);
  }
  const FileLoss loss{lost, length - covered};
  const bool lastDisagrees = offsets.back() != length;
  if (notWhole == 0 && loss.bytes == 0 && !lastDisagrees) return std::nullopt;
  // An index that only stops short of the data: its last picture runs to
  // the end and holds the rest.
  const std::string what = notWhole == 0 && loss.bytes == 0 && offsets.back() < length
                               ? FormatInterfaceString(Str::IndexStopsBeforeDataEnd, idxPath, reading.entries,
                                                       offsets.back(), grpPath, length)
                               : FormatInterfaceString(Str::PictureIndexDisagrees, idxPath, notWhole, reading.entries,
                                                       grpPath, length, loss.bytes);
  return FileWarning{std::filesystem::path(idxPath).filename().string(),
                     what + " " + DamageLossSentence(reading.entries - loss.entries, reading.entries, loss), loss};
}

Result<PictureSet> LoadPictureSet(const std::filesystem::path& dir, const std::string& idxName,
                                  const std::string& grpName, const Palette& palette,
                                  std::vector<FileWarning>* warnings) {
  Result<PairBytes> pair = ReadPairBytes(dir, idxName, grpName);
  if (!pair) return pair.passError();
  std::vector<FileWarning> found;
  if (auto damage = CheckPictureIndex(pair->idx, pair->grp.size(), pair->idxPath.string(), pair->grpPath.string()))
    found.push_back(std::move(*damage));
  PassPairWarnings(*pair, found, warnings);
  return ParsePictureSet(pair->idx, pair->grp, palette);
}

IndexedPicture DecodePictureIndices(const RlePicture& picture) {
  IndexedPicture out;
  out.xOffset = picture.xOffset;
  out.yOffset = picture.yOffset;
  if (!PictureShows(picture)) return out;
  out.width = picture.width;
  out.height = picture.height;
  out.indices.assign(size_t(out.width) * size_t(out.height), 0);
  out.visible.assign(out.indices.size(), 0);
  const Bytes& data = picture.data;
  WalkRuns(picture, picture.height, [&](int row, int64_t column, size_t at, size_t count) {
    const int64_t to = std::min<int64_t>(column + int64_t(count), out.width);
    for (int64_t x = column; x < to; ++x) {
      const size_t k = out.at(int(x), row);
      out.indices[k] = data[at + size_t(x - column)];
      out.visible[k] = 1;
    }
  });
  return out;
}

void RenderPicture(const RlePicture& picture, PixelArea& area, int x, int y) {
  if (!PictureShows(picture) || area.width <= 0 || area.height <= 0) return;
  if (area.pixels.size() < size_t(area.width) * size_t(area.height)) return;
  if (int64_t(y) >= area.height) return;
  const int64_t areaWidth = area.width;
  const size_t coloured = picture.colours.size();
  const int rowEnd = int(std::min<int64_t>(int64_t(area.height) - y, picture.height));
  WalkRuns(picture, rowEnd, [&](int row, int64_t column, size_t at, size_t count) {
    const int64_t targetRow = int64_t(y) + row;
    if (targetRow < 0 || targetRow >= area.height || at >= coloured) return;
    count = std::min(count, coloured - at);
    const int64_t first = int64_t(x) + column;
    const int64_t from = std::max<int64_t>(first, 0);
    const int64_t to = std::min<int64_t>(first + int64_t(count), areaWidth);
    if (from >= to) return;
    const auto source = picture.colours.begin() + ptrdiff_t(at + size_t(from - first));
    std::copy(source, source + (to - from), area.pixels.begin() + ptrdiff_t(targetRow * areaWidth + from));
  });
}

PixelArea RenderPictureOpaque(const RlePicture& picture) {
  if (!PictureShows(picture)) return PixelArea{};
  PixelArea area(picture.width, picture.height, 0);
  RenderPicture(picture, area, 0, 0);
  return area;
}

}  // namespace tavrel
