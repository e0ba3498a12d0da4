#include "page/Dispatch.h"

#include "tallowick/Strings.h"

namespace tallowick::page {

BSTR AllocBstr(const std::wstring &text) {
  BSTR value = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (!value)
    throw std::bad_alloc();
  return value;
}

HRESULT ToBstr(const std::wstring &text, BSTR *out) {
  if (!out)
    return E_POINTER;
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

std::wstring VariantText(const VARIANT &value) {
  if (value.vt == VT_EMPTY || value.vt == VT_NULL)
    return {};
  if (value.vt == VT_BSTR)
    return value.bstrVal ? std::wstring(value.bstrVal, SysStringLen(value.bstrVal)) : L"";
  Var text;
  if (FAILED(VariantChangeType(&text.v, &value, 0, VT_BSTR)) || !text.v.bstrVal)
    return {};
  return std::wstring(text.v.bstrVal, SysStringLen(text.v.bstrVal));
}

namespace {
HRESULT Convert(const VARIANT &from, VARTYPE vt, Var &to) {
  return VariantChangeType(&to.v, const_cast<VARIANT *>(&from), 0, vt);
}
} // namespace

HRESULT Arg<BSTR>::Set(const VARIANT &v) {
  Var converted;
  if (v.vt == VT_NULL || v.vt == VT_EMPTY)
    return S_OK;
  HRESULT hr = Convert(v, VT_BSTR, converted);
  if (FAILED(hr))
    return hr;
  value = converted.v.bstrVal;
  converted.v.vt = VT_EMPTY;
  return S_OK;
}

HRESULT Arg<LONG>::Set(const VARIANT &v) {
  Var converted;
  HRESULT hr = Convert(v, VT_I4, converted);
  if (SUCCEEDED(hr))
    value = converted.v.lVal;
  return hr;
}

HRESULT Arg<VARIANT_BOOL>::Set(const VARIANT &v) {
  Var converted;
  HRESULT hr = Convert(v, VT_BOOL, converted);
  if (SUCCEEDED(hr))
    value = converted.v.boolVal;
  return hr;
}

HRESULT Arg<float>::Set(const VARIANT &v) {
  Var converted;
  HRESULT hr = Convert(v, VT_R4, converted);
  if (SUCCEEDED(hr))
    value = converted.v.fltVal;
  return hr;
}

HRESULT InterfaceFromVariant(const VARIANT &v, REFIID iid, void **out) {
  const VARIANT *source = &v;
  if (v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal)
    source = v.pvarVal;
  IUnknown *unknown = nullptr;
  if (source->vt == VT_DISPATCH)
    unknown = source->pdispVal;
  else if (source->vt == VT_UNKNOWN)
    unknown = source->punkVal;
  else if (source->vt == VT_NULL || source->vt == VT_EMPTY)
    return S_OK;
  else
    return DISP_E_TYPEMISMATCH;
  if (!unknown)
    return S_OK;
  return unknown->QueryInterface(iid, out);
}

bool NameEquals(const wchar_t *member, const wchar_t *name) {
  return platform::EqualsNoCase(member, name);
}

HRESULT InvokeDefault(VARIANT &value, DISPPARAMS *params, VARIANT *result) {
  if (value.vt != VT_DISPATCH || !value.pdispVal)
    return DISP_E_NOTACOLLECTION;
  return value.pdispVal->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                params, result, nullptr, nullptr);
}

} // namespace tallowick::page

namespace tallowick::page {

namespace {
struct PendingException {
  std::wstring description;
  HRESULT scode = S_OK;
  bool set = false;
};
thread_local PendingException pending;
} // namespace

void SetPendingException(const std::wstring &description, HRESULT scode) {
  pending.description = description;
  pending.scode = scode;
  pending.set = true;
}

void TakePendingException(EXCEPINFO *info) {
  if (info && pending.set) {
    *info = EXCEPINFO{};
    info->bstrSource = SysAllocString(L"Script error");
    info->bstrDescription = SysAllocStringLen(pending.description.data(),
                                              static_cast<UINT>(pending.description.size()));
    info->scode = pending.scode;
  }
  pending = PendingException{};
}

} // namespace tallowick::page
