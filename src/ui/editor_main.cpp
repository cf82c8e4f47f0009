// tavrel-editor [--language zh|en] [GAMEDIR]: the editor; a game directory
// given on the command line is set and read right after the charset window.
#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

#include "app/editor_state.h"
#include "ui/settings.h"
#include "ui/startup.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName("tavrel");
  QApplication::setApplicationName("tavrel-editor");
  QApplication::setApplicationVersion("0.5");

  QCommandLineParser parser;
  parser.setApplicationDescription("Event and dialogue editor");
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption languageOption(
      "language", "interface language: zh (Chinese) or en (English); the charset window starts with it", "zh|en");
  parser.addOption(languageOption);
  parser.addPositionalArgument("GAMEDIR", "game directory to read at start");
  parser.process(app);
  std::optional<tavrel::InterfaceLanguage> language;
  if (parser.isSet(languageOption)) {
    language = tavrel::ParseInterfaceLanguage(parser.value(languageOption).toStdString());
    if (!language) {
      std::fprintf(stderr, "--language: expected zh or en\n");
      return 2;
    }
  }
  const QStringList arguments = parser.positionalArguments();
  const QString gameDirectory = arguments.isEmpty() ? QString() : arguments.front();

  tavrel::ui::UseSettings(std::make_unique<tavrel::ui::EditorSettings>(tavrel::ui::DefaultSettingsFile()));
  tavrel::EditorState state;
  auto window = tavrel::ui::StartEditor(state, gameDirectory, language);
  if (!window) return 1;
  return app.exec();
}
