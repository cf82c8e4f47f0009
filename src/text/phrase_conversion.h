#pragma once
// Simplified Chinese to traditional a phrase at a time, through OpenCC's
// Taiwan configuration (its phrase dictionary, then its characters, then the
// Taiwan forms, which are the ones BIG5 holds): 头发 gives 頭髮 but 发现
// 發現, 干净 乾淨 but 干什么 幹什麼, 皇后 皇后 but 后来 後來, 公里 公里 but
// 这里 這裡. A character-by-character table cannot tell these apart.
//
// The converter is opened on first use and kept for the run. Without OpenCC's
// data every answer is "no phrase knowledge", and text is written through the
// charset tables alone, as before.
#include <string>
#include <string_view>

namespace tavrel {

// Whether OpenCC's data could be opened.
bool PhraseConversionAvailable();

// The traditional form of every code point of `codePoints` in its phrase;
// empty when the converter is missing or does not give one form per code
// point.
std::u32string TraditionalPhraseForms(std::u32string_view codePoints);

// The traditional form OpenCC gives the character standing alone (outside
// every phrase); the character itself without the converter.
char32_t TraditionalCharacterForm(char32_t character);

}  // namespace tavrel
