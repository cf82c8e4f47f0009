// The name tables r1.idx / r1.grp and the portrait users built from them.
#include "fuzz_support.h"
#include "gamefiles/names.h"

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto parts = fuzz::UnpackParts(data, size, 2);
  fuzz::LayFiles({{"r1.idx", parts[0]}, {"r1.grp", parts[1]}});
  Result<NameTables> read = LoadNameTables(fuzz::ScratchGameDir(), fuzz::Big5());
  if (!read) {
    FUZZ_CHECK(read.error().find("r1.") != std::string::npos);
    return 0;
  }
  const auto users = BuildPortraitUsers(*read, int32_t(read->persons.size() % 300));
  size_t listed = 0;
  for (const auto& u : users) listed += u.size();
  FUZZ_CHECK(listed <= read->persons.size());
  return 0;
}
