// The view-link element object: what goes to the inner object, and what
// fails without one.
#include "WebObjTestSupport.h"

#include "webobj/IE55ViewLinkElement.h"

namespace {

constexpr HRESULT kInnerAnswer = static_cast<HRESULT>(0x80041234);

// An inner object that records what reached it.
class CInnerAO : public CIE4Obj {
public:
  CInnerAO() : CIE4Obj(nullptr, nullptr) {}
  STDMETHODIMP GetAllChildren(IFilterStruct *filter, SAFEARRAY **children) override {
    return Record(L"GetAllChildren", filter, children);
  }
  STDMETHODIMP GetDirectChildren(IFilterStruct *filter, SAFEARRAY **children) override {
    return Record(L"GetDirectChildren", filter, children);
  }
  STDMETHODIMP GetDirectChildrenForLearn(SAFEARRAY **children) override {
    return Record(L"GetDirectChildrenForLearn", nullptr, children);
  }
  STDMETHODIMP GetAttr(LONG id, IWebAttrVal *data, IWebAttrVal **value) override {
    lastId = id;
    lastData = data;
    return Record(L"GetAttr", nullptr, value);
  }
  STDMETHODIMP GetAttrEx(LONG, IWebAttrVal *, IWebAttrVal **value) override {
    return Record(L"GetAttrEx", nullptr, value);
  }
  STDMETHODIMP InvokeMethod(METHOD_NAME_ENUM method, IWebInfo **info) override {
    lastId = method;
    return Record(L"InvokeMethod", nullptr, info);
  }
  HRESULT Record(const wchar_t *name, void *first, void *second) {
    last = name;
    lastFirst = first;
    lastSecond = second;
    return kInnerAnswer;
  }
  std::wstring last;
  void *lastFirst = nullptr;
  void *lastSecond = nullptr;
  LONG lastId = 0;
  IWebAttrVal *lastData = nullptr;
};

TEST_F(WebObjTest, ViewLinkForwardsToTheInnerObject) {
  Load("<html><body><div id=v>inside</div></body></html>");
  CInnerAO *inner = new CInnerAO;
  CQilComPtr<IWebObj2> innerAO(inner);
  CQilComPtr<IWebObj2> ao;
  ASSERT_EQ(CreateWebObject<CIE55ViewLinkElement>(&ao, Element(L"v").Get(),
                                                  static_cast<IWebObj2 *>(nullptr), innerAO.Get()),
            S_OK);
  EXPECT_EQ(ao->CompareClass(27), S_OK);
  EXPECT_EQ(ao->CompareClass(10), S_OK);

  CQilComPtr<IFilterStruct> filter = HostServices::NewFilterStruct();
  SAFEARRAY *children = nullptr;
  EXPECT_EQ(ao->GetAllChildren(filter, &children), kInnerAnswer);
  EXPECT_EQ(inner->last, L"GetAllChildren");
  EXPECT_EQ(inner->lastFirst, filter.Get());
  EXPECT_EQ(inner->lastSecond, &children);
  EXPECT_EQ(ao->GetDirectChildren(filter, &children), kInnerAnswer);
  EXPECT_EQ(inner->last, L"GetDirectChildren");
  EXPECT_EQ(ao->GetDirectChildrenForLearn(&children), kInnerAnswer);
  EXPECT_EQ(inner->last, L"GetDirectChildrenForLearn");

  CQilComPtr<IWebAttrVal> data = HostServices::NewWebAttrValLong(7);
  for (LONG id : {73, 74, 172}) {
    CQilComPtr<IWebAttrVal> value;
    inner->last.clear();
    EXPECT_EQ(ao->GetAttrEx(id, data, &value), kInnerAnswer);
    EXPECT_EQ(inner->last, L"GetAttr"); // its GetAttr, not GetAttrEx
    EXPECT_EQ(inner->lastId, id);
    EXPECT_EQ(inner->lastData, data.Get());
  }
  CQilComPtr<IWebInfo> request = Request();
  for (METHOD_NAME_ENUM method : {GET_OBJ_ID_FROM_POINT, GET_TEXT_INFO_EX}) {
    IWebInfo *info = request;
    EXPECT_EQ(ao->InvokeMethod(method, &info), kInnerAnswer);
    EXPECT_EQ(inner->lastId, method);
    EXPECT_EQ(inner->lastSecond, &info);
  }
  // Everything else is the element object's.
  inner->last.clear();
  CQilComPtr<IWebAttrVal> value;
  ASSERT_EQ(ao->GetAttr(58, nullptr, &value), S_OK);
  EXPECT_EQ(String(value), L"DIV");
  ASSERT_EQ(ao->GetAttr(146, nullptr, &value), S_OK);
  EXPECT_EQ(String(value), L"DIV");
  EXPECT_EQ(ao->GetAttrEx(198, nullptr, &value), E_FAIL);
  EXPECT_EQ(ao->GetAttrEx(199, nullptr, &value), E_FAIL);
  EXPECT_EQ(ao->GetAttrEx(58, nullptr, nullptr), E_FAIL);
  EXPECT_EQ(Invoke(ao, HIGHLIGHT_OBJECT, request), S_OK);
  EXPECT_TRUE(inner->last.empty());
}

TEST_F(WebObjTest, ViewLinkWithoutInnerObjectFailsOnlyTheForwardedCalls) {
  Load("<html><body><div id=v>inside</div></body></html>");
  CQilComPtr<IWebObj2> ao;
  ASSERT_EQ(CreateWebObject<CIE55ViewLinkElement>(&ao, Element(L"v").Get(),
                                                  static_cast<IWebObj2 *>(nullptr),
                                                  static_cast<IWebObj2 *>(nullptr)),
            S_OK);
  SAFEARRAY *children = nullptr;
  EXPECT_EQ(ao->GetAllChildren(nullptr, &children), E_FAIL);
  EXPECT_EQ(ao->GetDirectChildren(nullptr, &children), E_FAIL);
  EXPECT_EQ(ao->GetDirectChildrenForLearn(&children), E_FAIL);
  CQilComPtr<IWebAttrVal> value;
  for (LONG id : {73, 74, 172})
    EXPECT_EQ(ao->GetAttrEx(id, nullptr, &value), E_FAIL);
  CQilComPtr<IWebInfo> request = Request();
  EXPECT_EQ(Invoke(ao, GET_OBJ_ID_FROM_POINT, request), E_FAIL);
  EXPECT_EQ(Invoke(ao, GET_TEXT_INFO_EX, request), E_FAIL);
  ASSERT_EQ(ao->GetAttr(105, nullptr, &value), S_OK);
  EXPECT_EQ(String(value), L"inside");

  // 146 answers S_OK even when the tag name cannot be read (no element).
  CQilComPtr<IWebObj2> bare;
  ASSERT_EQ(CreateWebObject<CIE55ViewLinkElement>(&bare, static_cast<IUnknown *>(nullptr),
                                                  static_cast<IWebObj2 *>(nullptr),
                                                  static_cast<IWebObj2 *>(nullptr)),
            S_OK);
  EXPECT_EQ(bare->GetAttrEx(146, nullptr, &value), S_OK);
  EXPECT_FALSE(value);
}

} // namespace
