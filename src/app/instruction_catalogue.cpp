#include "app/instruction_catalogue.h"

#include <fmt/format.h>

#include <algorithm>
#include <iterator>

#include "app/commands.h"
#include "script/describe.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace {

constexpr int kSceneEventCount = 200;  // events per scene
constexpr int kSceneLayers = 6;        // layers of a scene map
constexpr std::string_view kFullWidthColon = "：";

constexpr ListFormat kPersons{ListSource::Persons};
constexpr ListFormat kItems{ListSource::Items};
constexpr ListFormat kSkills{ListSource::Skills};
constexpr ListFormat kScenes{ListSource::Scenes};
constexpr ListFormat kPortraits{ListSource::Portraits};
constexpr ListFormat kScenesOrCurrent{ListSource::Scenes, 0, 0, 509, true};
constexpr ListFormat kSceneEventsOrCurrent{ListSource::Numbers, 0, kSceneEventCount, 511, true};
constexpr ListFormat kPassOrKeep{ListSource::Strings, 1318, 2, 1317, false};
constexpr ListFormat kLayers{ListSource::Numbers, 0, kSceneLayers};
constexpr ListFormat Strings(int16_t first, int16_t count) { return {ListSource::Strings, first, count}; }

using F = std::string_view;
constexpr CatalogueRow Lst(F form, int16_t title, int8_t word, F name, ListFormat list, F label, int16_t text,
                           int16_t text2 = 0) {
  return {form, title, word, FieldControl::List, name, list, label, text, text2, {}, 0};
}
constexpr CatalogueRow Txt(F form, int16_t title, int8_t word, F name, F label, int16_t text, F mark = {},
                           int16_t heading = 0) {
  return {form, title, word, FieldControl::Text, name, {}, label, text, 0, mark, heading};
}
constexpr CatalogueRow Chk(F form, int16_t title, int8_t word, F name, int16_t caption) {
  return {form, title, word, FieldControl::Check, name, {}, {}, caption, 0, {}, 0};
}
constexpr CatalogueRow Talk(F form, int16_t title, int8_t word, F name, F label, int16_t text) {
  return {form, title, word, FieldControl::DialogueText, name, {}, label, text, 0, {}, 0};
}

// Form, title, then per word: index, control, list format, label and its string.
constexpr CatalogueRow kRows[] = {
    Talk("frmStatement_0x01", 1101, 0, "txttalk", "Label4", 1105),
    Lst("frmStatement_0x01", 1101, 1, "Combotalkman", kPortraits, "Label2", 1103),
    Lst("frmStatement_0x01", 1101, 2, "ComboShow", Strings(1109, 6), "Label5", 1106),

    Lst("frmstatement_0x02", 507, 0, "ComboThings", kItems, "Label2", 1201),
    Txt("frmstatement_0x02", 507, 1, "txtnum", "Label3", 1202),

    Lst("frmstatement_0x03", 1301, 0, "ComboAddress", kScenesOrCurrent, "Label2", 510),
    Lst("frmstatement_0x03", 1301, 1, "ComboSkey", kSceneEventsOrCurrent, "Label3", 512),
    Lst("frmstatement_0x03", 1301, 2, "ComboPass", kPassOrKeep, "Label5", 1304),
    Txt("frmstatement_0x03", 1301, 3, "txtnum", "Label6", 1305),
    Txt("frmstatement_0x03", 1301, 4, "txtkdef1", "Label7", 1306),
    Txt("frmstatement_0x03", 1301, 5, "txtkdef2", "Label8", 1307),
    Txt("frmstatement_0x03", 1301, 6, "txtkdef3", "Label9", 1308),
    Txt("frmstatement_0x03", 1301, 7, "txtpic1", "Label10", 1309),
    Txt("frmstatement_0x03", 1301, 8, "txtpic2", "Label11", 1310),
    Txt("frmstatement_0x03", 1301, 9, "txtpic3", "Label12", 1311),
    Txt("frmstatement_0x03", 1301, 10, "txtspeed", "Label13", 1312),
    Txt("frmstatement_0x03", 1301, 11, "txtX", "Label14", 1313),
    Txt("frmstatement_0x03", 1301, 12, "txtY", "Label15", 1314),

    Lst("frmStatement_0x04", 513, 0, "ComboThings", kItems, "Label2", 546),

    Txt("frmStatement_0x06", 517, 0, "txtwarid", "Label2", 1601),
    Chk("frmStatement_0x06", 517, 3, "Check1", 1602),

    Lst("frmStatement_0x0a", 521, 0, "ComboPerson", kPersons, "Label2", 2001),

    Lst("frmStatement_0x10", 527, 0, "ComboPerson", kPersons, "Label2", 527),

    Lst("frmStatement_0x11", 528, 0, "ComboAddress", kScenesOrCurrent, "Label5", 510),
    Lst("frmStatement_0x11", 528, 1, "ComboLevel", kLayers, "Label6", 529),
    Txt("frmStatement_0x11", 528, 2, "txtX", "Label2", 1313),
    Txt("frmStatement_0x11", 528, 3, "txty", "Label3", 1314),
    Txt("frmStatement_0x11", 528, 4, "txtPicnum", "Label7", 2101),

    Lst("frmStatement_0x12", 531, 0, "ComboThings", kItems, "Label2", 1201),

    Txt("frmStatement_0x13", 532, 0, "txtXstart", "Label2", 532, "X"),
    Txt("frmStatement_0x13", 532, 1, "txtYstart", {}, 0, "Y"),

    Lst("frmStatement_0x15", 534, 0, "ComboPerson", kPersons, "Label2", 534, 2001),

    Lst("frmStatement_0x17", 537, 0, "ComboPerson", kPersons, "Label2", 2001),
    Txt("frmStatement_0x17", 537, 1, "Text1", "Label3", 537),

    Txt("frmstatement_0x19", 538, 0, "txtXstart", "Label2", 2501, "X"),
    Txt("frmstatement_0x19", 538, 1, "txtYstart", {}, 0, "Y"),
    Txt("frmstatement_0x19", 538, 2, "txtXend", "Label4", 2502, "X"),
    Txt("frmstatement_0x19", 538, 3, "TxtYend", {}, 0, "Y"),

    Lst("frmStatement_0x1a", 539, 0, "ComboAddress", kScenesOrCurrent, "Label2", 510),
    Txt("frmStatement_0x1a", 539, 1, "txtnum", "Label3", 512),
    Txt("frmStatement_0x1a", 539, 2, "txtkdef1", "Label4", 2601),
    Txt("frmStatement_0x1a", 539, 3, "txtkdef2", "Label5", 2602),
    Txt("frmStatement_0x1a", 539, 4, "txtkdef3", "Label6", 2603),

    Txt("frmStatement_0x1B", 540, 0, "txt1", "Label5", 2703),
    Txt("frmStatement_0x1B", 540, 1, "txtstart", "Label2", 2701),
    Txt("frmStatement_0x1B", 540, 2, "txtend", "Label3", 2702),

    Lst("frmStatement_0x1c", 2801, 0, "ComboPerson", kPersons, "Label2", 2001),
    Txt("frmStatement_0x1c", 2801, 1, "txt1", "Label3", 2802),
    Txt("frmStatement_0x1c", 2801, 2, "txt2", {}, 0, "-"),

    Lst("frmStatement_0x1d", 2901, 0, "ComboPerson", kPersons, "Label2", 2001),
    Txt("frmStatement_0x1d", 2901, 1, "txt1", "Label3", 2902),
    Txt("frmStatement_0x1d", 2901, 2, "txt2", {}, 0, "-"),

    Txt("frmStatement_0x1e", 544, 0, "txtXstart", "Label2", 3001, "X"),
    Txt("frmStatement_0x1e", 544, 1, "txtYstart", {}, 0, "Y"),
    Txt("frmStatement_0x1e", 544, 2, "txtXend", "Label4", 3002, "X"),
    Txt("frmStatement_0x1e", 544, 3, "TxtYend", {}, 0, "Y"),

    Txt("frmStatement_0x1f", 3101, 0, "Text1", "Label2", 3101),

    Lst("frmstatement_0x20", 3201, 0, "ComboThings", kItems, "Label2", 1201),
    Txt("frmstatement_0x20", 3201, 1, "txtnum", "Label3", 3202),

    Lst("frmStatement_0x21", 547, 0, "ComboPerson", kPersons, "Label2", 2001),
    Lst("frmStatement_0x21", 547, 1, "ComboWugong", kSkills, "Label3", 3301),
    Chk("frmStatement_0x21", 547, 2, "Check1", 3302),

    Lst("frmStatement_0x22", 548, 0, "ComboPerson", kPersons, "Label2", 2001),
    Txt("frmStatement_0x22", 548, 1, "Text1", "Label3", 548),

    Lst("frmStatement_0x23", 3501, 0, "ComboPerson", kPersons, "Label2", 2001),
    Txt("frmStatement_0x23", 3501, 1, "txtWugongnum", "Label3", 3502),
    Lst("frmStatement_0x23", 3501, 2, "ComboWugong", kSkills, "Label4", 550),
    Txt("frmStatement_0x23", 3501, 3, "txtPower", "Label5", 551),

    Txt("frmStatement_0x25", 553, 0, "Text1", "Label2", 553),

    Txt("frmStatement_0x26", 3801, 0, "txtaddress", "Label2", 3802),
    Txt("frmStatement_0x26", 3801, 1, "txtlevel", "Label3", 3803),
    Txt("frmStatement_0x26", 3801, 2, "txtoldpic", "Label4", 3804),
    Txt("frmStatement_0x26", 3801, 3, "txtnewpic", "Label5", 3805),

    Lst("frmStatement_0x27", 555, 0, "ComboAddress", kScenes, "Label2", 555),

    Lst("frmStatement_0x28", 556, 0, "Combo1", Strings(4001, 4), "Label2", 556),

    Lst("frmStatement_0x29", 507, 0, "ComboPerson", kPersons, "Label2", 2001),
    Lst("frmStatement_0x29", 507, 1, "ComboThings", kItems, "Label3", 507),
    Txt("frmStatement_0x29", 507, 2, "Text1", "Label4", 1202),

    Txt("frmStatement_0x2c", 4401, 0, "txt1", "Label2", 2703, {}, 4402),
    Txt("frmStatement_0x2c", 4401, 1, "txtstart", "Label3", 2701),
    Txt("frmStatement_0x2c", 4401, 2, "txtend", "Label4", 2702),
    Txt("frmStatement_0x2c", 4401, 3, "txt2", "Label5", 2703, {}, 4403),
    Txt("frmStatement_0x2c", 4401, 4, "txtstart2", "Label6", 2701),
    Txt("frmStatement_0x2c", 4401, 5, "txtend2", "Label7", 2702),

    Lst("frmStatement_0x2d", 559, 0, "ComboPerson", kPersons, "Label2", 2001),
    Txt("frmStatement_0x2d", 559, 1, "Text1", "Label3", 559),

    Lst("frmStatement_0x2e", 560, 0, "ComboPerson", kPersons, "Label2", 2001),
    Txt("frmStatement_0x2e", 560, 1, "Text1", "Label3", 560),

    Lst("frmStatement_0x2f", 561, 0, "ComboPerson", kPersons, "Label2", 2001),
    Txt("frmStatement_0x2f", 561, 1, "Text1", "Label3", 561),

    Lst("frmStatement_0x30", 562, 0, "ComboPerson", kPersons, "Label2", 2001),
    Txt("frmStatement_0x30", 562, 1, "txt1", "Label3", 562),

    Lst("frmStatement_0x31", 585, 0, "ComboPerson", kPersons, "Label2", 2001),
    Lst("frmStatement_0x31", 585, 1, "ComboNeili", Strings(6401, 3), "Label3", 585),

    Txt("FrmStatement_0x38", 569, 0, "Text1", "Label2", 569),

    Lst("frmStatement_0x3c", 6001, 0, "ComboAddress", kScenesOrCurrent, "Label3", 510),
    Txt("frmStatement_0x3c", 6001, 1, "txtlevel", "Label4", 6002),
    Txt("frmStatement_0x3c", 6001, 2, "txtPicnum", "Label5", 2101),

    Lst("frmstatement_0x3f", 6301, 0, "ComboPerson", kPersons, "Label2", 2001),
    Lst("frmstatement_0x3f", 6301, 1, "Combosex", Strings(6302, 3), "Label3", 578),
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

template <class Records>
std::vector<std::string> NumberedNames(const Records& records) {
  std::vector<std::string> entries;
  entries.reserve(records.size());
  for (size_t n = 0; n < records.size(); ++n) {
    const int16_t number = static_cast<int16_t>(n);
    entries.push_back(std::to_string(n) + "(" + Hex16(number) + ")" + records[n].name);
  }
  return entries;
}

int SourceCount(const EditorState& state, const ListFormat& format) {
  const NameTables& names = state.game.names;
  switch (format.source) {
    case ListSource::Persons: return static_cast<int>(names.persons.size());
    case ListSource::Items: return static_cast<int>(names.items.size());
    case ListSource::Skills: return static_cast<int>(names.skills.size());
    case ListSource::Scenes: return static_cast<int>(names.scenes.size());
    case ListSource::Portraits: return static_cast<int>(state.game.portraits.size());
    case ListSource::Numbers:
    case ListSource::Strings: return std::max<int>(format.count, 0);
    case ListSource::None: return 0;
  }
  return 0;
}

}  // namespace

std::span<const CatalogueRow> CatalogueRows() { return kRows; }

std::span<const CatalogueRow> DialogRows(std::string_view form) {
  const auto first = std::find_if(std::begin(kRows), std::end(kRows),
                                  [&](const CatalogueRow& r) { return r.form == form; });
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
    case ListSource::Persons: append(NumberedNames(names.persons)); break;
    case ListSource::Items: append(NumberedNames(names.items)); break;
    case ListSource::Skills: append(NumberedNames(names.skills)); break;
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
    case ListSource::None: break;
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
      case FieldControl::Text: value.text = std::to_string(word); break;
      case FieldControl::Check: value.check = CheckForWord(word); break;
      case FieldControl::DialogueText:
        if (IsDialogueNumber(state, word)) value.text = state.game.talk.entries[static_cast<size_t>(word)].text;
        break;
    }
  }
  return values;
}

Status ApplyFields(const EditorState& state, Statement& statement, std::span<const CatalogueRow> rows,
                   std::span<const FieldValue> values) {
  if (values.size() != rows.size()) return Error{FormatInterfaceString(20162)};
  std::vector<int16_t> words(rows.size(), 0);
  for (size_t k = 0; k < rows.size(); ++k) {
    if (rows[k].control != FieldControl::Text || !values[k].enabled) continue;
    Result<int16_t> number = ParseWord(values[k].text);
    if (!number) return Error{FieldName(state, rows, k) + std::string(kFullWidthColon) + number.error()};
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
      case FieldControl::Text: statement.SetWord(row.word, words[k]); break;
      case FieldControl::Check: statement.SetWord(row.word, WordForCheck(value.check, old)); break;
      case FieldControl::DialogueText: break;
    }
  }
  return Ok();
}

bool IsDialogueNumber(const EditorState& state, int16_t word) { return word >= 0 && word < state.talkCount(); }

Status ApplyDialogueInstruction(EditorState& state, Statement& statement, std::span<const CatalogueRow> rows,
                                std::span<const FieldValue> values, const std::string& text, bool toNewDialogue) {
  const auto talkRow = std::find_if(rows.begin(), rows.end(),
                                    [](const CatalogueRow& r) { return r.control == FieldControl::DialogueText; });
  const bool hasText = talkRow != rows.end() && talkRow->word < statement.DataNum &&
                       values[size_t(talkRow - rows.begin())].enabled;
  const int32_t newNumber = state.talkCount();
  if (hasText && toNewDialogue && newNumber > 32767)
    return Error{state.text().UiString(1108) + std::string(kFullWidthColon) +
                 fmt::format("{} (-32768 … 32767)", newNumber)};
  if (hasText && !toNewDialogue && !IsDialogueNumber(state, statement.Word(talkRow->word)))
    return Error{state.text().UiString(1107) + std::string(kFullWidthColon) +
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

std::string SceneTileIndexName(int scene) { return fmt::format("sdx{:03}", scene); }
std::string SceneTileDataName(int scene) { return fmt::format("smp{:03}", scene); }

Result<PictureSet> LoadSceneTiles(const EditorState& state, int scene) {
  return LoadPictureSet(state.gameDirectory, SceneTileIndexName(scene), SceneTileDataName(scene),
                        state.game.palette);
}

int TileIndexForNumber(int pictureNumber) {
  const int floorHalf = pictureNumber >= 0 ? pictureNumber / 2 : -((1 - pictureNumber) / 2);
  if (pictureNumber % 2 == 0) return floorHalf;
  return floorHalf % 2 == 0 ? floorHalf : floorHalf + 1;  // x.5: the even neighbour
}

const RlePicture* TileForNumber(const PictureSet& tiles, int pictureNumber) {
  const int index = TileIndexForNumber(pictureNumber);
  if (index < 0 || static_cast<size_t>(index) >= tiles.size()) return nullptr;
  const RlePicture& tile = tiles[static_cast<size_t>(index)];
  return tile.absent == 0 ? &tile : nullptr;
}

const RlePicture* TileForText(const PictureSet& tiles, const std::string& text) {
  Result<int16_t> number = ParseWord(text);
  return number ? TileForNumber(tiles, *number) : nullptr;
}

std::vector<int> AnimationNumbers(int start, int end) {
  std::vector<int> numbers;
  if (start > end) return numbers;
  numbers.reserve(static_cast<size_t>((end - start) / 2 + 1));
  for (int s = start; s <= end; s += 2) numbers.push_back(s);
  return numbers;
}

}  // namespace tavrel
