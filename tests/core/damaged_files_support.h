#pragma once
// The ways other tools damage a game file, for the core and window tests:
// missing, empty, one byte long, cut short at fixed random points, and an
// index with odd, negative, descending or huge offsets or a length that is
// not a multiple of 4. Each gives the file's new bytes, or nothing when the
// file is to be missing.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "gamefiles/file_io.h"

namespace tavrel::testing {

struct Damage {
  std::string name;
  bool indexOnly;  // applies to indexes (.idx and the picture indexes wdx / sdx, numbered or not)
  std::function<std::optional<Bytes>(const Bytes&)> apply;
  bool dataOnly = false;  // applies to the data file of a pair (.grp, smp, wmp)
};

inline bool IsIndexFile(const std::string& name) {
  return name.ends_with(".idx") || name.starts_with("wdx") || name.starts_with("sdx");
}
inline bool IsDataFile(const std::string& name) {
  return name.ends_with(".grp") || name.starts_with("wmp") || name.starts_with("smp");
}
inline bool Applies(const Damage& damage, const std::string& file) {
  return (!damage.indexOnly || IsIndexFile(file)) && (!damage.dataOnly || IsDataFile(file));
}

// End offset k of an index changed (the middle one when k < 0).
inline Bytes WithOffset(Bytes idx, int k, const std::function<int32_t(int32_t previous, int32_t value)>& change) {
  const int n = int(idx.size() / 4);
  if (n == 0) return idx;
  if (k < 0) k = n / 2;
  const int32_t previous = k == 0 ? 0 : ReadI32(idx, size_t(k - 1) * 4);
  Bytes value;
  AppendI32(value, change(previous, ReadI32(idx, size_t(k) * 4)));
  std::copy(value.begin(), value.end(), idx.begin() + k * 4);
  return idx;
}

inline std::vector<Damage> Damages() {
  std::vector<Damage> d = {
      {"missing", false, [](const Bytes&) { return std::nullopt; }},
      {"empty", false, [](const Bytes&) { return Bytes{}; }},
      {"one byte", false,
       [](const Bytes& b) { return Bytes(b.begin(), b.begin() + std::min<ptrdiff_t>(1, b.size())); }},
      {"odd offset", true, [](const Bytes& b) { return WithOffset(b, -1, [](int32_t, int32_t v) { return v + 1; }); }},
      {"negative offset", true, [](const Bytes& b) { return WithOffset(b, -1, [](int32_t, int32_t) { return -8; }); }},
      {"negative first offset", true,
       [](const Bytes& b) { return WithOffset(b, 0, [](int32_t, int32_t) { return -1; }); }},
      {"descending offset", true,
       [](const Bytes& b) { return WithOffset(b, -1, [](int32_t p, int32_t) { return p - 2; }); }},
      {"huge offset", true,
       [](const Bytes& b) { return WithOffset(b, -1, [](int32_t, int32_t) { return 0x7FFFFFF0; }); }},
      {"huge last offset", true,
       [](const Bytes& b) {
         return WithOffset(b, int(b.size() / 4) - 1, [](int32_t, int32_t) { return 0x7FFFFFFF; });
       }},
      {"length not a multiple of 4", true,
       [](const Bytes& b) {
         Bytes out = b;
         out.push_back(0x11);
         out.push_back(0x22);
         return out;
       }},
  };
  // Cut short at points drawn once, the same on every run.
  std::mt19937 random(20261208);
  for (int k = 0; k < 3; ++k) {
    const uint32_t draw = random();
    d.push_back({"truncated (" + std::to_string(k) + ")", false, [draw](const Bytes& b) {
                   return b.empty() ? b : Bytes(b.begin(), b.begin() + ptrdiff_t(draw % b.size()));
                 }});
  }
  return d;
}

// Bytes drawn at random, a quarter fewer than the file held (and an odd
// number of them): what a failed copy or a stray tool leaves under the name.
inline Bytes RandomBytesFor(const Bytes& b) {
  std::mt19937 random(uint32_t(b.size()) * 2654435761u + 35u);
  Bytes out(b.size() * 3 / 4 / 2 * 2 + 1);
  for (uint8_t& x : out) x = uint8_t(random());
  return out;
}

// The damages of the matrix that every game file goes through: missing,
// empty, cut at three places, random bytes, and an index that disagrees with
// its data (for an index: an entry that ends past the data; for the data of
// a pair: bytes after what its index covers).
inline std::vector<Damage> MatrixDamages() {
  std::vector<Damage> d = {
      {"missing", false, [](const Bytes&) { return std::nullopt; }},
      {"empty", false, [](const Bytes&) { return Bytes{}; }},
  };
  for (const Damage& damage : Damages())
    if (damage.name.starts_with("truncated")) d.push_back(damage);
  d.push_back({"random bytes", false, [](const Bytes& b) { return RandomBytesFor(b); }});
  d.push_back({"index past its data", true,
               [](const Bytes& b) { return WithOffset(b, -1, [](int32_t, int32_t v) { return v + 0x1000000; }); }});
  Damage longer{"data past its index", false, [](const Bytes& b) {
                  Bytes out = b;
                  out.insert(out.end(), 37, 0x5A);
                  return out;
                }};
  longer.dataOnly = true;
  d.push_back(longer);
  return d;
}

// A picture entry whose header claims the largest size there is, over the
// first entry of a picture set's data: what must be drawn without trying to
// hold 32767 x 32767 pixels.
inline Bytes WithHugeFirstPicture(Bytes grp) {
  if (grp.size() < 8) return grp;
  for (size_t at : {size_t(0), size_t(2)}) {
    grp[at] = 0xFF;
    grp[at + 1] = 0x7F;
  }
  return grp;
}

}  // namespace tavrel::testing
