#include "app/scene_objects.h"

#include <fmt/format.h>

#include "app/history.h"
#include "script/encode.h"
#include "text/ui_string_names.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace {

constexpr std::string_view kSceneEventForm = "frmstatement_0x03";
constexpr int kFirstObjectWord = 2;  // instruction 3: scene, object, then the record's words

template <typename Visit>
void ForEachStart(const SceneObjectTables& tables, Visit visit) {
  for (int32_t s = 0; s < tables.sceneCount(); ++s) {
    const SceneTable& table = tables.scenes[size_t(s)];
    if (!table.valid) continue;
    for (size_t o = 0; o < table.objects.size(); ++o)
      for (Trigger t : kTriggers)
        if (table.objects[o].startsEvent(t)) visit(ObjectStart{s, int32_t(o), t}, table.objects[o].event(t));
  }
}

}  // namespace

EventStarts::EventStarts(const SceneObjectTables& tables, int32_t eventCount) {
  byEvent_.resize(size_t(std::max(eventCount, 0)));
  ForEachStart(tables, [&](const ObjectStart& start, int16_t event) {
    if (event < eventCount) byEvent_[size_t(event)].push_back(start);
  });
}

std::span<const ObjectStart> EventStarts::Of(int32_t event) const {
  if (event < 0 || event >= static_cast<int32_t>(byEvent_.size())) return {};
  return byEvent_[size_t(event)];
}

std::vector<ObjectStart> ObjectsStartingEvent(const SceneObjectTables& tables, int32_t event) {
  std::vector<ObjectStart> found;
  if (event <= 0) return found;
  ForEachStart(tables, [&](const ObjectStart& start, int16_t word) {
    if (word == event) found.push_back(start);
  });
  return found;
}

std::string TriggerName(Trigger trigger) {
  switch (trigger) {
    case Trigger::Action:
      return FormatInterfaceString(Str::TriggerAction);
    case Trigger::Item:
      return FormatInterfaceString(Str::TriggerItem);
    case Trigger::Pass:
      return FormatInterfaceString(Str::TriggerPass);
  }
  return {};
}

std::string TriggerEnglishName(Trigger trigger) {
  switch (trigger) {
    case Trigger::Action:
      return "on action key";
    case Trigger::Item:
      return "on using an item";
    case Trigger::Pass:
      return "on passing";
  }
  return {};
}

std::string ObjectStartText(const ObjectStart& start) {
  return FormatInterfaceString(Str::ObjectStartsEvent, start.scene, start.object, TriggerName(start.trigger));
}

std::string ObjectStartLine(const ObjectStart& start) {
  return fmt::format("scene {} object {}: {}", start.scene, start.object, TriggerEnglishName(start.trigger));
}

int32_t ListedSceneCount(const EditorState& state) {
  const SceneObjectTables& tables = state.game.objects;
  if (!tables.present) return 0;
  return std::max<int32_t>(tables.sceneCount(), static_cast<int32_t>(state.game.names.scenes.size()));
}

std::string SceneWithoutTableNote(const EditorState& state, int32_t scene) {
  const SceneObjectTables& tables = state.game.objects;
  if (scene >= 0 && scene < tables.sceneCount() && !tables.scenes[size_t(scene)].missing) return {};
  // The last scene whose table the data holds.
  int32_t last = tables.sceneCount() - 1;
  while (last >= 0 && tables.scenes[size_t(last)].missing) --last;
  std::string note =
      FormatInterfaceString(Str::SceneBeyondTables, scene, GameFilePath(state, "alldef.idx").filename().string(),
                            GameFilePath(state, "alldef.grp").filename().string(), last);
  if (!tables.trailing.empty())
    note += "\n" + FormatInterfaceString(Str::SceneTablesTrailingBytes,
                                         GameFilePath(state, "alldef.grp").filename().string(), tables.trailing.size());
  return note;
}

std::string SceneCaption(const NameTables& names, int32_t scene) {
  const std::string name =
      scene >= 0 && size_t(scene) < names.scenes.size() ? names.scenes[size_t(scene)].name : std::string();
  std::string caption = FormatInterfaceString(Str::SceneNamed, scene, name);
  while (!caption.empty() && caption.back() == ' ') caption.pop_back();
  return caption;
}

std::string EventSelectorText(const EventStarts& starts, const NameTables& names, int32_t event) {
  std::string text = std::to_string(event);
  const std::span<const ObjectStart> places = starts.Of(event);
  if (places.empty()) return text;
  const ObjectStart& first = places.front();
  text += "  " + SceneCaption(names, first.scene) + " · " + FormatInterfaceString(Str::ObjectNumbered, first.object) +
          " · " + TriggerName(first.trigger);
  if (places.size() > 1) text += fmt::format(" +{}", places.size() - 1);
  return text;
}

std::vector<ObjectFinding> CheckSceneObjects(const SceneObjectTables& tables, int32_t eventCount) {
  std::vector<ObjectFinding> findings;
  ForEachStart(tables, [&](const ObjectStart& start, int16_t event) {
    if (event < eventCount) return;
    findings.push_back({start.scene, start.object, start.trigger, event,
                        fmt::format("alldef:{}:{}: event {} does not exist", start.scene, start.object, event)});
  });
  return findings;
}

std::vector<int32_t> EventsNamedByNothing(const SceneObjectTables& tables, int32_t eventCount,
                                          const std::vector<bool>& namedByInstructions) {
  std::vector<bool> started(size_t(std::max(eventCount, 0)), false);
  ForEachStart(tables, [&](const ObjectStart&, int16_t event) {
    if (event < eventCount) started[size_t(event)] = true;
  });
  std::vector<int32_t> nothing;
  for (int32_t e = 1; e < eventCount; ++e) {
    const bool named = size_t(e) < namedByInstructions.size() && namedByInstructions[size_t(e)];
    if (!started[size_t(e)] && !named) nothing.push_back(e);
  }
  return nothing;
}

std::string EventFirstLine(const EditorState& state, int32_t event) {
  if (event < 0 || event >= state.eventCount()) return {};
  KdefEvent copy;
  copy.words = state.game.events.events[size_t(event)].words;
  ShowEvent(copy, state.attributes, state.describeContext());
  for (const Statement& s : copy.statements)
    if (!s.islabel && s.Id != -1) return s.note.str();
  return {};
}

std::vector<int32_t> SceneObjectNumbers(const SceneObjectTables& tables, int32_t scene) {
  std::vector<int32_t> numbers;
  if (scene < 0 || scene >= tables.sceneCount()) return numbers;
  const SceneTable& table = tables.scenes[size_t(scene)];
  for (size_t o = 0; o < table.objects.size(); ++o)
    if (!table.objects[o].empty()) numbers.push_back(int32_t(o));
  return numbers;
}

std::span<const CatalogueRow> ObjectRows() {
  const std::span<const CatalogueRow> rows = DialogRows(kSceneEventForm);
  size_t first = 0;
  while (first < rows.size() && rows[first].word < kFirstObjectWord) ++first;
  return rows.subspan(first);
}

Statement ObjectAsInstruction(const SceneObject& object, int32_t scene, int32_t number) {
  Statement s;
  s.Id = 3;
  s.SetDataNum(kFirstObjectWord + kObjectWords);
  s.SetWord(0, static_cast<int16_t>(scene));
  s.SetWord(1, static_cast<int16_t>(number));
  for (int w = 0; w < kObjectWords; ++w) s.SetWord(kFirstObjectWord + w, object.words[size_t(w)]);
  return s;
}

Status SetSceneObject(EditorState& state, int32_t scene, int32_t object, const SceneObject& value, int caption) {
  if (state.game.objects.Object(scene, object) == nullptr)
    return Error{FormatInterfaceString(Str::ObjectNumberOutOfRange, scene, object)};
  StepRecorder step(state, caption, StepPlace{-1, -1, -1, scene, object});
  step.TouchScene(scene);
  state.game.objects.scenes[size_t(scene)].objects[size_t(object)] = value;
  step.Finish();
  return Ok();
}

Status ApplyObjectInstruction(EditorState& state, int32_t scene, int32_t object, const Statement& instruction) {
  const SceneObject* current = state.game.objects.Object(scene, object);
  if (current == nullptr) return Error{FormatInterfaceString(Str::ObjectNumberOutOfRange, scene, object)};
  SceneObject value = *current;
  for (int w = 0; w < kObjectWords; ++w) value.words[size_t(w)] = instruction.Word(kFirstObjectWord + w);
  return SetSceneObject(state, scene, object, value, Str::StepModifyObject);
}

Status ApplyObjectFields(EditorState& state, int32_t scene, int32_t object, std::span<const FieldValue> values) {
  const SceneObject* current = state.game.objects.Object(scene, object);
  if (current == nullptr) return Error{FormatInterfaceString(Str::ObjectNumberOutOfRange, scene, object)};
  Statement instruction = ObjectAsInstruction(*current, scene, object);
  if (Status applied = ApplyFields(state, instruction, ObjectRows(), values); !applied) return applied;
  return ApplyObjectInstruction(state, scene, object, instruction);
}

Status AttachObjectEvent(EditorState& state, int32_t scene, int32_t object, Trigger trigger, int32_t event) {
  const SceneObject* current = state.game.objects.Object(scene, object);
  if (current == nullptr) return Error{FormatInterfaceString(Str::ObjectNumberOutOfRange, scene, object)};
  if (event < 1 || event >= state.eventCount() || event > INT16_MAX)
    return Error{FormatInterfaceString(Str::ObjectEventMissing, event, state.eventCount() - 1)};
  SceneObject value = *current;
  value.words[size_t(TriggerWord(trigger))] = static_cast<int16_t>(event);
  return SetSceneObject(state, scene, object, value, Str::StepAttachEvent);
}

Status ClearObjectEvent(EditorState& state, int32_t scene, int32_t object, Trigger trigger) {
  const SceneObject* current = state.game.objects.Object(scene, object);
  if (current == nullptr) return Error{FormatInterfaceString(Str::ObjectNumberOutOfRange, scene, object)};
  SceneObject value = *current;
  value.words[size_t(TriggerWord(trigger))] = 0;
  return SetSceneObject(state, scene, object, value, Str::StepClearEvent);
}

}  // namespace tavrel
