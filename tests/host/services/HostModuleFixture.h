// Each test gets its own registry file with the host module registered in it,
// and an initialised apartment. Objects come from the module through COM.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "TallowickHost.h"

// A BSTR owned by the test.
struct TestBstr {
  explicit TestBstr(const wchar_t *text) : value(SysAllocString(text)) {}
  ~TestBstr() { SysFreeString(value); }
  TestBstr(const TestBstr &) = delete;
  TestBstr &operator=(const TestBstr &) = delete;
  operator BSTR() const { return value; }
  BSTR value;
};

class HostModuleFixture : public ::testing::Test {
protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("tallowick-host-" + std::to_string(getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    setenv("TALLOWICK_REGISTRY", (folder_ / "registry.reg").c_str(), 1);
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    ASSERT_EQ(CallExport("DllRegisterServer"), S_OK);
  }
  void TearDown() override {
    CoUninitialize();
    unsetenv("TALLOWICK_REGISTRY");
    std::filesystem::remove_all(folder_);
  }

  template <class F> static F Export(HMODULE module, const char *name) {
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
  }
  // Loads the module, calls one of its HRESULT(void) exports and frees it.
  static HRESULT CallExport(const char *name) {
    HMODULE module = LoadLibraryW(kHostModule);
    if (module == nullptr)
      return E_FAIL;
    auto entry = Export<HRESULT(WINAPI *)()>(module, name);
    HRESULT hr = entry != nullptr ? entry() : E_FAIL;
    FreeLibrary(module);
    return hr;
  }

  template <class I> static HRESULT Create(const wchar_t *progId, REFIID iid, I **out) {
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(progId, &clsid);
    if (FAILED(hr))
      return hr;
    return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid,
                            reinterpret_cast<void **>(out));
  }

  std::filesystem::path folder_;
};
