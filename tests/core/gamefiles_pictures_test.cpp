#include <gtest/gtest.h>

#include <string>

#include "gamefiles/picture_encode.h"
#include "gamefiles/pictures.h"
#include "gamefiles_test_support.h"

namespace tavrel {
namespace {

using testing::IndexBytes;
using testing::ScratchDir;

constexpr uint32_t kUntouched = 0xDEADBEEF;

Palette TestPalette() {
  Palette palette{};
  for (size_t i = 0; i < palette.size(); ++i) palette[i] = 0x00100000u + uint32_t(i);
  return palette;
}
uint32_t Colour(uint8_t index) { return 0x00100000u + index; }

// A picture entry: the 8-byte header, then the encoded rows.
Bytes Entry(int16_t width, int16_t height, const Bytes& rows, int16_t xOffset = 0, int16_t yOffset = 0) {
  Bytes out;
  for (int16_t v : {width, height, xOffset, yOffset}) AppendI16(out, v);
  out.insert(out.end(), rows.begin(), rows.end());
  return out;
}

RlePicture Picture(int16_t width, int16_t height, const Bytes& rows) {
  RlePicture picture;
  picture.absent = 0;
  picture.width = width;
  picture.height = height;
  picture.data = rows;
  ExpandPictureRows(picture, TestPalette());
  return picture;
}

// One row per line of the area, with the colour index of each pixel or '.'.
std::vector<std::string> Show(const PixelArea& area) {
  std::vector<std::string> rows;
  for (int y = 0; y < area.height; ++y) {
    std::string row;
    for (int x = 0; x < area.width; ++x) {
      uint32_t c = area.at(x, y);
      row += c == kUntouched ? '.' : c == 0 ? '0' : char('a' + (c - Colour('a')));
    }
    rows.push_back(row);
  }
  return rows;
}

TEST(GamefilesPalette, ScalesSixBitComponentsAndNeverOverflows) {
  Bytes col(768, 0);
  col[3] = 63;  // entry 1 red
  col[4] = 1;
  col[5] = 32;
  col[6] = 64;  // entry 2: components above 63 stay within their byte
  col[7] = 255;
  col[8] = 100;
  Palette palette = ParsePalette(col);
  EXPECT_EQ(palette[0], 0u);
  EXPECT_EQ(palette[1], 0x00FC0480u);
  EXPECT_EQ(palette[2] & 0xFF000000u, 0u);
  EXPECT_EQ(palette[2], (uint32_t(64 * 4 & 0xFF) << 16) | (uint32_t(255 * 4 & 0xFF) << 8) | uint32_t(100 * 4 & 0xFF));
  EXPECT_EQ(ParsePalette(Bytes{1, 2})[0], 0u);  // too short: no crash, nothing read
}

TEST(GamefilesPalette, LoadingReportsAMissingOrShortFileByName) {
  ScratchDir dir;
  Result<Palette> missing = LoadPalette(dir.path());
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.error().find("mmap.col"), std::string::npos) << missing.error();
  dir.Put("mmap.col", Bytes(767, 1));
  Result<Palette> shortFile = LoadPalette(dir.path());
  ASSERT_FALSE(shortFile);
  EXPECT_NE(shortFile.error().find("mmap.col"), std::string::npos) << shortFile.error();
  Bytes col(800, 0);
  col[765] = 10;
  dir.Put("MMAP.COL", col);
  std::filesystem::remove(dir / "mmap.col");
  Result<Palette> palette = LoadPalette(dir.path());
  ASSERT_TRUE(palette) << palette.error();
  EXPECT_EQ((*palette)[255], 40u << 16);
}

TEST(GamefilesRender, ThreeByTwoWithAnEmptySecondRow) {
  RlePicture picture = Picture(3, 2, {5, 0, 3, 'a', 'b', 'c', 0});
  PixelArea area(3, 2, kUntouched);
  RenderPicture(picture, area, 0, 0);
  EXPECT_EQ(Show(area), (std::vector<std::string>{"abc", "..."}));
  EXPECT_EQ(Show(RenderPictureOpaque(picture)), (std::vector<std::string>{"abc", "000"}));
}

TEST(GamefilesRender, ClipsAtTheLeftAndRightEdges) {
  RlePicture picture = Picture(5, 1, {8, 0, 5, 'a', 'b', 'c', 'd', 'e'});
  PixelArea left(10, 1, kUntouched);
  RenderPicture(picture, left, -2, 0);
  EXPECT_EQ(Show(left)[0], "cde.......");
  PixelArea right(10, 1, kUntouched);
  RenderPicture(picture, right, 8, 0);
  EXPECT_EQ(Show(right)[0], "........ab");
  PixelArea far(10, 1, kUntouched);
  RenderPicture(picture, far, -2000000000, 0);
  RenderPicture(picture, far, 2000000000, 0);
  EXPECT_EQ(Show(far)[0], "..........");
}

TEST(GamefilesRender, ClipsAtTheTopAndBottom) {
  RlePicture picture = Picture(2, 3, {5, 0, 2, 'a', 'b', 5, 0, 2, 'c', 'd', 5, 0, 2, 'e', 'f'});
  PixelArea area(2, 3, kUntouched);
  RenderPicture(picture, area, 0, -1);
  EXPECT_EQ(Show(area), (std::vector<std::string>{"cd", "ef", ".."}));
  PixelArea low(2, 3, kUntouched);
  RenderPicture(picture, low, 0, 2);
  EXPECT_EQ(Show(low), (std::vector<std::string>{"..", "..", "ab"}));
}

TEST(GamefilesRender, APictureFillingTheAreaIsDrawnToItsLastRowAndColumn) {
  // Row 0: skip 1, run "ab", skip 1, run "c" (L = 8); row 1: one run of five.
  RlePicture picture = Picture(5, 2, {8, 1, 2, 'a', 'b', 1, 1, 'c', 7, 0, 5, 'd', 'e', 'f', 'g', 'h'});
  PixelArea area(5, 2, kUntouched);
  RenderPicture(picture, area, 0, 0);
  EXPECT_EQ(Show(area), (std::vector<std::string>{".ab.c", "defgh"}));
}

TEST(GamefilesRender, ASkipToTheWidthEndsTheRowForExpansionAndRenderingAlike) {
  // Row 0 is all transparent: its skip reaches the width; row 1 follows the skip byte.
  RlePicture picture = Picture(3, 2, {2, 3, 5, 0, 3, 'a', 'b', 'c'});
  PixelArea area(3, 2, kUntouched);
  RenderPicture(picture, area, 0, 0);
  EXPECT_EQ(Show(area), (std::vector<std::string>{"...", "abc"}));
}

TEST(GamefilesRender, DataShorterThanItsRowsClaimIsDrawnAsFarAsItGoes) {
  RlePicture picture = Picture(6, 3, {20, 0, 6, 'a', 'b'});  // a run of 6 with 2 pixels present
  PixelArea area(6, 3, kUntouched);
  RenderPicture(picture, area, 0, 0);
  EXPECT_EQ(Show(area)[0], "ab....");
  // Colours missing altogether (a picture never expanded): nothing is read past them.
  RlePicture bare = picture;
  bare.colours.resize(4);  // colours for the row byte, skip, count and 'a' only
  PixelArea again(6, 3, kUntouched);
  RenderPicture(bare, again, 0, 0);
  EXPECT_EQ(Show(again)[0], "a.....");
  // Row headers that end the data.
  for (const Bytes& rows : {Bytes{}, Bytes{4}, Bytes{4, 1}, Bytes{4, 1, 3}}) {
    PixelArea blank(6, 3, kUntouched);
    RenderPicture(Picture(6, 3, rows), blank, 0, 0);
    EXPECT_EQ(Show(blank)[0], "......");
  }
}

TEST(GamefilesRender, AbsentAndDegeneratePicturesDrawNothing) {
  RlePicture absent;
  PixelArea area(2, 2, kUntouched);
  RenderPicture(absent, area, 0, 0);
  EXPECT_EQ(Show(area), (std::vector<std::string>{"..", ".."}));
  EXPECT_EQ(RenderPictureOpaque(absent).pixels.size(), 0u);
  EXPECT_EQ(RenderPictureOpaque(Picture(0, 3, {3, 0, 1, 'a'})).pixels.size(), 0u);
  EXPECT_EQ(RenderPictureOpaque(Picture(-4, 3, {3, 0, 1, 'a'})).pixels.size(), 0u);
  PixelArea empty;
  RenderPicture(Picture(2, 1, {4, 0, 1, 'a'}), empty, 0, 0);  // no area at all: no crash
}

TEST(GamefilesPictureSet, ReadsHeadersRowsAndAbsentEntries) {
  const Bytes first = Entry(3, 2, {5, 0, 3, 'a', 'b', 'c', 0}, 4, -5);
  const Bytes last = Entry(1, 1, {3, 0, 1, 'z'});
  Bytes grp = first;
  grp.insert(grp.end(), last.begin(), last.end());
  const int32_t a = int32_t(first.size());
  // 0: first; 1: empty; 2: negative; 3 and 4: shorter than the header (3 and
  // 5 bytes); 5: last, whose index value stops 2 bytes early: it runs to the
  // end of the data.
  Bytes data = grp;
  data.insert(data.begin() + a, {9, 9, 9, 9, 9});
  PictureSet set = ParsePictureSet(IndexBytes({a, a, a - 3, a, a + 5, int32_t(data.size()) - 2}), data, TestPalette());
  ASSERT_EQ(set.size(), 6u);
  EXPECT_EQ(set[0].absent, 0);
  EXPECT_EQ(set[0].width, 3);
  EXPECT_EQ(set[0].height, 2);
  EXPECT_EQ(set[0].xOffset, 4);
  EXPECT_EQ(set[0].yOffset, -5);
  EXPECT_EQ(set[0].data.size(), 7u);
  EXPECT_EQ(Show(RenderPictureOpaque(set[0])), (std::vector<std::string>{"abc", "000"}));
  for (size_t k = 1; k <= 4; ++k) EXPECT_EQ(set[k].absent, -1) << k;
  ASSERT_EQ(set[5].absent, 0);
  EXPECT_EQ(set[5].data.size(), 4u);  // all the way to the end
  EXPECT_EQ(Show(RenderPictureOpaque(set[5])), std::vector<std::string>{"z"});
}

TEST(GamefilesPictureSet, WildIndexesNeverReadOutsideTheData) {
  const Bytes pic = Entry(2, 1, {4, 0, 2, 'a', 'b'});
  Bytes idx = IndexBytes({int32_t(pic.size()), 0x7FFFFFFF, int32_t(0x80000000), 3, 0x7FFFFFF0});
  idx.push_back(1);  // a trailing partial value
  PictureSet set = ParsePictureSet(idx, pic, TestPalette());
  ASSERT_EQ(set.size(), 5u);
  EXPECT_EQ(set[0].absent, 0);
  EXPECT_EQ(set[1].absent, -1);  // starts at the end of the data
  EXPECT_EQ(set[2].absent, -1);  // runs backwards
  EXPECT_EQ(set[3].absent, -1);  // from a negative start
  EXPECT_EQ(set[4].absent, 0);   // last: runs from 3 to the end of the data, 10 bytes
  EXPECT_EQ(set[4].data.size(), pic.size() - 3 - 8);
  for (const RlePicture& p : set) RenderPictureOpaque(p);
  for (size_t n = 1; n < 8; ++n) {
    PictureSet tiny = ParsePictureSet(IndexBytes({int32_t(n)}), Bytes(n, 1), TestPalette());
    ASSERT_EQ(tiny.size(), 1u);
    EXPECT_EQ(tiny[0].absent, -1) << n;
  }
  EXPECT_TRUE(ParsePictureSet({}, {}, TestPalette()).empty());
}

// The index of a picture set against its data: absent pictures (entries of
// size 0 or less) are the format's own; a picture the data does not hold
// whole, and data no picture holds, are damage.
TEST(GamefilesPictureSet, AnIndexThatDisagreesWithItsDataIsDamageWithTheNumbers) {
  const Bytes first = Entry(3, 2, {5, 0, 3, 'a', 'b', 'c', 0}, 4, -5);
  const Bytes last = Entry(1, 1, {3, 0, 1, 'z'});
  Bytes data = first;
  data.insert(data.end(), {9, 9, 9, 9, 9});
  data.insert(data.end(), last.begin(), last.end());
  data.insert(data.end(), {7, 7});
  const int32_t a = int32_t(first.size());
  const int32_t end = int32_t(data.size());
  // Two whole pictures with an empty entry between them, or with an entry
  // that runs backwards and a picture that starts 3 bytes early: they agree.
  Bytes whole = first;
  whole.insert(whole.end(), last.begin(), last.end());
  const int32_t both = int32_t(whole.size());
  EXPECT_FALSE(CheckPictureIndex(IndexBytes({a, a, both}), whole.size(), "s.idx", "s.grp"));
  EXPECT_FALSE(CheckPictureIndex(IndexBytes({a, a - 3, both}), whole.size(), "s.idx", "s.grp"));
  // Pictures 3 and 4 are shorter than their header (3 and 5 bytes), so the
  // 5 bytes between the pictures belong to none; the index stops 2 bytes
  // before the data's end, where the last picture takes them: 2 pictures and
  // 5 bytes are lost.
  auto damage = CheckPictureIndex(IndexBytes({a, a, a - 3, a, a + 5, end - 2}), data.size(), "g/s.idx", "g/s.grp");
  ASSERT_TRUE(damage);
  EXPECT_EQ(damage->file, "s.idx");
  EXPECT_EQ(damage->damage, (FileLoss{2, 5}));
  EXPECT_NE(damage->message.find("g/s.idx"), std::string::npos) << damage->message;
  EXPECT_NE(damage->message.find("g/s.grp"), std::string::npos) << damage->message;
  // A picture past the data and one from a negative start are lost; the
  // last one runs from 3 to the data's end: every byte is held.
  const Bytes pic = Entry(2, 1, {4, 0, 2, 'a', 'b'});
  damage = CheckPictureIndex(IndexBytes({int32_t(pic.size()), 0x7FFFFFFF, int32_t(0x80000000), 3, 0x7FFFFFF0}),
                             pic.size(), "s.idx", "s.grp");
  ASSERT_TRUE(damage);
  EXPECT_EQ(damage->damage, (FileLoss{2, 0}));
  // An index one value short: the last picture holds the rest, nothing is
  // lost, but the two disagree.
  damage = CheckPictureIndex(IndexBytes({a}), whole.size(), "s.idx", "s.grp");
  ASSERT_TRUE(damage);
  EXPECT_EQ(damage->damage, (FileLoss{0, 0}));
  EXPECT_NE(damage->message.find(std::to_string(whole.size())), std::string::npos) << damage->message;
  // An empty index beside data: every byte.
  damage = CheckPictureIndex({}, 909525, "s.idx", "s.grp");
  ASSERT_TRUE(damage);
  EXPECT_EQ(damage->damage, (FileLoss{0, 909525}));
  EXPECT_NE(damage->message.find("909525"), std::string::npos) << damage->message;
}

TEST(GamefilesPictureSet, ImpossibleSizesAreDamagedKeptAsTheyCameAndDrawnAsAbsent) {
  // The bound is four times the game's 320 × 200 screen each way: 1280 × 800.
  // Every row takes at least its length byte, so a picture has no more rows
  // than bytes.
  const Bytes oneRow = {3, 0, 1, 'a'};
  Bytes fullHeight(800, 0);  // 800 empty rows, one byte each
  fullHeight[0] = 3;
  fullHeight.insert(fullHeight.begin() + 1, {0, 1, 'b'});
  const std::vector<Bytes> entries = {
      Entry(1, 1, oneRow),           // 0: fine
      Entry(1281, 1, oneRow),        // 1: wider than 1280
      Entry(1, 801, Bytes(801, 0)),  // 2: higher than 800, though its rows fit
      Entry(-3, 1, oneRow),          // 3: a negative width
      Entry(2, -1, oneRow),          // 4: a negative height
      Entry(4, 5, oneRow),           // 5: 5 rows in 4 bytes
      Entry(1280, 800, fullHeight),  // 6: the largest there may be
      Entry(32767, 32767, oneRow),   // 7: the largest a header can claim
      Entry(7, 4, oneRow),           // 8: 4 rows in 4 bytes: fine
  };
  Bytes idx, grp;
  for (const Bytes& e : entries) {
    grp.insert(grp.end(), e.begin(), e.end());
    AppendI32(idx, int32_t(grp.size()));
  }
  const PictureSet set = ParsePictureSet(idx, grp, TestPalette());
  ASSERT_EQ(set.size(), entries.size());
  const std::vector<bool> damaged = {false, true, true, true, true, true, false, true, false};
  for (size_t k = 0; k < set.size(); ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(set[k].absent, 0);  // present: its bytes are kept
    EXPECT_EQ(PictureDamaged(set[k]), damaged[k]);
    EXPECT_EQ(set[k].colours.size(), set[k].data.size());
    if (!damaged[k]) continue;
    EXPECT_FALSE(PictureShows(set[k]));
    PixelArea area(4, 4, kUntouched);
    RenderPicture(set[k], area, 0, 0);
    EXPECT_EQ(Show(area), (std::vector<std::string>{"....", "....", "....", "...."}));
    EXPECT_TRUE(RenderPictureOpaque(set[k]).pixels.empty());
    EXPECT_TRUE(DecodePictureIndices(set[k]).indices.empty());
  }
  EXPECT_EQ(DamagedPictureNumbers(set), (std::vector<int32_t>{1, 2, 3, 4, 5, 7}));
  const PixelArea largest = RenderPictureOpaque(set[6]);
  EXPECT_EQ(largest.pixels.size(), size_t(1280) * 800);
  EXPECT_EQ(largest.at(0, 0), Colour('b'));

  // Written back as they came, damaged entries included.
  Bytes idxAgain, grpAgain;
  EncodePictureSet(set, idxAgain, grpAgain);
  EXPECT_EQ(idxAgain, idx);
  EXPECT_EQ(grpAgain, grp);

  // Reported by file and number.
  const std::string message = DamagedPicturesMessage("smp007", set);
  EXPECT_NE(message.find("smp007"), std::string::npos) << message;
  EXPECT_NE(message.find("1、2、3、4、5、7"), std::string::npos) << message;
  EXPECT_NE(message.find("6 幅"), std::string::npos) << message;
  EXPECT_EQ(DamagedPicturesMessage("smp007", PictureSet(set.begin(), set.begin() + 1)), "");
}

TEST(GamefilesPictureSet, ADamageMessageListsTheFirstNumbersOfMany) {
  PictureSet set(40);
  for (size_t k = 0; k < set.size(); ++k) {
    set[k].absent = 0;
    set[k].width = 1;
    set[k].height = k % 2 == 0 ? 9 : 1;  // the even ones: 9 rows in 4 bytes
    set[k].data = {3, 0, 1, 'a'};
  }
  const std::string message = DamagedPicturesMessage("hdgrp.grp", set);
  EXPECT_NE(message.find("20 幅"), std::string::npos) << message;
  EXPECT_NE(message.find("0、2、4、6、8、10、12、14、16、18、20、22、…"), std::string::npos) << message;
  EXPECT_EQ(message.find("24"), std::string::npos) << message;
}

TEST(GamefilesPictureSet, LoadingFindsFilesAndNamesTheMissingOne) {
  ScratchDir dir;
  const Bytes pic = Entry(1, 1, {3, 0, 1, 7});
  dir.Put("SDX005", IndexBytes({int32_t(pic.size())}));
  // The data missing beside its index: read as damage naming it.
  std::vector<FileWarning> warnings;
  Result<PictureSet> noData = LoadPictureSet(dir.path(), "sdx005", "smp005", TestPalette(), &warnings);
  ASSERT_TRUE(noData) << noData.error();
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0].file, "smp005");
  EXPECT_TRUE(warnings[0].damage.has_value());
  EXPECT_NE(warnings[0].message.find("smp005"), std::string::npos) << warnings[0].message;
  // Both missing: an error naming the index.
  Result<PictureSet> noIndex = LoadPictureSet(dir.path(), "hdgrp.idx", "hdgrp.grp", TestPalette());
  ASSERT_FALSE(noIndex);
  EXPECT_NE(noIndex.error().find("hdgrp.idx"), std::string::npos) << noIndex.error();
  dir.Put("smp005", pic);
  warnings.clear();
  Result<PictureSet> set = LoadPictureSet(dir.path(), "sdx005", "smp005", TestPalette(), &warnings);
  ASSERT_TRUE(set) << set.error();
  EXPECT_TRUE(warnings.empty());
  ASSERT_EQ(set->size(), 1u);
  EXPECT_EQ(RenderPictureOpaque((*set)[0]).at(0, 0), Colour(7));
}

}  // namespace
}  // namespace tavrel
