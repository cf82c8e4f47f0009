#include "ui/main/side_windows.h"

#include "ui/battle/battle_editor_window.h"
#include "ui/main/portrait_replace_window.h"
#include "ui/patcher/zdat_patcher_window.h"

namespace tavrel::ui {

void OpenBattleEditor(EditorState& state, QWidget* parent, int battle) {
  BattleEditorWindow editor(state, parent);
  if (battle >= 0) editor.chooseBattle(battle);
  editor.exec();
}

void OpenPatcher(EditorState& state, QWidget* parent) {
  ZdatPatcherWindow patcher(state, parent);
  patcher.exec();
}

void OpenPortraitReplacement(EditorState& state, QWidget* parent) {
  // With no event there is nothing to replace in; the menu item does nothing.
  if (state.eventCount() == 0) return;
  PortraitReplaceWindow replacement(state, parent);
  replacement.exec();
}

}  // namespace tavrel::ui
