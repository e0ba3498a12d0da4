// Runs a function in a forked child and returns its exit code (-signal when a
// signal ended it). The child leaves with _exit, so nothing of the parent's
// state is torn down twice.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <string>

template <class Body> int RunInChild(Body body) {
  pid_t pid = fork();
  if (pid == 0)
    _exit(body());
  if (pid < 0)
    return -1000;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid)
    return -1000;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

// An object name unique to this test process.
inline std::wstring UniqueName(const wchar_t *suffix) {
  return L"Local\\tallowick-test-" + std::to_wstring(getpid()) + L"-" + suffix;
}
