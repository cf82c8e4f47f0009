#pragma once
// The lines of the instruction list read straight from the chosen event's
// statements: no copy of the texts and no item per line, so an event of a
// hundred thousand instructions is shown as fast as a short one (the view
// asks only for the rows it paints).
#include <QAbstractListModel>

#include "app/editor_state.h"

namespace tavrel::ui {

class StatementListModel : public QAbstractListModel {
  Q_OBJECT
 public:
  explicit StatementListModel(const EditorState& state, QObject* parent = nullptr)
      : QAbstractListModel(parent), state_(state) {}

  // Shows the statements of `event` (-1: none) as they are now; called after
  // every change of the statement list.
  void showEvent(int event);
  // The event whose statements are shown (-1: none).
  int event() const { return event_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

 private:
  const std::vector<Statement>* statements() const;

  const EditorState& state_;
  int event_ = -1;
};

}  // namespace tavrel::ui
