#include "app/find.h"

#include <algorithm>
#include <climits>

#include "app/scene_objects.h"
#include "script/decode.h"
#include "script/describe.h"
#include "text/ui_string_names.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace {

char FoldLatin(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

void FoldInto(std::string_view text, std::string& out) {
  out.resize(text.size());
  std::transform(text.begin(), text.end(), out.begin(), FoldLatin);
}

bool IsJumpWord(const Statement& s, int word) {
  return s.yesOffset >= 1 && (word == s.yesOffset - 1 || word == s.noOffset - 1);
}

}  // namespace

std::string PlaceText(const Place& place) {
  switch (place.kind) {
    case PlaceKind::EventLine:
      return FormatInterfaceString(Str::PlaceEventLine, place.owner, place.index);
    case PlaceKind::Dialogue:
      return FormatInterfaceString(Str::PlaceDialogue, place.owner);
    case PlaceKind::Item:
      return FormatInterfaceString(Str::PlaceItem, place.owner);
    case PlaceKind::SceneObject:
      return FormatInterfaceString(Str::PlaceSceneObject, place.owner, place.index);
    case PlaceKind::Event:
      return FormatInterfaceString(Str::PlaceEvent, place.owner);
    case PlaceKind::Battle:
      return FormatInterfaceString(Str::PlaceBattle, place.owner);
  }
  return {};
}

std::string PlaceTag(const Place& place) {
  switch (place.kind) {
    case PlaceKind::EventLine:
      return "kdef:" + std::to_string(place.owner) + ":" + std::to_string(place.index);
    case PlaceKind::Dialogue:
      return "talk:" + std::to_string(place.owner);
    case PlaceKind::Item:
      return "item:" + std::to_string(place.owner);
    case PlaceKind::SceneObject:
      return "alldef:" + std::to_string(place.owner) + ":" + std::to_string(place.index);
    case PlaceKind::Event:
      return "kdef:" + std::to_string(place.owner);
    case PlaceKind::Battle:
      return "war:" + std::to_string(place.owner);
  }
  return {};
}

int RefKindString(RefKind kind) {
  switch (kind) {
    case RefKind::Dialogue:
      return Str::RefDialogue;
    case RefKind::Person:
      return Str::RefPerson;
    case RefKind::Item:
      return Str::RefItem;
    case RefKind::Scene:
      return Str::RefScene;
    case RefKind::Skill:
      return Str::RefSkill;
    case RefKind::Battle:
      return Str::RefBattle;
    case RefKind::Event:
      return Str::RefEvent;
    case RefKind::Portrait:
      return Str::RefPortrait;
    case RefKind::None:
      break;
  }
  return 0;
}

bool WordRefersTo(const Statement& s, int word, RefKind kind, int32_t number) {
  if (s.islabel || word < 0 || word >= s.DataNum || static_cast<size_t>(word) >= s.data.size()) return false;
  if (IsJumpWord(s, word) || ReferenceOf(WordKindOf(s.Id, word)) != kind) return false;
  return s.data[static_cast<size_t>(word)] == number;
}

EventSearch::EventSearch(const EditorState& state, FindQuery query, ShownStatements shown)
    : state_(state), query_(std::move(query)), shown_(shown), total_(state.eventCount()) {}

Result<std::unique_ptr<EventSearch>> EventSearch::Start(const EditorState& state, FindQuery query,
                                                        ShownStatements shown) {
  std::unique_ptr<EventSearch> search(new EventSearch(state, std::move(query), shown));
  FindQuery& q = search->query_;
  if (q.mode == FindQuery::Mode::Regex) {
    auto flags = std::regex::ECMAScript;
    if (q.ignoreCase) flags |= std::regex::icase;
    try {
      search->regex_.emplace(q.text, flags);
    } catch (const std::regex_error& error) {
      return Error{FormatInterfaceString(Str::FindBadRegex, q.text, error.what())};
    }
  } else if (q.mode == FindQuery::Mode::Reference) {
    for (int16_t op = 0; op < kOpcodeCount; ++op) {
      const ReferringWords refs = ReferringWordsOf(op);
      for (uint8_t k = 0; k < refs.count; ++k)
        if (ReferenceOf(WordKindOf(op, refs.words[k])) == q.reference)
          search->referringMask_[size_t(op)] |= uint16_t(1u << refs.words[k]);
    }
    // The scene objects that start the event come before the instructions.
    if (q.reference == RefKind::Event && q.number > 0 && state.game.objects.present)
      for (const ObjectStart& start : ObjectsStartingEvent(state.game.objects, q.number))
        search->results_.push_back(FoundLine{Place{PlaceKind::SceneObject, start.scene, start.object},
                                             TriggerName(start.trigger), static_cast<int8_t>(start.trigger)});
  } else if (q.mode == FindQuery::Mode::Text) {
    if (q.ignoreCase)
      FoldInto(q.text, search->needle_);
    else
      search->needle_ = q.text;
  }
  return search;
}

bool EventSearch::Matches(std::string_view line) const {
  if (query_.mode == FindQuery::Mode::Regex) return std::regex_search(line.begin(), line.end(), *regex_);
  if (!query_.ignoreCase) return line.find(needle_) != std::string_view::npos;
  FoldInto(line, folded_);
  return std::string_view(folded_).find(needle_) != std::string_view::npos;
}

bool EventSearch::Refers(const Statement& s) const {
  if (s.islabel || s.Id < 0 || s.Id >= kOpcodeCount) return false;
  uint16_t mask = referringMask_[size_t(s.Id)];
  for (int w = 0; mask != 0; ++w, mask >>= 1)
    if ((mask & 1) != 0 && WordRefersTo(s, w, query_.reference, query_.number)) return true;
  return false;
}

void EventSearch::SearchEvent(int32_t event) {
  const bool reference = query_.mode == FindQuery::Mode::Reference;
  const DescribeContext ctx = state_.describeContext();
  auto found = [&](size_t line, std::string_view text) {
    results_.push_back(FoundLine{Place{PlaceKind::EventLine, event, static_cast<int32_t>(line)}, std::string(text)});
  };
  if (event == shown_.event) {
    // What the user sees: the statements and their lines as shown.
    for (size_t line = 0; line < shown_.statements.size(); ++line) {
      const Statement& s = shown_.statements[line];
      if (reference ? Refers(s) : Matches(s.note.view())) found(line, s.note.view());
    }
    return;
  }
  const KdefEvent& e = state_.game.events.events[static_cast<size_t>(event)];
  // A reference is a word of the event: one without that word is not decoded.
  if (reference && (query_.number < INT16_MIN || query_.number > INT16_MAX ||
                    std::find(e.words.begin(), e.words.end(), int16_t(query_.number)) == e.words.end()))
    return;
  int32_t labels = 0;
  DecodeReplacing(e.words, scratch_, labels, state_.attributes);
  for (size_t line = 0; line < scratch_.size(); ++line) {
    Statement& s = scratch_[line];
    if (reference) {
      if (!Refers(s)) continue;
      DescribeStatement(s, ctx);
      found(line, s.note.view());
    } else {
      DescribeStatement(s, ctx);
      if (Matches(s.note.view())) found(line, s.note.view());
    }
  }
}

bool EventSearch::Step(int32_t events) {
  const int32_t stop = std::min<int64_t>(int64_t(next_) + std::max(events, 1), total_);
  for (; next_ < stop; ++next_) SearchEvent(next_);
  return !done();
}

void EventSearch::Run() {
  while (Step(1024)) {
  }
}

Result<std::vector<FoundLine>> FindAll(const EditorState& state, const FindQuery& query, ShownStatements shown) {
  Result<std::unique_ptr<EventSearch>> search = EventSearch::Start(state, query, shown);
  if (!search) return search.passError();
  (*search)->Run();
  return (*search)->takeResults();
}

int32_t CountReferences(const EditorState& state, RefKind kind, int32_t number, ShownStatements shown) {
  FindQuery query;
  query.reference = kind;
  query.number = number;
  Result<std::vector<FoundLine>> found = FindAll(state, query, shown);
  return found ? static_cast<int32_t>(found->size()) : 0;
}

}  // namespace tavrel
