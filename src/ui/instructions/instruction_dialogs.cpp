#include "ui/instructions/instruction_dialogs.h"

#include <QDialog>
#include <algorithm>
#include <iterator>

#include "app/commands.h"
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

// The dialogs with behaviour beyond their catalogue rows; every other form
// of the catalogue is the plain dialog.
struct Special {
  std::string_view form;
  Maker make;
};
constexpr Special kSpecial[] = {
    {"frmStatement_0x01", &Make<DialogueDialog>},
    {"frmstatement_0x03", &Make<PicturePreviewDialog>},
    {"frmStatement_0x11", &Make<PicturePreviewDialog>},
    {"frmStatement_0x1B", &Make<PicturePreviewDialog>},
    {"frmStatement_0x2c", &Make<PicturePreviewDialog>},
    {"frmStatement_0x3c", &Make<PicturePreviewDialog>},
};

Maker MakerFor(std::string_view form) {
  const auto* special = std::find_if(std::begin(kSpecial), std::end(kSpecial),
                                     [&](const Special& s) { return s.form == form; });
  if (special != std::end(kSpecial) && special->make != nullptr) return special->make;
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
