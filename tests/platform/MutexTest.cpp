#include "ChildProcess.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

namespace {

DWORD WaitInThread(HANDLE mutex, DWORD milliseconds, bool release) {
  DWORD result = WAIT_FAILED;
  std::thread([&] {
    result = WaitForSingleObject(mutex, milliseconds);
    if (release && result == WAIT_OBJECT_0)
      ReleaseMutex(mutex);
  }).join();
  return result;
}

TEST(Mutex, NamedCreateOpenAndLifetime) {
  std::wstring name = UniqueName(L"mutex");
  HANDLE first = CreateMutexW(nullptr, FALSE, name.c_str());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));

  // An existing name opens the same mutex; the initial owner is ignored then.
  HANDLE second = nullptr;
  std::thread([&] {
    second = CreateMutexW(nullptr, TRUE, name.c_str());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  }).join();
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  EXPECT_EQ(WaitForSingleObject(first, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitInThread(second, 0, false), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_TRUE(ReleaseMutex(second));

  // "Global\" and "Local\" name the same object.
  std::wstring global = L"Global\\" + name.substr(6);
  HANDLE opened = OpenMutexW(SYNCHRONIZE, FALSE, global.c_str());
  ASSERT_NE(opened, nullptr);
  EXPECT_EQ(WaitForSingleObject(opened, 0), WAIT_OBJECT_0);
  EXPECT_FALSE(ReleaseMutex(opened)); // no MUTEX_MODIFY_STATE
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(ReleaseMutex(first));

  EXPECT_TRUE(CloseHandle(first));
  EXPECT_TRUE(CloseHandle(second));
  HANDLE again = OpenMutexW(SYNCHRONIZE, FALSE, name.c_str()); // kept alive by `opened`
  EXPECT_NE(again, nullptr);
  EXPECT_TRUE(CloseHandle(again));
  EXPECT_TRUE(CloseHandle(opened));
  EXPECT_FALSE(CloseHandle(opened));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  // The last handle is gone, and so is the mutex.
  EXPECT_EQ(OpenMutexW(SYNCHRONIZE, FALSE, name.c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(Mutex, NamesAllowAnyCharacterAndShareTheNamespace) {
  std::wstring slash = UniqueName(L"a/b");
  std::wstring escaped = UniqueName(L"a%2Fb");
  std::wstring wide = UniqueName(L"\u00e9\u20ac\\x");
  HANDLE a = CreateMutexW(nullptr, FALSE, slash.c_str());
  HANDLE b = CreateMutexW(nullptr, FALSE, escaped.c_str());
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS)); // distinct from "a/b"
  HANDLE c = CreateMutexW(nullptr, FALSE, wide.c_str());
  ASSERT_TRUE(a && b && c);
  std::wstring longName = UniqueName(std::wstring(MAX_PATH - 40, L'\u00fc').c_str());
  HANDLE d = CreateMutexW(nullptr, FALSE, longName.c_str());
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(OpenMutexW(SYNCHRONIZE, FALSE, std::wstring(MAX_PATH + 1, L'x').c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));

  // A file mapping cannot take a mutex's name.
  EXPECT_EQ(
      CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, slash.c_str()),
      nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  for (HANDLE h : {a, b, c, d})
    EXPECT_TRUE(CloseHandle(h));
}

TEST(Mutex, RecursiveOwnershipAndTimeouts) {
  HANDLE mutex = CreateMutexW(nullptr, TRUE, nullptr);
  ASSERT_NE(mutex, nullptr);
  EXPECT_EQ(WaitForSingleObject(mutex, INFINITE), WAIT_OBJECT_0);
  DWORD start = GetTickCount();
  EXPECT_EQ(WaitInThread(mutex, 60, false), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_GE(GetTickCount() - start, 60u);
  std::thread([&] {
    EXPECT_FALSE(ReleaseMutex(mutex));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_OWNER));
  }).join();

  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_EQ(WaitInThread(mutex, 0, false), static_cast<DWORD>(WAIT_TIMEOUT)); // still held once
  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_FALSE(ReleaseMutex(mutex));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_OWNER));
  EXPECT_EQ(WaitInThread(mutex, 1000, true), WAIT_OBJECT_0);
  EXPECT_TRUE(CloseHandle(mutex));
  EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(Mutex, AbandonedByThreadAndByProcess) {
  HANDLE mutex = CreateMutexW(nullptr, FALSE, UniqueName(L"abandoned").c_str());
  ASSERT_NE(mutex, nullptr);
  EXPECT_EQ(WaitInThread(mutex, 0, false), WAIT_OBJECT_0); // the thread ends holding it
  EXPECT_EQ(WaitForSingleObject(mutex, 1000), static_cast<DWORD>(WAIT_ABANDONED));
  EXPECT_TRUE(ReleaseMutex(mutex));                        // the waiter owns it now
  EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0); // and it is consistent again
  EXPECT_TRUE(ReleaseMutex(mutex));

  int code = RunInChild([&] { return WaitForSingleObject(mutex, 1000) == WAIT_OBJECT_0 ? 0 : 1; });
  ASSERT_EQ(code, 0);
  EXPECT_EQ(WaitForSingleObject(mutex, 1000), static_cast<DWORD>(WAIT_ABANDONED));
  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_TRUE(CloseHandle(mutex));
}

TEST(Mutex, ExcludesAcrossProcesses) {
  std::wstring name = UniqueName(L"exclusion");
  HANDLE mutex = CreateMutexW(nullptr, TRUE, name.c_str());
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(long), UniqueName(L"counter").c_str());
  ASSERT_TRUE(mutex && mapping);
  auto *counter = static_cast<volatile long *>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
  ASSERT_NE(counter, nullptr);

  EXPECT_EQ(RunInChild([&] {
              HANDLE own = OpenMutexW(SYNCHRONIZE, FALSE, name.c_str());
              return own != nullptr && WaitForSingleObject(own, 50) == WAIT_TIMEOUT ? 0 : 1;
            }),
            0);
  EXPECT_TRUE(ReleaseMutex(mutex));

  // Unsynchronised read-modify-write, made safe only by the mutex.
  constexpr int kRounds = 2000;
  auto work = [&] {
    HANDLE own = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, name.c_str());
    if (own == nullptr)
      return 1;
    for (int i = 0; i < kRounds; ++i) {
      if (WaitForSingleObject(own, INFINITE) != WAIT_OBJECT_0)
        return 2;
      long value = *counter;
      if (i % 64 == 0)
        sched_yield();
      *counter = value + 1;
      if (!ReleaseMutex(own))
        return 3;
    }
    return CloseHandle(own) ? 0 : 4;
  };
  pid_t child = fork();
  if (child == 0)
    _exit(work());
  EXPECT_EQ(work(), 0);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(*counter, 2 * kRounds);
  EXPECT_TRUE(UnmapViewOfFile(const_cast<long *>(counter)));
  EXPECT_TRUE(CloseHandle(mapping));
  EXPECT_TRUE(CloseHandle(mutex));
}

TEST(Mutex, LeftoverOfDeadProcessIsGone) {
  std::wstring name = UniqueName(L"leftover");
  ASSERT_EQ(RunInChild([&] { return CreateMutexW(nullptr, TRUE, name.c_str()) ? 0 : 1; }), 0);
  // The creator died without closing: the name is free again.
  EXPECT_EQ(OpenMutexW(SYNCHRONIZE, FALSE, name.c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  HANDLE fresh = CreateMutexW(nullptr, FALSE, name.c_str());
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(WaitForSingleObject(fresh, 0), WAIT_OBJECT_0);
  EXPECT_TRUE(ReleaseMutex(fresh));
  EXPECT_TRUE(CloseHandle(fresh));
}

} // namespace
