// The kit's requests handler (coclass TallowickRequestsHandlerIE).
#pragma once

#include "kit/KitCom.h"
#include "support/WIKitRequestsHandlerImpl.h"

// The kit-private request type the handler serves.
inline constexpr LONG kKitPrivateRequest = 1025;

class CTallowickRequestsHandlerIE : public CWIKitRequestsHandlerImpl, public CKitComRoot {
public:
  KIT_DELEGATING_IUNKNOWN

  // S_OK for the kit-private request, S_FALSE for every other; the request is
  // neither read nor changed.
  STDMETHODIMP ProcessRequest(WEB_MSG_TYPE ReqType, IWebInfo **ppRequest) override;

  static HRESULT Create(IUnknown *outer, REFIID riid, void **ppv);

protected:
  void *GetInterface(REFIID riid) override;
};
