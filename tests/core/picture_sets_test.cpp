// Picture sets to PNG files and back: the sample's sets through export and
// import, pixels checked with libpng's own reader, edited and damaged inputs.
#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>

#include "app/picture_sets.h"
#include "gamefiles/idx_grp.h"
#include "gamefiles/picture_encode.h"
#include "sample_test_support.h"

namespace tavrel::testing {
namespace {

namespace fs = std::filesystem;

// RGBA as libpng's simplified reader gives it.
struct Rgba {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;
  bool operator==(const Rgba&) const = default;
};

Rgba ReadRgba(const fs::path& path) {
  Rgba out;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.string().c_str())) return out;
  image.format = PNG_FORMAT_RGBA;
  out.pixels.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr)) return {};
  out.width = int(image.width);
  out.height = int(image.height);
  return out;
}

// Colour i of mmap.col straight from its bytes: each 6-bit component × 4.
std::array<uint8_t, 3> MmapColour(const Bytes& mmap, size_t i) {
  return {uint8_t(mmap[3 * i] * 4), uint8_t(mmap[3 * i + 1] * 4), uint8_t(mmap[3 * i + 2] * 4)};
}

Palette SamplePalette() { return ParsePalette(SampleFiles().at("mmap.col")); }

PictureSet SampleSet(const std::string& idx, const std::string& grp, bool numbered = false) {
  return ParsePictureSet(SampleFiles(numbered).at(idx), SampleFiles(numbered).at(grp), SamplePalette());
}

std::string Text(const fs::path& path) {
  Result<Bytes> bytes = ReadWholeFile(path);
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

void PutText(const fs::path& path, const std::string& text) {
  ASSERT_TRUE(WriteFileAtomic(path, Bytes(text.begin(), text.end()), false));
}

TEST(PictureSets, ExportWritesIndexedPngsWithThePaletteAndAList) {
  ScratchDir dir;
  const PictureSet portraits = SampleSet("hdgrp.idx", "hdgrp.grp");
  Result<PictureExportReport> report = ExportPictureSet(portraits, SamplePalette(), dir / "out");
  ASSERT_TRUE(report) << report.error();
  // The sample leaves every portrait numbered 22 mod 23 empty.
  const int absent = int(portraits.size() + 1) / 23;
  EXPECT_EQ(report->absent, absent);
  EXPECT_EQ(report->written, int(portraits.size()) - absent);

  // Sample portraits are 48 × 56, anchored at their bottom left corner.
  const std::string list = Text(dir / "out" / "pictures.txt");
  EXPECT_NE(list.find("\n0 0000.png 48 56 0 56 indexed\n"), std::string::npos) << list;
  EXPECT_NE(list.find("\n22 absent\n23 0023.png 48 56 0 56 indexed\n"), std::string::npos) << list;
  EXPECT_FALSE(fs::exists(dir / "out" / "0022.png"));

  // Portrait 0 has a transparent backdrop: its corner is fully transparent,
  // its face shows colours of mmap.col × 4, all opaque.
  const Bytes& mmap = SampleFiles().at("mmap.col");
  const Rgba png = ReadRgba(dir / "out" / "0000.png");
  ASSERT_EQ(png.width, 48);
  ASSERT_EQ(png.height, 56);
  EXPECT_EQ(png.pixels[3], 0);
  const IndexedPicture pixels = DecodePictureIndices(portraits[0]);
  size_t visible = 0;
  for (size_t k = 0; k < pixels.indices.size(); ++k) {
    if (!pixels.visible[k]) {
      EXPECT_EQ(png.pixels[4 * k + 3], 0) << k;
      continue;
    }
    ++visible;
    const auto c = MmapColour(mmap, pixels.indices[k]);
    ASSERT_EQ((std::array<uint8_t, 4>{png.pixels[4 * k], png.pixels[4 * k + 1], png.pixels[4 * k + 2],
                                      png.pixels[4 * k + 3]}),
              (std::array<uint8_t, 4>{c[0], c[1], c[2], 255}))
        << k;
  }
  EXPECT_GT(visible, 500u);

  // The file is indexed and carries the offsets as text.
  Result<Bytes> bytes = ReadWholeFile(dir / "out" / "0003.png");
  ASSERT_TRUE(bytes);
  PngReadFailure failure;
  Result<PngImage> decoded = DecodePng(*bytes, failure);
  ASSERT_TRUE(decoded) << failure.reason;
  EXPECT_TRUE(decoded->indexed);
  EXPECT_EQ(decoded->Text("XOffset"), "0");
  EXPECT_EQ(decoded->Text("YOffset"), "56");
}

TEST(PictureSets, ImportWithoutEditsKeepsTheSampleFilesByteForByte) {
  ScratchDir dir;
  dir.Put("hdgrp.idx", SampleFiles().at("hdgrp.idx"));
  dir.Put("hdgrp.grp", SampleFiles().at("hdgrp.grp"));
  const PictureSet portraits = SampleSet("hdgrp.idx", "hdgrp.grp");
  ASSERT_TRUE(ExportPictureSet(portraits, SamplePalette(), dir / "out"));
  Result<PictureImport> plan = PlanPictureImport(portraits, SamplePalette(), dir / "out", false);
  ASSERT_TRUE(plan) << plan.error();
  EXPECT_EQ(plan->kept, int(portraits.size()));
  EXPECT_EQ(plan->encoded, 0);
  EXPECT_EQ(plan->mappedPixels, 0u);
  ASSERT_TRUE(WritePictureSet({dir / "hdgrp.idx", dir / "hdgrp.grp"}, plan->set));
  EXPECT_EQ(dir.Get("hdgrp.grp"), SampleFiles().at("hdgrp.grp"));
  EXPECT_EQ(dir.Get("hdgrp.idx"), SampleFiles().at("hdgrp.idx"));
  EXPECT_TRUE(dir.Has("hdgrp.grp.bak"));
}

TEST(PictureSets, EncodingEverySampleSetAfreshGivesTheSamePixels) {
  struct Set {
    std::string idx, grp;
    bool numbered;
  };
  const std::vector<Set> sets = {{"hdgrp.idx", "hdgrp.grp", false},
                                 {"sdx", "smp", false},
                                 {"wdx", "wmp", false},
                                 {"sdx003", "smp003", true},
                                 {"wdx001", "wmp001", true},
                                 {"fight000.idx", "fight000.grp", false},
                                 {"fight003.idx", "fight003.grp", false}};
  for (const Set& s : sets) {
    SCOPED_TRACE(s.grp);
    ScratchDir dir;
    const PictureSet set = SampleSet(s.idx, s.grp, s.numbered);
    ASSERT_FALSE(set.empty());
    ASSERT_TRUE(ExportPictureSet(set, SamplePalette(), dir / "first"));
    Result<PictureImport> plan = PlanPictureImport(set, SamplePalette(), dir / "first", true);
    ASSERT_TRUE(plan) << plan.error();
    int present = 0;
    for (const RlePicture& p : set) present += p.absent == 0 ? 1 : 0;
    EXPECT_EQ(plan->encoded, present);
    // Written and read back as the game reads a set.
    Bytes idx, grp;
    EncodePictureSet(plan->set, idx, grp);
    const PictureSet again = ParsePictureSet(idx, grp, SamplePalette());
    ASSERT_EQ(again.size(), set.size());
    ASSERT_TRUE(ExportPictureSet(again, SamplePalette(), dir / "second"));
    EXPECT_EQ(Text(dir / "first" / "pictures.txt"), Text(dir / "second" / "pictures.txt"));
    for (size_t k = 0; k < set.size(); ++k) {
      if (set[k].absent != 0) continue;
      const std::string name = PictureFileName(k);
      const Rgba a = ReadRgba(dir / "first" / name), b = ReadRgba(dir / "second" / name);
      ASSERT_GT(a.width, 0) << name;
      ASSERT_EQ(a, b) << name;
    }
  }
}

// Portrait 5 of a scratch copy replaced by `png`; the import's plan.
Result<PictureImport> ImportWith(const ScratchDir& dir, const std::string& file, const Bytes& png,
                                 const std::string& listLine = "") {
  const PictureSet portraits = SampleSet("hdgrp.idx", "hdgrp.grp");
  if (!ExportPictureSet(portraits, SamplePalette(), dir / "out")) return Error{"export failed"};
  if (!WriteFileAtomic(dir / "out" / file, png, false)) return Error{"write failed"};
  if (!listLine.empty()) {
    std::string list = Text(dir / "out" / "pictures.txt") + listLine + "\n";
    if (!WriteFileAtomic(dir / "out" / "pictures.txt", Bytes(list.begin(), list.end()), false))
      return Error{"write failed"};
  }
  return PlanPictureImport(portraits, SamplePalette(), dir / "out", false);
}

// Sample palette entries (ramp * 16 + shade): 63 is red's brightest
// (63, 20, 16) × 4, 1 is grey shade 1 (4, 4, 4) × 4, 0 is black (and so is 32).
constexpr uint8_t kBrightRed = 63;
constexpr uint8_t kGreyOne = 1;
constexpr uint8_t kBlack = 0;

TEST(PictureSets, AReplacedPortraitComesBackAsItsMappedPixels) {
  // 4 × 2 RGB: exact bright red, a red off by a little, exact black (index 0,
  // the lowest of the two black entries: a colour like any other), exact grey 1.
  PixelArea area(4, 2, 0);
  area.pixels = {0xFC5040, 0xFA5142, 0x000000, 0x101010, 0xFC5040, 0xFC5040, 0x101010, 0x101010};
  Result<Bytes> png = EncodePng(area);
  ASSERT_TRUE(png);
  ScratchDir dir;
  Result<PictureImport> plan = ImportWith(dir, "0005.png", *png);
  ASSERT_TRUE(plan) << plan.error();
  EXPECT_EQ(plan->encoded, 1);
  EXPECT_EQ(plan->mappedPixels, 1u);  // the near red
  Bytes idx, grp;
  EncodePictureSet(plan->set, idx, grp);
  const PictureSet read = ParsePictureSet(idx, grp, SamplePalette());
  const IndexedPicture p = DecodePictureIndices(read[5]);
  EXPECT_EQ(p.width, 4);
  EXPECT_EQ(p.height, 2);
  EXPECT_EQ(p.visible, (std::vector<uint8_t>(8, 1)));
  EXPECT_EQ(p.indices, (std::vector<uint8_t>{kBrightRed, kBrightRed, kBlack, kGreyOne, kBrightRed, kBrightRed, kGreyOne,
                                             kGreyOne}));
  // The list's offsets stay.
  EXPECT_EQ(read[5].xOffset, 0);
  EXPECT_EQ(read[5].yOffset, 56);
  // The others keep their bytes.
  const PictureSet before = SampleSet("hdgrp.idx", "hdgrp.grp");
  for (size_t k = 0; k < before.size(); ++k) {
    if (k != 5) {
      EXPECT_TRUE(SamePictureBytes(before[k], read[k])) << k;
    }
  }
}

TEST(PictureSets, RgbaAlphaBelowHalfIsTransparentAndIndexedPalettesAreMatchedByColour) {
  // Alpha 0, 127, 128, 255 on bright red.
  const std::vector<uint8_t> rgba = {252, 80, 64, 0, 252, 80, 64, 127, 252, 80, 64, 128, 252, 80, 64, 255};
  Result<Bytes> png = EncodeRgbaPng(4, 1, rgba, {});
  ASSERT_TRUE(png);
  ScratchDir dir;
  Result<PictureImport> plan = ImportWith(dir, "0001.png", *png);
  ASSERT_TRUE(plan) << plan.error();
  const IndexedPicture p = DecodePictureIndices(plan->set[1]);
  EXPECT_EQ(p.visible, (std::vector<uint8_t>{0, 0, 1, 1}));
  EXPECT_EQ(p.indices, (std::vector<uint8_t>{0, 0, kBrightRed, kBrightRed}));

  // An indexed PNG with its own palette order (as an image editor saves it):
  // entry 0 grey 1, entry 1 bright red, entry 2 fully transparent.
  IndexedPng own;
  own.width = 3;
  own.height = 1;
  own.indices = {1, 2, 0};
  own.colours = {0x101010, 0xFC5040, 0x123456};
  own.alpha = {255, 255, 0};
  Result<Bytes> indexed = EncodeIndexedPng(own);
  ASSERT_TRUE(indexed);
  ScratchDir dir2;
  Result<PictureImport> plan2 = ImportWith(dir2, "0002.png", *indexed);
  ASSERT_TRUE(plan2) << plan2.error();
  EXPECT_EQ(plan2->mappedPixels, 0u);
  const IndexedPicture q = DecodePictureIndices(plan2->set[2]);
  EXPECT_EQ(q.visible, (std::vector<uint8_t>{1, 0, 1}));
  EXPECT_EQ(q.indices, (std::vector<uint8_t>{kBrightRed, 0, kGreyOne}));
}

TEST(PictureSets, NewNumbersPastTheEndAppendPictures) {
  PixelArea area(2, 1, 0x101010);
  Result<Bytes> png = EncodePng(area);
  ASSERT_TRUE(png);
  ScratchDir dir;
  const size_t count = SampleSet("hdgrp.idx", "hdgrp.grp").size();
  Result<PictureImport> plan = ImportWith(dir, "new.png", *png, std::to_string(count) + " new.png 2 1 -3 7");
  ASSERT_TRUE(plan) << plan.error();
  ASSERT_EQ(plan->set.size(), count + 1);
  EXPECT_EQ(plan->added, 1);
  EXPECT_EQ(plan->set[count].xOffset, -3);
  EXPECT_EQ(plan->set[count].yOffset, 7);
  EXPECT_EQ(DecodePictureIndices(plan->set[count]).indices, (std::vector<uint8_t>{kGreyOne, kGreyOne}));
}

TEST(PictureSets, DamagedInputsAreRefusedNamingTheFile) {
  const PictureSet portraits = SampleSet("hdgrp.idx", "hdgrp.grp");
  Result<Bytes> good = EncodePng(PixelArea(2, 2, 0x101010));
  ASSERT_TRUE(good);

  {  // a PNG cut short
    ScratchDir dir;
    Result<PictureImport> plan = ImportWith(dir, "0004.png", Bytes(good->begin(), good->begin() + 40));
    ASSERT_FALSE(plan);
    EXPECT_NE(plan.error().find("0004.png"), std::string::npos) << plan.error();
    EXPECT_NE(plan.error().find("PNG"), std::string::npos) << plan.error();
  }
  // Wider or higher than a game picture (1280 × 800): refused before the rows are read.
  for (const auto& [width, height] : {std::pair{40000, 1}, std::pair{1281, 1}, std::pair{1, 801}}) {
    std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4, 255);
    Result<Bytes> large = EncodeRgbaPng(width, height, rgba, {});
    ASSERT_TRUE(large);
    ScratchDir dir;
    Result<PictureImport> plan = ImportWith(dir, "0004.png", *large);
    ASSERT_FALSE(plan);
    EXPECT_NE(plan.error().find("0004.png"), std::string::npos) << plan.error();
    EXPECT_NE(plan.error().find(std::to_string(width) + "×" + std::to_string(height)), std::string::npos)
        << plan.error();
    EXPECT_NE(plan.error().find("1280"), std::string::npos) << plan.error();
  }
  {  // a row no encoding can hold: 200 wide, every other pixel shown
    std::vector<uint8_t> rgba(size_t(200) * 4, 0);
    for (size_t x = 0; x < 200; x += 2) rgba[4 * x + 3] = 255;
    Result<Bytes> dense = EncodeRgbaPng(200, 1, rgba, {});
    ASSERT_TRUE(dense);
    ScratchDir dir;
    Result<PictureImport> plan = ImportWith(dir, "0004.png", *dense);
    ASSERT_FALSE(plan);
    EXPECT_NE(plan.error().find("0004.png"), std::string::npos) << plan.error();
    EXPECT_NE(plan.error().find("第 0 行"), std::string::npos) << plan.error();
  }
  {  // a listed file that is not there
    ScratchDir dir;
    ASSERT_TRUE(ExportPictureSet(portraits, SamplePalette(), dir / "out"));
    fs::remove(dir / "out" / "0007.png");
    Result<PictureImport> plan = PlanPictureImport(portraits, SamplePalette(), dir / "out", false);
    ASSERT_FALSE(plan);
    EXPECT_NE(plan.error().find("0007.png"), std::string::npos) << plan.error();
  }
  {  // list lines that make no sense, a gap in the numbers, a shorter list
    ScratchDir dir;
    ASSERT_TRUE(ExportPictureSet(portraits, SamplePalette(), dir / "out"));
    const std::string list = Text(dir / "out" / "pictures.txt");
    for (const std::string& bad :
         {list + "3 absent\n", list + "x 0000.png 1 1 0 0\n", list + std::to_string(portraits.size() + 1) + " absent\n",
          std::string("0 0000.png 48 56 0 56\n")}) {
      PutText(dir / "out" / "pictures.txt", bad);
      Result<PictureImport> plan = PlanPictureImport(portraits, SamplePalette(), dir / "out", false);
      ASSERT_FALSE(plan) << bad.substr(bad.size() - 30);
      EXPECT_NE(plan.error().find("pictures.txt"), std::string::npos) << plan.error();
    }
    fs::remove(dir / "out" / "pictures.txt");
    EXPECT_FALSE(PlanPictureImport(portraits, SamplePalette(), dir / "out", false));
  }
}

TEST(PictureSets, SetChoicesAndTheirFiles) {
  size_t used = 0;
  Result<PictureSetChoice> scene = ParsePictureSetChoice({"scene", "3"}, used);
  ASSERT_TRUE(scene);
  EXPECT_EQ(scene->kind, PictureSetChoice::Kind::Scene);
  EXPECT_EQ(scene->number, 3);
  EXPECT_EQ(used, 2u);
  EXPECT_TRUE(ParsePictureSetChoice({"portraits"}, used));
  EXPECT_EQ(used, 1u);
  EXPECT_FALSE(ParsePictureSetChoice({"scene", "x"}, used));
  EXPECT_FALSE(ParsePictureSetChoice({"pair", "../hdgrp"}, used));
  EXPECT_FALSE(ParsePictureSetChoice({"tiles"}, used));

  SampleGameDir numbered(true);
  Result<PictureSetPaths> paths = FindPictureSetFiles(numbered.path(), *scene);
  ASSERT_TRUE(paths) << paths.error();
  EXPECT_EQ(paths->index.filename(), "sdx003");
  EXPECT_EQ(paths->data.filename(), "smp003");
  SampleGameDir bare;
  paths = FindPictureSetFiles(bare.path(), *scene);
  ASSERT_TRUE(paths) << paths.error();
  EXPECT_EQ(paths->data.filename(), "smp");
  PictureSetChoice fight{PictureSetChoice::Kind::Pair, 0, "fight002"};
  paths = FindPictureSetFiles(bare.path(), fight);
  ASSERT_TRUE(paths) << paths.error();
  EXPECT_EQ(paths->data.filename(), "fight002.grp");
  fight.name = "nothing";
  EXPECT_FALSE(FindPictureSetFiles(bare.path(), fight));
}

}  // namespace
}  // namespace tavrel::testing
