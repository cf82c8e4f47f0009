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
#include <vector>

#include "gamefiles/file_io.h"
#include "text/charset.h"

namespace tavrel {

// The bytes of one read of talk.grp (complement undone), which every entry
// of that read shares, and the codec they were read with.
struct TalkSource {
  Bytes bytes;
  TextCodec codec;
};

// A dialogue's text, UTF-8, as shown and edited. A text read from the game
// is decoded from its bytes the first time it is asked for, so reading the
// files does not build thousands of texts nobody looks at.
class DialogueText {
 public:
  DialogueText() = default;
  DialogueText(std::string text) : text_(std::move(text)), assigned_(true) {}
  DialogueText(const char* text) : DialogueText(std::string(text)) {}
  // The text of `length` bytes of `source` at `offset` (clipped to them).
  DialogueText(std::shared_ptr<const TalkSource> source, uint32_t offset, uint32_t length)
      : source_(std::move(source)), offset_(offset), length_(length), decoded_(false) {}

  DialogueText& operator=(std::string text) {
    text_ = std::move(text);
    decoded_ = true;
    assigned_ = true;
    return *this;
  }
  DialogueText& operator=(std::string_view text) { return *this = std::string(text); }
  DialogueText& operator=(const char* text) { return *this = std::string(text); }

  const std::string& str() const {
    if (!decoded_) {
      text_ = source_->codec.DecodeGameText(readBytes());
      decoded_ = true;
    }
    return text_;
  }
  std::string_view view() const { return str(); }
  operator const std::string&() const { return str(); }
  bool empty() const { return str().empty(); }
  size_t size() const { return str().size(); }

  // The game bytes the text was read from (empty for a text the user
  // added), kept after the text is changed.
  std::span<const uint8_t> readBytes() const {
    if (!source_ || offset_ > source_->bytes.size()) return {};
    return std::span<const uint8_t>(source_->bytes).subspan(offset_, std::min<size_t>(length_, source_->bytes.size() - offset_));
  }
  // Whether a text was set since it was read.
  bool assigned() const { return assigned_; }

  friend bool operator==(const DialogueText& a, const DialogueText& b) { return a.view() == b.view(); }
  friend bool operator==(const DialogueText& a, std::string_view b) { return a.view() == b; }
  friend bool operator==(const DialogueText& a, const std::string& b) { return a.view() == std::string_view(b); }
  friend bool operator==(const DialogueText& a, const char* b) { return a.view() == std::string_view(b); }
  friend std::ostream& operator<<(std::ostream& out, const DialogueText& text) { return out << text.str(); }

 private:
  std::shared_ptr<const TalkSource> source_;
  uint32_t offset_ = 0;
  uint32_t length_ = 0;
  mutable std::string text_;
  mutable bool decoded_ = true;
  bool assigned_ = false;
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
