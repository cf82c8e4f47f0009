#pragma once
// The editing commands of the main window, as functions over EditorState and
// the window's selection. The window gathers the selection and the texts,
// asks the questions, calls these and refreshes its lists.
//
// Selection conventions: `event` is the position in the event selector (-1:
// none); `line` is a line of the instruction list, counting from 0, so line i
// is statement i + 1 of the 1-based statement list, i.e. statements[line]; -1: none.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "app/editor_state.h"
#include "script/decode.h"

namespace tavrel {

// ---- Lists -----------------------------------------------------------------

// Decodes the event as ChooseEvent does and returns its lines, one per
// statement (the notes). Out of range: empty.
struct ShownEvent {
  std::vector<std::string> lines;
  DecodeReport report;
};
ShownEvent ShowEventLines(EditorState& state, int32_t event);
// The same decoding without copying the lines: they are the notes of the
// event's statements. Out of range: nothing, a report of 0.
// Choosing decodes the event afresh from its words with its labels numbered
// from :Label0, so coming back to an event shows the labels it showed
// before; statement edits not yet committed are dropped (the window asks
// first, HasUncommittedEdits).
DecodeReport ChooseEvent(EditorState& state, int32_t event);
// Whether the event's statements hold edits its words do not: a changed,
// removed or added instruction not yet committed (CommitEvent). False for
// an event never shown and for one out of range.
bool HasUncommittedEdits(const EditorState& state, int32_t event);
// The current notes of an event's statements, without decoding again.
std::vector<std::string> InstructionLines(const EditorState& state, int32_t event);
// The words of a statement as the word list shows them: Id, then data 0 ..
// DataNum - 1, signed decimal. Empty for a label.
std::vector<std::string> WordLines(const Statement& statement);
// A dialogue selector item: "i:" followed by the text.
std::string TalkItem(const EditorState& state, int32_t index);
// The event at position `event` of the selector, or nullptr.
KdefEvent* EventAt(EditorState& state, int32_t event);
const KdefEvent* EventAt(const EditorState& state, int32_t event);
// The statement at `line` of `event`, or nullptr.
Statement* StatementAt(EditorState& state, int32_t event, int line);

// The rule of every delete of a numbered list (events, dialogues): only its
// last entry can go, so no other entry's number, which the game's data
// refers to, changes.
inline bool IsLastEntry(int32_t index, int32_t count) { return index >= 0 && index + 1 == count; }

// ---- Event commands ----------------------------------------------------------

// Appends an event of the two words 0, -1. Returns its number; `message` gets
// S308 + number + S134.
int32_t AddEvent(EditorState& state, std::string* message = nullptr);
// After the user confirmed S129: removes the last event when `event` is the
// last one. Otherwise an error with the text S130 and nothing changes.
Status DeleteLastEvent(EditorState& state, int32_t event);
// Modify event: commits the statement list into the words. Negative: nothing.
void CommitEvent(EditorState& state, int32_t event);

// ---- Clipboard -----------------------------------------------------------------

// Copies the statements of the selected lines, in line order. With no line
// selected nothing changes and false is returned.
bool CopyInstructions(EditorState& state, int32_t event, std::span<const int> selectedLines);
// Copies every statement of the event.
void CopyWholeEvent(EditorState& state, int32_t event);
// Inserts the instruction clipboard before `line`, re-lays out and commits.
// Nothing (report with 0) when line < 0 or the clipboard was never filled.
DecodeReport PasteInstructions(EditorState& state, int32_t event, int line);
// After the user answered Yes to S319: replaces the statements by the event
// clipboard, re-lays out and commits.
DecodeReport PasteWholeEvent(EditorState& state, int32_t event);

// ---- Instruction commands --------------------------------------------------------

// Parses a word typed by the user: a decimal number in -32768 .. 32767.
Result<int16_t> ParseWord(const std::string& text);
// Modify instruction: `words` are the word list's lines (Id, then data). Every
// entry is checked first; a bad one refuses the command with a message naming
// it and leaves the statement unchanged. DataNum never changes; then re-layout.
Result<DecodeReport> ModifyInstruction(EditorState& state, int32_t event, int line, std::span<const std::string> words);

enum class DeleteOutcome {
  Nothing,        // no selection, or the event's only line
  Deleted,        // the statement (and the empty block's label) removed
  IsLabel,        // a label cannot be deleted (S132)
  BlockNotEmpty,  // a conditional whose block holds instructions (S133)
};
// Whether the delete question should be asked at all (false for no selection
// or a one-line event), and its text: S131 followed by the statement's note.
bool DeleteQuestion(const EditorState& state, int32_t event, int line, std::string* text);
// After the user confirmed: removes the statement; no re-layout, no commit.
DeleteOutcome DeleteInstruction(EditorState& state, int32_t event, int line);

// The entries of the insert dialog: 0 .. 67 "v(HEX)：name", 68 "-1：" + S1006.
std::vector<std::string> InsertChoices(const EditorState& state);
inline constexpr int kInsertEndEntry = 68;
// Whether choosing `entry` shows the jump-direction frame (conditional exactly 1).
bool InsertShowsJumpChoice(const EditorState& state, int entry);
// Inserts the chosen entry before `line` (a jump block around an empty
// statement for a conditional: `jumpWhenYes` picks yes or no), then re-lays
// out. The insert command commits afterwards (CommitEvent).
DecodeReport InsertInstruction(EditorState& state, int32_t event, int line, int entry, bool jumpWhenYes);

// ---- Dialogue commands -------------------------------------------------------------

// Appends a dialogue with the placeholder S123; returns its number; `message`
// gets S124 + number + S125.
int32_t AddDialogue(EditorState& state, std::string* message = nullptr);
// Stores the text exactly as typed. Out of range: nothing.
void StoreDialogue(EditorState& state, int32_t index, const std::string& text);
// After the user confirmed S120: removes the last entry when `index` is it;
// otherwise an error with S122 and nothing changes.
Status DeleteLastDialogue(EditorState& state, int32_t index);
// The dialogue position to choose after the list was refreshed with `remembered`.
int32_t DialoguePositionAfterRefresh(const EditorState& state, int32_t remembered);

}  // namespace tavrel
