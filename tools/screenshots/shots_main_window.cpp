// The main window on the sample game with an event, an instruction and a
// dialogue chosen, as a modder sees it while editing.
#include <QComboBox>
#include <QListView>

#include "shots.h"
#include "ui/main/main_window.h"

TAVREL_SHOT(main_window) {
  tavrel::ui::MainWindow window(context.state);
  window.resize(960, 640);
  window.setGameDirectory(context.gameDir);
  if (!window.readFiles()) return;
  auto* events = window.findChild<QComboBox*>("Combokdef");
  if (events && events->count() > 7) events->setCurrentIndex(7);
  auto* lines = window.findChild<QListView*>("listkdef");
  if (lines && lines->model()->rowCount() > 2) lines->setCurrentIndex(lines->model()->index(2, 0));
  auto* dialogues = window.findChild<QComboBox*>("Combotalk");
  if (dialogues && dialogues->count() > 5) dialogues->setCurrentIndex(5);
  tavrel::shots::SaveShot(context, window, "main_window.png");
}
