#pragma once
// The numbered interface strings, in simplified Chinese as UTF-8. Every caption,
// label, button text and message of the editor is fetched from here by number.
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include <fmt/format.h>

#include "text/ui_string_names.h"

namespace tavrel {

// Between a caption and what follows it in a message ("名称：...").
inline constexpr std::string_view kFullWidthColon = "：";

struct InterfaceString {
  int number;
  std::string_view text;
};

// All strings, ascending by number.
std::span<const InterfaceString> InterfaceStrings();
// The text of string n; empty when no string has that number.
std::string_view InterfaceStringText(int number);
bool HasInterfaceString(int number);
// The position of string n in InterfaceStrings(); -1 when no string has that number.
int InterfaceStringIndex(int number);

// String n with each "{}" in it replaced by the next argument, in simplified
// Chinese as UTF-8. The core builds its messages this way; a window shows them
// through TextCodec::MapInterfaceText so they follow the chosen charset.
template <class... Args>
std::string FormatInterfaceString(int number, Args&&... args) {
  return fmt::format(fmt::runtime(InterfaceStringText(number)), std::forward<Args>(args)...);
}

}  // namespace tavrel
