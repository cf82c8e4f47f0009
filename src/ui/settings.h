#pragma once
// What the editor remembers between runs, in one settings file: the charset
// and the interface language chosen last, the last game directories, and the
// sizes and places of the windows. Never any game data.
//
// Nothing is read or written until a settings file is chosen with
// UseSettings(): the editor's main() chooses the user's own file, a test
// chooses one in a temporary directory, and every other run remembers
// nothing.
#include <QSettings>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "text/charset.h"
#include "text/ui_strings.h"

class QWidget;

namespace tavrel::ui {

inline constexpr int kRecentDirectoryCount = 8;

class EditorSettings {
 public:
  // The INI file `fileName`. A damaged file (one QSettings cannot parse) is
  // moved aside as "<fileName>.damaged" and the run starts with the
  // defaults; an unreadable one is left alone and the run starts with the
  // defaults too. Either way problem() says so.
  explicit EditorSettings(const QString& fileName);

  QString fileName() const { return settings_->fileName(); }
  // Empty, or the message about a damaged or unreadable file.
  QString problem() const { return problem_; }

  std::optional<GameCharset> charset() const;
  std::optional<InterfaceLanguage> language() const;
  void setStartChoice(GameCharset charset, InterfaceLanguage language);

  // Newest first, at most kRecentDirectoryCount, no repeats.
  QStringList recentDirectories() const;
  void addRecentDirectory(const QString& directory);

  // A window's size and place under `key`; restore returns false when
  // nothing (usable) was remembered.
  void saveGeometry(const QString& key, const QWidget& window);
  bool restoreGeometry(const QString& key, QWidget& window) const;

  void sync() { settings_->sync(); }

 private:
  std::unique_ptr<QSettings> settings_;
  QString problem_;
  bool usable_ = true;  // false for an unreadable file: nothing is written to it
};

// The settings of this run; nullptr until UseSettings.
EditorSettings* Settings();
// Replaces the settings of this run (nullptr: remember nothing).
void UseSettings(std::unique_ptr<EditorSettings> settings);
// The user's own settings file.
QString DefaultSettingsFile();

// Restores `window`'s remembered size and place now and remembers them again
// whenever it is hidden or closed. Does nothing while no settings are used.
void RememberGeometry(QWidget& window, const QString& key);

}  // namespace tavrel::ui
