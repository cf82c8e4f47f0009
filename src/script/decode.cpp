#include "script/decode.h"

#include <algorithm>
#include <string>

namespace tavrel {
namespace {

Statement MakeStatement(std::span<const int16_t> words, int32_t position, int16_t opcode, int32_t parameters) {
  Statement s;
  s.Id = opcode;
  s.SetDataNum(parameters);
  for (int32_t i = 0; i < parameters; ++i) s.data[static_cast<size_t>(i)] = words[static_cast<size_t>(position + 1 + i)];
  return s;
}

// A block being decoded inside an enclosing range: when the block ends, its
// label is appended and the enclosing range goes on at `resume`.
struct OpenBlock {
  int32_t resume;
  int32_t end;
  std::string label;
};

bool JumpWordsInside(const InstructionAttr& attr) {
  return attr.yesOffset >= 1 && attr.yesOffset < attr.length && attr.noOffset >= 1 && attr.noOffset < attr.length;
}

}  // namespace

DecodeReport DecodeRange(std::span<const int16_t> words, int32_t start, int32_t end, std::vector<Statement>& list,
                         int32_t& labelCounter, const AttributeTable& attributes) {
  DecodeReport report;
  const int32_t size = static_cast<int32_t>(std::min<size_t>(words.size(), INT32_MAX));
  std::vector<OpenBlock> open;
  int32_t pos = std::max(start, 0);
  // No range reaches past the last word of the sequence.
  int32_t stop = std::min(end, size);

  for (;;) {
    if (pos >= stop) {
      if (open.empty()) break;
      OpenBlock block = std::move(open.back());
      open.pop_back();
      list.push_back(MakeLabel(block.label));
      pos = block.resume;
      stop = block.end;
      continue;
    }

    const int16_t op = words[static_cast<size_t>(pos)];
    if (op == -1) {
      list.push_back(MakeStatement(words, pos, -1, 0));
      pos += 1;
      continue;
    }
    const InstructionAttr* attr = (op >= 0 && op < kOpcodeCount) ? &attributes[static_cast<size_t>(op)] : nullptr;
    // A length below 1 would not advance; such a record is as good as none.
    if (attr == nullptr || attr->length < 1 || stop - pos < attr->length) {
      list.push_back(MakeStatement(words, pos, op, 0));
      ++report.unknownWords;
      pos += 1;
      continue;
    }

    const int32_t n = attr->length;
    Statement s = MakeStatement(words, pos, op, n - 1);
    if (attr->conditional == 0) {
      list.push_back(std::move(s));
      pos += n;
      continue;
    }

    s.yesOffset = static_cast<int16_t>(attr->yesOffset);
    s.noOffset = static_cast<int16_t>(attr->noOffset);
    // Jump words outside the instruction (a damaged table) make the jump
    // irregular, as does any pair other than exactly one positive word.
    int16_t yes = 0;
    int16_t no = 0;
    if (JumpWordsInside(*attr)) {
      yes = words[static_cast<size_t>(pos + attr->yesOffset)];
      no = words[static_cast<size_t>(pos + attr->noOffset)];
    }
    if (no == 0 && yes >= 1) {
      s.GotoAddress = yes;
      s.isGoto = 1;
    } else if (yes == 0 && no >= 1) {
      s.GotoAddress = no;
      s.isGoto = 2;
    } else {
      list.push_back(std::move(s));
      pos += n;
      continue;
    }

    s.gotoLabel = ":Label" + std::to_string(labelCounter);
    ++labelCounter;
    const int32_t blockEnd = pos + n + s.GotoAddress;
    open.push_back(OpenBlock{blockEnd, stop, s.gotoLabel});
    list.push_back(std::move(s));
    pos += n;
    stop = std::min(blockEnd, size);
  }
  return report;
}

}  // namespace tavrel
