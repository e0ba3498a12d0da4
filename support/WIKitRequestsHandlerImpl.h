// The generic requests handler: answers S_FALSE (nothing to contribute) to
// every request; a kit overrides ProcessRequest.
#pragma once

#include "TallowickIE_h.h"

class CWIKitRequestsHandlerImpl : public IWIKitRequestsHandler2 {
public:
  STDMETHODIMP ProcessRequest(WEB_MSG_TYPE ReqType, IWebInfo **ppRequest) override;

protected:
  virtual ~CWIKitRequestsHandlerImpl() = default;
};
