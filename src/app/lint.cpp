#include "app/lint.h"

#include <algorithm>
#include <array>

#include "app/scene_objects.h"
#include "gamefiles/war_sta.h"
#include "script/decode.h"
#include "text/ui_string_names.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace {

int32_t SizeOr(size_t size, bool known) { return known ? static_cast<int32_t>(std::min<size_t>(size, INT32_MAX)) : -1; }

bool IsJumpWord(const Statement& s, int word) {
  return s.yesOffset >= 1 && (word == s.yesOffset - 1 || word == s.noOffset - 1);
}

class Linter {
 public:
  Linter(const EditorState& state, const LintLimits& limits, const LintBattles* battles)
      : state_(state),
        limits_(limits),
        battles_(battles),
        shown_(static_cast<size_t>(std::max(state.talkCount(), 0)), false),
        given_(state.game.names.items.size(), false),
        named_(static_cast<size_t>(std::max(state.eventCount(), 0)), false) {}

  LintReport Run() {
    for (int32_t e = 0; e < state_.eventCount(); ++e) Event(e);
    const SceneObjectTables& objects = state_.game.objects;
    if (objects.present)
      for (const ObjectFinding& f : CheckSceneObjects(objects, state_.eventCount()))
        Add(Severity::Error, FindingKind::ObjectEventMissing, Place{PlaceKind::SceneObject, f.scene, f.object},
            FormatInterfaceString(Str::LintObjectEventMissing, f.event));
    if (battles_ != nullptr)
      for (const BattleValueProblem& p : CheckBattles(battles_->battles, battles_->limits))
        Add(Severity::Error, FindingKind::BattleValue, Place{PlaceKind::Battle, p.battle, -1}, BattleProblemText(p));
    for (size_t d = 0; d < shown_.size(); ++d)
      if (!shown_[d])
        Add(Severity::Info, FindingKind::UnusedDialogue, Place{PlaceKind::Dialogue, int32_t(d), -1},
            FormatInterfaceString(Str::LintUnusedDialogue));
    for (size_t i = 0; i < given_.size(); ++i)
      if (!given_[i])
        Add(Severity::Info, FindingKind::UngivenItem, Place{PlaceKind::Item, int32_t(i), -1},
            FormatInterfaceString(Str::LintUngivenItem));
    if (objects.present)
      for (const int32_t event : EventsNamedByNothing(objects, state_.eventCount(), named_))
        Add(Severity::Info, FindingKind::EventNamedByNothing, Place{PlaceKind::Event, event, -1},
            FormatInterfaceString(Str::LintEventNamedByNothing));
    return std::move(report_);
  }

 private:
  void Add(Severity severity, FindingKind kind, Place place, std::string message) {
    (severity == Severity::Error ? report_.errors : severity == Severity::Warning ? report_.warnings : report_.infos)++;
    report_.findings.push_back(Finding{severity, kind, place, std::move(message)});
  }

  void Event(int32_t event) {
    const KdefEvent& e = state_.game.events.events[static_cast<size_t>(event)];
    int32_t labels = 0;
    DecodeReplacing(e.words, statements_, labels, state_.attributes);
    const int32_t wordCount = e.wordCount();
    int32_t position = 0;  // word of the statement's opcode
    int lastInstruction = -1;
    for (size_t line = 0; line < statements_.size(); ++line) {
      const Statement& s = statements_[line];
      if (s.islabel) continue;
      lastInstruction = static_cast<int>(line);
      const Place place{PlaceKind::EventLine, event, static_cast<int32_t>(line)};
      const int32_t after = position + s.EncodedLength();
      if (Unknown(s)) {
        Add(Severity::Error, FindingKind::UnknownWord, place, FormatInterfaceString(Str::LintUnknownWord, s.Id));
      } else if (s.Id != kEndOpcode) {
        Words(s, place);
        Jump(s, place, after, wordCount);
      }
      position = after;
    }
    if (lastInstruction >= 0 && statements_[size_t(lastInstruction)].Id != kEndOpcode)
      Add(Severity::Error, FindingKind::NoEnd, Place{PlaceKind::EventLine, event, lastInstruction},
          FormatInterfaceString(Str::LintNoEnd));
  }

  // A statement the decoder made of one word that starts no instruction it
  // knows, or an instruction cut off by the end of its event or block.
  bool Unknown(const Statement& s) const {
    if (s.Id == kEndOpcode) return false;
    if (s.Id < 0 || s.Id >= kOpcodeCount) return true;
    const InstructionAttr& attr = state_.attributes[size_t(s.Id)];
    return attr.length < 1 || s.DataNum != attr.length - 1;
  }

  void Jump(const Statement& s, const Place& place, int32_t after, int32_t wordCount) {
    if (state_.attributes[size_t(s.Id)].conditional == 0) return;
    if (s.isGoto == 0) {
      Add(Severity::Warning, FindingKind::IrregularConditional, place,
          FormatInterfaceString(Str::LintIrregularConditional));
      return;
    }
    const int32_t target = after + s.GotoAddress;
    if (target > wordCount)
      Add(Severity::Error, FindingKind::JumpOutside, place,
          FormatInterfaceString(Str::LintJumpOutside, target, wordCount));
  }

  void Words(const Statement& s, const Place& place) {
    const ReferringWords& refs = referring_[size_t(s.Id)];
    const int held = std::min<int>(s.DataNum, static_cast<int>(s.data.size()));
    for (uint8_t k = 0; k < refs.count; ++k) {
      const int w = refs.words[k];
      if (w >= held || IsJumpWord(s, w)) continue;
      const WordKind kind = WordKindOf(s.Id, w);
      const RefKind ref = ReferenceOf(kind);
      if (ref == RefKind::None) continue;
      const int16_t value = s.data[size_t(w)];
      Note(kind, s, w, value);
      if (IsStandInValue(kind, value)) continue;
      const int32_t limit = limits_[ref];
      if (limit < 0 || (value >= 0 && value < limit)) continue;
      Add(Severity::Error, FindingKind::OutOfRange, place,
          FormatInterfaceString(Str::LintOutOfRange, InterfaceStringText(RefKindString(ref)), value, limit));
    }
  }

  // Which dialogues are shown and which items given.
  void Note(WordKind kind, const Statement& s, int w, int16_t value) {
    if (kind == WordKind::Dialogue && value >= 0 && size_t(value) < shown_.size()) shown_[size_t(value)] = true;
    if (kind == WordKind::TriggerEvent && value >= 0 && size_t(value) < named_.size()) named_[size_t(value)] = true;
    if (kind != WordKind::GivenItem || value < 0 || size_t(value) >= given_.size()) return;
    // An amount after the item that is not positive takes the item away.
    if (WordKindOf(s.Id, w + 1) == WordKind::Increase && s.Word(w + 1) <= 0) return;
    given_[size_t(value)] = true;
  }

  static constexpr std::array<ReferringWords, kOpcodeCount> kReferring = [] {
    std::array<ReferringWords, kOpcodeCount> all{};
    for (int16_t op = 0; op < kOpcodeCount; ++op) all[size_t(op)] = ReferringWordsOf(op);
    return all;
  }();
  const std::array<ReferringWords, kOpcodeCount>& referring_ = kReferring;

  const EditorState& state_;
  const LintLimits& limits_;
  const LintBattles* battles_;
  std::vector<Statement> statements_;
  std::vector<bool> shown_;
  std::vector<bool> given_;
  std::vector<bool> named_;  // events an instruction names
  LintReport report_;
};

}  // namespace

LintLimits LimitsOf(const EditorState& state, int32_t battles) {
  const NameTables& names = state.game.names;
  LintLimits limits;
  limits[RefKind::Dialogue] = state.talkCount();
  limits[RefKind::Event] = state.eventCount();
  // An empty name table is one that could not be read.
  limits[RefKind::Person] = SizeOr(names.persons.size(), !names.persons.empty());
  limits[RefKind::Item] = SizeOr(names.items.size(), !names.items.empty());
  limits[RefKind::Scene] = SizeOr(names.scenes.size(), !names.scenes.empty());
  limits[RefKind::Skill] = SizeOr(names.skills.size(), !names.skills.empty());
  limits[RefKind::Portrait] = SizeOr(state.game.portraits.size(), !state.game.portraits.empty());
  limits[RefKind::Battle] = battles;
  return limits;
}

int32_t BattleCountOnDisk(const EditorState& state) {
  if (state.gameDirectory.empty()) return -1;
  Result<WarStaContents> read = ReadWarSta(state.gameDirectory, state.text());
  if (!read || read->fileMissing) return -1;
  return static_cast<int32_t>(read->battles.size());
}

LintBattles ReadLintBattles(const EditorState& state) {
  LintBattles out;
  out.limits = BattleLimitsOf(state);
  if (state.gameDirectory.empty()) return out;
  Result<WarStaContents> read = ReadWarSta(state.gameDirectory, state.text());
  if (!read || read->fileMissing) return out;
  out.count = static_cast<int32_t>(std::min<size_t>(read->battles.size(), INT32_MAX));
  out.battles = std::move(read->battles);
  return out;
}

LintReport LintGame(const EditorState& state, const LintLimits& limits, const LintBattles* battles) {
  return Linter(state, limits, battles).Run();
}

LintReport LintLoadedGame(const EditorState& state) {
  const LintBattles battles = ReadLintBattles(state);
  return LintGame(state, LimitsOf(state, battles.count), &battles);
}

std::string LintSummary(const LintReport& report) {
  return FormatInterfaceString(Str::LintSummary, report.errors, report.warnings);
}

}  // namespace tavrel
