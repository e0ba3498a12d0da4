// Element objects inside the host's object tree: a host browser shows the
// page, a kit factory makes an element object for every element marked
// `kit`, and the host passes the element's frame object as the parent.
#include "WebObjTestSupport.h"

#include <vector>

#include "kit/KitCom.h"
#include "recognition/WIKitFactoryImpl.h"

namespace {

constexpr LONG kTestKitId = 7;
constexpr HRESULT kIndexOutOfRange = static_cast<HRESULT>(0x80040211);

// Makes element objects for elements with a `kit` attribute.
class CElementKitFactory : public CWIKitFactoryImpl, public CKitComRoot {
public:
  KIT_DELEGATING_IUNKNOWN

protected:
  void *GetInterface(REFIID riid) override {
    return riid == IID_IWIKitFactoryEx ? static_cast<IWIKitFactoryEx *>(this) : nullptr;
  }
  CQilComPtr<IWebObj2> NewAOImpl(IUnknown *element, IWebObj2 *parent) override {
    CQilComPtr<IHTMLElement> html;
    CQilVariant mark;
    if (FAILED(html.QueryFrom(element)) || !html ||
        FAILED(html->getAttribute(CQilBstr(L"kit"), 0, &mark)) || mark.vt != VT_BSTR)
      return {};
    CQilComPtr<IWebObj2> ao;
    CreateWebObject<CIE4Obj>(&ao, element, parent);
    return ao;
  }
};

// An onsubmit handler object that offers the script handler interface.
class CSubmitHandler : public IWIScriptHandler, public CKitComRoot {
public:
  KIT_DELEGATING_IUNKNOWN

  // With one reference.
  static CSubmitHandler *New(LONG hasCode, bool allow) {
    auto *handler = new CSubmitHandler(hasCode, allow);
    handler->NonDelegatingUnknown()->AddRef();
    return handler;
  }
  LONG Calls() const { return calls_; }

  STDMETHODIMP GetTypeInfoCount(UINT *count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override {
    return DISP_E_UNKNOWNNAME;
  }
  // Running the handler answers whether the form may be submitted.
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *result, EXCEPINFO *,
                      UINT *) override {
    if (id != DISPID_VALUE)
      return DISP_E_MEMBERNOTFOUND;
    ++calls_;
    if (result != nullptr) {
      VariantInit(result);
      result->vt = VT_BOOL;
      result->boolVal = allow_ ? VARIANT_TRUE : VARIANT_FALSE;
    }
    return S_OK;
  }
  STDMETHODIMP GetEventName(BSTR *) override { return E_NOTIMPL; }
  STDMETHODIMP GetLanguage(BSTR *) override { return E_NOTIMPL; }
  STDMETHODIMP GetSource(BSTR *) override { return E_NOTIMPL; }
  STDMETHODIMP GetOwnerElement(IDispatch **) override { return E_NOTIMPL; }
  STDMETHODIMP GetScriptObject(IDispatch **) override { return E_NOTIMPL; }
  STDMETHODIMP Attach(IDispatch *, BSTR) override { return E_NOTIMPL; }
  STDMETHODIMP Detach() override { return E_NOTIMPL; }
  STDMETHODIMP Enable(VARIANT_BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP IsEnabled(VARIANT_BOOL *) override { return E_NOTIMPL; }
  STDMETHODIMP HasHandlerCode(VARIANT *hasCode) override {
    VariantInit(hasCode);
    hasCode->vt = VT_I4;
    hasCode->lVal = hasCode_;
    return S_OK;
  }

protected:
  void *GetInterface(REFIID riid) override {
    if (riid == IID_IDispatch || riid == __uuidof(IWIScriptHandler))
      return static_cast<IWIScriptHandler *>(this);
    return nullptr;
  }

private:
  CSubmitHandler(LONG hasCode, bool allow) : hasCode_(hasCode), allow_(allow) {}
  LONG calls_ = 0;
  LONG hasCode_;
  bool allow_;
};

class WebObjTreeTest : public WebObjTest {
protected:
  void SetUp() override {
    WebObjTest::SetUp();
    CLSID browser = {};
    ASSERT_EQ(CLSIDFromProgID(kBrowserProgID, &browser), S_OK);
    ASSERT_EQ(CoCreateInstance(browser, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IWIHostBrowser),
                               reinterpret_cast<void **>(&browser_)),
              S_OK);
    CQilComPtr<IWIKitFactoryEx> factory;
    ASSERT_EQ(CreateKitObject<CElementKitFactory>(nullptr, IID_IWIKitFactoryEx,
                                                  reinterpret_cast<void **>(&factory)),
              S_OK);
    ASSERT_EQ(browser_->AddKitFactory(factory, kTestKitId), S_OK);
  }
  void TearDown() override {
    frame_.Release();
    if (browser_)
      browser_->Close();
    browser_.Release();
    WebObjTest::TearDown();
  }

  // Shows the page in the browser; navigations are only recorded.
  void Show(const std::string &html) {
    Load(html);
    ASSERT_EQ(browser_->SetDocument(document_), S_OK);
    tallowick::platform::SetNavigationHandler(
        document_, [this](const tallowick::platform::Navigation &navigation,
                          tallowick::platform::NavigationAnswer *) {
          navigations_.push_back(navigation.url);
          return S_OK;
        });
    CQilComPtr<IWebObj2> page;
    ASSERT_EQ(browser_->GetPageAO(&page), S_OK);
    frame_.Release();
    ASSERT_EQ(page->GetChild(0, &frame_), S_OK);
  }
  // The tree's object of an element (a kit object for marked elements).
  CQilComPtr<IWebObj2> TreeAO(LPCOLESTR id) {
    return HostServices::GetHostAO(Element(id), frame_, VARIANT_FALSE);
  }
  static std::vector<CQilComPtr<IWebObj2>> Objects(SAFEARRAY *array) {
    std::vector<CQilComPtr<IWebObj2>> objects;
    LONG lower = 0;
    LONG upper = -1;
    if (array == nullptr)
      return objects;
    SafeArrayGetLBound(array, 1, &lower);
    SafeArrayGetUBound(array, 1, &upper);
    for (LONG i = lower; i <= upper; ++i) {
      CQilVariant item;
      SafeArrayGetElement(array, &i, &item);
      CQilComPtr<IWebObj2> ao;
      if (item.vt == VT_UNKNOWN)
        ao.QueryFrom(item.punkVal);
      objects.push_back(ao);
    }
    SafeArrayDestroy(array);
    return objects;
  }
  static CQilComPtr<IFilterStruct> Filter(WEB_ID_FILTERS kind, LPCOLESTR tag = L"",
                                          LPCOLESTR css = L"") {
    CQilComPtr<IFilterStruct> filter = HostServices::NewFilterStruct();
    filter->put_filter(kind);
    filter->put_tagName(CQilBstr(tag));
    filter->put_css(CQilBstr(css));
    return filter;
  }
  std::wstring Log() {
    CQilBstr text;
    Element(L"log")->get_innerText(&text);
    return text.Text();
  }

  CQilComPtr<IWIHostBrowser> browser_;
  CQilComPtr<IWebObj2> frame_;
  std::vector<std::wstring> navigations_;
};

const char kPanelPage[] = R"(<html><body style='margin:0'>
<div id=panel kit=1><a id=first href=a.html>A</a>
  <div><span><a id=deep href=b.html>B</a></span></div>
  <table id=t><tr><td id=cell><div id=inner kit=1><a id=innerLink href=c.html>C</a></div></td></tr>
  </table><input id=edit name=e></div>
<a id=out href=o.html>Out</a></body></html>)";

TEST_F(WebObjTreeTest, FrameObjectIsTheParentFrameOfKitObjects) {
  Show(kPanelPage);
  CQilComPtr<IWebObj2> panel = TreeAO(L"panel");
  ASSERT_TRUE(panel);
  LONG kitId = 0;
  CQilComPtr<IWebObj2> parent;
  ASSERT_EQ(panel->GetKitID(&kitId), S_OK);
  ASSERT_EQ(panel->GetParentFrame(&parent), S_OK);
  EXPECT_EQ(kitId, kTestKitId);
  EXPECT_TRUE(parent.IsSameObject(frame_));
  parent.Release();
  ASSERT_EQ(panel->GetParent(&parent), S_OK);
  EXPECT_TRUE(parent.IsSameObject(frame_));

  // A kit object inside a cell: the cell is its parent; the tree branch
  // skips cells and rows and stops below the frame.
  CQilComPtr<IWebObj2> inner = TreeAO(L"inner");
  ASSERT_TRUE(inner);
  parent.Release();
  ASSERT_EQ(inner->GetParent(&parent), S_OK);
  EXPECT_TRUE(parent.IsSameObject(TreeAO(L"cell")));
  CQilComPtr<IWebAttrVal> branch;
  ASSERT_EQ(inner->GetTreeBranch(&branch), S_OK);
  std::vector<CQilComPtr<IWebObj2>> expected = {inner, TreeAO(L"t"), panel};
  UINT size = 0;
  ASSERT_EQ(branch->GetSize(&size), S_OK);
  ASSERT_EQ(size, expected.size());
  for (UINT i = 0; i < size; ++i) {
    CQilComPtr<IWebVariant> entry;
    CQilComPtr<IWebRunTimeID> id;
    CQilComPtr<IWebRunTimeID> own;
    ASSERT_EQ(branch->GetValue(i, &entry), S_OK);
    ASSERT_EQ(entry->get_RTID(&id), S_OK);
    ASSERT_EQ(expected[i]->GetId(&own), S_OK);
    EXPECT_EQ(id->IsEqual(own), S_OK) << i;
  }
  // The host's link object inside finds the kit object as its parent.
  parent.Release();
  ASSERT_EQ(TreeAO(L"innerLink")->GetParent(&parent), S_OK);
  EXPECT_TRUE(parent.IsSameObject(inner));
}

TEST_F(WebObjTreeTest, ChildrenAreGatheredThroughElementsWithoutObjects) {
  Show(kPanelPage);
  CQilComPtr<IWebObj2> panel = TreeAO(L"panel");
  ASSERT_TRUE(panel);
  // Only existing objects: the plain DIV and SPAN are looked through.
  SAFEARRAY *children = nullptr;
  ASSERT_EQ(panel->GetDirectChildren(Filter(ONLY_OBJECTS), &children), S_OK);
  std::vector<CQilComPtr<IWebObj2>> direct = Objects(children);
  ASSERT_EQ(direct.size(), 4u);
  EXPECT_TRUE(direct[0].IsSameObject(TreeAO(L"first")));
  EXPECT_TRUE(direct[1].IsSameObject(TreeAO(L"deep")));
  EXPECT_TRUE(direct[2].IsSameObject(TreeAO(L"t")));
  EXPECT_TRUE(direct[3].IsSameObject(TreeAO(L"edit")));
  // Nothing was created on the way.
  EXPECT_FALSE(HostServices::GetHostAO(ParentElement(Element(L"deep")), frame_, VARIANT_FALSE));

  // All children by tag, and by CSS through the frame's element query.
  children = nullptr;
  ASSERT_EQ(panel->GetAllChildren(Filter(ONLY_OBJECTS, L"A"), &children), S_OK);
  std::vector<CQilComPtr<IWebObj2>> links = Objects(children);
  ASSERT_EQ(links.size(), 3u);
  EXPECT_TRUE(links[2].IsSameObject(TreeAO(L"innerLink")));
  children = nullptr;
  ASSERT_EQ(panel->GetAllChildren(Filter(ONLY_OBJECTS, L"", L"td a, input"), &children), S_OK);
  std::vector<CQilComPtr<IWebObj2>> queried = Objects(children);
  ASSERT_EQ(queried.size(), 2u);
  EXPECT_TRUE(queried[0].IsSameObject(TreeAO(L"innerLink")));
  EXPECT_TRUE(queried[1].IsSameObject(TreeAO(L"edit")));

  // Indexes are 1-based among the direct children; outside ones are -1.
  LONG index = 0;
  EXPECT_EQ(panel->GetChildIndex(TreeAO(L"first"), &index), S_OK);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(panel->GetChildIndex(TreeAO(L"out"), &index), S_OK);
  EXPECT_EQ(index, -1);
  EXPECT_EQ(panel->GetChildIndex(TreeAO(L"innerLink"), &index), S_OK);
  EXPECT_EQ(index, -1);
  LONG count = 0;
  ASSERT_EQ(panel->GetDirectChildCount(0, &count), S_OK);
  ASSERT_GT(count, 0);
  CQilComPtr<IWebObj2> child;
  EXPECT_EQ(panel->GetChild(count - 1, &child), S_OK);
  EXPECT_TRUE(child);
  child.Release();
  EXPECT_EQ(panel->GetChild(count, &child), kIndexOutOfRange);
  EXPECT_FALSE(child);
  EXPECT_EQ(panel->GetChild(-1, &child), kIndexOutOfRange);
  children = nullptr;
  ASSERT_EQ(panel->GetDirectChildrenForLearn(&children), S_OK);
  EXPECT_EQ(static_cast<LONG>(Objects(children).size()), count);

  // By id: any object inside, direct ones only through the direct lookup.
  CQilComPtr<IWebRunTimeID> id;
  ASSERT_EQ(TreeAO(L"innerLink")->GetId(&id), S_OK);
  EXPECT_EQ(panel->GetChildById(id, &child), S_OK);
  child.Release();
  EXPECT_EQ(panel->GetDirectChildById(id, &child), E_FAIL);
  id.Release();
  ASSERT_EQ(TreeAO(L"out")->GetId(&id), S_OK);
  EXPECT_EQ(panel->GetChildById(id, &child), E_FAIL);
}

TEST_F(WebObjTreeTest, IdToDescGoesToTheFrame) {
  Show(kPanelPage);
  CQilComPtr<IWebObj2> inner = TreeAO(L"inner");
  CQilComPtr<IWebRunTimeID> id;
  ASSERT_EQ(TreeAO(L"out")->GetId(&id), S_OK);
  CQilComPtr<IWebInfo> request = Request();
  request->SetRTID(id);
  ASSERT_EQ(Invoke(inner, ID_TO_DESC, request), S_OK);
  EXPECT_EQ(request->GetReturnValue(), S_OK);
  CQilBstr name;
  ASSERT_EQ(request->GetStringValueByName(0, &name), S_OK);
  EXPECT_STREQ(name.Text(), L"Link");
}

TEST_F(WebObjTreeTest, ScreenRectAndMakeVisibleWithTheFrame) {
  Show("<html><body style='margin:0'><div id=top kit=1 style='position:absolute; left:5px; "
       "top:6px; width:40px; height:20px'></div><div id=far kit=1 style='position:absolute; "
       "left:10px; top:3000px; width:50px; height:30px'></div></body></html>");
  POINT origin = {};
  CQilComPtr<IWebAttrVal> offset;
  ASSERT_EQ(frame_->GetAttr(201, nullptr, &offset), S_OK);
  ASSERT_EQ(offset->GetPointValue(0, &origin), S_OK);

  CQilComPtr<IWebInfo> request = Request();
  ASSERT_EQ(Invoke(TreeAO(L"top"), GET_SCREEN_RECT, request), S_OK);
  EXPECT_EQ(request->GetReturnValue(), S_OK);
  RECT rect = {};
  ASSERT_EQ(request->GetRectValueByName(70, &rect), S_OK);
  EXPECT_EQ(rect.left, 5 + origin.x);
  EXPECT_EQ(rect.top, 6 + origin.y);
  EXPECT_EQ(rect.right, 45 + origin.x);
  EXPECT_EQ(rect.bottom, 26 + origin.y);

  // An element below the visible frame is scrolled into view; the answer is
  // its new rectangle and the point in screen terms.
  CQilComPtr<IWebObj2> far = TreeAO(L"far");
  CQilComPtr<IWebInfo> visible = Request();
  visible->InsertAttrPoint(65, POINT{4, 5}, 1);
  ASSERT_EQ(Invoke(far, MAKE_VISIBLE, visible), S_OK);
  EXPECT_EQ(visible->GetReturnValue(), S_OK);
  // Inside the top-level viewport (1024 x 768).
  ASSERT_EQ(visible->GetRectValueByName(70, &rect), S_OK);
  EXPECT_GE(rect.top - origin.y, 0);
  EXPECT_LE(rect.bottom - origin.y, 768);
  EXPECT_EQ(rect.right - rect.left, 50);
  POINT point = {};
  ASSERT_EQ(visible->GetPointValueByName(65, &point), S_OK);
  EXPECT_EQ(point.x, rect.left + 4);
  EXPECT_EQ(point.y, rect.top + 5);
  LONG window = -1;
  EXPECT_EQ(visible->GetLongValueByName(1, &window), S_OK);
}

const char kHandlerPage[] = R"html(<html><body><div id=log></div><script>
function Log() { document.getElementById('log').innerText += window.event.type + ','; }
</script>
<input id=i kit=1 type=button value=Go onfocus="Log()"
 onmousedown="Log()" onmouseup="Log()"
 onclick="Log()"></body></html>)html";

TEST_F(WebObjTreeTest, ClickReachesScriptHandlersInOrder) {
  Show(kHandlerPage);
  CQilComPtr<IWebObj2> button = TreeAO(L"i");
  ASSERT_TRUE(button);
  CQilComPtr<IWebInfo> request = Request();
  request->InsertAttrString(64, CQilBstr(L"Click"), 1);
  SetSetting(L"ReplayOnlyClick", 0);
  ASSERT_EQ(Invoke(button, CALL_EVENT, request), S_OK);
  EXPECT_EQ(request->GetReturnValue(), S_OK);
  EXPECT_EQ(Log(), L"focus,mousedown,mouseup,click,");

  Show(kHandlerPage);
  SetSetting(L"ReplayOnlyClick", 1);
  ASSERT_EQ(Invoke(TreeAO(L"i"), CALL_EVENT, request), S_OK);
  EXPECT_EQ(Log(), L"click,");
}

TEST_F(WebObjTreeTest, OnsubmitHandlerDecidesTheSubmission) {
  const char *pages[] = {
      "<form id=f action=next.html onsubmit='return false'><input id=i kit=1 name=q></form>",
      "<form id=f action=next.html onsubmit='return true'><input id=i kit=1 name=q></form>",
      "<form id=f action=next.html onsubmit='document.title = 1'><input id=i kit=1 name=q></form>"};
  const size_t submitted[] = {0, 1, 1};
  for (size_t i = 0; i < 3; ++i) {
    navigations_.clear();
    Show(std::string("<html><body>") + pages[i] + "<div id=log></div></body></html>");
    CQilComPtr<IWebInfo> request = Request();
    request->InsertAttrString(64, CQilBstr(L"submit"), 1);
    ASSERT_EQ(Invoke(TreeAO(L"i"), CALL_EVENT, request), S_OK);
    EXPECT_EQ(request->GetReturnValue(), S_OK) << i;
    EXPECT_EQ(navigations_.size(), submitted[i]) << pages[i];
  }
}

// A handler object with the script handler interface runs only when it says it
// has code of its own; its answer then decides.
TEST_F(WebObjTreeTest, OnsubmitHandlerInterfaceDecidesWhetherItRuns) {
  struct Case {
    LONG hasCode;
    bool allow;
    LONG calls;
    size_t submitted;
  };
  for (const Case &c : {Case{0, false, 0, 1}, Case{1, false, 1, 0}, Case{1, true, 1, 1}}) {
    navigations_.clear();
    Show("<html><body><form id=f action=next.html><input id=i kit=1 name=q></form></body></html>");
    CQilComPtr<IHTMLFormElement> form;
    ASSERT_EQ(form.QueryFrom(Element(L"f")), S_OK);
    CSubmitHandler *handler = CSubmitHandler::New(c.hasCode, c.allow);
    CQilVariant value(static_cast<IDispatch *>(handler));
    ASSERT_EQ(form->put_onsubmit(value), S_OK);
    CQilComPtr<IWebInfo> request = Request();
    request->InsertAttrString(64, CQilBstr(L"onsubmit"), 1);
    ASSERT_EQ(Invoke(TreeAO(L"i"), CALL_EVENT, request), S_OK);
    EXPECT_EQ(request->GetReturnValue(), S_OK);
    EXPECT_EQ(handler->Calls(), c.calls) << c.hasCode << c.allow;
    EXPECT_EQ(navigations_.size(), c.submitted) << c.hasCode << c.allow;
    handler->Release();
  }
}

} // namespace
