#include "ui/battle/battle_editor_window.h"
#include "ui/settings.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/find.h"
#include "ui/battle/battle_messages.h"
#include "ui/battle/battlefield_window.h"
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

BattleEditorWindow::BattleEditorWindow(EditorState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("FrmWarEdit"));
  setModal(true);
  buildControls();
  setCaptions();
  const QStringList persons = PersonEntries(state_);
  for (QComboBox* list : manualLists_) FillPersonList(list, persons);
  for (QComboBox* list : automaticLists_) FillPersonList(list, persons);
  for (QComboBox* list : enemyLists_) FillPersonList(list, persons);
  readBattles();
  RememberGeometry(*this, QStringLiteral("battle"));
}

void BattleEditorWindow::buildControls() {
  for (size_t k = 0; k < labels_.size(); ++k) {
    labels_[k] = new QLabel(this);
    labels_[k]->setObjectName(QStringLiteral("Label%1").arg(k + 1));
  }
  battleList_ = new QComboBox(this);
  battleList_->setObjectName(QStringLiteral("Combowar"));
  battleList_->setMinimumContentsLength(16);
  nameField_ = NumberBox(this, QStringLiteral("txtwarname"), 160);
  mapField_ = NumberBox(this, QStringLiteral("txtMap"), 80);
  experienceField_ = NumberBox(this, QStringLiteral("txtexp"), 80);
  musicField_ = NumberBox(this, QStringLiteral("txtmusic"), 80);

  auto* top = new QGridLayout;
  top->addWidget(labels_[0], 0, 0);  // Label1: battle scene
  top->addWidget(battleList_, 0, 1, 1, 3);
  top->addWidget(labels_[8], 1, 0);  // Label9: battle name
  top->addWidget(nameField_, 1, 1);
  top->addWidget(labels_[1], 2, 0);  // Label2 .. Label4: map, experience, music
  top->addWidget(mapField_, 2, 1);
  top->addWidget(labels_[2], 2, 2);
  top->addWidget(experienceField_, 2, 3);
  top->addWidget(labels_[3], 3, 0);
  top->addWidget(musicField_, 3, 1);
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
  button(editButton_, "cmdedit");
  button(addBattleButton_, "cmdaddwar");
  button(deleteBattleButton_, "cmddelwar");
  button(showMapButton_, "cmdshow");
  button(undoButton_, "cmdundo");
  button(redoButton_, "cmdredo");
  undoButton_->setShortcut(QKeySequence::Undo);
  redoButton_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
  auto* redoKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), this);
  connect(redoKey, &QShortcut::activated, this, &BattleEditorWindow::redo);
  buttons->addStretch(1);
  button(saveButton_, "cmdsave");
  button(cancelButton_, "cmdcancel");

  auto* sides = new QHBoxLayout;
  sides->addLayout(buildParticipants());
  sides->addSpacing(16);
  sides->addLayout(buildEnemies(), 1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(sides, 1);
  layout->addLayout(buttons);

  connect(battleList_, &QComboBox::currentIndexChanged, this, [this](int battle) { showBattle(battle); });
  connect(editButton_, &QPushButton::clicked, this, &BattleEditorWindow::applyBattle);
  connect(addBattleButton_, &QPushButton::clicked, this, &BattleEditorWindow::addBattle);
  connect(deleteBattleButton_, &QPushButton::clicked, this, &BattleEditorWindow::deleteBattle);
  connect(saveButton_, &QPushButton::clicked, this, &BattleEditorWindow::saveBattles);
  connect(showMapButton_, &QPushButton::clicked, this, &BattleEditorWindow::showMap);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  connect(undoButton_, &QPushButton::clicked, this, &BattleEditorWindow::undo);
  connect(redoButton_, &QPushButton::clicked, this, &BattleEditorWindow::redo);
}

QGridLayout* BattleEditorWindow::buildParticipants() {
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
    manualLists_[i] = PersonBox(this, Indexed("ComboPerson", k));
    automaticLists_[i] = PersonBox(this, Indexed("ComboSelectperson", k));
    participantXFields_[i] = NumberBox(this, Indexed("txtpersonx", k));
    participantYFields_[i] = NumberBox(this, Indexed("txtpersony", k));
    const int row = k + 2;
    grid->addWidget(Mark(this, QString::number(k)), row, 0);
    grid->addWidget(manualLists_[i], row, 1);
    grid->addWidget(automaticLists_[i], row, 2);
    grid->addWidget(participantXFields_[i], row, 3);
    grid->addWidget(participantYFields_[i], row, 4);
  }
  grid->setRowStretch(kBattleParticipants + 2, 1);
  return grid;
}

QGridLayout* BattleEditorWindow::buildEnemies() {
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
    enemyLists_[i] = PersonBox(this, Indexed("Comboenemy", d));
    enemyXFields_[i] = NumberBox(this, Indexed("txtenemyX", d));
    enemyYFields_[i] = NumberBox(this, Indexed("txtenemyy", d));
    const int row = d % kRows + 2;
    const int col = d / kRows * 4;
    grid->addWidget(Mark(this, QStringLiteral("E%1").arg(d)), row, col);
    grid->addWidget(enemyLists_[i], row, col + 1);
    grid->addWidget(enemyXFields_[i], row, col + 2);
    grid->addWidget(enemyYFields_[i], row, col + 3);
  }
  grid->setRowStretch(kRows + 2, 1);
  return grid;
}

void BattleEditorWindow::setCaptions() {
  setWindowTitle(Ui(state_, Str::BattleEditorTitle));
  // Label1 .. Label8 are strings 10002 .. 10009, Label9 is 10023.
  for (int k = 0; k < 8; ++k) labels_[size_t(k)]->setText(Ui(state_, 10002 + k));
  labels_[8]->setText(Ui(state_, Str::BattleName));
  editButton_->setText(Ui(state_, Str::BattleModify));
  saveButton_->setText(Ui(state_, Str::BattleSave));
  cancelButton_->setText(Ui(state_, Str::BattleCancel));
  showMapButton_->setText(Ui(state_, Str::ShowBattlefield));
  addBattleButton_->setText(Ui(state_, Str::AddBattle));
  deleteBattleButton_->setText(Ui(state_, Str::DeleteBattle));
  refreshHistoryButtons();
}

void BattleEditorWindow::readBattles() {
  limits_ = BattleLimitsOf(state_);
  Result<WarStaContents> read = ReadWarSta(state_.gameDirectory, state_.text());
  QString problem;
  if (read) {
    // The message counts the battles read before the list takes them.
    problem = WarStaReadMessage(state_, *read, CheckBattles(read->battles, limits_));
    state_.battles = std::move(read->battles);
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

void BattleEditorWindow::fillCombowar(int choose) {
  {
    const QSignalBlocker quiet(battleList_);
    battleList_->clear();
    for (size_t i = 0; i < state_.battles.size(); ++i)
      battleList_->addItem(QString::number(i) + QStringLiteral("-") + Q(state_.battles[i].name));
    battleList_->setCurrentIndex(choose);
  }
  if (choose >= 0) showBattle(choose);
}

int BattleEditorWindow::chosenBattle() const { return battleList_->currentIndex(); }
void BattleEditorWindow::chooseBattle(int battle) {
  if (battle >= 0 && battle < battleList_->count()) battleList_->setCurrentIndex(battle);
}
QString BattleEditorWindow::mapText() const { return mapField_->text(); }

void BattleEditorWindow::showBattle(int battle) {
  if (battle < 0 || battle >= int(state_.battles.size())) return;
  showFields(FieldsOf(state_.battles[size_t(battle)]));
  showStartedBy(battle);
}

void BattleEditorWindow::showStartedBy(int battle) {
  lstStartedBy_->clear();
  FindQuery query;
  query.reference = RefKind::Battle;
  query.number = battle;
  if (Result<std::vector<FoundLine>> found = FindAll(state_, query))
    for (const FoundLine& line : *found)
      lstStartedBy_->addItem(UiFormat(state_, Str::ResultLine, CoreText(state_, PlaceText(line.place)), Q(line.text)));
}

void BattleEditorWindow::showFields(const BattleFields& f) {
  nameField_->setText(Q(f.name));
  mapField_->setText(Q(f.map));
  experienceField_->setText(Q(f.experience));
  musicField_->setText(Q(f.music));
  for (size_t k = 0; k < size_t(kBattleParticipants); ++k) {
    ShowPerson(manualLists_[k], f.manual[k]);
    ShowPerson(automaticLists_[k], f.automatic[k]);
    participantXFields_[k]->setText(Q(f.personX[k]));
    participantYFields_[k]->setText(Q(f.personY[k]));
  }
  for (size_t d = 0; d < size_t(kBattleEnemies); ++d) {
    ShowPerson(enemyLists_[d], f.enemies[d]);
    enemyXFields_[d]->setText(Q(f.enemyX[d]));
    enemyYFields_[d]->setText(Q(f.enemyY[d]));
  }
}

BattleFields BattleEditorWindow::readFields() const {
  BattleFields f;
  f.name = U8(nameField_->text());
  f.map = U8(mapField_->text());
  f.experience = U8(experienceField_->text());
  f.music = U8(musicField_->text());
  for (size_t k = 0; k < size_t(kBattleParticipants); ++k) {
    f.manual[k] = ChosenPerson(manualLists_[k]);
    f.automatic[k] = ChosenPerson(automaticLists_[k]);
    f.personX[k] = U8(participantXFields_[k]->text());
    f.personY[k] = U8(participantYFields_[k]->text());
  }
  for (size_t d = 0; d < size_t(kBattleEnemies); ++d) {
    f.enemies[d] = ChosenPerson(enemyLists_[d]);
    f.enemyX[d] = U8(enemyXFields_[d]->text());
    f.enemyY[d] = U8(enemyYFields_[d]->text());
  }
  return f;
}

QWidget* BattleEditorWindow::fieldControl(BattleField field, int index) const {
  const size_t i = size_t(index);
  const bool participant = i < size_t(kBattleParticipants), enemy = i < size_t(kBattleEnemies);
  switch (field) {
    case BattleField::Lead:
      return nullptr;
    case BattleField::Map:
      return mapField_;
    case BattleField::Experience:
      return experienceField_;
    case BattleField::Music:
      return musicField_;
    case BattleField::Manual:
      return participant ? manualLists_[i] : nullptr;
    case BattleField::Automatic:
      return participant ? automaticLists_[i] : nullptr;
    case BattleField::PersonX:
      return participant ? participantXFields_[i] : nullptr;
    case BattleField::PersonY:
      return participant ? participantYFields_[i] : nullptr;
    case BattleField::Enemies:
      return enemy ? enemyLists_[i] : nullptr;
    case BattleField::EnemyX:
      return enemy ? enemyXFields_[i] : nullptr;
    case BattleField::EnemyY:
      return enemy ? enemyYFields_[i] : nullptr;
  }
  return nullptr;
}

// A refused command: says why (a silent no-op while nothing is chosen) and
// puts the cursor into the field that refused.
bool BattleEditorWindow::refused(const BattleCommandResult& result) {
  if (result.changed) return false;
  if (result.fieldError) {
    const BattleFieldError& e = *result.fieldError;
    ShowMessage(this, FieldErrorMessage(state_, e));
    if (QWidget* control = fieldControl(e.field, e.index)) {
      control->setFocus();
      if (auto* box = qobject_cast<QLineEdit*>(control)) box->selectAll();
    }
  } else if (result.refusal == BattleCommandResult::Refusal::OnlyBattleLeft) {
    ShowMessage(this, OnlyBattleLeftMessage(state_));
  }
  return true;
}

void BattleEditorWindow::applyBattle() {
  history_.Begin(state_.battles, kStepApplyBattle, chosenBattle());
  const BattleCommandResult r = ApplyBattle(state_.battles, chosenBattle(), readFields(), limits_);
  history_.Commit(state_.battles);
  if (refused(r)) return;
  fillCombowar(r.choose);
  refreshHistoryButtons();
}

void BattleEditorWindow::addBattle() {
  history_.Begin(state_.battles, kStepAddBattle, chosenBattle());
  const BattleCommandResult r = AddBattle(state_.battles, chosenBattle(), readFields(), limits_);
  history_.Commit(state_.battles);
  if (refused(r)) return;
  fillCombowar(r.choose);
  refreshHistoryButtons();
}

void BattleEditorWindow::deleteBattle() {
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

void BattleEditorWindow::undo() {
  if (std::optional<int> chosen = history_.Undo(state_.battles)) {
    fillCombowar(*chosen < static_cast<int>(state_.battles.size()) ? *chosen : -1);
    refreshHistoryButtons();
  }
}

void BattleEditorWindow::redo() {
  if (std::optional<int> chosen = history_.Redo(state_.battles)) {
    fillCombowar(*chosen < static_cast<int>(state_.battles.size()) ? *chosen : -1);
    refreshHistoryButtons();
  }
}

void BattleEditorWindow::refreshHistoryButtons() {
  if (undoButton_ == nullptr) return;
  undoButton_->setEnabled(history_.CanUndo());
  redoButton_->setEnabled(history_.CanRedo());
  undoButton_->setText(history_.CanUndo() ? Ui(state_, Str::Undo) + " " + Ui(state_, history_.UndoCaption())
                                          : Ui(state_, Str::Undo));
  redoButton_->setText(history_.CanRedo() ? Ui(state_, Str::Redo) + " " + Ui(state_, history_.RedoCaption())
                                          : Ui(state_, Str::Redo));
}

void BattleEditorWindow::saveBattles() {
  Result<std::filesystem::path> saved = SaveWarSta(state_.gameDirectory, state_.battles, state_.text());
  if (!saved) {
    ShowMessage(this, SaveFailedMessage(state_, saved.error()));
    return;
  }
  ShowMessage(this, Ui(state_, Str::BattlesSavedIn) + Q(saved->string()));
}

void BattleEditorWindow::showMap() {
  const int battle = chosenBattle();
  if (battle < 0) return;
  BattlefieldWindow view(state_, battle, mapText(), this);
  view.exec();
}

}  // namespace tavrel::ui
