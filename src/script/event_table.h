#pragma once
// The events of a game as the editor holds them: kdef.grp's words per event,
// each with its statement list once decoded.
#include <cstdint>
#include <filesystem>
#include <vector>

#include "gamefiles/kdef.h"
#include "script/event.h"

namespace tavrel {

struct EventTable {
  std::vector<KdefEvent> events;
  std::vector<int32_t> offsets;  // in words, events.size() + 1 values
};

// Every event comes undecoded: no statements, label counter 0. Index
// oddities that lose nothing are read gently and reported in `warnings`
// (see ReadKdef).
Result<EventTable> ReadEvents(const std::filesystem::path& gameDir, std::vector<FileWarning>* warnings = nullptr);
// The bytes of kdef.idx and kdef.grp from the events' words.
void EncodeEvents(const EventTable& table, Bytes& idx, Bytes& grp);
// The same, and `offsets` refreshed to the encoded events.
void EncodeEvents(EventTable& table, Bytes& idx, Bytes& grp);
// Replaces both files atomically; refreshes `offsets`.
Status WriteEvents(const std::filesystem::path& gameDir, EventTable& table);

}  // namespace tavrel
