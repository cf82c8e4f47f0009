#include "app/battle_edit.h"

#include "base/numbers.h"

namespace tavrel {

namespace {

using Field = BattleField;

// Every number text of the window with the record field it goes to.
struct NumberText {
  Field field;
  int index;
  const std::string* text;
  int16_t* target;
};

template <size_t N>
void AddRun(std::vector<NumberText>& out, Field field, const std::array<std::string, N>& texts,
            std::array<int16_t, N>& targets) {
  for (size_t k = 0; k < N; ++k) out.push_back({field, int(k), &texts[k], &targets[k]});
}

std::vector<NumberText> NumberTexts(const BattleFields& f, BattleRecord& b) {
  std::vector<NumberText> out{
      {Field::Map, 0, &f.map, &b.map},
      {Field::Experience, 0, &f.experience, &b.experience},
      {Field::Music, 0, &f.music, &b.music},
  };
  AddRun(out, Field::PersonX, f.personX, b.personX);
  AddRun(out, Field::PersonY, f.personY, b.personY);
  AddRun(out, Field::EnemyX, f.enemyX, b.enemyX);
  AddRun(out, Field::EnemyY, f.enemyY, b.enemyY);
  return out;
}

bool InList(const std::vector<BattleRecord>& battles, int i) { return i >= 0 && i < int(battles.size()); }

}  // namespace

BattleFields FieldsOf(const BattleRecord& battle) {
  BattleFields f;
  f.name = battle.name;
  f.map = std::to_string(battle.map);
  f.experience = std::to_string(battle.experience);
  f.music = std::to_string(battle.music);
  f.manual = battle.manual;
  f.automatic = battle.automatic;
  f.enemies = battle.enemies;
  for (int k = 0; k < kBattleParticipants; ++k) {
    f.personX[size_t(k)] = std::to_string(battle.personX[size_t(k)]);
    f.personY[size_t(k)] = std::to_string(battle.personY[size_t(k)]);
  }
  for (int d = 0; d < kBattleEnemies; ++d) {
    f.enemyX[size_t(d)] = std::to_string(battle.enemyX[size_t(d)]);
    f.enemyY[size_t(d)] = std::to_string(battle.enemyY[size_t(d)]);
  }
  return f;
}

BattleRecord BlankBattle() {
  BattleRecord b;
  b.manual.fill(kNoPerson);
  b.automatic.fill(kNoPerson);
  b.enemies.fill(kNoPerson);
  return b;
}

FieldsApplied ApplyFields(const BattleRecord& base, const BattleFields& fields, const BattleLimits& limits) {
  BattleRecord next = base;
  for (const NumberText& n : NumberTexts(fields, next)) {
    const std::optional<int16_t> value = ParseInteger<int16_t>(*n.text);
    if (!value) return {std::nullopt, BattleFieldError{n.field, n.index, *n.text, std::nullopt}};
    *n.target = *value;
  }
  next.manual = fields.manual;
  next.automatic = fields.automatic;
  next.enemies = fields.enemies;
  next.name = fields.name;  // cut to 8 bytes only when saved
  std::vector<BattleValueProblem> problems;
  CheckBattle(next, 0, limits, problems);
  if (!problems.empty()) {
    const BattleValueProblem& p = problems.front();
    return {std::nullopt, BattleFieldError{p.field, p.slot, std::to_string(p.value), p}};
  }
  return {std::move(next), std::nullopt};
}

BattleCommandResult ApplyBattle(std::vector<BattleRecord>& battles, int chosen, const BattleFields& fields,
                                const BattleLimits& limits) {
  BattleCommandResult r;
  r.choose = chosen;
  if (!InList(battles, chosen)) {
    r.refusal = BattleCommandResult::Refusal::NoBattleChosen;
    return r;
  }
  FieldsApplied applied = ApplyFields(battles[size_t(chosen)], fields, limits);
  if (!applied.battle) {
    r.fieldError = applied.error;
    return r;
  }
  battles[size_t(chosen)] = std::move(*applied.battle);
  r.changed = true;
  return r;
}

BattleCommandResult AddBattle(std::vector<BattleRecord>& battles, int chosen, const BattleFields& fields,
                              const BattleLimits& limits) {
  BattleCommandResult r;
  r.choose = chosen;
  if (!battles.empty() && !InList(battles, chosen)) {
    r.refusal = BattleCommandResult::Refusal::NoBattleChosen;
    return r;
  }
  FieldsApplied applied = ApplyFields(BattleRecord{}, fields, limits);
  if (!applied.battle) {
    r.fieldError = applied.error;
    return r;
  }
  applied.battle->name = std::string(kNewBattleName);
  battles.push_back(std::move(*applied.battle));
  r.changed = true;
  r.choose = int(battles.size()) - 1;
  return r;
}

BattleCommandResult DeleteLastBattle(std::vector<BattleRecord>& battles) {
  BattleCommandResult r;
  if (battles.size() <= 1) {
    r.refusal =
        battles.empty() ? BattleCommandResult::Refusal::EmptyList : BattleCommandResult::Refusal::OnlyBattleLeft;
    r.choose = int(battles.size()) - 1;
    return r;
  }
  battles.pop_back();
  r.changed = true;
  r.choose = int(battles.size()) - 1;
  return r;
}

}  // namespace tavrel
