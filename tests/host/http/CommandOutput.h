// Runs a shell command as a user does and keeps what it printed.
#pragma once

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

struct CommandOutcome {
  int status = -1;    // the exit code; -1 when it did not exit normally
  std::string output; // standard output and standard error
};

// Standard input is /dev/null.
inline CommandOutcome RunCommand(const std::string &command) {
  CommandOutcome run;
  FILE *pipe = popen((command + " 2>&1 </dev/null").c_str(), "r");
  if (pipe == nullptr)
    return run;
  std::array<char, 4096> buffer{};
  size_t n = 0;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
    run.output.append(buffer.data(), n);
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}
