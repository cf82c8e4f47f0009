#pragma once
// Every fact about an instruction kind, one row per opcode: the body of its
// readable line, what each of its parameter words means (and so what it
// refers to), how the instruction-editing button serves it and which
// dialog, and whether that dialog does more than show its catalogue rows.
// The describer, the guide, the dialog catalogue, the dialogs, the search,
// the checks and the sample game all read this one table.
#include <array>
#include <cstdint>
#include <string_view>

#include "script/attributes.h"

namespace tavrel {

// What a parameter word holds.
enum class WordKind : uint8_t {
  Other,                // nothing in particular (a jump word, a reserved word)
  Dialogue,             // a dialogue entry of talk.grp
  Speaker,              // the speaker's portrait, named by the persons who wear it
  Placement,            // where a dialogue box is placed (six choices)
  Item,                 // an item of the name tables
  GivenItem,            // an item the instruction gives (or takes, with an amount below 1)
  Person,               // a person of the name tables
  Scene,                // a scene of the name tables
  SceneOrCurrent,       // a scene, or -2 for the scene the player is in
  SceneEvent,           // an event position within a scene (0 .. 199)
  SceneEventOrCurrent,  // a scene event, or -2 for the current one
  PassOrKeep,           // passable yes / no, or -2 to keep it
  TriggerEvent,         // an event of kdef.grp, -2 to keep the trigger, -1 to clear it
  Tile,                 // a scene tile picture number (twice the tile index)
  TileEnd,              // the last picture number of an animation
  Speed,                // a tile animation speed, -2 to keep it
  Coordinate,           // a map coordinate
  Quantity,             // how many items
  Amount,               // a value to set
  Increase,             // a value added (may be negative)
  RangeLow,             // the low end of a tested range
  RangeHigh,            // the high end of a tested range
  Battle,               // a battle record of war.sta
  Layer,                // a scene map layer
  Direction,            // the hero's facing (four choices)
  Sex,                  // male, female, neither
  InnerForce,           // the inner-force kind (three choices)
  Flag,                 // 0 or 1
  Skill,                // a skill of the name tables
  SkillSlot,            // one of a person's ten skill places
  Money,                // an amount of silver
  Music,                // a music number
  Sound,                // a sound effect number
};

// What a word refers to, for the search and the checks.
enum class RefKind : uint8_t { None, Dialogue, Person, Item, Scene, Skill, Battle, Event, Portrait };
inline constexpr int kRefKindCount = 9;

constexpr RefKind ReferenceOf(WordKind kind) {
  switch (kind) {
    case WordKind::Dialogue:
      return RefKind::Dialogue;
    case WordKind::Speaker:
      return RefKind::Portrait;
    case WordKind::Item:
    case WordKind::GivenItem:
      return RefKind::Item;
    case WordKind::Person:
      return RefKind::Person;
    case WordKind::Scene:
    case WordKind::SceneOrCurrent:
      return RefKind::Scene;
    case WordKind::TriggerEvent:
      return RefKind::Event;
    case WordKind::Battle:
      return RefKind::Battle;
    case WordKind::Skill:
      return RefKind::Skill;
    default:
      return RefKind::None;
  }
}

// Values of a referring word that stand for something other than a number
// of its table (-2 the current scene, -2 / -1 keep or clear a trigger).
constexpr bool IsStandInValue(WordKind kind, int16_t word) {
  if (kind == WordKind::SceneOrCurrent) return word == -2;
  if (kind == WordKind::TriggerEvent) return word == -2 || word == -1;
  return false;
}

// How the instruction-editing button serves a kind.
enum class GuideKind : uint8_t {
  NoGuide,    // a message: no guide yet
  TooSimple,  // a message: the instruction is too simple to need one
  Dialog,     // the dialog of the row's form
};

// The dialogs that do more than show their catalogue rows.
enum class DialogClass : uint8_t {
  Plain,        // the catalogue rows only
  Dialogue,     // the dialogue text, stored into the dialogue table
  SceneEvent,   // the scene event's tiles in turn, a tile browser
  TilePreview,  // the instruction's tile or animation, a tile browser
};

inline constexpr size_t kMaxKindWords = 13;  // the most parameter words an instruction has (0x03)

struct InstructionKind {
  // The line's body after "op(HEX):". Pieces are separated by spaces and
  // joined with nothing between them:
  //   "..."       literal text
  //   Sn          interface string n
  //   dK / hexK   parameter word K in decimal / upper-case hexadecimal
  //   nameK       what word K names, by its kind: the person, item, scene or
  //               skill name, the dialogue text; "???" when there is none.
  //               A speaker is the portrait's first wearer, " +N" when N more
  //               wear it, else the portrait's number (S21500 "头像N"); in the
  //               kdefout.txt export the person of the portrait's number
  //               ("???" from 75 on)
  //   JUMP        "if yes jump to" / "otherwise jump to" and the label name
  //   if(dK=V) ... else ... end
  //               the first pieces when word K equals V, else the others
  std::string_view line;
  // The same body for an English interface: the same pieces with the spaces
  // and punctuation English reads with; a line that starts with a word has a
  // space after its caption ("4(4): use item [X]? otherwise jump to :Label0").
  std::string_view englishLine;
  std::array<WordKind, kMaxKindWords> words{};  // per parameter word; Other past the last
  GuideKind guide = GuideKind::NoGuide;
  std::string_view form;  // the dialog (its objectName); empty: none
  DialogClass dialogClass = DialogClass::Plain;
};

namespace kind_rows {
using enum WordKind;
using W = std::array<WordKind, kMaxKindWords>;
constexpr GuideKind kSimple = GuideKind::TooSimple;
constexpr InstructionKind Simple(std::string_view line, std::string_view english, W words = {}) {
  return {line, english, words, kSimple, {}};
}
constexpr InstructionKind Unguided(std::string_view line, std::string_view english, W words = {}) {
  return {line, english, words, GuideKind::NoGuide, {}};
}
constexpr InstructionKind Guided(std::string_view line, std::string_view english, W words, std::string_view form,
                                 DialogClass dialogClass = DialogClass::Plain) {
  return {line, english, words, GuideKind::Dialog, form, dialogClass};
}

// Index = opcode.
inline constexpr InstructionKind kRows[kOpcodeCount] = {
    Simple(R"(":" S505)", R"(" " S505)"),  // 0
    Guided(R"("[" name1 "]" S506 name0)", R"("[" name1 "] " S506 " " name0)", {Dialogue, Speaker, Placement},
           "frmStatement_0x01", DialogClass::Dialogue),
    Guided(R"(S507 "[" name0 "][" d1 "]")", R"(" " S507 " [" name0 "][" d1 "]")", {GivenItem, Quantity},
           "frmstatement_0x02"),
    Guided(R"(S508 ":" if(d0=-2) S509 else S510 "[" name0 "]" end ":" if(d1=-2) S511 else S512 " [" d1 "]" end)",
           R"(" " S508 ": " if(d0=-2) S509 else S510 " [" name0 "]" end ", " if(d1=-2) S511 else S512 " [" d1 "]" end)",
           {SceneOrCurrent, SceneEventOrCurrent, PassOrKeep, SceneEvent, TriggerEvent, TriggerEvent, TriggerEvent, Tile,
            Tile, Tile, Speed, Coordinate, Coordinate},
           "frmstatement_0x03", DialogClass::SceneEvent),
    Guided(R"(S513 "[" name0 "]？" JUMP)", R"(" " S513 " [" name0 "]? " JUMP)", {Item}, "frmStatement_0x04"),  // 4
    Simple(R"(S516 JUMP)", R"(" " S516 " " JUMP)"),
    Guided(R"(S517 "[" d0 "]" JUMP)", R"(" " S517 " [" d0 "] " JUMP)", {Battle, Other, Other, Flag},
           "frmStatement_0x06"),
    Simple(R"(S518)", R"(" " S518)"),
    Simple(R"(S519)", R"(" " S519)"),
    Simple(R"(S520 JUMP)", R"(" " S520 " " JUMP)"),
    Guided(R"(S521 "[" name0 "]")", R"(" " S521 ": [" name0 "]")", {Person}, "frmStatement_0x0a"),  // 10
    Simple(R"(S522 JUMP)", R"(" " S522 " " JUMP)"),
    Simple(R"(S523)", R"(" " S523)"),
    Simple(R"(S524)", R"(" " S524)"),
    Simple(R"(S525)", R"(" " S525)"),
    Unguided(R"(S526)", R"(" " S526)"),
    Guided(R"(S527 "[" name0 "]" JUMP)", R"(" " S527 " [" name0 "]? " JUMP)", {Person}, "frmStatement_0x10"),
    Guided(R"(S528 ":" if(d0=-2) S509 else S510 "[" name0 "]" end S529 hex1 S530 hex2 "-" hex3)",
           R"(" " S528 ": " if(d0=-2) S509 else S510 " [" name0 "]" end ", " S529 " " hex1 " " S530 " " hex2 "-" hex3)",
           {SceneOrCurrent, Layer, Coordinate, Coordinate, Tile}, "frmStatement_0x11", DialogClass::TilePreview),
    Guided(R"(S531 "[" name0 "]" JUMP)", R"(" " S531 " [" name0 "]? " JUMP)", {Item}, "frmStatement_0x12"),
    Guided(R"(S532 hex0 "-" hex1)", R"(" " S532 " " hex0 "-" hex1)", {Coordinate, Coordinate}, "frmStatement_0x13"),
    Simple(R"(S533 JUMP)", R"(" " S533 " " JUMP)"),  // 20
    Guided(R"("[" name0 "]" S534)", R"(" " S534 ": [" name0 "]")", {Person}, "frmStatement_0x15"),
    Simple(R"(S535)", R"(" " S535)"),
    Guided(R"(S536 "[" name0 "]" S537 "[" d1 "]")", R"(" " S536 " [" name0 "] " S537 " [" d1 "]")", {Person, Increase},
           "frmStatement_0x17"),
    Unguided(R"(S584)", R"(" " S584)"),  // 24 has no text of its own
    Guided(R"(S538 d0 "-" d1 "--" d2 "-" d3)", R"(" " S538 " " d0 "-" d1 "--" d2 "-" d3)",
           {Coordinate, Coordinate, Coordinate, Coordinate}, "frmstatement_0x19"),
    Guided(R"(S539)", R"(" " S539)", {SceneOrCurrent, SceneEvent, Increase, Increase, Increase}, "frmStatement_0x1a"),
    Guided(R"(S540)", R"(" " S540)", {SceneEvent, Tile, TileEnd}, "frmStatement_0x1B", DialogClass::TilePreview),
    Guided(R"(S541 name0 S542 d1 "-" d2 JUMP)", R"(" " S541 " " name0 " " S542 " " d1 "-" d2 " " JUMP)",
           {Person, RangeLow, RangeHigh}, "frmStatement_0x1c"),
    Guided(R"(S541 name0 S543 d1 "-" d2 JUMP)", R"(" " S541 " " name0 " " S543 " " d1 "-" d2 " " JUMP)",
           {Person, RangeLow, RangeHigh}, "frmStatement_0x1d"),
    Guided(R"(S544 d0 "-" d1 "--" d2 "-" d3)", R"(" " S544 " " d0 "-" d1 "--" d2 "-" d3)",
           {Coordinate, Coordinate, Coordinate, Coordinate}, "frmStatement_0x1e"),
    Guided(R"(S545 d0 JUMP)", R"(" " S545 " " d0 "? " JUMP)", {Money}, "frmStatement_0x1f"),
    Guided(R"(S546 "[" name0 "]+[" d1 "]")", R"(" " S546 " [" name0 "]+[" d1 "]")", {GivenItem, Increase},
           "frmstatement_0x20"),
    Guided(R"(name0 S547 name1)", R"(" " name0 " " S547 " " name1)", {Person, Skill, Flag}, "frmStatement_0x21"),
    Guided(R"(name0 S548 d1)", R"(" " name0 " " S548 " " d1)", {Person, Increase}, "frmStatement_0x22"),
    Guided(R"(S549 name0 S550 d1 ":" name2 S551 d3)",
           R"(" " S549 " " name0 " " S550 " " d1 ": " name2 " " S551 " " d3)", {Person, SkillSlot, Skill, Amount},
           "frmStatement_0x23"),
    Unguided(R"(S552 d0 JUMP)", R"(" " S552 " " d0 "? " JUMP)", {Sex}),
    Guided(R"(S553 d0)", R"(" " S553 " " d0)", {Increase}, "frmStatement_0x25"),
    Guided(R"(S554)", R"(" " S554)", {Scene, Layer, Tile, Tile}, "frmStatement_0x26"),
    Guided(R"(S555 name0)", R"(" " S555 " " name0)", {Scene}, "frmStatement_0x27"),
    Guided(R"(S556 d0)", R"(" " S556 " " d0)", {Direction}, "frmStatement_0x28"),  // 40
    Guided(R"(name0 S507 name1 d2)", R"(" " name0 " " S507 " " name1 " " d2)", {Person, GivenItem, Quantity},
           "frmStatement_0x29"),
    Unguided(R"(S557 JUMP)", R"(" " S557 " " JUMP)"),
    Guided(R"(S558 name0 JUMP)", R"(" " S558 " " name0 "? " JUMP)", {Item},
           "frmStatement_0x12"),  // shares the dialog of 18
    Guided(R"(S540)", R"(" " S540)", {SceneEvent, Tile, TileEnd, SceneEvent, Tile, TileEnd}, "frmStatement_0x2c",
           DialogClass::TilePreview),
    Guided(R"(name0 S559 d1)", R"(" " name0 " " S559 " " d1)", {Person, Increase}, "frmStatement_0x2d"),
    Guided(R"(name0 S560 d1)", R"(" " name0 " " S560 " " d1)", {Person, Increase}, "frmStatement_0x2e"),
    Guided(R"(name0 S561 d1)", R"(" " name0 " " S561 " " d1)", {Person, Increase}, "frmStatement_0x2f"),
    Guided(R"(name0 S562 d1)", R"(" " name0 " " S562 " " d1)", {Person, Increase}, "frmStatement_0x30"),
    Guided(R"(name0 S585 d1)", R"(" " name0 " " S585 " " d1)", {Person, InnerForce}, "frmStatement_0x31"),
    Unguided(R"(S558 name0 "," name1 "," name2 "," name3 "," name4 JUMP)",
             R"(" " S558 " " name0 ", " name1 ", " name2 ", " name3 ", " name4 "? " JUMP)",
             {Item, Item, Item, Item, Item}),  // 50
    Unguided(R"(S563)", R"(" " S563)"),
    Unguided(R"(S564)", R"(" " S564)"),
    Unguided(R"(S565)", R"(" " S565)"),
    Unguided(R"(S566)", R"(" " S566)"),
    Unguided(R"(S567 d0 S568 d1 JUMP)", R"(" " S567 " " d0 " " S568 " " d1 "? " JUMP)", {SceneEvent, Amount}),
    Guided(R"(S569 d0)", R"(" " S569 " " d0)", {Increase}, "FrmStatement_0x38"),
    Simple(R"(S570)", R"(" " S570)"),
    Unguided(R"(S571)", R"(" " S571)"),
    Unguided(R"(S572)", R"(" " S572)"),
    Guided(R"(S573 d0 S574 d1 S575 d2 JUMP)", R"(" " S573 " " d0 ", " S574 " " d1 " " S575 " " d2 "? " JUMP)",
           {SceneOrCurrent, SceneEvent, Tile}, "frmStatement_0x3c",
           DialogClass::TilePreview),  // 60
    Unguided(R"(S576 JUMP)", R"(" " S576 " " JUMP)"),
    Unguided(R"(S577)", R"(" " S577)"),
    Guided(R"(S549 name0 S578 d1)", R"(" " S549 " " name0 " " S578 " " d1)", {Person, Sex}, "frmstatement_0x3f"),
    Unguided(R"(S579)", R"(" " S579)"),
    Unguided(R"(S580)", R"(" " S580)"),
    Unguided(R"(S581 d0)", R"(" " S581 " " d0)", {Music}),
    Unguided(R"(S582 d0)", R"(" " S582 " " d0)", {Sound}),
};
inline constexpr InstructionKind kEnd = Simple(R"(S583)", R"(" " S583)");
inline constexpr InstructionKind kUnknown = Unguided(R"(S584)", R"(S584)");
}  // namespace kind_rows

inline constexpr int16_t kEndOpcode = -1;

// The row of an opcode: 0 .. 67, the end instruction (-1), or for any other
// value the unknown instruction (no guide, no words).
constexpr const InstructionKind& KindOf(int16_t opcode) {
  if (opcode == kEndOpcode) return kind_rows::kEnd;
  if (opcode >= 0 && opcode < kOpcodeCount) return kind_rows::kRows[opcode];
  return kind_rows::kUnknown;
}

constexpr WordKind WordKindOf(int16_t opcode, int word) {
  if (word < 0 || static_cast<size_t>(word) >= kMaxKindWords) return WordKind::Other;
  return KindOf(opcode).words[static_cast<size_t>(word)];
}

// Whether an opcode's line names a speaker.
constexpr bool NamesSpeaker(int16_t opcode) {
  for (WordKind kind : KindOf(opcode).words)
    if (kind == WordKind::Speaker) return true;
  return false;
}

// The parameter words of an opcode that refer to something, in word order:
// a short list per kind of instruction, so a pass over every statement
// looks at those words only.
struct ReferringWords {
  std::array<uint8_t, kMaxKindWords> words{};
  uint8_t count = 0;
};
constexpr ReferringWords ReferringWordsOf(int16_t opcode) {
  ReferringWords refs;
  for (size_t w = 0; w < kMaxKindWords; ++w)
    if (ReferenceOf(KindOf(opcode).words[w]) != RefKind::None) refs.words[refs.count++] = static_cast<uint8_t>(w);
  return refs;
}

}  // namespace tavrel
