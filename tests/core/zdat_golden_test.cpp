// Every byte the patcher writes, against tests/data/zdat_writes.txt: a list of
// offsets and bytes written down from the description of z.dat, not from the
// patcher's own table, so a slip in either shows up as a difference.
#include <gtest/gtest.h>

#include <fmt/format.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/zdat_patch.h"

namespace tavrel::testing {
namespace {

using namespace tavrel::zdat;
using ByteMap = std::map<uint32_t, uint8_t>;

struct GoldenCase {
  std::string name;
  ByteMap bytes;
};

// The bytes of one line's right-hand side for entry `entry`.
std::vector<uint8_t> LineBytes(const std::string& spec, int entry) {
  std::vector<uint8_t> out;
  std::istringstream in(spec);
  std::string token;
  while (in >> token) {
    if (token.front() == '"') {
      std::string text = token.substr(1, token.size() - 2);
      if (auto at = text.find("###"); at != std::string::npos) text.replace(at, 3, fmt::format("{:03}", entry));
      out.insert(out.end(), text.begin(), text.end());
    } else if (auto star = token.find('*'); star != std::string::npos) {
      out.insert(out.end(), std::stoul(token.substr(star + 1)),
                 uint8_t(std::stoul(token.substr(0, star), nullptr, 16)));
    } else {
      out.push_back(uint8_t(std::stoul(token, nullptr, 16)));
    }
  }
  return out;
}

std::vector<GoldenCase> ReadGolden() {
  std::ifstream file(TAVREL_TEST_DATA_DIR "/zdat_writes.txt");
  EXPECT_TRUE(file) << "tests/data/zdat_writes.txt";
  std::vector<GoldenCase> cases;
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (line.rfind("== ", 0) == 0) {
      cases.push_back({line.substr(3), {}});
      continue;
    }
    const size_t colon = line.find(':');
    if (cases.empty() || colon == std::string::npos) {
      ADD_FAILURE() << "bad golden line: " << line;
      continue;
    }
    std::istringstream left(line.substr(0, colon));
    std::vector<uint32_t> offsets;
    uint32_t stride = 0, count = 1;
    std::string word;
    while (left >> word) {
      if (word == "every") {
        left >> stride >> word;  // "x100"
        count = uint32_t(std::stoul(word.substr(1)));
      } else {
        offsets.push_back(uint32_t(std::stoul(word)));
      }
    }
    for (uint32_t first : offsets)
      for (uint32_t k = 0; k < count; ++k) {
        const std::vector<uint8_t> bytes = LineBytes(line.substr(colon + 1), int(k));
        for (size_t i = 0; i < bytes.size(); ++i) {
          const uint32_t at = first + k * stride + uint32_t(i);
          EXPECT_FALSE(cases.back().bytes.count(at)) << cases.back().name << ": offset " << at << " twice";
          cases.back().bytes[at] = bytes[i];
        }
      }
  }
  return cases;
}

size_t LimitRow(std::string_view checkBox, bool* word) {
  for (size_t k = 0; k < kWordLimits.size(); ++k)
    if (kWordLimits[k].checkBox == checkBox) return *word = true, k;
  for (size_t k = 0; k < kByteLimits.size(); ++k)
    if (kByteLimits[k].checkBox == checkBox) return *word = false, k;
  ADD_FAILURE() << "no limit row " << checkBox;
  return 0;
}

// The choices each case names: exactly one group checked.
ZdatChoices ChoicesFor(const std::string& name) {
  std::istringstream in(name);
  std::vector<std::string> w;
  for (std::string s; in >> s;) w.push_back(s);
  ZdatChoices c;
  if (w[0] == "water") {
    c.water = true;
    c.walkOnWater = w[1] == "walk";
  } else if (w[0] == "memory") {
    c.memory = true;
    c.totalMemory = w[1], c.memory1 = w[2], c.memory2 = w[3];
  } else if (w[0] == "scene") {
    c.scenePictures = true;
    c.sdx = w[2], c.smp = w[3];
  } else if (w[0] == "battle") {
    c.battlePictures = true;
    c.wdx = w[2], c.wmp = w[3];
  } else if (w[0] == "fight") {
    c.fight = true;
  } else if (w[0] == "roster") {
    c.roster = true;
    c.rosterSlots[0] = uint8_t(std::stoi(w[1]));
    c.rosterSlots[1] = uint8_t(std::stoi(w[2]));
    c.leaveEvent = w[4];
  } else if (w[0] == "word" || w[0] == "byte") {
    bool word = false;
    const size_t row = LimitRow(w[1], &word);
    EXPECT_EQ(word, w[0] == "word") << name;
    if (word) c.wordLimits[row] = {true, w[2], false};
    // A cancelled limit writes only its branches, whatever the value field holds.
    else
      c.byteLimits[row] = w[2] == "cancel" ? LimitChoice{true, "not a number", true} : LimitChoice{true, w[2], false};
  } else {
    ADD_FAILURE() << "unknown case " << name;
  }
  return c;
}

TEST(ZdatGolden, EveryGroupWritesExactlyTheDescribedBytes) {
  const std::vector<GoldenCase> cases = ReadGolden();
  ASSERT_EQ(cases.size(), 37u);  // 2 water, memory, 2 name groups, fight, roster, 2 word limits, 14 × 2 byte limits
  for (const GoldenCase& g : cases) {
    SCOPED_TRACE(g.name);
    const PatchPlan plan = PlanPatch(ChoicesFor(g.name), 400000);
    EXPECT_TRUE(plan.refusals.empty());
    ByteMap written;
    for (const ByteWrite& w : plan.writes)
      for (size_t i = 0; i < w.bytes.size(); ++i) written[w.offset + uint32_t(i)] = w.bytes[i];
    EXPECT_EQ(written, g.bytes);
  }
}

TEST(ZdatGolden, TheFileMustHoldEveryDescribedSite) {
  // The highest byte written above is the poisoned attack limit's value at
  // 219902 for the limits, and fight index entry 219 ends at 327162 + 2200.
  EXPECT_EQ(HighestSiteEnd(), 327162u + 220u * 10u);
  const PatchPlan shortFile = PlanPatch(ChoicesFor("fight"), 327162 + 2199);
  EXPECT_TRUE(shortFile.writes.empty());
  EXPECT_EQ(shortFile.refusals.size(), 1u);
}

}  // namespace
}  // namespace tavrel::testing
