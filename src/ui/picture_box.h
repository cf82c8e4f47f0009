#pragma once
// A picture box: a widget that shows a 32-bit pixel area, can be cleared, and
// has pictures drawn into it at an anchor point.
#include <QImage>
#include <QWidget>

#include "gamefiles/pictures.h"

namespace tavrel::ui {

class PictureBox : public QWidget {
  Q_OBJECT
 public:
  explicit PictureBox(QWidget* parent = nullptr);

  // Fills the box with its background (black).
  void clear();
  // Draws the picture's whole rectangle, transparent pixels black, with its
  // top-left corner at (x - xOffset, y - yOffset). A picture that does not
  // show (absent, damaged) draws nothing.
  void drawPicture(const RlePicture& picture, int x, int y);
  // Replaces the content with a rendered area copied at (x, y).
  void drawArea(const PixelArea& area, int x = 0, int y = 0);
  // Writes text in the box's font with its top-left corner at (x, y).
  void drawText(const QString& text, int x, int y, const QColor& colour);

  const QImage& image() const { return image_; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ensureImage();
  QImage image_;
};

// The pixel area as a QImage (copied).
QImage ToImage(const PixelArea& area);

}  // namespace tavrel::ui
