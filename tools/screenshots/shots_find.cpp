// The find window with a scene's reference search run on the sample game,
// and the check window after a check of a game with one broken reference.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>

#include "shots.h"
#include "ui/find/check_window.h"
#include "ui/find/find_window.h"
#include "ui/main/main_window.h"

TAVREL_SHOT(find_window) {
  tavrel::ui::MainWindow window(context.state);
  window.setGameDirectory(context.gameDir);
  if (!window.readFiles()) return;
  tavrel::ui::FindWindow* find = window.openFind();
  if (find == nullptr) return;
  find->findReference(tavrel::RefKind::Scene, 4);
  QElapsedTimer clock;
  clock.start();
  while (find->searching() && clock.elapsed() < 10000) QApplication::processEvents();
  find->step(+1);
  tavrel::shots::SaveShot(context, *find, "find_window.png");
}

TAVREL_SHOT(check_window) {
  tavrel::ui::MainWindow window(context.state);
  window.setGameDirectory(context.gameDir);
  if (!window.readFiles()) return;
  // One event that shows a dialogue past the last one.
  auto& events = context.state.game.events.events;
  if (!events.empty()) events.back().words = {1, int16_t(context.state.talkCount() + 40), 2, 0, -1};
  tavrel::ui::CheckWindow* check = window.openCheck();
  if (check == nullptr) return;
  tavrel::shots::SaveShot(context, *check, "check_window.png");
}
