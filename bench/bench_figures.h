#pragma once
// The figures and the ratios that judge them.
#include <string>
#include <vector>

namespace tavrel::bench {

// Registers every benchmark with Google Benchmark. Names are
// "<figure>/<scale>" or "<figure>" alone.
void RegisterFigures();

// A ratio of two figures (each a time per run, or per statement when
// `perStatement`) and the bound it must stay at or below.
struct Ratio {
  std::string what;
  std::string numerator;
  std::string denominator;
  double bound;
  bool perStatement = false;
};
std::vector<Ratio> Ratios();

// Statements one run of the figure goes through (for per-statement ratios).
double StatementsOf(const std::string& figure);

}  // namespace tavrel::bench
