#include "registry/RegistryStore.h"

#include "registry/RegistryFormat.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tallowick::platform::registry {

namespace {

class Fd {
public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  Fd(const Fd &) = delete;
  Fd &operator=(const Fd &) = delete;
  ~Fd() {
    if (fd_ >= 0)
      ::close(fd_);
  }
  int get() const { return fd_; }
  void Reset(int fd) {
    if (fd_ >= 0)
      ::close(fd_);
    fd_ = fd;
  }
  // Closes now and reports the outcome (close can report a failed write-back).
  bool Close() {
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

private:
  int fd_;
};

struct Identity {
  bool exists = false;
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  timespec mtime{};

  static Identity Of(const struct stat &st) {
    return {true, st.st_dev, st.st_ino, st.st_size, st.st_mtim};
  }
  bool operator==(const Identity &o) const {
    return exists == o.exists && dev == o.dev && ino == o.ino && size == o.size &&
           mtime.tv_sec == o.mtime.tv_sec && mtime.tv_nsec == o.mtime.tv_nsec;
  }
};

struct Cache {
  bool valid = false;
  std::string path;
  Identity identity;
  std::string text;                 // the bytes that were parsed
  std::shared_ptr<const Tree> tree; // null when the file is corrupt
  std::string error;                // why it is corrupt
};

Cache g_cache;
std::string g_parseError; // of the last read, whichever file it was

LONG ErrnoToStatus(int error) {
  switch (error) {
  case EACCES:
  case EPERM:
  case EROFS:
    return ERROR_ACCESS_DENIED;
  case ENOMEM:
    return ERROR_OUTOFMEMORY;
  default:
    return ERROR_REGISTRY_IO_FAILED;
  }
}

std::string HomeFolder() {
  if (const char *home = std::getenv("HOME"); home && *home)
    return home;
  if (const passwd *pw = getpwuid(getuid()); pw && pw->pw_dir)
    return pw->pw_dir;
  return {};
}

// Reads the whole file. A missing file leaves `identity.exists` false.
LONG ReadFile(const std::string &path, std::string &text, Identity &identity) {
  identity = {};
  text.clear();
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0)
    return errno == ENOENT || errno == ENOTDIR ? ERROR_SUCCESS : ErrnoToStatus(errno);
  struct stat st;
  if (fstat(fd.get(), &st) != 0)
    return ErrnoToStatus(errno);
  if (!S_ISREG(st.st_mode))
    return ERROR_REGISTRY_IO_FAILED;
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd.get(), buf, sizeof buf);
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0)
      return ErrnoToStatus(errno);
    if (n == 0)
      break;
    text.append(buf, static_cast<size_t>(n));
  }
  identity = Identity::Of(st);
  return ERROR_SUCCESS;
}

LONG Load(bool fresh, std::shared_ptr<const Tree> &tree) {
  std::string path = RegistryFilePath();
  if (path.empty())
    return ERROR_REGISTRY_IO_FAILED;
  bool samePath = g_cache.valid && g_cache.path == path;
  if (!fresh && samePath) {
    struct stat st;
    Identity now;
    if (::stat(path.c_str(), &st) == 0)
      now = Identity::Of(st);
    if (now == g_cache.identity) {
      tree = g_cache.tree;
      g_parseError = g_cache.error;
      return tree ? ERROR_SUCCESS : ERROR_REGISTRY_CORRUPT;
    }
  }
  std::string text;
  Identity identity;
  if (LONG status = ReadFile(path, text, identity); status != ERROR_SUCCESS)
    return status;
  // Bytes equal to those last parsed keep that parse.
  if (!(samePath && g_cache.identity.exists == identity.exists && g_cache.text == text)) {
    auto parsed = std::make_shared<Tree>();
    ParseError error;
    if (ParseRegedit(text, *parsed, error)) {
      g_cache.tree = std::move(parsed);
      g_cache.error.clear();
    } else {
      g_cache.tree = nullptr;
      g_cache.error = path + ":" + std::to_string(error.line) + ": " + error.reason;
    }
    g_cache.text = std::move(text);
  }
  g_cache.valid = true;
  g_cache.path = path;
  g_cache.identity = identity;
  g_parseError = g_cache.error;
  tree = g_cache.tree;
  return tree ? ERROR_SUCCESS : ERROR_REGISTRY_CORRUPT;
}

bool WriteAll(int fd, const std::string &text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0)
      return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Writes `text` to a temporary file beside `path`, syncs it and renames it over `path`.
LONG ReplaceFile(const std::string &path, const std::string &text, mode_t mode) {
  std::string temp = path + ".tmp";
  Fd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (fd.get() < 0)
    return ErrnoToStatus(errno);
  bool written = (mode == 0 || fchmod(fd.get(), mode) == 0) && WriteAll(fd.get(), text) &&
                 fsync(fd.get()) == 0;
  int error = errno;
  if (!fd.Close() && written) {
    written = false;
    error = errno;
  }
  if (!written || ::rename(temp.c_str(), path.c_str()) != 0) {
    if (written)
      error = errno;
    ::unlink(temp.c_str());
    return ErrnoToStatus(error);
  }
  std::filesystem::path folder = std::filesystem::path(path).parent_path();
  Fd dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0)
    fsync(dir.get()); // the rename is done; a failed sync cannot undo it
  return ERROR_SUCCESS;
}

LONG LockFile(const std::string &path, Fd &lock) {
  std::filesystem::path folder = std::filesystem::path(path).parent_path();
  std::error_code ec;
  if (!folder.empty())
    std::filesystem::create_directories(folder, ec);
  if (ec)
    return ErrnoToStatus(ec.value());
  lock.Reset(::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
  if (lock.get() < 0)
    return ErrnoToStatus(errno);
  while (flock(lock.get(), LOCK_EX) != 0)
    if (errno != EINTR)
      return ErrnoToStatus(errno);
  return ERROR_SUCCESS;
}

} // namespace

std::mutex &RegistryMutex() {
  static std::mutex mutex;
  return mutex;
}

std::string RegistryFilePath() {
  if (const char *path = std::getenv("TALLOWICK_REGISTRY"); path && *path)
    return path;
  if (const char *state = std::getenv("XDG_STATE_HOME"); state && state[0] == '/')
    return std::string(state) + "/tallowick/registry.reg";
  std::string home = HomeFolder();
  return home.empty() ? std::string() : home + "/.local/state/tallowick/registry.reg";
}

LONG LoadRegistry(std::shared_ptr<const Tree> &tree) { return Load(false, tree); }

LONG UpdateRegistry(const Change &change) {
  std::string path = RegistryFilePath();
  if (path.empty())
    return ERROR_REGISTRY_IO_FAILED;
  Fd lock;
  if (LONG status = LockFile(path, lock); status != ERROR_SUCCESS)
    return status;
  std::shared_ptr<const Tree> current;
  if (LONG status = Load(true, current); status != ERROR_SUCCESS)
    return status;
  auto next = std::make_shared<Tree>(*current);
  bool changed = false;
  if (LONG status = change(*next, changed); status != ERROR_SUCCESS || !changed)
    return status;
  std::string text = FormatRegedit(*next);
  mode_t mode = 0;
  struct stat st;
  if (g_cache.identity.exists && ::stat(path.c_str(), &st) == 0)
    mode = st.st_mode & 07777;
  if (LONG status = ReplaceFile(path, text, mode); status != ERROR_SUCCESS)
    return status;
  Identity identity;
  if (::stat(path.c_str(), &st) == 0)
    identity = Identity::Of(st);
  g_cache.identity = identity;
  g_cache.text = std::move(text);
  g_cache.tree = std::move(next);
  return ERROR_SUCCESS;
}

FILETIME RegistryWriteTime() {
  FILETIME ft{};
  if (!g_cache.valid || !g_cache.identity.exists)
    return ft;
  constexpr uint64_t kEpochDifference = 11644473600ULL; // seconds from 1601 to 1970
  const timespec &t = g_cache.identity.mtime;
  uint64_t ticks = (static_cast<uint64_t>(t.tv_sec) + kEpochDifference) * 10000000ULL +
                   static_cast<uint64_t>(t.tv_nsec) / 100;
  ft.dwLowDateTime = static_cast<DWORD>(ticks);
  ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return ft;
}

std::string RegistryParseError() { return g_parseError; }

} // namespace tallowick::platform::registry
