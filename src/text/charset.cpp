#include "text/charset.h"

#include <fmt/format.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <iterator>

#include "text/codec_tables.h"
#include "text/codepage.h"
#include "text/ui_strings.h"

namespace tavrel {

GameCharset ParseCharset(std::string_view name) { return name == "GBK" ? GameCharset::Gbk : GameCharset::Big5; }

const char* CharsetName(GameCharset charset) { return charset == GameCharset::Gbk ? "GBK" : "BIG5"; }

size_t ZeroTerminatedLength(const uint8_t* bytes, size_t count) {
  if (count == 0) return 0;
  const void* zero = std::memchr(bytes, 0, count);
  return zero ? size_t(static_cast<const uint8_t*>(zero) - bytes) : count;
}

// ---------------------------------------------------------------------------
// mb.dat

namespace {

// The trail bytes of one lead in section 1 (BIG5) and sections 2 and 3 (GBK).
bool IsBig5Trail(int t) { return (t >= 0x40 && t <= 0x7E) || (t >= 0xA1 && t <= 0xFE); }
bool IsGbkTrail(int t) { return t >= 0x40 && t <= 0xFE && t != 0x7F; }

// Reads the file strictly in its order; stops at the first incomplete record.
class MbDatReader {
 public:
  explicit MbDatReader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  bool Take(size_t n, const uint8_t*& record) {
    if (bytes_.size() - pos_ < n) return false;
    record = bytes_.data() + pos_;
    pos_ += n;
    return true;
  }

 private:
  const std::vector<uint8_t>& bytes_;
  size_t pos_ = 0;
};

bool ReadPairs(MbDatReader& in, int firstLead, bool (*isTrail)(int),
               std::array<std::array<uint8_t, 2>, 128 * 256>& table) {
  const uint8_t* r;
  for (int lead = firstLead; lead <= 0xFE; ++lead)
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (!isTrail(trail)) continue;
      if (!in.Take(2, r)) return false;
      table[CharsetTables::Index(uint8_t(lead), uint8_t(trail))] = {r[0], r[1]};
    }
  return true;
}

bool ReadInterfaceMap(MbDatReader& in, std::array<uint16_t, 65536>& map) {
  const uint8_t* r;
  for (int lead = 0x81; lead <= 0xFE; ++lead)
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (!IsGbkTrail(trail)) continue;
      if (!in.Take(4, r)) return false;
      map[r[1] * 256 + r[0]] = uint16_t(r[3] * 256 + r[2]);
    }
  return true;
}

}  // namespace

Status LoadCharsetTables(const std::filesystem::path& path, CharsetTables& tables) {
  for (auto& e : tables.big5ToGbk) e = {0, 0};
  for (auto& e : tables.gbkToBig5) e = {0, 0};
  tables.interfaceTextMap.fill(0);

  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec))
    return Error{FormatInterfaceString(Str::FileNotFound, path.string())};
  std::ifstream file(path, std::ios::binary);
  std::vector<uint8_t> bytes;
  if (file) bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  if (!file && !file.eof()) return Error{FormatInterfaceString(Str::CannotRead, path.string())};

  MbDatReader in(bytes);
  if (ReadPairs(in, 0xA0, IsBig5Trail, tables.big5ToGbk) && ReadPairs(in, 0x81, IsGbkTrail, tables.gbkToBig5) &&
      ReadInterfaceMap(in, tables.interfaceTextMap))
    return Ok();
  return Error{FormatInterfaceString(Str::FileTooShort, path.string(), bytes.size(), kMbDatSize)};
}

// ---------------------------------------------------------------------------
// TextCodec

namespace {

// Two bytes of a code page that should form a character: the character, or,
// for a pair that is none, its bytes one by one (ASCII kept, zero dropped,
// others "?").
std::string DecodeLoosePair(const CodePage& page, uint8_t b0, uint8_t b1) {
  std::string out;
  if (uint16_t cp = page.Decode(b0, b1)) {
    AppendUtf8(out, cp);
    return out;
  }
  for (uint8_t b : {b0, b1})
    if (b >= 0x80)
      out += '?';
    else if (b != 0)
      out += char(b);
  return out;
}

uint64_t NextCodecId() {
  static std::atomic<uint64_t> next{1};
  return next.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

TextCodec::TextCodec(GameCharset charset, std::shared_ptr<const CharsetTables> tables)
    : charset_(charset),
      id_(NextCodecId()),
      tables_(tables ? std::move(tables) : std::make_shared<const CharsetTables>()) {
  auto composed = std::make_shared<Tables>();
  const CodePage& big5 = GetCodePage(CodePageId::Big5);
  const CodePage& gbk = GetCodePage(CodePageId::Gbk);
  const bool gbkRun = charset_ == GameCharset::Gbk;

  for (int lead = 0x80; lead <= 0xFF; ++lead)
    for (int trail = 0; trail <= 0xFF; ++trail) {
      size_t i = CharsetTables::Index(uint8_t(lead), uint8_t(trail));
      if (gbkRun) {
        auto e = tables_->big5ToGbk[i];
        if (e[0] == 0 && e[1] == 0) e = {'?', '?'};
        composed->decode[i].Set(DecodeLoosePair(gbk, e[0], e[1]));
      } else if (big5.toUnicode[i] != 0) {
        std::string s;
        AppendUtf8(s, big5.toUnicode[i]);
        composed->decode[i].Set(s);
      } else {
        // As browsers decode BIG5: a pair without a character is one "?";
        // a byte that cannot lead a pair, or an ASCII byte after the lead
        // (often the game's "*" line marker put inside a character), is left
        // to be read on its own.
        composed->decode[i].Set("?");
        if (lead == 0x80 || lead == 0xFF || trail < 0x80) composed->decode[i].advance = 1;
      }
    }

  const CodePage& page = gbkRun ? gbk : big5;
  for (uint32_t cp = 0; cp < 0x10000; ++cp) {
    GameBytes& g = composed->encode[cp];
    if (cp < 0x80) {
      g = {1, {uint8_t(cp), 0}, true};
      continue;
    }
    uint16_t code = page.fromUnicode[cp];
    if (code == 0) continue;  // "?"
    if (!gbkRun) {
      g = {2, {uint8_t(code >> 8), uint8_t(code)}, true};
      continue;
    }
    auto e = tables_->gbkToBig5[CharsetTables::Index(uint8_t(code >> 8), uint8_t(code))];
    if (e[0] != 0 && e[1] != 0)
      g = {2, {e[0], e[1]}, true};
    else
      g = {2, {'?', '?'}, false};
  }
  if (!gbkRun) {
    composed->mappedUi.reserve(InterfaceStrings().size());
    for (const InterfaceString& ui : InterfaceStrings()) composed->mappedUi.push_back(MapToTraditional(ui.text));
  }
  composed_ = std::move(composed);
}

std::string TextCodec::DecodeGameText(const uint8_t* bytes, size_t count) const {
  // Decoded into a working text with room for the longest pieces, then
  // copied once into a text of its exact length.
  thread_local std::string working;
  working.clear();
  AppendGameText(working, std::span<const uint8_t>(bytes, bytes ? count : 0));
  return working;
}

void TextCodec::AppendGameText(std::string& out, std::span<const uint8_t> text) const {
  const uint8_t* bytes = text.data();
  const size_t n = text.empty() ? 0 : ZeroTerminatedLength(bytes, text.size());
  const auto& decode = composed_->decode;
  // Written with room for the longest pieces (a piece is copied whole, all
  // seven bytes), then cut to what was written.
  const size_t before = out.size();
  out.resize(before + 4 * n + sizeof(Utf8Piece::bytes));
  char* const first = out.data() + before;
  char* at = first;
  for (size_t i = 0; i < n;) {
    const uint8_t b = bytes[i];
    if (b < 0x80) {
      *at++ = char(b);
      i += 1;
    } else if (i + 1 < n) {
      const Utf8Piece& p = decode[CharsetTables::Index(b, bytes[i + 1])];
      std::memcpy(at, p.bytes, sizeof p.bytes);
      at += p.length;
      i += p.advance;
    } else {
      *at++ = '?';  // a lead byte without its trail byte
      i += 1;
    }
  }
  out.resize(before + size_t(at - first));
}

std::string TextCodec::UiString(int number) const { return std::string(UiText(number)); }

std::string_view TextCodec::UiText(int number) const {
  if (EnglishInterface()) return EnglishInterfaceStringText(number);
  if (charset_ == GameCharset::Gbk) return InterfaceStringText(number, InterfaceLanguage::Chinese);
  const int at = InterfaceStringIndex(number);
  return at < 0 ? std::string_view() : std::string_view(composed_->mappedUi[size_t(at)]);
}

std::string TextCodec::MapInterfaceText(std::string_view text) const {
  // English interface text has nothing to map, and the game text in it is
  // already as the game holds it.
  if (charset_ == GameCharset::Gbk || EnglishInterface()) return std::string(text);
  return MapToTraditional(text);
}

std::string TextCodec::MapToTraditional(std::string_view text) const {
  const auto& map = tables_->interfaceTextMap;
  const auto mapped = [&](char32_t unit) -> char32_t { return map[unit] ? map[unit] : unit; };
  std::string out;
  out.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) {
    char32_t cp = NextCodePoint(text, pos);
    if (cp == kBadUtf8) {
      out += '?';
    } else if (cp < 0x10000) {
      AppendUtf8(out, mapped(cp));  // a surrogate from the map becomes "?"
    } else {
      char32_t hi = mapped(0xD800 + ((cp - 0x10000) >> 10));
      char32_t lo = mapped(0xDC00 + ((cp - 0x10000) & 0x3FF));
      if (hi >= 0xD800 && hi <= 0xDBFF && lo >= 0xDC00 && lo <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((hi - 0xD800) << 10) + (lo - 0xDC00));
      } else {
        AppendUtf8(out, hi);
        AppendUtf8(out, lo);
      }
    }
  }
  return out;
}

std::vector<uint8_t> TextCodec::GbkBytesToBig5(std::span<const uint8_t> bytes) const {
  std::vector<uint8_t> out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size();) {
    uint8_t b = bytes[i];
    if (b < 0x80) {
      out.push_back(b);
      ++i;
    } else if (i + 1 < bytes.size()) {
      auto e = tables_->gbkToBig5[CharsetTables::Index(b, bytes[i + 1])];
      if (e[0] == 0 && e[1] == 0) e = {'?', '?'};
      out.insert(out.end(), e.begin(), e.end());
      i += 2;
    } else {
      out.push_back('?');  // a lead byte without its trail byte
      ++i;
    }
  }
  return out;
}

namespace {

template <class Out>
void AppendInCodePage(const CodePage& page, Out& out, std::string_view utf8) {
  using Unit = typename Out::value_type;
  for (size_t pos = 0; pos < utf8.size();) {
    const uint8_t b = uint8_t(utf8[pos]);
    if (b < 0x80) {  // ASCII is the same byte in both code pages
      out.push_back(Unit(b));
      ++pos;
      continue;
    }
    const char32_t cp = NextCodePoint(utf8, pos);
    if (uint16_t code = cp < 0x10000 ? page.fromUnicode[cp] : 0) {
      out.push_back(Unit(code >> 8));
      out.push_back(Unit(code & 0xFF));
    } else {
      out.push_back(Unit('?'));
    }
  }
}

}  // namespace

std::string TextCodec::ToCodePage(std::string_view utf8) const {
  std::string out;
  out.reserve(utf8.size());
  AppendCodePage(out, utf8);
  return out;
}

void TextCodec::AppendCodePage(std::string& out, std::string_view utf8) const {
  AppendInCodePage(GetCodePage(charset_ == GameCharset::Gbk ? CodePageId::Gbk : CodePageId::Big5), out, utf8);
}

void TextCodec::AppendCodePage(std::vector<uint8_t>& out, std::string_view utf8) const {
  AppendInCodePage(GetCodePage(charset_ == GameCharset::Gbk ? CodePageId::Gbk : CodePageId::Big5), out, utf8);
}

}  // namespace tavrel
