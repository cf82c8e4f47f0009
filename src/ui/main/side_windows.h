#pragma once
// The side windows of the main window, each modal: the battle editor, the
// z.dat patcher and the speaker portrait replacement.
#include "app/editor_state.h"

class QWidget;

namespace tavrel::ui {

// With `battle` (a check result's), that battle is chosen when the editor opens.
void OpenBattleEditor(EditorState& state, QWidget* parent, int battle = -1);
void OpenPatcher(EditorState& state, QWidget* parent);
// Commits the events it changes; the caller shows the current event again afterwards.
void OpenPortraitReplacement(EditorState& state, QWidget* parent);

}  // namespace tavrel::ui
