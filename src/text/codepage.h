#pragma once
// The two double-byte code pages the game's text lives in, as flat tables
// composed once from the system's converter (glibc iconv), plus the small
// UTF-8 helpers the text layer is built on. Nothing here calls iconv after
// the tables exist.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavrel {

enum class CodePageId { Gbk, Big5 };  // code pages 936 and 950

struct CodePage {
  // Indexed by (lead - 0x80) * 256 + trail: the BMP code point of the
  // double-byte character, 0 when the pair is not one.
  std::array<uint16_t, 128 * 256> toUnicode{};
  // Indexed by BMP code point: the double-byte code lead * 256 + trail, 0 when
  // the code page has no double-byte character for it. Code points below 0x80
  // are their own single byte; no other single byte is used.
  std::array<uint16_t, 65536> fromUnicode{};
  bool available = false;  // false when the converter could not be opened

  static size_t Index(uint8_t lead, uint8_t trail) { return (size_t(lead) - 0x80) * 256 + trail; }
  uint16_t Decode(uint8_t lead, uint8_t trail) const { return lead < 0x80 ? 0 : toUnicode[Index(lead, trail)]; }
};

// Composed on first use and kept for the rest of the run (thread-safe).
const CodePage& GetCodePage(CodePageId id);
const char* CodePageName(CodePageId id);  // "CP936" or "CP950"

inline constexpr char32_t kBadUtf8 = 0xFFFFFFFF;

// The code point starting at text[pos]; advances pos. A byte that does not
// start a well-formed sequence (overlong, surrogate, beyond U+10FFFF,
// truncated) gives kBadUtf8 and advances by that one byte.
char32_t NextCodePoint(std::string_view text, size_t& pos);
// A surrogate or a value beyond U+10FFFF is written as "?".
void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace tavrel
