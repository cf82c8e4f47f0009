#include "app/battle_geometry.h"

#include <algorithm>

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
  return position >= 0 && position < int(tiles.size()) && tiles[size_t(position)].absent == 0;
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
    if (Drawable(tiles, ground)) RenderAnchored(tiles[size_t(ground)], canvas, anchor);
    else ++found.groundMissing;
    // Upper layers only where they name a tile; 0 means nothing stands there.
    for (int layer = 1; layer < 3; ++layer) {
      if (field.layers[size_t(layer)].empty()) continue;
      const int position = TilePosition(field.value(layer, x, y));
      if (position > 0 && Drawable(tiles, position)) RenderAnchored(tiles[size_t(position)], canvas, anchor);
    }
  }
  if (Drawable(tiles, 0)) RenderAnchored(tiles[0], canvas, {kBattleCentreX, kBattleCentreY});
  else found.markerMissing = true;
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

std::vector<BattleMarker> BattleMarkers(const BattleRecord& battle, int centreX, int centreY) {
  std::vector<BattleMarker> markers;
  auto place = [&](int x, int y) {
    CanvasPoint p = SquareAnchor(x - centreX, y - centreY);
    p.y -= kSquareHalfHeight;
    return p;
  };
  for (int k = 0; k < kBattleParticipants; ++k)
    markers.push_back({" " + std::to_string(k), place(battle.personX[size_t(k)], battle.personY[size_t(k)]), false});
  for (int d = 0; d < kBattleEnemies; ++d) {
    if (battle.enemies[size_t(d)] < 0) continue;
    markers.push_back({"E" + std::to_string(d), place(battle.enemyX[size_t(d)], battle.enemyY[size_t(d)]), true});
  }
  return markers;
}

}  // namespace tavrel
