// Agent objects on real pages: the kit and host registered in a per-test
// registry, host value objects through the kit's host services, and a check
// that every kit object is gone when a test ends.
#pragma once

#include "KitTestSupport.h"

#include <mshtml.h>

#include <string>

#include "TallowickHost.h"
#include "kit/KitCom.h"
#include "support/QilBstr.h"
#include "support/QilComPtr.h"
#include "support/QilVariant.h"
#include "tallowick/Page.h"
#include "webobj/HostServices.h"
#include "webobj/IE4Obj.h"

class WebObjTest : public KitRegistryTest {
protected:
  void SetUp() override {
    KitRegistryTest::SetUp();
    HMODULE host = LoadLibraryW(kHostModule);
    ASSERT_NE(host, nullptr);
    auto registerServer = reinterpret_cast<HRESULT (*)()>(
        reinterpret_cast<void (*)()>(GetProcAddress(host, "DllRegisterServer")));
    ASSERT_EQ(registerServer(), S_OK);
    FreeLibrary(host);
    HostServices::EnsureAgentServices();
  }
  void TearDown() override {
    document_.Release();
    // Every agent object released: the module may unload and no element id is held.
    EXPECT_EQ(KitModule::LockCount(), 0);
    EXPECT_EQ(ElementIds::LiveCount(), 0u);
    HostServices::ReleaseAgentServices();
    HostServices::ReleaseFactories();
    KitRegistryTest::TearDown();
  }

  void Load(const std::string &html) {
    ASSERT_EQ(tallowick::platform::LoadPageFromString(html, L"http://test/page.html", &document_),
              S_OK);
  }
  CQilComPtr<IHTMLElement> Element(LPCOLESTR id) {
    CQilComPtr<IHTMLDocument3> document3;
    document3.QueryFrom(document_);
    CQilComPtr<IHTMLElement> element;
    if (document3)
      document3->getElementById(CQilBstr(id), &element);
    return element;
  }
  // A plain element object for the element with `id`.
  CQilComPtr<IWebObj2> AO(LPCOLESTR id, IWebObj2 *parent = nullptr) {
    CQilComPtr<IWebObj2> ao;
    EXPECT_EQ(CreateWebObject<CIE4Obj>(&ao, Element(id).Get(), parent), S_OK);
    return ao;
  }
  static void SetSetting(LPCOLESTR name, LONG number) {
    CQilComPtr<IWIHostSettings> settings;
    ASSERT_EQ(settings.QueryFrom(HostServices::AgentServices()), S_OK);
    CQilVariant value(number);
    settings->SetSetting(CQilBstr(name), value);
  }
  static std::wstring String(IWebAttrVal *value, UINT index = 0) {
    CQilBstr text;
    if (value == nullptr || FAILED(value->GetStringValue(index, &text)))
      return L"<none>";
    return text.Text();
  }
  static LONG Long(IWebAttrVal *value, UINT index = 0) {
    LONG number = -12345;
    if (value != nullptr)
      value->GetLongValue(index, &number);
    return number;
  }
  static CQilComPtr<IWebInfo> Request() { return HostServices::NewWebInfo(); }
  static HRESULT Invoke(IWebObj2 *ao, METHOD_NAME_ENUM method, IWebInfo *request) {
    IWebInfo *info = request;
    return ao->InvokeMethod(method, &info);
  }

  CQilComPtr<IHTMLDocument2> document_;
};
