// Pages from files: frames and iframes load their own documents relative to
// the page, a missing frame file shows an empty document, and windows link
// to their parents; prefixed tags written self-closed stay empty.
#include "PageTestSupport.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

class PageFrames : public ::testing::Test {
protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("tallowick-frames-" + std::to_string(getpid()));
    fs::create_directories(folder_ / "sub");
    Write("top.html", "<frameset><frame name='nav' src='sub/nav.html'>"
                      "<frame name='gone' src='sub/missing.html'></frameset>");
    Write("sub/nav.html", "<body><a id='up' href='../top.html'>up</a>"
                          "<iframe name='inner' src='leaf.html'></iframe></body>");
    Write("sub/leaf.html", "<body><span id='leaf'>leaf</span></body>");
  }
  void TearDown() override { fs::remove_all(folder_); }
  void Write(const char *name, const char *html) { std::ofstream(folder_ / name) << html; }

  Ptr<IHTMLWindow2> Frame(IHTMLWindow2 *window, VARIANT key) {
    Var result;
    EXPECT_EQ(S_OK, window->item(&key, &result.v));
    Ptr<IHTMLWindow2> frame;
    if (result.v.vt == VT_DISPATCH)
      result.v.pdispVal->QueryInterface(IID_IHTMLWindow2, reinterpret_cast<void **>(&frame));
    return frame;
  }
  Ptr<IHTMLDocument2> DocumentOf(IHTMLWindow2 *window) {
    Ptr<IHTMLDocument2> document;
    EXPECT_EQ(S_OK, window->get_document(&document));
    return document;
  }

  fs::path folder_;
};

TEST_F(PageFrames, FramesLoadRelativeToThePage) {
  Ptr<IHTMLDocument2> top;
  ASSERT_EQ(S_OK,
            tallowick::platform::LoadPageFromFile((folder_ / "top.html").wstring(), L"", &top));
  Ptr<IHTMLWindow2> window;
  ASSERT_EQ(S_OK, tallowick::platform::GetPageWindow(top.get(), &window));
  LONG count = 0;
  ASSERT_EQ(S_OK, window->get_length(&count));
  EXPECT_EQ(2, count);

  Ptr<IHTMLWindow2> nav = Frame(window.get(), Var(L"nav").v);
  ASSERT_TRUE(nav);
  Ptr<IHTMLDocument2> navDocument = DocumentOf(nav.get());
  BSTR url = nullptr;
  ASSERT_EQ(S_OK, navDocument->get_URL(&url));
  EXPECT_EQ(L"file://" + (folder_ / "sub/nav.html").wstring(), Take(url));
  BSTR href = nullptr;
  ASSERT_EQ(S_OK, ById(navDocument.get(), L"up").As<IHTMLAnchorElement>()->get_href(&href));
  EXPECT_EQ(L"file://" + (folder_ / "top.html").wstring(), Take(href));

  Ptr<IHTMLWindow2> inner = Frame(nav.get(), Var(L"inner").v);
  ASSERT_TRUE(inner);
  EXPECT_TRUE(ById(DocumentOf(inner.get()).get(), L"leaf"));
  Ptr<IHTMLWindow2> parent, topWindow;
  ASSERT_EQ(S_OK, inner->get_parent(&parent));
  ASSERT_EQ(S_OK, inner->get_top(&topWindow));
  EXPECT_EQ(nav.get(), parent.get());
  EXPECT_EQ(window.get(), topWindow.get());

  Ptr<IHTMLWindow2> gone = Frame(window.get(), Var(LONG{1}).v);
  ASSERT_TRUE(gone);
  Ptr<IHTMLElement> body;
  ASSERT_EQ(S_OK, DocumentOf(gone.get())->get_body(&body));
  ASSERT_TRUE(body); // an empty document, not a failure
  Ptr<IDispatch> children;
  ASSERT_EQ(S_OK, body->get_children(&children));
  EXPECT_EQ(0, Length(children.As<IHTMLElementCollection>().get()));

  Var none, seven(LONG{7});
  EXPECT_EQ(E_INVALIDARG, window->item(&seven.v, &none.v));
}

TEST_F(PageFrames, MissingPageFileIsAnError) {
  Ptr<IHTMLDocument2> document;
  EXPECT_EQ(
      HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND),
      tallowick::platform::LoadPageFromFile((folder_ / "none.html").wstring(), L"", &document));
  EXPECT_FALSE(document);
  EXPECT_EQ(E_POINTER, tallowick::platform::LoadPageFromFile(L"x", L"", nullptr));
}

TEST(PagePrefixedTags, SelfClosedPrefixedTagsAreEmpty) {
  Ptr<IHTMLDocument2> doc = LoadHtml(
      "<ie:TabStrip id='ts'><ie:Tab id='a' text='x > y'/><ie:TabSeparator/><ie:Tab id='b'/>"
      "</ie:TabStrip><ie:Toolbar id='tb'></ie:Toolbar><script>var s = '<a:b/>';</script>");
  Ptr<IDispatch> children;
  ASSERT_EQ(S_OK, ById(doc.get(), L"ts")->get_children(&children));
  EXPECT_EQ(3, Length(children.As<IHTMLElementCollection>().get()));
  Ptr<IHTMLElement> parent;
  ASSERT_EQ(S_OK, ById(doc.get(), L"tb")->get_parentElement(&parent));
  EXPECT_EQ(L"BODY", Tag(parent.get()));
  Var text;
  ASSERT_EQ(S_OK, ById(doc.get(), L"a")->getAttribute(Bstr(L"text"), 0, &text.v));
  EXPECT_EQ(L"x > y", text.Text());
}

} // namespace
