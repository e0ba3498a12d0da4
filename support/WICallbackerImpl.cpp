#include "support/WICallbackerImpl.h"

#include <new>

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

// The output array starts from what *pvtOutput holds and replaces it only
// when the handler succeeds.
STDMETHODIMP CWICallbackerImpl::InvokeCallback(BSTR bsCallbackName, VARIANT vtInput,
                                               VARIANT *pvtOutput) {
  if (pvtOutput == nullptr)
    return E_POINTER;
  try {
    auto entry = exitPoints_.find(NameOf(bsCallbackName));
    if (entry == exitPoints_.end() || entry->second.handler == nullptr)
      return E_NOTIMPL;
    CQilSafeArray input;
    CQilSafeArray output;
    input.FromVariant(vtInput);
    output.FromVariant(*pvtOutput);
    HRESULT hr = entry->second.handler(input, output);
    if (SUCCEEDED(hr)) {
      HRESULT written = output.ToVariant(pvtOutput);
      if (FAILED(written))
        return written;
    }
    return hr;
  } catch (const CQilSafeArrayError &) {
    return E_OUTOFMEMORY;
  } catch (const std::bad_alloc &) {
    return E_OUTOFMEMORY;
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
    return E_OUTOFMEMORY;
  }
}

// A two-dimensional BSTR array (names × 1), both lower bounds 0, in name order.
STDMETHODIMP CWICallbackerImpl::GetSupportedCallbacks(SAFEARRAY **psaCallbacks) {
  if (psaCallbacks == nullptr)
    return E_POINTER;
  *psaCallbacks = nullptr;
  try {
    CQilSafeArray names;
    HRESULT hr = names.Create(VT_BSTR, static_cast<ULONG>(exitPoints_.size()), 1);
    if (FAILED(hr))
      return hr;
    LONG row = 0;
    for (const auto &entry : exitPoints_) {
      BSTR name = SysAllocStringLen(entry.first.data(), static_cast<UINT>(entry.first.size()));
      if (name == nullptr)
        return E_OUTOFMEMORY;
      hr = names.PutElement(row++, 0, name);
      SysFreeString(name);
      if (FAILED(hr))
        return hr;
    }
    *psaCallbacks = names.Detach();
    return S_OK;
  } catch (const CQilSafeArrayError &) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}
