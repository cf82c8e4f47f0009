#include "cli/parse_errors.h"

#include <regex>

namespace tavrel::cli {

InterfaceLanguage LanguageOfArguments(int argc, const char* const* argv) {
  constexpr std::string_view kOption = "--language";
  std::string_view value;
  for (int k = 1; k < argc; ++k) {
    const std::string_view arg = argv[k] ? argv[k] : "";
    if (arg == kOption && k + 1 < argc && argv[k + 1]) value = argv[k + 1];
    if (arg.size() > kOption.size() && arg.substr(0, kOption.size()) == kOption && arg[kOption.size()] == '=')
      value = arg.substr(kOption.size() + 1);
  }
  return ParseInterfaceLanguage(value).value_or(InterfaceLanguage::Chinese);
}

namespace {

bool Match(std::string_view text, const char* pattern, std::smatch& m, std::string& held) {
  held = std::string(text);
  return std::regex_match(held, m, std::regex(pattern));
}

size_t Words(const std::string& text) {
  size_t words = 0;
  bool inWord = false;
  for (char c : text) {
    if (c != ' ' && !inWord) ++words;
    inWord = c != ' ';
  }
  return words;
}

}  // namespace

std::string ParseErrorText(ParseErrorKind kind, std::string_view text) {
  std::smatch m;
  std::string held;
  switch (kind) {
    case ParseErrorKind::Required:
      if (text.substr(0, 12) == "A subcommand" || text.substr(0, 12) == "Requires at ")
        return FormatInterfaceString(Str::CommandRequired);
      if (Match(text, "(.+) is required", m, held)) return FormatInterfaceString(Str::ArgRequired, m.str(1));
      break;
    case ParseErrorKind::Extras:
      if (Match(text, "The following arguments? (?:was|were) not expected: (.*)", m, held))
        return FormatInterfaceString(Str::ArgsNotExpected, Words(m.str(1)), m.str(1));
      break;
    case ParseErrorKind::Validation:
      if (Match(text, "(.+): (.*) not in \\{(.*)\\}", m, held))
        return FormatInterfaceString(Str::ValueNotInSet, m.str(1), m.str(2), m.str(3));
      if (Match(text, "(.+): Value (.*) not in range (.+) to (.+)", m, held))
        return FormatInterfaceString(Str::ValueNotInRange, m.str(1), m.str(2), m.str(3), m.str(4));
      break;
    case ParseErrorKind::Conversion:
      if (Match(text, "Could not convert: (.+) = (.*)", m, held))
        return FormatInterfaceString(Str::ValueNotNumber, m.str(1), m.str(2));
      if (Match(text, "The value (.*) is not an allowed value for (.+)", m, held))
        return FormatInterfaceString(Str::ValueNotNumber, m.str(2), m.str(1));
      break;
    case ParseErrorKind::ArgumentMismatch:
      if (Match(text, "(.+): [0-9]+ required .* missing", m, held))
        return FormatInterfaceString(Str::ValueMissing, m.str(1));
      break;
    case ParseErrorKind::Other:
      break;
  }
  return FormatInterfaceString(Str::CommandLineWrong, text);
}

std::string ParseErrorText(const CLI::ParseError& error) {
  ParseErrorKind kind = ParseErrorKind::Other;
  if (dynamic_cast<const CLI::RequiredError*>(&error))
    kind = ParseErrorKind::Required;
  else if (dynamic_cast<const CLI::ExtrasError*>(&error))
    kind = ParseErrorKind::Extras;
  else if (dynamic_cast<const CLI::ValidationError*>(&error))
    kind = ParseErrorKind::Validation;
  else if (dynamic_cast<const CLI::ConversionError*>(&error))
    kind = ParseErrorKind::Conversion;
  else if (dynamic_cast<const CLI::ArgumentMismatch*>(&error))
    kind = ParseErrorKind::ArgumentMismatch;
  return ParseErrorText(kind, error.what());
}

}  // namespace tavrel::cli
