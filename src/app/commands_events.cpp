// Whole-event commands (add, delete the last, commit) and the two statement
// clipboards.
#include <fmt/format.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/commands.h"
#include "script/encode.h"
#include "text/ui_string_names.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace {

// Keeps one cumulative end offset (in words) per event plus the leading 0.
// The values are rewritten by the next save; a grown entry continues the
// sum so the list stays plausible until then.
void FitOffsets(EventTable& table) {
  std::vector<int32_t>& offsets = table.offsets;
  const size_t want = table.events.size() + 1;
  if (offsets.empty()) offsets.push_back(0);
  while (offsets.size() < want) {
    const size_t event = offsets.size() - 1;
    offsets.push_back(offsets.back() + table.events[event].wordCount());
  }
  offsets.resize(want);
}

// Re-layout, then commit: what every paste ends with.
DecodeReport RelayoutAndCommit(EditorState& state, int32_t event) {
  KdefEvent& e = *EventAt(state, event);
  DecodeReport report = Relayout(e, state.attributes, state.describeContext());
  CommitEvent(state, event);
  return report;
}

}  // namespace

int32_t AddEvent(EditorState& state, std::string* message) {
  EventTable& table = state.game.events;
  const int32_t number = state.eventCount();
  KdefEvent added;
  added.words = {0, -1};  // the empty statement and the end instruction
  table.events.push_back(std::move(added));
  FitOffsets(table);
  state.modified = true;
  if (message != nullptr) *message = FormatText(state.text().UiText(Str::EventAddedNumber), number);
  return number;
}

Status DeleteLastEvent(EditorState& state, int32_t event) {
  if (!IsLastEntry(event, state.eventCount())) return Error{state.text().UiString(Str::OnlyLastEventDeletable)};
  EventTable& table = state.game.events;
  table.events.pop_back();
  FitOffsets(table);
  state.modified = true;
  return Ok();
}

void CommitEvent(EditorState& state, int32_t event) {
  KdefEvent* e = EventAt(state, event);
  if (e == nullptr) return;
  if (Commit(*e)) state.modified = true;
}

bool CopyInstructions(EditorState& state, int32_t event, std::span<const int> selectedLines) {
  const KdefEvent* e = EventAt(state, event);
  if (e == nullptr) return false;
  std::vector<int> lines;
  lines.reserve(selectedLines.size());
  for (int line : selectedLines)
    if (line >= 0 && static_cast<size_t>(line) < e->statements.size()) lines.push_back(line);
  if (lines.empty()) return false;
  std::sort(lines.begin(), lines.end());
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());

  std::vector<Statement> clip;
  clip.reserve(lines.size());
  for (int line : lines) clip.push_back(e->statements[static_cast<size_t>(line)]);
  state.instructionClipboard = std::move(clip);
  state.hasInstructionClip = true;
  return true;
}

void CopyWholeEvent(EditorState& state, int32_t event) {
  const KdefEvent* e = EventAt(state, event);
  if (e == nullptr) return;
  state.eventClipboard = e->statements;
  state.hasEventClip = true;
}

DecodeReport PasteInstructions(EditorState& state, int32_t event, int line) {
  KdefEvent* e = EventAt(state, event);
  if (e == nullptr || !state.hasInstructionClip || line < 0 || static_cast<size_t>(line) > e->statements.size())
    return {};
  const std::vector<Statement>& clip = state.instructionClipboard;
  e->statements.insert(e->statements.begin() + line, clip.begin(), clip.end());
  return RelayoutAndCommit(state, event);
}

DecodeReport PasteWholeEvent(EditorState& state, int32_t event) {
  KdefEvent* e = EventAt(state, event);
  if (e == nullptr || !state.hasEventClip) return {};
  e->statements = state.eventClipboard;
  return RelayoutAndCommit(state, event);
}

}  // namespace tavrel
