#include "ui/settings.h"

#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>
#include <QWidget>

#include "ui/qt_text.h"

namespace tavrel::ui {
namespace {

constexpr const char* kCharsetKey = "start/charset";
constexpr const char* kLanguageKey = "start/language";
constexpr const char* kRecentKey = "recent/directories";

std::unique_ptr<EditorSettings>& Current() {
  static std::unique_ptr<EditorSettings> settings;
  return settings;
}

// Saves a window's geometry when it is hidden or closed.
class GeometryKeeper : public QObject {
 public:
  GeometryKeeper(QWidget& window, const QString& key) : QObject(&window), window_(window), key_(key) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &window_ && (event->type() == QEvent::Hide || event->type() == QEvent::Close))
      if (EditorSettings* settings = Settings()) settings->saveGeometry(key_, window_);
    return false;
  }

 private:
  QWidget& window_;
  QString key_;
};

}  // namespace

EditorSettings::EditorSettings(const QString& fileName) {
  const QFileInfo info(fileName);
  if (info.exists() && (!info.isFile() || !info.isReadable())) {
    usable_ = false;
    problem_ = Q(FormatInterfaceString(Str::SettingsUnreadable, U8(fileName)));
  }
  settings_ = std::make_unique<QSettings>(fileName, QSettings::IniFormat);
  if (usable_ && settings_->status() != QSettings::NoError) {
    // Keep the damaged file for whoever wants it, and start anew.
    settings_.reset();
    const QString aside = fileName + QStringLiteral(".damaged");
    QFile::remove(aside);
    if (!QFile::rename(fileName, aside)) QFile::remove(fileName);
    settings_ = std::make_unique<QSettings>(fileName, QSettings::IniFormat);
    problem_ = Q(FormatInterfaceString(Str::SettingsDamaged, U8(fileName)));
  }
  if (!usable_) settings_->clear();
}

std::optional<GameCharset> EditorSettings::charset() const {
  const QString name = settings_->value(kCharsetKey).toString();
  if (name == QLatin1String("GBK")) return GameCharset::Gbk;
  if (name == QLatin1String("BIG5")) return GameCharset::Big5;
  return std::nullopt;
}

std::optional<InterfaceLanguage> EditorSettings::language() const {
  return ParseInterfaceLanguage(U8(settings_->value(kLanguageKey).toString()));
}

void EditorSettings::setStartChoice(GameCharset charset, InterfaceLanguage language) {
  if (!usable_) return;
  settings_->setValue(kCharsetKey, QString::fromLatin1(CharsetName(charset)));
  settings_->setValue(kLanguageKey, QString::fromLatin1(InterfaceLanguageName(language)));
  settings_->sync();
}

QStringList EditorSettings::recentDirectories() const {
  QStringList out;
  for (const QString& directory : settings_->value(kRecentKey).toStringList()) {
    if (directory.isEmpty() || out.contains(directory)) continue;
    out << directory;
    if (out.size() == kRecentDirectoryCount) break;
  }
  return out;
}

void EditorSettings::addRecentDirectory(const QString& directory) {
  if (!usable_ || directory.isEmpty()) return;
  QStringList list = recentDirectories();
  list.removeAll(directory);
  list.prepend(directory);
  while (list.size() > kRecentDirectoryCount) list.removeLast();
  settings_->setValue(kRecentKey, list);
  settings_->sync();
}

void EditorSettings::saveGeometry(const QString& key, const QWidget& window) {
  if (!usable_) return;
  settings_->setValue(QStringLiteral("geometry/") + key, window.saveGeometry());
  settings_->sync();
}

bool EditorSettings::restoreGeometry(const QString& key, QWidget& window) const {
  const QVariant value = settings_->value(QStringLiteral("geometry/") + key);
  return value.isValid() && window.restoreGeometry(value.toByteArray());
}

EditorSettings* Settings() { return Current().get(); }

void UseSettings(std::unique_ptr<EditorSettings> settings) { Current() = std::move(settings); }

QString DefaultSettingsFile() {
  return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/settings.ini");
}

void RememberGeometry(QWidget& window, const QString& key) {
  EditorSettings* settings = Settings();
  if (settings == nullptr) return;
  settings->restoreGeometry(key, window);
  window.installEventFilter(new GeometryKeeper(window, key));
}

}  // namespace tavrel::ui
