// Identity, web classes, the stored tree and the per-class helpers of the
// agent object classes, on a real page.
#include "WebObjTestSupport.h"

#include "webobj/IE55ViewLinkElement.h"
#include "webobj/WebObjUtil.h"

namespace {

constexpr char kPage[] = "<html><body><div id=a>one</div><div id=b>two</div></body></html>";

LONG InnerObjId(IWebObj2 *ao) {
  CQilComPtr<IWebRunTimeID> id;
  LONG value = 0;
  if (SUCCEEDED(ao->GetIdRef(&id)) && id)
    id->GetInnerObjId(&value);
  return value;
}

ULONG RefCount(IUnknown *object) {
  object->AddRef();
  return object->Release();
}

// A non-stand-alone element object that looks at the update guard from
// within UpdateChildren.
class CUpdatingObj : public CIE4Obj {
public:
  explicit CUpdatingObj(IUnknown *element) : CIE4Obj(element, nullptr) { m_bStandAlone = FALSE; }
  STDMETHODIMP UpdateChildren() override {
    seen = IsLockedForUpdate();
    return S_OK;
  }
  HRESULT seen = -1;
};

class CFailingElement : public IUnknown {
public:
  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    *ppv = nullptr;
    if (riid == IID_IUnknown) {
      *ppv = this;
      return S_OK;
    }
    return E_OUTOFMEMORY;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
};

TEST_F(WebObjTest, ElementObjectIdentityAndClasses) {
  Load(kPage);
  CQilComPtr<IWebObj2> ao = AO(L"a");
  ASSERT_TRUE(ao);
  LONG kitId = 0;
  EXPECT_EQ(ao->GetKitID(&kitId), S_OK);
  EXPECT_EQ(kitId, 1);
  EXPECT_EQ(ao->SetKitId(0x1234), S_OK);
  EXPECT_EQ(ao->GetKitID(&kitId), S_OK);
  EXPECT_EQ(kitId, 0x34);
  EXPECT_EQ(ao->GetKitID(nullptr), E_POINTER);

  EXPECT_EQ(ao->CompareClass(1), S_OK);
  EXPECT_EQ(ao->CompareClass(10), S_OK);
  EXPECT_EQ(ao->CompareClass(12), S_FALSE);
  LONG recordable = 0;
  EXPECT_EQ(ao->GetRecordableClass(&recordable), S_OK);
  EXPECT_EQ(recordable, 10);
  EXPECT_EQ(ao->IsStandAlone(), S_OK);
  LONG type = -1;
  EXPECT_EQ(ao->GetType(&type), S_OK);
  EXPECT_EQ(type, 0);

  // GetId hands out a copy, GetIdRef the object's own id.
  CQilComPtr<IWebRunTimeID> copy;
  CQilComPtr<IWebRunTimeID> own;
  ASSERT_EQ(ao->GetId(&copy), S_OK);
  ASSERT_EQ(ao->GetIdRef(&own), S_OK);
  EXPECT_NE(copy.Get(), own.Get());
  EXPECT_EQ(copy->IsEqual(own), S_OK);

  CQilComPtr<IUnknown> wrapped;
  ASSERT_EQ(ao->GetWrappedElement(&wrapped), S_OK);
  EXPECT_TRUE(wrapped.IsSameObject(Element(L"a")));

  // A stand-alone object takes no children.
  CQilComPtr<IWebObj2> other = AO(L"b");
  EXPECT_EQ(ao->AddChild(other), static_cast<HRESULT>(0x80040208));
  EXPECT_EQ(ao->ReleaseRefs(), S_OK);
}

TEST_F(WebObjTest, InnerObjectIdIsStableAndUniquePerElement) {
  Load(kPage);
  CQilComPtr<IWebObj2> page = AO(L"a"); // stands in for a parent with a run-time id
  CQilComPtr<IWebObj2> first = AO(L"b", page);
  CQilComPtr<IWebObj2> second = AO(L"b", page);
  CQilComPtr<IWebObj2> third;
  ASSERT_EQ(CreateWebObject<CIE4Obj>(&third, Element(L"a").Get(), page.Get()), S_OK);
  LONG id = InnerObjId(first);
  EXPECT_NE(id, 0);
  EXPECT_EQ(InnerObjId(second), id);
  EXPECT_NE(InnerObjId(third), id);
  EXPECT_NE(InnerObjId(third), 0);
  EXPECT_EQ(ElementIds::LiveCount(), 2u);
  first.Release();
  // Still held by the second object: the same number for a new one.
  CQilComPtr<IWebObj2> fourth = AO(L"b", page);
  EXPECT_EQ(InnerObjId(fourth), id);
}

TEST_F(WebObjTest, ConstructionFailureOfTheElementQueryIsReturned) {
  CFailingElement element;
  CQilComPtr<IWebObj2> ao;
  EXPECT_EQ(CreateWebObject<CIE4Obj>(&ao, static_cast<IUnknown *>(&element),
                                     static_cast<IWebObj2 *>(nullptr)),
            E_OUTOFMEMORY);
  EXPECT_FALSE(ao);
  // A node that is no HTML element makes an object without an element.
  ASSERT_EQ(CreateWebObject<CIE4Obj>(&ao, static_cast<IUnknown *>(nullptr),
                                     static_cast<IWebObj2 *>(nullptr)),
            S_OK);
  CQilComPtr<IWebAttrVal> value;
  EXPECT_EQ(ao->GetAttrEx(58, nullptr, &value), E_FAIL);
  IWebInfo *none = nullptr;
  EXPECT_EQ(ao->InvokeMethod(CALL_EVENT, &none), E_FAIL);
}

TEST_F(WebObjTest, ReleaseRefsReleasesTheParent) {
  Load(kPage);
  CQilComPtr<IWebObj2> parent = AO(L"a");
  CQilComPtr<IWebObj2> child = AO(L"b", parent);
  EXPECT_EQ(RefCount(parent), 2u);
  EXPECT_EQ(child->ReleaseRefs(), S_OK);
  EXPECT_EQ(RefCount(parent), 1u);
  CQilComPtr<IWebObj2> frame;
  EXPECT_EQ(child->GetParentFrame(&frame), S_OK);
  EXPECT_FALSE(frame);
  // SetParent keeps one reference and drops the old one.
  EXPECT_EQ(child->SetParent(parent), S_OK);
  EXPECT_EQ(child->SetParent(parent), S_OK);
  EXPECT_EQ(RefCount(parent), 2u);
  EXPECT_EQ(child->SetParent(nullptr), S_OK);
  EXPECT_EQ(RefCount(parent), 1u);
}

TEST_F(WebObjTest, UpdateGuardIsSetOnlyDuringUpdateChildren) {
  Load(kPage);
  CUpdatingObj *object = new CUpdatingObj(Element(L"a").Get());
  CQilComPtr<IWebObj2> ao(object);
  EXPECT_EQ(ao->IsLockedForUpdate(), S_OK);
  EXPECT_EQ(ao->CallUpdate(), S_OK);
  EXPECT_EQ(object->seen, S_FALSE); // 1 while the update runs
  EXPECT_EQ(ao->IsLockedForUpdate(), S_OK);
  object->seen = -1;
  // A stand-alone element object never runs the update.
  CQilComPtr<IWebObj2> plain = AO(L"b");
  EXPECT_EQ(plain->CallUpdate(), S_OK);
}

TEST_F(WebObjTest, StoredChildrenOfANonStandAloneObject) {
  Load(kPage);
  CQilComPtr<IWebObj2> parent(new CUpdatingObj(Element(L"a").Get()));
  CQilComPtr<IWebObj2> child(new CUpdatingObj(Element(L"b").Get()));
  CQilComPtr<IWebObj2> standAlone = AO(L"b");
  EXPECT_EQ(parent->AddChild(standAlone), static_cast<HRESULT>(0x80040208));
  EXPECT_EQ(parent->AddChild(child), S_OK);
  EXPECT_EQ(RefCount(child), 3u); // the list and the map
  CQilComPtr<IWebObj2> childParent;
  EXPECT_EQ(child->GetParentFrame(&childParent), S_OK);
  EXPECT_EQ(childParent.Get(), parent.Get());
  childParent.Release();
  // Releasing the tree breaks the child's link to its parent and the parent's list.
  EXPECT_EQ(parent->ReleaseRefs(), S_OK);
  EXPECT_EQ(RefCount(child), 1u);
  EXPECT_EQ(RefCount(parent), 1u);
}

TEST_F(WebObjTest, PerClassHelpers) {
  struct Expected {
    int position;
    const wchar_t *name;
    LONG type;
  };
  const Expected table[] = {{0, L"WebElement", 0},  {1, L"WebElement", 2}, {2, L"WebElement", 1},
                            {3, L"WebElement", 0},  {4, L"Link", 2},       {5, L"Image", 2},
                            {6, L"Image", 2},       {7, L"WebTable", 0},   {8, L"WebElement", 0},
                            {9, L"WebElement", 0},  {10, L"WebArea", 2},   {11, L"WebElement", 2},
                            {12, L"WebElement", 2}, {13, L"ViewLink", 2}};
  for (const Expected &entry : table) {
    const CWebObjUtil *util = SharedWebObjUtil(entry.position);
    CQilComPtr<IWebAttrVal> name;
    util->GetClassName(&name);
    EXPECT_EQ(String(name), entry.name) << entry.position;
    EXPECT_EQ(util->GetObjectType(), entry.type) << entry.position;
  }
  SharedWebObjUtil(0)->GetClassName(nullptr); // does nothing

  BSTR text = SysAllocString(L"a\tb\r\nc");
  EXPECT_TRUE(CWebTextUtil::NormalizeText(&text));
  EXPECT_STREQ(text, L"a bc");
  EXPECT_EQ(SysStringLen(text), 4u);
  SysFreeString(text);
  BSTR empty = nullptr;
  EXPECT_FALSE(CWebTextUtil::NormalizeText(&empty));
  EXPECT_EQ(empty, nullptr);

  Load(kPage);
  CQilComPtr<IWebObj2> element = AO(L"a");
  CQilComPtr<IWebObj2> viewLink;
  ASSERT_EQ(CreateWebObject<CIE55ViewLinkElement>(&viewLink, Element(L"b").Get(),
                                                  static_cast<IWebObj2 *>(nullptr),
                                                  static_cast<IWebObj2 *>(nullptr)),
            S_OK);
  CQilComPtr<IWebAttrVal> name;
  EXPECT_EQ(element->GetAttr(0, nullptr, &name), S_OK);
  EXPECT_EQ(String(name), L"WebElement");
  EXPECT_EQ(viewLink->GetAttr(0, nullptr, &name), S_OK);
  EXPECT_EQ(String(name), L"ViewLink");
  LONG type = -1;
  EXPECT_EQ(viewLink->GetType(&type), S_OK);
  EXPECT_EQ(type, 2);

  // Frame lookup: the object itself when it is a frame, else none above.
  EXPECT_FALSE(CWebObjUtil::FindFrame(element));
  element->SetWebClass(21);
  EXPECT_EQ(CWebObjUtil::FindFrame(element).Get(), element.Get());
  EXPECT_FALSE(CWebObjUtil::FindFrame(nullptr));
  EXPECT_FALSE(CWebObjUtil::FindCallbackRegistry(element));
}

} // namespace
