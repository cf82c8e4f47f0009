#pragma once
// The one instruction dialog: it builds a control per catalogue row of its
// form, shows the statement's words in them at load, and on OK writes them
// back through the core (or refuses with a message and stays open). The
// dialogs with previews derive from it and add their controls and behaviour.
#include <QDialog>
#include <QString>
#include <span>
#include <string_view>
#include <vector>

#include "app/editor_state.h"
#include "app/instruction_catalogue.h"

class QComboBox;
class QGridLayout;
class QLineEdit;
class QVBoxLayout;

namespace tavrel::ui {

class InstructionDialog : public QDialog {
  Q_OBJECT
 public:
  struct Options {
    QString okName = QStringLiteral("cmdok");
    QString cancelName = QStringLiteral("cmdcancel");
    int frameString = 0;  // the fields inside a frame `Frame1` with this caption; 0: no frame
  };

  InstructionDialog(EditorState& state, Statement& statement, std::string_view form, QWidget* parent,
                    const Options& options);
  InstructionDialog(EditorState& state, Statement& statement, std::string_view form, QWidget* parent = nullptr)
      : InstructionDialog(state, statement, form, parent, Options{}) {}

  // Shows the words in the controls; run once after construction.
  void load();

 protected:
  // After the words are shown.
  virtual void afterLoad() {}
  // OK: writes the words; false refuses (the message has been shown) and
  // the dialog stays open.
  virtual bool write();

  // The controls' current state, one value per row.
  std::vector<FieldValue> gather() const;
  // The control of a row by its objectName; nullptr when the dialog has none.
  QWidget* control(std::string_view name) const;
  QComboBox* listControl(std::string_view name) const;
  QLineEdit* textControl(std::string_view name) const;
  // The text box of the row with `role`; nullptr when the dialog has none.
  QLineEdit* textControl(FieldRole role) const;
  // Room to the right of the fields, and below them, for a dialog's own controls.
  QVBoxLayout* sideArea() const { return side_; }
  QVBoxLayout* belowFields() const { return below_; }

  EditorState& state_;
  Statement& statement_;
  std::span<const CatalogueRow> rows_;

 private:
  void confirm();
  QWidget* makeControl(const CatalogueRow& row, QWidget* parent);

  std::vector<QWidget*> controls_;  // one per row
  QVBoxLayout* side_ = nullptr;
  QVBoxLayout* below_ = nullptr;
};

}  // namespace tavrel::ui
