#include "gamefiles/picture_encode.h"

#include <algorithm>

#include "gamefiles/idx_grp.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace {

constexpr size_t kMaxField = 255;

// Appends the groups of one row to `row` (after its length byte at row[0])
// and gives the row's length before its last group, L byte included.
size_t EncodeGroups(const IndexedPicture& picture, int y, Bytes& row) {
  const size_t width = size_t(picture.width);
  const size_t base = picture.at(0, y);
  size_t beforeLast = 1;
  size_t x = 0;
  for (;;) {
    size_t gap = 0;
    while (x < width && picture.visible[base + x] == 0) ++x, ++gap;
    if (x >= width) break;  // the rest of the row is transparent
    size_t run = 0;
    while (x + run < width && picture.visible[base + x + run] != 0) ++run;
    while (gap > kMaxField) {
      beforeLast = row.size();
      row.push_back(uint8_t(kMaxField));
      row.push_back(0);
      gap -= kMaxField;
    }
    // The first piece takes the remainder, so the row's last group is as
    // long as it can be (only the groups before it count against L).
    size_t piece = run % kMaxField == 0 ? kMaxField : run % kMaxField;
    size_t done = 0;
    while (done < run) {
      beforeLast = row.size();
      row.push_back(uint8_t(gap));
      row.push_back(uint8_t(piece));
      for (size_t i = 0; i < piece; ++i) row.push_back(picture.indices[base + x + done + i]);
      done += piece;
      gap = 0;
      piece = kMaxField;
    }
    x += run;
  }
  return beforeLast;
}

}  // namespace

Result<Bytes> EncodePictureRows(const IndexedPicture& picture) {
  const size_t pixels = size_t(std::max(picture.width, 0)) * size_t(std::max(picture.height, 0));
  auto refused = [&] {
    return Error{FormatInterfaceString(Str::PictureSizeNotAllowed, picture.width, picture.height, kMaxPictureWidth,
                                       kMaxPictureHeight)};
  };
  if (picture.width < 1 || picture.height < 1 || picture.width > kMaxPictureWidth || picture.height > kMaxPictureHeight)
    return refused();
  if (picture.indices.size() != pixels || picture.visible.size() != pixels) return refused();
  Bytes out;
  Bytes row;
  for (int y = 0; y < picture.height; ++y) {
    row.assign(1, 0);
    const size_t beforeLast = EncodeGroups(picture, y, row);
    if (row.size() == 1) {
      out.push_back(0);
      continue;
    }
    const size_t after = row.size() - 1;
    if (after <= kMaxField) {
      row[0] = uint8_t(after);
    } else if (beforeLast < kMaxField) {
      row[0] = uint8_t(kMaxField);
    } else {
      return Error{FormatInterfaceString(Str::PictureRowTooLong, y, row.size(), beforeLast)};
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

Result<Bytes> EncodePictureEntry(const IndexedPicture& picture) {
  Result<Bytes> rows = EncodePictureRows(picture);
  if (!rows) return rows;
  Bytes out;
  out.reserve(8 + rows->size());
  AppendI16(out, int16_t(picture.width));
  AppendI16(out, int16_t(picture.height));
  AppendI16(out, picture.xOffset);
  AppendI16(out, picture.yOffset);
  out.insert(out.end(), rows->begin(), rows->end());
  return out;
}

Result<RlePicture> EncodeRlePicture(const IndexedPicture& picture, const Palette& palette) {
  Result<Bytes> rows = EncodePictureRows(picture);
  if (!rows) return rows.passError();
  RlePicture out;
  out.absent = 0;
  out.width = int16_t(picture.width);
  out.height = int16_t(picture.height);
  out.xOffset = picture.xOffset;
  out.yOffset = picture.yOffset;
  out.data = std::move(*rows);
  ExpandPictureRows(out, palette);
  return out;
}

Bytes PictureEntryBytes(const RlePicture& picture) {
  Bytes out;
  if (picture.absent != 0) return out;
  out.reserve(8 + picture.data.size());
  AppendI16(out, picture.width);
  AppendI16(out, picture.height);
  AppendI16(out, picture.xOffset);
  AppendI16(out, picture.yOffset);
  out.insert(out.end(), picture.data.begin(), picture.data.end());
  return out;
}

void EncodePictureSet(const PictureSet& set, Bytes& idx, Bytes& grp) {
  idx.clear();
  grp.clear();
  idx.reserve(set.size() * 4);
  for (const RlePicture& picture : set) {
    if (picture.absent == 0) {
      grp.reserve(grp.size() + 8 + picture.data.size());
      AppendI16(grp, picture.width);
      AppendI16(grp, picture.height);
      AppendI16(grp, picture.xOffset);
      AppendI16(grp, picture.yOffset);
      grp.insert(grp.end(), picture.data.begin(), picture.data.end());
    }
    AppendI32(idx, int32_t(grp.size()));
  }
}

}  // namespace tavrel
