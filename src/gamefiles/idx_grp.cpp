#include "gamefiles/idx_grp.h"

#include <fmt/format.h>

#include <algorithm>

#include "text/ui_strings.h"

namespace tavrel {

std::span<const uint8_t> IdxGrpFile::Entry(int32_t k) const {
  if (k < 0 || k >= count()) return {};
  const int64_t size = static_cast<int64_t>(grp.size());
  const int64_t begin = std::clamp<int64_t>(offsets[size_t(k)], 0, size);
  const int64_t end = std::clamp<int64_t>(offsets[size_t(k) + 1], begin, size);
  return std::span<const uint8_t>(grp).subspan(size_t(begin), size_t(end - begin));
}

Result<std::vector<int32_t>> ParseIndex(std::span<const uint8_t> idx, size_t grpSize, const std::string& idxName,
                                        const std::string& grpName, IndexCheck check,
                                        std::vector<FileWarning>* warnings) {
  // A trailing partial value ends no entry; it is left out and nothing is lost.
  if (idx.size() % 4 != 0 && warnings)
    warnings->push_back({std::filesystem::path(idxName).filename().string(),
                         FormatInterfaceString(Str::IndexLengthNotMultipleOf4, idxName, idx.size(), idx.size() % 4)});
  const size_t n = idx.size() / 4;
  std::vector<int32_t> offsets;
  offsets.reserve(n + 1);
  offsets.push_back(0);
  for (size_t k = 1; k <= n; ++k) {
    const int32_t end = ReadI32(idx, (k - 1) * 4);
    if (check == IndexCheck::Strict) {
      const int32_t begin = offsets.back();
      if (end < 0) return Error{FormatInterfaceString(Str::IndexNegativeEnd, idxName, k - 1, end)};
      if (end < begin) return Error{FormatInterfaceString(Str::IndexEndBeforeStart, idxName, k - 1, end, begin)};
      if (uint64_t(end) > grpSize)
        return Error{FormatInterfaceString(Str::IndexEndBeyondData, idxName, k - 1, end, grpName, grpSize)};
    }
    offsets.push_back(end);
  }
  return offsets;
}

Result<IdxGrpFile> ParseIdxGrp(std::span<const uint8_t> idx, Bytes grp, const std::string& idxName,
                               const std::string& grpName, IndexCheck check, std::vector<FileWarning>* warnings) {
  Result<std::vector<int32_t>> offsets = ParseIndex(idx, grp.size(), idxName, grpName, check, warnings);
  if (!offsets) return offsets.passError();
  IdxGrpFile file;
  file.offsets = std::move(*offsets);
  file.grp = std::move(grp);
  return file;
}

Result<IdxGrpFile> ReadIdxGrp(const std::filesystem::path& dir, const std::string& idxName, const std::string& grpName,
                              IndexCheck check, std::vector<FileWarning>* warnings) {
  const std::filesystem::path idxPath = FindGameFile(dir, idxName);
  const std::filesystem::path grpPath = FindGameFile(dir, grpName);
  Result<Bytes> idx = ReadWholeFile(idxPath);
  if (!idx) return idx.passError();
  Result<Bytes> grp = ReadWholeFile(grpPath);
  if (!grp) return grp.passError();
  return ParseIdxGrp(*idx, std::move(*grp), idxPath.string(), grpPath.string(), check, warnings);
}

Bytes BuildIndex(std::span<const int32_t> endOffsets) {
  Bytes idx;
  idx.reserve(endOffsets.size() * 4);
  for (int32_t end : endOffsets) AppendI32(idx, end);
  return idx;
}

}  // namespace tavrel
