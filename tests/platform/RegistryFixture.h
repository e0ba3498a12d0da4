// Gives each registry test its own registry file in a fresh temporary folder.
#pragma once

#include <windows.h>
#include <winreg.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class RegistryFixture : public ::testing::Test {
protected:
  void SetUp() override {
    char pattern[] = "/tmp/tallowick-registry-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    file_ = dir_ + "/registry.reg";
    setenv("TALLOWICK_REGISTRY", file_.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("TALLOWICK_REGISTRY");
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  static std::string ReadText(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  static void WriteText(const std::string &path, const std::string &text) {
    std::ofstream(path, std::ios::binary) << text;
  }

  // Creates (or opens) a key with full access; fails the test when it cannot.
  static HKEY Create(HKEY parent, const wchar_t *path) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(parent, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    return key;
  }
  static LONG SetString(HKEY key, const wchar_t *name, const std::wstring &text,
                        DWORD type = REG_SZ) {
    return RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE *>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  static LONG SetDword(HKEY key, const wchar_t *name, DWORD value) {
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value),
                          sizeof value);
  }
  static std::wstring GetString(HKEY key, const wchar_t *name) {
    wchar_t buffer[512] = {};
    DWORD size = sizeof buffer;
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(buffer), &size) !=
        ERROR_SUCCESS)
      return L"<missing>";
    return buffer;
  }

  std::string dir_;
  std::string file_;
};
