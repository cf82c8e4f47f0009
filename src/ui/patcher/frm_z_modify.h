#pragma once
// The z.dat patcher: shows the values at the fixed places of z.dat when it
// opens and, on confirmation, writes the checked groups back in place; it can
// also move the game's fight files to the names the patched z.dat expects.
// The window only gathers the choices; reading, checking and writing are the
// core's (app/zdat_patch.h).
#include <QDialog>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "app/editor_state.h"
#include "app/zdat_patch.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace tavrel::ui {

class FrmZModify : public QDialog {
  Q_OBJECT
 public:
  explicit FrmZModify(EditorState& state, QWidget* parent = nullptr);

  // The leave roster as the window holds it (slots 0 to 49).
  const std::array<uint8_t, zdat::kRosterSize>& rosterSlots() const { return slots_; }

 private:
  struct WordLimitRow {
    QCheckBox* check = nullptr;
    QLineEdit* field = nullptr;
  };
  struct ByteLimitRow {
    QCheckBox* check = nullptr;
    QCheckBox* cancel = nullptr;
    QLineEdit* field = nullptr;
  };

  QLayout* buildSwitches();
  QGridLayout* buildLimits();
  void setCaptions();
  void fillPersons();
  void readValues();
  // The group box enables or disables its controls.
  void governs(QCheckBox* group, std::vector<QWidget*> controls);

  void rosterToggled(bool checked);
  void showSlot(int slot);
  void choosePerson(int position);
  zdat::ZdatChoices choices() const;
  void apply();
  void restoreBackup();

  EditorState& state_;
  std::array<uint8_t, zdat::kRosterSize> slots_{};
  int personEntries_ = 0;  // entries of Comboperson that come from the name table

  QCheckBox* chkgowater_ = nullptr;
  QRadioButton* Optwater1_ = nullptr;
  QRadioButton* Optwater2_ = nullptr;
  QCheckBox* chkMemory_ = nullptr;
  QLineEdit* txtTotalMemory_ = nullptr;
  QLineEdit* txtMemory1_ = nullptr;
  QLineEdit* txtMemory2_ = nullptr;
  QCheckBox* chkmodifySmp_ = nullptr;
  QLineEdit* txtSDX_ = nullptr;
  QLineEdit* txtsmp_ = nullptr;
  QCheckBox* chkModifywar_ = nullptr;
  QLineEdit* txtWDX_ = nullptr;
  QLineEdit* txtWMP_ = nullptr;
  QCheckBox* chkmodifyfight_ = nullptr;
  QCheckBox* chkModifyfightfilename_ = nullptr;
  QCheckBox* chkaddlidui_ = nullptr;
  QScrollBar* HScrollPerson_ = nullptr;
  QLabel* Lblliduiperson_ = nullptr;
  QComboBox* Comboperson_ = nullptr;
  QLineEdit* txtliduishijian_ = nullptr;
  std::array<WordLimitRow, zdat::kWordLimits.size()> wordLimits_{};
  std::array<ByteLimitRow, zdat::kByteLimits.size()> byteLimits_{};
  std::array<QLabel*, 10> labels_{};  // Label1 .. Label10
  QPushButton* cmdok_ = nullptr;
  QPushButton* cmdcancel_ = nullptr;
  QPushButton* cmdrestore_ = nullptr;
};

}  // namespace tavrel::ui
