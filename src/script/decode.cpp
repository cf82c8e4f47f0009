#include "script/decode.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace tavrel {
namespace {

// Stores only values that differ: decoding an event again over its own
// statements then reads them without writing, so memory that holds what it
// held is left clean.
template <bool kCompare, class T>
void Keep(T& field, T value) {
  if (!kCompare || field != value) field = value;
}

template <bool kCompare>
void SetLabelName(StatementText& name, int32_t number) {
  char text[20] = ":Label";
  auto [end, ec] = std::to_chars(text + 6, text + sizeof text, number);
  const std::string_view wanted(text, size_t(end - text));
  if (!kCompare || name != wanted) name.assign(wanted);
}

// Where decoded statements go: appended to the list, or, when re-decoding,
// written over the list's own statements from the first on, so their
// buffers (parameter words, texts) are used again and nothing is allocated
// per statement. Finish() drops what is left of the old list. The note of
// an instruction is left to the describer, which sets it next. kCompare:
// the list holds an earlier decoding of (nearly) the same words, so values
// are compared before they are stored.
template <bool kCompare>
class StatementSink {
 public:
  StatementSink(std::vector<Statement>& list, bool overwrite) : list_(list), next_(overwrite ? 0 : list.size()) {}

  Statement& Instruction(std::span<const int16_t> words, int32_t position, int16_t opcode, int32_t parameters) {
    Statement& s = Next(opcode, parameters, false);
    if (parameters >= 1) {
      const std::span<const int16_t> data = words.subspan(size_t(position) + 1, size_t(parameters));
      if (!kCompare || !std::ranges::equal(s.data, data)) s.data.assign(data.begin(), data.end());
    } else if (!s.data.empty()) {
      s.data.clear();
    }
    return s;
  }

  void Label(int32_t number) {
    Statement& s = Next(0, 0, true);
    if (!s.data.empty()) s.data.clear();
    SetLabelName<kCompare>(s.note, number);
  }

  template <class T>
  void Set(T& field, T value) {
    Keep<kCompare>(field, value);
  }

  void LabelName(StatementText& name, int32_t number) { SetLabelName<kCompare>(name, number); }

  void Finish() { list_.erase(list_.begin() + static_cast<std::ptrdiff_t>(next_), list_.end()); }

 private:
  // The next statement with the fields of a fresh Statement{} but these
  // three (and the data and note, which the callers set).
  Statement& Next(int16_t id, int32_t dataNum, bool label) {
    if (next_ == list_.size()) {
      ++next_;
      Statement& s = list_.emplace_back();
      s.Id = id;
      s.DataNum = dataNum;
      s.islabel = label;
      return s;
    }
    Statement& s = list_[next_++];
    Keep<kCompare>(s.Id, id);
    Keep<kCompare, int16_t>(s.isGoto, 0);
    Keep<kCompare, int16_t>(s.GotoAddress, 0);
    Keep<kCompare, int16_t>(s.yesOffset, 0);
    Keep<kCompare, int16_t>(s.noOffset, 0);
    if (!s.gotoLabel.empty()) s.gotoLabel.clear();
    Keep<kCompare>(s.islabel, label);
    Keep<kCompare>(s.DataNum, dataNum);
    return s;
  }

  std::vector<Statement>& list_;
  size_t next_;
};

// A block being decoded inside an enclosing range: when the block ends, its
// label is appended and the enclosing range goes on at `resume`.
struct OpenBlock {
  int32_t resume;
  int32_t end;
  int32_t label;  // its number
};

bool JumpWordsInside(const InstructionAttr& attr) {
  return attr.yesOffset >= 1 && attr.yesOffset < attr.length && attr.noOffset >= 1 && attr.noOffset < attr.length;
}

template <class Sink>
DecodeReport Decode(std::span<const int16_t> words, int32_t start, int32_t end, Sink& out, int32_t& labelCounter,
                    const AttributeTable& attributes) {
  DecodeReport report;
  const int32_t size = static_cast<int32_t>(std::min<size_t>(words.size(), INT32_MAX));
  // The blocks still open, kept between calls so that decoding allocates
  // nothing once it has seen its deepest nesting.
  thread_local std::vector<OpenBlock> open;
  open.clear();
  int32_t pos = std::max(start, 0);
  // No range reaches past the last word of the sequence.
  int32_t stop = std::min(end, size);

  for (;;) {
    if (pos >= stop) {
      if (open.empty()) break;
      const OpenBlock block = open.back();
      open.pop_back();
      out.Label(block.label);
      pos = block.resume;
      stop = block.end;
      continue;
    }

    const int16_t op = words[static_cast<size_t>(pos)];
    if (op == -1) {
      out.Instruction(words, pos, -1, 0);
      pos += 1;
      continue;
    }
    const InstructionAttr* attr = (op >= 0 && op < kOpcodeCount) ? &attributes[static_cast<size_t>(op)] : nullptr;
    // A length below 1 would not advance; such a record is as good as none.
    if (attr == nullptr || attr->length < 1 || stop - pos < attr->length) {
      out.Instruction(words, pos, op, 0);
      ++report.unknownWords;
      pos += 1;
      continue;
    }

    const int32_t n = attr->length;
    Statement& s = out.Instruction(words, pos, op, n - 1);
    pos += n;
    if (attr->conditional == 0) continue;

    out.Set(s.yesOffset, static_cast<int16_t>(attr->yesOffset));
    out.Set(s.noOffset, static_cast<int16_t>(attr->noOffset));
    // Jump words outside the instruction (a damaged table) make the jump
    // irregular, as does any pair other than exactly one positive word.
    int16_t yes = 0;
    int16_t no = 0;
    if (JumpWordsInside(*attr)) {
      yes = words[static_cast<size_t>(pos - n + attr->yesOffset)];
      no = words[static_cast<size_t>(pos - n + attr->noOffset)];
    }
    if (no == 0 && yes >= 1) {
      out.Set(s.GotoAddress, yes);
      out.Set(s.isGoto, int16_t{1});
    } else if (yes == 0 && no >= 1) {
      out.Set(s.GotoAddress, no);
      out.Set(s.isGoto, int16_t{2});
    } else {
      continue;
    }

    out.LabelName(s.gotoLabel, labelCounter);
    ++labelCounter;
    const int32_t blockEnd = pos + s.GotoAddress;
    open.push_back(OpenBlock{blockEnd, stop, labelCounter - 1});
    stop = std::min(blockEnd, size);
  }
  return report;
}

}  // namespace

DecodeReport DecodeRange(std::span<const int16_t> words, int32_t start, int32_t end, std::vector<Statement>& list,
                         int32_t& labelCounter, const AttributeTable& attributes) {
  StatementSink<false> sink(list, false);
  return Decode(words, start, end, sink, labelCounter, attributes);
}

DecodeReport DecodeReplacing(std::span<const int16_t> words, std::vector<Statement>& list, int32_t& labelCounter,
                             const AttributeTable& attributes, ListHolds holds) {
  const int32_t end = static_cast<int32_t>(std::min<size_t>(words.size(), INT32_MAX));
  auto run = [&](auto& sink) {
    const DecodeReport report = Decode(words, 0, end, sink, labelCounter, attributes);
    sink.Finish();
    return report;
  };
  if (holds == ListHolds::SameEvent) {
    StatementSink<true> sink(list, true);
    return run(sink);
  }
  StatementSink<false> sink(list, true);
  return run(sink);
}

}  // namespace tavrel
