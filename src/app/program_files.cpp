#include "app/program_files.h"

#include <cstdlib>
#include <system_error>

namespace tavrel {

std::vector<std::filesystem::path> DataDirectoryCandidates(const std::filesystem::path& programDir) {
  std::vector<std::filesystem::path> candidates{programDir};
  // programDir may end in a separator ("/usr/bin/"); its parent is then the
  // directory itself.
  std::filesystem::path bin = programDir;
  if (!bin.has_filename()) bin = bin.parent_path();
  if (bin.has_parent_path() && bin.parent_path() != bin) candidates.push_back(bin.parent_path() / "share" / "tavrel");
  return candidates;
}

std::filesystem::path FindDataDirectory(const std::filesystem::path& programDir) {
  for (const std::filesystem::path& dir : DataDirectoryCandidates(programDir)) {
    for (const char* name : kDataFileNames) {
      std::error_code ec;
      if (std::filesystem::is_regular_file(dir / name, ec)) return dir;
    }
  }
  return programDir;
}

std::filesystem::path PatcherNotesPath(const std::filesystem::path& dataDir, InterfaceLanguage language) {
  return dataDir / (language == InterfaceLanguage::English ? kPatcherNotesEnglishName : kPatcherNotesName);
}

std::optional<std::string> SystemEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return std::nullopt;
  return std::string(value);
}

std::filesystem::path UserDataDirectory(const EnvLookup& env) {
#ifdef _WIN32
  if (auto local = env("LOCALAPPDATA")) return std::filesystem::path(*local) / "tavrel";
#endif
  // Relative values are not valid per the XDG rules and are ignored.
  if (auto data = env("XDG_DATA_HOME"); data && std::filesystem::path(*data).is_absolute())
    return std::filesystem::path(*data) / "tavrel";
  if (auto home = env("HOME")) return std::filesystem::path(*home) / ".local" / "share" / "tavrel";
  return {};
}

}  // namespace tavrel
