#include "webobj/WebObjBase.h"

#include "kit/KitCom.h"

CWebObjBase::CWebObjBase() { KitModule::Lock(); }

CWebObjBase::~CWebObjBase() { KitModule::Unlock(); }

STDMETHODIMP CWebObjBase::QueryInterface(REFIID riid, void **ppv) {
  if (ppv == nullptr)
    return E_POINTER;
  *ppv = nullptr;
  if (riid != IID_IUnknown && riid != __uuidof(IWebObj2))
    return E_NOINTERFACE;
  *ppv = static_cast<IWebObj2 *>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CWebObjBase::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&m_lRefCount));
}

STDMETHODIMP_(ULONG) CWebObjBase::Release() {
  LONG left = InterlockedDecrement(&m_lRefCount);
  if (left <= 0) {
    delete this;
    return 0;
  }
  return static_cast<ULONG>(left);
}
