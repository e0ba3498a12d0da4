#include "support/WICallbackerImpl.h"

namespace {

std::wstring NameOf(BSTR name) { return std::wstring(name, SysStringLen(name)); }

} // namespace

void CWICallbackerImpl::RegisterCallback(const std::wstring &name, Handler handler) {
  RegisterCallback(name, handler, GetDefaultPriority());
}

void CWICallbackerImpl::RegisterCallback(const std::wstring &name, Handler handler,
                                         WI_PRIORITY priority) {
  exitPoints_[name] = ExitPoint{handler, priority};
}

STDMETHODIMP CWICallbackerImpl::InvokeCallback(BSTR bsCallbackName, VARIANT vtInput,
                                               VARIANT *pvtOutput) {
  if (pvtOutput == nullptr)
    return E_POINTER;
  try {
    auto entry = exitPoints_.find(NameOf(bsCallbackName));
    if (entry == exitPoints_.end() || entry->second.handler == nullptr)
      return E_NOTIMPL;
    return entry->second.handler(vtInput, *pvtOutput);
  } catch (...) {
    return E_FAIL;
  }
}

STDMETHODIMP CWICallbackerImpl::GetCallbackPriority(BSTR bsCallbackName, WI_PRIORITY *pPriority) {
  if (pPriority == nullptr)
    return E_POINTER;
  try {
    auto entry = exitPoints_.find(NameOf(bsCallbackName));
    if (entry == exitPoints_.end())
      return E_NOTIMPL;
    *pPriority = entry->second.priority;
    return S_OK;
  } catch (...) {
    return E_FAIL;
  }
}

// A two-dimensional BSTR array (names × 1), both lower bounds 0, in name order.
STDMETHODIMP CWICallbackerImpl::GetSupportedCallbacks(SAFEARRAY **psaCallbacks) {
  if (psaCallbacks == nullptr)
    return E_POINTER;
  *psaCallbacks = nullptr;
  SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(exitPoints_.size()), 0}, {1, 0}};
  SAFEARRAY *names = SafeArrayCreate(VT_BSTR, 2, bounds);
  if (names == nullptr)
    return E_OUTOFMEMORY;
  LONG row = 0;
  for (const auto &entry : exitPoints_) {
    LONG index[2] = {row++, 0};
    BSTR name = SysAllocStringLen(entry.first.data(), static_cast<UINT>(entry.first.size()));
    HRESULT hr = SafeArrayPutElement(names, index, name);
    SysFreeString(name);
    if (FAILED(hr)) {
      SafeArrayDestroy(names);
      return hr;
    }
  }
  *psaCallbacks = names;
  return S_OK;
}
