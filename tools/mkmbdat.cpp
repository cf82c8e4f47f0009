// mkmbdat OUTPUT: writes the charset tables mb.dat that lie beside the editor.
//
// Section 1: per BIG5 code (lead 0xA0-0xFE, trail 0x40-0x7E then 0xA1-0xFE)
//   the GBK code of its simplified form, else of the character itself, else 0 0.
//   A form of the game's own (text/game_forms.h) reads as the character it
//   stands for; a simplified form in GB2312 is preferred.
// Section 2: per GBK code (lead 0x81-0xFE, trail 0x40-0xFE without 0x7F)
//   the BIG5 code of its traditional form as the game's text writes it, else
//   of the character itself, else 0 0.
// Section 3: per GBK code of section 2's loop, the UTF-16 unit of the
//   character and that of its traditional form (both little-endian); 0 0 0 0
//   for a code that is no character.
// The code pages come from iconv, the simplified/traditional forms from OpenCC
// (the Taiwan configurations first, the general ones where those give nothing
// the code page holds). Private-use characters count as no character.
#include <opencc/opencc.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "text/charset.h"
#include "text/codepage.h"
#include "text/game_forms.h"

namespace {

using tavrel::CodePage;
using tavrel::CodePageId;

class OpenCc {
 public:
  explicit OpenCc(const std::string& config) : config_(config) {
    handle_ = opencc_open(config.c_str());
    if (!valid()) handle_ = opencc_open(("/usr/share/opencc/" + config).c_str());
  }
  ~OpenCc() {
    if (valid()) opencc_close(handle_);
  }
  OpenCc(const OpenCc&) = delete;
  OpenCc& operator=(const OpenCc&) = delete;
  // (opencc_t)-1 is the value opencc_open returns on failure.
  bool valid() const { return handle_ != reinterpret_cast<opencc_t>(-1); }  // NOLINT(performance-no-int-to-ptr)
  const std::string& config() const { return config_; }

  std::string Convert(const std::string& text) const {
    char* converted = opencc_convert_utf8(handle_, text.data(), text.size());
    if (!converted) return text;
    std::string result(converted);
    opencc_convert_utf8_free(converted);
    return result;
  }

 private:
  std::string config_;
  opencc_t handle_;
};

bool IsPrivateUse(char32_t cp) { return cp >= 0xE000 && cp <= 0xF8FF; }

// The character of a double-byte code; 0 for none (private-use characters
// carry no meaning from one code page to the other).
char32_t CharacterOf(const CodePage& page, int lead, int trail) {
  char32_t cp = page.Decode(uint8_t(lead), uint8_t(trail));
  return IsPrivateUse(cp) ? 0 : cp;
}

// The BMP code point of a text that is exactly one character.
std::optional<char32_t> SingleCharacter(const std::string& text) {
  size_t pos = 0;
  if (text.empty()) return std::nullopt;
  char32_t cp = tavrel::NextCodePoint(text, pos);
  if (pos != text.size() || cp == tavrel::kBadUtf8 || cp >= 0x10000) return std::nullopt;
  return cp;
}

uint16_t DoubleByteCode(const CodePage& page, char32_t cp) {
  return cp >= 0x80 && cp < 0x10000 && !IsPrivateUse(cp) ? page.fromUnicode[cp] : 0;
}

// The candidates are each converter's form of the character, in turn, then
// the character itself: the first that `target` holds and `preferred`
// accepts gives the code, else the first that `target` holds.
using Converters = std::vector<const OpenCc*>;
using Preference = bool (*)(uint16_t code);

struct Equivalent {
  uint16_t code = 0;  // 0 when `target` holds none
  char32_t form = 0;  // the chosen form; the first converter's when none is held
};

Equivalent FindEquivalent(const Converters& converters, const CodePage& target, char32_t cp, Preference preferred) {
  std::string utf8;
  tavrel::AppendUtf8(utf8, cp);
  std::vector<char32_t> candidates;
  for (const OpenCc* converter : converters)
    if (std::optional<char32_t> other = SingleCharacter(converter->Convert(utf8))) candidates.push_back(*other);
  candidates.push_back(cp);
  Equivalent held;
  for (char32_t form : candidates) {
    const uint16_t code = DoubleByteCode(target, form);
    if (code == 0) continue;
    if (preferred(code)) return {code, form};
    if (held.code == 0) held = {code, form};
  }
  if (held.code != 0) return held;
  return {0, candidates.front()};
}

bool AnyCode(uint16_t) { return true; }

// GB2312, the simplified characters' own set inside GBK (leads 0xA1-0xF7,
// trails 0xA1-0xFE). The Taiwan forms sometimes give a traditional character
// GBK also holds (抬 as 擡); the general form in GB2312 is then the simplified one.
bool InGb2312(uint16_t code) {
  const int lead = code >> 8, trail = code & 0xFF;
  return lead >= 0xA1 && lead <= 0xF7 && trail >= 0xA1 && trail <= 0xFE;
}

void PutCode(std::vector<uint8_t>& out, uint16_t code) {
  out.push_back(uint8_t(code >> 8));
  out.push_back(uint8_t(code & 0xFF));
}

void PutUnit(std::vector<uint8_t>& out, char32_t unit) {
  out.push_back(uint8_t(unit & 0xFF));
  out.push_back(uint8_t(unit >> 8 & 0xFF));
}

bool IsBig5Trail(int t) { return (t >= 0x40 && t <= 0x7E) || (t >= 0xA1 && t <= 0xFE); }
bool IsGbkTrail(int t) { return t >= 0x40 && t <= 0xFE && t != 0x7F; }

std::vector<uint8_t> BuildMbDat(const CodePage& big5, const CodePage& gbk, const Converters& toSimplified,
                                const Converters& toTraditional) {
  std::vector<uint8_t> out;
  out.reserve(tavrel::kMbDatSize);
  for (int lead = 0xA0; lead <= 0xFE; ++lead)
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (!IsBig5Trail(trail)) continue;
      // A form of the game's own reads as the character it stands for.
      char32_t cp = tavrel::StandardFormOf(CharacterOf(big5, lead, trail));
      PutCode(out, cp ? FindEquivalent(toSimplified, gbk, cp, InGb2312).code : 0);
    }

  struct Unit {
    char32_t source = 0, target = 0;
  };
  std::vector<Unit> units;
  for (int lead = 0x81; lead <= 0xFE; ++lead)
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (!IsGbkTrail(trail)) continue;
      char32_t cp = CharacterOf(gbk, lead, trail);
      Equivalent traditional = cp ? FindEquivalent(toTraditional, big5, cp, AnyCode) : Equivalent{};
      // The game's text writes some characters in a form of its own; the
      // interface text (section 3) keeps the standard form.
      const uint16_t gameCode = DoubleByteCode(big5, tavrel::GameFormOf(traditional.form));
      PutCode(out, traditional.code != 0 && gameCode != 0 ? gameCode : traditional.code);
      units.push_back({cp, traditional.form});
    }
  for (const Unit& u : units) {
    PutUnit(out, u.source);
    PutUnit(out, u.target);
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: mkmbdat OUTPUT\n");
    return 2;
  }
  const CodePage& big5 = tavrel::GetCodePage(CodePageId::Big5);
  const CodePage& gbk = tavrel::GetCodePage(CodePageId::Gbk);
  if (!big5.available || !gbk.available) {
    std::fprintf(stderr, "mkmbdat: iconv has no CP936 or CP950 converter\n");
    return 1;
  }
  // The Taiwan forms first: they are the ones BIG5 holds (為, 著, 裡 rather
  // than 爲, 着, 裏), and reading them back gives the character typed.
  OpenCc tw2s("tw2s.json"), t2s("t2s.json"), s2tw("s2tw.json"), s2t("s2t.json");
  for (const OpenCc* c : {&tw2s, &t2s, &s2tw, &s2t})
    if (!c->valid()) {
      std::fprintf(stderr, "mkmbdat: cannot open the OpenCC configuration %s: %s\n", c->config().c_str(),
                   opencc_error());
      return 1;
    }

  std::vector<uint8_t> bytes = BuildMbDat(big5, gbk, {&tw2s, &t2s}, {&s2tw, &s2t});
  if (bytes.size() != tavrel::kMbDatSize) {
    std::fprintf(stderr, "mkmbdat: built %zu bytes instead of %zu\n", bytes.size(), tavrel::kMbDatSize);
    return 1;
  }
  std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  file.close();
  if (!file) {
    std::fprintf(stderr, "mkmbdat: cannot write %s\n", argv[1]);
    std::remove(argv[1]);
    return 1;
  }
  return 0;
}
