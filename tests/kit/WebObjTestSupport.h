// Agent objects on real pages: the kit and host registered in a per-test
// registry, host value objects through the kit's host services, and a check
// that every kit object is gone when a test ends.
#pragma once

#include "KitHostTestSupport.h"

#include "tallowick/Strings.h"

#include <string>

#include "kit/KitCom.h"
#include "kit/TallowickIE.h"
#include "tallowick/Page.h"
#include "webobj/IE4Obj.h"
#include "webobj/RecordConfig.h"

class WebObjTest : public KitHostTest {
protected:
  void SetUp() override {
    KitHostTest::SetUp();
    StartAgentServices();
  }
  void TearDown() override {
    document_.Release();
    // Every agent object released: the module may unload and no element id is held.
    EXPECT_EQ(KitModule::LockCount(), 0);
    EXPECT_EQ(ElementIds::LiveCount(), 0u);
    KitHostTest::TearDown();
  }

  void Load(const std::string &html) {
    ASSERT_EQ(tallowick::platform::LoadPageFromString(html, L"http://test/page.html", &document_),
              S_OK);
  }
  CQilComPtr<IHTMLElement> Element(LPCOLESTR id) { return ById(document_, id); }
  // A plain element object for the element with `id`.
  CQilComPtr<IWebObj2> AO(LPCOLESTR id, IWebObj2 *parent = nullptr) {
    CQilComPtr<IWebObj2> ao;
    EXPECT_EQ(CreateWebObject<CIE4Obj>(&ao, Element(id).Get(), parent), S_OK);
    return ao;
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

// Kit objects inside the host's real object tree: a host browser given one
// kit factory (a class derived from the kit's, or the kit's own), with the
// kit's web classes registered first.
class KitTreeTest : public WebObjTest {
protected:
  template <class Factory> void StartBrowser() {
    CQilComPtr<IWIKitFactoryEx> factory;
    ASSERT_EQ(
        CreateKitObject<Factory>(nullptr, IID_IWIKitFactoryEx, reinterpret_cast<void **>(&factory)),
        S_OK);
    StartBrowserWith(factory);
  }
  void StartBrowserWith(IWIKitFactoryEx *factory) {
    for (const KitWebClass &webClass : kKitWebClasses)
      HostServices::RegisterWebClass(webClass.id, CQilBstr(webClass.name));
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(kBrowserProgID, &clsid), S_OK);
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IWIHostBrowser),
                               reinterpret_cast<void **>(&browser_)),
              S_OK);
    ASSERT_EQ(browser_->AddKitFactory(factory, kTallowickKitId), S_OK);
  }
  // The page's own frame in the browser's tree.
  CQilComPtr<IWebObj2> TopFrame() {
    CQilComPtr<IWebObj2> page;
    CQilComPtr<IWebObj2> frame;
    EXPECT_EQ(browser_->GetPageAO(&page), S_OK);
    if (page) {
      EXPECT_EQ(page->GetChild(0, &frame), S_OK);
    }
    return frame;
  }
  // Runtime ids as text: an object's own, and the first value of an answer.
  static std::wstring IdText(IWebObj2 *ao) {
    CQilComPtr<IWebRunTimeID> id;
    CQilBstr text;
    if (ao == nullptr || FAILED(ao->GetId(&id)) || !id || FAILED(id->GetIdAsString(&text)))
      return L"<none>";
    return text.Text();
  }
  static std::wstring IdText(IWebAttrVal *value) {
    CQilComPtr<IWebVariant> first;
    CQilComPtr<IWebRunTimeID> id;
    CQilBstr text;
    if (value == nullptr || FAILED(value->GetValue(0, &first)) || !first ||
        FAILED(first->get_RTID(&id)) || !id || FAILED(id->GetIdAsString(&text)))
      return L"<none>";
    return text.Text();
  }
  void TearDown() override {
    if (browser_)
      browser_->Close();
    browser_.Release();
    RecordConfig::Release();
    WebObjTest::TearDown();
  }

  CQilComPtr<IWIHostBrowser> browser_;
};
