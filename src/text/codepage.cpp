#include "text/codepage.h"

#include <iconv.h>

#include <memory>
#include <vector>

namespace tavrel {
namespace {

struct IconvHandle {
  iconv_t cd;
  IconvHandle(const char* to, const char* from) : cd(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (ok()) iconv_close(cd);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  // (iconv_t)-1 is the value iconv_open returns on failure.
  bool ok() const { return cd != reinterpret_cast<iconv_t>(-1); }  // NOLINT(performance-no-int-to-ptr)

  // Converts all of `in`; returns the number of output bytes, or -1 when the
  // input is not converted whole.
  int Convert(const char* in, size_t inLen, char* out, size_t outCap) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* inPtr = const_cast<char*>(in);
    char* outPtr = out;
    size_t inLeft = inLen, outLeft = outCap;
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1) || inLeft != 0) return -1;
    if (iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == size_t(-1)) return -1;
    return int(outCap - outLeft);
  }
};

// One UTF-16 code unit, not a surrogate and not ASCII: the only results that
// count as a double-byte character.
uint16_t DecodePair(IconvHandle& toUtf16, uint8_t lead, uint8_t trail) {
  const char in[2] = {char(lead), char(trail)};
  char out[8];
  if (toUtf16.Convert(in, 2, out, sizeof out) != 2) return 0;
  uint16_t unit = uint16_t(uint8_t(out[0]) | (uint8_t(out[1]) << 8));
  if (unit < 0x80 || (unit >= 0xD800 && unit <= 0xDFFF)) return 0;
  return unit;
}

std::unique_ptr<CodePage> Compose(CodePageId id) {
  auto page = std::make_unique<CodePage>();
  IconvHandle toUtf16("UTF-16LE", CodePageName(id));
  IconvHandle fromUtf16(CodePageName(id), "UTF-16LE");
  if (!toUtf16.ok() || !fromUtf16.ok()) return page;
  page->available = true;

  // Both code pages use leads 0x81-0xFE and trails 0x40-0xFE.
  std::vector<uint16_t> ambiguous;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      uint16_t unit = DecodePair(toUtf16, uint8_t(lead), uint8_t(trail));
      if (unit == 0) continue;
      page->toUnicode[CodePage::Index(uint8_t(lead), uint8_t(trail))] = unit;
      uint16_t code = uint16_t(lead << 8 | trail);
      if (page->fromUnicode[unit] == 0)
        page->fromUnicode[unit] = code;
      else
        ambiguous.push_back(unit);
    }
  }
  // A character with two codes: the converter's own choice, when it is one of
  // them (so encoding reads back the same character).
  for (uint16_t unit : ambiguous) {
    const char in[2] = {char(unit & 0xFF), char(unit >> 8)};
    char out[8];
    if (fromUtf16.Convert(in, 2, out, sizeof out) != 2) continue;
    uint8_t lead = uint8_t(out[0]), trail = uint8_t(out[1]);
    if (page->Decode(lead, trail) == unit) page->fromUnicode[unit] = uint16_t(lead << 8 | trail);
  }
  return page;
}

}  // namespace

const char* CodePageName(CodePageId id) { return id == CodePageId::Gbk ? "CP936" : "CP950"; }

const CodePage& GetCodePage(CodePageId id) {
  static const std::unique_ptr<CodePage> gbk = Compose(CodePageId::Gbk);
  static const std::unique_ptr<CodePage> big5 = Compose(CodePageId::Big5);
  return id == CodePageId::Gbk ? *gbk : *big5;
}

char32_t NextCodePoint(std::string_view text, size_t& pos) {
  const auto byte = [&](size_t i) { return uint8_t(text[i]); };
  uint8_t b0 = byte(pos);
  if (b0 < 0x80) {
    ++pos;
    return b0;
  }
  size_t length;
  char32_t cp, minimum;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2, cp = b0 & 0x1F, minimum = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3, cp = b0 & 0x0F, minimum = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4, cp = b0 & 0x07, minimum = 0x10000;
  } else {
    ++pos;
    return kBadUtf8;
  }
  if (text.size() - pos < length) {
    ++pos;
    return kBadUtf8;
  }
  for (size_t k = 1; k < length; ++k) {
    uint8_t b = byte(pos + k);
    if ((b & 0xC0) != 0x80) {
      ++pos;
      return kBadUtf8;
    }
    cp = cp << 6 | (b & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++pos;
    return kBadUtf8;
  }
  pos += length;
  return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = '?';  // not a character
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | cp >> 6);
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | cp >> 12);
    out += char(0x80 | (cp >> 6 & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | cp >> 18);
    out += char(0x80 | (cp >> 12 & 0x3F));
    out += char(0x80 | (cp >> 6 & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

}  // namespace tavrel
