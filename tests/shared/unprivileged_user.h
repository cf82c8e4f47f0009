#pragma once
// Tests of what only an ordinary user can be refused (a read-only directory,
// an unreadable file, an unlistable folder). The superuser is refused none
// of it, and CI runs as root: there the test's body runs in a child process
// that has first become the user `nobody` (its group, no others), on
// directories the test made and handed to that user. The child needs no path
// of the build tree: it is a fork of the test process, not a new program.
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

namespace tavrel::testing {

// Runs `body` as a user whom file permissions bind and gives "" when it
// passed, else what went wrong. Not as root: here, as it is (its failures
// are the test's own). As root: in the child, after everything under
// `owned` was given to `nobody`; `failed` is asked at the child's end and
// the child's output (the failed checks) goes where the test's goes.
inline std::string AsUnprivilegedUser(const std::vector<std::filesystem::path>& owned,
                                      const std::function<void()>& body, const std::function<bool()>& failed) {
  if (geteuid() != 0) {
    body();
    return "";
  }
  uid_t uid = 65534;
  gid_t gid = 65534;
  if (const passwd* user = getpwnam("nobody")) {
    uid = user->pw_uid;
    gid = user->pw_gid;
  }
  for (const std::filesystem::path& top : owned) {
    // The user must be able to pass through every folder above it (a
    // temporary directory inside root's home would stop it at the door).
    for (std::filesystem::path up = top.parent_path(); !up.empty(); up = up.parent_path()) {
      struct stat folder {};
      if (stat(up.c_str(), &folder) != 0 || (folder.st_mode & S_IXOTH) == 0)
        return "nobody cannot reach " + top.string() + " through " + up.string() +
               ": set TMPDIR to a directory every user can pass through";
      if (up == up.root_path()) break;
    }
    if (lchown(top.c_str(), uid, gid) != 0) return "cannot give " + top.string() + " to nobody";
    std::error_code ec;
    for (std::filesystem::recursive_directory_iterator it(top, ec), end; !ec && it != end; it.increment(ec))
      if (lchown(it->path().c_str(), uid, gid) != 0) return "cannot give " + it->path().string() + " to nobody";
    if (ec) return "cannot list " + top.string() + ": " + ec.message();
  }
  std::fflush(stdout);
  std::fflush(stderr);
  const pid_t child = fork();
  if (child < 0) return "cannot start a child process";
  if (child == 0) {
    if (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0 || geteuid() == 0) _exit(3);
    body();
    const bool bad = failed();
    std::fflush(stdout);
    std::fflush(stderr);
    _exit(bad ? 1 : 0);
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child) return "lost the child process";
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return "";
  if (WIFEXITED(status) && WEXITSTATUS(status) == 3) return "the child could not become the user nobody";
  if (WIFSIGNALED(status)) return "the child running as nobody ended with signal " + std::to_string(WTERMSIG(status));
  return "the checks failed when run as the user nobody (its output is above)";
}

}  // namespace tavrel::testing
