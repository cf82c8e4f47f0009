#include "text/phrase_conversion.h"

#include <opencc/opencc.h>

#include <mutex>
#include <vector>

#include "text/codepage.h"

namespace tavrel {
namespace {

// OpenCC's simplified-to-Taiwan configuration, opened once. OpenCC looks for
// a bare name in its own data folder; the Debian folder is tried as well.
class Converter {
 public:
  Converter() {
    for (const char* config : {"s2tw.json", "/usr/share/opencc/s2tw.json"}) {
      handle_ = opencc_open(config);
      if (valid()) break;
    }
  }
  ~Converter() {
    if (valid()) opencc_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // (opencc_t)-1 is what opencc_open returns on failure.
  bool valid() const { return handle_ != reinterpret_cast<opencc_t>(-1); }  // NOLINT(performance-no-int-to-ptr)

  // The converted code points; empty on any failure.
  std::u32string Convert(std::u32string_view codePoints) {
    std::string utf8;
    utf8.reserve(codePoints.size() * 3);
    for (char32_t c : codePoints) AppendUtf8(utf8, c);
    std::u32string result;
    const std::lock_guard lock(mutex_);
    if (!valid()) return result;
    char* converted = opencc_convert_utf8(handle_, utf8.data(), utf8.size());
    if (converted == nullptr) return result;
    const std::string_view text(converted);
    for (size_t pos = 0; pos < text.size();) result.push_back(NextCodePoint(text, pos));
    opencc_convert_utf8_free(converted);
    return result;
  }

  char32_t Single(char32_t c) {
    if (c >= 0x10000) return c;
    {
      const std::lock_guard lock(mutex_);
      if (single_.empty()) single_.assign(0x10000, 0);
      if (single_[c] != 0) return single_[c];
    }
    const std::u32string form = Convert(std::u32string_view(&c, 1));
    const char32_t result = form.size() == 1 && form[0] != kBadUtf8 ? form[0] : c;
    const std::lock_guard lock(mutex_);
    single_[c] = result;
    return result;
  }

 private:
  opencc_t handle_ = reinterpret_cast<opencc_t>(-1);  // NOLINT(performance-no-int-to-ptr)
  std::mutex mutex_;
  std::vector<char32_t> single_;  // by BMP code point, 0 until asked
};

Converter& TheConverter() {
  static Converter converter;
  return converter;
}

}  // namespace

bool PhraseConversionAvailable() { return TheConverter().valid(); }

std::u32string TraditionalPhraseForms(std::u32string_view codePoints) {
  std::u32string forms = TheConverter().Convert(codePoints);
  if (forms.size() != codePoints.size()) forms.clear();
  return forms;
}

char32_t TraditionalCharacterForm(char32_t character) { return TheConverter().Single(character); }

}  // namespace tavrel
