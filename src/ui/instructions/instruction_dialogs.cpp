#include "ui/instructions/instruction_dialogs.h"

namespace tavrel::ui {

// No dialog is registered yet; every guide falls back to its message.
bool OpenInstructionDialog(std::string_view, EditorState&, int, int, QWidget*) { return false; }

}  // namespace tavrel::ui
