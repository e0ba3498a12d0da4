// CWebAttrVal: an attribute value of the host (IWebAttrVal), an ordered list
// of IWebVariant values with two flags and an optional error.
//
// - Add* append one value; AddWebVariant and AddWebRTID append copies, and
//   GetValue hands out a copy, so the list changes only through this object.
// - The flags "regular expression compare" and "use special characters" are
//   kept until changed; SetEmpty clears the values and the error only.
// - GetType: WEB_AV_ERROR while an error is set, else WEB_AV_EMPTY without
//   values, the value's own type with one value, WEB_AV_PACKABLE with several.
// - GetError answers S_OK and the code while an error is set, else S_FALSE and
//   WEB_UNDEFINED_ERROR.
// - ToVariant: the value's VARIANT with one value, a VT_ARRAY|VT_VARIANT
//   vector with several; without values VT_ERROR (scode = the code) while an
//   error is set, else VT_EMPTY. ToSafeArray: always the VT_VARIANT vector
//   (0-based).
// - Indices out of range answer DISP_E_BADINDEX with a zero/null out-value.
// - Compare: S_OK when both carry the same error state, the same number of
//   values and each pair is equal; this object's values are the patterns
//   when its regular-expression flag is set.
#include <windows.h>

#include <vector>

#include "common/ComObject.h"
#include "module/HostClasses.h"
#include "values/ValueHelpers.h"

namespace host {

namespace {

class CWebAttrVal : public CHostObject<IWebAttrVal> {
public:
  STDMETHODIMP Set(IWebAttrVal *pwaValue) override {
    if (pwaValue == nullptr)
      return E_INVALIDARG;
    if (pwaValue == static_cast<IWebAttrVal *>(this))
      return S_OK;
    return Guarded([&] { return SetFrom(pwaValue); });
  }
  STDMETHODIMP SetEmpty() override {
    values_.clear();
    hasError_ = false;
    error_ = WEB_UNDEFINED_ERROR;
    return S_OK;
  }

  STDMETHODIMP AddBool(LONG bValue) override {
    return Add([&](IWebVariant *v) { return v->put_bool(bValue); });
  }
  STDMETHODIMP AddLong(LONG lValue) override {
    return Add([&](IWebVariant *v) { return v->put_long(lValue); });
  }
  STDMETHODIMP AddDouble(double dValue) override {
    return Add([&](IWebVariant *v) { return v->put_double(dValue); });
  }
  STDMETHODIMP AddString(BSTR BSTRValue) override {
    return Add([&](IWebVariant *v) { return v->put_string(BSTRValue); });
  }
  STDMETHODIMP AddPoint(tagPOINT ptValue) override {
    return Add([&](IWebVariant *v) { return v->put_point(ptValue); });
  }
  STDMETHODIMP AddRect(tagRECT rectValue) override {
    return Add([&](IWebVariant *v) { return v->put_rect(rectValue); });
  }
  STDMETHODIMP AddWebRTID(IWebRunTimeID *pWebRTID) override {
    if (pWebRTID == nullptr)
      return E_INVALIDARG;
    return Add([&](IWebVariant *v) { return v->put_RTID(pWebRTID); });
  }
  STDMETHODIMP AddWebVariant(IWebVariant *pwvValue) override {
    if (pwvValue == nullptr)
      return E_INVALIDARG;
    return Add([&](IWebVariant *v) { return v->Set(pwvValue); });
  }
  STDMETHODIMP AddVariant(VARIANT vtValue) override {
    return Add([&](IWebVariant *v) { return v->put_variant(vtValue); });
  }
  STDMETHODIMP AddUnknown(IUnknown *punkValue) override {
    return Add([&](IWebVariant *v) { return v->put_unknown(punkValue); });
  }

  STDMETHODIMP SetError(WEB_AV_ERR_CODE errCode) override {
    if (errCode < WEB_UNDEFINED_ERROR || errCode > WEB_E_FAILED)
      return E_INVALIDARG;
    hasError_ = true;
    error_ = errCode;
    return S_OK;
  }
  STDMETHODIMP SetRegExpCompare(LONG bRegExpCompare) override {
    regExp_ = bRegExpCompare != 0;
    return S_OK;
  }
  STDMETHODIMP SetUseSpecialChars(LONG bUseSpecialChars) override {
    specialChars_ = bUseSpecialChars != 0;
    return S_OK;
  }
  STDMETHODIMP CleanSpecialChars() override {
    for (auto &value : values_) {
      HRESULT hr = value->CleanSpecialChars();
      if (FAILED(hr))
        return hr;
    }
    return S_OK;
  }

  STDMETHODIMP GetValue(unsigned int nIndex, IWebVariant **ppwvValue) override {
    if (ppwvValue == nullptr)
      return E_POINTER;
    *ppwvValue = nullptr;
    if (nIndex >= values_.size())
      return DISP_E_BADINDEX;
    ComPtr<IWebVariant> copy;
    HRESULT hr = CopyWebVariant(values_[nIndex].Get(), copy);
    if (SUCCEEDED(hr))
      *ppwvValue = copy.Detach();
    return hr;
  }
  STDMETHODIMP GetBoolValue(unsigned int nIndex, LONG *pbValue) override {
    return Get(nIndex, pbValue, &IWebVariant::get_bool);
  }
  STDMETHODIMP GetLongValue(unsigned int nIndex, LONG *plValue) override {
    return Get(nIndex, plValue, &IWebVariant::get_long);
  }
  STDMETHODIMP GetStringValue(unsigned int nIndex, BSTR *pbstrValue) override {
    return Get(nIndex, pbstrValue, &IWebVariant::get_string);
  }
  STDMETHODIMP GetRectValue(unsigned int nIndex, tagRECT *prectValue) override {
    return Get(nIndex, prectValue, &IWebVariant::get_rect);
  }
  STDMETHODIMP GetPointValue(unsigned int nIndex, tagPOINT *pptValue) override {
    return Get(nIndex, pptValue, &IWebVariant::get_point);
  }

  STDMETHODIMP GetType(WEB_AV_TYPE *pType) override {
    if (pType == nullptr)
      return E_POINTER;
    *pType = WEB_AV_EMPTY;
    if (hasError_) {
      *pType = WEB_AV_ERROR;
      return S_OK;
    }
    if (values_.size() > 1)
      *pType = WEB_AV_PACKABLE;
    if (values_.size() == 1)
      return values_[0]->GetType(pType);
    return S_OK;
  }
  STDMETHODIMP GetSize(unsigned int *punSize) override {
    if (punSize == nullptr)
      return E_POINTER;
    *punSize = static_cast<unsigned int>(values_.size());
    return S_OK;
  }
  STDMETHODIMP IsRegExpCompare() override { return regExp_ ? S_OK : S_FALSE; }
  STDMETHODIMP IsUsingSpecialChars() override { return specialChars_ ? S_OK : S_FALSE; }
  STDMETHODIMP GetError(WEB_AV_ERR_CODE *pErrCode) override {
    if (pErrCode == nullptr)
      return E_POINTER;
    *pErrCode = hasError_ ? error_ : WEB_UNDEFINED_ERROR;
    return hasError_ ? S_OK : S_FALSE;
  }

  STDMETHODIMP ToVariant(VARIANT *pvt) override {
    if (pvt == nullptr)
      return E_POINTER;
    VariantInit(pvt);
    if (values_.empty()) {
      if (hasError_) {
        pvt->vt = VT_ERROR;
        pvt->scode = error_;
      }
      return S_OK;
    }
    if (values_.size() == 1)
      return values_[0]->ToVariant(pvt);
    SAFEARRAY *array = nullptr;
    HRESULT hr = ToSafeArray(&array);
    if (FAILED(hr))
      return hr;
    pvt->vt = VT_ARRAY | VT_VARIANT;
    pvt->parray = array;
    return S_OK;
  }
  STDMETHODIMP ToSafeArray(SAFEARRAY **ppsa) override {
    if (ppsa == nullptr)
      return E_POINTER;
    *ppsa = nullptr;
    SAFEARRAY *array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(values_.size()));
    if (array == nullptr)
      return E_OUTOFMEMORY;
    for (size_t i = 0; i < values_.size(); ++i) {
      VariantHolder value;
      LONG index = static_cast<LONG>(i);
      HRESULT hr = values_[i]->ToVariant(value.Ptr());
      if (SUCCEEDED(hr))
        hr = SafeArrayPutElement(array, &index, value.Ptr());
      if (FAILED(hr)) {
        SafeArrayDestroy(array);
        return hr;
      }
    }
    *ppsa = array;
    return S_OK;
  }

  STDMETHODIMP Compare(IWebAttrVal *pwaValue, LONG bIgnorePrecedingSpaces,
                       LONG bIgnoreCase) override {
    if (pwaValue == nullptr)
      return E_INVALIDARG;
    if (pwaValue == static_cast<IWebAttrVal *>(this))
      return S_OK;
    WEB_AV_ERR_CODE otherError = WEB_UNDEFINED_ERROR;
    WEB_AV_TYPE otherType = WEB_AV_EMPTY;
    unsigned int size = 0;
    HRESULT hr = pwaValue->GetType(&otherType);
    if (SUCCEEDED(hr))
      hr = pwaValue->GetSize(&size);
    if (FAILED(hr))
      return hr;
    bool otherHasError = otherType == WEB_AV_ERROR;
    if (otherHasError && FAILED(pwaValue->GetError(&otherError)))
      return S_FALSE;
    if (otherHasError != hasError_ || (hasError_ && otherError != error_))
      return S_FALSE;
    if (size != values_.size())
      return S_FALSE;
    for (unsigned int i = 0; i < size; ++i) {
      ComPtr<IWebVariant> other;
      if (FAILED(pwaValue->GetValue(i, other.Out())) || !other)
        return S_FALSE;
      IWebVariant *mine = values_[i].Get();
      hr = regExp_ ? mine->CompareRegExp(other.Get(), bIgnorePrecedingSpaces, bIgnoreCase)
                   : mine->Compare(other.Get(), bIgnorePrecedingSpaces, bIgnoreCase);
      if (hr != S_OK)
        return S_FALSE;
    }
    return S_OK;
  }

private:
  template <class F> HRESULT Add(F &&put) {
    return Guarded([&] {
      ComPtr<IWebVariant> value;
      HRESULT hr = NewWebVariant(value);
      if (SUCCEEDED(hr))
        hr = put(value.Get());
      if (FAILED(hr))
        return hr;
      values_.push_back(std::move(value));
      return S_OK;
    });
  }

  template <class T>
  HRESULT Get(unsigned int index, T *out, HRESULT (STDMETHODCALLTYPE IWebVariant::*getter)(T *)) {
    if (out == nullptr)
      return E_POINTER;
    *out = T{};
    if (index >= values_.size())
      return DISP_E_BADINDEX;
    return (values_[index].Get()->*getter)(out);
  }

  HRESULT SetFrom(IWebAttrVal *source) {
    unsigned int size = 0;
    WEB_AV_TYPE type = WEB_AV_EMPTY;
    HRESULT hr = source->GetSize(&size);
    if (SUCCEEDED(hr))
      hr = source->GetType(&type);
    if (FAILED(hr))
      return hr;
    WEB_AV_ERR_CODE error = WEB_UNDEFINED_ERROR;
    bool hasError = type == WEB_AV_ERROR;
    if (hasError && FAILED(hr = source->GetError(&error)))
      return hr;
    std::vector<ComPtr<IWebVariant>> values;
    values.reserve(size);
    for (unsigned int i = 0; i < size; ++i) {
      ComPtr<IWebVariant> value;
      hr = source->GetValue(i, value.Out());
      if (FAILED(hr))
        return hr;
      ComPtr<IWebVariant> copy;
      hr = CopyWebVariant(value.Get(), copy);
      if (FAILED(hr))
        return hr;
      values.push_back(std::move(copy));
    }
    values_ = std::move(values);
    hasError_ = hasError;
    error_ = error;
    regExp_ = source->IsRegExpCompare() == S_OK;
    specialChars_ = source->IsUsingSpecialChars() == S_OK;
    return S_OK;
  }

  std::vector<ComPtr<IWebVariant>> values_;
  bool regExp_ = false;
  bool specialChars_ = false;
  bool hasError_ = false;
  WEB_AV_ERR_CODE error_ = WEB_UNDEFINED_ERROR;
};

} // namespace

HRESULT CreateWebAttrVal(IUnknown *outer, REFIID riid, void **ppv) {
  return CreateObject<CWebAttrVal>(outer, riid, ppv);
}

} // namespace host
