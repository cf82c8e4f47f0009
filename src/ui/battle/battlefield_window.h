#pragma once
// The battle map view: the battlefield of the chosen battle drawn around a
// centre square that four buttons move, with the participants' slot numbers
// and the enemies' "E<d>" written over it. It only shows.
#include <QDialog>
#include <QString>
#include <memory>
#include <optional>

#include "app/battle_geometry.h"
#include "app/editor_state.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tavrel::ui {

class PictureBox;

class BattlefieldWindow : public QDialog {
  Q_OBJECT
 public:
  // `battle` is the position chosen in the battle editor, `mapText` the
  // battle editor's map number as typed. The layers are read here, once;
  // the tile set comes from the state's cache.
  BattlefieldWindow(EditorState& state, int battle, const QString& mapText, QWidget* parent = nullptr);

  // Draws again around the centre in txtX / txty.
  void draw();
  // What could not be shown, one line each; empty when everything was drawn.
  QString problems() const;

 private:
  void readMap(const QString& mapText);
  void move(QLineEdit* box, int step);

  EditorState& state_;
  int battle_;
  std::optional<Battlefield> field_;
  std::shared_ptr<const PictureSet> tiles_;  // none when no set was found
  QString tileIndexName_;
  QStringList readProblems_;
  PictureBox* mapPicture_ = nullptr;
  QLineEdit* centreXField_ = nullptr;
  QLineEdit* centreYField_ = nullptr;
  QPushButton* upButton_ = nullptr;
  QPushButton* downButton_ = nullptr;
  QPushButton* leftButton_ = nullptr;
  QPushButton* rightButton_ = nullptr;
  QLabel* tileFilesLabel_ = nullptr;  // the tile files drawn with
  QLabel* problemsLabel_ = nullptr;
};

}  // namespace tavrel::ui
