#pragma once
// The instruction editing dialogs, reached through one function: the guide
// button of the main window names the dialog of the chosen instruction's kind.
#include <string_view>

#include "app/editor_state.h"

class QWidget;

namespace tavrel::ui {

// Opens the dialog `form` (for example "frmStatement_0x01") modally on the
// statement at `line` of `event`; the dialog edits that statement's data
// words in place. Returns false when there is no such dialog, so the caller
// can say that no guide exists yet.
bool OpenInstructionDialog(std::string_view form, EditorState& state, int event, int line, QWidget* parent);

}  // namespace tavrel::ui
