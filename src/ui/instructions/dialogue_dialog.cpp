#include "ui/instructions/dialogue_dialog.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/picture_box.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tavrel::ui {
namespace {

InstructionDialog::Options DialogueOptions() {
  InstructionDialog::Options options;
  options.okName = QStringLiteral("Comok");
  options.cancelName = QStringLiteral("Comcancel");
  return options;
}

}  // namespace

DialogueDialog::DialogueDialog(EditorState& state, Statement& statement, std::string_view form, QWidget* parent)
    : InstructionDialog(state, statement, form, parent, DialogueOptions()) {
  auto* hint = new QLabel(Ui(state_, Str::TalkStarRule), this);
  hint->setObjectName("lbltalknum");
  existing_ = new QRadioButton(Ui(state_, Str::SaveToExistingTalk), this);
  existing_->setObjectName("Option1");
  appended_ = new QRadioButton(Ui(state_, Str::SaveToNewTalk), this);
  appended_->setObjectName("Option2");
  belowFields()->addWidget(hint);
  belowFields()->addWidget(existing_);
  belowFields()->addWidget(appended_);

  portrait_ = new PictureBox(this);
  portrait_->setObjectName("pic1");
  portrait_->setFixedSize(96, 96);
  auto* speakersLabel = new QLabel(Ui(state_, Str::Speaker), this);
  speakersLabel->setObjectName("Label3");
  speakers_ = new QListWidget(this);
  speakers_->setObjectName("Listperson");
  speakers_->setMinimumWidth(140);
  sideArea()->addWidget(portrait_);
  sideArea()->addWidget(speakersLabel);
  sideArea()->addWidget(speakers_, 1);

  timer_.setObjectName("Timer1");
  timer_.setParent(this);
  timer_.setInterval(100);
  connect(&timer_, &QTimer::timeout, this, &DialogueDialog::showSpeaker);
  if (QComboBox* portraits = listControl("Combotalkman")) {
    connect(portraits, &QComboBox::currentIndexChanged, this, &DialogueDialog::showSpeaker);
    portraits->installEventFilter(this);
  }
  setMinimumWidth(560);
}

void DialogueDialog::afterLoad() {
  timer_.stop();
  const bool known = IsDialogueNumber(state_, statement_.Word(0));
  existing_->setEnabled(known);
  (known ? existing_ : appended_)->setChecked(true);
  const bool hasWord = statement_.DataNum >= 1;
  existing_->setEnabled(known && hasWord);
  appended_->setEnabled(hasWord);
  showSpeaker();
}

// The timer runs while the portrait list has the focus.
bool DialogueDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == listControl("Combotalkman")) {
    if (event->type() == QEvent::FocusIn) timer_.start();
    if (event->type() == QEvent::FocusOut) timer_.stop();
  }
  return InstructionDialog::eventFilter(watched, event);
}

void DialogueDialog::showSpeaker() {
  QComboBox* portraits = listControl("Combotalkman");
  const int k = portraits != nullptr ? portraits->currentIndex() : -1;
  if (k < 0) return;
  portrait_->clear();
  if (static_cast<size_t>(k) < state_.game.portraits.size())
    portrait_->drawPicture(state_.game.portraits[static_cast<size_t>(k)], 0, portrait_->height());
  speakers_->clear();
  const auto& users = state_.game.portraitUsers;
  if (static_cast<size_t>(k) >= users.size()) return;
  const auto& persons = state_.game.names.persons;
  for (int32_t n : users[static_cast<size_t>(k)]) {
    const std::string name = n >= 0 && static_cast<size_t>(n) < persons.size() ? persons[size_t(n)].name : "";
    speakers_->addItem(Q(std::to_string(n) + name));
  }
}

bool DialogueDialog::write() {
  auto* text = findChild<QPlainTextEdit*>("txttalk");
  Status applied =
      ApplyDialogueInstruction(state_, statement_, rows_, gather(),
                               text != nullptr ? U8(text->toPlainText()) : std::string(), appended_->isChecked());
  if (!applied) ShowMessage(this, CoreText(state_, applied.error()));
  return applied.ok();
}

}  // namespace tavrel::ui
