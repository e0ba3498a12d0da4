#include "ChildProcess.h"
#include "Probe.h"
#include "tallowick/Loader.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

constexpr const wchar_t *kProbeName = L"libtallowick_probe.so";

class ModuleTest : public ::testing::Test {
protected:
  void SetUp() override {
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<void *>(&probe_));
    setenv(TALLOWICK_PROBE_ENV, address, 1);
  }
  void TearDown() override { unsetenv(TALLOWICK_PROBE_ENV); }

  static std::wstring ExecutableDir() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(std::wstring(path, length)).parent_path().wstring();
  }

  ModuleProbe probe_{};
};

TEST_F(ModuleTest, HandlesAgreeAndDetachRunsAtLastFree) {
  HMODULE module = LoadLibraryW(kProbeName);
  ASSERT_NE(module, nullptr) << tallowick::platform::LastLoaderMessage();
  EXPECT_EQ(probe_.attaches, 1);
  EXPECT_EQ(probe_.attachHandle, static_cast<void *>(module));

  auto ownHandle = reinterpret_cast<HINSTANCE (*)()>(
      reinterpret_cast<void *>(GetProcAddress(module, "ProbeOwnHandle")));
  ASSERT_NE(ownHandle, nullptr);
  EXPECT_EQ(ownHandle(), module);
  HMODULE fromAddress = nullptr;
  ASSERT_TRUE(GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                     GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                 reinterpret_cast<LPCWSTR>(ownHandle), &fromAddress));
  EXPECT_EQ(fromAddress, module);

  // Bare name: found beside the executable; a second load finds the loaded module.
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  EXPECT_EQ(std::wstring(path, length), ExecutableDir() + L"/" + kProbeName);
  EXPECT_EQ(LoadLibraryExW(kProbeName, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH), module);
  EXPECT_EQ(GetModuleHandleW(kProbeName), module);
  HMODULE counted = nullptr;
  ASSERT_TRUE(GetModuleHandleExW(0, kProbeName, &counted));
  EXPECT_EQ(probe_.attaches, 1);

  // Three references now: detach only when the last goes.
  EXPECT_TRUE(FreeLibrary(counted));
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_EQ(probe_.detaches, 0);
  EXPECT_EQ(GetModuleHandleW(kProbeName), module);
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_EQ(probe_.detaches, 1);
  EXPECT_EQ(probe_.detachHandle, static_cast<void *>(module));
  EXPECT_EQ(GetModuleHandleW(kProbeName), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST_F(ModuleTest, PinnedModuleStaysLoaded) {
  // Pinning lasts for the process, so it happens in a child.
  int code = RunInChild([this] {
    HMODULE module = LoadLibraryW(kProbeName);
    HMODULE pinned = nullptr;
    if (module == nullptr ||
        !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN, kProbeName, &pinned))
      return 1;
    FreeLibrary(module);
    FreeLibrary(module);
    return probe_.detaches == 0 && GetModuleHandleW(kProbeName) == module ? 0 : 2;
  });
  EXPECT_EQ(code, 0);
}

TEST_F(ModuleTest, ExportsAndErrors) {
  HMODULE module = LoadLibraryW(kProbeName);
  ASSERT_NE(module, nullptr);
  auto answer =
      reinterpret_cast<int (*)()>(reinterpret_cast<void *>(GetProcAddress(module, "ProbeAnswer")));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(GetProcAddress(module, "Missing"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  EXPECT_EQ(GetProcAddress(module, "malloc"), nullptr); // a dependency's, not the module's
  EXPECT_EQ(GetProcAddress(module, reinterpret_cast<LPCSTR>(1)), nullptr);
  EXPECT_EQ(GetProcAddress(module, "DllMain"), nullptr); // not in the export list
  EXPECT_TRUE(FreeLibrary(module));

  EXPECT_EQ(LoadLibraryW(L"libtallowick_no_such_module.so"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_FALSE(tallowick::platform::LastLoaderMessage().empty());
  EXPECT_EQ(LoadLibraryW(L"/nonexistent/dir/libx.so"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));

  auto text = std::filesystem::temp_directory_path() /
              ("tallowick-text-" + std::to_string(getpid()) + ".so");
  std::ofstream(text) << "not a library\n";
  EXPECT_EQ(LoadLibraryW(text.wstring().c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_FORMAT));
  std::filesystem::remove(text);

  EXPECT_EQ(LoadLibraryExW(L"", nullptr, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  HMODULE out = module;
  EXPECT_FALSE(GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, nullptr, &out));
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(ModuleTest, ExecutableModule) {
  HMODULE exe = GetModuleHandleW(nullptr);
  ASSERT_NE(exe, nullptr);
  HMODULE fromAddress = nullptr;
  ASSERT_TRUE(GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                 reinterpret_cast<LPCWSTR>(&ExecutableDir), &fromAddress));
  EXPECT_EQ(fromAddress, exe);

  std::wstring full = ExecutableDir() + L"/platform_tests";
  wchar_t path[MAX_PATH];
  EXPECT_EQ(GetModuleFileNameW(nullptr, path, MAX_PATH), full.size());
  EXPECT_EQ(path, full);
  // Too small a buffer: truncated, terminated, the buffer size returned.
  wchar_t small[8];
  EXPECT_EQ(GetModuleFileNameW(nullptr, small, 8), 8u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(std::wstring(small), full.substr(0, 7));
  EXPECT_EQ(GetModuleFileNameW(reinterpret_cast<HMODULE>(&full), path, MAX_PATH), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

} // namespace
