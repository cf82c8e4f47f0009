#include "ui/main/statement_list_model.h"

#include "app/commands.h"
#include "ui/qt_text.h"

namespace tavrel::ui {

void StatementListModel::showEvent(int event) {
  beginResetModel();
  event_ = event;
  endResetModel();
}

const std::vector<Statement>* StatementListModel::statements() const {
  const KdefEvent* event = EventAt(state_, event_);
  return event != nullptr ? &event->statements : nullptr;
}

int StatementListModel::rowCount(const QModelIndex& parent) const {
  const std::vector<Statement>* list = statements();
  return parent.isValid() || list == nullptr ? 0 : static_cast<int>(list->size());
}

QVariant StatementListModel::data(const QModelIndex& index, int role) const {
  const std::vector<Statement>* list = statements();
  if (role != Qt::DisplayRole || list == nullptr || !index.isValid() || index.row() >= static_cast<int>(list->size()))
    return {};
  return Q((*list)[static_cast<size_t>(index.row())].note);
}

}  // namespace tavrel::ui
