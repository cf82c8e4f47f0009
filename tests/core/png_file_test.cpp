// PNG pictures: what EncodePng writes decodes, through libpng, to the same pixels.
#include <gtest/gtest.h>
#include <png.h>

#include "gamefiles/png_file.h"
#include "gamefiles_test_support.h"

namespace tavrel::testing {
namespace {

struct Decoded {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB
};

Decoded DecodePng(const Bytes& bytes) {
  Decoded out;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return out;
  image.format = PNG_FORMAT_RGB;
  std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return out;
  out.width = int(image.width);
  out.height = int(image.height);
  for (size_t k = 0; k + 2 < rgb.size(); k += 3)
    out.pixels.push_back(uint32_t(rgb[k]) << 16 | rgb[k + 1] << 8 | rgb[k + 2]);
  return out;
}

TEST(PngFile, WritesAPictureThatDecodesToItsPixels) {
  PixelArea area(3, 2);
  area.pixels = {0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFFFFFF, 0x000000};
  Result<Bytes> png = EncodePng(area);
  ASSERT_TRUE(png) << png.error();
  const Bytes signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  ASSERT_GE(png->size(), signature.size());
  EXPECT_EQ(Bytes(png->begin(), png->begin() + 8), signature);
  const Decoded back = DecodePng(*png);
  EXPECT_EQ(back.width, 3);
  EXPECT_EQ(back.height, 2);
  EXPECT_EQ(back.pixels, area.pixels);

  ScratchDir dir;
  ASSERT_TRUE(WritePng(dir / "out.png", area));
  EXPECT_EQ(dir.Get("out.png"), *png);
  EXPECT_FALSE(EncodePng(PixelArea{}));
}

}  // namespace
}  // namespace tavrel::testing
