// tavrel import-script DIR FOLDER: compiles every script file of FOLDER and
// replaces kdef.idx/kdef.grp (the previous files kept as .bak). With any
// error it prints file:line:column messages and writes nothing.
#include <fmt/format.h>

#include <memory>

#include "app/script_folder.h"
#include "cli/command_registry.h"
#include "cli/command_support.h"
#include "script/event_table.h"

namespace tavrel::cli {
namespace {

int RunImportScript(const CommonOptions& common, const std::string& dir, const std::string& folder) {
  EditorState state;
  if (!LoadGame(state, common, dir)) return 1;
  CompiledScripts compiled = ReadScriptFolder(folder, state.attributes);
  if (!compiled.errors.empty()) {
    for (const TextDiagnostic& d : compiled.errors) fmt::print(stderr, "{}\n", d.ToString());
    Complain(state, Str::ImportErrors, compiled.errors.size());
    return 1;
  }
  const ScriptImport report = ApplyScripts(state, std::move(compiled.events));
  if (Status written = WriteEvents(dir, state.game.events); !written) {
    ComplainCore(state, written.error());
    return 1;
  }
  Say(state, Str::EventsImported, report.events, report.changed);
  return 0;
}

struct ImportScriptArgs {
  std::string dir;
  std::string folder;
};

const Command<ImportScriptArgs> kCommand{
    "import-script", "Compile a folder of script files into the event files",
    [](CLI::App& sub, ImportScriptArgs& args) {
      sub.add_option("DIR", args.dir, "game directory")->required();
      sub.add_option("FOLDER", args.folder, "folder written by export-script")->required();
    },
    [](const CommonOptions& common, const ImportScriptArgs& args) {
      return RunImportScript(common, args.dir, args.folder);
    }};

}  // namespace
}  // namespace tavrel::cli
