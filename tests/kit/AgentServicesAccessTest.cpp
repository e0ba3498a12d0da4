// The kit's host services against the reference host's module.
#include "KitHostTestSupport.h"

namespace {

class AgentServicesAccessTest : public KitHostTest {
protected:
  void SetUp() override {
    KitHostTest::SetUp();
    StartAgentServices();
  }
};

TEST_F(AgentServicesAccessTest, AgentServicesIsCreatedOnceAndAnswersClassesAndSettings) {
  IWIAgentServices *first = HostServices::AgentServices();
  HostServices::EnsureAgentServices();
  EXPECT_EQ(HostServices::AgentServices(), first);

  EXPECT_EQ(HostServices::RegisterWebClass(1025, CQilBstr(L"WbfTabStrip")), S_OK);
  EXPECT_STREQ(HostServices::GetWebClassName(1025).Text(), L"WbfTabStrip");
  EXPECT_EQ(HostServices::GetWebClassId(CQilBstr(L"WbfTabStrip")), 1025);
  EXPECT_STREQ(HostServices::GetWebClassName(28).Text(), L"ViewLinkFrame");
  EXPECT_STREQ(HostServices::GetWebClassName(4242).Text(), L"");

  SetSetting(L"ReplayOnlyClick", 1);
  SetSetting(L"IgnorePredefinedTags", 2);
  EXPECT_EQ(HostServices::GetLongSetting(CQilBstr(L"ReplayOnlyClick")), 1);
  EXPECT_TRUE(HostServices::GetBoolSetting(CQilBstr(L"ReplayOnlyClick"), false));
  EXPECT_TRUE(HostServices::GetBoolSetting(CQilBstr(L"IgnorePredefinedTags"), true)); // 2: default
  EXPECT_FALSE(HostServices::GetBoolSetting(CQilBstr(L"IgnorePredefinedTags"), false));
  EXPECT_FALSE(HostServices::GetBoolSetting(CQilBstr(L"NoSuchSetting"), true)); // missing: false

  VARIANT text;
  VariantInit(&text);
  text.vt = VT_BSTR;
  text.bstrVal = SysAllocString(L"/config/webforms.xml");
  SetSetting(L"web forms configuration file", text);
  VariantClear(&text);
  CQilComPtr<IWebVariant> path;
  ASSERT_EQ(HostServices::GetSetting(CQilBstr(L"web forms configuration file"), &path), S_OK);
  CQilBstr value;
  ASSERT_EQ(path->get_string(&value), S_OK);
  EXPECT_STREQ(value.Text(), L"/config/webforms.xml");
  EXPECT_EQ(HostServices::GetLongSetting(CQilBstr(L"web forms configuration file")), 0);
  EXPECT_EQ(HostServices::GetSetting(CQilBstr(L"x"), nullptr), E_POINTER);
}

TEST_F(AgentServicesAccessTest, ValueObjectsComeFromTheCachedHostFactories) {
  CQilComPtr<IWebAttrVal> number = HostServices::NewWebAttrValLong(42);
  ASSERT_TRUE(number);
  LONG value = 0;
  ASSERT_EQ(number->GetLongValue(0, &value), S_OK);
  EXPECT_EQ(value, 42);
  CQilComPtr<IWebAttrVal> text = HostServices::NewWebAttrValString(CQilBstr(L"tab"));
  ASSERT_TRUE(text);
  CQilBstr stored;
  ASSERT_EQ(text->GetStringValue(0, &stored), S_OK);
  EXPECT_STREQ(stored.Text(), L"tab");
  EXPECT_TRUE(HostServices::NewWebAttrValBool(true));
  EXPECT_TRUE(HostServices::NewWebInfo());
  EXPECT_TRUE(HostServices::NewWebVariant());
  EXPECT_TRUE(HostServices::NewFilterStruct());

  IUnknown *runtimeId = nullptr;
  EXPECT_EQ(HostServices::CreateWebRunTimeID(CLSID_WebRunTimeID, IID_IWebRunTimeID,
                                             reinterpret_cast<void **>(&runtimeId)),
            S_OK);
  runtimeId->Release();
  EXPECT_EQ(HostServices::CreateWebInfo(CLSID_WebInfo, IID_IWebInfo, nullptr), E_POINTER);

  // The host's factories stay locked while the kit caches them.
  HMODULE host = GetModuleHandleW(kHostModule);
  ASSERT_NE(host, nullptr);
  auto canUnload = reinterpret_cast<HRESULT (*)()>(
      reinterpret_cast<void (*)()>(GetProcAddress(host, "DllCanUnloadNow")));
  number.Release();
  text.Release();
  EXPECT_EQ(canUnload(), S_FALSE);
}

} // namespace
