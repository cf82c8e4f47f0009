#include "ui/main/insert_statement_dialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/commands.h"
#include "ui/qt_text.h"

namespace tavrel::ui {

InsertStatementDialog::InsertStatementDialog(EditorState& state, int event, int line, QWidget* parent)
    : QDialog(parent), state_(state), event_(event), line_(line) {
  setObjectName("frminsertstatement");
  setWindowTitle(Ui(state_, Str::InsertTitle));

  auto* label = new QLabel(Ui(state_, Str::InsertChooseKind), this);
  label->setObjectName("Label1");

  choices_ = new QComboBox(this);
  choices_->setObjectName("ComboStatment");
  for (const std::string& choice : InsertChoices(state_)) choices_->addItem(Q(choice));
  choices_->setCurrentIndex(-1);
  choices_->setMaxVisibleItems(20);
  label->setBuddy(choices_);

  jumpFrame_ = new QGroupBox(Ui(state_, Str::InsertJumpChoice), this);
  jumpFrame_->setObjectName("Frame1");
  jumpYes_ = new QRadioButton(Ui(state_, Str::InsertJumpIfYes), jumpFrame_);
  jumpYes_->setObjectName("Option1");
  jumpNo_ = new QRadioButton(Ui(state_, Str::InsertJumpIfNo), jumpFrame_);
  jumpNo_->setObjectName("Option2");
  auto* jumpLayout = new QVBoxLayout(jumpFrame_);
  jumpLayout->addWidget(jumpYes_);
  jumpLayout->addWidget(jumpNo_);
  jumpFrame_->hide();

  auto* ok = new QPushButton(Ui(state_, Str::Ok), this);
  ok->setObjectName("cmdok");
  ok->setDefault(true);
  auto* cancel = new QPushButton(Ui(state_, Str::Cancel), this);
  cancel->setObjectName("cmdcancel");
  connect(ok, &QPushButton::clicked, this, &InsertStatementDialog::insert);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(choices_, &QComboBox::currentIndexChanged, this, &InsertStatementDialog::choose);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addWidget(choices_);
  layout->addWidget(jumpFrame_);
  layout->addStretch();
  layout->addLayout(buttons);
  setMinimumWidth(380);
}

// The jump frame appears with the first conditional kind chosen and stays.
void InsertStatementDialog::choose(int entry) {
  if (jumpFrame_->isHidden() && InsertShowsJumpChoice(state_, entry)) {
    jumpFrame_->show();
    if (!jumpYes_->isChecked() && !jumpNo_->isChecked()) jumpYes_->setChecked(true);
  }
}

void InsertStatementDialog::insert() {
  const int entry = choices_->currentIndex();
  if (entry < 0) return;
  report_ = InsertInstruction(state_, event_, line_, entry, jumpYes_->isChecked());
  inserted_ = true;
  accept();
}

}  // namespace tavrel::ui
