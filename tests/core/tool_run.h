#pragma once
// Runs the tavrel tool beside the tests as a user runs it from a shell.
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace tavrel::testing {

struct ToolRun {
  int exitCode = -1;
  std::string out;  // what the command line's stdout received
};

// `arguments` go to the shell after the tool's path, redirections included.
inline ToolRun RunTool(const std::string& arguments) {
  const std::string command = std::string("'" TAVREL_BIN_DIR "/tavrel' ") + arguments;
  ToolRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
  const int status = pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace tavrel::testing
