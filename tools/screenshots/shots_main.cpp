// tavrel-screenshots [--language zh|en] OUTDIR [NAME...]: generates the
// sample game into a scratch directory, starts the editor's state on it in
// the interface language given (Chinese by default) and writes one PNG per
// registered window picture.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>
#include <map>
#include <string>

#include "sample/sample_parts.h"
#include "shots.h"
#include "text/ui_strings.h"

namespace tavrel::shots {
namespace {

int failures = 0;

std::map<std::string, ShotFunction>& Registry() {
  static std::map<std::string, ShotFunction> registry;
  return registry;
}

}  // namespace

int Failures() { return failures; }

ShotRegistrar::ShotRegistrar(const char* name, ShotFunction function) { Registry()[name] = function; }

bool SaveShot(ShotContext& context, QWidget& widget, const QString& file, int settleMs) {
  widget.show();
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < settleMs) QApplication::processEvents(QEventLoop::AllEvents, 20);
  const QString path = QDir(context.outDir).filePath(file);
  if (!widget.grab().save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    ++failures;
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

}  // namespace tavrel::shots

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  QStringList args = QApplication::arguments();
  if (const qsizetype at = args.indexOf(QStringLiteral("--language")); at > 0) {
    const auto language =
        at + 1 < args.size() ? tavrel::ParseInterfaceLanguage(args[at + 1].toStdString()) : std::nullopt;
    if (!language) {
      std::fprintf(stderr, "--language: expected zh or en\n");
      return 2;
    }
    tavrel::SetInterfaceLanguage(*language);
    args.remove(at, 2);
  }
  if (args.size() < 2) {
    std::fprintf(stderr, "usage: tavrel-screenshots [--language zh|en] OUTDIR [NAME...]\n");
    return 2;
  }
  const QString& outDir = args[1];
  QDir().mkpath(outDir);

  tavrel::EditorState state;
  state.programDir = QCoreApplication::applicationDirPath().toStdString();
  auto started = tavrel::InitializeEditor(state, tavrel::GameCharset::Gbk);
  if (!started) {
    std::fprintf(stderr, "%s\n", started.error().c_str());
    return 1;
  }
  QTemporaryDir scratch;
  const QString gameDir = scratch.path() + "/game";
  tavrel::sample::SampleOptions options;
  options.attributes = &state.attributes;
  if (auto written = tavrel::sample::WriteSampleGame(gameDir.toStdString(), options); !written) {
    std::fprintf(stderr, "%s\n", written.error().c_str());
    return 1;
  }
  state.gameDirectory = gameDir.toStdString();
  if (auto read = tavrel::ReadGameFiles(state); !read) {
    std::fprintf(stderr, "%s\n", read.error().c_str());
    return 1;
  }

  for (const auto& [name, function] : tavrel::shots::Registry()) {
    if (args.size() > 2 && !args.mid(2).contains(QString::fromStdString(name))) continue;
    tavrel::shots::ShotContext context{state, gameDir, outDir};
    function(context);
  }
  return tavrel::shots::Failures() == 0 ? 0 : 1;
}
