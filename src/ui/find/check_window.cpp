#include "ui/find/check_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/qt_text.h"

namespace tavrel::ui {
namespace {

int SeverityString(Severity severity) {
  switch (severity) {
    case Severity::Error:
      return Str::LintError;
    case Severity::Warning:
      return Str::LintWarning;
    case Severity::Info:
      return Str::LintInfo;
  }
  return Str::LintInfo;
}

}  // namespace

CheckWindow::CheckWindow(EditorState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName("frmCheck");
  setWindowTitle(Ui(state_, Str::CheckTitle));
  setModal(false);
  check_ = new QPushButton(Ui(state_, Str::CheckRun), this);
  check_->setObjectName("cmdCheck");
  check_->setAutoDefault(false);
  summary_ = new QLabel(this);
  summary_->setObjectName("lblSummary");
  staleNote_ = new QLabel(Ui(state_, Str::FindStale), this);
  staleNote_->setObjectName("lblStale");
  list_ = new QListWidget(this);
  list_->setObjectName("lstProblems");
  list_->setUniformItemSizes(true);
  list_->installEventFilter(this);

  auto* top = new QHBoxLayout;
  top->addWidget(check_);
  top->addWidget(summary_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(staleNote_);
  layout->addWidget(list_, 1);
  connect(check_, &QPushButton::clicked, this, &CheckWindow::check);
  connect(list_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) { activate(list_->row(item)); });
  resize(640, 480);
  refreshState();
}

void CheckWindow::check() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  report_ = LintLoadedGame(state_);
  QApplication::restoreOverrideCursor();
  // Errors first, then warnings, then the information, each by event and line.
  std::stable_sort(report_.findings.begin(), report_.findings.end(),
                   [](const Finding& a, const Finding& b) { return a.severity < b.severity; });
  checkedAt_ = state_.history.revision();
  checked_ = true;
  list_->clear();
  for (const Finding& f : report_.findings)
    list_->addItem(
        Ui(state_, SeverityString(f.severity)) + QStringLiteral("  ") +
        UiFormat(state_, Str::ResultLine, CoreText(state_, PlaceText(f.place)), CoreText(state_, f.message)));
  summary_->setText(report_.findings.empty() ? Ui(state_, Str::CheckClean) : CoreText(state_, LintSummary(report_)));
  refreshState();
}

bool CheckWindow::stale() const { return checked_ && state_.history.revision() != checkedAt_; }

void CheckWindow::refreshState() { staleNote_->setVisible(stale()); }

void CheckWindow::activate(int row) {
  if (row < 0 || size_t(row) >= report_.findings.size()) return;
  list_->setCurrentRow(row);
  emit showPlace(report_.findings[size_t(row)].place);
}

bool CheckWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      activate(list_->currentRow());
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace tavrel::ui
