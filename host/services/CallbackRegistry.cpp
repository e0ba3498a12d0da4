// The callback registry: the host's named exit points that kits call
// (IWICallbackerRegistrar::InvokeHostCallback, IWICallbackQuery), bound by the
// host program through IWIHostCallbacks, and the kit callbackers it received.
// One object per process.
#include <windows.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "TallowickHost.h"
#include "common/ComObject.h"
#include "module/HostClasses.h"

namespace host {
namespace {

// Arguments travel as variant arrays; an empty VARIANT is an empty array.
bool IsVariantArray(const VARIANT &value) {
  return value.vt == VT_EMPTY || value.vt == (VT_ARRAY | VT_VARIANT);
}

// The HRESULT a handler's Invoke stands for.
HRESULT CallResult(HRESULT hr, const VARIANT &result, EXCEPINFO &exception) {
  if (hr == DISP_E_EXCEPTION) {
    if (exception.pfnDeferredFillIn != nullptr)
      exception.pfnDeferredFillIn(&exception);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return FAILED(exception.scode) ? exception.scode : E_FAIL;
  }
  if (SUCCEEDED(hr) && result.vt == VT_ERROR)
    return result.scode;
  return hr;
}

// Calls handler(input, &output copy); the copy replaces *output on success.
HRESULT CallHandler(IDispatch *handler, const VARIANT &input, VARIANT *output) {
  VARIANT working;
  VariantInit(&working);
  HRESULT hr = VariantCopy(&working, output);
  if (FAILED(hr))
    return hr;
  VARIANTARG args[2]; // in reverse order, as IDispatch takes them
  args[1] = input;
  VariantInit(&args[0]);
  args[0].vt = VT_BYREF | VT_VARIANT;
  args[0].pvarVal = &working;
  DISPPARAMS params{args, nullptr, 2, 0};
  VARIANT result;
  VariantInit(&result);
  EXCEPINFO exception{};
  UINT argError = 0;
  hr = handler->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                       &result, &exception, &argError);
  hr = CallResult(hr, result, exception);
  VariantClear(&result);
  if (FAILED(hr)) {
    VariantClear(&working);
    return hr;
  }
  VariantClear(output);
  *output = working;
  return hr;
}

class CCallbackRegistry;

// The process-wide object. The slot holds no reference: the object clears it
// when its last reference goes. Release decrements under the same lock, so
// the creator never revives an object that is being destroyed.
std::recursive_mutex g_slotLock;
CCallbackRegistry *g_instance = nullptr;

class CCallbackRegistry final
    : public CHostObject<IWICallbackerRegistrar, IWICallbackQuery, IWIHostCallbacks> {
public:
  ~CCallbackRegistry() override {
    if (g_instance == this)
      g_instance = nullptr;
    Reset();
  }

  STDMETHODIMP_(ULONG) Release() override {
    std::lock_guard slot(g_slotLock);
    return CHostObject::Release();
  }

  // IWICallbackerRegistrar
  STDMETHODIMP RegisterCallbacker(IWICallbacker *callbacker) override {
    if (callbacker == nullptr)
      return E_POINTER;
    try {
      std::lock_guard guard(lock_);
      if (std::find(callbackers_.begin(), callbackers_.end(), callbacker) != callbackers_.end())
        return S_FALSE;
      callbackers_.push_back(callbacker);
      callbacker->AddRef();
      return S_OK;
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }

  STDMETHODIMP InvokeHostCallback(BSTR name, VARIANT input, VARIANT *output, LONG) override {
    if (output == nullptr)
      return E_POINTER;
    IDispatch *handler = nullptr;
    try {
      std::lock_guard guard(lock_);
      auto found = handlers_.find(FromBstr(name));
      if (found == handlers_.end())
        return E_NOTIMPL;
      handler = found->second;
      handler->AddRef(); // the handler may unbind itself while it runs
    } catch (...) {
      return E_OUTOFMEMORY;
    }
    HRESULT hr = E_INVALIDARG;
    if (IsVariantArray(input) && IsVariantArray(*output))
      hr = CallHandler(handler, input, output);
    handler->Release();
    return hr;
  }

  // IWICallbackQuery
  STDMETHODIMP GetCallbackCount(LONG *count) override {
    if (count == nullptr)
      return E_POINTER;
    std::lock_guard guard(lock_);
    *count = static_cast<LONG>(handlers_.size());
    return S_OK;
  }

  STDMETHODIMP GetCallbackName(LONG index, BSTR *name) override {
    if (name == nullptr)
      return E_POINTER;
    *name = nullptr;
    try {
      std::lock_guard guard(lock_);
      if (index < 0 || static_cast<size_t>(index) >= handlers_.size())
        return E_INVALIDARG;
      return PutBstr(std::next(handlers_.begin(), index)->first, name);
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }

  STDMETHODIMP IsCallbackRegistered(BSTR name, VARIANT_BOOL *registered) override {
    if (registered == nullptr)
      return E_POINTER;
    *registered = VARIANT_FALSE;
    try {
      std::lock_guard guard(lock_);
      if (handlers_.count(FromBstr(name)) != 0)
        *registered = VARIANT_TRUE;
      return S_OK;
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }

  // IWIHostCallbacks. Replaced handlers are released outside the lock: a
  // handler going away may call back into the registry.
  STDMETHODIMP BindCallback(BSTR name, IDispatch *handler) override {
    if (handler == nullptr)
      return E_POINTER;
    if (SysStringLen(name) == 0)
      return E_INVALIDARG;
    IDispatch *earlier = nullptr;
    try {
      std::lock_guard guard(lock_);
      IDispatch *&slot = handlers_[FromBstr(name)];
      earlier = slot;
      slot = handler;
      handler->AddRef();
    } catch (...) {
      return E_OUTOFMEMORY;
    }
    if (earlier != nullptr)
      earlier->Release();
    return S_OK;
  }

  STDMETHODIMP UnbindCallback(BSTR name) override {
    IDispatch *removed = nullptr;
    try {
      std::lock_guard guard(lock_);
      auto found = handlers_.find(FromBstr(name));
      if (found == handlers_.end())
        return S_FALSE;
      removed = found->second;
      handlers_.erase(found);
    } catch (...) {
      return E_OUTOFMEMORY;
    }
    removed->Release();
    return S_OK;
  }

  STDMETHODIMP GetKitCallbackerCount(LONG *count) override {
    if (count == nullptr)
      return E_POINTER;
    std::lock_guard guard(lock_);
    *count = static_cast<LONG>(callbackers_.size());
    return S_OK;
  }

  STDMETHODIMP GetKitCallbacker(LONG index, IWICallbacker **callbacker) override {
    if (callbacker == nullptr)
      return E_POINTER;
    *callbacker = nullptr;
    std::lock_guard guard(lock_);
    if (index < 0 || static_cast<size_t>(index) >= callbackers_.size())
      return E_INVALIDARG;
    *callbacker = callbackers_[static_cast<size_t>(index)];
    (*callbacker)->AddRef();
    return S_OK;
  }

  STDMETHODIMP Reset() override {
    std::map<std::wstring, IDispatch *> handlers;
    std::vector<IWICallbacker *> callbackers;
    {
      std::lock_guard guard(lock_);
      handlers.swap(handlers_);
      callbackers.swap(callbackers_);
    }
    for (auto &[name, handler] : handlers)
      handler->Release();
    for (IWICallbacker *callbacker : callbackers)
      callbacker->Release();
    return S_OK;
  }

private:
  std::mutex lock_;
  std::map<std::wstring, IDispatch *> handlers_; // by exact name
  std::vector<IWICallbacker *> callbackers_;
};

} // namespace

HRESULT CreateCallbackRegistry(IUnknown *outer, REFIID riid, void **ppv) {
  if (ppv == nullptr)
    return E_POINTER;
  *ppv = nullptr;
  if (outer != nullptr)
    return CLASS_E_NOAGGREGATION;
  CCallbackRegistry *registry = nullptr;
  try {
    std::lock_guard slot(g_slotLock);
    if (g_instance != nullptr) {
      g_instance->AddRef();
    } else {
      g_instance = new CCallbackRegistry;
    }
    registry = g_instance;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  HRESULT hr = registry->QueryInterface(riid, ppv);
  registry->Release();
  return hr;
}

} // namespace host
