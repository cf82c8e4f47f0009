#pragma once
// Start-up: the charset window, the two data files beside the program, then
// the main window. Used by main() and by the tests.
#include <QString>
#include <memory>
#include <optional>

#include "app/editor_state.h"
#include "text/ui_strings.h"
#include "ui/main/main_window.h"

namespace tavrel::ui {

// Runs the start-up on `state` with the program's own directory as
// state.programDir. Returns the shown main window, or nullptr when a data
// file stopped the start (its message has been shown). A non-empty
// `gameDirectory` is set and read at once, as if chosen in the menu; without
// one, the last game directory remembered is offered. `language` (the
// command line's) is chosen in the charset window in place of the
// remembered one.
std::unique_ptr<MainWindow> StartEditor(EditorState& state, const QString& gameDirectory = {},
                                        std::optional<InterfaceLanguage> language = std::nullopt);

}  // namespace tavrel::ui
