#pragma once
// An EditorState filled by hand for the command tests: GBK interface texts
// from the string table, the attribute table beside the test binary, and
// events made of the words each test spells out.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/editor_state.h"
#include "script/attributes.h"

namespace tavrel::test {

class CommandsFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    state.codec = std::make_shared<TextCodec>(GameCharset::Gbk, std::make_shared<CharsetTables>());
    Result<AttributeTable> attributes = LoadAttributeTable(TAVREL_BIN_DIR, *state.codec);
    ASSERT_TRUE(attributes) << attributes.error();
    state.attributes = *attributes;
    state.game.events.offsets = {0};
    state.game.talk.offsets = {0};
    state.loaded = true;
  }

  // Appends an event of these words, keeping the offset list whole; returns its number.
  int32_t AddWords(std::vector<int16_t> words) {
    EventTable& table = state.game.events;
    const int32_t end = table.offsets.back() + static_cast<int32_t>(words.size());
    KdefEvent event;
    event.words = std::move(words);
    table.events.push_back(std::move(event));
    table.offsets.push_back(end);
    return static_cast<int32_t>(table.events.size()) - 1;
  }

  // An event of these words, shown as choosing it in the selector does.
  int32_t Shown(std::vector<int16_t> words) {
    const int32_t event = AddWords(std::move(words));
    ShowEventLines(state, event);
    return event;
  }

  void AddTalk(const std::string& text) {
    state.game.talk.entries.push_back(NewTalkEntry(text));
    state.game.talk.offsets.push_back(state.game.talk.offsets.back() + static_cast<int32_t>(text.size()) + 1);
  }

  KdefEvent& Event(int32_t event) { return state.game.events.events.at(static_cast<size_t>(event)); }
  std::vector<Statement>& Statements(int32_t event) { return Event(event).statements; }
  std::string Ui(int number) const { return state.text().UiString(number); }
  const InstructionAttr& Attr(int opcode) const { return state.attributes.at(static_cast<size_t>(opcode)); }

  EditorState state;
};

// The outline of a list: every label by its name, every instruction by its opcode.
inline std::vector<std::string> Shape(const std::vector<Statement>& list) {
  std::vector<std::string> shape;
  for (const Statement& s : list) shape.push_back(s.islabel ? s.note : std::to_string(s.Id));
  return shape;
}

}  // namespace tavrel::test
