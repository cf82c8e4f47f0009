// The event pair kdef.idx / kdef.grp: read, encode, read again.
#include "fuzz_support.h"
#include "script/event_table.h"

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto parts = fuzz::UnpackParts(data, size, 2);
  fuzz::LayFiles({{"kdef.idx", parts[0]}, {"kdef.grp", parts[1]}});
  Result<EventTable> read = ReadEvents(fuzz::ScratchGameDir());
  if (!read) {
    FUZZ_CHECK(read.error().find("kdef.") != std::string::npos);
    return 0;
  }
  FUZZ_CHECK(read->offsets.size() == read->events.size() + 1);
  // What a save writes reads back as the same events.
  Bytes idx, grp;
  EventTable table = *read;
  EncodeEvents(table, idx, grp);
  fuzz::LayFiles({{"kdef.idx", idx}, {"kdef.grp", grp}});
  Result<EventTable> again = ReadEvents(fuzz::ScratchGameDir());
  FUZZ_CHECK(again);
  FUZZ_CHECK(again->events.size() == read->events.size());
  for (size_t i = 0; i < read->events.size(); ++i) FUZZ_CHECK(again->events[i].words == read->events[i].words);
  FUZZ_CHECK(again->offsets == table.offsets);
  return 0;
}
