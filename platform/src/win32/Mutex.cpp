// Mutexes: a robust, process-shared, recursive pthread mutex in the object's
// shared memory. A thread or process that dies holding it leaves it abandoned;
// the next waiter gets it with WAIT_ABANDONED.
#include "win32/Handles.h"
#include "win32/SharedObjects.h"

#include <pthread.h>
#include <time.h>

#include <cerrno>

using namespace tallowick::platform;

namespace {

class MutexObject : public KernelObject {
public:
  explicit MutexObject(std::shared_ptr<SharedSegment> segment)
      : KernelObject(ObjectType::Mutex), segment_(std::move(segment)) {}
  pthread_mutex_t *Lock() const { return static_cast<pthread_mutex_t *>(segment_->Payload()); }
  SharedSegment &Segment() const { return *segment_; }

private:
  std::shared_ptr<SharedSegment> segment_;
};

DWORD InitMutex(void *payload, bool initialOwner) {
  pthread_mutexattr_t attributes;
  if (pthread_mutexattr_init(&attributes) != 0)
    return ERROR_NOT_ENOUGH_MEMORY;
  pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED);
  pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST);
  pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
  auto *lock = static_cast<pthread_mutex_t *>(payload);
  int error = pthread_mutex_init(lock, &attributes);
  pthread_mutexattr_destroy(&attributes);
  if (error != 0)
    return ERROR_NOT_ENOUGH_MEMORY;
  if (initialOwner && pthread_mutex_lock(lock) != 0)
    return ERROR_NOT_ENOUGH_MEMORY;
  return ERROR_SUCCESS;
}

// Generic rights as a mutex understands them.
DWORD MapMutexAccess(DWORD access) {
  if ((access & (GENERIC_ALL | MAXIMUM_ALLOWED)) != 0)
    access |= MUTEX_ALL_ACCESS;
  if ((access & GENERIC_READ) != 0)
    access |= READ_CONTROL | MUTANT_QUERY_STATE;
  if ((access & GENERIC_EXECUTE) != 0)
    access |= SYNCHRONIZE;
  return access;
}

HANDLE HandleFor(SharedSegment::Result result, DWORD access) {
  if (!result.segment) {
    SetLastError(result.error);
    return nullptr;
  }
  HANDLE handle = NewHandle(std::make_shared<MutexObject>(std::move(result.segment)), access);
  if (handle == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  SetLastError(result.existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

timespec Deadline(DWORD milliseconds) {
  timespec deadline{};
  clock_gettime(CLOCK_MONOTONIC, &deadline);
  deadline.tv_sec += milliseconds / 1000;
  deadline.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
  if (deadline.tv_nsec >= 1000000000L) {
    deadline.tv_sec += 1;
    deadline.tv_nsec -= 1000000000L;
  }
  return deadline;
}

int Acquire(pthread_mutex_t *lock, DWORD milliseconds) {
  if (milliseconds == 0)
    return pthread_mutex_trylock(lock);
  if (milliseconds == INFINITE)
    return pthread_mutex_lock(lock);
  timespec deadline = Deadline(milliseconds);
  return pthread_mutex_clocklock(lock, CLOCK_MONOTONIC, &deadline);
}

} // namespace

extern "C" {

HANDLE WINAPI CreateMutexW(LPSECURITY_ATTRIBUTES, BOOL bInitialOwner, LPCWSTR lpName) {
  try {
    SharedSegment::Request request;
    request.name = lpName;
    request.kind = ObjectType::Mutex;
    request.create = true;
    bool owned = bInitialOwner != FALSE;
    request.init = [owned](void *payload) { return InitMutex(payload, owned); };
    auto result = SharedSegment::Open(request);
    // The initial owner applies to a new mutex only.
    if (result.segment && owned && !result.existed)
      result.segment->Pin();
    return HandleFor(std::move(result), MUTEX_ALL_ACCESS);
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
}

HANDLE WINAPI OpenMutexW(DWORD dwDesiredAccess, BOOL, LPCWSTR lpName) {
  if (lpName == nullptr || lpName[0] == L'\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  try {
    SharedSegment::Request request;
    request.name = lpName;
    request.kind = ObjectType::Mutex;
    HANDLE handle = HandleFor(SharedSegment::Open(request), MapMutexAccess(dwDesiredAccess));
    if (handle != nullptr)
      SetLastError(ERROR_SUCCESS);
    return handle;
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
}

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  auto info = LookupHandle(hHandle, ObjectType::Mutex);
  auto *mutex = static_cast<MutexObject *>(info.object.get());
  if (mutex == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  if ((info.access & SYNCHRONIZE) == 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return WAIT_FAILED;
  }
  int error = Acquire(mutex->Lock(), dwMilliseconds);
  switch (error) {
  case 0:
    mutex->Segment().Pin();
    return WAIT_OBJECT_0;
  case EOWNERDEAD:
    pthread_mutex_consistent(mutex->Lock());
    mutex->Segment().Pin();
    return WAIT_ABANDONED;
  case EBUSY:
  case ETIMEDOUT:
    return WAIT_TIMEOUT;
  case EAGAIN:
    SetLastError(ERROR_NOT_ENOUGH_MEMORY); // recursion limit
    return WAIT_FAILED;
  default:
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
}

BOOL WINAPI ReleaseMutex(HANDLE hMutex) {
  auto info = LookupHandle(hMutex, ObjectType::Mutex);
  auto *mutex = static_cast<MutexObject *>(info.object.get());
  if (mutex == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if ((info.access & MUTEX_MODIFY_STATE) == 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (pthread_mutex_unlock(mutex->Lock()) != 0) {
    SetLastError(ERROR_NOT_OWNER);
    return FALSE;
  }
  mutex->Segment().Unpin();
  return TRUE;
}

} // extern "C"
