#pragma once
// The flat tables a TextCodec composes once from the charset tables and the
// code pages: shared by the codec's reading (charset.cpp) and writing
// (game_text_encode.cpp). Private to the text layer.
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "text/charset.h"

namespace tavrel {

// The UTF-8 text of one game character (at most two characters of 3 bytes),
// and how many game bytes it takes: 1 where only the lead byte is consumed.
struct Utf8Piece {
  uint8_t length = 0;
  uint8_t advance = 2;
  char bytes[6] = {};
  void Set(std::string_view s) {
    length = uint8_t(s.size() < sizeof bytes ? s.size() : sizeof bytes);
    std::memcpy(bytes, s.data(), length);
  }
};

// The game bytes of one code point; `exact` is false for a substitution.
struct GameBytes {
  uint8_t length = 1;
  uint8_t bytes[2] = {'?', '?'};
  bool exact = false;
};

struct TextCodec::Tables {
  std::array<Utf8Piece, 128 * 256> decode;  // by CharsetTables::Index of the game pair
  std::array<GameBytes, 65536> encode;      // by BMP code point
  // In a "BIG5" run: every interface string mapped, in the order of
  // InterfaceStrings().
  std::vector<std::string> mappedUi;
};

}  // namespace tavrel
