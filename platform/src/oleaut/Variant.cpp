// VARIANT lifetime: init, clear, deep copy and dereferencing copy.
#include "oleaut/OleAut.h"

#include <cstring>

namespace tallowick::platform::oleaut {

size_t ScalarSize(VARTYPE base) {
  switch (base) {
  case VT_I1:
  case VT_UI1:
    return 1;
  case VT_I2:
  case VT_UI2:
  case VT_BOOL:
    return 2;
  case VT_I4:
  case VT_UI4:
  case VT_INT:
  case VT_UINT:
  case VT_R4:
  case VT_ERROR:
    return 4;
  case VT_I8:
  case VT_UI8:
  case VT_R8:
  case VT_CY:
  case VT_DATE:
    return 8;
  case VT_BSTR:
  case VT_UNKNOWN:
  case VT_DISPATCH:
    return sizeof(void *);
  default:
    return 0;
  }
}

bool IsValidVariantType(VARTYPE vt) {
  if (vt & (VT_VECTOR | VT_RESERVED))
    return false;
  VARTYPE base = vt & VT_TYPEMASK;
  bool modified = (vt & (VT_BYREF | VT_ARRAY)) != 0;
  if (base == VT_EMPTY || base == VT_NULL)
    return !modified;
  if (base == VT_VARIANT)
    return modified;
  if (base == VT_DECIMAL)
    return true;
  return ScalarSize(base) != 0;
}

HRESULT ByrefView(const VARIANT &src, VARIANT &view) {
  VariantInit(&view);
  if (!IsValidVariantType(src.vt))
    return DISP_E_BADVARTYPE;
  if (!(src.vt & VT_BYREF)) {
    view = src;
    return S_OK;
  }
  if (src.byref == nullptr)
    return E_INVALIDARG;
  VARTYPE target = src.vt & ~VT_BYREF;
  if (target == VT_VARIANT) {
    view = *src.pvarVal;
    return S_OK;
  }
  if (target & VT_ARRAY) {
    view.vt = target;
    view.parray = *src.pparray;
    return S_OK;
  }
  if (target == VT_DECIMAL) {
    view.decVal = *src.pdecVal;
    view.vt = VT_DECIMAL;
    return S_OK;
  }
  view.vt = target;
  std::memcpy(&view.llVal, src.byref, ScalarSize(target));
  return S_OK;
}

} // namespace tallowick::platform::oleaut

using namespace tallowick::platform::oleaut;

namespace {

// Deep copy of a non-byref or byref variant into `dest`, which holds nothing.
HRESULT CopyInto(VARIANT &dest, const VARIANT &src) {
  VARIANT tmp = src;
  if (src.vt & VT_BYREF) {
    dest = tmp;
    return S_OK;
  }
  if (src.vt & VT_ARRAY) {
    HRESULT hr = SafeArrayCopy(src.parray, &tmp.parray);
    if (FAILED(hr))
      return hr;
  } else if (src.vt == VT_BSTR && src.bstrVal != nullptr) {
    tmp.bstrVal =
        SysAllocStringByteLen(reinterpret_cast<LPCSTR>(src.bstrVal), SysStringByteLen(src.bstrVal));
    if (tmp.bstrVal == nullptr)
      return E_OUTOFMEMORY;
  } else if ((src.vt == VT_UNKNOWN || src.vt == VT_DISPATCH) && src.punkVal != nullptr) {
    src.punkVal->AddRef();
  }
  dest = tmp;
  return S_OK;
}

// Replaces the contents of `dest` with `value`, which it takes over.
HRESULT Assign(VARIANT &dest, VARIANT &value) {
  HRESULT hr = VariantClear(&dest);
  if (FAILED(hr)) {
    VariantClear(&value);
    return hr;
  }
  dest = value;
  return S_OK;
}

} // namespace

extern "C" {

void WINAPI VariantInit(VARIANTARG *pvarg) {
  if (pvarg == nullptr)
    return;
  pvarg->vt = VT_EMPTY;
  pvarg->wReserved1 = pvarg->wReserved2 = pvarg->wReserved3 = 0;
}

HRESULT WINAPI VariantClear(VARIANTARG *pvarg) {
  if (pvarg == nullptr)
    return E_INVALIDARG;
  VARTYPE vt = pvarg->vt;
  if (!IsValidVariantType(vt))
    return DISP_E_BADVARTYPE;
  if (!(vt & VT_BYREF)) {
    if (vt & VT_ARRAY) {
      HRESULT hr = SafeArrayDestroy(pvarg->parray);
      if (FAILED(hr))
        return hr;
    } else if (vt == VT_BSTR) {
      SysFreeString(pvarg->bstrVal);
    } else if ((vt == VT_UNKNOWN || vt == VT_DISPATCH) && pvarg->punkVal != nullptr) {
      pvarg->punkVal->Release();
    }
  }
  pvarg->vt = VT_EMPTY;
  return S_OK;
}

HRESULT WINAPI VariantCopy(VARIANTARG *pvargDest, const VARIANTARG *pvargSrc) {
  if (pvargDest == nullptr || pvargSrc == nullptr)
    return E_INVALIDARG;
  if (pvargDest == pvargSrc)
    return S_OK;
  if (!IsValidVariantType(pvargSrc->vt))
    return DISP_E_BADVARTYPE;
  VARIANT tmp;
  VariantInit(&tmp);
  HRESULT hr = CopyInto(tmp, *pvargSrc);
  if (FAILED(hr))
    return hr;
  return Assign(*pvargDest, tmp);
}

HRESULT WINAPI VariantCopyInd(VARIANT *pvarDest, const VARIANTARG *pvargSrc) {
  if (pvarDest == nullptr || pvargSrc == nullptr)
    return E_INVALIDARG;
  if (!(pvargSrc->vt & VT_BYREF))
    return VariantCopy(pvarDest, pvargSrc);
  VARIANT view;
  HRESULT hr = ByrefView(*pvargSrc, view);
  if (FAILED(hr))
    return hr;
  if (pvargSrc->vt == (VT_BYREF | VT_VARIANT) && view.vt == (VT_BYREF | VT_VARIANT))
    return E_INVALIDARG;
  if (!IsValidVariantType(view.vt))
    return DISP_E_BADVARTYPE;
  VARIANT tmp;
  VariantInit(&tmp);
  hr = CopyInto(tmp, view);
  if (FAILED(hr))
    return hr;
  return Assign(*pvarDest, tmp);
}

} // extern "C"
