#include "win32/SharedObjects.h"

#include "tallowick/Strings.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>

namespace tallowick::platform {

constexpr uint32_t kSegmentMagic = 0x4B4F5754; // "TWOK"
constexpr size_t kMaxHolders = 128;
constexpr size_t kPayloadOffset = 2048;

struct SegmentHeader {
  uint32_t magic;
  uint32_t kind;
  uint64_t size;
  uint32_t protect;
  uint32_t reserved;
  struct Holder {
    int32_t pid;
    uint32_t count;
  } holders[kMaxHolders];
};
static_assert(sizeof(SegmentHeader) <= kPayloadOffset);

namespace {

constexpr size_t kMaxEncodedName = 200;

std::string Prefix() { return "/tallowick-" + std::to_string(getuid()); }

// Serialises opening and closing of named objects across threads and processes.
// Re-entrant on a thread: releasing the last reference to an object while the
// lock is held closes that object under the same lock.
class NamespaceLock {
public:
  NamespaceLock() {
    LocalMutex().lock();
    if (depth_++ > 0)
      return;
    std::string path = Prefix() + ".lock";
    fd_ = shm_open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0)
      return;
    while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
    }
  }
  ~NamespaceLock() {
    if (--depth_ == 0 && fd_ >= 0) {
      close(fd_); // releases the flock
      fd_ = -1;
    }
    LocalMutex().unlock();
  }
  NamespaceLock(const NamespaceLock &) = delete;
  NamespaceLock &operator=(const NamespaceLock &) = delete;
  bool Held() const { return fd_ >= 0; }

private:
  static std::recursive_mutex &LocalMutex() {
    static auto *mutex = new std::recursive_mutex;
    return *mutex;
  }
  static inline int depth_ = 0; // guarded by LocalMutex
  static inline int fd_ = -1;
};

// Objects this process has open, by shared memory name.
std::map<std::string, std::weak_ptr<SharedSegment>> &Registry() {
  static auto *registry = new std::map<std::string, std::weak_ptr<SharedSegment>>;
  return *registry;
}

bool ProcessAlive(int32_t pid) { return kill(pid, 0) == 0 || errno != ESRCH; }

// Forgets holders that died without closing; returns the live holder count.
uint64_t PruneHolders(SegmentHeader *header) {
  uint64_t total = 0;
  for (auto &holder : header->holders) {
    if (holder.pid == 0)
      continue;
    if (holder.count == 0 || !ProcessAlive(holder.pid)) {
      holder = {};
      continue;
    }
    total += holder.count;
  }
  return total;
}

bool AddHolder(SegmentHeader *header, int32_t pid) {
  SegmentHeader::Holder *free = nullptr;
  for (auto &holder : header->holders) {
    if (holder.pid == pid) {
      ++holder.count;
      return true;
    }
    if (holder.pid == 0 && free == nullptr)
      free = &holder;
  }
  if (free == nullptr)
    return false;
  *free = {pid, 1};
  return true;
}

bool RemoveHolder(SegmentHeader *header, int32_t pid) {
  for (auto &holder : header->holders) {
    if (holder.pid != pid || holder.count == 0)
      continue;
    if (--holder.count == 0)
      holder = {};
    return true;
  }
  return false;
}

void AppendEscaped(std::string &out, unsigned char c) {
  char escaped[4];
  std::snprintf(escaped, sizeof escaped, "%%%02X", c);
  out += escaped;
}

bool StripPrefix(std::wstring_view &name, std::wstring_view prefix) {
  if (name.substr(0, prefix.size()) != prefix)
    return false;
  name.remove_prefix(prefix.size());
  return true;
}

} // namespace

DWORD ErrorFromErrno(int error) {
  switch (error) {
  case ENOENT:
    return ERROR_FILE_NOT_FOUND;
  case EACCES:
  case EPERM:
    return ERROR_ACCESS_DENIED;
  case ENAMETOOLONG:
    return ERROR_FILENAME_EXCED_RANGE;
  case EMFILE:
  case ENFILE:
    return ERROR_TOO_MANY_OPEN_FILES;
  case EINVAL:
    return ERROR_INVALID_PARAMETER;
  default:
    return ERROR_NOT_ENOUGH_MEMORY;
  }
}

std::optional<std::string> SharedObjectName(std::wstring_view name) {
  if (name.size() > MAX_PATH)
    return std::nullopt;
  if (!StripPrefix(name, L"Global\\"))
    StripPrefix(name, L"Local\\");
  std::string encoded;
  for (char c : Narrow(name)) {
    if (c == '/' || c == '%')
      AppendEscaped(encoded, static_cast<unsigned char>(c));
    else
      encoded += c;
  }
  if (encoded.size() > kMaxEncodedName) {
    // "%%" never occurs in an escaped name, so the hashed form cannot clash with one.
    uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (unsigned char c : encoded)
      hash = (hash ^ c) * 1099511628211ull;
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, "%%%%%016llx", static_cast<unsigned long long>(hash));
    encoded.resize(kMaxEncodedName - 18);
    encoded += suffix;
  }
  return Prefix() + "-" + encoded;
}

uint64_t SharedSegment::HeaderSize() {
  static const uint64_t size = [] {
    long page = sysconf(_SC_PAGESIZE);
    return page > 4096 ? static_cast<uint64_t>(page) : uint64_t{4096};
  }();
  return size;
}

void *SharedSegment::Payload() const { return reinterpret_cast<char *>(header_) + kPayloadOffset; }

uint64_t SharedSegment::DataSize() const { return header_->size; }

DWORD SharedSegment::Protect() const { return header_->protect; }

SharedSegment::Result SharedSegment::Open(const Request &request) {
  try {
    std::string shmName;
    if (request.name != nullptr && request.name[0] != L'\0') {
      auto name = SharedObjectName(request.name);
      if (!name)
        return {nullptr, ERROR_FILENAME_EXCED_RANGE, false};
      shmName = *name;
    }
    NamespaceLock lock;
    if (!lock.Held())
      return {nullptr, ErrorFromErrno(errno), false};

    if (!shmName.empty()) {
      auto found = Registry().find(shmName);
      auto open = found == Registry().end() ? nullptr : found->second.lock();
      if (open && open->pid_ == getpid()) {
        if (open->header_->kind != static_cast<uint32_t>(request.kind))
          return {nullptr, ERROR_INVALID_HANDLE, false};
        return {open, ERROR_SUCCESS, true};
      }
    }

    std::shared_ptr<SharedSegment> segment(new SharedSegment);
    segment->pid_ = getpid();
    // Until it counts as a holder, the segment gives nothing back when destroyed.
    auto fail = [&](DWORD error, bool unlink = false) {
      if (unlink && !shmName.empty())
        shm_unlink(shmName.c_str());
      return Result{nullptr, error, false};
    };
    if (shmName.empty())
      segment->fd_ = memfd_create("tallowick-object", MFD_CLOEXEC);
    else
      segment->fd_ =
          shm_open(shmName.c_str(), O_RDWR | O_CLOEXEC | (request.create ? O_CREAT : 0), 0600);
    if (segment->fd_ < 0)
      return fail(ErrorFromErrno(errno));

    struct stat st {};
    if (fstat(segment->fd_, &st) != 0)
      return fail(ErrorFromErrno(errno));
    const uint64_t headerSize = HeaderSize();
    if (static_cast<uint64_t>(st.st_size) >= headerSize) {
      void *header = mmap(nullptr, headerSize, PROT_READ | PROT_WRITE, MAP_SHARED, segment->fd_, 0);
      if (header == MAP_FAILED)
        return fail(ErrorFromErrno(errno));
      segment->header_ = static_cast<SegmentHeader *>(header);
    }
    bool live = segment->header_ != nullptr && segment->header_->magic == kSegmentMagic &&
                PruneHolders(segment->header_) > 0;

    if (live && segment->header_->kind != static_cast<uint32_t>(request.kind))
      return fail(ERROR_INVALID_HANDLE);
    // A segment left behind by processes that died is gone, as far as Windows is concerned.
    if (!live && !request.create)
      return fail(ERROR_FILE_NOT_FOUND, true);
    if (!live) {
      if (segment->header_ != nullptr) {
        munmap(segment->header_, headerSize);
        segment->header_ = nullptr;
      }
      const auto total = static_cast<off_t>(headerSize + request.size);
      if (ftruncate(segment->fd_, 0) != 0 || ftruncate(segment->fd_, total) != 0)
        return fail(ErrorFromErrno(errno), true);
      int reserved = posix_fallocate(segment->fd_, 0, total);
      if (reserved != 0 && reserved != EOPNOTSUPP && reserved != EINVAL)
        return fail(ERROR_NOT_ENOUGH_MEMORY, true);
      void *header = mmap(nullptr, headerSize, PROT_READ | PROT_WRITE, MAP_SHARED, segment->fd_, 0);
      if (header == MAP_FAILED)
        return fail(ErrorFromErrno(errno), true);
      segment->header_ = static_cast<SegmentHeader *>(header);
      segment->header_->kind = static_cast<uint32_t>(request.kind);
      segment->header_->size = request.size;
      segment->header_->protect = request.protect;
      DWORD error = request.init ? request.init(segment->Payload()) : ERROR_SUCCESS;
      if (error != ERROR_SUCCESS)
        return fail(error, true);
      segment->header_->magic = kSegmentMagic;
    }

    if (!shmName.empty()) {
      if (!AddHolder(segment->header_, segment->pid_))
        return fail(ERROR_NOT_ENOUGH_MEMORY, !live);
      segment->name_ = shmName;
      Registry()[shmName] = segment;
    }
    return {segment, ERROR_SUCCESS, live};
  } catch (...) {
    return {nullptr, ERROR_NOT_ENOUGH_MEMORY, false};
  }
}

SharedSegment::~SharedSegment() {
  try {
    Close();
  } catch (...) {
  }
}

void SharedSegment::Close() {
  if (!name_.empty() && header_ != nullptr && pid_ == getpid()) {
    NamespaceLock lock;
    if (RemoveHolder(header_, pid_) && PruneHolders(header_) == 0)
      shm_unlink(name_.c_str());
    auto found = Registry().find(name_);
    if (found != Registry().end() && found->second.expired())
      Registry().erase(found);
  }
  if (header_ != nullptr && pins_ == 0)
    munmap(header_, HeaderSize());
  if (fd_ >= 0)
    close(fd_);
}

} // namespace tallowick::platform
