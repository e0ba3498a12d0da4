#include "win32/Handles.h"

#include <mutex>
#include <new>
#include <unordered_set>

namespace tallowick::platform {
namespace {

constexpr uint32_t kHandleTag = 0x4C444E48; // "HNDL"

struct HandleRecord {
  uint32_t tag = kHandleTag;
  ObjectType type;
  DWORD access;
  std::shared_ptr<KernelObject> object;
};

struct HandleTable {
  std::mutex lock;
  std::unordered_set<HandleRecord *> live;
};

HandleTable &Table() {
  static auto *table = new HandleTable; // never destroyed: handles may be closed during exit
  return *table;
}

} // namespace

HANDLE NewHandle(std::shared_ptr<KernelObject> object, DWORD access) {
  if (!object)
    return nullptr;
  auto *record = new (std::nothrow) HandleRecord{kHandleTag, object->Type(), access, object};
  if (record == nullptr)
    return nullptr;
  try {
    std::lock_guard guard(Table().lock);
    Table().live.insert(record);
  } catch (...) {
    delete record;
    return nullptr;
  }
  return record;
}

HandleInfo LookupHandle(HANDLE handle, ObjectType type) {
  auto *record = static_cast<HandleRecord *>(handle);
  std::lock_guard guard(Table().lock);
  if (Table().live.count(record) == 0)
    return {};
  if (record->tag != kHandleTag || record->type != type)
    return {};
  return {record->object, record->access};
}

bool CloseKernelHandle(HANDLE handle) {
  auto *record = static_cast<HandleRecord *>(handle);
  {
    std::lock_guard guard(Table().lock);
    if (Table().live.erase(record) == 0)
      return false;
    record->tag = 0;
  }
  delete record; // may release the object, which can take other locks
  return true;
}

} // namespace tallowick::platform
