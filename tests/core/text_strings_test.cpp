// The interface string table: exact numbers and texts.
#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "text/codepage.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace {

// Every number range the editor uses; numbers outside them do not exist.
const std::vector<std::pair<int, int>> kRanges = {
    {101, 103},   {120, 141},   {201, 215},     {301, 317},     {319, 319},     {401, 401},   {501, 585},
    {1001, 1006}, {1101, 1114}, {1201, 1202},   {1301, 1319},   {1601, 1602},   {2001, 2001}, {2101, 2101},
    {2501, 2502}, {2601, 2603}, {2701, 2703},   {2801, 2802},   {2901, 2902},   {3001, 3002}, {3101, 3101},
    {3201, 3202}, {3301, 3302}, {3501, 3502},   {3801, 3805},   {4001, 4004},   {4401, 4403}, {6001, 6002},
    {6301, 6304}, {6401, 6403}, {10001, 10023}, {10031, 10034}, {10100, 10131},
    {20001, 20011}, {20400, 20424},
};

TEST(InterfaceStrings, ExactlyTheListedNumbersInAscendingOrder) {
  std::set<int> expected;
  for (auto [first, last] : kRanges)
    for (int n = first; n <= last; ++n) expected.insert(n);
  ASSERT_EQ(expected.size(), 326u);

  auto strings = InterfaceStrings();
  ASSERT_EQ(strings.size(), 326u);
  std::vector<int> numbers;
  for (const auto& s : strings) numbers.push_back(s.number);
  EXPECT_EQ(numbers, std::vector<int>(expected.begin(), expected.end()));

  for (int n : expected) EXPECT_TRUE(HasInterfaceString(n)) << n;
  for (int n : {0, 100, 104, 119, 142, 216, 318, 320, 402, 500, 586, 1007, 1115, 1320, 4005, 10024, 10132, 20000, 20012, 20399, 20425})
    EXPECT_FALSE(HasInterfaceString(n)) << n;
  EXPECT_EQ(InterfaceStringText(318), "");
}

TEST(InterfaceStrings, EveryTextIsNonEmptyWellFormedUtf8) {
  for (const auto& s : InterfaceStrings()) {
    EXPECT_FALSE(s.text.empty()) << s.number;
    for (size_t pos = 0; pos < s.text.size();) ASSERT_NE(NextCodePoint(s.text, pos), kBadUtf8) << s.number;
    EXPECT_EQ(InterfaceStringText(s.number), s.text);
  }
}

TEST(InterfaceStrings, SpotChecksFromEveryGroup) {
  const std::vector<std::pair<int, std::string_view>> checks = {
      {101, "Tavrel事件&对话修改器V0.5版"},
      {102, "确定"},
      {103, "取消"},
      {128, "保存操作将覆盖原有文件kdef.grp, kdef.idx, talk.grp, talk.idx,  是否保存？"},
      {141, "：抱歉，目前没有指导，请直接修改。"},
      {201, "文件"},
      {215, "粘贴整个事件"},
      {305, "按游戏格式必须每隔12个汉字加一个星号\"*\""},
      {319, "粘贴事件操作将覆盖当前事件，是否继续？"},
      {401, "设置游戏路径"},
      {501, "是则跳转"},
      {504, "存在未知语句"},
      {505, "空语句(清屏)"},
      {506, "说: "},
      {567, "事件d*编号"},
      {585, "内力属性"},
      {1001, "插入指令"},
      {1006, "事件结束"},
      {1102, "指令id"},
      {1109, "0-屏幕上方显示, 左边头像，右边对话"},
      {1114, "5-屏幕下方显示, 左边头像，右边对话"},
      {1309, "贴图1(编号为2的倍数)"},
      {1315, "以上内容若为[-2]则表示保持当前值不变"},
      {1316, "事件编号为[-1]表示取消事件。"},
      {1317, "--保持不变--"},
      {1319, "1--不可通过"},
      {2703, "显示位置：场景事件编号"},
      {4004, "3-向下"},
      {6304, "2-太监"},
      {6403, "2-阴阳调和"},
      {10007, "自动选择参战人(若有自动选择，则手动选择无效)"},
      {10013, "==未选定=="},
      {10034, "，是否修改？"},
      {10100, "水上飘修改"},
      {10130, "修改时请参考修改器附带的说明文件z_modify.txt"},
      {10131, "将要把修改保存到z.dat中，是否修改？"},
  };
  for (const auto& [n, text] : checks) EXPECT_EQ(InterfaceStringText(n), text) << n;
}

}  // namespace
}  // namespace tavrel
