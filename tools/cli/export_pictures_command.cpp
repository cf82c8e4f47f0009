// tavrel export-pictures DIR SET -o FOLDER: every picture of a set as a PNG
// (indexed with the game palette where that keeps every index, else RGBA),
// and FOLDER/pictures.txt listing them.
#include <fmt/format.h>

#include <memory>

#include "app/picture_sets.h"
#include "cli/command_support.h"
#include "gamefiles/pictures.h"
#include "text/ui_strings.h"

namespace tavrel::cli {
namespace {

int RunExportPictures(const CommonOptions& common, const std::string& dir, const std::vector<std::string>& set,
                      const std::string& folder) {
  EditorState state;
  if (!StartEditor(state, common)) return 1;
  if (!OpenGameDirectory(state, dir)) return 1;
  const TextCodec& text = state.text();
  auto fail = [&](const std::string& message) {
    fmt::print(stderr, "{}\n", text.MapInterfaceText(message));
    return 1;
  };
  size_t used = 0;
  Result<PictureSetChoice> choice = ParsePictureSetChoice(set, used);
  if (!choice) return fail(choice.error());
  if (used != set.size()) return fail(FormatInterfaceString(Str::PictureSetUnknown, set[used]));
  Result<PictureSetPaths> paths = FindPictureSetFiles(dir, *choice);
  if (!paths) return fail(paths.error());
  Result<Palette> palette = LoadPalette(dir);
  if (!palette) return fail(palette.error());
  Result<Bytes> idx = ReadWholeFile(paths->index);
  if (!idx) return fail(idx.error());
  Result<Bytes> grp = ReadWholeFile(paths->data);
  if (!grp) return fail(grp.error());
  const PictureSet pictures = ParsePictureSet(*idx, *grp, *palette);
  // Pictures of impossible sizes are listed as damaged, without a PNG.
  if (const std::string damaged = DamagedPicturesMessage(paths->data.string(), pictures); !damaged.empty())
    fmt::print(stderr, "{}\n", text.MapInterfaceText(damaged));
  Result<PictureExportReport> report = ExportPictureSet(pictures, *palette, folder);
  if (!report) return fail(report.error());
  fmt::print("{}\n", text.MapInterfaceText(
                         FormatInterfaceString(Str::PicturesExported, report->written, report->absent, folder)));
  return 0;
}

const RegisterCommand kRegister([](CLI::App& app, const CommonOptions& common, int& exitCode) {
  struct Args {
    std::string dir;
    std::vector<std::string> set;
    std::string folder;
  };
  auto args = std::make_shared<Args>();
  CLI::App* sub = app.add_subcommand(
      "export-pictures",
      "Write every picture of a set as a PNG, indexed with the game palette where that keeps every palette index "
      "(else RGBA), and pictures.txt listing each picture's file, size, offsets and PNG format; pictures whose "
      "header claims an impossible size are listed as damaged (SET: portraits | scene K | battle M | pair NAME)");
  auto words = std::make_shared<std::vector<std::string>>();
  // DIR and the one or two words of SET.
  sub->add_option("DIR SET", *words, "game directory, then portraits, scene K, battle M or pair NAME")
      ->required()
      ->expected(2, 3);
  sub->add_option("-o,--output", args->folder, "folder to write (made when missing)")->required();
  sub->callback([&common, &exitCode, args, words] {
    args->dir = words->front();
    args->set.assign(words->begin() + 1, words->end());
    exitCode = RunExportPictures(common, args->dir, args->set, args->folder);
  });
});

}  // namespace
}  // namespace tavrel::cli
