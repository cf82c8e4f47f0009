#include "app/exports.h"

#include <fmt/format.h>

#include "gamefiles/file_io.h"
#include "script/encode.h"

namespace tavrel {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Interface strings of the event export.
constexpr int kEventWord = 135;        // "事件"
constexpr int kDescriptionWord = 136;  // "说明："

Bytes ToBytes(const std::string& codePageText) { return Bytes(codePageText.begin(), codePageText.end()); }

}  // namespace

std::string PrintedNumber(int32_t value) { return value < 0 ? fmt::format("{} ", value) : fmt::format(" {} ", value); }

std::string HexNumber(int32_t value) { return fmt::format("{:X}", static_cast<uint32_t>(value)); }

Bytes ExportTalkText(const EditorState& state) {
  std::string text;
  const auto& entries = state.game.talk.entries;
  for (size_t i = 0; i < entries.size(); ++i) {
    const int32_t n = static_cast<int32_t>(i);
    text += PrintedNumber(n);
    text += HexNumber(n);
    text += ' ';
    text += entries[i].text;
    text += kLineEnd;
  }
  return ToBytes(state.text().ToCodePage(text));
}

Bytes ExportKdefText(EditorState& state, KdefExportReport* report) {
  const std::string eventWord = state.text().UiString(kEventWord);
  const std::string description = state.text().UiString(kDescriptionWord) + " ";
  const DescribeContext ctx = state.describeContext();
  std::vector<KdefEvent>& events = state.game.events.events;
  if (report) *report = KdefExportReport{std::vector<int32_t>(events.size(), 0), 0};

  std::string text;
  for (size_t i = 0; i < events.size(); ++i) {
    KdefEvent& event = events[i];
    event.labelCounter = 0;
    const DecodeReport decoded = ShowEvent(event, state.attributes, ctx);
    if (report) {
      report->unknownWords[i] = decoded.unknownWords;
      report->totalUnknownWords += decoded.unknownWords;
    }
    const int32_t n = static_cast<int32_t>(i);
    text += kLineEnd;
    text += fmt::format("{}{}({})", eventWord, n, HexNumber(n));
    text += kLineEnd;
    text += kLineEnd;
    for (const Statement& s : event.statements) {
      if (!s.islabel) {
        text += PrintedNumber(s.Id);
        for (int32_t k = 0; k < s.DataNum && size_t(k) < s.data.size(); ++k) text += PrintedNumber(s.data[size_t(k)]);
      }
      text += description;
      text += s.note;
      text += kLineEnd;
      text += kLineEnd;
    }
    text += kLineEnd;
  }
  return ToBytes(state.text().ToCodePage(text));
}

Result<std::filesystem::path> WriteExport(const std::filesystem::path& dir, const std::string& fileName,
                                          const Bytes& bytes) {
  const std::filesystem::path path = dir / fileName;
  if (Status s = WriteFileAtomic(path, bytes, false); !s)
    return Error{fmt::format("cannot write into the directory {}: {}", dir.string(), s.error())};
  return path;
}

}  // namespace tavrel
