// The event pair kdef.idx / kdef.grp: read, encode, read again.
#include "fuzz_support.h"
#include "script/event_table.h"

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto parts = fuzz::UnpackParts(data, size, 2);
  fuzz::LayFiles({{"kdef.idx", parts[0]}, {"kdef.grp", parts[1]}});
  std::vector<FileWarning> warnings;
  Result<EventTable> read = ReadEvents(fuzz::ScratchGameDir(), &warnings);
  if (!read) {
    FUZZ_CHECK(read.error().find("kdef.") != std::string::npos);
    return 0;
  }
  FUZZ_CHECK(read->offsets.size() == read->events.size() + 1);
  bool damaged = false;
  for (const FileWarning& w : warnings)
    if (w.damage) {
      damaged = true;
      FUZZ_CHECK(w.damage->bytes >= 0 && size_t(w.damage->bytes) <= parts[1].size());
    }
  // What a save writes reads back as the same events; read without damage,
  // it is every byte the file held.
  Bytes idx, grp;
  EventTable table = *read;
  EncodeEvents(table, idx, grp);
  FUZZ_CHECK(damaged || grp.size() == parts[1].size());
  fuzz::LayFiles({{"kdef.idx", idx}, {"kdef.grp", grp}});
  Result<EventTable> again = ReadEvents(fuzz::ScratchGameDir());
  FUZZ_CHECK(again);
  FUZZ_CHECK(again->events.size() == read->events.size());
  for (size_t i = 0; i < read->events.size(); ++i) FUZZ_CHECK(again->events[i].words == read->events[i].words);
  FUZZ_CHECK(again->offsets == table.offsets);
  return 0;
}
