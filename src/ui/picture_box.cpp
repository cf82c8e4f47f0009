#include "ui/picture_box.h"

#include <QPainter>

#include <algorithm>

namespace tavrel::ui {

QImage ToImage(const PixelArea& area) {
  if (area.width <= 0 || area.height <= 0) return {};
  QImage image(area.width, area.height, QImage::Format_RGB32);
  for (int y = 0; y < area.height; ++y) {
    auto* line = reinterpret_cast<uint32_t*>(image.scanLine(y));
    const uint32_t* src = area.pixels.data() + size_t(y) * size_t(area.width);
    for (int x = 0; x < area.width; ++x) line[x] = 0xFF000000u | src[x];
  }
  return image;
}

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(16, 16);
}

QSize PictureBox::sizeHint() const { return {120, 120}; }

void PictureBox::ensureImage() {
  if (image_.size() != size()) {
    QImage next(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    next.fill(Qt::black);
    if (!image_.isNull()) {
      QPainter p(&next);
      p.drawImage(0, 0, image_);
    }
    image_ = next;
  }
}

void PictureBox::clear() {
  ensureImage();
  image_.fill(Qt::black);
  update();
}

void PictureBox::drawPicture(const RlePicture& picture, int x, int y) {
  if (!PictureShows(picture)) return;  // absent, no pixels, or an impossible size
  // Only the part of the rectangle inside the box is rendered.
  ensureImage();
  const int64_t left = int64_t(x) - picture.xOffset, top = int64_t(y) - picture.yOffset;
  const int64_t x0 = std::max<int64_t>(left, 0), y0 = std::max<int64_t>(top, 0);
  const int64_t x1 = std::min<int64_t>(left + picture.width, image_.width());
  const int64_t y1 = std::min<int64_t>(top + picture.height, image_.height());
  if (x1 <= x0 || y1 <= y0) return;
  PixelArea visible(int(x1 - x0), int(y1 - y0), 0);
  RenderPicture(picture, visible, int(left - x0), int(top - y0));
  drawArea(visible, int(x0), int(y0));
}

void PictureBox::drawArea(const PixelArea& area, int x, int y) {
  ensureImage();
  const QImage src = ToImage(area);
  if (!src.isNull()) {
    QPainter p(&image_);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(x, y, src);
  }
  update();
}

void PictureBox::drawText(const QString& text, int x, int y, const QColor& colour) {
  ensureImage();
  QPainter p(&image_);
  p.setFont(font());
  p.setPen(colour);
  p.drawText(x, y + QFontMetrics(font()).ascent(), text);
  update();
}

void PictureBox::paintEvent(QPaintEvent*) {
  ensureImage();
  QPainter p(this);
  p.drawImage(0, 0, image_);
}

void PictureBox::resizeEvent(QResizeEvent*) { ensureImage(); }

}  // namespace tavrel::ui
