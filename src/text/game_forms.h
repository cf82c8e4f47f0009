#pragma once
// Characters the game's own text writes in a form other than the standard
// traditional one. The game writes 麼 as 么 (BIG5 A4 5C): 怎么, 什么, 这么.
// In its text 么 is that 麼, not the 幺 ("the smallest") the Taiwan forms
// read it as. So the charset tables show the game's 么 as the simplified form
// of 麼 (么), and text written in a "GBK" run gives 麼 the game's form.
// mkmbdat (the charset tables) and TextCodec (phrase conversion) read this
// one table.

namespace tavrel {

struct GameForm {
  char32_t standard;  // the traditional character as the converters give it
  char32_t game;      // how the game's text writes it
};

inline constexpr GameForm kGameForms[] = {
    {U'\u9EBC', U'\u4E48'},  // 麼 written 么
};

// The game's form of a traditional character (itself when it has none).
constexpr char32_t GameFormOf(char32_t standard) {
  for (const GameForm& f : kGameForms)
    if (f.standard == standard) return f.game;
  return standard;
}

// The standard character a form of the game's text stands for (itself when
// it is no form of the game's).
constexpr char32_t StandardFormOf(char32_t game) {
  for (const GameForm& f : kGameForms)
    if (f.game == game) return f.standard;
  return game;
}

}  // namespace tavrel
