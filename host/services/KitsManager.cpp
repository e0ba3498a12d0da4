// The kits manager: what a kit hands to the host at its initialisation (its
// factory, requests handler and callbacker), and the host's callbacks, which
// it forwards to the callback registry.
#include <windows.h>

#include <mutex>

#include "TallowickHost.h"
#include "common/ComObject.h"
#include "module/HostClasses.h"

namespace host {
namespace {

class CKitsManager final
    : public CHostObject<IWIKitRegistrar, IWICallbackerRegistrar, IWIKitsManagerInfo> {
public:
  ~CKitsManager() override { Reset(); }

  // IWIKitRegistrar
  STDMETHODIMP RegisterKit(IUnknown *kit, LONG) override { return Keep(kit_, kit); }
  STDMETHODIMP RegisterKitFactory(IWIKitFactoryEx *factory, LONG) override {
    return Keep(factory_, factory);
  }
  STDMETHODIMP RegisterRequestsHandler(IWIKitRequestsHandler2 *handler, LONG) override {
    return Keep(handler_, handler);
  }

  // IWICallbackerRegistrar
  STDMETHODIMP RegisterCallbacker(IWICallbacker *callbacker) override {
    return Keep(callbacker_, callbacker);
  }
  // The host's exit points are those of the process's callback registry.
  STDMETHODIMP InvokeHostCallback(BSTR name, VARIANT input, VARIANT *output, LONG flags) override {
    if (output == nullptr)
      return E_POINTER;
    IWICallbackerRegistrar *registry = nullptr;
    HRESULT hr = CreateCallbackRegistry(nullptr, IID_IWICallbackerRegistrar,
                                        reinterpret_cast<void **>(&registry));
    if (FAILED(hr))
      return hr;
    hr = registry->InvokeHostCallback(name, input, output, flags);
    registry->Release();
    return hr;
  }

  // IWIKitsManagerInfo
  STDMETHODIMP GetKitFactory(IWIKitFactoryEx **factory) override { return Give(factory_, factory); }
  STDMETHODIMP GetRequestsHandler(IWIKitRequestsHandler2 **handler) override {
    return Give(handler_, handler);
  }
  STDMETHODIMP GetCallbacker(IWICallbacker **callbacker) override {
    return Give(callbacker_, callbacker);
  }
  STDMETHODIMP Reset() override {
    IUnknown *kit = nullptr;
    IWIKitFactoryEx *factory = nullptr;
    IWIKitRequestsHandler2 *handler = nullptr;
    IWICallbacker *callbacker = nullptr;
    {
      std::lock_guard guard(lock_);
      std::swap(kit, kit_);
      std::swap(factory, factory_);
      std::swap(handler, handler_);
      std::swap(callbacker, callbacker_);
    }
    // Released outside the lock: a kit object may call back while it goes.
    if (kit != nullptr)
      kit->Release();
    if (factory != nullptr)
      factory->Release();
    if (handler != nullptr)
      handler->Release();
    if (callbacker != nullptr)
      callbacker->Release();
    return S_OK;
  }

private:
  // Keeps one reference to the latest object, releasing the earlier one.
  template <class I> HRESULT Keep(I *&slot, I *object) {
    if (object == nullptr)
      return E_POINTER;
    object->AddRef();
    I *earlier = nullptr;
    {
      std::lock_guard guard(lock_);
      earlier = slot;
      slot = object;
    }
    if (earlier != nullptr)
      earlier->Release();
    return S_OK;
  }

  template <class I> HRESULT Give(I *const &slot, I **out) {
    if (out == nullptr)
      return E_POINTER;
    std::lock_guard guard(lock_);
    *out = slot;
    if (slot == nullptr)
      return S_FALSE;
    slot->AddRef();
    return S_OK;
  }

  std::mutex lock_;
  IUnknown *kit_ = nullptr;
  IWIKitFactoryEx *factory_ = nullptr;
  IWIKitRequestsHandler2 *handler_ = nullptr;
  IWICallbacker *callbacker_ = nullptr;
};

} // namespace

HRESULT CreateKitsManager(IUnknown *outer, REFIID riid, void **ppv) {
  return CreateObject<CKitsManager>(outer, riid, ppv);
}

} // namespace host
