#include "webobj/WebObj.h"

#include <new>

#include "support/TimeTrace.h"
#include "webobj/HostServices.h"
#include "webobj/WebIds.h"

namespace {

using IdGetter = HRESULT (STDMETHODCALLTYPE IWebRunTimeID::*)(LONG *);
constexpr IdGetter kIdGetters[] = {&IWebRunTimeID::GetInnerObjId, &IWebRunTimeID::GetInnerFrameId,
                                   &IWebRunTimeID::GetInnerObjTypeId,
                                   &IWebRunTimeID::GetInnerStdWinId};

// -1, 0 or 1; a missing id (null object or failed getter) orders first.
int CompareIdPart(IWebRunTimeID *a, IWebRunTimeID *b, IdGetter getter) {
  LONG va = 0;
  LONG vb = 0;
  bool hasA = a != nullptr && SUCCEEDED((a->*getter)(&va));
  bool hasB = b != nullptr && SUCCEEDED((b->*getter)(&vb));
  if (hasA != hasB)
    return hasA ? 1 : -1;
  if (!hasA || va == vb)
    return 0;
  return va < vb ? -1 : 1;
}

} // namespace

bool CWebRunTimeIDLess::operator()(const CQilComPtr<IWebRunTimeID> &a,
                                   const CQilComPtr<IWebRunTimeID> &b) const {
  for (IdGetter getter : kIdGetters) {
    int order = CompareIdPart(a, b, getter);
    if (order != 0)
      return order < 0;
  }
  return false;
}

CWebObj::CWebObj(IUnknown *element, IWebObj2 *parent) {
  HostServices::CreateWebRunTimeID(CLSID_WebRunTimeID, __uuidof(IWebRunTimeID),
                                   reinterpret_cast<void **>(&m_spRunTimeId));
  HostServices::CreateWIClassSet(CLSID_WIClassSet, __uuidof(IWIClassSet),
                                 reinterpret_cast<void **>(&m_spClassSet));
  m_spParent = parent;
  if (element != nullptr)
    m_pElement = element;
  if (m_spRunTimeId)
    m_spRunTimeId->Reset();
}

CWebObj::~CWebObj() {
  m_pChildList.reset();
  m_pChildMap.reset();
  m_spClassSet.Release();
  m_spRunTimeId.Release();
  m_spParent.Release();
}

STDMETHODIMP CWebObj::ReleaseRefs() {
  // Releasing the parent may release this object's last reference.
  CQilComPtr<IWebObj2> self(static_cast<IWebObj2 *>(this));
  if (m_bStandAlone) {
    m_spParent.Release();
    return S_OK;
  }
  if (m_spParent)
    m_spParent->RemoveChild(this);
  m_spParent.Release();
  return RemoveAllChildren();
}

STDMETHODIMP CWebObj::SetId(IWebRunTimeID *pRTID) {
  if (!m_spRunTimeId)
    return E_POINTER;
  return m_spRunTimeId->SetId(pRTID);
}

STDMETHODIMP CWebObj::GetId(IWebRunTimeID **ppRTID) {
  if (ppRTID == nullptr)
    return E_POINTER;
  *ppRTID = nullptr;
  CQilComPtr<IWebRunTimeID> copy;
  HRESULT hr = HostServices::CreateWebRunTimeID(CLSID_WebRunTimeID, __uuidof(IWebRunTimeID),
                                                reinterpret_cast<void **>(&copy));
  if (FAILED(hr))
    return hr;
  if (!copy)
    return E_FAIL;
  hr = copy->SetId(m_spRunTimeId);
  if (FAILED(hr))
    return hr;
  *ppRTID = copy.Detach();
  return S_OK;
}

STDMETHODIMP CWebObj::GetIdRef(IWebRunTimeID **ppRTID) {
  if (ppRTID == nullptr)
    return E_POINTER;
  return m_spRunTimeId.CopyTo(ppRTID);
}

STDMETHODIMP CWebObj::SetKitId(LONG KitId) {
  m_bKitId = static_cast<BYTE>(KitId & 0xFF);
  return S_OK;
}

STDMETHODIMP CWebObj::GetKitID(LONG *pKitId) {
  if (pKitId == nullptr)
    return E_POINTER;
  *pKitId = m_bKitId;
  return S_OK;
}

STDMETHODIMP CWebObj::SetParent(IWebObj2 *pAO) {
  if (pAO != m_spParent.Get())
    m_spParent = pAO;
  return S_OK;
}

bool CWebObj::CreateVectorAndMaps() {
  CQilTraceScope trace(L"CWebObj::CreateVectorAndMaps", L".\\WebObj", __LINE__);
  if (!m_pChildMap)
    m_pChildMap.reset(new (std::nothrow) ChildMap);
  if (!m_pChildList) {
    m_pChildList.reset(new (std::nothrow) ChildList);
    if (!m_pChildList)
      m_pChildMap.reset();
  }
  return m_pChildMap && m_pChildList;
}

STDMETHODIMP CWebObj::AddChild(IWebObj2 *pAO) {
  if (m_bStandAlone || pAO == nullptr || pAO->IsStandAlone() != S_FALSE)
    return kChildCannotBeAdded;
  HRESULT hr = pAO->SetParent(this);
  if (FAILED(hr))
    return hr;
  if (!CreateVectorAndMaps())
    return E_FAIL;
  CQilComPtr<IWebRunTimeID> id;
  hr = pAO->GetId(&id);
  if (FAILED(hr))
    return hr;
  try {
    m_pChildMap->emplace(id, CQilComPtr<IWebObj2>(pAO));
    m_pChildList->emplace_back(pAO);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

STDMETHODIMP CWebObj::RemoveChild(IWebObj2 *pAO) {
  if (pAO == nullptr)
    return E_POINTER;
  CQilComPtr<IWebRunTimeID> id;
  HRESULT hr = pAO->GetId(&id);
  if (FAILED(hr))
    return hr;
  if (m_pChildMap)
    m_pChildMap->erase(id);
  if (!m_pChildList)
    return S_OK;
  for (auto it = m_pChildList->begin(); it != m_pChildList->end(); ++it) {
    CQilComPtr<IWebRunTimeID> childId;
    if (*it && SUCCEEDED((*it)->GetId(&childId)) && childId && childId->IsEqual(id) == S_OK) {
      m_pChildList->erase(it);
      break;
    }
  }
  return S_OK;
}

STDMETHODIMP CWebObj::RemoveAllChildren() {
  if (m_pChildList) {
    ChildList children;
    try {
      children = *m_pChildList;
    } catch (...) {
      return E_OUTOFMEMORY;
    }
    for (const CQilComPtr<IWebObj2> &child : children)
      if (child)
        child->ReleaseRefs();
    m_pChildList->clear();
  }
  if (m_pChildMap)
    m_pChildMap->clear();
  return S_OK;
}

STDMETHODIMP CWebObj::GetChildIndex(IWebObj2 *pAO, LONG *plIndex) {
  CQilTraceScope trace(L"CWebObj::GetChildIndex", L".\\WebObj", __LINE__);
  if (plIndex == nullptr)
    return E_POINTER;
  *plIndex = -1;
  HRESULT hr = CallUpdate();
  if (FAILED(hr))
    return hr;
  CQilComPtr<IFilterStruct> filter = HostServices::NewFilterStruct();
  if (!filter)
    return E_FAIL;
  SAFEARRAY *children = nullptr;
  hr = GetDirectChildren(filter, &children);
  if (FAILED(hr))
    return hr;
  if (children == nullptr)
    return S_OK;
  LONG lower = 0;
  LONG upper = -1;
  SafeArrayGetLBound(children, 1, &lower);
  SafeArrayGetUBound(children, 1, &upper);
  CQilComPtr<IWebObj2> wanted(pAO);
  hr = S_OK;
  for (LONG i = lower; i <= upper; ++i) {
    VARIANT item;
    VariantInit(&item);
    if (FAILED(SafeArrayGetElement(children, &i, &item)) || item.vt != VT_UNKNOWN ||
        item.punkVal == nullptr) {
      VariantClear(&item);
      hr = E_UNEXPECTED;
      break;
    }
    bool same = pAO != nullptr && wanted.IsSameObject(item.punkVal);
    VariantClear(&item);
    if (same) {
      *plIndex = i - lower + 1;
      break;
    }
  }
  SafeArrayDestroy(children);
  return hr;
}

STDMETHODIMP CWebObj::SetWebClass(LONG Class) {
  return m_spClassSet ? m_spClassSet->Add(Class) : E_POINTER;
}

STDMETHODIMP CWebObj::CompareClass(LONG Class) {
  return m_spClassSet ? m_spClassSet->Match(Class) : E_POINTER;
}

STDMETHODIMP CWebObj::GetRecordableClass(LONG *pClass) {
  return m_spClassSet ? m_spClassSet->GetRecordableClass(pClass) : E_POINTER;
}

STDMETHODIMP CWebObj::ResetWebClass() { return m_spClassSet ? m_spClassSet->Reset() : E_POINTER; }

STDMETHODIMP CWebObj::SetWebClassSet(IWIClassSet *pClassSet) {
  if (pClassSet != m_spClassSet.Get())
    m_spClassSet = pClassSet;
  return S_OK;
}

STDMETHODIMP CWebObj::GetWebClassSet(IWIClassSet **ppClassSet) {
  if (ppClassSet == nullptr)
    return E_POINTER;
  return m_spClassSet.CopyTo(ppClassSet);
}

STDMETHODIMP CWebObj::CallUpdate() {
  if (m_bStandAlone || m_bUpdateInProgress)
    return S_OK;
  m_bUpdateInProgress = TRUE;
  HRESULT hr = UpdateChildren();
  m_bUpdateInProgress = FALSE;
  return hr;
}

STDMETHODIMP CWebObj::UpdateChildren() { return S_OK; }

STDMETHODIMP CWebObj::IsLockedForUpdate() { return static_cast<HRESULT>(m_bUpdateInProgress); }

STDMETHODIMP CWebObj::IsStandAlone() { return m_bStandAlone ? S_OK : S_FALSE; }
