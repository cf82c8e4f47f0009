// kdefattr.dat: parse the table, then decode and lay out events with it, so a
// damaged table (lengths below 1, jump words outside the instruction) is
// exercised through the decoder as well.
#include "fuzz_support.h"
#include "script/attributes.h"
#include "script/encode.h"

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Result<AttributeTable> table = ParseAttributeTable(text, "kdefattr.dat");
  if (!table) {
    FUZZ_CHECK(table.error().find("kdefattr.dat") != std::string::npos);
    return 0;
  }
  // The same table through the file, as the program loads it.
  fuzz::LayFiles({{"kdefattr.dat", std::span<const uint8_t>(data, size)}});
  Result<AttributeTable> loaded = LoadAttributeTable(fuzz::ScratchGameDir(), fuzz::Big5());
  (void)loaded;
  std::vector<int16_t> words;
  for (size_t i = 0; i + 1 < std::min<size_t>(size, 512); i += 2)
    words.push_back(int16_t(uint16_t(data[i]) | uint16_t(data[i + 1]) << 8));
  KdefEvent event;
  event.words = std::move(words);
  const auto& tables = fuzz::SampleNamesAndTalk();
  const DescribeContext ctx{fuzz::Big5(), tables.names, tables.talk.entries};
  ShowEvent(event, *table, ctx);
  Relayout(event, *table, ctx);
  Commit(event);
  return 0;
}
