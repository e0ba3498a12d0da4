// The root of every agent object: IUnknown for IWebObj2 with an interlocked
// reference count and self-deletion. Every IWebObj2 method stays abstract.
// Each live object holds a module lock. The destructor is the first virtual
// operation after the IWebObj2 methods; objects that offer more interfaces
// override QueryInterface and fall back to this one.
#pragma once

#include <windows.h>

#include "TallowickIE_h.h"

class CWebObjBase : public IWebObj2 {
public:
  CWebObjBase();
  CWebObjBase(const CWebObjBase &) = delete;
  CWebObjBase &operator=(const CWebObjBase &) = delete;

  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  virtual ~CWebObjBase();

private:
  LONG m_lRefCount = 0;
};
