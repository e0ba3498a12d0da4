// Late-bound calls through QilDispatchDriver against a scripted fake object.
#include "page/MshtmlStubs.h"
#include "tallowick/Page.h"
#include <windows.h>

#include <mshtml.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/QilBstr.h"
#include "support/QilDispatchDriver.h"
#include "support/QilVariant.h"

namespace {

struct Call {
  DISPID id;
  WORD flags;
  LCID lcid;
  bool nullIid;
  UINT arguments;
  UINT namedArguments;
  DISPID firstNamed;
  VARTYPE firstType;
};

// An object with no dispatch interface, hence no text form.
class CPlainObject : public IUnknown {
public:
  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    *ppv = riid == IID_IUnknown ? this : nullptr;
    if (*ppv == nullptr)
      return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }
  ULONG refs = 1;
};

// A window-like object: properties by name, every call recorded. It answers
// IHTMLWindow2 only when `isWindow`; its window methods other than the name
// are not offered (the page engine's stubs answer E_NOTIMPL).
class CFakeObject : public tallowick::page::StubIHTMLWindow2 {
public:
  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (ppv == nullptr)
      return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown || riid == IID_IDispatch ||
        (isWindow && (riid == IID_IHTMLWindow2 || riid == IID_IHTMLFramesCollection2)))
      *ppv = static_cast<IHTMLWindow2 *>(this);
    if (*ppv == nullptr)
      return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }

  STDMETHODIMP GetTypeInfoCount(UINT *) override { return E_NOTIMPL; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR *names, UINT count, LCID lcid,
                             DISPID *ids) override {
    ++lookups;
    lookupLcid = lcid;
    lookupNullIid = riid == IID_NULL;
    if (count != 1)
      return E_INVALIDARG;
    auto member = members.find(names[0]);
    if (member == members.end()) {
      ids[0] = DISPID_UNKNOWN;
      return DISP_E_UNKNOWNNAME;
    }
    ids[0] = member->second;
    return S_OK;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS *params,
                      VARIANT *result, EXCEPINFO *, UINT *) override {
    Call call{id,
              flags,
              lcid,
              riid == IID_NULL,
              params->cArgs,
              params->cNamedArgs,
              params->cNamedArgs > 0 ? params->rgdispidNamedArgs[0] : 0,
              params->cArgs > 0 ? params->rgvarg[0].vt : VARTYPE(VT_ILLEGAL)};
    calls.push_back(call);
    if (flags == DISPATCH_PROPERTYPUTREF && !acceptsPutRef)
      return DISP_E_MEMBERNOTFOUND;
    if (flags == DISPATCH_PROPERTYPUT || flags == DISPATCH_PROPERTYPUTREF) {
      values[id] = params->rgvarg[0];
      return S_OK;
    }
    if (flags == DISPATCH_PROPERTYGET && result != nullptr) {
      VariantInit(result);
      return VariantCopy(result, &values[id]);
    }
    if (flags == DISPATCH_METHOD && result != nullptr) {
      VariantInit(result);
      result->vt = VT_I4;
      result->lVal = static_cast<LONG>(params->cArgs);
    }
    return S_OK;
  }

  STDMETHODIMP item(VARIANT *, VARIANT *) override { return E_NOTIMPL; }
  STDMETHODIMP get_length(LONG *) override { return E_NOTIMPL; }
  STDMETHODIMP get_name(BSTR *p) override {
    *p = SysAllocString(L"main window");
    return S_OK;
  }

  void Define(const wchar_t *name, DISPID id, const CQilVariant &value = CQilVariant()) {
    members[name] = id;
    values[id] = value;
  }

  ULONG refs = 1;
  bool isWindow = false;
  bool acceptsPutRef = true;
  int lookups = 0;
  LCID lookupLcid = 0;
  bool lookupNullIid = false;
  std::map<std::wstring, DISPID> members;
  std::map<DISPID, CQilVariant> values;
  std::vector<Call> calls;
};

TEST(DispatchDriverTest, GetNamedPropertyLooksUpThenGets) {
  CFakeObject object;
  object.Define(L"numTabs", 12, CQilVariant(LONG{3}));
  CQilVariant value;
  ASSERT_EQ(GetNamedProperty(&object, L"numTabs", &value), S_OK);
  EXPECT_EQ(value.vt, VT_I4);
  EXPECT_EQ(value.lVal, 3);
  EXPECT_EQ(object.lookupLcid, LCID{0x0800});
  EXPECT_TRUE(object.lookupNullIid);
  ASSERT_EQ(object.calls.size(), 1u);
  EXPECT_EQ(object.calls[0].id, 12);
  EXPECT_EQ(object.calls[0].flags, DISPATCH_PROPERTYGET);
  EXPECT_EQ(object.calls[0].lcid, LCID{0x0400});
  EXPECT_TRUE(object.calls[0].nullIid);
  EXPECT_EQ(object.calls[0].arguments, 0u);

  EXPECT_EQ(GetNamedProperty(&object, L"missing", &value), DISP_E_UNKNOWNNAME);
}

TEST(DispatchDriverTest, BadArgumentsFailBeforeAnyCall) {
  CFakeObject object;
  object.Define(L"numTabs", 12);
  CQilVariant value;
  EXPECT_EQ(GetNamedProperty(&object, L"numTabs", nullptr), E_INVALIDARG);
  EXPECT_EQ(SetNamedProperty(&object, L"numTabs", nullptr), E_INVALIDARG);
  EXPECT_EQ(CallNamedMethod1(&object, L"numTabs", nullptr, &value, nullptr, nullptr), E_INVALIDARG);
  EXPECT_EQ(object.lookups, 0);
  EXPECT_TRUE(object.calls.empty());
  EXPECT_EQ(GetNamedProperty(nullptr, L"numTabs", &value), E_POINTER);
  EXPECT_EQ(SetNamedProperty(nullptr, L"numTabs", &value), E_POINTER);
  EXPECT_EQ(CallMethodById(nullptr, 1, nullptr, nullptr, nullptr, nullptr), E_POINTER);
  EXPECT_EQ(CallNamedMethod0(nullptr, L"x", nullptr, nullptr, nullptr), E_POINTER);
  EXPECT_EQ(CallMethodById1(nullptr, 1, &value, nullptr, nullptr, nullptr), E_POINTER);
  EXPECT_EQ(GetNamedProperty(&object, nullptr, &value), DISP_E_UNKNOWNNAME);
  EXPECT_TRUE(object.calls.empty());
}

TEST(DispatchDriverTest, SetNamedPropertyTriesReferencePutOnlyForReferenceTypes) {
  CFakeObject other;
  CQilVariant objectValue(static_cast<IDispatch *>(&other));
  CQilVariant arrayValue;
  arrayValue.vt = VT_ARRAY | VT_VARIANT;
  arrayValue.parray = SafeArrayCreateVector(VT_VARIANT, 0, 1);
  LONG number = 4;
  CQilVariant byReference;
  byReference.vt = VT_BYREF | VT_I4;
  byReference.plVal = &number;
  CQilVariant unknownValue(static_cast<IUnknown *>(&other));
  for (VARIANT *value :
       {static_cast<VARIANT *>(&objectValue), static_cast<VARIANT *>(&arrayValue),
        static_cast<VARIANT *>(&byReference), static_cast<VARIANT *>(&unknownValue)}) {
    CFakeObject object;
    object.Define(L"onfocus", 5);
    ASSERT_EQ(SetNamedProperty(&object, L"onfocus", value), S_OK);
    ASSERT_EQ(object.calls.size(), 1u) << value->vt;
    EXPECT_EQ(object.calls[0].flags, DISPATCH_PROPERTYPUTREF);
    EXPECT_EQ(object.calls[0].arguments, 1u);
    EXPECT_EQ(object.calls[0].namedArguments, 1u);
    EXPECT_EQ(object.calls[0].firstNamed, DISPID_PROPERTYPUT);
    EXPECT_EQ(object.calls[0].firstType, value->vt);
  }

  // An object with plain put only: the second attempt succeeds.
  CFakeObject plain;
  plain.acceptsPutRef = false;
  plain.Define(L"onfocus", 5);
  ASSERT_EQ(SetNamedProperty(&plain, L"onfocus", &objectValue), S_OK);
  ASSERT_EQ(plain.calls.size(), 2u);
  EXPECT_EQ(plain.calls[0].flags, DISPATCH_PROPERTYPUTREF);
  EXPECT_EQ(plain.calls[1].flags, DISPATCH_PROPERTYPUT);
  EXPECT_EQ(plain.values[5].vt, VT_DISPATCH);

  for (CQilVariant value : {CQilVariant(LONG{1}), CQilVariant(L"text"), CQilVariant(true)}) {
    CFakeObject object;
    object.Define(L"selectedIndex", 8);
    ASSERT_EQ(SetNamedProperty(&object, L"selectedIndex", &value), S_OK);
    ASSERT_EQ(object.calls.size(), 1u);
    EXPECT_EQ(object.calls[0].flags, DISPATCH_PROPERTYPUT);
    EXPECT_EQ(object.calls[0].firstNamed, DISPID_PROPERTYPUT);
  }
  plain.values.clear();
}

TEST(DispatchDriverTest, MethodCallsPassNoneOrOneArgument) {
  CFakeObject object;
  object.Define(L"getTab", 21);
  CQilVariant result;
  ASSERT_EQ(CallNamedMethod0(&object, L"getTab", &result, nullptr, nullptr), S_OK);
  EXPECT_EQ(result.lVal, 0);
  CQilVariant index(LONG{2});
  ASSERT_EQ(CallNamedMethod1(&object, L"getTab", &index, &result, nullptr, nullptr), S_OK);
  EXPECT_EQ(result.lVal, 1);
  ASSERT_EQ(CallMethodById1(&object, 21, &index, nullptr, nullptr, nullptr), S_OK);
  ASSERT_EQ(object.calls.size(), 3u);
  for (const Call &call : object.calls) {
    EXPECT_EQ(call.id, 21);
    EXPECT_EQ(call.flags, DISPATCH_METHOD);
    EXPECT_EQ(call.namedArguments, 0u);
  }
  EXPECT_EQ(object.calls[1].firstType, VT_I4);
  EXPECT_EQ(CallNamedMethod0(&object, L"eval", &result, nullptr, nullptr), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(object.calls.size(), 3u);
}

TEST(DispatchDriverTest, ReadPropertyTextNeedsTheChosenKind) {
  CFakeObject object; // not a window, document or element
  object.Define(L"title", 3, CQilVariant(L"text"));
  BSTR text = SysAllocString(L"left over");
  BSTR kept = text;
  EXPECT_FALSE(ReadPropertyText(&object, L"title", &text, 0x100));
  EXPECT_EQ(text, nullptr);
  SysFreeString(kept);
  EXPECT_FALSE(ReadPropertyText(&object, L"title", &text, 0x80));
  EXPECT_FALSE(ReadPropertyText(&object, L"title", &text, 0));
  EXPECT_FALSE(ReadPropertyText(&object, L"title", nullptr, 0x100));
  EXPECT_TRUE(object.calls.empty());
}

TEST(DispatchDriverTest, ReadPropertyTextFallsBackToNamedProperties) {
  CFakeObject window;
  window.isWindow = true;
  window.Define(L"title", 3, CQilVariant(L"Orders"));
  window.Define(L"count", 4, CQilVariant(LONG{12}));
  CPlainObject plain;
  window.Define(L"handler", 5, CQilVariant(static_cast<IUnknown *>(&plain)));
  CQilBstr text;
  ASSERT_TRUE(ReadPropertyText(&window, L"NAME", &text, 0x100));
  EXPECT_STREQ(text.Text(), L"main window");
  EXPECT_TRUE(window.calls.empty());
  ASSERT_TRUE(ReadPropertyText(&window, L"title", &text, 0x100));
  EXPECT_STREQ(text.Text(), L"Orders");
  ASSERT_TRUE(ReadPropertyText(&window, L"count", &text, 0x100 | 0x20));
  EXPECT_STREQ(text.Text(), L"12");
  // No text form: freed and left null, still answered.
  ASSERT_TRUE(ReadPropertyText(&window, L"handler", &text, 0x100));
  EXPECT_EQ(text.Get(), nullptr);
  window.values.clear();
  EXPECT_EQ(window.refs, 1u);
  EXPECT_EQ(plain.refs, 1u);
}

// The window, document and element branches against a page of the page engine.
TEST(DispatchDriverTest, ReadPropertyTextReadsPageObjects) {
  IHTMLDocument2 *document = nullptr;
  ASSERT_EQ(tallowick::platform::LoadPageFromString(
                "<html><body><table id='Grid1' class='grid' rules='all' style='width:120px'>"
                "<tr><td>a</td></tr></table></body></html>",
                L"http://server/app/Orders.aspx", &document),
            S_OK);
  CQilBstr text;
  ASSERT_TRUE(ReadPropertyText(document, L"url", &text, 0x80));
  EXPECT_STREQ(text.Text(), L"http://server/app/Orders.aspx");

  IHTMLElement *grid = nullptr;
  {
    IHTMLDocument3 *document3 = nullptr;
    ASSERT_EQ(document->QueryInterface(IID_IHTMLDocument3, reinterpret_cast<void **>(&document3)),
              S_OK);
    CQilBstr id(L"Grid1");
    ASSERT_EQ(document3->getElementById(id, &grid), S_OK);
    document3->Release();
  }
  ASSERT_NE(grid, nullptr);
  ASSERT_TRUE(ReadPropertyText(grid, L"TAGNAME", &text, 0));
  EXPECT_STREQ(text.Text(), L"TABLE");
  ASSERT_TRUE(ReadPropertyText(grid, L"className", &text, 0));
  EXPECT_STREQ(text.Text(), L"grid");
  ASSERT_TRUE(ReadPropertyText(grid, L"rules", &text, 0x20)); // the DOM attribute
  EXPECT_STREQ(text.Text(), L"all");
  ASSERT_TRUE(ReadPropertyText(grid, L"nosuch", &text, 0x20)); // absent: null text
  EXPECT_EQ(text.Get(), nullptr);
  ASSERT_TRUE(ReadPropertyText(grid, L"width", &text, 0x200)); // the style attribute
  EXPECT_STREQ(text.Text(), L"120px");
  EXPECT_FALSE(ReadPropertyText(grid, L"name", &text, 0x100)); // not a window
  grid->Release();

  IHTMLWindow2 *window = nullptr;
  ASSERT_EQ(tallowick::platform::GetPageWindow(document, &window), S_OK);
  ASSERT_TRUE(ReadPropertyText(window, L"Name", &text, 0x100));
  EXPECT_STREQ(text.Text(), L"");
  window->Release();
  document->Release();
}

} // namespace
