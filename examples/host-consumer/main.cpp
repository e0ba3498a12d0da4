// Hosts the kit with a kits manager of its own and reports what it received.
// Exit code 0 when the kit answers id 4 and hands over all three objects.
#include <windows.h>

#include <cstdio>
#include <initializer_list>

#include "TallowickIE_h.h"

namespace {

class KitsManager final : public IWIKitRegistrar, public IWICallbackerRegistrar {
public:
  ~KitsManager() {
    for (IUnknown *object : {factory_, handler_, callbacker_})
      if (object != nullptr)
        object->Release();
  }
  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (ppv == nullptr)
      return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown || riid == IID_IWIKitRegistrar)
      *ppv = static_cast<IWIKitRegistrar *>(this);
    else if (riid == IID_IWICallbackerRegistrar)
      *ppv = static_cast<IWICallbackerRegistrar *>(this);
    else
      return E_NOINTERFACE;
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; } // lives on the stack
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP RegisterKit(IUnknown *, LONG) override { return S_OK; }
  STDMETHODIMP RegisterKitFactory(IWIKitFactoryEx *factory, LONG) override {
    return Keep(factory_, factory);
  }
  STDMETHODIMP RegisterRequestsHandler(IWIKitRequestsHandler2 *handler, LONG) override {
    return Keep(handler_, handler);
  }
  STDMETHODIMP RegisterCallbacker(IWICallbacker *callbacker) override {
    return Keep(callbacker_, callbacker);
  }
  STDMETHODIMP InvokeHostCallback(BSTR, VARIANT, VARIANT *, LONG) override { return S_FALSE; }

  bool ReceivedAll() const { return factory_ && handler_ && callbacker_; }

private:
  static HRESULT Keep(IUnknown *&slot, IUnknown *object) {
    if (object == nullptr)
      return E_POINTER;
    object->AddRef();
    if (slot != nullptr)
      slot->Release();
    slot = object;
    return S_OK;
  }
  IUnknown *factory_ = nullptr;
  IUnknown *handler_ = nullptr;
  IUnknown *callbacker_ = nullptr;
};

int HostTheKit() {
  IWIKit *kit = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_TallowickIE, nullptr, CLSCTX_INPROC_SERVER, IID_IWIKit,
                                reinterpret_cast<void **>(&kit));
  if (FAILED(hr)) {
    std::printf("CoCreateInstance: 0x%08X\n", static_cast<unsigned>(hr));
    return 1;
  }
  KitsManager manager;
  kit->Initialize(static_cast<IWIKitRegistrar *>(&manager));
  LONG id = 0;
  kit->GetKitID(&id);
  kit->Terminate();
  kit->Release();
  std::printf("kit id %d, received all: %s\n", static_cast<int>(id),
              manager.ReceivedAll() ? "yes" : "no");
  return id == 4 && manager.ReceivedAll() ? 0 : 1;
}

} // namespace

int main() {
  CoInitialize(nullptr);
  int status = HostTheKit();
  CoUninitialize();
  return status;
}
