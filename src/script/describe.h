#pragma once
// The readable line of every instruction kind.
#include <span>
#include <string>
#include <vector>

#include "script/statement.h"

namespace tavrel {

class TextCodec;
struct NameTables;
struct TalkEntry;

// What a line is built from: interface strings, names, dialogue texts and
// who wears each portrait.
struct DescribeContext {
  const TextCodec& codec;
  const NameTables& names;
  std::span<const TalkEntry> talk;
  // The persons wearing each portrait, by portrait number (BuildPortraitUsers):
  // a dialogue line names its speaker by the portrait's first wearer, "+N"
  // when N more wear it, else by the portrait's number ("头像111").
  std::span<const std::vector<int32_t>> portraitUsers = {};
  // The kdefout.txt export, whose layout other tools read, keeps the game's
  // first naming: the person of the portrait's number, "???" from 75 on.
  bool exportLayout = false;
};

// The full line "op(HEX):body" of a statement; a label keeps its name.
std::string DescribeLine(const Statement& s, const DescribeContext& ctx);
// Sets s.note to its line (labels are left unchanged).
void DescribeStatement(Statement& s, const DescribeContext& ctx);

// Helpers shared with other text: decimal opcode and "(HEX)".
std::string OpcodeCaption(int16_t opcode);  // "26(1A)", "-1(FFFF)"
std::string Hex16(int16_t value);           // upper-case, 16-bit pattern, no leading zeros

}  // namespace tavrel
