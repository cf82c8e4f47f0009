#pragma once
// The event file pair kdef.idx/kdef.grp: each event a run of 16-bit
// little-endian words; the index holds byte offsets, kept in words in memory.
// The files hand out plain words; the event model (script/event_table.h)
// builds its events on them.
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "gamefiles/event_words.h"
#include "gamefiles/file_io.h"

namespace tavrel {

struct KdefWords {
  std::vector<EventWords> events;
  std::vector<int32_t> offsets;  // in words, events.size() + 1 values
};

// Index oddities that lose nothing are read gently and reported in
// `warnings`: a trailing partial value is ignored, an odd byte offset is
// rounded down to the word it lies in.
Result<KdefWords> ReadKdef(const std::filesystem::path& gameDir, std::vector<FileWarning>* warnings = nullptr);

// Builds the bytes of kdef.idx and kdef.grp one event after the other.
class KdefEncoder {
 public:
  // Empties both; `events` and `words` (all events' words) are what will be
  // added, for the room reserved.
  KdefEncoder(Bytes& idx, Bytes& grp, size_t events, size_t words);
  void Add(std::span<const int16_t> words);

 private:
  Bytes& idx_;
  Bytes& grp_;
};

// The paths of kdef.idx and kdef.grp in `gameDir`, as they lie there.
std::filesystem::path KdefIdxPath(const std::filesystem::path& gameDir);
std::filesystem::path KdefGrpPath(const std::filesystem::path& gameDir);

}  // namespace tavrel
