#include "script/attributes.h"

#include <array>
#include <charconv>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>
#include <vector>

#include "text/codepage.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace {

constexpr const char* kAttributeFileName = "kdefattr.dat";
constexpr const char* kTempFileName = "_TMP0834.TMP";

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Walks the items of the file: an item ends at a comma or a line end, and
// that one separator is consumed with it (CR LF counts as one line end).
class ItemReader {
 public:
  explicit ItemReader(std::string_view text) : text_(text) {}

  void SkipLine() {
    while (pos_ < text_.size() && !IsLineEnd(text_[pos_])) ++pos_;
    SkipSeparator();
  }

  // A number item: blank lines before it are passed over as well.
  // Returns nothing at the end of the text.
  std::optional<std::string_view> NextNumberItem() {
    while (pos_ < text_.size() && (IsBlank(text_[pos_]) || IsLineEnd(text_[pos_]))) ++pos_;
    if (pos_ >= text_.size()) return std::nullopt;
    size_t begin = pos_;
    while (pos_ < text_.size() && text_[pos_] != ',' && !IsLineEnd(text_[pos_])) ++pos_;
    std::string_view item = TrimEnd(text_.substr(begin, pos_ - begin));
    SkipSeparator();
    return item;
  }

  // The name item: up to the next comma or line end, or, when it starts with
  // a double quote, up to the closing quote (commas included); whatever
  // stands between the closing quote and the separator is dropped. An
  // unclosed quote runs to the end of its line.
  std::string NextNameItem() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
    std::string_view name;
    if (pos_ < text_.size() && text_[pos_] == '"') {
      size_t begin = ++pos_;
      while (pos_ < text_.size() && text_[pos_] != '"' && !IsLineEnd(text_[pos_])) ++pos_;
      name = text_.substr(begin, pos_ - begin);
      while (pos_ < text_.size() && text_[pos_] != ',' && !IsLineEnd(text_[pos_])) ++pos_;
    } else {
      size_t begin = pos_;
      while (pos_ < text_.size() && text_[pos_] != ',' && !IsLineEnd(text_[pos_])) ++pos_;
      name = TrimEnd(text_.substr(begin, pos_ - begin));
    }
    SkipSeparator();
    return std::string(name);
  }

 private:
  static std::string_view TrimEnd(std::string_view s) {
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
  }

  void SkipSeparator() {
    if (pos_ >= text_.size()) return;
    if (text_[pos_] == '\r') {
      ++pos_;
      if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    } else {
      ++pos_;  // a comma or a lone LF
    }
  }

  std::string_view text_;
  size_t pos_ = 0;
};

std::optional<int32_t> ParseNumber(std::string_view item) {
  if (!item.empty() && item.front() == '+') item.remove_prefix(1);
  if (item.empty()) return std::nullopt;
  int32_t value = 0;
  auto [end, ec] = std::from_chars(item.data(), item.data() + item.size(), value);
  if (ec != std::errc() || end != item.data() + item.size()) return std::nullopt;
  return value;
}

// Bytes in one of the game's double-byte code pages to UTF-8. A pair the
// code page does not know becomes "??", a stray byte "?"; line ends, commas
// and quotes are never taken as the trail byte of a broken pair.
std::string CodePageToUtf8(std::span<const uint8_t> bytes, CodePageId id) {
  const CodePage& page = GetCodePage(id);
  std::string out;
  out.reserve(bytes.size() * 3 / 2 + 16);
  for (size_t i = 0; i < bytes.size();) {
    const uint8_t lead = bytes[i];
    if (lead < 0x80) {
      out.push_back(static_cast<char>(lead));
      ++i;
      continue;
    }
    const uint8_t trail = i + 1 < bytes.size() ? bytes[i + 1] : 0;
    const char32_t cp = trail != 0 ? page.Decode(lead, trail) : 0;
    if (cp != 0) {
      AppendUtf8(out, cp);
      i += 2;
    } else if (trail >= 0x40) {
      out += "??";
      i += 2;
    } else {
      out.push_back('?');
      ++i;
    }
  }
  return out;
}

std::optional<std::vector<uint8_t>> ReadBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) return std::nullopt;
  return bytes;
}

// The converted file goes through _TMP0834.TMP beside the program and is
// read back from there; when that directory cannot be written the bytes in
// memory are used as they are.
std::vector<uint8_t> ThroughTempFile(const std::filesystem::path& programDir, std::vector<uint8_t> bytes) {
  const std::filesystem::path temp = programDir / kTempFileName;
  std::error_code ec;
  if (std::filesystem::exists(temp, ec) && !std::filesystem::is_regular_file(temp, ec)) return bytes;
  bool opened = false;
  bool written = false;
  {
    std::ofstream file(temp, std::ios::binary | std::ios::trunc);
    opened = static_cast<bool>(file);
    if (opened) {
      file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
      file.close();
      written = !file.fail();
    }
  }
  std::optional<std::vector<uint8_t>> back;
  if (written) back = ReadBytes(temp);
  if (opened) std::filesystem::remove(temp, ec);
  if (back && back->size() == bytes.size()) return std::move(*back);
  return bytes;
}

}  // namespace

Result<AttributeTable> ParseAttributeTable(std::string_view text, const std::string& fileName) {
  AttributeTable table{};
  ItemReader reader(text);
  reader.SkipLine();
  for (int op = 0; op < kOpcodeCount; ++op) {
    int32_t numbers[5] = {};
    for (int k = 0; k < 5; ++k) {
      std::optional<std::string_view> item = reader.NextNumberItem();
      if (!item) {
        return Error{FormatInterfaceString(Str::AttributeRecordsTooFew, fileName, op, kOpcodeCount)};
      }
      std::optional<int32_t> value = ParseNumber(*item);
      if (!value) {
        return Error{FormatInterfaceString(Str::AttributeFieldNotNumber, fileName, op, k + 1, std::string(*item))};
      }
      numbers[k] = *value;
    }
    InstructionAttr& attr = table[static_cast<size_t>(op)];
    attr.length = numbers[1];
    attr.conditional = numbers[2];
    attr.yesOffset = numbers[3];
    attr.noOffset = numbers[4];
    attr.name = reader.NextNameItem();
  }
  return table;
}

Result<AttributeTable> LoadAttributeTable(const std::filesystem::path& programDir, const TextCodec& codec) {
  const std::filesystem::path path = programDir / kAttributeFileName;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec))
    return Error{FormatInterfaceString(Str::FileNotFound, path.string())};
  std::optional<std::vector<uint8_t>> bytes = ReadBytes(path);
  if (!bytes) return Error{FormatInterfaceString(Str::CannotRead, path.string())};

  std::string text;
  if (codec.charset() == GameCharset::Gbk) {
    text = CodePageToUtf8(*bytes, CodePageId::Gbk);
  } else {
    std::vector<uint8_t> big5 = ThroughTempFile(programDir, codec.GbkBytesToBig5(*bytes));
    text = CodePageToUtf8(big5, CodePageId::Big5);
  }
  return ParseAttributeTable(text, path.string());
}

Status ParseInstructionNames(std::string_view text, const std::string& fileName, AttributeTable& table) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // a byte order mark
  std::array<std::string, kOpcodeCount> names;
  ItemReader reader(text);
  reader.SkipLine();
  for (int op = 0; op < kOpcodeCount; ++op) {
    std::optional<std::string_view> item = reader.NextNumberItem();
    if (!item) return Error{FormatInterfaceString(Str::AttributeRecordsTooFew, fileName, op, kOpcodeCount)};
    std::optional<int32_t> value = ParseNumber(*item);
    if (!value || *value != op)
      return Error{FormatInterfaceString(Str::AttributeFieldNotNumber, fileName, op, 1, std::string(*item))};
    names[size_t(op)] = reader.NextNameItem();
  }
  for (int op = 0; op < kOpcodeCount; ++op) table[size_t(op)].name = std::move(names[size_t(op)]);
  return Ok();
}

Status LoadInstructionNames(const std::filesystem::path& programDir, AttributeTable& table) {
  const std::filesystem::path path = programDir / kEnglishNamesFileName;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec))
    return Error{FormatInterfaceString(Str::FileNotFound, path.string())};
  std::optional<std::vector<uint8_t>> bytes = ReadBytes(path);
  if (!bytes) return Error{FormatInterfaceString(Str::CannotRead, path.string())};
  const std::string text(bytes->begin(), bytes->end());
  return ParseInstructionNames(text, path.string(), table);
}

}  // namespace tavrel
