// The scenes' object tables alldef.idx / alldef.grp: every entry either 200
// records or kept as damaged bytes, and an unchanged table written back as read.
#include "app/scene_objects.h"
#include "fuzz_support.h"
#include "gamefiles/alldef.h"

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto parts = fuzz::UnpackParts(data, size, 2);
  std::vector<FileWarning> warnings;
  Result<SceneObjectTables> read = ParseSceneObjects(parts[0], parts[1], "alldef.idx", "alldef.grp", &warnings);
  if (!read) {
    FUZZ_CHECK(read.error().find("alldef.") != std::string::npos);
    return 0;
  }
  size_t damaged = 0;
  for (const SceneTable& table : read->scenes) {
    FUZZ_CHECK(table.valid ? table.objects.size() == size_t(kObjectsPerScene) : table.objects.empty());
    FUZZ_CHECK(!(table.valid && table.missing));
    damaged += table.valid || table.missing ? 0 : 1;
  }
  FUZZ_CHECK(warnings.size() >= damaged);
  FUZZ_CHECK(EncodeSceneObjects(*read) == read->grp);
  const int32_t events = int32_t(size % 5000);
  const EventStarts starts(*read, events);
  size_t listed = 0;
  for (int32_t e = 0; e < events; ++e) listed += starts.Of(e).size();
  FUZZ_CHECK(listed + CheckSceneObjects(*read, events).size() <= size_t(read->sceneCount()) * 600);
  return 0;
}
