// A PNG file as the picture import reads it: decode (within the limits of a
// game picture), map to the palette, encode the rows and read them back.
#include "app/picture_sets.h"
#include "fuzz_support.h"
#include "gamefiles/picture_encode.h"
#include "gamefiles/png_file.h"

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto parts = fuzz::UnpackParts(data, size, 2);
  const Palette palette = ParsePalette(parts[0]);
  PngReadFailure failure;
  Result<PngImage> image = DecodePng(parts[1], failure);
  if (!image) {
    FUZZ_CHECK(failure.tooLarge || !failure.reason.empty());
    return 0;
  }
  FUZZ_CHECK(image->width >= 1 && image->width <= kMaxPictureWidth);
  FUZZ_CHECK(image->height >= 1 && image->height <= kMaxPictureHeight);
  const size_t pixels = size_t(image->width) * size_t(image->height);
  FUZZ_CHECK(image->rgba.size() == pixels * 4);
  FUZZ_CHECK(!image->indexed || image->indices.size() == pixels);
  PaletteMatcher matcher(palette);
  const MappedPicture mapped = MapPngToPalette(*image, matcher);
  FUZZ_CHECK(mapped.picture.indices.size() == pixels);
  // A visible pixel of a colour the palette holds gets an index of that colour.
  uint64_t inexact = 0;
  for (size_t k = 0; k < pixels; ++k) {
    if (!mapped.picture.visible[k]) continue;
    const uint32_t rgb =
        uint32_t(image->rgba[4 * k]) << 16 | uint32_t(image->rgba[4 * k + 1]) << 8 | image->rgba[4 * k + 2];
    if (palette[mapped.picture.indices[k]] != rgb) ++inexact;
  }
  FUZZ_CHECK(inexact == mapped.mappedPixels);
  Result<RlePicture> encoded = EncodeRlePicture(mapped.picture, palette);
  if (encoded) FUZZ_CHECK(DecodePictureIndices(*encoded) == mapped.picture);
  return 0;
}
