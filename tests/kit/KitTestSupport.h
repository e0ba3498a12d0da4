// Shared fixture pieces for the kit tests: a registry file per test and an
// initialised apartment.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

class KitRegistryTest : public ::testing::Test {
protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("tallowick-kit-" + std::to_string(getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    setenv("TALLOWICK_REGISTRY", (folder_ / "registry.reg").c_str(), 1);
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
  }
  void TearDown() override {
    CoUninitialize();
    unsetenv("TALLOWICK_REGISTRY");
    std::filesystem::remove_all(folder_);
  }

  // The default (or named) string value of a key, or "<missing>".
  static std::wstring ReadString(HKEY root, const std::wstring &path, LPCWSTR name = nullptr) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
      return L"<missing>";
    WCHAR buffer[300] = {};
    DWORD size = sizeof buffer - sizeof(WCHAR);
    LONG rc =
        RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE *>(buffer), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? std::wstring(buffer) : L"<missing>";
  }

  // A DWORD value of a key, or -1 when missing.
  static long ReadDword(HKEY root, const std::wstring &path, LPCWSTR name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
      return -1;
    DWORD value = 0;
    DWORD size = sizeof value;
    LONG rc =
        RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE *>(&value), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? static_cast<long>(value) : -1;
  }

  static void WriteString(HKEY root, const std::wstring &path, LPCWSTR name,
                          const std::wstring &value) {
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(WCHAR)));
    RegCloseKey(key);
  }

  std::filesystem::path folder_;
};
