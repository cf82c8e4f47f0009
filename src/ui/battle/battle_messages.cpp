#include "ui/battle/battle_messages.h"

#include "gamefiles/war_map.h"
#include "ui/qt_text.h"

namespace tavrel::ui {

QString Said(const EditorState& state, const QString& simplified) {
  return Q(state.text().MapInterfaceText(U8(simplified)));
}

QString WarStaReadMessage(const EditorState& state, const WarStaContents& contents) {
  if (contents.fileMissing)
    return Said(state, QStringLiteral("游戏目录中没有 war.sta，战斗列表为空。保存时将新建该文件。"));
  if (contents.ignoredBytes > 0)
    return Said(state, QStringLiteral("war.sta 的长度不是 %1 的整数倍：已读入 %2 个完整的战斗，"
                                      "末尾 %3 个字节不足一个战斗，已忽略（保存时不再写入）。")
                           .arg(kBattleRecordSize)
                           .arg(contents.battles.size())
                           .arg(contents.ignoredBytes));
  return {};
}

QString WarStaUnreadableMessage(const EditorState& state, const std::string& error) {
  return Said(state, QStringLiteral("war.sta 无法读取，战斗列表为空：")) + Q(error);
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
  return Said(state, QStringLiteral("“%1”中的“%2”不是 -32768 到 32767 之间的整数，战斗没有改动。"))
      .arg(FieldLabel(state, error), Q(error.text));
}

QString OnlyBattleLeftMessage(const EditorState& state) {
  return Said(state, QStringLiteral("只剩一个战斗，不能删除。"));
}

QString SaveFailedMessage(const EditorState& state, const std::string& error) {
  return Said(state, QStringLiteral("战斗场景文件没有保存：")) + Q(error);
}

QString MapNumberNotNumberMessage(const EditorState& state, const QString& text) {
  return Said(state, QStringLiteral("战斗地图编号“%1”不是整数，没有战场可显示。")).arg(text);
}

QString MapNumberOutOfRangeMessage(const EditorState& state, int m) {
  return Said(state, QStringLiteral("战斗地图编号 %1 不在 0 到 %2 之间，没有战场可显示。"))
      .arg(m)
      .arg(kBattlefieldCount - 1);
}

QString BattlefieldUnreadableMessage(const EditorState& state, int m, const std::string& error) {
  return Said(state, QStringLiteral("战场 %1 无法读取：")).arg(m) + Q(error);
}

QString BattlefieldShortMessage(const EditorState& state, int m, size_t missingBytes) {
  return Said(state, QStringLiteral("战场 %1 的数据不完整：缺少 %2 个字节，按 0 显示。")).arg(m).arg(missingBytes);
}

QString TilesUnreadableMessage(const EditorState& state, int m, const std::string& error) {
  return Said(state, QStringLiteral("战场 %1 的图块无法读取：")).arg(m) + Q(error);
}

QString GroundMissingMessage(const EditorState& state, int squares) {
  return Said(state, QStringLiteral("%1 个方格的地面图块不在图块集中，未画出。")).arg(squares);
}

QString MarkerMissingMessage(const EditorState& state, const QString& indexName) {
  return Said(state, QStringLiteral("图块集 %1 中没有 0 号图块，中心标记未画出。")).arg(indexName);
}

}  // namespace tavrel::ui
