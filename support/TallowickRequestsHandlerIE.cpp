#include "support/TallowickRequestsHandlerIE.h"

HRESULT CTallowickRequestsHandlerIE::Create(IUnknown *outer, REFIID riid, void **ppv) {
  return CreateKitObject<CTallowickRequestsHandlerIE>(outer, riid, ppv);
}

void *CTallowickRequestsHandlerIE::GetInterface(REFIID riid) {
  if (riid == IID_IWIKitRequestsHandler2)
    return static_cast<IWIKitRequestsHandler2 *>(this);
  return nullptr;
}

STDMETHODIMP CTallowickRequestsHandlerIE::ProcessRequest(WEB_MSG_TYPE ReqType, IWebInfo **) {
  return static_cast<LONG>(ReqType) == kKitPrivateRequest ? S_OK : S_FALSE;
}
