#include "gamefiles/war_sta.h"

#include <algorithm>
#include <iterator>
#include <system_error>

#include "text/ui_string_names.h"

namespace tavrel {
namespace {

using F = BattleField;
using R = BattleRange;
constexpr BattleNumberField kFields[] = {
    {F::Lead, "lead", 0, 1, R::Any, Str::BattleLeadNumber, [](BattleRecord& b) { return &b.lead; }},
    {F::Map, "map", 12, 1, R::Battlefield, Str::BattleMapNumber, [](BattleRecord& b) { return &b.map; }},
    {F::Experience, "experience", 14, 1, R::Any, Str::VictoryExperience, [](BattleRecord& b) { return &b.experience; }},
    {F::Music, "music", 16, 1, R::Any, Str::BattleMusic, [](BattleRecord& b) { return &b.music; }},
    {F::Manual, "manual", 18, kBattleParticipants, R::Person, Str::BattleManualSlot,
     [](BattleRecord& b) { return b.manual.data(); }},
    {F::Automatic, "automatic", 30, kBattleParticipants, R::Person, Str::BattleAutomaticSlot,
     [](BattleRecord& b) { return b.automatic.data(); }},
    {F::PersonX, "personX", 42, kBattleParticipants, R::Square, Str::BattleParticipantX,
     [](BattleRecord& b) { return b.personX.data(); }},
    {F::PersonY, "personY", 54, kBattleParticipants, R::Square, Str::BattleParticipantY,
     [](BattleRecord& b) { return b.personY.data(); }},
    {F::Enemies, "enemies", 66, kBattleEnemies, R::Person, Str::BattleEnemySlot,
     [](BattleRecord& b) { return b.enemies.data(); }},
    {F::EnemyX, "enemyX", 106, kBattleEnemies, R::Square, Str::BattleEnemyX,
     [](BattleRecord& b) { return b.enemyX.data(); }},
    {F::EnemyY, "enemyY", 146, kBattleEnemies, R::Square, Str::BattleEnemyY,
     [](BattleRecord& b) { return b.enemyY.data(); }},
};

constexpr bool FieldsInEnumOrder() {
  for (size_t k = 0; k < std::size(kFields); ++k)
    if (size_t(kFields[k].field) != k) return false;
  return true;
}
static_assert(FieldsInEnumOrder(), "the war.sta field table lists the fields in the order of BattleField");

constexpr bool FieldsCoverRecord() {
  // Name bytes plus every number field, without gaps or overlaps, in file order.
  size_t expected = 0;
  for (const BattleNumberField& f : kFields) {
    if (expected == kBattleNameOffset) expected += kBattleNameBytes;
    if (f.offset != expected) return false;
    expected += f.count * 2;
  }
  return expected == kBattleRecordSize;
}
static_assert(FieldsCoverRecord(), "the war.sta field table must cover the 186 bytes");

std::string DecodeName(const std::array<uint8_t, kBattleNameBytes>& bytes, const TextCodec& codec) {
  return codec.DecodeGameText(bytes.data(), ZeroTerminatedLength(bytes.data(), kBattleNameBytes));
}

BattleRecord ParseBattle(std::span<const uint8_t> record, const TextCodec& codec) {
  BattleRecord battle;
  for (const BattleNumberField& f : kFields) {
    int16_t* values = f.first(battle);
    for (size_t k = 0; k < f.count; ++k) values[k] = ReadI16(record, f.offset + 2 * k);
  }
  std::copy_n(record.begin() + kBattleNameOffset, kBattleNameBytes, battle.nameBytes.begin());
  battle.name = DecodeName(battle.nameBytes, codec);
  return battle;
}

}  // namespace

std::span<const BattleNumberField> BattleNumberFields() { return kFields; }
const BattleNumberField& BattleNumberFieldOf(BattleField field) { return kFields[size_t(field)]; }

WarStaContents ParseWarSta(std::span<const uint8_t> bytes, const TextCodec& codec) {
  WarStaContents contents;
  const size_t count = bytes.size() / kBattleRecordSize;
  contents.battles.reserve(count);
  for (size_t i = 0; i < count; ++i)
    contents.battles.push_back(ParseBattle(bytes.subspan(i * kBattleRecordSize, kBattleRecordSize), codec));
  contents.ignoredBytes = bytes.size() - count * kBattleRecordSize;
  return contents;
}

Result<WarStaContents> ReadWarSta(const std::filesystem::path& gameDir, const TextCodec& codec) {
  const std::filesystem::path path = FindGameFile(gameDir, "war.sta");
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    WarStaContents empty;
    empty.fileMissing = true;
    return empty;
  }
  Result<Bytes> bytes = ReadWholeFile(path);
  if (!bytes) return bytes.passError();
  return ParseWarSta(*bytes, codec);
}

std::array<uint8_t, kBattleNameBytes> StoredNameBytes(const BattleRecord& battle, const TextCodec& codec) {
  std::array<uint8_t, kBattleNameBytes> stored = battle.nameBytes;
  // A name left as it was read keeps its ten bytes, even one that fills
  // them without a zero: an unchanged record is written back as read.
  if (battle.name == DecodeName(battle.nameBytes, codec)) return stored;
  const std::vector<uint8_t> encoded = codec.EncodeGameText(battle.name);
  const size_t n = std::min(encoded.size(), kBattleStoredNameBytes);
  std::copy_n(encoded.begin(), n, stored.begin());
  stored[n] = 0;
  return stored;
}

Bytes EncodeBattle(const BattleRecord& battle, const TextCodec& codec) {
  Bytes record(kBattleRecordSize, 0);
  BattleRecord source = battle;  // the table's accessors hand out writable pointers
  for (const BattleNumberField& f : kFields) {
    const int16_t* values = f.first(source);
    for (size_t k = 0; k < f.count; ++k) {
      record[f.offset + 2 * k] = uint8_t(uint16_t(values[k]));
      record[f.offset + 2 * k + 1] = uint8_t(uint16_t(values[k]) >> 8);
    }
  }
  const auto name = StoredNameBytes(battle, codec);
  std::copy(name.begin(), name.end(), record.begin() + kBattleNameOffset);
  return record;
}

Bytes EncodeWarSta(std::span<const BattleRecord> battles, const TextCodec& codec) {
  Bytes out;
  out.reserve(battles.size() * kBattleRecordSize);
  for (const BattleRecord& battle : battles) {
    const Bytes record = EncodeBattle(battle, codec);
    out.insert(out.end(), record.begin(), record.end());
  }
  return out;
}

Result<std::filesystem::path> SaveWarSta(const std::filesystem::path& gameDir, std::vector<BattleRecord>& battles,
                                         const TextCodec& codec) {
  const std::filesystem::path path = FindGameFile(gameDir, "war.sta");
  const Bytes bytes = EncodeWarSta(battles, codec);
  Status written = WriteFileAtomic(path, bytes);
  if (!written) return written.passError();
  for (BattleRecord& battle : battles) battle.nameBytes = StoredNameBytes(battle, codec);
  return path;
}

}  // namespace tavrel
