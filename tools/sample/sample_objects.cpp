// alldef.idx/alldef.grp: the object tables of the sample's scenes, one entry
// of 200 records of 11 words per scene. A few objects start known events:
//   scene 0  object 1   action 10         object 2  action 11, item 12
//            object 5   pass 20           object 7  pictures only, -1 and 0 event words
//   scene 1  object 0   action 10
//   scene 3  no objects at all
//   scene 5  object 12  action 110        object 13 item 150
//   scene 7  object 4   action 4100 (no such event below scale 14)
//   scene 11 object 199 pass 299
// Every other scene has a few decorative objects that start nothing.
#include <array>

#include "sample/sample_build.h"

namespace tavrel::sample {
namespace {

constexpr int kObjects = 200;
constexpr int kWords = 11;

// passable, number, action, item, pass, picture 1..3, speed, X, Y
using Record = std::array<int16_t, kWords>;

struct Placed {
  int scene;
  int object;
  Record words;
};

constexpr Placed kPlaced[] = {
    {0, 1, {1, 1, 10, 0, 0, 40, 40, 40, 0, 20, 22}},    {0, 2, {1, 2, 11, 12, 0, 42, 44, 46, 3, 24, 22}},
    {0, 5, {0, 5, 0, 0, 20, 0, 0, 0, 0, 30, 31}},       {0, 7, {1, 7, -1, 0, -1, 48, 48, 48, 0, 18, 35}},
    {1, 0, {1, 0, 10, 0, 0, 50, 50, 50, 0, 12, 40}},    {5, 12, {1, 12, 110, 0, 0, 52, 54, 56, 2, 28, 29}},
    {5, 13, {1, 13, 0, 150, 0, 58, 58, 58, 0, 29, 33}}, {7, 4, {1, 4, 4100, 0, 0, 60, 60, 60, 0, 15, 16}},
    {11, 199, {0, 199, 0, 0, 299, 0, 0, 0, 0, 40, 41}},
};

void Put(Bytes& entry, int object, const Record& words) {
  for (int w = 0; w < kWords; ++w) {
    const size_t at = size_t(object * kWords + w) * 2;
    entry[at] = static_cast<uint8_t>(uint16_t(words[size_t(w)]));
    entry[at + 1] = static_cast<uint8_t>(uint16_t(words[size_t(w)]) >> 8);
  }
}

}  // namespace

std::vector<SampleFile> MakeObjectFiles(const SampleSizes& sizes) {
  std::vector<Bytes> entries(size_t(sizes.scenes), Bytes(size_t(kObjects * kWords * 2), 0));
  // Decoration: trees and stones that block the way and start nothing, in
  // every scene but 3, at objects 20 to 22.
  for (int s = 0; s < sizes.scenes; ++s) {
    if (s == 3) continue;
    for (int k = 0; k < 3; ++k) {
      const int16_t picture = static_cast<int16_t>(2 * (30 + (s + k) % 10));
      Put(entries[size_t(s)], 20 + k,
          Record{1, static_cast<int16_t>(20 + k), 0, 0, 0, picture, picture, picture, 0,
                 static_cast<int16_t>(10 + 3 * k + s), static_cast<int16_t>(12 + 2 * k)});
    }
  }
  for (const Placed& p : kPlaced)
    if (p.scene < sizes.scenes) Put(entries[size_t(p.scene)], p.object, p.words);
  std::vector<SampleFile> files;
  AddIdxGrp(files, "alldef.idx", "alldef.grp", entries);
  return files;
}

}  // namespace tavrel::sample
