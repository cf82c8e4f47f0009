#pragma once
// Where the editor's own files are: the two data files that come with it
// (kdefattr.dat, mb.dat), the patcher's notes beside them, and a writable
// place for what it writes when its own directory is read-only (an installed
// program in /usr/bin).
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "text/ui_strings.h"

namespace tavrel {

inline constexpr const char* kDataFileNames[] = {"kdefattr.dat", "mb.dat"};

// The directories that may hold the data files, in the order they are tried:
// the program's own directory, then share/tavrel beside the directory that
// holds the binary (PREFIX/bin/tavrel-editor with PREFIX/share/tavrel/).
std::vector<std::filesystem::path> DataDirectoryCandidates(const std::filesystem::path& programDir);

// The first candidate that holds one of the data files; the program's own
// directory when none does, so the messages about a missing file name it.
std::filesystem::path FindDataDirectory(const std::filesystem::path& programDir);

// The z.dat patcher's notes, one file per interface language, beside the
// data files: what each group of patches changes, its risks, and how to
// restore z.dat from z.dat.bak.
inline constexpr const char* kPatcherNotesName = "z_modify.txt";
inline constexpr const char* kPatcherNotesEnglishName = "z_modify-en.txt";
// The notes file of `language` in the data directory (FindDataDirectory).
std::filesystem::path PatcherNotesPath(const std::filesystem::path& dataDir, InterfaceLanguage language);

// Reads one environment variable; nullopt when it is unset or empty.
using EnvLookup = std::function<std::optional<std::string>(const char* name)>;
std::optional<std::string> SystemEnvironment(const char* name);

// The user's own data directory of the editor: $XDG_DATA_HOME/tavrel, else
// $HOME/.local/share/tavrel (on Windows %LOCALAPPDATA%\tavrel). Empty when
// the environment names no such place. Not created here.
std::filesystem::path UserDataDirectory(const EnvLookup& env = SystemEnvironment);

}  // namespace tavrel
