#pragma once
// Which guide the instruction-editing button opens for each opcode: a
// message for the simple kinds, or the form name of the instruction's dialog.
#include <cstdint>
#include <string>
#include <string_view>

#include "app/editor_state.h"
#include "script/instruction_kinds.h"

namespace tavrel {

// GuideKind (script/instruction_kinds.h): TooSimple is message S139 +
// caption + S140, NoGuide S139 + caption + S141, Dialog the dialog `form`.

struct Guide {
  GuideKind kind = GuideKind::NoGuide;
  std::string_view form;  // e.g. "frmStatement_0x01"; empty for messages
};

Guide GuideFor(int16_t opcode);
// The message of a TooSimple or NoGuide guide: S139, "op(HEX)", then S140 or S141.
std::string GuideMessage(const EditorState& state, int16_t opcode, GuideKind kind);

}  // namespace tavrel
