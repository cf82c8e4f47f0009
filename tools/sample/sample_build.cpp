#include "sample/sample_build.h"

#include <memory>

#include "gamefiles/idx_grp.h"
#include "text/charset.h"

namespace tavrel::sample {

SampleSizes SizesFor(const SampleOptions& options) {
  SampleSizes sizes;
  const int scale = options.scale < 1 ? 1 : options.scale;
  sizes.dialogues *= scale;
  sizes.events *= scale;
  if (options.inventorySlots >= 1) sizes.inventorySlots = options.inventorySlots;
  return sizes;
}

uint32_t SampleRandom::Next() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 7;
  state_ ^= state_ << 17;
  return static_cast<uint32_t>(state_ >> 32);
}

Bytes Big5Bytes(std::string_view text) {
  // BIG5 needs no mb.dat: the code page alone converts the text.
  static const TextCodec codec(GameCharset::Big5, std::make_shared<CharsetTables>());
  return codec.EncodeGameText(text);
}

void AddIdxGrp(std::vector<SampleFile>& files, const std::string& idxName, const std::string& grpName,
               const std::vector<Bytes>& entries) {
  std::vector<int32_t> ends;
  ends.reserve(entries.size());
  Bytes grp;
  for (const Bytes& entry : entries) {
    grp.insert(grp.end(), entry.begin(), entry.end());
    ends.push_back(static_cast<int32_t>(grp.size()));
  }
  files.push_back({idxName, BuildIndex(ends)});
  files.push_back({grpName, std::move(grp)});
}

}  // namespace tavrel::sample
