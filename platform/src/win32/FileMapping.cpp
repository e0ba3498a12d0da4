// File mappings backed by shared memory (the paging file, in Windows terms).
// Views are mmaps of the object's data; each view holds the object like a
// handle does, so a named mapping lives while any handle or view exists.
#include "win32/Handles.h"
#include "win32/SharedObjects.h"

#include <sys/mman.h>

#include <cerrno>
#include <map>
#include <mutex>

using namespace tallowick::platform;

namespace {

constexpr uint64_t kAllocationGranularity = 65536;

class MappingObject : public KernelObject {
public:
  explicit MappingObject(std::shared_ptr<SharedSegment> segment)
      : KernelObject(ObjectType::FileMapping), segment_(std::move(segment)) {}
  const std::shared_ptr<SharedSegment> &Segment() const { return segment_; }

private:
  std::shared_ptr<SharedSegment> segment_;
};

struct View {
  std::shared_ptr<SharedSegment> segment;
  size_t length = 0;
};

struct ViewTable {
  std::mutex lock;
  std::map<const void *, View> views;
};

ViewTable &Views() {
  static auto *table = new ViewTable;
  return *table;
}

DWORD MapSectionAccess(DWORD access) {
  if ((access & (GENERIC_ALL | MAXIMUM_ALLOWED)) != 0)
    access |= SECTION_ALL_ACCESS;
  if ((access & GENERIC_READ) != 0)
    access |= SECTION_QUERY | SECTION_MAP_READ;
  if ((access & GENERIC_WRITE) != 0)
    access |= SECTION_MAP_WRITE;
  return access;
}

HANDLE HandleFor(std::shared_ptr<SharedSegment> segment, DWORD access, bool existed) {
  HANDLE handle = NewHandle(std::make_shared<MappingObject>(std::move(segment)), access);
  if (handle == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

HANDLE Create(DWORD flProtect, uint64_t size, LPCWSTR lpName) {
  DWORD protect = flProtect & 0xFF;
  if (protect != PAGE_READONLY && protect != PAGE_READWRITE && protect != PAGE_WRITECOPY) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  SharedSegment::Request request;
  request.name = lpName;
  request.kind = ObjectType::FileMapping;
  request.size = size;
  request.protect = protect;
  if (size > static_cast<uint64_t>(INT64_MAX) - SharedSegment::HeaderSize()) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  // Size 0 can only open an existing mapping: a new one needs a size.
  request.create = size != 0;
  auto result = SharedSegment::Open(request);
  if (!result.segment) {
    bool missing = result.error == ERROR_FILE_NOT_FOUND && size == 0;
    SetLastError(missing ? ERROR_INVALID_PARAMETER : result.error);
    return nullptr;
  }
  if (size == 0)
    result.existed = true;
  return HandleFor(std::move(result.segment), SECTION_ALL_ACCESS, result.existed);
}

LPVOID Map(HANDLE hFileMappingObject, DWORD access, uint64_t offset, SIZE_T bytes) {
  auto info = LookupHandle(hFileMappingObject, ObjectType::FileMapping);
  auto *mapping = static_cast<MappingObject *>(info.object.get());
  if (mapping == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  const auto &segment = mapping->Segment();
  bool copy = access == FILE_MAP_COPY;
  bool write = !copy && (access & FILE_MAP_WRITE) != 0;
  bool read = copy || write || (access & FILE_MAP_READ) != 0;
  if (!read) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  bool rightsMissing =
      (info.access & SECTION_MAP_READ) == 0 || (write && (info.access & SECTION_MAP_WRITE) == 0);
  bool protectionDenies = (write && segment->Protect() != PAGE_READWRITE) ||
                          (copy && segment->Protect() == PAGE_READONLY);
  if (rightsMissing || protectionDenies) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  if (offset % kAllocationGranularity != 0) {
    SetLastError(ERROR_MAPPED_ALIGNMENT);
    return nullptr;
  }
  uint64_t size = segment->DataSize();
  if (offset >= size || bytes > size - offset) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  size_t length = bytes == 0 ? static_cast<size_t>(size - offset) : bytes;
  int protection = PROT_READ | (write || copy ? PROT_WRITE : 0);
  void *view = mmap(nullptr, length, protection, copy ? MAP_PRIVATE : MAP_SHARED, segment->Fd(),
                    static_cast<off_t>(SharedSegment::HeaderSize() + offset));
  if (view == MAP_FAILED) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  try {
    std::lock_guard guard(Views().lock);
    Views().views[view] = View{segment, length};
  } catch (...) {
    munmap(view, length);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return view;
}

} // namespace

extern "C" {

HANDLE WINAPI CreateFileMappingW(HANDLE hFile, LPSECURITY_ATTRIBUTES, DWORD flProtect,
                                 DWORD dwMaximumSizeHigh, DWORD dwMaximumSizeLow, LPCWSTR lpName) {
  if (hFile != INVALID_HANDLE_VALUE) {
    SetLastError(ERROR_INVALID_HANDLE); // only mappings backed by the paging file
    return nullptr;
  }
  try {
    return Create(flProtect, (uint64_t{dwMaximumSizeHigh} << 32) | dwMaximumSizeLow, lpName);
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
}

HANDLE WINAPI OpenFileMappingW(DWORD dwDesiredAccess, BOOL, LPCWSTR lpName) {
  if (lpName == nullptr || lpName[0] == L'\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  try {
    SharedSegment::Request request;
    request.name = lpName;
    request.kind = ObjectType::FileMapping;
    auto result = SharedSegment::Open(request);
    if (!result.segment) {
      SetLastError(result.error);
      return nullptr;
    }
    DWORD access = MapSectionAccess(dwDesiredAccess);
    if ((access & SECTION_MAP_WRITE) != 0 && result.segment->Protect() != PAGE_READWRITE) {
      SetLastError(ERROR_ACCESS_DENIED);
      return nullptr;
    }
    HANDLE handle = HandleFor(std::move(result.segment), access, false);
    return handle;
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
}

LPVOID WINAPI MapViewOfFile(HANDLE hFileMappingObject, DWORD dwDesiredAccess,
                            DWORD dwFileOffsetHigh, DWORD dwFileOffsetLow,
                            SIZE_T dwNumberOfBytesToMap) {
  try {
    uint64_t offset = (uint64_t{dwFileOffsetHigh} << 32) | dwFileOffsetLow;
    return Map(hFileMappingObject, dwDesiredAccess, offset, dwNumberOfBytesToMap);
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
}

BOOL WINAPI UnmapViewOfFile(LPCVOID lpBaseAddress) {
  View view;
  {
    std::lock_guard guard(Views().lock);
    auto found = Views().views.find(lpBaseAddress);
    if (found == Views().views.end()) {
      SetLastError(ERROR_INVALID_ADDRESS);
      return FALSE;
    }
    view = std::move(found->second);
    Views().views.erase(found);
  }
  munmap(const_cast<void *>(lpBaseAddress), view.length);
  return TRUE; // dropping the view may close the mapping, outside the table's lock
}

} // extern "C"
