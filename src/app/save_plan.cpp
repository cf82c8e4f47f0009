#include "app/save_plan.h"

#include <algorithm>

#include "app/editor_state.h"
#include "text/ui_strings.h"

namespace tavrel {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

// The file as it lies on disk compared with the bytes a save would write.
PlannedFile Compare(std::filesystem::path path, Bytes bytes) {
  PlannedFile file{std::move(path), std::move(bytes), FileChange::New, 0};
  std::error_code ec;
  if (!std::filesystem::exists(file.path, ec)) return file;
  file.change = FileChange::Changed;
  // A file that cannot be read is written over as changed; the write says
  // what is wrong with it.
  Result<Bytes> disk = ReadWholeFile(file.path);
  if (!disk) return file;
  file.bytesOnDisk = disk->size();
  if (*disk == file.bytes) file.change = FileChange::Same;
  return file;
}

// The damage records of the files of `names`.
std::vector<FileWarning> DamageOf(const std::vector<FileWarning>& damaged, const std::vector<std::string>& names) {
  std::vector<FileWarning> found;
  for (const FileWarning& w : damaged)
    for (const std::string& name : names)
      if (w.damage && SameGameFileName(w.file, name)) {
        found.push_back(w);
        break;
      }
  return found;
}

std::string FileName(const std::filesystem::path& path) { return path.filename().string(); }

std::string JoinNames(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& name : names) out += (out.empty() ? "" : ", ") + name;
  return out;
}

// The names of a part's files: those planned, else the part's own.
std::vector<std::string> PartFileNames(const PlannedPart& part) {
  std::vector<std::string> names;
  for (const PlannedFile& f : part.files) names.push_back(FileName(f.path));
  if (names.empty() && part.part)
    for (const char* name : part.part->files) names.emplace_back(name);
  return names;
}

}  // namespace

bool SameGameFileName(std::string_view file, std::string_view gameName) {
  return file.size() == gameName.size() &&
         std::equal(file.begin(), file.end(), gameName.begin(), [](char a, char b) { return Lower(a) == Lower(b); });
}

bool PlannedPart::changes() const {
  return std::any_of(files.begin(), files.end(), [](const PlannedFile& f) { return f.change != FileChange::Same; });
}

FileLoss PlannedPart::loss() const {
  FileLoss sum;
  for (const FileWarning& w : damage) {
    sum.entries += w.damage->entries;
    sum.bytes += w.damage->bytes;
  }
  return sum;
}

bool SavePlan::writesAnything() const {
  return std::any_of(parts.begin(), parts.end(), [](const PlannedPart& p) { return p.writes(); });
}

bool SavePlan::needsAnswers() const {
  return std::any_of(parts.begin(), parts.end(), [](const PlannedPart& p) { return p.needsAnswer(); });
}

SavePlan PlanSave(const EditorState& state, std::span<const std::string_view> only) {
  SavePlan plan;
  for (const SavePart& part : SaveParts()) {
    if (!only.empty() && std::find(only.begin(), only.end(), std::string_view(part.name)) == only.end()) continue;
    std::vector<std::string> names;
    for (const char* name : part.files) names.push_back(FileName(GameFilePath(state, name)));
    PlannedPart planned;
    planned.name = part.name;
    planned.part = &part;
    planned.damage = DamageOf(state.game.damagedFiles, names);
    const bool toWrite = part.toWrite(state);
    // A damaged part stays in the plan even when there is nothing to write,
    // so the question says that it is left as it lies.
    if (!toWrite && planned.damage.empty()) continue;
    if (toWrite) {
      std::vector<Bytes> bytes = part.encode(state);
      for (size_t k = 0; k < part.files.size(); ++k)
        planned.files.push_back(Compare(GameFilePath(state, part.files[k]), std::move(bytes[k])));
    }
    if (planned.damaged()) {
      planned.changedSinceRead = toWrite;
      const auto asRead = state.game.damagedAsRead.find(part.name);
      if (toWrite && asRead != state.game.damagedAsRead.end()) {
        planned.changedSinceRead = false;
        for (size_t k = 0; k < planned.files.size(); ++k)
          planned.changedSinceRead = planned.changedSinceRead || planned.files[k].bytes != asRead->second[k];
      }
    }
    plan.parts.push_back(std::move(planned));
  }
  return plan;
}

SavePlan PlanFiles(const std::string& name, std::vector<FileWrite> files, const std::vector<FileWarning>& damage) {
  PlannedPart planned;
  planned.name = name;
  std::vector<std::string> names;
  for (FileWrite& f : files) {
    names.push_back(FileName(f.path));
    planned.files.push_back(Compare(std::move(f.path), std::move(f.bytes)));
  }
  planned.damage = DamageOf(damage, names);
  SavePlan plan;
  plan.parts.push_back(std::move(planned));
  return plan;
}

std::string SavePlanText(const SavePlan& plan) {
  std::string text;
  std::vector<std::string> left;
  for (const PlannedPart& part : plan.parts) {
    if (part.damaged() && !part.needsAnswer()) {
      for (const std::string& name : PartFileNames(part)) left.push_back(name);
      continue;
    }
    if (!part.changes()) continue;
    for (const PlannedFile& f : part.files) {
      if (f.change == FileChange::Same) continue;
      const FileLoss loss = part.loss();
      if (part.damaged())
        text += "\n" + FormatInterfaceString(Str::SavePlanDamagedFile, FileName(f.path), loss.entries, loss.bytes);
      else if (f.change == FileChange::New)
        text += "\n" + FormatInterfaceString(Str::SavePlanNewFile, FileName(f.path), f.bytes.size());
      else
        text += "\n" + FormatInterfaceString(Str::SavePlanChangedFile, FileName(f.path), f.bytes.size(), f.bytesOnDisk);
    }
  }
  std::string out =
      text.empty() ? FormatInterfaceString(Str::SavePlanNothing) : FormatInterfaceString(Str::SavePlanHeading) + text;
  if (!left.empty()) out += "\n" + FormatInterfaceString(Str::SavePlanLeftFiles, JoinNames(left));
  if (!text.empty()) out += "\n" + FormatInterfaceString(Str::SavePlanAsk);
  return out;
}

std::string DamageQuestionText(const PlannedPart& part) {
  std::string messages;
  for (const FileWarning& w : part.damage) messages += (messages.empty() ? "" : "\n") + w.message;
  const FileLoss loss = part.loss();
  return FormatInterfaceString(Str::DamageQuestion, JoinNames(PartFileNames(part)), messages, loss.entries, loss.bytes);
}

std::string LeftDamagedText(const std::vector<std::string>& files) {
  return FormatInterfaceString(Str::DamagedLeftUnsaved, JoinNames(files));
}

Result<SaveOutcome> CarryOutSave(EditorState& state, const SavePlan& plan) {
  SaveOutcome outcome;
  std::vector<FileWrite> writes;
  for (const PlannedPart& part : plan.parts) {
    if (part.needsAnswer() && !part.overwriteDamaged)
      for (const std::string& name : PartFileNames(part)) outcome.leftWithChanges.push_back(name);
    if (!part.writes()) continue;
    for (const PlannedFile& f : part.files) {
      if (f.change == FileChange::Same) continue;
      writes.push_back(FileWrite{f.path, f.bytes, part.damaged()});
      outcome.written.push_back(f.path);
    }
  }
  if (!writes.empty())
    if (Status written = WriteFilesAtomic(writes); !written) return written.passError();
  // The state takes what lies on disk now as its saved point: the parts
  // written, and those whose files were already as they would be written.
  for (const PlannedPart& part : plan.parts) {
    if (!part.part || part.files.empty() || (part.damaged() && !part.writes())) continue;
    std::vector<Bytes> bytes;
    for (const PlannedFile& f : part.files) bytes.push_back(f.bytes);
    part.part->written(state, bytes);
    if (part.damaged()) {
      // The files now hold what the state holds: no longer damaged.
      auto& damaged = state.game.damagedFiles;
      damaged.erase(std::remove_if(damaged.begin(), damaged.end(),
                                   [&](const FileWarning& w) {
                                     return std::any_of(part.damage.begin(), part.damage.end(),
                                                        [&](const FileWarning& d) { return d.file == w.file; });
                                   }),
                    damaged.end());
      state.game.damagedAsRead.erase(part.name);
    }
  }
  return outcome;
}

void RememberDamagedParts(EditorState& state) {
  state.game.damagedAsRead.clear();
  for (const SavePart& part : SaveParts()) {
    std::vector<std::string> names;
    for (const char* name : part.files) names.push_back(FileName(GameFilePath(state, name)));
    if (!DamageOf(state.game.damagedFiles, names).empty())
      state.game.damagedAsRead.emplace(part.name, part.encode(state));
  }
}

Status SaveGameFiles(EditorState& state) {
  // No questions: a part read with damage is left as it lies.
  Result<SaveOutcome> saved = CarryOutSave(state, PlanSave(state));
  if (!saved) return saved.passError();
  return Ok();
}

}  // namespace tavrel
