// hdgrp.idx/hdgrp.grp: speaker portraits drawn from the portrait number.
// Background, hair style and clothes follow three digits of the number
// (base 5), so no two portraits look alike; face shape, skin, beard and
// marks vary on top. Some numbers have no picture (empty entries). The eyes
// are black, drawn as real portraits draw it: palette index 0 (a visible
// colour; what shows is a matter of the rows' skips), and the second black
// entry of the palette beside it.
#include <array>

#include "sample/sample_build.h"
#include "sample/sample_canvas.h"

namespace tavrel::sample {
namespace {

constexpr int kWidth = 48;
constexpr int kHeight = 56;

constexpr std::array<Ramp, 5> kClothes = {kRed, kBlue, kGreen, kPurple, kOrange};
constexpr std::array<Ramp, 6> kBackdrops = {kTeal, kStone, kWater, kEarth, kPink, kYellow};

bool Absent(int n) { return n % 23 == 22; }

struct Face {
  int cx, cy, rx, ry;
};

// Recolours the pixels of `from` in rows [top, bottom) (hair over the forehead).
void Recolour(Canvas& c, int top, int bottom, int16_t from, int16_t to) {
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < c.width; ++x)
      if (y >= 0 && y < c.height && c.At(x, y) == from) c.Set(x, y, to);
}

void DrawBackground(Canvas& c, int n) {
  const int style = n % 5;
  if (style == 0) return;  // transparent: the dialogue box shows through
  const Ramp ramp = kBackdrops[size_t((n + n / 7) % 6)];
  const int16_t base = Colour(ramp, 5), mark = Colour(ramp, 9);
  c.FillRect(0, 0, kWidth, kHeight, base);
  if (style == 2)
    for (int y = 0; y < kHeight; y += 4) c.FillRect(0, y, kWidth, 2, mark);
  if (style == 3)
    for (int y = 0; y < kHeight; y += 8)
      for (int x = (y / 8) % 2 * 8; x < kWidth; x += 16) c.FillRect(x, y, 8, 8, mark);
  if (style == 4) c.Pattern(base, mark, 5, false);
}

void DrawHair(Canvas& c, int n, const Face& f, int16_t skin, int16_t hair) {
  switch (n / 5 % 5) {
    case 0:  // short
      Recolour(c, f.cy - f.ry, f.cy - f.ry + 6, skin, hair);
      break;
    case 1:  // long, falling to the shoulders
      Recolour(c, f.cy - f.ry, f.cy - f.ry + 5, skin, hair);
      c.FillRect(f.cx - f.rx - 3, f.cy - 4, 4, 26, hair);
      c.FillRect(f.cx + f.rx - 1, f.cy - 4, 4, 26, hair);
      break;
    case 2:  // shaven head with a shine
      c.FillEllipse(f.cx - f.rx / 3, f.cy - f.ry + 4, 2, 1, Colour(kSkin, 15));
      break;
    case 3:  // topknot
      c.FillEllipse(f.cx, f.cy - f.ry - 3, 5, 4, hair);
      Recolour(c, f.cy - f.ry, f.cy - f.ry + 5, skin, hair);
      break;
    default: {  // hat with a brim
      const int16_t hat = Colour(kClothes[size_t((n + 2) % 5)], 6);
      c.FillRect(f.cx - f.rx + 2, f.cy - f.ry - 6, 2 * f.rx - 3, 9, hat);
      c.FillRect(f.cx - f.rx - 3, f.cy - f.ry + 2, 2 * f.rx + 7, 3, hat);
    }
  }
}

void DrawFeatures(Canvas& c, int n, const Face& f, int16_t hair) {
  const int eyeY = f.cy - 1, eyeDx = f.rx / 2;
  for (int side : {-1, 1}) {
    const int ex = f.cx + side * eyeDx;
    if (n % 4 == 1) {
      c.FillRect(ex - 2, eyeY, 4, 1, kBlack);  // narrowed eyes
    } else {
      c.FillRect(ex - 1, eyeY - 1, 2, 1, kDuplicateBlack);  // lid
      c.FillRect(ex - 1, eyeY, 2, 1, kBlack);               // pupil
    }
    c.FillRect(ex - 2, eyeY - 4 - n % 2, 5, 1, hair);  // brows
  }
  c.FillRect(f.cx, f.cy + 2, 1, 3, Colour(kSkin, 6));                                      // nose
  c.FillRect(f.cx - 2 - n % 3, f.cy + f.ry / 2 + 1, 5 + 2 * (n % 3), 1, Colour(kRed, 6));  // mouth
  if (n % 3 == 0) c.FillEllipse(f.cx, f.cy + f.ry - 1, f.rx / 2 + 1, 4, hair);             // beard
  if (n % 7 == 3) c.FillRect(f.cx + eyeDx - 1, f.cy + 3, 1, 5, Colour(kRed, 4));           // scar
}

Bytes Portrait(int n) {
  Canvas c(kWidth, kHeight);
  DrawBackground(c, n);
  const Ramp clothes = kClothes[size_t(n / 25 % 5)];
  c.FillEllipse(kWidth / 2, kHeight + 4, 22, 16, Colour(clothes, 7));
  c.FillDiamond(kWidth / 2, kHeight - 12, 4, 6, Colour(clothes, 12));  // collar
  const Face face{kWidth / 2, 24, 10 + n * 7 % 4, 13 + n * 3 % 3};
  const int16_t skin = Colour(kSkin, 8 + n % 5);
  const int16_t hair = n % 9 == 0 ? Colour(kGrey, 11) : Colour(kHair, 2 + n % 4 * 2);
  c.FillRect(face.cx - 3, face.cy + face.ry - 2, 7, 8, Colour(kSkin, 6));  // neck
  if (n / 5 % 5 == 1) c.FillEllipse(face.cx, face.cy - 2, face.rx + 3, face.ry + 2, hair);
  c.FillEllipse(face.cx, face.cy, face.rx, face.ry, skin);
  DrawHair(c, n, face, skin, hair);
  DrawFeatures(c, n, face, hair);
  // Anchored at the bottom left corner: the dialogue box draws it there.
  return EncodePicture(c, 0, kHeight);
}

}  // namespace

std::vector<SampleFile> MakePortraitFiles(const SampleSizes& sizes) {
  std::vector<Bytes> entries;
  entries.reserve(size_t(sizes.portraits));
  for (int n = 0; n < sizes.portraits; ++n) entries.push_back(Absent(n) ? Bytes{} : Portrait(n));
  std::vector<SampleFile> files;
  AddIdxGrp(files, "hdgrp.idx", "hdgrp.grp", entries);
  return files;
}

}  // namespace tavrel::sample
