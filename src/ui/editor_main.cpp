// tavrel-editor [GAMEDIR]: the editor; a game directory given on the command
// line is set and read right after the charset window.
#include <QApplication>
#include <QCommandLineParser>

#include "app/editor_state.h"
#include "ui/startup.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("tavrel-editor");
  QApplication::setApplicationVersion("0.5");

  QCommandLineParser parser;
  parser.setApplicationDescription("Event and dialogue editor");
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument("GAMEDIR", "game directory to read at start");
  parser.process(app);
  const QStringList arguments = parser.positionalArguments();
  const QString gameDirectory = arguments.isEmpty() ? QString() : arguments.front();

  tavrel::EditorState state;
  auto window = tavrel::ui::StartEditor(state, gameDirectory);
  if (!window) return 1;
  return app.exec();
}
