#pragma once
// The numbered interface strings, in simplified Chinese and in English, as
// UTF-8. Every caption, label, button text and message of the editor is
// fetched from here by number, in the interface language of the run.
#include <array>
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

// `text` with each "{}" replaced by the next of `args`, and each group
// "[one|other]" by the form that agrees with a number: the argument put in
// last before the group (the first argument when none was yet). The first
// form is taken when that argument reads "1", the second otherwise; so an
// English text writes "{} [error|errors]" and a count reads "1 error",
// "2 errors". Only a group of two forms without brackets or braces inside
// is one; any other "[" is kept as it is.
std::string FillInterfaceText(std::string_view text, std::span<const std::string> args);

template <class... Args>
std::string FormatText(std::string_view text, const Args&... args) {
  const std::array<std::string, sizeof...(Args)> texts{fmt::format("{}", args)...};
  return FillInterfaceText(text, texts);
}

// String n with its arguments filled in (FillInterfaceText), in the run's
// language (Chinese: simplified) as UTF-8. The core builds its messages this
// way; a window shows them through TextCodec::MapInterfaceText so that a
// Chinese run follows the chosen charset.
template <class... Args>
std::string FormatInterfaceString(int number, const Args&... args) {
  return FormatText(InterfaceStringText(number), args...);
}

}  // namespace tavrel
