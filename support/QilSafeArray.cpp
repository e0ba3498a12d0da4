#include "support/QilSafeArray.h"

namespace {

constexpr VARTYPE kVariantArray = VT_ARRAY | VT_VARIANT;

bool IsVariantArray(SAFEARRAY *array) {
  VARTYPE type = VT_EMPTY;
  return SUCCEEDED(SafeArrayGetVartype(array, &type)) && type == VT_VARIANT &&
         SafeArrayGetElemsize(array) == sizeof(VARIANT);
}

// Allocation failures raise; every other failure is returned.
HRESULT RaiseIfOutOfMemory(HRESULT hr) {
  if (hr == E_OUTOFMEMORY)
    throw CQilSafeArrayError();
  return hr;
}

} // namespace

void CQilSafeArray::Destroy() {
  if (array_ != nullptr)
    SafeArrayDestroy(array_);
  array_ = nullptr;
  position_ = 0;
}

SAFEARRAY *CQilSafeArray::Detach() {
  SAFEARRAY *array = array_;
  array_ = nullptr;
  position_ = 0;
  return array;
}

ULONG CQilSafeArray::Count() const {
  if (array_ == nullptr || array_->cDims == 0)
    return 0;
  ULONG count = 1;
  for (USHORT i = 0; i < array_->cDims; ++i)
    count *= array_->rgsabound[i].cElements;
  return count;
}

HRESULT CQilSafeArray::FromVariant(const VARIANT &source) {
  if (source.vt == VT_EMPTY) {
    Destroy();
    return S_OK;
  }
  if (source.vt != kVariantArray)
    return E_INVALIDARG;
  if (source.parray == nullptr) {
    Destroy();
    return S_OK;
  }
  if (!IsVariantArray(source.parray))
    return E_INVALIDARG;
  SAFEARRAY *copy = nullptr;
  HRESULT hr = RaiseIfOutOfMemory(SafeArrayCopy(source.parray, &copy));
  if (FAILED(hr))
    return hr;
  Destroy();
  array_ = copy;
  return S_OK;
}

// Copies the item at the read position (empty past the end), advances, and
// converts the copy to `type`.
HRESULT CQilSafeArray::ReadNext(VARTYPE type, VARIANT &item) {
  ULONG count = Count();
  if (position_ < count && IsVariantArray(array_)) {
    VARIANT *items = nullptr;
    HRESULT hr = SafeArrayAccessData(array_, reinterpret_cast<void **>(&items));
    if (FAILED(hr))
      return hr;
    hr = VariantCopy(&item, &items[position_]);
    SafeArrayUnaccessData(array_);
    if (FAILED(RaiseIfOutOfMemory(hr)))
      return hr;
  }
  if (position_ <= count)
    ++position_;
  if (type == VT_UNKNOWN)
    return item.vt == VT_EMPTY || item.vt == VT_UNKNOWN || item.vt == VT_DISPATCH
               ? S_OK
               : DISP_E_TYPEMISMATCH;
  return RaiseIfOutOfMemory(VariantChangeType(&item, &item, 0, type));
}

HRESULT CQilSafeArray::ReadLong(LONG &value) {
  VARIANT item;
  VariantInit(&item);
  HRESULT hr = ReadNext(VT_I4, item);
  if (SUCCEEDED(hr))
    value = item.lVal;
  VariantClear(&item);
  return hr;
}

HRESULT CQilSafeArray::ReadString(BSTR *value) {
  if (value == nullptr)
    return E_POINTER;
  VARIANT item;
  VariantInit(&item);
  HRESULT hr = ReadNext(VT_BSTR, item);
  if (FAILED(hr)) {
    VariantClear(&item);
    return hr;
  }
  *value = item.bstrVal;
  return S_OK;
}

HRESULT CQilSafeArray::ReadBool(bool &value) {
  VARIANT item;
  VariantInit(&item);
  HRESULT hr = ReadNext(VT_BOOL, item);
  if (SUCCEEDED(hr))
    value = item.boolVal != VARIANT_FALSE;
  VariantClear(&item);
  return hr;
}

HRESULT CQilSafeArray::ReadInterface(IUnknown **value) {
  if (value == nullptr)
    return E_POINTER;
  VARIANT item;
  VariantInit(&item);
  HRESULT hr = ReadNext(VT_UNKNOWN, item);
  if (FAILED(hr)) {
    VariantClear(&item);
    return hr;
  }
  *value = nullptr;
  if (item.vt != VT_EMPTY && item.punkVal != nullptr)
    hr = item.punkVal->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(value));
  VariantClear(&item);
  return hr;
}

HRESULT CQilSafeArray::Append(const VARIANT &item) {
  if (array_ == nullptr) {
    SAFEARRAY *created = SafeArrayCreateVector(VT_VARIANT, 0, 1);
    if (created == nullptr)
      throw CQilSafeArrayError();
    LONG index = 0;
    HRESULT hr = SafeArrayPutElement(created, &index, const_cast<VARIANT *>(&item));
    if (FAILED(hr)) {
      SafeArrayDestroy(created);
      return RaiseIfOutOfMemory(hr);
    }
    array_ = created;
    return S_OK;
  }
  if (SafeArrayGetDim(array_) != 1 || !IsVariantArray(array_))
    return E_INVALIDARG;
  SAFEARRAYBOUND bound = array_->rgsabound[0];
  SAFEARRAYBOUND grown = {bound.cElements + 1, bound.lLbound};
  HRESULT hr = RaiseIfOutOfMemory(SafeArrayRedim(array_, &grown));
  if (FAILED(hr))
    return hr;
  LONG index = bound.lLbound + static_cast<LONG>(bound.cElements);
  hr = SafeArrayPutElement(array_, &index, const_cast<VARIANT *>(&item));
  if (FAILED(hr)) {
    SafeArrayRedim(array_, &bound);
    return RaiseIfOutOfMemory(hr);
  }
  return S_OK;
}

HRESULT CQilSafeArray::AppendLong(LONG value) {
  VARIANT item;
  VariantInit(&item);
  item.vt = VT_I4;
  item.lVal = value;
  return Append(item);
}

HRESULT CQilSafeArray::AppendString(LPCOLESTR value) {
  VARIANT item;
  VariantInit(&item);
  item.vt = VT_BSTR;
  item.bstrVal = SysAllocString(value);
  if (item.bstrVal == nullptr && value != nullptr)
    throw CQilSafeArrayError();
  HRESULT hr = Append(item); // stores a copy
  VariantClear(&item);
  return hr;
}

HRESULT CQilSafeArray::AppendBool(bool value) {
  VARIANT item;
  VariantInit(&item);
  item.vt = VT_BOOL;
  item.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return Append(item);
}

HRESULT CQilSafeArray::AppendInterface(IUnknown *value) {
  VARIANT item;
  VariantInit(&item);
  item.vt = VT_UNKNOWN;
  item.punkVal = value; // the stored copy takes its own reference
  return Append(item);
}

HRESULT CQilSafeArray::ToVariant(VARIANT *target) const {
  if (target == nullptr)
    return E_POINTER;
  SAFEARRAY *copy = nullptr;
  VARTYPE type = VT_VARIANT;
  if (array_ == nullptr) {
    copy = SafeArrayCreateVector(VT_VARIANT, 0, 0);
    if (copy == nullptr)
      throw CQilSafeArrayError();
  } else {
    HRESULT hr = SafeArrayGetVartype(array_, &type);
    if (SUCCEEDED(hr))
      hr = RaiseIfOutOfMemory(SafeArrayCopy(array_, &copy));
    if (FAILED(hr))
      return hr;
  }
  VariantClear(target);
  target->vt = static_cast<VARTYPE>(VT_ARRAY | type);
  target->parray = copy;
  return S_OK;
}

HRESULT CQilSafeArray::Create(VARTYPE type, ULONG rows, ULONG columns) {
  if (type != VT_BSTR && type != VT_DISPATCH && type != VT_VARIANT && type != VT_UNKNOWN)
    return E_INVALIDARG;
  SAFEARRAYBOUND bounds[2] = {{rows, 0}, {columns, 0}};
  SAFEARRAY *created = SafeArrayCreate(type, 2, bounds);
  if (created == nullptr)
    throw CQilSafeArrayError();
  Destroy();
  array_ = created;
  return S_OK;
}

HRESULT CQilSafeArray::PutElement(LONG row, LONG column, void *value) {
  if (array_ == nullptr)
    return E_UNEXPECTED;
  LONG index[2] = {row, column};
  return RaiseIfOutOfMemory(SafeArrayPutElement(array_, index, value));
}
