// A PNG file as the picture import reads it: decode, map to the palette,
// encode the rows and read them back.
#include "app/picture_sets.h"
#include "fuzz_support.h"
#include "gamefiles/picture_encode.h"
#include "gamefiles/png_file.h"

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto parts = fuzz::UnpackParts(data, size, 2);
  const Palette palette = ParsePalette(parts[0]);
  PngReadFailure failure;
  // Sizes kept to what one input may decode quickly.
  Result<PngImage> image = DecodePng(parts[1], kMaxPictureSide, 1u << 20, failure);
  if (!image) {
    FUZZ_CHECK(failure.tooLarge || !failure.reason.empty());
    return 0;
  }
  const size_t pixels = size_t(image->width) * size_t(image->height);
  FUZZ_CHECK(image->rgba.size() == pixels * 4);
  FUZZ_CHECK(!image->indexed || image->indices.size() == pixels);
  PaletteMatcher matcher(palette);
  const MappedPicture mapped = MapPngToPalette(*image, matcher);
  FUZZ_CHECK(mapped.picture.indices.size() == pixels);
  for (size_t k = 0; k < pixels; ++k)
    FUZZ_CHECK(!mapped.picture.visible[k] || mapped.picture.indices[k] != kTransparentIndex);
  if (pixels == 0) return 0;
  Result<RlePicture> encoded = EncodeRlePicture(mapped.picture, palette);
  if (encoded) FUZZ_CHECK(DecodePictureIndices(*encoded) == mapped.picture);
  return 0;
}
