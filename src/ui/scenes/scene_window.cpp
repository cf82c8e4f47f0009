#include "ui/scenes/scene_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/commands.h"
#include "app/scene_objects.h"
#include "app/tile_sets.h"
#include "ui/instructions/picture_dialogs.h"
#include "ui/picture_box.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tavrel::ui {
namespace {

enum Column { kNumber, kX, kY, kPassable, kAction, kItem, kPass, kPictures, kColumns };
constexpr int kEventRole = Qt::UserRole;
constexpr int kIconSize = 36;

Column ColumnOf(Trigger t) { return static_cast<Column>(kAction + static_cast<int>(t)); }

QPushButton* Button(QWidget* parent, const char* name, const QString& text) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

SceneWindow::SceneWindow(EditorState& state, QWidget* parent, int scene, int object) : QDialog(parent), state_(state) {
  setObjectName("frmSceneObjects");
  setWindowTitle(Ui(state_, Str::SceneObjectsTitle));

  scenes_ = new QListWidget(this);
  scenes_->setObjectName("lstScenes");
  for (int32_t s = 0; s < ListedSceneCount(state_); ++s)
    scenes_->addItem(CoreText(state_, SceneCaption(state_.game.names, s)));
  scenes_->setMaximumWidth(180);

  note_ = new QLabel(this);
  note_->setObjectName("lblSceneNote");
  tileFiles_ = new QLabel(this);
  tileFiles_->setObjectName("lblTileFiles");

  objects_ = new QTableWidget(0, kColumns, this);
  objects_->setObjectName("tblObjects");
  objects_->setHorizontalHeaderLabels({Ui(state_, Str::ObjectColumn), "X", "Y", Ui(state_, Str::PassableColumn),
                                       Ui(state_, Str::ActionEventColumn), Ui(state_, Str::ItemEventColumn),
                                       Ui(state_, Str::PassEventColumn), Ui(state_, Str::PicturesColumn)});
  objects_->verticalHeader()->setVisible(false);
  objects_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  objects_->setSelectionMode(QAbstractItemView::SingleSelection);
  objects_->setIconSize(QSize(kIconSize, kIconSize));
  objects_->verticalHeader()->setDefaultSectionSize(kIconSize + 4);
  objects_->horizontalHeader()->setStretchLastSection(true);
  objects_->installEventFilter(this);

  eventNumber_ = new QLineEdit(this);
  eventNumber_->setObjectName("txtEvent");
  eventNumber_->setPlaceholderText(Ui(state_, Str::AttachEventPrompt));
  eventNumber_->setMaximumWidth(140);
  attachButton_ = Button(this, "cmdAttachEvent", Ui(state_, Str::AttachEvent));
  clearButton_ = Button(this, "cmdClearEvent", Ui(state_, Str::ClearEvent));
  editButton_ = Button(this, "cmdEditObject", Ui(state_, Str::EditObject));
  showButton_ = Button(this, "cmdShowEvent", Ui(state_, Str::ShowEventInMain));
  auto* close = Button(this, "cmdClose", Ui(state_, Str::Cancel));

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(eventNumber_);
  buttons->addWidget(attachButton_);
  buttons->addWidget(clearButton_);
  buttons->addStretch();
  buttons->addWidget(editButton_);
  buttons->addWidget(showButton_);
  buttons->addWidget(close);
  auto* right = new QVBoxLayout;
  right->addWidget(note_);
  right->addWidget(objects_, 1);
  right->addWidget(tileFiles_);
  right->addLayout(buttons);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(scenes_);
  layout->addLayout(right, 1);
  resize(900, 520);

  connect(scenes_, &QListWidget::currentRowChanged, this, [this] { fillObjects(); });
  connect(objects_, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
    if (column >= kAction && column <= kPass)
      showCellEvent(row, column);
    else
      editObject();
  });
  connect(editButton_, &QPushButton::clicked, this, &SceneWindow::editObject);
  connect(attachButton_, &QPushButton::clicked, this, &SceneWindow::attachEvent);
  connect(eventNumber_, &QLineEdit::returnPressed, this, &SceneWindow::attachEvent);
  connect(clearButton_, &QPushButton::clicked, this, &SceneWindow::clearEvent);
  connect(showButton_, &QPushButton::clicked, this,
          [this] { showCellEvent(objects_->currentRow(), objects_->currentColumn()); });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);

  if (!state_.game.objects.present) {
    note_->setText(Ui(state_, Str::NoSceneObjects));
    for (QWidget* w :
         std::initializer_list<QWidget*>{eventNumber_, attachButton_, clearButton_, editButton_, showButton_})
      w->setEnabled(false);
    return;
  }
  chooseScene(scene >= 0 ? scene : 0);
  if (object >= 0) chooseObject(object);
}

int SceneWindow::currentScene() const { return scenes_->currentRow(); }

int SceneWindow::currentObject() const {
  const int row = objects_->currentRow();
  if (row < 0) return -1;
  QTableWidgetItem* item = objects_->item(row, kNumber);
  return item != nullptr ? item->data(kEventRole).toInt() : -1;
}

void SceneWindow::chooseScene(int scene) {
  if (scene >= 0 && scene < scenes_->count()) scenes_->setCurrentRow(scene);
}

void SceneWindow::chooseObject(int object) {
  for (int row = 0; row < objects_->rowCount(); ++row)
    if (objects_->item(row, kNumber)->data(kEventRole).toInt() == object) {
      objects_->setCurrentCell(row, objects_->currentColumn() >= 0 ? objects_->currentColumn() : kAction);
      return;
    }
}

void SceneWindow::fillObjects() {
  const int scene = currentScene();
  const int keptColumn = objects_->currentColumn();
  objects_->setRowCount(0);
  tileFiles_->clear();
  if (scene < 0) return;
  // A scene the tables do not hold has no objects: said here, where it is
  // shown, and nowhere else.
  if (const std::string note = SceneWithoutTableNote(state_, scene); !note.empty()) {
    note_->setText(CoreText(state_, note));
    return;
  }
  const SceneTable& table = state_.game.objects.scenes[size_t(scene)];
  const std::vector<int32_t> numbers = SceneObjectNumbers(state_.game.objects, scene);
  if (!table.valid)
    note_->setText(UiFormat(state_, Str::SceneTableDamaged, scene));
  else if (numbers.empty())
    note_->setText(Ui(state_, Str::SceneEmptyTable));
  else
    note_->setText(CoreText(state_, SceneCaption(state_.game.names, scene)));

  std::shared_ptr<const PictureSet> tiles;
  if (!numbers.empty()) {
    Result<LoadedTileSet> loaded = LoadSceneTiles(state_, scene);
    if (loaded) {
      tiles = loaded->tiles;
      tileFiles_->setText(Q(TileSetMessage(state_.text(), *loaded)));
    } else {
      tileFiles_->setText(Q(loaded.error()));
    }
  }

  objects_->setRowCount(static_cast<int>(numbers.size()));
  for (int row = 0; row < static_cast<int>(numbers.size()); ++row) {
    const int32_t number = numbers[size_t(row)];
    const SceneObject& o = table.objects[size_t(number)];
    auto put = [&](int column, const QString& text, int value) {
      auto* item = new QTableWidgetItem(text);
      item->setData(kEventRole, value);
      objects_->setItem(row, column, item);
      return item;
    };
    put(kNumber, QString::number(number), number);
    put(kX, QString::number(o.words[kObjectX]), o.words[kObjectX]);
    put(kY, QString::number(o.words[kObjectY]), o.words[kObjectY]);
    put(kPassable, QString::number(o.words[kObjectPassable]), o.words[kObjectPassable]);
    for (Trigger t : kTriggers) {
      const int16_t event = o.event(t);
      QString text;
      if (event > 0 && event < state_.eventCount())
        text = QString::number(event) + "  " + CoreText(state_, EventFirstLine(state_, event));
      else if (event > 0)
        text = QString::number(event) + "  " + Ui(state_, Str::EventDoesNotExist);
      else if (event < 0)
        text = QString::number(event);
      put(ColumnOf(t), text, event);
    }
    const int16_t p1 = o.words[kObjectPicture1];
    QTableWidgetItem* pictures = put(kPictures,
                                     QString("%1 %2 %3 / %4")
                                         .arg(p1)
                                         .arg(o.words[kObjectPicture2])
                                         .arg(o.words[kObjectPicture3])
                                         .arg(o.words[kObjectSpeed]),
                                     p1);
    const RlePicture* tile = tiles && p1 > 0 ? TileForNumber(*tiles, p1) : nullptr;
    if (tile != nullptr) {
      const QImage image = ToImage(RenderPictureOpaque(*tile));
      if (!image.isNull())
        pictures->setIcon(QIcon(
            QPixmap::fromImage(image.scaled(kIconSize, kIconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation))));
    }
  }
  objects_->resizeColumnsToContents();
  const bool any = !numbers.empty();
  for (QWidget* w : std::initializer_list<QWidget*>{editButton_, attachButton_, clearButton_, showButton_})
    w->setEnabled(any);
  if (any) objects_->setCurrentCell(0, keptColumn >= 0 ? keptColumn : kAction);
}

bool SceneWindow::currentTrigger(int& trigger) const {
  const int column = objects_->currentColumn();
  if (column < kAction || column > kPass) return false;
  trigger = column - kAction;
  return true;
}

void SceneWindow::showCellEvent(int row, int column) {
  if (row < 0 || column < kAction || column > kPass) {
    ShowMessage(this, Ui(state_, Str::ChooseAnEventCell));
    return;
  }
  const int event = objects_->item(row, column)->data(kEventRole).toInt();
  if (event <= 0) return;
  if (event >= state_.eventCount()) {
    ShowMessage(this, UiFormat(state_, Str::ObjectEventMissing, event, state_.eventCount() - 1));
    return;
  }
  chosenEvent_ = event;
  accept();
}

void SceneWindow::editObject() {
  const int scene = currentScene();
  const int object = currentObject();
  const SceneObject* current = state_.game.objects.Object(scene, object);
  if (current == nullptr) return;
  Statement instruction = ObjectAsInstruction(*current, scene, object);
  PicturePreviewDialog dialog(state_, instruction, "frmstatement_0x03", this);
  dialog.setObjectName("frmSceneObject");
  dialog.load();
  // The scene and the object are this one's; the tiles are its scene's.
  for (const char* fixed : {"ComboAddress", "ComboSkey"})
    if (auto* box = dialog.findChild<QComboBox*>(fixed)) box->setEnabled(false);
  if (auto* keep = dialog.findChild<QLabel*>("Label16")) keep->hide();
  if (auto* manual = dialog.findChild<QComboBox*>("Combomanual")) manual->setCurrentIndex(scene);
  if (dialog.exec() != QDialog::Accepted) return;
  if (Status applied = ApplyObjectInstruction(state_, scene, object, instruction); !applied) {
    ShowMessage(this, CoreText(state_, applied.error()));
    return;
  }
  afterEdit(object);
}

void SceneWindow::attachEvent() {
  int trigger = 0;
  if (!currentTrigger(trigger) || currentObject() < 0) {
    ShowMessage(this, Ui(state_, Str::ChooseAnEventCell));
    return;
  }
  Result<int16_t> number = ParseWord(U8(eventNumber_->text().trimmed()));
  const int object = currentObject();
  Status attached = number ? AttachObjectEvent(state_, currentScene(), object, static_cast<Trigger>(trigger), *number)
                           : Status(Error{FormatInterfaceString(Str::ObjectEventMissing, U8(eventNumber_->text()),
                                                                state_.eventCount() - 1)});
  if (!attached) {
    ShowMessage(this, CoreText(state_, attached.error()));
    return;
  }
  afterEdit(object);
}

void SceneWindow::clearEvent() {
  int trigger = 0;
  if (!currentTrigger(trigger) || currentObject() < 0) {
    ShowMessage(this, Ui(state_, Str::ChooseAnEventCell));
    return;
  }
  const int object = currentObject();
  if (Status cleared = ClearObjectEvent(state_, currentScene(), object, static_cast<Trigger>(trigger)); !cleared) {
    ShowMessage(this, CoreText(state_, cleared.error()));
    return;
  }
  afterEdit(object);
}

void SceneWindow::afterEdit(int object) {
  changed_ = true;
  fillObjects();
  chooseObject(object);
}

bool SceneWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == objects_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      showCellEvent(objects_->currentRow(), objects_->currentColumn());
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

int OpenSceneWindow(EditorState& state, QWidget* parent, int scene, int object) {
  SceneWindow window(state, parent, scene, object);
  window.exec();
  return window.chosenEvent();
}

}  // namespace tavrel::ui
