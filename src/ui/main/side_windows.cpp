#include "ui/main/side_windows.h"

namespace tavrel::ui {

// The side windows are opened from here once they exist.
void OpenBattleEditor(EditorState&, QWidget*) {}
void OpenPatcher(EditorState&, QWidget*) {}
void OpenPortraitReplacement(EditorState&, QWidget*) {}

}  // namespace tavrel::ui
