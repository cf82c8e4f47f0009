#include "ui/battle/battle_messages.h"

#include "gamefiles/war_map.h"
#include "ui/qt_text.h"

namespace tavrel::ui {

QString WarStaReadMessage(const EditorState& state, const WarStaContents& contents) {
  if (contents.fileMissing) return Ui(state, Str::WarStaMissing);
  if (contents.ignoredBytes > 0)
    return UiFormat(state, Str::WarStaPartialRecord, kBattleRecordSize, contents.battles.size(), contents.ignoredBytes);
  return {};
}

QString WarStaUnreadableMessage(const EditorState& state, const std::string& error) {
  return UiFormat(state, Str::WarStaUnreadable, CoreText(state, error));
}

namespace {

QString FieldLabel(const EditorState& state, const BattleFieldError& e) {
  using Field = BattleFieldError::Field;
  switch (e.field) {
    case Field::Map:
      return Ui(state, Str::BattleMapNumber);
    case Field::Experience:
      return Ui(state, Str::VictoryExperience);
    case Field::Music:
      return Ui(state, Str::BattleMusic);
    case Field::PersonX:
      return Ui(state, Str::ParticipantCoordinates) + QStringLiteral(" %1 X").arg(e.index);
    case Field::PersonY:
      return Ui(state, Str::ParticipantCoordinates) + QStringLiteral(" %1 Y").arg(e.index);
    case Field::EnemyX:
      return Ui(state, Str::BattleEnemies) + QStringLiteral(" E%1 X").arg(e.index);
    case Field::EnemyY:
      return Ui(state, Str::BattleEnemies) + QStringLiteral(" E%1 Y").arg(e.index);
  }
  return {};
}

}  // namespace

QString FieldErrorMessage(const EditorState& state, const BattleFieldError& error) {
  return UiFormat(state, Str::BattleFieldNotNumber, FieldLabel(state, error), error.text);
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
