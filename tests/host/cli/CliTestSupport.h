// The tallowick program as a user runs it: its own process, a registry file of
// the test's, exit codes and output.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

namespace cli_test {

namespace fs = std::filesystem;

inline fs::path BinFolder() {
  WCHAR path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return fs::path(std::wstring(path, n)).parent_path();
}

struct Outcome {
  int status = -1;
  std::string output; // standard output and standard error
};

class TallowickCliTest : public ::testing::Test {
protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("tallowick-cli-" + std::to_string(getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  Outcome Tallowick(const std::string &args) {
    std::string command = (BinFolder() / "tallowick").string() + " --registry " +
                          (folder_ / "registry.reg").string() + " " + args + " 2>&1";
    Outcome run;
    FILE *pipe = popen(command.c_str(), "r");
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

  fs::path folder_;
};

} // namespace cli_test
