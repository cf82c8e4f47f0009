// tavrel find DIR (--dialogue N | --person P | ... | --text TEXT | --regex RE)
// [--ignore-case]: every instruction line that refers to the number, or that
// holds the text, as "event:line: text", then the count.
#include <fmt/format.h>

#include <memory>
#include <optional>

#include "app/find.h"
#include "app/scene_objects.h"
#include "cli/command_registry.h"
#include "cli/command_support.h"

namespace tavrel::cli {
namespace {

struct Args {
  std::string dir;
  std::optional<int> numbers[kRefKindCount];
  std::optional<std::string> text;
  std::optional<std::string> regex;
  bool ignoreCase = false;
};

// The option of each reference kind.
constexpr std::pair<RefKind, const char*> kKindOptions[] = {
    {RefKind::Dialogue, "--dialogue"}, {RefKind::Person, "--person"},     {RefKind::Item, "--item"},
    {RefKind::Scene, "--scene"},       {RefKind::Skill, "--skill"},       {RefKind::Battle, "--battle"},
    {RefKind::Event, "--event"},       {RefKind::Portrait, "--portrait"},
};

int RunFind(const CommonOptions& common, const Args& args) {
  FindQuery query;
  int modes = 0;
  for (const auto& [kind, option] : kKindOptions) {
    if (const std::optional<int>& number = args.numbers[static_cast<size_t>(kind)]) {
      query.mode = FindQuery::Mode::Reference;
      query.reference = kind;
      query.number = *number;
      ++modes;
    }
  }
  if (args.text) {
    query.mode = FindQuery::Mode::Text;
    query.text = *args.text;
    ++modes;
  }
  if (args.regex) {
    query.mode = FindQuery::Mode::Regex;
    query.text = *args.regex;
    ++modes;
  }
  if (modes != 1) {
    fmt::print(stderr, "{}\n", FormatInterfaceString(Str::FindNeedsOneMode));
    return 2;
  }
  query.ignoreCase = args.ignoreCase;
  EditorState state;
  if (!LoadGame(state, common, args.dir)) return 1;
  Result<std::vector<FoundLine>> found = FindAll(state, query);
  if (!found) {
    fmt::print(stderr, "{}\n", state.text().MapInterfaceText(found.error()));
    return 2;
  }
  for (const FoundLine& line : *found) {
    if (line.place.kind == PlaceKind::SceneObject)
      SayCore(state, ObjectStartText(ObjectStart{line.place.owner, line.place.index, Trigger(line.trigger)}));
    else
      fmt::print("{}:{}: {}\n", line.place.owner, line.place.index, line.text);
  }
  Say(state, Str::FindResults, found->size());
  return 0;
}

const RegisterCommand kRegister([](CLI::App& app, const CommonOptions& common, int& exitCode) {
  auto args = std::make_shared<Args>();
  CLI::App* sub = app.add_subcommand("find", "Print every instruction line that refers to a number or holds a text");
  sub->add_option("DIR", args->dir, "game directory")->required();
  for (const auto& [kind, option] : kKindOptions)
    sub->add_option(option, args->numbers[static_cast<size_t>(kind)], "lines referring to this number");
  sub->add_option("--text", args->text, "lines holding this text");
  sub->add_option("--regex", args->regex, "lines matching this regular expression (ECMAScript)");
  sub->add_flag("--ignore-case", args->ignoreCase, "Latin letters match in either case");
  sub->callback([&common, &exitCode, args] { exitCode = RunFind(common, *args); });
});

}  // namespace
}  // namespace tavrel::cli
