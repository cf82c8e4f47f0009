#pragma once
// The dialogue file pair talk.idx/talk.grp: each entry the game bytes of one
// text, complemented (XOR 0xFF), then a 0x00 terminator.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "gamefiles/file_io.h"
#include "text/charset.h"

namespace tavrel {

struct TalkEntry {
  std::string text;  // UTF-8, as shown and edited
  // The entry's game bytes as read (complement undone, terminator dropped)
  // and the text they decoded to. While `text` equals `readText`, saving
  // writes `readBytes` again, so untouched dialogue keeps its exact bytes.
  Bytes readBytes;
  std::string readText;
  bool fromFile = false;
};

struct TalkTable {
  std::vector<TalkEntry> entries;
  std::vector<int32_t> offsets;  // entries.size() + 1 values
};

Result<TalkTable> LoadTalk(const std::filesystem::path& gameDir, const TextCodec& codec);
// Game bytes of every entry (with terminator, complemented) as .grp, and the .idx.
void EncodeTalk(TalkTable& table, const TextCodec& codec, Bytes& idx, Bytes& grp);
// Encodes and replaces both files atomically; refreshes `offsets`.
Status SaveTalk(const std::filesystem::path& gameDir, TalkTable& table, const TextCodec& codec);

// A text new to the table (added by the user).
TalkEntry NewTalkEntry(std::string text);

}  // namespace tavrel
