#include "script/event_table.h"

#include <utility>

namespace tavrel {

Result<EventTable> ReadEvents(const std::filesystem::path& gameDir, std::vector<FileWarning>* warnings) {
  Result<KdefWords> read = ReadKdef(gameDir, warnings);
  if (!read) return read.passError();
  EventTable table;
  table.offsets = std::move(read->offsets);
  table.events.reserve(read->events.size());
  for (EventWords& words : read->events) table.events.emplace_back().words = std::move(words);
  return table;
}

void EncodeEvents(const EventTable& table, Bytes& idx, Bytes& grp) {
  size_t words = 0;
  for (const KdefEvent& event : table.events) words += event.words.size();
  KdefEncoder encoder(idx, grp, table.events.size(), words);
  for (const KdefEvent& event : table.events) encoder.Add(event.words);
}

void EncodeEvents(EventTable& table, Bytes& idx, Bytes& grp) {
  EncodeEvents(std::as_const(table), idx, grp);
  table.offsets.assign(1, 0);
  table.offsets.reserve(table.events.size() + 1);
  for (const KdefEvent& event : table.events) table.offsets.push_back(table.offsets.back() + event.wordCount());
}

Status WriteEvents(const std::filesystem::path& gameDir, EventTable& table) {
  std::vector<int32_t> previous = table.offsets;
  std::vector<FileWrite> files(2);
  files[0].path = KdefIdxPath(gameDir);
  files[1].path = KdefGrpPath(gameDir);
  EncodeEvents(table, files[0].bytes, files[1].bytes);
  Status written = WriteFilesAtomic(files);
  if (!written) table.offsets = std::move(previous);
  return written;
}

}  // namespace tavrel
