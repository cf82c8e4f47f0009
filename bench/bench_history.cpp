// The undo history on the scale-100 game, measured directly (one run each,
// best of three): word edits with their undo and redo, the memory the
// history keeps for them, and the undo of a portrait replacement.
#include "bench_history.h"

#include <fmt/format.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/history.h"
#include "app/portrait_replace.h"
#include "bench_games.h"

namespace tavrel::bench {
namespace {

constexpr int kWordEdits = 1000;
constexpr int kTries = 3;

double Milliseconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

template <typename F>
double Timed(F&& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return Milliseconds(std::chrono::steady_clock::now() - start);
}

struct Target {
  int32_t event;
  int line;
};

// One instruction with parameter words in each of kWordEdits events, spread
// evenly over the events that have one.
std::vector<Target> EditTargets(EditorState& state) {
  std::vector<Target> candidates;
  for (int32_t e = 0; e < state.eventCount(); ++e) {
    ChooseEvent(state, e);
    const std::vector<Statement>& list = EventAt(state, e)->statements;
    for (size_t k = 0; k < list.size(); ++k) {
      if (list[k].islabel || list[k].DataNum < 1 || list[k].isGoto != 0) continue;
      candidates.push_back({e, int(k)});
      break;
    }
  }
  if (candidates.size() <= size_t(kWordEdits)) return candidates;
  std::vector<Target> targets;
  targets.reserve(kWordEdits);
  for (size_t i = 0; i < size_t(kWordEdits); ++i) targets.push_back(candidates[i * candidates.size() / kWordEdits]);
  return targets;
}

size_t EventSize(const KdefEvent& e) {
  return sizeof(KdefEvent) + e.words.size() * sizeof(int16_t) + e.statements.size() * sizeof(Statement);
}

void Line(const std::string& what, double value, double bound, int& status) {
  const bool over = value > bound;
  fmt::print("ratio   {:<48} {:>8.2f}  bound {:>5g}  {}\n", what, value, bound, over ? "over bound" : "ok");
  if (over && status == 0) status = 1;
}

}  // namespace

int ReportHistoryFigures() {
  int status = 0;
  EditorState& state = LoadedGame(kLargestScale);
  state.history.Clear();
  const std::vector<Target> targets = EditTargets(state);
  if (targets.size() < size_t(kWordEdits)) {
    fmt::print("figure  {:<34} failed: {} events to edit\n", "history/100", targets.size());
    return 2;
  }
  size_t touched = 0;
  for (const Target& t : targets) touched += EventSize(*EventAt(state, t.event));

  double edits = 1e300, undos = 1e300, redos = 1e300;
  size_t kept = 0;
  for (int attempt = 0; attempt < kTries; ++attempt) {
    state.history.Clear();
    edits =
        std::min(edits, Timed([&] {
                   for (const Target& t : targets) {
                     StepRecorder step(state, kStepModifyInstruction, StepPlace{t.event, t.line, -1}, kMergeWordEdits);
                     step.TouchEvent(t.event);
                     std::vector<std::string> words = WordLines(*StatementAt(state, t.event, t.line));
                     words[1] = std::to_string(std::stoi(words[1]) == 12345 ? 12346 : 12345);
                     (void)ModifyInstruction(state, t.event, t.line, words);
                     CommitEvent(state, t.event);
                   }
                 }));
    kept = state.history.bytes();
    if (state.history.size() != targets.size()) {
      fmt::print("figure  {:<34} failed: {} steps\n", "history/100", state.history.size());
      return 2;
    }
    undos = std::min(undos, Timed([&] {
                       while (state.history.Undo(state)) {
                       }
                     }));
    redos = std::min(redos, Timed([&] {
                       while (state.history.Redo(state)) {
                       }
                     }));
    while (state.history.Undo(state)) {
    }
  }
  state.history.Clear();
  state.modified = false;
  fmt::print("figure  {:<34} {:>12.3f} ms\n", "history 1000 word edits/100", edits);
  fmt::print("figure  {:<34} {:>12.3f} ms\n", "history undo 1000/100", undos);
  fmt::print("figure  {:<34} {:>12.3f} ms\n", "history redo 1000/100", redos);
  fmt::print("figure  {:<34} {:>12.1f} KiB\n", "history memory/100", kept / 1024.0);
  fmt::print("figure  {:<34} {:>12.1f} KiB\n", "history events touched/100", touched / 1024.0);
  Line("history: undo + redo of 1000 / the 1000 edits", (undos + redos) / edits, 2, status);
  Line("history: memory / (1 MiB + events touched)", double(kept) / double((1 << 20) + touched), 1, status);

  // The portrait most dialogue instructions show, replaced over every event.
  int32_t from = 0;
  int32_t most = -1;
  for (int32_t p = 0; p < int32_t(state.game.portraits.size()) && p < 64; ++p)
    if (int32_t n = CountPortraitUses(state, p).dialogues; n > most) most = n, from = p;
  const int32_t to = from == 0 ? 1 : 0;
  double replace = 1e300, undo = 1e300;
  for (int attempt = 0; attempt < kTries; ++attempt) {
    state.history.Clear();
    CountPortraitUses(state, from);  // decoded as the window's question leaves them
    replace = std::min(replace, Timed([&] {
                         StepRecorder step(state, kStepReplacePortrait, StepPlace{});
                         step.TouchAllEvents();
                         ReplacePortrait(state, from, to);
                       }));
    undo = std::min(undo, Timed([&] { state.history.Undo(state); }));
  }
  state.history.Clear();
  state.modified = false;
  fmt::print("figure  {:<34} {:>12.3f} ms\n", "history portrait replacement/100", replace);
  fmt::print("figure  {:<34} {:>12.3f} ms\n", "history undo of the replacement/100", undo);
  Line("history: undo of a replacement / the replacement", undo / replace, 2, status);
  return status;
}

}  // namespace tavrel::bench
