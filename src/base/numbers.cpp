#include "base/numbers.h"

namespace tavrel {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::optional<int64_t> ParseInteger(std::string_view text, int64_t lo, int64_t hi, IntegerSyntax syntax) {
  if (syntax.blanksAround) text = TrimBlanks(text);
  size_t pos = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative || (syntax.plusSign && !text.empty() && text[0] == '+')) ++pos;
  if (pos == text.size()) return std::nullopt;
  // Past 2^62 no range is left to reach, and no step can overflow.
  constexpr uint64_t kFar = uint64_t(1) << 62;
  uint64_t magnitude = 0;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c < '0' || c > '9') return std::nullopt;
    magnitude = magnitude * 10 + uint64_t(c - '0');
    if (magnitude > kFar) return std::nullopt;
  }
  const int64_t value = negative ? -int64_t(magnitude) : int64_t(magnitude);
  if (value < lo || value > hi) return std::nullopt;
  return value;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string HexText(uint32_t value) {
  std::string out;
  AppendHex(out, value);
  return out;
}

std::string NumberedName(uint32_t number, std::string_view name) {
  std::string out = std::to_string(number);
  out += '(';
  AppendHex(out, number);
  out += ')';
  out += name;
  return out;
}

}  // namespace tavrel
