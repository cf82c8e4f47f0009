#include "bench_pictures.h"

#include <fmt/format.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <limits>
#include <string>

#include "app/picture_sets.h"
#include "bench_games.h"

namespace tavrel::bench {
namespace {

constexpr int kTimes = 10;  // the set is the sample's portraits this many times over
constexpr int kTries = 5;   // best of
// An import that changes nothing reads every PNG once and compares; it may
// cost at most this many times reading the PNGs alone.
constexpr double kImportBound = 2.0;

template <typename F>
double BestMilliseconds(F&& run) {
  double best = std::numeric_limits<double>::infinity();
  for (int i = 0; i < kTries; ++i) {
    const auto start = std::chrono::steady_clock::now();
    run();
    best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

}  // namespace

int ReportPictureFigures() {
  EditorState& state = LoadedGame(1);
  const PictureSet& sample = state.game.portraits;
  const Palette& palette = state.game.palette;
  PictureSet set;
  set.reserve(sample.size() * kTimes);
  for (int i = 0; i < kTimes; ++i) set.insert(set.end(), sample.begin(), sample.end());

  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      fmt::format("tavrel-bench-pictures-{}", std::chrono::steady_clock::now().time_since_epoch().count());
  std::string failure;
  const double exportMs = BestMilliseconds([&] {
    Result<PictureExportReport> report = ExportPictureSet(set, palette, folder);
    if (!report) failure = report.error();
  });
  const double readMs = BestMilliseconds([&] {
    PaletteMatcher matcher(palette);
    for (size_t k = 0; k < set.size(); ++k) {
      if (set[k].absent != 0) continue;
      Result<MappedPicture> read = ReadPngPicture(folder / PictureFileName(k), matcher);
      if (!read) failure = read.error();
    }
  });
  int kept = 0;
  const double importMs = BestMilliseconds([&] {
    Result<PictureImport> plan = PlanPictureImport(set, palette, folder, false);
    if (!plan)
      failure = plan.error();
    else
      kept = plan->kept;
  });
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
  if (!failure.empty() || kept != int(set.size())) {
    fmt::print("figure  {:<34} failed: {}\n", "pictures", failure.empty() ? "pictures changed" : failure);
    return 2;
  }
  fmt::print("figure  {:<34} {:>12.3f} ms\n", fmt::format("pictures export/{}x{}", sample.size(), kTimes), exportMs);
  fmt::print("figure  {:<34} {:>12.3f} ms\n", "pictures read PNGs", readMs);
  fmt::print("figure  {:<34} {:>12.3f} ms\n", "pictures import unchanged", importMs);
  const double ratio = importMs / readMs;
  const bool over = ratio > kImportBound;
  fmt::print("ratio   {:<48} {:>8.2f}  bound {:>5g}  {}\n", "picture import unchanged / reading the PNGs", ratio,
             kImportBound, over ? "over bound" : "ok");
  return over ? 1 : 0;
}

}  // namespace tavrel::bench
