#include "ui/patcher/zdat_patcher_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QUrl>
#include <QVBoxLayout>
#include <filesystem>
#include <system_error>

#include "app/program_files.h"

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

ZdatPatcherWindow::ZdatPatcherWindow(EditorState& state, QWidget* parent) : QDialog(parent), state_(state) {
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
  patchButton_ = new QPushButton(this);
  patchButton_->setObjectName(QStringLiteral("cmdok"));
  patchButton_->setAutoDefault(false);
  cancelButton_ = new QPushButton(this);
  cancelButton_->setObjectName(QStringLiteral("cmdcancel"));
  cancelButton_->setAutoDefault(false);
  restoreButton_ = new QPushButton(this);
  restoreButton_->setObjectName(QStringLiteral("cmdrestore"));
  restoreButton_->setAutoDefault(false);
  notesButton_ = new QPushButton(this);
  notesButton_->setObjectName(QStringLiteral("cmdnotes"));
  notesButton_->setAutoDefault(false);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(labels_[9], 1);
  bottom->addWidget(notesButton_);
  bottom->addWidget(restoreButton_);
  bottom->addWidget(patchButton_);
  bottom->addWidget(cancelButton_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns, 1);
  layout->addLayout(bottom);

  connect(patchButton_, &QPushButton::clicked, this, &ZdatPatcherWindow::apply);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  connect(restoreButton_, &QPushButton::clicked, this, &ZdatPatcherWindow::restoreBackup);
  connect(notesButton_, &QPushButton::clicked, this, &ZdatPatcherWindow::openNotes);

  setCaptions();
  fillPersons();
  readValues();
}

QLayout* ZdatPatcherWindow::buildSwitches() {
  walkOnWaterBox_ = Check(this, "chkgowater");
  walkOnWaterOption_ = new QRadioButton(this);
  walkOnWaterOption_->setObjectName(QStringLiteral("Optwater1"));
  normalWaterOption_ = new QRadioButton(this);
  normalWaterOption_->setObjectName(QStringLiteral("Optwater2"));
  auto* water = new QButtonGroup(this);
  water->addButton(walkOnWaterOption_);
  water->addButton(normalWaterOption_);
  normalWaterOption_->setChecked(true);
  auto* waterRow = new QHBoxLayout;
  waterRow->addWidget(walkOnWaterBox_);
  waterRow->addWidget(walkOnWaterOption_);
  waterRow->addWidget(normalWaterOption_);
  waterRow->addStretch(1);

  memoryBox_ = Check(this, "chkMemory");
  totalMemoryField_ = Field(this, "txtTotalMemory", 110);
  memory1Field_ = Field(this, "txtMemory1", 110);
  memory2Field_ = Field(this, "txtMemory2", 110);
  auto* memory = new QGridLayout;
  memory->addWidget(memoryBox_, 0, 0, 1, 6);
  memory->addWidget(labels_[0], 1, 0);  // Label1: total memory
  memory->addWidget(totalMemoryField_, 1, 1);
  memory->addWidget(labels_[1], 1, 2);  // Label2: M1
  memory->addWidget(memory1Field_, 1, 3);
  memory->addWidget(labels_[2], 1, 4);  // Label3: M2
  memory->addWidget(memory2Field_, 1, 5);
  memory->setColumnStretch(6, 1);

  // The two picture-name groups share one grid: box, then two labelled names.
  scenePicturesBox_ = Check(this, "chkmodifySmp");
  sdxField_ = Field(this, "txtSDX", 130);
  smpField_ = Field(this, "txtsmp", 130);
  battlePicturesBox_ = Check(this, "chkModifywar");
  wdxField_ = Field(this, "txtWDX", 130);
  wmpField_ = Field(this, "txtWMP", 130);
  auto* names = new QGridLayout;
  names->addWidget(scenePicturesBox_, 0, 0, 1, 4);
  names->addWidget(labels_[3], 1, 0);  // Label4: SDX Name
  names->addWidget(sdxField_, 1, 1);
  names->addWidget(labels_[4], 1, 2);  // Label5: SMP Name
  names->addWidget(smpField_, 1, 3);
  names->addWidget(battlePicturesBox_, 2, 0, 1, 4);
  names->addWidget(labels_[5], 3, 0);  // Label6: WDX Name
  names->addWidget(wdxField_, 3, 1);
  names->addWidget(labels_[6], 3, 2);  // Label7: WMP Name
  names->addWidget(wmpField_, 3, 3);
  names->setColumnStretch(4, 1);

  fightBox_ = Check(this, "chkmodifyfight");
  renameFightFilesBox_ = Check(this, "chkModifyfightfilename");
  auto* fight = new QVBoxLayout;
  fight->addWidget(fightBox_);
  auto* renameRow = new QHBoxLayout;
  renameRow->addSpacing(20);
  renameRow->addWidget(renameFightFilesBox_);
  renameRow->addStretch(1);
  fight->addLayout(renameRow);

  rosterBox_ = Check(this, "chkaddlidui");
  rosterSlotBar_ = new QScrollBar(Qt::Horizontal, this);
  rosterSlotBar_->setObjectName(QStringLiteral("HScrollPerson"));
  rosterSlotBar_->setRange(0, zdat::kRosterSize - 1);
  rosterSlotBar_->setMinimumWidth(160);
  rosterSlotLabel_ = new QLabel(QStringLiteral("0"), this);
  rosterSlotLabel_->setObjectName(QStringLiteral("Lblliduiperson"));
  rosterSlotLabel_->setMinimumWidth(24);
  rosterPersonList_ = new QComboBox(this);
  rosterPersonList_->setObjectName(QStringLiteral("Comboperson"));
  rosterPersonList_->setMinimumContentsLength(14);
  rosterPersonList_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  leaveEventField_ = Field(this, "txtliduishijian", 80);
  auto* roster = new QGridLayout;
  roster->addWidget(rosterBox_, 0, 0, 1, 3);
  roster->addWidget(labels_[7], 1, 0);  // Label8: members who can leave
  roster->addWidget(rosterSlotBar_, 1, 1);
  roster->addWidget(rosterSlotLabel_, 1, 2);
  roster->addWidget(rosterPersonList_, 2, 1, 1, 2);
  roster->addWidget(labels_[8], 3, 0);  // Label9: leave event number
  roster->addWidget(leaveEventField_, 3, 1);
  roster->setColumnStretch(3, 1);

  connect(rosterBox_, &QCheckBox::toggled, this, &ZdatPatcherWindow::rosterToggled);
  connect(rosterSlotBar_, &QScrollBar::valueChanged, this, &ZdatPatcherWindow::showSlot);
  connect(rosterPersonList_, &QComboBox::currentIndexChanged, this, &ZdatPatcherWindow::choosePerson);

  governs(walkOnWaterBox_, {walkOnWaterOption_, normalWaterOption_});
  governs(memoryBox_, {totalMemoryField_, memory1Field_, memory2Field_});
  governs(scenePicturesBox_, {sdxField_, smpField_});
  governs(battlePicturesBox_, {wdxField_, wmpField_});
  governs(fightBox_, {renameFightFilesBox_});
  for (QWidget* w : {static_cast<QWidget*>(rosterSlotBar_), static_cast<QWidget*>(rosterPersonList_),
                     static_cast<QWidget*>(leaveEventField_)})
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

QGridLayout* ZdatPatcherWindow::buildLimits() {
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

void ZdatPatcherWindow::governs(QCheckBox* group, const std::vector<QWidget*>& controls) {
  for (QWidget* w : controls) w->setEnabled(false);
  connect(group, &QCheckBox::toggled, this, [controls](bool checked) {
    for (QWidget* w : controls) w->setEnabled(checked);
  });
}

void ZdatPatcherWindow::setCaptions() {
  setWindowTitle(Ui(state_, Str::MenuPatcher));
  walkOnWaterBox_->setText(Ui(state_, Str::WaterWalkPatch));
  walkOnWaterOption_->setText(Ui(state_, Str::WaterWalk));
  normalWaterOption_->setText(Ui(state_, Str::Normal));
  memoryBox_->setText(Ui(state_, Str::MemoryPatch));
  scenePicturesBox_->setText(Ui(state_, Str::SceneTileNamesPatch));
  battlePicturesBox_->setText(Ui(state_, Str::BattleTileNamesPatch));
  fightBox_->setText(Ui(state_, Str::FightNamesInZdatPatch));
  renameFightFilesBox_->setText(Ui(state_, Str::FightFileNamesPatch));
  rosterBox_->setText(Ui(state_, Str::RosterPatch));
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
  for (size_t k = 0; k < wordLimits_.size(); ++k)
    wordLimits_[k].check->setText(Ui(state_, zdat::kWordLimits[k].caption));
  for (size_t k = 0; k < byteLimits_.size(); ++k) {
    byteLimits_[k].check->setText(Ui(state_, zdat::kByteLimits[k].caption));
    byteLimits_[k].cancel->setText(Ui(state_, Str::NoLimit));
  }
  patchButton_->setText(Ui(state_, Str::Ok));
  cancelButton_->setText(Ui(state_, Str::Cancel));
  restoreButton_->setText(Ui(state_, Str::RestoreZdat));
  notesButton_->setText(Ui(state_, Str::OpenPatcherNotes));
}

void ZdatPatcherWindow::fillPersons() {
  const QSignalBlocker quiet(rosterPersonList_);
  rosterPersonList_->clear();
  const std::vector<std::string> entries = zdat::RosterPersonChoices(state_.game.names);
  for (size_t i = 0; i < entries.size(); ++i) rosterPersonList_->addItem(Q(entries[i]), int(i));
  personEntries_ = rosterPersonList_->count();
  rosterPersonList_->setCurrentIndex(-1);
}

void ZdatPatcherWindow::readValues() {
  const zdat::ZdatFile file = zdat::ReadZdat(state_.gameDirectory);
  const zdat::ZdatValues& v = file.values;
  totalMemoryField_->setText(Shown(v.totalMemory));
  memory1Field_->setText(Shown(v.memory1));
  memory2Field_->setText(Shown(v.memory2));
  sdxField_->setText(Shown(v.sdx));
  smpField_->setText(Shown(v.smp));
  wdxField_->setText(Shown(v.wdx));
  wmpField_->setText(Shown(v.wmp));
  leaveEventField_->setText(Shown(v.leaveEvent));
  for (size_t k = 0; k < wordLimits_.size(); ++k) wordLimits_[k].field->setText(Shown(v.wordLimits[k]));
  for (size_t k = 0; k < byteLimits_.size(); ++k) {
    std::optional<int> limit;
    if (v.byteLimits[k]) limit = *v.byteLimits[k];
    byteLimits_[k].field->setText(Shown(limit));
  }
  const std::string problem = zdat::ZdatOpenProblem(state_.text(), file);
  if (!problem.empty()) ShowMessage(this, Q(problem));
}

void ZdatPatcherWindow::rosterToggled(bool checked) {
  rosterSlotBar_->setEnabled(checked);
  rosterPersonList_->setEnabled(checked);
  leaveEventField_->setEnabled(checked);
  if (!checked) return;
  rosterSlotBar_->setRange(0, zdat::kRosterSize - 1);
  // The roster is read from z.dat each time the box is checked.
  const zdat::ZdatFile file = zdat::ReadZdat(state_.gameDirectory);
  if (file.values.roster) {
    zdat::GatherRoster(*file.values.roster, slots_);
  } else {
    const std::string problem = zdat::ZdatOpenProblem(state_.text(), file);
    if (!problem.empty()) ShowMessage(this, Q(problem));
  }
  {
    const QSignalBlocker quiet(rosterSlotBar_);
    rosterSlotBar_->setValue(0);
  }
  showSlot(0);
}

void ZdatPatcherWindow::showSlot(int slot) {
  if (slot < 0 || slot >= zdat::kRosterSize) return;
  const QSignalBlocker quiet(rosterPersonList_);
  while (rosterPersonList_->count() > personEntries_) rosterPersonList_->removeItem(rosterPersonList_->count() - 1);
  const int person = slots_[size_t(slot)];
  if (person < personEntries_) {
    rosterPersonList_->setCurrentIndex(person);
  } else {
    // A person the name table does not hold: shown by number alone, kept as it is.
    rosterPersonList_->addItem(QString::number(person), person);
    rosterPersonList_->setCurrentIndex(rosterPersonList_->count() - 1);
  }
  rosterSlotLabel_->setText(QString::number(slot));
}

void ZdatPatcherWindow::choosePerson(int position) {
  if (position < 0) return;
  const int slot = rosterSlotBar_->value();
  if (slot < 0 || slot >= zdat::kRosterSize) return;
  slots_[size_t(slot)] = uint8_t(rosterPersonList_->itemData(position).toInt());
}

zdat::ZdatChoices ZdatPatcherWindow::choices() const {
  zdat::ZdatChoices c;
  c.water = walkOnWaterBox_->isChecked();
  c.walkOnWater = walkOnWaterOption_->isChecked();
  c.memory = memoryBox_->isChecked();
  c.totalMemory = Text(totalMemoryField_);
  c.memory1 = Text(memory1Field_);
  c.memory2 = Text(memory2Field_);
  c.scenePictures = scenePicturesBox_->isChecked();
  c.sdx = Text(sdxField_);
  c.smp = Text(smpField_);
  c.battlePictures = battlePicturesBox_->isChecked();
  c.wdx = Text(wdxField_);
  c.wmp = Text(wmpField_);
  c.fight = fightBox_->isChecked();
  c.renameFightFiles = renameFightFilesBox_->isChecked();
  c.roster = rosterBox_->isChecked();
  c.rosterSlots = slots_;
  c.leaveEvent = Text(leaveEventField_);
  for (size_t k = 0; k < wordLimits_.size(); ++k)
    c.wordLimits[k] = {wordLimits_[k].check->isChecked(), Text(wordLimits_[k].field), false};
  for (size_t k = 0; k < byteLimits_.size(); ++k)
    c.byteLimits[k] = {byteLimits_[k].check->isChecked(), Text(byteLimits_[k].field),
                       byteLimits_[k].cancel->isChecked()};
  return c;
}

void ZdatPatcherWindow::apply() {
  if (!AskYesNo(this, Ui(state_, Str::PatchQuestion))) return;
  const zdat::PatchOutcome outcome = zdat::PatchZdat(state_.gameDirectory, choices(), zdat::RunPatchSession());
  // Success says nothing; the window stays open with the values as they are.
  const std::string problems = zdat::PatchOutcomeMessage(state_.text(), outcome);
  if (!problems.empty()) ShowMessage(this, Q(problems));
}

// The patch wrote z.dat at once; its first backup brings back the file as
// it was before, after the user agreed.
void ZdatPatcherWindow::restoreBackup() {
  if (!AskYesNo(this, Ui(state_, Str::RestoreZdatQuestion))) return;
  if (Status restored = zdat::RestoreZdatBackup(state_.text(), state_.gameDirectory, zdat::RunPatchSession());
      !restored) {
    ShowMessage(this, Q(restored.error()));
    return;
  }
  readValues();
  ShowMessage(this, Ui(state_, Str::ZdatRestored));
}

// The notes lie with the editor's data files, where the program found them.
void ZdatPatcherWindow::openNotes() {
  const std::filesystem::path notes = PatcherNotesPath(state_.programDir, CurrentInterfaceLanguage());
  const QString shown = QDir::toNativeSeparators(QString::fromStdU16String(notes.u16string()));
  std::error_code ec;
  if (!std::filesystem::is_regular_file(notes, ec)) {
    ShowMessage(this, UiFormat(state_, Str::PatcherNotesMissing, shown));
    return;
  }
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdU16String(notes.u16string()))))
    ShowMessage(this, UiFormat(state_, Str::PatcherNotesNotOpened, shown));
}

}  // namespace tavrel::ui
