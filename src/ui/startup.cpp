#include "ui/startup.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include "app/program_files.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"
#include "ui/qt_translations.h"
#include "ui/settings.h"
#include "ui/shell/select_charset_window.h"

namespace tavrel::ui {

std::unique_ptr<MainWindow> StartEditor(EditorState& state, const QString& gameDirectory,
                                        std::optional<InterfaceLanguage> language) {
  state.charset = GameCharset::Gbk;
  state.gameDirectory.clear();
  state.programDir = FindDataDirectory(QCoreApplication::applicationDirPath().toStdU16String());

  // The choice of the last run, unless the command line names a language.
  EditorSettings* settings = Settings();
  StartChoice initial;
  if (settings) {
    initial.charset = settings->charset().value_or(GameCharset::Gbk);
    initial.language = settings->language().value_or(InterfaceLanguage::Chinese);
  }
  if (language) initial.language = *language;
  SetInterfaceLanguage(initial.language);
  if (settings && !settings->problem().isEmpty()) ShowMessage(nullptr, settings->problem());

  // The charset window is the only window for a moment; its closing must not
  // end the program.
  const bool quitOnClose = QApplication::quitOnLastWindowClosed();
  QApplication::setQuitOnLastWindowClosed(false);
  const StartChoice choice = ChooseStart(initial);
  QApplication::setQuitOnLastWindowClosed(quitOnClose);
  if (settings) settings->setStartChoice(choice.charset, choice.language);

  // Without the translation Qt's buttons stay English; the editor still runs.
  InstallQtTranslation(choice.charset);
  auto started = InitializeEditor(state, choice.charset);
  // The messages of start-up carry the main window's title already.
  if (state.codec) SetDefaultTitle(Ui(state, Str::EditorTitle));
  if (!started) {
    ShowMessage(nullptr, state.codec ? CoreText(state, started.error()) : Q(started.error()));
    return nullptr;
  }
  for (const std::string& warning : started->warnings) ShowMessage(nullptr, CoreText(state, warning));

  auto window = std::make_unique<MainWindow>(state);
  window->show();
  QString directory = gameDirectory;
  if (directory.isEmpty() && settings && !settings->recentDirectories().isEmpty()) {
    // Offered only while it is still there.
    const QString last = settings->recentDirectories().front();
    if (QFileInfo(last).isDir() && AskOkCancel(window.get(), UiFormat(state, Str::OpenLastDirectoryQuestion, last)))
      directory = last;
  }
  if (!directory.isEmpty()) {
    window->setGameDirectory(QDir::toNativeSeparators(QDir::cleanPath(directory)));
    window->readFiles();
  }
  return window;
}

}  // namespace tavrel::ui
