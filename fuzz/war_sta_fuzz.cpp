// war.sta: parse, and an unchanged list encodes to the same bytes.
#include "fuzz_support.h"
#include "gamefiles/war_sta.h"

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  const WarStaContents contents = ParseWarSta(bytes, fuzz::Big5());
  FUZZ_CHECK(contents.battles.size() * kBattleRecordSize + contents.ignoredBytes == size);
  const Bytes encoded = EncodeWarSta(contents.battles, fuzz::Big5());
  FUZZ_CHECK(encoded.size() == contents.battles.size() * kBattleRecordSize);
  FUZZ_CHECK(std::equal(encoded.begin(), encoded.end(), bytes.begin()));
  // A renamed battle stores at most eight name bytes and a zero.
  if (!contents.battles.empty()) {
    BattleRecord renamed = contents.battles.back();
    renamed.name = contents.battles.front().name + "x";
    const auto stored = StoredNameBytes(renamed, fuzz::Big5());
    FUZZ_CHECK(ZeroTerminatedLength(stored.data(), stored.size()) <= kBattleStoredNameBytes);
  }
  return 0;
}
