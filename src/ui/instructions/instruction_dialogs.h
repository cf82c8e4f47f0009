#pragma once
// The instruction editing dialogs, reached through one function: the guide
// button of the main window names the dialog of the chosen instruction's kind.
#include <memory>
#include <string_view>

#include "app/editor_state.h"

class QDialog;
class QWidget;

namespace tavrel::ui {

// The dialog `form` (for example "frmStatement_0x01") on the statement at
// `line` of `event`, loaded and ready to show; nullptr when there is no such
// dialog or no such statement.
std::unique_ptr<QDialog> MakeInstructionDialog(std::string_view form, EditorState& state, int event, int line,
                                               QWidget* parent);

// Opens the dialog `form` modally on the statement at `line` of `event`; the
// dialog edits that statement's data words in place. Returns false when there
// is no such dialog, so the caller can say that no guide exists yet.
bool OpenInstructionDialog(std::string_view form, EditorState& state, int event, int line, QWidget* parent);

}  // namespace tavrel::ui
