// A picture set with its palette, through the path of the windows: read the
// files, expand every picture, draw each into a picture box and as a whole
// (the portrait grid's icons), and decode its pixels (the export).
#include "fuzz_support.h"
#include "gamefiles/picture_encode.h"
#include "gamefiles/pictures.h"

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto parts = fuzz::UnpackParts(data, size, 3);
  fuzz::LayFiles({{"mmap.col", parts[0]}, {"hdgrp.idx", parts[1]}, {"hdgrp.grp", parts[2]}});
  Result<Palette> loaded = LoadPalette(fuzz::ScratchGameDir());
  FUZZ_CHECK(bool(loaded) == (parts[0].size() >= 768));
  const Palette palette = ParsePalette(parts[0]);
  Result<PictureSet> read = LoadPictureSet(fuzz::ScratchGameDir(), "hdgrp.idx", "hdgrp.grp", palette);
  FUZZ_CHECK(read && read->size() == parts[1].size() / 4);
  const PictureSet& set = *read;
  const std::string damaged = DamagedPicturesMessage("hdgrp.grp", set);
  FUZZ_CHECK(damaged.empty() == DamagedPictureNumbers(set).empty());
  PixelArea box(100, 100, 0);
  int at = 0;
  for (const RlePicture& picture : set) {
    FUZZ_CHECK(picture.colours.size() == picture.data.size());
    RenderPicture(picture, box, at % 61 - 30, at % 47 - 20);
    ++at;
    const PixelArea whole = RenderPictureOpaque(picture);
    const IndexedPicture pixels = DecodePictureIndices(picture);
    if (!PictureShows(picture)) {
      FUZZ_CHECK(whole.pixels.empty() && pixels.indices.empty());
      continue;
    }
    FUZZ_CHECK(picture.width <= kMaxPictureWidth && picture.height <= kMaxPictureHeight);
    FUZZ_CHECK(size_t(picture.height) <= picture.data.size());
    FUZZ_CHECK(whole.pixels.size() == size_t(picture.width) * size_t(picture.height));
    FUZZ_CHECK(pixels.indices.size() == whole.pixels.size());
  }
  // The index against its data: what a damage loses lies within the files;
  // without damage, every picture the index gives bytes is there and a save
  // writes no less than the data held.
  if (auto damage = CheckPictureIndex(parts[1], parts[2].size(), "hdgrp.idx", "hdgrp.grp")) {
    FUZZ_CHECK(damage->damage && damage->damage->bytes >= 0 && size_t(damage->damage->bytes) <= parts[2].size());
    FUZZ_CHECK(damage->damage->entries >= 0 && size_t(damage->damage->entries) <= set.size());
  } else {
    Bytes idx, grp;
    EncodePictureSet(set, idx, grp);
    FUZZ_CHECK(grp.size() >= parts[2].size());
  }
  return 0;
}
