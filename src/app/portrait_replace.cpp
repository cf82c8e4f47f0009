#include "app/portrait_replace.h"

#include "app/commands.h"
#include "app/find.h"
#include "script/encode.h"
#include "text/ui_string_names.h"

namespace tavrel {
namespace {

// A dialogue instruction whose portrait word exists and equals `portrait`
// (an instruction too short to hold the word never matches).
bool ShowsPortrait(const Statement& s, int32_t portrait) {
  return s.Id == kDialogueOpcode && WordRefersTo(s, kPortraitWord, RefKind::Portrait, portrait);
}

void Accumulate(DecodeReport& total, const DecodeReport& one) { total.unknownWords += one.unknownWords; }

}  // namespace

std::vector<std::string> PortraitChoices(const EditorState& state) {
  std::vector<std::string> items;
  items.reserve(state.game.portraits.size());
  for (size_t p = 0; p < state.game.portraits.size(); ++p) items.push_back(std::to_string(p));
  return items;
}

std::vector<std::string> PortraitUserLines(const EditorState& state, int32_t portrait) {
  std::vector<std::string> lines;
  const auto& users = state.game.portraitUsers;
  if (portrait < 0 || size_t(portrait) >= users.size()) return lines;
  const auto& persons = state.game.names.persons;
  for (int32_t k : users[size_t(portrait)]) {
    std::string line = std::to_string(k);
    if (k >= 0 && size_t(k) < persons.size()) line += persons[size_t(k)].name;
    lines.push_back(std::move(line));
  }
  return lines;
}

PortraitCount CountPortraitUses(const EditorState& state, int32_t portrait) {
  return PortraitCount{CountReferences(state, RefKind::Portrait, portrait)};
}

std::string PortraitReplaceQuestion(const EditorState& state, int32_t count) {
  return state.text().UiString(Str::TalksFound) + std::to_string(count) +
         state.text().UiString(Str::ModifyQuestionSuffix);
}

PortraitReplacement ReplacePortrait(EditorState& state, int32_t from, int32_t to) {
  PortraitReplacement result;
  const DescribeContext ctx = state.describeContext();
  const auto word = static_cast<int16_t>(to);
  for (int32_t e = 0; e < state.eventCount(); ++e) {
    KdefEvent& event = state.game.events.events[size_t(e)];
    Accumulate(result.report, ShowEvent(event, state.attributes, ctx));
    for (Statement& s : event.statements) {
      if (!ShowsPortrait(s, from)) continue;
      s.SetWord(kPortraitWord, word);
      ++result.replaced;
    }
    Relayout(event, state.attributes, ctx);
    CommitEvent(state, e);
  }
  return result;
}

}  // namespace tavrel
