// Reference counting, QueryInterface and IDispatch for the DOM's helper
// objects (lists, maps, parse errors): one dual interface each.
#pragma once

#include "xml/XmlCommon.h"

namespace tallowick::platform::xml {

template <class I> class DispatchObject : public I {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void **out) override {
    if (out == nullptr)
      return E_POINTER;
    *out = nullptr;
    if (riid != IID_IUnknown && riid != IID_IDispatch && riid != __uuidof(I))
      return E_NOINTERFACE;
    *out = static_cast<I *>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override {
    ULONG left = --refs_;
    if (left == 0)
      delete this;
    return left;
  }
  STDMETHODIMP GetTypeInfoCount(UINT *count) override {
    if (count == nullptr)
      return E_POINTER;
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **info) override {
    if (info == nullptr)
      return E_POINTER;
    *info = nullptr;
    return DISP_E_BADINDEX;
  }
  STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR *names, UINT count, LCID,
                             DISPID *ids) override {
    return DispatchGetIDsOfNames(riid, names, count, ids);
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *params, VARIANT *result,
                      EXCEPINFO *, UINT *) override {
    return DispatchInvoke(this, id, flags, params, result);
  }

 protected:
  virtual ~DispatchObject() = default;

 private:
  std::atomic<ULONG> refs_{1};
};

} // namespace tallowick::platform::xml
