// CRuntimeID: the older runtime id, a package number and named values in the
// order first set. Names are compared case-insensitively; setting a name that
// is there replaces its value. A value set as one kind reads as another
// through VariantChangeType (lValue 5 reads as BSTR "5"); a missing name is
// E_INVALIDARG, and so is an empty name when setting.
// IsEqual: same package and the same names with equal values; numbers are
// equal by value whatever their type, strings exactly, objects by identity.
#include <vector>

#include "common/ComObject.h"
#include "module/HostClasses.h"
#include "values/IdCommon.h"

namespace host {
namespace {

bool SameName(const std::wstring &a, const std::wstring &b) {
  return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                        b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

bool IsInteger(VARTYPE vt) {
  return IsNumber(vt) && vt != VT_R4 && vt != VT_R8 && vt != VT_CY && vt != VT_DECIMAL;
}

bool ChangeTo(const VARIANT &value, VARTYPE vt, VARIANT &out) {
  VariantInit(&out);
  return SUCCEEDED(VariantChangeType(&out, &value, 0, vt));
}

bool SameObject(IUnknown *a, IUnknown *b) {
  if (a == nullptr || b == nullptr)
    return a == b;
  HeldRef<IUnknown> ia, ib;
  if (FAILED(a->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(ia.Out()))) ||
      FAILED(b->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(ib.Out()))))
    return a == b;
  return ia.Get() == ib.Get();
}

bool SameValue(const VARIANT &a, const VARIANT &b) {
  if (IsNumber(a.vt) && IsNumber(b.vt)) {
    VARTYPE common = IsInteger(a.vt) && IsInteger(b.vt) ? VT_I8 : VT_R8;
    VARIANT x, y;
    if (!ChangeTo(a, common, x) || !ChangeTo(b, common, y))
      return false;
    return common == VT_I8 ? x.llVal == y.llVal : x.dblVal == y.dblVal;
  }
  if (a.vt != b.vt)
    return false;
  switch (a.vt) {
  case VT_EMPTY:
  case VT_NULL:
    return true;
  case VT_BOOL:
    return a.boolVal == b.boolVal;
  case VT_ERROR:
    return a.scode == b.scode;
  case VT_DATE:
    return a.date == b.date;
  case VT_BSTR:
    return FromBstr(a.bstrVal) == FromBstr(b.bstrVal);
  case VT_UNKNOWN:
    return SameObject(a.punkVal, b.punkVal);
  case VT_DISPATCH:
    return SameObject(a.pdispVal, b.pdispVal);
  default:
    return false; // arrays and records are not compared by content
  }
}

struct NamedValue {
  std::wstring name;
  VARIANT value;
};

class CRuntimeID : public CHostObject<IRuntimeID> {
public:
  ~CRuntimeID() override { Clear(); }

  STDMETHODIMP get_Package(unsigned int *out) override {
    if (out == nullptr)
      return E_POINTER;
    *out = package_;
    return S_OK;
  }
  STDMETHODIMP put_Package(unsigned int package) override {
    package_ = package;
    return S_OK;
  }
  STDMETHODIMP get_Size(unsigned int *out) override {
    if (out == nullptr)
      return E_POINTER;
    *out = static_cast<unsigned int>(values_.size());
    return S_OK;
  }
  STDMETHODIMP get_BSTRValue(BSTR name, BSTR *out) override {
    if (out == nullptr)
      return E_POINTER;
    *out = nullptr;
    VARIANT text;
    HRESULT hr = Read(name, VT_BSTR, text);
    if (SUCCEEDED(hr))
      *out = text.bstrVal;
    return hr;
  }
  STDMETHODIMP put_BSTRValue(BSTR name, BSTR text) override {
    VARIANT value;
    value.vt = VT_BSTR;
    value.bstrVal = text;
    return Write(name, value);
  }
  STDMETHODIMP get_VARIANTValue(BSTR name, VARIANT *out) override {
    if (out == nullptr)
      return E_POINTER;
    VariantInit(out);
    const NamedValue *entry = Find(name);
    if (entry == nullptr)
      return E_INVALIDARG;
    return VariantCopy(out, &entry->value);
  }
  STDMETHODIMP put_VARIANTValue(BSTR name, VARIANT value) override { return Write(name, value); }
  STDMETHODIMP get_lValue(BSTR name, LONG *out) override {
    if (out == nullptr)
      return E_POINTER;
    *out = 0;
    VARIANT number;
    HRESULT hr = Read(name, VT_I4, number);
    if (SUCCEEDED(hr))
      *out = number.lVal;
    return hr;
  }
  STDMETHODIMP put_lValue(BSTR name, LONG number) override {
    VARIANT value;
    value.vt = VT_I4;
    value.lVal = number;
    return Write(name, value);
  }
  STDMETHODIMP IsEmpty() override { return values_.empty() ? S_OK : S_FALSE; }
  STDMETHODIMP IsEqual(IRuntimeID *other) override;
  STDMETHODIMP Clone(IRuntimeID **out) override;

private:
  NamedValue *Find(BSTR name) {
    try {
      std::wstring wanted = FromBstr(name);
      for (NamedValue &entry : values_)
        if (SameName(entry.name, wanted))
          return &entry;
    } catch (...) {
    }
    return nullptr;
  }
  HRESULT Read(BSTR name, VARTYPE vt, VARIANT &out) {
    VariantInit(&out);
    const NamedValue *entry = Find(name);
    if (entry == nullptr)
      return E_INVALIDARG;
    return VariantChangeType(&out, &entry->value, 0, vt);
  }
  HRESULT Write(BSTR name, const VARIANT &value) {
    if (SysStringLen(name) == 0)
      return E_INVALIDARG;
    VARIANT copy;
    VariantInit(&copy);
    HRESULT hr = VariantCopyInd(&copy, &value);
    if (FAILED(hr))
      return hr;
    if (NamedValue *entry = Find(name)) {
      VariantClear(&entry->value);
      entry->value = copy;
      return S_OK;
    }
    try {
      values_.push_back({FromBstr(name), copy});
    } catch (...) {
      VariantClear(&copy);
      return E_OUTOFMEMORY;
    }
    return S_OK;
  }
  void Clear() {
    for (NamedValue &entry : values_)
      VariantClear(&entry.value);
    values_.clear();
  }

  unsigned int package_ = 0;
  std::vector<NamedValue> values_;
};

STDMETHODIMP CRuntimeID::IsEqual(IRuntimeID *other) {
  if (other == nullptr)
    return E_POINTER;
  unsigned int package = 0, size = 0;
  HRESULT hr = other->get_Package(&package);
  if (SUCCEEDED(hr))
    hr = other->get_Size(&size);
  if (FAILED(hr))
    return hr;
  if (package != package_ || size != values_.size())
    return S_FALSE;
  for (const NamedValue &entry : values_) {
    BSTR name = ToBstr(entry.name);
    if (name == nullptr)
      return E_OUTOFMEMORY;
    VARIANT theirs;
    VariantInit(&theirs);
    hr = other->get_VARIANTValue(name, &theirs);
    SysFreeString(name);
    bool same = SUCCEEDED(hr) && SameValue(entry.value, theirs);
    VariantClear(&theirs);
    if (!same)
      return S_FALSE;
  }
  return S_OK;
}

STDMETHODIMP CRuntimeID::Clone(IRuntimeID **out) {
  if (out == nullptr)
    return E_POINTER;
  *out = nullptr;
  CRuntimeID *copy = new (std::nothrow) CRuntimeID();
  if (copy == nullptr)
    return E_OUTOFMEMORY;
  copy->package_ = package_;
  HRESULT hr = S_OK;
  for (const NamedValue &entry : values_) {
    BSTR name = ToBstr(entry.name);
    hr = name == nullptr ? E_OUTOFMEMORY : copy->Write(name, entry.value);
    SysFreeString(name);
    if (FAILED(hr))
      break;
  }
  if (FAILED(hr)) {
    copy->Release();
    return hr;
  }
  *out = copy;
  return S_OK;
}

} // namespace

HRESULT CreateRuntimeID(IUnknown *outer, REFIID riid, void **ppv) {
  return CreateObject<CRuntimeID>(outer, riid, ppv);
}

} // namespace host
