#pragma once
// The instruction dialogs as data: one catalogue row per edited word, grouped
// by dialog, and the functions that turn a statement's words into what the
// dialog's controls show and the controls' state back into words. The
// windows only build controls from the rows and move values in and out.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/editor_state.h"

namespace tavrel {

// How a word is shown.
enum class FieldControl {
  List,          // a drop-down list, position from the list format
  Text,          // a text box holding the word in decimal
  Check,         // a check box: 1 checked, 0 unchecked
  DialogueText,  // the text of the dialogue the word numbers (the dialogue dialog)
};

// Where a list's entries come from.
enum class ListSource {
  None,
  Persons,    // "n(HEX)name" for every person of the name tables
  Items,      // likewise for the items
  Skills,     // likewise for the skills
  Scenes,     // "n" followed at once by the scene's name
  Portraits,  // the portrait numbers in decimal
  Numbers,    // the numbers first .. first + count - 1 in decimal
  Strings,    // the interface strings first .. first + count - 1
};

struct ListFormat {
  ListSource source = ListSource::None;
  int16_t first = 0;  // Numbers, Strings
  int16_t count = 0;  // Numbers, Strings
  // A leading entry that stands for the word -2 (the current scene, the
  // current scene event, keep unchanged); 0: none. When present, entry 0 is
  // -2 and entry p >= 1 is the word p - 1.
  int16_t currentString = 0;
  bool currentMarked = false;  // the leading entry reads "---" + string + "---"
};

// What a dialog with behaviour of its own does with a field, beyond
// editing its word.
enum class FieldRole : uint8_t {
  None,
  InstructionTile,  // the tile the instruction sets or tests, previewed
  AnimationStart,   // first and last picture numbers of the animation played
  AnimationEnd,
  SecondAnimationStart,  // the same for the second animation of a pair
  SecondAnimationEnd,
  EventTile1,  // the scene event's three tiles, shown in turn
  EventTile2,
  EventTile3,
};

struct CatalogueRow {
  std::string_view form;  // the dialog, also its objectName (from the instruction kinds)
  int16_t opcode = 0;     // the instruction whose dialog it is
  int16_t title = 0;      // window caption (interface string)
  int8_t word = 0;        // data word index
  FieldControl control = FieldControl::Text;
  std::string_view name;  // objectName of the control
  ListFormat list{};
  std::string_view label;  // objectName of the caption beside it; empty: none
  // Caption strings, shown joined without separator (the second 0: none). A
  // check box carries them as its own caption.
  int16_t text = 0;
  int16_t text2 = 0;
  std::string_view mark;  // a static "X", "Y" or "-" in front of the box
  int16_t heading = 0;    // a heading shown above this field (0: none)
  FieldRole role = FieldRole::None;
};

// Every row, grouped by dialog, words rising within a group.
std::span<const CatalogueRow> CatalogueRows();
// The rows of one dialog; empty when there is no such dialog.
std::span<const CatalogueRow> DialogRows(std::string_view form);
// The dialogs in catalogue order.
std::vector<std::string_view> CatalogueForms();

// The caption of a row's field: its strings joined.
std::string FieldCaption(const EditorState& state, const CatalogueRow& row);
// The name a message uses for the field: its caption, or for a box without
// one the caption of the nearest field before it, then the static mark.
std::string FieldName(const EditorState& state, std::span<const CatalogueRow> rows, size_t index);

// ---- Lists -------------------------------------------------------------------

int ListEntryCount(const EditorState& state, const ListFormat& format);
std::vector<std::string> ListEntries(const EditorState& state, const ListFormat& format);
// The entry that shows `word`, or -1 (nothing chosen): -1 itself, and every
// word the list cannot show.
int EntryForWord(const ListFormat& format, int entryCount, int16_t word);
// The word a chosen entry stands for. No entry chosen (or one outside the
// list) writes `oldWord` back, so a word the list cannot show survives.
int16_t WordForEntry(const ListFormat& format, int entryCount, int entry, int16_t oldWord);

// ---- Check boxes ----------------------------------------------------------------

enum class CheckMark { Off, On, Mixed };  // Mixed: a word other than 0 and 1
CheckMark CheckForWord(int16_t word);
int16_t WordForCheck(CheckMark mark, int16_t oldWord);  // Mixed keeps the old word

// ---- A dialog's fields -----------------------------------------------------------

// What one control shows, or holds when OK is pressed.
struct FieldValue {
  bool enabled = true;  // false: the statement has no such word
  int entry = -1;       // List
  std::string text;     // Text, DialogueText
  CheckMark check = CheckMark::Off;
};

std::vector<FieldValue> ShowFields(const EditorState& state, const Statement& statement,
                                   std::span<const CatalogueRow> rows);
// OK: checks every text box first; a box that does not hold a whole number in
// -32768 .. 32767 refuses the whole write with a message naming the field.
// Then sets the words in row order. Disabled fields and dialogue texts are
// left alone; nothing past DataNum is written.
Status ApplyFields(const EditorState& state, Statement& statement, std::span<const CatalogueRow> rows,
                   std::span<const FieldValue> values);

// ---- The dialogue instruction ----------------------------------------------------

// Whether `word` numbers an entry of the dialogue table.
bool IsDialogueNumber(const EditorState& state, int16_t word);
// OK of the dialogue dialog: the words from `values` (as ApplyFields), then
// `text` into dialogue word 0 or into a new dialogue appended to the table,
// whose number becomes word 0. Refused, with nothing changed, when the new
// number would not fit a word, when word 0 is not a dialogue to overwrite,
// or when a text box is bad.
Status ApplyDialogueInstruction(EditorState& state, Statement& statement, std::span<const CatalogueRow> rows,
                                std::span<const FieldValue> values, const std::string& text, bool toNewDialogue);

}  // namespace tavrel
