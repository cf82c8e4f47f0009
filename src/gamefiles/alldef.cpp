#include "gamefiles/alldef.h"

#include <algorithm>

#include "gamefiles/idx_grp.h"
#include "text/ui_strings.h"

namespace tavrel {

bool SceneObject::empty() const {
  return std::all_of(words.begin(), words.end(), [](int16_t w) { return w == 0; });
}

const SceneObject* SceneObjectTables::Object(int32_t scene, int32_t object) const {
  if (scene < 0 || scene >= sceneCount()) return nullptr;
  const SceneTable& table = scenes[size_t(scene)];
  if (!table.valid || object < 0 || object >= static_cast<int32_t>(table.objects.size())) return nullptr;
  return &table.objects[size_t(object)];
}

SceneObjectTables ParseSceneObjects(std::span<const uint8_t> idx, std::span<const uint8_t> grp,
                                    const std::string& idxName, const std::string& grpName,
                                    std::vector<FileWarning>* warnings) {
  // The index may name scenes past the data's end (missing scenes) or end
  // before it (bytes kept as they are); neither is damage. An index that
  // runs backwards or cuts a table is read up to there, and the rest of the
  // data is kept as trailing bytes: with the index written back as read,
  // the pair is written back whole, so nothing is lost.
  const IndexReading reading = ReadIndex(idx, grp.size(), IndexCheck::Sparse);
  if (warnings) {
    if (idx.size() % 4 != 0)
      warnings->push_back({std::filesystem::path(idxName).filename().string(),
                           FormatInterfaceString(Str::IndexLengthNotMultipleOf4, idxName, idx.size(), idx.size() % 4)});
    if (reading.damaged()) warnings->push_back(IndexDamageWarning(reading, idxName, grpName, FileLoss{}));
  }
  const std::vector<int32_t>& offsets = reading.offsets;
  SceneObjectTables tables;
  tables.present = true;
  tables.idx.assign(idx.begin(), idx.end());
  tables.scenes.resize(size_t(reading.readEntries()));
  for (int32_t s = 0; s < reading.readEntries(); ++s) {
    SceneTable& table = tables.scenes[size_t(s)];
    const int64_t begin = offsets[size_t(s)];
    if (begin >= int64_t(grp.size())) {
      table.missing = true;  // named by the index, not held by the data
      continue;
    }
    const std::span<const uint8_t> entry = grp.subspan(size_t(begin), size_t(offsets[size_t(s) + 1] - begin));
    if (entry.size() != size_t(kSceneTableBytes)) {
      table.damaged.assign(entry.begin(), entry.end());
      if (warnings)
        warnings->push_back(
            {std::filesystem::path(grpName).filename().string(),
             FormatInterfaceString(Str::SceneTableWrongSize, grpName, s, entry.size(), kSceneTableBytes)});
      continue;
    }
    table.valid = true;
    table.objects.resize(kObjectsPerScene);
    for (int o = 0; o < kObjectsPerScene; ++o)
      for (int w = 0; w < kObjectWords; ++w)
        table.objects[size_t(o)].words[size_t(w)] = ReadI16(entry, size_t(o * kObjectRecordBytes + w * 2));
  }
  const size_t end = size_t(std::clamp<int64_t>(offsets.back(), 0, int64_t(grp.size())));
  tables.trailing.assign(grp.begin() + std::ptrdiff_t(end), grp.end());
  tables.grp.assign(grp.begin(), grp.end());
  return tables;
}

Result<SceneObjectTables> ReadSceneObjects(const std::filesystem::path& dir, std::vector<FileWarning>* warnings) {
  Result<PairBytes> pair = ReadPairBytes(dir, "alldef.idx", "alldef.grp");
  if (!pair) return pair.passError();
  std::vector<FileWarning> found;
  SceneObjectTables tables =
      ParseSceneObjects(pair->idx, pair->grp, pair->idxPath.string(), pair->grpPath.string(), &found);
  PassPairWarnings(*pair, found, warnings);
  return tables;
}

Bytes EncodeSceneObjects(const SceneObjectTables& tables) {
  Bytes grp;
  grp.reserve(tables.grp.size());
  for (const SceneTable& table : tables.scenes) {
    if (!table.valid) {
      grp.insert(grp.end(), table.damaged.begin(), table.damaged.end());
      continue;
    }
    for (const SceneObject& object : table.objects)
      for (int16_t w : object.words) AppendI16(grp, w);
  }
  grp.insert(grp.end(), tables.trailing.begin(), tables.trailing.end());
  return grp;
}

}  // namespace tavrel
