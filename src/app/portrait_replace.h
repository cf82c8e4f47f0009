#pragma once
// Replacing one speaker portrait by another in every dialogue instruction of
// the game. A dialogue instruction (opcode 1) names the speaker's portrait in
// its parameter word 1; the replacement decodes every event, changes that
// word where it holds the old portrait, lays the event out again and commits
// it into its words.
#include <cstdint>
#include <string>
#include <vector>

#include "app/editor_state.h"
#include "script/decode.h"

namespace tavrel {

inline constexpr int16_t kDialogueOpcode = 1;
inline constexpr int kPortraitWord = 1;  // parameter word of the portrait number

// The items of both portrait lists: "0" .. portrait count - 1.
std::vector<std::string> PortraitChoices(const EditorState& state);

// The persons wearing portrait `portrait`, one line each: the person number
// followed at once by the name. Empty for a portrait no one wears or one
// outside the portrait set.
std::vector<std::string> PortraitUserLines(const EditorState& state, int32_t portrait);

// The dialogue instructions showing `portrait` in the committed words of
// every event (the search of app/find.h).
struct PortraitCount {
  int32_t dialogues = 0;
};
PortraitCount CountPortraitUses(const EditorState& state, int32_t portrait);

// The question before replacing: string 10033, the count, string 10034.
std::string PortraitReplaceQuestion(const EditorState& state, int32_t count);

// After the user answered Yes: decodes every event again, sets the portrait
// word of every dialogue instruction showing `from` to `to`, then re-lays out
// and commits every event, changed or not. Returns the number of
// instructions changed.
struct PortraitReplacement {
  int32_t replaced = 0;
  DecodeReport report;
};
PortraitReplacement ReplacePortrait(EditorState& state, int32_t from, int32_t to);

}  // namespace tavrel
