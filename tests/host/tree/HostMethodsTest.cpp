// Host methods the kit's objects forward or call, browser services, and the
// objects' lifetime with their page.
#include "TreeTestSupport.h"

namespace {

const char kPage[] = R"(<html><head><title>Methods</title></head><body>
<div style="height:2000px">tall</div>
<a id="far" href="far.html">Far</a>
<iframe id="inner" name="inner" src="about:blank" width="300" height="100"></iframe>
</body></html>)";

class HostMethodsTest : public TreeTest {
protected:
  ComPtr<IWebInfo> Request() {
    ComPtr<IWebInfo> request;
    EXPECT_EQ(CoCreateInstance(CLSID_WebInfo, nullptr, CLSCTX_INPROC_SERVER, IID_IWebInfo,
                               reinterpret_cast<void **>(request.Out())),
              S_OK);
    return request;
  }
  static tagRECT RectEntry(IWebInfo *info, LONG name) {
    tagRECT r{-1, -1, -1, -1};
    info->GetRectValueByName(name, &r);
    return r;
  }
};

TEST_F(HostMethodsTest, FrameMakeVisibleAnswersItsScreenRectangle) {
  Load(kPage);
  ComPtr<IWebInfo> request = Request();
  IWebInfo *raw = request.Get();
  ASSERT_EQ(TopFrame()->InvokeMethod(MAKE_VISIBLE, &raw), S_OK);
  EXPECT_EQ(request->GetReturnValue(), S_OK);
  tagRECT frame = RectEntry(request.Get(), 70);
  EXPECT_EQ(frame.left, 0);
  EXPECT_EQ(frame.top, 0);
  EXPECT_GT(frame.right, 0);
  EXPECT_GT(frame.bottom, 2000);
}

TEST_F(HostMethodsTest, ElementMakeVisibleScrollsAndAnswersScreenTerms) {
  Load(kPage);
  ComPtr<IWebObj2> link = AO(Find(L"#far").Get());
  RECT before = ClientRect(Find(L"#far").Get());
  ASSERT_GT(before.top, 2000);
  ComPtr<IWebInfo> request = Request();
  IWebInfo *raw = request.Get();
  ASSERT_EQ(link->InvokeMethod(MAKE_VISIBLE, &raw), S_OK);
  RECT after = ClientRect(Find(L"#far").Get());
  EXPECT_LT(after.top, before.top);
  tagRECT answered = RectEntry(request.Get(), 70);
  EXPECT_EQ(answered.top, after.top);
  EXPECT_EQ(answered.left, after.left);

  // GET_SCREEN_RECT of an element in the iframe is shifted by the iframe's place.
  ComPtr<IWebObj2> frame = AO(Find(L"#inner").Get());
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->CompareClass(21), S_OK);
  request = Request();
  raw = request.Get();
  ASSERT_EQ(frame->InvokeMethod(GET_SCREEN_RECT, &raw), S_OK);
  tagRECT screen = RectEntry(request.Get(), 70);
  RECT element = ClientRect(Find(L"#inner").Get());
  EXPECT_EQ(screen.left, element.left);
  EXPECT_EQ(screen.top, element.top);
  EXPECT_EQ(screen.right - screen.left, 300);
}

TEST_F(HostMethodsTest, IdToDescDescribesAnObjectOfTheFrame) {
  Load(kPage);
  ComPtr<IWebObj2> link = AO(Find(L"#far").Get());
  ComPtr<IWebRunTimeID> id;
  ASSERT_EQ(link->GetId(id.Out()), S_OK);
  ComPtr<IWebInfo> request = Request();
  request->SetRTID(id.Get());
  IWebInfo *raw = request.Get();
  // Asked of the link, the frame answers.
  ASSERT_EQ(link->InvokeMethod(ID_TO_DESC, &raw), S_OK);
  EXPECT_EQ(request->GetReturnValue(), S_OK);
  BSTR text = nullptr;
  ASSERT_EQ(request->GetStringValueByName(0, &text), S_OK);
  EXPECT_EQ(std::wstring(text), L"Link");
  SysFreeString(text);
  ASSERT_EQ(request->GetStringValueByName(95, &text), S_OK);
  EXPECT_EQ(std::wstring(text), L"Far");
  SysFreeString(text);

  id->SetInnerObjId(4242);
  request = Request();
  request->SetRTID(id.Get());
  raw = request.Get();
  ASSERT_EQ(TopFrame()->InvokeMethod(ID_TO_DESC, &raw), S_OK);
  EXPECT_EQ(request->GetReturnValue(), static_cast<HRESULT>(0x80040209));
  EXPECT_EQ(TopFrame()->InvokeMethod(ID_TO_DESC, nullptr), E_POINTER);
}

TEST_F(HostMethodsTest, FrameFindsTheInnermostObjectUnderAPoint) {
  Load(R"(<table id="t"><tr><td id="c"><a id="in" href="x">in</a> cell</td></tr></table>)");
  auto pointIn = [](RECT r) { return tagPOINT{r.left + 1, r.top + 1}; };
  auto hit = [&](tagPOINT at) {
    ComPtr<IWebInfo> request = Request();
    request->InsertAttrPoint(65, at, 1);
    IWebInfo *raw = request.Get();
    EXPECT_EQ(TopFrame()->InvokeMethod(GET_OBJ_ID_FROM_POINT, &raw), S_OK);
    ComPtr<IWebRunTimeID> id;
    if (request->GetReturnValue() == S_OK)
      request->GetRTID(id.Out());
    ComPtr<IWebObj2> found;
    if (id)
      TopFrame()->GetChildById(id.Get(), found.Out());
    return found;
  };
  EXPECT_EQ(hit(pointIn(ClientRect(Find(L"#in").Get()))).Get(), AO(Find(L"#in").Get()).Get());
  RECT cell = ClientRect(Find(L"#c").Get());
  EXPECT_EQ(hit(tagPOINT{cell.right - 1, cell.bottom - 1}).Get(), AO(Find(L"#c").Get()).Get());
  EXPECT_FALSE(hit(tagPOINT{5000, 5000}));
}

TEST_F(HostMethodsTest, CallEventClicksTheElement) {
  Load(kPage);
  ASSERT_EQ(browser_->SetRecording(VARIANT_TRUE), S_OK);
  ComPtr<IWebInfo> request = Request();
  BSTR click = SysAllocString(L"click");
  request->InsertAttrString(64, click, 1);
  SysFreeString(click);
  IWebInfo *raw = request.Get();
  ASSERT_EQ(AO(Find(L"#far").Get())->InvokeMethod(CALL_EVENT, &raw), S_OK);
  EXPECT_EQ(request->GetReturnValue(), S_OK);
  LONG steps = 0;
  browser_->GetStepCount(&steps);
  EXPECT_EQ(steps, 1); // the replayed click was seen as a user's click
}

TEST_F(HostMethodsTest, PageAndBrowserGiveTheCallbackRegistry) {
  Load(kPage);
  for (IUnknown *object :
       {static_cast<IUnknown *>(Page().Get()), static_cast<IUnknown *>(browser_.Get())}) {
    auto services = QueryAs<IWIBrowserServices>(object);
    ASSERT_TRUE(services);
    ComPtr<IUnknown> registry;
    ASSERT_EQ(services->GetCallbackRegistry(registry.Out()), S_OK);
    EXPECT_TRUE(QueryAs<IWICallbackerRegistrar>(registry.Get()));
    EXPECT_EQ(services->GetCallbackRegistry(nullptr), E_POINTER);
  }
  EXPECT_FALSE(QueryAs<IWIBrowserServices>(TopFrame().Get()));
  EXPECT_FALSE(QueryAs<IWIFrameAO>(AO(Find(L"#far").Get()).Get()));
}

TEST_F(HostMethodsTest, ObjectsHeldPastTheirPageAreCutLoose) {
  Load(kPage);
  ComPtr<IHTMLElement> element = Find(L"#far");
  ComPtr<IWebObj2> link = AO(element.Get());
  ComPtr<IWebObj2> frame = TopFrame();
  EXPECT_EQ(link->IsStandAlone(), S_FALSE);
  Load("<a href='x'>new page</a>"); // a new page replaces the tree
  ComPtr<IWebObj2> parent;
  EXPECT_EQ(link->GetParent(parent.Out()), S_OK);
  EXPECT_FALSE(parent);
  EXPECT_EQ(link->IsStandAlone(), S_OK);
  EXPECT_EQ(Text(link.Get(), 95), L"Far"); // the element is still readable
  EXPECT_EQ(frame->GetChild(0, parent.Out()), E_FAIL);
  // The old page has no tree any more: no object, made or found.
  ComPtr<IWebObj2> none;
  EXPECT_EQ(services_->GetElementAO(element.Get(), nullptr, VARIANT_TRUE, none.Out()), S_FALSE);
  EXPECT_FALSE(none);
}

} // namespace
