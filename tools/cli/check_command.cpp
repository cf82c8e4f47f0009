// tavrel check DIR: reads a game directory, decodes every event, prints what
// it holds, and proves that committing every event and writing the dialogue
// and event files (and the battle file) gives back the very same words and
// bytes.
#include <fmt/format.h>
#include <algorithm>

#include <memory>

#include "app/file_damage.h"
#include "app/scene_objects.h"
#include "cli/command_registry.h"
#include "cli/command_support.h"
#include "gamefiles/file_io.h"
#include "gamefiles/war_sta.h"
#include "script/encode.h"
#include "text/ui_strings.h"

namespace tavrel::cli {
namespace {

struct EventCounts {
  int64_t words = 0;
  int64_t statements = 0;  // instructions, labels not counted
  int64_t labels = 0;
  int64_t unknownWords = 0;
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
    counts.unknownWords += ShowEvent(event, state.attributes, ctx).unknownWords;
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
  return fmt::format("{} differs from byte {} (file {} bytes, written {} bytes)", name, at, a.size(), expected.size());
}

// The dialogue and event files as the save command would write them.
std::vector<std::string> RoundTrip(const EditorState& state) {
  std::vector<std::string> differences;
  auto check = [&](const std::string& name, const Bytes& bytes) {
    if (std::string d = CompareWithFile(state, name, bytes); !d.empty()) differences.push_back(std::move(d));
  };
  Bytes idx, grp;
  if (!state.game.talkMissing) {
    EncodeTalk(state.game.talk, state.text(), idx, grp);
    check("talk.idx", idx);
    check("talk.grp", grp);
  }
  EncodeEvents(state.game.events, idx, grp);
  check("kdef.idx", idx);
  check("kdef.grp", grp);
  if (state.game.objects.present) check("alldef.grp", EncodeSceneObjects(state.game.objects));
  return differences;
}

// The battle file: its count, and whether saving it unchanged gives the same
// bytes. A save stores at most 8 name bytes and a zero, so a name that fills
// all 10 bytes is cut by design; such records are counted, not failed.
// Appends report lines; returns false when something else differs.
bool CheckBattleFile(const EditorState& state, std::vector<std::string>& lines) {
  auto read = ReadWarSta(std::filesystem::path(state.gameDirectory), state.text());
  if (!read) {
    lines.push_back("battles: " + read.error());
    return false;
  }
  if (read->fileMissing) {
    lines.push_back("battles: no war.sta");
    return true;
  }
  const std::vector<BattleRecord>& battles = read->battles;
  lines.push_back(fmt::format("battles: {}", battles.size()));
  auto file = ReadWholeFile(GameFilePath(state, "war.sta"));
  if (!file) {
    lines.push_back("battle round trip: " + file.error());
    return false;
  }
  const Bytes written = EncodeWarSta(battles, state.text());
  if (written.size() != battles.size() * kBattleRecordSize || file->size() < written.size()) {
    lines.push_back(fmt::format("battle round trip: {} bytes written for {} battles", written.size(), battles.size()));
    return false;
  }
  int different = 0;
  for (size_t i = 0; i < battles.size(); ++i) {
    const auto start = file->begin() + ptrdiff_t(i * kBattleRecordSize);
    if (!std::equal(start, start + ptrdiff_t(kBattleRecordSize), written.begin() + ptrdiff_t(i * kBattleRecordSize)))
      if (different++ == 0) lines.push_back(fmt::format("battle round trip: battle {} differs", i));
  }
  if (read->ignoredBytes) {
    lines.push_back(
        fmt::format("battle round trip: {} bytes after the last whole record are dropped", read->ignoredBytes));
    ++different;
  }
  if (different == 0) lines.push_back("battle round trip: identical");
  return different == 0;
}

int RunCheck(const CommonOptions& common, const std::string& dir) {
  EditorState state;
  GameReadReport report;
  if (!LoadGame(state, common, dir, &report)) return 1;
  // Optional files that were missing, indexes read gently and files read
  // with damage: the rest of the directory is checked all the same. A file
  // read with damage, here or in a window that reads it when it opens,
  // fails the check.
  const TextCodec& text = state.text();
  std::vector<FileWarning> damaged;
  for (const FileWarning& w : report.warnings) {
    if (w.damage)
      damaged.push_back(w);
    else
      fmt::print("warning: {}: {}\n", w.file, text.MapInterfaceText(w.message));
  }
  for (FileWarning& w : DamageOfFilesReadOnOpen(state)) damaged.push_back(std::move(w));
  for (const FileWarning& w : damaged)
    fmt::print("{}\n", text.MapInterfaceText(FormatInterfaceString(Str::CheckDamaged, w.message)));
  const EventCounts counts = DecodeAndCommitAll(state);
  int absent = 0;
  for (const RlePicture& p : state.game.portraits) absent += p.absent != 0;
  const NameTables& names = state.game.names;
  fmt::print("events: {}\n", state.eventCount());
  fmt::print("words: {}\n", counts.words);
  fmt::print("statements: {}\n", counts.statements);
  fmt::print("labels: {}\n", counts.labels);
  fmt::print("unknown words: {}\n", counts.unknownWords);
  fmt::print("irregular conditionals: {}\n", counts.irregular);
  fmt::print("dialogues: {}\n", state.talkCount());
  fmt::print("persons: {}\n", names.persons.size());
  fmt::print("items: {}\n", names.items.size());
  fmt::print("scenes: {}\n", names.scenes.size());
  fmt::print("skills: {}\n", names.skills.size());
  fmt::print("portraits: {}\n", state.game.portraits.size());
  fmt::print("absent portraits: {}\n", absent);
  if (state.game.objects.present) {
    size_t objects = 0;
    for (int32_t s = 0; s < state.game.objects.sceneCount(); ++s)
      objects += SceneObjectNumbers(state.game.objects, s).size();
    fmt::print("scene object tables: {}, objects: {}\n", state.game.objects.sceneCount(), objects);
  }

  bool same = true;
  if (counts.changedByCommit == 0) {
    fmt::print("commit: identical\n");
  } else {
    fmt::print("commit: {} events changed, the first is event {}\n", counts.changedByCommit, counts.firstChanged);
    same = false;
  }
  const std::vector<std::string> differences = RoundTrip(state);
  if (differences.empty()) fmt::print("round trip: identical\n");
  for (const std::string& d : differences) fmt::print("round trip: {}\n", d);
  same = same && differences.empty();

  std::vector<std::string> further;
  same = CheckBattleFile(state, further) && same;
  for (const std::string& line : further) fmt::print("{}\n", line);
  fmt::print("{}\n", text.MapInterfaceText(FormatInterfaceString(Str::CheckDamagedCount, damaged.size())));
  return same && damaged.empty() ? 0 : 1;
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
