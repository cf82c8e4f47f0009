#pragma once
// Statement lists back into words: fix jumps, encode, re-layout, commit.
#include <cstdint>
#include <span>
#include <vector>

#include "script/decode.h"
#include "script/describe.h"

namespace tavrel {

// Rewrites both jump words of every conditional with isGoto 1 or 2 from the
// position of its label (the first following label of its name, else the end
// of the list). Linear in the list's length.
void FixJumps(std::vector<Statement>& list);

// Id and data of every non-label statement, in order.
std::vector<int16_t> Encode(const std::vector<Statement>& list);

// Fix jumps, encode into temporary words, decode them again with the label
// counter reset to 0, describe every statement. The event's words stay.
DecodeReport Relayout(KdefEvent& event, const AttributeTable& attributes, const DescribeContext& ctx);

// Fix jumps and store the encoded list as the event's words; returns
// whether the words changed.
bool Commit(KdefEvent& event);

// Whether the list, encoded as it stands (its jump words as they are, not
// fixed), gives exactly `words`: true for a list as decoded from them, false
// once an edit changed, removed or added a word. Linear, allocates nothing.
bool EncodesTo(const std::vector<Statement>& list, std::span<const int16_t> words);

// Empties the statement list, decodes all words with the event's label
// counter (not reset) and describes every statement.
DecodeReport ShowEvent(KdefEvent& event, const AttributeTable& attributes, const DescribeContext& ctx);

}  // namespace tavrel
