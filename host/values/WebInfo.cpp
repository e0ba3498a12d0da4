// CWebInfo: a request or record of the host (IWebInfo), an ordered list of
// attributes (a LONG name with an IWebAttrVal) plus a return value, a message
// id, a runtime id and a numeric id.
//
// - Attributes are stored as copies of what is given and handed out as
//   copies; change them through this object (Insert*, Replace*, Remove*).
// - Names may repeat (InsertAttr* without bUnique); lookups by name use the
//   first attribute of that name. With bUnique non-zero the first attribute of
//   that name is replaced in place and later ones of that name are removed.
// - InsertValue* append to the first attribute of that name, adding it at the
//   end when missing. RemoveAttr removes every attribute of that name (S_FALSE
//   when there was none); RemoveAll removes all attributes only.
// - Lookups: a missing name answers DISP_E_MEMBERNOTFOUND, an index out of
//   range DISP_E_BADINDEX, an attribute without values DISP_E_BADINDEX; the
//   out-value is then null/zero/empty. Typed getters read the first value.
// - GetTopInnerAttrValueByName/ByIndex: a new IWebVariant with the first value
//   converted to `type` (WEB_AV_EMPTY: as stored); a failed conversion answers
//   its error and nothing.
// - GetReturnValue answers the stored HRESULT (initially S_OK); GetRTID
//   answers S_FALSE and null while no runtime id is set; SetRTID(null) clears.
// - ToSafeArray: a 2-D VT_VARIANT array a(row, column), both 0-based, with
//   column 0 the name and column 1 the attribute's VARIANT (IWebAttrVal::
//   ToVariant). Names are VT_I4, or VT_BSTR when a conversion map
//   (IWIAttrConversionMap) names them.
// - FromSafeArray and FromPropCollection replace all attributes (the other
//   fields stay) or, on failure, change nothing. Names are integers, numeric
//   strings, or names the conversion map knows; any other name is
//   E_INVALIDARG. A VT_ARRAY|VT_VARIANT value gives one attribute value per
//   element, VT_EMPTY an empty attribute, VT_ERROR 0..4 an attribute error.
//   Property collections are read with Item(index) from 0, or from 1 when the
//   collection refuses index 0; each property answers "Name" and "Value".
#include <windows.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "TallowickHost.h"
#include "common/ComObject.h"
#include "module/HostClasses.h"
#include "values/TextCompare.h"
#include "values/ValueHelpers.h"

namespace host {

namespace {

struct Attr {
  LONG name;
  ComPtr<IWebAttrVal> value;
};

constexpr long long kLongMax = std::numeric_limits<LONG>::max();

// A whole decimal number in LONG range, with optional sign and surrounding
// white space.
bool ParseLong(std::wstring_view text, LONG &out) {
  text = SkipLeadingSpaces(text);
  while (!text.empty() && IsTextSpace(text.back()))
    text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text[0] == L'+' || text[0] == L'-')) {
    negative = text[0] == L'-';
    text.remove_prefix(1);
  }
  if (text.empty())
    return false;
  long long value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9')
      return false;
    value = value * 10 + (c - L'0');
    if (value > static_cast<long long>(kLongMax) + 1)
      return false;
  }
  if (negative)
    value = -value;
  if (value > kLongMax)
    return false;
  out = static_cast<LONG>(value);
  return true;
}

// Resolves a name cell: integers, numeric strings or names the map knows.
HRESULT NameFromVariant(const VARIANT &cell, IWIAttrConversionMap *map, LONG &name) {
  VariantHolder v;
  HRESULT hr = VariantCopyInd(v.Ptr(), &cell);
  if (FAILED(hr))
    return hr;
  if (v->vt != VT_BSTR) {
    switch (v->vt) {
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_INT:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UINT:
    case VT_I8:
    case VT_UI8: {
      VariantHolder number;
      if (FAILED(VariantChangeType(number.Ptr(), v.Ptr(), 0, VT_I4)))
        return E_INVALIDARG;
      name = number->lVal;
      return S_OK;
    }
    default:
      return E_INVALIDARG;
    }
  }
  if (map != nullptr) {
    LONG id = 0;
    if (map->GetAttrId(v->bstrVal, &id) == S_OK) {
      name = id;
      return S_OK;
    }
  }
  return ParseLong(FromBstr(v->bstrVal), name) ? S_OK : E_INVALIDARG;
}

// An attribute value from a value cell.
HRESULT AttrFromVariant(const VARIANT &cell, ComPtr<IWebAttrVal> &out) {
  HRESULT hr = NewWebAttrVal(out);
  if (FAILED(hr))
    return hr;
  VariantHolder v;
  hr = VariantCopyInd(v.Ptr(), &cell);
  if (FAILED(hr))
    return hr;
  if (v->vt == VT_EMPTY)
    return S_OK;
  if (v->vt == VT_ERROR && v->scode >= WEB_UNDEFINED_ERROR && v->scode <= WEB_E_FAILED)
    return out->SetError(static_cast<WEB_AV_ERR_CODE>(v->scode));
  if (v->vt != (VT_ARRAY | VT_VARIANT) || v->parray == nullptr || SafeArrayGetDim(v->parray) != 1)
    return out->AddVariant(*v);
  LONG lower = 0, upper = -1;
  hr = SafeArrayGetLBound(v->parray, 1, &lower);
  if (SUCCEEDED(hr))
    hr = SafeArrayGetUBound(v->parray, 1, &upper);
  for (LONG i = lower; SUCCEEDED(hr) && i <= upper; ++i) {
    VariantHolder element;
    hr = SafeArrayGetElement(v->parray, &i, element.Ptr());
    if (SUCCEEDED(hr))
      hr = out->AddVariant(*element);
  }
  return hr;
}

HRESULT MapOf(IUnknown *map, ComPtr<IWIAttrConversionMap> &out) {
  if (map == nullptr)
    return S_OK;
  out = QueryAs<IWIAttrConversionMap>(map);
  return out ? S_OK : E_NOINTERFACE;
}

// Reads a property of an automation object by name.
HRESULT GetProperty(IDispatch *object, const wchar_t *name, VARIANT *out) {
  std::wstring text(name);
  LPOLESTR names[] = {text.data()};
  DISPID id = DISPID_UNKNOWN;
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr))
    return hr;
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, out,
                        nullptr, nullptr);
}

class CWebInfo : public CHostObject<IWebInfo> {
public:
  STDMETHODIMP Set(IWebInfo *pwi) override {
    if (pwi == nullptr)
      return E_INVALIDARG;
    if (pwi == static_cast<IWebInfo *>(this))
      return S_OK;
    return Guarded([&] { return SetFrom(pwi); });
  }
  STDMETHODIMP InsertAttr(LONG AttrName) override {
    return Guarded([&] {
      ComPtr<IWebAttrVal> attr;
      HRESULT hr = NewWebAttrVal(attr);
      if (SUCCEEDED(hr))
        attrs_.push_back({AttrName, std::move(attr)});
      return hr;
    });
  }

  STDMETHODIMP InsertAttrBool(LONG Name, LONG bValue, LONG bUnique) override {
    return InsertOne(Name, bUnique, [&](IWebAttrVal *a) { return a->AddBool(bValue); });
  }
  STDMETHODIMP InsertAttrLong(LONG Name, LONG lValue, LONG bUnique) override {
    return InsertOne(Name, bUnique, [&](IWebAttrVal *a) { return a->AddLong(lValue); });
  }
  STDMETHODIMP InsertAttrDouble(LONG Name, double dValue, LONG bUnique) override {
    return InsertOne(Name, bUnique, [&](IWebAttrVal *a) { return a->AddDouble(dValue); });
  }
  STDMETHODIMP InsertAttrString(LONG Name, BSTR BSTRValue, LONG bUnique) override {
    return InsertOne(Name, bUnique, [&](IWebAttrVal *a) { return a->AddString(BSTRValue); });
  }
  STDMETHODIMP InsertAttrPoint(LONG Name, tagPOINT ptValue, LONG bUnique) override {
    return InsertOne(Name, bUnique, [&](IWebAttrVal *a) { return a->AddPoint(ptValue); });
  }
  STDMETHODIMP InsertAttrRect(LONG Name, tagRECT rectValue, LONG bUnique) override {
    return InsertOne(Name, bUnique, [&](IWebAttrVal *a) { return a->AddRect(rectValue); });
  }
  STDMETHODIMP InsertAttrVariant(LONG Name, VARIANT vtValue, LONG bUnique) override {
    return InsertOne(Name, bUnique, [&](IWebAttrVal *a) { return a->AddVariant(vtValue); });
  }
  STDMETHODIMP InsertAttrUnknown(LONG Name, IUnknown *punkValue, LONG bUnique) override {
    return InsertOne(Name, bUnique, [&](IWebAttrVal *a) { return a->AddUnknown(punkValue); });
  }
  STDMETHODIMP InsertAttrWebVariant(LONG Name, IWebVariant *pwvValue, LONG bUnique) override {
    if (pwvValue == nullptr)
      return E_INVALIDARG;
    return InsertOne(Name, bUnique, [&](IWebAttrVal *a) { return a->AddWebVariant(pwvValue); });
  }
  STDMETHODIMP InsertAttrWebRTID(LONG Name, IWebRunTimeID *pwrValue, LONG bUnique) override {
    if (pwrValue == nullptr)
      return E_INVALIDARG;
    return InsertOne(Name, bUnique, [&](IWebAttrVal *a) { return a->AddWebRTID(pwrValue); });
  }
  STDMETHODIMP InsertAttrWebAttr(LONG Name, IWebAttrVal *pwaValue, LONG bUnique) override {
    if (pwaValue == nullptr)
      return E_INVALIDARG;
    return InsertOne(Name, bUnique, [&](IWebAttrVal *a) { return a->Set(pwaValue); });
  }

  STDMETHODIMP InsertValueBool(LONG Name, LONG bValue) override {
    return InsertValue(Name, [&](IWebAttrVal *a) { return a->AddBool(bValue); });
  }
  STDMETHODIMP InsertValueLong(LONG Name, LONG lValue) override {
    return InsertValue(Name, [&](IWebAttrVal *a) { return a->AddLong(lValue); });
  }
  STDMETHODIMP InsertValueDouble(LONG Name, double dValue) override {
    return InsertValue(Name, [&](IWebAttrVal *a) { return a->AddDouble(dValue); });
  }
  STDMETHODIMP InsertValueString(LONG Name, BSTR BSTRValue) override {
    return InsertValue(Name, [&](IWebAttrVal *a) { return a->AddString(BSTRValue); });
  }
  STDMETHODIMP InsertValuePoint(LONG Name, tagPOINT ptValue) override {
    return InsertValue(Name, [&](IWebAttrVal *a) { return a->AddPoint(ptValue); });
  }
  STDMETHODIMP InsertValueRect(LONG Name, tagRECT rectValue) override {
    return InsertValue(Name, [&](IWebAttrVal *a) { return a->AddRect(rectValue); });
  }
  STDMETHODIMP InsertValueVariant(LONG Name, VARIANT vtValue) override {
    return InsertValue(Name, [&](IWebAttrVal *a) { return a->AddVariant(vtValue); });
  }
  STDMETHODIMP InsertValueUnknown(LONG Name, IUnknown *punkValue) override {
    return InsertValue(Name, [&](IWebAttrVal *a) { return a->AddUnknown(punkValue); });
  }
  STDMETHODIMP InsertValueWebVariant(LONG Name, IWebVariant *pwvValue) override {
    if (pwvValue == nullptr)
      return E_INVALIDARG;
    return InsertValue(Name, [&](IWebAttrVal *a) { return a->AddWebVariant(pwvValue); });
  }
  STDMETHODIMP InsertValueWebRTID(LONG Name, IWebRunTimeID *pwrValue) override {
    if (pwrValue == nullptr)
      return E_INVALIDARG;
    return InsertValue(Name, [&](IWebAttrVal *a) { return a->AddWebRTID(pwrValue); });
  }
  STDMETHODIMP InsertValueWebAttr(LONG Name, IWebAttrVal *pwaValue) override {
    if (pwaValue == nullptr)
      return E_INVALIDARG;
    return InsertValue(Name, [&](IWebAttrVal *a) {
      unsigned int size = 0;
      HRESULT hr = pwaValue->GetSize(&size);
      for (unsigned int i = 0; SUCCEEDED(hr) && i < size; ++i) {
        ComPtr<IWebVariant> value;
        hr = pwaValue->GetValue(i, value.Out());
        if (SUCCEEDED(hr))
          hr = a->AddWebVariant(value.Get());
      }
      return hr;
    });
  }

  STDMETHODIMP ReplaceAttrValueByName(LONG Name, IWebAttrVal *pwaValue, LONG bAddNew) override {
    if (pwaValue == nullptr)
      return E_INVALIDARG;
    return Guarded([&] {
      ComPtr<IWebAttrVal> copy;
      HRESULT hr = CopyWebAttrVal(pwaValue, copy);
      if (FAILED(hr))
        return hr;
      if (Attr *attr = Find(Name)) {
        attr->value = std::move(copy);
        return S_OK;
      }
      if (bAddNew == 0)
        return DISP_E_MEMBERNOTFOUND;
      attrs_.push_back({Name, std::move(copy)});
      return S_OK;
    });
  }
  STDMETHODIMP ReplaceAttrValueByIndex(unsigned int unIndex, IWebAttrVal *pwaValue) override {
    if (pwaValue == nullptr)
      return E_INVALIDARG;
    if (unIndex >= attrs_.size())
      return DISP_E_BADINDEX;
    return Guarded([&] {
      ComPtr<IWebAttrVal> copy;
      HRESULT hr = CopyWebAttrVal(pwaValue, copy);
      if (SUCCEEDED(hr))
        attrs_[unIndex].value = std::move(copy);
      return hr;
    });
  }
  STDMETHODIMP RemoveAttr(LONG AttrName) override {
    size_t before = attrs_.size();
    std::erase_if(attrs_, [&](const Attr &a) { return a.name == AttrName; });
    return attrs_.size() != before ? S_OK : S_FALSE;
  }
  STDMETHODIMP RemoveAll() override {
    attrs_.clear();
    return S_OK;
  }

  STDMETHODIMP GetAttrValueByName(LONG Name, IWebAttrVal **ppwaValue) override {
    if (ppwaValue == nullptr)
      return E_POINTER;
    *ppwaValue = nullptr;
    return CopyOut(Find(Name), DISP_E_MEMBERNOTFOUND, ppwaValue);
  }
  STDMETHODIMP GetAttrValueByIndex(unsigned int unIndex, IWebAttrVal **ppwaValue) override {
    if (ppwaValue == nullptr)
      return E_POINTER;
    *ppwaValue = nullptr;
    return CopyOut(At(unIndex), DISP_E_BADINDEX, ppwaValue);
  }
  STDMETHODIMP GetBoolValueByName(LONG Name, LONG *pbValue) override {
    return FirstValue(Find(Name), DISP_E_MEMBERNOTFOUND, pbValue, &IWebAttrVal::GetBoolValue);
  }
  STDMETHODIMP GetBoolValueByIndex(unsigned int unIndex, LONG *pbValue) override {
    return FirstValue(At(unIndex), DISP_E_BADINDEX, pbValue, &IWebAttrVal::GetBoolValue);
  }
  STDMETHODIMP GetLongValueByName(LONG Name, LONG *plValue) override {
    return FirstValue(Find(Name), DISP_E_MEMBERNOTFOUND, plValue, &IWebAttrVal::GetLongValue);
  }
  STDMETHODIMP GetLongValueByIndex(unsigned int unIndex, LONG *plValue) override {
    return FirstValue(At(unIndex), DISP_E_BADINDEX, plValue, &IWebAttrVal::GetLongValue);
  }
  STDMETHODIMP GetStringValueByName(LONG Name, BSTR *pbstrValue) override {
    return FirstValue(Find(Name), DISP_E_MEMBERNOTFOUND, pbstrValue, &IWebAttrVal::GetStringValue);
  }
  STDMETHODIMP GetStringValueByIndex(unsigned int unIndex, BSTR *pbstrValue) override {
    return FirstValue(At(unIndex), DISP_E_BADINDEX, pbstrValue, &IWebAttrVal::GetStringValue);
  }
  STDMETHODIMP GetRectValueByName(LONG Name, tagRECT *prectValue) override {
    return FirstValue(Find(Name), DISP_E_MEMBERNOTFOUND, prectValue, &IWebAttrVal::GetRectValue);
  }
  STDMETHODIMP GetRectValueByIndex(unsigned int unIndex, tagRECT *prectValue) override {
    return FirstValue(At(unIndex), DISP_E_BADINDEX, prectValue, &IWebAttrVal::GetRectValue);
  }
  STDMETHODIMP GetPointValueByName(LONG Name, tagPOINT *pptValue) override {
    return FirstValue(Find(Name), DISP_E_MEMBERNOTFOUND, pptValue, &IWebAttrVal::GetPointValue);
  }
  STDMETHODIMP GetPointValueByIndex(unsigned int unIndex, tagPOINT *pptValue) override {
    return FirstValue(At(unIndex), DISP_E_BADINDEX, pptValue, &IWebAttrVal::GetPointValue);
  }
  STDMETHODIMP GetTopInnerAttrValueByName(LONG Name, WEB_AV_TYPE type,
                                          IWebVariant **ppwvValue) override {
    return TopInner(Find(Name), DISP_E_MEMBERNOTFOUND, type, ppwvValue);
  }
  STDMETHODIMP GetTopInnerAttrValueByIndex(unsigned int unIndex, WEB_AV_TYPE type,
                                           IWebVariant **ppwvValue) override {
    return TopInner(At(unIndex), DISP_E_BADINDEX, type, ppwvValue);
  }
  STDMETHODIMP GetAttrNameByIndex(unsigned int unIndex, LONG *pName) override {
    if (pName == nullptr)
      return E_POINTER;
    *pName = 0;
    Attr *attr = At(unIndex);
    if (attr == nullptr)
      return DISP_E_BADINDEX;
    *pName = attr->name;
    return S_OK;
  }
  STDMETHODIMP GetAttrIndexByName(LONG Name, unsigned int *punIndex) override {
    if (punIndex == nullptr)
      return E_POINTER;
    *punIndex = 0;
    Attr *attr = Find(Name);
    if (attr == nullptr)
      return DISP_E_MEMBERNOTFOUND;
    *punIndex = static_cast<unsigned int>(attr - attrs_.data());
    return S_OK;
  }
  STDMETHODIMP GetSize(unsigned int *punSize) override {
    if (punSize == nullptr)
      return E_POINTER;
    *punSize = static_cast<unsigned int>(attrs_.size());
    return S_OK;
  }

  STDMETHODIMP SetReturnValue(HRESULT hr) override {
    returnValue_ = hr;
    return S_OK;
  }
  STDMETHODIMP GetReturnValue() override { return returnValue_; }
  // Message ids are kept as their 32-bit value: callers also pass ids beyond
  // the enumeration (such as the kit-private 1025), which the C++ enumeration
  // type cannot represent, so they are copied as bytes, never loaded as enums.
  STDMETHODIMP SetMsgId(WEB_MSG_TYPE msgId) override {
    static_assert(sizeof(msgId) == sizeof(msgId_));
    std::memcpy(&msgId_, &msgId, sizeof msgId_);
    return S_OK;
  }
  STDMETHODIMP GetMsgId(WEB_MSG_TYPE *pMsgId) override {
    if (pMsgId == nullptr)
      return E_POINTER;
    std::memcpy(pMsgId, &msgId_, sizeof msgId_);
    return S_OK;
  }
  STDMETHODIMP SetRTID(IWebRunTimeID *pwr) override {
    if (pwr == nullptr) {
      rtid_.Reset();
      return S_OK;
    }
    ComPtr<IWebRunTimeID> copy;
    HRESULT hr = CopyWebRunTimeID(pwr, copy);
    if (SUCCEEDED(hr))
      rtid_ = std::move(copy);
    return hr;
  }
  STDMETHODIMP GetRTID(IWebRunTimeID **ppwr) override {
    if (ppwr == nullptr)
      return E_POINTER;
    *ppwr = nullptr;
    if (!rtid_)
      return S_FALSE;
    ComPtr<IWebRunTimeID> copy;
    HRESULT hr = CopyWebRunTimeID(rtid_.Get(), copy);
    if (SUCCEEDED(hr))
      *ppwr = copy.Detach();
    return hr;
  }
  STDMETHODIMP SetId(LONG Id) override {
    id_ = Id;
    return S_OK;
  }
  STDMETHODIMP GetId(LONG *pId) override {
    if (pId == nullptr)
      return E_POINTER;
    *pId = id_;
    return S_OK;
  }

  STDMETHODIMP FromSafeArray(IUnknown *pAttrConversionMap, SAFEARRAY *psa) override {
    if (psa == nullptr)
      return E_INVALIDARG;
    return Guarded([&] { return LoadSafeArray(pAttrConversionMap, psa); });
  }
  STDMETHODIMP ToSafeArray(IUnknown *pAttrConversionMap, SAFEARRAY **ppsa) override {
    if (ppsa == nullptr)
      return E_POINTER;
    *ppsa = nullptr;
    return Guarded([&] { return MakeSafeArray(pAttrConversionMap, ppsa); });
  }
  STDMETHODIMP FromPropCollection(IUnknown *pAttrConversionMap,
                                  IPropertyCollection *pProps) override {
    if (pProps == nullptr)
      return E_INVALIDARG;
    return Guarded([&] { return LoadProperties(pAttrConversionMap, pProps); });
  }

private:
  Attr *Find(LONG name) {
    for (Attr &attr : attrs_)
      if (attr.name == name)
        return &attr;
    return nullptr;
  }
  Attr *At(unsigned int index) { return index < attrs_.size() ? &attrs_[index] : nullptr; }

  template <class F> HRESULT InsertOne(LONG name, LONG unique, F &&fill) {
    return Guarded([&] {
      ComPtr<IWebAttrVal> attr;
      HRESULT hr = NewWebAttrVal(attr);
      if (SUCCEEDED(hr))
        hr = fill(attr.Get());
      if (FAILED(hr))
        return hr;
      Attr *existing = unique != 0 ? Find(name) : nullptr;
      if (existing == nullptr) {
        attrs_.push_back({name, std::move(attr)});
        return S_OK;
      }
      existing->value = std::move(attr);
      size_t keep = static_cast<size_t>(existing - attrs_.data());
      for (size_t i = attrs_.size(); i-- > keep + 1;)
        if (attrs_[i].name == name)
          attrs_.erase(attrs_.begin() + static_cast<ptrdiff_t>(i));
      return S_OK;
    });
  }

  // Adds to a copy of the attribute and puts the copy in place, so a failure
  // leaves the attribute as it was.
  template <class F> HRESULT InsertValue(LONG name, F &&add) {
    return Guarded([&] {
      Attr *existing = Find(name);
      ComPtr<IWebAttrVal> attr;
      HRESULT hr =
          existing != nullptr ? CopyWebAttrVal(existing->value.Get(), attr) : NewWebAttrVal(attr);
      if (SUCCEEDED(hr))
        hr = add(attr.Get());
      if (FAILED(hr))
        return hr;
      if (existing != nullptr)
        existing->value = std::move(attr);
      else
        attrs_.push_back({name, std::move(attr)});
      return S_OK;
    });
  }

  HRESULT CopyOut(Attr *attr, HRESULT missing, IWebAttrVal **out) {
    if (attr == nullptr)
      return missing;
    ComPtr<IWebAttrVal> copy;
    HRESULT hr = CopyWebAttrVal(attr->value.Get(), copy);
    if (SUCCEEDED(hr))
      *out = copy.Detach();
    return hr;
  }

  template <class T>
  HRESULT FirstValue(Attr *attr, HRESULT missing, T *out,
                     HRESULT (STDMETHODCALLTYPE IWebAttrVal::*getter)(unsigned int, T *)) {
    if (out == nullptr)
      return E_POINTER;
    *out = T{};
    if (attr == nullptr)
      return missing;
    return (attr->value.Get()->*getter)(0, out);
  }

  HRESULT TopInner(Attr *attr, HRESULT missing, WEB_AV_TYPE type, IWebVariant **out) {
    if (out == nullptr)
      return E_POINTER;
    *out = nullptr;
    if (!IsKnownType(type))
      return E_INVALIDARG;
    if (attr == nullptr)
      return missing;
    ComPtr<IWebVariant> value;
    HRESULT hr = attr->value->GetValue(0, value.Out());
    if (SUCCEEDED(hr) && type != WEB_AV_EMPTY)
      hr = value->ChangeType(type);
    if (FAILED(hr))
      return hr;
    *out = value.Detach();
    return S_OK;
  }

  HRESULT SetFrom(IWebInfo *source) {
    unsigned int size = 0;
    HRESULT hr = source->GetSize(&size);
    if (FAILED(hr))
      return hr;
    std::vector<Attr> attrs;
    attrs.reserve(size);
    for (unsigned int i = 0; i < size; ++i) {
      LONG name = 0;
      ComPtr<IWebAttrVal> value, copy;
      hr = source->GetAttrNameByIndex(i, &name);
      if (SUCCEEDED(hr))
        hr = source->GetAttrValueByIndex(i, value.Out());
      if (SUCCEEDED(hr))
        hr = CopyWebAttrVal(value.Get(), copy);
      if (FAILED(hr))
        return hr;
      attrs.push_back({name, std::move(copy)});
    }
    LONG msgId = MSG_UNKNOWN;
    LONG id = 0;
    ComPtr<IWebRunTimeID> rtid, rtidCopy;
    WEB_MSG_TYPE rawMsgId;
    hr = source->GetMsgId(&rawMsgId);
    if (SUCCEEDED(hr))
      std::memcpy(&msgId, &rawMsgId, sizeof msgId);
    if (SUCCEEDED(hr))
      hr = source->GetId(&id);
    if (SUCCEEDED(hr))
      hr = source->GetRTID(rtid.Out());
    if (SUCCEEDED(hr) && rtid)
      hr = CopyWebRunTimeID(rtid.Get(), rtidCopy);
    if (FAILED(hr))
      return hr;
    attrs_ = std::move(attrs);
    returnValue_ = source->GetReturnValue();
    msgId_ = msgId;
    id_ = id;
    rtid_ = std::move(rtidCopy);
    return S_OK;
  }

  HRESULT MakeSafeArray(IUnknown *mapUnknown, SAFEARRAY **out) {
    ComPtr<IWIAttrConversionMap> map;
    HRESULT hr = MapOf(mapUnknown, map);
    if (FAILED(hr))
      return hr;
    SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(attrs_.size()), 0}, {2, 0}};
    SAFEARRAY *array = SafeArrayCreate(VT_VARIANT, 2, bounds);
    if (array == nullptr)
      return E_OUTOFMEMORY;
    for (size_t row = 0; row < attrs_.size() && SUCCEEDED(hr); ++row) {
      VariantHolder name, value;
      hr = NameCell(attrs_[row].name, map.Get(), name.Ptr());
      if (SUCCEEDED(hr))
        hr = attrs_[row].value->ToVariant(value.Ptr());
      LONG nameAt[2] = {static_cast<LONG>(row), 0}, valueAt[2] = {static_cast<LONG>(row), 1};
      if (SUCCEEDED(hr))
        hr = SafeArrayPutElement(array, nameAt, name.Ptr());
      if (SUCCEEDED(hr))
        hr = SafeArrayPutElement(array, valueAt, value.Ptr());
    }
    if (FAILED(hr)) {
      SafeArrayDestroy(array);
      return hr;
    }
    *out = array;
    return S_OK;
  }

  static HRESULT NameCell(LONG name, IWIAttrConversionMap *map, VARIANT *out) {
    if (map != nullptr) {
      BSTR text = nullptr;
      if (map->GetAttrName(name, &text) == S_OK && text != nullptr) {
        out->vt = VT_BSTR;
        out->bstrVal = text;
        return S_OK;
      }
      SysFreeString(text);
    }
    out->vt = VT_I4;
    out->lVal = name;
    return S_OK;
  }

  HRESULT LoadSafeArray(IUnknown *mapUnknown, SAFEARRAY *psa) {
    ComPtr<IWIAttrConversionMap> map;
    HRESULT hr = MapOf(mapUnknown, map);
    if (FAILED(hr))
      return hr;
    VARTYPE vt = VT_EMPTY;
    if (SafeArrayGetDim(psa) != 2 || FAILED(SafeArrayGetVartype(psa, &vt)) || vt != VT_VARIANT)
      return E_INVALIDARG;
    LONG rowLow = 0, rowHigh = -1, colLow = 0, colHigh = -1;
    hr = SafeArrayGetLBound(psa, 1, &rowLow);
    if (SUCCEEDED(hr))
      hr = SafeArrayGetUBound(psa, 1, &rowHigh);
    if (SUCCEEDED(hr))
      hr = SafeArrayGetLBound(psa, 2, &colLow);
    if (SUCCEEDED(hr))
      hr = SafeArrayGetUBound(psa, 2, &colHigh);
    if (FAILED(hr))
      return hr;
    if (rowHigh >= rowLow && static_cast<LONGLONG>(colHigh) - colLow != 1)
      return E_INVALIDARG;
    std::vector<Attr> attrs;
    for (LONG row = rowLow; row <= rowHigh; ++row) {
      VariantHolder nameCell, valueCell;
      LONG nameAt[2] = {row, colLow}, valueAt[2] = {row, colLow + 1};
      hr = SafeArrayGetElement(psa, nameAt, nameCell.Ptr());
      if (SUCCEEDED(hr))
        hr = SafeArrayGetElement(psa, valueAt, valueCell.Ptr());
      if (FAILED(hr))
        return hr;
      Attr attr{0, {}};
      hr = NameFromVariant(*nameCell, map.Get(), attr.name);
      if (SUCCEEDED(hr))
        hr = AttrFromVariant(*valueCell, attr.value);
      if (FAILED(hr))
        return hr;
      attrs.push_back(std::move(attr));
    }
    attrs_ = std::move(attrs);
    return S_OK;
  }

  HRESULT LoadProperties(IUnknown *mapUnknown, IPropertyCollection *props) {
    ComPtr<IWIAttrConversionMap> map;
    HRESULT hr = MapOf(mapUnknown, map);
    if (FAILED(hr))
      return hr;
    LONG count = 0;
    hr = props->Count(&count);
    if (FAILED(hr))
      return hr;
    if (count < 0)
      return E_UNEXPECTED;
    LONG base = 0;
    std::vector<Attr> attrs;
    for (LONG i = 0; i < count; ++i) {
      ComPtr<IDispatch> property;
      VARIANT index;
      index.vt = VT_I4;
      index.lVal = base + i;
      hr = props->Item(index, property.Out());
      if (FAILED(hr) && i == 0 && base == 0) {
        base = 1;
        index.lVal = 1;
        hr = props->Item(index, property.Out());
      }
      if (FAILED(hr))
        return hr;
      if (!property)
        return E_UNEXPECTED;
      VariantHolder name, value;
      hr = GetProperty(property.Get(), L"Name", name.Ptr());
      if (SUCCEEDED(hr))
        hr = GetProperty(property.Get(), L"Value", value.Ptr());
      if (FAILED(hr))
        return hr;
      Attr attr{0, {}};
      hr = NameFromVariant(*name, map.Get(), attr.name);
      if (SUCCEEDED(hr))
        hr = AttrFromVariant(*value, attr.value);
      if (FAILED(hr))
        return hr;
      attrs.push_back(std::move(attr));
    }
    attrs_ = std::move(attrs);
    return S_OK;
  }

  std::vector<Attr> attrs_;
  HRESULT returnValue_ = S_OK;
  LONG msgId_ = MSG_UNKNOWN;
  ComPtr<IWebRunTimeID> rtid_;
  LONG id_ = 0;
};

} // namespace

HRESULT CreateWebInfo(IUnknown *outer, REFIID riid, void **ppv) {
  return CreateObject<CWebInfo>(outer, riid, ppv);
}

} // namespace host
