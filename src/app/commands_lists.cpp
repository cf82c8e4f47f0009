// What the main window's lists show: the lines of an event, the words of a
// statement, the dialogue items.
#include <algorithm>
#include <string>
#include <vector>

#include "app/commands.h"
#include "script/encode.h"

namespace tavrel {

KdefEvent* EventAt(EditorState& state, int32_t event) {
  std::vector<KdefEvent>& events = state.game.events.events;
  if (event < 0 || static_cast<size_t>(event) >= events.size()) return nullptr;
  return &events[static_cast<size_t>(event)];
}

const KdefEvent* EventAt(const EditorState& state, int32_t event) {
  const std::vector<KdefEvent>& events = state.game.events.events;
  if (event < 0 || static_cast<size_t>(event) >= events.size()) return nullptr;
  return &events[static_cast<size_t>(event)];
}

Statement* StatementAt(EditorState& state, int32_t event, int line) {
  KdefEvent* e = EventAt(state, event);
  if (e == nullptr || line < 0 || static_cast<size_t>(line) >= e->statements.size()) return nullptr;
  return &e->statements[static_cast<size_t>(line)];
}

DecodeReport ChooseEvent(EditorState& state, int32_t event) {
  KdefEvent* e = EventAt(state, event);
  if (e == nullptr) return {};
  e->labelCounter = 0;
  return ShowEvent(*e, state.attributes, state.describeContext());
}

bool HasUncommittedEdits(const EditorState& state, int32_t event) {
  const KdefEvent* e = EventAt(state, event);
  return e != nullptr && !e->statements.empty() && !EncodesTo(e->statements, e->words);
}

ShownEvent ShowEventLines(EditorState& state, int32_t event) {
  ShownEvent shown;
  shown.report = ChooseEvent(state, event);
  shown.lines = InstructionLines(state, event);
  return shown;
}

std::vector<std::string> InstructionLines(const EditorState& state, int32_t event) {
  std::vector<std::string> lines;
  const KdefEvent* e = EventAt(state, event);
  if (e == nullptr) return lines;
  lines.reserve(e->statements.size());
  for (const Statement& s : e->statements) lines.push_back(s.note);
  return lines;
}

std::vector<std::string> WordLines(const Statement& statement) {
  std::vector<std::string> lines;
  if (statement.islabel) return lines;
  lines.reserve(static_cast<size_t>(std::max(statement.DataNum, 0)) + 1);
  lines.push_back(std::to_string(statement.Id));
  for (int i = 0; i < statement.DataNum; ++i) lines.push_back(std::to_string(statement.Word(i)));
  return lines;
}

std::string TalkItem(const EditorState& state, int32_t index) {
  if (index < 0 || index >= state.talkCount()) return {};
  return std::to_string(index) + ":" + state.game.talk.entries[static_cast<size_t>(index)].text.str();
}

}  // namespace tavrel
