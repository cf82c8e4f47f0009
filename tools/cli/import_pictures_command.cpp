// tavrel import-pictures DIR SET FOLDER [--reencode-all] [--overwrite-damaged]:
// the pictures of FOLDER/pictures.txt back into the set. Everything is
// checked before the pair is replaced; unchanged pictures keep their bytes,
// a folder in which nothing
// changed writes nothing, and a set whose index disagrees with its
// data is refused without the flag.
#include <fmt/format.h>

#include <memory>

#include "app/picture_sets.h"
#include "cli/command_support.h"
#include "gamefiles/picture_encode.h"
#include "gamefiles/pictures.h"
#include "text/ui_strings.h"

namespace tavrel::cli {
namespace {

struct ImportArgs {
  std::string dir;
  std::vector<std::string> set;
  std::string folder;
  bool reencodeAll = false;
  bool overwriteDamaged = false;
};

int RunImportPictures(const CommonOptions& common, const ImportArgs& args) {
  EditorState state;
  if (!StartEditor(state, common)) return 1;
  if (!OpenGameDirectory(state, args.dir)) return 1;
  const TextCodec& text = state.text();
  auto fail = [&](const std::string& message) {
    fmt::print(stderr, "{}\n", text.MapInterfaceText(message));
    return 1;
  };
  size_t used = 0;
  Result<PictureSetChoice> choice = ParsePictureSetChoice(args.set, used);
  if (!choice) return fail(choice.error());
  if (used != args.set.size()) return fail(FormatInterfaceString(Str::PictureSetUnknown, args.set[used]));
  Result<PictureSetPaths> paths = FindPictureSetFiles(args.dir, *choice);
  if (!paths) return fail(paths.error());
  Result<Palette> palette = LoadPalette(args.dir);
  if (!palette) return fail(palette.error());
  Result<Bytes> idx = ReadWholeFile(paths->index);
  if (!idx) return fail(idx.error());
  Result<Bytes> grp = ReadWholeFile(paths->data);
  if (!grp) return fail(grp.error());
  std::vector<FileWarning> damage;
  if (auto damaged = CheckPictureIndex(*idx, grp->size(), paths->index.string(), paths->data.string()))
    damage.push_back(std::move(*damaged));
  const PictureSet current = ParsePictureSet(*idx, *grp, *palette);
  Result<PictureImport> plan = PlanPictureImport(current, *palette, args.folder, args.reencodeAll);
  if (!plan) return fail(plan.error());
  // Nothing changed: the files stay as they are, not even rewritten.
  if (plan->encoded == 0 && plan->set.size() == current.size()) {
    fmt::print("{}\n", text.MapInterfaceText(FormatInterfaceString(
                           Str::PicturesUnchanged, paths->index.filename().string(), paths->data.filename().string())));
    return 0;
  }
  std::vector<FileWrite> files(2);
  files[0].path = paths->index;
  files[1].path = paths->data;
  EncodePictureSet(plan->set, files[0].bytes, files[1].bytes);
  const int written =
      WritePlan(state, PlanFiles(paths->index.filename().string(), std::move(files), damage), args.overwriteDamaged);
  if (written != 0) return written;
  fmt::print("{}\n", text.MapInterfaceText(FormatInterfaceString(
                         Str::PicturesImported, paths->index.filename().string(), paths->data.filename().string(),
                         plan->kept, plan->encoded, plan->added, plan->mappedPixels)));
  return 0;
}

const RegisterCommand kRegister([](CLI::App& app, const CommonOptions& common, int& exitCode) {
  auto args = std::make_shared<ImportArgs>();
  CLI::App* sub = app.add_subcommand(
      "import-pictures",
      "Read FOLDER/pictures.txt and its PNGs back into a set: unchanged pictures keep their bytes, changed and "
      "new ones are encoded, and the pair is replaced atomically keeping NAME.bak; when nothing changed nothing "
      "is written (SET: portraits | scene K | battle M | pair NAME)");
  auto words = std::make_shared<std::vector<std::string>>();
  // DIR, the one or two words of SET, FOLDER.
  sub->add_option("DIR SET FOLDER", *words, "game directory, picture set, folder written by export-pictures")
      ->required()
      ->expected(3, 4);
  sub->add_flag("--reencode-all", args->reencodeAll, "encode every picture afresh, changed or not");
  sub->add_flag(kOverwriteDamagedFlag, args->overwriteDamaged, kOverwriteDamagedHelp);
  sub->callback([&common, &exitCode, args, words] {
    args->dir = words->front();
    args->folder = words->back();
    args->set.assign(words->begin() + 1, words->end() - 1);
    exitCode = RunImportPictures(common, *args);
  });
});

}  // namespace
}  // namespace tavrel::cli
