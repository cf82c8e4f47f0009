// The tool speaks one language a run: every message of an English run is
// English and of a Chinese run Chinese, a wrong command line's included;
// game text stays as the game holds it. Counts agree with their nouns.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "sample_test_support.h"
#include "text/codepage.h"
#include "tool_run.h"

namespace tavrel::testing {
namespace {

std::string Quoted(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

// Runs the tool with stderr joined to stdout.
ToolRun Speak(const std::string& language, const std::string& arguments) {
  return RunTool("--language " + language + " " + arguments + " 2>&1");
}

// The Chinese characters and full-width punctuation of `text`.
std::string ChineseIn(std::string_view text) {
  std::string found;
  for (size_t pos = 0; pos < text.size();) {
    const size_t start = pos;
    const char32_t cp = NextCodePoint(text, pos);
    if ((cp >= 0x2E80 && cp <= 0x9FFF) || (cp >= 0xFF00 && cp <= 0xFFEF) || (cp >= 0x3000 && cp <= 0x303F))
      found += text.substr(start, pos - start);
  }
  return found;
}

// The English words of `text`: runs of Latin letters that are not part of a
// file name, a path, an option, a place tag or a value typed (anything
// joined to '.', '/', '-', '_', ':' or a digit), and not one of the names
// the game's files and the tool's command line use in either language.
std::vector<std::string> EnglishWordsIn(const std::string& text) {
  static const std::set<std::string> kNames = {"tavrel", "wdx", "wmp", "sdx",    "smp",   "GBK",  "BIG5",  "X",   "Y",
                                               "E",      "DIR", "N",   "BATTLE", "check", "lint", "event", "find"};
  static const std::regex kToken("[A-Za-z0-9_./:\\-]+");
  static const std::regex kWord("[A-Za-z]+");
  std::vector<std::string> words;
  for (auto t = std::sregex_iterator(text.begin(), text.end(), kToken); t != std::sregex_iterator(); ++t) {
    const std::string token = t->str();
    if (token.find_first_of("./:-_0123456789") != std::string::npos) continue;
    for (auto w = std::sregex_iterator(token.begin(), token.end(), kWord); w != std::sregex_iterator(); ++w)
      if (!kNames.count(w->str())) words.push_back(w->str());
  }
  return words;
}

class CliLanguage : public ::testing::Test {
 protected:
  void SetUp() override {
    // A battle out of range, so that check and lint report one.
    Bytes sta = dir_.Get("war.sta");
    sta[186 + 12] = 0x0F;  // battle 1's map: 9999
    sta[186 + 13] = 0x27;
    dir_.Put("war.sta", sta);
    damaged_.Put("wdx", Bytes(4000, 0xA7));
    damaged_.Put("wmp", Bytes(30000, 0x5C));
  }

  // Every command a modder runs without game text in its own lines, with
  // failures of each kind; what they print is the tool's own.
  std::vector<std::string> Commands() const {
    const std::string game = Quoted(dir_.path());
    const std::string png = Quoted(dir_.path() / "view.png");
    return {
        "check " + game,
        "lint --no-info " + game,
        "render-battle " + game + " 2 -o " + png,
        "render-battle " + Quoted(damaged_.path()) + " 0 -o " + png,
        "render-battle " + game + " 99 -o " + png,
        "event " + game + " 99999",
        "scenes " + game + " --scene 999",
        "find " + game + " --person 9999",
        "find " + game,
        "export-script " + game + " -o " + Quoted(dir_.path() / "script"),
        "export-dialogue " + game + " -o " + Quoted(dir_.path() / "dialogue.txt"),
        "make-sample " + Quoted(dir_.path() / "made"),
        "check " + Quoted(dir_.path() / "nowhere"),
        // A wrong command line of each kind.
        "",
        "check",
        "check " + game + " x1 y2",
        "--charset UTF8 check " + game,
        "event " + game + " x9",
        "render-battle " + game + " 1 -o",
        "make-sample " + Quoted(dir_.path() / "big") + " --scale 1000",
        "frob1 " + game,
    };
  }

  SampleGameDir dir_;
  SampleGameDir damaged_;
};

TEST_F(CliLanguage, AnEnglishRunPrintsNoChinese) {
  for (const std::string& command : Commands()) {
    const ToolRun run = Speak("en", command);
    EXPECT_FALSE(run.out.empty()) << command;
    EXPECT_EQ(ChineseIn(run.out), "") << command << "\n" << run.out;
  }
}

TEST_F(CliLanguage, AChineseRunPrintsNoEnglishWords) {
  for (const std::string& command : Commands()) {
    const ToolRun run = Speak("zh", command);
    EXPECT_FALSE(run.out.empty()) << command;
    EXPECT_EQ(EnglishWordsIn(run.out), std::vector<std::string>()) << command << "\n" << run.out;
    EXPECT_NE(ChineseIn(run.out), "") << command << "\n" << run.out;
  }
}

// Without --language the run is Chinese, as the editor's first start is.
TEST_F(CliLanguage, TheDefaultIsChinese) {
  const ToolRun run = RunTool("check " + Quoted(dir_.path()) + " 2>&1");
  EXPECT_NE(run.out.find("事件：300\n"), std::string::npos) << run.out;
  EXPECT_EQ(EnglishWordsIn(run.out), std::vector<std::string>()) << run.out;
}

// A wrong command line says what is wrong in the run's language, naming
// what the user typed.
TEST_F(CliLanguage, AWrongCommandLineIsToldInTheRunsLanguage) {
  const std::string game = Quoted(dir_.path());
  struct Case {
    std::string arguments;
    std::string english;
    std::string chinese;
  };
  for (const Case& c : std::vector<Case>{
           {"check", "DIR is required", "缺少 DIR"},
           {"", "a command is required", "需要一个命令"},
           {"check " + game + " x1", "1 unexpected argument: x1", "1 个多余的参数：x1"},
           {"check " + game + " x1 y2", "2 unexpected arguments: ", "2 个多余的参数："},
           {"--charset UTF8 check " + game, "--charset cannot be UTF8; it takes one of GBK,BIG5",
            "--charset 不能是 UTF8，只能是 GBK,BIG5"},
           {"event " + game + " x9", "N: x9 is not a whole number", "N 的值 x9 不是整数"},
           {"make-sample x --scale 1000", "--scale is 1000, not from 1 to 100", "--scale 是 1000，不在 1 到 100 之间"},
       }) {
    const ToolRun english = Speak("en", c.arguments);
    EXPECT_NE(english.exitCode, 0) << c.arguments;
    EXPECT_NE(english.out.find(c.english), std::string::npos) << c.arguments << "\n" << english.out;
    EXPECT_NE(english.out.find("Run with --help for more information."), std::string::npos) << english.out;
    const ToolRun chinese = Speak("zh", c.arguments);
    EXPECT_NE(chinese.out.find(c.chinese), std::string::npos) << c.arguments << "\n" << chinese.out;
    EXPECT_NE(chinese.out.find("用 --help 查看用法。"), std::string::npos) << chinese.out;
  }
  // --language=en is read the same way.
  EXPECT_NE(RunTool("--language=en check 2>&1").out.find("DIR is required"), std::string::npos);
}

// A count takes the form its number asks for: "1 result" but "0 results",
// "2 errors"; the battle out of range adds one error to the plain sample's.
TEST_F(CliLanguage, CountsAgreeWithTheirNouns) {
  ScratchDir plain;
  for (const auto& [name, bytes] : SampleFiles()) plain.Put(name, bytes);
  const ToolRun before = Speak("en", "lint --no-info " + Quoted(plain.path()));
  EXPECT_EQ(before.exitCode, 1);
  std::smatch summary;
  ASSERT_TRUE(std::regex_search(before.out, summary, std::regex("\n([0-9]+) errors, [0-9]+ warnings\n"))) << before.out;
  const int errors = std::stoi(summary[1]);
  EXPECT_GE(errors, 2);
  const ToolRun after = Speak("en", "lint --no-info " + Quoted(dir_.path()));
  EXPECT_TRUE(
      std::regex_search(after.out, std::regex("\n" + std::to_string(errors + 1) + " errors, [0-9]+ warnings\n")))
      << after.out;
  const ToolRun chinese = Speak("zh", "lint --no-info " + Quoted(dir_.path()));
  EXPECT_TRUE(std::regex_search(chinese.out, std::regex("\n" + std::to_string(errors + 1) + "个错误，[0-9]+个警告\n")))
      << chinese.out;
  const ToolRun one = Speak("en", "find " + Quoted(dir_.path()) + " --event 110");
  EXPECT_NE(one.out.find("\n1 result\n"), std::string::npos) << one.out;
  EXPECT_EQ(one.out.find("1 results"), std::string::npos) << one.out;

  EXPECT_EQ(Speak("en", "find " + Quoted(dir_.path()) + " --person 9999").out, "0 results\n");
  EXPECT_NE(Speak("en", "render-battle " + Quoted(dir_.path()) + " 99 -o x.png").out.find("war.sta holds 12 battles."),
            std::string::npos);
}

}  // namespace
}  // namespace tavrel::testing
