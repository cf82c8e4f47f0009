#include "gamefiles/talk.h"

#include "gamefiles/idx_grp.h"

namespace tavrel {

namespace {

constexpr uint8_t kComplement = 0xFF;

// An entry keeps the bytes it was read with while its text is untouched, so
// bytes the codec would not give back survive a save.
bool Untouched(const TalkEntry& entry) { return entry.fromFile && entry.text == entry.readText; }

}  // namespace

Result<TalkTable> LoadTalk(const std::filesystem::path& gameDir, const TextCodec& codec) {
  Result<IdxGrpFile> file = ReadIdxGrp(gameDir, "talk.idx", "talk.grp", IndexCheck::Strict);
  if (!file) return Error{file.error()};
  TalkTable table;
  const int32_t n = file->count();
  table.entries.resize(size_t(n));
  for (int32_t i = 0; i < n; ++i) {
    std::span<const uint8_t> stored = file->Entry(i);
    TalkEntry& entry = table.entries[size_t(i)];
    // The last byte is the terminator; the text is what comes before it.
    const size_t textLength = stored.empty() ? 0 : stored.size() - 1;
    entry.readBytes.resize(textLength);
    for (size_t b = 0; b < textLength; ++b) entry.readBytes[b] = stored[b] ^ kComplement;
    entry.readText = codec.DecodeGameText(entry.readBytes);
    entry.text = entry.readText;
    entry.fromFile = true;
  }
  table.offsets = std::move(file->offsets);
  return table;
}

void EncodeTalk(TalkTable& table, const TextCodec& codec, Bytes& idx, Bytes& grp) {
  grp.clear();
  std::vector<int32_t> ends;
  ends.reserve(table.entries.size());
  for (const TalkEntry& entry : table.entries) {
    const Bytes fresh = Untouched(entry) ? Bytes{} : codec.EncodeGameText(entry.text);
    for (uint8_t b : Untouched(entry) ? entry.readBytes : fresh) grp.push_back(b ^ kComplement);
    grp.push_back(0x00);
    ends.push_back(static_cast<int32_t>(grp.size()));
  }
  idx = BuildIndex(ends);
  table.offsets.assign(1, 0);
  table.offsets.insert(table.offsets.end(), ends.begin(), ends.end());
}

Status SaveTalk(const std::filesystem::path& gameDir, TalkTable& table, const TextCodec& codec) {
  std::vector<int32_t> previous = table.offsets;
  std::vector<FileWrite> files(2);
  files[0].path = FindGameFile(gameDir, "talk.idx");
  files[1].path = FindGameFile(gameDir, "talk.grp");
  EncodeTalk(table, codec, files[0].bytes, files[1].bytes);
  Status written = WriteFilesAtomic(files);
  if (!written) table.offsets = std::move(previous);
  return written;
}

TalkEntry NewTalkEntry(std::string text) {
  TalkEntry entry;
  entry.text = std::move(text);
  return entry;
}

}  // namespace tavrel
