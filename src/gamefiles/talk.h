#pragma once
// The dialogue file pair talk.idx/talk.grp: each entry the game bytes of one
// text, complemented (XOR 0xFF), then a 0x00 terminator.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "gamefiles/file_io.h"
#include "text/charset.h"

namespace tavrel {

struct TalkEntry {
  std::string text;  // UTF-8, as shown and edited
  // Where the entry's game bytes as read lie (complement undone, terminator
  // dropped): a range of the file's bytes, which all entries of one read
  // share. While `text` is still what those bytes decode to, saving writes
  // them again, so untouched dialogue keeps its exact bytes.
  std::shared_ptr<const Bytes> readFile;
  uint32_t readOffset = 0;
  uint32_t readLength = 0;
  bool fromFile = false;

  std::span<const uint8_t> readBytes() const {
    if (!readFile || readOffset > readFile->size()) return {};
    return std::span<const uint8_t>(*readFile).subspan(readOffset, std::min<size_t>(readLength, readFile->size() - readOffset));
  }
};

struct TalkTable {
  std::vector<TalkEntry> entries;
  std::vector<int32_t> offsets;  // entries.size() + 1 values
};

Result<TalkTable> LoadTalk(const std::filesystem::path& gameDir, const TextCodec& codec);
// Game bytes of every entry (with terminator, complemented) as .grp, and the .idx.
void EncodeTalk(const TalkTable& table, const TextCodec& codec, Bytes& idx, Bytes& grp);
// The same, and `offsets` refreshed to the encoded entries.
void EncodeTalk(TalkTable& table, const TextCodec& codec, Bytes& idx, Bytes& grp);
// Encodes and replaces both files atomically; refreshes `offsets`.
Status SaveTalk(const std::filesystem::path& gameDir, TalkTable& table, const TextCodec& codec);

// A text new to the table (added by the user).
TalkEntry NewTalkEntry(std::string text);

}  // namespace tavrel
