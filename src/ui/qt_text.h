#pragma once
// The bridge between the core's UTF-8 text and Qt.
#include <QString>
#include <string>

#include "app/editor_state.h"

namespace tavrel::ui {

inline QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }
inline std::string U8(const QString& text) { return text.toStdString(); }
// Interface string n in the state's charset.
inline QString Ui(const EditorState& state, int number) { return Q(state.text().UiString(number)); }

}  // namespace tavrel::ui
