#pragma once
// The side windows of the main window, each modal: the battle editor, the
// z.dat patcher and the speaker portrait replacement.
#include "app/editor_state.h"

class QWidget;

namespace tavrel::ui {

void OpenBattleEditor(EditorState& state, QWidget* parent);
void OpenPatcher(EditorState& state, QWidget* parent);
// Commits the events it changes; the caller shows the current event again afterwards.
void OpenPortraitReplacement(EditorState& state, QWidget* parent);

}  // namespace tavrel::ui
