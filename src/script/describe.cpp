#include "script/describe.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <deque>
#include <memory>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "base/numbers.h"
#include "gamefiles/names.h"
#include "gamefiles/talk.h"
#include "script/attributes.h"
#include "script/instruction_kinds.h"
#include "text/charset.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace {

constexpr int kUnknownString = 584;
constexpr int kFirstNamelessSpeaker = 75;
constexpr const char* kNoName = "???";

// One piece of a body template, parsed once.
struct Piece {
  enum Kind : uint8_t {
    Literal,
    If,
    Else,
    End,
    Jump,
    Ui,
    Dec,
    Hex,
    Person,
    Speaker,
    Item,
    Scene,
    Skill,
    Talk,
    Bad,
    BadIf
  };
  Kind kind = Bad;
  int word = 0;   // parameter word K, or the interface string number
  int value = 0;  // V of if(dK=V)
  std::string_view literal;
};
using CompiledBody = std::vector<Piece>;

bool ParseInt(std::string_view s, int& value) {
  if (s.empty()) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  return ec == std::errc() && end == s.data() + s.size();
}

// The piece that shows what word `word` of `opcode` names.
Piece::Kind NameKind(int16_t opcode, int word) {
  switch (WordKindOf(opcode, word)) {
    case WordKind::Person:
      return Piece::Person;
    case WordKind::Speaker:
      return Piece::Speaker;
    case WordKind::Item:
    case WordKind::GivenItem:
      return Piece::Item;
    case WordKind::Scene:
    case WordKind::SceneOrCurrent:
      return Piece::Scene;
    case WordKind::Skill:
      return Piece::Skill;
    case WordKind::Dialogue:
      return Piece::Talk;
    default:
      return Piece::Bad;
  }
}

Piece ParsePiece(std::string_view piece, int16_t opcode) {
  Piece p;
  if (piece == "else") return p.kind = Piece::Else, p;
  if (piece == "end") return p.kind = Piece::End, p;
  if (piece == "JUMP") return p.kind = Piece::Jump, p;
  if (piece.starts_with("if(d")) {  // if(dK=V)
    p.kind = Piece::BadIf;
    const size_t eq = piece.find('=');
    if (eq != std::string_view::npos && piece.back() == ')' && ParseInt(piece.substr(4, eq - 4), p.word) &&
        ParseInt(piece.substr(eq + 1, piece.size() - eq - 2), p.value))
      p.kind = Piece::If;
    return p;
  }
  const size_t digits = piece.find_first_of("0123456789");
  if (digits == std::string_view::npos || !ParseInt(piece.substr(digits), p.word)) return p;
  static constexpr std::pair<std::string_view, Piece::Kind> kKinds[] = {
      {"S", Piece::Ui}, {"d", Piece::Dec}, {"hex", Piece::Hex}};
  const std::string_view kind = piece.substr(0, digits);
  if (kind == "name") p.kind = NameKind(opcode, p.word);
  for (const auto& [name, k] : kKinds)
    if (kind == name) p.kind = k;
  return p;
}

CompiledBody Compile(std::string_view tmpl, int16_t opcode) {
  CompiledBody body;
  size_t pos = 0;
  while (pos < tmpl.size()) {
    if (tmpl[pos] == ' ') {
      ++pos;
    } else if (tmpl[pos] == '"') {
      size_t close = tmpl.find('"', pos + 1);
      if (close == std::string_view::npos) close = tmpl.size();
      Piece p;
      p.kind = Piece::Literal;
      p.literal = tmpl.substr(pos + 1, close - pos - 1);
      body.push_back(p);
      pos = close + 1;
    } else {
      size_t space = tmpl.find(' ', pos);
      if (space == std::string_view::npos) space = tmpl.size();
      body.push_back(ParsePiece(tmpl.substr(pos, space - pos), opcode));
      pos = space;
    }
  }
  return body;
}

template <class Records>
std::string_view NameOf(const Records& records, int number) {
  if (number < 0 || static_cast<size_t>(number) >= records.size()) return kNoName;
  return records[static_cast<size_t>(number)].name;
}

void AppendDecimal(std::string& out, int value) {
  char buffer[12];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, end);
}

// "op(HEX)", and the line's caption "op(HEX):".
void AppendOpcode(std::string& out, int16_t opcode) {
  AppendDecimal(out, opcode);
  out += '(';
  AppendHex(out, uint16_t(opcode));
  out += ')';
}
void AppendCaption(std::string& out, int16_t opcode) {
  AppendOpcode(out, opcode);
  out += ':';
}

// Body index of an opcode: 0 .. 67, then the end instruction, then the
// unknown statement.
constexpr size_t kEndIndex = kOpcodeCount;
constexpr size_t kUnknownIndex = kOpcodeCount + 1;
size_t BodyIndex(int16_t opcode) {
  if (opcode == -1) return kEndIndex;
  return opcode >= 0 && opcode < kOpcodeCount ? size_t(opcode) : kUnknownIndex;
}

// Every body read with one codec's interface strings: each run of literal
// text between the other pieces, the interface strings and the opcode's
// "op(HEX):" caption included, is joined into one literal piece, so a line is
// a few appends and no string is looked up while describing.
class LineTable {
 public:
  struct Body {
    std::span<const Piece> pieces;
    size_t captionLength = 0;  // the caption the first piece starts with; 0 for the unknown statement
  };

  explicit LineTable(const TextCodec& codec) : codecId_(codec.id()), language_(CurrentInterfaceLanguage()) {
    const bool english = language_ == InterfaceLanguage::English;
    for (size_t index = 0; index < slots_.size(); ++index) {
      const int16_t opcode = index < kOpcodeCount ? int16_t(index) : index == kEndIndex ? kEndOpcode : kOpcodeCount;
      const std::string_view tmpl = english ? KindOf(opcode).englishLine : KindOf(opcode).line;
      std::string run;
      if (index != kUnknownIndex) AppendCaption(run, opcode);
      Slot& slot = slots_[index];
      slot.first = pieces_.size();
      slot.captionLength = run.size();
      // The joined text goes into literals_, where it keeps its place as
      // more is added.
      const auto flush = [&] {
        if (run.empty()) return;
        Piece literal;
        literal.kind = Piece::Literal;
        literal.literal = literals_.emplace_back(std::move(run));
        pieces_.push_back(literal);
        run.clear();
      };
      for (const Piece& p : Compile(tmpl, opcode)) {
        if (p.kind == Piece::Literal) {
          run += p.literal;
        } else if (p.kind == Piece::Ui) {
          run += codec.UiText(p.word);
        } else {
          flush();
          pieces_.push_back(p);
        }
      }
      flush();
      slot.count = pieces_.size() - slot.first;
    }
    // Built by appending to the empty member: GCC 12 at -O3 reads both
    // "literal + string" and assigning a literal chosen by ?: as an overlapping
    // copy (-Wrestrict, a false report) and stops the build.
    if (english) unknown_.push_back(' ');
    unknown_ += codec.UiString(kUnknownString);
    const std::string portrait = codec.UiString(Str::LinePortraitNumber);
    const size_t number = portrait.find("{}");
    portraitBefore_ = portrait.substr(0, number);
    if (number != std::string::npos) portraitAfter_ = portrait.substr(number + 2);
    jumpYes_ = codec.UiString(Str::LineJumpToIfYes);
    jumpNo_ = codec.UiString(Str::LineJumpToIfNo);
  }
  LineTable(const LineTable&) = delete;
  LineTable& operator=(const LineTable&) = delete;

  uint64_t codecId() const { return codecId_; }
  InterfaceLanguage language() const { return language_; }
  Body Of(size_t index) const {
    const Slot& slot = slots_[index];
    return {std::span<const Piece>(pieces_).subspan(slot.first, slot.count), slot.captionLength};
  }
  std::string_view Unknown() const { return unknown_; }
  std::string_view JumpWording(bool whenHolds) const { return whenHolds ? jumpYes_ : jumpNo_; }
  // "头像N" ("portrait N").
  void AppendPortrait(std::string& out, int portrait) const {
    out.append(portraitBefore_);
    AppendDecimal(out, portrait);
    out.append(portraitAfter_);
  }

 private:
  struct Slot {
    size_t first = 0, count = 0, captionLength = 0;
  };
  uint64_t codecId_;
  InterfaceLanguage language_;
  std::deque<std::string> literals_;
  std::vector<Piece> pieces_;
  std::array<Slot, kOpcodeCount + 2> slots_;
  std::string unknown_, jumpYes_, jumpNo_, portraitBefore_, portraitAfter_;
};

// The table of the codec last described with (on this thread); built again
// when another codec, or another interface language, describes.
const LineTable& LinesFor(const TextCodec& codec) {
  thread_local std::unique_ptr<LineTable> table;
  if (!table || table->codecId() != codec.id() || table->language() != CurrentInterfaceLanguage())
    table = std::make_unique<LineTable>(codec);
  return *table;
}

// Runs one body for a statement. Fails when the body reads a word the
// statement does not hold.
class BodyBuilder {
 public:
  BodyBuilder(const Statement& s, const DescribeContext& ctx, const LineTable& lines)
      : s_(s), ctx_(ctx), lines_(lines) {}

  bool Build(std::span<const Piece> body, std::string& out) {
    bool skipping = false;
    for (const Piece& p : body) {
      switch (p.kind) {
        case Piece::Else:
          skipping = !skipping;
          continue;
        case Piece::End:
          skipping = false;
          continue;
        case Piece::If: {
          int w = 0;
          if (!Word(p.word, w)) return false;
          skipping = w != p.value;
          continue;
        }
        case Piece::BadIf:
          return false;
        default:
          break;
      }
      if (!skipping && !Run(p, out)) return false;
    }
    return true;
  }

 private:
  bool Run(const Piece& p, std::string& out) {
    if (p.kind == Piece::Literal) {
      out.append(p.literal);
      return true;
    }
    if (p.kind == Piece::Jump) return Jump(out);
    int w = 0;
    if (!Word(p.word, w)) return false;
    switch (p.kind) {
      case Piece::Dec:
        AppendDecimal(out, w);
        return true;
      case Piece::Hex:
        AppendHex(out, uint16_t(w));
        return true;
      case Piece::Person:
        out.append(NameOf(ctx_.names.persons, w));
        return true;
      case Piece::Speaker:
        Speaker(w, out);
        return true;
      case Piece::Item:
        out.append(NameOf(ctx_.names.items, w));
        return true;
      case Piece::Scene:
        out.append(NameOf(ctx_.names.scenes, w));
        return true;
      case Piece::Skill:
        out.append(NameOf(ctx_.names.skills, w));
        return true;
      case Piece::Talk:
        out.append((w >= 0 && static_cast<size_t>(w) < ctx_.talk.size()) ? ctx_.talk[size_t(w)].text.view()
                                                                         : std::string_view(kNoName));
        return true;
      default:
        return false;
    }
  }

  // The speaker of a dialogue: the portrait's first wearer that has a name,
  // " +N" when N more wear it; the portrait's number when nobody does.
  void Speaker(int portrait, std::string& out) const {
    const auto& persons = ctx_.names.persons;
    if (ctx_.exportLayout) {
      out.append(portrait >= kFirstNamelessSpeaker ? std::string_view(kNoName) : NameOf(persons, portrait));
      return;
    }
    const std::span<const int32_t> wearers = portrait >= 0 && size_t(portrait) < ctx_.portraitUsers.size()
                                                 ? std::span<const int32_t>(ctx_.portraitUsers[size_t(portrait)])
                                                 : std::span<const int32_t>();
    for (int32_t person : wearers) {
      if (person < 0 || size_t(person) >= persons.size() || persons[size_t(person)].name.empty()) continue;
      out.append(persons[size_t(person)].name);
      if (wearers.size() > 1) {
        out.append(" +");
        AppendDecimal(out, static_cast<int>(wearers.size() - 1));
      }
      return;
    }
    lines_.AppendPortrait(out, portrait);
  }

  // The jump wording reads the statement's two jump words: a statement
  // without them (an instruction cut off by the end of its event) has no line.
  bool Jump(std::string& out) {
    const bool holds = s_.yesOffset >= 1 && s_.yesOffset <= Held() && s_.noOffset >= 1 && s_.noOffset <= Held();
    if (!holds) return false;
    out.append(lines_.JumpWording(s_.isGoto == 1));
    out += s_.gotoLabel;
    return true;
  }

  int Held() const { return std::min<int>(s_.DataNum, static_cast<int>(std::min<size_t>(s_.data.size(), INT32_MAX))); }

  bool Word(int k, int& w) const {
    if (k < 0 || k >= Held()) return false;
    w = s_.data[static_cast<size_t>(k)];
    return true;
  }

  const Statement& s_;
  const DescribeContext& ctx_;
  const LineTable& lines_;
};

// "op(HEX):body" appended to `out`.
void AppendLine(const Statement& s, const DescribeContext& ctx, std::string& out) {
  const LineTable& lines = LinesFor(ctx.codec);
  const size_t index = BodyIndex(s.Id);
  const LineTable::Body body = lines.Of(index);
  if (index == kUnknownIndex) AppendCaption(out, s.Id);
  const size_t bodyStart = out.size() + body.captionLength;
  if (!BodyBuilder(s, ctx, lines).Build(body.pieces, out)) {
    out.resize(bodyStart);
    out.append(lines.Unknown());
  }
}

}  // namespace

std::string Hex16(int16_t value) { return HexText(uint16_t(value)); }

std::string OpcodeCaption(int16_t opcode) {
  std::string out;
  AppendOpcode(out, opcode);
  return out;
}

std::string DescribeLine(const Statement& s, const DescribeContext& ctx) {
  if (s.islabel) return s.note;
  std::string line;
  AppendLine(s, ctx, line);
  return line;
}

// Built in one working buffer, then copied into the note when it differs
// (the note keeps its room when it is long enough): describing an event
// again allocates nothing and writes only the lines that changed.
void DescribeStatement(Statement& s, const DescribeContext& ctx) {
  if (s.islabel) return;
  thread_local std::string line;
  line.clear();
  AppendLine(s, ctx, line);
  if (s.note != line) s.note.assign(line);
}

}  // namespace tavrel
