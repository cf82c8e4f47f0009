#include "gamefiles/names.h"

#include <fmt/format.h>

#include <algorithm>
#include <cstring>
#include <span>

#include "gamefiles/idx_grp.h"
#include "text/ui_strings.h"

namespace tavrel {

namespace {

// The leading fields of one record, copied out of the section; bytes the
// section does not hold read as 0.
class RecordFields {
 public:
  static constexpr size_t kLongest = 42;  // the item record's leading fields

  RecordFields(std::span<const uint8_t> section, size_t start) {
    if (start < section.size()) {
      const size_t n = std::min(kLongest, section.size() - start);
      std::memcpy(bytes_.data(), section.data() + start, n);
    }
  }
  int16_t I16(size_t at) const { return ReadI16(bytes_, at); }
  template <size_t N>
  std::array<uint8_t, N> Field(size_t at) const {
    static_assert(N <= kLongest);
    std::array<uint8_t, N> field{};
    std::memcpy(field.data(), bytes_.data() + at, N);
    return field;
  }

 private:
  std::array<uint8_t, kLongest> bytes_{};
};

template <size_t N>
std::string Decode(const TextCodec& codec, const std::array<uint8_t, N>& field) {
  return codec.DecodeGameText(field.data(), N);
}

PersonRecord ReadPerson(const RecordFields& f, const TextCodec& codec) {
  PersonRecord r;
  r.value0 = f.I16(0);
  r.portrait = f.I16(2);
  r.value2 = f.I16(4);
  r.value3 = f.I16(6);
  r.nameBytes = f.Field<10>(8);
  r.secondNameBytes = f.Field<10>(18);
  r.name = Decode(codec, r.nameBytes);
  r.secondName = Decode(codec, r.secondNameBytes);
  return r;
}

ItemRecord ReadItem(const RecordFields& f, const TextCodec& codec) {
  ItemRecord r;
  r.value0 = f.I16(0);
  r.nameBytes = f.Field<20>(2);
  r.secondNameBytes = f.Field<20>(22);
  r.name = Decode(codec, r.nameBytes);
  r.secondName = Decode(codec, r.secondNameBytes);
  return r;
}

SceneRecord ReadScene(const RecordFields& f, const TextCodec& codec) {
  SceneRecord r;
  r.value0 = f.I16(0);
  r.nameBytes = f.Field<10>(2);
  r.name = Decode(codec, r.nameBytes);
  return r;
}

SkillRecord ReadSkill(const RecordFields& f, const TextCodec& codec) {
  SkillRecord r;
  r.value0 = f.I16(0);
  r.nameBytes = f.Field<20>(2);
  r.name = Decode(codec, r.nameBytes);
  return r;
}

// length / recordSize rounded to the nearest integer, a half to the even one.
size_t RecordCount(size_t length, size_t recordSize) {
  const size_t quotient = length / recordSize;
  const size_t twiceRest = 2 * (length % recordSize);
  if (twiceRest > recordSize || (twiceRest == recordSize && quotient % 2 == 1)) return quotient + 1;
  return quotient;
}

template <class Record, class Reader>
std::vector<Record> ReadTable(std::span<const uint8_t> section, size_t recordSize, Reader read,
                              const TextCodec& codec) {
  std::vector<Record> table(RecordCount(section.size(), recordSize));
  for (size_t k = 0; k < table.size(); ++k) table[k] = read(RecordFields(section, k * recordSize), codec);
  return table;
}

constexpr int32_t kPersonEntry = 1;
constexpr int32_t kItemEntry = 2;
constexpr int32_t kSceneEntry = 3;
constexpr int32_t kSkillEntry = 4;

}  // namespace

Result<NameTables> LoadNameTables(const std::filesystem::path& gameDir, const TextCodec& codec,
                                  std::vector<FileWarning>* warnings) {
  Result<IdxGrpFile> file = ReadIdxGrp(gameDir, "r1.idx", "r1.grp", IndexCheck::Strict, warnings);
  if (!file) return file.passError();
  if (file->count() <= kSkillEntry)
    return Error{FormatInterfaceString(Str::NameTableTooShort, FindGameFile(gameDir, "r1.idx").string(), file->count(),
                                       kSkillEntry + 1)};
  NameTables names;
  names.persons = ReadTable<PersonRecord>(file->Entry(kPersonEntry), kPersonRecordSize, ReadPerson, codec);
  names.items = ReadTable<ItemRecord>(file->Entry(kItemEntry), kItemRecordSize, ReadItem, codec);
  names.scenes = ReadTable<SceneRecord>(file->Entry(kSceneEntry), kSceneRecordSize, ReadScene, codec);
  names.skills = ReadTable<SkillRecord>(file->Entry(kSkillEntry), kSkillRecordSize, ReadSkill, codec);
  return names;
}

std::vector<std::vector<int32_t>> BuildPortraitUsers(const NameTables& names, int32_t portraitCount) {
  std::vector<std::vector<int32_t>> users(size_t(std::max(portraitCount, 0)));
  for (size_t p = 0; p < names.persons.size(); ++p) {
    const int32_t portrait = names.persons[p].portrait;
    if (portrait >= 0 && portrait < portraitCount) users[size_t(portrait)].push_back(static_cast<int32_t>(p));
  }
  return users;
}

}  // namespace tavrel
