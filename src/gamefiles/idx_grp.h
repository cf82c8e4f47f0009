#pragma once
// The container of every variable-length collection of the game: an .idx of
// cumulative 32-bit end offsets and a .grp of the entries back to back.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "gamefiles/file_io.h"

namespace tavrel {

struct IdxGrpFile {
  std::vector<int32_t> offsets;  // N + 1 values, offsets[0] = 0
  Bytes grp;

  int32_t count() const { return offsets.empty() ? 0 : static_cast<int32_t>(offsets.size()) - 1; }
  // Bytes of entry k, clipped to the data present.
  std::span<const uint8_t> Entry(int32_t k) const;
};

// How strictly an index is checked against its data.
enum class IndexCheck {
  Strict,    // every offset within the .grp and never going backwards (talk, kdef, r1)
  Pictures,  // picture sets: entries of size <= 0 are absent pictures, the last may run to the end
};

// Parses an .idx (length / 4 values) against a .grp of `grpSize` bytes: the
// N + 1 offsets, offsets[0] = 0. A trailing partial value is ignored and,
// when `warnings` is given, a warning naming `idxName` says so.
Result<std::vector<int32_t>> ParseIndex(std::span<const uint8_t> idx, size_t grpSize, const std::string& idxName,
                                        const std::string& grpName, IndexCheck check,
                                        std::vector<FileWarning>* warnings = nullptr);

// Parses an .idx as ParseIndex does and pairs it with its .grp. Errors name
// `idxName` or `grpName`.
Result<IdxGrpFile> ParseIdxGrp(std::span<const uint8_t> idx, Bytes grp, const std::string& idxName,
                               const std::string& grpName, IndexCheck check,
                               std::vector<FileWarning>* warnings = nullptr);

// Reads NAME.idx/NAME.grp (found case-insensitively) from `dir`; `idxName`
// and `grpName` are the files' names as the game spells them.
Result<IdxGrpFile> ReadIdxGrp(const std::filesystem::path& dir, const std::string& idxName, const std::string& grpName,
                              IndexCheck check, std::vector<FileWarning>* warnings = nullptr);

// Builds .idx bytes from entry sizes: running end offsets.
Bytes BuildIndex(std::span<const int32_t> endOffsets);

}  // namespace tavrel
