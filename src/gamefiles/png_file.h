#pragma once
// PNG files through libspng, which reports every failure as a returned
// code: RGB pictures of the game's maps, indexed pictures with the game
// palette, and reading any PNG back as RGBA (and, for an indexed one, as its
// palette indices). The reader refuses, before it allocates the pixels, a
// PNG larger than a game picture can be (kMaxPictureWidth × kMaxPictureHeight)
// and chunks larger than such a picture's data can need.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "base/result.h"
#include "gamefiles/file_io.h"
#include "gamefiles/pictures.h"

namespace tavrel {

// The area as a PNG image: one RGB pixel for each 0x00RRGGBB pixel.
Result<Bytes> EncodePng(const PixelArea& area);

// Writes EncodePng(area) to `path`, replacing the file atomically.
Status WritePng(const std::filesystem::path& path, const PixelArea& area);

using PngTexts = std::vector<std::pair<std::string, std::string>>;

// An 8-bit indexed PNG: `indices` (width * height) into `colours`
// (0x00RRGGBB, at most 256), with `alpha[i]` the opacity of colour i (missing
// entries opaque), and the text chunks `texts` (keyword, Latin-1 value).
struct IndexedPng {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> indices;
  std::vector<uint32_t> colours;
  std::vector<uint8_t> alpha;
  PngTexts texts;
};
Result<Bytes> EncodeIndexedPng(const IndexedPng& image);

// An 8-bit RGBA PNG (width * height * 4 bytes) with text chunks.
Result<Bytes> EncodeRgbaPng(int width, int height, std::span<const uint8_t> rgba, const PngTexts& texts);

// A PNG as read: every pixel as R, G, B, A (8 bits each); for an indexed
// file also its indices, palette and palette opacities; and its text chunks.
struct PngImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;
  bool indexed = false;
  std::vector<uint8_t> indices;
  std::vector<uint32_t> colours;  // 0x00RRGGBB
  std::vector<uint8_t> alpha;     // one per colour, 255 where the file gives none
  PngTexts texts;
  // The value of text chunk `keyword`, empty when there is none.
  std::string Text(const std::string& keyword) const;
};

// The largest chunk a PNG of a game picture needs: its rows unfiltered and
// uncompressed in the widest format (16-bit RGBA), one filter byte a row, and
// room for the compressed stream's own overhead (about 8 MB). The chunks the
// reader keeps (text and the like, decompressed) may hold as much together.
inline constexpr size_t kMaxPngChunkBytes = size_t(kMaxPictureHeight) * (1 + size_t(kMaxPictureWidth) * 8) + 65536;

// Why a PNG could not be read: `tooLarge` when its header asks for more than
// kMaxPictureWidth × kMaxPictureHeight pixels (the rows are then not read),
// else the decoder's reason.
struct PngReadFailure {
  bool tooLarge = false;
  int width = 0;
  int height = 0;
  std::string reason;
};
Result<PngImage> DecodePng(std::span<const uint8_t> bytes, PngReadFailure& failure);

}  // namespace tavrel
