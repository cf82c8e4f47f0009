#pragma once
// The figures and the ratios that judge them.
#include <string>
#include <vector>

namespace tavrel::bench {

// Registers every benchmark with Google Benchmark. Names are
// "<figure>/<scale>" or "<figure>" alone.
void RegisterFigures();
// The names of the registered figures, in the order of registration.
const std::vector<std::string>& FigureNames();

// A ratio of two figures (each a time per run, or per statement when
// `perStatement`) and the bound it must stay at or below. A ratio that is
// not `judged` has no bound and is printed for information.
struct Ratio {
  std::string what;
  std::string numerator;
  std::string denominator;
  double bound;
  bool perStatement = false;
  bool judged = true;
};
std::vector<Ratio> Ratios();

// Whether the figure is timed by the wall clock (it runs another program)
// rather than by the process's CPU time.
bool TimedByWallClock(const std::string& figure);

// Statements one run of the figure goes through (for per-statement ratios).
double StatementsOf(const std::string& figure);

}  // namespace tavrel::bench
