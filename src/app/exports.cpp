#include "app/exports.h"

#include <fmt/format.h>

#include <algorithm>
#include <charconv>
#include <system_error>

#include "gamefiles/file_io.h"
#include "script/encode.h"

namespace tavrel {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Interface strings of the event export.
constexpr int kEventWord = 135;        // "事件"
constexpr int kDescriptionWord = 136;  // "说明："

// The two number forms of the exports, appended as ASCII.
template <class Out>
void AppendDecimal(Out& out, int32_t value) {
  char digits[12];
  auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
  out.insert(out.end(), digits, end);
}
template <class Out>
void AppendPrinted(Out& out, int32_t value) {
  if (value >= 0) out.push_back(' ');
  AppendDecimal(out, value);
  out.push_back(' ');
}
template <class Out>
void AppendHex(Out& out, int32_t value) {
  char digits[8];
  auto [end, ec] = std::to_chars(digits, digits + sizeof digits, static_cast<uint32_t>(value), 16);
  for (char* c = digits; c != end; ++c) out.push_back(static_cast<char>(*c >= 'a' ? *c - 'a' + 'A' : *c));
}

// The pieces of an export go straight into the code page: numbers and line
// ends are ASCII, the same bytes in both code pages.
class ExportText {
 public:
  explicit ExportText(const TextCodec& codec) : codec_(codec) {}

  void Ascii(std::string_view text) { out_.insert(out_.end(), text.begin(), text.end()); }
  void Text(std::string_view utf8) { codec_.AppendCodePage(out_, utf8); }
  void Decimal(int32_t value) { AppendDecimal(out_, value); }
  void Printed(int32_t value) { AppendPrinted(out_, value); }
  void Hex(int32_t value) { AppendHex(out_, value); }
  void Reserve(size_t bytes) { out_.reserve(bytes); }
  Bytes Take() { return std::move(out_); }

 private:
  const TextCodec& codec_;
  Bytes out_;
};

// The most bytes an event's block can take: UTF-8 text never gets longer in
// the code page, a printed 16-bit number takes at most 8 bytes.
size_t BlockBound(const KdefEvent& event, size_t eventWordBytes, size_t descriptionBytes) {
  size_t bound = 2 + eventWordBytes + 11 + 1 + 8 + 1 + 2 + 2 + 2;
  for (const Statement& s : event.statements)
    bound += (s.islabel ? 0 : 8 * (1 + size_t(std::max(s.DataNum, 0)))) + descriptionBytes + 1 + s.note.size() + 4;
  return bound;
}

}  // namespace

std::string PrintedNumber(int32_t value) {
  std::string out;
  AppendPrinted(out, value);
  return out;
}

std::string HexNumber(int32_t value) {
  std::string out;
  AppendHex(out, value);
  return out;
}

Bytes ExportTalkText(const EditorState& state) {
  ExportText text(state.text());
  const auto& entries = state.game.talk.entries;
  for (size_t i = 0; i < entries.size(); ++i) {
    const int32_t n = static_cast<int32_t>(i);
    text.Printed(n);
    text.Hex(n);
    text.Ascii(" ");
    text.Text(entries[i].text);
    text.Ascii(kLineEnd);
  }
  return text.Take();
}

Bytes ExportKdefText(EditorState& state, KdefExportReport* report) {
  const TextCodec& codec = state.text();
  const DescribeContext ctx = state.describeContext();
  std::vector<KdefEvent>& events = state.game.events.events;
  if (report) *report = KdefExportReport{std::vector<int32_t>(events.size(), 0), 0};

  // Every event decoded first, so the text is written into one buffer of
  // the right size instead of one that is copied each time it grows.
  const std::string_view eventWord = codec.UiText(kEventWord);
  const std::string_view description = codec.UiText(kDescriptionWord);
  size_t bound = 0;
  for (size_t i = 0; i < events.size(); ++i) {
    KdefEvent& event = events[i];
    event.labelCounter = 0;
    const DecodeReport decoded = ShowEvent(event, state.attributes, ctx);
    if (report) {
      report->unknownWords[i] = decoded.unknownWords;
      report->totalUnknownWords += decoded.unknownWords;
    }
    bound += BlockBound(event, eventWord.size(), description.size());
  }

  ExportText text(codec);
  text.Reserve(bound);
  for (size_t i = 0; i < events.size(); ++i) {
    const int32_t n = static_cast<int32_t>(i);
    text.Ascii(kLineEnd);
    text.Text(eventWord);
    text.Decimal(n);
    text.Ascii("(");
    text.Hex(n);
    text.Ascii(")");
    text.Ascii(kLineEnd);
    text.Ascii(kLineEnd);
    for (const Statement& s : events[i].statements) {
      if (!s.islabel) {
        text.Printed(s.Id);
        for (int32_t k = 0; k < s.DataNum && size_t(k) < s.data.size(); ++k) text.Printed(s.data[size_t(k)]);
      }
      text.Text(description);
      text.Ascii(" ");
      text.Text(s.note);
      text.Ascii(kLineEnd);
      text.Ascii(kLineEnd);
    }
    text.Ascii(kLineEnd);
  }
  return text.Take();
}

Result<std::filesystem::path> WriteExport(const std::filesystem::path& dir, const std::string& fileName,
                                          const Bytes& bytes) {
  const std::filesystem::path path = dir / fileName;
  if (Status s = WriteFileAtomic(path, bytes, false); !s)
    return Error{fmt::format("cannot write into the directory {}: {}", dir.string(), s.error())};
  return path;
}

Result<ExportWritten> WriteProgramExport(const std::filesystem::path& programDir, const std::string& fileName,
                                         const Bytes& bytes, const std::filesystem::path& userDir) {
  auto beside = WriteExport(programDir, fileName, bytes);
  if (beside) return ExportWritten{*beside, {}};
  if (userDir.empty() || userDir == programDir) return Error{beside.error()};
  std::error_code ec;
  std::filesystem::create_directories(userDir, ec);
  if (ec) return Error{fmt::format("{}; cannot create {}: {}", beside.error(), userDir.string(), ec.message())};
  auto elsewhere = WriteExport(userDir, fileName, bytes);
  if (!elsewhere) return Error{fmt::format("{}; {}", beside.error(), elsewhere.error())};
  return ExportWritten{*elsewhere, programDir};
}

}  // namespace tavrel
