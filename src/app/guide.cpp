#include "app/guide.h"

#include "script/describe.h"
#include "text/ui_string_names.h"

namespace tavrel {

Guide GuideFor(int16_t opcode) {
  const InstructionKind& kind = KindOf(opcode);
  return Guide{kind.guide, kind.form};
}

std::string GuideMessage(const EditorState& state, int16_t opcode, GuideKind kind) {
  if (kind == GuideKind::Dialog) return {};
  const TextCodec& text = state.text();
  return text.UiString(Str::InstructionWord) + OpcodeCaption(opcode) +
         text.UiString(kind == GuideKind::TooSimple ? 140 : 141);
}

}  // namespace tavrel
