#include "ui/main/choice_signals.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QTimer>
#include <memory>

namespace tavrel::ui {
namespace {

// Qt reports a user's choice twice when it changes the position: first the
// change, then, from the same call, the activation (or press). The flag lives
// until the event loop runs again, so the activation that belongs to a change
// is skipped and a later one on the same entry is not.
struct ChangeGuard {
  bool justChanged = false;
};

void Changed(const std::shared_ptr<ChangeGuard>& guard, QObject* context) {
  guard->justChanged = true;
  QTimer::singleShot(0, context, [guard] { guard->justChanged = false; });
}

bool Consume(ChangeGuard& guard) {
  const bool was = guard.justChanged;
  guard.justChanged = false;
  return was;
}

}  // namespace

void OnChoice(QComboBox* box, QObject* context, const std::function<void()>& chosen) {
  auto guard = std::make_shared<ChangeGuard>();
  QObject::connect(box, &QComboBox::currentIndexChanged, context, [guard, context, chosen](int) {
    Changed(guard, context);
    chosen();
  });
  QObject::connect(box, &QComboBox::activated, context, [guard, chosen](int) {
    if (!Consume(*guard)) chosen();
  });
}

void OnChoice(QAbstractItemView* list, QObject* context, const std::function<void()>& chosen) {
  auto guard = std::make_shared<ChangeGuard>();
  QObject::connect(list->selectionModel(), &QItemSelectionModel::currentRowChanged, context,
                   [guard, context, chosen](const QModelIndex&, const QModelIndex&) {
                     Changed(guard, context);
                     chosen();
                   });
  QObject::connect(list, &QAbstractItemView::pressed, context, [guard, chosen](const QModelIndex&) {
    if (!Consume(*guard)) chosen();
  });
}

}  // namespace tavrel::ui
