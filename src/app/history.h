#pragma once
// Undo and redo over the editor's tables. A step keeps only what it changed:
// the touched events (words, statement list, label counter) and the touched
// dialogue entries, as they were on the other side of the step. Undoing a
// step swaps what it keeps with the state, so the same record then serves the
// redo. The history knows the step that matches the saved files, so the
// unsaved-changes mark follows undo and redo.
//
// Recording: a StepRecorder is opened before a command runs and told which
// events and dialogue entries the command may change; closing it compares
// them with what they became and pushes a step when anything changed.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "gamefiles/alldef.h"
#include "gamefiles/pictures.h"
#include "gamefiles/talk.h"
#include "gamefiles/war_sta.h"
#include "script/event.h"

namespace tavrel {

struct EditorState;

// The interface strings naming the steps.
inline constexpr int kStepAddEvent = 20403;
inline constexpr int kStepDeleteEvent = 20404;
inline constexpr int kStepModifyEvent = 20405;
inline constexpr int kStepPasteInstructions = 20406;
inline constexpr int kStepPasteEvent = 20407;
inline constexpr int kStepModifyInstruction = 20408;
inline constexpr int kStepInsertInstruction = 20409;
inline constexpr int kStepDeleteInstruction = 20410;
inline constexpr int kStepInstructionDialog = 20411;
inline constexpr int kStepAddDialogue = 20412;
inline constexpr int kStepModifyDialogue = 20413;
inline constexpr int kStepDeleteDialogue = 20414;
inline constexpr int kStepReplacePortrait = 20415;
inline constexpr int kStepImportScript = 20416;
inline constexpr int kStepImportDialogue = 20417;
inline constexpr int kStepApplyBattle = 20418;
inline constexpr int kStepAddBattle = 20419;
inline constexpr int kStepDeleteBattle = 20420;
inline constexpr int kStepDiscardEdits = 21303;
// Word edits of one statement join into one step.
inline constexpr int kMergeWordEdits = 1;

// Where a step was made: the chosen event, line of the instruction list and
// dialogue entry (-1: none), to be chosen again after undo and redo.
struct StepPlace {
  int32_t event = -1;
  int line = -1;
  int32_t dialogue = -1;
  int32_t scene = -1;  // an object edit's scene and object
  int32_t object = -1;
};

// One side of a step: the number of events and of dialogue entries, the
// touched ones (by index) and, when they differ, the offset lists and the
// label counters of every event.
struct StepSide {
  int32_t eventCount = 0;
  std::vector<std::pair<int32_t, KdefEvent>> events;
  std::optional<std::vector<int32_t>> eventOffsets;
  std::optional<std::vector<int32_t>> labelCounters;
  int32_t talkCount = 0;
  std::vector<std::pair<int32_t, TalkEntry>> talk;
  std::optional<std::vector<int32_t>> talkOffsets;
  int32_t portraitCount = 0;
  std::vector<std::pair<int32_t, RlePicture>> portraits;
  int32_t sceneCount = 0;  // object tables of scenes
  std::vector<std::pair<int32_t, SceneTable>> scenes;
};

struct HistoryStep {
  int caption = 0;  // interface string number naming the step
  StepPlace place;
  bool changesFiles = false;  // the words or the dialogue changed, not only a statement list
  int mergeKey = 0;           // non-zero: a following step with the same key and place joins this one
  StepSide other;             // the state on the other side of the step
  size_t bytes() const;       // memory the step holds
};

class History {
 public:
  // Forgets every step; the current state is the saved one.
  void Clear();
  // The current state is the one on disk.
  void MarkClean();
  // Whether the state differs from the saved files in words or dialogue.
  bool Modified() const;

  bool CanUndo() const { return position_ > 0; }
  bool CanRedo() const { return position_ < steps_.size(); }
  // The caption number of the step an undo or redo would take back or make.
  int UndoCaption() const { return CanUndo() ? steps_[position_ - 1].caption : 0; }
  int RedoCaption() const { return CanRedo() ? steps_[position_].caption : 0; }
  size_t size() const { return steps_.size(); }
  size_t position() const { return position_; }
  // Memory held by every step.
  size_t bytes() const;
  // Changes with every step pushed, undone or redone and every Clear, so a
  // window can tell that what it found in the tables may be out of date.
  uint64_t revision() const { return revision_; }

  // Takes back the last step; returns where it was made, nothing when there
  // was nothing to undo. state.modified follows.
  std::optional<StepPlace> Undo(EditorState& state);
  std::optional<StepPlace> Redo(EditorState& state);

  // Adds a finished step after the current position, dropping the redo steps.
  void Push(EditorState& state, HistoryStep step);

 private:
  std::vector<HistoryStep> steps_;
  // changed_[k]: steps 0 .. k-1 that change the files; size steps_.size() + 1.
  std::vector<size_t> changed_{0};
  size_t position_ = 0;
  std::optional<size_t> clean_ = 0;  // nothing when the saved state was dropped from the history
  uint64_t revision_ = 0;
};

class StepRecorder {
 public:
  // Opens a step named by interface string `caption` on the state's history.
  StepRecorder(EditorState& state, int caption, StepPlace place, int mergeKey = 0);
  StepRecorder(const StepRecorder&) = delete;
  StepRecorder& operator=(const StepRecorder&) = delete;
  // Closes the step unless Finish or Cancel already did.
  ~StepRecorder();

  // The command may change event `event` (an existing one; events appended or
  // removed at the end are found by the count).
  void TouchEvent(int32_t event);
  // The command may change any event: only those whose words changed are
  // kept, with the chosen one and every event's label counter. A step over
  // every event that changed no words and no dialogue is dropped.
  void TouchAllEvents();
  void TouchDialogue(int32_t entry);
  void TouchAllDialogue();
  // The command may change portrait `number` (pictures appended at the end
  // are found by the count).
  void TouchPortrait(int32_t number);
  // The command may change the object table of scene `scene`.
  void TouchScene(int32_t scene);

  // Compares and pushes the step; true when something changed.
  bool Finish();
  // The command changed nothing: no step.
  void Cancel();

 private:
  EditorState& state_;
  HistoryStep step_;
  // The offset lists as they were: whole for a step over every event or
  // entry, else their size and last values (the commands on one item change
  // only the end of the lists).
  struct Offsets {
    size_t size = 0;
    std::vector<int32_t> tail;
    bool whole = false;
  };
  Offsets eventOffsets_;
  Offsets talkOffsets_;
  bool allEvents_ = false;
  bool allTalk_ = false;
  bool open_ = true;
};

// The battle editor's own history over the battle list it holds before its
// save: each step keeps the whole list of the other side (a few hundred
// records at most) and the battle chosen when it was made.
class BattleHistory {
 public:
  void Clear() {
    steps_.clear();
    position_ = 0;
  }
  // Before a command: the list as it is now; Commit keeps it when the command changed it.
  void Begin(const std::vector<BattleRecord>& battles, int caption, int chosen);
  void Commit(const std::vector<BattleRecord>& battles);
  bool CanUndo() const { return position_ > 0; }
  bool CanRedo() const { return position_ < steps_.size(); }
  int UndoCaption() const { return CanUndo() ? steps_[position_ - 1].caption : 0; }
  int RedoCaption() const { return CanRedo() ? steps_[position_].caption : 0; }
  // Returns the battle to choose, nothing when there was no step.
  std::optional<int> Undo(std::vector<BattleRecord>& battles);
  std::optional<int> Redo(std::vector<BattleRecord>& battles);

 private:
  struct Step {
    int caption = 0;
    int chosen = -1;
    std::vector<BattleRecord> other;
  };
  std::vector<Step> steps_;
  size_t position_ = 0;
  std::optional<Step> pending_;
};

}  // namespace tavrel
