#pragma once
// The isometric battlefield picture: which squares lie around a centre
// square, in what order they are drawn, where each is anchored, and the
// composition of the three layers and the centre marker into a pixel area,
// and the whole view with the battle's markers written over it.
#include <cstdint>
#include <string>
#include <vector>

#include "gamefiles/pictures.h"
#include "gamefiles/war_map.h"
#include "gamefiles/war_sta.h"

namespace tavrel {

inline constexpr int kBattleCanvasWidth = 700;
inline constexpr int kBattleCanvasHeight = 500;
inline constexpr int kBattleViewWidth = 640;
inline constexpr int kBattleViewHeight = 480;
inline constexpr int kBattleCentreX = 320;  // the centre square's anchor
inline constexpr int kBattleCentreY = 240;
inline constexpr int kSquareHalfWidth = 18;  // one square to the right: 18 right, 9 down
inline constexpr int kSquareHalfHeight = 9;

struct CanvasPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const CanvasPoint&, const CanvasPoint&) = default;
};

// Anchor of the square dx, dy squares away from the centre square.
constexpr CanvasPoint SquareAnchor(int dx, int dy) {
  return {(dx - dy) * kSquareHalfWidth + kBattleCentreX, (dx + dy) * kSquareHalfHeight + kBattleCentreY};
}

// Offsets of the squares around the centre in drawing order: rows of the
// picture from the top down, each row right to left, so nearer squares cover
// farther ones. Squares off the map are the caller's to skip.
struct SquareOffset {
  int dx = 0;
  int dy = 0;
};
const std::vector<SquareOffset>& BattleDrawOrder();

// Tile position of a layer value: half the value, rounded to the nearest
// whole number with halves to the even neighbour.
int TilePosition(int16_t value);

// What could not be drawn.
struct CompositionGaps {
  int groundMissing = 0;  // squares whose ground tile lies outside the set or is absent
  bool markerMissing = false;
};

// The 700 x 500 canvas, black, with the squares around (centreX, centreY)
// and picture 0 over the centre point.
PixelArea ComposeBattlefield(const Battlefield& field, const PictureSet& tiles, int centreX, int centreY,
                             CompositionGaps* gaps = nullptr);

// The top-left width x height pixels of `area` (black where it is smaller).
PixelArea CropArea(const PixelArea& area, int width, int height);

// A text marker on the view: its top-left corner at `at`.
struct BattleMarker {
  std::string text;
  CanvasPoint at;
  bool enemy = false;
};

// Participant slots 0 .. 5 always (" 0" .. " 5"); enemies "E<d>" only where
// the enemy's person number is 0 or more. Each written 9 pixels above its
// square's anchor relative to the centre square.
std::vector<BattleMarker> BattleMarkers(const BattleRecord& battle, int centreX, int centreY);

inline constexpr uint32_t kParticipantMarkerColour = 0xFFFFA0;
inline constexpr uint32_t kEnemyMarkerColour = 0xFF6060;
inline constexpr int kMarkerGlyphScale = 2;  // the 5 x 7 glyphs drawn twice as large
inline constexpr int kMarkerAdvance = 6 * kMarkerGlyphScale;

// Writes `text` (digits, 'E' and spaces; other characters leave a gap) in
// the built-in 5 x 7 digit font, its top-left corner at `at`; pixels outside
// the area are left out.
void DrawMarkerText(PixelArea& area, const std::string& text, CanvasPoint at, uint32_t colour);

// The battle map view's picture, 640 x 480: the battlefield around
// (centreX, centreY) when there is one (black otherwise), cropped to the
// view, with the battle's markers written over it.
PixelArea DrawBattleView(const Battlefield* field, const PictureSet& tiles, const BattleRecord& battle, int centreX,
                         int centreY, CompositionGaps* gaps = nullptr);

}  // namespace tavrel
