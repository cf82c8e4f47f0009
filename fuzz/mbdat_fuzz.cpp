// mb.dat: the three tables, then every conversion built from them.
#include "fuzz_support.h"
#include "text/charset.h"
#include "text/ui_strings.h"

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::LayFiles({{"mb.dat", std::span<const uint8_t>(data, size)}});
  auto tables = std::make_shared<CharsetTables>();
  Status loaded = LoadCharsetTables(fuzz::ScratchGameDir() / "mb.dat", *tables);
  FUZZ_CHECK(loaded || loaded.error().find("mb.dat") != std::string::npos);
  // Game text taken from the end of the input, where the interface map lies.
  const std::span<const uint8_t> sample(data + size - std::min<size_t>(size, 96), std::min<size_t>(size, 96));
  // Building a codec composes its tables, the slow part: one charset an input.
  {
    const TextCodec codec(size % 2 == 0 ? GameCharset::Gbk : GameCharset::Big5, tables);
    const std::string text = codec.DecodeGameText(sample);
    const std::vector<uint8_t> back = codec.EncodeGameText(text);
    (void)codec.CanEncode(text);
    (void)codec.MapInterfaceText(text);
    (void)codec.GbkBytesToBig5(sample);
    (void)codec.ToCodePage(text);
    (void)codec.UiString(InterfaceStrings()[size % InterfaceStrings().size()].number);
    FUZZ_CHECK(back.size() <= 2 * text.size() + 2);
  }
  return 0;
}
