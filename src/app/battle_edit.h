#pragma once
// The battle editor's commands over the battle list. The window hands over
// what its fields hold (texts as typed, person lists as person numbers) and
// shows what the commands give back; every rule lives here.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/battle_check.h"
#include "base/result.h"
#include "gamefiles/war_sta.h"

namespace tavrel {

// The battle editor's fields. Person lists carry person numbers (-1 for "not chosen").
struct BattleFields {
  std::string name;
  std::string map;
  std::string experience;
  std::string music;
  std::array<int16_t, kBattleParticipants> manual{};
  std::array<int16_t, kBattleParticipants> automatic{};
  std::array<std::string, kBattleParticipants> personX;
  std::array<std::string, kBattleParticipants> personY;
  std::array<int16_t, kBattleEnemies> enemies{};
  std::array<std::string, kBattleEnemies> enemyX;
  std::array<std::string, kBattleEnemies> enemyY;
};

// The name of a battle the editor adds.
inline constexpr std::string_view kNewBattleName = "noname";

// The fields showing `battle`.
BattleFields FieldsOf(const BattleRecord& battle);

// A blank battle: no persons, every number 0.
BattleRecord BlankBattle();

// Which field refused: its text is no 16-bit number, or (with `range`) its
// value lies outside its range.
struct BattleFieldError {
  BattleField field = BattleField::Map;
  int index = 0;  // participant slot or enemy number; 0 for the single fields
  std::string text;
  std::optional<BattleValueProblem> range;
};

// `base` with every field of `fields` applied, or the first field whose text
// is not a 16-bit number, or else the first value of the result outside its
// range under `limits` (the record is then not touched). Name bytes and the
// leading number stay those of `base`.
struct FieldsApplied {
  std::optional<BattleRecord> battle;
  std::optional<BattleFieldError> error;
};
FieldsApplied ApplyFields(const BattleRecord& base, const BattleFields& fields, const BattleLimits& limits);

// Results of the list commands: the battle to choose afterwards, or why
// nothing changed.
struct BattleCommandResult {
  bool changed = false;
  int choose = -1;
  std::optional<BattleFieldError> fieldError;
  enum class Refusal { None, NoBattleChosen, OnlyBattleLeft, EmptyList } refusal = Refusal::None;
};

// cmdedit: the fields into battle `chosen`.
BattleCommandResult ApplyBattle(std::vector<BattleRecord>& battles, int chosen, const BattleFields& fields,
                                const BattleLimits& limits);

// cmdaddwar: a new last battle, all zeros, named "noname", with the fields
// copied from the window. Needs a chosen battle, except while the list is
// empty (the window then shows a blank battle to start from).
BattleCommandResult AddBattle(std::vector<BattleRecord>& battles, int chosen, const BattleFields& fields,
                              const BattleLimits& limits);

// cmddelwar: drops the last battle whichever is chosen. Removing the only
// battle is refused, so the list never empties under the user's hands.
BattleCommandResult DeleteLastBattle(std::vector<BattleRecord>& battles);

}  // namespace tavrel
