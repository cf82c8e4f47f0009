#include "app/exports.h"

#include <fmt/format.h>

#include <algorithm>
#include <charconv>
#include <system_error>

#include "base/numbers.h"
#include "gamefiles/file_io.h"
#include "script/encode.h"
#include "script/instruction_kinds.h"
#include "text/ui_string_names.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kTwoLineEnds = "\r\n\r\n";

// Interface strings of the event export.
constexpr int kEventWord = Str::EventWord;              // "事件"
constexpr int kDescriptionWord = Str::DescriptionWord;  // "说明："

// The two number forms of the exports, appended as ASCII.
template <class Out>
void AppendDecimal(Out& out, int32_t value) {
  char digits[12];
  auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
  out.insert(out.end(), digits, end);
}
// As the game's tools print a number: a space for the sign of one that is
// not negative, the digits, a space; put together first and appended at once.
template <class Out>
void AppendPrinted(Out& out, int32_t value) {
  char printed[14];
  char* at = printed;
  if (value >= 0) *at++ = ' ';
  at = std::to_chars(at, printed + sizeof printed - 1, value).ptr;
  *at++ = ' ';
  out.insert(out.end(), printed, at);
}

// The pieces of an export go straight into the code page: numbers and line
// ends are ASCII, the same bytes in both code pages. Without a sink the text
// gathers whole; with one it is handed on whenever a piece has filled, so the
// export of a large game never stands whole in memory and the piece being
// written stays in the cache.
//
// An English export is UTF-8 throughout: English words mixed with the game's
// Chinese text read only in a Unicode file.
class ExportText {
 public:
  explicit ExportText(const TextCodec& codec, const ByteSink* sink = nullptr)
      : codec_(codec), sink_(sink), utf8_(EnglishInterface()) {
    if (sink_) out_.reserve(kPieceBytes + kPieceBytes / 4);
  }

  // The export's form of an interface text: in the code page, or UTF-8.
  std::string Word(std::string_view utf8) const { return utf8_ ? std::string(utf8) : codec_.ToCodePage(utf8); }
  // ASCII, or text already in the export's form.
  void Ascii(std::string_view text) { out_.insert(out_.end(), text.begin(), text.end()); }
  void Text(std::string_view utf8) {
    if (utf8_)
      out_.insert(out_.end(), utf8.begin(), utf8.end());
    else
      codec_.AppendCodePage(out_, utf8);
  }
  void Decimal(int32_t value) { AppendDecimal(out_, value); }
  void Printed(int32_t value) { AppendPrinted(out_, value); }
  void Hex(int32_t value) { AppendHex(out_, uint32_t(value)); }

  // Called between blocks: hands the piece on once it has filled.
  void PieceMayEnd() {
    if (sink_ && out_.size() >= kPieceBytes) Hand();
  }
  // Hands on the rest; the first error of the sink, if any.
  Status Finish() {
    if (sink_ && !out_.empty()) Hand();
    return status_;
  }
  // Whether the sink has refused a piece (what follows is then dropped).
  bool Failed() const { return !status_; }
  Bytes Take() { return std::move(out_); }

 private:
  static constexpr size_t kPieceBytes = size_t(256) << 10;

  void Hand() {
    if (status_) status_ = (*sink_)(out_);
    out_.clear();
  }

  const TextCodec& codec_;
  const ByteSink* sink_;
  bool utf8_;
  Bytes out_;
  Status status_ = Ok();
};

}  // namespace

std::string PrintedNumber(int32_t value) {
  std::string out;
  AppendPrinted(out, value);
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
    text.Text(entries[i].text.view());
    text.Ascii(kLineEnd);
  }
  return text.Take();
}

namespace {

// Each event is decoded and written in turn, while its statements are still
// in the cache. After the sink fails the remaining events are still decoded,
// so every event ends up as after a fresh showing whatever happened.
Status WriteKdefText(EditorState& state, ExportText& text, KdefExportReport* report) {
  const TextCodec& codec = state.text();
  const DescribeContext ctx = state.describeContext();
  DescribeContext exportCtx = ctx;
  exportCtx.exportLayout = true;
  std::vector<KdefEvent>& events = state.game.events.events;
  if (report) *report = KdefExportReport{std::vector<int32_t>(events.size(), 0), 0};
  // The words every event and every line repeat, in the code page once.
  const std::string eventWord = text.Word(codec.UiText(kEventWord));
  const std::string description = text.Word(codec.UiText(kDescriptionWord)) + " ";
  for (size_t i = 0; i < events.size(); ++i) {
    KdefEvent& event = events[i];
    event.labelCounter = 0;
    const DecodeReport decoded = ShowEvent(event, state.attributes, ctx);
    if (report) {
      report->unknownWords[i] = decoded.unknownWords;
      report->totalUnknownWords += decoded.unknownWords;
    }
    if (text.Failed()) continue;
    const int32_t n = static_cast<int32_t>(i);
    text.Ascii(kLineEnd);
    text.Ascii(eventWord);
    text.Decimal(n);
    text.Ascii("(");
    text.Hex(n);
    text.Ascii(")");
    text.Ascii(kTwoLineEnds);
    for (const Statement& s : event.statements) {
      if (!s.islabel) {
        text.Printed(s.Id);
        for (int32_t k = 0; k < s.DataNum && size_t(k) < s.data.size(); ++k) text.Printed(s.data[size_t(k)]);
      }
      text.Ascii(description);
      // A dialogue's speaker in the file's own naming; the statement keeps
      // the line every view shows.
      if (!s.islabel && NamesSpeaker(s.Id))
        text.Text(DescribeLine(s, exportCtx));
      else
        text.Text(s.note);
      text.Ascii(kTwoLineEnds);
    }
    text.Ascii(kLineEnd);
    text.PieceMayEnd();
  }
  return text.Finish();
}

}  // namespace

Status ExportKdefText(EditorState& state, const ByteSink& sink, KdefExportReport* report) {
  ExportText text(state.text(), &sink);
  return WriteKdefText(state, text, report);
}

Bytes ExportKdefText(EditorState& state, KdefExportReport* report) {
  ExportText text(state.text());
  WriteKdefText(state, text, report);
  return text.Take();
}

Result<std::filesystem::path> WriteExport(const std::filesystem::path& dir, const std::string& fileName,
                                          const ByteProducer& produce) {
  const std::filesystem::path path = dir / fileName;
  if (Status s = WriteFileAtomicInPieces(path, produce, false); !s)
    return Error{FormatInterfaceString(Str::CannotWriteFolder, dir.string(), s.error())};
  return path;
}

Result<std::filesystem::path> WriteExport(const std::filesystem::path& dir, const std::string& fileName,
                                          const Bytes& bytes) {
  return WriteExport(dir, fileName, WholeBytes(bytes));
}

Result<ExportWritten> WriteProgramExport(const std::filesystem::path& programDir, const std::string& fileName,
                                         const ByteProducer& produce, const std::filesystem::path& userDir) {
  auto beside = WriteExport(programDir, fileName, produce);
  if (beside) return ExportWritten{*beside, {}};
  if (userDir.empty() || userDir == programDir) return beside.passError();
  std::error_code ec;
  std::filesystem::create_directories(userDir, ec);
  if (ec) return Error{FormatInterfaceString(Str::AndCannotCreate, beside.error(), userDir.string(), ec.message())};
  auto elsewhere = WriteExport(userDir, fileName, produce);
  if (!elsewhere) return Error{FormatInterfaceString(Str::TwoProblems, beside.error(), elsewhere.error())};
  return ExportWritten{*elsewhere, programDir};
}

Result<ExportWritten> WriteProgramExport(const std::filesystem::path& programDir, const std::string& fileName,
                                         const Bytes& bytes, const std::filesystem::path& userDir) {
  return WriteProgramExport(programDir, fileName, WholeBytes(bytes), userDir);
}

}  // namespace tavrel
