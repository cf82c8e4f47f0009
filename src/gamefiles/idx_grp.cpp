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

FileLoss IndexReading::loss() const {
  return FileLoss{int64_t(entries) - readEntries() - missingEntries, dataBytes - coveredBytes};
}

IndexReading ReadIndex(std::span<const uint8_t> idx, size_t grpSize, IndexCheck check) {
  IndexReading r;
  r.check = check;
  r.entries = static_cast<int32_t>(idx.size() / 4);
  r.dataBytes = static_cast<int64_t>(grpSize);
  r.offsets.reserve(size_t(r.entries) + 1);
  r.offsets.push_back(0);
  for (int32_t k = 0; k < r.entries; ++k) {
    const int32_t end = ReadI32(idx, size_t(k) * 4);
    const int32_t begin = r.offsets.back();
    if (check != IndexCheck::Pictures) {
      auto stop = [&](IndexReading::Stop why) {
        r.stop = why;
        r.stopEntry = k;
        r.stopEnd = end;
      };
      if (end < 0) {
        stop(IndexReading::Stop::NegativeEnd);
        break;
      }
      if (end < begin) {
        stop(IndexReading::Stop::EndBeforeStart);
        break;
      }
      // An entry that starts at or past the data's end is missing where
      // the kind allows it; one that starts inside and ends past it is cut.
      const bool missing = check == IndexCheck::Sparse && int64_t(begin) >= r.dataBytes;
      if (int64_t(end) > r.dataBytes && !missing) {
        stop(IndexReading::Stop::EndBeyondData);
        break;
      }
      if (missing) ++r.missingEntries;
    }
    r.offsets.push_back(end);
  }
  if (check == IndexCheck::Pictures) {
    r.coveredBytes = r.dataBytes;  // judged picture by picture (CheckPictureIndex)
  } else {
    // Ends never go backwards here, so the entries read cover the data up to
    // the last end inside it.
    r.coveredBytes = std::min<int64_t>(r.offsets.back(), r.dataBytes);
  }
  return r;
}

std::string DamageLossSentence(int64_t readEntries, int64_t entries, const FileLoss& loss) {
  return FormatInterfaceString(Str::DamageLoss, readEntries, entries, loss.entries, loss.bytes);
}

FileWarning IndexDamageWarning(const IndexReading& r, const std::string& idxPath, const std::string& grpPath,
                               const FileLoss& loss) {
  std::string what;
  switch (r.stop) {
    case IndexReading::Stop::NegativeEnd:
      what = FormatInterfaceString(Str::IndexNegativeEnd, idxPath, r.stopEntry, r.stopEnd);
      break;
    case IndexReading::Stop::EndBeforeStart:
      what = FormatInterfaceString(Str::IndexEndBeforeStart, idxPath, r.stopEntry, r.stopEnd, r.offsets.back());
      break;
    case IndexReading::Stop::EndBeyondData:
      what = FormatInterfaceString(Str::IndexEndBeyondData, idxPath, r.stopEntry, r.stopEnd, grpPath, r.dataBytes);
      break;
    case IndexReading::Stop::None:
      what = FormatInterfaceString(Str::IndexStopsBeforeDataEnd, idxPath, r.readEntries(), r.coveredBytes, grpPath,
                                   r.dataBytes);
      break;
  }
  return FileWarning{std::filesystem::path(idxPath).filename().string(),
                     what + " " + DamageLossSentence(r.readEntries(), r.entries, loss), loss};
}

FileWarning IndexDamageWarning(const IndexReading& r, const std::string& idxPath, const std::string& grpPath) {
  return IndexDamageWarning(r, idxPath, grpPath, r.loss());
}

void NoteMissingFile(FileWarning& damage, const std::filesystem::path& missing) {
  damage.message = FormatInterfaceString(Str::PairFileMissing, missing.string()) + damage.message;
  damage.file = missing.filename().string();
}

std::vector<int32_t> ParseIndex(std::span<const uint8_t> idx, size_t grpSize, const std::string& idxName,
                                const std::string& grpName, IndexCheck check, std::vector<FileWarning>* warnings) {
  // A trailing partial value ends no entry; it is left out and nothing is lost.
  if (idx.size() % 4 != 0 && warnings)
    warnings->push_back({std::filesystem::path(idxName).filename().string(),
                         FormatInterfaceString(Str::IndexLengthNotMultipleOf4, idxName, idx.size(), idx.size() % 4)});
  IndexReading reading = ReadIndex(idx, grpSize, check);
  if (reading.damaged() && warnings) warnings->push_back(IndexDamageWarning(reading, idxName, grpName));
  return std::move(reading.offsets);
}

IdxGrpFile ParseIdxGrp(std::span<const uint8_t> idx, Bytes grp, const std::string& idxName, const std::string& grpName,
                       IndexCheck check, std::vector<FileWarning>* warnings) {
  IdxGrpFile file;
  file.offsets = ParseIndex(idx, grp.size(), idxName, grpName, check, warnings);
  file.grp = std::move(grp);
  return file;
}

Result<PairBytes> ReadPairBytes(const std::filesystem::path& dir, const std::string& idxName,
                                const std::string& grpName) {
  PairBytes pair;
  pair.idxPath = FindGameFile(dir, idxName);
  pair.grpPath = FindGameFile(dir, grpName);
  std::error_code ec;
  const bool hasIdx = std::filesystem::exists(pair.idxPath, ec);
  const bool hasGrp = std::filesystem::exists(pair.grpPath, ec);
  if (hasIdx || !hasGrp) {
    Result<Bytes> idx = ReadWholeFile(pair.idxPath);
    if (!idx) return idx.passError();
    pair.idx = std::move(*idx);
  }
  if (hasGrp) {
    Result<Bytes> grp = ReadWholeFile(pair.grpPath);
    if (!grp) return grp.passError();
    pair.grp = std::move(*grp);
  }
  if (!hasIdx) pair.missing = pair.idxPath.string();
  if (!hasGrp) pair.missing = pair.grpPath.string();
  return pair;
}

void PassPairWarnings(const PairBytes& pair, std::vector<FileWarning>& found, std::vector<FileWarning>* warnings) {
  bool named = false;
  for (FileWarning& w : found) {
    if (w.damage && !pair.missing.empty()) {
      NoteMissingFile(w, pair.missing);
      named = true;
    }
  }
  if (!pair.missing.empty() && !named)
    found.push_back({std::filesystem::path(pair.missing).filename().string(),
                     FormatInterfaceString(Str::FileNotFound, pair.missing)});
  if (warnings)
    for (FileWarning& w : found) warnings->push_back(std::move(w));
}

Result<IdxGrpFile> ReadIdxGrp(const std::filesystem::path& dir, const std::string& idxName, const std::string& grpName,
                              IndexCheck check, std::vector<FileWarning>* warnings) {
  Result<PairBytes> pair = ReadPairBytes(dir, idxName, grpName);
  if (!pair) return pair.passError();
  std::vector<FileWarning> found;
  IdxGrpFile file =
      ParseIdxGrp(pair->idx, std::move(pair->grp), pair->idxPath.string(), pair->grpPath.string(), check, &found);
  PassPairWarnings(*pair, found, warnings);
  return file;
}

Bytes BuildIndex(std::span<const int32_t> endOffsets) {
  Bytes idx;
  idx.reserve(endOffsets.size() * 4);
  for (int32_t end : endOffsets) AppendI32(idx, end);
  return idx;
}

}  // namespace tavrel
