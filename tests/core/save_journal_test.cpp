// The save journal's file: its checksum, its layout, and a reader that
// trusts nothing (every cut and every changed byte is refused).
#include <gtest/gtest.h>

#include <string>

#include "base/crc32.h"
#include "gamefiles/save_journal.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace {

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

TEST(Crc32, KnownValuesAndPiecewise) {
  // The standard check value of CRC-32 and two more from its tables.
  EXPECT_EQ(Crc32(Text("123456789")), 0xCBF43926u);
  EXPECT_EQ(Crc32(Text("")), 0u);
  EXPECT_EQ(Crc32(Text("a")), 0xE8B7BE43u);
  EXPECT_EQ(Crc32(Text("6789"), Crc32(Text("12345"))), 0xCBF43926u);
}

SaveJournal TwoFiles() {
  SaveJournal j;
  j.files.push_back({"talk.idx", 8, 0xCBF43926u, true, 5, 0xE8B7BE43u, KeepOld::Backup, 0});
  j.files.push_back({"new file.grp", 0, 0, false, 0, 0, KeepOld::Damaged, 2});
  return j;
}

TEST(SaveJournal, LayoutOfAReplacement) {
  const std::string text = EncodeSaveJournal(TwoFiles());
  const std::string body =
      "tavrel save journal 1\n"
      "replace 2\n"
      "file 8 CBF43926 5 E8B7BE43 bak talk.idx\n"
      "file 0 00000000 - - damaged2 new file.grp\n";
  ASSERT_TRUE(text.starts_with(body)) << text;
  const std::string end = text.substr(body.size());
  ASSERT_EQ(end.size(), 13u) << end;  // "end " + 8 hex digits + LF
  EXPECT_TRUE(end.starts_with("end ")) << end;
  EXPECT_EQ(end.back(), '\n');
  EXPECT_EQ(std::stoul(end.substr(4, 8), nullptr, 16), Crc32(Text(body)));
  Result<SaveJournal> back = ParseSaveJournal(Text(text));
  ASSERT_TRUE(back) << back.error();
  EXPECT_TRUE(*back == TwoFiles());
}

SaveJournal APatch() {
  SaveJournal j;
  j.patch = true;
  j.patchName = "z.dat";
  j.patchSize = 100;
  j.beforeCrc = 0x01020304u;
  j.afterCrc = 0xA0B0C0D0u;
  j.runs.push_back({4, {0x00, 0xFF}, {0x12, 0xAB}});
  j.runs.push_back({98, {0x7F, 0x80}, {0x01, 0x02}});
  return j;
}

TEST(SaveJournal, LayoutOfAPatch) {
  const std::string text = EncodeSaveJournal(APatch());
  EXPECT_TRUE(
      text.starts_with("tavrel save journal 1\n"
                       "patch 100 01020304 A0B0C0D0 2 z.dat\n"
                       "run 4 00FF 12AB\n"
                       "run 98 7F80 0102\n"
                       "end "))
      << text;
  Result<SaveJournal> back = ParseSaveJournal(Text(text));
  ASSERT_TRUE(back) << back.error();
  EXPECT_TRUE(*back == APatch());
}

TEST(SaveJournal, EveryCutAndEveryChangedByteIsRefused) {
  for (const SaveJournal& journal : {TwoFiles(), APatch()}) {
    const Bytes whole = Text(EncodeSaveJournal(journal));
    for (size_t n = 0; n < whole.size(); ++n)
      EXPECT_FALSE(ParseSaveJournal(std::span(whole).first(n))) << "cut to " << n << " bytes";
    for (size_t k = 0; k < whole.size(); ++k) {
      for (uint8_t flip : {0x01, 0x20, 0x80}) {
        Bytes changed = whole;
        changed[k] ^= flip;
        EXPECT_FALSE(ParseSaveJournal(changed)) << "byte " << k << " ^ " << int(flip);
      }
    }
    Bytes longer = whole;
    longer.push_back('x');
    EXPECT_FALSE(ParseSaveJournal(longer));
  }
  EXPECT_EQ(ParseSaveJournal(Text("tavrel save journal 1\n")).error(), FormatInterfaceString(Str::JournalCutShort));
  EXPECT_EQ(ParseSaveJournal(Text("tavrel save journal 1\nend 00000000\n")).error(),
            FormatInterfaceString(Str::JournalChecksumWrong));
  EXPECT_EQ(ParseSaveJournal(Bytes(kMaxSaveJournalBytes + 1, '\n')).error(),
            FormatInterfaceString(Str::JournalTooLarge, kMaxSaveJournalBytes + 1));
}

// Lines that carry a right checksum and still cannot be trusted: a name that
// leads out of the directory, counts that do not match the lines, a run past
// the file's end, sizes that are no numbers.
TEST(SaveJournal, WellSummedButUntrustworthyLinesAreRefusedByNumber) {
  auto sealed = [](const std::string& body) {
    return Text(body + "end " + fmt::format("{:08X}", Crc32(Text(body))) + "\n");
  };
  const std::string head = "tavrel save journal 1\n";
  struct Case {
    std::string body;
    int line;
  };
  const Case cases[] = {
      {head + "replace 1\nfile 1 00000000 - - bak ../talk.grp\n", 3},
      {head + "replace 1\nfile 1 00000000 - - bak sub/talk.grp\n", 3},
      {head + "replace 1\nfile 1 00000000 - - bak C:talk.grp\n", 3},
      {head + "replace 1\nfile 1 00000000 - - bak ..\n", 3},
      {head + "replace 1\nfile 1 00000000 - - bak \n", 3},
      {head + "replace 2\nfile 1 00000000 - - bak a\n", 4},
      {head + "replace 1\nfile 1 00000000 - - bak a\nfile 1 00000000 - - bak b\n", 4},
      {head + "replace 2\nfile 1 00000000 - - bak a\nfile 2 00000000 - - bak a\n", 4},
      {head + "replace 0\n", 2},
      {head + "replace 99999999999999999999\n", 2},
      {head + "replace 1\nfile -1 00000000 - - bak a\n", 3},
      {head + "replace 1\nfile 1 0000000 - - bak a\n", 3},
      {head + "replace 1\nfile 1 00000000 5 - bak a\n", 3},
      {head + "replace 1\nfile 1 00000000 - - keep a\n", 3},
      {head + "replace 1\nfile 1 00000000 - - damaged0 a\n", 3},
      {head + "patch 10 00000000 00000000 1 z.dat\nrun 9 0000 0000\n", 3},
      {head + "patch 10 00000000 00000000 1 z.dat\nrun 0 00 0000\n", 3},
      {head + "patch 10 00000000 00000000 1 z.dat\nrun 0 0 0\n", 3},
      {head + "patch 10 00000000 00000000 1 z.dat\nrun 0 ab 00\n", 3},
      {head + "replace 1\nfile 1 0000000a - - bak a\n", 3},
      {head + "patch 10 00000000 00000000 1 ../z.dat\nrun 0 00 00\n", 2},
      {"tavrel save journal 2\nreplace 1\nfile 1 00000000 - - bak a\n", 1},
  };
  for (const Case& c : cases) {
    Result<SaveJournal> read = ParseSaveJournal(sealed(c.body));
    ASSERT_FALSE(read) << c.body;
    EXPECT_EQ(read.error(), FormatInterfaceString(Str::JournalLineUnreadable, c.line)) << c.body;
  }
  // The same shapes with sound fields are read.
  EXPECT_TRUE(ParseSaveJournal(sealed(head + "replace 1\nfile 1 0000000A - - damaged7 a b\n")));
  EXPECT_TRUE(ParseSaveJournal(sealed(head + "patch 10 00000000 00000000 1 z.dat\nrun 8 00FF 0000\n")));
}

}  // namespace
}  // namespace tavrel
