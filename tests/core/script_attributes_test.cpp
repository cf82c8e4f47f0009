// kdefattr.dat: parsing its text and loading the shipped file in both runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "gamefiles_test_support.h"
#include "script/attributes.h"
#include "text/charset.h"

namespace tavrel {
namespace {

using tavrel::testing::ScratchDir;

constexpr const char* kFile = "test-kdefattr.dat";

// Record `op` of a made-up table, every item distinct enough to catch a shift.
std::string Record(int op) {
  return std::to_string(op) + "," + std::to_string(op % 9 + 1) + "," + std::to_string(op % 2) + "," +
         std::to_string(op % 3) + "," + std::to_string(op % 5) + ",name" + std::to_string(op);
}

std::string TableText(const std::string& eol, int records = kOpcodeCount) {
  std::string text = "op,length,cond,1,2,name" + eol;  // numbers in the header are not a record
  for (int op = 0; op < records; ++op) text += Record(op) + eol;
  return text;
}

void ExpectMadeUpRecords(const AttributeTable& t) {
  for (int op = 0; op < kOpcodeCount; ++op) {
    SCOPED_TRACE(op);
    EXPECT_EQ(t[op].length, op % 9 + 1);
    EXPECT_EQ(t[op].conditional, op % 2);
    EXPECT_EQ(t[op].yesOffset, op % 3);
    EXPECT_EQ(t[op].noOffset, op % 5);
    EXPECT_EQ(t[op].name, "name" + std::to_string(op));
  }
}

TEST(ScriptAttributes, ParsesLfAndCrlfLines) {
  for (const std::string eol : {"\n", "\r\n"}) {
    auto table = ParseAttributeTable(TableText(eol), kFile);
    ASSERT_TRUE(table.ok()) << table.error();
    ExpectMadeUpRecords(*table);
  }
  // The last record may end without a line end.
  std::string text = TableText("\r\n");
  text.erase(text.size() - 2);
  auto table = ParseAttributeTable(text, kFile);
  ASSERT_TRUE(table.ok()) << table.error();
  EXPECT_EQ(table->back().name, "name67");
}

TEST(ScriptAttributes, NamesQuotedOrUnquoted) {
  std::string text = "header\n";
  // An unquoted name ends at the first comma: what follows is the next record.
  text += "0,1,0,0,0,空语句,1,4,0,0,0,对话\n";
  text += "2,3,0,0,0,\"判断场景,事件位置\"\n";
  text += "3,14,0,0,0,  \"引号\" 余下,\n";  // text after the closing quote is dropped
  text += "4,   4,  1, 2,   3,   前导空格   \n";
  for (int op = 5; op < kOpcodeCount; ++op) text += Record(op) + "\n";
  auto table = ParseAttributeTable(text, kFile);
  ASSERT_TRUE(table.ok()) << table.error();
  const AttributeTable& t = *table;
  EXPECT_EQ(t[0].name, "空语句");
  EXPECT_EQ(t[1].length, 4);
  EXPECT_EQ(t[1].name, "对话");
  EXPECT_EQ(t[2].length, 3);
  EXPECT_EQ(t[2].name, "判断场景,事件位置");
  EXPECT_EQ(t[3].length, 14);
  EXPECT_EQ(t[3].name, "引号");
  EXPECT_EQ(t[4].length, 4);
  EXPECT_EQ(t[4].conditional, 1);
  EXPECT_EQ(t[4].yesOffset, 2);
  EXPECT_EQ(t[4].noOffset, 3);
  EXPECT_EQ(t[4].name, "前导空格");
  EXPECT_EQ(t[5].length, 6);
  EXPECT_EQ(t[67].name, "name67");
}

TEST(ScriptAttributes, ShortOrDamagedTextIsAnErrorNamingTheFile) {
  std::vector<std::string> bad = {
      "",
      "header only\n",
      TableText("\n", kOpcodeCount - 1),
  };
  std::string cut = TableText("\n", kOpcodeCount - 1) + "67,2,0";
  bad.push_back(cut);
  std::string notNumber = TableText("\n");
  notNumber.replace(notNumber.find("\n5,6,") + 3, 1, "x");  // length of opcode 5
  bad.push_back(notNumber);
  std::string emptyItem = TableText("\n");
  emptyItem.replace(emptyItem.find("\n9,1,"), 5, "\n9,,");
  bad.push_back(emptyItem);

  for (const std::string& text : bad) {
    auto table = ParseAttributeTable(text, kFile);
    ASSERT_FALSE(table.ok()) << text;
    EXPECT_NE(table.error().find(kFile), std::string::npos) << table.error();
  }
}

// The game's instruction set: opcode:length, and for a conditional "c yes no".
constexpr const char* kInstructionSet =
    "0:1 1:4 2:3 3:14 4:4 c 2 3 5:3 c 1 2 6:5 c 2 3 7:1 8:2 9:3 c 1 2 10:2 11:3 c 1 2 12:1 13:1 14:1 15:1 "
    "16:4 c 2 3 17:6 18:4 c 2 3 19:3 20:3 c 1 2 21:2 22:1 23:3 24:1 25:5 26:6 27:4 28:6 c 4 5 29:6 c 4 5 30:5 "
    "31:4 c 2 3 32:3 33:4 34:3 35:5 36:4 c 2 3 37:2 38:5 39:2 40:2 41:4 42:3 c 1 2 43:4 c 2 3 44:7 45:3 46:3 "
    "47:3 48:3 49:3 50:8 c 6 7 51:1 52:1 53:1 54:1 55:5 c 3 4 56:2 57:1 58:1 59:1 60:6 c 4 5 61:3 c 1 2 62:1 "
    "63:3 64:1 65:1 66:2 67:2";

AttributeTable GameInstructionSet() {
  AttributeTable t{};
  std::istringstream in(kInstructionSet);
  std::string token;
  int op = -1;
  while (in >> token) {
    if (token == "c") {
      t[op].conditional = 1;
      in >> t[op].yesOffset >> t[op].noOffset;
    } else {
      size_t colon = token.find(':');
      op = std::stoi(token.substr(0, colon));
      t[op].length = std::stoi(token.substr(colon + 1));
    }
  }
  return t;
}

std::shared_ptr<CharsetTables> EmptyTables() { return std::make_shared<CharsetTables>(); }

TEST(ScriptAttributes, ShippedFileHoldsTheGameInstructionSet) {
  TextCodec codec(GameCharset::Gbk, EmptyTables());
  auto table = LoadAttributeTable(TAVREL_BIN_DIR, codec);
  ASSERT_TRUE(table.ok()) << table.error();
  const AttributeTable expected = GameInstructionSet();
  for (int op = 0; op < kOpcodeCount; ++op) {
    SCOPED_TRACE(op);
    EXPECT_EQ((*table)[op].length, expected[op].length);
    EXPECT_EQ((*table)[op].conditional, expected[op].conditional);
    EXPECT_EQ((*table)[op].yesOffset, expected[op].yesOffset);
    EXPECT_EQ((*table)[op].noOffset, expected[op].noOffset);
    EXPECT_FALSE((*table)[op].name.empty());
    EXPECT_EQ((*table)[op].name.find('?'), std::string::npos) << "not GBK: " << (*table)[op].name;
  }
  EXPECT_EQ((*table)[1].name, "对话");
  EXPECT_EQ((*table)[2].name, "得到物品");
  EXPECT_EQ((*table)[60].name, "判断场景,事件位置贴图");
}

// kdefattr-en.txt: the English names over the shipped lengths and jumps.
TEST(InstructionNames, ShippedEnglishNamesCoverEveryOpcode) {
  TextCodec codec(GameCharset::Gbk, EmptyTables());
  auto table = LoadAttributeTable(TAVREL_BIN_DIR, codec);
  ASSERT_TRUE(table.ok()) << table.error();
  ASSERT_TRUE(LoadInstructionNames(TAVREL_BIN_DIR, *table).ok());
  const AttributeTable expected = GameInstructionSet();
  for (int op = 0; op < kOpcodeCount; ++op) {
    SCOPED_TRACE(op);
    EXPECT_EQ((*table)[op].length, expected[op].length);
    EXPECT_EQ((*table)[op].yesOffset, expected[op].yesOffset);
    ASSERT_FALSE((*table)[op].name.empty());
    for (unsigned char c : (*table)[op].name) EXPECT_LT(c, 0x80) << (*table)[op].name;
  }
  EXPECT_EQ((*table)[1].name, "dialogue");
  EXPECT_EQ((*table)[4].name, "use item?");
  EXPECT_EQ((*table)[60].name, "check scene, event position tile");
  EXPECT_EQ((*table)[67].name, "play sound");
}

TEST(InstructionNames, RecordsInOrderWithQuotedCommas) {
  std::string text = "\xEF\xBB\xBFopcode,name\r\n";
  for (int op = 0; op < kOpcodeCount; ++op)
    text += std::to_string(op) + (op == 5 ? ",\"a, b\"\r\n" : ",n" + std::to_string(op) + "\n");
  AttributeTable table{};
  table[3].length = 7;
  ASSERT_TRUE(ParseInstructionNames(text, "f", table).ok());
  EXPECT_EQ(table[0].name, "n0");
  EXPECT_EQ(table[5].name, "a, b");
  EXPECT_EQ(table[67].name, "n67");
  EXPECT_EQ(table[3].length, 7);  // only the names change
}

TEST(InstructionNames, AShortOrShuffledFileLeavesTheTableAsItWas) {
  AttributeTable table{};
  table[0].name = "old";
  std::string shortText = "opcode,name\n0,a\n1,b\n";
  auto s = ParseInstructionNames(shortText, "names.txt", table);
  ASSERT_FALSE(s.ok());
  EXPECT_NE(s.error().find("names.txt"), std::string::npos);
  std::string shuffled = "opcode,name\n";
  for (int op = 0; op < kOpcodeCount; ++op) shuffled += std::to_string(op == 2 ? 3 : op == 3 ? 2 : op) + ",x\n";
  EXPECT_FALSE(ParseInstructionNames(shuffled, "names.txt", table).ok());
  EXPECT_EQ(table[0].name, "old");
  ScratchDir dir;
  auto missing = LoadInstructionNames(dir.path(), table);
  ASSERT_FALSE(missing.ok());
  EXPECT_NE(missing.error().find("kdefattr-en.txt"), std::string::npos) << missing.error();
}

TEST(ScriptAttributes, MissingFileIsAnErrorNamingThePath) {
  ScratchDir dir;
  TextCodec codec(GameCharset::Gbk, EmptyTables());
  auto table = LoadAttributeTable(dir.path(), codec);
  ASSERT_FALSE(table.ok());
  EXPECT_NE(table.error().find((dir.path() / "kdefattr.dat").string()), std::string::npos) << table.error();
}

// 对话 is GBK B6 D4 BB B0; its traditional form 對話 is BIG5 B9 EF B8 DC.
// 啊 (GBK B0 A1) gets no BIG5 equivalent in these tables.
Bytes GbkFile() {
  std::string text = "op,len,cond,yes,no,name\r\n";
  text += "0,1,0,0,0,\xB6\xD4\xBB\xB0\r\n";
  text += "1,4,1,2,3,\"\xB0\xA1,x\"\r\n";
  for (int op = 2; op < kOpcodeCount; ++op) text += Record(op) + "\r\n";
  return Bytes(text.begin(), text.end());
}

std::shared_ptr<CharsetTables> DialogueTables() {
  auto t = EmptyTables();
  t->gbkToBig5[CharsetTables::Index(0xB6, 0xD4)] = {0xB9, 0xEF};
  t->gbkToBig5[CharsetTables::Index(0xBB, 0xB0)] = {0xB8, 0xDC};
  return t;
}

TEST(ScriptAttributes, GbkRunReadsTheNamesAsGbk) {
  ScratchDir dir;
  dir.Put("kdefattr.dat", GbkFile());
  TextCodec codec(GameCharset::Gbk, DialogueTables());
  auto table = LoadAttributeTable(dir.path(), codec);
  ASSERT_TRUE(table.ok()) << table.error();
  EXPECT_EQ((*table)[0].name, "对话");
  EXPECT_EQ((*table)[1].name, "啊,x");
  EXPECT_EQ((*table)[1].length, 4);
  EXPECT_EQ((*table)[1].noOffset, 3);
}

TEST(ScriptAttributes, Big5RunConvertsTheNamesThroughTheTemporaryFile) {
  ScratchDir dir;
  dir.Put("kdefattr.dat", GbkFile());
  TextCodec codec(GameCharset::Big5, DialogueTables());
  auto table = LoadAttributeTable(dir.path(), codec);
  ASSERT_TRUE(table.ok()) << table.error();
  EXPECT_EQ((*table)[0].name, "對話");
  EXPECT_EQ((*table)[1].name, "??,x");  // no BIG5 equivalent
  EXPECT_EQ((*table)[1].length, 4);
  EXPECT_EQ((*table)[1].conditional, 1);
  EXPECT_EQ((*table)[1].yesOffset, 2);
  EXPECT_EQ((*table)[67].name, "name67");
  EXPECT_FALSE(dir.Has("_TMP0834.TMP"));
}

TEST(ScriptAttributes, Big5RunConvertsInMemoryWhenTheTemporaryFileCannotBeWritten) {
  ScratchDir dir;
  dir.Put("kdefattr.dat", GbkFile());
  std::filesystem::create_directory(dir / "_TMP0834.TMP");  // stands where the file would go
  TextCodec codec(GameCharset::Big5, DialogueTables());
  auto table = LoadAttributeTable(dir.path(), codec);
  ASSERT_TRUE(table.ok()) << table.error();
  EXPECT_EQ((*table)[0].name, "對話");
  EXPECT_EQ((*table)[1].name, "??,x");
  EXPECT_TRUE(std::filesystem::is_directory(dir / "_TMP0834.TMP"));
}

TEST(ScriptAttributes, LeadByteInTheLastPositionDoesNotReadPastTheFile) {
  for (GameCharset charset : {GameCharset::Gbk, GameCharset::Big5}) {
    ScratchDir dir;
    Bytes bytes = GbkFile();
    ASSERT_GE(bytes.size(), 2u);
    bytes.pop_back();  // no line end after the last name
    bytes.pop_back();
    bytes.push_back(0xB6);
    dir.Put("kdefattr.dat", bytes);
    TextCodec codec(charset, DialogueTables());
    auto table = LoadAttributeTable(dir.path(), codec);
    ASSERT_TRUE(table.ok()) << table.error();
    EXPECT_EQ((*table)[67].name, "name67?");
  }
}

}  // namespace
}  // namespace tavrel
