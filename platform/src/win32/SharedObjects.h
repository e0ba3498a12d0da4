// Memory of kernel objects in POSIX shared memory. A named object is one shm
// segment per user and name: a header page (bookkeeping and, for mutexes, the
// lock itself) followed by the mapping's data. The header counts the handles
// and views each process holds; the segment is unlinked when the last one
// goes, and a segment whose holders have all died counts as gone.
#pragma once

#include "win32/Handles.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tallowick::platform {

// Shared memory name for an object name: "Global\" and "Local\" share one
// namespace, any character is allowed, and names are kept per user. Empty
// when the name is longer than Windows allows.
std::optional<std::string> SharedObjectName(std::wstring_view name);

struct SegmentHeader;

class SharedSegment {
public:
  struct Request {
    LPCWSTR name = nullptr; // nullptr or empty: an unnamed object
    ObjectType kind = ObjectType::Mutex;
    bool create = false; // false: open an existing object only
    uint64_t size = 0;   // data bytes of a new object
    DWORD protect = 0;   // page protection of a new mapping
    // Prepares the payload of a new object; returns a Win32 error or 0.
    std::function<DWORD(void *payload)> init;
  };
  struct Result {
    std::shared_ptr<SharedSegment> segment;
    DWORD error = ERROR_SUCCESS;
    bool existed = false;
  };

  // Opens or creates the object. Never throws.
  static Result Open(const Request &request);

  ~SharedSegment();
  SharedSegment(const SharedSegment &) = delete;
  SharedSegment &operator=(const SharedSegment &) = delete;

  // Bookkeeping area in the header page, suitably aligned for a lock.
  void *Payload() const;
  uint64_t DataSize() const;
  DWORD Protect() const;
  int Fd() const { return fd_; }
  static uint64_t HeaderSize();

  // While pinned, the header stays mapped in this process even after the last
  // reference goes (a robust lock held by one of our threads lives in it).
  void Pin() { ++pins_; }
  void Unpin() { --pins_; }

private:
  SharedSegment() = default;
  void Close();

  int fd_ = -1;
  SegmentHeader *header_ = nullptr;
  std::string name_; // empty for unnamed objects
  int pid_ = 0;      // process whose holder count this object carries
  std::atomic<int> pins_{0};
};

// Maps a Win32 error from errno.
DWORD ErrorFromErrno(int error);

} // namespace tallowick::platform
