#include <map>
#include <string>
#include <vector>

#include "TallowickHost.h"
#include "ValueTestSupport.h"
#include "common/ComObject.h"

namespace host::test {
namespace {

ComPtr<IWebAttrVal> StringAttr(const wchar_t *text) {
  auto a = NewAttr();
  Bstr value(text);
  EXPECT_EQ(a->AddString(value), S_OK);
  return a;
}

std::wstring TopString(IWebInfo *info, LONG name) {
  ComPtr<IWebVariant> v;
  EXPECT_EQ(info->GetTopInnerAttrValueByName(name, WEB_AV_STRING, v.Out()), S_OK);
  if (!v)
    return L"<none>";
  EXPECT_EQ(TypeOf(v.Get()), WEB_AV_STRING);
  return StringOf(v.Get());
}

TEST(WebInfoTest, RequestEntriesAsTheKitWritesAndReadsThem) {
  auto info = NewInfo();
  ASSERT_EQ(info->ReplaceAttrValueByName(6, StringAttr(L"Tab 2").Get(), 1), S_OK);
  auto number = NewAttr();
  ASSERT_EQ(number->AddLong(3), S_OK);
  ASSERT_EQ(info->ReplaceAttrValueByName(16389, number.Get(), 1), S_OK);
  EXPECT_EQ(TopString(info.Get(), 6), L"Tab 2");

  ComPtr<IWebVariant> v;
  ASSERT_EQ(info->GetTopInnerAttrValueByName(16389, WEB_AV_LONG, v.Out()), S_OK);
  LONG l = 0;
  EXPECT_EQ(v->get_long(&l), S_OK);
  EXPECT_EQ(l, 3);
  ASSERT_EQ(info->GetTopInnerAttrValueByName(16389, WEB_AV_EMPTY, v.Out()), S_OK);
  EXPECT_EQ(TypeOf(v.Get()), WEB_AV_LONG);
  EXPECT_EQ(TopString(info.Get(), 16389), L"3");

  // Replacing keeps one entry; the stored attribute is a copy.
  ASSERT_EQ(info->ReplaceAttrValueByName(6, StringAttr(L"Tab 3").Get(), 1), S_OK);
  ASSERT_EQ(number->AddLong(4), S_OK);
  unsigned int size = 0;
  ASSERT_EQ(info->GetSize(&size), S_OK);
  EXPECT_EQ(size, 2u);
  EXPECT_EQ(TopString(info.Get(), 6), L"Tab 3");
  ComPtr<IWebAttrVal> stored;
  ASSERT_EQ(info->GetAttrValueByName(16389, stored.Out()), S_OK);
  ASSERT_EQ(stored->GetSize(&size), S_OK);
  EXPECT_EQ(size, 1u);

  // Missing entries, failed conversions and bad types hand out nothing.
  v.Reset();
  EXPECT_EQ(info->GetTopInnerAttrValueByName(7, WEB_AV_STRING, v.Out()), DISP_E_MEMBERNOTFOUND);
  EXPECT_FALSE(v);
  EXPECT_EQ(info->GetTopInnerAttrValueByName(6, WEB_AV_LONG, v.Out()), DISP_E_TYPEMISMATCH);
  EXPECT_FALSE(v);
  EXPECT_EQ(info->GetTopInnerAttrValueByName(6, static_cast<WEB_AV_TYPE>(15), v.Out()),
            E_INVALIDARG);
  ASSERT_EQ(info->InsertAttr(8), S_OK);
  EXPECT_EQ(info->GetTopInnerAttrValueByName(8, WEB_AV_EMPTY, v.Out()), DISP_E_BADINDEX);
  EXPECT_EQ(info->ReplaceAttrValueByName(9, number.Get(), 0), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(info->ReplaceAttrValueByName(9, nullptr, 1), E_INVALIDARG);
  EXPECT_EQ(info->GetTopInnerAttrValueByName(6, WEB_AV_STRING, nullptr), E_POINTER);
}

TEST(WebInfoTest, InsertUniqueReplacesAndInsertValueAppends) {
  auto info = NewInfo();
  Bstr a(L"a"), b(L"b"), c(L"c");
  ASSERT_EQ(info->InsertAttrString(1, a, 0), S_OK);
  ASSERT_EQ(info->InsertAttrLong(2, 5, 0), S_OK);
  ASSERT_EQ(info->InsertAttrString(1, b, 0), S_OK);
  unsigned int size = 0;
  ASSERT_EQ(info->GetSize(&size), S_OK);
  EXPECT_EQ(size, 3u);
  EXPECT_EQ(TopString(info.Get(), 1), L"a"); // first of that name

  ASSERT_EQ(info->InsertAttrString(1, c, 1), S_OK);
  ASSERT_EQ(info->GetSize(&size), S_OK);
  EXPECT_EQ(size, 2u);
  LONG name = 0;
  ASSERT_EQ(info->GetAttrNameByIndex(0, &name), S_OK);
  EXPECT_EQ(name, 1);
  EXPECT_EQ(TopString(info.Get(), 1), L"c");

  ASSERT_EQ(info->InsertValueLong(1, 9), S_OK);
  ASSERT_EQ(info->InsertValueBool(3, 1), S_OK); // creates attribute 3
  ComPtr<IWebAttrVal> first;
  ASSERT_EQ(info->GetAttrValueByName(1, first.Out()), S_OK);
  ASSERT_EQ(first->GetSize(&size), S_OK);
  EXPECT_EQ(size, 2u);
  unsigned int index = 0;
  ASSERT_EQ(info->GetAttrIndexByName(3, &index), S_OK);
  EXPECT_EQ(index, 2u);
  LONG flag = 0;
  EXPECT_EQ(info->GetBoolValueByName(3, &flag), S_OK);
  EXPECT_EQ(flag, 1);

  auto more = NewAttr();
  ASSERT_EQ(more->AddLong(10), S_OK);
  ASSERT_EQ(more->AddLong(11), S_OK);
  ASSERT_EQ(info->InsertValueWebAttr(2, more.Get()), S_OK);
  ComPtr<IWebAttrVal> second;
  ASSERT_EQ(info->GetAttrValueByIndex(1, second.Out()), S_OK);
  ASSERT_EQ(second->GetSize(&size), S_OK);
  EXPECT_EQ(size, 3u);

  EXPECT_EQ(info->RemoveAttr(1), S_OK);
  EXPECT_EQ(info->RemoveAttr(1), S_FALSE);
  EXPECT_EQ(info->GetAttrIndexByName(1, &index), DISP_E_MEMBERNOTFOUND);
}

TEST(WebInfoTest, IndexBounds) {
  auto info = NewInfo();
  ASSERT_EQ(info->InsertAttrLong(4, 1, 0), S_OK);
  LONG value = 7;
  EXPECT_EQ(info->GetLongValueByIndex(0, &value), S_OK);
  EXPECT_EQ(value, 1);
  EXPECT_EQ(info->GetLongValueByIndex(1, &value), DISP_E_BADINDEX);
  EXPECT_EQ(value, 0);
  LONG name = 5;
  EXPECT_EQ(info->GetAttrNameByIndex(1, &name), DISP_E_BADINDEX);
  EXPECT_EQ(name, 0);
  ComPtr<IWebAttrVal> attr;
  EXPECT_EQ(info->GetAttrValueByIndex(1, attr.Out()), DISP_E_BADINDEX);
  EXPECT_EQ(info->ReplaceAttrValueByIndex(1, StringAttr(L"x").Get()), DISP_E_BADINDEX);
  ASSERT_EQ(info->ReplaceAttrValueByIndex(0, StringAttr(L"x").Get()), S_OK);
  Bstr text;
  EXPECT_EQ(info->GetStringValueByIndex(0, text.Out()), S_OK);
  EXPECT_EQ(text.Text(), L"x");
  tagRECT rc{1, 1, 1, 1};
  EXPECT_EQ(info->GetRectValueByName(99, &rc), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(rc.left, 0);
}

TEST(WebInfoTest, ScalarsAndSetCopyEverything) {
  auto info = NewInfo();
  EXPECT_EQ(info->GetReturnValue(), S_OK);
  ASSERT_EQ(info->SetReturnValue(static_cast<HRESULT>(0x80040209)), S_OK);
  EXPECT_EQ(info->GetReturnValue(), static_cast<HRESULT>(0x80040209));
  ASSERT_EQ(info->SetMsgId(SRVC_INVOKE_METHOD), S_OK);
  ASSERT_EQ(info->SetId(77), S_OK);
  ComPtr<IWebRunTimeID> none;
  EXPECT_EQ(info->GetRTID(none.Out()), S_FALSE);
  EXPECT_FALSE(none);
  auto id = NewRtid(1, 2, 3, 4);
  ASSERT_EQ(info->SetRTID(id.Get()), S_OK);
  ASSERT_EQ(info->InsertAttrPoint(5, {1, 2}, 0), S_OK);

  auto copy = NewInfo();
  ASSERT_EQ(copy->Set(info.Get()), S_OK);
  ASSERT_EQ(info->RemoveAll(), S_OK);
  ASSERT_EQ(info->SetReturnValue(S_OK), S_OK);
  EXPECT_EQ(copy->GetReturnValue(), static_cast<HRESULT>(0x80040209));
  WEB_MSG_TYPE msg = MSG_UNKNOWN;
  ASSERT_EQ(copy->GetMsgId(&msg), S_OK);
  EXPECT_EQ(msg, SRVC_INVOKE_METHOD);
  LONG number = 0;
  ASSERT_EQ(copy->GetId(&number), S_OK);
  EXPECT_EQ(number, 77);
  tagPOINT pt{};
  ASSERT_EQ(copy->GetPointValueByName(5, &pt), S_OK);
  EXPECT_EQ(pt.y, 2);
  ComPtr<IWebRunTimeID> rtid;
  ASSERT_EQ(copy->GetRTID(rtid.Out()), S_OK);
  ASSERT_TRUE(rtid);
  EXPECT_EQ(rtid->IsEqual(id.Get()), S_OK);
  EXPECT_NE(rtid.Get(), id.Get());
}

TEST(WebInfoTest, ReleasesWhatItHolds) {
  CountingUnknown probe;
  {
    auto info = NewInfo();
    ASSERT_EQ(info->InsertAttrUnknown(1, &probe, 0), S_OK);
    ASSERT_EQ(info->InsertValueUnknown(1, &probe), S_OK);
    EXPECT_EQ(probe.refs, 3);
    ASSERT_EQ(info->InsertAttrUnknown(2, &probe, 0), S_OK);
    ASSERT_EQ(info->RemoveAttr(2), S_OK);
    EXPECT_EQ(probe.refs, 3);
    ComPtr<IWebVariant> top;
    ASSERT_EQ(info->GetTopInnerAttrValueByName(1, WEB_AV_EMPTY, top.Out()), S_OK);
    ComPtr<IUnknown> got;
    ASSERT_EQ(top->get_unknown(got.Out()), S_OK);
    EXPECT_EQ(got.Get(), &probe);
  }
  EXPECT_EQ(probe.refs, 1);
}

// Names attribute 6 "name" and 7 "text".
class FakeMap : public CHostObject<IWIAttrConversionMap> {
public:
  STDMETHODIMP GetAttrName(LONG id, BSTR *name) override {
    *name = nullptr;
    auto it = names_.find(id);
    if (it == names_.end())
      return S_FALSE;
    return PutBstr(it->second, name);
  }
  STDMETHODIMP GetAttrId(BSTR name, LONG *id) override {
    *id = 0;
    for (auto &[key, text] : names_)
      if (text == FromBstr(name)) {
        *id = key;
        return S_OK;
      }
    return S_FALSE;
  }

private:
  std::map<LONG, std::wstring> names_{{6, L"name"}, {7, L"text"}};
};

TEST(WebInfoTest, SafeArrayRoundTripWithAndWithoutMap) {
  auto info = NewInfo();
  Bstr tab(L"Tab");
  ASSERT_EQ(info->InsertAttrString(6, tab, 0), S_OK);
  ASSERT_EQ(info->InsertAttrLong(16389, 2, 0), S_OK);
  ASSERT_EQ(info->InsertValueLong(16389, 3), S_OK);
  ASSERT_EQ(info->InsertAttr(12), S_OK);
  ASSERT_EQ(info->InsertAttrRect(13, {1, 2, 3, 4}, 0), S_OK);

  SAFEARRAY *plain = nullptr;
  ASSERT_EQ(info->ToSafeArray(nullptr, &plain), S_OK);
  ASSERT_EQ(SafeArrayGetDim(plain), 2u);
  LONG at[2] = {1, 0};
  VariantHolder cell;
  ASSERT_EQ(SafeArrayGetElement(plain, at, cell.Ptr()), S_OK);
  EXPECT_EQ(cell->vt, VT_I4);
  EXPECT_EQ(cell->lVal, 16389);

  auto back = NewInfo();
  ASSERT_EQ(back->FromSafeArray(nullptr, plain), S_OK);
  SafeArrayDestroy(plain);
  unsigned int size = 0;
  ASSERT_EQ(back->GetSize(&size), S_OK);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(TopString(back.Get(), 6), L"Tab");
  ComPtr<IWebAttrVal> pair;
  ASSERT_EQ(back->GetAttrValueByName(16389, pair.Out()), S_OK);
  ASSERT_EQ(pair->GetSize(&size), S_OK);
  EXPECT_EQ(size, 2u);
  ComPtr<IWebAttrVal> empty;
  ASSERT_EQ(back->GetAttrValueByName(12, empty.Out()), S_OK);
  EXPECT_EQ(TypeOf(empty.Get()), WEB_AV_EMPTY);
  tagRECT rc{};
  ASSERT_EQ(back->GetRectValueByName(13, &rc), S_OK);
  EXPECT_EQ(rc.right, 3);

  ComPtr<FakeMap> map(new FakeMap);
  map->Release();
  SAFEARRAY *named = nullptr;
  ASSERT_EQ(info->ToSafeArray(map.Get(), &named), S_OK);
  LONG first[2] = {0, 0};
  ASSERT_EQ(SafeArrayGetElement(named, first, cell.Ptr()), S_OK);
  ASSERT_EQ(cell->vt, VT_BSTR);
  EXPECT_EQ(std::wstring(cell->bstrVal), L"name");

  // Without the map the name "name" means nothing: refused, nothing changed.
  EXPECT_EQ(back->FromSafeArray(nullptr, named), E_INVALIDARG);
  ASSERT_EQ(back->GetSize(&size), S_OK);
  EXPECT_EQ(size, 4u);
  auto viaMap = NewInfo();
  ASSERT_EQ(viaMap->FromSafeArray(map.Get(), named), S_OK);
  SafeArrayDestroy(named);
  EXPECT_EQ(TopString(viaMap.Get(), 6), L"Tab");

  auto nothing = NewInfo();
  SAFEARRAY *none = nullptr;
  ASSERT_EQ(nothing->ToSafeArray(nullptr, &none), S_OK);
  ASSERT_EQ(viaMap->FromSafeArray(nullptr, none), S_OK);
  SafeArrayDestroy(none);
  ASSERT_EQ(viaMap->GetSize(&size), S_OK);
  EXPECT_EQ(size, 0u);

  CountingUnknown notAMap;
  EXPECT_EQ(viaMap->ToSafeArray(&notAMap, &named), E_NOINTERFACE);
  EXPECT_EQ(viaMap->FromSafeArray(nullptr, nullptr), E_INVALIDARG);
  SAFEARRAY *flat = SafeArrayCreateVector(VT_VARIANT, 0, 2);
  EXPECT_EQ(viaMap->FromSafeArray(nullptr, flat), E_INVALIDARG);
  SafeArrayDestroy(flat);
}

// A property with "Name" and "Value", read through IDispatch.
class FakeProperty : public CHostObject<IDispatch> {
public:
  FakeProperty(VARIANT name, VARIANT value) {
    VariantInit(&name_);
    VariantInit(&value_);
    VariantCopy(&name_, &name);
    VariantCopy(&value_, &value);
  }
  ~FakeProperty() override {
    VariantClear(&name_);
    VariantClear(&value_);
  }
  STDMETHODIMP GetTypeInfoCount(UINT *count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **) override { return DISP_E_BADINDEX; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *ids) override {
    if (count != 1)
      return E_INVALIDARG;
    std::wstring name(names[0]);
    ids[0] = name == L"Name" ? 1 : name == L"Value" ? 2 : DISPID_UNKNOWN;
    return ids[0] == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *, VARIANT *result,
                      EXCEPINFO *, UINT *) override {
    if (!(flags & DISPATCH_PROPERTYGET) || result == nullptr)
      return DISP_E_MEMBERNOTFOUND;
    VariantInit(result);
    return VariantCopy(result, id == 1 ? &name_ : &value_);
  }

private:
  VARIANT name_, value_;
};

class FakeCollection : public CHostObject<IPropertyCollection> {
public:
  explicit FakeCollection(LONG base) : base_(base) {}
  void Add(IDispatch *property) { items_.emplace_back(property); }

  STDMETHODIMP GetTypeInfoCount(UINT *count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **) override { return DISP_E_BADINDEX; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override {
    return DISP_E_UNKNOWNNAME;
  }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *,
                      UINT *) override {
    return DISP_E_MEMBERNOTFOUND;
  }
  STDMETHODIMP Item(VARIANT index, IDispatch **property) override {
    *property = nullptr;
    if (index.vt != VT_I4)
      return E_INVALIDARG;
    LONG at = index.lVal - base_;
    if (at < 0 || at >= static_cast<LONG>(items_.size()))
      return DISP_E_BADINDEX;
    items_[static_cast<size_t>(at)].CopyTo(property);
    return S_OK;
  }
  STDMETHODIMP Count(LONG *count) override {
    *count = static_cast<LONG>(items_.size());
    return S_OK;
  }
  STDMETHODIMP Add(VARIANT, VARIANT *, LONG *added) override {
    *added = 0;
    return S_FALSE;
  }
  STDMETHODIMP Remove(BSTR, LONG *removed) override {
    *removed = 0;
    return S_FALSE;
  }

private:
  LONG base_;
  std::vector<ComPtr<IDispatch>> items_;
};

ComPtr<IDispatch> Property(const wchar_t *name, VARIANT value) {
  VARIANT n;
  n.vt = VT_BSTR;
  n.bstrVal = SysAllocString(name);
  ComPtr<IDispatch> p(new FakeProperty(n, value));
  p->Release();
  VariantClear(&n);
  return p;
}

TEST(WebInfoTest, FromPropCollectionReadsNamesAndValues) {
  VARIANT text;
  text.vt = VT_BSTR;
  text.bstrVal = SysAllocString(L"OK");
  VARIANT number;
  number.vt = VT_I4;
  number.lVal = 5;
  for (LONG base : {0, 1}) {
    ComPtr<FakeCollection> props(new FakeCollection(base));
    props->Release();
    props->Add(Property(L"6", text).Get());
    props->Add(Property(L" 16389 ", number).Get());
    auto info = NewInfo();
    ASSERT_EQ(info->InsertAttr(1), S_OK);
    ASSERT_EQ(info->FromPropCollection(nullptr, props.Get()), S_OK) << "base " << base;
    unsigned int size = 0;
    ASSERT_EQ(info->GetSize(&size), S_OK);
    EXPECT_EQ(size, 2u); // replaced, not appended
    EXPECT_EQ(TopString(info.Get(), 6), L"OK");
    LONG l = 0;
    EXPECT_EQ(info->GetLongValueByName(16389, &l), S_OK);
    EXPECT_EQ(l, 5);
  }

  ComPtr<FakeCollection> named(new FakeCollection(0));
  named->Release();
  named->Add(Property(L"text", text).Get());
  auto info = NewInfo();
  EXPECT_EQ(info->FromPropCollection(nullptr, named.Get()), E_INVALIDARG);
  ComPtr<FakeMap> map(new FakeMap);
  map->Release();
  ASSERT_EQ(info->FromPropCollection(map.Get(), named.Get()), S_OK);
  EXPECT_EQ(TopString(info.Get(), 7), L"OK");
  EXPECT_EQ(info->FromPropCollection(nullptr, nullptr), E_INVALIDARG);
  VariantClear(&text);
}

} // namespace
} // namespace host::test
