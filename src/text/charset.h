#pragma once
// Game text is double-byte BIG5. The editor works either in traditional
// Chinese ("BIG5") or in simplified Chinese ("GBK", converting through the
// tables of mb.dat). Text inside the core is UTF-8.
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace tavrel {

enum class GameCharset { Gbk, Big5 };

// "GBK" or "BIG5"; any name other than "GBK" behaves as BIG5.
GameCharset ParseCharset(std::string_view name);
const char* CharsetName(GameCharset charset);

// The three tables of mb.dat; every entry 0 until loaded.
struct CharsetTables {
  // Indexed by (lead - 0x80) * 256 + trail; the two bytes of the equivalent
  // character, both 0 for "no equivalent".
  std::array<std::array<uint8_t, 2>, 128 * 256> big5ToGbk{};
  std::array<std::array<uint8_t, 2>, 128 * 256> gbkToBig5{};
  // Replacement UTF-16 code unit for the interface strings in a "BIG5" run;
  // 0 keeps the unit.
  std::array<uint16_t, 65536> interfaceTextMap{};

  static size_t Index(uint8_t lead, uint8_t trail) { return (size_t(lead) - 0x80) * 256 + trail; }
};

inline constexpr size_t kMbDatSize = 173470;

// Reads mb.dat strictly in its three-section order. A missing file gives the
// message "file <path> not exist" and leaves `tables` all zero; a file shorter
// than its sections fills what it holds and reports the rest.
Status LoadCharsetTables(const std::filesystem::path& path, CharsetTables& tables);

// Number of bytes before the first zero byte among the first `count`.
size_t ZeroTerminatedLength(const uint8_t* bytes, size_t count);

// All conversions of game text and interface text for one charset. Built once
// after mb.dat is loaded: every direction is composed into flat tables so a
// conversion is one table access per character.
class TextCodec {
 public:
  TextCodec(GameCharset charset, std::shared_ptr<const CharsetTables> tables);

  GameCharset charset() const { return charset_; }
  const CharsetTables& tables() const { return *tables_; }
  // Different for every codec built; a copy keeps the id, as it keeps the
  // tables. Lets a caller keep what it derived from one codec's texts.
  uint64_t id() const { return id_; }

  // Game bytes (BIG5) to UTF-8 text; stops at the first zero byte.
  std::string DecodeGameText(const uint8_t* bytes, size_t count) const;
  std::string DecodeGameText(std::span<const uint8_t> bytes) const {
    return DecodeGameText(bytes.data(), bytes.size());
  }
  // The same text appended to `out`.
  void AppendGameText(std::string& out, std::span<const uint8_t> bytes) const;
  // UTF-8 text to game bytes (BIG5), no terminator. Characters the charset
  // cannot hold become "?", in a "GBK" run characters without a BIG5
  // equivalent become "??". In a "GBK" run a character whose phrase gives it
  // another traditional form than it has alone (头发 頭髮 but 发现 發現,
  // phrase_conversion.h) takes that form; every other character is written
  // through the charset tables.
  std::vector<uint8_t> EncodeGameText(std::string_view text) const;
  // The same for a text read from the game bytes `previous` and then edited:
  // the characters before and after the edited part keep the bytes they were
  // read from, so an edit never rewrites what the user did not touch (a form
  // of the game's own, a character the charset shows as "??").
  std::vector<uint8_t> EncodeGameText(std::string_view text, std::span<const uint8_t> previous) const;
  // True when every character of `text` survives EncodeGameText.
  bool CanEncode(std::string_view text) const;

  // Interface string number n in this charset; in an English run the English
  // text, whatever the charset.
  std::string UiString(int number) const;
  // The same text without a copy: every string is converted once, when the
  // codec is built, and lives as long as the codec.
  std::string_view UiText(int number) const;
  // Simplified interface text (a core message, a composed caption) in this
  // charset: as it is in a "GBK" run, through MapToTraditional in a "BIG5" run.
  // In an English run the text is returned as it is.
  std::string MapInterfaceText(std::string_view text) const;
  // Code unit by code unit through interfaceTextMap, whatever the charset.
  std::string MapToTraditional(std::string_view text) const;

  // Converts GBK bytes to BIG5 bytes through gbkToBig5 (either byte non-zero
  // takes the entry, else "??"), as the attribute-table loader needs.
  std::vector<uint8_t> GbkBytesToBig5(std::span<const uint8_t> bytes) const;

  // Text in the charset's code page (GBK or BIG5), for the text exports.
  // One table access per character; ASCII stays as it is.
  std::string ToCodePage(std::string_view utf8) const;
  void AppendCodePage(std::string& out, std::string_view utf8) const;
  void AppendCodePage(std::vector<uint8_t>& out, std::string_view utf8) const;

 private:
  struct Tables;
  // EncodeGameText into `out` (when given); false when a character was
  // substituted.
  bool Encode(std::string_view text, std::span<const uint8_t> previous, std::vector<uint8_t>* out) const;

  GameCharset charset_;
  uint64_t id_;
  std::shared_ptr<const CharsetTables> tables_;
  std::shared_ptr<const Tables> composed_;
};

}  // namespace tavrel
