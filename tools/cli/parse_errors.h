#pragma once
// A wrong command line in the run's interface language: CLI11 says what is
// wrong in English sentences of a few fixed shapes; each shape the tool
// meets is told again from the interface strings with the names and values
// taken from it. A shape not known is shown as it is after a translated lead.
#include <CLI/CLI.hpp>
#include <string>
#include <string_view>

#include "text/ui_strings.h"

namespace tavrel::cli {

// The language --language asks for ("--language en" or "--language=en"),
// looked for before the parse; Chinese when it is missing or not understood.
InterfaceLanguage LanguageOfArguments(int argc, const char* const* argv);

// What a parse error says, in the run's language.
std::string ParseErrorText(const CLI::ParseError& error);
// The same from the error's kind and English text (what the tests drive).
enum class ParseErrorKind { Required, Extras, Validation, Conversion, ArgumentMismatch, Other };
std::string ParseErrorText(ParseErrorKind kind, std::string_view text);

}  // namespace tavrel::cli
