#pragma once
// The dialogue file pair talk.idx/talk.grp: each entry the game bytes of one
// text, complemented (XOR 0xFF), then a 0x00 terminator.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gamefiles/file_io.h"
#include "text/charset.h"

namespace tavrel {

// One read of talk.grp, which every entry of that read shares: the file's
// bytes (complement undone), where each entry's text lies in them, and the
// codec they were read with. The texts are decoded together, into one
// block, the first time one is asked for.
class TalkSource {
 public:
  // `ranges`: the start and length of each entry's game bytes (terminator
  // dropped), inside `bytes`.
  TalkSource(Bytes bytes, std::vector<std::pair<uint32_t, uint32_t>> ranges, TextCodec codec)
      : bytes_(std::move(bytes)), ranges_(std::move(ranges)), codec_(std::move(codec)) {}

  // Both empty for an entry the read does not have.
  std::span<const uint8_t> EntryBytes(size_t entry) const;
  std::string_view EntryText(size_t entry) const;

 private:
  Bytes bytes_;
  std::vector<std::pair<uint32_t, uint32_t>> ranges_;
  TextCodec codec_;
  mutable std::string texts_;               // every text, back to back
  mutable std::vector<uint32_t> textEnds_;  // where each ends in texts_
};

// A dialogue's text, UTF-8, as shown and edited. A text read from the game
// stays in its read (TalkSource) until it is changed, so reading the files
// does not build thousands of texts nobody looks at.
class DialogueText {
 public:
  DialogueText() = default;
  DialogueText(std::string text) : assigned_(true), text_(std::move(text)) {}
  DialogueText(const char* text) : DialogueText(std::string(text)) {}
  // Entry `entry` of `source`.
  DialogueText(std::shared_ptr<const TalkSource> source, uint32_t entry) : source_(std::move(source)), entry_(entry) {}

  DialogueText& operator=(std::string text) {
    text_ = std::move(text);
    assigned_ = true;
    return *this;
  }
  DialogueText& operator=(std::string_view text) { return *this = std::string(text); }
  DialogueText& operator=(const char* text) { return *this = std::string(text); }

  std::string_view view() const { return assigned_ || !source_ ? std::string_view(text_) : source_->EntryText(entry_); }
  std::string str() const { return std::string(view()); }
  operator std::string() const { return str(); }
  bool empty() const { return view().empty(); }
  size_t size() const { return view().size(); }

  // The game bytes the text was read from (empty for a text the user
  // added), kept after the text is changed.
  std::span<const uint8_t> readBytes() const {
    return source_ ? source_->EntryBytes(entry_) : std::span<const uint8_t>();
  }
  // Whether a text was set since it was read.
  bool assigned() const { return assigned_; }

  friend bool operator==(const DialogueText& a, const DialogueText& b) { return a.view() == b.view(); }
  friend bool operator==(const DialogueText& a, std::string_view b) { return a.view() == b; }
  friend bool operator==(const DialogueText& a, const std::string& b) { return a.view() == std::string_view(b); }
  friend bool operator==(const DialogueText& a, const char* b) { return a.view() == std::string_view(b); }
  friend std::ostream& operator<<(std::ostream& out, const DialogueText& text) { return out << text.view(); }

 private:
  std::shared_ptr<const TalkSource> source_;
  uint32_t entry_ = 0;
  bool assigned_ = false;
  std::string text_;  // once assigned
};

struct TalkEntry {
  // While the text is still what its game bytes decode to, saving writes
  // those bytes again, so untouched dialogue keeps its exact bytes.
  DialogueText text;
  bool fromFile = false;

  std::span<const uint8_t> readBytes() const { return text.readBytes(); }
};

struct TalkTable {
  std::vector<TalkEntry> entries;
  std::vector<int32_t> offsets;  // entries.size() + 1 values
};

// An index oddity that loses nothing (a trailing partial value) is read
// gently and reported in `warnings`.
Result<TalkTable> LoadTalk(const std::filesystem::path& gameDir, const TextCodec& codec,
                           std::vector<FileWarning>* warnings = nullptr);
// Game bytes of every entry (with terminator, complemented) as .grp, and the .idx.
void EncodeTalk(const TalkTable& table, const TextCodec& codec, Bytes& idx, Bytes& grp);
// The same, and `offsets` refreshed to the encoded entries.
void EncodeTalk(TalkTable& table, const TextCodec& codec, Bytes& idx, Bytes& grp);
// Encodes and replaces both files atomically; refreshes `offsets`.
Status SaveTalk(const std::filesystem::path& gameDir, TalkTable& table, const TextCodec& codec);

// A text new to the table (added by the user).
TalkEntry NewTalkEntry(std::string text);

}  // namespace tavrel
