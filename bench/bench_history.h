#pragma once
// The undo history's figures on the scale-100 game, measured and judged
// after the other figures. Prints one line per figure and per ratio.

namespace tavrel::bench {

// 0 when every ratio is within its bound, 1 when one is over, 2 when a
// figure could not be measured.
int ReportHistoryFigures();

}  // namespace tavrel::bench
