// Undo and redo over the sample game: random command sequences taken back
// and made again, checked against a replay of the commands from the start.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/dialogue_text.h"
#include "app/history.h"
#include "app/portrait_replace.h"
#include "app/script_folder.h"
#include "sample_test_support.h"

namespace tavrel::testing {
namespace {

// What the saved files hold: every event's words and the dialogue files' bytes.
struct Saved {
  std::vector<std::vector<int16_t>> words;
  Bytes talkIdx;
  Bytes talkGrp;
  bool operator==(const Saved&) const = default;
};

Saved SavedOf(const EditorState& state) {
  Saved saved;
  for (const KdefEvent& e : state.game.events.events) saved.words.emplace_back(e.words.begin(), e.words.end());
  EncodeTalk(state.game.talk, state.text(), saved.talkIdx, saved.talkGrp);
  return saved;
}

enum class Kind {
  AddEvent,
  DeleteLastEvent,
  WordEdit,        // modify instruction with one word changed
  WordEditCommit,  // the same, then modify event
  Commit,
  Insert,
  DeleteInstruction,
  PasteInstructions,
  PasteEvent,
  AddDialogue,
  ModifyDialogue,
  DeleteLastDialogue,
  ReplacePortrait,
  ImportScripts,   // the event scripts of the game as it was read
  ImportDialogue,  // the dialogue file of the game as it was read
  Count
};

// Where the fixture exported the game as read.
std::filesystem::path gScripts;
std::filesystem::path gDialogue;

// One command with everything it needs, chosen once and replayed as is.
struct Command {
  Kind kind;
  int32_t event = -1;
  int line = -1;
  int value = 0;
};

// Runs `command` as the main window does: choosing the event (not a step;
// it decodes the event from its words), then the command inside its step.
// Without `choose` the event is taken as shown already.
void RunCommand(EditorState& state, const Command& c, bool choose = true) {
  if (choose && c.event >= 0 && c.kind != Kind::ReplacePortrait) ChooseEvent(state, c.event);
  const StepPlace place{c.event, c.line, -1};
  switch (c.kind) {
    case Kind::AddEvent: {
      StepRecorder step(state, kStepAddEvent, place);
      AddEvent(state);
      break;
    }
    case Kind::DeleteLastEvent: {
      StepRecorder step(state, kStepDeleteEvent, place);
      step.TouchEvent(c.event);
      if (!DeleteLastEvent(state, c.event)) step.Cancel();
      break;
    }
    case Kind::WordEdit:
    case Kind::WordEditCommit: {
      StepRecorder step(state, kStepModifyInstruction, place, kMergeWordEdits);
      step.TouchEvent(c.event);
      const Statement* s = StatementAt(state, c.event, c.line);
      if (s == nullptr) break;
      std::vector<std::string> words = WordLines(*s);
      if (words.size() > 1) words[1] = std::to_string(c.value);
      (void)ModifyInstruction(state, c.event, c.line, words);
      if (c.kind == Kind::WordEditCommit) CommitEvent(state, c.event);
      break;
    }
    case Kind::Commit: {
      StepRecorder step(state, kStepModifyEvent, place);
      step.TouchEvent(c.event);
      CommitEvent(state, c.event);
      break;
    }
    case Kind::Insert: {
      StepRecorder step(state, kStepInsertInstruction, place);
      step.TouchEvent(c.event);
      InsertInstruction(state, c.event, c.line, c.value, c.value % 2 == 0);
      CommitEvent(state, c.event);
      break;
    }
    case Kind::DeleteInstruction: {
      StepRecorder step(state, kStepDeleteInstruction, place);
      step.TouchEvent(c.event);
      DeleteInstruction(state, c.event, c.line);
      break;
    }
    case Kind::PasteInstructions: {
      const int lines[] = {c.line};
      CopyInstructions(state, c.value, lines);  // copied from the event `value` was chosen as
      StepRecorder step(state, kStepPasteInstructions, place);
      step.TouchEvent(c.event);
      PasteInstructions(state, c.event, c.line);
      break;
    }
    case Kind::PasteEvent: {
      ChooseEvent(state, c.value);
      CopyWholeEvent(state, c.value);
      StepRecorder step(state, kStepPasteEvent, place);
      step.TouchEvent(c.event);
      PasteWholeEvent(state, c.event);
      break;
    }
    case Kind::AddDialogue: {
      StepRecorder step(state, kStepAddDialogue, place);
      AddDialogue(state);
      break;
    }
    case Kind::ModifyDialogue: {
      StepRecorder step(state, kStepModifyDialogue, place);
      step.TouchDialogue(c.line);
      StoreDialogue(state, c.line, "改" + std::to_string(c.value));
      break;
    }
    case Kind::DeleteLastDialogue: {
      StepRecorder step(state, kStepDeleteDialogue, place);
      step.TouchDialogue(c.line);
      if (!DeleteLastDialogue(state, c.line)) step.Cancel();
      break;
    }
    case Kind::ReplacePortrait: {
      StepRecorder step(state, kStepReplacePortrait, StepPlace{});
      step.TouchAllEvents();
      ReplacePortrait(state, c.line, c.value);
      break;
    }
    case Kind::ImportScripts: {
      StepRecorder step(state, kStepImportScript, StepPlace{});
      step.TouchAllEvents();
      step.TouchAllDialogue();
      if (!ImportScriptFolder(state, gScripts)) step.Cancel();
      break;
    }
    case Kind::ImportDialogue: {
      StepRecorder step(state, kStepImportDialogue, place);
      step.TouchAllDialogue();
      if (!ImportDialogueFile(state, gDialogue)) step.Cancel();
      break;
    }
    case Kind::Count:
      break;
  }
}

// A random command valid on the state as it is.
Command Choose(EditorState& state, std::mt19937& random) {
  auto pick = [&random](int n) { return n <= 0 ? 0 : static_cast<int>(random() % static_cast<unsigned>(n)); };
  Command c{static_cast<Kind>(pick(static_cast<int>(Kind::Count)))};
  const int32_t events = state.eventCount();
  c.event = pick(events);
  ChooseEvent(state, c.event);
  const int lines = static_cast<int>(EventAt(state, c.event)->statements.size());
  c.line = pick(lines);
  c.value = pick(200) - 100;
  switch (c.kind) {
    case Kind::DeleteLastEvent:
      c.event = events - 1;
      break;
    case Kind::Insert:
      c.value = pick(kInsertEndEntry + 1);
      break;
    case Kind::PasteInstructions:
    case Kind::PasteEvent:
      c.value = pick(events);
      if (c.kind == Kind::PasteInstructions) c.value = c.event;
      break;
    case Kind::ModifyDialogue:
      c.line = pick(state.talkCount());
      break;
    case Kind::DeleteLastDialogue:
      c.line = state.talkCount() - 1;
      break;
    case Kind::ReplacePortrait:
      c.line = pick(static_cast<int>(state.game.portraits.size()));
      c.value = pick(static_cast<int>(state.game.portraits.size()));
      break;
    default:
      break;
  }
  return c;
}

class UndoHistory : public ::testing::Test {
 protected:
  void SetUp() override {
    ReadSampleGame(state, GameCharset::Gbk, dir.path());
    gScripts = texts.path() / "scripts";
    gDialogue = texts.path() / "dialogue.txt";
    ASSERT_TRUE(ExportScriptFolder(state, gScripts));
    ASSERT_TRUE(ExportDialogueFile(state, gDialogue));
  }
  // An event with two instructions that have parameter words; their lines.
  struct Editable {
    int32_t event = -1;
    int first = -1;
    int second = -1;
  };
  Editable FindEditable() {
    for (int32_t e = 0; e < state.eventCount(); ++e) {
      ChooseEvent(state, e);
      Editable found{e};
      const std::vector<Statement>& list = EventAt(state, e)->statements;
      for (int k = 0; k < static_cast<int>(list.size()); ++k) {
        if (list[size_t(k)].islabel || list[size_t(k)].DataNum < 1 || list[size_t(k)].isGoto != 0) continue;
        (found.first < 0 ? found.first : found.second) = k;
        if (found.second >= 0) return found;
      }
    }
    ADD_FAILURE() << "no event with two instructions with words";
    return {};
  }
  void Fresh(EditorState& other) { ReadSampleGame(other, GameCharset::Gbk, dir.path()); }

  SampleGameDir dir;
  ScratchDir texts;
  EditorState state;
};

TEST_F(UndoHistory, RandomSequencesUndoneGiveTheStartAndRedoneGiveTheEnd) {
  const Saved start = SavedOf(state);
  for (unsigned seed = 1; seed <= 6; ++seed) {
    std::mt19937 random(seed);
    state.history.Clear();
    const size_t length = 20 + random() % 181;
    for (size_t k = 0; k < length; ++k) RunCommand(state, Choose(state, random));
    const Saved end = SavedOf(state);
    const size_t steps = state.history.position();
    ASSERT_GT(steps, length / 3) << seed;

    while (state.history.Undo(state)) {
    }
    EXPECT_TRUE(SavedOf(state) == start) << "seed " << seed;
    EXPECT_EQ(state.eventCount(), static_cast<int32_t>(start.words.size()));
    EXPECT_FALSE(state.modified);

    while (state.history.Redo(state)) {
    }
    EXPECT_EQ(state.history.position(), steps);
    EXPECT_TRUE(SavedOf(state) == end) << "seed " << seed;
    EXPECT_EQ(state.modified, !(end == start));
    while (state.history.Undo(state)) {
    }
  }
}

TEST_F(UndoHistory, InterleavedUndoRedoAgreesWithReplayingTheLiveCommands) {
  for (unsigned seed = 11; seed <= 13; ++seed) {
    std::mt19937 random(seed);
    EditorState run;
    Fresh(run);
    // The commands of every step, grouped by step; `live` of them are in effect.
    std::vector<std::vector<Command>> done;
    size_t live = 0;
    for (int action = 0; action < 120; ++action) {
      const unsigned roll = random() % 10;
      if (roll < 2 && live > 0) {
        ASSERT_TRUE(run.history.Undo(run));
        --live;
      } else if (roll < 3 && live < done.size()) {
        ASSERT_TRUE(run.history.Redo(run));
        ++live;
      } else {
        const Command c = Choose(run, random);
        const size_t position = run.history.position();
        RunCommand(run, c);
        if (run.history.position() > position) {
          done.resize(live);
          done.push_back({c});
        } else if (live > 0) {
          // Joined the step before (the redo steps are then gone), or
          // changed nothing, which replays as nothing too.
          if (run.history.size() == position) done.resize(live);
          done[live - 1].push_back(c);
        }
        live = run.history.position();
      }
      ASSERT_EQ(run.history.position(), live);
      if (action % 10 != 9) continue;
      EditorState model;
      Fresh(model);
      for (size_t k = 0; k < live; ++k)
        for (const Command& c : done[k]) RunCommand(model, c);
      ASSERT_TRUE(SavedOf(run) == SavedOf(model)) << "seed " << seed << " action " << action;
    }
  }
}

// The unsaved mark follows the saved point through undo and redo.
TEST_F(UndoHistory, UnsavedMarkFollowsTheSavedPoint) {
  const Editable at = FindEditable();
  RunCommand(state, Command{Kind::WordEditCommit, at.event, at.first, 30001});
  EXPECT_TRUE(state.modified);
  state.history.MarkClean();
  state.modified = false;
  RunCommand(state, Command{Kind::AddDialogue});
  EXPECT_TRUE(state.modified);
  state.history.Undo(state);
  EXPECT_FALSE(state.modified);  // back at the saved state
  state.history.Undo(state);
  EXPECT_TRUE(state.modified);  // before the saved state
  state.history.Redo(state);
  EXPECT_FALSE(state.modified);
  state.history.Redo(state);
  EXPECT_TRUE(state.modified);

  // A step that changes only a statement list leaves the mark as it was.
  state.history.Undo(state);
  RunCommand(state, Command{Kind::WordEdit, at.event, at.second, 30002});
  EXPECT_EQ(state.history.position(), 2u);
  EXPECT_FALSE(state.modified);
  // A new step after undoing past the saved point leaves it unreachable.
  state.history.Undo(state);
  state.history.Undo(state);
  RunCommand(state, Command{Kind::AddEvent, 0});
  EXPECT_TRUE(state.modified);
  while (state.history.Undo(state)) {
  }
  EXPECT_TRUE(state.modified);
}

TEST_F(UndoHistory, WordEditsOfOneStatementJoinAndUndoShowsTheStatementsAsTheyWere) {
  const Editable at = FindEditable();
  const int32_t event = at.event;
  ChooseEvent(state, event);
  const std::vector<Statement> shown = EventAt(state, event)->statements;
  const std::vector<int16_t> words(EventAt(state, event)->words.begin(), EventAt(state, event)->words.end());
  for (int v = 1; v <= 5; ++v) RunCommand(state, Command{Kind::WordEdit, event, at.first, 30000 + v}, false);
  EXPECT_EQ(state.history.size(), 1u);
  RunCommand(state, Command{Kind::WordEdit, event, at.second, 30010}, false);  // another statement: a step of its own
  EXPECT_EQ(state.history.size(), 2u);
  EXPECT_EQ(state.history.UndoCaption(), kStepModifyInstruction);

  ChooseEvent(state, event == 0 ? 1 : 0);  // choosing another event is no step
  EXPECT_EQ(state.history.size(), 2u);
  state.history.Undo(state);
  const std::optional<StepPlace> where = state.history.Undo(state);
  ASSERT_TRUE(where);
  EXPECT_EQ(where->event, event);
  EXPECT_EQ(where->line, at.first);
  const KdefEvent& restored = *EventAt(state, event);
  ASSERT_EQ(restored.statements.size(), shown.size());
  for (size_t k = 0; k < shown.size(); ++k) {
    EXPECT_EQ(restored.statements[k].note, shown[k].note) << k;
    EXPECT_EQ(restored.statements[k].data, shown[k].data) << k;
  }
  EXPECT_EQ(restored.words, words);
}

TEST_F(UndoHistory, APortraitReplacementKeepsOnlyTheEventsItChanged) {
  const Saved start = SavedOf(state);
  // The portrait the most dialogue instructions show.
  int32_t portrait = 0;
  int32_t most = 0;
  for (int32_t p = 0; p < static_cast<int32_t>(state.game.portraits.size()); ++p)
    if (int32_t n = CountPortraitUses(state, p).dialogues; n > most) most = n, portrait = p;
  ASSERT_GT(most, 0);
  size_t all = 0;
  for (const KdefEvent& e : state.game.events.events) all += e.words.size() * 2 + e.statements.size() * 64;

  RunCommand(state, Command{Kind::ReplacePortrait, -1, portrait, portrait == 0 ? 1 : 0});
  size_t changed = 0;
  const Saved after = SavedOf(state);
  for (size_t e = 0; e < after.words.size(); ++e) changed += after.words[e] != start.words[e] ? 1 : 0;
  ASSERT_GT(changed, 0u);
  ASSERT_LT(changed, after.words.size());
  EXPECT_LT(state.history.bytes(), all);

  state.history.Undo(state);
  EXPECT_TRUE(SavedOf(state) == start);
  state.history.Redo(state);
  EXPECT_TRUE(SavedOf(state) == after);
}

TEST_F(UndoHistory, UndoneDialogueSavesItsOriginalBytes) {
  ASSERT_GT(state.talkCount(), 3);
  const Saved start = SavedOf(state);
  RunCommand(state, Command{Kind::ModifyDialogue, -1, 2, 5});
  RunCommand(state, Command{Kind::DeleteLastDialogue, -1, state.talkCount() - 1});
  RunCommand(state, Command{Kind::AddDialogue});
  EXPECT_FALSE(SavedOf(state) == start);
  while (state.history.Undo(state)) {
  }
  EXPECT_TRUE(state.game.talk.entries[2].text.readBytes().size() > 0);
  EXPECT_FALSE(state.game.talk.entries[2].text.assigned());
  EXPECT_TRUE(SavedOf(state) == start);
}

TEST_F(UndoHistory, AnImportIsOneStepThatUndoesEveryChangeItMade) {
  const Saved start = SavedOf(state);
  for (int32_t e = 0; e < 3; ++e) RunCommand(state, Command{Kind::Insert, e, 0, 2});
  RunCommand(state, Command{Kind::ModifyDialogue, -1, 1, 7});
  const Saved edited = SavedOf(state);
  const size_t steps = state.history.size();
  RunCommand(state, Command{Kind::ImportScripts});
  RunCommand(state, Command{Kind::ImportDialogue});
  EXPECT_EQ(state.history.size(), steps + 2);
  EXPECT_TRUE(SavedOf(state) == start);
  state.history.Undo(state);
  state.history.Undo(state);
  EXPECT_TRUE(SavedOf(state) == edited);
  state.history.Redo(state);
  state.history.Redo(state);
  EXPECT_TRUE(SavedOf(state) == start);
}

}  // namespace
}  // namespace tavrel::testing
