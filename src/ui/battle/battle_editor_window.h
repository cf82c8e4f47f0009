#pragma once
// The battle editor: picks a battle of war.sta, shows and applies its fields,
// adds a battle at the end, removes the last, saves the file and opens the
// battlefield view. Reads war.sta into EditorState::battles on opening.
#include <QDialog>
#include <QString>
#include <array>

#include "app/battle_edit.h"
#include "app/editor_state.h"
#include "app/history.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QGridLayout;

namespace tavrel::ui {

class BattleEditorWindow : public QDialog {
  Q_OBJECT
 public:
  explicit BattleEditorWindow(EditorState& state, QWidget* parent = nullptr);

  // What the battlefield view takes: the chosen position of Combowar (-1
  // for none) and the text of txtMap as it stands, applied or not.
  int chosenBattle() const;
  // Chooses battle `battle` when the list holds it.
  void chooseBattle(int battle);
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
  // The control that shows a field; nullptr for the leading number.
  QWidget* fieldControl(BattleField field, int index) const;

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
  QComboBox* battleList_ = nullptr;
  QLineEdit* nameField_ = nullptr;
  QLineEdit* mapField_ = nullptr;
  QLineEdit* experienceField_ = nullptr;
  QLineEdit* musicField_ = nullptr;
  std::array<QComboBox*, kBattleParticipants> manualLists_{};
  std::array<QComboBox*, kBattleParticipants> automaticLists_{};
  std::array<QLineEdit*, kBattleParticipants> participantXFields_{};
  std::array<QLineEdit*, kBattleParticipants> participantYFields_{};
  std::array<QComboBox*, kBattleEnemies> enemyLists_{};
  std::array<QLineEdit*, kBattleEnemies> enemyXFields_{};
  std::array<QLineEdit*, kBattleEnemies> enemyYFields_{};
  std::array<QLabel*, 9> labels_{};  // Label1 .. Label9
  QPushButton* editButton_ = nullptr;
  QPushButton* saveButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QPushButton* showMapButton_ = nullptr;
  QPushButton* addBattleButton_ = nullptr;
  QPushButton* deleteBattleButton_ = nullptr;
  QPushButton* undoButton_ = nullptr;
  QPushButton* redoButton_ = nullptr;
  BattleHistory history_;
  BattleLimits limits_;                  // what applied values are checked against, taken on opening
  QListWidget* lstStartedBy_ = nullptr;  // the event lines that start the chosen battle
};

}  // namespace tavrel::ui
