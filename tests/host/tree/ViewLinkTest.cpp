// View-link frames of element behaviours, and pages that navigation brings.
#include "TreeTestSupport.h"

#include <fstream>

namespace {

class ViewLinkTest : public TreeTest {
protected:
  // A tab strip page in the examples folder, so that its behaviour file is found.
  void LoadStrip(const std::string &style) {
    std::string html = "<html xmlns:tw><head><?IMPORT namespace=\"tw\" "
                       "implementation=\"behaviors/tabstrip.htc\"?></head><body>"
                       "<p id=\"before\">before</p><tw:TabStrip id=\"TabStrip1\" style=\"" +
                       style +
                       "\"><tw:Tab>General</tw:Tab><tw:Tab>Details</tw:Tab></tw:TabStrip>"
                       "</body></html>";
    ASSERT_EQ(tallowick::platform::LoadPageFromString(
                  html,
                  tallowick::platform::Widen("file://" + std::string(TALLOWICK_EXAMPLES_DIR) +
                                             "/strip.html"),
                  document_.Out()),
              S_OK);
    ASSERT_EQ(browser_->SetDocument(document_.Get()), S_OK);
  }
  ComPtr<IWebObj2> Strip() { return AO(Find(L"#TabStrip1").Get()); }
  // The strip's view-link frame: the last child of its node in the tree.
  ComPtr<IWebObj2> ViewLinkFrame(IWebObj2 *owner) {
    SAFEARRAY *children = nullptr;
    EXPECT_EQ(browser_->GetTreeChildren(owner, &children), S_OK);
    ComPtr<IWebObj2> frame;
    LONG upper = -1;
    SafeArrayGetUBound(children, 1, &upper);
    for (LONG i = 0; i <= upper; ++i) {
      VARIANT item;
      VariantInit(&item);
      SafeArrayGetElement(children, &i, &item);
      auto child = QueryAs<IWebObj2>(item.punkVal);
      if (child->CompareClass(28) == S_OK)
        frame = child;
      VariantClear(&item);
    }
    SafeArrayDestroy(children);
    return frame;
  }
};

TEST_F(ViewLinkTest, BehaviourElementOwnsItsViewLinkFrame) {
  LoadStrip("");
  ComPtr<IWebObj2> strip = Strip();
  ASSERT_TRUE(strip);
  EXPECT_EQ(Class(strip.Get()), 27); // ViewLink
  ComPtr<IWebObj2> frame = ViewLinkFrame(strip.Get());
  ASSERT_TRUE(frame);
  EXPECT_EQ(Text(frame.Get(), 0), L"ViewLinkFrame");

  auto viewLink = QueryAs<IWIViewLinkFrameAO>(frame.Get());
  ASSERT_TRUE(viewLink);
  ComPtr<IWebObj2> owner;
  ASSERT_EQ(viewLink->GetOwnerAO(owner.Out()), S_OK);
  EXPECT_EQ(owner.Get(), strip.Get());
  ComPtr<IUnknown> document;
  ASSERT_EQ(viewLink->GetViewLinkDocument(document.Out()), S_OK);
  ComPtr<IHTMLDocument2> expected;
  ASSERT_EQ(tallowick::platform::GetViewLinkDocument(Find(L"#TabStrip1").Get(), expected.Out()),
            S_OK);
  EXPECT_EQ(document.Get(), QueryAs<IUnknown>(expected.Get()).Get());

  // The strip's host object lists what its view-link document shows.
  ComPtr<IWebObj2> table = Child(strip.Get(), 0);
  ASSERT_TRUE(table);
  EXPECT_EQ(Text(table.Get(), 95), L"strip");
  ComPtr<IWebObj2> cell = AO(Find(L"#tab1", frame.Get()).Get());
  ASSERT_TRUE(cell);
  EXPECT_EQ(Text(cell.Get(), 3), L"Details");
  ComPtr<IWebRunTimeID> id;
  ASSERT_EQ(cell->GetId(id.Out()), S_OK);
  LONG type = 0;
  id->GetInnerObjTypeId(&type);
  EXPECT_EQ(type, -3);
  ComPtr<IWebObj2> parentFrame;
  ASSERT_EQ(cell->GetParentFrame(parentFrame.Out()), S_OK);
  EXPECT_EQ(parentFrame.Get(), frame.Get());
  ComPtr<IWebObj2> found;
  EXPECT_EQ(frame->GetChildById(id.Get(), found.Out()), S_OK);
  EXPECT_EQ(found.Get(), cell.Get());
  // The view-link frame sits where its owner is on the screen.
  ComPtr<IWebAttrVal> offset;
  ASSERT_EQ(frame->GetAttr(201, nullptr, offset.Out()), S_OK);
  tagPOINT at{};
  offset->GetPointValue(0, &at);
  RECT owned = ClientRect(Find(L"#TabStrip1").Get());
  EXPECT_EQ(at.x, owned.left);
  EXPECT_EQ(at.y, owned.top);
  EXPECT_GT(at.y, 0); // below the paragraph
}

TEST_F(ViewLinkTest, AgentServicesGiveTheHostsViewLinkObject) {
  LoadStrip("");
  ComPtr<IWebObj2> inner;
  ASSERT_EQ(
      services_->GetViewLinkElementAO(Find(L"#TabStrip1").Get(), TopFrame().Get(), inner.Out()),
      S_OK);
  EXPECT_EQ(inner.Get(), Strip().Get());
  EXPECT_EQ(services_->GetViewLinkElementAO(Find(L"#before").Get(), TopFrame().Get(), inner.Out()),
            S_FALSE);
  EXPECT_FALSE(inner);
}

TEST_F(ViewLinkTest, FrameStyleIsTheOwnersBorder) {
  LoadStrip("border: 1px solid black");
  auto viewLink = QueryAs<IWIViewLinkFrameAO>(ViewLinkFrame(Strip().Get()).Get());
  ASSERT_TRUE(viewLink);
  BSTR style = nullptr;
  ASSERT_EQ(viewLink->GetFrameStyle(&style), S_OK);
  std::wstring text(style, SysStringLen(style));
  SysFreeString(style);
  EXPECT_NE(text.find(L"1px"), std::wstring::npos) << tallowick::platform::Narrow(text);
  EXPECT_NE(text.find(L"solid"), std::wstring::npos) << tallowick::platform::Narrow(text);
  EXPECT_EQ(viewLink->GetFrameStyle(nullptr), E_POINTER);
}

TEST_F(ViewLinkTest, NavigationToAFileRebuildsTheTree) {
  std::ofstream(folder_ / "first.html")
      << "<title>First</title><a id='go' href='second.html'>Go</a>";
  std::ofstream(folder_ / "second.html") << "<title>Second</title><input name='q'>";
  BSTR path = SysAllocString(tallowick::platform::Widen((folder_ / "first.html").string()).c_str());
  ASSERT_EQ(browser_->LoadPage(path), S_OK);
  SysFreeString(path);
  ComPtr<IWebObj2> page;
  ASSERT_EQ(browser_->GetPageAO(page.Out()), S_OK);
  EXPECT_EQ(Text(page.Get(), 95), L"First");
  ComPtr<IWebObj2> link = Child(TopFrame().Get(), 0);
  ASSERT_EQ(Text(link.Get(), 0), L"Link");
  // The replayed click follows the link.
  ComPtr<IWebInfo> request;
  ASSERT_EQ(CoCreateInstance(CLSID_WebInfo, nullptr, CLSCTX_INPROC_SERVER, IID_IWebInfo,
                             reinterpret_cast<void **>(request.Out())),
            S_OK);
  BSTR click = SysAllocString(L"click");
  request->InsertAttrString(64, click, 1);
  SysFreeString(click);
  IWebInfo *raw = request.Get();
  ASSERT_EQ(link->InvokeMethod(CALL_EVENT, &raw), S_OK);

  ASSERT_EQ(browser_->GetPageAO(page.Out()), S_OK);
  EXPECT_EQ(Text(page.Get(), 95), L"Second");
  EXPECT_EQ(Dump(page.Get()), "Page Second\n  Frame Second\n    WebEdit q\n");
  EXPECT_EQ(link->IsStandAlone(), S_OK); // the old page's objects went with it

  // A link to something that is no file leaves the page as it is.
  std::ofstream(folder_ / "third.html") << "<a id='web' href='http://example.invalid/'>Web</a>";
  path = SysAllocString(tallowick::platform::Widen((folder_ / "third.html").string()).c_str());
  ASSERT_EQ(browser_->LoadPage(path), S_OK);
  SysFreeString(path);
  ComPtr<IWebObj2> web = Child(TopFrame().Get(), 0);
  raw = request.Get();
  ASSERT_EQ(web->InvokeMethod(CALL_EVENT, &raw), S_OK);
  EXPECT_EQ(web->IsStandAlone(), S_FALSE);
  ASSERT_EQ(browser_->GetPageAO(page.Out()), S_OK);
  EXPECT_EQ(Text(page.Get(), 95), L"Page");
}

} // namespace
