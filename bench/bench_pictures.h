#pragma once
// The picture round trip on a portrait set ten times the sample's: export
// to PNG files, reading those PNGs, and an import without changes. Measured
// after the other figures; prints one line per figure and the ratio.

namespace tavrel::bench {

// 0 when the ratio is within its bound, 1 when over, 2 when a figure could
// not be measured.
int ReportPictureFigures();

}  // namespace tavrel::bench
