// The two text exports: exact bytes of both formats, fresh decoding of every
// event, and replacing the file on every run.
#include <gtest/gtest.h>

#include "app/exports.h"
#include "gamefiles_test_support.h"

namespace tavrel::testing {
namespace {

std::string Text(const Bytes& b) { return std::string(b.begin(), b.end()); }

class Exports : public ::testing::Test {
 protected:
  void SetUp() override { UseCharset(GameCharset::Gbk); }
  void UseCharset(GameCharset charset) {
    state.charset = charset;
    state.codec = std::make_shared<TextCodec>(charset, std::make_shared<CharsetTables>());
    auto attributes = LoadAttributeTable(TAVREL_BIN_DIR, *state.codec);
    ASSERT_TRUE(attributes) << attributes.error();
    state.attributes = *attributes;
  }
  void AddTalk(const std::string& text) { state.game.talk.entries.push_back(NewTalkEntry(text)); }
  KdefEvent& AddEvent(std::vector<int16_t> words) {
    KdefEvent event;
    event.words = std::move(words);
    state.game.events.events.push_back(std::move(event));
    return state.game.events.events.back();
  }
  // The expected text in the charset's code page.
  std::string CodePage(const std::string& utf8) const { return state.text().ToCodePage(utf8); }

  EditorState state;
};

TEST(ExportNumbers, PrintedForm) {
  EXPECT_EQ(PrintedNumber(26), " 26 ");
  EXPECT_EQ(PrintedNumber(0), " 0 ");
  EXPECT_EQ(PrintedNumber(-1), "-1 ");
  EXPECT_EQ(PrintedNumber(-32768), "-32768 ");
}

TEST_F(Exports, TalkLineIsNumberHexSpaceText) {
  for (int i = 0; i < 26; ++i) AddTalk("");
  AddTalk("T");
  const std::string text = Text(ExportTalkText(state));
  const std::string last = " 26 1A T\r\n";
  ASSERT_GE(text.size(), last.size());
  EXPECT_EQ(text.substr(text.size() - last.size()), last);
  EXPECT_EQ(text.substr(0, 7), " 0 0 \r\n");
}

TEST_F(Exports, TalkWithoutDialogueIsEmpty) { EXPECT_TRUE(ExportTalkText(state).empty()); }

TEST_F(Exports, TalkKeepsAsterisksAndWritesTheCodePage) {
  AddTalk("你好*再见");
  // GBK bytes of the text, the asterisk untouched.
  EXPECT_EQ(ExportTalkText(state),
            (Bytes{' ', '0', ' ', '0', ' ', 0xC4, 0xE3, 0xBA, 0xC3, '*', 0xD4, 0xD9, 0xBC, 0xFB, '\r', '\n'}));
}

TEST_F(Exports, KdefHeaderInGbk) {
  for (int i = 0; i < 27; ++i) AddEvent({});
  const std::string text = Text(ExportKdefText(state));
  // 事件 in GBK.
  const std::string header =
      "\r\n\xCA\xC2\xBC\xFE"
      "26(1A)\r\n\r\n\r\n";
  ASSERT_GE(text.size(), header.size());
  EXPECT_EQ(text.substr(text.size() - header.size()), header);
}

TEST_F(Exports, KdefHeaderInBig5) {
  UseCharset(GameCharset::Big5);
  AddEvent({});
  EXPECT_EQ(Text(ExportKdefText(state)),
            "\r\n\xA8\xC6\xA5\xF3"
            "0(0)\r\n\r\n\r\n");
}

TEST_F(Exports, EventWithoutInstructionsIsEmptyHeaderEmptyEmpty) {
  AddEvent({});
  AddEvent({});
  EXPECT_EQ(Text(ExportKdefText(state)), CodePage("\r\n事件0(0)\r\n\r\n\r\n\r\n事件1(1)\r\n\r\n\r\n"));
}

TEST_F(Exports, KdefStatementsLabelsAndWords) {
  // A yes-jump over one empty statement, then the end.
  AddEvent({5, 1, 0, 0, -1});
  const std::string expected =
      "\r\n事件0(0)\r\n\r\n"
      " 5  1  0 说明： 5(5):是否选择战斗？是则跳转到:Label0\r\n\r\n"
      " 0 说明： 0(0)::空语句(清屏)\r\n\r\n"
      "说明： :Label0\r\n\r\n"
      "-1 说明： -1(FFFF):事件结束\r\n\r\n"
      "\r\n";
  EXPECT_EQ(Text(ExportKdefText(state)), CodePage(expected));
}

TEST_F(Exports, KdefNegativeWordsTakeTheSpaceOfTheSign) {
  AddTalk("T");
  KdefEvent& event = AddEvent({1, 0, -1, 2});
  const std::string text = Text(ExportKdefText(state));
  ASSERT_EQ(event.statements.size(), 1u);
  EXPECT_EQ(text, CodePage("\r\n事件0(0)\r\n\r\n 1  0 -1  2 说明： 1(1):[???]说: T\r\n\r\n\r\n"));
}

// Other tools read kdefout.txt: a dialogue's speaker keeps the file's naming
// (the person of the portrait's number, "???" from 75 on), while the event's
// lines name the portrait's wearers as every view shows them.
TEST_F(Exports, KdefKeepsItsSpeakerNamingWhileTheEventNamesTheWearers) {
  AddTalk("T");
  for (int i = 0; i < 80; ++i) state.game.names.persons.emplace_back().name = "P" + std::to_string(i);
  state.game.portraitUsers.resize(100);
  state.game.portraitUsers[3] = {5};
  state.game.portraitUsers[90] = {7, 8};
  KdefEvent& event = AddEvent({1, 0, 3, 0, 1, 0, 90, 0, 1, 0, 95, 0, -1});
  const std::string expected =
      "\r\n事件0(0)\r\n\r\n"
      " 1  0  3  0 说明： 1(1):[P3]说: T\r\n\r\n"
      " 1  0  90  0 说明： 1(1):[???]说: T\r\n\r\n"
      " 1  0  95  0 说明： 1(1):[???]说: T\r\n\r\n"
      "-1 说明： -1(FFFF):事件结束\r\n\r\n"
      "\r\n";
  EXPECT_EQ(Text(ExportKdefText(state)), CodePage(expected));
  ASSERT_EQ(event.statements.size(), 4u);
  EXPECT_EQ(event.statements[0].note, "1(1):[P5]说: T");
  EXPECT_EQ(event.statements[1].note, "1(1):[P7 +1]说: T");
  EXPECT_EQ(event.statements[2].note, "1(1):[头像95]说: T");
}

TEST_F(Exports, KdefDecodesEveryEventAfreshFromLabelZero) {
  KdefEvent& event = AddEvent({5, 0, 1, 0, -1});
  event.labelCounter = 7;
  event.statements.resize(9);  // a stale list from an earlier showing
  const Bytes first = ExportKdefText(state);
  EXPECT_NE(Text(first).find(":Label0"), std::string::npos);
  EXPECT_EQ(Text(first).find(":Label7"), std::string::npos);
  EXPECT_EQ(event.labelCounter, 1);
  EXPECT_EQ(event.statements.size(), 4u);
  EXPECT_EQ(ExportKdefText(state), first) << "a second export numbers the labels from 0 again";
}

TEST_F(Exports, KdefCountsUnknownWordsPerEvent) {
  AddEvent({0, -1});
  AddEvent({99, 0, -1});
  KdefExportReport report;
  ExportKdefText(state, &report);
  EXPECT_EQ(report.unknownWords, (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(report.totalUnknownWords, 1);
}

// Enough events for the streamed export to come in several pieces.
class StreamedExport : public Exports {
 protected:
  void SetUp() override {
    Exports::SetUp();
    for (int i = 0; i < 4000; ++i) {
      KdefEvent& event = AddEvent({5, 1, 0, 0, -1});
      event.labelCounter = 7;
    }
  }
  std::vector<Bytes> pieces;
  ByteSink Collect(size_t failAt = SIZE_MAX) {
    return [this, failAt](std::span<const uint8_t> piece) -> Status {
      pieces.emplace_back(piece.begin(), piece.end());
      if (pieces.size() == failAt) return Error{"disk full"};
      return Ok();
    };
  }
};

TEST_F(StreamedExport, PiecesMakeTheSameTextAsTheWholeExport) {
  const Bytes whole = ExportKdefText(state);
  KdefExportReport report;
  ASSERT_TRUE(ExportKdefText(state, Collect(), &report));
  ASSERT_GT(pieces.size(), 1u);
  Bytes joined;
  for (const Bytes& piece : pieces) {
    EXPECT_FALSE(piece.empty());
    joined.insert(joined.end(), piece.begin(), piece.end());
  }
  EXPECT_EQ(joined, whole);
  EXPECT_EQ(report.unknownWords.size(), 4000u);
}

TEST_F(StreamedExport, AFailingSinkStopsTheTextButEveryEventIsStillDecoded) {
  Status exported = ExportKdefText(state, Collect(1));
  ASSERT_FALSE(exported);
  EXPECT_EQ(exported.error(), "disk full");
  EXPECT_EQ(pieces.size(), 1u) << "nothing is handed on after the sink failed";
  for (const KdefEvent& event : state.game.events.events) {
    ASSERT_EQ(event.statements.size(), 4u);
    ASSERT_EQ(event.labelCounter, 1) << "decoded afresh from label 0";
  }
}

// The program's directory takes the temporary but refuses the rename: the
// export is produced again, whole, for the user's directory.
TEST(WriteExport, AProducedExportRunsAgainForTheUserDirectory) {
  ScratchDir dir;
  const auto program = dir.path() / "program";
  std::filesystem::create_directories(program);
  FaultHookGuard guard;
  SetWriteFaultHook([&](const std::string& step, const std::filesystem::path& path) {
    return !(step == "rename" && path.parent_path() == program);
  });
  int runs = 0;
  const ByteProducer produce = [&runs](const ByteSink& sink) -> Status {
    ++runs;
    if (Status s = sink(Bytes{'o'}); !s) return s;
    return sink(Bytes{'k'});
  };
  auto written = WriteProgramExport(program, "kdefout.txt", produce, dir / "user");
  ASSERT_TRUE(written) << written.error();
  EXPECT_EQ(written->path, dir / "user" / "kdefout.txt");
  EXPECT_EQ(written->unwritable, program);
  EXPECT_EQ(runs, 2);
  EXPECT_EQ(dir.Get("user/kdefout.txt"), (Bytes{'o', 'k'}));
  EXPECT_FALSE(std::filesystem::exists(program / "kdefout.txt"));
  EXPECT_FALSE(std::filesystem::exists(program / "kdefout.txt.tmp"));
}

TEST(WriteExport, ReplacesTheFileOnEveryRun) {
  ScratchDir dir;
  auto first = WriteExport(dir.path(), "talk.txt", Bytes{'l', 'o', 'n', 'g', 'e', 'r'});
  ASSERT_TRUE(first) << first.error();
  EXPECT_EQ(*first, dir / "talk.txt");
  ASSERT_TRUE(WriteExport(dir.path(), "talk.txt", Bytes{'a', 'b'}));
  EXPECT_EQ(dir.Get("talk.txt"), (Bytes{'a', 'b'}));
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 1u) << "no backup or temporary file is left";
}

TEST(WriteExport, NamesTheDirectoryItCannotWrite) {
  ScratchDir dir;
  const auto missing = dir.path() / "no such directory";
  auto written = WriteExport(missing, "kdefout.txt", Bytes{'x'});
  ASSERT_FALSE(written);
  EXPECT_NE(written.error().find(missing.string()), std::string::npos) << written.error();
}

}  // namespace
}  // namespace tavrel::testing
