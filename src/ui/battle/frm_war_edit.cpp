#include "ui/battle/frm_war_edit.h"
#include "ui/settings.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/find.h"
#include "ui/battle/battle_messages.h"
#include "ui/battle/frm_war_map.h"
#include "ui/battle/person_list.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tavrel::ui {
namespace {

QString Indexed(const char* name, int index) { return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index); }

QLineEdit* NumberBox(QWidget* parent, const QString& name, int width = 56) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(name);
  box->setMaximumWidth(width);
  return box;
}

QComboBox* PersonBox(QWidget* parent, const QString& name) {
  auto* list = new QComboBox(parent);
  list->setObjectName(name);
  list->setMinimumContentsLength(8);
  list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  return list;
}

// The few fixed marks of the coordinate columns.
QLabel* Mark(QWidget* parent, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(Qt::AlignCenter);
  return label;
}

}  // namespace

FrmWarEdit::FrmWarEdit(EditorState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("FrmWarEdit"));
  setModal(true);
  buildControls();
  setCaptions();
  const QStringList persons = PersonEntries(state_);
  for (QComboBox* list : ComboPerson_) FillPersonList(list, persons);
  for (QComboBox* list : ComboSelectperson_) FillPersonList(list, persons);
  for (QComboBox* list : Comboenemy_) FillPersonList(list, persons);
  readBattles();
  RememberGeometry(*this, QStringLiteral("battle"));
}

void FrmWarEdit::buildControls() {
  for (size_t k = 0; k < labels_.size(); ++k) {
    labels_[k] = new QLabel(this);
    labels_[k]->setObjectName(QStringLiteral("Label%1").arg(k + 1));
  }
  Combowar_ = new QComboBox(this);
  Combowar_->setObjectName(QStringLiteral("Combowar"));
  Combowar_->setMinimumContentsLength(16);
  txtwarname_ = NumberBox(this, QStringLiteral("txtwarname"), 160);
  txtMap_ = NumberBox(this, QStringLiteral("txtMap"), 80);
  txtexp_ = NumberBox(this, QStringLiteral("txtexp"), 80);
  txtmusic_ = NumberBox(this, QStringLiteral("txtmusic"), 80);

  auto* top = new QGridLayout;
  top->addWidget(labels_[0], 0, 0);  // Label1: battle scene
  top->addWidget(Combowar_, 0, 1, 1, 3);
  top->addWidget(labels_[8], 1, 0);  // Label9: battle name
  top->addWidget(txtwarname_, 1, 1);
  top->addWidget(labels_[1], 2, 0);  // Label2 .. Label4: map, experience, music
  top->addWidget(txtMap_, 2, 1);
  top->addWidget(labels_[2], 2, 2);
  top->addWidget(txtexp_, 2, 3);
  top->addWidget(labels_[3], 3, 0);
  top->addWidget(txtmusic_, 3, 1);
  // The events that start the chosen battle.
  auto* startedByLabel = new QLabel(Ui(state_, Str::BattleStartedBy), this);
  startedByLabel->setObjectName(QStringLiteral("lblStartedBy"));
  lstStartedBy_ = new QListWidget(this);
  lstStartedBy_->setObjectName(QStringLiteral("lstStartedBy"));
  lstStartedBy_->setMaximumHeight(90);
  top->addWidget(startedByLabel, 0, 5);
  top->addWidget(lstStartedBy_, 1, 5, 3, 1);
  top->setColumnStretch(4, 1);
  top->setColumnStretch(5, 2);

  auto* buttons = new QHBoxLayout;
  auto button = [&](QPushButton*& b, const char* name) {
    b = new QPushButton(this);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    buttons->addWidget(b);
  };
  button(cmdedit_, "cmdedit");
  button(cmdaddwar_, "cmdaddwar");
  button(cmddelwar_, "cmddelwar");
  button(cmdshow_, "cmdshow");
  button(cmdundo_, "cmdundo");
  button(cmdredo_, "cmdredo");
  cmdundo_->setShortcut(QKeySequence::Undo);
  cmdredo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
  auto* redoKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), this);
  connect(redoKey, &QShortcut::activated, this, &FrmWarEdit::redo);
  buttons->addStretch(1);
  button(cmdsave_, "cmdsave");
  button(cmdcancel_, "cmdcancel");

  auto* sides = new QHBoxLayout;
  sides->addLayout(buildParticipants());
  sides->addSpacing(16);
  sides->addLayout(buildEnemies(), 1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(sides, 1);
  layout->addLayout(buttons);

  connect(Combowar_, &QComboBox::currentIndexChanged, this, [this](int battle) { showBattle(battle); });
  connect(cmdedit_, &QPushButton::clicked, this, &FrmWarEdit::applyBattle);
  connect(cmdaddwar_, &QPushButton::clicked, this, &FrmWarEdit::addBattle);
  connect(cmddelwar_, &QPushButton::clicked, this, &FrmWarEdit::deleteBattle);
  connect(cmdsave_, &QPushButton::clicked, this, &FrmWarEdit::saveBattles);
  connect(cmdshow_, &QPushButton::clicked, this, &FrmWarEdit::showMap);
  connect(cmdcancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(cmdundo_, &QPushButton::clicked, this, &FrmWarEdit::undo);
  connect(cmdredo_, &QPushButton::clicked, this, &FrmWarEdit::redo);
}

QGridLayout* FrmWarEdit::buildParticipants() {
  auto* grid = new QGridLayout;
  grid->addWidget(labels_[4], 0, 1);  // Label5: chosen by hand
  grid->addWidget(labels_[5], 0, 2);  // Label6: chosen automatically
  labels_[5]->setWordWrap(true);
  labels_[5]->setMaximumWidth(220);
  grid->addWidget(labels_[6], 0, 3, 1, 2);  // Label7: coordinates
  grid->addWidget(Mark(this, QStringLiteral("X")), 1, 3);
  grid->addWidget(Mark(this, QStringLiteral("Y")), 1, 4);
  for (int k = 0; k < kBattleParticipants; ++k) {
    const size_t i = size_t(k);
    ComboPerson_[i] = PersonBox(this, Indexed("ComboPerson", k));
    ComboSelectperson_[i] = PersonBox(this, Indexed("ComboSelectperson", k));
    txtpersonx_[i] = NumberBox(this, Indexed("txtpersonx", k));
    txtpersony_[i] = NumberBox(this, Indexed("txtpersony", k));
    const int row = k + 2;
    grid->addWidget(Mark(this, QString::number(k)), row, 0);
    grid->addWidget(ComboPerson_[i], row, 1);
    grid->addWidget(ComboSelectperson_[i], row, 2);
    grid->addWidget(txtpersonx_[i], row, 3);
    grid->addWidget(txtpersony_[i], row, 4);
  }
  grid->setRowStretch(kBattleParticipants + 2, 1);
  return grid;
}

QGridLayout* FrmWarEdit::buildEnemies() {
  // Twenty enemies in two columns of ten: mark, list, X, Y.
  constexpr int kRows = kBattleEnemies / 2;
  auto* grid = new QGridLayout;
  grid->addWidget(labels_[7], 0, 0, 1, 8);  // Label8: enemies
  for (int column = 0; column < 2; ++column) {
    grid->addWidget(Mark(this, QStringLiteral("X")), 1, column * 4 + 2);
    grid->addWidget(Mark(this, QStringLiteral("Y")), 1, column * 4 + 3);
  }
  for (int d = 0; d < kBattleEnemies; ++d) {
    const size_t i = size_t(d);
    Comboenemy_[i] = PersonBox(this, Indexed("Comboenemy", d));
    txtenemyX_[i] = NumberBox(this, Indexed("txtenemyX", d));
    txtenemyy_[i] = NumberBox(this, Indexed("txtenemyy", d));
    const int row = d % kRows + 2;
    const int col = d / kRows * 4;
    grid->addWidget(Mark(this, QStringLiteral("E%1").arg(d)), row, col);
    grid->addWidget(Comboenemy_[i], row, col + 1);
    grid->addWidget(txtenemyX_[i], row, col + 2);
    grid->addWidget(txtenemyy_[i], row, col + 3);
  }
  grid->setRowStretch(kRows + 2, 1);
  return grid;
}

void FrmWarEdit::setCaptions() {
  setWindowTitle(Ui(state_, Str::BattleEditorTitle));
  // Label1 .. Label8 are strings 10002 .. 10009, Label9 is 10023.
  for (int k = 0; k < 8; ++k) labels_[size_t(k)]->setText(Ui(state_, 10002 + k));
  labels_[8]->setText(Ui(state_, Str::BattleName));
  cmdedit_->setText(Ui(state_, Str::BattleModify));
  cmdsave_->setText(Ui(state_, Str::BattleSave));
  cmdcancel_->setText(Ui(state_, Str::BattleCancel));
  cmdshow_->setText(Ui(state_, Str::ShowBattlefield));
  cmdaddwar_->setText(Ui(state_, Str::AddBattle));
  cmddelwar_->setText(Ui(state_, Str::DeleteBattle));
  refreshHistoryButtons();
}

void FrmWarEdit::readBattles() {
  Result<WarStaContents> read = ReadWarSta(state_.gameDirectory, state_.text());
  QString problem;
  if (read) {
    state_.battles = std::move(read->battles);
    problem = WarStaReadMessage(state_, *read);
  } else {
    state_.battles.clear();
    problem = WarStaUnreadableMessage(state_, read.error());
  }
  history_.Clear();
  fillCombowar(-1);
  // With no battle to start from, the fields show a blank one so the first
  // battle can be added from them.
  if (state_.battles.empty()) showFields(FieldsOf(BlankBattle()));
  if (!problem.isEmpty()) ShowMessage(this, problem);
}

void FrmWarEdit::fillCombowar(int choose) {
  {
    const QSignalBlocker quiet(Combowar_);
    Combowar_->clear();
    for (size_t i = 0; i < state_.battles.size(); ++i)
      Combowar_->addItem(QString::number(i) + QStringLiteral("-") + Q(state_.battles[i].name));
    Combowar_->setCurrentIndex(choose);
  }
  if (choose >= 0) showBattle(choose);
}

int FrmWarEdit::chosenBattle() const { return Combowar_->currentIndex(); }
QString FrmWarEdit::mapText() const { return txtMap_->text(); }

void FrmWarEdit::showBattle(int battle) {
  if (battle < 0 || battle >= int(state_.battles.size())) return;
  showFields(FieldsOf(state_.battles[size_t(battle)]));
  showStartedBy(battle);
}

void FrmWarEdit::showStartedBy(int battle) {
  lstStartedBy_->clear();
  FindQuery query;
  query.reference = RefKind::Battle;
  query.number = battle;
  if (Result<std::vector<FoundLine>> found = FindAll(state_, query))
    for (const FoundLine& line : *found)
      lstStartedBy_->addItem(UiFormat(state_, Str::ResultLine, CoreText(state_, PlaceText(line.place)), Q(line.text)));
}

void FrmWarEdit::showFields(const BattleFields& f) {
  txtwarname_->setText(Q(f.name));
  txtMap_->setText(Q(f.map));
  txtexp_->setText(Q(f.experience));
  txtmusic_->setText(Q(f.music));
  for (size_t k = 0; k < size_t(kBattleParticipants); ++k) {
    ShowPerson(ComboPerson_[k], f.manual[k]);
    ShowPerson(ComboSelectperson_[k], f.automatic[k]);
    txtpersonx_[k]->setText(Q(f.personX[k]));
    txtpersony_[k]->setText(Q(f.personY[k]));
  }
  for (size_t d = 0; d < size_t(kBattleEnemies); ++d) {
    ShowPerson(Comboenemy_[d], f.enemies[d]);
    txtenemyX_[d]->setText(Q(f.enemyX[d]));
    txtenemyy_[d]->setText(Q(f.enemyY[d]));
  }
}

BattleFields FrmWarEdit::readFields() const {
  BattleFields f;
  f.name = U8(txtwarname_->text());
  f.map = U8(txtMap_->text());
  f.experience = U8(txtexp_->text());
  f.music = U8(txtmusic_->text());
  for (size_t k = 0; k < size_t(kBattleParticipants); ++k) {
    f.manual[k] = ChosenPerson(ComboPerson_[k]);
    f.automatic[k] = ChosenPerson(ComboSelectperson_[k]);
    f.personX[k] = U8(txtpersonx_[k]->text());
    f.personY[k] = U8(txtpersony_[k]->text());
  }
  for (size_t d = 0; d < size_t(kBattleEnemies); ++d) {
    f.enemies[d] = ChosenPerson(Comboenemy_[d]);
    f.enemyX[d] = U8(txtenemyX_[d]->text());
    f.enemyY[d] = U8(txtenemyy_[d]->text());
  }
  return f;
}

// A refused command: says why (a silent no-op while nothing is chosen) and
// puts the cursor into the field that refused.
bool FrmWarEdit::refused(const BattleCommandResult& result) {
  if (result.changed) return false;
  if (result.fieldError) {
    using Field = BattleFieldError::Field;
    const BattleFieldError& e = *result.fieldError;
    const size_t i = size_t(e.index);
    QLineEdit* box = nullptr;
    switch (e.field) {
      case Field::Map: box = txtMap_; break;
      case Field::Experience: box = txtexp_; break;
      case Field::Music: box = txtmusic_; break;
      case Field::PersonX: box = txtpersonx_[i]; break;
      case Field::PersonY: box = txtpersony_[i]; break;
      case Field::EnemyX: box = txtenemyX_[i]; break;
      case Field::EnemyY: box = txtenemyy_[i]; break;
    }
    ShowMessage(this, FieldErrorMessage(state_, e));
    if (box) {
      box->setFocus();
      box->selectAll();
    }
  } else if (result.refusal == BattleCommandResult::Refusal::OnlyBattleLeft) {
    ShowMessage(this, OnlyBattleLeftMessage(state_));
  }
  return true;
}

void FrmWarEdit::applyBattle() {
  history_.Begin(state_.battles, kStepApplyBattle, chosenBattle());
  const BattleCommandResult r = ApplyBattle(state_.battles, chosenBattle(), readFields());
  history_.Commit(state_.battles);
  if (refused(r)) return;
  fillCombowar(r.choose);
  refreshHistoryButtons();
}

void FrmWarEdit::addBattle() {
  history_.Begin(state_.battles, kStepAddBattle, chosenBattle());
  const BattleCommandResult r = AddBattle(state_.battles, chosenBattle(), readFields());
  history_.Commit(state_.battles);
  if (refused(r)) return;
  fillCombowar(r.choose);
  refreshHistoryButtons();
}

void FrmWarEdit::deleteBattle() {
  if (state_.battles.size() <= 1) {
    refused(DeleteLastBattle(state_.battles));
    return;
  }
  if (!AskYesNo(this, Ui(state_, Str::DeleteLastBattleQuestion))) return;
  history_.Begin(state_.battles, kStepDeleteBattle, chosenBattle());
  const BattleCommandResult r = DeleteLastBattle(state_.battles);
  history_.Commit(state_.battles);
  if (refused(r)) return;
  fillCombowar(r.choose);
  refreshHistoryButtons();
}

void FrmWarEdit::undo() {
  if (std::optional<int> chosen = history_.Undo(state_.battles)) {
    fillCombowar(*chosen < static_cast<int>(state_.battles.size()) ? *chosen : -1);
    refreshHistoryButtons();
  }
}

void FrmWarEdit::redo() {
  if (std::optional<int> chosen = history_.Redo(state_.battles)) {
    fillCombowar(*chosen < static_cast<int>(state_.battles.size()) ? *chosen : -1);
    refreshHistoryButtons();
  }
}

void FrmWarEdit::refreshHistoryButtons() {
  if (cmdundo_ == nullptr) return;
  cmdundo_->setEnabled(history_.CanUndo());
  cmdredo_->setEnabled(history_.CanRedo());
  cmdundo_->setText(history_.CanUndo() ? Ui(state_, Str::Undo) + " " + Ui(state_, history_.UndoCaption())
                                       : Ui(state_, Str::Undo));
  cmdredo_->setText(history_.CanRedo() ? Ui(state_, Str::Redo) + " " + Ui(state_, history_.RedoCaption())
                                       : Ui(state_, Str::Redo));
}

void FrmWarEdit::saveBattles() {
  Result<std::filesystem::path> saved = SaveWarSta(state_.gameDirectory, state_.battles, state_.text());
  if (!saved) {
    ShowMessage(this, SaveFailedMessage(state_, saved.error()));
    return;
  }
  ShowMessage(this, Ui(state_, Str::BattlesSavedIn) + Q(saved->string()));
}

void FrmWarEdit::showMap() {
  const int battle = chosenBattle();
  if (battle < 0) return;
  frmwarmap view(state_, battle, mapText(), this);
  view.exec();
}

}  // namespace tavrel::ui
