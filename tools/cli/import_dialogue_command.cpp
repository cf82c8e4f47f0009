// tavrel import-dialogue DIR FILE [--lossy]: reads a dialogue text file and
// replaces talk.idx/talk.grp (the previous files kept as .bak). Characters
// the charset cannot hold are errors, or with --lossy warnings (they are
// stored as "?"). With any error nothing is written.
#include <fmt/format.h>

#include <memory>

#include "app/dialogue_text.h"
#include "cli/command_registry.h"
#include "cli/command_support.h"

namespace tavrel::cli {
namespace {

int RunImportDialogue(const CommonOptions& common, const std::string& dir, const std::string& file, bool lossy) {
  EditorState state;
  if (!LoadGame(state, common, dir)) return 1;
  Result<Bytes> bytes = ReadWholeFile(file);
  if (!bytes) {
    ComplainCore(state, bytes.error());
    return 1;
  }
  const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
  CompiledDialogue compiled = CompileDialogueText(text, file, state.game.talk, state.text(), lossy);
  if (!compiled.errors.empty()) {
    for (const TextDiagnostic& d : compiled.errors) fmt::print(stderr, "{}\n", d.ToString());
    fmt::print(stderr, "{}{}\n", ToolText(state, Str::ImportErrors, compiled.errors.size()),
               lossy ? std::string() : ToolText(state, Str::ImportLossyHint));
    return 1;
  }
  for (const TextDiagnostic& d : compiled.lossy)
    Complain(state, Str::ToolWarning, fmt::format("{}:{}:{}", d.file, d.line, d.column), d.message);
  const DialogueImport report = ApplyDialogue(state, std::move(compiled));
  if (Status written = SaveTalk(dir, state.game.talk, state.text()); !written) {
    ComplainCore(state, written.error());
    return 1;
  }
  Say(state, Str::DialoguesImported, report.entries, report.changed);
  return 0;
}

struct ImportDialogueArgs {
  std::string dir;
  std::string file;
  bool lossy = false;
};

const Command<ImportDialogueArgs> kCommand{
    "import-dialogue", "Read a dialogue text file into the dialogue files",
    [](CLI::App& sub, ImportDialogueArgs& args) {
      sub.add_option("DIR", args.dir, "game directory")->required();
      sub.add_option("FILE", args.file, "file written by export-dialogue")->required();
      sub.add_flag("--lossy", args.lossy, "store characters the charset cannot hold as '?'");
    },
    [](const CommonOptions& common, const ImportDialogueArgs& args) {
      return RunImportDialogue(common, args.dir, args.file, args.lossy);
    }};

}  // namespace
}  // namespace tavrel::cli
