// Event scripts as text: the sample game and random events survive export
// and import word for word, edits compile to the jumps they mean, and broken
// text is reported with its place while nothing is written.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <fmt/format.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <random>

#include "app/script_folder.h"
#include "sample_test_support.h"
#include "script/event_table.h"
#include "tool_run.h"

namespace tavrel::testing {
namespace {

const AttributeTable& Attr() { return ShippedAttributes(); }

// The opcodes the tests lean on, checked against the shipped table.
constexpr int16_t kTalk = 1;          // 4 words
constexpr int16_t kBattleChoice = 5;  // conditional, 3 words, yes word 1, no word 2

void ExpectShippedLayout() {
  ASSERT_EQ(Attr()[kTalk].length, 4);
  ASSERT_EQ(Attr()[kBattleChoice].length, 3);
  ASSERT_NE(Attr()[kBattleChoice].conditional, 0);
  ASSERT_EQ(Attr()[kBattleChoice].yesOffset, 1);
  ASSERT_EQ(Attr()[kBattleChoice].noOffset, 2);
}

std::vector<int16_t> Compile(const std::string& text, std::vector<TextDiagnostic>* errors = nullptr) {
  CompiledEvent c = CompileEventScript(text, "e.kdef.txt", Attr());
  if (errors)
    *errors = c.errors;
  else
    EXPECT_TRUE(c.errors.empty()) << JoinDiagnostics(c.errors) << "\n" << text;
  return c.words;
}

std::string Text(const std::vector<int16_t>& words) {
  const TextCodec codec(GameCharset::Gbk, std::make_shared<CharsetTables>());
  const NameTables names;
  return WriteEventScript(words, 0, Attr(), DescribeContext{codec, names, {}});
}

// ------------------------------------------------------------ sample game

struct SampleCase {
  int scale;
  GameCharset charset;
};

class ScriptSample : public ::testing::TestWithParam<SampleCase> {};

TEST_P(ScriptSample, ExportThenImportGivesTheSameEventFiles) {
  const SampleCase c = GetParam();
  ScratchDir dir;
  ASSERT_TRUE(sample::WriteSampleGame(dir.path(), SampleAt(c.scale)));
  EditorState state;
  ReadSampleGame(state, c.charset, dir.path());
  const Bytes idx = dir.Get("kdef.idx"), grp = dir.Get("kdef.grp");

  std::vector<ScriptFile> files = WriteScriptFiles(state);
  ASSERT_EQ(files.size(), size_t(state.eventCount()) + 1);
  size_t labels = 0;
  for (const ScriptFile& f : files) labels += f.text.find("\n:Label") != std::string::npos;
  EXPECT_GT(labels, 10u) << "the sample has nested conditionals";
  EXPECT_NE(files[1].text.find("# "), std::string::npos) << "instruction lines carry their description";

  if (c.scale == 1) {
    // Through the folder and the event files, as the tool does it.
    const std::filesystem::path folder = dir / "script";
    ASSERT_TRUE(ExportScriptFolder(state, folder));
    EXPECT_TRUE(std::filesystem::exists(folder / "0000.kdef.txt"));
    EXPECT_TRUE(std::filesystem::exists(folder / kScriptHeaderName));
    for (KdefEvent& e : state.game.events.events) {  // imported words must replace these
      std::vector<int16_t> more = e.words;
      more.push_back(7);
      e.words = more;
    }
    Result<ScriptImport> imported = ImportScriptFolder(state, folder);
    ASSERT_TRUE(imported) << imported.error();
    EXPECT_EQ(imported->events, state.eventCount());
    ASSERT_TRUE(WriteEvents(dir.path(), state.game.events));
    EXPECT_EQ(dir.Get("kdef.idx"), idx);
    EXPECT_EQ(dir.Get("kdef.grp"), grp);
    EXPECT_TRUE(dir.Has("kdef.grp.bak"));
  } else {
    CompiledScripts compiled = CompileScriptFiles(files, state.attributes);
    ASSERT_TRUE(compiled.errors.empty()) << JoinDiagnostics(compiled.errors);
    const ScriptImport report = ApplyScripts(state, std::move(compiled.events));
    EXPECT_EQ(report.changed, 0);
    EXPECT_FALSE(state.modified);
    Bytes newIdx, newGrp;
    EncodeEvents(state.game.events, newIdx, newGrp);
    EXPECT_EQ(newIdx, idx);
    EXPECT_EQ(newGrp, grp);
  }
}

INSTANTIATE_TEST_SUITE_P(ScalesAndCharsets, ScriptSample,
                         ::testing::Values(SampleCase{1, GameCharset::Gbk}, SampleCase{1, GameCharset::Big5},
                                           SampleCase{10, GameCharset::Gbk}, SampleCase{10, GameCharset::Big5}),
                         [](const auto& tested) {
                           return fmt::format("Scale{}{}", tested.param.scale, CharsetName(tested.param.charset));
                         });

// ------------------------------------------------------------ random events

// Instructions of every kind, conditionals whose jumps land on later
// instructions (nested and crossing blocks), inside an instruction, outside
// the event, backwards or nowhere, words that form no instruction, and
// instructions cut off by the end of the event.
std::vector<int16_t> RandomEvent(std::mt19937& random) {
  auto below = [&](int n) { return int(random() % unsigned(n)); };
  std::vector<int16_t> words;
  if (below(8) == 0) return words;
  struct Jump {
    size_t word;
    size_t end;
  };
  std::vector<Jump> jumps;
  std::vector<size_t> starts;
  const int count = 1 + below(25);
  for (int k = 0; k < count; ++k) {
    starts.push_back(words.size());
    const int roll = below(20);
    if (roll == 0) {  // a word that is no opcode
      words.push_back(int16_t(below(2) ? 68 + below(3000) : -2 - below(3000)));
      continue;
    }
    if (roll == 1) {
      words.push_back(-1);
      continue;
    }
    const int16_t op = int16_t(below(kOpcodeCount));
    const InstructionAttr& a = Attr()[size_t(op)];
    words.push_back(op);
    for (int w = 1; w < a.length; ++w) words.push_back(int16_t(int(random() % 65536) - 32768));
    if (a.conditional != 0 && a.yesOffset >= 1 && a.yesOffset < a.length && a.noOffset >= 1 && a.noOffset < a.length) {
      const size_t base = words.size() - size_t(a.length);
      const bool yes = below(2);
      words[base + size_t(a.yesOffset)] = 0;
      words[base + size_t(a.noOffset)] = 0;
      const size_t at = base + size_t(yes ? a.yesOffset : a.noOffset);
      switch (below(6)) {
        case 0:
          break;  // both 0
        case 1:
          words[base + size_t(a.yesOffset)] = 2, words[base + size_t(a.noOffset)] = 3;
          break;
        case 2:
          words[at] = int16_t(-1 - below(5));
          break;
        case 3:
          words[at] = int16_t(1 + below(40));
          break;  // anywhere, often inside an instruction
        default:
          jumps.push_back(Jump{at, words.size()});
          break;  // to a later instruction, filled in below
      }
    }
  }
  starts.push_back(words.size());
  if (below(4) == 0) {  // an instruction cut off by the end
    words.push_back(kTalk);
    words.push_back(3);
  }
  for (const Jump& j : jumps) {
    std::vector<size_t> later;
    for (size_t s : starts)
      if (s > j.end) later.push_back(s);
    words[j.word] = later.empty() ? int16_t(0) : int16_t(later[size_t(below(int(later.size())))] - j.end);
  }
  return words;
}

TEST(ScriptText, RandomEventsSurviveTheRoundTrip) {
  std::mt19937 random(20261208);
  int labels = 0, raws = 0, empty = 0, nested = 0;
  for (int k = 0; k < 3000; ++k) {
    const std::vector<int16_t> words = RandomEvent(random);
    const std::string text = Text(words);
    const std::vector<int16_t> back = Compile(text);
    ASSERT_EQ(back, words) << text;
    labels += text.find("\n:Label") != std::string::npos || text.find("  :Label") != std::string::npos;
    raws += text.find("raw ") != std::string::npos;
    nested += text.find("\n    ") != std::string::npos;
    empty += words.empty();
  }
  EXPECT_GT(labels, 300);
  EXPECT_GT(raws, 300);
  EXPECT_GT(nested, 30);
  EXPECT_GT(empty, 100);
}

TEST(ScriptText, LabelsFollowTheDecodersNumbersAndNesting) {
  ExpectShippedLayout();
  // 5 jumps (yes) over 5 [5 jumps (no) over one dialogue], both to the end of the outer block.
  const std::vector<int16_t> words = {5, 7, 0, 5, 0, 4, 1, 1, 2, 0, 7, -1};
  const std::string text = Text(words);
  EXPECT_NE(text.find("\n5 :Label0 0"), std::string::npos) << text;
  EXPECT_NE(text.find("\n  5 0 :Label1"), std::string::npos) << text;
  EXPECT_NE(text.find("\n    1 1 2 0"), std::string::npos) << text;
  EXPECT_NE(text.find("\n  :Label1\n:Label0\n7"), std::string::npos) << text;
  EXPECT_EQ(Compile(text), words);
}

TEST(ScriptText, IrregularJumpsAndStrayWordsStayNumbers) {
  ExpectShippedLayout();
  // Both jump words 0; a jump into the middle of the dialogue; a jump past the end; opcode 200; a cut-off dialogue.
  const std::vector<int16_t> words = {5, 0, 0, 5, 2, 0, 1, 1, 2, 0, 5, 0, 99, 200, 1, 5};
  const std::string text = Text(words);
  for (const char* line : {"\n5 0 0 ", "\n5 2 0 ", "\n5 0 99 ", "\nraw 200 ", "\nraw 1 ", "\nraw 5 "})
    EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
  EXPECT_EQ(text.find(":Label"), std::string::npos) << text;
  EXPECT_EQ(Compile(text), words);
  EXPECT_EQ(Compile("# nothing but a comment\n\n"), std::vector<int16_t>{});
}

// ------------------------------------------------------------ edits

TEST(ScriptText, MovingAnInstructionIntoABlockLengthensTheJump) {
  ExpectShippedLayout();
  const std::vector<int16_t> words = {5, 4, 0, 1, 10, 20, 0, 1, 11, 21, 0, -1};
  const std::string text = Text(words);
  // Move the dialogue after the label before it.
  const size_t label = text.find("\n:Label0\n") + 1;
  const size_t second = text.find("1 11 21 0");
  ASSERT_NE(label, std::string::npos);
  ASSERT_LT(label, second);
  const size_t secondEnd = text.find('\n', second) + 1;
  std::string edited = text;
  const std::string moved = text.substr(second, secondEnd - second);
  edited.erase(second, secondEnd - second);
  edited.insert(label, moved);
  const std::vector<int16_t> back = Compile(edited);
  EXPECT_EQ(back, (std::vector<int16_t>{5, 8, 0, 1, 10, 20, 0, 1, 11, 21, 0, -1})) << edited;

  // Turning it into a no-jump and adding a label of one's own name.
  EXPECT_EQ(Compile("5 0 :skip\n1 1 1 1\n:skip\n-1\n"), (std::vector<int16_t>{5, 0, 4, 1, 1, 1, 1, -1}));
  // A label right after its conditional jumps 0 words, as the editor's re-layout does.
  EXPECT_EQ(Compile("5 :x 0\n:x\n"), (std::vector<int16_t>{5, 0, 0}));
}

// ------------------------------------------------------------ errors

struct BrokenCase {
  const char* what;
  const char* text;
  const char* place;    // "e.kdef.txt:line:column:"
  const char* message;  // part of the message
};

TEST(ScriptText, BrokenTextIsReportedWithItsPlace) {
  ExpectShippedLayout();
  const BrokenCase cases[] = {
      {"too few words", "-1\n1 2 3\n", "e.kdef.txt:2:6:", "opcode 1 takes 4 words"},
      {"too many words", "1 2 3 4 5\n", "e.kdef.txt:1:9:", "this line has 5"},
      {"words after the end", "-1 0\n", "e.kdef.txt:1:4:", "no data words"},
      {"unknown label", "5 :Nowhere 0\n-1\n", "e.kdef.txt:1:3:", "unknown label :Nowhere"},
      {"duplicate label", ":A\n-1\n  :A\n", "e.kdef.txt:3:3:", "already defined on line 1"},
      {"backward jump", ":A\n5 :A 0\n", "e.kdef.txt:2:3:", "forward only"},
      {"label outside a jump word", "1 :A 0 0\n:A\n", "e.kdef.txt:1:3:", "has no jump words"},
      {"other jump word in use", "5 :A 3\n:A\n", "e.kdef.txt:1:6:", "expected 0"},
      {"number out of range", "raw 40000\n", "e.kdef.txt:1:5:", "out of range"},
      {"opcode out of range", "-40000\n", "e.kdef.txt:1:1:", "out of range"},
      {"broken number", "1 2x 3 4\n", "e.kdef.txt:1:3:", "found '2x'"},
      {"broken line", "# fine\nhello world\n", "e.kdef.txt:2:1:", "expected an opcode"},
      {"not an instruction", "300\n", "e.kdef.txt:1:1:", "write 'raw 300'"},
      {"bad label name", ":a-b\n", "e.kdef.txt:1:1:", "expected a label name"},
      {"empty raw", "raw   # nothing\n", "e.kdef.txt:1:4:", "after 'raw'"},
  };
  for (const BrokenCase& c : cases) {
    std::vector<TextDiagnostic> errors;
    Compile(c.text, &errors);
    ASSERT_FALSE(errors.empty()) << c.what;
    const std::string first = errors.front().ToString();
    EXPECT_TRUE(first.starts_with(c.place)) << c.what << ": " << first;
    EXPECT_NE(first.find(c.message), std::string::npos) << c.what << ": " << first;
  }
}

class ScriptFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const auto& [name, bytes] : SampleFiles()) dir_.Put(name, bytes);
    ReadSampleGame(state_, GameCharset::Gbk, dir_.path());
    folder_ = dir_ / "script";
    ASSERT_TRUE(ExportScriptFolder(state_, folder_));
  }
  void Edit(const std::string& name, const std::function<void(std::string&)>& change) {
    std::string text = ReadText(folder_ / name);
    change(text);
    std::ofstream(folder_ / name, std::ios::binary | std::ios::trunc) << text;
  }
  static std::string ReadText(const std::filesystem::path& p) {
    const Bytes b = ReadWholeFile(p).value();
    return std::string(b.begin(), b.end());
  }
  // import-script as a user runs it: exit code and everything it printed.
  std::pair<int, std::string> Tool(const std::string& arguments) {
    ToolRun run = RunTool(arguments + " 2>&1");
    return {run.exitCode, std::move(run.out)};
  }

  ScratchDir dir_;
  EditorState state_;
  std::filesystem::path folder_;
};

TEST_F(ScriptFolder, AnErrorInAnyFileChangesNothing) {
  Edit("0003.kdef.txt", [](std::string& t) { t += "1 2 3\n"; });
  const std::vector<KdefEvent> before = state_.game.events.events;
  Result<ScriptImport> imported = ImportScriptFolder(state_, folder_);
  ASSERT_FALSE(imported);
  const std::string expected = (folder_ / "0003.kdef.txt").string() + ":";
  EXPECT_NE(imported.error().find(expected), std::string::npos) << imported.error();
  EXPECT_EQ(state_.game.events.events.size(), before.size());
  for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(state_.game.events.events[i].words, before[i].words);
  EXPECT_FALSE(state_.modified);

  const auto [code, out] = Tool("import-script '" + dir_.path().string() + "' '" + folder_.string() + "'");
  EXPECT_NE(code, 0);
  EXPECT_NE(out.find(expected), std::string::npos) << out;
  EXPECT_NE(out.find("1 个错误，没有写入任何文件"), std::string::npos) << out;
  EXPECT_EQ(dir_.Get("kdef.grp"), SampleFiles().at("kdef.grp"));
  EXPECT_FALSE(dir_.Has("kdef.grp.bak"));
  EXPECT_FALSE(dir_.Has("kdef.idx.bak"));
}

// A dialogue's comment names its speaker as the instruction list does: by
// who wears the portrait, or by the portrait's number; never "???".
TEST_F(ScriptFolder, CommentsNameTheSpeakerAsTheListDoes) {
  int byNumber = 0, shared = 0;
  for (const auto& file : std::filesystem::directory_iterator(folder_)) {
    const std::string text = ReadText(file.path());
    EXPECT_EQ(text.find("[???]"), std::string::npos) << file.path();
    for (size_t at = text.find("# 1(1):["); at != std::string::npos; at = text.find("# 1(1):[", at + 1)) {
      const std::string speaker = text.substr(at + 8, text.find(']', at) - at - 8);
      byNumber += speaker.starts_with("头像");
      shared += speaker.find(" +") != std::string::npos;
    }
  }
  EXPECT_GT(byNumber, 0);
  EXPECT_GT(shared, 0);
}

TEST_F(ScriptFolder, TheHeaderGuardsTheEventCountAndTheTable) {
  // A missing event file, a file beyond the count, another attribute table.
  std::filesystem::remove(folder_ / "0007.kdef.txt");
  EXPECT_NE(ImportScriptFolder(state_, folder_).error().find("0007.kdef.txt is missing"), std::string::npos);
  ASSERT_TRUE(ExportScriptFolder(state_, folder_));
  std::filesystem::copy_file(folder_ / "0000.kdef.txt", folder_ / ScriptFileName(state_.eventCount()));
  EXPECT_NE(ImportScriptFolder(state_, folder_).error().find("raise the count"), std::string::npos);
  ASSERT_TRUE(ExportScriptFolder(state_, folder_));
  EXPECT_FALSE(std::filesystem::exists(folder_ / ScriptFileName(state_.eventCount()))) << "stale files go";
  Edit(kScriptHeaderName, [](std::string& t) {
    const size_t at = t.find("\nattr 5 3 ");
    ASSERT_NE(at, std::string::npos);
    t.replace(at, 10, "\nattr 5 4 ");
  });
  const Result<ScriptImport> imported = ImportScriptFolder(state_, folder_);
  ASSERT_FALSE(imported);
  EXPECT_NE(imported.error().find("would not mean the same"), std::string::npos) << imported.error();
  std::filesystem::remove(folder_ / kScriptHeaderName);
  EXPECT_NE(ImportScriptFolder(state_, folder_).error().find("missing"), std::string::npos);
}

TEST_F(ScriptFolder, AnEditReachesTheEventFilesThroughTheTool) {
  // A new event: raise the count and add its file.
  Edit(kScriptHeaderName, [&](std::string& t) {
    const std::string from = fmt::format("events {}\n", state_.eventCount());
    t.replace(t.find(from), from.size(), fmt::format("events {}\n", state_.eventCount() + 1));
  });
  std::ofstream(folder_ / ScriptFileName(state_.eventCount())) << "5 :end 0\n  1 3 4 0\n:end\n-1\n";
  const auto [code, out] = Tool("import-script '" + dir_.path().string() + "' '" + folder_.string() + "'");
  ASSERT_EQ(code, 0) << out;
  EXPECT_TRUE(dir_.Has("kdef.grp.bak"));
  EditorState again;
  ReadSampleGame(again, GameCharset::Gbk, dir_.path());
  ASSERT_EQ(again.eventCount(), state_.eventCount() + 1);
  EXPECT_EQ(again.game.events.events.back().words, (std::vector<int16_t>{5, 4, 0, 1, 3, 4, 0, -1}));
  for (int i = 0; i < state_.eventCount(); ++i)
    EXPECT_EQ(again.game.events.events[size_t(i)].words, state_.game.events.events[size_t(i)].words);
}

}  // namespace
}  // namespace tavrel::testing
