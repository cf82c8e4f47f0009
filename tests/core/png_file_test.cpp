// PNG pictures: what EncodePng writes decodes, through libpng, to the same
// pixels; the reader refuses what cannot be a game picture before it holds
// its pixels or its chunks.
#include <gtest/gtest.h>
#include <png.h>

#include <tuple>

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

// The PNG inside a fuzz input (a 32-bit little-endian length, that many
// palette bytes, then the file).
Bytes FuzzInputPng(const std::string& name) {
  Result<Bytes> input = ReadWholeFile(std::string(TAVREL_TEST_DATA_DIR "/../../fuzz/regressions/png/") + name);
  if (!input || input->size() < 4) return {};
  const size_t skip = 4 + size_t(ReadI32(*input, 0));
  return skip <= input->size() ? Bytes(input->begin() + ptrdiff_t(skip), input->end()) : Bytes{};
}

// A PNG of one black pixel with a text chunk "Big" of `textBytes` bytes
// before its pixels.
Bytes PngWithText(size_t textBytes) {
  const std::string text(textBytes, 'x');
  Result<Bytes> png = EncodeRgbaPng(1, 1, std::vector<uint8_t>{0, 0, 0, 255}, {{"Big", text}});
  return png ? *png : Bytes{};
}

TEST(PngFile, ChunksLongerThanAGamePictureNeedsAreRefused) {
  // A fuzzer's find (also a seed of fuzz_png): a text chunk claiming
  // 1,885,405,184 bytes in a file of 1,093, which once made the reader ask
  // for 1.9 GB at once (fuzz/run's memory limit catches that allocation).
  const Bytes png = FuzzInputPng("png-oom.bin");
  ASSERT_EQ(png.size(), 1093u);
  EXPECT_EQ(size_t(uint32_t(png[847]) << 24 | uint32_t(png[848]) << 16 | uint32_t(png[849]) << 8 | png[850]),
            1885405184u);
  PngReadFailure failure;
  Result<PngImage> image = tavrel::DecodePng(png, failure);
  ASSERT_FALSE(image);
  EXPECT_FALSE(failure.tooLarge);
  EXPECT_FALSE(failure.reason.empty());

  // Text chunks that are really there: 1 MB is read; one longer than the
  // rows of the largest game picture could take, 800 × (1 + 1280 × 8) bytes
  // and 64 KB for the compressed stream's overhead, is refused by the limits.
  EXPECT_EQ(kMaxPngChunkBytes, size_t(800) * (1 + 1280 * 8) + 65536);
  Result<PngImage> modest = tavrel::DecodePng(PngWithText(size_t(1) << 20), failure);
  ASSERT_TRUE(modest) << failure.reason;
  EXPECT_EQ(modest->Text("Big").size(), size_t(1) << 20);
  Result<PngImage> large = tavrel::DecodePng(PngWithText(kMaxPngChunkBytes), failure);
  ASSERT_FALSE(large);
  EXPECT_NE(failure.reason.find("limit"), std::string::npos) << failure.reason;
}

TEST(PngFile, APictureLargerThanTheGameCanShowIsRefusedByItsHeader) {
  // 1280 × 800 is the largest game picture; one pixel more either way is refused.
  for (const auto& [width, height, refused] : {std::tuple{1280, 800, false}, std::tuple{1281, 1, true},
                                               std::tuple{1, 801, true}, std::tuple{100000, 3, true}}) {
    std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4, 0x80);
    Result<Bytes> png = EncodeRgbaPng(width, height, rgba, {{"Note", "x"}});
    ASSERT_TRUE(png) << png.error();
    PngReadFailure failure;
    Result<PngImage> image = tavrel::DecodePng(*png, failure);
    EXPECT_EQ(bool(image), !refused) << width << "x" << height << ": " << failure.reason;
    EXPECT_EQ(failure.tooLarge, refused);
    if (refused) {
      EXPECT_EQ(failure.width, width);
      EXPECT_EQ(failure.height, height);
    } else {
      EXPECT_EQ(image->rgba.size(), size_t(width) * height * 4);
      EXPECT_EQ(image->Text("Note"), "x");
    }
  }
}

TEST(PngFile, IndexedPicturesKeepTheirIndicesPaletteAndTransparency) {
  IndexedPng out;
  out.width = 3;
  out.height = 2;
  out.indices = {0, 1, 2, 2, 1, 0};
  out.colours = {0x000000, 0x000000, 0x336699};  // black twice
  out.alpha = {255, 0};
  out.texts = {{"XOffset", "-4"}, {"YOffset", "56"}};
  Result<Bytes> png = EncodeIndexedPng(out);
  ASSERT_TRUE(png) << png.error();
  PngReadFailure failure;
  Result<PngImage> in = tavrel::DecodePng(*png, failure);
  ASSERT_TRUE(in) << failure.reason;
  EXPECT_TRUE(in->indexed);
  EXPECT_EQ(in->indices, out.indices);
  EXPECT_EQ(in->colours, out.colours);
  EXPECT_EQ(in->alpha, (std::vector<uint8_t>{255, 0, 255}));
  EXPECT_EQ(in->Text("XOffset"), "-4");
  EXPECT_EQ(in->Text("YOffset"), "56");
  EXPECT_EQ(std::vector<uint8_t>(in->rgba.begin(), in->rgba.begin() + 12),
            (std::vector<uint8_t>{0, 0, 0, 255, 0, 0, 0, 0, 0x33, 0x66, 0x99, 255}));
  // Cut short anywhere: refused with a reason, never a crash.
  // Cut short before the end of its pixels.
  for (size_t n : {size_t(0), size_t(8), size_t(20), size_t(40), png->size() / 2, png->size() - 20}) {
    Result<PngImage> cut = tavrel::DecodePng(std::span<const uint8_t>(png->data(), n), failure);
    EXPECT_FALSE(cut) << n;
    EXPECT_FALSE(failure.reason.empty()) << n;
  }
}

}  // namespace
}  // namespace tavrel::testing
