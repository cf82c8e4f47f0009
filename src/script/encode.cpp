#include "script/encode.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <string_view>

namespace tavrel {
namespace {

// Words a statement encodes to; a negative count holds no parameter words.
int64_t Length(const Statement& s) { return s.islabel ? 0 : 1 + std::max<int32_t>(s.DataNum, 0); }

void DescribeAll(std::vector<Statement>& list, const DescribeContext& ctx) {
  for (Statement& s : list) DescribeStatement(s, ctx);
}

// The working list of a first decoding keeps its room for the next event
// unless an unusually long event made it large.
constexpr size_t kKeptWorkingRoom = 1 << 14;

// An event keeps its list while the editor runs: room left over from the
// list's growth while decoding is given back.
void TrimRoom(std::vector<Statement>& list) {
  if (list.capacity() - list.size() > list.size() / 8 + 4) list.shrink_to_fit();
}

// Label name -> words after the label, for one list at a time. Open
// addressing over slots that stay allocated between lists: a slot belongs
// to the current list only when it carries the current generation, so
// starting a list clears nothing and allocates nothing once the table is
// large enough.
class LabelDistances {
 public:
  void Start(size_t labels) {
    size_t size = 16;
    while (size < 2 * labels + 2) size *= 2;
    if (size > slots_.size() || ++generation_ == 0) {
      slots_.assign(std::max(size, slots_.size()), Slot{});
      generation_ = 1;
    }
    // Only the first `size` slots serve this list, so the slots of a small
    // event stay together even after a long event made the table large.
    mask_ = size - 1;
  }
  const int64_t* Find(std::string_view name) const {
    for (size_t at = Hash(name);; at = (at + 1) & mask_) {
      const Slot& slot = slots_[at];
      if (slot.generation != generation_) return nullptr;
      if (slot.name == name) return &slot.after;
    }
  }
  void Set(std::string_view name, int64_t after) {
    for (size_t at = Hash(name);; at = (at + 1) & mask_) {
      Slot& slot = slots_[at];
      if (slot.generation != generation_) {
        slot = Slot{name, after, generation_};
        return;
      }
      if (slot.name == name) {
        slot.after = after;
        return;
      }
    }
  }

 private:
  struct Slot {
    std::string_view name;
    int64_t after = 0;
    uint32_t generation = 0;
  };
  size_t Hash(std::string_view name) const { return std::hash<std::string_view>{}(name)&mask_; }

  std::vector<Slot> slots_;
  uint32_t generation_ = 0;
  size_t mask_ = 0;
};

// Id and data of every non-label statement, in order, into `words`: the
// words a statement holds are copied whole, and a count beyond them encodes
// as zero words. `words` is sized once and every word of it written.
void EncodeInto(const std::vector<Statement>& list, std::vector<int16_t>& words) {
  size_t total = 0;
  for (const Statement& s : list) total += static_cast<size_t>(Length(s));
  words.resize(total);
  int16_t* out = words.data();
  for (const Statement& s : list) {
    if (s.islabel) continue;
    *out++ = s.Id;
    const auto count = static_cast<size_t>(std::max<int32_t>(s.DataNum, 0));
    const size_t held = std::min(count, s.data.size());
    out = std::copy_n(s.data.data(), held, out);
    out = std::fill_n(out, count - held, int16_t{0});
  }
}

}  // namespace

// One pass from the end: `after` is the number of words from the current
// position to the end of the list, and for every label name the number of
// words after its nearest following occurrence. A conditional's distance is
// then the difference of the two, or all the words after it.
void FixJumps(std::vector<Statement>& list) {
  thread_local LabelDistances labels;
  size_t count = 0;
  for (const Statement& s : list) count += s.islabel ? 1 : 0;
  labels.Start(count);
  int64_t after = 0;  // words of the statements behind the current one
  for (size_t i = list.size(); i-- > 0;) {
    Statement& s = list[i];
    if (s.isGoto > 0) {
      const int64_t* found = labels.Find(s.gotoLabel);
      const int64_t distance = found == nullptr ? after : after - *found;
      const int16_t word = static_cast<int16_t>(distance);
      // Offsets outside the parameter words have no jump word to take.
      s.SetWord(s.yesOffset - 1, s.isGoto == 1 ? word : int16_t{0});
      s.SetWord(s.noOffset - 1, s.isGoto == 1 ? int16_t{0} : word);
    }
    if (s.islabel) labels.Set(s.note, after);
    after += Length(s);
  }
}

bool EncodesTo(const std::vector<Statement>& list, std::span<const int16_t> words) {
  size_t at = 0;
  for (const Statement& s : list) {
    if (s.islabel) continue;
    const auto count = static_cast<size_t>(std::max<int32_t>(s.DataNum, 0));
    if (words.size() - at < count + 1 || words[at] != s.Id) return false;
    ++at;
    const size_t held = std::min(count, s.data.size());
    if (!std::equal(s.data.data(), s.data.data() + held, words.begin() + std::ptrdiff_t(at))) return false;
    at += held;
    // Words the statement does not hold encode as zeros.
    for (size_t k = held; k < count; ++k, ++at)
      if (words[at] != 0) return false;
  }
  return at == words.size();
}

std::vector<int16_t> Encode(const std::vector<Statement>& list) {
  std::vector<int16_t> words;
  EncodeInto(list, words);
  return words;
}

DecodeReport Relayout(KdefEvent& event, const AttributeTable& attributes, const DescribeContext& ctx) {
  FixJumps(event.statements);
  thread_local std::vector<int16_t> words;
  EncodeInto(event.statements, words);
  event.labelCounter = 0;
  DecodeReport report = DecodeReplacing(words, event.statements, event.labelCounter, attributes, ListHolds::SameEvent);
  TrimRoom(event.statements);
  DescribeAll(event.statements, ctx);
  return report;
}

bool Commit(KdefEvent& event) {
  FixJumps(event.statements);
  thread_local std::vector<int16_t> words;
  EncodeInto(event.statements, words);
  if (event.words == words) return false;
  event.words = words;
  return true;
}

DecodeReport ShowEvent(KdefEvent& event, const AttributeTable& attributes, const DescribeContext& ctx) {
  DecodeReport report;
  if (event.statements.empty()) {
    // Decoded into a working list first, so the event's own list is
    // allocated once at its exact length instead of growing.
    thread_local std::vector<Statement> working;
    report = DecodeReplacing(event.words, working, event.labelCounter, attributes);
    event.statements.reserve(working.size());
    std::move(working.begin(), working.end(), std::back_inserter(event.statements));
    if (working.capacity() > kKeptWorkingRoom) working = {};
  } else {
    report = DecodeReplacing(event.words, event.statements, event.labelCounter, attributes, ListHolds::SameEvent);
    TrimRoom(event.statements);
  }
  DescribeAll(event.statements, ctx);
  return report;
}

}  // namespace tavrel
