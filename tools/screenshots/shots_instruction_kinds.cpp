// One picture of every instruction dialog, each on the first instruction of
// its kind in the sample game: instruction_0xNN.png after the lowest opcode
// the dialog serves. The dialogs pictured with chosen previews elsewhere
// (dialogue, scene event, scene tile, person) are left to those shots. The
// tile dialogs get a scene chosen by hand so their previews show pictures,
// and their animations are played once.
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/guide.h"
#include "shots.h"
#include "ui/instructions/instruction_dialogs.h"

namespace {

constexpr std::string_view kShotElsewhere[] = {"frmStatement_0x01", "frmstatement_0x03", "frmStatement_0x11",
                                               "frmStatement_0x23"};

// Every event's statements decoded once: opcode -> (event, line) of its first use.
std::map<int16_t, std::pair<int, int>> FirstUses(tavrel::EditorState& state) {
  std::map<int16_t, std::pair<int, int>> uses;
  for (int e = 0; e < state.eventCount(); ++e) {
    tavrel::ShowEventLines(state, e);
    const auto& list = state.game.events.events[size_t(e)].statements;
    for (size_t k = 0; k < list.size(); ++k)
      if (!list[k].islabel) uses.emplace(list[k].Id, std::pair{e, int(k)});
  }
  return uses;
}

}  // namespace

TAVREL_SHOT(instruction_kinds) {
  // The opcodes each dialog serves, in opcode order.
  std::map<std::string_view, std::vector<int16_t>> forms;
  for (int16_t op = 0; op < tavrel::kOpcodeCount; ++op)
    if (const tavrel::Guide guide = tavrel::GuideFor(op); guide.kind == tavrel::GuideKind::Dialog)
      forms[guide.form].push_back(op);
  const auto uses = FirstUses(context.state);
  for (const auto& [form, opcodes] : forms) {
    if (std::find(std::begin(kShotElsewhere), std::end(kShotElsewhere), form) != std::end(kShotElsewhere)) continue;
    bool shot = false;
    for (int16_t op : opcodes) {
      const auto use = uses.find(op);
      if (use == uses.end()) continue;
      auto dialog =
          tavrel::ui::MakeInstructionDialog(form, context.state, use->second.first, use->second.second, nullptr);
      if (!dialog) continue;
      if (auto* manual = dialog->findChild<QComboBox*>("Combomanual"); manual && manual->count() > 2)
        manual->setCurrentIndex(2);
      if (auto* browse = dialog->findChild<QLineEdit*>("txtpic")) browse->setText("40");
      for (const char* play : {"cmdshow", "cmdshow2"})
        if (auto* button = dialog->findChild<QPushButton*>(play)) button->click();
      char file[40];
      std::snprintf(file, sizeof file, "instruction_0x%02X.png", unsigned(opcodes.front()));
      tavrel::shots::SaveShot(context, *dialog, file, 500);
      shot = true;
      break;
    }
    if (!shot) std::fprintf(stderr, "no instruction of %s in the sample game\n", std::string(form).c_str());
  }
}
