// The z.dat patcher with a few groups checked, and the portrait replacement
// with both portraits chosen.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "app/portrait_replace.h"
#include "shots.h"
#include "ui/main/portrait_replace_window.h"
#include "ui/patcher/zdat_patcher_window.h"

TAVREL_SHOT(patcher) {
  tavrel::ui::ZdatPatcherWindow window(context.state);
  for (const char* name : {"chkMemory", "chkModifygongjimax", "chkModifyAnqi", "chkCancelAnqi", "chkaddlidui"})
    if (auto* box = window.findChild<QCheckBox*>(name)) box->setChecked(true);
  if (auto* field = window.findChild<QLineEdit*>("txtgongjimax")) field->setText("200");
  tavrel::shots::SaveShot(context, window, "patcher.png");
}

TAVREL_SHOT(replace_talk) {
  tavrel::ui::PortraitReplaceWindow window(context.state);
  // Two portraits that somebody wears, so both sides show names.
  std::vector<int> worn;
  const auto& users = context.state.game.portraitUsers;
  for (size_t p = 1; p < users.size() && worn.size() < 2; ++p)
    if (!users[p].empty()) worn.push_back(int(p));
  auto* oldSide = window.findChild<QComboBox*>("Combotalkman");
  auto* newSide = window.findChild<QComboBox*>("Combotalkman2");
  if (oldSide && newSide && worn.size() == 2) {
    oldSide->setCurrentIndex(worn[0]);
    newSide->setCurrentIndex(worn[1]);
  }
  tavrel::shots::SaveShot(context, window, "replace_talk.png");
}
