#include "app/instruction_catalogue.h"

#include <fmt/format.h>

#include <algorithm>
#include <iterator>

#include "app/commands.h"
#include "base/numbers.h"
#include "script/describe.h"
#include "script/instruction_kinds.h"
#include "text/ui_string_names.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace {

constexpr int kSceneEventCount = 200;  // events per scene
constexpr int kSceneLayers = 6;        // layers of a scene map

constexpr ListFormat kPersons{ListSource::Persons};
constexpr ListFormat kItems{ListSource::Items};
constexpr ListFormat kSkills{ListSource::Skills};
constexpr ListFormat kScenes{ListSource::Scenes};
constexpr ListFormat kPortraits{ListSource::Portraits};
constexpr ListFormat kScenesOrCurrent{ListSource::Scenes, 0, 0, Str::LineCurrentScene, true};
constexpr ListFormat kSceneEventsOrCurrent{ListSource::Numbers, 0, kSceneEventCount, Str::LineCurrentSceneEvent, true};
constexpr ListFormat kPassOrKeep{ListSource::Strings, Str::PassableYes, 2, Str::KeepUnchanged, false};
constexpr ListFormat kLayers{ListSource::Numbers, 0, kSceneLayers};
constexpr ListFormat Strings(int16_t first, int16_t count) { return {ListSource::Strings, first, count}; }

// The list a word of a kind is chosen from.
constexpr ListFormat ListFor(WordKind kind) {
  switch (kind) {
    case WordKind::Person:
      return kPersons;
    case WordKind::Item:
    case WordKind::GivenItem:
      return kItems;
    case WordKind::Skill:
      return kSkills;
    case WordKind::Scene:
      return kScenes;
    case WordKind::SceneOrCurrent:
      return kScenesOrCurrent;
    case WordKind::Speaker:
      return kPortraits;
    case WordKind::SceneEventOrCurrent:
      return kSceneEventsOrCurrent;
    case WordKind::PassOrKeep:
      return kPassOrKeep;
    case WordKind::Layer:
      return kLayers;
    case WordKind::Placement:
      return Strings(Str::Placement0, 6);
    case WordKind::Direction:
      return Strings(Str::FacingUp, 4);
    case WordKind::Sex:
      return Strings(Str::SexMale, 3);
    case WordKind::InnerForce:
      return Strings(Str::InnerForceYin, 3);
    default:
      return {};
  }
}

// A row of the dialog of instruction `op`: the dialog's name comes from the
// instruction kinds, and a list's entries from what its word holds.
using F = std::string_view;
constexpr CatalogueRow Lst(int16_t op, int16_t title, int8_t word, F name, F label, int16_t text, int16_t text2 = 0) {
  return {KindOf(op).form, op, title, word, FieldControl::List, name, ListFor(WordKindOf(op, word)), label, text,
          text2,           {}, 0};
}
constexpr CatalogueRow Txt(int16_t op, int16_t title, int8_t word, F name, F label, int16_t text, F mark = {},
                           int16_t heading = 0) {
  return {KindOf(op).form, op, title, word, FieldControl::Text, name, {}, label, text, 0, mark, heading};
}
constexpr CatalogueRow Chk(int16_t op, int16_t title, int8_t word, F name, int16_t caption) {
  return {KindOf(op).form, op, title, word, FieldControl::Check, name, {}, {}, caption, 0, {}, 0};
}
constexpr CatalogueRow Talk(int16_t op, int16_t title, int8_t word, F name, F label, int16_t text) {
  return {KindOf(op).form, op, title, word, FieldControl::DialogueText, name, {}, label, text, 0, {}, 0};
}
constexpr CatalogueRow Role(CatalogueRow row, FieldRole role) {
  row.role = role;
  return row;
}

// The instruction whose dialog it is, the title, then per word: index,
// control name, label and its string.
constexpr CatalogueRow kRows[] = {
    Talk(0x01, Str::DialogueTitle, 0, "txttalk", "Label4", Str::DialogueText),
    Lst(0x01, Str::DialogueTitle, 1, "Combotalkman", "Label2", Str::SpeakerPortrait),
    Lst(0x01, Str::DialogueTitle, 2, "ComboShow", "Label5", Str::DialoguePlacement),

    Lst(0x02, Str::LineGetItem, 0, "ComboThings", "Label2", Str::ItemName),
    Txt(0x02, Str::LineGetItem, 1, "txtnum", "Label3", Str::Quantity),

    Lst(0x03, Str::SceneEventTitle, 0, "ComboAddress", "Label2", Str::LineScene),
    Lst(0x03, Str::SceneEventTitle, 1, "ComboSkey", "Label3", Str::LineSceneEvent),
    Lst(0x03, Str::SceneEventTitle, 2, "ComboPass", "Label5", Str::Passable),
    Txt(0x03, Str::SceneEventTitle, 3, "txtnum", "Label6", Str::Number),
    Txt(0x03, Str::SceneEventTitle, 4, "txtkdef1", "Label7", Str::SpaceTriggerEvent),
    Txt(0x03, Str::SceneEventTitle, 5, "txtkdef2", "Label8", Str::ItemTriggerEvent),
    Txt(0x03, Str::SceneEventTitle, 6, "txtkdef3", "Label9", Str::PassTriggerEvent),
    Role(Txt(0x03, Str::SceneEventTitle, 7, "txtpic1", "Label10", Str::Tile1), FieldRole::EventTile1),
    Role(Txt(0x03, Str::SceneEventTitle, 8, "txtpic2", "Label11", Str::Tile2), FieldRole::EventTile2),
    Role(Txt(0x03, Str::SceneEventTitle, 9, "txtpic3", "Label12", Str::Tile3), FieldRole::EventTile3),
    Txt(0x03, Str::SceneEventTitle, 10, "txtspeed", "Label13", Str::TileAnimationSpeed),
    Txt(0x03, Str::SceneEventTitle, 11, "txtX", "Label14", Str::CoordinateX),
    Txt(0x03, Str::SceneEventTitle, 12, "txtY", "Label15", Str::CoordinateY),

    Lst(0x04, Str::LineUseItem, 0, "ComboThings", "Label2", Str::LineItem),

    Txt(0x06, Str::LineBattle, 0, "txtwarid", "Label2", Str::BattleNumber),
    Chk(0x06, Str::LineBattle, 3, "Check1", Str::ExperienceOnDefeat),

    Lst(0x0A, Str::LineJoin, 0, "ComboPerson", "Label2", Str::Person),

    Lst(0x10, Str::LineTeamHas, 0, "ComboPerson", "Label2", Str::LineTeamHas),

    Lst(0x11, Str::LineModifySceneTile, 0, "ComboAddress", "Label5", Str::LineScene),
    Lst(0x11, Str::LineModifySceneTile, 1, "ComboLevel", "Label6", Str::LineLayer),
    Txt(0x11, Str::LineModifySceneTile, 2, "txtX", "Label2", Str::CoordinateX),
    Txt(0x11, Str::LineModifySceneTile, 3, "txty", "Label3", Str::CoordinateY),
    Role(Txt(0x11, Str::LineModifySceneTile, 4, "txtPicnum", "Label7", Str::TileNumber), FieldRole::InstructionTile),

    Lst(0x12, Str::LineHasItem, 0, "ComboThings", "Label2", Str::ItemName),

    Txt(0x13, Str::LineHeroMovesTo, 0, "txtXstart", "Label2", Str::LineHeroMovesTo, "X"),
    Txt(0x13, Str::LineHeroMovesTo, 1, "txtYstart", {}, 0, "Y"),

    Lst(0x15, Str::LineLeave, 0, "ComboPerson", "Label2", Str::LineLeave, Str::Person),

    Lst(0x17, Str::LinePoisonSkill, 0, "ComboPerson", "Label2", Str::Person),
    Txt(0x17, Str::LinePoisonSkill, 1, "Text1", "Label3", Str::LinePoisonSkill),

    Txt(0x19, Str::LineSceneMove, 0, "txtXstart", "Label2", Str::FromCoordinates, "X"),
    Txt(0x19, Str::LineSceneMove, 1, "txtYstart", {}, 0, "Y"),
    Txt(0x19, Str::LineSceneMove, 2, "txtXend", "Label4", Str::ToCoordinates, "X"),
    Txt(0x19, Str::LineSceneMove, 3, "TxtYend", {}, 0, "Y"),

    Lst(0x1A, Str::LineAddTriggers, 0, "ComboAddress", "Label2", Str::LineScene),
    Txt(0x1A, Str::LineAddTriggers, 1, "txtnum", "Label3", Str::LineSceneEvent),
    Txt(0x1A, Str::LineAddTriggers, 2, "txtkdef1", "Label4", Str::SpaceTriggerIncrease),
    Txt(0x1A, Str::LineAddTriggers, 3, "txtkdef2", "Label5", Str::ItemTriggerIncrease),
    Txt(0x1A, Str::LineAddTriggers, 4, "txtkdef3", "Label6", Str::PassTriggerIncrease),

    Txt(0x1B, Str::LineShowAnimation, 0, "txt1", "Label5", Str::ShownAtSceneEvent),
    Role(Txt(0x1B, Str::LineShowAnimation, 1, "txtstart", "Label2", Str::FirstTileNumber), FieldRole::AnimationStart),
    Role(Txt(0x1B, Str::LineShowAnimation, 2, "txtend", "Label3", Str::LastTileNumber), FieldRole::AnimationEnd),

    Lst(0x1C, Str::CheckMorality, 0, "ComboPerson", "Label2", Str::Person),
    Txt(0x1C, Str::CheckMorality, 1, "txt1", "Label3", Str::MoralityRange),
    Txt(0x1C, Str::CheckMorality, 2, "txt2", {}, 0, "-"),

    Lst(0x1D, Str::CheckAttack, 0, "ComboPerson", "Label2", Str::Person),
    Txt(0x1D, Str::CheckAttack, 1, "txt1", "Label3", Str::AttackRange),
    Txt(0x1D, Str::CheckAttack, 2, "txt2", {}, 0, "-"),

    Txt(0x1E, Str::LineHeroWalks, 0, "txtXstart", "Label2", Str::WalkFrom, "X"),
    Txt(0x1E, Str::LineHeroWalks, 1, "txtYstart", {}, 0, "Y"),
    Txt(0x1E, Str::LineHeroWalks, 2, "txtXend", "Label4", Str::WalkTo, "X"),
    Txt(0x1E, Str::LineHeroWalks, 3, "TxtYend", {}, 0, "Y"),

    Txt(0x1F, Str::EnoughMoney, 0, "Text1", "Label2", Str::EnoughMoney),

    Lst(0x20, Str::AddItem, 0, "ComboThings", "Label2", Str::ItemName),
    Txt(0x20, Str::AddItem, 1, "txtnum", "Label3", Str::AddValue),

    Lst(0x21, Str::LineLearnSkill, 0, "ComboPerson", "Label2", Str::Person),
    Lst(0x21, Str::LineLearnSkill, 1, "ComboWugong", "Label3", Str::Skill),
    Chk(0x21, Str::LineLearnSkill, 2, "Check1", Str::LearnSkillSilently),

    Lst(0x22, Str::LineAddAptitude, 0, "ComboPerson", "Label2", Str::Person),
    Txt(0x22, Str::LineAddAptitude, 1, "Text1", "Label3", Str::LineAddAptitude),

    Lst(0x23, Str::SetPersonSkill, 0, "ComboPerson", "Label2", Str::Person),
    Txt(0x23, Str::SetPersonSkill, 1, "txtWugongnum", "Label3", Str::SkillNumber),
    Lst(0x23, Str::SetPersonSkill, 2, "ComboWugong", "Label4", Str::LineSkill),
    Txt(0x23, Str::SetPersonSkill, 3, "txtPower", "Label5", Str::LineAttack),

    Txt(0x25, Str::LineAddMorality, 0, "Text1", "Label2", Str::LineAddMorality),

    Txt(0x26, Str::ModifyAllSceneTiles, 0, "txtaddress", "Label2", Str::SceneNumber),
    Txt(0x26, Str::ModifyAllSceneTiles, 1, "txtlevel", "Label3", Str::Layer),
    Txt(0x26, Str::ModifyAllSceneTiles, 2, "txtoldpic", "Label4", Str::OldTile),
    Txt(0x26, Str::ModifyAllSceneTiles, 3, "txtnewpic", "Label5", Str::NewTile),

    Lst(0x27, Str::LineOpenScene, 0, "ComboAddress", "Label2", Str::LineOpenScene),

    Lst(0x28, Str::LineHeroFacing, 0, "Combo1", "Label2", Str::LineHeroFacing),

    Lst(0x29, Str::LineGetItem, 0, "ComboPerson", "Label2", Str::Person),
    Lst(0x29, Str::LineGetItem, 1, "ComboThings", "Label3", Str::LineGetItem),
    Txt(0x29, Str::LineGetItem, 2, "Text1", "Label4", Str::Quantity),

    Txt(0x2C, Str::PlayAnimation, 0, "txt1", "Label2", Str::ShownAtSceneEvent, {}, Str::Animation1),
    Role(Txt(0x2C, Str::PlayAnimation, 1, "txtstart", "Label3", Str::FirstTileNumber), FieldRole::AnimationStart),
    Role(Txt(0x2C, Str::PlayAnimation, 2, "txtend", "Label4", Str::LastTileNumber), FieldRole::AnimationEnd),
    Txt(0x2C, Str::PlayAnimation, 3, "txt2", "Label5", Str::ShownAtSceneEvent, {}, Str::Animation2),
    Role(Txt(0x2C, Str::PlayAnimation, 4, "txtstart2", "Label6", Str::FirstTileNumber),
         FieldRole::SecondAnimationStart),
    Role(Txt(0x2C, Str::PlayAnimation, 5, "txtend2", "Label7", Str::LastTileNumber), FieldRole::SecondAnimationEnd),

    Lst(0x2D, Str::LineAddAgility, 0, "ComboPerson", "Label2", Str::Person),
    Txt(0x2D, Str::LineAddAgility, 1, "Text1", "Label3", Str::LineAddAgility),

    Lst(0x2E, Str::LineAddInnerForce, 0, "ComboPerson", "Label2", Str::Person),
    Txt(0x2E, Str::LineAddInnerForce, 1, "Text1", "Label3", Str::LineAddInnerForce),

    Lst(0x2F, Str::LineAddAttack, 0, "ComboPerson", "Label2", Str::Person),
    Txt(0x2F, Str::LineAddAttack, 1, "Text1", "Label3", Str::LineAddAttack),

    Lst(0x30, Str::LineAddLife, 0, "ComboPerson", "Label2", Str::Person),
    Txt(0x30, Str::LineAddLife, 1, "txt1", "Label3", Str::LineAddLife),

    Lst(0x31, Str::LineInnerForceKind, 0, "ComboPerson", "Label2", Str::Person),
    Lst(0x31, Str::LineInnerForceKind, 1, "ComboNeili", "Label3", Str::LineInnerForceKind),

    Txt(0x38, Str::LineRaiseFame, 0, "Text1", "Label2", Str::LineRaiseFame),

    Lst(0x3C, Str::CheckSceneTile, 0, "ComboAddress", "Label3", Str::LineScene),
    Txt(0x3C, Str::CheckSceneTile, 1, "txtlevel", "Label4", Str::SceneEventPosition),
    Role(Txt(0x3C, Str::CheckSceneTile, 2, "txtPicnum", "Label5", Str::TileNumber), FieldRole::InstructionTile),

    Lst(0x3F, Str::SetPersonSex, 0, "ComboPerson", "Label2", Str::Person),
    Lst(0x3F, Str::SetPersonSex, 1, "Combosex", "Label3", Str::LineSex),
};

// Rows of a dialog are consecutive and their words rise.
constexpr bool WellGrouped() {
  const size_t n = std::size(kRows);
  for (size_t i = 1; i < n; ++i) {
    if (kRows[i].form != kRows[i - 1].form) {
      for (size_t j = 0; j + 1 < i; ++j)
        if (kRows[j].form == kRows[i].form) return false;
    } else if (kRows[i].word <= kRows[i - 1].word || kRows[i].title != kRows[i - 1].title) {
      return false;
    }
  }
  return true;
}
static_assert(WellGrouped(), "catalogue rows must be grouped by dialog with rising words");

// Every row belongs to a dialog the instruction kinds name, and every list
// has entries to choose from.
constexpr bool EveryRowServed() {
  for (const CatalogueRow& row : kRows) {
    if (row.form.empty() || KindOf(row.opcode).guide != GuideKind::Dialog) return false;
    if (row.control == FieldControl::List && row.list.source == ListSource::None) return false;
  }
  return true;
}
static_assert(EveryRowServed(), "a catalogue row without its dialog or without a list");

template <class Records>
std::vector<std::string> NumberedNames(const Records& records) {
  std::vector<std::string> entries;
  entries.reserve(records.size());
  for (size_t n = 0; n < records.size(); ++n) {
    entries.push_back(NumberedName(uint32_t(n), records[n].name));
  }
  return entries;
}

int SourceCount(const EditorState& state, const ListFormat& format) {
  const NameTables& names = state.game.names;
  switch (format.source) {
    case ListSource::Persons:
      return static_cast<int>(names.persons.size());
    case ListSource::Items:
      return static_cast<int>(names.items.size());
    case ListSource::Skills:
      return static_cast<int>(names.skills.size());
    case ListSource::Scenes:
      return static_cast<int>(names.scenes.size());
    case ListSource::Portraits:
      return static_cast<int>(state.game.portraits.size());
    case ListSource::Numbers:
    case ListSource::Strings:
      return std::max<int>(format.count, 0);
    case ListSource::None:
      return 0;
  }
  return 0;
}

}  // namespace

std::span<const CatalogueRow> CatalogueRows() { return kRows; }

std::span<const CatalogueRow> DialogRows(std::string_view form) {
  const auto first =
      std::find_if(std::begin(kRows), std::end(kRows), [&](const CatalogueRow& r) { return r.form == form; });
  const auto last = std::find_if(first, std::end(kRows), [&](const CatalogueRow& r) { return r.form != form; });
  return {first, last};
}

std::vector<std::string_view> CatalogueForms() {
  std::vector<std::string_view> forms;
  for (const CatalogueRow& row : kRows)
    if (forms.empty() || forms.back() != row.form) forms.push_back(row.form);
  return forms;
}

std::string FieldCaption(const EditorState& state, const CatalogueRow& row) {
  std::string caption;
  if (row.text != 0) caption += state.text().UiString(row.text);
  if (row.text2 != 0) caption += state.text().UiString(row.text2);
  return caption;
}

std::string FieldName(const EditorState& state, std::span<const CatalogueRow> rows, size_t index) {
  if (index >= rows.size()) return {};
  for (size_t k = index + 1; k-- > 0;) {
    const std::string caption = FieldCaption(state, rows[k]);
    if (caption.empty()) continue;
    return rows[index].mark.empty() ? caption : caption + " " + std::string(rows[index].mark);
  }
  return std::string(rows[index].name);
}

int ListEntryCount(const EditorState& state, const ListFormat& format) {
  return SourceCount(state, format) + (format.currentString != 0 ? 1 : 0);
}

std::vector<std::string> ListEntries(const EditorState& state, const ListFormat& format) {
  std::vector<std::string> entries;
  if (format.currentString != 0) {
    const std::string current = state.text().UiString(format.currentString);
    entries.push_back(format.currentMarked ? "---" + current + "---" : current);
  }
  const NameTables& names = state.game.names;
  auto append = [&entries](std::vector<std::string> more) {
    entries.insert(entries.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
  };
  const int count = SourceCount(state, format);
  switch (format.source) {
    case ListSource::Persons:
      append(NumberedNames(names.persons));
      break;
    case ListSource::Items:
      append(NumberedNames(names.items));
      break;
    case ListSource::Skills:
      append(NumberedNames(names.skills));
      break;
    case ListSource::Scenes:
      for (size_t n = 0; n < names.scenes.size(); ++n) entries.push_back(std::to_string(n) + names.scenes[n].name);
      break;
    case ListSource::Portraits:
      for (int n = 0; n < count; ++n) entries.push_back(std::to_string(n));
      break;
    case ListSource::Numbers:
      for (int n = 0; n < count; ++n) entries.push_back(std::to_string(format.first + n));
      break;
    case ListSource::Strings:
      for (int n = 0; n < count; ++n) entries.push_back(state.text().UiString(format.first + n));
      break;
    case ListSource::None:
      break;
  }
  return entries;
}

int EntryForWord(const ListFormat& format, int entryCount, int16_t word) {
  int entry = word;
  if (format.currentString != 0) entry = word == -2 ? 0 : word + 1;
  return entry >= 0 && entry < entryCount ? entry : -1;
}

int16_t WordForEntry(const ListFormat& format, int entryCount, int entry, int16_t oldWord) {
  if (entry < 0 || entry >= entryCount || entry > 32767) return oldWord;
  if (format.currentString != 0) return static_cast<int16_t>(entry == 0 ? -2 : entry - 1);
  return static_cast<int16_t>(entry);
}

CheckMark CheckForWord(int16_t word) {
  return word == 1 ? CheckMark::On : word == 0 ? CheckMark::Off : CheckMark::Mixed;
}

int16_t WordForCheck(CheckMark mark, int16_t oldWord) {
  return mark == CheckMark::On ? 1 : mark == CheckMark::Off ? 0 : oldWord;
}

std::vector<FieldValue> ShowFields(const EditorState& state, const Statement& statement,
                                   std::span<const CatalogueRow> rows) {
  std::vector<FieldValue> values(rows.size());
  for (size_t k = 0; k < rows.size(); ++k) {
    const CatalogueRow& row = rows[k];
    FieldValue& value = values[k];
    value.enabled = row.word < statement.DataNum && static_cast<size_t>(row.word) < statement.data.size();
    if (!value.enabled) continue;
    const int16_t word = statement.Word(row.word);
    switch (row.control) {
      case FieldControl::List:
        value.entry = EntryForWord(row.list, ListEntryCount(state, row.list), word);
        break;
      case FieldControl::Text:
        value.text = std::to_string(word);
        break;
      case FieldControl::Check:
        value.check = CheckForWord(word);
        break;
      case FieldControl::DialogueText:
        if (IsDialogueNumber(state, word)) value.text = state.game.talk.entries[static_cast<size_t>(word)].text;
        break;
    }
  }
  return values;
}

Status ApplyFields(const EditorState& state, Statement& statement, std::span<const CatalogueRow> rows,
                   std::span<const FieldValue> values) {
  if (values.size() != rows.size()) return Error{FormatInterfaceString(Str::FieldCountMismatch)};
  std::vector<int16_t> words(rows.size(), 0);
  for (size_t k = 0; k < rows.size(); ++k) {
    if (rows[k].control != FieldControl::Text || !values[k].enabled) continue;
    Result<int16_t> number = ParseWord(values[k].text);
    if (!number)
      return Error{FieldName(state, rows, k) + std::string(InterfaceStringText(Str::ListSeparator)) + number.error()};
    words[k] = *number;
  }
  for (size_t k = 0; k < rows.size(); ++k) {
    const CatalogueRow& row = rows[k];
    const FieldValue& value = values[k];
    if (!value.enabled || row.word >= statement.DataNum) continue;
    const int16_t old = statement.Word(row.word);
    switch (row.control) {
      case FieldControl::List:
        statement.SetWord(row.word, WordForEntry(row.list, ListEntryCount(state, row.list), value.entry, old));
        break;
      case FieldControl::Text:
        statement.SetWord(row.word, words[k]);
        break;
      case FieldControl::Check:
        statement.SetWord(row.word, WordForCheck(value.check, old));
        break;
      case FieldControl::DialogueText:
        break;
    }
  }
  return Ok();
}

bool IsDialogueNumber(const EditorState& state, int16_t word) { return word >= 0 && word < state.talkCount(); }

Status ApplyDialogueInstruction(EditorState& state, Statement& statement, std::span<const CatalogueRow> rows,
                                std::span<const FieldValue> values, const std::string& text, bool toNewDialogue) {
  const auto talkRow = std::find_if(rows.begin(), rows.end(),
                                    [](const CatalogueRow& r) { return r.control == FieldControl::DialogueText; });
  const bool hasText =
      talkRow != rows.end() && talkRow->word < statement.DataNum && values[size_t(talkRow - rows.begin())].enabled;
  const int32_t newNumber = state.talkCount();
  if (hasText && toNewDialogue && newNumber > 32767)
    return Error{state.text().UiString(Str::SaveToNewTalk) + std::string(InterfaceStringText(Str::ListSeparator)) +
                 fmt::format("{} (-32768 … 32767)", newNumber)};
  if (hasText && !toNewDialogue && !IsDialogueNumber(state, statement.Word(talkRow->word)))
    return Error{state.text().UiString(Str::SaveToExistingTalk) + std::string(InterfaceStringText(Str::ListSeparator)) +
                 std::to_string(statement.Word(talkRow->word))};
  Status words = ApplyFields(state, statement, rows, values);
  if (!words) return words;
  if (!hasText) return Ok();
  if (toNewDialogue) {
    const int32_t number = AddDialogue(state);
    statement.SetWord(talkRow->word, static_cast<int16_t>(number));
  }
  StoreDialogue(state, statement.Word(talkRow->word), text);
  return Ok();
}

}  // namespace tavrel
