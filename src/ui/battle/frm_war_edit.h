#pragma once
// The battle editor: picks a battle of war.sta, shows and applies its fields,
// adds a battle at the end, removes the last, saves the file and opens the
// battlefield view. Reads war.sta into EditorState::battles on opening.
#include <QDialog>
#include <QString>
#include <array>

#include "app/history.h"
#include "app/battle_edit.h"
#include "app/editor_state.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QGridLayout;

namespace tavrel::ui {

class FrmWarEdit : public QDialog {
  Q_OBJECT
 public:
  explicit FrmWarEdit(EditorState& state, QWidget* parent = nullptr);

  // What the battlefield view takes: the chosen position of Combowar (-1
  // for none) and the text of txtMap as it stands, applied or not.
  int chosenBattle() const;
  QString mapText() const;

 private:
  void buildControls();
  QGridLayout* buildParticipants();
  QGridLayout* buildEnemies();
  void setCaptions();
  void readBattles();
  void fillCombowar(int choose);
  void showBattle(int battle);
  void showStartedBy(int battle);
  void showFields(const BattleFields& fields);
  BattleFields readFields() const;
  bool refused(const BattleCommandResult& result);

  void applyBattle();
  void addBattle();
  void deleteBattle();
  void saveBattles();
  void showMap();
  // The window's own history of the list before its save.
  void undo();
  void redo();
  void refreshHistoryButtons();

  EditorState& state_;
  QComboBox* Combowar_ = nullptr;
  QLineEdit* txtwarname_ = nullptr;
  QLineEdit* txtMap_ = nullptr;
  QLineEdit* txtexp_ = nullptr;
  QLineEdit* txtmusic_ = nullptr;
  std::array<QComboBox*, kBattleParticipants> ComboPerson_{};
  std::array<QComboBox*, kBattleParticipants> ComboSelectperson_{};
  std::array<QLineEdit*, kBattleParticipants> txtpersonx_{};
  std::array<QLineEdit*, kBattleParticipants> txtpersony_{};
  std::array<QComboBox*, kBattleEnemies> Comboenemy_{};
  std::array<QLineEdit*, kBattleEnemies> txtenemyX_{};
  std::array<QLineEdit*, kBattleEnemies> txtenemyy_{};
  std::array<QLabel*, 9> labels_{};  // Label1 .. Label9
  QPushButton* cmdedit_ = nullptr;
  QPushButton* cmdsave_ = nullptr;
  QPushButton* cmdcancel_ = nullptr;
  QPushButton* cmdshow_ = nullptr;
  QPushButton* cmdaddwar_ = nullptr;
  QPushButton* cmddelwar_ = nullptr;
  QPushButton* cmdundo_ = nullptr;
  QPushButton* cmdredo_ = nullptr;
  BattleHistory history_;
  QListWidget* lstStartedBy_ = nullptr;  // the event lines that start the chosen battle
};

}  // namespace tavrel::ui
