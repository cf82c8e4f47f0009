#include "ui/find/find_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/commands.h"
#include "app/instruction_catalogue.h"
#include "gamefiles/war_sta.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tavrel::ui {
namespace {

constexpr int kSliceMs = 15;  // searching per turn of the event loop
constexpr int32_t kEventsPerStep = 16;

constexpr RefKind kKinds[] = {RefKind::Dialogue, RefKind::Person, RefKind::Item,  RefKind::Scene,
                              RefKind::Skill,    RefKind::Battle, RefKind::Event, RefKind::Portrait};

QPushButton* Button(QWidget* parent, const char* name, const QString& text) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);  // Enter in the result list shows the line
  return button;
}

}  // namespace

FindWindow::FindWindow(EditorState& state, ShownSource shown, QWidget* parent)
    : QDialog(parent), state_(state), shownSource_(std::move(shown)) {
  setObjectName("frmFind");
  setWindowTitle(Ui(state_, Str::FindTitle));
  setModal(false);

  byText_ = new QRadioButton(Ui(state_, Str::FindByText), this);
  byText_->setObjectName("optText");
  byReference_ = new QRadioButton(Ui(state_, Str::FindByReference), this);
  byReference_->setObjectName("optReference");
  auto* modes = new QButtonGroup(this);
  modes->addButton(byText_);
  modes->addButton(byReference_);
  byText_->setChecked(true);

  text_ = new QLineEdit(this);
  text_->setObjectName("txtFind");
  regex_ = new QCheckBox(Ui(state_, Str::FindRegex), this);
  regex_->setObjectName("chkRegex");
  ignoreCase_ = new QCheckBox(Ui(state_, Str::FindIgnoreCase), this);
  ignoreCase_->setObjectName("chkIgnoreCase");

  kind_ = new QComboBox(this);
  kind_->setObjectName("cboKind");
  for (RefKind kind : kKinds) kind_->addItem(Ui(state_, RefKindString(kind)));
  number_ = new QComboBox(this);
  number_->setObjectName("cboNumber");
  number_->setMaxVisibleItems(20);
  number_->setMinimumContentsLength(24);
  number_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);

  find_ = Button(this, "cmdFind", Ui(state_, Str::FindStart));
  stop_ = Button(this, "cmdStop", Ui(state_, Str::FindStop));
  again_ = Button(this, "cmdAgain", Ui(state_, Str::FindAgain));
  progress_ = new QProgressBar(this);
  progress_->setObjectName("progressFind");
  progress_->setTextVisible(true);
  count_ = new QLabel(this);
  count_->setObjectName("lblCount");
  staleNote_ = new QLabel(Ui(state_, Str::FindStale), this);
  staleNote_->setObjectName("lblStale");
  list_ = new QListWidget(this);
  list_->setObjectName("lstResults");
  list_->setUniformItemSizes(true);
  list_->installEventFilter(this);

  auto* grid = new QGridLayout;
  grid->addWidget(byText_, 0, 0);
  grid->addWidget(text_, 0, 1, 1, 2);
  grid->addWidget(regex_, 1, 1);
  grid->addWidget(ignoreCase_, 1, 2);
  grid->addWidget(byReference_, 2, 0);
  grid->addWidget(kind_, 2, 1);
  grid->addWidget(number_, 2, 2);
  grid->setColumnStretch(2, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(find_);
  buttons->addWidget(stop_);
  buttons->addWidget(progress_, 1);
  buttons->addWidget(count_);
  auto* staleRow = new QHBoxLayout;
  staleRow->addWidget(staleNote_, 1);
  staleRow->addWidget(again_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);
  layout->addLayout(staleRow);
  layout->addWidget(list_, 1);

  timer_ = new QTimer(this);
  timer_->setObjectName("findTimer");
  timer_->setInterval(0);
  connect(timer_, &QTimer::timeout, this, &FindWindow::slice);
  connect(find_, &QPushButton::clicked, this, &FindWindow::start);
  connect(again_, &QPushButton::clicked, this, &FindWindow::start);
  connect(stop_, &QPushButton::clicked, this, &FindWindow::stop);
  connect(text_, &QLineEdit::returnPressed, this, &FindWindow::start);
  connect(text_, &QLineEdit::textEdited, this, [this] { byText_->setChecked(true); });
  connect(kind_, &QComboBox::currentIndexChanged, this, [this] {
    byReference_->setChecked(true);
    fillNumbers();
  });
  connect(number_, &QComboBox::activated, this, [this] { byReference_->setChecked(true); });
  connect(list_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) { activate(list_->row(item)); });

  fillNumbers();
  resize(640, 480);
  refreshState();
}

FindWindow::~FindWindow() = default;

RefKind FindWindow::chosenKind() const {
  const int k = kind_->currentIndex();
  return k >= 0 && k < int(std::size(kKinds)) ? kKinds[k] : RefKind::Dialogue;
}

// The numbers to choose from, as the dialogs list them: "n(HEX)name" for
// persons, items and skills, the scene list, the dialogue selector's items,
// the battles of war.sta by name, plain numbers for events and portraits.
void FindWindow::fillNumbers() {
  std::vector<std::string> entries;
  switch (chosenKind()) {
    case RefKind::Dialogue:
      for (int32_t i = 0; i < state_.talkCount(); ++i) entries.push_back(TalkItem(state_, i));
      break;
    case RefKind::Person:
      entries = ListEntries(state_, ListFormat{ListSource::Persons});
      break;
    case RefKind::Item:
      entries = ListEntries(state_, ListFormat{ListSource::Items});
      break;
    case RefKind::Scene:
      entries = ListEntries(state_, ListFormat{ListSource::Scenes});
      break;
    case RefKind::Skill:
      entries = ListEntries(state_, ListFormat{ListSource::Skills});
      break;
    case RefKind::Portrait:
      entries = ListEntries(state_, ListFormat{ListSource::Portraits});
      break;
    case RefKind::Battle:
      if (!state_.gameDirectory.empty())
        if (Result<WarStaContents> read = ReadWarSta(state_.gameDirectory, state_.text()))
          for (size_t b = 0; b < read->battles.size(); ++b)
            entries.push_back(std::to_string(b) + read->battles[b].name);
      break;
    case RefKind::Event:
      for (int32_t e = 0; e < state_.eventCount(); ++e) entries.push_back(std::to_string(e));
      break;
    case RefKind::None:
      break;
  }
  number_->clear();
  for (const std::string& entry : entries) number_->addItem(Q(entry));
  number_->setCurrentIndex(entries.empty() ? -1 : 0);
}

void FindWindow::findReference(RefKind kind, int32_t number) {
  for (size_t k = 0; k < std::size(kKinds); ++k)
    if (kKinds[k] == kind) kind_->setCurrentIndex(int(k));
  fillNumbers();
  if (number >= 0 && number < number_->count()) number_->setCurrentIndex(number);
  byReference_->setChecked(true);
  start();
}

void FindWindow::start() {
  stop();
  FindQuery query;
  if (byReference_->isChecked()) {
    query.mode = FindQuery::Mode::Reference;
    query.reference = chosenKind();
    query.number = number_->currentIndex();
    if (query.number < 0) return;
  } else {
    query.mode = regex_->isChecked() ? FindQuery::Mode::Regex : FindQuery::Mode::Text;
    query.text = U8(text_->text());
    query.ignoreCase = ignoreCase_->isChecked();
    if (query.text.empty()) return;
  }
  int32_t shownEvent = -1;
  shown_ = shownSource_ ? shownSource_(shownEvent) : std::vector<Statement>{};
  Result<std::unique_ptr<EventSearch>> search =
      EventSearch::Start(state_, std::move(query), ShownStatements{shownEvent, shown_});
  list_->clear();
  results_.clear();
  haveResults_ = false;
  if (!search) {
    count_->clear();
    ShowMessage(this, CoreText(state_, search.error()));
    refreshState();
    return;
  }
  search_ = std::move(*search);
  foundAt_ = state_.history.revision();
  progress_->setRange(0, std::max(search_->total(), 1));
  progress_->setValue(0);
  timer_->start();
  refreshState();
}

void FindWindow::stop() {
  if (!search_) return;
  timer_->stop();
  appendResults(results_.size());
  search_.reset();
  haveResults_ = true;
  refreshState();
}

void FindWindow::slice() {
  if (!search_) return;
  if (state_.history.revision() != foundAt_) {  // edited while searching: what is left would read a changed game
    stop();
    return;
  }
  QElapsedTimer clock;
  clock.start();
  while (search_->Step(kEventsPerStep) && clock.elapsed() < kSliceMs) {
  }
  appendResults(results_.size());
  progress_->setValue(search_->searched());
  progress_->setFormat(UiFormat(state_, Str::FindProgress, search_->searched(), search_->total()));
  if (search_->done()) finish();
}

void FindWindow::finish() {
  timer_->stop();
  search_.reset();
  haveResults_ = true;
  refreshState();
}

// Moves the results the search found since the last call into the list.
void FindWindow::appendResults(size_t from) {
  if (!search_) return;
  const std::vector<FoundLine>& found = search_->results();
  for (size_t k = from; k < found.size(); ++k) {
    results_.push_back(found[k]);
    list_->addItem(UiFormat(state_, Str::ResultLine, CoreText(state_, PlaceText(found[k].place)), Q(found[k].text)));
  }
  count_->setText(UiFormat(state_, Str::FindCount, results_.size()));
}

bool FindWindow::stale() const { return haveResults_ && state_.history.revision() != foundAt_; }

void FindWindow::refreshState() {
  const bool running = search_ != nullptr;
  find_->setEnabled(!running);
  stop_->setEnabled(running);
  progress_->setVisible(running);
  staleNote_->setVisible(stale());
  again_->setVisible(stale());
  if (running) progress_->setFormat(UiFormat(state_, Str::FindProgress, search_->searched(), search_->total()));
}

void FindWindow::activate(int row) {
  if (row < 0 || size_t(row) >= results_.size()) return;
  list_->setCurrentRow(row);
  emit showPlace(results_[size_t(row)].place);
}

bool FindWindow::step(int direction) {
  if (results_.empty()) return false;
  const int count = int(results_.size());
  const int current = list_->currentRow();
  int next = current < 0 ? (direction > 0 ? 0 : count - 1) : current + direction;
  if (next < 0 || next >= count) return false;
  activate(next);
  return true;
}

void FindWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  refreshState();
}

bool FindWindow::eventFilter(QObject* watched, QEvent* event) {
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
