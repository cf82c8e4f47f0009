#include "ui/battle/battlefield_window.h"

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

BattlefieldWindow::BattlefieldWindow(EditorState& state, int battle, const QString& mapText, QWidget* parent)
    : QDialog(parent), state_(state), battle_(battle) {
  setObjectName(QStringLiteral("frmwarmap"));
  setModal(true);
  setWindowTitle(Ui(state_, Str::ShowBattlefield));

  mapPicture_ = new PictureBox(this);
  mapPicture_->setObjectName(QStringLiteral("pic1"));
  mapPicture_->setFixedSize(kBattleViewWidth, kBattleViewHeight);
  centreXField_ = new QLineEdit(QStringLiteral("32"), this);
  centreXField_->setObjectName(QStringLiteral("txtX"));
  centreXField_->setMaximumWidth(56);
  centreYField_ = new QLineEdit(QStringLiteral("31"), this);
  centreYField_->setObjectName(QStringLiteral("txty"));
  centreYField_->setMaximumWidth(56);
  upButton_ = Button(this, "cmdup", Ui(state_, Str::Up));
  downButton_ = Button(this, "cmddown", Ui(state_, Str::Down));
  leftButton_ = Button(this, "cmdleft", Ui(state_, Str::Left));
  rightButton_ = Button(this, "cmdright", Ui(state_, Str::Right));
  tileFilesLabel_ = new QLabel(this);
  tileFilesLabel_->setObjectName(QStringLiteral("lblTileFiles"));
  tileFilesLabel_->setWordWrap(true);
  problemsLabel_ = new QLabel(this);
  problemsLabel_->setObjectName(QStringLiteral("lblProblems"));
  problemsLabel_->setWordWrap(true);

  auto* pad = new QGridLayout;
  pad->addWidget(upButton_, 0, 1);
  pad->addWidget(leftButton_, 1, 0);
  pad->addWidget(rightButton_, 1, 2);
  pad->addWidget(downButton_, 2, 1);
  auto* centre = new QHBoxLayout;
  centre->addWidget(new QLabel(QStringLiteral("X"), this));
  centre->addWidget(centreXField_);
  centre->addWidget(new QLabel(QStringLiteral("Y"), this));
  centre->addWidget(centreYField_);
  auto* side = new QVBoxLayout;
  side->addLayout(pad);
  side->addLayout(centre);
  side->addWidget(tileFilesLabel_);
  side->addWidget(problemsLabel_);
  side->addStretch(1);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(mapPicture_);
  layout->addLayout(side);

  connect(upButton_, &QPushButton::clicked, this, [this] { move(centreYField_, -1); });
  connect(downButton_, &QPushButton::clicked, this, [this] { move(centreYField_, +1); });
  connect(leftButton_, &QPushButton::clicked, this, [this] { move(centreXField_, -1); });
  connect(rightButton_, &QPushButton::clicked, this, [this] { move(centreXField_, +1); });

  if (battle_ < 0 || size_t(battle_) >= state_.battles.size()) {
    battle_ = -1;
    return;
  }
  readMap(mapText);
  draw();
}

void BattlefieldWindow::readMap(const QString& mapText) {
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
    tileFilesLabel_->setText(Q(TileFilesUsedMessage(state_.text(), tiles->files)));
    if (tiles->damage) readProblems_ << Q(state_.text().MapInterfaceText(tiles->damage->message));
    if (const std::string damaged = TileSetDamageMessage(state_.text(), *tiles); !damaged.empty())
      readProblems_ << Q(damaged);
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

void BattlefieldWindow::draw() {
  mapPicture_->clear();
  if (battle_ < 0) return;
  const int x = CentreValue(centreXField_);
  const int y = CentreValue(centreYField_);
  QStringList problems = readProblems_;
  static const PictureSet kNoTiles;
  CompositionGaps gaps;
  // The record as it stands in the editor, applied edits included.
  const BattleRecord& record = state_.battles[size_t(battle_)];
  mapPicture_->drawArea(DrawBattleView(field_ ? &*field_ : nullptr, tiles_ ? *tiles_ : kNoTiles, record, x, y, &gaps));
  if (field_) {
    if (gaps.groundMissing > 0) problems << GroundMissingMessage(state_, gaps.groundMissing);
    if (gaps.markerMissing && tiles_) problems << MarkerMissingMessage(state_, tileIndexName_);
  }
  problemsLabel_->setText(problems.join(QLatin1Char('\n')));
}

QString BattlefieldWindow::problems() const { return problemsLabel_->text(); }

void BattlefieldWindow::move(QLineEdit* box, int step) {
  bool ok = false;
  int value = box->text().trimmed().toInt(&ok);
  if (!ok) value = CentreValue(box);
  if ((step < 0 && value > 0) || (step > 0 && value < kCentreLimit)) value += step;
  box->setText(QString::number(std::clamp(value, 0, kCentreLimit)));
  draw();
}

}  // namespace tavrel::ui
