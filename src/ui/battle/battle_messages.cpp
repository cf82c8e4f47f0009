#include "ui/battle/battle_messages.h"

#include "gamefiles/war_map.h"
#include "ui/qt_text.h"

namespace tavrel::ui {

QString WarStaReadMessage(const EditorState& state, const WarStaContents& contents) {
  if (contents.fileMissing) return Ui(state, 20220);
  if (contents.ignoredBytes > 0)
    return UiFormat(state, 20221, kBattleRecordSize, contents.battles.size(), contents.ignoredBytes);
  return {};
}

QString WarStaUnreadableMessage(const EditorState& state, const std::string& error) {
  return UiFormat(state, 20222, CoreText(state, error));
}

namespace {

QString FieldLabel(const EditorState& state, const BattleFieldError& e) {
  using Field = BattleFieldError::Field;
  switch (e.field) {
    case Field::Map: return Ui(state, 10003);
    case Field::Experience: return Ui(state, 10004);
    case Field::Music: return Ui(state, 10005);
    case Field::PersonX: return Ui(state, 10008) + QStringLiteral(" %1 X").arg(e.index);
    case Field::PersonY: return Ui(state, 10008) + QStringLiteral(" %1 Y").arg(e.index);
    case Field::EnemyX: return Ui(state, 10009) + QStringLiteral(" E%1 X").arg(e.index);
    case Field::EnemyY: return Ui(state, 10009) + QStringLiteral(" E%1 Y").arg(e.index);
  }
  return {};
}

}  // namespace

QString FieldErrorMessage(const EditorState& state, const BattleFieldError& error) {
  return UiFormat(state, 20223, FieldLabel(state, error), error.text);
}

QString OnlyBattleLeftMessage(const EditorState& state) { return Ui(state, 20224); }

QString SaveFailedMessage(const EditorState& state, const std::string& error) {
  return UiFormat(state, 20225, CoreText(state, error));
}

QString MapNumberNotNumberMessage(const EditorState& state, const QString& text) {
  return UiFormat(state, 20226, text);
}

QString MapNumberOutOfRangeMessage(const EditorState& state, int m) {
  return UiFormat(state, 20227, m, kBattlefieldCount - 1);
}

QString BattlefieldUnreadableMessage(const EditorState& state, int m, const std::string& error) {
  return UiFormat(state, 20228, m, CoreText(state, error));
}

QString BattlefieldShortMessage(const EditorState& state, int m, size_t missingBytes) {
  return UiFormat(state, 20229, m, missingBytes);
}

QString TilesUnreadableMessage(const EditorState& state, int m, const std::string& error) {
  return UiFormat(state, 20230, BattleTileIndexName(m), BattleTileDataName(m), CoreText(state, error));
}

QString GroundMissingMessage(const EditorState& state, int squares) { return UiFormat(state, 20231, squares); }

QString MarkerMissingMessage(const EditorState& state, int m) {
  return UiFormat(state, 20232, BattleTileIndexName(m));
}

}  // namespace tavrel::ui
