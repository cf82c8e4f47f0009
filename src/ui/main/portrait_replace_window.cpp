#include "ui/main/portrait_replace_window.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/portrait_replace.h"
#include "ui/picture_box.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tavrel::ui {

PortraitReplaceWindow::PortraitReplaceWindow(EditorState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("frmReplacetalk1"));
  setModal(true);
  setWindowTitle(Ui(state_, Str::ReplacePortraitsTitle));

  buildSide(old_, "Label1", "Combotalkman", "pic1", "Label2", "Listperson");
  buildSide(new_, "Label3", "Combotalkman2", "Pic2", "Label4", "Listperson2");
  old_.title->setText(Ui(state_, Str::SpeakerPortrait));
  old_.usersTitle->setText(Ui(state_, Str::Speaker));
  new_.title->setText(Ui(state_, Str::NewSpeakerPortrait));
  new_.usersTitle->setText(Ui(state_, Str::Speaker));

  replaceButton_ = new QPushButton(Ui(state_, Str::Ok), this);
  replaceButton_->setObjectName(QStringLiteral("Comok"));
  replaceButton_->setAutoDefault(false);
  cancelButton_ = new QPushButton(Ui(state_, Str::Cancel), this);
  cancelButton_->setObjectName(QStringLiteral("Comcancel"));
  cancelButton_->setAutoDefault(false);

  auto* sides = new QGridLayout;
  int column = 0;
  for (Side* side : {&old_, &new_}) {
    sides->addWidget(side->title, 0, column);
    sides->addWidget(side->portraits, 1, column);
    sides->addWidget(side->picture, 2, column);
    sides->addWidget(side->usersTitle, 3, column);
    sides->addWidget(side->users, 4, column);
    column += 1;
  }
  sides->setRowStretch(4, 1);
  sides->setHorizontalSpacing(16);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(replaceButton_);
  buttons->addWidget(cancelButton_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(sides, 1);
  layout->addLayout(buttons);

  connect(replaceButton_, &QPushButton::clicked, this, &PortraitReplaceWindow::replace);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void PortraitReplaceWindow::buildSide(Side& side, const char* titleName, const char* listName, const char* pictureName,
                                      const char* usersTitleName, const char* usersName) {
  side.title = new QLabel(this);
  side.title->setObjectName(QLatin1String(titleName));
  side.portraits = new QComboBox(this);
  side.portraits->setObjectName(QLatin1String(listName));
  side.portraits->setMinimumContentsLength(6);
  side.portraits->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  {
    const QSignalBlocker quiet(side.portraits);
    for (const std::string& item : PortraitChoices(state_)) side.portraits->addItem(Q(item));
    side.portraits->setCurrentIndex(-1);  // nothing is chosen when the window opens
  }
  side.title->setBuddy(side.portraits);
  side.picture = new PictureBox(this);
  side.picture->setObjectName(QLatin1String(pictureName));
  side.picture->setFixedSize(140, 140);
  side.picture->clear();
  side.picture->installEventFilter(this);
  side.usersTitle = new QLabel(this);
  side.usersTitle->setObjectName(QLatin1String(usersTitleName));
  side.users = new QListWidget(this);
  side.users->setObjectName(QLatin1String(usersName));
  side.users->setMinimumHeight(90);

  // Every change of choice, by mouse, keyboard, wheel or code, shows the side
  // at once, so the preview never lags behind the list.
  connect(side.portraits, &QComboBox::currentIndexChanged, this, [this, &side] { showSide(side); });
}

bool PortraitReplaceWindow::eventFilter(QObject* watched, QEvent* event) {
  // The portrait hangs from the box's bottom edge: a new size draws it again.
  if (event->type() == QEvent::Resize) {
    for (Side* side : {&old_, &new_})
      if (watched == side->picture) showSide(*side);
  }
  return QDialog::eventFilter(watched, event);
}

void PortraitReplaceWindow::showSide(Side& side) {
  const int portrait = side.portraits->currentIndex();
  if (portrait < 0) return;
  side.picture->clear();
  const PictureSet& portraits = state_.game.portraits;
  if (size_t(portrait) < portraits.size())
    side.picture->drawPicture(portraits[size_t(portrait)], 0, side.picture->height());
  side.picture->update();
  side.users->clear();
  for (const std::string& line : PortraitUserLines(state_, portrait)) side.users->addItem(Q(line));
}

void PortraitReplaceWindow::replace() {
  const int from = old_.portraits->currentIndex();
  const int to = new_.portraits->currentIndex();
  if (from < 0 || to < 0) return;
  const PortraitCount count = CountPortraitUses(state_, from);
  if (!AskYesNo(this, Q(PortraitReplaceQuestion(state_, count.dialogues)))) return;
  ReplacePortrait(state_, from, to);
}

}  // namespace tavrel::ui
