#pragma once
// Searching the game: every instruction whose words refer to a given
// dialogue, person, item, scene, skill, battle, event or portrait, or every
// line of every event holding a text or matching a regular expression. The
// search reads the committed words of every event, except one event whose
// statements the caller gives (the shown event, with edits not yet
// committed). It runs in slices so a window can stay responsive, show
// progress and stop it; the command-line tool runs it to the end.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <regex>
#include <span>
#include <string>
#include <vector>

#include "app/editor_state.h"
#include "script/instruction_kinds.h"

namespace tavrel {

// Where a result lies. Every source of results has its own kind of place;
// `owner` and `index` are read by that kind.
enum class PlaceKind : uint8_t {
  EventLine,    // owner: the event, index: the line of its instruction list, from 0
  Dialogue,     // owner: the dialogue entry
  Item,         // owner: the item
  SceneObject,  // owner: the scene, index: the object of its table
  Event,        // owner: the event as a whole
  Battle,       // owner: the battle of war.sta
};
struct Place {
  PlaceKind kind = PlaceKind::EventLine;
  int32_t owner = -1;
  int32_t index = -1;
  friend bool operator==(const Place&, const Place&) = default;
  friend auto operator<=>(const Place&, const Place&) = default;
};
// "事件N，第L行" (or "对话N", "物品N", "场景S 物体O", "事件N", "战斗N") for a window.
std::string PlaceText(const Place& place);
// "kdef:N:L" (or "talk:N", "item:N", "alldef:S:O", "kdef:N", "war:N") for the command-line tool.
std::string PlaceTag(const Place& place);

struct FoundLine {
  Place place;
  std::string text;     // the line as the instruction list shows it; for an object, how it starts the event
  int8_t trigger = -1;  // for an object: the Trigger by which it starts the event
};

struct FindQuery {
  enum class Mode : uint8_t { Reference, Text, Regex };
  Mode mode = Mode::Reference;
  RefKind reference = RefKind::None;  // Reference
  int32_t number = 0;                 // Reference: the dialogue, person, ... number
  std::string text;                   // Text, Regex (UTF-8)
  bool ignoreCase = false;            // Text, Regex: Latin letters in either case
};

// The name of a reference kind in messages and choosers ("对话", "人物", ...).
int RefKindString(RefKind kind);

// Statements the caller shows in place of an event's committed words.
struct ShownStatements {
  int32_t event = -1;
  std::span<const Statement> statements;
};

class EventSearch {
 public:
  // A search over `state`, which must not change while it runs. Fails, with
  // a message and no search, on a regular expression that does not compile.
  static Result<std::unique_ptr<EventSearch>> Start(const EditorState& state, FindQuery query,
                                                    ShownStatements shown = {});

  // Searches the next `events` events; false once every event is searched.
  bool Step(int32_t events);
  // Searches what is left.
  void Run();
  bool done() const { return next_ >= total_; }
  int32_t searched() const { return next_; }
  int32_t total() const { return total_; }
  const std::vector<FoundLine>& results() const { return results_; }
  std::vector<FoundLine> takeResults() { return std::move(results_); }

 private:
  EventSearch(const EditorState& state, FindQuery query, ShownStatements shown);
  void SearchEvent(int32_t event);
  bool Matches(std::string_view line) const;
  bool Refers(const Statement& s) const;

  const EditorState& state_;
  FindQuery query_;
  ShownStatements shown_;
  std::optional<std::regex> regex_;
  std::string needle_;  // Text: folded when ignoring case
  // Reference: for each opcode, the words that may hold the number (a bit per word).
  std::array<uint16_t, kOpcodeCount> referringMask_{};
  std::vector<Statement> scratch_;
  mutable std::string folded_;  // a line folded for a search ignoring case
  int32_t next_ = 0;
  int32_t total_ = 0;
  std::vector<FoundLine> results_;
};

// Every result at once.
Result<std::vector<FoundLine>> FindAll(const EditorState& state, const FindQuery& query, ShownStatements shown = {});

// Whether word `word` of statement `s` refers to `number` of kind `kind`
// (jump words never do).
bool WordRefersTo(const Statement& s, int word, RefKind kind, int32_t number);

// How many instructions refer to `number` of kind `kind` (what a delete or
// replace question reports).
int32_t CountReferences(const EditorState& state, RefKind kind, int32_t number, ShownStatements shown = {});

}  // namespace tavrel
