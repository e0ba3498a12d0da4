// The kit's callbacker (coclass TallowickCallbackerIE).
#pragma once

#include "kit/KitCom.h"
#include "support/WICallbackerImpl.h"

class CTallowickCallbackerIE : public CWICallbackerImpl, public CKitComRoot {
public:
  KIT_DELEGATING_IUNKNOWN

  static HRESULT Create(IUnknown *outer, REFIID riid, void **ppv);

protected:
  void *GetInterface(REFIID riid) override;
};
