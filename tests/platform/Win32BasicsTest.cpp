#include <windows.h>

#include <gtest/gtest.h>

#include <sys/syscall.h>
#include <unistd.h>

#include <thread>
#include <vector>

namespace {

TEST(Win32Basics, LastErrorAndIdsArePerThread) {
  SetLastError(ERROR_ACCESS_DENIED);
  DWORD otherId = 0;
  std::thread([&] {
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    SetLastError(ERROR_NOT_OWNER);
    otherId = GetCurrentThreadId();
  }).join();
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(GetCurrentThreadId(), static_cast<DWORD>(syscall(SYS_gettid)));
  EXPECT_NE(otherId, GetCurrentThreadId());
  EXPECT_EQ(GetCurrentProcessId(), static_cast<DWORD>(getpid()));
}

TEST(Win32Basics, TickCountFollowsSleep) {
  DWORD start = GetTickCount();
  Sleep(40);
  DWORD elapsed = GetTickCount() - start;
  EXPECT_GE(elapsed, 40u);
  EXPECT_LT(elapsed, 2000u);
}

TEST(Win32Basics, WideStringFunctions) {
  EXPECT_EQ(lstrlenW(nullptr), 0);
  EXPECT_EQ(lstrlenW(L"abc"), 3);
  // Word order: alphabetical first, then lower case before upper case.
  EXPECT_EQ(lstrcmpW(L"apple", L"Banana"), -1);
  EXPECT_EQ(lstrcmpW(L"abc", L"Abc"), -1);
  EXPECT_EQ(lstrcmpW(L"abc", L"abc"), 0);
  EXPECT_EQ(lstrcmpW(L"abcd", L"abc"), 1);
  EXPECT_EQ(lstrcmpiW(L"TabStrip", L"TABSTRIP"), 0);
  EXPECT_EQ(lstrcmpiW(L"a", L"B"), -1);
  EXPECT_EQ(lstrcmpiW(nullptr, L""), -1);
  EXPECT_EQ(lstrcmpW(nullptr, nullptr), 0);

  wchar_t buffer[6] = L"xxxxx";
  EXPECT_EQ(lstrcpynW(buffer, L"truncated", 4), buffer);
  EXPECT_STREQ(buffer, L"tru");
  EXPECT_EQ(lstrcpynW(buffer, L"ab", 6), buffer);
  EXPECT_STREQ(buffer, L"ab");
  EXPECT_EQ(lstrcpynW(nullptr, L"ab", 6), nullptr);
}

TEST(Win32Basics, CloseHandleRejectsWhatIsNoHandle) {
  int notAHandle = 0;
  for (HANDLE h : {HANDLE{}, HANDLE{&notAHandle}, INVALID_HANDLE_VALUE}) {
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(CloseHandle(h));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  }
}

TEST(Win32Basics, CriticalSectionIsRecursiveAndExclusive) {
  CRITICAL_SECTION section;
  InitializeCriticalSection(&section);
  EnterCriticalSection(&section);
  EXPECT_TRUE(TryEnterCriticalSection(&section));
  EXPECT_EQ(section.RecursionCount, 2);
  bool entered = true;
  std::thread([&] { entered = TryEnterCriticalSection(&section); }).join();
  EXPECT_FALSE(entered);
  LeaveCriticalSection(&section);
  LeaveCriticalSection(&section);
  EXPECT_EQ(section.OwningThread, nullptr);
  std::thread([&] {
    entered = TryEnterCriticalSection(&section);
    if (entered)
      LeaveCriticalSection(&section);
  }).join();
  EXPECT_TRUE(entered);

  long counter = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 5000; ++i) {
        EnterCriticalSection(&section);
        long value = counter;
        if (i % 100 == 0)
          std::this_thread::yield();
        counter = value + 1;
        LeaveCriticalSection(&section);
      }
    });
  }
  for (auto &thread : threads)
    thread.join();
  EXPECT_EQ(counter, 20000);
  DeleteCriticalSection(&section);
}

} // namespace
