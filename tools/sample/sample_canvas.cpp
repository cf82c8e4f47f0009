#include "sample/sample_canvas.h"

#include <algorithm>

namespace tavrel::sample {

void Canvas::FillRect(int x0, int y0, int w, int h, int16_t colour) {
  for (int y = std::max(0, y0); y < std::min(height, y0 + h); ++y)
    for (int x = std::max(0, x0); x < std::min(width, x0 + w); ++x) Set(x, y, colour);
}

void Canvas::FillEllipse(int cx, int cy, int rx, int ry, int16_t colour) {
  if (rx <= 0 || ry <= 0) return;
  const long rx2 = long(rx) * rx, ry2 = long(ry) * ry;
  for (int dy = -ry; dy <= ry; ++dy)
    for (int dx = -rx; dx <= rx; ++dx)
      if (long(dx) * dx * ry2 + long(dy) * dy * rx2 <= rx2 * ry2) Set(cx + dx, cy + dy, colour);
}

void Canvas::FillDiamond(int cx, int top, int hw, int hh, int16_t colour) {
  if (hh <= 0) return;
  for (int row = 0; row < 2 * hh; ++row) {
    const int fromEdge = row < hh ? row + 1 : 2 * hh - row;
    const int half = hw * fromEdge / hh;
    for (int x = cx - half; x < cx + half; ++x) Set(x, top + row, colour);
  }
}

void Canvas::Pattern(int16_t from, int16_t to, int period, bool diagonal) {
  if (period <= 0) return;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool hit = diagonal ? (x + y) % period == 0 : (x % period == 0 && y % period == 0);
      if (hit && At(x, y) == from) Set(x, y, to);
    }
}

Bytes EncodePicture(const Canvas& canvas, int16_t xOffset, int16_t yOffset) {
  Bytes out;
  AppendI16(out, static_cast<int16_t>(canvas.width));
  AppendI16(out, static_cast<int16_t>(canvas.height));
  AppendI16(out, xOffset);
  AppendI16(out, yOffset);
  Bytes row;
  for (int y = 0; y < canvas.height; ++y) {
    row.clear();
    int x = 0;
    while (x < canvas.width) {
      int skip = 0;
      while (x < canvas.width && canvas.At(x, y) == kClear && skip < 255) ++x, ++skip;
      if (x >= canvas.width) break;  // the rest of the row is transparent
      const size_t countAt = row.size() + 1;
      row.push_back(static_cast<uint8_t>(skip));
      row.push_back(0);
      int count = 0;
      while (x < canvas.width && canvas.At(x, y) != kClear && count < 255) {
        row.push_back(static_cast<uint8_t>(canvas.At(x, y)));
        ++x, ++count;
      }
      row[countAt] = static_cast<uint8_t>(count);
    }
    // The sample pictures are at most 80 pixels wide, so a row never
    // exceeds the 255 bytes its length byte can count.
    out.push_back(static_cast<uint8_t>(row.size()));
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace tavrel::sample
