#pragma once
// One event script: its words as stored in kdef.grp, and its statement list
// once decoded.
#include <cstdint>
#include <vector>

#include "gamefiles/event_words.h"
#include "script/statement.h"

namespace tavrel {

struct KdefEvent {
  EventWords words;
  std::vector<Statement> statements;  // empty until the event is first shown
  int32_t labelCounter = 0;           // number of the next jump label

  int32_t wordCount() const { return static_cast<int32_t>(words.size()); }
};

}  // namespace tavrel
