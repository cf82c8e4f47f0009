#pragma once
// Qt's own texts (the standard buttons of message boxes, the file and folder
// dialogs) in the language of the chosen charset, or English in an English
// run.
#include <QString>

#include "text/charset.h"

namespace tavrel::ui {

// The Qt translation that matches the charset: "qtbase_zh_CN" for a "GBK"
// run, "qtbase_zh_TW" for a "BIG5" run.
QString QtTranslationName(GameCharset charset);

// Installs that translation from Qt's translations directory in the running
// application, in place of one installed before; in an English run it only
// removes the one installed before. Returns the path of the file
// that could not be loaded, empty on success.
QString InstallQtTranslation(GameCharset charset);

}  // namespace tavrel::ui
