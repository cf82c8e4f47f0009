#include "app/battle_geometry.h"

#include <algorithm>
#include <array>

namespace tavrel {

const std::vector<SquareOffset>& BattleDrawOrder() {
  static const std::vector<SquareOffset> order = [] {
    std::vector<SquareOffset> out;
    // i walks the picture rows (two per step of the diagonal), j the squares
    // of a row from the right edge leftwards.
    for (int i = -21; i <= 63; ++i)
      for (int j = 21; j >= 0; --j) {
        const int h = i / 2;  // truncated toward zero
        const int dx = j + h - 21;
        const int dy = (i % 2 == 0) ? h - j : h - j + 1;
        out.push_back({dx, dy});
      }
    return out;
  }();
  return order;
}

int TilePosition(int16_t value) {
  const int v = value;
  if (v % 2 == 0) return v / 2;
  // v / 2 lies halfway between floor(v / 2) and the next number: take the even one.
  const int floorHalf = v >> 1;
  return floorHalf % 2 == 0 ? floorHalf : floorHalf + 1;
}

namespace {

bool Drawable(const PictureSet& tiles, int position) {
  return position >= 0 && position < int(tiles.size()) && PictureShows(tiles[size_t(position)]);
}

void RenderAnchored(const RlePicture& picture, PixelArea& area, CanvasPoint anchor) {
  RenderPicture(picture, area, anchor.x - picture.xOffset, anchor.y - picture.yOffset);
}

}  // namespace

PixelArea ComposeBattlefield(const Battlefield& field, const PictureSet& tiles, int centreX, int centreY,
                             CompositionGaps* gaps) {
  PixelArea canvas(kBattleCanvasWidth, kBattleCanvasHeight, 0);
  CompositionGaps found;
  const bool hasLayers = field.layerCount > 0 && !field.layers[0].empty();
  for (const SquareOffset& s : BattleDrawOrder()) {
    if (!hasLayers) break;
    const int x = centreX + s.dx;
    const int y = centreY + s.dy;
    if (x < 0 || x >= kBattlefieldSide || y < 0 || y >= kBattlefieldSide) continue;
    const CanvasPoint anchor = SquareAnchor(s.dx, s.dy);
    const int ground = TilePosition(field.value(0, x, y));
    if (Drawable(tiles, ground))
      RenderAnchored(tiles[size_t(ground)], canvas, anchor);
    else
      ++found.groundMissing;
    // Upper layers only where they name a tile; 0 means nothing stands there.
    for (int layer = 1; layer < 3; ++layer) {
      if (field.layers[size_t(layer)].empty()) continue;
      const int position = TilePosition(field.value(layer, x, y));
      if (position > 0 && Drawable(tiles, position)) RenderAnchored(tiles[size_t(position)], canvas, anchor);
    }
  }
  if (Drawable(tiles, 0))
    RenderAnchored(tiles[0], canvas, {kBattleCentreX, kBattleCentreY});
  else
    found.markerMissing = true;
  if (gaps) *gaps = found;
  return canvas;
}

PixelArea CropArea(const PixelArea& area, int width, int height) {
  PixelArea out(width, height, 0);
  const int w = std::min(width, area.width);
  const int h = std::min(height, area.height);
  for (int y = 0; y < h; ++y) {
    const auto row = area.pixels.begin() + ptrdiff_t(size_t(y) * size_t(area.width));
    std::copy(row, row + w, out.pixels.begin() + ptrdiff_t(size_t(y) * size_t(width)));
  }
  return out;
}

namespace {

// The marker's text: a letter and the number. Appended rather than
// "literal + string", which GCC 12 at -O3 reads as an overlapping copy
// (-Wrestrict, a false report).
std::string MarkerText(char letter, int number) {
  std::string text(1, letter);
  text += std::to_string(number);
  return text;
}

}  // namespace

std::vector<BattleMarker> BattleMarkers(const BattleRecord& battle, int centreX, int centreY) {
  std::vector<BattleMarker> markers;
  auto place = [&](int x, int y) {
    CanvasPoint p = SquareAnchor(x - centreX, y - centreY);
    p.y -= kSquareHalfHeight;
    return p;
  };
  markers.reserve(markers.size() + kBattleParticipants + kBattleEnemies);
  for (int k = 0; k < kBattleParticipants; ++k)
    markers.push_back({MarkerText(' ', k), place(battle.personX[size_t(k)], battle.personY[size_t(k)]), false});
  for (int d = 0; d < kBattleEnemies; ++d) {
    if (battle.enemies[size_t(d)] < 0) continue;
    markers.push_back({MarkerText('E', d), place(battle.enemyX[size_t(d)], battle.enemyY[size_t(d)]), true});
  }
  return markers;
}

namespace {

// Rows of 5 x 7 glyphs, top row first, the leftmost pixel in bit 4.
using Glyph = std::array<uint8_t, 7>;
constexpr std::array<Glyph, 10> kDigits{{
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E},  // 0
    {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},  // 1
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F},  // 2
    {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},  // 3
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02},  // 4
    {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},  // 5
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E},  // 6
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},  // 7
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E},  // 8
    {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},  // 9
}};
constexpr Glyph kLetterE{0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F};

const Glyph* GlyphOf(char c) {
  if (c >= '0' && c <= '9') return &kDigits[size_t(c - '0')];
  if (c == 'E') return &kLetterE;
  return nullptr;
}

}  // namespace

void DrawMarkerText(PixelArea& area, const std::string& text, CanvasPoint at, uint32_t colour) {
  if (area.pixels.size() < size_t(area.width) * size_t(area.height)) return;
  for (size_t k = 0; k < text.size(); ++k) {
    const Glyph* glyph = GlyphOf(text[k]);
    if (glyph == nullptr) continue;
    const int left = at.x + int(k) * kMarkerAdvance;
    for (int row = 0; row < 7 * kMarkerGlyphScale; ++row) {
      const int y = at.y + row;
      if (y < 0 || y >= area.height) continue;
      const uint8_t bits = (*glyph)[size_t(row / kMarkerGlyphScale)];
      for (int column = 0; column < 5 * kMarkerGlyphScale; ++column) {
        const int x = left + column;
        if (x < 0 || x >= area.width || !(bits & (0x10 >> (column / kMarkerGlyphScale)))) continue;
        area.pixels[size_t(y) * size_t(area.width) + size_t(x)] = colour;
      }
    }
  }
}

PixelArea DrawBattleView(const Battlefield* field, const PictureSet& tiles, const BattleRecord& battle, int centreX,
                         int centreY, CompositionGaps* gaps) {
  PixelArea view = field != nullptr ? CropArea(ComposeBattlefield(*field, tiles, centreX, centreY, gaps),
                                               kBattleViewWidth, kBattleViewHeight)
                                    : PixelArea(kBattleViewWidth, kBattleViewHeight, 0);
  for (const BattleMarker& marker : BattleMarkers(battle, centreX, centreY))
    DrawMarkerText(view, marker.text, marker.at, marker.enemy ? kEnemyMarkerColour : kParticipantMarkerColour);
  return view;
}

}  // namespace tavrel
