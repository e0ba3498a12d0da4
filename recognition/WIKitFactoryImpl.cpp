#include "recognition/WIKitFactoryImpl.h"

namespace {

// Item `index` of a variant array as `type`; false when missing or not convertible.
bool ReadItem(SAFEARRAY *items, LONG index, VARTYPE type, VARIANT &out) {
  LONG lower = 0;
  LONG upper = -1;
  SafeArrayGetLBound(items, 1, &lower);
  SafeArrayGetUBound(items, 1, &upper);
  if (lower + index > upper)
    return false;
  LONG position = lower + index;
  VARIANT item;
  VariantInit(&item);
  if (FAILED(SafeArrayGetElement(items, &position, &item)))
    return false;
  HRESULT hr = VariantChangeType(&out, &item, 0, type);
  VariantClear(&item);
  return SUCCEEDED(hr);
}

LONG ReadLong(SAFEARRAY *items, LONG index) {
  VARIANT value;
  VariantInit(&value);
  return ReadItem(items, index, VT_I4, value) ? value.lVal : 0;
}

} // namespace

bool CWIKitFactoryImpl::ReadEventData(const VARIANT &data, tagWIEventData &event) {
  event = tagWIEventData{};
  if (data.vt == VT_EMPTY)
    return true;
  if (data.vt != (VT_ARRAY | VT_VARIANT) || data.parray == nullptr ||
      SafeArrayGetDim(data.parray) != 1)
    return false;
  VARIANT name;
  VariantInit(&name);
  if (ReadItem(data.parray, 0, VT_BSTR, name))
    event.EventName = name.bstrVal;
  event.Point.x = ReadLong(data.parray, 1);
  event.Point.y = ReadLong(data.parray, 2);
  event.hWnd = ReadLong(data.parray, 3);
  return true;
}

STDMETHODIMP CWIKitFactoryImpl::NewAO(IUnknown *pElement, IWebObj2 *pParentAO, IWebObj2 **ppAO) {
  if (ppAO == nullptr)
    return E_POINTER;
  *ppAO = nullptr;
  if (pElement == nullptr || pParentAO == nullptr)
    return E_POINTER;
  try {
    *ppAO = NewAOImpl(pElement, pParentAO).Detach();
  } catch (const CKitFactoryError &error) {
    return FAILED(error.hr) ? error.hr : E_FAIL;
  } catch (...) {
    return E_FAIL;
  }
  return *ppAO != nullptr ? S_OK : S_FALSE;
}

STDMETHODIMP CWIKitFactoryImpl::NewDefaultAO(IUnknown *pElement, IWebObj2 *pParentAO,
                                             IWebObj2 **ppAO) {
  if (ppAO == nullptr)
    return E_POINTER;
  *ppAO = nullptr;
  if (pElement == nullptr || pParentAO == nullptr)
    return E_POINTER;
  try {
    NewDefaultAOImpl(pElement, pParentAO); // the host makes its own default AOs
  } catch (...) {
  }
  return S_FALSE;
}

STDMETHODIMP CWIKitFactoryImpl::NewFrameAO(IWebObj2 *pCoreFrameAO, IWebObj2 *pParentAO,
                                           IWebObj2 **ppFrameAO) {
  if (ppFrameAO == nullptr)
    return E_POINTER;
  *ppFrameAO = nullptr;
  if (pParentAO == nullptr)
    return E_POINTER;
  try {
    NewFrameAOImpl(pCoreFrameAO, pParentAO); // frames stay the host's
  } catch (...) {
  }
  return S_FALSE;
}

STDMETHODIMP CWIKitFactoryImpl::IsAOSpyable(IWebObj2 *, LONG) { return E_NOTIMPL; }

STDMETHODIMP CWIKitFactoryImpl::GetRecordAO(IUnknown *pElement, VARIANT vtEventData,
                                            IWebObj2 *pParentAO, IWebObj2 **ppRecordAO) {
  if (ppRecordAO == nullptr)
    return E_POINTER;
  *ppRecordAO = nullptr;
  if (pElement == nullptr || pParentAO == nullptr)
    return E_POINTER;
  tagWIEventData event{};
  if (!ReadEventData(vtEventData, event))
    return E_INVALIDARG;
  try {
    bool known = false;
    *ppRecordAO = GetRecordAOImpl(pElement, event, pParentAO, known).Detach();
  } catch (...) {
  }
  SysFreeString(event.EventName);
  return *ppRecordAO != nullptr ? S_OK : E_FAIL;
}

STDMETHODIMP CWIKitFactoryImpl::NewContainedAO(IUnknown *pElement, IWebObj2 *pParentAO,
                                               IWebObj2 **ppAO) {
  if (ppAO == nullptr)
    return E_POINTER;
  *ppAO = nullptr;
  try {
    NewContainedAOImpl(pElement, pParentAO);
  } catch (...) {
  }
  return S_FALSE;
}

STDMETHODIMP CWIKitFactoryImpl::IsKitElement(IUnknown *pElement, IWebObj2 *pParentAO,
                                             VARIANT_BOOL *pbIsKitElement) {
  if (pbIsKitElement == nullptr)
    return E_POINTER;
  try {
    IsKitElementImpl(pElement, pParentAO);
  } catch (...) {
  }
  *pbIsKitElement = VARIANT_FALSE;
  return S_OK;
}

CQilComPtr<IWebObj2> CWIKitFactoryImpl::NewAOImpl(IUnknown *, IWebObj2 *) { return {}; }
CQilComPtr<IWebObj2> CWIKitFactoryImpl::NewDefaultAOImpl(IUnknown *, IWebObj2 *) { return {}; }
CQilComPtr<IWebObj2> CWIKitFactoryImpl::NewFrameAOImpl(IWebObj2 *, IWebObj2 *) { return {}; }
CQilComPtr<IWebObj2> CWIKitFactoryImpl::GetRecordAOImpl(IUnknown *, const tagWIEventData &,
                                                        IWebObj2 *, bool &known) {
  known = false;
  return {};
}
CQilComPtr<IWebObj2> CWIKitFactoryImpl::NewContainedAOImpl(IUnknown *, IWebObj2 *) { return {}; }
bool CWIKitFactoryImpl::IsKitElementImpl(IUnknown *, IWebObj2 *) { return false; }
