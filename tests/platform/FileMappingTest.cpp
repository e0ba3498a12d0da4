#include "ChildProcess.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>

namespace {

HANDLE NewMapping(const std::wstring &name, DWORD size, DWORD protect = PAGE_READWRITE) {
  return CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, protect, 0, size, name.c_str());
}

TEST(FileMapping, ZeroFilledSharedBetweenProcesses) {
  std::wstring name = UniqueName(L"shared");
  HANDLE mapping = NewMapping(name, 100000);
  ASSERT_NE(mapping, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  auto *data = static_cast<char *>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  ASSERT_NE(data, nullptr);
  EXPECT_TRUE(std::all_of(data, data + 100000, [](char c) { return c == 0; }));
  std::strcpy(data, "from parent");

  // Another process opens it by name, reads and answers.
  int code = RunInChild([&] {
    HANDLE own = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, name.c_str());
    auto *view = own ? static_cast<char *>(MapViewOfFile(own, FILE_MAP_WRITE, 0, 0, 0)) : nullptr;
    if (view == nullptr)
      return 1;
    if (std::strcmp(view, "from parent") != 0)
      return 2;
    std::strcpy(view + 99990, "child");
    return 0;
  });
  EXPECT_EQ(code, 0);
  EXPECT_STREQ(data + 99990, "child");

  // An existing name: the same mapping, whatever size is asked for.
  HANDLE again = NewMapping(name, 0);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  auto *second = static_cast<char *>(MapViewOfFile(again, FILE_MAP_READ, 0, 0, 0));
  ASSERT_NE(second, nullptr);
  EXPECT_STREQ(second, "from parent");
  for (void *view : {static_cast<void *>(data), static_cast<void *>(second)})
    EXPECT_TRUE(UnmapViewOfFile(view));
  EXPECT_TRUE(CloseHandle(mapping));
  EXPECT_TRUE(CloseHandle(again));
}

TEST(FileMapping, CreationErrors) {
  std::wstring name = UniqueName(L"errors");
  EXPECT_EQ(NewMapping(name, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(NewMapping(name, 4096, PAGE_NOACCESS), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  int dummy = 0;
  EXPECT_EQ(CreateFileMappingW(&dummy, nullptr, PAGE_READWRITE, 0, 4096, name.c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(OpenFileMappingW(FILE_MAP_READ, FALSE, name.c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(UnmapViewOfFile(&dummy));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_ADDRESS));
  EXPECT_EQ(MapViewOfFile(&dummy, FILE_MAP_READ, 0, 0, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(FileMapping, OffsetsAndSizes) {
  HANDLE mapping = NewMapping(UniqueName(L"offsets"), 200000);
  ASSERT_NE(mapping, nullptr);
  auto *whole = static_cast<char *>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
  ASSERT_NE(whole, nullptr);
  whole[65536] = 'x';
  whole[199999] = 'z';
  auto *tail = static_cast<char *>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 65536, 0));
  ASSERT_NE(tail, nullptr);
  EXPECT_EQ(tail[0], 'x');
  EXPECT_EQ(tail[199999 - 65536], 'z');

  EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ, 0, 4096, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MAPPED_ALIGNMENT));
  EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ, 0, 65536, 200000), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ, 0, 262144, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

  // A copy-on-write view keeps its changes to itself.
  auto *copy = static_cast<char *>(MapViewOfFile(mapping, FILE_MAP_COPY, 0, 0, 100));
  ASSERT_NE(copy, nullptr);
  copy[65] = 'c';
  EXPECT_EQ(whole[65], 0);
  for (void *view :
       {static_cast<void *>(whole), static_cast<void *>(tail), static_cast<void *>(copy)})
    EXPECT_TRUE(UnmapViewOfFile(view));
  EXPECT_FALSE(UnmapViewOfFile(whole));
  EXPECT_TRUE(CloseHandle(mapping));
}

TEST(FileMapping, ReadOnlyAccessIsEnforced) {
  std::wstring name = UniqueName(L"readonly");
  HANDLE mapping = NewMapping(name, 4096);
  ASSERT_NE(mapping, nullptr);
  HANDLE reader = OpenFileMappingW(FILE_MAP_READ, FALSE, name.c_str());
  ASSERT_NE(reader, nullptr);
  EXPECT_EQ(MapViewOfFile(reader, FILE_MAP_WRITE, 0, 0, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  auto *view = static_cast<char *>(MapViewOfFile(reader, FILE_MAP_READ, 0, 0, 0));
  ASSERT_NE(view, nullptr);
  // Writing through a read-only view faults.
  EXPECT_EQ(RunInChild([&] {
              std::signal(SIGSEGV, SIG_DFL);
              view[0] = 'w';
              return 0;
            }),
            -SIGSEGV);
  EXPECT_EQ(view[0], 0);

  HANDLE constant = NewMapping(UniqueName(L"constant"), 4096, PAGE_READONLY);
  ASSERT_NE(constant, nullptr);
  EXPECT_EQ(MapViewOfFile(constant, FILE_MAP_WRITE, 0, 0, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, UniqueName(L"constant").c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(UnmapViewOfFile(view));
  for (HANDLE h : {mapping, reader, constant})
    EXPECT_TRUE(CloseHandle(h));
}

TEST(FileMapping, LivesWhileAHandleOrViewExists) {
  std::wstring name = UniqueName(L"lifetime");
  HANDLE mapping = NewMapping(name, 4096);
  ASSERT_NE(mapping, nullptr);
  auto *view = static_cast<char *>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
  ASSERT_NE(view, nullptr);
  std::strcpy(view, "kept");
  EXPECT_TRUE(CloseHandle(mapping));

  HANDLE reopened = OpenFileMappingW(FILE_MAP_READ, FALSE, name.c_str()); // the view keeps it
  ASSERT_NE(reopened, nullptr);
  auto *again = static_cast<char *>(MapViewOfFile(reopened, FILE_MAP_READ, 0, 0, 0));
  ASSERT_NE(again, nullptr);
  EXPECT_STREQ(again, "kept");
  EXPECT_TRUE(CloseHandle(reopened));
  EXPECT_TRUE(UnmapViewOfFile(view));
  EXPECT_TRUE(UnmapViewOfFile(again));
  EXPECT_EQ(OpenFileMappingW(FILE_MAP_READ, FALSE, name.c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  // A mapping whose holders all died is gone: a new one starts zero-filled.
  ASSERT_EQ(RunInChild([&] {
              HANDLE own = NewMapping(name, 4096);
              auto *data =
                  own ? static_cast<char *>(MapViewOfFile(own, FILE_MAP_WRITE, 0, 0, 0)) : nullptr;
              if (data == nullptr)
                return 1;
              std::strcpy(data, "stale");
              return 0;
            }),
            0);
  HANDLE fresh = NewMapping(name, 4096);
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  auto *clean = static_cast<char *>(MapViewOfFile(fresh, FILE_MAP_READ, 0, 0, 0));
  ASSERT_NE(clean, nullptr);
  EXPECT_EQ(clean[0], 0);
  EXPECT_TRUE(UnmapViewOfFile(clean));
  EXPECT_TRUE(CloseHandle(fresh));
}

} // namespace
