#include "app/battle_check.h"

#include <algorithm>
#include <system_error>

#include "app/editor_state.h"
#include "text/ui_strings.h"

namespace tavrel {

int32_t BattlefieldsInIndex(size_t indexBytes) {
  return int32_t(std::min<size_t>(indexBytes / 4, size_t(kBattlefieldCount)));
}

BattleLimits BattleLimitsOf(const EditorState& state) {
  BattleLimits limits;
  const std::vector<PersonRecord>& persons = state.game.names.persons;
  // An empty person table is one that could not be read.
  if (!persons.empty()) limits.persons = int32_t(std::min<size_t>(persons.size(), INT32_MAX));
  if (!state.gameDirectory.empty()) {
    std::error_code ec;
    const uintmax_t size = std::filesystem::file_size(GameFilePath(state, "warfld.idx"), ec);
    if (!ec) limits.battlefields = BattlefieldsInIndex(size_t(size));
  }
  return limits;
}

namespace {

// The range of a field kind; false when it is not checked.
bool RangeOf(BattleRange range, const BattleLimits& limits, int32_t& low, int32_t& high) {
  switch (range) {
    case BattleRange::Any:
      return false;
    case BattleRange::Battlefield:
      low = 0;
      high = limits.battlefields - 1;
      return limits.battlefields >= 0;
    case BattleRange::Person:
      low = kNoPerson;
      high = limits.persons - 1;
      return limits.persons >= 0;
    case BattleRange::Square:
      low = 0;
      high = kBattlefieldSide - 1;
      return true;
  }
  return false;
}

}  // namespace

void CheckBattle(const BattleRecord& battle, int32_t number, const BattleLimits& limits,
                 std::vector<BattleValueProblem>& out) {
  BattleRecord record = battle;  // the table's accessors hand out writable pointers
  for (const BattleNumberField& f : BattleNumberFields()) {
    int32_t low = 0, high = 0;
    if (!RangeOf(f.range, limits, low, high)) continue;
    const int16_t* values = f.first(record);
    for (size_t k = 0; k < f.count; ++k)
      if (values[k] < low || values[k] > high) out.push_back({number, f.field, int(k), values[k], low, high});
  }
}

std::vector<BattleValueProblem> CheckBattles(std::span<const BattleRecord> battles, const BattleLimits& limits) {
  std::vector<BattleValueProblem> out;
  for (size_t i = 0; i < battles.size(); ++i) CheckBattle(battles[i], int32_t(i), limits, out);
  return out;
}

int32_t BattlesWithProblems(std::span<const BattleValueProblem> problems) {
  int32_t battles = 0;
  for (size_t k = 0; k < problems.size(); ++k)
    if (k == 0 || problems[k].battle != problems[k - 1].battle) ++battles;
  return battles;
}

std::string BattleFieldLabel(BattleField field, int slot) {
  const BattleNumberField& f = BattleNumberFieldOf(field);
  return f.count > 1 ? FormatInterfaceString(f.label, slot) : std::string(InterfaceStringText(f.label));
}

std::string BattleProblemText(const BattleValueProblem& p) {
  const std::string label = BattleFieldLabel(p.field, p.slot);
  if (BattleNumberFieldOf(p.field).range == BattleRange::Person)
    return FormatInterfaceString(Str::BattlePersonOutOfRange, label, p.value, p.high);
  return FormatInterfaceString(Str::BattleValueOutOfRange, label, p.value, p.low, p.high);
}

std::string BattleProblemLine(const BattleValueProblem& p) {
  return FormatInterfaceString(Str::ResultLine, FormatInterfaceString(Str::PlaceBattle, p.battle),
                               BattleProblemText(p));
}

std::string BattleProblemsReport(std::span<const BattleValueProblem> problems, size_t listed) {
  if (problems.empty()) return {};
  std::string out = FormatInterfaceString(Str::BattleValuesOutOfRange, BattlesWithProblems(problems), problems.size());
  const size_t shown = std::min(listed, problems.size());
  for (size_t k = 0; k < shown; ++k) out += "\n" + BattleProblemLine(problems[k]);
  if (shown < problems.size()) out += "\n" + FormatInterfaceString(Str::MoreNotListed, problems.size() - shown);
  return out;
}

}  // namespace tavrel
