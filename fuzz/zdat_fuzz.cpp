// z.dat as the patcher reads it, then the window's values applied back: the
// file keeps its length and only the planned bytes change.
#include <fmt/format.h>

#include "app/tile_sets.h"
#include "app/zdat_patch.h"
#include "fuzz_support.h"

using namespace tavrel;
using namespace tavrel::zdat;

namespace {

template <class T>
std::string Text(const std::optional<T>& v) {
  return v ? fmt::format("{}", int64_t(*v)) : std::string("x");
}

// What the window holds after opening on `values`, with the groups of `mask` checked.
ZdatChoices ChoicesFrom(const ZdatValues& values, uint32_t mask) {
  ZdatChoices c;
  c.water = mask & 1;
  c.walkOnWater = mask & 2;
  c.memory = mask & 4;
  c.totalMemory = Text(values.totalMemory);
  c.memory1 = Text(values.memory1);
  c.memory2 = Text(values.memory2);
  c.scenePictures = mask & 8;
  c.sdx = values.sdx.value_or("");
  c.smp = values.smp.value_or("");
  c.battlePictures = mask & 16;
  c.wdx = values.wdx.value_or("");
  c.wmp = values.wmp.value_or("");
  c.fight = mask & 32;
  c.roster = mask & 64;
  if (values.roster) GatherRoster(*values.roster, c.rosterSlots);
  c.leaveEvent = Text(values.leaveEvent);
  for (size_t k = 0; k < c.wordLimits.size(); ++k)
    c.wordLimits[k] = {bool(mask & (128u << k)), Text(values.wordLimits[k]), false};
  for (size_t k = 0; k < c.byteLimits.size(); ++k)
    c.byteLimits[k] = {bool(mask & (512u << k)), Text(values.byteLimits[k]), bool(mask & (1u << (k + 18)))};
  return c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const uint32_t mask = uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 | uint32_t(data[3]) << 24;
  const std::span<const uint8_t> bytes(data + 4, size - 4);
  fuzz::LayFiles({{"z.dat", bytes}});
  const ZdatFile file = ReadZdat(fuzz::ScratchGameDir());
  FUZZ_CHECK(file.found && file.size == bytes.size());
  (void)ZdatReport(file.values);
  (void)ZdatOpenProblem(fuzz::Big5(), file);
  // The tile-set names the game's lookup takes from the tables: never empty,
  // never longer than an entry, never leaving the game directory.
  for (int k : {0, 1, 29, 99})
    for (TileSetKind kind : {TileSetKind::Scene, TileSetKind::Battle})
      for (const TileSetNames& names : TileSetCandidates(bytes, kind, k))
        for (const std::string* name : {&names.index, &names.data})
          FUZZ_CHECK(!name->empty() && name->size() <= 13 && name->find_first_of("/\\") == std::string::npos &&
                     *name != "." && *name != "..");
  if (file.values.sdx)
    (void)PictureNameText(
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(file.values.sdx->data()), file.values.sdx->size()));

  PatchSession session;
  const ZdatChoices choices = ChoicesFrom(file.values, mask);
  const PatchOutcome outcome = PatchZdat(fuzz::ScratchGameDir(), choices, session);
  (void)PatchOutcomeMessage(fuzz::Big5(), outcome);
  FUZZ_CHECK(outcome.written);
  Result<Bytes> after = ReadWholeFile(fuzz::ScratchGameDir() / "z.dat");
  FUZZ_CHECK(after && after->size() == bytes.size());
  std::vector<bool> planned(bytes.size(), false);
  for (const ByteWrite& w : outcome.plan.writes) {
    FUZZ_CHECK(size_t(w.offset) + w.bytes.size() <= bytes.size());
    for (size_t i = 0; i < w.bytes.size(); ++i) planned[w.offset + i] = true;
  }
  for (size_t i = 0; i < bytes.size(); ++i) FUZZ_CHECK(planned[i] || (*after)[i] == bytes[i]);
  Result<Bytes> kept = ReadWholeFile(fuzz::ScratchGameDir() / "z.dat.bak");
  FUZZ_CHECK(outcome.plan.writes.empty() ||
             (kept && std::equal(kept->begin(), kept->end(), bytes.begin(), bytes.end())));
  return 0;
}
