#include "ui/pictures/portrait_window.h"

#include <algorithm>

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/portrait_pictures.h"
#include "app/portrait_replace.h"
#include "gamefiles/picture_encode.h"
#include "ui/picture_box.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tavrel::ui {
namespace {

constexpr int kCell = 72;

QPushButton* Button(QWidget* parent, const char* name, const QString& text) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QLatin1String(name));
  button->setAutoDefault(false);
  return button;
}

QPixmap PortraitIcon(const RlePicture& picture) {
  QPixmap pixmap(kCell, kCell);
  pixmap.fill(Qt::black);
  const PixelArea area = RenderPictureOpaque(picture);
  if (area.width > 0 && area.height > 0) {
    const QImage image = ToImage(area);
    const QImage shown = image.width() > kCell || image.height() > kCell
                             ? image.scaled(kCell, kCell, Qt::KeepAspectRatio, Qt::FastTransformation)
                             : image;
    QPixmap drawn = QPixmap::fromImage(shown);
    pixmap = QPixmap(kCell, kCell);
    pixmap.fill(Qt::black);
    QPainter painter(&pixmap);
    painter.drawPixmap((kCell - shown.width()) / 2, kCell - shown.height(), drawn);
  }
  return pixmap;
}

PictureBox* PreviewBox(QWidget* parent, const char* name, const RlePicture* picture) {
  auto* box = new PictureBox(parent);
  box->setObjectName(QLatin1String(name));
  const bool shows = picture != nullptr && PictureShows(*picture);
  const int w = shows ? int(picture->width) : 48;
  const int h = shows ? int(picture->height) : 56;
  box->setFixedSize(std::min(std::max(w, 48), 640), std::min(std::max(h, 56), 480));
  box->clear();
  if (shows) box->drawArea(RenderPictureOpaque(*picture));
  return box;
}

}  // namespace

PortraitPreview::PortraitPreview(const EditorState& state, const RlePicture* before, const RlePicture& after,
                                 uint64_t mappedPixels, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("frmPortraitPreview"));
  setModal(true);
  setWindowTitle(Ui(state, Str::PortraitPreviewTitle));
  auto* pictures = new QGridLayout;
  auto* beforeTitle = new QLabel(Ui(state, Str::PortraitPreviewBefore), this);
  auto* afterTitle = new QLabel(Ui(state, Str::PortraitPreviewAfter), this);
  pictures->addWidget(beforeTitle, 0, 0);
  pictures->addWidget(afterTitle, 0, 1);
  pictures->addWidget(PreviewBox(this, "previewBefore", before), 1, 0, Qt::AlignTop);
  pictures->addWidget(PreviewBox(this, "previewAfter", &after), 1, 1, Qt::AlignTop);
  auto* mapped = new QLabel(mappedPixels > 0 ? UiFormat(state, Str::PortraitPreviewMapped, mappedPixels)
                                             : Ui(state, Str::PortraitPreviewExact),
                            this);
  mapped->setObjectName(QStringLiteral("previewMapped"));
  QPushButton* ok = Button(this, "previewOk", Ui(state, Str::Ok));
  QPushButton* cancel = Button(this, "previewCancel", Ui(state, Str::Cancel));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(pictures);
  layout->addWidget(mapped);
  layout->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

PortraitWindow::PortraitWindow(EditorState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("frmPortraits"));
  setModal(true);
  setWindowTitle(Ui(state_, Str::PortraitWindowTitle));

  grid_ = new QListWidget(this);
  grid_->setObjectName(QStringLiteral("portraitGrid"));
  grid_->setViewMode(QListView::IconMode);
  grid_->setIconSize(QSize(kCell, kCell));
  grid_->setGridSize(QSize(kCell + 40, kCell + 44));
  grid_->setResizeMode(QListView::Adjust);
  grid_->setMovement(QListView::Static);
  grid_->setWordWrap(true);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setMinimumSize(6 * (kCell + 40) + 24, 3 * (kCell + 44) + 8);

  users_ = new QLabel(this);
  users_->setObjectName(QStringLiteral("portraitUsers"));
  users_->setWordWrap(true);

  replace_ = Button(this, "replacePortrait", Ui(state_, Str::ReplacePortraitPicture));
  add_ = Button(this, "addPortrait", Ui(state_, Str::AddPortraitPicture));
  export_ = Button(this, "exportPortrait", Ui(state_, Str::ExportPortraitPicture));
  exportAll_ = Button(this, "exportAllPortraits", Ui(state_, Str::ExportAllPortraits));
  close_ = Button(this, "closePortraits", Ui(state_, Str::Ok));

  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {replace_, add_, export_, exportAll_}) buttons->addWidget(b);
  buttons->addStretch(1);
  buttons->addWidget(close_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(grid_, 1);
  layout->addWidget(users_);
  layout->addLayout(buttons);

  fillGrid();
  connect(grid_, &QListWidget::currentRowChanged, this, [this] { showChosen(); });
  connect(replace_, &QPushButton::clicked, this, &PortraitWindow::replaceChosen);
  connect(add_, &QPushButton::clicked, this, &PortraitWindow::addPortrait);
  connect(export_, &QPushButton::clicked, this, &PortraitWindow::exportChosen);
  connect(exportAll_, &QPushButton::clicked, this, &PortraitWindow::exportAll);
  connect(close_, &QPushButton::clicked, this, &QDialog::accept);
  if (grid_->count() > 0) grid_->setCurrentRow(0);
  showChosen();
}

int PortraitWindow::chosen() const { return grid_->currentRow(); }

void PortraitWindow::choose(int number) { grid_->setCurrentRow(number); }

void PortraitWindow::fillGrid() {
  const int remembered = grid_->currentRow();
  grid_->clear();
  for (size_t k = 0; k < state_.game.portraits.size(); ++k) {
    grid_->addItem(new QListWidgetItem);
    showItem(int(k));
  }
  if (remembered >= 0 && remembered < grid_->count()) grid_->setCurrentRow(remembered);
}

void PortraitWindow::showItem(int number) {
  QListWidgetItem* item = grid_->item(number);
  if (item == nullptr || size_t(number) >= state_.game.portraits.size()) return;
  const RlePicture& picture = state_.game.portraits[size_t(number)];
  QString text = PictureDamaged(picture) ? UiFormat(state_, Str::PortraitDamagedCaption, number)
                 : picture.absent != 0   ? UiFormat(state_, Str::PortraitAbsentCaption, number)
                                         : UiFormat(state_, Str::PortraitCaption, number);
  const std::vector<std::string> users = PortraitUserLines(state_, number);
  if (!users.empty()) text += "\n" + Q(users.front()) + (users.size() > 1 ? QStringLiteral(" …") : QString());
  item->setText(text);
  item->setIcon(QIcon(PortraitIcon(picture)));
  item->setData(Qt::UserRole, number);
}

void PortraitWindow::showChosen() {
  const int number = chosen();
  const bool any = number >= 0;
  const bool present =
      any && size_t(number) < state_.game.portraits.size() && PictureShows(state_.game.portraits[size_t(number)]);
  replace_->setEnabled(any);
  export_->setEnabled(present);
  exportAll_->setEnabled(!state_.game.portraits.empty());
  if (!any) {
    users_->clear();
    return;
  }
  QStringList names;
  for (const std::string& line : PortraitUserLines(state_, number)) names << Q(line);
  users_->setText(names.isEmpty()
                      ? Ui(state_, Str::PortraitNoUsers)
                      : UiFormat(state_, Str::PortraitUsersLabel, names.join(Ui(state_, Str::NameListSeparator))));
}

std::optional<IndexedPicture> PortraitWindow::askPicture(const RlePicture* before, int16_t xOffset, int16_t yOffset) {
  const QString file = ChoosePath(this, Ui(state_, Str::ChoosePngFile), PathKind::OpenFile, Q(state_.gameDirectory),
                                  Ui(state_, Str::PngFileFilter));
  if (file.isEmpty()) return std::nullopt;
  PaletteMatcher matcher(state_.game.palette);
  // The portrait it replaces: where a pixel keeps its colour it keeps its index.
  const IndexedPicture current = before != nullptr ? DecodePictureIndices(*before) : IndexedPicture{};
  Result<MappedPicture> read =
      ReadPngPicture(file.toStdString(), matcher, current.indices.empty() ? nullptr : &current);
  if (!read) {
    ShowMessage(this, CoreText(state_, read.error()));
    return std::nullopt;
  }
  IndexedPicture picture = std::move(read->picture);
  if (!read->offsetsGiven) {
    picture.xOffset = xOffset;
    picture.yOffset = yOffset;
  }
  Result<RlePicture> after = EncodeRlePicture(picture, state_.game.palette);
  if (!after) {
    ShowMessage(this,
                CoreText(state_, FormatInterfaceString(Str::PictureFileRefused, file.toStdString(), after.error())));
    return std::nullopt;
  }
  PortraitPreview preview(state_, before, *after, read->mappedPixels, this);
  if (preview.exec() != QDialog::Accepted) return std::nullopt;
  return picture;
}

void PortraitWindow::replaceChosen() {
  const int number = chosen();
  if (number < 0 || size_t(number) >= state_.game.portraits.size()) return;
  const RlePicture& old = state_.game.portraits[size_t(number)];
  std::optional<IndexedPicture> picture = askPicture(&old, old.xOffset, old.yOffset);
  if (!picture) return;
  if (Status done = ReplacePortraitPicture(state_, number, *picture); !done) {
    ShowMessage(this, CoreText(state_, done.error()));
    return;
  }
  showItem(number);
  showChosen();
}

void PortraitWindow::addPortrait() {
  // Without offsets of its own a new portrait takes those of the last present one.
  int16_t x = 0, y = 0;
  for (auto it = state_.game.portraits.rbegin(); it != state_.game.portraits.rend(); ++it)
    if (PictureShows(*it)) {
      x = it->xOffset;
      y = it->yOffset;
      break;
    }
  std::optional<IndexedPicture> picture = askPicture(nullptr, x, y);
  if (!picture) return;
  Result<int32_t> added = AddPortraitPicture(state_, *picture);
  if (!added) {
    ShowMessage(this, CoreText(state_, added.error()));
    return;
  }
  fillGrid();
  grid_->setCurrentRow(*added);
}

void PortraitWindow::exportChosen() {
  const int number = chosen();
  if (number < 0 || size_t(number) >= state_.game.portraits.size()) return;
  const QString start = QDir(Q(state_.gameDirectory)).filePath(Q(PictureFileName(size_t(number))));
  const QString file =
      ChoosePath(this, Ui(state_, Str::SavePngFile), PathKind::SaveFile, start, Ui(state_, Str::PngFileFilter));
  if (file.isEmpty()) return;
  Status written = ExportPicture(state_.game.portraits[size_t(number)], state_.game.palette, file.toStdString());
  if (!written) {
    ShowMessage(this, CoreText(state_, written.error()));
    return;
  }
  ShowMessage(this, UiFormat(state_, Str::PortraitExportedTo, file));
}

void PortraitWindow::exportAll() {
  const QString folder =
      ChoosePath(this, Ui(state_, Str::PortraitChooseFolder), PathKind::Folder, Q(state_.gameDirectory));
  if (folder.isEmpty()) return;
  Result<PictureExportReport> report =
      ExportPictureSet(state_.game.portraits, state_.game.palette, folder.toStdString());
  if (!report) {
    ShowMessage(this, CoreText(state_, report.error()));
    return;
  }
  ShowMessage(this, CoreText(state_, FormatInterfaceString(Str::PicturesExported, report->written, report->absent,
                                                           folder.toStdString())));
}

void OpenPortraitWindow(EditorState& state, QWidget* parent) {
  PortraitWindow window(state, parent);
  window.exec();
}

}  // namespace tavrel::ui
