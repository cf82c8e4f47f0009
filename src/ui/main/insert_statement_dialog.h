#pragma once
// The insert-instruction dialog: every instruction kind plus the end
// instruction; for a conditional kind it also asks which way the jump goes.
// OK inserts in front of the chosen line and lays the event out again; the
// caller commits.
#include <QDialog>

#include "app/editor_state.h"
#include "script/decode.h"

class QComboBox;
class QGroupBox;
class QRadioButton;

namespace tavrel::ui {

class InsertStatementDialog : public QDialog {
  Q_OBJECT
 public:
  InsertStatementDialog(EditorState& state, int event, int line, QWidget* parent = nullptr);

  bool inserted() const { return inserted_; }
  // The decoding of the re-layout, for the unknown-words message.
  const DecodeReport& report() const { return report_; }

 private:
  void choose(int entry);
  void insert();

  EditorState& state_;
  int event_;
  int line_;
  bool inserted_ = false;
  DecodeReport report_;
  QComboBox* choices_ = nullptr;
  QGroupBox* jumpFrame_ = nullptr;
  QRadioButton* jumpYes_ = nullptr;
  QRadioButton* jumpNo_ = nullptr;
};

}  // namespace tavrel::ui
