#pragma once
// The ranges of a battle's numbers, checked wherever a battle is taken in:
// the battle editor on opening and on applying, lint and `tavrel check`. The
// fields and what each stands for come from the war.sta field table
// (gamefiles/war_sta.h); the sizes they are checked against from the game.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "gamefiles/war_map.h"
#include "gamefiles/war_sta.h"

namespace tavrel {

struct EditorState;

// The sizes a battle's numbers are checked against; -1: not known (the
// table could not be read), numbers of that kind are not checked.
struct BattleLimits {
  int32_t battlefields = kBattlefieldCount;
  int32_t persons = -1;
};

// The battlefields of the game directory: the maps warfld.idx holds, at
// most the 26 the game reads; 26 when warfld.idx is missing or unreadable
// (the view then reports the file itself). Persons: the database's persons
// when it was read.
BattleLimits BattleLimitsOf(const EditorState& state);
int32_t BattlefieldsInIndex(size_t indexBytes);

// A number outside its range: battle, field, slot (participant or enemy
// number; 0 for the single numbers), the value and the range it lies outside.
struct BattleValueProblem {
  int32_t battle = 0;
  BattleField field = BattleField::Map;
  int slot = 0;
  int16_t value = 0;
  int32_t low = 0;  // the smallest value taken (a person field also takes -1, nobody)
  int32_t high = 0;
  friend bool operator==(const BattleValueProblem&, const BattleValueProblem&) = default;
};

// The values of `battle` outside their ranges, in the order of the field
// table, appended to `out`; `number` is the battle's position in its list.
void CheckBattle(const BattleRecord& battle, int32_t number, const BattleLimits& limits,
                 std::vector<BattleValueProblem>& out);
std::vector<BattleValueProblem> CheckBattles(std::span<const BattleRecord> battles, const BattleLimits& limits);

// How many battles `problems` touch (they come battle by battle).
int32_t BattlesWithProblems(std::span<const BattleValueProblem> problems);

// "E3 号敌人" / "enemy E3": the name of one number of a record.
std::string BattleFieldLabel(BattleField field, int slot);
// "E3 号敌人为 9999，既不是 -1（无人）也不是 0 到 319 号人物": the problem
// without its battle, in the run's language.
std::string BattleProblemText(const BattleValueProblem& problem);
// "战斗3：..." with the battle.
std::string BattleProblemLine(const BattleValueProblem& problem);
// What a list of problems reads as in one message: the count of values and
// of battles, the first `listed` problems one a line, and how many more
// there are. Empty when there is no problem.
std::string BattleProblemsReport(std::span<const BattleValueProblem> problems, size_t listed = 20);

}  // namespace tavrel
