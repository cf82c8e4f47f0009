#pragma once
// war.sta: the game's battles, fixed 186-byte records back to back with no
// header. Every number is 16-bit signed little-endian.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"
#include "gamefiles/file_io.h"
#include "text/charset.h"

namespace tavrel {

inline constexpr size_t kBattleRecordSize = 186;
inline constexpr size_t kBattleNameBytes = 10;
inline constexpr size_t kBattleStoredNameBytes = 8;  // a saved name keeps its zero within the 10 bytes
inline constexpr int kBattleParticipants = 6;
inline constexpr int kBattleEnemies = 20;
inline constexpr int16_t kNoPerson = -1;

struct BattleRecord {
  int16_t lead = 0;                                   // not shown; written back as read
  std::array<uint8_t, kBattleNameBytes> nameBytes{};  // as read; bytes after the zero survive a rename
  std::string name;                                   // decoded from nameBytes; what the editor changes
  int16_t map = 0;
  int16_t experience = 0;
  int16_t music = 0;
  std::array<int16_t, kBattleParticipants> manual{};     // chosen by hand, -1 empty
  std::array<int16_t, kBattleParticipants> automatic{};  // chosen automatically, -1 empty
  std::array<int16_t, kBattleParticipants> personX{};
  std::array<int16_t, kBattleParticipants> personY{};
  std::array<int16_t, kBattleEnemies> enemies{};  // -1 empty
  std::array<int16_t, kBattleEnemies> enemyX{};
  std::array<int16_t, kBattleEnemies> enemyY{};

  friend bool operator==(const BattleRecord&, const BattleRecord&) = default;
};

// The numbers of the record, each a run of one or more values.
enum class BattleField : uint8_t {
  Lead,
  Map,
  Experience,
  Music,
  Manual,
  Automatic,
  PersonX,
  PersonY,
  Enemies,
  EnemyX,
  EnemyY
};

// What a number stands for in the game, and so the range it must lie in.
enum class BattleRange : uint8_t {
  Any,          // any 16-bit number: the leading number, experience, music
  Battlefield,  // a map of warfld.idx / warfld.grp
  Person,       // -1 for nobody, or a person of the database
  Square,       // a square of the 64 x 64 battlefield, 0 .. 63 on each axis
};

// One run of numbers of the record: `count` values from byte `offset`, what
// they stand for, and the interface string that names one of them in a
// message ("{}" in it takes the slot or enemy number). The table lists every
// number of the record in file order; reader, writer, the battle editor and
// the checks all walk it (the name bytes at 2 .. 11 are the only other field).
struct BattleNumberField {
  BattleField field;
  const char* name;
  size_t offset;
  size_t count;
  BattleRange range;
  int label;
  int16_t* (*first)(BattleRecord&);
};
std::span<const BattleNumberField> BattleNumberFields();
const BattleNumberField& BattleNumberFieldOf(BattleField field);
inline constexpr size_t kBattleNameOffset = 2;

// What a read found.
struct WarStaContents {
  std::vector<BattleRecord> battles;
  bool fileMissing = false;  // no war.sta: an empty list
  size_t ignoredBytes = 0;   // a trailing partial record, not read; a save leaves it out
};

// The whole records of `bytes`; a trailing partial record is counted in
// ignoredBytes.
WarStaContents ParseWarSta(std::span<const uint8_t> bytes, const TextCodec& codec);

// war.sta of `gameDir` (found case-insensitively). A missing file is an empty
// list with fileMissing set; an error only when the file exists and cannot be read.
Result<WarStaContents> ReadWarSta(const std::filesystem::path& gameDir, const TextCodec& codec);

// The ten name bytes a save stores: the name bytes as read while the name is
// unchanged; otherwise the encoded name cut to 8 bytes, one zero, then the
// record's own bytes after that zero.
std::array<uint8_t, kBattleNameBytes> StoredNameBytes(const BattleRecord& battle, const TextCodec& codec);

Bytes EncodeBattle(const BattleRecord& battle, const TextCodec& codec);
Bytes EncodeWarSta(std::span<const BattleRecord> battles, const TextCodec& codec);

// Replaces war.sta atomically (keeping war.sta.bak) and returns its path. On
// success every record's nameBytes become the bytes stored, so the list
// matches the file.
Result<std::filesystem::path> SaveWarSta(const std::filesystem::path& gameDir, std::vector<BattleRecord>& battles,
                                         const TextCodec& codec);

}  // namespace tavrel
