// The whole sample game directory: every file is generated here from
// invented content, the same bytes on every run.
#include <stdexcept>
#include <system_error>

#include "sample/sample_build.h"

namespace tavrel::sample {

std::vector<SampleFile> MakeSampleGame(const SampleOptions& options) {
  if (options.attributes == nullptr) throw std::invalid_argument("the sample events need the attribute table");
  const SampleSizes sizes = SizesFor(options);
  std::vector<SampleFile> files;
  auto append = [&files](std::vector<SampleFile> more) {
    for (SampleFile& f : more) files.push_back(std::move(f));
  };
  append(MakeTalkFiles(sizes));
  append(MakeEventFiles(sizes, *options.attributes));
  append(MakeNameFiles(sizes));
  files.push_back(MakePaletteFile());
  append(MakePortraitFiles(sizes));
  append(MakeSceneTileFiles(sizes, options.numberedTiles));
  append(MakeObjectFiles(sizes));
  append(MakeBattleFiles(options));
  append(MakeExecutableDataFiles(options));
  return files;
}

Status WriteSampleGame(const std::filesystem::path& dir, const SampleOptions& options) {
  if (options.attributes == nullptr) return Error{"the sample events need the attribute table"};
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) return Error{"cannot create " + dir.string() + ": " + ec.message()};
  for (const SampleFile& file : MakeSampleGame(options))
    if (Status s = WriteFileAtomic(dir / file.name, file.bytes, false); !s) return s;
  return Ok();
}

}  // namespace tavrel::sample
