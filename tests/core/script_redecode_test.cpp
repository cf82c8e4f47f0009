// Decoding an event again over its previous statements must give exactly what
// a decoding into an empty list gives: nothing of the old statements (their
// texts, jump labels, words) may survive into the new ones.
#include <gtest/gtest.h>

#include "sample_test_support.h"
#include "script/encode.h"

namespace tavrel::testing {
namespace {

void ExpectSameStatements(const std::vector<Statement>& got, const std::vector<Statement>& want, size_t event) {
  ASSERT_EQ(got.size(), want.size()) << "event " << event;
  for (size_t i = 0; i < got.size(); ++i) {
    SCOPED_TRACE(::testing::Message() << "event " << event << " statement " << i);
    EXPECT_EQ(got[i].note, want[i].note);
    EXPECT_EQ(got[i].Id, want[i].Id);
    EXPECT_EQ(got[i].islabel, want[i].islabel);
    EXPECT_EQ(got[i].isGoto, want[i].isGoto);
    EXPECT_EQ(got[i].gotoLabel, want[i].gotoLabel);
    EXPECT_EQ(got[i].DataNum, want[i].DataNum);
    EXPECT_EQ(got[i].data, want[i].data);
  }
}

TEST(Redecode, ShowingAnEventAgainMatchesAFreshDecodingWithTheSameCounter) {
  SampleGameDir dir;
  EditorState state;
  ReadSampleGame(state, GameCharset::Gbk, dir.path());
  const DescribeContext ctx = state.describeContext();
  auto& events = state.game.events.events;
  // Every event shown once, then each shown again over another event's
  // statements (longer and shorter lists, other labels), twice.
  for (KdefEvent& e : events) ShowEvent(e, state.attributes, ctx);
  for (int round = 0; round < 2; ++round) {
    for (size_t k = 0; k < events.size(); ++k) {
      KdefEvent& e = events[k];
      e.statements = events[(k * 7 + 3) % events.size()].statements;
      KdefEvent fresh;
      fresh.words = e.words;
      fresh.labelCounter = e.labelCounter;
      ShowEvent(e, state.attributes, ctx);
      ShowEvent(fresh, state.attributes, ctx);
      ExpectSameStatements(e.statements, fresh.statements, k);
      EXPECT_EQ(e.labelCounter, fresh.labelCounter);
      if (::testing::Test::HasFailure()) return;
    }
  }
}

}  // namespace
}  // namespace tavrel::testing
