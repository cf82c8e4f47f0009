#pragma once
// The name tables of the starting save data r1.idx/r1.grp: entries 1 to 4 are
// fixed-size records of persons, items, scenes and skills.
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "text/charset.h"

namespace tavrel {

inline constexpr int kPersonRecordSize = 182;
inline constexpr int kItemRecordSize = 190;
inline constexpr int kSceneRecordSize = 52;
inline constexpr int kSkillRecordSize = 136;

struct PersonRecord {
  int16_t value0 = 0;
  int16_t portrait = 0;  // number in the portrait set
  int16_t value2 = 0;
  int16_t value3 = 0;
  std::array<uint8_t, 10> nameBytes{};
  std::string name;
  std::array<uint8_t, 10> secondNameBytes{};
  std::string secondName;
};

struct ItemRecord {
  int16_t value0 = 0;
  std::array<uint8_t, 20> nameBytes{};
  std::string name;
  std::array<uint8_t, 20> secondNameBytes{};
  std::string secondName;
};

struct SceneRecord {
  int16_t value0 = 0;
  std::array<uint8_t, 10> nameBytes{};
  std::string name;
};

struct SkillRecord {
  int16_t value0 = 0;
  std::array<uint8_t, 20> nameBytes{};
  std::string name;
};

struct NameTables {
  std::vector<PersonRecord> persons;
  std::vector<ItemRecord> items;
  std::vector<SceneRecord> scenes;
  std::vector<SkillRecord> skills;
};

// Section length not a multiple of its record size: the count is the
// quotient rounded to nearest, half to even; a record reaching past the
// section's data is read as far as the data goes (missing bytes are 0).
// An index oddity that loses nothing (a trailing partial value) is read
// gently and reported in `warnings`.
Result<NameTables> LoadNameTables(const std::filesystem::path& gameDir, const TextCodec& codec,
                                  std::vector<FileWarning>* warnings = nullptr);

// For every portrait 0 .. portraitCount - 1, the persons wearing it, ascending.
// A portrait number outside that range belongs to no list.
std::vector<std::vector<int32_t>> BuildPortraitUsers(const NameTables& names, int32_t portraitCount);

}  // namespace tavrel
