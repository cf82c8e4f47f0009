#pragma once
// The battle editor's 32 person lists: "==未选定==" first, then one entry
// per person of the name table ("12" followed at once by the name), so entry
// position p stands for person p - 1. A record may name a person beyond the
// table; the list then shows that number alone as an extra last entry, so
// applying the fields keeps it instead of dropping it.
#include <QComboBox>
#include <QStringList>
#include <cstdint>

#include "app/editor_state.h"

namespace tavrel::ui {

// The entries every person list holds.
QStringList PersonEntries(const EditorState& state);

// Fills `list` with `entries`, each standing for its position - 1.
void FillPersonList(QComboBox* list, const QStringList& entries);

// Chooses the entry of `person`, adding the extra entry when the table does
// not hold it (and dropping an extra entry of an earlier battle).
void ShowPerson(QComboBox* list, int16_t person);

// The person number the list shows; -1 when nothing is chosen.
int16_t ChosenPerson(const QComboBox* list);

}  // namespace tavrel::ui
