// The battle editor on the sample game's fourth battle and the battlefield
// view of its map with the participant and enemy markers.
#include <QComboBox>

#include "shots.h"
#include "ui/battle/frm_war_edit.h"
#include "ui/battle/frm_war_map.h"

TAVREL_SHOT(battle_editor) {
  tavrel::ui::FrmWarEdit editor(context.state);
  if (auto* battles = editor.findChild<QComboBox*>("Combowar"); battles && battles->count() > 3) battles->setCurrentIndex(3);
  tavrel::shots::SaveShot(context, editor, "battle_editor.png");
  if (editor.chosenBattle() < 0) return;
  tavrel::ui::frmwarmap view(context.state, editor.chosenBattle(), editor.mapText());
  tavrel::shots::SaveShot(context, view, "battle_map.png");
}
