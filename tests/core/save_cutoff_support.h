#pragma once
// Saves cut off at an instant: a child process runs the save and its write
// hook ends the process (as a crash, a kill or a power loss would) at a
// chosen step; then the directory is looked at as the next open finds it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "gamefiles/file_io.h"
#include "gamefiles_test_support.h"

namespace tavrel::testing {

using DirFiles = std::map<std::string, Bytes>;

// Every regular file of the directory, by name.
inline DirFiles Snapshot(const std::filesystem::path& dir) {
  DirFiles files;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    Result<Bytes> bytes = ReadWholeFile(entry.path());
    files[entry.path().filename().string()] = bytes ? *bytes : Bytes{0xDE, 0xAD};
  }
  return files;
}

// The directory holding exactly `files`.
inline void Lay(const ScratchDir& dir, const DirFiles& files) {
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) std::filesystem::remove_all(entry.path());
  for (const auto& [name, bytes] : files) dir.Put(name, bytes);
}

// The names whose contents differ between two directories (or that only one
// holds), to say what went wrong.
inline std::string Differences(const DirFiles& a, const DirFiles& b) {
  std::string out;
  for (const auto& [name, bytes] : a)
    if (!b.contains(name) || b.at(name) != bytes) out += " " + name;
  for (const auto& [name, bytes] : b)
    if (!a.contains(name)) out += " +" + name;
  return out;
}

// Called in the child just before it ends, with the step and path the hook
// was given: to cut short the file being written, say.
using Tear = std::function<void(const std::string& step, const std::filesystem::path& path)>;

inline constexpr int kCutOff = 42;

// Runs `work` in a child process whose write hook ends it with kCutOff at
// the hook's `at`-th call (counting from 1). Gives the child's exit code:
// kCutOff when it was cut off, 0 when `work` succeeded before, 1 when it
// failed.
inline int CutOffAt(int at, const std::function<bool()>& work, const Tear& tear = {}) {
  std::fflush(stdout);
  std::fflush(stderr);
  const pid_t child = fork();
  if (child == 0) {
    int calls = 0;
    SetWriteFaultHook([&](const std::string& step, const std::filesystem::path& path) {
      if (++calls == at) {
        if (tear) tear(step, path);
        _exit(kCutOff);
      }
      return true;
    });
    _exit(work() ? 0 : 1);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// One call of the write hook: the step and the name of the file it is for.
struct HookCall {
  std::string step, file;
};

// The hook's calls of a whole `work`, in order, run in a child process as
// CutOffAt runs it (so the parent's state is not touched); `log` is a file
// outside the directory the work writes.
inline std::vector<HookCall> HookCallsOf(const std::function<bool()>& work, const std::filesystem::path& log) {
  std::filesystem::remove(log);
  std::fflush(stdout);
  std::fflush(stderr);
  const pid_t child = fork();
  if (child == 0) {
    std::FILE* out = std::fopen(log.string().c_str(), "w");
    SetWriteFaultHook([out](const std::string& step, const std::filesystem::path& path) {
      std::fprintf(out, "%s %s\n", step.c_str(), path.filename().string().c_str());
      return true;
    });
    const bool done = work();
    std::fclose(out);
    _exit(done ? 0 : 1);
  }
  int status = 0;
  std::vector<HookCall> calls;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return calls;
  std::ifstream in(log);
  for (HookCall call; in >> call.step >> call.file;) calls.push_back(call);
  return calls;
}

}  // namespace tavrel::testing
