#pragma once
// Where each event starts: the objects of the scenes' tables that start it,
// the texts the event selector and the scene window show, the checks of the
// tables against the events, and the edits of an object (each an undoable
// step of the history).
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "app/editor_state.h"
#include "app/instruction_catalogue.h"
#include "gamefiles/alldef.h"

namespace tavrel {

// One object that starts an event, and how.
struct ObjectStart {
  int32_t scene = 0;
  int32_t object = 0;
  Trigger trigger = Trigger::Action;
  bool operator==(const ObjectStart&) const = default;
};

// For every event 0 .. eventCount - 1 the objects that start it, in scene,
// object and trigger order; built in one pass over the tables.
class EventStarts {
 public:
  EventStarts() = default;
  EventStarts(const SceneObjectTables& tables, int32_t eventCount);
  // Empty for an event no object starts and for numbers out of range.
  std::span<const ObjectStart> Of(int32_t event) const;

 private:
  std::vector<std::vector<ObjectStart>> byEvent_;
};

// Every object of the tables that starts event `event` (> 0).
std::vector<ObjectStart> ObjectsStartingEvent(const SceneObjectTables& tables, int32_t event);

// "空格", "物品", "经过" in simplified characters.
std::string TriggerName(Trigger trigger);
// "on action key", "on using an item", "on passing".
std::string TriggerEnglishName(Trigger trigger);

// The reference search's line: "场景 S 物体 O: 空格".
std::string ObjectStartText(const ObjectStart& start);
// The tool's line: "scene S object O: on action key".
std::string ObjectStartLine(const ObjectStart& start);

// "场景5 古松寺": the scene's number and its name from the name tables (the
// number alone when they have no such scene).
std::string SceneCaption(const NameTables& names, int32_t scene);

// The scenes the scene window lists: every scene the name tables or the
// object tables know (0 when there are no object tables).
int32_t ListedSceneCount(const EditorState& state);
// For a scene without an object table (past the tables' end, or named by
// the index but not held by the data): the note that says so, once, where
// the scene is shown. Empty for a scene with a table.
std::string SceneWithoutTableNote(const EditorState& state, int32_t scene);

// The event selector's item: the number, and for an event some object
// starts, two spaces, the first place ("场景5 古松寺 · 物体12 · 空格") and
// " +N" for the N other places.
std::string EventSelectorText(const EventStarts& starts, const NameTables& names, int32_t event);

// An object whose event word is at or past the event count.
struct ObjectFinding {
  int32_t scene = 0;
  int32_t object = 0;
  Trigger trigger = Trigger::Action;
  int32_t event = 0;
  std::string text;  // "alldef:S:O: event N does not exist"
};
std::vector<ObjectFinding> CheckSceneObjects(const SceneObjectTables& tables, int32_t eventCount);

// The events 1 .. eventCount - 1 that no object starts and whose entry in
// `namedByInstructions` (indexed by event; shorter means false) is false.
// Event 0 is the empty event every game has and is never listed.
std::vector<int32_t> EventsNamedByNothing(const SceneObjectTables& tables, int32_t eventCount,
                                          const std::vector<bool>& namedByInstructions);

// ---- Showing an object ---------------------------------------------------------

// The first line of the event's readable text ("" for an event of no
// instructions, or a number that names none). The state is not changed.
std::string EventFirstLine(const EditorState& state, int32_t event);

// The non-empty objects of a scene, by number; empty for a damaged table.
std::vector<int32_t> SceneObjectNumbers(const SceneObjectTables& tables, int32_t scene);

// ---- Editing an object -----------------------------------------------------------

// The scene-event dialog's rows of the object's words (data words 2 to 12).
std::span<const CatalogueRow> ObjectRows();
// An instruction 3 that would set the object as it is: scene, object, then
// its 11 words.
Statement ObjectAsInstruction(const SceneObject& object, int32_t scene, int32_t number);

// Replaces object `object` of `scene` by `value` as one step of the history
// (interface string `caption`); an equal value makes no step. Refused with
// nothing changed when the scene's table is damaged or the numbers are out
// of range.
Status SetSceneObject(EditorState& state, int32_t scene, int32_t object, const SceneObject& value, int caption);
// The scene-event dialog's fields, checked as the dialog checks them (a bad
// box refuses with the dialog's message), into the object as one step.
Status ApplyObjectFields(EditorState& state, int32_t scene, int32_t object, std::span<const FieldValue> values);
// The words 2 to 12 of an instruction 3 (as its dialog left them) into the object.
Status ApplyObjectInstruction(EditorState& state, int32_t scene, int32_t object, const Statement& instruction);
// Attaches event `event` (1 .. eventCount - 1) to the trigger.
Status AttachObjectEvent(EditorState& state, int32_t scene, int32_t object, Trigger trigger, int32_t event);
// Sets the trigger's word to 0: it starts nothing.
Status ClearObjectEvent(EditorState& state, int32_t scene, int32_t object, Trigger trigger);

}  // namespace tavrel
