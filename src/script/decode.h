#pragma once
// Decoding: an event's words into statements, conditional jumps into labels.
#include <cstdint>
#include <span>
#include <vector>

#include "script/attributes.h"
#include "script/event.h"

namespace tavrel {

struct DecodeReport {
  int32_t unknownWords = 0;  // words that became one-word unknown statements
};

// Decodes words [start, end) and appends to `list`, advancing `labelCounter`.
// Same statement order and label numbers as the game's recursive definition,
// run on an explicit stack, so its depth does not grow with the event.
DecodeReport DecodeRange(std::span<const int16_t> words, int32_t start, int32_t end, std::vector<Statement>& list,
                         int32_t& labelCounter, const AttributeTable& attributes);

// What a list being decoded over holds: statements of any other words, or
// an earlier decoding of the same event, whose fields mostly stay as they
// are; for those, values are compared before being stored, so unchanged
// statements are read and not written.
enum class ListHolds { AnyStatements, SameEvent };

// Decodes all of `words` into `list` in place of what it held: the old
// statements are written over in order, so their buffers serve again and
// decoding an event anew allocates nothing per statement. An instruction
// written over an old statement keeps that statement's note until it is
// described (labels get their names).
DecodeReport DecodeReplacing(std::span<const int16_t> words, std::vector<Statement>& list, int32_t& labelCounter,
                             const AttributeTable& attributes, ListHolds holds = ListHolds::AnyStatements);

}  // namespace tavrel
