// Dialogue commands: append, store the typed text, delete the last entry.
#include <algorithm>
#include <string>

#include "app/commands.h"
#include "text/ui_string_names.h"

namespace tavrel {
namespace {

// One byte offset per entry plus the leading 0; the values are recomputed by
// the next save, a grown entry repeats the last end until then.
void FitOffsets(TalkTable& table) {
  std::vector<int32_t>& offsets = table.offsets;
  if (offsets.empty()) offsets.push_back(0);
  offsets.resize(table.entries.size() + 1, offsets.back());
}

}  // namespace

int32_t AddDialogue(EditorState& state, std::string* message) {
  TalkTable& table = state.game.talk;
  const int32_t number = state.talkCount();
  table.entries.push_back(NewTalkEntry(state.text().UiString(Str::TalkInputPrompt)));
  FitOffsets(table);
  state.modified = true;
  if (message != nullptr)
    *message = state.text().UiString(Str::TalkAddedNumber) + std::to_string(number) +
               state.text().UiString(Str::ModifyTalkNext);
  return number;
}

void StoreDialogue(EditorState& state, int32_t index, const std::string& text) {
  if (index < 0 || index >= state.talkCount()) return;
  DialogueText& stored = state.game.talk.entries[static_cast<size_t>(index)].text;
  if (stored == text) return;
  stored = text;
  state.modified = true;
}

Status DeleteLastDialogue(EditorState& state, int32_t index) {
  if (!IsLastEntry(index, state.talkCount())) return Error{state.text().UiString(Str::OnlyLastTalkDeletable)};
  TalkTable& table = state.game.talk;
  table.entries.pop_back();
  FitOffsets(table);
  state.modified = true;
  return Ok();
}

int32_t DialoguePositionAfterRefresh(const EditorState& state, int32_t remembered) {
  const int32_t last = state.talkCount() - 1;
  if (remembered <= last) return std::max(remembered, -1);
  return last;
}

}  // namespace tavrel
