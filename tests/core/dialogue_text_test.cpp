// Dialogue as text: the sample's dialogue survives export and import byte
// for byte, escapes keep every text on its line, characters the charset
// cannot hold are reported with their place and nothing is written.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <fmt/format.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "app/dialogue_text.h"
#include "gamefiles/talk.h"
#include "sample_test_support.h"
#include "tool_run.h"

namespace tavrel::testing {
namespace {

struct SampleCase {
  int scale;
  GameCharset charset;
};

class DialogueSample : public ::testing::TestWithParam<SampleCase> {};

TEST_P(DialogueSample, ExportThenImportGivesTheSameDialogueFiles) {
  const SampleCase c = GetParam();
  ScratchDir dir;
  ASSERT_TRUE(sample::WriteSampleGame(dir.path(), SampleAt(c.scale)));
  EditorState state;
  ReadSampleGame(state, c.charset, dir.path());
  const Bytes idx = dir.Get("talk.idx"), grp = dir.Get("talk.grp");
  const std::string text = WriteDialogueText(state);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), state.talkCount() + 3);

  if (c.scale == 1) {
    const std::filesystem::path file = dir / "dialogue.txt";
    ASSERT_TRUE(ExportDialogueFile(state, file));
    Result<DialogueImport> imported = ImportDialogueFile(state, file);
    ASSERT_TRUE(imported) << imported.error();
    EXPECT_EQ(imported->entries, state.talkCount());
    EXPECT_EQ(imported->changed, 0);
    ASSERT_TRUE(SaveTalk(dir.path(), state.game.talk, state.text()));
    EXPECT_EQ(dir.Get("talk.idx"), idx);
    EXPECT_EQ(dir.Get("talk.grp"), grp);
    EXPECT_TRUE(dir.Has("talk.grp.bak"));
  } else {
    CompiledDialogue compiled = CompileDialogueText(text, "d.txt", state.game.talk, state.text(), false);
    ASSERT_TRUE(compiled.errors.empty()) << JoinDiagnostics(compiled.errors);
    EXPECT_EQ(compiled.changed, 0);
    ApplyDialogue(state, std::move(compiled));
    EXPECT_FALSE(state.modified);
    Bytes newIdx, newGrp;
    EncodeTalk(state.game.talk, state.text(), newIdx, newGrp);
    EXPECT_EQ(newIdx, idx);
    EXPECT_EQ(newGrp, grp);
  }
}

INSTANTIATE_TEST_SUITE_P(ScalesAndCharsets, DialogueSample,
                         ::testing::Values(SampleCase{1, GameCharset::Gbk}, SampleCase{1, GameCharset::Big5},
                                           SampleCase{10, GameCharset::Gbk}, SampleCase{10, GameCharset::Big5}),
                         [](const auto& tested) {
                           return fmt::format("Scale{}{}", tested.param.scale, CharsetName(tested.param.charset));
                         });

const TextCodec& GbkCodec() {
  static const TextCodec codec(GameCharset::Gbk, std::make_shared<CharsetTables>());
  return codec;
}

TEST(DialogueText, EscapesKeepEveryTextOnItsLine) {
  const std::vector<std::string> texts = {
      "",          " ",        "  两边  ",        "a\\b",          "line\nbreak\r\n",
      "tab\there", "\x01\x7F", "# not a comment", "\\n literally", "12345*67890"};
  TalkTable none;
  EditorState state;
  for (const std::string& t : texts) state.game.talk.entries.push_back(NewTalkEntry(t));
  state.codec = std::make_shared<TextCodec>(GameCharset::Big5, std::make_shared<CharsetTables>());
  const std::string written = WriteDialogueText(state);
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), long(texts.size()) + 3);
  EXPECT_NE(written.find("\n2 \\s\\s两边\\s\\s\n"), std::string::npos) << written;
  EXPECT_NE(written.find("\n3 a\\\\b\n"), std::string::npos) << written;
  EXPECT_NE(written.find("\n6 \\x01\\x7F\n"), std::string::npos) << written;
  EXPECT_NE(written.find("\n0\n"), std::string::npos) << written;
  CompiledDialogue back = CompileDialogueText(written, "d.txt", none, Big5Codec(), true);
  ASSERT_TRUE(back.errors.empty()) << JoinDiagnostics(back.errors);
  ASSERT_EQ(back.entries.size(), texts.size());
  for (size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(back.entries[i].text, texts[i]) << i;
  // Windows line ends and a stripped trailing space after an empty entry's number.
  back = CompileDialogueText("0 a\r\n1 \r\n2\r\n", "d.txt", none, Big5Codec(), false);
  ASSERT_EQ(back.entries.size(), 3u);
  EXPECT_EQ(back.entries[0].text, "a");
  EXPECT_EQ(back.entries[1].text, "");
}

TEST(DialogueText, BrokenLinesAreReportedWithTheirPlace) {
  const TalkTable none;
  const struct {
    const char* text;
    const char* place;
    const char* message;
  } cases[] = {
      {"0 a\n2 b\n", "d.txt:2:1:", "expected the entry number 1, found 2"},
      {"0 a\nb\n", "d.txt:2:1:", "expected the entry number 1"},
      {"0 a\n1 bad \\q escape\n", "d.txt:2:7:", "unknown escape '\\q'"},
      {"0 end\\\n", "d.txt:1:6:", "expected an escape"},
      {"0 \\x4\n", "d.txt:1:3:", "hexadecimal"},
      {"0x text\n", "d.txt:1:2:", "expected a space"},
      {"0 \xFF\xFE\n", "d.txt:1:3:", "UTF-8"},
  };
  for (const auto& c : cases) {
    const CompiledDialogue compiled = CompileDialogueText(c.text, "d.txt", none, Big5Codec(), false);
    ASSERT_FALSE(compiled.errors.empty()) << c.text;
    const std::string first = compiled.errors.front().ToString();
    EXPECT_TRUE(first.starts_with(c.place)) << first;
    EXPECT_NE(first.find(c.message), std::string::npos) << first;
    EXPECT_TRUE(compiled.entries.empty());
  }
}

TEST(DialogueText, CharactersTheCharsetLacksAreErrorsUnlessLossy) {
  const TalkTable none;
  const std::string text = "0 fine\n1 ok😀 and 这\n";
  CompiledDialogue strict = CompileDialogueText(text, "d.txt", none, Big5Codec(), false);
  ASSERT_EQ(strict.errors.size(), 2u) << JoinDiagnostics(strict.errors);
  EXPECT_EQ(strict.errors[0].ToString(), "d.txt:2:5: 字符“😀”（U+1F600）无法存入游戏文本（BIG5），会变成“?”");
  EXPECT_TRUE(strict.errors[1].ToString().starts_with("d.txt:2:11: 字符“这”")) << strict.errors[1].ToString();
  EXPECT_TRUE(strict.entries.empty());
  EXPECT_EQ(strict.unholdable, 2) << "both errors are characters an import with allowLossy would store";
  const std::string broken = "0 fine\n1 ok😀\n3 gap\n";
  EXPECT_EQ(CompileDialogueText(broken, "d.txt", none, Big5Codec(), false).unholdable, 1);
  EXPECT_EQ(CompileDialogueText(broken, "d.txt", none, Big5Codec(), false).errors.size(), 2u);

  CompiledDialogue lossy = CompileDialogueText(text, "d.txt", none, Big5Codec(), true);
  EXPECT_TRUE(lossy.errors.empty());
  EXPECT_EQ(lossy.lossy.size(), 2u);
  ASSERT_EQ(lossy.entries.size(), 2u);
  const Bytes stored = Big5Codec().EncodeGameText(lossy.entries[1].text.str());
  EXPECT_EQ(std::string(stored.begin(), stored.begin() + 3), "ok?");

  // In a GBK run the emoji has no GBK character at all.
  EXPECT_FALSE(CompileDialogueText("0 😀\n", "d.txt", none, GbkCodec(), false).errors.empty());
}

// An entry changed by an import in a "GBK" run: the characters the import
// did not change keep the game's bytes (here the game's own 頭發, which the
// phrase would write 頭髮); what it added takes its phrase's form.
TEST(DialogueText, AnImportedChangeKeepsTheGameBytesAroundIt) {
  SampleGameDir dir;
  {
    const TextCodec big5(GameCharset::Big5, std::make_shared<CharsetTables>());
    TalkTable game;
    game.entries.push_back(NewTalkEntry("他的頭發白了"));
    game.entries.push_back(NewTalkEntry("後會有期"));
    Bytes idx, grp;
    EncodeTalk(game, big5, idx, grp);
    dir.Put("talk.idx", idx);
    dir.Put("talk.grp", grp);
  }
  EditorState state;
  ReadSampleGame(state, GameCharset::Gbk, dir.path());
  ASSERT_EQ(state.talkCount(), 2);
  ASSERT_EQ(state.game.talk.entries[0].text, "他的头发白了");
  CompiledDialogue compiled = CompileDialogueText("0 他的头发白了，我才发现\n1 后会有期\n2 头发\n", "d.txt",
                                                  state.game.talk, state.text(), false);
  ASSERT_TRUE(compiled.errors.empty()) << JoinDiagnostics(compiled.errors);
  EXPECT_EQ(compiled.changed, 2);
  ApplyDialogue(state, std::move(compiled));
  ASSERT_TRUE(SaveTalk(dir.path(), state.game.talk, state.text()));

  EditorState saved;
  ReadSampleGame(saved, GameCharset::Big5, dir.path());
  ASSERT_EQ(saved.talkCount(), 3);
  EXPECT_EQ(saved.game.talk.entries[0].text, "他的頭發白了，我才發現");
  EXPECT_EQ(saved.game.talk.entries[1].text, "後會有期");
  EXPECT_EQ(saved.game.talk.entries[2].text, "頭髮");
}

std::pair<int, std::string> Tool(const std::string& arguments) {
  ToolRun run = RunTool(arguments + " 2>&1");
  return {run.exitCode, std::move(run.out)};
}

TEST(DialogueText, TheToolWritesOnlyWhatTheCharsetHolds) {
  SampleGameDir dir;
  const std::string game = "'" + dir.path().string() + "'";
  const std::string file = (dir / "dialogue.txt").string();
  for (const char* charset : {"GBK", "BIG5"}) {
    const auto [code, out] =
        Tool(std::string("--charset ") + charset + " export-dialogue " + game + " -o '" + file + "'");
    ASSERT_EQ(code, 0) << out;
    const Bytes b = ReadWholeFile(file).value();
    std::string text(b.begin(), b.end());
    const size_t line = text.find("\n3 ");
    ASSERT_NE(line, std::string::npos);
    text.insert(line + 3, "😀");
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;

    const auto [refused, message] =
        Tool(std::string("--charset ") + charset + " import-dialogue " + game + " '" + file + "'");
    EXPECT_NE(refused, 0);
    EXPECT_NE(message.find(file + ":7:3: 字符“😀”"), std::string::npos) << message;
    EXPECT_EQ(dir.Get("talk.grp"), SampleFiles().at("talk.grp"));
    EXPECT_FALSE(dir.Has("talk.grp.bak"));
  }
  const auto [code, out] = Tool("import-dialogue " + game + " '" + file + "' --lossy");
  ASSERT_EQ(code, 0) << out;
  EXPECT_NE(out.find("警告："), std::string::npos) << out;
  EXPECT_TRUE(dir.Has("talk.grp.bak"));
  EditorState state;
  ReadSampleGame(state, GameCharset::Big5, dir.path());
  EXPECT_TRUE(state.game.talk.entries[3].text.str().starts_with("?")) << state.game.talk.entries[3].text.str();
  EXPECT_EQ(state.talkCount(), 160);
}

}  // namespace
}  // namespace tavrel::testing
