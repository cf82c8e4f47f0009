// tavrel check DIR: reads a game directory, decodes every event, prints what
// it holds, and proves that committing every event and writing the dialogue
// and event files (and the battle file) gives back the very same words and
// bytes. Events that are more unknown words than instructions and battle
// numbers outside their ranges fail it too. Every line is in the run's
// interface language.
#include <fmt/format.h>
#include <algorithm>

#include <memory>

#include "app/battle_check.h"
#include "app/scene_objects.h"
#include "cli/command_registry.h"
#include "cli/command_support.h"
#include "gamefiles/file_io.h"
#include "gamefiles/war_sta.h"
#include "script/encode.h"
#include "text/ui_strings.h"

namespace tavrel::cli {
namespace {

// An event more than a quarter of whose words decode to no instruction is
// not an event the game can run. The decoder starts again right after an
// unknown word, so a stray word or two leave a real event far below a
// quarter, while bytes that are no event file decode almost wholly as
// unknown words (only 69 of the 65,536 word values start an instruction).
// Such an event fails the check; fewer unknown words are counted only.
constexpr int64_t kUnknownShareDenominator = 4;
bool MostlyUnknown(int64_t unknown, int64_t words) { return unknown * kUnknownShareDenominator > words; }
constexpr size_t kListedEvents = 10;

struct MostlyUnknownEvent {
  int32_t event;
  int64_t unknown;
  int64_t words;
};

struct EventCounts {
  int64_t words = 0;
  int64_t statements = 0;  // instructions, labels not counted
  int64_t labels = 0;
  int64_t unknownWords = 0;
  std::vector<MostlyUnknownEvent> mostlyUnknown;
  int64_t irregular = 0;  // conditionals whose jump words are both in use or both 0
  int64_t changedByCommit = 0;
  int32_t firstChanged = -1;
};

bool IsIrregularConditional(const Statement& s, const AttributeTable& attributes) {
  if (s.islabel || s.Id < 0 || s.Id >= kOpcodeCount || s.isGoto != 0) return false;
  const InstructionAttr& a = attributes[size_t(s.Id)];
  return a.conditional != 0 && s.DataNum == a.length - 1;
}

EventCounts DecodeAndCommitAll(EditorState& state) {
  EventCounts counts;
  const DescribeContext ctx = state.describeContext();
  auto& events = state.game.events.events;
  for (size_t i = 0; i < events.size(); ++i) {
    KdefEvent& event = events[i];
    counts.words += event.wordCount();
    const int32_t unknown = ShowEvent(event, state.attributes, ctx).unknownWords;
    counts.unknownWords += unknown;
    if (MostlyUnknown(unknown, event.wordCount()))
      counts.mostlyUnknown.push_back({int32_t(i), unknown, event.wordCount()});
    for (const Statement& s : event.statements) {
      (s.islabel ? counts.labels : counts.statements) += 1;
      counts.irregular += IsIrregularConditional(s, state.attributes);
    }
    KdefEvent committed = event;
    Commit(committed);
    if (committed.words != event.words) {
      if (counts.changedByCommit++ == 0) counts.firstChanged = static_cast<int32_t>(i);
    }
  }
  return counts;
}

// "" when the file's bytes are `expected`, else what differs.
std::string CompareWithFile(const EditorState& state, const std::string& name, const Bytes& expected) {
  auto actual = ReadWholeFile(GameFilePath(state, name));
  if (!actual) return actual.error();
  const Bytes& a = *actual;
  size_t at = 0;
  while (at < a.size() && at < expected.size() && a[at] == expected[at]) ++at;
  if (at == a.size() && at == expected.size()) return {};
  return FormatInterfaceString(Str::CheckFileDiffers, name, at, a.size(), expected.size());
}

// The dialogue and event files as the save command would write them.
std::vector<std::string> RoundTrip(const EditorState& state) {
  std::vector<std::string> differences;
  auto check = [&](const std::string& name, const Bytes& bytes) {
    if (std::string d = CompareWithFile(state, name, bytes); !d.empty()) differences.push_back(std::move(d));
  };
  Bytes idx, grp;
  EncodeTalk(state.game.talk, state.text(), idx, grp);
  check("talk.idx", idx);
  check("talk.grp", grp);
  EncodeEvents(state.game.events, idx, grp);
  check("kdef.idx", idx);
  check("kdef.grp", grp);
  if (state.game.objects.present) check("alldef.grp", EncodeSceneObjects(state.game.objects));
  return differences;
}

// The battle file: its count, whether saving it unchanged gives the same
// bytes, and its numbers against their ranges. A save stores at most 8 name
// bytes and a zero, so a name that fills all 10 bytes is cut by design; such
// records are counted, not failed. Appends report lines; returns false when
// something else differs or a number lies outside its range.
bool CheckBattleFile(const EditorState& state, std::vector<std::string>& lines) {
  auto read = ReadWarSta(std::filesystem::path(state.gameDirectory), state.text());
  if (!read) {
    lines.push_back(FormatInterfaceString(Str::CheckBattles, read.error()));
    return false;
  }
  if (read->fileMissing) {
    lines.push_back(FormatInterfaceString(Str::CheckNoWarSta));
    return true;
  }
  const std::vector<BattleRecord>& battles = read->battles;
  lines.push_back(FormatInterfaceString(Str::CheckBattles, battles.size()));
  const std::vector<BattleValueProblem> problems = CheckBattles(battles, BattleLimitsOf(state));
  lines.push_back(FormatInterfaceString(Str::CheckBattleValues, problems.size()));
  if (!problems.empty()) lines.push_back(BattleProblemsReport(problems));
  auto file = ReadWholeFile(GameFilePath(state, "war.sta"));
  if (!file) {
    lines.push_back(FormatInterfaceString(Str::CheckBattleRoundTrip, file.error()));
    return false;
  }
  const Bytes written = EncodeWarSta(battles, state.text());
  if (written.size() != battles.size() * kBattleRecordSize || file->size() < written.size()) {
    lines.push_back(FormatInterfaceString(Str::CheckBattleBytesWritten, written.size(), battles.size()));
    return false;
  }
  int different = 0;
  for (size_t i = 0; i < battles.size(); ++i) {
    const auto start = file->begin() + ptrdiff_t(i * kBattleRecordSize);
    if (!std::equal(start, start + ptrdiff_t(kBattleRecordSize), written.begin() + ptrdiff_t(i * kBattleRecordSize)))
      if (different++ == 0) lines.push_back(FormatInterfaceString(Str::CheckBattleDiffers, i));
  }
  if (read->ignoredBytes) {
    lines.push_back(FormatInterfaceString(Str::CheckBattleBytesDropped, read->ignoredBytes));
    ++different;
  }
  if (different == 0) lines.push_back(FormatInterfaceString(Str::CheckBattleIdentical));
  return different == 0 && problems.empty();
}

// The events more than a quarter unknown words, the first few by number.
void PrintMostlyUnknown(const EditorState& state, const EventCounts& counts) {
  if (counts.mostlyUnknown.empty()) return;
  const size_t shown = std::min(kListedEvents, counts.mostlyUnknown.size());
  for (size_t k = 0; k < shown; ++k) {
    const MostlyUnknownEvent& e = counts.mostlyUnknown[k];
    Say(state, Str::CheckEventMostlyUnknown, e.event, e.unknown, e.words);
  }
  if (shown < counts.mostlyUnknown.size()) Say(state, Str::MoreNotListed, counts.mostlyUnknown.size() - shown);
  Say(state, Str::CheckTooManyUnknown, counts.mostlyUnknown.size());
}

int RunCheck(const CommonOptions& common, const std::string& dir) {
  EditorState state;
  GameReadReport report;
  if (!LoadGame(state, common, dir, &report)) return 1;
  // Optional files that were missing or damaged, and indexes read gently:
  // the rest of the directory is checked all the same.
  for (const FileWarning& w : report.warnings) Say(state, Str::ToolWarning, w.file, w.message);
  const EventCounts counts = DecodeAndCommitAll(state);
  int absent = 0;
  for (const RlePicture& p : state.game.portraits) absent += p.absent != 0;
  const NameTables& names = state.game.names;
  auto line = [&state](int number, auto value) { Say(state, number, value); };
  line(Str::CheckEvents, state.eventCount());
  line(Str::CheckWords, counts.words);
  line(Str::CheckStatements, counts.statements);
  line(Str::CheckLabels, counts.labels);
  line(Str::CheckUnknownWords, counts.unknownWords);
  line(Str::CheckIrregular, counts.irregular);
  line(Str::CheckDialogues, state.talkCount());
  line(Str::CheckPersons, names.persons.size());
  line(Str::CheckItems, names.items.size());
  line(Str::CheckScenes, names.scenes.size());
  line(Str::CheckSkills, names.skills.size());
  line(Str::CheckPortraits, state.game.portraits.size());
  line(Str::CheckAbsentPortraits, absent);
  if (state.game.objects.present) {
    size_t objects = 0;
    for (int32_t s = 0; s < state.game.objects.sceneCount(); ++s)
      objects += SceneObjectNumbers(state.game.objects, s).size();
    Say(state, Str::CheckSceneObjects, state.game.objects.sceneCount(), objects);
  }
  PrintMostlyUnknown(state, counts);
  bool same = counts.mostlyUnknown.empty();

  if (counts.changedByCommit == 0) {
    Say(state, Str::CheckCommitIdentical);
  } else {
    Say(state, Str::CheckCommitChanged, counts.changedByCommit, counts.firstChanged);
    same = false;
  }
  const std::vector<std::string> differences = RoundTrip(state);
  if (differences.empty()) Say(state, Str::CheckRoundTripIdentical);
  for (const std::string& d : differences) Say(state, Str::CheckRoundTrip, d);
  same = same && differences.empty();

  std::vector<std::string> further;
  same = CheckBattleFile(state, further) && same;
  for (const std::string& l : further) SayCore(state, l);
  return same ? 0 : 1;
}

struct CheckArgs {
  std::string dir;
};

const Command<CheckArgs> kCommand{
    "check", "Read a game directory, count what it holds, check the round trip",
    [](CLI::App& sub, CheckArgs& args) { sub.add_option("DIR", args.dir, "game directory")->required(); },
    [](const CommonOptions& common, const CheckArgs& args) { return RunCheck(common, args.dir); }};

}  // namespace
}  // namespace tavrel::cli
