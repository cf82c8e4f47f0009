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

// How an index is read against its data.
enum class IndexCheck {
  // Every end within the data and never going backwards, the last at the
  // data's end (talk, kdef, r1, warfld).
  Strict,
  // Picture sets: every value is taken; entries of size <= 0 are absent
  // pictures and the picture reader checks each range (see CheckPictureIndex).
  Pictures,
  // Object tables and scene maps: the index may name more or fewer entries
  // than the data holds. An entry that starts at or past the data's end is
  // a missing entry and bytes after the last entry are kept by the reader;
  // neither is damage.
  Sparse,
};

// What an index says against its data. The read takes the index's values in
// order up to the first one that lies before 0, before its entry's start or
// (except for missing entries) past the data's end; whatever the index and
// the data do not agree on is the damage.
struct IndexReading {
  std::vector<int32_t> offsets;  // 0, then the end of every entry read
  int32_t entries = 0;           // whole values the index holds
  int64_t dataBytes = 0;         // of the .grp
  int32_t missingEntries = 0;    // Sparse: entries at or past the data's end
  // Where the read stopped before the index's end, and why.
  enum class Stop { None, NegativeEnd, EndBeforeStart, EndBeyondData } stop = Stop::None;
  int32_t stopEntry = -1;
  int32_t stopEnd = 0;
  // Bytes of the data the entries read cover, from the start (a missing
  // entry covers none).
  int64_t coveredBytes = 0;

  IndexCheck check = IndexCheck::Strict;

  int32_t readEntries() const { return static_cast<int32_t>(offsets.size()) - 1; }
  // Entries not read and data bytes no entry read covers.
  FileLoss loss() const;
  // Whether the index and the data disagree.
  bool damaged() const { return stop != Stop::None || (check != IndexCheck::Sparse && coveredBytes < dataBytes); }
};

// Reads the index's values (length / 4; a trailing partial value is not one)
// against a .grp of `grpSize` bytes. Pictures: every value, never a stop.
IndexReading ReadIndex(std::span<const uint8_t> idx, size_t grpSize, IndexCheck check);

// The damage warning for a reading that disagrees with its data: what
// disagrees, with the numbers, and what writing the pair again from the
// entries read would lose (`loss`, when the reader keeps more than the
// entries read, e.g. the object tables' trailing bytes). Names `idxPath`
// and `grpPath` as given; the warning's file is the index's name.
FileWarning IndexDamageWarning(const IndexReading& reading, const std::string& idxPath, const std::string& grpPath,
                               const FileLoss& loss);
FileWarning IndexDamageWarning(const IndexReading& reading, const std::string& idxPath, const std::string& grpPath);
// The sentence that says what a damaged file's read got and what writing it
// again would lose; every damage message ends with it.
std::string DamageLossSentence(int64_t readEntries, int64_t entries, const FileLoss& loss);

// A damage that comes from a file of the pair that is missing: the warning
// names that file and says so first.
void NoteMissingFile(FileWarning& damage, const std::filesystem::path& missing);

// Parses an .idx as ReadIndex does: the offsets of the entries read. When
// `warnings` is given, a trailing partial value and a disagreement with the
// data (named `idxName` and `grpName`) are reported there, the latter as
// damage.
std::vector<int32_t> ParseIndex(std::span<const uint8_t> idx, size_t grpSize, const std::string& idxName,
                                const std::string& grpName, IndexCheck check,
                                std::vector<FileWarning>* warnings = nullptr);

// Parses an .idx as ParseIndex does and pairs it with its .grp.
IdxGrpFile ParseIdxGrp(std::span<const uint8_t> idx, Bytes grp, const std::string& idxName, const std::string& grpName,
                       IndexCheck check, std::vector<FileWarning>* warnings = nullptr);

// The bytes of a pair (names found case-insensitively in `dir`). When one
// file of the pair is missing and the other is there, the missing one reads
// as empty and `missing` names it, so the pair reads as damaged; when both
// are missing, or a file cannot be read, an error names it.
struct PairBytes {
  std::filesystem::path idxPath;
  std::filesystem::path grpPath;
  Bytes idx;
  Bytes grp;
  std::string missing;  // the path of the file of the pair that is missing, if one is
};
Result<PairBytes> ReadPairBytes(const std::filesystem::path& dir, const std::string& idxName,
                                const std::string& grpName);

// Hands the warnings `found` in reading `pair` on to `warnings`: a damage
// that comes from the missing file of the pair names it, and a missing file
// that caused no damage is named all the same.
void PassPairWarnings(const PairBytes& pair, std::vector<FileWarning>& found, std::vector<FileWarning>* warnings);

// Reads NAME.idx/NAME.grp (found case-insensitively) from `dir` as
// ReadPairBytes and ParseIdxGrp do; `idxName` and `grpName` are the files'
// names as the game spells them. A damaged pair reads as far as it agrees.
Result<IdxGrpFile> ReadIdxGrp(const std::filesystem::path& dir, const std::string& idxName, const std::string& grpName,
                              IndexCheck check, std::vector<FileWarning>* warnings = nullptr);

// Builds .idx bytes from entry sizes: running end offsets.
Bytes BuildIndex(std::span<const int32_t> endOffsets);

}  // namespace tavrel
