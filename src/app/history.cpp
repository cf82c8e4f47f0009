#include "app/history.h"

#include <algorithm>
#include <span>

#include "app/editor_state.h"

namespace tavrel {
namespace {

bool SameStatement(const Statement& a, const Statement& b) {
  return a.Id == b.Id && a.GotoAddress == b.GotoAddress && a.yesOffset == b.yesOffset && a.noOffset == b.noOffset &&
         a.isGoto == b.isGoto && a.islabel == b.islabel && a.DataNum == b.DataNum && a.gotoLabel == b.gotoLabel &&
         a.note == b.note && a.data == b.data;
}

bool SameEvent(const KdefEvent& a, const KdefEvent& b) {
  return a.labelCounter == b.labelCounter && a.words == b.words &&
         std::equal(a.statements.begin(), a.statements.end(), b.statements.begin(), b.statements.end(), SameStatement);
}

bool SameEntry(const TalkEntry& a, const TalkEntry& b) {
  const std::span<const uint8_t> x = a.readBytes();
  const std::span<const uint8_t> y = b.readBytes();
  return a.fromFile == b.fromFile && a.text.assigned() == b.text.assigned() && a.text == b.text &&
         std::equal(x.begin(), x.end(), y.begin(), y.end());
}

bool SamePicture(const RlePicture& a, const RlePicture& b) {
  return a.absent == b.absent && a.width == b.width && a.height == b.height && a.xOffset == b.xOffset &&
         a.yOffset == b.yOffset && a.data == b.data;
}

size_t EventBytes(const KdefEvent& e) {
  size_t bytes = sizeof(KdefEvent) + e.words.size() * sizeof(int16_t) + e.statements.capacity() * sizeof(Statement);
  for (const Statement& s : e.statements)
    if (s.data.size() > 8) bytes += s.data.size() * sizeof(int16_t);
  return bytes;
}

template <typename T>
size_t VectorBytes(const std::optional<std::vector<T>>& v) {
  return v ? sizeof(*v) + v->capacity() * sizeof(T) : 0;
}

// Puts `side` into the state and leaves in it what the state held there, so
// applying it again goes back.
template <typename Item>
void SwapItems(std::vector<Item>& items, int32_t& count, std::vector<std::pair<int32_t, Item>>& kept) {
  const auto current = static_cast<int32_t>(items.size());
  std::vector<std::pair<int32_t, Item>> replaced;
  replaced.reserve(kept.size() + static_cast<size_t>(std::max(current - count, 0)));
  for (int32_t i = count; i < current; ++i) replaced.emplace_back(i, std::move(items[size_t(i)]));
  items.resize(size_t(count));
  for (auto& [index, item] : kept) {
    if (index < 0 || index >= count) continue;
    if (index < current) replaced.emplace_back(index, std::move(items[size_t(index)]));
    items[size_t(index)] = std::move(item);
  }
  kept = std::move(replaced);
  count = current;
}

void ApplySide(EditorState& state, StepSide& side) {
  std::vector<KdefEvent>& events = state.game.events.events;
  std::optional<std::vector<int32_t>> counters;
  if (side.labelCounters) {
    counters.emplace();
    counters->reserve(events.size());
    for (const KdefEvent& e : events) counters->push_back(e.labelCounter);
  }
  SwapItems(events, side.eventCount, side.events);
  if (side.labelCounters) {
    const std::vector<int32_t>& wanted = *side.labelCounters;
    for (size_t i = 0; i < events.size() && i < wanted.size(); ++i) events[i].labelCounter = wanted[i];
    side.labelCounters = std::move(counters);
  }
  if (side.eventOffsets) std::swap(*side.eventOffsets, state.game.events.offsets);
  SwapItems(state.game.talk.entries, side.talkCount, side.talk);
  if (side.talkOffsets) std::swap(*side.talkOffsets, state.game.talk.offsets);
  const int32_t portraitsBefore = static_cast<int32_t>(state.game.portraits.size());
  SwapItems(state.game.portraits, side.portraitCount, side.portraits);
  if (portraitsBefore != static_cast<int32_t>(state.game.portraits.size()))
    state.game.portraitUsers = BuildPortraitUsers(state.game.names, static_cast<int32_t>(state.game.portraits.size()));
  SwapItems(state.game.objects.scenes, side.sceneCount, side.scenes);
}

constexpr size_t kOffsetTail = 2;

template <typename Offsets>
void KeepOffsets(Offsets& kept, const std::vector<int32_t>& offsets, bool whole) {
  kept.size = offsets.size();
  kept.whole = whole;
  const size_t from = whole ? 0 : offsets.size() - std::min(offsets.size(), kOffsetTail);
  kept.tail.assign(offsets.begin() + std::ptrdiff_t(from), offsets.end());
}

// The list as it was when it changed, else nothing.
template <typename Offsets>
std::optional<std::vector<int32_t>> OffsetsBefore(Offsets& kept, const std::vector<int32_t>& now) {
  if (kept.whole) {
    if (kept.tail == now) return std::nullopt;
    return std::move(kept.tail);
  }
  const size_t prefix = kept.size - kept.tail.size();
  if (now.size() == kept.size && std::equal(kept.tail.begin(), kept.tail.end(), now.begin() + std::ptrdiff_t(prefix)))
    return std::nullopt;
  std::vector<int32_t> before(now.begin(), now.begin() + std::ptrdiff_t(std::min(prefix, now.size())));
  before.resize(prefix, before.empty() ? 0 : before.back());
  before.insert(before.end(), kept.tail.begin(), kept.tail.end());
  return before;
}

}  // namespace

size_t HistoryStep::bytes() const {
  size_t total = sizeof(HistoryStep) + VectorBytes(other.eventOffsets) + VectorBytes(other.labelCounters) +
                 VectorBytes(other.talkOffsets);
  total += other.events.capacity() * sizeof(other.events[0]);
  for (const auto& [index, event] : other.events) total += EventBytes(event) - sizeof(KdefEvent);
  total += other.talk.capacity() * sizeof(other.talk[0]);
  for (const auto& [index, entry] : other.talk) total += entry.text.assigned() ? entry.text.size() : 0;
  total += other.portraits.capacity() * sizeof(other.portraits[0]);
  for (const auto& [index, picture] : other.portraits)
    total += picture.data.capacity() + picture.colours.capacity() * sizeof(uint32_t);
  total += other.scenes.capacity() * sizeof(other.scenes[0]);
  for (const auto& [index, table] : other.scenes)
    total += table.objects.capacity() * sizeof(SceneObject) + table.damaged.capacity();
  return total;
}

void History::Clear() {
  steps_.clear();
  changed_.assign(1, 0);
  position_ = 0;
  clean_ = 0;
  ++revision_;
}

void History::MarkClean() { clean_ = position_; }

bool History::Modified() const { return !clean_ || changed_[*clean_] != changed_[position_]; }

size_t History::bytes() const {
  size_t total = sizeof(*this) + steps_.capacity() * sizeof(HistoryStep) + changed_.capacity() * sizeof(size_t);
  for (const HistoryStep& step : steps_) total += step.bytes() - sizeof(HistoryStep);
  return total;
}

std::optional<StepPlace> History::Undo(EditorState& state) {
  if (!CanUndo()) return std::nullopt;
  HistoryStep& step = steps_[--position_];
  ApplySide(state, step.other);
  ++revision_;
  state.modified = Modified();
  return step.place;
}

std::optional<StepPlace> History::Redo(EditorState& state) {
  if (!CanRedo()) return std::nullopt;
  HistoryStep& step = steps_[position_++];
  ApplySide(state, step.other);
  ++revision_;
  state.modified = Modified();
  return step.place;
}

void History::Push(EditorState& state, HistoryStep step) {
  ++revision_;
  steps_.resize(position_);
  changed_.resize(position_ + 1);
  if (clean_ && *clean_ > position_) clean_.reset();

  HistoryStep* last = position_ > 0 ? &steps_[position_ - 1] : nullptr;
  const bool merge = last != nullptr && step.mergeKey != 0 && last->mergeKey == step.mergeKey &&
                     last->place.event == step.place.event && last->place.line == step.place.line &&
                     clean_ != position_;
  if (merge) {
    // The earlier step already holds the state before both; only what it
    // did not touch is taken from the new one.
    StepSide& kept = last->other;
    for (auto& [index, event] : step.other.events) {
      const int32_t at = index;  // a structured binding cannot be captured by every compiler
      const bool known =
          std::any_of(kept.events.begin(), kept.events.end(), [at](const auto& item) { return item.first == at; });
      if (!known && index < kept.eventCount) kept.events.emplace_back(index, std::move(event));
    }
    for (auto& [index, entry] : step.other.talk) {
      const int32_t at = index;
      const bool known =
          std::any_of(kept.talk.begin(), kept.talk.end(), [at](const auto& item) { return item.first == at; });
      if (!known && index < kept.talkCount) kept.talk.emplace_back(index, std::move(entry));
    }
    for (auto& [index, table] : step.other.scenes) {
      const int32_t at = index;
      const bool known =
          std::any_of(kept.scenes.begin(), kept.scenes.end(), [at](const auto& item) { return item.first == at; });
      if (!known && index < kept.sceneCount) kept.scenes.emplace_back(index, std::move(table));
    }
    if (!kept.eventOffsets) kept.eventOffsets = std::move(step.other.eventOffsets);
    if (!kept.talkOffsets) kept.talkOffsets = std::move(step.other.talkOffsets);
    last->changesFiles = last->changesFiles || step.changesFiles;
    changed_[position_] = changed_[position_ - 1] + (last->changesFiles ? 1 : 0);
  } else {
    changed_.push_back(changed_[position_] + (step.changesFiles ? 1 : 0));
    steps_.push_back(std::move(step));
    ++position_;
  }
  state.modified = Modified();
}

StepRecorder::StepRecorder(EditorState& state, int caption, StepPlace place, int mergeKey) : state_(state) {
  step_.caption = caption;
  step_.place = place;
  step_.mergeKey = mergeKey;
  step_.other.eventCount = state.eventCount();
  step_.other.talkCount = state.talkCount();
  step_.other.portraitCount = static_cast<int32_t>(state.game.portraits.size());
  step_.other.sceneCount = state.game.objects.sceneCount();
  KeepOffsets(eventOffsets_, state.game.events.offsets, false);
  KeepOffsets(talkOffsets_, state.game.talk.offsets, false);
}

StepRecorder::~StepRecorder() {
  if (open_) Finish();
}

void StepRecorder::TouchEvent(int32_t event) {
  if (allEvents_ || event < 0 || event >= step_.other.eventCount || event >= state_.eventCount()) return;
  for (const auto& [index, kept] : step_.other.events)
    if (index == event) return;
  step_.other.events.emplace_back(event, state_.game.events.events[size_t(event)]);
}

void StepRecorder::TouchAllEvents() {
  if (allEvents_) return;
  allEvents_ = true;
  KeepOffsets(eventOffsets_, state_.game.events.offsets, true);
  step_.other.events.clear();
  const std::vector<KdefEvent>& events = state_.game.events.events;
  step_.other.events.reserve(events.size());
  for (size_t i = 0; i < events.size(); ++i) step_.other.events.emplace_back(int32_t(i), events[i]);
}

void StepRecorder::TouchDialogue(int32_t entry) {
  if (allTalk_ || entry < 0 || entry >= step_.other.talkCount || entry >= state_.talkCount()) return;
  for (const auto& [index, kept] : step_.other.talk)
    if (index == entry) return;
  step_.other.talk.emplace_back(entry, state_.game.talk.entries[size_t(entry)]);
}

void StepRecorder::TouchAllDialogue() {
  if (allTalk_) return;
  allTalk_ = true;
  KeepOffsets(talkOffsets_, state_.game.talk.offsets, true);
  step_.other.talk.clear();
  const std::vector<TalkEntry>& entries = state_.game.talk.entries;
  step_.other.talk.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) step_.other.talk.emplace_back(int32_t(i), entries[i]);
}

void StepRecorder::TouchPortrait(int32_t number) {
  const auto count = static_cast<int32_t>(state_.game.portraits.size());
  if (number < 0 || number >= step_.other.portraitCount || number >= count) return;
  for (const auto& [index, kept] : step_.other.portraits)
    if (index == number) return;
  step_.other.portraits.emplace_back(number, state_.game.portraits[size_t(number)]);
}

void StepRecorder::TouchScene(int32_t scene) {
  if (scene < 0 || scene >= step_.other.sceneCount || scene >= state_.game.objects.sceneCount()) return;
  for (const auto& [index, kept] : step_.other.scenes)
    if (index == scene) return;
  step_.other.scenes.emplace_back(scene, state_.game.objects.scenes[size_t(scene)]);
}

void StepRecorder::Cancel() { open_ = false; }

bool StepRecorder::Finish() {
  if (!open_) return false;
  open_ = false;
  StepSide& side = step_.other;
  const std::vector<KdefEvent>& events = state_.game.events.events;
  const std::vector<TalkEntry>& entries = state_.game.talk.entries;
  bool filesChanged = side.eventCount != state_.eventCount() || side.talkCount != state_.talkCount();

  if (allEvents_) {
    std::vector<int32_t> counters;
    counters.reserve(side.events.size());
    bool countersDiffer = side.events.size() != events.size();
    for (const auto& [index, event] : side.events) {
      counters.push_back(event.labelCounter);
      if (size_t(index) < events.size() && events[size_t(index)].labelCounter != event.labelCounter)
        countersDiffer = true;
    }
    if (countersDiffer) side.labelCounters = std::move(counters);
  }
  // Only what changed stays; for a step over every event, the events whose
  // words stayed are dropped except the chosen one.
  std::erase_if(side.events, [&](const auto& item) {
    const auto& [index, before] = item;
    if (size_t(index) >= events.size()) return false;
    const KdefEvent& now = events[size_t(index)];
    if (!(before.words == now.words)) return false;
    if (allEvents_ && index != step_.place.event) return true;
    return SameEvent(before, now);
  });
  for (const auto& [index, before] : side.events)
    if (size_t(index) >= events.size() || !(before.words == events[size_t(index)].words)) filesChanged = true;
  side.events.shrink_to_fit();

  std::erase_if(side.talk, [&](const auto& item) {
    return size_t(item.first) < entries.size() && SameEntry(item.second, entries[size_t(item.first)]);
  });
  if (!side.talk.empty()) filesChanged = true;
  side.talk.shrink_to_fit();

  const PictureSet& portraits = state_.game.portraits;
  std::erase_if(side.portraits, [&](const auto& item) {
    return size_t(item.first) < portraits.size() && SamePicture(item.second, portraits[size_t(item.first)]);
  });
  if (!side.portraits.empty() || side.portraitCount != static_cast<int32_t>(portraits.size())) filesChanged = true;
  side.portraits.shrink_to_fit();
  const std::vector<SceneTable>& scenes = state_.game.objects.scenes;
  std::erase_if(side.scenes, [&](const auto& item) {
    return size_t(item.first) < scenes.size() && item.second == scenes[size_t(item.first)];
  });
  if (!side.scenes.empty() || side.sceneCount != state_.game.objects.sceneCount()) filesChanged = true;
  side.scenes.shrink_to_fit();

  side.eventOffsets = OffsetsBefore(eventOffsets_, state_.game.events.offsets);
  side.talkOffsets = OffsetsBefore(talkOffsets_, state_.game.talk.offsets);

  // Decoding every event again (counting, exporting) is no step by itself.
  if (allEvents_ && !filesChanged) return false;
  const bool anything =
      filesChanged || !side.events.empty() || side.labelCounters || side.eventOffsets || side.talkOffsets;
  if (!anything) return false;
  step_.changesFiles = filesChanged;
  state_.history.Push(state_, std::move(step_));
  return true;
}

void BattleHistory::Begin(const std::vector<BattleRecord>& battles, int caption, int chosen) {
  pending_ = Step{caption, chosen, battles};
}

void BattleHistory::Commit(const std::vector<BattleRecord>& battles) {
  if (!pending_) return;
  Step step = std::move(*pending_);
  pending_.reset();
  if (step.other == battles) return;
  steps_.resize(position_);
  steps_.push_back(std::move(step));
  ++position_;
}

std::optional<int> BattleHistory::Undo(std::vector<BattleRecord>& battles) {
  if (!CanUndo()) return std::nullopt;
  Step& step = steps_[--position_];
  std::swap(step.other, battles);
  return step.chosen;
}

std::optional<int> BattleHistory::Redo(std::vector<BattleRecord>& battles) {
  if (!CanRedo()) return std::nullopt;
  Step& step = steps_[position_++];
  std::swap(step.other, battles);
  return step.chosen;
}

}  // namespace tavrel
