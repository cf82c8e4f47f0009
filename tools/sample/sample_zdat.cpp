// The sample game's program data z.dat and a few battle-animation files.
// z.dat is filler bytes with every patch site of app/zdat_sites.h set to a
// value an unpatched game would plausibly hold; every offset comes from that
// table.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "app/zdat_sites.h"
#include "sample/sample_build.h"
#include "sample/sample_canvas.h"
#include "sample/sample_parts.h"

namespace tavrel::sample {
namespace {

using namespace tavrel::zdat;

constexpr size_t kZdatSize = 335872;  // a little past the last name table
constexpr int kFightFileCount = 4;    // fight000 .. fight003

void Put(Bytes& z, uint32_t at, std::initializer_list<uint8_t> bytes) {
  std::copy(bytes.begin(), bytes.end(), z.begin() + at);
}
void PutI16(Bytes& z, uint32_t at, int16_t v) { Put(z, at, {uint8_t(uint16_t(v)), uint8_t(uint16_t(v) >> 8)}); }
void PutI32(Bytes& z, uint32_t at, int32_t v) {
  const auto u = uint32_t(v);
  Put(z, at, {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)});
}
// The name, then zero bytes to the end of the entry.
void PutName(Bytes& z, const NameTableSite& table, uint32_t entry, const std::string& name) {
  const uint32_t at = table.entry(entry);
  std::fill_n(z.begin() + at, table.entryWidth, uint8_t(0));
  std::copy_n(name.begin(), std::min<size_t>(name.size(), table.entryWidth - 1), z.begin() + at);
}

Bytes MakeZdat(bool numberedTiles) {
  Bytes z(kZdatSize);
  SampleRandom random(0x2DA7);
  for (uint8_t& b : z) b = uint8_t(random.Next());

  Put(z, SiteOf(Site::WalkOnWater).offset, {kWaterNormalBytes[0], kWaterNormalBytes[1]});
  PutI32(z, SiteOf(Site::TotalMemory).offset, 420000);
  PutI32(z, SiteOf(Site::Memory1).offset, 96000);
  PutI32(z, SiteOf(Site::Memory2).offset, 64000);

  // A short roster with gaps, read by a routine that expects 20 entries.
  const FixedSite& roster = SiteOf(Site::Roster);
  std::fill_n(z.begin() + roster.offset, roster.width, uint8_t(0));
  const uint8_t members[] = {0, 3, 5, 0, 8, 13, 21, 0, 34};
  std::copy(std::begin(members), std::end(members), z.begin() + roster.offset);
  Put(z, SiteOf(Site::LeaveRoutine).offset, {0x8A, 0x94, 0x1E, 0x00});
  Put(z, SiteOf(Site::LeaveCount1).offset, {20});
  Put(z, SiteOf(Site::LeaveCount2).offset, {20});
  PutI16(z, SiteOf(Site::LeaveEvent).offset, 186);
  Put(z, SiteOf(Site::FightByte).offset, {6});

  // The tile-set tables name the files the sample writes: the one bare set
  // in every entry, as in an unpatched game, or each entry's numbered set.
  // The fight tables hold the name with its number, as the game spells them.
  const auto tiles = [numberedTiles](const char* stem, uint32_t i) {
    return numberedTiles ? fmt::format("{}{:03}", stem, i) : std::string(stem);
  };
  for (const NameTableSite& table : kNameTables) {
    for (uint32_t i = 0; i < table.entries; ++i) {
      std::string name;
      switch (table.table) {
        case NameTable::SceneData:
          name = tiles("smp", i);
          break;
        case NameTable::SceneIndex:
          name = tiles("sdx", i);
          break;
        case NameTable::BattleData:
          name = tiles("wmp", i);
          break;
        case NameTable::BattleIndex:
          name = tiles("wdx", i);
          break;
        case NameTable::FightData:
          name = fmt::format("fight{:03}.g", i);
          break;
        case NameTable::FightIndex:
          name = fmt::format("fight{:03}.i", i);
          break;
      }
      PutName(z, table, i, name);
    }
  }

  for (size_t k = 0; k < kWordLimits.size(); ++k)
    for (uint32_t at : kWordLimits[k].values.view()) PutI16(z, at, int16_t(k == 0 ? 999 : 1999));

  for (size_t k = 0; k < kByteLimits.size(); ++k) {
    const ByteLimitSite& row = kByteLimits[k];
    const uint8_t limit = k < 2 ? 100 : uint8_t(100 + 10 * (k % 3));  // 100, 110 or 120
    for (uint32_t at : row.values.view()) z[at] = limit;
    const auto branches = row.branches.view();
    for (size_t b = 0; b < branches.size(); ++b) {
      if (BranchWidth(row, b) == 2)
        Put(z, branches[b], {kKeepNearBranch[0], kKeepNearBranch[1]});
      else
        z[branches[b]] = kKeepBranch;
    }
  }
  return z;
}

// One battle animation: a few frames of a figure swinging, index and data.
void AddFightFiles(int n, std::vector<SampleFile>& files) {
  std::vector<Bytes> frames;
  for (int f = 0; f < 3; ++f) {
    Canvas c(24, 32);
    c.FillEllipse(12, 6, 4, 4, Colour(kSkin, 9));
    c.FillRect(8, 11, 8, 12, Colour(Ramp(kRed + n % 4), 8));
    c.FillRect(8, 23, 3, 8, Colour(kGrey, 5));
    c.FillRect(13, 23, 3, 8, Colour(kGrey, 5));
    c.FillRect(16, 8 + 4 * f, 7, 2, Colour(kStone, 12));  // the weapon, lower each frame
    frames.push_back(EncodePicture(c, 12, 30));
  }
  AddIdxGrp(files, fmt::format("fight{:03}.idx", n), fmt::format("fight{:03}.grp", n), frames);
}

}  // namespace

std::vector<SampleFile> MakeExecutableDataFiles(const SampleOptions& options) {
  std::vector<SampleFile> files;
  files.push_back({"z.dat", MakeZdat(options.numberedTiles)});
  for (int n = 0; n < kFightFileCount; ++n) AddFightFiles(n, files);
  return files;
}

}  // namespace tavrel::sample
