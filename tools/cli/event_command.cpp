// tavrel event DIR N: the lines of event N as the instruction list shows them.
#include <fmt/format.h>

#include <memory>

#include "cli/command_registry.h"
#include "cli/command_support.h"
#include "script/encode.h"

namespace tavrel::cli {
namespace {

int RunEvent(const CommonOptions& common, const std::string& dir, int number) {
  EditorState state;
  if (!LoadGame(state, common, dir)) return 1;
  if (number < 0 || number >= state.eventCount()) {
    Complain(state, Str::EventNotInGame, number, state.eventCount() - 1);
    return 1;
  }
  KdefEvent& event = state.game.events.events[size_t(number)];
  ShowEvent(event, state.attributes, state.describeContext());
  for (const Statement& s : event.statements) fmt::print("{}\n", s.note);
  return 0;
}

struct EventArgs {
  std::string dir;
  int number = 0;
};

const Command<EventArgs> kCommand{
    "event", "Print the instruction lines of one event",
    [](CLI::App& sub, EventArgs& args) {
      sub.add_option("DIR", args.dir, "game directory")->required();
      sub.add_option("N", args.number, "event number")->required();
    },
    [](const CommonOptions& common, const EventArgs& args) { return RunEvent(common, args.dir, args.number); }};

}  // namespace
}  // namespace tavrel::cli
