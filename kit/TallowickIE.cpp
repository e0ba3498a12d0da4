#include "kit/TallowickIE.h"

#include "support/QilBstr.h"
#include "support/QilComPtr.h"
#include "webobj/HostServices.h"

namespace {

// In-process, handler, local and remote servers.
constexpr DWORD kKitObjectContext =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

template <class T> CQilComPtr<T> CreateKitClass(REFCLSID clsid) {
  CQilComPtr<T> object;
  if (FAILED(CoCreateInstance(clsid, nullptr, kKitObjectContext, __uuidof(T),
                              reinterpret_cast<void **>(&object))))
    object.Release();
  return object;
}

void HandOverWorkingObjects(IUnknown *kitsManager) {
  CQilComPtr<IWIKitRegistrar> registrar;
  if (SUCCEEDED(registrar.QueryFrom(kitsManager))) {
    if (auto factory = CreateKitClass<IWIKitFactoryEx>(CLSID_TallowickFactoryIE))
      registrar->RegisterKitFactory(factory, 1);
    if (auto handler = CreateKitClass<IWIKitRequestsHandler2>(CLSID_TallowickRequestsHandlerIE))
      registrar->RegisterRequestsHandler(handler, 1);
  }
  CQilComPtr<IWICallbackerRegistrar> callbackers;
  if (SUCCEEDED(callbackers.QueryFrom(kitsManager))) {
    if (auto callbacker = CreateKitClass<IWICallbacker>(CLSID_TallowickCallbackerIE))
      callbackers->RegisterCallbacker(callbacker);
  }
}

} // namespace

HRESULT CTallowickIE::Create(IUnknown *outer, REFIID riid, void **ppv) {
  return CreateKitObject<CTallowickIE>(outer, riid, ppv);
}

void *CTallowickIE::GetInterface(REFIID riid) {
  if (riid == IID_IWIKit || riid == IID_IWIKit2)
    return static_cast<IWIKit2 *>(this);
  return nullptr;
}

// Each step's failure is silent and stops nothing.
STDMETHODIMP CTallowickIE::Initialize(IUnknown *pKitsManager) {
  try {
    HostServices::EnsureAgentServices();
    for (const KitWebClass &webClass : kKitWebClasses)
      HostServices::RegisterWebClass(webClass.id, CQilBstr(webClass.name));
    if (pKitsManager != nullptr)
      HandOverWorkingObjects(pKitsManager);
  } catch (...) {
  }
  return S_OK;
}

STDMETHODIMP CTallowickIE::Terminate() { return S_OK; }

STDMETHODIMP CTallowickIE::GetKitID(LONG *plKitID) {
  if (plKitID == nullptr)
    return E_POINTER;
  *plKitID = kTallowickKitId;
  return S_OK;
}

STDMETHODIMP CTallowickIE::GetKitName(BSTR *pbsKitName) {
  if (pbsKitName == nullptr)
    return E_POINTER;
  *pbsKitName = SysAllocString(kTallowickKitName);
  return *pbsKitName != nullptr ? S_OK : E_OUTOFMEMORY;
}
