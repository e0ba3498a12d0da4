// The frame's element queries: XPath and CSS subsets, and AO paths.
#include "TreeTestSupport.h"

namespace {

const char kPage[] = R"(<html><body>
<div id="nav" class="menu main"><a id="a1" href="1.html">One</a><span><a id="a2" href="2.html">Two</a></span></div>
<div id="content"><p id="p1">x</p><p id="p2" lang="en">y</p><div id="inner"><p id="p3">z</p></div></div>
<table id="t"><tr><td id="c1">1</td><td id="c2">2</td></tr><tr><td id="c3">3</td><td id="c4">4</td></tr></table>
<input type="text" id="e1"><input type="checkbox" id="k1">
</body></html>)";

class ElementQueryTest : public TreeTest {
protected:
  // The ids of the matches, space separated, or "error 0x..." on failure.
  std::string Query(const wchar_t *xpath, const wchar_t *css, IUnknown *root = nullptr,
                    LONG max = -1) {
    auto query = QueryAs<IWIElementQuery>(TopFrame().Get());
    BSTR x = xpath != nullptr ? SysAllocString(xpath) : nullptr;
    BSTR c = css != nullptr ? SysAllocString(css) : nullptr;
    VARIANT result;
    VariantInit(&result);
    HRESULT hr = query->QueryElements(x, c, root, max, &result);
    SysFreeString(x);
    SysFreeString(c);
    if (FAILED(hr)) {
      char text[32];
      snprintf(text, sizeof text, "error 0x%08X", static_cast<unsigned>(hr));
      return text;
    }
    std::string ids;
    EXPECT_EQ(result.vt, VT_ARRAY | VT_VARIANT);
    LONG upper = -1;
    SafeArrayGetUBound(result.parray, 1, &upper);
    for (LONG i = 0; i <= upper; ++i) {
      VARIANT item;
      VariantInit(&item);
      SafeArrayGetElement(result.parray, &i, &item);
      EXPECT_EQ(item.vt, VT_DISPATCH);
      auto element = QueryAs<IHTMLElement>(item.pdispVal);
      BSTR id = nullptr;
      element->get_id(&id);
      ids += (ids.empty() ? "" : " ") +
             tallowick::platform::Narrow(std::wstring(id, SysStringLen(id)));
      SysFreeString(id);
      VariantClear(&item);
    }
    VariantClear(&result);
    return ids;
  }
};

TEST_F(ElementQueryTest, XPathSubset) {
  Load(kPage);
  EXPECT_EQ(Query(L"//a", nullptr), "a1 a2");
  EXPECT_EQ(Query(L"/HTML/BODY/DIV/A", nullptr), "a1");
  EXPECT_EQ(Query(L"/html/body/div[2]/p[2]", nullptr), "p2");
  EXPECT_EQ(Query(L"//div/p[1]", nullptr), "p1 p3"); // position among each parent's matches
  EXPECT_EQ(Query(L"//p[@lang='en']", nullptr), "p2");
  EXPECT_EQ(Query(L"//*[@id=\"c3\"]", nullptr), "c3");
  EXPECT_EQ(Query(L"//tr[2]/td", nullptr), "c3 c4");
  EXPECT_EQ(Query(L"//input[@type]", nullptr), "e1 k1");
  EXPECT_EQ(Query(L"//div[@id='content']//p", nullptr), "p1 p2 p3");
  EXPECT_EQ(Query(L"//nothing", nullptr), "");
  // Relative to the root element given.
  ComPtr<IHTMLElement> content = Find(L"#content");
  EXPECT_EQ(Query(L"p", nullptr, content.Get()), "p1 p2");
  EXPECT_EQ(Query(L".//p", nullptr, content.Get()), "p1 p2 p3");
  EXPECT_EQ(Query(L"//a", nullptr, content.Get()), "");
  EXPECT_EQ(Query(L"//a[", nullptr), "error 0x80070057");
  EXPECT_EQ(Query(L"//a[@id=unquoted]", nullptr), "error 0x80070057");
  EXPECT_EQ(Query(L"a//", nullptr), "error 0x80070057");
}

TEST_F(ElementQueryTest, CssSubset) {
  Load(kPage);
  EXPECT_EQ(Query(nullptr, L"a"), "a1 a2");
  EXPECT_EQ(Query(nullptr, L"div > a"), "a1");
  EXPECT_EQ(Query(nullptr, L"div a"), "a1 a2");
  EXPECT_EQ(Query(nullptr, L"#content p"), "p1 p2 p3");
  EXPECT_EQ(Query(nullptr, L"#content > p"), "p1 p2");
  EXPECT_EQ(Query(nullptr, L".menu"), "nav");
  EXPECT_EQ(Query(nullptr, L"div.main.menu a[href='2.html']"), "a2");
  EXPECT_EQ(Query(nullptr, L"[type=checkbox]"), "k1");
  EXPECT_EQ(Query(nullptr, L"td#c2, p#p3"), "p3 c2");
  EXPECT_EQ(Query(nullptr, L"*[lang]"), "p2");
  EXPECT_EQ(Query(nullptr, L"table tr > td", nullptr, 3), "c1 c2 c3");
  EXPECT_EQ(Query(nullptr, L"div >"), "error 0x80070057");
  EXPECT_EQ(Query(nullptr, L"div..x"), "error 0x80070057");
  EXPECT_EQ(Query(nullptr, L"a[href=]"), "error 0x80070057");
}

TEST_F(ElementQueryTest, BothSelectorsMustMatch) {
  Load(kPage);
  EXPECT_EQ(Query(L"//p", L"#inner p"), "p3");
  EXPECT_EQ(Query(L"//td", L"a"), "");
}

TEST_F(ElementQueryTest, ChildQueriesOfAnAOUseTheSelectors) {
  Load(kPage);
  ComPtr<IWebObj2> table = AO(Find(L"#t").Get());
  ComPtr<IFilterStruct> filter;
  ASSERT_EQ(CoCreateInstance(CLSID_FilterStruct, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterStruct,
                             reinterpret_cast<void **>(filter.Out())),
            S_OK);
  BSTR css = SysAllocString(L"td#c4, td#c1");
  filter->put_css(css);
  SysFreeString(css);
  SAFEARRAY *found = nullptr;
  ASSERT_EQ(table->GetAllChildren(filter.Get(), &found), S_OK);
  LONG upper = -1;
  SafeArrayGetUBound(found, 1, &upper);
  ASSERT_EQ(upper, 1);
  for (LONG i = 0; i <= upper; ++i) {
    VARIANT item;
    VariantInit(&item);
    SafeArrayGetElement(found, &i, &item);
    ASSERT_EQ(item.vt, VT_UNKNOWN);
    auto ao = QueryAs<IWebObj2>(item.punkVal);
    EXPECT_EQ(Text(ao.Get(), 138), i == 0 ? L"c1" : L"c4");
    EXPECT_EQ(Class(ao.Get()), 3); // HtmlCell
    VariantClear(&item);
  }
  SafeArrayDestroy(found);
}

TEST_F(ElementQueryTest, AFramesSelectorsRunOnItsOwnDocument) {
  LoadExample("frames.html");
  ComPtr<IWebObj2> main = Child(TopFrame().Get(), 1);
  ComPtr<IFilterStruct> filter;
  ASSERT_EQ(CoCreateInstance(CLSID_FilterStruct, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterStruct,
                             reinterpret_cast<void **>(filter.Out())),
            S_OK);
  BSTR xpath = SysAllocString(L"//h1");
  filter->put_xpath(xpath);
  SysFreeString(xpath);
  SAFEARRAY *found = nullptr;
  ASSERT_EQ(main->GetAllChildren(filter.Get(), &found), S_OK);
  LONG upper = -1;
  SafeArrayGetUBound(found, 1, &upper);
  ASSERT_EQ(upper, 0);
  LONG at = 0;
  VARIANT item;
  VariantInit(&item);
  SafeArrayGetElement(found, &at, &item);
  EXPECT_EQ(Text(QueryAs<IWebObj2>(item.punkVal).Get(), 95), L"Main");
  VariantClear(&item);
  SafeArrayDestroy(found);
}

TEST_F(ElementQueryTest, AOPathFindsTheObjectAgain) {
  Load(kPage);
  auto query = QueryAs<IWIElementQuery>(TopFrame().Get());
  for (const wchar_t *css : {L"#a2", L"#c3", L"#inner > p", L"span"}) {
    ComPtr<IWebObj2> ao = AO(Find(css).Get(), true);
    BSTR path = nullptr;
    ASSERT_EQ(query->GetAOPath(ao.Get(), &path), S_OK) << css;
    ComPtr<IDispatch> again;
    EXPECT_EQ(query->QueryFirstByXPath(path, nullptr, again.Out()), S_OK) << css;
    EXPECT_EQ(QueryAs<IUnknown>(again.Get()).Get(), QueryAs<IUnknown>(Find(css).Get()).Get())
        << tallowick::platform::Narrow(std::wstring(path, SysStringLen(path)));
    SysFreeString(path);
  }
  // The element object's attribute 217 (path) relies on this; a bad AO fails.
  BSTR path = nullptr;
  EXPECT_EQ(query->GetAOPath(nullptr, &path), E_INVALIDARG);
  EXPECT_EQ(query->GetAOPath(TopFrame().Get(), nullptr), E_POINTER);
}

} // namespace
