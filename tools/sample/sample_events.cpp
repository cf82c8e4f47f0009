// kdef.idx/kdef.grp: the event scripts. Every event is built as nested
// blocks of instructions whose lengths and jump words come from the
// attribute table, so the words always decode without an unknown word.
// Parameters are plausible for what the instruction kinds say each word
// holds (dialogue numbers within the dialogue table, persons within the
// persons, even picture numbers ...); the jump words of conditionals are
// laid over them from the attribute table.
// A cursor over all opcodes makes sure every kind occurs. As in real games,
// some conditionals are irregular (their jump words are not exactly one
// positive word) and some events end without their end instruction.
#include <algorithm>
#include <array>
#include <stdexcept>
#include <string_view>

#include "sample/sample_build.h"
#include "script/instruction_kinds.h"

namespace tavrel::sample {
namespace {

constexpr int kDialogue = 1;
constexpr int kMaxDepth = 3;
enum JumpMode { kIrregular, kYesJump, kNoJump };

class EventWriter {
 public:
  EventWriter(const SampleSizes& sizes, const AttributeTable& attributes)
      : sizes_(sizes), attributes_(attributes), random_(3) {
    for (int op = 0; op < kOpcodeCount; ++op) {
      if (!Usable(op)) continue;
      (Jumps(op) ? conditionals_ : plain_).push_back(op);
    }
  }

  std::vector<int16_t> Event(int index) {
    std::vector<int16_t> words;
    if (index % 97 == 5) return words;  // an event of no words at all
    const bool added = index >= sizes_.events - 2 || index % 113 == 60;
    if (added && Usable(0)) {  // as the editor adds events: an empty statement, then the end
      Instruction(words, 0, kMaxDepth, kYesJump);
    } else {
      if (index % 37 == 9 && !conditionals_.empty()) Instruction(words, random_.Pick(conditionals_), 0, kIrregular);
      Block(words, 0, random_.Between(2, 8));
    }
    // Now and then an event stops without its end instruction, as some
    // real events do: the game runs off its last word.
    if (index % 131 != 70) words.push_back(-1);
    return words;
  }

  // One event of at least `instructions` instructions: top-level blocks as
  // the ordinary events hold them, one after the other, then the end.
  std::vector<int16_t> LongEvent(int instructions) {
    std::vector<int16_t> words;
    made_ = 0;
    while (made_ + 1 < instructions) Block(words, 0, 1);
    words.push_back(-1);
    return words;
  }

 private:
  bool Usable(int op) const { return attributes_[size_t(op)].length >= 1; }
  // A conditional whose two jump words lie inside the instruction.
  bool Jumps(int op) const {
    const InstructionAttr& a = attributes_[size_t(op)];
    return a.conditional != 0 && a.yesOffset >= 1 && a.yesOffset < a.length && a.noOffset >= 1 &&
           a.noOffset < a.length && a.yesOffset != a.noOffset;
  }

  int NextOpcode() {
    for (;;) {
      const int op = cursor_++ % kOpcodeCount;
      if (Usable(op)) return op;
    }
  }

  void Block(std::vector<int16_t>& out, int depth, int count) {
    for (int k = 0; k < count; ++k) {
      const int roll = random_.Below(100);
      int op;
      if (roll < 40 && Usable(kDialogue))
        op = kDialogue;
      else if (depth < kMaxDepth && roll < 60 && !conditionals_.empty())
        op = random_.Pick(conditionals_);
      else if (depth < kMaxDepth)
        op = NextOpcode();
      else
        op = plain_.empty() ? NextOpcode() : random_.Pick(plain_);
      const int mode = random_.Below(100);
      Instruction(out, op, depth, mode < 3 ? kIrregular : mode < 55 ? kYesJump : kNoJump);
    }
  }

  void Instruction(std::vector<int16_t>& out, int op, int depth, JumpMode mode) {
    const InstructionAttr& a = attributes_[size_t(op)];
    const size_t at = out.size();
    ++made_;
    out.push_back(static_cast<int16_t>(op));
    int16_t previous = 0;
    for (int w = 0; w + 1 < a.length; ++w) {
      previous = Parameter(WordKindOf(int16_t(op), w), previous);
      out.push_back(previous);
    }
    if (!Jumps(op)) return;
    out[at + size_t(a.yesOffset)] = 0;
    out[at + size_t(a.noOffset)] = 0;
    if (mode == kIrregular) {
      // Any pair of jump words but exactly one positive word, in turn: both
      // zero, both positive, a negative one.
      static constexpr std::array<std::array<int16_t, 2>, 4> kShapes = {{{0, 0}, {2, 3}, {-4, 0}, {0, -1}}};
      const auto& shape = kShapes[size_t(irregular_++) % kShapes.size()];
      out[at + size_t(a.yesOffset)] = shape[0];
      out[at + size_t(a.noOffset)] = shape[1];
      return;
    }
    // The words jumped over: a nested block, never empty, so the distance is
    // at least 1 and the jump is a regular one.
    const size_t body = out.size();
    Block(out, depth + 1, random_.Between(1, 3));
    out[at + size_t(mode == kYesJump ? a.yesOffset : a.noOffset)] = static_cast<int16_t>(out.size() - body);
  }

  int16_t Parameter(WordKind kind, int16_t previous) {
    SampleRandom& r = random_;
    const SampleSizes& s = sizes_;
    int v = 0;
    switch (kind) {
      case WordKind::Dialogue:
        v = r.Chance(80) ? talkCursor_++ % s.dialogues : r.Below(s.dialogues);
        break;
      // Speakers: mostly the first 75, whose names the instruction line shows.
      case WordKind::Speaker:
        v = r.Chance(85) ? r.Below(std::min(75, s.portraits)) : r.Between(75, s.portraits - 1);
        break;
      case WordKind::Placement:
        v = r.Chance(70) ? r.Below(2) : r.Between(2, 5);
        break;
      case WordKind::Item:
      case WordKind::GivenItem:
        v = r.Below(s.items);
        break;
      case WordKind::Person:
        v = r.Below(s.persons);
        break;
      case WordKind::Scene:
        v = r.Below(s.scenes);
        break;
      case WordKind::SceneOrCurrent:
        v = r.Chance(30) ? -2 : r.Below(s.scenes);
        break;
      case WordKind::SceneEventOrCurrent:
        v = r.Chance(25) ? -2 : r.Below(s.sceneEvents);
        break;
      case WordKind::SceneEvent:
        v = r.Below(s.sceneEvents);
        break;
      case WordKind::PassOrKeep:
        v = r.Between(-1, 1) == -1 ? -2 : r.Below(2);
        break;
      case WordKind::TriggerEvent:
        v = r.Chance(40) ? -2 : r.Chance(15) ? -1 : r.Below(s.events);
        break;
      case WordKind::Tile:
        v = 2 * r.Between(1, s.sceneTiles - 1);
        break;
      case WordKind::TileEnd:
        v = std::min(previous + 2 * r.Between(0, 3), 2 * (s.sceneTiles - 1));
        break;
      case WordKind::Speed:
        v = r.Chance(50) ? -2 : r.Between(0, 8);
        break;
      case WordKind::Coordinate:
        v = r.Between(0, 63);
        break;
      case WordKind::Quantity:
        v = r.Between(1, 9);
        break;
      case WordKind::Amount:
        v = r.Between(1, 100);
        break;
      case WordKind::Increase:
        v = r.Between(-10, 30);
        break;
      case WordKind::RangeLow:
        v = r.Between(0, 50);
        break;
      case WordKind::RangeHigh:
        v = previous + r.Between(10, 49);
        break;
      case WordKind::Battle:
        v = r.Below(s.battles);
        break;
      case WordKind::Layer:
      case WordKind::Direction:
        v = r.Below(4);
        break;
      case WordKind::Sex:
      case WordKind::InnerForce:
        v = r.Below(3);
        break;
      case WordKind::Flag:
        v = r.Below(2);
        break;
      case WordKind::Skill:
        v = r.Below(s.skills);
        break;
      case WordKind::SkillSlot:
        v = r.Below(10);
        break;
      case WordKind::Money:
        v = 100 * r.Between(1, 50);
        break;
      case WordKind::Music:
        v = r.Below(25);
        break;
      case WordKind::Sound:
        v = r.Below(40);
        break;
      default:
        v = 0;
    }
    return static_cast<int16_t>(v);
  }

  const SampleSizes sizes_;  // a copy: callers may pass a temporary
  const AttributeTable& attributes_;
  SampleRandom random_;
  std::vector<int> conditionals_;
  std::vector<int> plain_;
  int cursor_ = 0;
  int talkCursor_ = 0;
  int made_ = 0;       // instructions written by LongEvent
  int irregular_ = 0;  // irregular conditionals written
};

}  // namespace

std::vector<SampleFile> MakeEventFiles(const SampleSizes& sizes, const AttributeTable& attributes) {
  EventWriter writer(sizes, attributes);
  std::vector<Bytes> entries;
  entries.reserve(size_t(sizes.events));
  for (int i = 0; i < sizes.events; ++i) {
    Bytes entry;
    for (int16_t word : writer.Event(i)) AppendI16(entry, word);
    entries.push_back(std::move(entry));
  }
  std::vector<SampleFile> files;
  AddIdxGrp(files, "kdef.idx", "kdef.grp", entries);
  return files;
}

std::vector<int16_t> MakeLongEvent(const SampleOptions& options, int instructions) {
  if (options.attributes == nullptr) throw std::invalid_argument("the sample events need the attribute table");
  EventWriter writer(SizesFor(options), *options.attributes);
  return writer.LongEvent(instructions);
}

}  // namespace tavrel::sample
