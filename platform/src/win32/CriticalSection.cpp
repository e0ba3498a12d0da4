// Critical sections: a recursive pthread mutex behind the struct's Impl field.
// RecursionCount and OwningThread follow the lock as in Windows.
#include <windows.h>

#include <pthread.h>

#include <new>

namespace {

pthread_mutex_t *NewLock() {
  auto *lock = new (std::nothrow) pthread_mutex_t;
  if (lock == nullptr)
    return nullptr;
  pthread_mutexattr_t attributes;
  pthread_mutexattr_init(&attributes);
  pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(lock, &attributes);
  pthread_mutexattr_destroy(&attributes);
  return lock;
}

// A zero-filled section that was never initialised gets its lock on first use.
pthread_mutex_t *LockOf(LPCRITICAL_SECTION section) {
  auto *lock = static_cast<pthread_mutex_t *>(__atomic_load_n(&section->Impl, __ATOMIC_ACQUIRE));
  if (lock != nullptr)
    return lock;
  pthread_mutex_t *fresh = NewLock();
  if (fresh == nullptr)
    return nullptr;
  void *expected = nullptr;
  if (__atomic_compare_exchange_n(&section->Impl, &expected, fresh, false, __ATOMIC_ACQ_REL,
                                  __ATOMIC_ACQUIRE))
    return fresh;
  pthread_mutex_destroy(fresh);
  delete fresh;
  return static_cast<pthread_mutex_t *>(expected);
}

void Acquired(LPCRITICAL_SECTION section) {
  section->OwningThread = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(GetCurrentThreadId()));
  ++section->RecursionCount;
}

} // namespace

extern "C" {

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  if (lpCriticalSection == nullptr)
    return;
  *lpCriticalSection = {};
  lpCriticalSection->LockCount = -1;
  lpCriticalSection->Impl = NewLock();
}

void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  if (lpCriticalSection == nullptr)
    return;
  auto *lock = static_cast<pthread_mutex_t *>(lpCriticalSection->Impl);
  if (lock != nullptr) {
    pthread_mutex_destroy(lock);
    delete lock;
  }
  *lpCriticalSection = {};
}

void WINAPI EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  if (lpCriticalSection == nullptr)
    return;
  pthread_mutex_t *lock = LockOf(lpCriticalSection);
  if (lock == nullptr || pthread_mutex_lock(lock) != 0)
    return;
  Acquired(lpCriticalSection);
}

BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  if (lpCriticalSection == nullptr)
    return FALSE;
  pthread_mutex_t *lock = LockOf(lpCriticalSection);
  if (lock == nullptr || pthread_mutex_trylock(lock) != 0)
    return FALSE;
  Acquired(lpCriticalSection);
  return TRUE;
}

void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  if (lpCriticalSection == nullptr)
    return;
  auto *lock =
      static_cast<pthread_mutex_t *>(__atomic_load_n(&lpCriticalSection->Impl, __ATOMIC_ACQUIRE));
  if (lock == nullptr)
    return;
  HANDLE self = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(GetCurrentThreadId()));
  if (lpCriticalSection->OwningThread != self)
    return; // only the owner may leave
  if (--lpCriticalSection->RecursionCount == 0)
    lpCriticalSection->OwningThread = nullptr;
  pthread_mutex_unlock(lock);
}

} // extern "C"
