// Helpers for the OLE Automation tests: an owning VARIANT and a reference-counting
// test object that answers IUnknown and (optionally) IDispatch.
#pragma once

#include <windows.h>

#include <string>

struct Var {
  VARIANT v;
  Var() { VariantInit(&v); }
  explicit Var(LONG value) : Var() {
    v.vt = VT_I4;
    v.lVal = value;
  }
  explicit Var(double value) : Var() {
    v.vt = VT_R8;
    v.dblVal = value;
  }
  explicit Var(const wchar_t *text) : Var() {
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(text);
  }
  static Var Date(double value) {
    Var var;
    var.v.vt = VT_DATE;
    var.v.date = value;
    return var;
  }
  static Var Bool(bool value) {
    Var var;
    var.v.vt = VT_BOOL;
    var.v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return var;
  }
  Var(const Var &) = delete;
  Var(Var &&other) noexcept : v(other.v) { VariantInit(&other.v); }
  ~Var() { VariantClear(&v); }
  VARIANT *operator&() { return &v; }
  std::wstring Text() const { return std::wstring(v.bstrVal, SysStringLen(v.bstrVal)); }
};

// Lives on the stack; tests check `refs` to prove every AddRef is matched.
class CountedObject : public IDispatch {
public:
  explicit CountedObject(bool answersDispatch = true) : answersDispatch_(answersDispatch) {
    VariantInit(&value);
  }
  ~CountedObject() { VariantClear(&value); }

  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (ppv == nullptr)
      return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown || (answersDispatch_ && riid == IID_IDispatch)) {
      *ppv = static_cast<IDispatch *>(this);
      AddRef();
      return S_OK;
    }
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs); }
  STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--refs); }
  STDMETHODIMP GetTypeInfoCount(UINT *pctinfo) override {
    if (pctinfo != nullptr)
      *pctinfo = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override {
    return DISP_E_UNKNOWNNAME;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *params, VARIANT *result,
                      EXCEPINFO *, UINT *) override {
    ++invokes;
    if (id != DISPID_VALUE || !(flags & DISPATCH_PROPERTYGET) || params == nullptr ||
        params->cArgs != 0)
      return DISP_E_MEMBERNOTFOUND;
    if (result == nullptr)
      return E_POINTER;
    return VariantCopy(result, &value);
  }

  long refs = 1;
  int invokes = 0;
  VARIANT value; // what DISPID_VALUE answers

private:
  bool answersDispatch_;
};
