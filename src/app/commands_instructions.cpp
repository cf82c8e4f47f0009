// Instruction commands: modify from the word list, delete, and the insert
// dialog's entries and insertion.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "app/commands.h"
#include "base/numbers.h"
#include "script/describe.h"
#include "script/encode.h"
#include "text/ui_string_names.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace {

constexpr std::string_view kWordRange = " (-32768 … 32767)";

// Statements for the insert dialog have all data words 0; an attribute length
// of 0 or less leaves the opcode word alone.
Statement NewInstruction(int16_t opcode, const InstructionAttr& attr) {
  Statement s;
  s.Id = opcode;
  s.SetDataNum(std::max(attr.length - 1, 0));
  return s;
}

}  // namespace

Result<int16_t> ParseWord(const std::string& text) {
  if (std::optional<int16_t> word = ParseInteger<int16_t>(text)) return *word;
  return Error{"\"" + text + "\"" + std::string(kWordRange)};
}

Result<DecodeReport> ModifyInstruction(EditorState& state, int32_t event, int line,
                                       std::span<const std::string> words) {
  Statement* s = StatementAt(state, event, line);
  if (s == nullptr || s->islabel) return DecodeReport{};
  const TextCodec& text = state.text();
  const size_t needed = static_cast<size_t>(std::max(s->DataNum, 0)) + 1;
  if (words.size() < needed)
    return Error{text.UiString(Str::InstructionWordsFrame) + " " + std::to_string(words.size()) + " / " +
                 std::to_string(needed)};

  // Every entry is checked before the statement is touched.
  std::vector<int16_t> values(needed);
  for (size_t k = 0; k < needed; ++k) {
    Result<int16_t> word = ParseWord(words[k]);
    if (!word)
      return Error{text.UiString(Str::InstructionWordsFrame) + " " + std::to_string(k) +
                   std::string(InterfaceStringText(Str::ListSeparator)) + word.error()};
    values[k] = *word;
  }
  s->Id = values[0];
  for (size_t k = 1; k < needed; ++k) s->SetWord(static_cast<int>(k - 1), values[k]);
  return Relayout(*EventAt(state, event), state.attributes, state.describeContext());
}

bool DeleteQuestion(const EditorState& state, int32_t event, int line, std::string* text) {
  const KdefEvent* e = EventAt(state, event);
  if (e == nullptr || e->statements.size() <= 1 || line < 0 || static_cast<size_t>(line) >= e->statements.size())
    return false;
  if (text != nullptr)
    *text = state.text().UiString(Str::DeleteInstructionQuestion) + e->statements[static_cast<size_t>(line)].note;
  return true;
}

DeleteOutcome DeleteInstruction(EditorState& state, int32_t event, int line) {
  if (!DeleteQuestion(state, event, line, nullptr)) return DeleteOutcome::Nothing;
  std::vector<Statement>& list = EventAt(state, event)->statements;
  const auto at = list.begin() + line;
  if (at->islabel) return DeleteOutcome::IsLabel;
  size_t count = 1;
  if (at->isGoto != 0) {
    // A conditional goes only together with the label that closes its empty block.
    const bool emptyBlock = static_cast<size_t>(line) + 1 < list.size() && (at + 1)->islabel;
    if (!emptyBlock) return DeleteOutcome::BlockNotEmpty;
    count = 2;
  }
  list.erase(at, at + static_cast<std::ptrdiff_t>(count));
  return DeleteOutcome::Deleted;
}

std::vector<std::string> InsertChoices(const EditorState& state) {
  std::vector<std::string> choices;
  choices.reserve(kInsertEndEntry + 1);
  for (int v = 0; v < kOpcodeCount; ++v)
    choices.push_back(OpcodeCaption(static_cast<int16_t>(v)) + std::string(InterfaceStringText(Str::ListSeparator)) +
                      state.attributes[static_cast<size_t>(v)].name);
  choices.push_back("-1" + std::string(InterfaceStringText(Str::ListSeparator)) +
                    state.text().UiString(Str::InsertEventEnd));
  return choices;
}

bool InsertShowsJumpChoice(const EditorState& state, int entry) {
  return entry >= 0 && entry < kOpcodeCount && state.attributes[static_cast<size_t>(entry)].conditional == 1;
}

DecodeReport InsertInstruction(EditorState& state, int32_t event, int line, int entry, bool jumpWhenYes) {
  KdefEvent* e = EventAt(state, event);
  if (e == nullptr || line < 0 || static_cast<size_t>(line) > e->statements.size() || entry < 0 ||
      entry > kInsertEndEntry)
    return {};
  std::vector<Statement>& list = e->statements;
  const auto at = list.begin() + line;

  if (entry == kInsertEndEntry) {
    Statement end;
    end.Id = -1;
    list.insert(at, std::move(end));
  } else if (const InstructionAttr& attr = state.attributes[static_cast<size_t>(entry)]; attr.conditional == 0) {
    list.insert(at, NewInstruction(static_cast<int16_t>(entry), attr));
  } else {
    // A whole jump block around the empty statement, so the event stays well formed.
    std::array<Statement, 3> block{NewInstruction(static_cast<int16_t>(entry), attr), Statement{}, Statement{}};
    Statement& s = block[0];
    s.yesOffset = static_cast<int16_t>(attr.yesOffset);
    s.noOffset = static_cast<int16_t>(attr.noOffset);
    s.isGoto = jumpWhenYes ? 1 : 2;
    s.SetWord((jumpWhenYes ? s.yesOffset : s.noOffset) - 1, 1);
    s.gotoLabel = "Label" + std::to_string(e->labelCounter);
    ++e->labelCounter;
    block[2] = MakeLabel(s.gotoLabel);
    list.insert(at, std::make_move_iterator(block.begin()), std::make_move_iterator(block.end()));
  }
  return Relayout(*e, state.attributes, state.describeContext());
}

}  // namespace tavrel
