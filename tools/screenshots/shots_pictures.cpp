// The portrait window on the sample game, and the preview of a replacement:
// portrait 7 as it is and the same picture with its reds and blues swapped,
// as the palette shows it.
#include <utility>

#include "app/picture_sets.h"
#include "gamefiles/picture_encode.h"
#include "gamefiles/png_file.h"
#include "shots.h"
#include "ui/pictures/portrait_window.h"

TAVREL_SHOT(portrait_window) {
  tavrel::ui::PortraitWindow window(context.state);
  window.choose(7);
  window.resize(720, 520);
  tavrel::shots::SaveShot(context, window, "portrait_window.png");
}

TAVREL_SHOT(portrait_preview) {
  using namespace tavrel;
  const PictureSet& portraits = context.state.game.portraits;
  if (portraits.size() <= 7) return;
  const RlePicture& before = portraits[7];
  Result<Bytes> png = PictureToPng(before, context.state.game.palette);
  if (!png) return;
  PngReadFailure failure;
  Result<PngImage> image = DecodePng(*png, failure);
  if (!image) return;
  for (size_t k = 0; k + 3 < image->rgba.size(); k += 4) std::swap(image->rgba[k], image->rgba[k + 2]);
  image->indexed = false;
  PaletteMatcher matcher(context.state.game.palette);
  MappedPicture mapped = MapPngToPalette(*image, matcher);
  Result<RlePicture> after = EncodeRlePicture(mapped.picture, context.state.game.palette);
  if (!after) return;
  tavrel::ui::PortraitPreview preview(context.state, &before, *after, mapped.mappedPixels);
  tavrel::shots::SaveShot(context, preview, "portrait_preview.png");
}
