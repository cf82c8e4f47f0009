// Damaged game directories: every file missing, empty, one byte long, cut
// short, and every index with odd, negative, descending or huge offsets or a
// length that is not a multiple of 4. Reading reports the file by name and
// leaves the editor as it was, or reads what is there; it never reads past a
// file and never crashes.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "app/editor_state.h"
#include "app/zdat_patch.h"
#include "damaged_files_support.h"
#include "gamefiles/picture_encode.h"
#include "gamefiles/pictures.h"
#include "gamefiles/war_map.h"
#include "gamefiles/war_sta.h"
#include "sample_test_support.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace {

using testing::Damage;
using testing::Damages;
using testing::ReadSampleGame;
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

// What the read command replaces, to see that a failed read left it alone.
std::string Fingerprint(const EditorState& s) {
  std::string f = std::to_string(s.game.talk.entries.size()) + "/" + std::to_string(s.game.events.events.size()) + "/" +
                  std::to_string(s.game.portraits.size()) + "/" + std::to_string(s.game.names.persons.size()) + "/" +
                  std::to_string(s.game.palette[7]) + "/" + std::to_string(s.game.objects.sceneCount());
  for (const TalkEntry& e : s.game.talk.entries) f += e.text;
  for (const KdefEvent& e : s.game.events.events)
    for (int16_t w : e.words) f += std::to_string(w) + ",";
  return f;
}

bool IsOptional(const std::string& file) {
  return file == "mmap.col" || file.starts_with("hdgrp.") || file.starts_with("r1.") || file.starts_with("alldef.");
}

// The edited pairs refuse these damages; the optional files refuse none.
bool MustRefuse(const std::string& file, const std::string& damage) {
  if (IsOptional(file)) return false;
  if (damage == "missing") return true;
  return file.ends_with(".idx") &&
         (damage.starts_with("negative") || damage.starts_with("descending") || damage.starts_with("huge"));
}

// Damages that a read must report as a warning naming the file (others, such
// as a cut-short file, may be warned about or refused by what they cut).
bool MustWarn(const std::string& file, const std::string& damage) {
  if (file == "mmap.col") return true;           // every damage leaves it short of 768 bytes
  if (file.starts_with("alldef.")) return true;  // every damage leaves a table short, or bytes outside every table
  if (file.starts_with("hdgrp.")) return damage == "missing";
  if (file.starts_with("r1.") && (damage == "missing" || damage == "empty")) return true;
  if (file == "r1.idx" &&
      (damage.starts_with("negative") || damage.starts_with("descending") || damage.starts_with("huge")))
    return true;
  // Index oddities read gently: a trailing partial value, an odd event offset.
  if (file.ends_with(".idx") && (damage == "length not a multiple of 4" || damage == "one byte")) return true;
  return file == "kdef.idx" && damage == "odd offset";
}

TEST_F(DamagedFiles, ReadCommandRefusesDamagedEditedFilesAndWarnsAboutTheOthers) {
  EditorState state;
  ReadSampleGame(state, GameCharset::Big5, dir.path());
  const std::string good = Fingerprint(state);
  for (const std::string file : {"talk.idx", "talk.grp", "mmap.col", "hdgrp.idx", "hdgrp.grp", "r1.idx", "r1.grp",
                                 "alldef.idx", "alldef.grp", "kdef.idx", "kdef.grp"}) {
    const std::string stem = file.substr(0, file.find('.') + 1);
    ForEachDamage(file, [&](const Damage& damage) {
      Result<GameReadReport> read = ReadGameFiles(state);
      if (!read) {
        EXPECT_FALSE(IsOptional(file)) << "an optional file refused the read: " << read.error();
        EXPECT_NE(read.error().find(PathOf(stem)), std::string::npos) << read.error();
        EXPECT_EQ(Fingerprint(state), good) << "a failed read changed the state";
        return;
      }
      EXPECT_FALSE(MustRefuse(file, damage.name)) << "read without a complaint";
      bool named = false;
      for (const FileWarning& w : read->warnings) {
        SCOPED_TRACE(w.message);
        EXPECT_NE(w.message.find(PathOf(w.file)), std::string::npos) << "the message does not name " << w.file;
        EXPECT_TRUE(w.file.starts_with(stem)) << "a warning about an undamaged file";
        named = named || w.file == file || (IsOptional(file) && w.file.starts_with(stem));
      }
      if (MustWarn(file, damage.name)) {
        EXPECT_TRUE(named) << "no warning names " << file;
      }
      if (named && file == "mmap.col") {
        // A grey palette: index i is grey level i.
        EXPECT_EQ(state.game.palette[7], 0x070707u);
        EXPECT_EQ(state.game.palette[200], 0xC8C8C8u);
      }
      if (named && file.starts_with("hdgrp.") && damage.name == "missing") {
        EXPECT_TRUE(state.game.portraits.empty());
      }
      // Portraits of impossible sizes are named by number in a warning about hdgrp.grp.
      const std::vector<int32_t> damagedPortraits = DamagedPictureNumbers(state.game.portraits);
      if (!damagedPortraits.empty()) {
        bool listed = false;
        for (const FileWarning& w : read->warnings)
          listed = listed || (w.file == "hdgrp.grp" &&
                              w.message.find(std::to_string(damagedPortraits.front())) != std::string::npos);
        EXPECT_TRUE(listed) << "damaged portraits not reported";
      }
      if (named && file.starts_with("r1.") && (damage.name == "missing" || damage.name == "empty")) {
        EXPECT_TRUE(state.game.names.persons.empty());
        EXPECT_TRUE(state.game.names.scenes.empty());
      }
      // Whatever was read stays inside the files: pictures within their data.
      for (const RlePicture& p : state.game.portraits) EXPECT_EQ(p.colours.size(), p.data.size());
      dir.Put(file, SampleFiles().at(file));
      Result<GameReadReport> again = ReadGameFiles(state);
      ASSERT_TRUE(again);
      EXPECT_TRUE(again->warnings.empty());
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

  // Without kdef.grp the read refuses and the state stays.
  const std::string before = Fingerprint(state);
  fs::remove(dir / "kdef.grp");
  Result<GameReadReport> refused = ReadGameFiles(state);
  ASSERT_FALSE(refused);
  EXPECT_NE(refused.error().find(PathOf("kdef.grp")), std::string::npos) << refused.error();
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
        Result<PictureSet> set = LoadPictureSet(dir.path(), idx, grp, palette);
        if (damage.name == "missing") {
          ASSERT_FALSE(set);
          EXPECT_NE(set.error().find(PathOf(file)), std::string::npos) << set.error();
          return;
        }
        ASSERT_TRUE(set) << set.error();
        const size_t dataSize = dir.Get(grp).size();
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

}  // namespace
}  // namespace tavrel
