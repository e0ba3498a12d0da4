// Owning VARIANT wrapper: cleared on destruction, deep-copied on copy.
#pragma once

#include <windows.h>

class CQilVariant : public VARIANT {
public:
  CQilVariant() { VariantInit(this); }
  CQilVariant(const VARIANT &other) { // NOLINT: implicit copy from a raw VARIANT
    VariantInit(this);
    VariantCopy(this, const_cast<VARIANT *>(static_cast<const VARIANT *>(&other)));
  }
  CQilVariant(const CQilVariant &other) : CQilVariant(static_cast<const VARIANT &>(other)) {}
  explicit CQilVariant(LONG value) {
    VariantInit(this);
    vt = VT_I4;
    lVal = value;
  }
  explicit CQilVariant(double value) {
    VariantInit(this);
    vt = VT_R8;
    dblVal = value;
  }
  explicit CQilVariant(bool value) {
    VariantInit(this);
    vt = VT_BOOL;
    boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  }
  explicit CQilVariant(LPCOLESTR text) {
    VariantInit(this);
    vt = VT_BSTR;
    bstrVal = SysAllocString(text);
  }
  explicit CQilVariant(IDispatch *dispatch) {
    VariantInit(this);
    vt = VT_DISPATCH;
    pdispVal = dispatch;
    if (dispatch != nullptr)
      dispatch->AddRef();
  }
  explicit CQilVariant(IUnknown *unknown) {
    VariantInit(this);
    vt = VT_UNKNOWN;
    punkVal = unknown;
    if (unknown != nullptr)
      unknown->AddRef();
  }
  ~CQilVariant() { VariantClear(this); }

  CQilVariant &operator=(const CQilVariant &other) {
    if (this != &other)
      VariantCopy(this, const_cast<VARIANT *>(static_cast<const VARIANT *>(&other)));
    return *this;
  }

  HRESULT Clear() { return VariantClear(this); }
  // Takes over `source`, leaving it VT_EMPTY.
  void Attach(VARIANT *source) {
    VariantClear(this);
    *static_cast<VARIANT *>(this) = *source;
    source->vt = VT_EMPTY;
  }
  // Moves the value into `target` (cleared first), leaving this VT_EMPTY.
  HRESULT Detach(VARIANT *target) {
    if (target == nullptr)
      return E_POINTER;
    VariantClear(target);
    *target = *static_cast<VARIANT *>(this);
    vt = VT_EMPTY;
    return S_OK;
  }
  HRESULT ChangeType(VARTYPE type) { return VariantChangeType(this, this, 0, type); }
};
