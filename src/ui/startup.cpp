#include "ui/startup.h"

#include <QApplication>
#include <QDir>

#include "app/program_files.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"
#include "ui/qt_translations.h"
#include "ui/shell/select_charset_window.h"

namespace tavrel::ui {

std::unique_ptr<MainWindow> StartEditor(EditorState& state, const QString& gameDirectory) {
  state.charset = GameCharset::Gbk;
  state.gameDirectory.clear();
  state.programDir = FindDataDirectory(QCoreApplication::applicationDirPath().toStdU16String());

  // The charset window is the only window for a moment; its closing must not
  // end the program.
  const bool quitOnClose = QApplication::quitOnLastWindowClosed();
  QApplication::setQuitOnLastWindowClosed(false);
  const GameCharset charset = ChooseCharset();
  QApplication::setQuitOnLastWindowClosed(quitOnClose);

  // Without the translation Qt's buttons stay English; the editor still runs.
  InstallQtTranslation(charset);
  auto started = InitializeEditor(state, charset);
  // The messages of start-up carry the main window's title already.
  if (state.codec) SetDefaultTitle(Ui(state, Str::EditorTitle));
  if (!started) {
    ShowMessage(nullptr, state.codec ? CoreText(state, started.error()) : Q(started.error()));
    return nullptr;
  }
  for (const std::string& warning : started->warnings) ShowMessage(nullptr, CoreText(state, warning));

  auto window = std::make_unique<MainWindow>(state);
  window->show();
  if (!gameDirectory.isEmpty()) {
    window->setGameDirectory(QDir::toNativeSeparators(QDir::cleanPath(gameDirectory)));
    window->readFiles();
  }
  return window;
}

}  // namespace tavrel::ui
