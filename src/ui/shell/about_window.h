#pragma once
// The about window of the help menu: the editor's title and version.
#include <QDialog>

#include "app/editor_state.h"

namespace tavrel::ui {

class AboutWindow : public QDialog {
  Q_OBJECT
 public:
  explicit AboutWindow(const EditorState& state, QWidget* parent = nullptr);
};

}  // namespace tavrel::ui
