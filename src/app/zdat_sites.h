#include "text/ui_string_names.h"
#pragma once
// Every fixed place of z.dat that the patcher reads or writes: the game's
// program data holds its rules as constants and branch instructions at these
// offsets (counted from the start of the file, little-endian numbers). This is
// the only place where those offsets are spelled; the reader, the patch
// planner, the window and the sample game all take them from here.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace tavrel::zdat {

// A short list of offsets kept inside a constexpr row.
template <size_t N>
struct OffsetList {
  std::array<uint32_t, N> at{};
  uint8_t count = 0;
  constexpr std::span<const uint32_t> view() const { return {at.data(), count}; }
};
using Offsets8 = OffsetList<8>;

// ---- switches, sizes and counters -------------------------------------------

enum class Site : uint8_t {
  WalkOnWater,   // 2 bytes: 0x90 0x90 walks on water, 0x31 0xF6 is normal
  TotalMemory,   // 32-bit signed
  Memory1,       // 32-bit signed
  Memory2,       // 32-bit signed
  Roster,        // 50 person numbers of the members who may leave
  LeaveRoutine,  // 4 bytes of the routine that reads the roster
  LeaveCount1,   // roster length used by the routine
  LeaveCount2,
  LeaveEvent,  // 16-bit signed event number
  FightByte,   // number of fight files
};

struct FixedSite {
  Site site;
  std::string_view key;  // the name `tavrel zdat` prints
  uint32_t offset;
  uint32_t width;
  constexpr uint32_t end() const { return offset + width; }
};

inline constexpr std::array<FixedSite, 10> kFixedSites{{
    {Site::WalkOnWater, "walk on water", 123111, 2},
    {Site::TotalMemory, "total memory", 108353, 4},
    {Site::Memory1, "memory M1", 177906, 4},
    {Site::Memory2, "memory M2", 204756, 4},
    {Site::Roster, "roster", 108261, 50},
    {Site::LeaveRoutine, "leave routine", 128645, 4},
    {Site::LeaveCount1, "leave count 1", 128656, 1},
    {Site::LeaveCount2, "leave count 2", 128663, 1},
    {Site::LeaveEvent, "leave event", 128710, 2},
    {Site::FightByte, "fight count", 204783, 1},
}};

constexpr const FixedSite& SiteOf(Site site) {
  for (const FixedSite& s : kFixedSites)
    if (s.site == site) return s;
  return kFixedSites[0];  // unreachable: every Site has a row
}

inline constexpr int kRosterSize = 50;

// The bytes the switches and counters receive.
inline constexpr std::array<uint8_t, 2> kWaterWalkBytes{0x90, 0x90};
inline constexpr std::array<uint8_t, 2> kWaterNormalBytes{0x31, 0xF6};
inline constexpr std::array<uint8_t, 4> kLeaveRoutineBytes{0x0F, 0xBE, 0x14, 0x04};
inline constexpr uint8_t kLeaveCount = 50;
inline constexpr uint8_t kFightCount = 10;

// ---- file-name tables ----------------------------------------------------------

enum class NameTable : uint8_t { SceneData, SceneIndex, BattleData, BattleIndex, FightData, FightIndex };

struct NameTableSite {
  NameTable table;
  std::string_view key;
  uint32_t first;       // offset of entry 0
  uint32_t entryWidth;  // bytes per entry
  uint32_t entries;
  constexpr uint32_t entry(uint32_t i) const { return first + i * entryWidth; }
  constexpr uint32_t end() const { return first + entries * entryWidth; }
};

inline constexpr std::array<NameTableSite, 6> kNameTables{{
    {NameTable::SceneData, "smp name", 320892, 13, 100},
    {NameTable::SceneIndex, "sdx name", 322192, 13, 100},
    {NameTable::BattleData, "wmp name", 323834, 13, 30},
    {NameTable::BattleIndex, "wdx name", 324224, 13, 30},
    {NameTable::FightData, "fight data names", 324962, 10, 220},
    {NameTable::FightIndex, "fight index names", 327162, 10, 220},
}};

constexpr const NameTableSite& TableOf(NameTable table) {
  for (const NameTableSite& t : kNameTables)
    if (t.table == table) return t;
  return kNameTables[0];
}

// A picture name fits a 13-byte entry with its zero byte.
inline constexpr size_t kMaxPictureName = 12;
// Fight names are "fdx"/"fmp" and three digits, then zero bytes to the entry's end.
inline constexpr int kFightFiles = 220;

// ---- life and internal energy limits (16-bit signed, no cancel option) ---------

struct WordLimitSite {
  std::string_view key;
  std::string_view checkBox;  // objectNames of the window's controls
  std::string_view field;
  int caption;  // interface string of the check box
  Offsets8 values;
};

inline constexpr std::array<WordLimitSite, 2> kWordLimits{{
    {"life limit",
     "chkModifyLifeMax",
     "txtlifemax",
     Str::MaxLifePatch,
     {{151798, 151809, 217629, 217640, 218753, 218764}, 6}},
    {"energy limit",
     "chkmodifyneilimax",
     "txtneilimax",
     Str::MaxInnerForcePatch,
     {{152510, 152521, 209065, 209076, 217719, 217730, 218830, 218841}, 8}},
}};

// ---- attribute limits (8-bit, with a cancel option) ------------------------------
// Each place the game enforces a limit is `cmp byte, max` (the value byte),
// the branch right after it, and `mov byte, max` some bytes further on. The
// branch byte keeps the limit (jle) or removes it (jmp).

inline constexpr uint8_t kKeepBranch = 0x7E;    // jle short
inline constexpr uint8_t kRemoveBranch = 0xEB;  // jmp short
// The blade's first branch is a near one: two bytes.
inline constexpr std::array<uint8_t, 2> kKeepNearBranch{0x0F, 0x8E};    // jle near
inline constexpr std::array<uint8_t, 2> kRemoveNearBranch{0x90, 0xE9};  // nop; jmp near

struct ByteLimitSite {
  std::string_view key;
  std::string_view checkBox;
  std::string_view cancelBox;
  std::string_view field;
  int caption;
  OffsetList<6> values;
  OffsetList<3> branches;
  bool nearFirstBranch;  // the first branch takes two bytes
};

// In the order the patches are applied.
inline constexpr std::array<ByteLimitSite, 14> kByteLimits{{
    {"attack limit",
     "chkModifygongjimax",
     "chkcancelgongji",
     "txtgongjimax",
     Str::MaxAttackPatch,
     {{169700, 169710, 217999, 218009, 218876, 218886}, 6},
     {{169701, 218000, 218877}, 3},
     false},
    {"agility limit",
     "chkModifyqinggongMax",
     "chkcancelqinggong",
     "txtqinggongmax",
     Str::MaxAgilityPatch,
     {{169214, 169224, 218024, 218034, 218946, 218956}, 6},
     {{169215, 218025, 218947}, 3},
     false},
    {"defence limit",
     "chkModifyfangyumax",
     "chkcancelFangyu",
     "txtFangyuMax",
     Str::MaxDefencePatch,
     {{218049, 218059, 219016, 219026}, 4},
     {{218050, 219017}, 2},
     false},
    {"medicine limit",
     "chkModifyYiliao",
     "chkcancelYiliao",
     "txtYiliaoMax",
     Str::MaxMedicinePatch,
     {{218074, 218084, 219086, 219096}, 4},
     {{218075, 219087}, 2},
     false},
    {"poison use limit",
     "chkModifyYongdu",
     "chkCancelYongdu",
     "txtYongduMax",
     Str::MaxPoisonPatch,
     {{218099, 218109, 219156, 219166}, 4},
     {{218100, 219157}, 2},
     false},
    {"detoxification limit",
     "chkModifyJiedu",
     "chkCancelJiedu",
     "txtJieduMax",
     Str::MaxAntidotePatch,
     {{218124, 218134, 219226, 219236}, 4},
     {{218125, 219227}, 2},
     false},
    {"poison resistance limit",
     "chkModifyKangdu",
     "chkCancelKangdu",
     "txtKangduMax",
     Str::MaxResistPatch,
     {{219296, 219306}, 2},
     {{219297}, 1},
     false},
    {"fist and palm limit",
     "chkModifyQuanzhang",
     "chkCancelQuanzhang",
     "txtQuanzhangMax",
     Str::MaxFistPatch,
     {{218174, 218184, 219366, 219376}, 4},
     {{218175, 219367}, 2},
     false},
    {"sword limit",
     "chkModifyYujian",
     "chkCancelYujian",
     "txtYujianMax",
     Str::MaxSwordPatch,
     {{218199, 218209, 219436, 219446}, 4},
     {{218200, 219437}, 2},
     false},
    {"blade limit",
     "chkModifyshuadao",
     "chkCancelShuadao",
     "txtShuadaoMax",
     Str::MaxBladePatch,
     {{218224, 218238, 219506, 219516}, 4},
     {{218225, 219507}, 2},
     true},
    {"special weapons limit",
     "chkModifyTeshu",
     "chkCancelTeshu",
     "txtTeshuMax",
     Str::MaxSpecialWeaponPatch,
     {{219576, 219586}, 2},
     {{219577}, 1},
     false},
    {"hidden weapons limit",
     "chkModifyAnqi",
     "chkCancelAnqi",
     "txtAnqiMax",
     Str::MaxHiddenWeaponPatch,
     {{218149, 218159, 219646, 219656}, 4},
     {{218150, 219647}, 2},
     false},
    {"martial knowledge limit",
     "chkModifyWuxue",
     "chkCancelWuxue",
     "txtWuxueMax",
     Str::MaxKnowledgePatch,
     {{219716, 219726}, 2},
     {{219717}, 1},
     false},
    {"poisoned attack limit",
     "chkModifyGongdu",
     "chkCancelGongdu",
     "txtGongduMax",
     Str::MaxPoisonAttackPatch,
     {{219892, 219902}, 2},
     {{219893}, 1},
     false},
}};

// Width of branch k of a limit row.
constexpr uint32_t BranchWidth(const ByteLimitSite& row, size_t k) { return row.nearFirstBranch && k == 0 ? 2 : 1; }

// The first byte past every site: a z.dat at least this long holds them all.
uint32_t HighestSiteEnd();

}  // namespace tavrel::zdat
