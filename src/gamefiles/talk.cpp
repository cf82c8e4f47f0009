#include "gamefiles/talk.h"

#include "gamefiles/idx_grp.h"

#include <algorithm>

namespace tavrel {

std::span<const uint8_t> TalkSource::EntryBytes(size_t entry) const {
  if (entry >= ranges_.size()) return {};
  const auto [offset, length] = ranges_[entry];
  if (offset > bytes_.size()) return {};
  return std::span<const uint8_t>(bytes_).subspan(offset, std::min<size_t>(length, bytes_.size() - offset));
}

std::string_view TalkSource::EntryText(size_t entry) const {
  if (entry >= ranges_.size()) return {};
  if (textEnds_.size() != ranges_.size()) {
    // All texts at once, in one block, so the texts a game's lines show lie
    // together in memory. A character of two game bytes is three bytes of
    // UTF-8, and each text is decoded with room for its longest pieces.
    size_t longest = 0;
    for (const auto& range : ranges_) longest = std::max<size_t>(longest, range.second);
    texts_.clear();
    texts_.reserve(bytes_.size() + bytes_.size() / 2 + 4 * longest + 8);
    textEnds_.clear();
    textEnds_.reserve(ranges_.size());
    for (size_t k = 0; k < ranges_.size(); ++k) {
      codec_.AppendGameText(texts_, EntryBytes(k));
      textEnds_.push_back(static_cast<uint32_t>(texts_.size()));
    }
  }
  const uint32_t start = entry == 0 ? 0 : textEnds_[entry - 1];
  return std::string_view(texts_).substr(start, textEnds_[entry] - start);
}

namespace {

constexpr uint8_t kComplement = 0xFF;

// An entry keeps the bytes it was read with while its text is untouched, so
// bytes the codec would not give back survive a save. The codec is the one
// the entry was read with (the charset is chosen once, at start).
bool Untouched(const TalkEntry& entry, const TextCodec& codec) {
  return entry.fromFile && (!entry.text.assigned() || entry.text == codec.DecodeGameText(entry.readBytes()));
}

}  // namespace

Result<TalkTable> LoadTalk(const std::filesystem::path& gameDir, const TextCodec& codec,
                           std::vector<FileWarning>* warnings) {
  Result<IdxGrpFile> file = ReadIdxGrp(gameDir, "talk.idx", "talk.grp", IndexCheck::Strict, warnings);
  if (!file) return file.passError();
  TalkTable table;
  const int32_t n = file->count();
  // The complement is undone over the whole file once; the entries then
  // share its bytes instead of holding a copy each.
  for (uint8_t& b : file->grp) b ^= kComplement;
  const size_t size = file->grp.size();
  std::vector<std::pair<uint32_t, uint32_t>> ranges(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) {
    // The index was checked against the file; clipped all the same.
    const size_t start = std::min<size_t>(size_t(std::max(file->offsets[size_t(i)], 0)), size);
    const size_t end = std::clamp<size_t>(size_t(std::max(file->offsets[size_t(i) + 1], 0)), start, size);
    // The last byte is the terminator; the text is what comes before it.
    ranges[size_t(i)] = {static_cast<uint32_t>(start), static_cast<uint32_t>(end > start ? end - start - 1 : 0)};
  }
  auto source = std::make_shared<const TalkSource>(std::move(file->grp), std::move(ranges), codec);
  table.entries.reserve(size_t(n));
  for (int32_t i = 0; i < n; ++i) table.entries.push_back(TalkEntry{DialogueText(source, uint32_t(i)), true});
  table.offsets = std::move(file->offsets);
  return table;
}

namespace {

// The bytes of both files; the end offset of every entry in `ends`.
void EncodeEntries(const TalkTable& table, const TextCodec& codec, Bytes& idx, Bytes& grp, std::vector<int32_t>& ends) {
  grp.clear();
  ends.clear();
  ends.reserve(table.entries.size());
  for (const TalkEntry& entry : table.entries) {
    const bool untouched = Untouched(entry, codec);
    // An edited text keeps the bytes of the characters around the edit.
    const Bytes fresh = untouched ? Bytes{} : codec.EncodeGameText(entry.text.view(), entry.readBytes());
    for (uint8_t b : untouched ? entry.readBytes() : std::span<const uint8_t>(fresh)) grp.push_back(b ^ kComplement);
    grp.push_back(0x00);
    ends.push_back(static_cast<int32_t>(grp.size()));
  }
  idx = BuildIndex(ends);
}

}  // namespace

void EncodeTalk(const TalkTable& table, const TextCodec& codec, Bytes& idx, Bytes& grp) {
  std::vector<int32_t> ends;
  EncodeEntries(table, codec, idx, grp, ends);
}

void EncodeTalk(TalkTable& table, const TextCodec& codec, Bytes& idx, Bytes& grp) {
  std::vector<int32_t> ends;
  EncodeEntries(table, codec, idx, grp, ends);
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
