// tavrel_bench [--games DIR] [--make-largest] [Google Benchmark options]:
// measures every figure on the sample games at scales 1, 10 and 100 and on
// the largest valid game (kLargestValidScale), then prints one line
// per figure and per ratio with its bound, and "info" lines for the ratios
// that have none. Exits 1 when a ratio is over its bound, 2 when a figure
// could not be measured.
#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "bench_figures.h"
#include "bench_games.h"
#include "bench_history.h"
#include "bench_pictures.h"

namespace {

// Keeps the best repetition of every figure, in milliseconds per run of
// the process's CPU time (wall-clock time for the figures that run another
// program).
class BestOfReporter : public benchmark::BenchmarkReporter {
 public:
  bool ReportContext(const Context&) override { return true; }
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration) continue;
      const std::string name = run.run_name.function_name;
      if (run.error_occurred) {
        errors[name] = run.error_message;
        continue;
      }
      const double time = tavrel::bench::TimedByWallClock(name) ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime();
      const double ms = time * ToMilliseconds(run.time_unit);
      auto [it, fresh] = best.try_emplace(name, ms);
      if (!fresh) it->second = std::min(it->second, ms);
    }
  }
  static double ToMilliseconds(benchmark::TimeUnit unit) {
    switch (unit) {
      case benchmark::kNanosecond:
        return 1e-6;
      case benchmark::kMicrosecond:
        return 1e-3;
      case benchmark::kMillisecond:
        return 1;
      case benchmark::kSecond:
        return 1e3;
    }
    return 1;
  }

  std::map<std::string, double> best;
  std::map<std::string, std::string> errors;
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> args;
  bool makeLargest = false;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--games") == 0 && i + 1 < argc) {
      tavrel::bench::SetGamesRoot(argv[++i]);
      continue;
    }
    if (std::strcmp(argv[i], "--make-largest") == 0) {
      makeLargest = true;
      continue;
    }
    args.push_back(argv[i]);
  }
  // Writes the largest valid game (beyond the scales `tavrel make-sample`
  // accepts) and prints its directory.
  if (makeLargest) try {
      fmt::print("{}\n", tavrel::bench::GameDirectory(tavrel::bench::kLargestValidScale).string());
      return 0;
    } catch (const std::exception& e) {
      fmt::print(stderr, "cannot write the largest game: {}\n", e.what());
      return 2;
    }
  // Repetitions of all figures run in random order, so a slow spell of the
  // machine falls on several figures instead of on all repetitions of one.
  std::string interleave = "--benchmark_enable_random_interleaving=true";
  if (std::none_of(args.begin(), args.end(), [](const char* a) { return std::strstr(a, "interleaving") != nullptr; }))
    args.insert(args.begin() + 1, interleave.data());
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 2;

  BestOfReporter reporter;
  try {
    tavrel::bench::RegisterFigures();
    benchmark::RunSpecifiedBenchmarks(&reporter);
  } catch (const std::exception& e) {
    fmt::print(stderr, "benchmark failed: {}\n", e.what());
    return 2;
  }

  int status = 0;
  for (const auto& [name, message] : reporter.errors) {
    fmt::print("figure  {:<34} failed: {}\n", name, message);
    status = 2;
  }
  // In the order of registration, whatever order the repetitions ran in.
  for (const std::string& name : tavrel::bench::FigureNames())
    if (auto it = reporter.best.find(name); it != reporter.best.end())
      fmt::print("figure  {:<34} {:>12.3f} ms\n", name, it->second);
  for (const tavrel::bench::Ratio& r : tavrel::bench::Ratios()) {
    auto num = reporter.best.find(r.numerator);
    auto den = reporter.best.find(r.denominator);
    if (num == reporter.best.end() || den == reporter.best.end()) continue;  // filtered out
    double value = num->second / den->second;
    value *= tavrel::bench::UnitsOf(r.denominator, r.per) / tavrel::bench::UnitsOf(r.numerator, r.per);
    if (!r.judged) {
      fmt::print("info    {:<48} {:>8.2f}\n", r.what, value);
      continue;
    }
    const bool over = value > r.bound;
    fmt::print("ratio   {:<48} {:>8.2f}  bound {:>5g}  {}\n", r.what, value, r.bound, over ? "over bound" : "ok");
    if (over && status == 0) status = 1;
  }
  // How much larger each game is than the next smaller one.
  const int largest = tavrel::bench::kLargestValidScale;
  const std::pair<int, int> steps[] = {{100, 1}, {100, 10}, {largest, 100}};
  for (auto [larger, smaller] : steps)
    if (reporter.best.contains(fmt::format("describe/{}", larger)) &&
        reporter.best.contains(fmt::format("describe/{}", smaller)))
      fmt::print("info    {:<48} {:>8.2f}\n", fmt::format("statements: scale {} / scale {}", larger, smaller),
                 double(tavrel::bench::StatementCount(larger)) / double(tavrel::bench::StatementCount(smaller)));
  if (int history = tavrel::bench::ReportHistoryFigures(); history != 0 && status == 0) status = history;
  if (int pictures = tavrel::bench::ReportPictureFigures(); pictures != 0 && status == 0) status = pictures;
  return status;
}
