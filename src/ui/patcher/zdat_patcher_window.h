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

class ZdatPatcherWindow : public QDialog {
  Q_OBJECT
 public:
  explicit ZdatPatcherWindow(EditorState& state, QWidget* parent = nullptr);

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
  void governs(QCheckBox* group, const std::vector<QWidget*>& controls);

  void rosterToggled(bool checked);
  void showSlot(int slot);
  void choosePerson(int position);
  zdat::ZdatChoices choices() const;
  void apply();
  void restoreBackup();
  // Opens the notes file of the interface language (z_modify.txt) with the
  // system's viewer, or says it is missing.
  void openNotes();

  EditorState& state_;
  std::array<uint8_t, zdat::kRosterSize> slots_{};
  int personEntries_ = 0;  // entries of Comboperson that come from the name table

  QCheckBox* walkOnWaterBox_ = nullptr;
  QRadioButton* walkOnWaterOption_ = nullptr;
  QRadioButton* normalWaterOption_ = nullptr;
  QCheckBox* memoryBox_ = nullptr;
  QLineEdit* totalMemoryField_ = nullptr;
  QLineEdit* memory1Field_ = nullptr;
  QLineEdit* memory2Field_ = nullptr;
  QCheckBox* scenePicturesBox_ = nullptr;
  QLineEdit* sdxField_ = nullptr;
  QLineEdit* smpField_ = nullptr;
  QCheckBox* battlePicturesBox_ = nullptr;
  QLineEdit* wdxField_ = nullptr;
  QLineEdit* wmpField_ = nullptr;
  QCheckBox* fightBox_ = nullptr;
  QCheckBox* renameFightFilesBox_ = nullptr;
  QCheckBox* rosterBox_ = nullptr;
  QScrollBar* rosterSlotBar_ = nullptr;
  QLabel* rosterSlotLabel_ = nullptr;
  QComboBox* rosterPersonList_ = nullptr;
  QLineEdit* leaveEventField_ = nullptr;
  std::array<WordLimitRow, zdat::kWordLimits.size()> wordLimits_{};
  std::array<ByteLimitRow, zdat::kByteLimits.size()> byteLimits_{};
  std::array<QLabel*, 10> labels_{};  // Label1 .. Label10
  QPushButton* patchButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QPushButton* restoreButton_ = nullptr;
  QPushButton* notesButton_ = nullptr;
};

}  // namespace tavrel::ui
