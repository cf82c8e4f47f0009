// A save never writes less than what lies on disk: an index and its data
// that disagree are damage, not an empty table; a file read with damage is
// left as it lies unless the user agrees to lose what the read could not
// get; the save question lists every file the save writes; files that would
// not change are not written. The tool's writing commands go through the
// same plan.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <set>

#include "app/commands.h"
#include "app/save_plan.h"
#include "app/scene_objects.h"
#include "sample_test_support.h"
#include "script/script_text.h"
#include "text/ui_strings.h"
#include "tool_run.h"

namespace tavrel::testing {
namespace {

namespace fs = std::filesystem;

std::string Q(const fs::path& p) { return "'" + p.string() + "'"; }

const FileWarning* DamageNamed(const std::vector<FileWarning>& warnings, const std::string& file) {
  for (const FileWarning& w : warnings)
    if (w.file == file && w.damage) return &w;
  return nullptr;
}

const PlannedPart* PartNamed(const SavePlan& plan, const std::string& name) {
  for (const PlannedPart& p : plan.parts)
    if (p.name == name) return &p;
  return nullptr;
}

// End value k (from 0) of an index as it lies: where entry k ends.
int32_t EndOf(const Bytes& idx, size_t k) { return ReadI32(idx, k * 4); }

std::set<std::string> BackupsIn(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.path().extension() == ".bak") names.insert(entry.path().filename().string());
  return names;
}

TEST(SavePlan, AnEmptyDialogueIndexBesideItsDataIsDamageAndTwoSavesLeaveTheData) {
  SampleGameDir dir;
  const Bytes grp = SampleFiles().at("talk.grp");
  dir.Put("talk.idx", {});
  EditorState state;
  Result<GameReadReport> read = ReadAsItLies(state, dir.path());
  ASSERT_TRUE(read) << read.error();
  const FileWarning* damage = DamageNamed(read->warnings, "talk.idx");
  ASSERT_NE(damage, nullptr) << ReadWarningsMessage(*read);
  EXPECT_EQ(*damage->damage, (FileLoss{0, int64_t(grp.size())}));
  EXPECT_NE(damage->message.find((dir / "talk.idx").string()), std::string::npos) << damage->message;
  EXPECT_NE(damage->message.find(std::to_string(grp.size())), std::string::npos) << damage->message;
  EXPECT_NE(ReadWarningsMessage(*read).find(damage->message), std::string::npos);
  ASSERT_EQ(state.game.damagedFiles.size(), 1u);

  // An ordinary edit elsewhere, saved twice: the dialogue files stay as
  // they lie, and no backup of them is made.
  AddEvent(state);
  ASSERT_TRUE(SaveGameFiles(state));
  AddEvent(state);
  ASSERT_TRUE(SaveGameFiles(state));
  EXPECT_EQ(dir.Get("talk.grp"), grp);
  EXPECT_TRUE(dir.Get("talk.idx").empty());
  EXPECT_EQ(BackupsIn(dir.path()), (std::set<std::string>{"kdef.grp.bak", "kdef.idx.bak"}));
  EXPECT_EQ(dir.Get("kdef.idx").size(), SampleFiles().at("kdef.idx").size() + 8);
}

TEST(SavePlan, AChangedDamagedFileIsWrittenOnlyAfterAYesThatNamesItAndWhatIsLost) {
  SampleGameDir dir;
  const Bytes idx = SampleFiles().at("talk.idx");
  const Bytes grp = SampleFiles().at("talk.grp");
  const size_t kept = idx.size() / 4 / 2;  // the first half of the entries
  dir.Put("talk.idx", Bytes(idx.begin(), idx.begin() + ptrdiff_t(kept * 4)));
  const int64_t lostBytes = int64_t(grp.size()) - EndOf(idx, kept - 1);
  EditorState state;
  ASSERT_TRUE(ReadAsItLies(state, dir.path()));
  ASSERT_EQ(size_t(state.talkCount()), kept);

  AddDialogue(state);
  SavePlan plan = PlanSave(state);
  const PlannedPart* talk = PartNamed(plan, "talk");
  ASSERT_NE(talk, nullptr);
  EXPECT_TRUE(talk->needsAnswer());
  EXPECT_EQ(talk->loss(), (FileLoss{0, lostBytes}));
  const std::string question = DamageQuestionText(*talk);
  for (const std::string& needed : {std::string("talk.idx"), std::string("talk.grp"), std::to_string(lostBytes)})
    EXPECT_NE(question.find(needed), std::string::npos) << needed << " in " << question;
  const std::string list = SavePlanText(plan);
  EXPECT_NE(list.find("talk.idx"), std::string::npos) << list;
  EXPECT_NE(list.find("talk.grp"), std::string::npos) << list;
  EXPECT_EQ(list.find("kdef"), std::string::npos) << list;

  // No: the files stay, and the save says the changes were not saved.
  Result<SaveOutcome> no = CarryOutSave(state, plan);
  ASSERT_TRUE(no) << no.error();
  EXPECT_EQ(no->leftWithChanges, (std::vector<std::string>{"talk.idx", "talk.grp"}));
  EXPECT_TRUE(no->written.empty());
  EXPECT_EQ(dir.Get("talk.grp"), grp);
  EXPECT_EQ(dir.Get("talk.idx").size(), kept * 4);
  EXPECT_NE(LeftDamagedText(no->leftWithChanges).find("talk.grp"), std::string::npos);

  // Yes: written, and no longer damaged.
  plan = PlanSave(state);
  for (PlannedPart& part : plan.parts) part.overwriteDamaged = part.needsAnswer();
  Result<SaveOutcome> yes = CarryOutSave(state, plan);
  ASSERT_TRUE(yes) << yes.error();
  EXPECT_TRUE(yes->leftWithChanges.empty());
  EXPECT_EQ(dir.Get("talk.idx").size(), (kept + 1) * 4);
  EXPECT_TRUE(state.game.damagedFiles.empty());
  EXPECT_FALSE(PlanSave(state).writesAnything());
}

TEST(SavePlan, RandomPortraitIndexIsDamageTheCheckFailsAndAReplacedPortraitLeavesTheFiles) {
  SampleGameDir dir;
  Bytes random(SampleFiles().at("hdgrp.idx").size());
  std::mt19937 draw(35);
  for (uint8_t& b : random) b = uint8_t(draw());
  dir.Put("hdgrp.idx", random);
  EditorState state;
  Result<GameReadReport> read = ReadAsItLies(state, dir.path());
  ASSERT_TRUE(read) << read.error();
  const FileWarning* damage = DamageNamed(read->warnings, "hdgrp.idx");
  ASSERT_NE(damage, nullptr) << ReadWarningsMessage(*read);
  EXPECT_GT(damage->damage->entries, 0);
  EXPECT_GT(damage->damage->bytes, 0);

  const ToolRun check = RunTool("check " + Q(dir.path()) + " 2>&1");
  EXPECT_EQ(check.exitCode, 1) << check.out;
  EXPECT_NE(check.out.find((dir / "hdgrp.idx").string()), std::string::npos) << check.out;

  // A replaced portrait: the damaged pair is left as it lies.
  RlePicture picture;
  picture.absent = 0;
  picture.width = picture.height = 1;
  picture.data = {3, 0, 1, 5};
  ASSERT_FALSE(state.game.portraits.empty());
  state.game.portraits[0] = picture;
  ASSERT_TRUE(PortraitsChanged(state.game));
  ASSERT_TRUE(PlanSave(state).needsAnswers());
  ASSERT_TRUE(SaveGameFiles(state));
  EXPECT_EQ(dir.Get("hdgrp.idx"), random);
  EXPECT_EQ(dir.Get("hdgrp.grp"), SampleFiles().at("hdgrp.grp"));
  EXPECT_TRUE(BackupsIn(dir.path()).empty());
}

TEST(SavePlan, PortraitDataCutShortIsDamageCountingThePicturesItNoLongerHolds) {
  SampleGameDir dir;
  const Bytes idx = SampleFiles().at("hdgrp.idx");
  const Bytes grp = SampleFiles().at("hdgrp.grp");
  const int32_t cut = int32_t(grp.size() / 2);
  dir.Put("hdgrp.grp", Bytes(grp.begin(), grp.begin() + cut));
  // From the sample's index: pictures that start past the cut are lost; the
  // one the cut runs through keeps what is left of it unless that is less
  // than its 8-byte header.
  int64_t lostPictures = 0, lostBytes = 0;
  for (size_t k = 0; k < idx.size() / 4; ++k) {
    const int32_t begin = k == 0 ? 0 : EndOf(idx, k - 1), end = EndOf(idx, k);
    if (end <= begin) continue;
    if (begin >= cut) {
      ++lostPictures;
    } else if (end > cut && cut - begin < 8) {
      ++lostPictures;
      lostBytes += cut - begin;
    }
  }
  ASSERT_GT(lostPictures, 0);
  EditorState state;
  Result<GameReadReport> read = ReadAsItLies(state, dir.path());
  ASSERT_TRUE(read) << read.error();
  const FileWarning* damage = DamageNamed(read->warnings, "hdgrp.idx");
  ASSERT_NE(damage, nullptr) << ReadWarningsMessage(*read);
  EXPECT_EQ(*damage->damage, (FileLoss{lostPictures, lostBytes}));
  EXPECT_NE(damage->message.find((dir / "hdgrp.grp").string()), std::string::npos) << damage->message;
  EXPECT_NE(damage->message.find(std::to_string(lostPictures)), std::string::npos) << damage->message;
}

TEST(SavePlan, EventIndexCutShortIsDamageTheQuestionNamesItAndNoKeepsTheLastEvent) {
  SampleGameDir dir;
  const Bytes idx = SampleFiles().at("kdef.idx");
  const Bytes grp = SampleFiles().at("kdef.grp");
  const size_t events = idx.size() / 4;
  // Cut 5 bytes short: the last whole value is that of event events - 3.
  dir.Put("kdef.idx", Bytes(idx.begin(), idx.end() - 5));
  const int64_t lostBytes = int64_t(grp.size()) - EndOf(idx, events - 3);
  EditorState state;
  Result<GameReadReport> read = ReadAsItLies(state, dir.path());
  ASSERT_TRUE(read) << read.error();
  ASSERT_EQ(size_t(state.eventCount()), events - 2);
  const FileWarning* damage = DamageNamed(read->warnings, "kdef.idx");
  ASSERT_NE(damage, nullptr) << ReadWarningsMessage(*read);
  EXPECT_EQ(*damage->damage, (FileLoss{0, lostBytes}));

  // A dialogue edited: the event files are left, and the question says so.
  AddDialogue(state);
  SavePlan plan = PlanSave(state);
  const std::string list = SavePlanText(plan);
  EXPECT_NE(list.find("kdef.idx"), std::string::npos) << list;
  EXPECT_FALSE(plan.needsAnswers());
  // An event edited as well: now the event files need the user's yes.
  AddEvent(state);
  plan = PlanSave(state);
  ASSERT_NE(PartNamed(plan, "kdef"), nullptr);
  EXPECT_TRUE(PartNamed(plan, "kdef")->needsAnswer());
  EXPECT_NE(DamageQuestionText(*PartNamed(plan, "kdef")).find(std::to_string(lostBytes)), std::string::npos);
  ASSERT_TRUE(SaveGameFiles(state));  // the questions answered no
  EXPECT_EQ(dir.Get("kdef.grp"), grp);
  EXPECT_EQ(dir.Get("kdef.idx"), Bytes(idx.begin(), idx.end() - 5));
  EXPECT_EQ(BackupsIn(dir.path()), (std::set<std::string>{"talk.grp.bak", "talk.idx.bak"}));
}

TEST(SavePlan, TheQuestionListsEveryFileTheSaveWritesAndOnlyThoseAreWritten) {
  SampleGameDir dir;
  EditorState state;
  ReadSampleGame(state, GameCharset::Big5, dir.path());
  // A dialogue of another length, a portrait, a scene object's event.
  StoreDialogue(state, 0, "改了");
  ASSERT_GE(state.game.portraits.size(), 2u);
  state.game.portraits[0] = state.game.portraits[1];
  int32_t scene = -1, object = -1;
  for (int32_t s = 0; s < state.game.objects.sceneCount() && scene < 0; ++s) {
    const std::vector<int32_t> numbers = SceneObjectNumbers(state.game.objects, s);
    if (!numbers.empty()) scene = s, object = numbers.front();
  }
  ASSERT_GE(scene, 0);
  const int16_t before = state.game.objects.Object(scene, object)->event(Trigger::Pass);
  ASSERT_TRUE(AttachObjectEvent(state, scene, object, Trigger::Pass, int16_t(before == 1 ? 2 : 1)));

  const SavePlan plan = PlanSave(state);
  std::set<std::string> planned;
  for (const PlannedPart& part : plan.parts)
    for (const PlannedFile& f : part.files)
      if (part.writes() && f.change != FileChange::Same) planned.insert(f.path.filename().string());
  const std::set<std::string> expected = {"talk.idx", "talk.grp", "hdgrp.idx", "hdgrp.grp", "alldef.grp"};
  EXPECT_EQ(planned, expected);
  const std::string text = SavePlanText(plan);
  for (const std::string& name : expected) EXPECT_NE(text.find(name), std::string::npos) << name << " in " << text;
  for (const char* name : {"kdef", "alldef.idx"}) EXPECT_EQ(text.find(name), std::string::npos) << name;
  Result<SaveOutcome> saved = CarryOutSave(state, plan);
  ASSERT_TRUE(saved) << saved.error();
  std::set<std::string> backups;
  for (const std::string& name : expected) backups.insert(name + ".bak");
  EXPECT_EQ(BackupsIn(dir.path()), backups);
  EXPECT_FALSE(PlanSave(state).writesAnything());
}

TEST(SavePlan, ASaveOfAnUnchangedGameWritesNothing) {
  SampleGameDir dir;
  EditorState state;
  ReadSampleGame(state, GameCharset::Big5, dir.path());
  const SavePlan plan = PlanSave(state);
  EXPECT_FALSE(plan.writesAnything());
  EXPECT_EQ(SavePlanText(plan), FormatInterfaceString(Str::SavePlanNothing));
  ASSERT_TRUE(SaveGameFiles(state));
  EXPECT_TRUE(BackupsIn(dir.path()).empty());
}

// Whether `text` holds the number `n` on its own, not inside a longer one.
bool HasNumber(const std::string& text, const std::string& n) {
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  for (size_t at = text.find(n); at != std::string::npos; at = text.find(n, at + 1))
    if ((at == 0 || !digit(text[at - 1])) && (at + n.size() == text.size() || !digit(text[at + n.size()]))) return true;
  return false;
}

// `tavrel check` on each pair that disagrees with its data: the line names
// the file and says what a rewrite would lose, and the check fails.
TEST(SavePlan, TheCheckFailsOnEveryDisagreeingPairNamingItWithWhatWouldBeLost) {
  const Bytes talkGrp = SampleFiles().at("talk.grp");
  const Bytes kdefIdx = SampleFiles().at("kdef.idx");
  const Bytes kdefGrp = SampleFiles().at("kdef.grp");
  const Bytes hdgrpIdx = SampleFiles().at("hdgrp.idx");
  const Bytes hdgrpGrp = SampleFiles().at("hdgrp.grp");
  // The pictures past a cut of the portrait data, counted from the index.
  const int32_t cut = int32_t(hdgrpGrp.size() / 3);
  int64_t picturesPastCut = 0;
  for (size_t k = 0; k < hdgrpIdx.size() / 4; ++k)
    if ((k == 0 ? 0 : EndOf(hdgrpIdx, k - 1)) >= cut && EndOf(hdgrpIdx, k) > (k == 0 ? 0 : EndOf(hdgrpIdx, k - 1)))
      ++picturesPastCut;
  ASSERT_GT(picturesPastCut, 0);
  struct Case {
    std::string file;  // laid damaged
    Bytes bytes;
    std::string named;                 // the file the line names
    std::vector<std::string> numbers;  // what the line must say
  };
  const std::vector<Case> cases = {
      {"talk.idx", {}, "talk.grp", {std::to_string(talkGrp.size())}},
      {"kdef.idx",
       Bytes(kdefIdx.begin(), kdefIdx.end() - 5),
       "kdef.idx",
       {std::to_string(kdefGrp.size()),
        std::to_string(int64_t(kdefGrp.size()) - EndOf(kdefIdx, kdefIdx.size() / 4 - 3))}},
      {"hdgrp.grp",
       Bytes(hdgrpGrp.begin(), hdgrpGrp.begin() + cut),
       "hdgrp.grp",
       {std::to_string(cut), std::to_string(picturesPastCut)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    SampleGameDir dir;
    dir.Put(c.file, c.bytes);
    const ToolRun check = RunTool("check " + Q(dir.path()) + " 2>&1");
    EXPECT_EQ(check.exitCode, 1) << check.out;
    // The line of the damage that names the file.
    std::string line;
    for (size_t from = 0; from < check.out.size();) {
      const size_t end = std::min(check.out.find('\n', from), check.out.size());
      const std::string candidate = check.out.substr(from, end - from);
      if (candidate.starts_with(FormatInterfaceString(Str::CheckDamaged, "")) &&
          candidate.find((dir / c.named).string()) != std::string::npos)
        line = candidate;
      from = end + 1;
    }
    ASSERT_FALSE(line.empty()) << check.out;
    for (const std::string& n : c.numbers) EXPECT_TRUE(HasNumber(line, n)) << n << " in " << line;
  }
}

// The writing commands of the tool refuse a damaged file unless told, and
// then write it.
TEST(SavePlan, WritingCommandsRefuseADamagedFileUnlessToldToOverwriteIt) {
  SampleGameDir dir;
  const Bytes talkIdx = SampleFiles().at("talk.idx");
  const Bytes kdefIdx = SampleFiles().at("kdef.idx");
  const Bytes hdgrpGrp = SampleFiles().at("hdgrp.grp");
  dir.Put("talk.idx", Bytes(talkIdx.begin(), talkIdx.end() - 8));
  dir.Put("kdef.idx", Bytes(kdefIdx.begin(), kdefIdx.end() - 8));
  dir.Put("hdgrp.grp", Bytes(hdgrpGrp.begin(), hdgrpGrp.end() - 100));
  const std::string game = Q(dir.path());

  // The dialogue, with one line changed.
  const fs::path text = dir / "dialogue.txt";
  ASSERT_EQ(RunTool("export-dialogue " + game + " -o " + Q(text)).exitCode, 0);
  {
    Result<Bytes> exported = ReadWholeFile(text);
    ASSERT_TRUE(exported);
    std::string lines(exported->begin(), exported->end());
    const size_t at = lines.find("\n1 ");
    ASSERT_NE(at, std::string::npos);
    lines.insert(at + 3, "改");
    std::ofstream(text, std::ios::binary | std::ios::trunc) << lines;
  }
  ToolRun run = RunTool("import-dialogue " + game + " " + Q(text) + " 2>&1");
  EXPECT_EQ(run.exitCode, 1) << run.out;
  EXPECT_NE(run.out.find((dir / "talk.idx").string()), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("--overwrite-damaged"), std::string::npos) << run.out;
  EXPECT_EQ(dir.Get("talk.idx").size(), talkIdx.size() - 8);
  run = RunTool("import-dialogue --overwrite-damaged " + game + " " + Q(text) + " 2>&1");
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_EQ(dir.Get("talk.idx").size(), talkIdx.size() - 8);  // the entries read, each written back
  // The damaged originals are kept beside them; they push out no backup.
  EXPECT_EQ(dir.Get("talk.idx.damaged").size(), talkIdx.size() - 8);
  EXPECT_EQ(dir.Get("talk.grp.damaged"), SampleFiles().at("talk.grp"));
  EXPECT_FALSE(dir.Has("talk.grp.bak"));

  // The events: unchanged since the read, nothing is written and nothing
  // refused; with one event more, refused unless told.
  const fs::path folder = dir / "scripts";
  ASSERT_EQ(RunTool("export-script " + game + " -o " + Q(folder)).exitCode, 0);
  run = RunTool("import-script " + game + " " + Q(folder) + " 2>&1");
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_FALSE(dir.Has("kdef.grp.bak"));
  const int32_t events = int32_t(kdefIdx.size() / 4) - 2;
  {
    Result<Bytes> header = ReadWholeFile(folder / kScriptHeaderName);
    ASSERT_TRUE(header) << header.error();
    std::string lines(header->begin(), header->end());
    const std::string from = "events " + std::to_string(events) + "\n";
    ASSERT_NE(lines.find(from), std::string::npos) << lines;
    lines.replace(lines.find(from), from.size(), "events " + std::to_string(events + 1) + "\n");
    std::ofstream(folder / kScriptHeaderName, std::ios::binary | std::ios::trunc) << lines;
    std::ofstream(folder / ScriptFileName(events)) << "5 :end 0\n  1 3 4 0\n:end\n-1\n";
  }
  run = RunTool("import-script " + game + " " + Q(folder) + " 2>&1");
  EXPECT_EQ(run.exitCode, 1) << run.out;
  EXPECT_NE(run.out.find((dir / "kdef.idx").string()), std::string::npos) << run.out;
  EXPECT_EQ(dir.Get("kdef.idx").size(), kdefIdx.size() - 8);
  run = RunTool("import-script --overwrite-damaged " + game + " " + Q(folder) + " 2>&1");
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_EQ(dir.Get("kdef.idx").size(), kdefIdx.size() - 4);

  // The portraits, exported and imported unchanged: nothing is written,
  // the damaged pair stays as it lies.
  const fs::path pictures = dir / "pics";
  ASSERT_EQ(RunTool("export-pictures " + game + " portraits -o " + Q(pictures)).exitCode, 0);
  run = RunTool("import-pictures " + game + " portraits " + Q(pictures) + " 2>&1");
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_EQ(dir.Get("hdgrp.grp").size(), hdgrpGrp.size() - 100);
  EXPECT_FALSE(dir.Has("hdgrp.idx.bak") || dir.Has("hdgrp.idx.damaged"));
  // One portrait replaced: refused unless told, then written with the
  // damaged originals kept.
  fs::copy_file(pictures / "0001.png", pictures / "0000.png", fs::copy_options::overwrite_existing);
  run = RunTool("import-pictures " + game + " portraits " + Q(pictures) + " 2>&1");
  EXPECT_EQ(run.exitCode, 1) << run.out;
  EXPECT_NE(run.out.find("hdgrp.idx"), std::string::npos) << run.out;
  EXPECT_EQ(dir.Get("hdgrp.grp").size(), hdgrpGrp.size() - 100);
  run = RunTool("import-pictures --overwrite-damaged " + game + " portraits " + Q(pictures) + " 2>&1");
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_EQ(dir.Get("hdgrp.grp.damaged").size(), hdgrpGrp.size() - 100);
  EXPECT_NE(dir.Get("hdgrp.grp"), dir.Get("hdgrp.grp.damaged"));
}

}  // namespace
}  // namespace tavrel::testing
