// The readable line of every instruction kind.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "gamefiles/names.h"
#include "gamefiles/talk.h"
#include "script/describe.h"
#include "text/charset.h"
#include "text/codepage.h"
#include "text/ui_string_names.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace {

// 80 persons 人0 .. 人79, 10 items, 5 scenes, 5 skills, 5 dialogue texts;
// 90 portraits: portrait p worn by person p below 75, portrait 80 by persons
// 12, 30 and 41, portrait 81 by a person the table lacks and then by 人7,
// portrait 82 by person 40 alone, the others by nobody.
class ScriptDescribe : public ::testing::Test {
 protected:
  ScriptDescribe() : codec_(GameCharset::Gbk, std::make_shared<CharsetTables>()) {
    for (int i = 0; i < 80; ++i) names_.persons.push_back(Person("人" + std::to_string(i)));
    portraitUsers_.resize(90);
    for (int p = 0; p < 75; ++p) portraitUsers_[size_t(p)] = {p};
    portraitUsers_[80] = {12, 30, 41};
    portraitUsers_[81] = {80, 7};
    portraitUsers_[82] = {40};
    for (int i = 0; i < 10; ++i) names_.items.emplace_back().name = "物" + std::to_string(i);
    for (int i = 0; i < 5; ++i) names_.scenes.emplace_back().name = "景" + std::to_string(i);
    for (int i = 0; i < 5; ++i) names_.skills.emplace_back().name = "功" + std::to_string(i);
    for (int i = 0; i < 5; ++i) talk_.push_back(NewTalkEntry("话" + std::to_string(i)));
  }

  static PersonRecord Person(std::string name) {
    PersonRecord p;
    p.name = std::move(name);
    return p;
  }

  DescribeContext Ctx() const { return DescribeContext{codec_, names_, talk_, portraitUsers_}; }
  std::string S(int n) const { return codec_.UiString(n); }

  std::string Line(int16_t op, std::vector<int16_t> data, int16_t yes = 0, int16_t no = 0, int32_t isGoto = 0,
                   std::string label = "") const {
    Statement s;
    s.Id = op;
    s.DataNum = static_cast<int32_t>(data.size());
    s.data = std::move(data);
    s.yesOffset = yes;
    s.noOffset = no;
    s.isGoto = isGoto;
    s.gotoLabel = std::move(label);
    return DescribeLine(s, Ctx());
  }

  TextCodec codec_;
  NameTables names_;
  std::vector<TalkEntry> talk_;
  std::vector<std::vector<int32_t>> portraitUsers_;
};

std::string Caption(int op) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%d(%X):", op, unsigned(uint16_t(op)));
  return buffer;
}

struct Row {
  int16_t op;
  std::vector<int16_t> data;
  int16_t yes = 0, no = 0;  // jump word positions of a conditional
  int32_t isGoto = 0;
  std::string label;
  std::string body;
};

TEST_F(ScriptDescribe, EveryInstructionKind) {
  auto yes = [&](const std::string& label) { return S(514) + label; };
  auto no = [&](const std::string& label) { return S(515) + label; };
  const std::vector<Row> rows = {
      {0, {}, 0, 0, 0, "", ":" + S(505)},
      {1, {2, 7, 0}, 0, 0, 0, "", "[人7]" + S(506) + "话2"},
      {2, {3, 12}, 0, 0, 0, "", S(507) + "[物3][12]"},
      {3, {-2, -2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 0, 0, 0, "", S(508) + ":" + S(509) + ":" + S(511)},
      {3, {4, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0, 0, 0, "", S(508) + ":" + S(510) + "[景4]:" + S(512) + " [9]"},
      {4, {3, 6, 0}, 2, 3, 1, ":Label4", S(513) + "[物3]？" + yes(":Label4")},
      {5, {0, 4}, 1, 2, 2, ":Label1", S(516) + no(":Label1")},
      {6, {33, 5, 0, 0}, 2, 3, 1, ":Label2", S(517) + "[33]" + yes(":Label2")},
      {7, {}, 0, 0, 0, "", S(518)},
      {8, {3}, 0, 0, 0, "", S(519)},
      {9, {4, 0}, 1, 2, 1, ":Label0", S(520) + yes(":Label0")},
      {10, {6}, 0, 0, 0, "", S(521) + "[人6]"},
      {11, {0, 2}, 1, 2, 2, ":Label3", S(522) + no(":Label3")},
      {12, {}, 0, 0, 0, "", S(523)},
      {13, {}, 0, 0, 0, "", S(524)},
      {14, {}, 0, 0, 0, "", S(525)},
      {15, {}, 0, 0, 0, "", S(526)},
      {16, {8, 3, 0}, 2, 3, 1, ":Label5", S(527) + "[人8]" + yes(":Label5")},
      {17, {-2, 1, 30, 45, 0}, 0, 0, 0, "", S(528) + ":" + S(509) + S(529) + "1" + S(530) + "1E-2D"},
      {17, {2, 10, -1, 255, 0}, 0, 0, 0, "", S(528) + ":" + S(510) + "[景2]" + S(529) + "A" + S(530) + "FFFF-FF"},
      {18, {9, 3, 0}, 2, 3, 1, ":Label6", S(531) + "[物9]" + yes(":Label6")},
      {19, {30, 45}, 0, 0, 0, "", S(532) + "1E-2D"},
      {20, {0, 7}, 1, 2, 2, ":Label7", S(533) + no(":Label7")},
      {21, {11}, 0, 0, 0, "", "[人11]" + S(534)},
      {22, {}, 0, 0, 0, "", S(535)},
      {23, {12, 50}, 0, 0, 0, "", S(536) + "[人12]" + S(537) + "[50]"},
      {24, {}, 0, 0, 0, "", S(584)},
      {25, {1, 2, 3, 4}, 0, 0, 0, "", S(538) + "1-2--3-4"},
      {26, {1, 2, 3, 4, 5}, 0, 0, 0, "", S(539)},
      {27, {1, 2, 3}, 0, 0, 0, "", S(540)},
      {28, {13, 40, 90, 6, 0}, 4, 5, 1, ":Label8", S(541) + "人13" + S(542) + "40-90" + yes(":Label8")},
      {29, {14, -5, 60, 0, 3}, 4, 5, 2, ":Label9", S(541) + "人14" + S(543) + "-5-60" + no(":Label9")},
      {30, {5, 6, 7, 8}, 0, 0, 0, "", S(544) + "5-6--7-8"},
      {31, {1000, 4, 0}, 2, 3, 1, ":Label10", S(545) + "1000" + yes(":Label10")},
      {32, {4, -3}, 0, 0, 0, "", S(546) + "[物4]+[-3]"},
      {33, {15, 3, 0}, 0, 0, 0, "", "人15" + S(547) + "功3"},
      {34, {16, 10}, 0, 0, 0, "", "人16" + S(548) + "10"},
      {35, {17, 2, 4, 300}, 0, 0, 0, "", S(549) + "人17" + S(550) + "2:功4" + S(551) + "300"},
      {36, {1, 0, 5}, 2, 3, 2, ":Label11", S(552) + "1" + no(":Label11")},
      {37, {20}, 0, 0, 0, "", S(553) + "20"},
      {38, {1, 2, 3, 4}, 0, 0, 0, "", S(554)},
      {39, {3}, 0, 0, 0, "", S(555) + "景3"},
      {40, {2}, 0, 0, 0, "", S(556) + "2"},
      {41, {18, 5, 2}, 0, 0, 0, "", "人18" + S(507) + "物5" + "2"},
      {42, {4, 0}, 1, 2, 1, ":Label12", S(557) + yes(":Label12")},
      {43, {6, 0, 2}, 2, 3, 2, ":Label13", S(558) + "物6" + no(":Label13")},
      {44, {1, 2, 3, 4, 5, 6}, 0, 0, 0, "", S(540)},
      {45, {19, 7}, 0, 0, 0, "", "人19" + S(559) + "7"},
      {46, {20, 8}, 0, 0, 0, "", "人20" + S(560) + "8"},
      {47, {21, 9}, 0, 0, 0, "", "人21" + S(561) + "9"},
      {48, {22, 10}, 0, 0, 0, "", "人22" + S(562) + "10"},
      {49, {23, 1}, 0, 0, 0, "", "人23" + S(585) + "1"},
      {50, {0, 1, 2, 3, 4, 9, 0}, 6, 7, 1, ":Label14", S(558) + "物0,物1,物2,物3,物4" + yes(":Label14")},
      {51, {}, 0, 0, 0, "", S(563)},
      {52, {}, 0, 0, 0, "", S(564)},
      {53, {}, 0, 0, 0, "", S(565)},
      {54, {}, 0, 0, 0, "", S(566)},
      {55, {7, 1, 0, 5}, 3, 4, 2, ":Label15", S(567) + "7" + S(568) + "1" + no(":Label15")},
      {56, {5}, 0, 0, 0, "", S(569) + "5"},
      {57, {}, 0, 0, 0, "", S(570)},
      {58, {}, 0, 0, 0, "", S(571)},
      {59, {}, 0, 0, 0, "", S(572)},
      {60, {1, 2, 3, 4, 0}, 4, 5, 1, ":Label16", S(573) + "1" + S(574) + "2" + S(575) + "3" + yes(":Label16")},
      {61, {0, 3}, 1, 2, 2, ":Label17", S(576) + no(":Label17")},
      {62, {}, 0, 0, 0, "", S(577)},
      {63, {24, 1}, 0, 0, 0, "", S(549) + "人24" + S(578) + "1"},
      {64, {}, 0, 0, 0, "", S(579)},
      {65, {}, 0, 0, 0, "", S(580)},
      {66, {12}, 0, 0, 0, "", S(581) + "12"},
      {67, {3}, 0, 0, 0, "", S(582) + "3"},
      {-1, {}, 0, 0, 0, "", S(583)},
      {68, {}, 0, 0, 0, "", S(584)},
      {-2, {}, 0, 0, 0, "", S(584)},
      {32767, {}, 0, 0, 0, "", S(584)},
  };
  std::set<int> covered;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.op);
    covered.insert(row.op);
    EXPECT_EQ(Line(row.op, row.data, row.yes, row.no, row.isGoto, row.label), Caption(row.op) + row.body);
  }
  for (int op = -1; op < 68; ++op) EXPECT_TRUE(covered.count(op)) << op;
}

TEST_F(ScriptDescribe, LinesReadAsTheGameShowsThem) {
  EXPECT_EQ(Line(0, {}), "0(0)::空语句(清屏)");
  EXPECT_EQ(Line(-1, {}), "-1(FFFF):事件结束");
  EXPECT_EQ(Line(3, {-2, -2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), "3(3):修改事件定义:当前场景:当前场景事件编号");
  EXPECT_EQ(Line(1, {0, 3, 0}), "1(1):[人3]说: 话0");
  EXPECT_EQ(Line(4, {2, 0, 7}, 2, 3, 2, ":Label0"), "4(4):是否使用物品[物2]？否则跳转到:Label0");
  EXPECT_NE(Line(19, {30, 45}).find("1E-2D"), std::string::npos);
  EXPECT_EQ(Line(26, {0, 0, 0, 0, 0}).substr(0, 7), "26(1A):");
  EXPECT_EQ(Line(70, {}), "70(46):未知指令");
}

TEST_F(ScriptDescribe, TheSpeakerIsThePortraitsFirstWearer) {
  EXPECT_EQ(Line(1, {0, 74, 0}), "1(1):[人74]说: 话0");
  EXPECT_EQ(Line(1, {0, 80, 0}), "1(1):[人12 +2]说: 话0");
  EXPECT_EQ(Line(1, {0, 81, 0}), "1(1):[人7 +1]说: 话0");  // the first wearer with a name
  EXPECT_EQ(Line(1, {0, 82, 0}), "1(1):[人40]说: 话0");
  // Nobody wears it (人75 exists, but wears no portrait), or only a person
  // without a name: the portrait's number, never "???".
  EXPECT_EQ(Line(1, {0, 75, 0}), "1(1):[头像75]说: 话0");
  names_.persons[40].name.clear();
  EXPECT_EQ(Line(1, {0, 82, 0}), "1(1):[头像82]说: 话0");
  EXPECT_EQ(Line(1, {0, 89, 0}), "1(1):[头像89]说: 话0");
  EXPECT_EQ(Line(1, {0, 90, 0}), "1(1):[头像90]说: 话0");  // past the portraits
  EXPECT_EQ(Line(1, {0, -1, 0}), "1(1):[头像-1]说: 话0");
}

TEST_F(ScriptDescribe, TheSpeakerInEnglish) {
  SetInterfaceLanguage(InterfaceLanguage::English);
  const std::string several = Line(1, {0, 80, 0});
  const std::string nobody = Line(1, {0, 111, 0});
  SetInterfaceLanguage(InterfaceLanguage::Chinese);
  EXPECT_EQ(several, "1(1):[人12 +2] says: 话0");
  EXPECT_EQ(nobody, "1(1):[portrait 111] says: 话0");
}

// The kdefout.txt export keeps the naming other tools read: the person of
// the portrait's number, "???" from 75 on.
TEST_F(ScriptDescribe, TheExportLayoutKeepsItsOwnSpeaker) {
  DescribeContext ctx = Ctx();
  ctx.exportLayout = true;
  auto line = [&](int16_t portrait) {
    Statement s;
    s.Id = 1;
    s.DataNum = 3;
    s.data = {0, portrait, 0};
    return DescribeLine(s, ctx);
  };
  EXPECT_EQ(line(74), "1(1):[人74]说: 话0");
  EXPECT_EQ(line(80), "1(1):[???]说: 话0");  // 人80 exists
  EXPECT_EQ(line(75), "1(1):[???]说: 话0");
  EXPECT_EQ(line(-1), "1(1):[???]说: 话0");
}

TEST_F(ScriptDescribe, NumbersOutsideTheirTablesShowUnknownNames) {
  EXPECT_EQ(Line(1, {5, 0, 0}), Caption(1) + "[人0]" + S(506) + "???");
  EXPECT_EQ(Line(1, {-1, 0, 0}), Caption(1) + "[人0]" + S(506) + "???");
  EXPECT_EQ(Line(10, {80}), Caption(10) + S(521) + "[???]");
  EXPECT_EQ(Line(10, {-1}), Caption(10) + S(521) + "[???]");
  EXPECT_EQ(Line(2, {10, 1}), Caption(2) + S(507) + "[???][1]");
  EXPECT_EQ(Line(39, {5}), Caption(39) + S(555) + "???");
  EXPECT_EQ(Line(33, {0, 5, 0}), Caption(33) + "人0" + S(547) + "???");
  EXPECT_EQ(Line(33, {0, -32768, 0}), Caption(33) + "人0" + S(547) + "???");
}

TEST_F(ScriptDescribe, IrregularConditionalEndsInTheNoJumpWording) {
  EXPECT_EQ(Line(5, {0, 0}, 1, 2, 0, ""), Caption(5) + S(516) + S(515));
  EXPECT_EQ(Line(18, {1, 4, 4}, 2, 3, 0, ""), Caption(18) + S(531) + "[物1]" + S(515));
}

TEST_F(ScriptDescribe, StatementWithoutTheWordsItsRowReadsIsUnknown) {
  // a one-word statement that kept its opcode, cut off by the event's end
  EXPECT_EQ(Line(2, {}), Caption(2) + S(584));
  EXPECT_EQ(Line(35, {17, 2, 4}), Caption(35) + S(584));
  EXPECT_EQ(Line(5, {}), Caption(5) + S(584));  // no jump words to tell the jump
  EXPECT_EQ(Line(50, {0, 1, 2, 3}, 6, 7, 1, ":Label0"), Caption(50) + S(584));

  // words kept past a lowered count are not parameters any more
  Statement s;
  s.Id = 10;
  s.data = {3};
  s.DataNum = 0;
  EXPECT_EQ(DescribeLine(s, Ctx()), Caption(10) + S(584));
}

TEST_F(ScriptDescribe, LabelsKeepTheirNames) {
  Statement label = MakeLabel(":Label3");
  EXPECT_EQ(DescribeLine(label, Ctx()), ":Label3");
  DescribeStatement(label, Ctx());
  EXPECT_EQ(label.note, ":Label3");

  Statement s;
  s.Id = 37;
  s.SetDataNum(1);
  s.data[0] = 9;
  s.note = "old line";
  DescribeStatement(s, Ctx());
  EXPECT_EQ(s.note, Caption(37) + S(553) + "9");
}

// Lines take the interface strings of the codec they are described with,
// also when codecs alternate or one is replaced by another.
TEST_F(ScriptDescribe, EachCodecDescribesWithItsOwnStrings) {
  Statement s;
  s.Id = 37;
  s.SetDataNum(1);
  s.data[0] = 9;
  Statement jump;
  jump.Id = 5;
  jump.SetDataNum(2);
  jump.yesOffset = 1;
  jump.noOffset = 2;
  jump.isGoto = 1;
  jump.gotoLabel = ":Label0";

  // A BIG5 run whose interface map changes the first character of both strings.
  const auto mapped = [&](char32_t to) {
    auto tables = std::make_shared<CharsetTables>();
    for (int n : {553, 514}) {
      size_t pos = 0;
      tables->interfaceTextMap[NextCodePoint(codec_.UiText(n), pos)] = uint16_t(to);
    }
    return std::make_unique<TextCodec>(GameCharset::Big5, tables);
  };
  const std::string gbkLine = Caption(37) + S(553) + "9";
  const std::string gbkJump = Caption(5) + S(516) + S(514) + ":Label0";
  auto big5 = mapped(U'Z');
  const DescribeContext big5Ctx{*big5, names_, talk_};
  ASSERT_NE(big5->UiString(Str::LineAddMorality), S(553));
  ASSERT_EQ(big5->UiString(Str::LineAddMorality).front(), 'Z');

  EXPECT_EQ(DescribeLine(s, Ctx()), gbkLine);
  EXPECT_EQ(DescribeLine(s, big5Ctx), Caption(37) + big5->UiString(Str::LineAddMorality) + "9");
  EXPECT_EQ(DescribeLine(jump, big5Ctx),
            Caption(5) + big5->UiString(Str::LineAskBattle) + big5->UiString(Str::LineJumpToIfYes) + ":Label0");
  EXPECT_EQ(DescribeLine(s, Ctx()), gbkLine);
  EXPECT_EQ(DescribeLine(jump, Ctx()), gbkJump);

  const TextCodec copy = *big5;  // a copy describes as its original
  EXPECT_EQ(DescribeLine(s, DescribeContext{copy, names_, talk_}),
            Caption(37) + big5->UiString(Str::LineAddMorality) + "9");

  big5.reset();
  auto other = mapped(U'Y');
  const DescribeContext otherCtx{*other, names_, talk_};
  EXPECT_EQ(DescribeLine(s, otherCtx), Caption(37) + other->UiString(Str::LineAddMorality) + "9");
  EXPECT_EQ(DescribeLine(s, otherCtx).substr(Caption(37).size(), 1), "Y");
  // A cut-off statement keeps its caption and takes that codec's "unknown".
  Statement cut;
  cut.Id = 2;
  EXPECT_EQ(DescribeLine(cut, otherCtx), Caption(2) + other->UiString(Str::LineUnknown));
}

TEST(ScriptDescribeHelpers, HexAndCaption) {
  EXPECT_EQ(Hex16(-1), "FFFF");  // the word's bit pattern
  EXPECT_EQ(Hex16(-32768), "8000");
  EXPECT_EQ(OpcodeCaption(26), "26(1A)");
  EXPECT_EQ(OpcodeCaption(0), "0(0)");
  EXPECT_EQ(OpcodeCaption(-1), "-1(FFFF)");
}

}  // namespace
}  // namespace tavrel
