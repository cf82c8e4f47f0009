#pragma once
// The run-length encoding of picture rows, the inverse of the picture reader:
// from one palette index per pixel and a mask of the pixels that show, to
// the rows the reader walks back into exactly those pixels.
//
// A row is its length byte L (the bytes that follow it), then groups of skip,
// count and that many palette indices; a row with no visible pixel is the one
// byte 0. Skips and counts are single bytes: a gap of more than 255
// transparent pixels is carried by groups of skip 255 and count 0, a run of
// more than 255 pixels is cut into groups of at most 255. Transparent pixels
// at the end of a row are not written.
//
// The reader ends a row after the run that brings the bytes read since L (L
// included) to L or more, or that reaches the width. A row longer than
// 256 bytes therefore gets L = 255 and fits only when every group but the
// last ends before its 255th byte; every row of a picture up to
// kAlwaysFitWidth pixels wide fits, whatever its pixels.
#include <cstdint>
#include <string>
#include <vector>

#include "base/result.h"
#include "gamefiles/file_io.h"
#include "gamefiles/pictures.h"

namespace tavrel {

// A picture of 1 .. kMaxPictureWidth × 1 .. kMaxPictureHeight pixels is
// encoded: what the reader would take as damaged is never written.
inline constexpr int kAlwaysFitWidth = 170;

// Encodes the rows of `picture` (indices and mask of width × height). The
// error names the first row that fits no encoding the reader accepts and says
// how many bytes it needs, or says why the size is not allowed.
Result<Bytes> EncodePictureRows(const IndexedPicture& picture);

// The whole picture entry: width, height, x offset, y offset, then the rows.
Result<Bytes> EncodePictureEntry(const IndexedPicture& picture);

// The same picture as an RlePicture with its colours, ready to be shown.
Result<RlePicture> EncodeRlePicture(const IndexedPicture& picture, const Palette& palette);

// The entry bytes of a picture as it is held: its header and its data as they
// came (empty for an absent picture).
Bytes PictureEntryBytes(const RlePicture& picture);

// The .idx and .grp of a set, entries back to back.
void EncodePictureSet(const PictureSet& set, Bytes& idx, Bytes& grp);

}  // namespace tavrel
