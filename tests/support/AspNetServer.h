// The example ASP.NET site served on 127.0.0.1 for a test: starts the host
// (bin/aspnet-host) on a free port, waits until it answers, stops it when
// destroyed. Link the CMake target tallowick_aspnet_server to get the paths.
//
//   if (std::string why = AspNetServer::Unavailable(); !why.empty())
//     GTEST_SKIP() << why;
//   AspNetServer server;
//   ASSERT_TRUE(server.Start()) << server.Error();
//   ... server.Url("Calendar.aspx") ...
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// <fcntl.h> names obsolete flock() flags that the SDK headers use as LOCKTYPE
// values.
#undef LOCK_READ
#undef LOCK_WRITE
#undef LOCK_RW
#undef LOCK_MAND

namespace tallowick::test {

class AspNetServer {
public:
  using Clock = std::chrono::steady_clock;

  explicit AspNetServer(std::string site = TALLOWICK_ASPNET_SITE) : site_(std::move(site)) {}
  AspNetServer(const AspNetServer &) = delete;
  AspNetServer &operator=(const AspNetServer &) = delete;
  ~AspNetServer() { Stop(); }

  // Why the server cannot run on this machine (Mono is not installed, so the
  // host was not built); empty when it can.
  static std::string Unavailable() {
    std::string host = TALLOWICK_ASPNET_HOST;
    if (host.empty())
      return "Mono is not installed (mono and mcs were missing when the build was configured; "
             "scripts/install-deps.sh installs them): ASP.NET server tests skipped";
    if (!OnPath("mono"))
      return "Mono is not installed (no mono on PATH): ASP.NET server tests skipped";
    return {};
  }

  // Starts the server and waits until it answers (at most `timeout`); false,
  // with Error(), when it does not.
  bool Start(std::chrono::seconds timeout = std::chrono::seconds(120)) {
    Stop();
    const auto deadline = Clock::now() + timeout;
    if (!MakeTempDir() || !Spawn())
      return false;
    if (!ReadUrl(deadline) || !WaitUntilAnswering(deadline)) {
      Stop();
      return false;
    }
    return true;
  }

  // "http://127.0.0.1:PORT/"
  const std::string &BaseUrl() const { return url_; }
  std::string Url(const std::string &page) const { return url_ + page; }
  int Port() const { return port_; }
  const std::string &Error() const { return error_; }

  // Closes the server's stdin (it stops then) and waits for it to end, at
  // most `wait`; its exit code, or -1 when it did not exit in time or by
  // itself.
  int CloseInputAndWait(std::chrono::seconds wait) {
    CloseFd(input_);
    return WaitExit(wait);
  }
  // Sends `signal` to the server and waits as above.
  int SignalAndWait(int signal, std::chrono::seconds wait) {
    if (pid_ <= 0)
      return -1;
    kill(pid_, signal);
    return WaitExit(wait);
  }

  // Closes the server's stdin and sends SIGTERM; kills it when it has not
  // ended within a few seconds. Removes its temporary folder.
  void Stop() {
    CloseFd(input_);
    CloseFd(output_);
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      if (!Reap(std::chrono::seconds(10))) {
        kill(pid_, SIGKILL);
        Reap(std::chrono::seconds(10));
      }
    }
    if (!tempDir_.empty()) {
      std::error_code ignored;
      std::filesystem::remove_all(tempDir_, ignored);
      tempDir_.clear();
    }
    url_.clear();
    port_ = 0;
  }

private:
  static bool OnPath(const std::string &program) {
    const char *path = std::getenv("PATH");
    std::stringstream folders(path != nullptr ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');)
      if (!folder.empty() && access((folder + "/" + program).c_str(), X_OK) == 0)
        return true;
    return false;
  }

  static void CloseFd(int &fd) {
    if (fd >= 0)
      close(fd);
    fd = -1;
  }

  bool Fail(std::string message) {
    error_ = std::move(message);
    std::string log = ServerLog();
    if (!log.empty())
      error_ += "\nserver's standard error:\n" + log;
    return false;
  }

  std::string ServerLog() const {
    if (tempDir_.empty())
      return {};
    std::ifstream file(tempDir_ + "/server.log");
    std::ostringstream text;
    text << file.rdbuf();
    return text.str().substr(0, 4000);
  }

  // Each server compiles its pages in a folder of its own (TMPDIR).
  bool MakeTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tallowick-aspnet-XXXXXX");
    if (mkdtemp(pattern.data()) == nullptr)
      return Fail("cannot create a temporary folder for the server");
    tempDir_ = pattern;
    return true;
  }

  // The environment of the server: this process's, with TMPDIR set.
  std::vector<std::string> ServerEnvironment() const {
    std::vector<std::string> environment;
    for (char **entry = environ; *entry != nullptr; ++entry)
      if (std::string_view(*entry).rfind("TMPDIR=", 0) != 0)
        environment.emplace_back(*entry);
    environment.push_back("TMPDIR=" + tempDir_);
    return environment;
  }

  bool Spawn() {
    // Everything the child needs is made before fork: it only redirects and
    // executes.
    const std::string host = TALLOWICK_ASPNET_HOST;
    std::vector<std::string> environment = ServerEnvironment();
    std::vector<char *> envp;
    for (auto &entry : environment)
      envp.push_back(entry.data());
    envp.push_back(nullptr);
    const char *argv[] = {host.c_str(), site_.c_str(), "0", nullptr};
    std::string log = tempDir_ + "/server.log";
    int err = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    int in[2] = {-1, -1}, out[2] = {-1, -1};
    if (err < 0 || pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
      CloseFd(err), CloseFd(in[0]), CloseFd(in[1]), CloseFd(out[0]), CloseFd(out[1]);
      return Fail("cannot create the server's pipes and log");
    }
    pid_t parent = getpid();
    pid_t pid = fork();
    if (pid == 0) {
      // The server ends with this thread of the test (and when its stdin closes).
      prctl(PR_SET_PDEATHSIG, SIGTERM);
      if (getppid() != parent || dup2(in[0], 0) < 0 || dup2(out[1], 1) < 0 || dup2(err, 2) < 0)
        _exit(127);
      execve(argv[0], const_cast<char **>(argv), envp.data());
      _exit(127);
    }
    CloseFd(err);
    CloseFd(in[0]);
    CloseFd(out[1]);
    input_ = in[1];
    output_ = out[0];
    if (pid < 0) {
      CloseFd(input_), CloseFd(output_);
      return Fail("cannot start the server");
    }
    pid_ = pid;
    return true;
  }

  // The first line the server prints is its URL.
  bool ReadUrl(Clock::time_point deadline) {
    std::string line;
    while (line.find('\n') == std::string::npos) {
      int left = MillisecondsLeft(deadline);
      if (left <= 0)
        return Fail("the server printed no URL in time");
      pollfd ready{output_, POLLIN, 0};
      if (poll(&ready, 1, left) <= 0)
        continue;
      char buffer[256];
      ssize_t got = read(output_, buffer, sizeof buffer);
      if (got <= 0)
        return Fail("the server ended before printing its URL");
      line.append(buffer, static_cast<size_t>(got));
    }
    line.erase(line.find('\n'));
    const std::string prefix = "http://127.0.0.1:";
    if (line.rfind(prefix, 0) != 0)
      return Fail("the server printed no URL but: " + line);
    port_ = std::atoi(line.c_str() + prefix.size());
    if (port_ <= 0 || port_ > 65535)
      return Fail("the server printed a bad URL: " + line);
    url_ = line;
    return true;
  }

  // Asks for "/" until an HTTP status line comes back: the first request
  // starts the ASP.NET application.
  bool WaitUntilAnswering(Clock::time_point deadline) {
    while (MillisecondsLeft(deadline) > 0) {
      if (Answers(deadline))
        return true;
      if (Reap(std::chrono::seconds(0)))
        return Fail("the server ended before answering");
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return Fail("the server did not answer in time at " + url_);
  }

  bool Answers(Clock::time_point deadline) const {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
      return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port_));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string reply;
    if (connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0) {
      const char request[] = "GET / HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
      if (send(fd, request, sizeof request - 1, MSG_NOSIGNAL) == sizeof request - 1) {
        pollfd ready{fd, POLLIN, 0};
        char buffer[64];
        int left = MillisecondsLeft(deadline);
        ssize_t got =
            left > 0 && poll(&ready, 1, left) > 0 ? recv(fd, buffer, sizeof buffer, 0) : 0;
        if (got > 0)
          reply.assign(buffer, static_cast<size_t>(got));
      }
    }
    close(fd);
    return reply.rfind("HTTP/1.", 0) == 0;
  }

  int WaitExit(std::chrono::seconds wait) {
    int status = 0;
    if (pid_ <= 0 || !Reap(wait, &status))
      return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // Waits for the child to end (at most `wait`); true once it has (and it
  // is gone: pid_ is -1).
  bool Reap(std::chrono::seconds wait, int *status = nullptr) {
    const auto deadline = Clock::now() + wait;
    for (;;) {
      int code = 0;
      pid_t got = waitpid(pid_, &code, WNOHANG);
      if (got == pid_ || got < 0) {
        pid_ = -1;
        if (status != nullptr)
          *status = code;
        return true;
      }
      if (Clock::now() >= deadline)
        return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }

  static int MillisecondsLeft(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
  }

  std::string site_;
  std::string url_;
  std::string error_;
  std::string tempDir_;
  int port_ = 0;
  pid_t pid_ = -1;
  int input_ = -1;
  int output_ = -1;
};

} // namespace tallowick::test
