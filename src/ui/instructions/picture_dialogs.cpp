#include "ui/instructions/picture_dialogs.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <span>
#include <string_view>
#include <utility>

#include "app/commands.h"
#include "script/instruction_kinds.h"
#include "ui/picture_box.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tavrel::ui {
namespace {

constexpr int kFrameMs = 150;       // 0.15 s a frame
constexpr int kSceneEventMs = 300;  // the scene event's pictures in turn
bool IsSceneEvent(std::string_view form) {
  const std::span<const CatalogueRow> rows = DialogRows(form);
  return !rows.empty() && KindOf(rows.front().opcode).dialogClass == DialogClass::SceneEvent;
}

InstructionDialog::Options OptionsFor(std::string_view form) {
  InstructionDialog::Options options;
  if (IsSceneEvent(form)) options.frameString = 1303;
  return options;
}

PictureBox* NewBox(QWidget* parent, const char* name) {
  auto* box = new PictureBox(parent);
  box->setObjectName(name);
  box->setFixedSize(100, 100);
  box->clear();
  return box;
}

}  // namespace

PicturePreviewDialog::PicturePreviewDialog(EditorState& state, Statement& statement, std::string_view form,
                                           QWidget* parent)
    : InstructionDialog(state, statement, form, parent, OptionsFor(form)), sceneEvent_(IsSceneEvent(form)) {
  auto* manualLabel = new QLabel(Ui(state_, Str::ChooseSceneByHand), this);
  manualLabel->setObjectName(sceneEvent_ ? "Label4" : "lblmanual");
  auto* manual = new QComboBox(this);
  manual->setObjectName("Combomanual");
  for (size_t n = 0; n < state_.game.names.scenes.size(); ++n)
    manual->addItem(Q(std::to_string(n) + state_.game.names.scenes[n].name));
  manual->setCurrentIndex(-1);
  scroll_ = new QScrollBar(Qt::Vertical, this);
  scroll_->setObjectName("VScroll1");
  scroll_->setRange(0, 0);
  browseNumber_ = new QLineEdit(this);
  browseNumber_->setObjectName("txtpic");
  browseBox_ = NewBox(this, "pic2");
  tileFiles_ = new QLabel(this);
  tileFiles_->setObjectName("lblTileFiles");
  tileFiles_->setWordWrap(true);
  auto* browser = new QHBoxLayout;
  auto* browserLeft = new QVBoxLayout;
  browserLeft->addWidget(browseNumber_);
  browserLeft->addWidget(browseBox_);
  browser->addLayout(browserLeft);
  browser->addWidget(scroll_);
  sideArea()->addWidget(manualLabel);
  sideArea()->addWidget(manual);
  sideArea()->addWidget(tileFiles_);
  sideArea()->addLayout(browser);

  if (QLineEdit* picture = textControl(FieldRole::InstructionTile)) {
    instructionBox_ = NewBox(this, "Pic1");
    sideArea()->addWidget(instructionBox_);
    connect(picture, &QLineEdit::textChanged, this, &PicturePreviewDialog::showInstructionTile);
  }
  addAnimation(FieldRole::AnimationStart, FieldRole::AnimationEnd, "Pic1", "cmdshow", "animationTimer");
  addAnimation(FieldRole::SecondAnimationStart, FieldRole::SecondAnimationEnd, "pic22", "cmdshow2", "animationTimer2");
  if (sceneEvent_) {
    for (auto [name, text] :
         {std::pair{"Label16", Str::KeepWhenMinusTwo}, std::pair{"Label17", Str::CancelWhenMinusOne}}) {
      auto* note = new QLabel(Ui(state_, text), this);
      note->setObjectName(name);
      belowFields()->addWidget(note);
    }
    eventBox_ = NewBox(this, "pic1");
    sideArea()->addWidget(eventBox_);
    eventTimer_ = new QTimer(this);
    eventTimer_->setObjectName("Timer1");
    eventTimer_->setInterval(kSceneEventMs);
    connect(eventTimer_, &QTimer::timeout, this, &PicturePreviewDialog::sceneEventTick);
  }
  sideArea()->addStretch();

  connect(manual, &QComboBox::currentIndexChanged, this, &PicturePreviewDialog::chooseScene);
  connect(scroll_, &QScrollBar::valueChanged, this, [this](int v) { browseNumber_->setText(QString::number(2 * v)); });
  connect(browseNumber_, &QLineEdit::textChanged, this, &PicturePreviewDialog::browse);
}

void PicturePreviewDialog::addAnimation(FieldRole start, FieldRole end, const char* box, const char* button,
                                        const char* timer) {
  QLineEdit* startBox = textControl(start);
  QLineEdit* endBox = textControl(end);
  if (startBox == nullptr || endBox == nullptr) return;
  auto animation = std::make_unique<Animation>();
  animation->start = startBox;
  animation->end = endBox;
  animation->box = NewBox(this, box);
  animation->timer = new QTimer(this);
  animation->timer->setObjectName(timer);
  animation->timer->setInterval(kFrameMs);
  auto* show = new QPushButton(Ui(state_, Str::LineShowAnimation), this);
  show->setObjectName(button);
  sideArea()->addWidget(show);
  sideArea()->addWidget(animation->box);
  Animation* raw = animation.get();
  connect(show, &QPushButton::clicked, this, [this, raw] { play(*raw); });
  connect(animation->timer, &QTimer::timeout, this, [this, raw] { step(*raw); });
  animations_.push_back(std::move(animation));
}

const PictureSet& PicturePreviewDialog::tiles() const {
  static const PictureSet kNone;
  return tiles_ ? *tiles_ : kNone;
}

void PicturePreviewDialog::drawTile(PictureBox* box, const RlePicture* tile) {
  box->clear();
  const int y = sceneEvent_ ? box->height() - 10 : box->height() / 2;
  if (tile != nullptr) box->drawPicture(*tile, box->width() / 2, y);
}

void PicturePreviewDialog::afterLoad() {
  if (eventTimer_ != nullptr) eventTimer_->stop();
  phase_ = 0;
}

// Pictures 1, 2, 3 of the event in turn; a number of 0 or below shows nothing.
void PicturePreviewDialog::sceneEventTick() {
  if (!sceneChosen_ || eventBox_ == nullptr) return;
  static constexpr FieldRole kFields[] = {FieldRole::EventTile1, FieldRole::EventTile2, FieldRole::EventTile3};
  QLineEdit* field = textControl(kFields[phase_]);
  Result<int16_t> number = ParseWord(field != nullptr ? U8(field->text()) : std::string());
  drawTile(eventBox_, number && *number > 0 ? TileForNumber(tiles(), *number) : nullptr);
  phase_ = (phase_ + 1) % 3;
}

void PicturePreviewDialog::chooseScene(int scene) {
  if (scene < 0) return;
  sceneChosen_ = true;
  Result<LoadedTileSet> loaded = LoadSceneTiles(state_, scene);
  tiles_ = loaded ? loaded->tiles : nullptr;
  if (loaded) {
    const std::string damaged = TileSetDamageMessage(state_.text(), *loaded);
    tileFiles_->setText(
        Q(TileFilesUsedMessage(state_.text(), loaded->files) + (damaged.empty() ? "" : "\n") + damaged));
  } else {
    tileFiles_->clear();
  }
  scroll_->setRange(0, std::max<int>(static_cast<int>(tiles().size()) - 1, 0));
  if (!loaded) ShowMessage(this, Q(loaded.error()));
  if (eventTimer_ != nullptr) eventTimer_->start();
  showInstructionTile();
}

void PicturePreviewDialog::browse() {
  if (sceneChosen_) drawTile(browseBox_, TileForText(tiles(), U8(browseNumber_->text())));
}

void PicturePreviewDialog::showInstructionTile() {
  QLineEdit* picture = textControl(FieldRole::InstructionTile);
  if (sceneChosen_ && instructionBox_ != nullptr && picture != nullptr)
    drawTile(instructionBox_, TileForText(tiles(), U8(picture->text())));
}

// The frames follow on a timer, so the window keeps handling its events.
void PicturePreviewDialog::play(Animation& animation) {
  if (!sceneChosen_) return;
  Result<int16_t> start = ParseWord(U8(animation.start->text()));
  Result<int16_t> end = ParseWord(U8(animation.end->text()));
  if (!start || !end) return;
  animation.numbers = AnimationNumbers(*start, *end);
  animation.next = 0;
  animation.timer->stop();
  if (animation.numbers.empty()) return;
  step(animation);
  animation.timer->start();
}

void PicturePreviewDialog::step(Animation& animation) {
  if (animation.next >= animation.numbers.size()) {
    animation.timer->stop();
    return;
  }
  drawTile(animation.box, TileForNumber(tiles(), animation.numbers[animation.next++]));
}

}  // namespace tavrel::ui
