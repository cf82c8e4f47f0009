#include "ui/main/side_windows.h"

#include "ui/battle/frm_war_edit.h"
#include "ui/main/replace_talk_window.h"
#include "ui/patcher/frm_z_modify.h"

namespace tavrel::ui {

void OpenBattleEditor(EditorState& state, QWidget* parent) {
  FrmWarEdit editor(state, parent);
  editor.exec();
}

void OpenPatcher(EditorState& state, QWidget* parent) {
  FrmZModify patcher(state, parent);
  patcher.exec();
}

void OpenPortraitReplacement(EditorState& state, QWidget* parent) {
  // With no event there is nothing to replace in; the menu item does nothing.
  if (state.eventCount() == 0) return;
  FrmReplaceTalk replacement(state, parent);
  replacement.exec();
}

}  // namespace tavrel::ui
