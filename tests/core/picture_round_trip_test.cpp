// Pictures as real games hold them, through export and import: palette index
// 0 drawn as a visible black, colours the palette holds twice, pictures that
// show every index, rows laid out otherwise than this encoder would, and
// damaged entries. An unchanged import keeps every byte whatever the PNG's
// format; an edited picture keeps its indices wherever its colours stayed.
#include <gtest/gtest.h>
#include <png.h>

#include <array>
#include <filesystem>

#include "app/picture_sets.h"
#include "gamefiles/picture_encode.h"
#include "gamefiles_test_support.h"
#include "sample_test_support.h"

namespace tavrel::testing {
namespace {

namespace fs = std::filesystem;

// Index i is 0x00RRGGBB = i * 0x010203 but for the duplicates: 0 and 10 are
// black, 20 and 30 both 0x336699.
constexpr uint32_t kShared = 0x336699;
Palette DuplicatePalette() {
  Palette palette{};
  for (uint32_t i = 0; i < 256; ++i) palette[i] = (i * 0x010203u) & 0xFFFFFF;
  palette[0] = palette[10] = 0;
  palette[20] = palette[30] = kShared;
  return palette;
}

Bytes Entry(int16_t width, int16_t height, const Bytes& rows) {
  Bytes out;
  for (int16_t v : {width, height, int16_t(0), int16_t(0)}) AppendI16(out, v);
  out.insert(out.end(), rows.begin(), rows.end());
  return out;
}

Bytes Encoded(const IndexedPicture& p) {
  Result<Bytes> entry = EncodePictureEntry(p);
  if (!entry) ADD_FAILURE() << entry.error();
  return entry ? *entry : Bytes{};
}

// The set's files from entries (an empty entry is absent).
struct SetFiles {
  Bytes idx, grp;
};
SetFiles Files(const std::vector<Bytes>& entries) {
  SetFiles f;
  for (const Bytes& e : entries) {
    f.grp.insert(f.grp.end(), e.begin(), e.end());
    AppendI32(f.idx, int32_t(f.grp.size()));
  }
  return f;
}

// 0: black at index 0 and at index 10 beside it, a transparent pixel.
// 1: every index once, nothing transparent (16 × 16).
// 2: every index and one transparent pixel (17 × 16).
// 3: "a b c" as two groups, where this encoder writes one.
// 4: 5 rows in 4 bytes (damaged). 5: absent.
std::vector<Bytes> RealLikeEntries() {
  IndexedPicture zero = Blank(3, 2);
  Show(zero, 0, 0, 0);
  Show(zero, 1, 0, 10);
  Show(zero, 2, 0, 30);
  Show(zero, 1, 1, 20);
  Show(zero, 2, 1, 0);
  IndexedPicture all = Blank(16, 16);
  for (int i = 0; i < 256; ++i) Show(all, i % 16, i / 16, uint8_t(i));
  IndexedPicture allAndHole = Blank(17, 16);
  for (int i = 0; i < 256; ++i) Show(allAndHole, i % 16, i / 16, uint8_t(i));
  return {Encoded(zero),
          Encoded(all),
          Encoded(allAndHole),
          Entry(3, 1, {7, 0, 2, 'a', 'b', 0, 1, 'c'}),
          Entry(2, 5, {3, 0, 1, 'a'}),
          {}};
}

std::string Text(const fs::path& path) {
  Result<Bytes> bytes = ReadWholeFile(path);
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

// A PNG as libpng's simplified reader gives it: RGBA, and whether the file is indexed.
struct Read {
  std::vector<uint8_t> rgba;
  bool colourMapped = false;
};
Read ReadWithLibpng(const fs::path& path) {
  Read out;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.string().c_str())) return out;
  out.colourMapped = (image.format & PNG_FORMAT_FLAG_COLORMAP) != 0;
  image.format = PNG_FORMAT_RGBA;
  out.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) return {};
  return out;
}

uint32_t Rgb(const std::vector<uint8_t>& rgba, size_t k) {
  return uint32_t(rgba[4 * k]) << 16 | uint32_t(rgba[4 * k + 1]) << 8 | rgba[4 * k + 2];
}

TEST(PictureRoundTrip, IndexZeroAndDuplicateColoursComeBackByteForByte) {
  const Palette palette = DuplicatePalette();
  const SetFiles files = Files(RealLikeEntries());
  const PictureSet set = ParsePictureSet(files.idx, files.grp, palette);
  ScratchDir dir;
  Result<PictureExportReport> report = ExportPictureSet(set, palette, dir / "out");
  ASSERT_TRUE(report) << report.error();
  EXPECT_EQ(report->written, 4);
  EXPECT_EQ(report->absent, 2);
  EXPECT_EQ(report->damaged, 1);

  // Indexed where that keeps every index, else RGBA; the list says which.
  const std::string list = Text(dir / "out" / "pictures.txt");
  for (const char* line :
       {"\n0 0000.png 3 2 0 0 indexed\n", "\n1 0001.png 16 16 0 0 indexed\n", "\n2 0002.png 17 16 0 0 rgba\n",
        "\n3 0003.png 3 1 0 0 indexed\n", "\n4 damaged\n", "\n5 absent\n"})
    EXPECT_NE(list.find(line), std::string::npos) << line << list;
  EXPECT_FALSE(fs::exists(dir / "out" / "0004.png"));
  EXPECT_TRUE(ReadWithLibpng(dir / "out" / "0000.png").colourMapped);
  EXPECT_FALSE(ReadWithLibpng(dir / "out" / "0002.png").colourMapped);

  // What a viewer shows: index 0 and index 10 opaque black, the hole transparent.
  const Read zero = ReadWithLibpng(dir / "out" / "0000.png");
  ASSERT_EQ(zero.rgba.size(), 6u * 4);
  EXPECT_EQ(Rgb(zero.rgba, 0), 0u);
  EXPECT_EQ(zero.rgba[3], 255);
  EXPECT_EQ(Rgb(zero.rgba, 1), 0u);
  EXPECT_EQ(zero.rgba[4 + 3], 255);
  EXPECT_EQ(zero.rgba[3 * 4 + 3], 0);  // (0, 1) does not show
  EXPECT_EQ(Rgb(zero.rgba, 4), kShared);
  const Read all = ReadWithLibpng(dir / "out" / "0002.png");
  ASSERT_EQ(all.rgba.size(), 17u * 16 * 4);
  EXPECT_EQ(Rgb(all.rgba, 17 * 2 + 5), palette[2 * 16 + 5]);
  EXPECT_EQ(all.rgba[4 * 16 + 3], 0);  // column 16 of row 0 does not show

  Result<PictureImport> plan = PlanPictureImport(set, palette, dir / "out", false);
  ASSERT_TRUE(plan) << plan.error();
  EXPECT_EQ(plan->kept, 6);
  EXPECT_EQ(plan->encoded, 0);
  EXPECT_EQ(plan->mappedPixels, 0u);
  SetFiles back;
  EncodePictureSet(plan->set, back.idx, back.grp);
  EXPECT_EQ(back.idx, files.idx);
  EXPECT_EQ(back.grp, files.grp);
}

TEST(PictureRoundTrip, AnUnchangedPictureKeepsItsBytesWhateverThePngFormat) {
  const Palette palette = DuplicatePalette();
  const SetFiles files = Files(RealLikeEntries());
  const PictureSet set = ParsePictureSet(files.idx, files.grp, palette);
  ScratchDir dir;
  ASSERT_TRUE(ExportPictureSet(set, palette, dir / "out"));
  // Pictures 0 and 3 saved again by an image editor: as RGBA, and as an
  // indexed PNG of its own palette order (entries reversed, black twice).
  for (const char* name : {"0000.png", "0003.png"}) {
    Result<Bytes> bytes = ReadWholeFile(dir / "out" / name);
    ASSERT_TRUE(bytes);
    PngReadFailure failure;
    Result<PngImage> image = DecodePng(*bytes, failure);
    ASSERT_TRUE(image) << failure.reason;
    Result<Bytes> rgba = EncodeRgbaPng(image->width, image->height, image->rgba, image->texts);
    ASSERT_TRUE(rgba);
    ASSERT_TRUE(WriteFileAtomic(dir / "out" / name, *rgba, false));
  }
  {
    IndexedPng own;
    own.width = 3;
    own.height = 1;
    for (uint32_t i = 0; i < 256; ++i) own.colours.push_back(palette[255 - i]);
    own.indices = {uint8_t(255 - 'a'), uint8_t(255 - 'b'), uint8_t(255 - 'c')};
    Result<Bytes> indexed = EncodeIndexedPng(own);
    ASSERT_TRUE(indexed);
    ASSERT_TRUE(WriteFileAtomic(dir / "out" / "0003.png", *indexed, false));
  }
  Result<PictureImport> plan = PlanPictureImport(set, palette, dir / "out", false);
  ASSERT_TRUE(plan) << plan.error();
  EXPECT_EQ(plan->encoded, 0);
  SetFiles back;
  EncodePictureSet(plan->set, back.idx, back.grp);
  EXPECT_EQ(back.grp, files.grp);
}

TEST(PictureRoundTrip, AnEditedPictureKeepsItsIndicesWhereItsColoursStayed) {
  const Palette palette = DuplicatePalette();
  std::vector<Bytes> entries = RealLikeEntries();
  // Picture 0, 4 × 2: 10 0 30 5 / (hole) 7 7 7.
  IndexedPicture before = Blank(4, 2);
  for (int x = 0; x < 4; ++x) Show(before, x, 0, std::array<uint8_t, 4>{10, 0, 30, 5}[size_t(x)]);
  for (int x = 1; x < 4; ++x) Show(before, x, 1, 7);
  entries[0] = Encoded(before);
  const SetFiles files = Files(entries);
  const PictureSet set = ParsePictureSet(files.idx, files.grp, palette);

  // Edited as RGBA: the hole painted black, (3, 1) painted the shared colour,
  // (2, 1) a colour no entry holds; row 0 as it was.
  std::vector<uint8_t> rgba(4 * 2 * 4, 0);
  auto paint = [&](int x, int y, uint32_t rgb) {
    const size_t k = size_t(y * 4 + x) * 4;
    rgba[k] = uint8_t(rgb >> 16), rgba[k + 1] = uint8_t(rgb >> 8), rgba[k + 2] = uint8_t(rgb), rgba[k + 3] = 255;
  };
  for (int x = 0; x < 4; ++x) paint(x, 0, palette[before.indices[size_t(x)]]);
  paint(0, 1, 0x000000);
  paint(1, 1, palette[7]);
  paint(2, 1, 0x000001);  // nearest: black, the lowest of 0 and 10
  paint(3, 1, kShared);
  Result<Bytes> png = EncodeRgbaPng(4, 2, rgba, {});
  ASSERT_TRUE(png);
  ScratchDir dir;
  ASSERT_TRUE(ExportPictureSet(set, palette, dir / "out"));
  ASSERT_TRUE(WriteFileAtomic(dir / "out" / "0000.png", *png, false));
  Result<PictureImport> plan = PlanPictureImport(set, palette, dir / "out", false);
  ASSERT_TRUE(plan) << plan.error();
  EXPECT_EQ(plan->encoded, 1);
  EXPECT_EQ(plan->mappedPixels, 1u);
  const IndexedPicture after = DecodePictureIndices(plan->set[0]);
  EXPECT_EQ(after.visible, (std::vector<uint8_t>(8, 1)));
  // Row 0 keeps 10 and 30 (not 0 and 20); new black and the new shared colour take the lowest entry.
  EXPECT_EQ(after.indices, (std::vector<uint8_t>{10, 0, 30, 5, 0, 7, 0, 20}));
  // Every other picture keeps its bytes.
  for (size_t k = 1; k < set.size(); ++k) EXPECT_TRUE(SamePictureBytes(plan->set[k], set[k])) << k;

  // An indexed PNG in the game palette names its index itself: (3, 1) painted with entry 30.
  IndexedPng game;
  game.width = 4;
  game.height = 2;
  game.colours.assign(palette.begin(), palette.end());
  game.indices = {10, 0, 30, 5, 0, 7, 7, 30};
  Result<Bytes> indexed = EncodeIndexedPng(game);
  ASSERT_TRUE(indexed);
  ASSERT_TRUE(WriteFileAtomic(dir / "out" / "0000.png", *indexed, false));
  plan = PlanPictureImport(set, palette, dir / "out", false);
  ASSERT_TRUE(plan) << plan.error();
  EXPECT_EQ(DecodePictureIndices(plan->set[0]).indices, (std::vector<uint8_t>{10, 0, 30, 5, 0, 7, 7, 30}));
}

TEST(PictureRoundTrip, TheSampleShowsIndexZeroAndRoundTripsThroughRgba) {
  // The sample's portraits draw black with index 0 and with its duplicate:
  // converted to RGBA by an image editor they still come back byte for byte.
  const Palette palette = ParsePalette(SampleFiles().at("mmap.col"));
  const PictureSet portraits = ParsePictureSet(SampleFiles().at("hdgrp.idx"), SampleFiles().at("hdgrp.grp"), palette);
  ScratchDir dir;
  ASSERT_TRUE(ExportPictureSet(portraits, palette, dir / "out"));
  for (size_t k = 0; k < portraits.size(); k += 3) {
    if (!PictureShows(portraits[k])) continue;
    const fs::path file = dir / "out" / PictureFileName(k);
    Result<Bytes> bytes = ReadWholeFile(file);
    ASSERT_TRUE(bytes);
    PngReadFailure failure;
    Result<PngImage> image = DecodePng(*bytes, failure);
    ASSERT_TRUE(image) << failure.reason;
    Result<Bytes> rgba = EncodeRgbaPng(image->width, image->height, image->rgba, image->texts);
    ASSERT_TRUE(rgba && WriteFileAtomic(file, *rgba, false));
  }
  Result<PictureImport> plan = PlanPictureImport(portraits, palette, dir / "out", false);
  ASSERT_TRUE(plan) << plan.error();
  EXPECT_EQ(plan->kept, int(portraits.size()));
  SetFiles back;
  EncodePictureSet(plan->set, back.idx, back.grp);
  EXPECT_EQ(back.grp, SampleFiles().at("hdgrp.grp"));
}

}  // namespace
}  // namespace tavrel::testing
