#pragma once
// The bridge between the core's UTF-8 text and Qt.
#include <QString>
#include <string>
#include <type_traits>
#include <utility>

#include <fmt/format.h>

#include "app/editor_state.h"
#include "text/ui_strings.h"

namespace tavrel::ui {

inline QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }
inline std::string U8(const QString& text) { return text.toStdString(); }
// Interface string n in the state's charset (in an English run: English).
inline QString Ui(const EditorState& state, int number) { return Q(state.text().UiString(number)); }
// Interface string n as the table of the run's language has it (Chinese:
// simplified), for what is shown before a charset is chosen.
inline QString TableText(int number) { return Q(std::string(InterfaceStringText(number))); }
// A message the core built (an error(), a report) in the state's charset: the
// core writes them in simplified characters, a "BIG5" run shows them
// traditional; an English run shows them as they are.
inline QString CoreText(const EditorState& state, const std::string& message) {
  return Q(state.text().MapInterfaceText(message));
}

namespace detail {
inline std::string FormatArg(const QString& text) { return U8(text); }
template <class T>
const T& FormatArg(const T& value) {
  return value;
}
}  // namespace detail

// Interface string n in the state's charset with each "{}" replaced by the
// next argument and each "[one|other]" agreeing with its number
// (FillInterfaceText); arguments are shown as they are (game data, numbers, paths).
template <class... Args>
QString UiFormat(const EditorState& state, int number, const Args&... args) {
  return Q(FormatText(state.text().UiText(number), detail::FormatArg(args)...));
}

}  // namespace tavrel::ui
