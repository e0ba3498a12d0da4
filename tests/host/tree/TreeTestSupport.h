// The object tree as a host program sees it: a browser of the host module,
// created through COM in a per-test registry, pages loaded into it.
#pragma once

#include <windows.h>

#include <mshtml.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../services/HostModuleFixture.h"
#include "TallowickHost.h"
#include "tallowick/Page.h"
#include "tallowick/Strings.h"
#include "values/ValueHelpers.h"

using host::ComPtr;
using host::QueryAs;

class TreeTest : public HostModuleFixture {
protected:
  void SetUp() override {
    HostModuleFixture::SetUp();
    ASSERT_EQ(Create(kBrowserProgID, __uuidof(IWIHostBrowser), browser_.Out()), S_OK);
    ASSERT_EQ(CoCreateInstance(CLSID_WIAgentServicesIE, nullptr, CLSCTX_INPROC_SERVER,
                               __uuidof(IWIAgentObjectServices),
                               reinterpret_cast<void **>(services_.Out())),
              S_OK);
  }
  void TearDown() override {
    services_.Reset();
    if (browser_)
      browser_->Close();
    browser_.Reset();
    document_.Reset();
    HostModuleFixture::TearDown();
  }

  void Load(const std::string &html) {
    ASSERT_EQ(
        tallowick::platform::LoadPageFromString(html, L"http://test/page.html", document_.Out()),
        S_OK);
    ASSERT_EQ(browser_->SetDocument(document_.Get()), S_OK);
  }
  void LoadExample(const std::string &name) {
    std::wstring path =
        tallowick::platform::Widen(std::string(TALLOWICK_EXAMPLES_DIR) + "/" + name);
    ASSERT_EQ(tallowick::platform::LoadPageFromFile(path, L"", document_.Out()), S_OK);
    ASSERT_EQ(browser_->SetDocument(document_.Get()), S_OK);
  }

  ComPtr<IWebObj2> Page() {
    ComPtr<IWebObj2> page;
    EXPECT_EQ(browser_->GetPageAO(page.Out()), S_OK);
    return page;
  }
  // The page's own frame.
  ComPtr<IWebObj2> TopFrame() { return Child(Page().Get(), 0); }
  static ComPtr<IWebObj2> Child(IWebObj2 *ao, LONG index) {
    ComPtr<IWebObj2> child;
    EXPECT_EQ(ao->GetChild(index, child.Out()), S_OK);
    return child;
  }

  // An element of the page (or of `root`'s frame document) by CSS selector.
  ComPtr<IHTMLElement> Find(const wchar_t *css, IWebObj2 *frame = nullptr) {
    ComPtr<IWebObj2> top = frame != nullptr ? ComPtr<IWebObj2>(frame) : TopFrame();
    auto query = QueryAs<IWIElementQuery>(top.Get());
    ComPtr<IDispatch> found;
    BSTR selector = SysAllocString(css);
    EXPECT_EQ(query->QueryFirstByCss(selector, nullptr, found.Out()), S_OK) << css;
    SysFreeString(selector);
    return QueryAs<IHTMLElement>(found.Get());
  }
  ComPtr<IWebObj2> AO(IHTMLElement *element, bool create = false) {
    ComPtr<IWebObj2> ao;
    services_->GetElementAO(element, TopFrame().Get(), create ? VARIANT_TRUE : VARIANT_FALSE,
                            ao.Out());
    return ao;
  }

  static ComPtr<IHTMLElement> DocumentElementOf(IHTMLDocument2 *document) {
    auto document3 = QueryAs<IHTMLDocument3>(document);
    ComPtr<IHTMLElement> root;
    if (document3)
      document3->get_documentElement(root.Out());
    return root;
  }
  static RECT ClientRect(IHTMLElement *element) {
    RECT rect{-1, -1, -1, -1};
    auto element2 = QueryAs<IHTMLElement2>(element);
    ComPtr<IHTMLRect> box;
    if (element2 && SUCCEEDED(element2->getBoundingClientRect(box.Out())) && box) {
      box->get_left(&rect.left);
      box->get_top(&rect.top);
      box->get_right(&rect.right);
      box->get_bottom(&rect.bottom);
    }
    return rect;
  }
  static std::wstring Text(IWebObj2 *ao, LONG attr) {
    ComPtr<IWebAttrVal> value;
    if (ao->GetAttr(attr, nullptr, value.Out()) != S_OK || !value)
      return L"<none>";
    BSTR text = nullptr;
    std::wstring out = L"<not a string>";
    if (SUCCEEDED(value->GetStringValue(0, &text)))
      out = std::wstring(text, SysStringLen(text));
    SysFreeString(text);
    return out;
  }
  static LONG Class(IWebObj2 *ao) {
    LONG webClass = -1;
    ao->GetRecordableClass(&webClass);
    return webClass;
  }
  static std::wstring Id(IWebObj2 *ao) {
    ComPtr<IWebRunTimeID> id;
    BSTR text = nullptr;
    std::wstring out;
    if (SUCCEEDED(ao->GetId(id.Out())) && SUCCEEDED(id->GetIdAsString(&text)))
      out = std::wstring(text, SysStringLen(text));
    SysFreeString(text);
    return out;
  }
  // The subtree as "Class name" lines, indented by two spaces a level (the
  // name of a kit's object is its attribute 146).
  static std::string Dump(IWebObj2 *ao, int depth = 0) {
    LONG kitId = 0;
    ao->GetKitID(&kitId);
    std::string out =
        std::string(static_cast<size_t>(depth) * 2, ' ') +
        tallowick::platform::Narrow(Text(ao, 0) + L" " + Text(ao, kitId != 0 ? 146 : 95)) + "\n";
    LONG count = 0;
    ao->GetDirectChildCount(0, &count);
    for (LONG i = 0; i < count; ++i) {
      ComPtr<IWebObj2> child;
      if (ao->GetChild(i, child.Out()) == S_OK)
        out += Dump(child.Get(), depth + 1);
    }
    return out;
  }

  ComPtr<IWIHostBrowser> browser_;
  ComPtr<IWIAgentObjectServices> services_;
  ComPtr<IHTMLDocument2> document_;
};
