#pragma once
// The instruction attribute table: length and jump layout of every opcode,
// read at start-up from kdefattr.dat beside the program.
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "text/charset.h"
#include "base/result.h"

namespace tavrel {

inline constexpr int kOpcodeCount = 68;  // opcodes 0 .. 67; -1 is the end instruction

struct InstructionAttr {
  int32_t length = 0;       // words, the opcode word included
  int32_t conditional = 0;  // not 0: conditional jump
  int32_t yesOffset = 0;
  int32_t noOffset = 0;
  std::string name;  // UTF-8
};

using AttributeTable = std::array<InstructionAttr, kOpcodeCount>;

// Parses the text of kdefattr.dat (UTF-8 after conversion): a header line,
// then 68 records "opcode,length,conditional,yes,no,name"; items separated by
// commas or line ends, leading spaces skipped, a name in double quotes may
// hold commas. `fileName` names the file in messages.
Result<AttributeTable> ParseAttributeTable(std::string_view text, const std::string& fileName);

// Loads kdefattr.dat from `programDir`. In a "GBK" run the file's GBK text is
// read as it is; in a "BIG5" run it is first converted byte pair by byte pair
// through the GBK->BIG5 table and read as BIG5, through _TMP0834.TMP in
// `programDir` (deleted afterwards), or in memory where that directory cannot
// be written. Missing file or fewer than 68 records: an error naming the file.
Result<AttributeTable> LoadAttributeTable(const std::filesystem::path& programDir, const TextCodec& codec);

}  // namespace tavrel
