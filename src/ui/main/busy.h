#pragma once
// Helpers of the main window's long file commands.
#include <QApplication>
#include <QDir>
#include <QStatusBar>
#include <QString>
#include <filesystem>

namespace tavrel::ui {

// A path as the messages show it: native separators.
inline QString PathText(const std::filesystem::path& path) {
  return QDir::toNativeSeparators(QString::fromStdU16String(path.u16string()));
}

// A path chosen in a file dialog, for the core.
inline std::filesystem::path ChosenPath(const QString& path) { return std::filesystem::path(path.toStdU16String()); }

// A long command: a wait cursor and a status line, painted before the work
// starts since the work keeps the event loop from running.
class Busy {
 public:
  Busy(QStatusBar* bar, const QString& what) : bar_(bar) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bar_->showMessage(what + QString::fromUtf8("…"));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
  ~Busy() {
    bar_->clearMessage();
    QApplication::restoreOverrideCursor();
  }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;

 private:
  QStatusBar* bar_;
};

}  // namespace tavrel::ui
