#include "kit/RegistryScript.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

class RegistryScriptTest : public ::testing::Test {
protected:
  void SetUp() override {
    file_ = fs::temp_directory_path() /
            ("tallowick-rgs-" + std::to_string(getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".reg");
    fs::remove(file_);
    setenv("TALLOWICK_REGISTRY", file_.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("TALLOWICK_REGISTRY");
    fs::remove(file_);
  }

  static std::wstring ReadString(const wchar_t *path, const wchar_t *name = nullptr) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
      return L"<no key>";
    WCHAR buffer[260] = {};
    DWORD size = sizeof buffer;
    LONG rc =
        RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE *>(buffer), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? buffer : L"<no value>";
  }

  fs::path file_;
};

const wchar_t kScript[] = LR"(
HKCR
{
  Sample.Thing.1 = s 'Thing Class'
  {
    CLSID = s '{11111111-2222-3333-4444-555555555555}'
  }
  NoRemove CLSID
  {
    ForceRemove {11111111-2222-3333-4444-555555555555} = s 'Thing Class'
    {
      InprocServer32 = s '%MODULE%'
      {
        val ThreadingModel = s 'Apartment'
        val Flags = d '0x10'
      }
      'Quoted Name' = s 'it''s 100%% done'
    }
  }
}
)";

TEST_F(RegistryScriptTest, RegistersWithReplacementsAndRemovesAgain) {
  CRegistryScript script;
  ASSERT_EQ(script.Parse(kScript, {{L"MODULE", L"libThing.so"}}), S_OK) << script.Error().c_str();
  ASSERT_EQ(script.Register(), S_OK);
  const wchar_t *server = L"CLSID\\{11111111-2222-3333-4444-555555555555}\\InprocServer32";
  EXPECT_EQ(ReadString(server), L"libThing.so");
  EXPECT_EQ(ReadString(server, L"ThreadingModel"), L"Apartment");
  EXPECT_EQ(ReadString(L"CLSID\\{11111111-2222-3333-4444-555555555555}\\Quoted Name"),
            L"it's 100% done");
  EXPECT_EQ(ReadString(L"Sample.Thing.1\\CLSID"), L"{11111111-2222-3333-4444-555555555555}");

  // A key the script does not know keeps its parent at unregistration.
  HKEY other = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, L"CLSID\\{99999999-2222-3333-4444-555555555555}", 0,
                            nullptr, 0, KEY_ALL_ACCESS, nullptr, &other, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(other);
  ASSERT_EQ(script.Unregister(), S_OK);
  EXPECT_EQ(ReadString(server), L"<no key>");
  EXPECT_EQ(ReadString(L"Sample.Thing.1"), L"<no key>");
  EXPECT_NE(ReadString(L"CLSID"), L"<no key>"); // NoRemove
}

TEST_F(RegistryScriptTest, RejectsMalformedScripts) {
  CRegistryScript script;
  EXPECT_EQ(script.Parse(L"HKXX { }", {}), E_INVALIDARG);
  EXPECT_NE(script.Error().find(L"HKXX"), std::wstring::npos);
  EXPECT_EQ(script.Parse(L"HKCR { Key = s 'open", {}), E_INVALIDARG);
  EXPECT_EQ(script.Parse(L"HKCR { Key = s '%UNKNOWN%' }", {}), E_INVALIDARG);
  EXPECT_EQ(script.Parse(L"HKCR { Key = q 'x' }", {}), E_INVALIDARG);
  EXPECT_EQ(script.Parse(L"HKCR { Key { val V = s 'x' ", {}), E_INVALIDARG);
  ASSERT_EQ(script.Parse(L"HKCR { Key = d 'notanumber' }", {}), S_OK);
  EXPECT_EQ(script.Register(), E_INVALIDARG);
}

} // namespace
