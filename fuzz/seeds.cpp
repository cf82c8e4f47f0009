// Writes the seed corpora of the fuzz targets, one directory per target under
// OUT, from the sample game (and mb.dat when its path is given):
//   fuzz_seeds OUT [MB.DAT]
#include <fstream>

#include "app/picture_sets.h"
#include "base/crc32.h"
#include "fuzz_support.h"
#include "gamefiles/save_journal.h"
#include "sample/sample_build.h"

using namespace tavrel;
namespace fs = std::filesystem;

namespace {

void Write(const fs::path& dir, const std::string& name, const Bytes& bytes) {
  fs::create_directories(dir);
  std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The first `n` entries of an index/data pair, so seeds stay small.
std::pair<Bytes, Bytes> FirstEntries(const Bytes& idx, const Bytes& grp, size_t n) {
  n = std::min(n, idx.size() / 4);
  Bytes head(idx.begin(), idx.begin() + ptrdiff_t(4 * n));
  const size_t end = n == 0 ? 0 : size_t(std::min<int64_t>(ReadI32(idx, 4 * (n - 1)), int64_t(grp.size())));
  return {head, Bytes(grp.begin(), grp.begin() + ptrdiff_t(end))};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: fuzz_seeds OUT [MB.DAT]\n");
    return 2;
  }
  const fs::path out = argv[1];
  const auto game = fuzz::SampleGame();
  const auto file = [&](const std::string& name) { return fuzz::SampleFile(game, name); };
  const auto pair = [&](const std::string& idx, const std::string& grp, size_t n) {
    auto [i, g] = FirstEntries(file(idx), file(grp), n);
    return fuzz::PackParts({i, g});
  };

  Write(out / "kdef", "all", fuzz::PackParts({file("kdef.idx"), file("kdef.grp")}));
  Write(out / "kdef", "first", pair("kdef.idx", "kdef.grp", 12));
  Write(out / "talk", "all", fuzz::PackParts({file("talk.idx"), file("talk.grp")}));
  Write(out / "talk", "first", pair("talk.idx", "talk.grp", 10));
  Write(out / "r1", "all", fuzz::PackParts({file("r1.idx"), file("r1.grp")}));
  Write(out / "alldef", "all", fuzz::PackParts({file("alldef.idx"), file("alldef.grp")}));
  Write(out / "alldef", "first", pair("alldef.idx", "alldef.grp", 2));
  Write(out / "war_sta", "war.sta", file("war.sta"));
  Write(out / "kdefattr", "kdefattr.dat", ReadFile(fs::path(TAVREL_FUZZ_DATA_DIR) / "kdefattr.dat"));

  const Bytes palette = file("mmap.col");
  for (const auto& [idx, grp] :
       std::vector<std::pair<std::string, std::string>>{{"sdx", "smp"}, {"wdx", "wmp"}, {"hdgrp.idx", "hdgrp.grp"}}) {
    auto [i, g] = FirstEntries(file(idx), file(grp), 6);
    Write(out / "pictures", idx, fuzz::PackParts({palette, i, g}));
  }
  // Exported portraits: indexed PNGs, one with its list.
  const PictureSet portraits = ParsePictureSet(file("hdgrp.idx"), file("hdgrp.grp"), ParsePalette(palette));
  for (size_t k = 0; k < portraits.size() && k < 4; ++k) {
    Result<Bytes> png = PictureToPng(portraits[k], ParsePalette(palette));
    if (!png) continue;
    Write(out / "png", "portrait" + std::to_string(k), fuzz::PackParts({palette, *png}));
    const std::string list = "# number file width height x-offset y-offset format\n0 0000.png " +
                             std::to_string(portraits[k].width) + " " + std::to_string(portraits[k].height) +
                             " 0 56 indexed\n1 absent\n2 damaged\n";
    Write(out / "picture_list", "portrait" + std::to_string(k),
          fuzz::PackParts({Bytes(list.begin(), list.end()), *png}));
  }

  for (int m = 0; m < 3; ++m) {
    auto [i, g] = FirstEntries(file("warfld.idx"), file("warfld.grp"), size_t(m) + 1);
    auto [ti, tg] = FirstEntries(file("wdx"), file("wmp"), 8);
    Bytes seed = {uint8_t(m + 1), 32, 32};
    const Bytes packed = fuzz::PackParts({i, g, ti, tg});
    seed.insert(seed.end(), packed.begin(), packed.end());
    Write(out / "warfld", "map" + std::to_string(m), seed);
  }

  for (uint32_t mask : {0u, 0x3FFFFu, 0xFFFFFFFFu}) {
    Bytes seed;
    AppendI32(seed, int32_t(mask));
    const Bytes z = file("z.dat");
    seed.insert(seed.end(), z.begin(), z.end());
    Write(out / "zdat", "mask" + std::to_string(mask), seed);
  }

  // Events one by one, each with a few edit bytes.
  const Bytes idx = file("kdef.idx"), grp = file("kdef.grp");
  sample::SampleRandom random(9);
  for (size_t k = 0; k < idx.size() / 4 && k < 80; ++k) {
    const int32_t begin = k == 0 ? 0 : ReadI32(idx, 4 * (k - 1));
    const int32_t end = ReadI32(idx, 4 * k);
    Bytes words(grp.begin() + begin, grp.begin() + end);
    Bytes edits(24);
    for (uint8_t& b : edits) b = uint8_t(random.Next());
    Write(out / "events", "event" + std::to_string(k), fuzz::PackParts({words, edits}));
  }

  // A save journal with the three copies of its file: old, new, old copy.
  {
    const Bytes oldGrp = file("talk.grp");
    Bytes newGrp = oldGrp;
    newGrp.push_back(0);
    SaveJournal journal;
    journal.files.push_back(
        {"a.grp", newGrp.size(), Crc32(newGrp), true, oldGrp.size(), Crc32(oldGrp), KeepOld::Backup, 0});
    const std::string text = EncodeSaveJournal(journal);
    Write(out / "save_journal", "replace", fuzz::PackParts({Bytes(text.begin(), text.end()), oldGrp, newGrp, oldGrp}));
    SaveJournal patch;
    patch.patch = true;
    patch.patchName = "a.grp";
    patch.patchSize = oldGrp.size();
    patch.beforeCrc = Crc32(oldGrp);
    patch.runs.push_back({2, Bytes(oldGrp.begin() + 2, oldGrp.begin() + 6), {1, 2, 3, 4}});
    std::copy(patch.runs[0].after.begin(), patch.runs[0].after.end(), newGrp.begin() + 2);
    newGrp.pop_back();
    patch.afterCrc = Crc32(newGrp);
    const std::string patched = EncodeSaveJournal(patch);
    Write(out / "save_journal", "patch", fuzz::PackParts({Bytes(patched.begin(), patched.end()), oldGrp, {}, {}}));
  }

  if (argc > 2) Write(out / "mbdat", "mb.dat", ReadFile(argv[2]));
  return 0;
}
