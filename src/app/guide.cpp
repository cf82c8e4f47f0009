#include "app/guide.h"

#include <algorithm>
#include <iterator>

#include "script/describe.h"
#include "text/ui_string_names.h"

namespace tavrel {
namespace {

struct GuideRow {
  int16_t opcode;
  GuideKind kind;
  std::string_view form;
};

constexpr GuideKind kSimple = GuideKind::TooSimple;
constexpr GuideKind kDialog = GuideKind::Dialog;

// Every opcode not listed has no guide. The form names are those of the
// instruction dialogs, spelt as the dialogs are registered.
constexpr GuideRow kGuides[] = {
    {-1, kSimple, {}},
    {0, kSimple, {}},
    {1, kDialog, "frmStatement_0x01"},
    {2, kDialog, "frmstatement_0x02"},
    {3, kDialog, "frmstatement_0x03"},
    {4, kDialog, "frmStatement_0x04"},
    {5, kSimple, {}},
    {6, kDialog, "frmStatement_0x06"},
    {7, kSimple, {}},
    {8, kSimple, {}},
    {9, kSimple, {}},
    {10, kDialog, "frmStatement_0x0a"},
    {11, kSimple, {}},
    {12, kSimple, {}},
    {13, kSimple, {}},
    {14, kSimple, {}},
    {16, kDialog, "frmStatement_0x10"},
    {17, kDialog, "frmStatement_0x11"},
    {18, kDialog, "frmStatement_0x12"},
    {19, kDialog, "frmStatement_0x13"},
    {20, kSimple, {}},
    {21, kDialog, "frmStatement_0x15"},
    {22, kSimple, {}},
    {23, kDialog, "frmStatement_0x17"},
    {25, kDialog, "frmstatement_0x19"},
    {26, kDialog, "frmStatement_0x1a"},
    {27, kDialog, "frmStatement_0x1B"},
    {28, kDialog, "frmStatement_0x1c"},
    {29, kDialog, "frmStatement_0x1d"},
    {30, kDialog, "frmStatement_0x1e"},
    {31, kDialog, "frmStatement_0x1f"},
    {32, kDialog, "frmstatement_0x20"},
    {33, kDialog, "frmStatement_0x21"},
    {34, kDialog, "frmStatement_0x22"},
    {35, kDialog, "frmStatement_0x23"},
    {37, kDialog, "frmStatement_0x25"},
    {38, kDialog, "frmStatement_0x26"},
    {39, kDialog, "frmStatement_0x27"},
    {40, kDialog, "frmStatement_0x28"},
    {41, kDialog, "frmStatement_0x29"},
    {43, kDialog, "frmStatement_0x12"},  // shares the dialog of 18
    {44, kDialog, "frmStatement_0x2c"},
    {45, kDialog, "frmStatement_0x2d"},
    {46, kDialog, "frmStatement_0x2e"},
    {47, kDialog, "frmStatement_0x2f"},
    {48, kDialog, "frmStatement_0x30"},
    {49, kDialog, "frmStatement_0x31"},
    {56, kDialog, "FrmStatement_0x38"},
    {57, kSimple, {}},
    {60, kDialog, "frmStatement_0x3c"},
    {63, kDialog, "frmstatement_0x3f"},
};

constexpr bool Ascending() {
  for (size_t i = 1; i < std::size(kGuides); ++i)
    if (kGuides[i - 1].opcode >= kGuides[i].opcode) return false;
  return true;
}
static_assert(Ascending(), "guide rows must be sorted by opcode");

}  // namespace

Guide GuideFor(int16_t opcode) {
  const auto* row = std::lower_bound(std::begin(kGuides), std::end(kGuides), opcode,
                                     [](const GuideRow& r, int16_t op) { return r.opcode < op; });
  if (row == std::end(kGuides) || row->opcode != opcode) return Guide{};
  return Guide{row->kind, row->form};
}

std::string GuideMessage(const EditorState& state, int16_t opcode, GuideKind kind) {
  if (kind == GuideKind::Dialog) return {};
  const TextCodec& text = state.text();
  return text.UiString(Str::InstructionWord) + OpcodeCaption(opcode) + text.UiString(kind == GuideKind::TooSimple ? 140 : 141);
}

}  // namespace tavrel
