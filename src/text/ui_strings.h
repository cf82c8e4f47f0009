#pragma once
// The numbered interface strings, in simplified Chinese and in English, as
// UTF-8. Every caption, label, button text and message of the editor is
// fetched from here by number, in the interface language of the run.
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include <fmt/format.h>

#include "text/ui_string_names.h"

namespace tavrel {

// The language of the interface. It decides only the interface's texts; the
// charset still decides how game text is read and written.
enum class InterfaceLanguage { Chinese, English };

// "zh" or "en"; nothing for any other name.
std::optional<InterfaceLanguage> ParseInterfaceLanguage(std::string_view name);
const char* InterfaceLanguageName(InterfaceLanguage language);

// The language of this run, Chinese until set. Chosen once at start-up (the
// charset window, --language); every later lookup follows it.
InterfaceLanguage CurrentInterfaceLanguage();
void SetInterfaceLanguage(InterfaceLanguage language);
inline bool EnglishInterface() { return CurrentInterfaceLanguage() == InterfaceLanguage::English; }
// Between a caption and what follows it in a message ("名称：...").
inline constexpr std::string_view kFullWidthColon = "：";

struct InterfaceString {
  int number;
  std::string_view text;
};

// All strings, ascending by number: the Chinese table, and the English one
// with the same numbers.
std::span<const InterfaceString> InterfaceStrings();
std::span<const InterfaceString> EnglishInterfaceStrings();
// The text of string n in the run's language; empty when no string has that
// number.
std::string_view InterfaceStringText(int number);
// The text of string n in one language, whatever the run's.
std::string_view InterfaceStringText(int number, InterfaceLanguage language);
std::string_view EnglishInterfaceStringText(int number);
bool HasInterfaceString(int number);
// The position of string n in InterfaceStrings(); -1 when no string has that number.
int InterfaceStringIndex(int number);

// String n with each "{}" in it replaced by the next argument, in the run's
// language (Chinese: simplified) as UTF-8. The core builds its messages this
// way; a window shows them through TextCodec::MapInterfaceText so that a
// Chinese run follows the chosen charset.
template <class... Args>
std::string FormatInterfaceString(int number, Args&&... args) {
  return fmt::format(fmt::runtime(InterfaceStringText(number)), std::forward<Args>(args)...);
}

}  // namespace tavrel
