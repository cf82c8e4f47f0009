#pragma once
// The games the benchmarks run on: the sample game at each scale, read once
// as the editor reads it, plus what the floors need (the files' bytes, the
// event export as UTF-8 text, one very long event).
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/editor_state.h"
#include "sample/sample_build.h"

namespace tavrel::bench {

inline constexpr int kScales[] = {1, 10, 100};
inline constexpr int kLargestScale = 100;
// The largest sample game whose every event and dialogue a 16-bit
// instruction word can name (numbers 0 to 32,767): the events bind first,
// 300 per scale. Beyond it an instruction's event or dialogue number no
// longer fits its word.
inline constexpr int kNumberLimit = 32768;
inline constexpr int kLargestValidScale =
    std::min(kNumberLimit / sample::SampleSizes{}.events, kNumberLimit / sample::SampleSizes{}.dialogues);
inline constexpr int kLongEventInstructions = 100000;

// The directory holding one game directory per scale ("scale1", "scale10",
// "scale100"). Set by main from --games, or a scratch directory into which
// the games are generated on first use.
void SetGamesRoot(const std::filesystem::path& root);
std::filesystem::path GameDirectory(int scale);

// An editor started as the program starts, with the game of `scale` read.
// Shared by the benchmarks of that scale; they leave its words as they were.
EditorState& LoadedGame(int scale);
// The game of `scale` read into a state of its own, for reading again: the
// other benchmarks' decoded statements are not freed inside its timing.
EditorState& GameToRead(int scale);
// A second copy of the game of `scale` in its own directory, for saving.
EditorState& GameToSave(int scale);

// The game files the read command reads, in its order.
std::vector<std::filesystem::path> ReadFiles(int scale);

// Instructions and labels in all events of `scale` after decoding.
int64_t StatementCount(int scale);
// Bytes of the files the read command reads, and of those the save command
// writes, in the game of `scale`.
int64_t ReadBytes(int scale);
int64_t SavedBytes(int scale);

// The game of scale 1 with its events repeated kRepeats times, each copy with
// words and statements of its own, decoded: as large in memory as the game of
// scale 100, but the same few thousand statements over and over.
inline constexpr int kRepeats = 100;
EditorState& RepeatedGame();

// The event export of `scale` converted back to UTF-8, in a file.
std::filesystem::path ExportTextUtf8(int scale);

// A state holding the game of scale 1 plus, as its last event, one event of
// at least kLongEventInstructions instructions.
EditorState& LongEventGame();
int32_t LongEventNumber();
int64_t LongEventStatements();

}  // namespace tavrel::bench
