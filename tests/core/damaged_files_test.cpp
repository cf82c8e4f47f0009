// Damaged game directories: every file missing, empty, one byte long, cut
// short, and every index with odd, negative, descending or huge offsets or a
// length that is not a multiple of 4. Reading reports the file by name and
// leaves the editor as it was, or reads what is there; it never reads past a
// file and never crashes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/editor_state.h"
#include "app/file_damage.h"
#include "app/scene_objects.h"
#include "app/tile_sets.h"
#include "app/zdat_patch.h"
#include "bounded_run.h"
#include "damaged_files_support.h"
#include "gamefiles/picture_encode.h"
#include "gamefiles/pictures.h"
#include "gamefiles/war_map.h"
#include "gamefiles/war_sta.h"
#include "sample_test_support.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace {

using testing::BoundedRun;
using testing::Damage;
using testing::Damages;
using testing::ReadSampleGame;
using testing::RunBounded;
using testing::SampleFiles;
using testing::SampleGameDir;
namespace fs = std::filesystem;

class DamagedFiles : public ::testing::Test {
 protected:
  SampleGameDir dir;

  // Lays the damaged file, runs `check` on every damage that applies, and
  // puts the file back.
  void ForEachDamage(const std::string& file, const std::function<void(const Damage&)>& check) {
    const Bytes original = SampleFiles().at(file);
    for (const Damage& damage : Damages()) {
      if (damage.indexOnly && !testing::IsIndexFile(file)) continue;
      SCOPED_TRACE(file + ": " + damage.name);
      const std::optional<Bytes> damaged = damage.apply(original);
      std::error_code ec;
      fs::remove(dir / file, ec);
      if (damaged) dir.Put(file, *damaged);
      check(damage);
      dir.Put(file, original);
    }
  }
  std::string PathOf(const std::string& stem) const { return (dir.path() / stem).string(); }
};

// What the read command replaces.
std::string Fingerprint(const EditorState& s) {
  std::string f = std::to_string(s.game.talk.entries.size()) + "/" + std::to_string(s.game.events.events.size()) + "/" +
                  std::to_string(s.game.portraits.size()) + "/" + std::to_string(s.game.names.persons.size()) + "/" +
                  std::to_string(s.game.palette[7]) + "/" + std::to_string(s.game.objects.sceneCount());
  for (const TalkEntry& e : s.game.talk.entries) f += e.text;
  for (const KdefEvent& e : s.game.events.events)
    for (int16_t w : e.words) f += std::to_string(w) + ",";
  return f;
}

// Every damage of every file the read command reads: the read goes on with
// what agrees, every warning names its file, a damage that loses something
// is recorded for the save, and reading the whole file again gives the game
// back as it was.
TEST_F(DamagedFiles, TheReadCommandReadsEveryDamagedFileAsFarAsItAgrees) {
  EditorState state;
  ReadSampleGame(state, GameCharset::Big5, dir.path());
  const std::string good = Fingerprint(state);
  for (const std::string file : {"talk.idx", "talk.grp", "mmap.col", "hdgrp.idx", "hdgrp.grp", "r1.idx", "r1.grp",
                                 "alldef.idx", "alldef.grp", "kdef.idx", "kdef.grp"}) {
    const std::string stem = file.substr(0, file.find('.') + 1);
    ForEachDamage(file, [&](const Damage& damage) {
      Result<GameReadReport> read = ReadGameFiles(state);
      ASSERT_TRUE(read) << read.error();
      for (const FileWarning& w : read->warnings) {
        SCOPED_TRACE(w.message);
        EXPECT_NE(w.message.find(PathOf(w.file)), std::string::npos) << "the message does not name " << w.file;
        EXPECT_TRUE(w.file.starts_with(stem)) << "a warning about an undamaged file";
        if (w.damage) {
          EXPECT_GE(w.damage->entries, 0);
          EXPECT_GE(w.damage->bytes, 0);
        }
      }
      size_t damaged = 0;
      for (const FileWarning& w : read->warnings) damaged += w.damage.has_value();
      EXPECT_EQ(state.game.damagedFiles.size(), damaged);
      // Portraits of impossible sizes are named by number in a warning about hdgrp.grp.
      const std::vector<int32_t> damagedPortraits = DamagedPictureNumbers(state.game.portraits);
      if (!damagedPortraits.empty()) {
        bool listed = false;
        for (const FileWarning& w : read->warnings)
          listed = listed || (w.file == "hdgrp.grp" &&
                              w.message.find(std::to_string(damagedPortraits.front())) != std::string::npos);
        EXPECT_TRUE(listed) << "damaged portraits not reported";
      }
      // An index value past the data or running backwards loses entries:
      // never read in silence. (The object tables keep what they do not
      // read, and in a picture set an entry that runs backwards is an
      // absent picture.)
      if (file.ends_with(".idx") && file != "alldef.idx" &&
          !(file == "hdgrp.idx" && damage.name == "descending offset") &&
          (damage.name.starts_with("negative") || damage.name.starts_with("descending") ||
           damage.name.starts_with("huge") || damage.name == "missing" || damage.name == "empty")) {
        EXPECT_GT(damaged, 0u) << damage.name;
      }
      // Whatever was read stays inside the files: pictures within their data.
      for (const RlePicture& p : state.game.portraits) EXPECT_EQ(p.colours.size(), p.data.size());
      dir.Put(file, SampleFiles().at(file));
      Result<GameReadReport> again = ReadGameFiles(state);
      ASSERT_TRUE(again);
      EXPECT_TRUE(again->warnings.empty());
      EXPECT_TRUE(state.game.damagedFiles.empty());
      ASSERT_EQ(Fingerprint(state), good);
    });
  }
}

TEST_F(DamagedFiles, GameWithoutPortraitsNamesOrPaletteOpensWithOneWarningAFile) {
  EditorState state;
  ReadSampleGame(state, GameCharset::Big5, dir.path());
  for (const char* name : {"hdgrp.idx", "hdgrp.grp", "r1.idx", "r1.grp", "mmap.col"}) fs::remove(dir / name);
  Result<GameReadReport> read = ReadGameFiles(state);
  ASSERT_TRUE(read) << read.error();
  std::vector<std::string> files;
  for (const FileWarning& w : read->warnings) files.push_back(w.file);
  EXPECT_EQ(files, (std::vector<std::string>{"mmap.col", "hdgrp.idx", "hdgrp.grp", "r1.idx", "r1.grp"}));
  // The edited files are all there; what is only shown is empty.
  EXPECT_EQ(state.talkCount(), int32_t(SampleFiles().at("talk.idx").size() / 4));
  EXPECT_EQ(state.eventCount(), int32_t(SampleFiles().at("kdef.idx").size() / 4));
  EXPECT_TRUE(state.game.portraits.empty());
  EXPECT_TRUE(state.game.names.persons.empty());
  EXPECT_TRUE(state.game.names.items.empty());
  // One message: a heading line, then one line a file, each naming it.
  const std::string message = ReadWarningsMessage(*read);
  const std::string heading(InterfaceStringText(Str::ReadWarningsHeading));
  ASSERT_TRUE(message.starts_with(heading + "\n")) << message;
  EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 5);
  for (const char* name : {"mmap.col", "hdgrp.idx", "hdgrp.grp", "r1.idx", "r1.grp"})
    EXPECT_NE(message.find(PathOf(name)), std::string::npos) << name;
  EXPECT_EQ(ReadWarningsMessage(GameReadReport{}), "");

  // Without kdef.grp the events are damaged: its index names what is gone.
  fs::remove(dir / "kdef.grp");
  Result<GameReadReport> damaged = ReadGameFiles(state);
  ASSERT_TRUE(damaged) << damaged.error();
  ASSERT_EQ(state.game.damagedFiles.size(), 1u);
  EXPECT_EQ(state.game.damagedFiles[0].file, "kdef.grp");
  EXPECT_EQ(state.eventCount(), 0);
  // Without both event files the read refuses and the state stays.
  dir.Put("kdef.grp", SampleFiles().at("kdef.grp"));
  ASSERT_TRUE(ReadGameFiles(state));
  const std::string before = Fingerprint(state);
  fs::remove(dir / "kdef.grp");
  fs::remove(dir / "kdef.idx");
  Result<GameReadReport> refused = ReadGameFiles(state);
  ASSERT_FALSE(refused);
  EXPECT_NE(refused.error().find(PathOf("kdef.idx")), std::string::npos) << refused.error();
  EXPECT_EQ(Fingerprint(state), before);
}

TEST_F(DamagedFiles, BattleFilesReadWhatIsThereOrNameTheFile) {
  const TextCodec& codec = testing::Big5Codec();
  ForEachDamage("war.sta", [&](const Damage& damage) {
    Result<WarStaContents> read = ReadWarSta(dir.path(), codec);
    ASSERT_TRUE(read) << read.error();
    const size_t size = dir.Has("war.sta") ? dir.Get("war.sta").size() : 0;
    EXPECT_EQ(read->fileMissing, damage.name == "missing");
    EXPECT_EQ(read->battles.size() * kBattleRecordSize + read->ignoredBytes, size);
  });
  for (const std::string file : {"warfld.idx", "warfld.grp"}) {
    ForEachDamage(file, [&](const Damage& damage) {
      int refused = 0;
      for (int m = 0; m < kBattlefieldCount; ++m) {
        Result<Battlefield> field = ReadBattlefield(dir.path(), m);
        if (!field) {
          ++refused;
          EXPECT_NE(field.error().find("warfld"), std::string::npos) << field.error();
          continue;
        }
        for (const auto& layer : field->layers) EXPECT_EQ(layer.size(), kBattlefieldLayerValues);
      }
      if (damage.name == "missing" || damage.name == "empty" || damage.name == "one byte" ||
          damage.name.starts_with("negative") || damage.name == "descending offset") {
        EXPECT_GT(refused, 0);
      }
    });
  }
}

TEST_F(DamagedFiles, PictureSetsReadWhatIsThereOrNameTheFile) {
  Palette palette{};
  for (size_t i = 0; i < palette.size(); ++i) palette[i] = uint32_t(i);
  for (const auto& names :
       std::vector<std::pair<std::string, std::string>>{{"wdx", "wmp"}, {"sdx", "smp"}, {"hdgrp.idx", "hdgrp.grp"}}) {
    const std::string idx = names.first, grp = names.second;
    for (const std::string& file : {idx, grp}) {
      ForEachDamage(file, [&](const Damage& damage) {
        std::vector<FileWarning> warnings;
        Result<PictureSet> set = LoadPictureSet(dir.path(), idx, grp, palette, &warnings);
        ASSERT_TRUE(set) << set.error();
        if (damage.name == "missing") {
          ASSERT_EQ(warnings.size(), 1u);
          EXPECT_EQ(warnings[0].file, file);
          EXPECT_NE(warnings[0].message.find(PathOf(file)), std::string::npos) << warnings[0].message;
        }
        const size_t dataSize = dir.Has(grp) ? dir.Get(grp).size() : 0;
        for (const RlePicture& p : *set) {
          EXPECT_LE(p.data.size(), dataSize);
          EXPECT_EQ(p.colours.size(), p.data.size());
          PixelArea area(64, 64);
          RenderPicture(p, area, 0, 0);
        }
      });
    }
  }
}

TEST_F(DamagedFiles, PictureClaimingTheLargestSizeIsDamagedAndTheRestOfTheSetReads) {
  dir.Put("smp", testing::WithHugeFirstPicture(SampleFiles().at("smp")));
  Result<PictureSet> set = LoadPictureSet(dir.path(), "sdx", "smp", Palette{});
  ASSERT_TRUE(set) << set.error();
  ASSERT_GT(set->size(), 1u);
  const RlePicture& huge = set->front();
  EXPECT_EQ(huge.width, 32767);
  EXPECT_EQ(huge.height, 32767);
  EXPECT_TRUE(PictureDamaged(huge));
  EXPECT_EQ(huge.colours.size(), huge.data.size());
  EXPECT_TRUE(RenderPictureOpaque(huge).pixels.empty());
  PixelArea area(40, 30, 0x123456);
  RenderPicture(huge, area, -5, -5);
  EXPECT_EQ(area.pixels, std::vector<uint32_t>(40 * 30, 0x123456));
  EXPECT_EQ(DamagedPictureNumbers(*set), std::vector<int32_t>{0});
  for (size_t k = 1; k < set->size(); ++k) EXPECT_TRUE(PictureShows((*set)[k])) << k;
}

TEST_F(DamagedFiles, RandomPortraitDataIsReadWithinBoundsAndWrittenBackAsItCame) {
  // Random bytes in hdgrp.grp with the sample's index: every picture of an
  // impossible size is reported and shown as absent; nothing holds more
  // pixels than a game picture can have, and the save keeps the bytes.
  std::mt19937 random(35);
  Bytes grp(SampleFiles().at("hdgrp.grp").size());
  for (uint8_t& b : grp) b = uint8_t(random());
  EditorState state;
  ReadSampleGame(state, GameCharset::Big5, dir.path());
  dir.Put("hdgrp.grp", grp);
  Result<GameReadReport> read = ReadGameFiles(state);
  ASSERT_TRUE(read) << read.error();
  const PictureSet& portraits = state.game.portraits;
  ASSERT_EQ(portraits.size(), SampleFiles().at("hdgrp.idx").size() / 4);
  const std::vector<int32_t> damaged = DamagedPictureNumbers(portraits);
  EXPECT_GT(damaged.size(), portraits.size() / 2);
  ASSERT_EQ(read->warnings.size(), 1u);
  EXPECT_EQ(read->warnings[0].file, "hdgrp.grp");
  EXPECT_NE(read->warnings[0].message.find(PathOf("hdgrp.grp")), std::string::npos) << read->warnings[0].message;
  EXPECT_NE(read->warnings[0].message.find(std::to_string(damaged.size()) + " 幅"), std::string::npos)
      << read->warnings[0].message;
  for (const RlePicture& p : portraits) {
    const PixelArea whole = RenderPictureOpaque(p);
    EXPECT_LE(whole.pixels.size(), size_t(1280) * 800);
    EXPECT_LE(DecodePictureIndices(p).indices.size(), size_t(1280) * 800);
  }
  Bytes idx, again;
  EncodePictureSet(portraits, idx, again);
  EXPECT_EQ(idx, SampleFiles().at("hdgrp.idx"));
  EXPECT_EQ(again, grp);
}

TEST_F(DamagedFiles, ProgramDataOpensWithWhatItHolds) {
  const TextCodec& codec = testing::Big5Codec();
  ForEachDamage("z.dat", [&](const Damage& damage) {
    const zdat::ZdatFile file = zdat::ReadZdat(dir.path());
    EXPECT_EQ(file.found, damage.name != "missing");
    EXPECT_EQ(file.size, dir.Has("z.dat") ? dir.Get("z.dat").size() : 0);
    // A file cut short of its sites opens with what it holds, and the patcher says so.
    const bool holdsEverySite = file.size >= zdat::HighestSiteEnd();
    EXPECT_EQ(file.complete(), holdsEverySite);
    EXPECT_EQ(file.values.roster.has_value(), file.size >= zdat::SiteOf(zdat::Site::Roster).end());
    if (holdsEverySite) {
      EXPECT_EQ(zdat::ZdatOpenProblem(codec, file), "");
    } else {
      EXPECT_NE(zdat::ZdatOpenProblem(codec, file).find("z.dat"), std::string::npos);
    }
  });
}

// ---- The damage matrix ------------------------------------------------------
//
// Every game file the editor reads or writes, under every damage of
// MatrixDamages(), opened as the editor opens it and then opened, edited
// elsewhere and saved (a file read with damage is left, as when the damage
// question is answered no). Each case runs in a child process (bounded_run.h):
// it ends within the time and memory bounds, something the user is shown
// names the damaged file, and no file on disk loses a byte it held.

// How the editor comes to read a file.
enum class Opened { ByRead, BattleFile, Battlefields, SceneTiles, BattleTiles, ProgramData };

struct GameFileRow {
  const char* file;
  Opened opened;
};

// One line a file kind.
const GameFileRow kEveryGameFile[] = {
    {"talk.idx", Opened::ByRead},         {"talk.grp", Opened::ByRead},         {"kdef.idx", Opened::ByRead},
    {"kdef.grp", Opened::ByRead},         {"hdgrp.idx", Opened::ByRead},        {"hdgrp.grp", Opened::ByRead},
    {"r1.idx", Opened::ByRead},           {"r1.grp", Opened::ByRead},           {"alldef.idx", Opened::ByRead},
    {"alldef.grp", Opened::ByRead},       {"mmap.col", Opened::ByRead},         {"war.sta", Opened::BattleFile},
    {"warfld.idx", Opened::Battlefields}, {"warfld.grp", Opened::Battlefields}, {"sdx", Opened::SceneTiles},
    {"smp", Opened::SceneTiles},          {"wdx", Opened::BattleTiles},         {"wmp", Opened::BattleTiles},
    {"z.dat", Opened::ProgramData},
};

// Cases where the damaged file is a file of its format all the same, so
// nothing can tell: a war.sta of whole records is that many battles, and the
// object tables keep bytes after the last table as they are.
bool NothingToTell(const std::string& file, const Damage& damage, const Bytes& damaged) {
  if (file == "war.sta") return damaged.size() % kBattleRecordSize == 0;
  return file == "alldef.grp" && damage.name == "data past its index";
}

// What the user is shown on opening what reads `row.file`, in the state the
// read command left.
std::vector<std::string> OpenMessages(EditorState& state, const GameFileRow& row) {
  std::vector<std::string> shown;
  Result<GameReadReport> read = ReadGameFiles(state);
  if (!read) return {read.error()};
  const fs::path dir(state.gameDirectory);
  switch (row.opened) {
    case Opened::ByRead:
      for (const FileWarning& w : read->warnings) shown.push_back(w.message);
      // A scene without an object table says so in the scene window.
      for (int32_t s = 0; s < ListedSceneCount(state); ++s)
        if (std::string note = SceneWithoutTableNote(state, s); !note.empty()) shown.push_back(note);
      break;
    case Opened::BattleFile: {
      Result<WarStaContents> battles = ReadWarSta(dir, state.text());
      if (!battles)
        shown.push_back(battles.error());
      else if (battles->fileMissing)
        shown.push_back(FormatInterfaceString(Str::WarStaMissing));
      else if (auto damage = WarStaDamage(*battles, dir / "war.sta"))
        shown.push_back(damage->message);
      break;
    }
    case Opened::Battlefields:
      for (int m = 0; m < kBattlefieldCount; ++m)
        if (Result<Battlefield> field = ReadBattlefield(dir, m); !field) shown.push_back(field.error());
      for (const FileWarning& w : DamageOfFilesReadOnOpen(state)) shown.push_back(w.message);
      break;
    case Opened::SceneTiles:
    case Opened::BattleTiles: {
      const bool scenes = row.opened == Opened::SceneTiles;
      const int count = scenes ? ListedSceneCount(state) : kBattlefieldCount;
      for (int k = 0; k < count; ++k) {
        Result<LoadedTileSet> tiles = scenes ? LoadSceneTiles(state, k) : LoadBattleTiles(state, k);
        if (!tiles)
          shown.push_back(tiles.error());
        else if (tiles->damage)
          shown.push_back(tiles->damage->message);
      }
      break;
    }
    case Opened::ProgramData:
      shown.push_back(zdat::ZdatOpenProblem(state.text(), zdat::ReadZdat(dir)));
      break;
  }
  return shown;
}

bool Names(const std::vector<std::string>& messages, const std::string& file) {
  auto lower = [](std::string t) {
    for (char& c : t) c = char(std::tolower(static_cast<unsigned char>(c)));
    return t;
  };
  for (const std::string& m : messages)
    if (lower(m).find(file) != std::string::npos) return true;
  return false;
}

std::map<std::string, Bytes> FilesIn(const fs::path& dir) {
  std::map<std::string, Bytes> files;
  for (const auto& entry : fs::directory_iterator(dir))
    files[entry.path().filename().string()] = *ReadWholeFile(entry.path());
  return files;
}

// What lies in `after` against what lay there before: a file gone, a byte
// changed, a file added. The files of the part that was edited and saved
// (`edited`, a prefix; empty for none) may change, and get their backups.
std::vector<std::string> LostOrAdded(const std::map<std::string, Bytes>& after,
                                     const std::function<const Bytes*(const std::string&)>& before,
                                     const std::string& edited) {
  std::vector<std::string> found;
  auto inEdited = [&](const std::string& name) { return !edited.empty() && name.starts_with(edited); };
  for (const auto& [name, bytes] : SampleFiles()) {
    const Bytes* held = before(name);
    if (!held || inEdited(name)) continue;
    if (!after.count(name))
      found.push_back(name + " is gone");
    else if (after.at(name) != *held)
      found.push_back(name + " changed");
  }
  for (const auto& [name, bytes] : after)
    if (!before(name) && !(inEdited(name) && name.ends_with(".bak"))) found.push_back(name + " was added");
  return found;
}

TEST(DamageMatrix, EveryGameFileUnderEveryDamageOpensAndSavesWithinBoundsNamingItAndLosingNothing) {
  // Started once; each child works on its own copy of this process.
  EditorState started;
  started.programDir = TAVREL_BIN_DIR;
  ASSERT_TRUE(InitializeEditor(started, GameCharset::Big5));
  const std::map<std::string, Bytes>& sample = SampleFiles();
  // One directory for every case: after each, what the case changed is put
  // back, so the next starts from the sample game as it was made.
  SampleGameDir dir;
  const std::string kSaving = "-- saving --";
  int cases = 0;
  for (const GameFileRow& row : kEveryGameFile) {
    const std::string file = row.file;
    ASSERT_TRUE(sample.count(file)) << file << " is not a file of the sample game";
    for (const Damage& damage : testing::MatrixDamages()) {
      if (!testing::Applies(damage, file)) continue;
      SCOPED_TRACE(file + ": " + damage.name);
      cases += 2;
      const std::optional<Bytes> damaged = damage.apply(sample.at(file));
      fs::remove(dir / file);
      if (damaged) dir.Put(file, *damaged);
      // What lies on disk before the case.
      auto before = [&](const std::string& name) -> const Bytes* {
        if (name != file) return sample.count(name) ? &sample.at(name) : nullptr;
        return damaged ? &*damaged : nullptr;
      };
      // The edit is made in the part of the game the damage is not in.
      const bool editEvents = file.starts_with("talk.");
      const std::string edited = editEvents ? "kdef." : "talk.";
      // Both cases in one run, one after the other as the user meets them:
      // opened (and the disk checked), then edited elsewhere and saved.
      const BoundedRun run = RunBounded([&] {
        EditorState& state = started;
        state.gameDirectory = dir.path().string();
        std::vector<std::string> shown = OpenMessages(state, row);
        for (const std::string& lost : LostOrAdded(FilesIn(dir.path()), before, ""))
          shown.push_back("opening: " + lost);
        shown.push_back(kSaving);
        if (state.loaded) {
          if (editEvents)
            AddEvent(state);
          else
            AddDialogue(state);
          if (Status saved = SaveGameFiles(state); !saved) shown.push_back("save failed: " + saved.error());
        }
        return shown;
      });
      ASSERT_TRUE(run.WithinBounds()) << run.Describe();
      const auto saving = std::find(run.messages.begin(), run.messages.end(), kSaving);
      ASSERT_NE(saving, run.messages.end());
      const std::vector<std::string> opening(run.messages.begin(), saving);
      if (!(damaged && NothingToTell(file, damage, *damaged))) {
        EXPECT_TRUE(Names(opening, file)) << "nothing shown names " << file;
      }
      for (const std::string& m : run.messages)
        EXPECT_FALSE(m.starts_with("save failed") || m.starts_with("opening: ")) << m;
      // Every file keeps every byte it held, but the edited part's; the save
      // adds only the backups of the edited part.
      const std::map<std::string, Bytes> after = FilesIn(dir.path());
      for (const std::string& lost : LostOrAdded(after, before, edited)) ADD_FAILURE() << "saving: " << lost;
      // The edit reached the disk: one entry more in the edited part.
      const std::string index = edited + "idx";
      ASSERT_TRUE(after.count(index)) << index;
      EXPECT_EQ(after.at(index).size(), before(index)->size() + 4) << index;
      // Back to the sample game for the next case.
      for (const auto& [name, bytes] : after) {
        if (!sample.count(name))
          fs::remove(dir / name);
        else if (bytes != sample.at(name))
          dir.Put(name, sample.at(name));
      }
      if (!after.count(file)) dir.Put(file, sample.at(file));
    }
  }
  // 19 files, each missing, empty, cut at three places and random; the 8
  // indexes and the 8 data files of pairs disagreeing; opened, and saved.
  EXPECT_EQ(cases, 260);
}

}  // namespace
}  // namespace tavrel
