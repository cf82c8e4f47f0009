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

class frmwarmap : public QDialog {
  Q_OBJECT
 public:
  // `battle` is the position chosen in the battle editor, `mapText` the
  // battle editor's map number as typed. The layers are read here, once;
  // the tile set comes from the state's cache.
  frmwarmap(EditorState& state, int battle, const QString& mapText, QWidget* parent = nullptr);

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
  PictureBox* pic1_ = nullptr;
  QLineEdit* txtX_ = nullptr;
  QLineEdit* txty_ = nullptr;
  QPushButton* cmdup_ = nullptr;
  QPushButton* cmddown_ = nullptr;
  QPushButton* cmdleft_ = nullptr;
  QPushButton* cmdright_ = nullptr;
  QLabel* lblTileFiles_ = nullptr;  // the tile files drawn with
  QLabel* lblProblems_ = nullptr;
};

}  // namespace tavrel::ui
