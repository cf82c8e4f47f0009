// Where the editor finds kdefattr.dat and mb.dat (its own directory, then
// share/tavrel beside an installed binary) and where the exports go when the
// program's directory cannot be written.
#include "app/program_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "app/exports.h"
#include "app/zdat_sites.h"
#include "gamefiles_test_support.h"
#include "text/ui_string_names.h"
#include "text/ui_strings.h"

namespace tavrel {
namespace {

using testing::ScratchDir;
namespace fs = std::filesystem;

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

void Touch(const fs::path& file) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << "x";
}

TEST(DataDirectory, OwnDirectoryComesFirst) {
  ScratchDir root;
  const fs::path bin = root / "bin";
  Touch(bin / "kdefattr.dat");
  Touch(root / "share/tavrel/kdefattr.dat");
  EXPECT_EQ(FindDataDirectory(bin), bin);
}

TEST(DataDirectory, InstalledLayoutUsesShareBesideBin) {
  ScratchDir root;
  const fs::path bin = root / "bin";
  fs::create_directories(bin);
  Touch(root / "share/tavrel/mb.dat");
  Touch(root / "share/tavrel/kdefattr.dat");
  EXPECT_EQ(FindDataDirectory(bin), root / "share/tavrel");
  // "/usr/bin/" and "/usr/bin" are the same program directory.
  EXPECT_EQ(FindDataDirectory(bin.string() + "/"), root / "share/tavrel");
}

TEST(DataDirectory, EitherDataFileMarksTheDirectory) {
  ScratchDir root;
  const fs::path bin = root / "bin";
  Touch(bin / "mb.dat");
  Touch(root / "share/tavrel/kdefattr.dat");
  EXPECT_EQ(FindDataDirectory(bin), bin);
}

TEST(DataDirectory, NoneFoundNamesTheProgramDirectory) {
  ScratchDir root;
  const fs::path bin = root / "bin";
  fs::create_directories(bin);
  // A directory of that name without the files does not count either.
  fs::create_directories(root / "share/tavrel");
  EXPECT_EQ(FindDataDirectory(bin), bin);
  EXPECT_EQ(DataDirectoryCandidates(bin), (std::vector<fs::path>{bin, root / "share/tavrel"}));
}

// The command-line tool copied into an installed layout finds its data in
// share/tavrel, and fails by name without it.
TEST(DataDirectory, InstalledToolReadsTheSampleGame) {
  ScratchDir root;
  const fs::path bin = root / "prefix/bin";
  fs::create_directories(bin);
  fs::copy_file(fs::path(TAVREL_BIN_DIR) / "tavrel", bin / "tavrel");
  const auto run = [&](const std::string& arguments) {
    const std::string command =
        "'" + (bin / "tavrel").string() + "' " + arguments + " >'" + (root / "out.txt").string() + "' 2>&1";
    return std::system(command.c_str());
  };
  const std::string game = "'" + (root / "game").string() + "'";
  EXPECT_NE(run("check " + game), 0) << "started without kdefattr.dat";
  EXPECT_NE(Text(root.Get("out.txt")).find("kdefattr.dat"), std::string::npos) << Text(root.Get("out.txt"));

  const fs::path share = root / "prefix/share/tavrel";
  fs::create_directories(share);
  for (const char* name : kDataFileNames) fs::copy_file(fs::path(TAVREL_BIN_DIR) / name, share / name);
  ASSERT_EQ(run("make-sample " + game + " --scale 1"), 0) << Text(root.Get("out.txt"));
  EXPECT_EQ(run("check " + game), 0) << Text(root.Get("out.txt"));
}

// ---- The user's data directory ----------------------------------------------

EnvLookup Env(std::map<std::string, std::string> values) {
  return [values](const char* name) -> std::optional<std::string> {
    auto found = values.find(name);
    if (found == values.end() || found->second.empty()) return std::nullopt;
    return found->second;
  };
}

TEST(UserDataDirectory, FollowsXdgThenHome) {
#ifndef _WIN32
  EXPECT_EQ(UserDataDirectory(Env({{"XDG_DATA_HOME", "/x/data"}, {"HOME", "/home/m"}})), fs::path("/x/data/tavrel"));
  EXPECT_EQ(UserDataDirectory(Env({{"HOME", "/home/m"}})), fs::path("/home/m/.local/share/tavrel"));
  // An empty or relative XDG_DATA_HOME is ignored.
  EXPECT_EQ(UserDataDirectory(Env({{"XDG_DATA_HOME", ""}, {"HOME", "/home/m"}})),
            fs::path("/home/m/.local/share/tavrel"));
  EXPECT_EQ(UserDataDirectory(Env({{"XDG_DATA_HOME", "rel/data"}, {"HOME", "/home/m"}})),
            fs::path("/home/m/.local/share/tavrel"));
  EXPECT_TRUE(UserDataDirectory(Env({})).empty());
#endif
}

// ---- Exports when the program's directory is read-only --------------------

TEST(ProgramExport, WritableProgramDirectoryKeepsTheExport) {
  ScratchDir program;
  ScratchDir user;
  auto written = WriteProgramExport(program.path(), "talk.txt", Bytes{'a', 'b'}, user / "tavrel");
  ASSERT_TRUE(written) << written.error();
  EXPECT_EQ(written->path, program / "talk.txt");
  EXPECT_TRUE(written->unwritable.empty());
  EXPECT_EQ(Text(program.Get("talk.txt")), "ab");
  EXPECT_FALSE(fs::exists(user / "tavrel"));
}

// A program "directory" that is a plain file cannot take an export, even for
// root, which a read-only directory would not stop.
TEST(ProgramExport, UnwritableProgramDirectoryFallsBackAndSaysWhere) {
  ScratchDir root;
  const fs::path program = root / "share-tavrel";
  Touch(program);
  const fs::path user = root / "home/.local/share/tavrel";
  auto first = WriteProgramExport(program, "kdefout.txt", Bytes{'l', 'o', 'n', 'g'}, user);
  ASSERT_TRUE(first) << first.error();
  EXPECT_EQ(first->path, user / "kdefout.txt");
  EXPECT_EQ(first->unwritable, program);
  // A second export replaces the first there as well.
  auto second = WriteProgramExport(program, "kdefout.txt", Bytes{'n', 'e', 'w'}, user);
  ASSERT_TRUE(second) << second.error();
  std::ifstream in(user / "kdefout.txt", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "new");
}

TEST(ProgramExport, NowhereToWriteNamesBothPlaces) {
  ScratchDir root;
  const fs::path program = root / "program";
  const fs::path blocked = root / "blocked";
  Touch(program);
  Touch(blocked);
  auto written = WriteProgramExport(program, "talk.txt", Bytes{'x'}, blocked / "tavrel");
  ASSERT_FALSE(written);
  EXPECT_NE(written.error().find(program.string()), std::string::npos) << written.error();
  EXPECT_NE(written.error().find(blocked.string()), std::string::npos) << written.error();
  // Without a user directory the program directory's message is all.
  auto alone = WriteProgramExport(program, "talk.txt", Bytes{'x'}, {});
  ASSERT_FALSE(alone);
  EXPECT_NE(alone.error().find(program.string()), std::string::npos);
}

// The patcher's notes lie beside the data files of the build, one per
// interface language, as text every viewer on Windows shows (UTF-8 with its
// byte order mark, CRLF line ends). Each names every group by the caption the
// window gives it in that language, and says how to restore from z.dat.bak.
TEST(PatcherNotes, EachLanguageHasItsFileBesideTheDataFiles) {
  const fs::path data = FindDataDirectory(TAVREL_BIN_DIR);
  EXPECT_EQ(PatcherNotesPath(data, InterfaceLanguage::Chinese), data / "z_modify.txt");
  EXPECT_EQ(PatcherNotesPath(data, InterfaceLanguage::English), data / "z_modify-en.txt");
  std::vector<int> captions = {Str::WaterWalkPatch,
                               Str::MemoryPatch,
                               Str::SceneTileNamesPatch,
                               Str::BattleTileNamesPatch,
                               Str::FightNamesInZdatPatch,
                               Str::FightFileNamesPatch,
                               Str::RosterPatch,
                               Str::NoLimit,
                               Str::RestoreZdat};
  for (const zdat::WordLimitSite& row : zdat::kWordLimits) captions.push_back(row.caption);
  for (const zdat::ByteLimitSite& row : zdat::kByteLimits) captions.push_back(row.caption);
  for (InterfaceLanguage language : {InterfaceLanguage::Chinese, InterfaceLanguage::English}) {
    const fs::path notes = PatcherNotesPath(data, language);
    SCOPED_TRACE(notes.string());
    std::ifstream in(notes, std::ios::binary);
    ASSERT_TRUE(in);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    ASSERT_GT(text.size(), 2000u);
    EXPECT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
      ASSERT_TRUE(at > 0 && text[at - 1] == '\r') << "a line end without CR at byte " << at;
    EXPECT_NE(text.find("z.dat.bak"), std::string::npos);
    for (int caption : captions) {
      const std::string_view name = InterfaceStringText(caption, language);
      EXPECT_NE(text.find(name), std::string::npos) << "the notes do not name \"" << name << "\"";
    }
    // The window's pointer to the notes names this file.
    EXPECT_NE(std::string(InterfaceStringText(Str::PatcherNotes, language)).find(notes.filename().string()),
              std::string::npos);
  }
}

// In an installed layout the notes are found where the data files are.
TEST(PatcherNotes, AnInstalledProgramFindsThemInShare) {
  ScratchDir root;
  const fs::path bin = root / "bin";
  fs::create_directories(bin);
  Touch(root / "share/tavrel/kdefattr.dat");
  EXPECT_EQ(PatcherNotesPath(FindDataDirectory(bin), InterfaceLanguage::English),
            root / "share/tavrel/z_modify-en.txt");
}

}  // namespace
}  // namespace tavrel
