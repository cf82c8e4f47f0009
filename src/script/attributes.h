#pragma once
// The instruction attribute table: length and jump layout of every opcode,
// read at start-up from kdefattr.dat beside the program.
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/result.h"
#include "text/charset.h"

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

// The instruction names of an English interface, kdefattr-en.txt beside
// kdefattr.dat: UTF-8, a header line, then one record "opcode,name" for each
// of the 68 opcodes (a name in double quotes may hold commas). The lengths
// and jumps stay those of kdefattr.dat.
inline constexpr const char* kEnglishNamesFileName = "kdefattr-en.txt";
Status ParseInstructionNames(std::string_view text, const std::string& fileName, AttributeTable& table);
// Reads the file from `programDir` into the names of `table`; on an error
// (naming the file) the table is left as it was.
Status LoadInstructionNames(const std::filesystem::path& programDir, AttributeTable& table);

}  // namespace tavrel
