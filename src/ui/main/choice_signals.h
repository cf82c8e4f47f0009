#pragma once
// "The user chose an entry" for drop-down lists and lists, the way the
// editor's lists react: once for every change of position, whether by the
// user or by code, and again when the user picks the entry that is already
// current (choosing an event again drops its uncommitted edits; clicking an
// instruction again shows its words afresh).
#include <functional>

class QComboBox;
class QAbstractItemView;
class QObject;

namespace tavrel::ui {

void OnChoice(QComboBox* box, QObject* context, const std::function<void()>& chosen);
// A list: its model must be set before, the choice follows its selection model.
void OnChoice(QAbstractItemView* list, QObject* context, const std::function<void()>& chosen);

}  // namespace tavrel::ui
