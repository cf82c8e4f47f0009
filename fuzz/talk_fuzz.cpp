// The dialogue pair talk.idx / talk.grp: read, encode untouched, read again.
#include <algorithm>

#include "fuzz_support.h"
#include "gamefiles/talk.h"

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto parts = fuzz::UnpackParts(data, size, 2);
  fuzz::LayFiles({{"talk.idx", parts[0]}, {"talk.grp", parts[1]}});
  std::vector<FileWarning> warnings;
  Result<TalkTable> read = LoadTalk(fuzz::ScratchGameDir(), fuzz::Big5(), &warnings);
  if (!read) {
    FUZZ_CHECK(read.error().find("talk.") != std::string::npos);
    return 0;
  }
  FUZZ_CHECK(read->offsets.size() == read->entries.size() + 1);
  bool damaged = false;
  for (const FileWarning& w : warnings)
    if (w.damage) {
      damaged = true;
      FUZZ_CHECK(w.damage->bytes >= 0 && size_t(w.damage->bytes) <= parts[1].size());
      FUZZ_CHECK(w.damage->entries >= 0 && size_t(w.damage->entries) <= parts[0].size() / 4);
    }
  // Untouched entries keep their bytes through a save; read without damage,
  // the save writes no less than the file held.
  Bytes idx, grp;
  TalkTable table = *read;
  EncodeTalk(table, fuzz::Big5(), idx, grp);
  FUZZ_CHECK(damaged || grp.size() >= parts[1].size());
  fuzz::LayFiles({{"talk.idx", idx}, {"talk.grp", grp}});
  Result<TalkTable> again = LoadTalk(fuzz::ScratchGameDir(), fuzz::Big5());
  FUZZ_CHECK(again);
  FUZZ_CHECK(again->entries.size() == read->entries.size());
  for (size_t i = 0; i < read->entries.size(); ++i) {
    FUZZ_CHECK(std::ranges::equal(again->entries[i].readBytes(), read->entries[i].readBytes()));
    FUZZ_CHECK(again->entries[i].text == read->entries[i].text);
  }
  // An edited text goes through the codec; whatever it holds, it encodes.
  if (!table.entries.empty()) {
    table.entries.front().text = read->entries.back().text.str() + "\xe6\xb8\xac";
    EncodeTalk(table, fuzz::Big5(), idx, grp);
  }
  return 0;
}
