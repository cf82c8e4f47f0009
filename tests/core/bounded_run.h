#pragma once
// Runs a piece of a test in a child process with a time and a memory bound,
// so that a hang or a blow-up on a damaged file ends as a finding instead of
// stopping the whole run. The child's address space is limited (except under
// AddressSanitizer, which reserves far more than it uses), an alarm ends it
// after the time bound, and its peak resident memory is measured by the
// system when it ends.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace tavrel::testing {

inline constexpr unsigned kCaseSeconds = 60;
inline constexpr long kCaseMemoryMiB = 1024;

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kLimitAddressSpace = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kLimitAddressSpace = false;
#else
inline constexpr bool kLimitAddressSpace = true;
#endif
#else
inline constexpr bool kLimitAddressSpace = true;
#endif

struct BoundedRun {
  bool exited = false;  // ended by returning from the body
  int signal = 0;       // the signal that ended it (SIGALRM: the time bound)
  double seconds = 0;
  long peakMiB = 0;                   // the child's peak resident memory
  std::vector<std::string> messages;  // what the body returned

  bool WithinBounds() const { return exited && seconds < kCaseSeconds && peakMiB <= kCaseMemoryMiB; }
  std::string Describe() const {
    return "exited " + std::to_string(exited) + ", signal " + std::to_string(signal) + ", " + std::to_string(seconds) +
           " s, " + std::to_string(peakMiB) + " MiB";
  }
};

// Runs `body` in a child process; its strings come back through a pipe.
inline BoundedRun RunBounded(const std::function<std::vector<std::string>()>& body) {
  BoundedRun run;
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return run;
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    close(pipeEnds[0]);
    alarm(kCaseSeconds);
    if (kLimitAddressSpace) {
      const rlim_t bytes = rlim_t(kCaseMemoryMiB + 1024) << 20;  // the program's own mappings and the bound
      const rlimit limit{bytes, bytes};
      setrlimit(RLIMIT_AS, &limit);
    }
    std::string out;
    for (const std::string& m : body()) out += m + '\0';
    for (size_t at = 0; at < out.size();) {
      const ssize_t n = write(pipeEnds[1], out.data() + at, out.size() - at);
      if (n <= 0) _exit(2);
      at += size_t(n);
    }
    _exit(0);  // no test framework's exit handlers in the child
  }
  close(pipeEnds[1]);
  if (child < 0) {
    close(pipeEnds[0]);
    return run;
  }
  std::string in;
  char buffer[4096];
  for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) in.append(buffer, size_t(n));
  close(pipeEnds[0]);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.peakMiB = usage.ru_maxrss / 1024;  // kilobytes on Linux
  run.exited = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  run.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  for (size_t at = 0; at < in.size();) {
    const size_t end = in.find('\0', at);
    run.messages.push_back(in.substr(at, end - at));
    at = end + 1;
  }
  return run;
}

}  // namespace tavrel::testing
