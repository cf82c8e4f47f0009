#include "ui/patcher/frm_z_modify.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tavrel::ui {
namespace {

QString Name(std::string_view name) { return QString::fromLatin1(name.data(), qsizetype(name.size())); }

QCheckBox* Check(QWidget* parent, std::string_view name) {
  auto* box = new QCheckBox(parent);
  box->setObjectName(Name(name));
  return box;
}

QLineEdit* Field(QWidget* parent, std::string_view name, int width) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(Name(name));
  field->setMaximumWidth(width);
  return field;
}

// A value the file holds, or an empty field when it lies beyond the file's end.
template <class T>
QString Shown(const std::optional<T>& value) {
  return value ? QString::number(*value) : QString();
}
QString Shown(const std::optional<std::string>& value) { return value ? Q(*value) : QString(); }

std::string Text(const QLineEdit* field) { return U8(field->text()); }

// A thin line between the groups of the left column.
QFrame* Rule(QWidget* parent) {
  auto* line = new QFrame(parent);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}

}  // namespace

FrmZModify::FrmZModify(EditorState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("frmzModify"));
  setModal(true);
  for (size_t k = 0; k < labels_.size(); ++k) {
    labels_[k] = new QLabel(this);
    labels_[k]->setObjectName(QStringLiteral("Label%1").arg(k + 1));
  }

  auto* columns = new QHBoxLayout;
  columns->addLayout(buildSwitches(), 1);
  columns->addSpacing(12);
  columns->addLayout(buildLimits());

  labels_[9]->setWordWrap(true);  // Label10: the pointer to the explanation file
  cmdok_ = new QPushButton(this);
  cmdok_->setObjectName(QStringLiteral("cmdok"));
  cmdok_->setAutoDefault(false);
  cmdcancel_ = new QPushButton(this);
  cmdcancel_->setObjectName(QStringLiteral("cmdcancel"));
  cmdcancel_->setAutoDefault(false);
  cmdrestore_ = new QPushButton(this);
  cmdrestore_->setObjectName(QStringLiteral("cmdrestore"));
  cmdrestore_->setAutoDefault(false);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(labels_[9], 1);
  bottom->addWidget(cmdrestore_);
  bottom->addWidget(cmdok_);
  bottom->addWidget(cmdcancel_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns, 1);
  layout->addLayout(bottom);

  connect(cmdok_, &QPushButton::clicked, this, &FrmZModify::apply);
  connect(cmdcancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(cmdrestore_, &QPushButton::clicked, this, &FrmZModify::restoreBackup);

  setCaptions();
  fillPersons();
  readValues();
}

QLayout* FrmZModify::buildSwitches() {
  chkgowater_ = Check(this, "chkgowater");
  Optwater1_ = new QRadioButton(this);
  Optwater1_->setObjectName(QStringLiteral("Optwater1"));
  Optwater2_ = new QRadioButton(this);
  Optwater2_->setObjectName(QStringLiteral("Optwater2"));
  auto* water = new QButtonGroup(this);
  water->addButton(Optwater1_);
  water->addButton(Optwater2_);
  Optwater2_->setChecked(true);
  auto* waterRow = new QHBoxLayout;
  waterRow->addWidget(chkgowater_);
  waterRow->addWidget(Optwater1_);
  waterRow->addWidget(Optwater2_);
  waterRow->addStretch(1);

  chkMemory_ = Check(this, "chkMemory");
  txtTotalMemory_ = Field(this, "txtTotalMemory", 110);
  txtMemory1_ = Field(this, "txtMemory1", 110);
  txtMemory2_ = Field(this, "txtMemory2", 110);
  auto* memory = new QGridLayout;
  memory->addWidget(chkMemory_, 0, 0, 1, 6);
  memory->addWidget(labels_[0], 1, 0);  // Label1: total memory
  memory->addWidget(txtTotalMemory_, 1, 1);
  memory->addWidget(labels_[1], 1, 2);  // Label2: M1
  memory->addWidget(txtMemory1_, 1, 3);
  memory->addWidget(labels_[2], 1, 4);  // Label3: M2
  memory->addWidget(txtMemory2_, 1, 5);
  memory->setColumnStretch(6, 1);

  // The two picture-name groups share one grid: box, then two labelled names.
  chkmodifySmp_ = Check(this, "chkmodifySmp");
  txtSDX_ = Field(this, "txtSDX", 130);
  txtsmp_ = Field(this, "txtsmp", 130);
  chkModifywar_ = Check(this, "chkModifywar");
  txtWDX_ = Field(this, "txtWDX", 130);
  txtWMP_ = Field(this, "txtWMP", 130);
  auto* names = new QGridLayout;
  names->addWidget(chkmodifySmp_, 0, 0, 1, 4);
  names->addWidget(labels_[3], 1, 0);  // Label4: SDX Name
  names->addWidget(txtSDX_, 1, 1);
  names->addWidget(labels_[4], 1, 2);  // Label5: SMP Name
  names->addWidget(txtsmp_, 1, 3);
  names->addWidget(chkModifywar_, 2, 0, 1, 4);
  names->addWidget(labels_[5], 3, 0);  // Label6: WDX Name
  names->addWidget(txtWDX_, 3, 1);
  names->addWidget(labels_[6], 3, 2);  // Label7: WMP Name
  names->addWidget(txtWMP_, 3, 3);
  names->setColumnStretch(4, 1);

  chkmodifyfight_ = Check(this, "chkmodifyfight");
  chkModifyfightfilename_ = Check(this, "chkModifyfightfilename");
  auto* fight = new QVBoxLayout;
  fight->addWidget(chkmodifyfight_);
  auto* renameRow = new QHBoxLayout;
  renameRow->addSpacing(20);
  renameRow->addWidget(chkModifyfightfilename_);
  renameRow->addStretch(1);
  fight->addLayout(renameRow);

  chkaddlidui_ = Check(this, "chkaddlidui");
  HScrollPerson_ = new QScrollBar(Qt::Horizontal, this);
  HScrollPerson_->setObjectName(QStringLiteral("HScrollPerson"));
  HScrollPerson_->setRange(0, zdat::kRosterSize - 1);
  HScrollPerson_->setMinimumWidth(160);
  Lblliduiperson_ = new QLabel(QStringLiteral("0"), this);
  Lblliduiperson_->setObjectName(QStringLiteral("Lblliduiperson"));
  Lblliduiperson_->setMinimumWidth(24);
  Comboperson_ = new QComboBox(this);
  Comboperson_->setObjectName(QStringLiteral("Comboperson"));
  Comboperson_->setMinimumContentsLength(14);
  Comboperson_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  txtliduishijian_ = Field(this, "txtliduishijian", 80);
  auto* roster = new QGridLayout;
  roster->addWidget(chkaddlidui_, 0, 0, 1, 3);
  roster->addWidget(labels_[7], 1, 0);  // Label8: members who can leave
  roster->addWidget(HScrollPerson_, 1, 1);
  roster->addWidget(Lblliduiperson_, 1, 2);
  roster->addWidget(Comboperson_, 2, 1, 1, 2);
  roster->addWidget(labels_[8], 3, 0);  // Label9: leave event number
  roster->addWidget(txtliduishijian_, 3, 1);
  roster->setColumnStretch(3, 1);

  connect(chkaddlidui_, &QCheckBox::toggled, this, &FrmZModify::rosterToggled);
  connect(HScrollPerson_, &QScrollBar::valueChanged, this, &FrmZModify::showSlot);
  connect(Comboperson_, &QComboBox::currentIndexChanged, this, &FrmZModify::choosePerson);

  governs(chkgowater_, {Optwater1_, Optwater2_});
  governs(chkMemory_, {txtTotalMemory_, txtMemory1_, txtMemory2_});
  governs(chkmodifySmp_, {txtSDX_, txtsmp_});
  governs(chkModifywar_, {txtWDX_, txtWMP_});
  governs(chkmodifyfight_, {chkModifyfightfilename_});
  for (QWidget* w : {static_cast<QWidget*>(HScrollPerson_), static_cast<QWidget*>(Comboperson_),
                     static_cast<QWidget*>(txtliduishijian_)})
    w->setEnabled(false);

  auto* column = new QVBoxLayout;
  column->addLayout(waterRow);
  column->addWidget(Rule(this));
  column->addLayout(memory);
  column->addWidget(Rule(this));
  column->addLayout(names);
  column->addWidget(Rule(this));
  column->addLayout(fight);
  column->addWidget(Rule(this));
  column->addLayout(roster);
  column->addStretch(1);
  return column;
}

QGridLayout* FrmZModify::buildLimits() {
  // One row per limit: its box, its value field and, for the byte limits,
  // the box that removes the limit.
  auto* grid = new QGridLayout;
  int row = 0;
  for (size_t k = 0; k < zdat::kWordLimits.size(); ++k, ++row) {
    const zdat::WordLimitSite& site = zdat::kWordLimits[k];
    WordLimitRow& r = wordLimits_[k];
    r.check = Check(this, site.checkBox);
    r.field = Field(this, site.field, 72);
    grid->addWidget(r.check, row, 0);
    grid->addWidget(r.field, row, 1);
    governs(r.check, {r.field});
  }
  for (size_t k = 0; k < zdat::kByteLimits.size(); ++k, ++row) {
    const zdat::ByteLimitSite& site = zdat::kByteLimits[k];
    ByteLimitRow& r = byteLimits_[k];
    r.check = Check(this, site.checkBox);
    r.field = Field(this, site.field, 72);
    r.cancel = Check(this, site.cancelBox);
    grid->addWidget(r.check, row, 0);
    grid->addWidget(r.field, row, 1);
    grid->addWidget(r.cancel, row, 2);
    governs(r.check, {r.field, r.cancel});
  }
  grid->setRowStretch(row, 1);
  return grid;
}

void FrmZModify::governs(QCheckBox* group, std::vector<QWidget*> controls) {
  for (QWidget* w : controls) w->setEnabled(false);
  connect(group, &QCheckBox::toggled, this, [controls](bool checked) {
    for (QWidget* w : controls) w->setEnabled(checked);
  });
}

void FrmZModify::setCaptions() {
  setWindowTitle(Ui(state_, Str::MenuPatcher));
  chkgowater_->setText(Ui(state_, Str::WaterWalkPatch));
  Optwater1_->setText(Ui(state_, Str::WaterWalk));
  Optwater2_->setText(Ui(state_, Str::Normal));
  chkMemory_->setText(Ui(state_, Str::MemoryPatch));
  chkmodifySmp_->setText(Ui(state_, Str::SceneTileNamesPatch));
  chkModifywar_->setText(Ui(state_, Str::BattleTileNamesPatch));
  chkmodifyfight_->setText(Ui(state_, Str::FightNamesInZdatPatch));
  chkModifyfightfilename_->setText(Ui(state_, Str::FightFileNamesPatch));
  chkaddlidui_->setText(Ui(state_, Str::RosterPatch));
  labels_[0]->setText(Ui(state_, Str::TotalMemory));
  labels_[1]->setText(Ui(state_, Str::PatcherMemory1));
  labels_[2]->setText(Ui(state_, Str::PatcherMemory2));
  labels_[3]->setText(Ui(state_, Str::PatcherSdxName));
  labels_[4]->setText(Ui(state_, Str::PatcherSmpName));
  labels_[5]->setText(Ui(state_, Str::PatcherWdxName));
  labels_[6]->setText(Ui(state_, Str::PatcherWmpName));
  labels_[7]->setText(Ui(state_, Str::RosterPersons));
  labels_[8]->setText(Ui(state_, Str::RosterLeaveEvent));
  labels_[9]->setText(Ui(state_, Str::PatcherNotes));
  for (size_t k = 0; k < wordLimits_.size(); ++k) wordLimits_[k].check->setText(Ui(state_, zdat::kWordLimits[k].caption));
  for (size_t k = 0; k < byteLimits_.size(); ++k) {
    byteLimits_[k].check->setText(Ui(state_, zdat::kByteLimits[k].caption));
    byteLimits_[k].cancel->setText(Ui(state_, Str::NoLimit));
  }
  cmdok_->setText(Ui(state_, Str::Ok));
  cmdcancel_->setText(Ui(state_, Str::Cancel));
  cmdrestore_->setText(Ui(state_, Str::RestoreZdat));
}

void FrmZModify::fillPersons() {
  const QSignalBlocker quiet(Comboperson_);
  Comboperson_->clear();
  const std::vector<std::string> entries = zdat::RosterPersonChoices(state_.game.names);
  for (size_t i = 0; i < entries.size(); ++i) Comboperson_->addItem(Q(entries[i]), int(i));
  personEntries_ = Comboperson_->count();
  Comboperson_->setCurrentIndex(-1);
}

void FrmZModify::readValues() {
  const zdat::ZdatFile file = zdat::ReadZdat(state_.gameDirectory);
  const zdat::ZdatValues& v = file.values;
  txtTotalMemory_->setText(Shown(v.totalMemory));
  txtMemory1_->setText(Shown(v.memory1));
  txtMemory2_->setText(Shown(v.memory2));
  txtSDX_->setText(Shown(v.sdx));
  txtsmp_->setText(Shown(v.smp));
  txtWDX_->setText(Shown(v.wdx));
  txtWMP_->setText(Shown(v.wmp));
  txtliduishijian_->setText(Shown(v.leaveEvent));
  for (size_t k = 0; k < wordLimits_.size(); ++k) wordLimits_[k].field->setText(Shown(v.wordLimits[k]));
  for (size_t k = 0; k < byteLimits_.size(); ++k) {
    std::optional<int> limit;
    if (v.byteLimits[k]) limit = *v.byteLimits[k];
    byteLimits_[k].field->setText(Shown(limit));
  }
  const std::string problem = zdat::ZdatOpenProblem(state_.text(), file);
  if (!problem.empty()) ShowMessage(this, Q(problem));
}

void FrmZModify::rosterToggled(bool checked) {
  HScrollPerson_->setEnabled(checked);
  Comboperson_->setEnabled(checked);
  txtliduishijian_->setEnabled(checked);
  if (!checked) return;
  HScrollPerson_->setRange(0, zdat::kRosterSize - 1);
  // The roster is read from z.dat each time the box is checked.
  const zdat::ZdatFile file = zdat::ReadZdat(state_.gameDirectory);
  if (file.values.roster) {
    zdat::GatherRoster(*file.values.roster, slots_);
  } else {
    const std::string problem = zdat::ZdatOpenProblem(state_.text(), file);
    if (!problem.empty()) ShowMessage(this, Q(problem));
  }
  {
    const QSignalBlocker quiet(HScrollPerson_);
    HScrollPerson_->setValue(0);
  }
  showSlot(0);
}

void FrmZModify::showSlot(int slot) {
  if (slot < 0 || slot >= zdat::kRosterSize) return;
  const QSignalBlocker quiet(Comboperson_);
  while (Comboperson_->count() > personEntries_) Comboperson_->removeItem(Comboperson_->count() - 1);
  const int person = slots_[size_t(slot)];
  if (person < personEntries_) {
    Comboperson_->setCurrentIndex(person);
  } else {
    // A person the name table does not hold: shown by number alone, kept as it is.
    Comboperson_->addItem(QString::number(person), person);
    Comboperson_->setCurrentIndex(Comboperson_->count() - 1);
  }
  Lblliduiperson_->setText(QString::number(slot));
}

void FrmZModify::choosePerson(int position) {
  if (position < 0) return;
  const int slot = HScrollPerson_->value();
  if (slot < 0 || slot >= zdat::kRosterSize) return;
  slots_[size_t(slot)] = uint8_t(Comboperson_->itemData(position).toInt());
}

zdat::ZdatChoices FrmZModify::choices() const {
  zdat::ZdatChoices c;
  c.water = chkgowater_->isChecked();
  c.walkOnWater = Optwater1_->isChecked();
  c.memory = chkMemory_->isChecked();
  c.totalMemory = Text(txtTotalMemory_);
  c.memory1 = Text(txtMemory1_);
  c.memory2 = Text(txtMemory2_);
  c.scenePictures = chkmodifySmp_->isChecked();
  c.sdx = Text(txtSDX_);
  c.smp = Text(txtsmp_);
  c.battlePictures = chkModifywar_->isChecked();
  c.wdx = Text(txtWDX_);
  c.wmp = Text(txtWMP_);
  c.fight = chkmodifyfight_->isChecked();
  c.renameFightFiles = chkModifyfightfilename_->isChecked();
  c.roster = chkaddlidui_->isChecked();
  c.rosterSlots = slots_;
  c.leaveEvent = Text(txtliduishijian_);
  for (size_t k = 0; k < wordLimits_.size(); ++k)
    c.wordLimits[k] = {wordLimits_[k].check->isChecked(), Text(wordLimits_[k].field), false};
  for (size_t k = 0; k < byteLimits_.size(); ++k)
    c.byteLimits[k] = {byteLimits_[k].check->isChecked(), Text(byteLimits_[k].field),
                       byteLimits_[k].cancel->isChecked()};
  return c;
}

void FrmZModify::apply() {
  if (!AskYesNo(this, Ui(state_, Str::PatchQuestion))) return;
  const zdat::PatchOutcome outcome = zdat::PatchZdat(state_.gameDirectory, choices(), zdat::RunPatchSession());
  // Success says nothing; the window stays open with the values as they are.
  const std::string problems = zdat::PatchOutcomeMessage(state_.text(), outcome);
  if (!problems.empty()) ShowMessage(this, Q(problems));
}

// The patch wrote z.dat at once; its first backup brings back the file as
// it was before, after the user agreed.
void FrmZModify::restoreBackup() {
  if (!AskYesNo(this, Ui(state_, Str::RestoreZdatQuestion))) return;
  if (Status restored = zdat::RestoreZdatBackup(state_.text(), state_.gameDirectory, zdat::RunPatchSession());
      !restored) {
    ShowMessage(this, Q(restored.error()));
    return;
  }
  readValues();
  ShowMessage(this, Ui(state_, Str::ZdatRestored));
}

}  // namespace tavrel::ui
