#include "ui/battle/battle_messages.h"

#include "app/battle_check.h"
#include "gamefiles/war_map.h"
#include "ui/qt_text.h"

namespace tavrel::ui {

QString WarStaReadMessage(const EditorState& state, const WarStaContents& contents,
                          std::span<const BattleValueProblem> problems) {
  if (contents.fileMissing) return Ui(state, Str::WarStaMissing);
  QStringList parts;
  if (contents.ignoredBytes > 0)
    parts << UiFormat(state, Str::WarStaPartialRecord, kBattleRecordSize, contents.battles.size(),
                      contents.ignoredBytes);
  if (!problems.empty()) parts << CoreText(state, BattleProblemsReport(problems));
  return parts.join(QStringLiteral("\n\n"));
}

QString WarStaUnreadableMessage(const EditorState& state, const std::string& error) {
  return UiFormat(state, Str::WarStaUnreadable, CoreText(state, error));
}

QString FieldErrorMessage(const EditorState& state, const BattleFieldError& error) {
  if (error.range)
    return CoreText(state, FormatInterfaceString(Str::BattleNotChanged, BattleProblemText(*error.range)));
  return UiFormat(state, Str::BattleFieldNotNumber, CoreText(state, BattleFieldLabel(error.field, error.index)),
                  error.text);
}

QString OnlyBattleLeftMessage(const EditorState& state) { return Ui(state, Str::OnlyBattleLeft); }

QString SaveFailedMessage(const EditorState& state, const std::string& error) {
  return UiFormat(state, Str::BattleSaveFailed, CoreText(state, error));
}

QString MapNumberNotNumberMessage(const EditorState& state, const QString& text) {
  return UiFormat(state, Str::BattleMapNotNumber, text);
}

QString MapNumberOutOfRangeMessage(const EditorState& state, int m) {
  return UiFormat(state, Str::BattleMapOutOfRange, m, kBattlefieldCount - 1);
}

QString BattlefieldUnreadableMessage(const EditorState& state, int m, const std::string& error) {
  return UiFormat(state, Str::BattlefieldUnreadable, m, CoreText(state, error));
}

QString BattlefieldShortMessage(const EditorState& state, int m, size_t missingBytes) {
  return UiFormat(state, Str::BattlefieldShort, m, missingBytes);
}

QString TilesUnreadableMessage(const EditorState& state, const std::string& error) {
  return CoreText(state, error);  // the tile set's message names the files
}

QString GroundMissingMessage(const EditorState& state, int squares) {
  return UiFormat(state, Str::GroundTilesMissing, squares);
}

QString MarkerMissingMessage(const EditorState& state, const QString& indexName) {
  return UiFormat(state, Str::MarkerTileMissing, indexName);
}

}  // namespace tavrel::ui
