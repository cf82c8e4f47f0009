#pragma once
// A started editor state on a freshly generated sample game in a scratch
// directory, for the window tests.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/editor_state.h"
#include "sample/sample_parts.h"

namespace tavrel::ui::test {

struct SampleGame {
  QTemporaryDir scratch;
  QString dir;
  EditorState state;

  // Writes the sample game and starts the state as the program does; with
  // `read` the game files are read as well; `numberedTiles` writes a tile set
  // per scene and battlefield instead of the one bare set. Check ok() afterwards.
  explicit SampleGame(GameCharset charset = GameCharset::Gbk, bool read = true, int scale = 1,
                      bool numberedTiles = false) {
    dir = scratch.path() + "/game";
    state.programDir = TAVREL_BIN_DIR;
    auto started = InitializeEditor(state, charset);
    if (!started) {
      error = QString::fromStdString(started.error());
      return;
    }
    sample::SampleOptions options;
    options.scale = scale;
    options.attributes = &state.attributes;
    options.numberedTiles = numberedTiles;
    if (auto written = sample::WriteSampleGame(dir.toStdString(), options); !written) {
      error = QString::fromStdString(written.error());
      return;
    }
    state.gameDirectory = dir.toStdString();
    if (read) {
      if (auto done = ReadGameFiles(state); !done) error = QString::fromStdString(done.error());
    }
  }
  bool ok() const { return error.isEmpty(); }
  QString path(const QString& name) const { return dir + "/" + name; }

  QString error;
};

inline QByteArray FileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace tavrel::ui::test
