// An exported folder as the picture import reads it: pictures.txt and the
// one PNG it may name, against a small set.
#include "app/picture_sets.h"
#include "fuzz_support.h"
#include "gamefiles/picture_encode.h"

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto parts = fuzz::UnpackParts(data, size, 2);
  fuzz::LayFiles({{"pictures.txt", parts[0]}, {"0000.png", parts[1]}});
  Palette palette{};
  for (uint32_t i = 0; i < 256; ++i) palette[i] = i * 0x010101u;
  PictureSet current(2);
  IndexedPicture dot;
  dot.width = dot.height = 1;
  dot.indices = {5};
  dot.visible = {1};
  Result<RlePicture> one = EncodeRlePicture(dot, palette);
  FUZZ_CHECK(bool(one));
  current[0] = *one;
  Result<PictureImport> plan = PlanPictureImport(current, palette, fuzz::ScratchGameDir(), false);
  if (!plan) {
    FUZZ_CHECK(!plan.error().empty());
    return 0;
  }
  FUZZ_CHECK(plan->set.size() >= current.size());
  FUZZ_CHECK(size_t(plan->kept + plan->encoded) == plan->set.size());
  return 0;
}
