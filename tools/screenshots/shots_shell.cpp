// The small windows of the shell: the charset window of start-up, the
// game-directory window open on the sample game, the about window, and the
// insert-instruction dialog with a conditional kind chosen.
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QTreeView>

#include "app/commands.h"
#include "shots.h"
#include "ui/main/insert_statement_dialog.h"
#include "ui/shell/about_window.h"
#include "ui/shell/game_path_window.h"
#include "ui/shell/select_charset_window.h"

TAVREL_SHOT(select_charset) {
  tavrel::ui::SelectCharsetWindow window(
      tavrel::ui::StartChoice{tavrel::GameCharset::Gbk, tavrel::CurrentInterfaceLanguage()});
  tavrel::shots::SaveShot(context, window, "select_charset.png");
}

TAVREL_SHOT(game_path) {
  // The window forgets the directory it was opened on; the shots after this
  // one still need it.
  const std::string gameDirectory = context.state.gameDirectory;
  {
    tavrel::ui::GamePathWindow window(context.state);
    window.resize(460, 360);
    // The tree opens on the sample game once the file system model has read
    // the directories on the way; shown from the scratch directory above the
    // game so the picture holds the game and not the machine's own folders.
    auto* tree = window.findChild<QTreeView*>("Dir1");
    auto* model = tree ? qobject_cast<QFileSystemModel*>(tree->model()) : nullptr;
    if (model) {
      const QString above = QFileInfo(context.gameDir).absolutePath();
      QDir(above).mkpath("game-backup");
      QDir(above).mkpath("game-mod");
      model->setRootPath(above);
      tree->setRootIndex(model->index(above));
      tree->setCurrentIndex(model->index(context.gameDir));
    }
    tavrel::shots::SaveShot(context, window, "game_path.png", 800);
  }
  context.state.gameDirectory = gameDirectory;
}

TAVREL_SHOT(about) {
  tavrel::ui::AboutWindow window(context.state);
  tavrel::shots::SaveShot(context, window, "about.png");
}

TAVREL_SHOT(insert_instruction) {
  // An event with a few instructions, and the first conditional kind chosen
  // so the jump choice shows.
  int event = 0;
  while (event + 1 < context.state.eventCount() && tavrel::ShowEventLines(context.state, event).lines.size() < 3)
    ++event;
  tavrel::ui::InsertStatementDialog dialog(context.state, event, 1);
  if (auto* choices = dialog.findChild<QComboBox*>("ComboStatment"))
    for (int entry = 0; entry < choices->count(); ++entry)
      if (tavrel::InsertShowsJumpChoice(context.state, entry)) {
        choices->setCurrentIndex(entry);
        break;
      }
  tavrel::shots::SaveShot(context, dialog, "insert_instruction.png");
}
