#include "ui/instructions/instruction_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "script/describe.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tavrel::ui {
namespace {

Qt::CheckState ToQt(CheckMark mark) {
  return mark == CheckMark::On ? Qt::Checked : mark == CheckMark::Off ? Qt::Unchecked : Qt::PartiallyChecked;
}

CheckMark FromQt(Qt::CheckState state) {
  return state == Qt::Checked ? CheckMark::On : state == Qt::Unchecked ? CheckMark::Off : CheckMark::Mixed;
}

QString Name(std::string_view name) { return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())); }

}  // namespace

InstructionDialog::InstructionDialog(EditorState& state, Statement& statement, std::string_view form, QWidget* parent,
                                     const Options& options)
    : QDialog(parent), state_(state), statement_(statement), rows_(DialogRows(form)) {
  setObjectName(Name(form));
  if (!rows_.empty()) setWindowTitle(Ui(state_, rows_.front().title));

  auto* idLabel = new QLabel(Ui(state_, Str::InstructionId), this);
  idLabel->setObjectName("Label1");
  auto* id = new QLineEdit(Q(OpcodeCaption(statement_.Id)), this);
  id->setObjectName("txtid");
  id->setReadOnly(true);
  idLabel->setBuddy(id);
  auto* idRow = new QHBoxLayout;
  idRow->addWidget(idLabel);
  idRow->addWidget(id);
  idRow->addStretch();

  QWidget* fieldParent = this;
  QGroupBox* frame = nullptr;
  if (options.frameString != 0) {
    frame = new QGroupBox(Ui(state_, options.frameString), this);
    frame->setObjectName("Frame1");
    fieldParent = frame;
  }
  auto* grid = new QGridLayout;
  int gridRow = 0;
  for (const CatalogueRow& row : rows_) {
    if (row.heading != 0) {
      auto* heading = new QLabel(Ui(state_, row.heading), fieldParent);
      heading->setObjectName(QStringLiteral("Heading%1").arg(row.word));
      QFont bold = heading->font();
      bold.setBold(true);
      heading->setFont(bold);
      grid->addWidget(heading, gridRow++, 0, 1, 3);
    }
    QWidget* widget = makeControl(row, fieldParent);
    controls_.push_back(widget);
    if (!row.label.empty()) {
      auto* label = new QLabel(Q(FieldCaption(state_, row)), fieldParent);
      label->setObjectName(Name(row.label));
      label->setBuddy(widget);
      grid->addWidget(label, gridRow, 0);
    }
    if (!row.mark.empty()) grid->addWidget(new QLabel(Name(row.mark), fieldParent), gridRow, 1);
    grid->addWidget(widget, gridRow, 2);
    ++gridRow;
  }
  grid->setColumnStretch(2, 1);
  below_ = new QVBoxLayout;
  auto* fields = new QVBoxLayout;
  fields->addLayout(grid);
  fields->addLayout(below_);
  fields->addStretch();
  if (frame != nullptr) frame->setLayout(fields);

  side_ = new QVBoxLayout;
  auto* middle = new QHBoxLayout;
  if (frame != nullptr)
    middle->addWidget(frame, 1);
  else
    middle->addLayout(fields, 1);
  middle->addLayout(side_);

  auto* ok = new QPushButton(Ui(state_, Str::Ok), this);
  ok->setObjectName(options.okName);
  ok->setDefault(true);
  auto* cancel = new QPushButton(Ui(state_, Str::Cancel), this);
  cancel->setObjectName(options.cancelName);
  connect(ok, &QPushButton::clicked, this, &InstructionDialog::confirm);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(idRow);
  layout->addLayout(middle, 1);
  layout->addLayout(buttons);
}

QWidget* InstructionDialog::makeControl(const CatalogueRow& row, QWidget* parent) {
  QWidget* widget = nullptr;
  switch (row.control) {
    case FieldControl::List: {
      auto* list = new QComboBox(parent);
      list->setMaxVisibleItems(20);
      list->setMinimumContentsLength(12);
      widget = list;
      break;
    }
    case FieldControl::Text:
      widget = new QLineEdit(parent);
      break;
    case FieldControl::Check:
      widget = new QCheckBox(Q(FieldCaption(state_, row)), parent);
      break;
    case FieldControl::DialogueText: {
      auto* text = new QPlainTextEdit(parent);
      text->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
      text->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
      text->setMinimumHeight(80);
      widget = text;
      break;
    }
  }
  widget->setObjectName(Name(row.name));
  return widget;
}

void InstructionDialog::load() {
  const std::vector<FieldValue> values = ShowFields(state_, statement_, rows_);
  for (size_t k = 0; k < rows_.size(); ++k) {
    const CatalogueRow& row = rows_[k];
    const FieldValue& value = values[k];
    QWidget* widget = controls_[k];
    widget->setEnabled(value.enabled);
    switch (row.control) {
      case FieldControl::List: {
        auto* list = static_cast<QComboBox*>(widget);
        list->clear();
        if (value.enabled)
          for (const std::string& entry : ListEntries(state_, row.list)) list->addItem(Q(entry));
        list->setCurrentIndex(value.entry);
        break;
      }
      case FieldControl::Text:
        static_cast<QLineEdit*>(widget)->setText(Q(value.text));
        break;
      case FieldControl::Check: {
        auto* check = static_cast<QCheckBox*>(widget);
        check->setTristate(value.check == CheckMark::Mixed);
        check->setCheckState(ToQt(value.check));
        break;
      }
      case FieldControl::DialogueText:
        static_cast<QPlainTextEdit*>(widget)->setPlainText(Q(value.text));
        break;
    }
  }
  afterLoad();
}

std::vector<FieldValue> InstructionDialog::gather() const {
  std::vector<FieldValue> values(rows_.size());
  for (size_t k = 0; k < rows_.size(); ++k) {
    QWidget* widget = controls_[k];
    FieldValue& value = values[k];
    value.enabled = widget->isEnabled();
    switch (rows_[k].control) {
      case FieldControl::List:
        value.entry = static_cast<QComboBox*>(widget)->currentIndex();
        break;
      case FieldControl::Text:
        value.text = U8(static_cast<QLineEdit*>(widget)->text());
        break;
      case FieldControl::Check:
        value.check = FromQt(static_cast<QCheckBox*>(widget)->checkState());
        break;
      case FieldControl::DialogueText:
        value.text = U8(static_cast<QPlainTextEdit*>(widget)->toPlainText());
        break;
    }
  }
  return values;
}

QWidget* InstructionDialog::control(std::string_view name) const {
  for (size_t k = 0; k < rows_.size(); ++k)
    if (rows_[k].name == name) return controls_[k];
  return nullptr;
}

QComboBox* InstructionDialog::listControl(std::string_view name) const {
  return qobject_cast<QComboBox*>(control(name));
}

QLineEdit* InstructionDialog::textControl(std::string_view name) const {
  return qobject_cast<QLineEdit*>(control(name));
}

QLineEdit* InstructionDialog::textControl(FieldRole role) const {
  for (size_t k = 0; k < rows_.size(); ++k)
    if (rows_[k].role == role) return qobject_cast<QLineEdit*>(controls_[k]);
  return nullptr;
}

bool InstructionDialog::write() {
  Status applied = ApplyFields(state_, statement_, rows_, gather());
  if (!applied) ShowMessage(this, CoreText(state_, applied.error()));
  return applied.ok();
}

void InstructionDialog::confirm() {
  if (write()) accept();
}

}  // namespace tavrel::ui
