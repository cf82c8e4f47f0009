#include "gamefiles/kdef.h"

#include <fmt/format.h>

#include <algorithm>
#include <bit>

#include "gamefiles/idx_grp.h"
#include "text/ui_strings.h"

namespace tavrel {

std::filesystem::path KdefIdxPath(const std::filesystem::path& gameDir) { return FindGameFile(gameDir, "kdef.idx"); }
std::filesystem::path KdefGrpPath(const std::filesystem::path& gameDir) { return FindGameFile(gameDir, "kdef.grp"); }

Result<KdefWords> ReadKdef(const std::filesystem::path& gameDir, std::vector<FileWarning>* warnings) {
  const std::filesystem::path idxPath = KdefIdxPath(gameDir);
  const std::filesystem::path grpPath = KdefGrpPath(gameDir);
  // One file of the pair missing beside the other reads as empty, so the
  // pair reads as damaged; both missing is an error naming the index.
  std::error_code ec;
  const bool hasIdx = std::filesystem::exists(idxPath, ec);
  const bool hasGrp = std::filesystem::exists(grpPath, ec);
  PairBytes pair{idxPath, grpPath, {}, {}, {}};
  if (hasIdx || !hasGrp) {
    Result<Bytes> read = ReadWholeFile(idxPath);
    if (!read) return read.passError();
    pair.idx = std::move(*read);
  }
  if (!hasIdx) pair.missing = idxPath.string();
  if (!hasGrp) pair.missing = grpPath.string();
  // The words of all events in one buffer the events look into, read
  // straight from the file.
  auto words = std::make_shared<std::vector<int16_t>>();
  size_t grpBytes = 0;
  if (hasGrp) {
    Result<size_t> read = ReadWholeFileWords(grpPath, *words);
    if (!read) return read.passError();
    grpBytes = *read;
  }
  IndexReading reading = ReadIndex(pair.idx, grpBytes, IndexCheck::Strict);
  // Events are whole words: a last odd byte of the file belongs to no
  // event, and rounding the last end down leaves it out.
  reading.coveredBytes = std::min<int64_t>(reading.coveredBytes, reading.offsets.back() / 2 * 2);
  std::vector<FileWarning> found;
  if (pair.idx.size() % 4 != 0)
    found.push_back(
        {idxPath.filename().string(), FormatInterfaceString(Str::IndexLengthNotMultipleOf4, idxPath.string(),
                                                            pair.idx.size(), pair.idx.size() % 4)});
  if (reading.damaged()) found.push_back(IndexDamageWarning(reading, idxPath.string(), grpPath.string()));
  PassPairWarnings(pair, found, warnings);
  const std::vector<int32_t>& offsets = reading.offsets;
  // A last odd byte of the file belongs to no word.
  words->resize(grpBytes / 2);
  if constexpr (std::endian::native != std::endian::little)
    for (int16_t& w : *words) w = static_cast<int16_t>((uint16_t(w) >> 8) | (uint16_t(w) << 8));

  const int32_t n = static_cast<int32_t>(offsets.size()) - 1;
  KdefWords table;
  table.offsets.reserve(size_t(n) + 1);
  // Events are whole words: an odd byte offset would cut a word in two, so
  // it is taken as the start of the word it lies in. The offsets were checked
  // to be non-negative and ascending, which rounding down keeps.
  int32_t odd = 0, firstOdd = -1;
  for (int32_t k = 0; k <= n; ++k) {
    const int32_t bytes = offsets[size_t(k)];
    if (bytes % 2 != 0 && odd++ == 0) firstOdd = k;
    table.offsets.push_back(bytes / 2);
  }
  if (odd > 0 && warnings)
    warnings->push_back({idxPath.filename().string(), FormatInterfaceString(Str::KdefOddOffsets, idxPath.string(), odd,
                                                                            firstOdd - 1, offsets[size_t(firstOdd)])});
  std::shared_ptr<const std::vector<int16_t>> shared = std::move(words);
  table.events.reserve(size_t(n));
  for (int32_t i = 0; i < n; ++i) {
    // Offsets were checked against the file and are in words.
    const size_t start = size_t(table.offsets[size_t(i)]);
    const size_t end = std::max(start, size_t(table.offsets[size_t(i) + 1]));
    table.events.emplace_back(shared, start, end - start);
  }
  return table;
}

KdefEncoder::KdefEncoder(Bytes& idx, Bytes& grp, size_t events, size_t words) : idx_(idx), grp_(grp) {
  grp_.clear();
  idx_.clear();
  idx_.reserve(events * 4);
  grp_.reserve(2 * words);
}

void KdefEncoder::Add(std::span<const int16_t> words) {
  for (int16_t word : words) AppendI16(grp_, word);
  AppendI32(idx_, static_cast<int32_t>(grp_.size()));
}

}  // namespace tavrel
