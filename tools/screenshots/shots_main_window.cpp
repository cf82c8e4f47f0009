// The main window on the sample game with an event, an instruction and a
// dialogue chosen, as a modder sees it while editing.
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

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

// The edit menu after one instruction was modified: undo names the step.
TAVREL_SHOT(edit_menu) {
  tavrel::ui::MainWindow window(context.state);
  window.resize(960, 640);
  window.setGameDirectory(context.gameDir);
  if (!window.readFiles()) return;
  auto* events = window.findChild<QComboBox*>("Combokdef");
  if (events && events->count() > 7) events->setCurrentIndex(7);
  auto* lines = window.findChild<QListView*>("listkdef");
  if (lines && lines->model()->rowCount() > 2) lines->setCurrentIndex(lines->model()->index(2, 0));
  auto* words = window.findChild<QListWidget*>("Liststatement");
  auto* word = window.findChild<QLineEdit*>("txtword");
  auto* modifyWord = window.findChild<QPushButton*>("cmdmodifyword");
  auto* modify = window.findChild<QPushButton*>("cmdmodifystatement");
  if (!words || !word || !modifyWord || !modify || words->count() < 2) return;
  words->setCurrentRow(1);
  word->setText(QString::number(word->text().toInt() + 1));
  modifyWord->click();
  modify->click();
  window.show();
  auto* menu = window.findChild<QMenu*>("mnu_history");
  if (!menu) return;
  menu->popup(window.mapToGlobal(QPoint(0, 0)));
  tavrel::shots::SaveShot(context, *menu, "edit_menu.png");
}
