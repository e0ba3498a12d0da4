// Process-wide handle table for kernel objects. A HANDLE is the address of a
// record in this table; every use validates it against the table first.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

namespace tallowick::platform {

enum class ObjectType : uint32_t { Mutex = 1, FileMapping = 2 };

class KernelObject {
public:
  explicit KernelObject(ObjectType type) : type_(type) {}
  virtual ~KernelObject() = default;
  KernelObject(const KernelObject &) = delete;
  KernelObject &operator=(const KernelObject &) = delete;
  ObjectType Type() const { return type_; }

private:
  ObjectType type_;
};

// Registers a new handle for the object; nullptr when out of memory.
HANDLE NewHandle(std::shared_ptr<KernelObject> object, DWORD access);

struct HandleInfo {
  std::shared_ptr<KernelObject> object;
  DWORD access = 0;
};

// The object behind a live handle of the given type; an empty object otherwise.
HandleInfo LookupHandle(HANDLE handle, ObjectType type);

// Removes the handle; false when it was not a live handle.
bool CloseKernelHandle(HANDLE handle);

} // namespace tallowick::platform
