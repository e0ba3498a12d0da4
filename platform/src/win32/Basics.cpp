// Last error, thread and process ids, time, wide-string helpers, CloseHandle.
#include "tallowick/Strings.h"
#include "win32/Handles.h"

#include <windows.h>

#include <sched.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cwchar>

using namespace tallowick::platform;

namespace {

thread_local DWORD t_lastError = ERROR_SUCCESS;

// Linguistic order as lstrcmpW sorts: letters compare alphabetically first,
// and only equal words are told apart by case, lower case first.
int CompareWords(std::wstring_view a, std::wstring_view b) {
  int primary = CompareNoCase(a, b);
  if (primary != 0)
    return primary;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] == b[i])
      continue;
    bool aLower = FoldCase(a[i]) != a[i];
    return aLower ? -1 : 1;
  }
  return 0;
}

int CompareNullable(LPCWSTR a, LPCWSTR b, int (*compare)(std::wstring_view, std::wstring_view)) {
  if (a == nullptr || b == nullptr) {
    if (a == b)
      return 0;
    return a == nullptr ? -1 : 1;
  }
  int result = compare(a, b);
  return result < 0 ? -1 : result > 0 ? 1 : 0;
}

} // namespace

extern "C" {

DWORD WINAPI GetLastError(void) { return t_lastError; }

void WINAPI SetLastError(DWORD dwErrCode) { t_lastError = dwErrCode; }

DWORD WINAPI GetCurrentThreadId(void) { return static_cast<DWORD>(syscall(SYS_gettid)); }

DWORD WINAPI GetCurrentProcessId(void) { return static_cast<DWORD>(getpid()); }

void WINAPI Sleep(DWORD dwMilliseconds) {
  if (dwMilliseconds == 0) {
    sched_yield();
    return;
  }
  if (dwMilliseconds == INFINITE) {
    for (;;)
      pause();
  }
  timespec left{static_cast<time_t>(dwMilliseconds / 1000),
                static_cast<long>(dwMilliseconds % 1000) * 1000000L};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

DWORD WINAPI GetTickCount(void) {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  uint64_t ms =
      static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<DWORD>(ms);
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
  if (!CloseKernelHandle(hObject)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

int WINAPI lstrlenW(LPCWSTR lpString) {
  return lpString == nullptr ? 0 : static_cast<int>(wcslen(lpString));
}

int WINAPI lstrcmpW(LPCWSTR lpString1, LPCWSTR lpString2) {
  return CompareNullable(lpString1, lpString2, CompareWords);
}

int WINAPI lstrcmpiW(LPCWSTR lpString1, LPCWSTR lpString2) {
  return CompareNullable(lpString1, lpString2, CompareNoCase);
}

LPWSTR WINAPI lstrcpynW(LPWSTR lpString1, LPCWSTR lpString2, int iMaxLength) {
  if (lpString1 == nullptr || lpString2 == nullptr)
    return nullptr;
  if (iMaxLength <= 0)
    return lpString1;
  int i = 0;
  for (; i < iMaxLength - 1 && lpString2[i] != L'\0'; ++i)
    lpString1[i] = lpString2[i];
  lpString1[i] = L'\0';
  return lpString1;
}

} // extern "C"
