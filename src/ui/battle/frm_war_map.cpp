#include "ui/battle/frm_war_map.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/battle/battle_messages.h"
#include "ui/picture_box.h"
#include "ui/qt_text.h"

namespace tavrel::ui {
namespace {

// The centre squares range over 0 .. 64 on each axis.
constexpr int kCentreLimit = kBattlefieldSide;

// A centre coordinate as typed; text that is no whole number, or lies out of
// range, is brought back into 0 .. 64.
int CentreValue(const QLineEdit* box) {
  bool ok = false;
  const int value = box->text().trimmed().toInt(&ok);
  if (!ok) return 0;
  return std::clamp(value, 0, kCentreLimit);
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QLatin1String(name));
  return button;
}

}  // namespace

frmwarmap::frmwarmap(EditorState& state, int battle, const QString& mapText, QWidget* parent)
    : QDialog(parent), state_(state), battle_(battle) {
  setObjectName(QStringLiteral("frmwarmap"));
  setModal(true);
  setWindowTitle(Ui(state_, Str::ShowBattlefield));

  pic1_ = new PictureBox(this);
  pic1_->setObjectName(QStringLiteral("pic1"));
  pic1_->setFixedSize(kBattleViewWidth, kBattleViewHeight);
  txtX_ = new QLineEdit(QStringLiteral("32"), this);
  txtX_->setObjectName(QStringLiteral("txtX"));
  txtX_->setMaximumWidth(56);
  txty_ = new QLineEdit(QStringLiteral("31"), this);
  txty_->setObjectName(QStringLiteral("txty"));
  txty_->setMaximumWidth(56);
  cmdup_ = Button(this, "cmdup", Ui(state_, Str::Up));
  cmddown_ = Button(this, "cmddown", Ui(state_, Str::Down));
  cmdleft_ = Button(this, "cmdleft", Ui(state_, Str::Left));
  cmdright_ = Button(this, "cmdright", Ui(state_, Str::Right));
  lblTileFiles_ = new QLabel(this);
  lblTileFiles_->setObjectName(QStringLiteral("lblTileFiles"));
  lblTileFiles_->setWordWrap(true);
  lblProblems_ = new QLabel(this);
  lblProblems_->setObjectName(QStringLiteral("lblProblems"));
  lblProblems_->setWordWrap(true);

  auto* pad = new QGridLayout;
  pad->addWidget(cmdup_, 0, 1);
  pad->addWidget(cmdleft_, 1, 0);
  pad->addWidget(cmdright_, 1, 2);
  pad->addWidget(cmddown_, 2, 1);
  auto* centre = new QHBoxLayout;
  centre->addWidget(new QLabel(QStringLiteral("X"), this));
  centre->addWidget(txtX_);
  centre->addWidget(new QLabel(QStringLiteral("Y"), this));
  centre->addWidget(txty_);
  auto* side = new QVBoxLayout;
  side->addLayout(pad);
  side->addLayout(centre);
  side->addWidget(lblTileFiles_);
  side->addWidget(lblProblems_);
  side->addStretch(1);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(pic1_);
  layout->addLayout(side);

  connect(cmdup_, &QPushButton::clicked, this, [this] { move(txty_, -1); });
  connect(cmddown_, &QPushButton::clicked, this, [this] { move(txty_, +1); });
  connect(cmdleft_, &QPushButton::clicked, this, [this] { move(txtX_, -1); });
  connect(cmdright_, &QPushButton::clicked, this, [this] { move(txtX_, +1); });

  if (battle_ < 0 || size_t(battle_) >= state_.battles.size()) {
    battle_ = -1;
    return;
  }
  readMap(mapText);
  draw();
}

void frmwarmap::readMap(const QString& mapText) {
  bool ok = false;
  const int m = mapText.trimmed().toInt(&ok);
  if (!ok) {
    readProblems_ << MapNumberNotNumberMessage(state_, mapText);
    return;
  }
  if (m < 0 || m >= kBattlefieldCount) {
    readProblems_ << MapNumberOutOfRangeMessage(state_, m);
    return;
  }
  const std::filesystem::path dir(state_.gameDirectory);
  Result<LoadedTileSet> tiles = LoadBattleTiles(state_, m);
  if (tiles) {
    tiles_ = tiles->tiles;
    tileIndexName_ = Q(tiles->files.index.filename().string());
    lblTileFiles_->setText(Q(TileFilesUsedMessage(state_.text(), tiles->files)));
  } else {
    readProblems_ << TilesUnreadableMessage(state_, tiles.error());
  }
  Result<Battlefield> field = ReadBattlefield(dir, m);
  if (!field) {
    readProblems_ << BattlefieldUnreadableMessage(state_, m, field.error());
    return;
  }
  if (field->missingBytes > 0) readProblems_ << BattlefieldShortMessage(state_, m, field->missingBytes);
  field_ = std::move(*field);
}

void frmwarmap::draw() {
  pic1_->clear();
  if (battle_ < 0) return;
  const int x = CentreValue(txtX_);
  const int y = CentreValue(txty_);
  QStringList problems = readProblems_;
  static const PictureSet kNoTiles;
  CompositionGaps gaps;
  // The record as it stands in the editor, applied edits included.
  const BattleRecord& record = state_.battles[size_t(battle_)];
  pic1_->drawArea(DrawBattleView(field_ ? &*field_ : nullptr, tiles_ ? *tiles_ : kNoTiles, record, x, y, &gaps));
  if (field_) {
    if (gaps.groundMissing > 0) problems << GroundMissingMessage(state_, gaps.groundMissing);
    if (gaps.markerMissing && tiles_) problems << MarkerMissingMessage(state_, tileIndexName_);
  }
  lblProblems_->setText(problems.join(QLatin1Char('\n')));
}

QString frmwarmap::problems() const { return lblProblems_->text(); }

void frmwarmap::move(QLineEdit* box, int step) {
  bool ok = false;
  int value = box->text().trimmed().toInt(&ok);
  if (!ok) value = CentreValue(box);
  if ((step < 0 && value > 0) || (step > 0 && value < kCentreLimit)) value += step;
  box->setText(QString::number(std::clamp(value, 0, kCentreLimit)));
  draw();
}

}  // namespace tavrel::ui
