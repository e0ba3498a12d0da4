#include "KitTestSupport.h"

#include <string>

#include "webobj/HostServices.h"

namespace {

class HostServicesTest : public KitRegistryTest {
protected:
  void SetUp() override {
    KitRegistryTest::SetUp();
    HostServices::ResetSettingsCache();
  }
  void TearDown() override {
    HostServices::ResetSettingsCache();
    KitRegistryTest::TearDown();
  }
  static void SetTagsToIgnore(const std::wstring &root, const std::wstring &list) {
    WriteString(HKEY_CURRENT_USER, root + L"Packages\\WebPackage\\Settings", L"TagsToIgnore", list);
  }
};

TEST_F(HostServicesTest, BuiltInWebClassesWithoutAgentServices) {
  ASSERT_EQ(HostServices::AgentServices(), nullptr);
  EXPECT_STREQ(HostServices::GetWebClassName(28).Text(), L"ViewLinkFrame");
  EXPECT_STREQ(HostServices::GetWebClassName(10).Text(), L"WebElement");
  EXPECT_STREQ(HostServices::GetWebClassName(29).Text(), L"");
  EXPECT_STREQ(HostServices::GetWebClassName(-1).Text(), L"");
  EXPECT_EQ(HostServices::GetWebClassId(CQilBstr(L"Frame")), 21);
  EXPECT_EQ(HostServices::GetWebClassId(CQilBstr(L"frame")), 0); // exact comparison
  EXPECT_EQ(HostServices::RegisterWebClass(1025, CQilBstr(L"WbfTabStrip")), E_FAIL);
  EXPECT_EQ(HostServices::GetLongSetting(CQilBstr(L"ReplayOnlyClick")), 0);
  EXPECT_FALSE(HostServices::GetBoolSetting(CQilBstr(L"IgnorePredefinedTags"), true));
  EXPECT_FALSE(HostServices::NewWebInfo()); // no host classes registered
}

TEST_F(HostServicesTest, SettingsRootFallsBackToTheFixedKeys) {
  EXPECT_STREQ(HostServices::GetSettingsRoot(), L"Software\\Varnholt\\Pacefold\\QilTest\\");
  HostServices::ResetSettingsCache();
  WriteString(HKEY_CURRENT_USER, L"Software\\Quillon\\Trialcraft\\QilTest", L"Marker", L"x");
  EXPECT_STREQ(HostServices::GetSettingsRoot(), L"Software\\Quillon\\Trialcraft\\QilTest\\");
  EXPECT_STREQ(HostServices::MakeSettingsPath(L"Packages\\A").Text(),
               L"Software\\Quillon\\Trialcraft\\QilTest\\Packages\\A");
  EXPECT_STREQ(HostServices::MakeSettingsPath(L"software\\quillon\\trialcraft\\qiltest\\B").Text(),
               L"software\\quillon\\trialcraft\\qiltest\\B");
}

TEST_F(HostServicesTest, SharedBlockNamesTheRootWhenItsKeyExists) {
  HANDLE block = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 1024,
                                    L"QIL_COMMON_AGENT_SETTINGS");
  ASSERT_NE(block, nullptr);
  auto *units = static_cast<uint16_t *>(MapViewOfFile(block, FILE_MAP_WRITE, 0, 0, 0));
  ASSERT_NE(units, nullptr);
  auto writeRoot = [units](const std::wstring &text) {
    for (size_t i = 0; i < 512; ++i)
      units[i] = i < text.size() ? static_cast<uint16_t>(text[i]) : 0;
  };

  writeRoot(L"Software\\Tool\\Missing");
  EXPECT_STREQ(HostServices::GetSettingsRoot(), L"Software\\Varnholt\\Pacefold\\QilTest\\");

  HostServices::ResetSettingsCache();
  WriteString(HKEY_CURRENT_USER, L"Software\\Tool\\Root", L"Marker", L"x");
  writeRoot(L"Software\\Tool\\Root");
  EXPECT_STREQ(HostServices::GetSettingsRoot(), L"Software\\Tool\\Root\\");
  EXPECT_STREQ(HostServices::MakeSettingsPath(L"Software\\Quillon\\Trialcraft\\QilTest\\X").Text(),
               L"Software\\Tool\\Root\\X");

  // A block without a terminator is read within its 1024 bytes.
  HostServices::ResetSettingsCache();
  for (size_t i = 0; i < 512; ++i)
    units[i] = L'A';
  EXPECT_STREQ(HostServices::GetSettingsRoot(), L"Software\\Varnholt\\Pacefold\\QilTest\\");

  UnmapViewOfFile(units);
  CloseHandle(block);
}

TEST_F(HostServicesTest, TagsToIgnoreAreMatchedBetweenSemicolons) {
  const std::wstring root = L"Software\\Varnholt\\Pacefold\\QilTest\\";
  EXPECT_FALSE(HostServices::IsTagIgnored(L"script", false)); // nothing stored
  SetTagsToIgnore(root, L";SCRIPT;STYLE;");
  EXPECT_TRUE(HostServices::IsTagIgnored(L"script", false));
  EXPECT_FALSE(HostServices::IsTagIgnored(L"scr", false));

  SetTagsToIgnore(root, L"SCRIPT;STYLE;");
  EXPECT_TRUE(HostServices::IsTagIgnored(L"script", false)); // cached until a reload
  EXPECT_FALSE(HostServices::IsTagIgnored(L"script", true)); // no leading semicolon
  EXPECT_TRUE(HostServices::IsTagIgnored(L"STYLE", false));

  std::wstring value;
  SetTagsToIgnore(root, L";" + std::wstring(258, L'X') + L";"); // 260 characters
  EXPECT_EQ(HostServices::ReadWebPackageSetting(L"TagsToIgnore", value), E_FAIL);
  EXPECT_FALSE(HostServices::IsTagIgnored(L"style", true));     // a failed reload answers false
  EXPECT_TRUE(HostServices::IsTagIgnored(L"style", false));     // and keeps the cache
  SetTagsToIgnore(root, L";" + std::wstring(257, L'X') + L";"); // 259 characters
  EXPECT_EQ(HostServices::ReadWebPackageSetting(L"TagsToIgnore", value), S_OK);
  EXPECT_EQ(value.size(), 259u);
}

TEST_F(HostServicesTest, LoadServerDllLooksInTheKitFolderFirst) {
  // The kit's code is linked into this test program, so its folder is the kit folder.
  HMODULE module = HostServices::LoadServerDll(L"libtallowick_test_server.so", nullptr);
  ASSERT_NE(module, nullptr);
  WCHAR path[MAX_PATH];
  DWORD n = GetModuleFileNameW(module, path, MAX_PATH);
  EXPECT_EQ(std::wstring(path, n), HostServices::KitFolder() + L"libtallowick_test_server.so");
  FreeLibrary(module);
  EXPECT_EQ(HostServices::LoadServerDll(L"\\\\server\\share\\missing.so", nullptr), nullptr);
  EXPECT_EQ(HostServices::LoadServerDll(L"libtallowick_no_such_server.so", nullptr), nullptr);
  EXPECT_EQ(HostServices::PreloadServerOf(IID_IWIKit), nullptr);
}

} // namespace
