// Writing text as game bytes: through the charset tables character by
// character, with the traditional form a phrase needs in a "GBK" run, and
// with the bytes of an edited text's untouched characters kept.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "text/charset.h"
#include "text/codec_tables.h"
#include "text/codepage.h"
#include "text/game_forms.h"
#include "text/phrase_conversion.h"

namespace tavrel {
namespace {

// The game's "*" line marker: it stands between any two characters, inside
// a phrase as well, so the phrase is looked up without it.
constexpr char32_t kLineMarker = '*';

bool InPhrase(char32_t c) { return c != kLineMarker && c != kBadUtf8 && c < 0x10000; }

// The form each code point of `text` takes in its phrase (0 where there is
// none), in code point order; empty when nothing was converted.
std::u32string PhraseFormsOf(std::string_view text) {
  std::u32string input;
  std::vector<size_t> at;  // the code point index of each input character
  bool chinese = false;
  size_t count = 0;
  for (size_t pos = 0; pos < text.size(); ++count) {
    const char32_t c = NextCodePoint(text, pos);
    if (!InPhrase(c)) continue;
    chinese = chinese || c >= 0x80;
    input.push_back(c);
    at.push_back(count);
  }
  if (!chinese) return {};
  const std::u32string converted = TraditionalPhraseForms(input);
  if (converted.empty()) return {};
  std::u32string forms(count, 0);
  for (size_t i = 0; i < at.size(); ++i) forms[at[i]] = converted[i];
  return forms;
}

// One game character of a text read from game bytes: where its bytes lie and
// the text it was read as.
struct ReadPiece {
  size_t byteStart = 0;
  std::string_view text;
};

// The pieces of `bytes` as AppendGameText reads them.
std::vector<ReadPiece> ReadPieces(std::span<const uint8_t> bytes, const std::array<Utf8Piece, 128 * 256>& decode) {
  static const auto kAscii = [] {
    std::array<char, 128> ascii{};
    for (size_t i = 0; i < ascii.size(); ++i) ascii[i] = char(i);
    return ascii;
  }();
  std::vector<ReadPiece> pieces;
  const size_t n = bytes.empty() ? 0 : ZeroTerminatedLength(bytes.data(), bytes.size());
  for (size_t i = 0; i < n;) {
    const uint8_t b = bytes[i];
    if (b < 0x80) {
      pieces.push_back({i, std::string_view(&kAscii[b], 1)});
      i += 1;
    } else if (i + 1 < n) {
      const Utf8Piece& p = decode[CharsetTables::Index(b, bytes[i + 1])];
      pieces.push_back({i, std::string_view(p.bytes, p.length)});
      i += p.advance;
    } else {
      pieces.push_back({i, "?"});
      i += 1;
    }
  }
  return pieces;
}

}  // namespace

bool TextCodec::Encode(std::string_view text, std::span<const uint8_t> previous, std::vector<uint8_t>* out) const {
  // The untouched ends: the longest run of read characters the text still
  // starts with, and then the longest it still ends with.
  size_t from = 0, to = text.size();
  size_t keptStart = 0, keptEnd = 0, resumeAt = 0;
  if (!previous.empty()) {
    const std::vector<ReadPiece> pieces = ReadPieces(previous, composed_->decode);
    size_t first = 0, last = pieces.size();
    while (first < last && !pieces[first].text.empty() && text.substr(from).starts_with(pieces[first].text))
      from += pieces[first++].text.size();
    while (last > first && !pieces[last - 1].text.empty() && to - from >= pieces[last - 1].text.size() &&
           text.substr(0, to).ends_with(pieces[last - 1].text))
      to -= pieces[--last].text.size();
    const size_t readEnd = pieces.empty() ? 0 : ZeroTerminatedLength(previous.data(), previous.size());
    keptStart = first < pieces.size() ? pieces[first].byteStart : readEnd;
    resumeAt = last < pieces.size() ? pieces[last].byteStart : readEnd;
    keptEnd = readEnd;
  }
  if (out) {
    out->reserve(out->size() + text.size());
    out->insert(out->end(), previous.begin(), previous.begin() + std::ptrdiff_t(keptStart));
  }

  const bool gbkRun = charset_ == GameCharset::Gbk;
  const std::u32string forms = gbkRun ? PhraseFormsOf(text) : std::u32string();
  const CodePage& big5 = GetCodePage(CodePageId::Big5);
  bool exact = true;
  size_t index = 0;  // code point index of `pos`, for `forms`
  for (size_t pos = 0; pos < to; ++index) {
    const size_t start = pos;
    const char32_t cp = NextCodePoint(text, pos);
    if (start < from) continue;
    if (cp >= 0x10000) {  // also kBadUtf8
      exact = false;
      if (out) out->push_back('?');
      continue;
    }
    // A phrase that takes another form than the character alone (头发 頭髮,
    // 皇后 皇后) wins over the tables, which know the character alone.
    if (!forms.empty() && cp >= 0x80 && forms[index] != 0 && forms[index] != TraditionalCharacterForm(cp)) {
      const char32_t form = GameFormOf(forms[index]);
      if (const uint16_t code = form < 0x10000 ? big5.fromUnicode[form] : 0) {
        if (out) out->insert(out->end(), {uint8_t(code >> 8), uint8_t(code & 0xFF)});
        continue;
      }
    }
    const GameBytes& g = composed_->encode[cp];
    exact = exact && g.exact;
    if (out) out->insert(out->end(), g.bytes, g.bytes + g.length);
  }
  if (out)
    out->insert(out->end(), previous.begin() + std::ptrdiff_t(resumeAt), previous.begin() + std::ptrdiff_t(keptEnd));
  return exact;
}

std::vector<uint8_t> TextCodec::EncodeGameText(std::string_view text) const { return EncodeGameText(text, {}); }

std::vector<uint8_t> TextCodec::EncodeGameText(std::string_view text, std::span<const uint8_t> previous) const {
  std::vector<uint8_t> out;
  Encode(text, previous, &out);
  return out;
}

bool TextCodec::CanEncode(std::string_view text) const { return Encode(text, {}, nullptr); }

}  // namespace tavrel
