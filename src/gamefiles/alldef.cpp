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

Result<SceneObjectTables> ParseSceneObjects(std::span<const uint8_t> idx, std::span<const uint8_t> grp,
                                            const std::string& idxName, const std::string& grpName,
                                            std::vector<FileWarning>* warnings) {
  Result<IdxGrpFile> file =
      ParseIdxGrp(idx, Bytes(grp.begin(), grp.end()), idxName, grpName, IndexCheck::Strict, warnings);
  if (!file) return file.passError();
  SceneObjectTables tables;
  tables.present = true;
  tables.idx.assign(idx.begin(), idx.end());
  tables.scenes.resize(size_t(file->count()));
  for (int32_t s = 0; s < file->count(); ++s) {
    const std::span<const uint8_t> entry = file->Entry(s);
    SceneTable& table = tables.scenes[size_t(s)];
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
  const size_t end = size_t(std::clamp<int64_t>(file->offsets.back(), 0, int64_t(file->grp.size())));
  tables.trailing.assign(file->grp.begin() + std::ptrdiff_t(end), file->grp.end());
  if (!tables.trailing.empty() && warnings)
    warnings->push_back({std::filesystem::path(grpName).filename().string(),
                         FormatInterfaceString(Str::SceneTablesTrailingBytes, grpName, tables.trailing.size())});
  tables.grp = std::move(file->grp);
  return tables;
}

Result<SceneObjectTables> ReadSceneObjects(const std::filesystem::path& dir, std::vector<FileWarning>* warnings) {
  const std::filesystem::path idxPath = FindGameFile(dir, "alldef.idx");
  const std::filesystem::path grpPath = FindGameFile(dir, "alldef.grp");
  Result<Bytes> idx = ReadWholeFile(idxPath);
  if (!idx) return idx.passError();
  Result<Bytes> grp = ReadWholeFile(grpPath);
  if (!grp) return grp.passError();
  return ParseSceneObjects(*idx, *grp, idxPath.string(), grpPath.string(), warnings);
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
