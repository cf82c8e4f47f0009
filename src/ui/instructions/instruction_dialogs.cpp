#include "ui/instructions/instruction_dialogs.h"

#include <QDialog>
#include <span>

#include "app/commands.h"
#include "script/instruction_kinds.h"
#include "ui/instructions/dialogue_dialog.h"
#include "ui/instructions/instruction_dialog.h"
#include "ui/instructions/picture_dialogs.h"

namespace tavrel::ui {
namespace {

using Maker = std::unique_ptr<InstructionDialog> (*)(EditorState&, Statement&, std::string_view, QWidget*);

template <class Dialog>
std::unique_ptr<InstructionDialog> Make(EditorState& state, Statement& statement, std::string_view form,
                                        QWidget* parent) {
  return std::make_unique<Dialog>(state, statement, form, parent);
}

// The dialogs with behaviour beyond their catalogue rows, by the class the
// instruction kinds give them; every other form is the plain dialog.
Maker MakerFor(std::string_view form) {
  const std::span<const CatalogueRow> rows = DialogRows(form);
  switch (rows.empty() ? DialogClass::Plain : KindOf(rows.front().opcode).dialogClass) {
    case DialogClass::Dialogue:
      return &Make<DialogueDialog>;
    case DialogClass::SceneEvent:
    case DialogClass::TilePreview:
      return &Make<PicturePreviewDialog>;
    case DialogClass::Plain:
      break;
  }
  return &Make<InstructionDialog>;
}

}  // namespace

std::unique_ptr<QDialog> MakeInstructionDialog(std::string_view form, EditorState& state, int event, int line,
                                               QWidget* parent) {
  if (DialogRows(form).empty()) return nullptr;
  Statement* statement = StatementAt(state, event, line);
  if (statement == nullptr) return nullptr;
  std::unique_ptr<InstructionDialog> dialog = MakerFor(form)(state, *statement, form, parent);
  dialog->load();
  return dialog;
}

bool OpenInstructionDialog(std::string_view form, EditorState& state, int event, int line, QWidget* parent) {
  if (DialogRows(form).empty()) return false;
  if (std::unique_ptr<QDialog> dialog = MakeInstructionDialog(form, state, event, line, parent)) dialog->exec();
  return true;
}

}  // namespace tavrel::ui
