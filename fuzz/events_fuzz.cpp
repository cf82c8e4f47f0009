// Arbitrary event words through the editor: decode and describe, then a run
// of random edits with the editing commands, re-layout, fix jumps and commit.
// Committing the list of an unedited event gives back its words whenever the
// words decode to a list that covers each of them once, in order, with every
// jump landing inside the event.
#include <fuzzer/FuzzedDataProvider.h>

#include "app/commands.h"
#include "app/editor_state.h"
#include "fuzz_support.h"
#include "script/encode.h"

using namespace tavrel;

namespace {

EditorState& State() {
  static EditorState state = [] {
    EditorState s;
    s.charset = GameCharset::Big5;
    s.codec = std::make_shared<TextCodec>(GameCharset::Big5, s.charsetTables);
    s.attributes = fuzz::Attributes();
    s.game.names = fuzz::SampleNamesAndTalk().names;
    s.game.talk = fuzz::SampleNamesAndTalk().talk;
    s.loaded = true;
    return s;
  }();
  return state;
}

// The decoded list without fixing jumps covers the words exactly, and every
// conditional's block ends inside the event.
bool WellFormed(const std::vector<Statement>& list, const std::vector<int16_t>& words) {
  if (Encode(list) != words) return false;
  int64_t at = 0;
  for (const Statement& s : list) {
    if (s.islabel) continue;
    const int64_t next = at + 1 + std::max<int32_t>(s.DataNum, 0);
    if (s.isGoto > 0 && next + s.GotoAddress > int64_t(words.size())) return false;
    at = next;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto parts = fuzz::UnpackParts(data, size, 2);
  EditorState& state = State();
  std::vector<int16_t> words;
  for (size_t i = 0; i + 1 < parts[0].size(); i += 2)
    words.push_back(int16_t(uint16_t(parts[0][i]) | uint16_t(parts[0][i + 1]) << 8));
  KdefEvent event;
  event.words = std::move(words);
  const DescribeContext ctx = state.describeContext();

  // Unedited: decode, describe, commit.
  KdefEvent shown = event;
  ShowEvent(shown, state.attributes, ctx);
  if (WellFormed(shown.statements, event.words)) {
    KdefEvent committed = shown;
    Commit(committed);
    FUZZ_CHECK(committed.words == event.words);
  }

  // Edited through the commands of the main window.
  state.game.events.events.assign(1, event);
  state.game.events.offsets = {0, event.wordCount()};
  state.hasInstructionClip = false;
  state.instructionClipboard.clear();
  ShowEventLines(state, 0);
  FuzzedDataProvider edits(parts[1].data(), parts[1].size());
  for (int step = 0; step < 24 && edits.remaining_bytes() > 0; ++step) {
    KdefEvent& e = state.game.events.events[0];
    const int lines = static_cast<int>(e.statements.size());
    const int line = edits.ConsumeIntegralInRange<int>(-1, lines);
    switch (edits.ConsumeIntegralInRange<int>(0, 8)) {
      case 0:
        InsertInstruction(state, 0, line, edits.ConsumeIntegralInRange<int>(0, kInsertEndEntry), edits.ConsumeBool());
        CommitEvent(state, 0);
        break;
      case 1:
        if (DeleteQuestion(state, 0, line, nullptr)) DeleteInstruction(state, 0, line);
        break;
      case 2: {
        const int selected[] = {line, edits.ConsumeIntegralInRange<int>(-1, lines)};
        CopyInstructions(state, 0, selected);
        break;
      }
      case 3:
        PasteInstructions(state, 0, line);
        break;
      case 4: {
        std::vector<std::string> words;
        const int n = edits.ConsumeIntegralInRange<int>(0, 12);
        for (int k = 0; k < n; ++k) words.push_back(edits.ConsumeRandomLengthString(8));
        (void)ModifyInstruction(state, 0, line, words);
        break;
      }
      case 5:
        if (Statement* s = StatementAt(state, 0, line)) s->SetDataNum(edits.ConsumeIntegralInRange<int>(-2, 20));
        break;
      case 6:
        if (Statement* s = StatementAt(state, 0, line)) {
          s->isGoto = edits.ConsumeIntegralInRange<int>(0, 2);
          s->yesOffset = edits.ConsumeIntegral<int16_t>();
          s->noOffset = edits.ConsumeIntegral<int16_t>();
          s->gotoLabel = ":Label" + std::to_string(edits.ConsumeIntegralInRange<int>(0, 8));
        }
        break;
      case 7:
        Relayout(e, state.attributes, ctx);
        break;
      case 8:
        CopyWholeEvent(state, 0);
        PasteWholeEvent(state, 0);
        break;
    }
  }
  CommitEvent(state, 0);
  // The committed words decode again.
  ShowEventLines(state, 0);
  return 0;
}
