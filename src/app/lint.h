#pragma once
// Checking a game for what breaks it: one pass over the committed words of
// every event finds references past their tables, words that are no
// instruction, conditionals that do not jump, jumps that land outside their
// event and events that do not end; the scenes' object tables are checked
// for events that do not exist. Dialogues no instruction shows, items no
// event gives and events nothing names are reported as information (events
// are also started from elsewhere, a battle won for one, so never an error).
// The battles of war.sta are checked against their fields' ranges.
#include <cstdint>
#include <string>
#include <vector>

#include "app/battle_check.h"
#include "app/editor_state.h"
#include "app/find.h"

namespace tavrel {

enum class Severity : uint8_t { Error, Warning, Info };

enum class FindingKind : uint8_t {
  OutOfRange,            // error: a reference at or past its table's size, or a negative one
  UnknownWord,           // error: a word that is no instruction
  JumpOutside,           // error: a jump past the event's last word
  NoEnd,                 // error: an event whose last instruction is not the end instruction
  IrregularConditional,  // warning: a conditional whose jump words give no jump
  UnusedDialogue,        // information: no instruction shows the dialogue
  UngivenItem,           // information: no event gives the item
  ObjectEventMissing,    // error: a scene object starts an event at or past the event count
  EventNamedByNothing,   // information: no scene object and no instruction names the event
  BattleValue,           // error: a number of a battle outside its range (app/battle_check.h)
};

struct Finding {
  Severity severity = Severity::Error;
  FindingKind kind = FindingKind::OutOfRange;
  Place place;
  std::string message;  // in the run's language (Chinese: simplified), UTF-8
};

// The size of every table a reference is checked against; -1: not known (the
// file was missing), references of that kind are not checked.
struct LintLimits {
  int32_t counts[kRefKindCount] = {-1, -1, -1, -1, -1, -1, -1, -1, -1};
  int32_t& operator[](RefKind kind) { return counts[static_cast<size_t>(kind)]; }
  int32_t operator[](RefKind kind) const { return counts[static_cast<size_t>(kind)]; }
};
// The limits of the loaded game: dialogues and events always; persons,
// items, scenes, skills and portraits when their tables were read; battles
// from `battles` (-1: war.sta was not read).
LintLimits LimitsOf(const EditorState& state, int32_t battles);
// The records of war.sta in the game directory; -1 when it is missing or cannot be read.
int32_t BattleCountOnDisk(const EditorState& state);

// The battles lint checks: war.sta as it lies in the game directory (the
// battle editor reads it anew on each opening, so that is what the game
// gets), with the sizes their numbers are checked against.
struct LintBattles {
  std::vector<BattleRecord> battles;
  BattleLimits limits;
  int32_t count = -1;  // -1: war.sta is missing or cannot be read
};
LintBattles ReadLintBattles(const EditorState& state);

struct LintReport {
  std::vector<Finding> findings;  // errors and warnings by event and line, then the information
  int32_t errors = 0;
  int32_t warnings = 0;
  int32_t infos = 0;
};

// The events and object tables against `limits`, and the battles when given.
LintReport LintGame(const EditorState& state, const LintLimits& limits, const LintBattles* battles = nullptr);
// The loaded game with the battles of its directory: the check window and `tavrel lint`.
LintReport LintLoadedGame(const EditorState& state);

// "N个错误，M个警告" ("1 error, 2 warnings").
std::string LintSummary(const LintReport& report);

}  // namespace tavrel
