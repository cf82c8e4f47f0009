#pragma once
// Numbers as text: the one parser of a number the user types, and the one
// writer of hex digits.
#include <bit>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace tavrel {

// What a number's text may look like besides its decimal digits and an
// optional '-'. The defaults are those of every box the user types into.
struct IntegerSyntax {
  bool blanksAround = true;  // spaces and tabs before and after are ignored
  bool plusSign = true;      // a leading '+' may stand before the digits
};

// A decimal whole number within lo .. hi: digits only (no hex, exponent,
// point or inner blank), any number of leading zeros. No value when the text
// is anything else or lies outside the range, however many digits it has.
std::optional<int64_t> ParseInteger(std::string_view text, int64_t lo, int64_t hi, IntegerSyntax syntax = {});

// The same within the range of T.
template <class T>
std::optional<T> ParseInteger(std::string_view text, IntegerSyntax syntax = {}) {
  const std::optional<int64_t> v =
      ParseInteger(text, int64_t(std::numeric_limits<T>::min()), int64_t(std::numeric_limits<T>::max()), syntax);
  if (!v) return std::nullopt;
  return static_cast<T>(*v);
}

// The text without the spaces and tabs at either end.
std::string_view TrimBlanks(std::string_view text);

// Upper-case hex digits of `value`, no leading zeros ("0" for 0), appended
// to a string or a byte vector. A signed 16-bit word is written as its bit
// pattern: pass it as uint16_t. All eight digits are made and the leading
// zeros left out of the append, so the number of digits costs no loop.
template <class Out>
void AppendHex(Out& out, uint32_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const char buffer[8] = {kDigits[value >> 28],         kDigits[(value >> 24) & 0xF], kDigits[(value >> 20) & 0xF],
                          kDigits[(value >> 16) & 0xF], kDigits[(value >> 12) & 0xF], kDigits[(value >> 8) & 0xF],
                          kDigits[(value >> 4) & 0xF],  kDigits[value & 0xF]};
  const int digits = value == 0 ? 1 : (std::bit_width(value) + 3) / 4;
  out.insert(out.end(), buffer + 8 - digits, buffer + 8);
}
std::string HexText(uint32_t value);

// A list entry "n(HEX)name", e.g. "26(1A)name": the number in decimal, then
// in hex, then the name.
std::string NumberedName(uint32_t number, std::string_view name);

}  // namespace tavrel
