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
#include "text/charset.h"
#include "text/ui_string_names.h"

namespace tavrel {
namespace {

// The body of every instruction's line, index = opcode. Pieces are separated
// by spaces and joined with nothing between them:
//   "..."        literal text
//   Sn           interface string n
//   dK / hexK    parameter word K in decimal / upper-case hexadecimal
//   personK itemK sceneK skillK talkK
//                the name (or dialogue text) numbered by word K, "???" when
//                there is none
//   speakerK     as personK, and "???" from person 75 on
//   JUMP         "if yes jump to" / "otherwise jump to" and the label name
//   if(dK=V) ... else ... end
//                the first pieces when word K equals V, else the others
constexpr std::string_view kBodies[kOpcodeCount] = {
    R"(":" S505)",                                  // 0
    R"("[" speaker1 "]" S506 talk0)",               // 1
    R"(S507 "[" item0 "][" d1 "]")",                // 2
    R"(S508 ":" if(d0=-2) S509 else S510 "[" scene0 "]" end ":" if(d1=-2) S511 else S512 " [" d1 "]" end)",
    R"(S513 "[" item0 "]？" JUMP)",                 // 4
    R"(S516 JUMP)",                                 // 5
    R"(S517 "[" d0 "]" JUMP)",                      // 6
    R"(S518)",                                      // 7
    R"(S519)",                                      // 8
    R"(S520 JUMP)",                                 // 9
    R"(S521 "[" person0 "]")",                      // 10
    R"(S522 JUMP)",                                 // 11
    R"(S523)",                                      // 12
    R"(S524)",                                      // 13
    R"(S525)",                                      // 14
    R"(S526)",                                      // 15
    R"(S527 "[" person0 "]" JUMP)",                 // 16
    R"(S528 ":" if(d0=-2) S509 else S510 "[" scene0 "]" end S529 hex1 S530 hex2 "-" hex3)",
    R"(S531 "[" item0 "]" JUMP)",                   // 18
    R"(S532 hex0 "-" hex1)",                        // 19
    R"(S533 JUMP)",                                 // 20
    R"("[" person0 "]" S534)",                      // 21
    R"(S535)",                                      // 22
    R"(S536 "[" person0 "]" S537 "[" d1 "]")",      // 23
    R"(S584)",                                      // 24 has no text of its own
    R"(S538 d0 "-" d1 "--" d2 "-" d3)",             // 25
    R"(S539)",                                      // 26
    R"(S540)",                                      // 27
    R"(S541 person0 S542 d1 "-" d2 JUMP)",          // 28
    R"(S541 person0 S543 d1 "-" d2 JUMP)",          // 29
    R"(S544 d0 "-" d1 "--" d2 "-" d3)",             // 30
    R"(S545 d0 JUMP)",                              // 31
    R"(S546 "[" item0 "]+[" d1 "]")",               // 32
    R"(person0 S547 skill1)",                       // 33
    R"(person0 S548 d1)",                           // 34
    R"(S549 person0 S550 d1 ":" skill2 S551 d3)",   // 35
    R"(S552 d0 JUMP)",                              // 36
    R"(S553 d0)",                                   // 37
    R"(S554)",                                      // 38
    R"(S555 scene0)",                               // 39
    R"(S556 d0)",                                   // 40
    R"(person0 S507 item1 d2)",                     // 41
    R"(S557 JUMP)",                                 // 42
    R"(S558 item0 JUMP)",                           // 43
    R"(S540)",                                      // 44
    R"(person0 S559 d1)",                           // 45
    R"(person0 S560 d1)",                           // 46
    R"(person0 S561 d1)",                           // 47
    R"(person0 S562 d1)",                           // 48
    R"(person0 S585 d1)",                           // 49
    R"(S558 item0 "," item1 "," item2 "," item3 "," item4 JUMP)",
    R"(S563)",                                      // 51
    R"(S564)",                                      // 52
    R"(S565)",                                      // 53
    R"(S566)",                                      // 54
    R"(S567 d0 S568 d1 JUMP)",                      // 55
    R"(S569 d0)",                                   // 56
    R"(S570)",                                      // 57
    R"(S571)",                                      // 58
    R"(S572)",                                      // 59
    R"(S573 d0 S574 d1 S575 d2 JUMP)",              // 60
    R"(S576 JUMP)",                                 // 61
    R"(S577)",                                      // 62
    R"(S549 person0 S578 d1)",                      // 63
    R"(S579)",                                      // 64
    R"(S580)",                                      // 65
    R"(S581 d0)",                                   // 66
    R"(S582 d0)",                                   // 67
};
constexpr std::string_view kEndBody = "S583";
constexpr std::string_view kUnknownBody = "S584";
constexpr int kUnknownString = 584;
constexpr int kFirstNamelessSpeaker = 75;
constexpr const char* kNoName = "???";

// One piece of a body template, parsed once.
struct Piece {
  enum Kind : uint8_t { Literal, If, Else, End, Jump, Ui, Dec, Hex, Person, Speaker, Item, Scene, Skill, Talk, Bad, BadIf };
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

Piece ParsePiece(std::string_view piece) {
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
      {"S", Piece::Ui},         {"d", Piece::Dec},     {"hex", Piece::Hex},     {"person", Piece::Person},
      {"speaker", Piece::Speaker}, {"item", Piece::Item}, {"scene", Piece::Scene}, {"skill", Piece::Skill},
      {"talk", Piece::Talk}};
  const std::string_view kind = piece.substr(0, digits);
  for (const auto& [name, k] : kKinds)
    if (kind == name) p.kind = k;
  return p;
}

CompiledBody Compile(std::string_view tmpl) {
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
      body.push_back(ParsePiece(tmpl.substr(pos, space - pos)));
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

  explicit LineTable(const TextCodec& codec) : codecId_(codec.id()) {
    for (size_t index = 0; index < slots_.size(); ++index) {
      const std::string_view tmpl =
          index < kOpcodeCount ? kBodies[index] : index == kEndIndex ? kEndBody : kUnknownBody;
      std::string run;
      if (index != kUnknownIndex) AppendCaption(run, index == kEndIndex ? int16_t(-1) : int16_t(index));
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
      for (const Piece& p : Compile(tmpl)) {
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
    unknown_ = codec.UiString(kUnknownString);
    jumpYes_ = codec.UiString(Str::LineJumpToIfYes);
    jumpNo_ = codec.UiString(Str::LineJumpToIfNo);
  }
  LineTable(const LineTable&) = delete;
  LineTable& operator=(const LineTable&) = delete;

  uint64_t codecId() const { return codecId_; }
  Body Of(size_t index) const {
    const Slot& slot = slots_[index];
    return {std::span<const Piece>(pieces_).subspan(slot.first, slot.count), slot.captionLength};
  }
  std::string_view Unknown() const { return unknown_; }
  std::string_view JumpWording(bool whenHolds) const { return whenHolds ? jumpYes_ : jumpNo_; }

 private:
  struct Slot {
    size_t first = 0, count = 0, captionLength = 0;
  };
  uint64_t codecId_;
  std::deque<std::string> literals_;
  std::vector<Piece> pieces_;
  std::array<Slot, kOpcodeCount + 2> slots_;
  std::string unknown_, jumpYes_, jumpNo_;
};

// The table of the codec last described with (on this thread); built again
// when another codec describes.
const LineTable& LinesFor(const TextCodec& codec) {
  thread_local std::unique_ptr<LineTable> table;
  if (!table || table->codecId() != codec.id()) table = std::make_unique<LineTable>(codec);
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
        case Piece::Else: skipping = !skipping; continue;
        case Piece::End: skipping = false; continue;
        case Piece::If: {
          int w = 0;
          if (!Word(p.word, w)) return false;
          skipping = w != p.value;
          continue;
        }
        case Piece::BadIf: return false;
        default: break;
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
      case Piece::Dec: AppendDecimal(out, w); return true;
      case Piece::Hex: AppendHex(out, uint16_t(w)); return true;
      case Piece::Person: out.append(NameOf(ctx_.names.persons, w)); return true;
      case Piece::Speaker:
        out.append(w >= kFirstNamelessSpeaker ? std::string_view(kNoName) : NameOf(ctx_.names.persons, w));
        return true;
      case Piece::Item: out.append(NameOf(ctx_.names.items, w)); return true;
      case Piece::Scene: out.append(NameOf(ctx_.names.scenes, w)); return true;
      case Piece::Skill: out.append(NameOf(ctx_.names.skills, w)); return true;
      case Piece::Talk:
        out.append((w >= 0 && static_cast<size_t>(w) < ctx_.talk.size()) ? ctx_.talk[size_t(w)].text.view()
                                                                         : std::string_view(kNoName));
        return true;
      default: return false;
    }
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

  int Held() const {
    return std::min<int>(s_.DataNum, static_cast<int>(std::min<size_t>(s_.data.size(), INT32_MAX)));
  }

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
