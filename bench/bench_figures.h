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

// What a ratio divides each figure's time by before comparing them: nothing
// (a time per run), the statements the run goes through, or the bytes of the
// game files it reads or writes.
enum class Per { Run, Statement, Byte };

// A ratio of two figures and the bound it must stay at or below. A ratio
// that is not `judged` has no bound and is printed for information.
struct Ratio {
  std::string what;
  std::string numerator;
  std::string denominator;
  double bound;
  Per per = Per::Run;
  bool judged = true;
};
std::vector<Ratio> Ratios();

// Whether the figure is timed by the wall clock (it runs another program)
// rather than by the process's CPU time.
bool TimedByWallClock(const std::string& figure);

// Statements one run of the figure goes through, or bytes of the files it
// reads or writes (for the ratios per statement and per byte).
double UnitsOf(const std::string& figure, Per per);

}  // namespace tavrel::bench
