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
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    BSTR bname = SysAllocString(name);
    HRESULT hr = settings_->SetSetting(bname, v);
    SysFreeString(bname);
    return hr;
  }
  HRESULT Get(const wchar_t *name, VARIANT *value) {
    BSTR bname = SysAllocString(name);
    HRESULT hr = services_->GetSetting(bname, value);
    SysFreeString(bname);
    return hr;
  }
  std::wstring ClassName(LONG id, HRESULT expected) {
    BSTR name = nullptr;
    EXPECT_EQ(services_->GetWebClassName(id, &name), expected);
    std::wstring text = name != nullptr ? std::wstring(name, SysStringLen(name)) : L"<null>";
    SysFreeString(name);
    return text;
  }
  LONG ClassId(const wchar_t *name, HRESULT expected) {
    BSTR bname = SysAllocString(name);
    LONG id = -1;
    EXPECT_EQ(services_->GetWebClassId(bname, &id), expected);
    SysFreeString(bname);
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
  EXPECT_EQ(static_cast<void *>(unknown), static_cast<void *>(services_));

  // The kit calls the IUnknown pointer's own table as IWIAgentServices.
  ASSERT_EQ(SetLong(L"ReplayOnlyClick", 1), S_OK);
  VARIANT value;
  BSTR name = SysAllocString(L"ReplayOnlyClick");
  EXPECT_EQ(reinterpret_cast<IWIAgentServices *>(queried)->GetSetting(name, &value), S_OK);
  SysFreeString(name);
  EXPECT_EQ(value.vt, VT_I4);
  EXPECT_EQ(value.lVal, 1);
  queried->Release();
  unknown->Release();
}

TEST_F(AgentServicesTest, LastReleaseClearsTheSingleton) {
  ASSERT_EQ(SetLong(L"ReplayOnlyClick", 1), S_OK);
  settings_->Release();
  settings_ = nullptr;
  services_->Release();
  services_ = nullptr;

  // The module is still loaded; the next creation makes a fresh object.
  ASSERT_NE(GetModuleHandleW(kHostModule), nullptr);
  ASSERT_EQ(Create(kAgentServicesProgID, IID_IWIAgentServices, &services_), S_OK);
  VARIANT value;
  EXPECT_TRUE(FAILED(Get(L"ReplayOnlyClick", &value)));
  EXPECT_EQ(value.vt, VT_EMPTY);
}

TEST_F(AgentServicesTest, SettingsRoundTrip) {
  ASSERT_EQ(SetLong(L"IgnorePredefinedTags", 0), S_OK);
  VARIANT text;
  VariantInit(&text);
  text.vt = VT_BSTR;
  text.bstrVal = SysAllocString(L"/tmp/WebForms.xml");
  BSTR name = SysAllocString(L"web forms configuration file");
  ASSERT_EQ(settings_->SetSetting(name, text), S_OK);
  VariantClear(&text); // the setting is a copy

  VARIANT value;
  ASSERT_EQ(services_->GetSetting(name, &value), S_OK);
  ASSERT_EQ(value.vt, VT_BSTR);
  EXPECT_STREQ(value.bstrVal, L"/tmp/WebForms.xml");
  VariantClear(&value);
  ASSERT_EQ(Get(L"IgnorePredefinedTags", &value), S_OK);
  EXPECT_EQ(value.vt, VT_I4);
  EXPECT_EQ(value.lVal, 0);

  // Names are case-sensitive; a missing name is an error with VT_EMPTY.
  value.vt = VT_I4;
  EXPECT_TRUE(FAILED(Get(L"ignorepredefinedtags", &value)));
  EXPECT_EQ(value.vt, VT_EMPTY);
  EXPECT_EQ(services_->GetSetting(name, nullptr), E_POINTER);

  // Replace, remove, clear.
  ASSERT_EQ(SetLong(L"IgnorePredefinedTags", 1), S_OK);
  ASSERT_EQ(Get(L"IgnorePredefinedTags", &value), S_OK);
  EXPECT_EQ(value.lVal, 1);
  BSTR tags = SysAllocString(L"IgnorePredefinedTags");
  EXPECT_EQ(settings_->RemoveSetting(tags), S_OK);
  EXPECT_EQ(settings_->RemoveSetting(tags), S_FALSE);
  SysFreeString(tags);
  EXPECT_TRUE(FAILED(Get(L"IgnorePredefinedTags", &value)));
  EXPECT_EQ(services_->GetSetting(name, &value), S_OK);
  VariantClear(&value);
  EXPECT_EQ(settings_->ClearSettings(), S_OK);
  EXPECT_TRUE(FAILED(services_->GetSetting(name, &value)));
  SysFreeString(name);
}

TEST_F(AgentServicesTest, StoresByReferenceValuesAsTheirValue) {
  LONG source = 7;
  VARIANT byRef;
  VariantInit(&byRef);
  byRef.vt = VT_I4 | VT_BYREF;
  byRef.plVal = &source;
  BSTR name = SysAllocString(L"ReplayOnlyClick");
  ASSERT_EQ(settings_->SetSetting(name, byRef), S_OK);
  source = 9;
  VARIANT value;
  ASSERT_EQ(services_->GetSetting(name, &value), S_OK);
  EXPECT_EQ(value.vt, VT_I4);
  EXPECT_EQ(value.lVal, 7);

  VARIANT empty;
  VariantInit(&empty);
  EXPECT_EQ(settings_->SetSetting(nullptr, empty), E_INVALIDARG);
  SysFreeString(name);
}

TEST_F(AgentServicesTest, WebClassTable) {
  EXPECT_EQ(ClassName(0, S_OK), L"");
  EXPECT_EQ(ClassName(1, S_OK), L"Any Web Object");
  EXPECT_EQ(ClassName(12, S_OK), L"Link");
  EXPECT_EQ(ClassName(28, S_OK), L"ViewLinkFrame");
  EXPECT_EQ(ClassId(L"WebEdit", S_OK), 18);
  EXPECT_EQ(ClassId(L"ViewLinkFrame", S_OK), 28);

  // Unknown ids and names answer S_FALSE with an empty name and 0.
  EXPECT_EQ(ClassName(29, S_FALSE), L"");
  EXPECT_EQ(ClassName(1025, S_FALSE), L"");
  EXPECT_EQ(ClassId(L"WbfTabStrip", S_FALSE), 0);
  EXPECT_EQ(ClassId(L"link", S_FALSE), 0);

  BSTR tabStrip = SysAllocString(L"WbfTabStrip");
  ASSERT_EQ(services_->RegisterWebClass(1025, tabStrip), S_OK);
  SysFreeString(tabStrip);
  EXPECT_EQ(ClassName(1025, S_OK), L"WbfTabStrip");
  EXPECT_EQ(ClassId(L"WbfTabStrip", S_OK), 1025);

  // Registering an id again replaces its name.
  BSTR renamed = SysAllocString(L"WbfTabs");
  ASSERT_EQ(services_->RegisterWebClass(1025, renamed), S_OK);
  SysFreeString(renamed);
  EXPECT_EQ(ClassName(1025, S_OK), L"WbfTabs");
  EXPECT_EQ(ClassId(L"WbfTabStrip", S_FALSE), 0);
  EXPECT_EQ(ClassId(L"WbfTabs", S_OK), 1025);

  EXPECT_EQ(services_->RegisterWebClass(1026, nullptr), E_INVALIDARG);
  EXPECT_EQ(services_->GetWebClassName(1, nullptr), E_POINTER);
  EXPECT_EQ(services_->GetWebClassId(nullptr, nullptr), E_POINTER);
}

TEST_F(AgentServicesTest, ObjectServicesFindNoObjectYet) {
  IWIAgentObjectServices *objects = nullptr;
  ASSERT_EQ(
      services_->QueryInterface(IID_IWIAgentObjectServices, reinterpret_cast<void **>(&objects)),
      S_OK);
  IWebObj2 *ao = reinterpret_cast<IWebObj2 *>(1);
  EXPECT_EQ(objects->FindAO(nullptr, &ao), S_FALSE);
  EXPECT_EQ(ao, nullptr);
  ao = reinterpret_cast<IWebObj2 *>(1);
  EXPECT_EQ(objects->FindAOById(nullptr, &ao), S_FALSE);
  EXPECT_EQ(ao, nullptr);
  ao = reinterpret_cast<IWebObj2 *>(1);
  EXPECT_EQ(objects->GetBrowserAO(nullptr, &ao), S_FALSE);
  EXPECT_EQ(ao, nullptr);
  ao = reinterpret_cast<IWebObj2 *>(1);
  EXPECT_EQ(objects->GetPageAO(nullptr, &ao), S_FALSE);
  EXPECT_EQ(ao, nullptr);
  ao = reinterpret_cast<IWebObj2 *>(1);
  EXPECT_EQ(objects->GetElementAO(services_, nullptr, VARIANT_TRUE, &ao), S_FALSE);
  EXPECT_EQ(ao, nullptr);
  ao = reinterpret_cast<IWebObj2 *>(1);
  EXPECT_EQ(objects->GetViewLinkElementAO(services_, nullptr, &ao), S_FALSE);
  EXPECT_EQ(ao, nullptr);
  EXPECT_EQ(objects->GetElementAO(services_, nullptr, VARIANT_TRUE, nullptr), E_POINTER);
  EXPECT_EQ(objects->GetViewLinkElementAO(services_, nullptr, nullptr), E_POINTER);
  objects->Release();
}

} // namespace
