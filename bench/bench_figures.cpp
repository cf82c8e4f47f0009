#include "bench_figures.h"

#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>

#include "app/commands.h"
#include "app/exports.h"
#include "app/find.h"
#include "app/lint.h"
#include "app/portrait_replace.h"
#include "bench_games.h"
#include "script/encode.h"

namespace tavrel::bench {
namespace {

using Body = std::function<void(benchmark::State&)>;

// Each figure is the best of several repetitions of the process's own CPU
// time, so time the machine gives to other work does not count; figures
// that run another program take the wall-clock time instead.
enum class Clock { Cpu, Wall };

std::vector<std::string>& Names() {
  static std::vector<std::string> names;
  return names;
}

void Register(const std::string& name, Body body, Clock clock = Clock::Cpu) {
  Names().push_back(name);
  auto* b = benchmark::RegisterBenchmark(name.c_str(), [body](benchmark::State& s) { body(s); })
                ->Unit(benchmark::kMillisecond)
                ->MinTime(0.1)
                ->Repetitions(7);
  if (clock == Clock::Wall) b->UseRealTime();
}

// At scales 1, 10 and 100, and at the largest valid game when `largest`.
void RegisterScaled(const std::string& figure, const std::function<void(benchmark::State&, int)>& body,
                    bool largest = false) {
  std::vector<int> scales(std::begin(kScales), std::end(kScales));
  if (largest) scales.push_back(kLargestValidScale);
  for (int scale : scales)
    Register(fmt::format("{}/{}", figure, scale), [body, scale](benchmark::State& s) { body(s, scale); });
}

// As choosing each event after an export: label counter 0, then decoded.
void DecodeAll(EditorState& state) {
  const DescribeContext ctx = state.describeContext();
  for (KdefEvent& event : state.game.events.events) {
    event.labelCounter = 0;
    ShowEvent(event, state.attributes, ctx);
  }
}

void DescribeFigure(benchmark::State& s, EditorState& state) {
  DecodeAll(state);
  for (auto _ : s) DecodeAll(state);
}

void RelayoutFigure(benchmark::State& s, EditorState& state) {
  DecodeAll(state);
  const DescribeContext ctx = state.describeContext();
  for (auto _ : s)
    for (KdefEvent& event : state.game.events.events) {
      Relayout(event, state.attributes, ctx);
      Commit(event);
    }
}

// The least any decoder does: read each opcode, step by its length (one word
// for the end instruction and for words that are no instruction).
int64_t Walk(const std::vector<int16_t>& words, const AttributeTable& attributes) {
  int64_t steps = 0;
  const size_t size = words.size();
  for (size_t pos = 0; pos < size; ++steps) {
    const int16_t op = words[pos];
    const int32_t length = op >= 0 && op < kOpcodeCount ? attributes[size_t(op)].length : 1;
    pos += length >= 1 && size_t(length) <= size - pos ? size_t(length) : 1;
  }
  return steps;
}

void ReadFloor(const std::vector<std::filesystem::path>& files) {
  for (const auto& path : files) {
    std::FILE* file = std::fopen(path.string().c_str(), "rb");
    if (!file) throw std::runtime_error("cannot open " + path.string());
    std::vector<uint8_t> bytes(std::filesystem::file_size(path));
    const size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    benchmark::DoNotOptimize(got);
    benchmark::DoNotOptimize(bytes.data());
  }
}

}  // namespace

void RegisterFigures() {
  RegisterScaled(
      "read",
      [](benchmark::State& s, int scale) {
        EditorState& state = GameToRead(scale);
        for (auto _ : s)
          if (auto read = ReadGameFiles(state); !read) s.SkipWithError(read.error().c_str());
      },
      true);
  Register("read-floor/100", [](benchmark::State& s) {
    const auto files = ReadFiles(kLargestScale);
    for (auto _ : s) ReadFloor(files);
  });

  RegisterScaled(
      "describe", [](benchmark::State& s, int scale) { DescribeFigure(s, LoadedGame(scale)); }, true);
  Register(fmt::format("describe/1x{}", kRepeats), [](benchmark::State& s) { DescribeFigure(s, RepeatedGame()); });
  // The decoder alone: every event decoded (no lines) into one working list,
  // so the figure is the decoder's own work rather than the memory of the
  // lists the events keep.
  Register("decode/100", [](benchmark::State& s) {
    const EditorState& state = LoadedGame(kLargestScale);
    std::vector<Statement> list;
    for (auto _ : s)
      for (const KdefEvent& event : state.game.events.events) {
        int32_t labels = 0;
        DecodeReplacing(event.words, list, labels, state.attributes);
        benchmark::DoNotOptimize(list.data());
      }
  });
  Register("walk/100", [](benchmark::State& s) {
    const EditorState& state = LoadedGame(kLargestScale);
    for (auto _ : s) {
      int64_t steps = 0;
      for (const KdefEvent& event : state.game.events.events) steps += Walk(event.words, state.attributes);
      benchmark::DoNotOptimize(steps);
    }
  });

  RegisterScaled("relayout", [](benchmark::State& s, int scale) { RelayoutFigure(s, LoadedGame(scale)); });
  Register(fmt::format("relayout/1x{}", kRepeats), [](benchmark::State& s) { RelayoutFigure(s, RepeatedGame()); });

  RegisterScaled(
      "export",
      [](benchmark::State& s, int scale) {
        EditorState& state = LoadedGame(scale);
        DecodeAll(state);
        // As the export command writes its file: piece by piece, here into
        // nothing, as iconv's figure writes into /dev/null.
        const ByteSink discard = [](std::span<const uint8_t> piece) {
          benchmark::DoNotOptimize(piece.data());
          return Ok();
        };
        for (auto _ : s)
          if (Status exported = ExportKdefText(state, discard); !exported) s.SkipWithError(exported.error().c_str());
      },
      true);
  Register(
      "iconv/100",
      [](benchmark::State& s) {
        const std::string command =
            fmt::format("iconv -f UTF-8 -t GBK '{}' > /dev/null", ExportTextUtf8(kLargestScale).string());
        for (auto _ : s)
          if (std::system(command.c_str()) != 0) s.SkipWithError(("failed: " + command).c_str());
      },
      Clock::Wall);

  RegisterScaled("save", [](benchmark::State& s, int scale) {
    EditorState& state = GameToSave(scale);
    // A save writes only files whose bytes change: each round changes the
    // first word of the first event and the first dialogue, so that the
    // dialogue and event files are planned, compared and written every time.
    int round = 0;
    for (auto _ : s) {
      ++round;
      KdefEvent& event = state.game.events.events.front();
      std::vector<int16_t> words(event.words.begin(), event.words.end());
      if (!words.empty()) words.front() = int16_t(words.front() ^ 1);
      event.words = std::move(words);
      StoreDialogue(state, 0, round % 2 ? "甲" : "乙");
      if (Status saved = SaveGameFiles(state); !saved) s.SkipWithError(saved.error().c_str());
    }
  });

  RegisterScaled("portraits", [](benchmark::State& s, int scale) {
    EditorState& state = LoadedGame(scale);
    DecodeAll(state);
    constexpr int32_t kPortrait = 3;
    for (auto _ : s) {
      benchmark::DoNotOptimize(CountPortraitUses(state, kPortrait).dialogues);
      // The same portrait on both sides: every event is still re-laid out
      // and committed, and the words stay as they are for the next round.
      benchmark::DoNotOptimize(ReplacePortrait(state, kPortrait, kPortrait).replaced);
    }
  });

  // The search and the checks over every event, against decoding (a
  // reference needs no line text) and decoding with describing (a text is
  // searched in every line).
  Register("find-reference/100", [](benchmark::State& s) {
    const EditorState& state = LoadedGame(kLargestScale);
    FindQuery query;
    query.reference = RefKind::Person;
    query.number = 7;
    for (auto _ : s) benchmark::DoNotOptimize(FindAll(state, query)->size());
  });
  Register("find-text/100", [](benchmark::State& s) {
    const EditorState& state = LoadedGame(kLargestScale);
    FindQuery query;
    query.mode = FindQuery::Mode::Text;
    query.text = "no line holds this";
    for (auto _ : s) benchmark::DoNotOptimize(FindAll(state, query)->size());
  });
  Register("lint/100", [](benchmark::State& s) {
    const EditorState& state = LoadedGame(kLargestScale);
    const LintLimits limits = LimitsOf(state, 10);
    for (auto _ : s) benchmark::DoNotOptimize(LintGame(state, limits).errors);
  });

  Register("long-event", [](benchmark::State& s) {
    EditorState& state = LongEventGame();
    KdefEvent& event = state.game.events.events[size_t(LongEventNumber())];
    const DescribeContext ctx = state.describeContext();
    for (auto _ : s) {
      event.labelCounter = 0;
      ShowEvent(event, state.attributes, ctx);
      Relayout(event, state.attributes, ctx);
    }
  });
  Register("show-relayout/100", [](benchmark::State& s) {
    EditorState& state = LoadedGame(kLargestScale);
    const DescribeContext ctx = state.describeContext();
    for (auto _ : s)
      for (KdefEvent& event : state.game.events.events) {
        event.labelCounter = 0;
        ShowEvent(event, state.attributes, ctx);
        Relayout(event, state.attributes, ctx);
      }
  });
}

std::vector<Ratio> Ratios() {
  struct Pass {
    const char* figure;
    Per per;
    bool largest;  // also measured on the largest valid game
  };
  constexpr Pass kPasses[] = {{"read", Per::Byte, true},           {"describe", Per::Statement, true},
                              {"relayout", Per::Statement, false}, {"export", Per::Statement, true},
                              {"save", Per::Byte, false},          {"portraits", Per::Statement, false}};
  auto per = [](Per p) { return p == Per::Byte ? "per byte" : "per statement"; };
  auto scaled = [](const char* figure, int scale) { return fmt::format("{}/{}", figure, scale); };
  std::vector<Ratio> ratios;
  // Judged: the cost of one statement (or byte) may grow by at most 15 % over
  // a tenfold game, from scale 10 to scale 100 and from there to the largest
  // valid game.
  for (const Pass& p : kPasses)
    ratios.push_back({fmt::format("{}: scale 100 / scale 10, {}", p.figure, per(p.per)), scaled(p.figure, 100),
                      scaled(p.figure, 10), 1.15, p.per});
  for (const Pass& p : kPasses)
    if (p.largest)
      ratios.push_back({fmt::format("{}: scale {} / scale 100, {}", p.figure, kLargestValidScale, per(p.per)),
                        scaled(p.figure, kLargestValidScale), scaled(p.figure, 100), 1.15, p.per});
  ratios.push_back({"decode / plain walk over the words", "decode/100", "walk/100", 6});
  ratios.push_back({"read all files / the bytes into memory", "read/100", "read-floor/100", 8});
  ratios.push_back({"reference search / decoding every event", "find-reference/100", "decode/100", 1.5});
  ratios.push_back({"text search / decoding and describing every event", "find-text/100", "describe/100", 1.5});
  ratios.push_back({"lint / decoding every event", "lint/100", "decode/100", 2});
  ratios.push_back({"kdef export / iconv UTF-8 to GBK", "export/100", "iconv/100", 3});
  ratios.push_back(
      {"one long event / ordinary events, per statement", "long-event", "show-relayout/100", 2, Per::Statement});
  // Not judged: from scale 1 the processor has learnt the branches of the
  // same few thousand statements, repeated hundreds of times per figure.
  for (const Pass& p : kPasses)
    ratios.push_back({fmt::format("{}: scale 100 / scale 1, {}", p.figure, per(p.per)), scaled(p.figure, 100),
                      scaled(p.figure, 1), 0, p.per, false});
  for (const char* figure : {"describe", "relayout"})
    ratios.push_back({fmt::format("{}: scale 1 repeated {} times / scale 1, per statement", figure, kRepeats),
                      fmt::format("{}/1x{}", figure, kRepeats), scaled(figure, 1), 0, Per::Statement, false});
  return ratios;
}

const std::vector<std::string>& FigureNames() { return Names(); }

bool TimedByWallClock(const std::string& figure) { return figure.starts_with("iconv/"); }

double UnitsOf(const std::string& figure, Per per) {
  if (per == Per::Run) return 1;
  if (per == Per::Statement && figure == "long-event") return double(LongEventStatements());
  const size_t slash = figure.rfind('/');
  if (slash == std::string::npos) throw std::invalid_argument("no scale in " + figure);
  const std::string scale = figure.substr(slash + 1);
  const size_t times = scale.find('x');
  const int repeats = times == std::string::npos ? 1 : std::stoi(scale.substr(times + 1));
  const int s = std::stoi(scale.substr(0, times));
  if (per == Per::Statement) return double(StatementCount(s)) * repeats;
  if (repeats != 1) throw std::invalid_argument("no byte count for " + figure);
  return double(figure.starts_with("save/") ? SavedBytes(s) : ReadBytes(s));
}

}  // namespace tavrel::bench
