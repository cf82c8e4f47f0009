#include "ui/battle/person_list.h"

#include <QSignalBlocker>

#include "ui/qt_text.h"

namespace tavrel::ui {
namespace {

// The entry count of the table part of a list, kept on the list itself.
constexpr const char* kTableEntries = "tavrelTableEntries";

int TableEntries(const QComboBox* list) { return list->property(kTableEntries).toInt(); }

}  // namespace

QStringList PersonEntries(const EditorState& state) {
  QStringList entries{Ui(state, Str::NotChosen)};
  const auto& persons = state.game.names.persons;
  entries.reserve(int(persons.size()) + 1);
  for (size_t p = 0; p < persons.size(); ++p) entries << QString::number(p) + Q(persons[p].name);
  return entries;
}

void FillPersonList(QComboBox* list, const QStringList& entries) {
  const QSignalBlocker quiet(list);
  list->clear();
  for (int p = 0; p < entries.size(); ++p) list->addItem(entries[p], p - 1);
  list->setProperty(kTableEntries, int(entries.size()));
  list->setCurrentIndex(-1);
}

void ShowPerson(QComboBox* list, int16_t person) {
  const QSignalBlocker quiet(list);
  const int table = TableEntries(list);
  while (list->count() > table) list->removeItem(list->count() - 1);
  const int position = person + 1;
  if (position >= 0 && position < table) {
    list->setCurrentIndex(position);
    return;
  }
  list->addItem(QString::number(person), int(person));
  list->setCurrentIndex(list->count() - 1);
}

int16_t ChosenPerson(const QComboBox* list) {
  if (list->currentIndex() < 0) return kNoPerson;
  return int16_t(list->currentData().toInt());
}

}  // namespace tavrel::ui
