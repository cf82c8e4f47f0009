#pragma once
// "The user chose an entry" for drop-down lists and lists, the way the
// editor's lists react: once for every change of position, whether by the
// user or by code, and again when the user picks the entry that is already
// current (choosing an event again drops its uncommitted edits; clicking an
// instruction again shows its words afresh).
#include <functional>

class QComboBox;
class QListWidget;
class QObject;

namespace tavrel::ui {

void OnChoice(QComboBox* box, QObject* context, std::function<void()> chosen);
void OnChoice(QListWidget* list, QObject* context, std::function<void()> chosen);

}  // namespace tavrel::ui
