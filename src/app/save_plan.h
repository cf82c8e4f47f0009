#pragma once
// The save plan: every file a save will write, as it will write it, worked
// out before anything is written, so that the question the user answers
// lists exactly what happens. A save writes only files whose bytes change,
// and never a file that was read with damage unless the user agreed to lose
// what its read could not get.
//
// Each part of the game a save can write is one row of SaveParts(); a new
// file kind joins every save (the window's and the tool's) by adding its row.
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "gamefiles/file_io.h"

namespace tavrel {

struct EditorState;

// One part of the game a save writes as a whole: files written together from
// one table of the state.
struct SavePart {
  const char* name;                // "talk", how plans and the tool name the part
  std::vector<const char*> files;  // as the game names them, found case-insensitively
  // Whether the state has anything of this part to write: a part that was
  // not read (and not added to) or that is as it was read has not.
  bool (*toWrite)(const EditorState& state);
  // The files' new bytes, in the order of `files`.
  std::vector<Bytes> (*encode)(const EditorState& state);
  // After the part was written: the state takes the written bytes as its
  // saved point (offsets, the saved pictures and tables).
  void (*written)(EditorState& state, const std::vector<Bytes>& bytes);
};

// Every part, in the order a save writes them.
std::span<const SavePart> SaveParts();
const SavePart* FindSavePart(std::string_view name);

// How a planned file compares with the file on disk.
enum class FileChange { New, Changed, Same };

struct PlannedFile {
  std::filesystem::path path;
  Bytes bytes;
  FileChange change = FileChange::Same;
  uint64_t bytesOnDisk = 0;
};

struct PlannedPart {
  std::string name;  // the part's, or the files' (a plan of loose files)
  const SavePart* part = nullptr;
  std::vector<PlannedFile> files;
  // The damage records of the part's files: read with damage, so writing
  // them loses what the records say.
  std::vector<FileWarning> damage;
  // For a damaged part: whether its table differs from what the read got
  // (else there is nothing of the user's to write, and the part is left).
  bool changedSinceRead = true;
  // The user's answer to the damage question: write it all the same.
  bool overwriteDamaged = false;

  bool changes() const;  // some file's bytes would change
  bool damaged() const { return !damage.empty(); }
  FileLoss loss() const;  // over every damage record
  // A damaged part with the user's changes: only written after a yes.
  bool needsAnswer() const { return damaged() && changedSinceRead && changes(); }
  bool writes() const { return changes() && (!damaged() || (changedSinceRead && overwriteDamaged)); }
};

struct SavePlan {
  std::vector<PlannedPart> parts;

  bool writesAnything() const;
  bool needsAnswers() const;
};

// The plan of every part of SaveParts() the state has something of to write,
// or only of the parts named in `only`.
SavePlan PlanSave(const EditorState& state, std::span<const std::string_view> only = {});
// A plan for files that belong to no part of the state (a picture set the
// tool imports): `damage` are the warnings of reading them.
SavePlan PlanFiles(const std::string& name, std::vector<FileWrite> files, const std::vector<FileWarning>& damage);

// The save question: the files the save writes (new, changed, the damaged
// ones with what is lost), the damaged ones it leaves, then "Save?". When
// nothing would be written, the sentence that says so.
std::string SavePlanText(const SavePlan& plan);
// The question for a damaged part: names its files, says what the read
// could not get and what writing them loses, and that No leaves them.
std::string DamageQuestionText(const PlannedPart& part);
// The line that names the damaged parts a save left with the user's changes.
std::string LeftDamagedText(const std::vector<std::string>& files);

struct SaveOutcome {
  std::vector<std::filesystem::path> written;
  // Files of damaged parts that held the user's changes and were left as
  // they lie (the question was answered no): the state still holds changes
  // the disk does not.
  std::vector<std::string> leftWithChanges;
};
// Writes every file of the parts that write (SavePlan::writes), as one group:
// all replaced or, on any failure, all as they were, and the state as it
// was. Files whose bytes would not change are not written.
Result<SaveOutcome> CarryOutSave(EditorState& state, const SavePlan& plan);

// After a read: keeps, for each part read with damage, its files as the save
// would write them now (GameData::damagedAsRead).
void RememberDamagedParts(EditorState& state);

// Whether `file` (a name as it lies in the directory) names `gameName`,
// letter case aside.
bool SameGameFileName(std::string_view file, std::string_view gameName);

}  // namespace tavrel
