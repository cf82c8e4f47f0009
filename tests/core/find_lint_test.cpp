// Searching the sample game and checking it: references of every kind
// counted independently from the words, text and regular-expression search,
// the shown event's uncommitted statements, and lint finding planted faults
// exactly once and no error on a clean copy. The tool's find and lint too.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include <fmt/format.h>

#include "app/commands.h"
#include "app/find.h"
#include "app/lint.h"
#include "sample_test_support.h"
#include "script/encode.h"
#include "tool_run.h"

namespace tavrel::testing {
namespace {

// The words that refer to each kind, by opcode, as the game's format
// describes the instructions (opcode: parameter word indexes).
const std::map<RefKind, std::map<int, std::vector<int>>>& ReferringWords() {
  static const std::map<RefKind, std::map<int, std::vector<int>>> words = {
      {RefKind::Dialogue, {{1, {0}}}},
      {RefKind::Portrait, {{1, {1}}}},
      {RefKind::Person,
       {{10, {0}},
        {16, {0}},
        {21, {0}},
        {23, {0}},
        {28, {0}},
        {29, {0}},
        {33, {0}},
        {34, {0}},
        {35, {0}},
        {41, {0}},
        {45, {0}},
        {46, {0}},
        {47, {0}},
        {48, {0}},
        {49, {0}},
        {63, {0}}}},
      {RefKind::Item, {{2, {0}}, {4, {0}}, {18, {0}}, {32, {0}}, {41, {1}}, {43, {0}}, {50, {0, 1, 2, 3, 4}}}},
      {RefKind::Scene, {{3, {0}}, {17, {0}}, {26, {0}}, {38, {0}}, {39, {0}}, {60, {0}}}},
      {RefKind::Skill, {{33, {1}}, {35, {2}}}},
      {RefKind::Battle, {{6, {0}}}},
      {RefKind::Event, {{3, {4, 5, 6}}}},
  };
  return words;
}

// Instructions referring to `number`, counted by walking each event's words
// with the instruction lengths of the attribute table (the sample's jumps
// all close regular blocks, so the instructions follow one another).
int CountInWords(const EditorState& state, RefKind kind, int number) {
  const auto& byOpcode = ReferringWords().at(kind);
  int count = 0;
  for (const KdefEvent& event : state.game.events.events) {
    const std::vector<int16_t> w = event.words.vector();
    for (size_t pos = 0; pos < w.size();) {
      const int op = w[pos];
      const int length = op >= 0 && op < kOpcodeCount ? state.attributes[size_t(op)].length : 1;
      if (op < 0 || op >= kOpcodeCount || length < 1 || pos + size_t(length) > w.size()) {
        ++pos;
        continue;
      }
      if (auto it = byOpcode.find(op); it != byOpcode.end()) {
        const bool refers =
            std::any_of(it->second.begin(), it->second.end(), [&](int k) { return w[pos + 1 + size_t(k)] == number; });
        count += refers;
      }
      pos += size_t(length);
    }
  }
  return count;
}

std::set<std::pair<int, int>> Places(const std::vector<FoundLine>& found) {
  std::set<std::pair<int, int>> places;
  for (const FoundLine& f : found) places.insert({f.place.owner, f.place.index});
  return places;
}

std::vector<FoundLine> Find(const EditorState& state, FindQuery query, ShownStatements shown = {}) {
  Result<std::vector<FoundLine>> found = FindAll(state, query, shown);
  EXPECT_TRUE(found) << found.error();
  return found ? *found : std::vector<FoundLine>{};
}

FindQuery Reference(RefKind kind, int number) {
  FindQuery q;
  q.reference = kind;
  q.number = number;
  return q;
}

FindQuery Text(FindQuery::Mode mode, std::string text, bool ignoreCase = false) {
  FindQuery q;
  q.mode = mode;
  q.text = std::move(text);
  q.ignoreCase = ignoreCase;
  return q;
}

void SetWords(EditorState& state, int32_t event, std::vector<int16_t> words) {
  KdefEvent& e = state.game.events.events[size_t(event)];
  e.words = std::move(words);
  e.statements.clear();
}

constexpr char kPlantedText[] = "寻找这一句Abc";

class FindTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReadSampleGame(state_, GameCharset::Gbk, dir_.path());
    dialogue_ = AddDialogue(state_);
    StoreDialogue(state_, dialogue_, kPlantedText);
    planted_ = AddEvent(state_);
    target_ = AddEvent(state_);
    // Lines: 0 dialogue (portrait 5), 1 person 7 joins, 2 item 11 given,
    // 3 scene 4 opened, 4 person 7 learns skill 12, 5 battle 10 (jumping
    // over line 6, a return), 7 its label, 8 scene event whose first
    // trigger is the event after this one, 9 the end.
    SetWords(state_, planted_,
             {1, int16_t(dialogue_), 5,  0,  10, 7, 2, 11, 3, 39, 4, 33, 7, 12, 0, 6, 10, 1, 0, 0, 7, 3, -2, -2, -2,
              0, int16_t(target_),   -2, -1, 0,  0, 0, -2, 0, 0,  -1});
  }

  SampleGameDir dir_;
  EditorState state_;
  int32_t dialogue_ = -1;
  int32_t planted_ = -1;
  int32_t target_ = -1;
};

TEST_F(FindTest, EveryReferenceKindFindsWhatTheWordsHold) {
  struct Case {
    RefKind kind;
    int number;
    std::set<int> plantedLines;
  };
  const Case cases[] = {
      {RefKind::Dialogue, dialogue_, {0}},
      {RefKind::Portrait, 5, {0}},
      {RefKind::Person, 7, {1, 4}},
      {RefKind::Item, 11, {2}},
      {RefKind::Scene, 4, {3}},
      {RefKind::Skill, 12, {4}},
      {RefKind::Battle, 10, {5}},
      {RefKind::Event, target_, {8}},
  };
  for (const Case& c : cases) {
    const std::vector<FoundLine> found = Find(state_, Reference(c.kind, c.number));
    EXPECT_EQ(int(found.size()), CountInWords(state_, c.kind, c.number)) << int(c.kind);
    const std::set<std::pair<int, int>> places = Places(found);
    for (int line : c.plantedLines) EXPECT_TRUE(places.count({planted_, line})) << int(c.kind) << " line " << line;
    EXPECT_EQ(int(places.size()), int(found.size())) << "one result a line";
  }
  // The new dialogue, the battle past the sample's own and the added event
  // are named only by the planted lines.
  EXPECT_EQ(Places(Find(state_, Reference(RefKind::Dialogue, dialogue_))),
            (std::set<std::pair<int, int>>{{planted_, 0}}));
  EXPECT_EQ(Places(Find(state_, Reference(RefKind::Battle, 10))), (std::set<std::pair<int, int>>{{planted_, 5}}));
  EXPECT_EQ(Places(Find(state_, Reference(RefKind::Event, target_))), (std::set<std::pair<int, int>>{{planted_, 8}}));
  // A kind with common numbers: the sample's own events hold many of them.
  EXPECT_GT(CountInWords(state_, RefKind::Person, 7) + CountInWords(state_, RefKind::Item, 11), 2);
  EXPECT_EQ(CountReferences(state_, RefKind::Person, 7), CountInWords(state_, RefKind::Person, 7));
}

// The sample's object tables start event 10 from two objects and event 110
// from scene 5, object 12, on the action key; those come before the lines.
TEST_F(FindTest, AnEventSearchListsTheObjectsThatStartItFirst) {
  const std::vector<FoundLine> found = Find(state_, Reference(RefKind::Event, 110));
  ASSERT_FALSE(found.empty());
  EXPECT_EQ(found[0].place, (Place{PlaceKind::SceneObject, 5, 12}));
  EXPECT_EQ(found[0].text, "空格");
  EXPECT_EQ(PlaceText(found[0].place), "场景5 物体12");
  EXPECT_EQ(PlaceTag(found[0].place), "alldef:5:12");
  for (size_t i = 1; i < found.size(); ++i) EXPECT_EQ(found[i].place.kind, PlaceKind::EventLine);
  const auto objects = [&](int32_t event) {
    int n = 0;
    for (const FoundLine& line : Find(state_, Reference(RefKind::Event, event)))
      n += line.place.kind == PlaceKind::SceneObject ? 1 : 0;
    return n;
  };
  EXPECT_EQ(objects(10), 2);
  EXPECT_EQ(objects(13), 0);
  EXPECT_EQ(objects(target_), 0);
}

TEST_F(FindTest, AResultCarriesTheLineAsTheListShowsIt) {
  const std::vector<FoundLine> found = Find(state_, Reference(RefKind::Dialogue, dialogue_));
  ASSERT_EQ(found.size(), 1u);
  // Portrait 5 is worn by person 5 first, and by others.
  const auto& wearers = state_.game.portraitUsers.at(5);
  ASSERT_GE(wearers.size(), 2u);
  ASSERT_EQ(wearers.front(), 5);
  EXPECT_EQ(found[0].text, "1(1):[" + state_.game.names.persons[5].name + " +" + std::to_string(wearers.size() - 1) +
                               "]" + state_.text().UiString(506) + kPlantedText);
  EXPECT_EQ(PlaceTag(found[0].place), "kdef:" + std::to_string(planted_) + ":0");
  EXPECT_EQ(PlaceText(found[0].place), "事件" + std::to_string(planted_) + "，第0行");
}

TEST_F(FindTest, TextAndRegularExpressionsSearchTheLinesWithTheirDialogueTexts) {
  const std::set<std::pair<int, int>> planted{{planted_, 0}};
  EXPECT_EQ(Places(Find(state_, Text(FindQuery::Mode::Text, "这一句Abc"))), planted);
  EXPECT_TRUE(Find(state_, Text(FindQuery::Mode::Text, "这一句abc")).empty());
  EXPECT_EQ(Places(Find(state_, Text(FindQuery::Mode::Text, "这一句aBC", true))), planted);
  EXPECT_EQ(Places(Find(state_, Text(FindQuery::Mode::Regex, "寻找.*A[a-z]c$"))), planted);
  EXPECT_TRUE(Find(state_, Text(FindQuery::Mode::Regex, "寻找.*a[a-z]c$")).empty());
  EXPECT_EQ(Places(Find(state_, Text(FindQuery::Mode::Regex, "寻找.*a[A-Z]C$", true))), planted);

  // Every "join" instruction begins its line with its caption "10(A):".
  int joins = 0;
  for (const auto& e : state_.game.events.events)
    for (size_t pos = 0; pos < e.words.size();) {
      const int op = e.words[pos];
      if (op < 0 || op >= kOpcodeCount) {
        ++pos;
        continue;
      }
      joins += op == 10;
      pos += size_t(std::max(state_.attributes[size_t(op)].length, 1));
    }
  EXPECT_GT(joins, 1);
  EXPECT_EQ(int(Find(state_, Text(FindQuery::Mode::Regex, "^10\\(A\\):")).size()), joins);
  // Label lines are lines of the list too.
  EXPECT_TRUE(Places(Find(state_, Text(FindQuery::Mode::Regex, "^:Label\\d+$"))).count({planted_, 7}));
}

TEST_F(FindTest, ABadRegularExpressionIsAMessageAndNoSearch) {
  Result<std::vector<FoundLine>> found = FindAll(state_, Text(FindQuery::Mode::Regex, "(unclosed"));
  ASSERT_FALSE(found);
  EXPECT_NE(found.error().find("(unclosed"), std::string::npos) << found.error();
  EXPECT_NE(found.error().find("正则表达式"), std::string::npos) << found.error();
  EXPECT_FALSE(EventSearch::Start(state_, Text(FindQuery::Mode::Regex, "[a-")));
}

TEST_F(FindTest, TheShownEventIsSearchedAsShown) {
  KdefEvent& event = state_.game.events.events[size_t(planted_)];
  ShowEvent(event, state_.attributes, state_.describeContext());
  event.statements[1].SetWord(0, 8);  // person 7 joins -> person 8, not committed
  const ShownStatements shown{planted_, event.statements};
  EXPECT_TRUE(Places(Find(state_, Reference(RefKind::Person, 8), shown)).count({planted_, 1}));
  EXPECT_FALSE(Places(Find(state_, Reference(RefKind::Person, 8))).count({planted_, 1}));
  EXPECT_FALSE(Places(Find(state_, Reference(RefKind::Person, 7), shown)).count({planted_, 1}));
  EXPECT_TRUE(Places(Find(state_, Reference(RefKind::Person, 7), shown)).count({planted_, 4}));
}

TEST_F(FindTest, ASearchInSlicesGivesTheSameResultsAndCounts) {
  Result<std::unique_ptr<EventSearch>> search = EventSearch::Start(state_, Reference(RefKind::Person, 7));
  ASSERT_TRUE(search);
  EventSearch& s = **search;
  EXPECT_EQ(s.total(), state_.eventCount());
  int steps = 0;
  while (s.Step(7)) {
    ++steps;
    EXPECT_EQ(s.searched() % 7, 0);
  }
  EXPECT_TRUE(s.done());
  EXPECT_EQ(steps, (state_.eventCount() + 6) / 7 - 1);
  EXPECT_EQ(int(s.results().size()), CountInWords(state_, RefKind::Person, 7));
}

// ---- lint ---------------------------------------------------------------------

using FaultKey = std::tuple<FindingKind, int, int>;

std::multiset<FaultKey> Faults(const LintReport& report) {
  std::multiset<FaultKey> faults;
  for (const Finding& f : report.findings)
    if (f.severity != Severity::Info) faults.insert({f.kind, f.place.owner, f.place.index});
  return faults;
}

class LintTest : public ::testing::Test {
 protected:
  void SetUp() override { ReadSampleGame(state_, GameCharset::Gbk, dir_.path()); }
  LintReport Lint() const { return LintGame(state_, LimitsOf(state_, BattleCountOnDisk(state_))); }
  // war.sta holds records of 186 bytes.
  int WarStaRecords() const { return int(std::filesystem::file_size(dir_.path() / "war.sta") / 186); }

  SampleGameDir dir_;
  EditorState state_;
};

// The sample's one broken reference is scene 7's object 4, which starts the
// missing event 4100.
// Besides its broken object, the sample has events that stop without their
// end instruction, as real games do; lint calls each an error.
TEST_F(LintTest, TheSampleHasOnlyItsBrokenObjectItsOpenEventsAndItsIrregularConditionals) {
  const LintReport report = Lint();
  std::set<int32_t> open;
  for (int32_t e = 0; e < state_.eventCount(); ++e) {
    const auto& words = state_.game.events.events[size_t(e)].words;
    if (!words.empty() && words.back() != -1) open.insert(e);
  }
  ASSERT_FALSE(open.empty());
  EXPECT_EQ(report.errors, 1 + int(open.size()));
  for (const Finding& f : report.findings) {
    if (f.severity == Severity::Error && f.kind == FindingKind::NoEnd) {
      EXPECT_EQ(f.place.kind, PlaceKind::EventLine);
      EXPECT_TRUE(open.count(f.place.owner)) << f.place.owner;
    } else if (f.severity == Severity::Error) {
      EXPECT_EQ(f.kind, FindingKind::ObjectEventMissing);
      EXPECT_EQ(f.place, (Place{PlaceKind::SceneObject, 7, 4}));
      EXPECT_EQ(f.message, "事件4100不存在");
    } else if (f.severity == Severity::Warning) {
      EXPECT_EQ(f.kind, FindingKind::IrregularConditional) << PlaceTag(f.place);
    }
  }
  EXPECT_EQ(BattleCountOnDisk(state_), WarStaRecords());
}

TEST_F(LintTest, EachPlantedFaultIsFoundExactlyOnce) {
  const LintReport clean = Lint();
  const int32_t broken = AddEvent(state_);
  const int32_t jumpOut = AddEvent(state_);
  const int32_t noEnd = AddEvent(state_);
  // 160 dialogues, 320 persons, 200 items, 14 scenes, 90 skills, 120 portraits.
  const int16_t events = int16_t(state_.eventCount());
  const int16_t battles = int16_t(WarStaRecords());
  SetWords(state_, broken, {1,  160,     5,   0,         // line 0: dialogue 160 of 160
                            1,  3,       120, 0,         // line 1: portrait 120 of 120
                            10, 320,                     // line 2: person 320
                            2,  200,     1,              // line 3: item 200
                            39, 14,                      // line 4: scene 14
                            33, 0,       90,  0,         // line 5: skill 90 (person 0 is fine)
                            6,  battles, 1,   0,  0, 7,  // line 6: the battle after the last, over line 7; label line 8
                            3,  11,      -2,  -2, 0, events, -2, -1, 0, 0, 0, -2, 0, 0,  // line 9: event past the last
                            17, -3,      0,   0,  0, 0,  // line 10: scene -3 (only -2 stands for the current one)
                            99,                          // line 11: no instruction
                            5,  0,       0,              // line 12: a conditional that never jumps
                            -1});                        // line 13
  SetWords(state_, jumpOut, {5, 10, 0, -1});             // line 0 jumps 10 words past a 4-word event
  SetWords(state_, noEnd, {0, 10, 1});                   // line 1 is no end instruction
  const std::multiset<FaultKey> planted = {
      {FindingKind::OutOfRange, broken, 0},
      {FindingKind::OutOfRange, broken, 1},
      {FindingKind::OutOfRange, broken, 2},
      {FindingKind::OutOfRange, broken, 3},
      {FindingKind::OutOfRange, broken, 4},
      {FindingKind::OutOfRange, broken, 5},
      {FindingKind::OutOfRange, broken, 6},
      {FindingKind::OutOfRange, broken, 9},
      {FindingKind::OutOfRange, broken, 10},
      {FindingKind::UnknownWord, broken, 11},
      {FindingKind::IrregularConditional, broken, 12},
      {FindingKind::JumpOutside, jumpOut, 0},
      {FindingKind::NoEnd, noEnd, 1},
  };
  const LintReport report = Lint();
  std::multiset<FaultKey> added = Faults(report);
  for (const FaultKey& k : Faults(clean)) added.erase(added.find(k));
  EXPECT_EQ(added, planted);
  EXPECT_EQ(report.errors, clean.errors + 12);
  EXPECT_EQ(report.warnings, clean.warnings + 1);

  const auto message = [&](int32_t event, int line) {
    for (const Finding& f : report.findings)
      if (f.place == Place{PlaceKind::EventLine, event, line}) return f.message;
    return std::string();
  };
  EXPECT_EQ(message(broken, 0), "对话160超出范围：共有160个");
  EXPECT_EQ(message(broken, 2), "人物320超出范围：共有320个");
  EXPECT_EQ(message(broken, 6), fmt::format("战斗{}超出范围：共有{}个", battles, battles));
  EXPECT_EQ(message(jumpOut, 0), "跳转落在事件之外：跳到第13字，事件只有4字");
  EXPECT_EQ(LintSummary(report),
            std::to_string(clean.errors + 12) + "个错误，" + std::to_string(clean.warnings + 1) + "个警告");
}

TEST_F(LintTest, UnusedDialoguesAndItemsNoEventGivesAreInformation) {
  auto infos = [&](FindingKind kind) {
    std::set<int> owners;
    for (const Finding& f : Lint().findings) {
      if (f.kind != kind) continue;
      EXPECT_EQ(f.severity, Severity::Info);
      owners.insert(f.place.owner);
    }
    return owners;
  };
  const int32_t added = AddDialogue(state_);
  EXPECT_TRUE(infos(FindingKind::UnusedDialogue).count(added));
  const std::set<int> ungiven = infos(FindingKind::UngivenItem);
  ASSERT_GE(ungiven.size(), 2u);
  const int first = *ungiven.begin();
  const int second = *std::next(ungiven.begin());
  const int32_t event = AddEvent(state_);
  // Item `first` given, `second` taken away (an amount below 1), dialogue `added` shown.
  SetWords(state_, event, {2, int16_t(first), 1, 32, int16_t(second), -3, 1, int16_t(added), 0, 0, -1});
  const std::set<int> after = infos(FindingKind::UngivenItem);
  EXPECT_FALSE(after.count(first));
  EXPECT_TRUE(after.count(second));
  EXPECT_FALSE(infos(FindingKind::UnusedDialogue).count(added));

  // An event nothing names is information; one an object or an instruction
  // names is not, nor is the empty event 0.
  const std::set<int> unnamed = infos(FindingKind::EventNamedByNothing);
  EXPECT_TRUE(unnamed.count(event));
  EXPECT_FALSE(unnamed.count(0));
  EXPECT_FALSE(unnamed.count(110));  // scene 5, object 12
  const int32_t named = AddEvent(state_);
  SetWords(state_, event, {3, -2, -2, -2, 0, int16_t(named), -2, -1, 0, 0, 0, -2, 0, 0, -1});
  EXPECT_FALSE(infos(FindingKind::EventNamedByNothing).count(named));
}

// ---- the tool ---------------------------------------------------------------------

std::string Quoted(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

int CountLines(const std::string& out) { return int(std::count(out.begin(), out.end(), '\n')); }

TEST_F(LintTest, TheToolFindsAndLintsAsTheCoreDoes) {
  const ToolRun clean = RunTool("lint --no-info " + Quoted(dir_.path()));
  EXPECT_EQ(clean.exitCode, 1) << clean.out;
  EXPECT_NE(clean.out.find("alldef:7:4: 错误: 事件4100不存在\n"), std::string::npos) << clean.out;
  const LintReport report = Lint();
  EXPECT_NE(
      clean.out.find("\n" + std::to_string(report.errors) + "个错误，" + std::to_string(report.warnings) + "个警告\n"),
      std::string::npos)
      << clean.out;
  EXPECT_NE(clean.out.find(": 警告: 不规则的条件指令"), std::string::npos) << clean.out;

  const ToolRun found = RunTool("find " + Quoted(dir_.path()) + " --person 7");
  EXPECT_EQ(found.exitCode, 0);
  const int count = CountInWords(state_, RefKind::Person, 7);
  EXPECT_NE(found.out.find("\n" + std::to_string(count) + " 个结果\n"), std::string::npos) << found.out;
  EXPECT_EQ(CountLines(found.out), count + 1);
  const ToolRun started = RunTool("find " + Quoted(dir_.path()) + " --event 110");
  EXPECT_EQ(started.exitCode, 0);
  EXPECT_EQ(started.out.rfind("场景 5 物体 12: 空格\n", 0), 0u) << started.out;
  EXPECT_EQ(RunTool("find " + Quoted(dir_.path()) + " --regex '(' 2>/dev/null").exitCode, 2);
  EXPECT_EQ(RunTool("find " + Quoted(dir_.path()) + " --person 1 --item 2 2>/dev/null").exitCode, 2);

  // Saved with a dialogue past the table: one error, exit 1.
  const int32_t event = AddEvent(state_);
  SetWords(state_, event, {1, int16_t(state_.talkCount() + 5), 0, 0, -1});
  ASSERT_TRUE(SaveGameFiles(state_));
  const ToolRun broken = RunTool("lint " + Quoted(dir_.path()));
  EXPECT_EQ(broken.exitCode, 1) << broken.out;
  EXPECT_NE(broken.out.find("kdef:" + std::to_string(event) + ":0: 错误: 对话165超出范围：共有160个\n"),
            std::string::npos)
      << broken.out;
  EXPECT_NE(broken.out.find("\n" + std::to_string(report.errors + 1) + "个错误，"), std::string::npos);
  EXPECT_NE(broken.out.find(": 提示: "), std::string::npos) << "information lines without --no-info";
}

}  // namespace
}  // namespace tavrel::testing
