// The row encoder against the picture reader: literal rows from the format's
// description, the longest rows a length byte allows, and random pictures
// that must read back to exactly their pixels and mask.
#include <gtest/gtest.h>

#include <random>

#include "gamefiles/picture_encode.h"
#include "gamefiles/pictures.h"
#include "gamefiles_test_support.h"

namespace tavrel::testing {
namespace {

constexpr uint32_t kNothing = 0xFF000000;  // no palette colour has a top byte

// Colour i is i itself, so a rendered pixel names its palette index.
Palette IndexPalette() {
  Palette palette{};
  for (uint32_t i = 0; i < 256; ++i) palette[i] = i;
  return palette;
}

// Reads the entry back through the set reader and renders it over kNothing.
void ExpectReadsBack(const IndexedPicture& p, const Bytes& entry) {
  Bytes idx;
  AppendI32(idx, int32_t(entry.size()));
  const PictureSet set = ParsePictureSet(idx, entry, IndexPalette());
  ASSERT_EQ(set.size(), 1u);
  const RlePicture& read = set[0];
  ASSERT_EQ(read.absent, 0);
  EXPECT_EQ(read.width, p.width);
  EXPECT_EQ(read.height, p.height);
  EXPECT_EQ(read.xOffset, p.xOffset);
  EXPECT_EQ(read.yOffset, p.yOffset);
  PixelArea area(p.width, p.height, kNothing);
  RenderPicture(read, area, 0, 0);
  size_t wrong = 0;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const uint32_t want = p.visible[p.at(x, y)] ? p.indices[p.at(x, y)] : kNothing;
      if (area.at(x, y) != want && wrong++ < 5) ADD_FAILURE() << "pixel " << x << "," << y;
    }
  EXPECT_EQ(wrong, 0u);
}

void ExpectRoundTrip(const IndexedPicture& p) {
  Result<Bytes> entry = EncodePictureEntry(p);
  ASSERT_TRUE(entry) << entry.error();
  ExpectReadsBack(p, *entry);
}

Bytes Repeat(size_t n, uint8_t value) { return Bytes(n, value); }
Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& b : parts) out.insert(out.end(), b.begin(), b.end());
  return out;
}

TEST(PictureEncode, RowsAreWrittenAsTheFormatDescribesThem) {
  // 3 × 2: row 0 shows a b c, row 1 nothing.
  IndexedPicture p = Blank(3, 2);
  Show(p, 0, 0, 10);
  Show(p, 1, 0, 11);
  Show(p, 2, 0, 12);
  EXPECT_EQ(*EncodePictureRows(p), (Bytes{5, 0, 3, 10, 11, 12, 0}));

  // Gaps inside a row and a transparent end: skip 1, 1 pixel, skip 2, 2 pixels.
  IndexedPicture q = Blank(8, 1);
  Show(q, 1, 0, 4);
  Show(q, 4, 0, 5);
  Show(q, 5, 0, 6);
  EXPECT_EQ(*EncodePictureRows(q), (Bytes{7, 1, 1, 4, 2, 2, 5, 6}));

  Result<Bytes> entry = EncodePictureEntry([&] {
    IndexedPicture r = q;
    r.xOffset = -2;
    r.yOffset = 300;
    return r;
  }());
  ASSERT_TRUE(entry);
  EXPECT_EQ(Bytes(entry->begin(), entry->begin() + 8), (Bytes{8, 0, 1, 0, 0xFE, 0xFF, 0x2C, 0x01}));
}

TEST(PictureEncode, LongSkipsAndRunsAreSplitIntoSingleByteFields) {
  // One pixel at column 299: a skip of 255 with no pixels, then skip 44.
  IndexedPicture gap = Blank(300, 1);
  Show(gap, 299, 0, 9);
  EXPECT_EQ(*EncodePictureRows(gap), (Bytes{5, 255, 0, 44, 1, 9}));
  ExpectRoundTrip(gap);

  // 300 visible pixels: 45 and then 255, so the full group comes last; the
  // row is longer than 255 bytes and its length byte says 255.
  IndexedPicture run = Blank(300, 1);
  for (int x = 0; x < 300; ++x) Show(run, x, 0, 7);
  EXPECT_EQ(*EncodePictureRows(run), Cat({{255, 0, 45}, Repeat(45, 7), {0, 255}, Repeat(255, 7)}));
  ExpectRoundTrip(run);

  // A skip of exactly 255 needs no extra group.
  IndexedPicture exact = Blank(256, 1);
  Show(exact, 255, 0, 3);
  EXPECT_EQ(*EncodePictureRows(exact), (Bytes{3, 255, 1, 3}));
}

// Every other pixel shown, starting with one: the densest rows in bytes.
IndexedPicture Alternating(int width, int height, int row) {
  IndexedPicture p = Blank(width, height);
  for (int x = 0; x < width; x += 2) Show(p, x, row, uint8_t(1 + x % 200));
  return p;
}

TEST(PictureEncode, TheWidestAlwaysFittingRowFitsAndOneMoreColumnIsRefusedByRow) {
  ExpectRoundTrip(Alternating(170, 1, 0));
  // 170 wide with two pixels together: 85 groups, 256 bytes after the length byte.
  IndexedPicture full = Alternating(170, 1, 0);
  Show(full, 169, 0, 2);
  ExpectRoundTrip(full);

  // 171 wide: 86 one-pixel groups; the 85 before the last take 256 bytes.
  Result<Bytes> refused = EncodePictureRows(Alternating(171, 4, 2));
  ASSERT_FALSE(refused);
  EXPECT_NE(refused.error().find("第 2 行"), std::string::npos) << refused.error();
  EXPECT_NE(refused.error().find("259"), std::string::npos) << refused.error();
}

TEST(PictureEncode, SizesNoGamePictureHasAreRefused) {
  // A game picture is 1 .. 1280 wide and 1 .. 800 high (four times the
  // 320 × 200 screen each way); what the reader would call damaged is never written.
  EXPECT_FALSE(EncodePictureRows(Blank(0, 3)));
  EXPECT_FALSE(EncodePictureRows(Blank(3, 0)));
  EXPECT_FALSE(EncodePictureRows(Blank(1281, 1)));
  EXPECT_FALSE(EncodePictureRows(Blank(1, 801)));
  Result<Bytes> refused = EncodePictureRows(Blank(1281, 1));
  ASSERT_FALSE(refused);
  EXPECT_NE(refused.error().find("1281×1"), std::string::npos) << refused.error();
  EXPECT_NE(refused.error().find("1280"), std::string::npos) << refused.error();
  IndexedPicture wrongSize = Blank(4, 4);
  wrongSize.visible.pop_back();
  EXPECT_FALSE(EncodePictureRows(wrongSize));
}

TEST(PictureEncode, TheLargestSidesRoundTrip) {
  // 1280 wide: a pixel in the last column (1279 = 5 × 255 + 4) takes five
  // empty groups of skip 255 and a last one with skip 4.
  IndexedPicture wide = Blank(1280, 2);
  Show(wide, 1279, 0, 2);
  for (int x = 0; x < 1280; x += 100) Show(wide, x, 1, uint8_t(x / 100 + 1));
  const Result<Bytes> rows = EncodePictureRows(wide);
  ASSERT_TRUE(rows) << rows.error();
  EXPECT_EQ(Bytes(rows->begin(), rows->begin() + 14), (Bytes{13, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 4, 1, 2}));
  ExpectRoundTrip(wide);

  IndexedPicture tall = Blank(1, 800);
  for (int y = 0; y < 800; y += 3) Show(tall, 0, y, uint8_t(y % 255 + 1));
  ExpectRoundTrip(tall);
}

TEST(PictureEncode, RandomPicturesReadBackToTheirPixelsAndMask) {
  std::mt19937 random(20240611);
  auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  for (int round = 0; round < 400; ++round) {
    const int kind = round % 8;
    const int width = kind == 0 ? 1 : uniform(1, kAlwaysFitWidth);
    const int height = uniform(1, 40);
    IndexedPicture p = Blank(width, height);
    p.xOffset = int16_t(uniform(-32768, 32767));
    p.yOffset = int16_t(uniform(-32768, 32767));
    // kind 1: all transparent; 2: no transparent pixel; others: runs of a random density.
    const int density = kind == 1 ? 0 : kind == 2 ? 100 : uniform(5, 95);
    for (int y = 0; y < height; ++y) {
      bool on = uniform(0, 99) < density;
      for (int x = 0; x < width; ++x) {
        if (kind != 2 && uniform(0, 99) < 30) on = uniform(0, 99) < density;
        if (on) Show(p, x, y, uint8_t(uniform(0, 255)));
      }
    }
    ExpectRoundTrip(p);
    if (HasFailure()) {
      ADD_FAILURE() << "round " << round << " " << width << "x" << height;
      return;
    }
  }
  // Long runs and gaps in wide rows that still fit: a gap, a short run, a
  // gap and a last run of up to 300 (cut into a remainder and 255).
  for (int round = 0; round < 40; ++round) {
    IndexedPicture p = Blank(1280, uniform(1, 4));
    for (int y = 0; y < p.height; ++y) {
      int x = uniform(0, 400);
      for (int i = uniform(1, 50); i > 0; --i, ++x) Show(p, x, y, uint8_t(uniform(0, 255)));
      x += uniform(1, 400);
      for (int i = uniform(1, 300); i > 0; --i, ++x) Show(p, x, y, uint8_t(uniform(0, 255)));
    }
    ExpectRoundTrip(p);
  }
}

TEST(PictureEncode, AnEncodedPictureShowsItsPixelsThroughTheDecoder) {
  IndexedPicture p = Alternating(9, 3, 1);
  Show(p, 4, 2, 200);
  p.xOffset = 3;
  Result<RlePicture> encoded = EncodeRlePicture(p, IndexPalette());
  ASSERT_TRUE(encoded) << encoded.error();
  EXPECT_EQ(DecodePictureIndices(*encoded), p);
  const Bytes entry = PictureEntryBytes(*encoded);
  EXPECT_EQ(entry, *EncodePictureEntry(p));
}

}  // namespace
}  // namespace tavrel::testing
