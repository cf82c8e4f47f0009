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

// What a line is built from: interface strings, names and dialogue texts.
struct DescribeContext {
  const TextCodec& codec;
  const NameTables& names;
  std::span<const TalkEntry> talk;
};

// The full line "op(HEX):body" of a statement; a label keeps its name.
std::string DescribeLine(const Statement& s, const DescribeContext& ctx);
// Sets s.note to its line (labels are left unchanged).
void DescribeStatement(Statement& s, const DescribeContext& ctx);

// Helpers shared with other text: decimal opcode and "(HEX)".
std::string OpcodeCaption(int16_t opcode);  // "26(1A)", "-1(FFFF)"
std::string Hex16(int16_t value);           // upper-case, 16-bit pattern, no leading zeros

}  // namespace tavrel
