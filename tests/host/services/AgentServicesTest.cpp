#include "HostModuleFixture.h"

#include <string>

namespace {

class AgentServicesTest : public HostModuleFixture {
protected:
  void SetUp() override {
    HostModuleFixture::SetUp();
    ASSERT_EQ(Create(kAgentServicesProgID, IID_IWIAgentServices, &services_), S_OK);
    ASSERT_EQ(
        services_->QueryInterface(__uuidof(IWIHostSettings), reinterpret_cast<void **>(&settings_)),
        S_OK);
  }
  void TearDown() override {
    if (settings_ != nullptr)
      settings_->Release();
    if (services_ != nullptr)
      services_->Release();
    HostModuleFixture::TearDown();
  }

  HRESULT SetLong(const wchar_t *name, LONG value) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = value;
    return settings_->SetSetting(TestBstr(name), v);
  }
  std::wstring ClassName(LONG id, HRESULT expected) {
    BSTR name = nullptr;
    EXPECT_EQ(services_->GetWebClassName(id, &name), expected);
    std::wstring text = name != nullptr ? name : L"<null>";
    SysFreeString(name);
    return text;
  }
  LONG ClassId(const wchar_t *name, HRESULT expected) {
    LONG id = -1;
    EXPECT_EQ(services_->GetWebClassId(TestBstr(name), &id), expected);
    return id;
  }

  IWIAgentServices *services_ = nullptr;
  IWIHostSettings *settings_ = nullptr;
};

TEST_F(AgentServicesTest, OneObjectWhoseIUnknownIsItsAgentServices) {
  IUnknown *unknown = nullptr;
  ASSERT_EQ(Create(kAgentServicesProgID, IID_IUnknown, &unknown), S_OK);
  IUnknown *queried = nullptr;
  ASSERT_EQ(services_->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(&queried)), S_OK);
  EXPECT_EQ(unknown, queried);
  EXPECT_EQ(static_cast<void *>(queried), static_cast<void *>(services_));

  // The kit calls the IUnknown pointer's own table as IWIAgentServices.
  ASSERT_EQ(SetLong(L"ReplayOnlyClick", 1), S_OK);
  VARIANT value;
  EXPECT_EQ(reinterpret_cast<IWIAgentServices *>(queried)->GetSetting(TestBstr(L"ReplayOnlyClick"),
                                                                      &value),
            S_OK);
  EXPECT_EQ(value.vt, VT_I4);
  EXPECT_EQ(value.lVal, 1);
  queried->Release();
  unknown->Release();

  // The last release clears the process-wide slot: the next object is new.
  settings_->Release();
  settings_ = nullptr;
  services_->Release();
  services_ = nullptr;
  ASSERT_NE(GetModuleHandleW(kHostModule), nullptr);
  ASSERT_EQ(Create(kAgentServicesProgID, IID_IWIAgentServices, &services_), S_OK);
  EXPECT_TRUE(FAILED(services_->GetSetting(TestBstr(L"ReplayOnlyClick"), &value)));
  EXPECT_EQ(value.vt, VT_EMPTY);
}

TEST_F(AgentServicesTest, SettingsAreCopiesByExactName) {
  TestBstr file(L"web forms configuration file");
  VARIANT text;
  text.vt = VT_BSTR;
  text.bstrVal = SysAllocString(L"/tmp/WebForms.xml");
  ASSERT_EQ(settings_->SetSetting(file, text), S_OK);
  VariantClear(&text);
  LONG source = 0;
  VARIANT byRef;
  byRef.vt = VT_I4 | VT_BYREF;
  byRef.plVal = &source;
  ASSERT_EQ(settings_->SetSetting(TestBstr(L"IgnorePredefinedTags"), byRef), S_OK);
  source = 9; // stored as the value it referred to

  VARIANT value;
  ASSERT_EQ(services_->GetSetting(file, &value), S_OK);
  ASSERT_EQ(value.vt, VT_BSTR);
  EXPECT_STREQ(value.bstrVal, L"/tmp/WebForms.xml");
  VariantClear(&value);
  ASSERT_EQ(services_->GetSetting(TestBstr(L"IgnorePredefinedTags"), &value), S_OK);
  EXPECT_EQ(value.vt, VT_I4);
  EXPECT_EQ(value.lVal, 0);
  value.vt = VT_I4;
  EXPECT_TRUE(FAILED(services_->GetSetting(TestBstr(L"ignorepredefinedtags"), &value)));
  EXPECT_EQ(value.vt, VT_EMPTY);
  EXPECT_EQ(services_->GetSetting(file, nullptr), E_POINTER);
  EXPECT_EQ(settings_->SetSetting(nullptr, value), E_INVALIDARG);

  EXPECT_EQ(settings_->RemoveSetting(TestBstr(L"IgnorePredefinedTags")), S_OK);
  EXPECT_EQ(settings_->RemoveSetting(TestBstr(L"IgnorePredefinedTags")), S_FALSE);
  EXPECT_TRUE(FAILED(services_->GetSetting(TestBstr(L"IgnorePredefinedTags"), &value)));
  ASSERT_EQ(services_->GetSetting(file, &value), S_OK);
  VariantClear(&value);
  EXPECT_EQ(settings_->ClearSettings(), S_OK);
  EXPECT_TRUE(FAILED(services_->GetSetting(file, &value)));
}

TEST_F(AgentServicesTest, WebClassTable) {
  EXPECT_EQ(ClassName(0, S_OK), L"");
  EXPECT_EQ(ClassName(12, S_OK), L"Link");
  EXPECT_EQ(ClassName(28, S_OK), L"ViewLinkFrame");
  EXPECT_EQ(ClassId(L"WebEdit", S_OK), 18);
  EXPECT_EQ(ClassName(29, S_FALSE), L"");
  EXPECT_EQ(ClassId(L"link", S_FALSE), 0);

  ASSERT_EQ(services_->RegisterWebClass(1025, TestBstr(L"WbfTabStrip")), S_OK);
  EXPECT_EQ(ClassName(1025, S_OK), L"WbfTabStrip");
  EXPECT_EQ(ClassId(L"WbfTabStrip", S_OK), 1025);
  // Registering an id again replaces its name.
  ASSERT_EQ(services_->RegisterWebClass(1025, TestBstr(L"WbfTabs")), S_OK);
  EXPECT_EQ(ClassName(1025, S_OK), L"WbfTabs");
  EXPECT_EQ(ClassId(L"WbfTabStrip", S_FALSE), 0);

  EXPECT_EQ(services_->RegisterWebClass(1026, nullptr), E_INVALIDARG);
  EXPECT_EQ(services_->GetWebClassName(1, nullptr), E_POINTER);
  EXPECT_EQ(services_->GetWebClassId(nullptr, nullptr), E_POINTER);
}

TEST_F(AgentServicesTest, ObjectServicesFindNoAgentObjectYet) {
  IWIAgentObjectServices *objects = nullptr;
  ASSERT_EQ(
      services_->QueryInterface(IID_IWIAgentObjectServices, reinterpret_cast<void **>(&objects)),
      S_OK);
  IWebObj2 *ao = reinterpret_cast<IWebObj2 *>(services_);
  EXPECT_EQ(objects->GetElementAO(services_, nullptr, VARIANT_TRUE, &ao), S_FALSE);
  EXPECT_EQ(ao, nullptr);
  ao = reinterpret_cast<IWebObj2 *>(services_);
  EXPECT_EQ(objects->GetViewLinkElementAO(services_, nullptr, &ao), S_FALSE);
  EXPECT_EQ(ao, nullptr);
  EXPECT_EQ(objects->FindAO(services_, nullptr), E_POINTER);
  objects->Release();
}

} // namespace
