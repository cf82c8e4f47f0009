#pragma once
// What the generators of the sample game share: its sizes, a deterministic
// random source, BIG5 text and the index/data container.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sample/sample_parts.h"

namespace tavrel::sample {

// Sizes of the sample game. Events and dialogues grow with the scale; the
// name tables and pictures stay as they are.
struct SampleSizes {
  int dialogues = 160;
  int events = 300;
  int persons = 320;
  int items = 200;
  int scenes = 12;          // scenes of the object tables (alldef), the tiles and the events
  int databaseScenes = 14;  // scenes the database names: more than alldef holds, as in real mods
  int skills = 90;
  int portraits = 120;
  int battles = 10;       // war.sta holds at least this many
  int sceneTiles = 48;    // every scene tile set holds at least this many
  int sceneEvents = 200;  // events per scene in the game
  // Portraits from here to the last are worn by nobody, while dialogue still
  // shows them; those from 75 on below it are worn by several persons.
  int firstUnwornPortrait = 110;
  int inventorySlots = 200;  // of the database's base entry
};
SampleSizes SizesFor(const SampleOptions& options);

// A small xorshift generator: the same numbers on every platform, unlike the
// distributions of <random>.
class SampleRandom {
 public:
  explicit SampleRandom(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {}
  uint32_t Next();
  int Below(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % uint32_t(n)); }
  int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }  // inclusive
  bool Chance(int percent) { return Below(100) < percent; }
  template <class T>
  const T& Pick(const std::vector<T>& from) {
    return from[size_t(Below(int(from.size())))];
  }

 private:
  uint64_t state_;
};

// Game bytes (BIG5) of UTF-8 text written in traditional characters.
Bytes Big5Bytes(std::string_view text);

// Appends IDX and GRP holding `entries` back to back.
void AddIdxGrp(std::vector<SampleFile>& files, const std::string& idxName, const std::string& grpName,
               const std::vector<Bytes>& entries);

// The generators, one file each.
std::vector<SampleFile> MakeTalkFiles(const SampleSizes& sizes);
std::vector<SampleFile> MakeEventFiles(const SampleSizes& sizes, const AttributeTable& attributes);
std::vector<SampleFile> MakeNameFiles(const SampleSizes& sizes);
std::vector<SampleFile> MakePortraitFiles(const SampleSizes& sizes);
// The scene tile set sdx/smp, or with `numbered` one set sdxNNN/smpNNN per scene.
std::vector<SampleFile> MakeSceneTileFiles(const SampleSizes& sizes, bool numbered);
SampleFile MakePaletteFile();
// alldef.idx/alldef.grp: the scenes' object tables.
std::vector<SampleFile> MakeObjectFiles(const SampleSizes& sizes);

// Names used by the dialogue texts as well as the name tables.
std::string PersonName(int person);

}  // namespace tavrel::sample
