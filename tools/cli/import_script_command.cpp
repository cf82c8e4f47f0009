// tavrel import-script DIR FOLDER [--overwrite-damaged]: compiles every
// script file of FOLDER and replaces kdef.idx/kdef.grp (the previous files
// kept as .bak) through the save plan: unchanged files are not written, and
// event files read with damage are refused without the flag. With any error
// it prints file:line:column messages and writes nothing.
#include <fmt/format.h>

#include <memory>

#include "app/script_folder.h"
#include "cli/command_registry.h"
#include "cli/command_support.h"
#include "script/event_table.h"

namespace tavrel::cli {
namespace {

int RunImportScript(const CommonOptions& common, const std::string& dir, const std::string& folder,
                    bool overwriteDamaged) {
  EditorState state;
  if (!LoadGame(state, common, dir)) return 1;
  CompiledScripts compiled = ReadScriptFolder(folder, state.attributes);
  if (!compiled.errors.empty()) {
    for (const TextDiagnostic& d : compiled.errors) fmt::print(stderr, "{}\n", d.ToString());
    Complain(state, Str::ImportErrors, compiled.errors.size());
    return 1;
  }
  const ScriptImport report = ApplyScripts(state, std::move(compiled.events));
  Say(state, Str::EventsImported, report.events, report.changed);
  const std::string_view parts[] = {"kdef"};
  return WritePlan(state, PlanSave(state, parts), overwriteDamaged);
}

struct ImportScriptArgs {
  std::string dir;
  std::string folder;
  bool overwriteDamaged = false;
};

const Command<ImportScriptArgs> kCommand{
    "import-script", "Compile a folder of script files into the event files",
    [](CLI::App& sub, ImportScriptArgs& args) {
      sub.add_option("DIR", args.dir, "game directory")->required();
      sub.add_option("FOLDER", args.folder, "folder written by export-script")->required();
      sub.add_flag(kOverwriteDamagedFlag, args.overwriteDamaged, kOverwriteDamagedHelp);
    },
    [](const CommonOptions& common, const ImportScriptArgs& args) {
      return RunImportScript(common, args.dir, args.folder, args.overwriteDamaged);
    }};

}  // namespace
}  // namespace tavrel::cli
