// The instruction dialogs on statements of the sample game.
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>

#include "app/commands.h"
#include "shots.h"
#include "ui/instructions/instruction_dialogs.h"

namespace {

// The first statement of kind `opcode`: (event, line), or (-1, -1).
std::pair<int, int> FindStatement(tavrel::EditorState& state, int16_t opcode) {
  for (int e = 0; e < state.eventCount(); ++e) {
    tavrel::ShowEventLines(state, e);
    const auto& list = state.game.events.events[size_t(e)].statements;
    for (size_t k = 0; k < list.size(); ++k)
      if (!list[k].islabel && list[k].Id == opcode) return {e, int(k)};
  }
  return {-1, -1};
}

// `scene`: chosen by hand for the previews (-1: none); `browse`: the browsed picture number.
void Shoot(tavrel::shots::ShotContext& context, int16_t opcode, const char* form, const QString& file, int scene = -1,
           const char* browse = nullptr) {
  const auto [event, line] = FindStatement(context.state, opcode);
  auto dialog = tavrel::ui::MakeInstructionDialog(form, context.state, event, line, nullptr);
  if (!dialog) return;
  if (auto* manual = dialog->findChild<QComboBox*>("Combomanual"); manual && scene >= 0) manual->setCurrentIndex(scene);
  if (auto* picture = dialog->findChild<QLineEdit*>("txtpic"); picture && browse) picture->setText(browse);
  tavrel::shots::SaveShot(context, *dialog, file, 700);
}

}  // namespace

TAVREL_SHOT(instruction_dialogue) { Shoot(context, 1, "frmStatement_0x01", "instruction_dialogue.png"); }
TAVREL_SHOT(instruction_scene_event) { Shoot(context, 3, "frmstatement_0x03", "instruction_scene_event.png", 2, "40"); }
TAVREL_SHOT(instruction_scene_tile) { Shoot(context, 17, "frmStatement_0x11", "instruction_scene_tile.png", 4, "60"); }
TAVREL_SHOT(instruction_person) { Shoot(context, 35, "frmStatement_0x23", "instruction_person.png"); }
