// A picture set with its palette: parse, expand, render.
#include "fuzz_support.h"
#include "gamefiles/picture_encode.h"
#include "gamefiles/pictures.h"

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto parts = fuzz::UnpackParts(data, size, 3);
  const Palette palette = ParsePalette(parts[0]);
  const PictureSet set = ParsePictureSet(parts[1], parts[2], palette);
  FUZZ_CHECK(set.size() == parts[1].size() / 4);
  PixelArea area(48, 40, 0);
  int at = 0;
  for (const RlePicture& picture : set) {
    FUZZ_CHECK(picture.colours.size() == picture.data.size());
    RenderPicture(picture, area, at % 61 - 30, at % 47 - 20);
    ++at;
    // The picture boxes show the whole rectangle; keep to sizes a window can hold.
    if (picture.width > 0 && picture.height > 0 && int64_t(picture.width) * picture.height <= 1 << 20) {
      const PixelArea whole = RenderPictureOpaque(picture);
      FUZZ_CHECK(whole.pixels.size() == size_t(picture.width) * size_t(picture.height));
    }
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
  // Through the files as the editor reads them.
  fuzz::LayFiles({{"mmap.col", parts[0]}, {"hdgrp.idx", parts[1]}, {"hdgrp.grp", parts[2]}});
  Result<Palette> loaded = LoadPalette(fuzz::ScratchGameDir());
  FUZZ_CHECK(bool(loaded) == (parts[0].size() >= 768));
  Result<PictureSet> read = LoadPictureSet(fuzz::ScratchGameDir(), "hdgrp.idx", "hdgrp.grp", palette);
  FUZZ_CHECK(read && read->size() == set.size());
  return 0;
}
