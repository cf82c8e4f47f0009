#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "gamefiles/talk.h"
#include "gamefiles_test_support.h"

namespace tavrel {
namespace {

using testing::Big5Codec;
using testing::FaultHookGuard;
using testing::IndexBytes;
using testing::ScratchDir;

// 12 characters and their BIG5 bytes.
const std::string kTwelve = "一中文人大一中文人大一中";
const Bytes kTwelveBig5 = {0xA4, 0x40, 0xA4, 0xA4, 0xA4, 0xE5, 0xA4, 0x48, 0xA4, 0x6A, 0xA4, 0x40,
                           0xA4, 0xA4, 0xA4, 0xE5, 0xA4, 0x48, 0xA4, 0x6A, 0xA4, 0x40, 0xA4, 0xA4};

// An entry as the game stores it: every byte complemented, then 0x00.
Bytes Stored(const Bytes& gameBytes) {
  Bytes out;
  for (uint8_t b : gameBytes) out.push_back(b ^ 0xFF);
  out.push_back(0x00);
  return out;
}

// Lays the entries back to back into talk.idx/talk.grp.
void PutTalk(const ScratchDir& dir, const std::vector<Bytes>& stored) {
  Bytes grp;
  std::vector<int32_t> ends;
  for (const Bytes& e : stored) {
    grp.insert(grp.end(), e.begin(), e.end());
    ends.push_back(int32_t(grp.size()));
  }
  dir.Put("talk.idx", IndexBytes(ends));
  dir.Put("talk.grp", grp);
}

TEST(GamefilesTalk, ReadsTextsUndoingTheComplement) {
  ScratchDir dir;
  Bytes ascii = {'H', 'i', '!'};
  PutTalk(dir, {Stored(kTwelveBig5), Stored({}), Stored(ascii), {}});
  Result<TalkTable> talk = LoadTalk(dir.path(), Big5Codec());
  ASSERT_TRUE(talk) << talk.error();
  ASSERT_EQ(talk->entries.size(), 4u);
  EXPECT_EQ(talk->entries[0].text, kTwelve);
  EXPECT_EQ(Bytes(talk->entries[0].readBytes().begin(), talk->entries[0].readBytes().end()), kTwelveBig5);
  EXPECT_TRUE(talk->entries[0].fromFile);
  EXPECT_EQ(talk->entries[1].text, "");  // terminator only
  EXPECT_EQ(talk->entries[2].text, "Hi!");
  EXPECT_EQ(talk->entries[3].text, "");  // two equal offsets
  EXPECT_EQ(talk->offsets, (std::vector<int32_t>{0, 25, 26, 30, 30}));
}

TEST(GamefilesTalk, AStoredFfEndsTheTextButItsBytesAreKept) {
  ScratchDir dir;
  // 'A', then 0x00 in game bytes (stored as 0xFF), then 'B'.
  PutTalk(dir, {Stored({'A', 0x00, 'B'})});
  Result<TalkTable> talk = LoadTalk(dir.path(), Big5Codec());
  ASSERT_TRUE(talk) << talk.error();
  EXPECT_EQ(talk->entries[0].text, "A");
  const Bytes before = dir.Get("talk.grp");
  ASSERT_TRUE(SaveTalk(dir.path(), *talk, Big5Codec()));
  EXPECT_EQ(dir.Get("talk.grp"), before);
}

TEST(GamefilesTalk, EncodesTwoLinesOfTwelveAsFortyNineBytesAndATerminator) {
  TalkTable talk;
  talk.entries = {NewTalkEntry("A"), NewTalkEntry(kTwelve + "*" + kTwelve), NewTalkEntry("")};
  Bytes idx, grp;
  EncodeTalk(talk, Big5Codec(), idx, grp);
  EXPECT_EQ(talk.offsets, (std::vector<int32_t>{0, 2, 52, 53}));
  EXPECT_EQ(idx, IndexBytes({2, 52, 53}));
  Bytes game = kTwelveBig5;
  game.push_back('*');
  game.insert(game.end(), kTwelveBig5.begin(), kTwelveBig5.end());
  Bytes expected = Stored({'A'});
  for (const Bytes& e : {Stored(game), Stored({})}) expected.insert(expected.end(), e.begin(), e.end());
  EXPECT_EQ(grp, expected);
  EXPECT_EQ(grp.back(), 0x00);  // the empty text is the terminator alone
}

TEST(GamefilesTalk, SavingRightAfterReadingRewritesBothFilesByteForByte) {
  ScratchDir dir;
  PutTalk(dir, {Stored(kTwelveBig5), Stored({}), Stored({'o', 'k'}), Stored(kTwelveBig5)});
  const Bytes idx = dir.Get("talk.idx"), grp = dir.Get("talk.grp");
  Result<TalkTable> talk = LoadTalk(dir.path(), Big5Codec());
  ASSERT_TRUE(talk) << talk.error();
  ASSERT_TRUE(SaveTalk(dir.path(), *talk, Big5Codec()));
  EXPECT_EQ(dir.Get("talk.idx"), idx);
  EXPECT_EQ(dir.Get("talk.grp"), grp);
  EXPECT_EQ(dir.Get("talk.grp.bak"), grp);
}

TEST(GamefilesTalk, AnEntryKeepsItsReadBytesWhenItOutlivesItsTable) {
  // Entries share the bytes of the file they were read from: one moved into
  // another table, after the first is gone and the file rewritten, still
  // saves what was read.
  const Bytes odd = {'x', 0xA4, 0x20, 'y', 0x81, 0x7F, 0xA4};
  ScratchDir dir;
  PutTalk(dir, {Stored(kTwelveBig5), Stored(odd)});
  TalkTable other;
  {
    Result<TalkTable> talk = LoadTalk(dir.path(), Big5Codec());
    ASSERT_TRUE(talk) << talk.error();
    other.entries.push_back(talk->entries[1]);
    other.entries.push_back(std::move(talk->entries[0]));
  }
  PutTalk(dir, {Stored({'z'})});
  ASSERT_TRUE(SaveTalk(dir.path(), other, Big5Codec()));
  Bytes expected = Stored(odd);
  const Bytes twelve = Stored(kTwelveBig5);
  expected.insert(expected.end(), twelve.begin(), twelve.end());
  EXPECT_EQ(dir.Get("talk.grp"), expected);
  EXPECT_EQ(other.entries[1].text, kTwelve);
}

TEST(GamefilesTalk, TextsAreDecodedLaterWithTheCodecTheyWereReadWith) {
  // Texts are decoded when first asked for: the codec the table was read
  // with may be gone by then, and copies taken before that decode on their own.
  ScratchDir dir;
  PutTalk(dir, {Stored(kTwelveBig5), Stored({'o', 'k'})});
  auto codec = std::make_unique<TextCodec>(GameCharset::Big5, std::make_shared<CharsetTables>());
  Result<TalkTable> talk = LoadTalk(dir.path(), *codec);
  ASSERT_TRUE(talk) << talk.error();
  codec.reset();
  TalkEntry copy = talk->entries[0];
  copy.text = "changed";
  EXPECT_EQ(talk->entries[0].text, kTwelve);
  EXPECT_EQ(talk->entries[1].text.size(), 2u);
  EXPECT_EQ(copy.text, "changed");
  EXPECT_TRUE(copy.text.assigned());
  EXPECT_FALSE(talk->entries[0].text.assigned());
  EXPECT_EQ(Bytes(copy.readBytes().begin(), copy.readBytes().end()), kTwelveBig5);
}

TEST(GamefilesTalk, UntouchedDialogueKeepsBytesTheCodecWouldNotGiveBack) {
  // A BIG5 lead byte with a trail no BIG5 character has, and a lone lead byte
  // at the end: decoding and encoding again does not return them.
  const Bytes odd = {'x', 0xA4, 0x20, 'y', 0x81, 0x7F, 0xA4};
  const Bytes changedFrom = kTwelveBig5;
  ASSERT_NE(Big5Codec().EncodeGameText(Big5Codec().DecodeGameText(odd)), odd);
  ScratchDir dir;
  PutTalk(dir, {Stored(odd), Stored(changedFrom)});
  Result<TalkTable> talk = LoadTalk(dir.path(), Big5Codec());
  ASSERT_TRUE(talk) << talk.error();
  talk->entries[1].text = "new";
  talk->entries.push_back(NewTalkEntry("added"));
  ASSERT_TRUE(SaveTalk(dir.path(), *talk, Big5Codec()));

  Bytes expected;
  for (const Bytes& e : {Stored(odd), Stored({'n', 'e', 'w'}), Stored({'a', 'd', 'd', 'e', 'd'})})
    expected.insert(expected.end(), e.begin(), e.end());
  EXPECT_EQ(dir.Get("talk.grp"), expected);
  EXPECT_EQ(dir.Get("talk.idx"), IndexBytes({8, 12, 18}));
  EXPECT_EQ(talk->offsets, (std::vector<int32_t>{0, 8, 12, 18}));

  // Changing a text back to what was read restores the read bytes too.
  Result<TalkTable> again = LoadTalk(dir.path(), Big5Codec());
  ASSERT_TRUE(again);
  const std::string read = again->entries[0].text;
  again->entries[0].text = "edited";
  again->entries[0].text = read;
  ASSERT_TRUE(SaveTalk(dir.path(), *again, Big5Codec()));
  EXPECT_EQ(dir.Get("talk.grp"), expected);
}

TEST(GamefilesTalk, AnEmptyIndexGivesNoEntriesAndSavesTwoEmptyFiles) {
  ScratchDir dir;
  dir.Put("talk.idx", {});
  dir.Put("talk.grp", {});
  Result<TalkTable> talk = LoadTalk(dir.path(), Big5Codec());
  ASSERT_TRUE(talk) << talk.error();
  EXPECT_TRUE(talk->entries.empty());
  EXPECT_EQ(talk->offsets, std::vector<int32_t>{0});
  dir.Put("talk.grp", {1, 2, 3});
  ASSERT_TRUE(SaveTalk(dir.path(), *talk, Big5Codec()));
  EXPECT_TRUE(dir.Get("talk.idx").empty());
  EXPECT_TRUE(dir.Get("talk.grp").empty());
}

TEST(GamefilesTalk, DamagedOrMissingFilesAreReportedByName) {
  struct Case {
    const char* what;
    Bytes idx;
    Bytes grp;
    const char* named;
    int entriesRead;
  };
  Bytes partial = IndexBytes({1});
  partial.push_back(0);
  const Case cases[] = {
      {"offset past the end of talk.grp", IndexBytes({1, 50}), Bytes(10, 0xFF), "talk.grp", 1},
      {"offsets going backwards", IndexBytes({6, 2, 10}), Bytes(10, 0xFF), "talk.idx", 1},
      {"negative offset", IndexBytes({-1}), Bytes(10, 0xFF), "talk.idx", 0},
  };
  // Read as far as the index agrees with the data; the damage names the file.
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir dir;
    dir.Put("talk.idx", c.idx);
    dir.Put("talk.grp", c.grp);
    std::vector<FileWarning> warnings;
    Result<TalkTable> talk = LoadTalk(dir.path(), Big5Codec(), &warnings);
    ASSERT_TRUE(talk) << talk.error();
    EXPECT_EQ(talk->entries.size(), size_t(c.entriesRead));
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_TRUE(warnings[0].damage.has_value());
    EXPECT_NE(warnings[0].message.find(c.named), std::string::npos) << warnings[0].message;
  }
  {
    // A trailing partial value ends no entry: read, with a warning.
    ScratchDir gentle;
    gentle.Put("talk.idx", partial);
    gentle.Put("talk.grp", Bytes(1, 0xFF));
    std::vector<FileWarning> warnings;
    Result<TalkTable> talk = LoadTalk(gentle.path(), Big5Codec(), &warnings);
    ASSERT_TRUE(talk) << talk.error();
    EXPECT_EQ(talk->entries.size(), 1u);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].file, "talk.idx");
  }
  // The data missing beside its index: damage naming it; both missing: an
  // error naming the index.
  ScratchDir dir;
  dir.Put("talk.idx", IndexBytes({1}));
  std::vector<FileWarning> warnings;
  Result<TalkTable> noGrp = LoadTalk(dir.path(), Big5Codec(), &warnings);
  ASSERT_TRUE(noGrp) << noGrp.error();
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0].file, "talk.grp");
  EXPECT_NE(warnings[0].message.find("talk.grp"), std::string::npos) << warnings[0].message;
  std::filesystem::remove(dir / "talk.idx");
  Result<TalkTable> none = LoadTalk(dir.path(), Big5Codec());
  ASSERT_FALSE(none);
  EXPECT_NE(none.error().find("talk.idx"), std::string::npos) << none.error();
}

TEST(GamefilesTalk, AFailedSaveLeavesFilesAndOffsetsAsTheyWere) {
  ScratchDir dir;
  FaultHookGuard guard;
  PutTalk(dir, {Stored({'a'})});
  const Bytes idx = dir.Get("talk.idx"), grp = dir.Get("talk.grp");
  Result<TalkTable> talk = LoadTalk(dir.path(), Big5Codec());
  ASSERT_TRUE(talk);
  talk->entries[0].text = "longer text";
  SetWriteFaultHook([](const std::string& step, const std::filesystem::path& p) {
    return !(step == "rename" && p.filename() == "talk.grp");
  });
  Status saved = SaveTalk(dir.path(), *talk, Big5Codec());
  ASSERT_FALSE(saved);
  EXPECT_NE(saved.error().find("talk.grp"), std::string::npos);
  EXPECT_EQ(dir.Get("talk.idx"), idx);
  EXPECT_EQ(dir.Get("talk.grp"), grp);
  EXPECT_EQ(talk->offsets, (std::vector<int32_t>{0, 2}));
}

TEST(GamefilesTalk, FilesAreFoundAndReplacedUnderTheirOwnCase) {
  ScratchDir dir;
  dir.Put("TALK.IDX", IndexBytes({2}));
  dir.Put("TALK.GRP", Stored({'q'}));
  Result<TalkTable> talk = LoadTalk(dir.path(), Big5Codec());
  ASSERT_TRUE(talk) << talk.error();
  EXPECT_EQ(talk->entries[0].text, "q");
  talk->entries[0].text = "qq";
  ASSERT_TRUE(SaveTalk(dir.path(), *talk, Big5Codec()));
  EXPECT_EQ(dir.Get("TALK.GRP"), Stored({'q', 'q'}));
  EXPECT_EQ(dir.Get("TALK.IDX"), IndexBytes({3}));
  for (const auto& file : std::filesystem::directory_iterator(dir.path()))
    EXPECT_EQ(file.path().filename().string().rfind("TALK.", 0), 0u) << file.path();
}

}  // namespace
}  // namespace tavrel
