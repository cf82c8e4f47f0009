// The battle editor on the sample game's fourth battle and the battlefield
// view of its map with the participant and enemy markers.
#include <QComboBox>

#include "shots.h"
#include "ui/battle/battle_editor_window.h"
#include "ui/battle/battlefield_window.h"

TAVREL_SHOT(battle_editor) {
  tavrel::ui::BattleEditorWindow editor(context.state);
  if (auto* battles = editor.findChild<QComboBox*>("Combowar"); battles && battles->count() > 3)
    battles->setCurrentIndex(3);
  tavrel::shots::SaveShot(context, editor, "battle_editor.png");
  if (editor.chosenBattle() < 0) return;
  tavrel::ui::BattlefieldWindow view(context.state, editor.chosenBattle(), editor.mapText());
  tavrel::shots::SaveShot(context, view, "battle_map.png");
}
