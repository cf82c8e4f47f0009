#include "ui/main/side_windows.h"

#include "ui/battle/frm_war_edit.h"

namespace tavrel::ui {

void OpenBattleEditor(EditorState& state, QWidget* parent) {
  FrmWarEdit editor(state, parent);
  editor.exec();
}

// The patcher and the portrait replacement open from here once they exist.
void OpenPatcher(EditorState&, QWidget*) {}
void OpenPortraitReplacement(EditorState&, QWidget*) {}

}  // namespace tavrel::ui
