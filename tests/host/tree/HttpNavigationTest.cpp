// The browser's tree over HTTP: pages of the example ASP.NET site, postbacks
// that replace the page, the browser's cookies, and failed fetches.
#include "AspNetServer.h"
#include "TreeTestSupport.h"
#include "http/HttpSession.h"

namespace {

using tallowick::platform::Narrow;
using tallowick::platform::Widen;
using tallowick::test::AspNetServer;

std::wstring InnerText(IHTMLElement *element) {
  BSTR text = nullptr;
  if (element == nullptr || FAILED(element->get_innerText(&text)))
    return L"<none>";
  std::wstring out(text != nullptr ? text : L"", SysStringLen(text));
  SysFreeString(text);
  return out;
}

// Runs script in the window of the element's document, as the kit's objects do.
HRESULT RunScript(IHTMLElement *element, const wchar_t *code) {
  ComPtr<IDispatch> dispatch;
  HRESULT hr = element->get_document(dispatch.Out());
  auto document = QueryAs<IHTMLDocument2>(dispatch.Get());
  ComPtr<IHTMLWindow2> window;
  if (FAILED(hr) || !document || FAILED(hr = document->get_parentWindow(window.Out())))
    return FAILED(hr) ? hr : E_NOINTERFACE;
  TestBstr script(code), language(L"javascript");
  VARIANT result;
  VariantInit(&result);
  hr = window->execScript(script, language, &result);
  VariantClear(&result);
  return hr;
}

class HttpTreeTest : public TreeTest {
protected:
  void SetUp() override {
    TreeTest::SetUp();
    if (std::string why = AspNetServer::Unavailable(); !why.empty())
      GTEST_SKIP() << why;
    ASSERT_TRUE(server_.Start()) << server_.Error();
  }
  HRESULT LoadUrl(const std::string &page) {
    TestBstr url(Widen(server_.Url(page)).c_str());
    return browser_->LoadPage(url);
  }
  std::string NavigationError() {
    BSTR message = nullptr;
    std::string out = browser_->GetNavigationError(&message) == S_OK ? Narrow(message) : "";
    SysFreeString(message);
    return out;
  }

  AspNetServer server_;
};

TEST_F(HttpTreeTest, APostbackReplacesThePageAndTheTreeIsRebuilt) {
  ASSERT_EQ(LoadUrl("Calendar.aspx"), S_OK) << NavigationError();
  ComPtr<IWebObj2> before = Page();
  EXPECT_EQ(Text(before.Get(), 95), L"Calendar");
  EXPECT_EQ(InnerText(Find(L"#Selection").Get()), L"5-Jan-2010 (1)");
  ComPtr<IWebObj2> oldCalendar = AO(Find(L"#Calendar1").Get());
  ASSERT_TRUE(oldCalendar);

  // What the kit's calendar runs to select 8 January 2010.
  ASSERT_EQ(RunScript(Find(L"#Calendar1").Get(), L"__doPostBack('Calendar1','3660')"), S_OK);
  EXPECT_EQ(NavigationError(), "");
  EXPECT_EQ(InnerText(Find(L"#Selection").Get()), L"8-Jan-2010 (1)");
  ComPtr<IWebObj2> calendar = AO(Find(L"#Calendar1").Get());
  ASSERT_TRUE(calendar);
  EXPECT_NE(calendar.Get(), oldCalendar.Get());
  EXPECT_EQ(Text(calendar.Get(), 95), L"Calendar1");

  // The month navigation link of the answer posts back in turn.
  ASSERT_EQ(RunScript(Find(L"#Calendar1").Get(), L"__doPostBack('Calendar1','V3684')"), S_OK);
  std::string tree = Dump(Page().Get());
  EXPECT_NE(tree.find("HtmlCell February 2010"), std::string::npos) << tree;
}

TEST_F(HttpTreeTest, TheDataGridsPagerLinksPostBack) {
  ASSERT_EQ(LoadUrl("DataGrid.aspx"), S_OK) << NavigationError();
  // The first link of the pager row (the last row) shows page 2.
  ASSERT_EQ(RunScript(Find(L"#Grid1").Get(),
                      L"var rows = document.getElementById('Grid1').getElementsByTagName('tr');"
                      L"var link = rows[rows.length - 1].getElementsByTagName('a')[0];"
                      L"if (link.innerText != '2') throw new Error(link.innerText);"
                      L"link.click()"),
            S_OK);
  EXPECT_EQ(NavigationError(), "");
  std::wstring grid = InnerText(Find(L"#Grid1").Get());
  EXPECT_NE(grid.find(L"\n4\t\t17.50"), std::wstring::npos) << Narrow(grid);
  EXPECT_EQ(grid.find(L"\n1\t"), std::wstring::npos) << Narrow(grid);
  EXPECT_EQ(InnerText(Find(L"#Status").Get()), L"Page 2");
}

TEST_F(HttpTreeTest, TheBrowserKeepsItsCookiesAcrossPages) {
  ASSERT_EQ(LoadUrl("Cookie.aspx"), S_OK) << NavigationError();
  EXPECT_EQ(InnerText(Find(L"#Visits").Get()), L"0");
  ASSERT_EQ(LoadUrl("Calendar.aspx"), S_OK);
  ASSERT_EQ(LoadUrl("Cookie.aspx"), S_OK);
  EXPECT_EQ(InnerText(Find(L"#Visits").Get()), L"1");
}

TEST_F(HttpTreeTest, ARedirectShowsItsTarget) {
  ASSERT_EQ(LoadUrl("Redirect.aspx?to=Echo.aspx"), S_OK) << NavigationError();
  EXPECT_EQ(Text(Page().Get(), 95), L"Echo");
  // The form's relative action resolves against the page's URL, the target's.
  ASSERT_EQ(RunScript(Find(L"#send").Get(), L"document.getElementById('Plain').submit()"), S_OK);
  std::wstring fields = InnerText(Find(L"#Fields").Get());
  EXPECT_NE(fields.find(L"name=Ada & Co"), std::wstring::npos) << Narrow(fields);
  EXPECT_NE(fields.find(L"note=50% = half; a+b"), std::wstring::npos) << Narrow(fields);
  EXPECT_NE(fields.find(L"agree=yes"), std::wstring::npos) << Narrow(fields);
  EXPECT_EQ(fields.find(L"spam"), std::wstring::npos) << Narrow(fields);
  EXPECT_EQ(InnerText(Find(L"#Query").Get()), L"from=form");
}

TEST_F(HttpTreeTest, AFailedFetchKeepsThePageAndSaysWhy) {
  EXPECT_EQ(LoadUrl("Error.aspx"), INET_E_DOWNLOAD_FAILURE);
  EXPECT_EQ(NavigationError(), server_.Url("Error.aspx") + " answered 500 Internal Server Error");
  ComPtr<IWebObj2> none;
  EXPECT_EQ(browser_->GetPageAO(none.Out()), S_FALSE);

  ASSERT_EQ(LoadUrl("Calendar.aspx"), S_OK);
  EXPECT_EQ(NavigationError(), "");
  // The submission fails: the script may see it fail too; the page stays.
  RunScript(Find(L"#Calendar1").Get(), L"document.forms[0].setAttribute('action', 'Error.aspx'); "
                                       L"__doPostBack('Calendar1','3660')");
  EXPECT_EQ(NavigationError(), server_.Url("Error.aspx") + " answered 500 Internal Server Error");
  EXPECT_EQ(InnerText(Find(L"#Selection").Get()), L"5-Jan-2010 (1)");
}

// A page's navigation to another host leaves the page as it is, as for any
// target the host does not load, and says why.
TEST_F(TreeTest, AFormOffTheLoopbackHostIsNotSent) {
  Load("<form id='f' method='post' action='http://example.invalid/x.aspx'>"
       "<input name='a' value='1'></form><p id='still'>here</p>");
  ComPtr<IHTMLElement> form = Find(L"#f");
  auto formElement = QueryAs<IHTMLFormElement>(form.Get());
  ASSERT_TRUE(formElement);
  EXPECT_EQ(formElement->submit(), S_OK);
  BSTR message = nullptr;
  ASSERT_EQ(browser_->GetNavigationError(&message), S_OK);
  EXPECT_EQ(Narrow(message), "cannot fetch http://example.invalid/x.aspx: only pages on "
                             "127.0.0.1 are fetched");
  SysFreeString(message);
  EXPECT_EQ(InnerText(Find(L"#still").Get()), L"here");
  EXPECT_EQ(browser_->GetNavigationError(nullptr), E_POINTER);
}

} // namespace
