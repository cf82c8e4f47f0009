#include "script/encode.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace tavrel {
namespace {

// Words a statement encodes to; a negative count holds no parameter words.
int64_t Length(const Statement& s) { return s.islabel ? 0 : 1 + std::max<int32_t>(s.DataNum, 0); }

void DescribeAll(std::vector<Statement>& list, const DescribeContext& ctx) {
  for (Statement& s : list) DescribeStatement(s, ctx);
}

}  // namespace

// One pass from the end: `after` is the number of words from the current
// position to the end of the list, and for every label name the number of
// words after its nearest following occurrence. A conditional's distance is
// then the difference of the two, or all the words after it.
void FixJumps(std::vector<Statement>& list) {
  std::unordered_map<std::string_view, int64_t> wordsAfterLabel;
  wordsAfterLabel.reserve(list.size() / 4 + 1);
  int64_t after = 0;  // words of the statements behind the current one
  for (size_t i = list.size(); i-- > 0;) {
    Statement& s = list[i];
    if (s.isGoto > 0) {
      auto found = wordsAfterLabel.find(s.gotoLabel);
      const int64_t distance = found == wordsAfterLabel.end() ? after : after - found->second;
      const int16_t word = static_cast<int16_t>(distance);
      // Offsets outside the parameter words have no jump word to take.
      s.SetWord(s.yesOffset - 1, s.isGoto == 1 ? word : int16_t{0});
      s.SetWord(s.noOffset - 1, s.isGoto == 1 ? int16_t{0} : word);
    }
    if (s.islabel) wordsAfterLabel[s.note] = after;
    after += Length(s);
  }
}

std::vector<int16_t> Encode(const std::vector<Statement>& list) {
  size_t total = 0;
  for (const Statement& s : list) total += static_cast<size_t>(Length(s));
  std::vector<int16_t> words;
  words.reserve(total);
  for (const Statement& s : list) {
    if (s.islabel) continue;
    words.push_back(s.Id);
    for (int32_t i = 0; i < s.DataNum; ++i) words.push_back(s.Word(i));
  }
  return words;
}

DecodeReport Relayout(KdefEvent& event, const AttributeTable& attributes, const DescribeContext& ctx) {
  FixJumps(event.statements);
  const std::vector<int16_t> words = Encode(event.statements);
  event.labelCounter = 0;
  DecodeReport report = DecodeReplacing(words, event.statements, event.labelCounter, attributes);
  DescribeAll(event.statements, ctx);
  return report;
}

void Commit(KdefEvent& event) {
  FixJumps(event.statements);
  event.words = Encode(event.statements);
}

DecodeReport ShowEvent(KdefEvent& event, const AttributeTable& attributes, const DescribeContext& ctx) {
  DecodeReport report = DecodeReplacing(event.words, event.statements, event.labelCounter, attributes);
  DescribeAll(event.statements, ctx);
  return report;
}

}  // namespace tavrel
