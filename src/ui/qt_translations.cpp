#include "ui/qt_translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

#include "text/ui_strings.h"

namespace tavrel::ui {

QString QtTranslationName(GameCharset charset) {
  return charset == GameCharset::Big5 ? QStringLiteral("qtbase_zh_TW") : QStringLiteral("qtbase_zh_CN");
}

QString InstallQtTranslation(GameCharset charset) {
  static QTranslator* installed = nullptr;
  if (EnglishInterface()) {
    // Qt's own texts are English already.
    if (installed != nullptr) {
      QCoreApplication::removeTranslator(installed);
      delete installed;
      installed = nullptr;
    }
    return {};
  }
  const QString directory = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  const QString name = QtTranslationName(charset);
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(name, directory)) return QDir(directory).filePath(name + QStringLiteral(".qm"));
  if (installed != nullptr) {
    QCoreApplication::removeTranslator(installed);
    delete installed;
  }
  installed = translator.release();
  QCoreApplication::installTranslator(installed);
  return {};
}

}  // namespace tavrel::ui
