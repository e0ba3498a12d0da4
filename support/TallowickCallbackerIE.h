// The kit's callbacker (coclass TallowickCallbackerIE).
#pragma once

#include "kit/KitCom.h"
#include "support/WICallbackerImpl.h"

class CTallowickCallbackerIE : public CWICallbackerImpl, public CKitComRoot {
public:
  KIT_DELEGATING_IUNKNOWN

  // Registers the kit's exit points.
  CTallowickCallbackerIE();

  static HRESULT Create(IUnknown *outer, REFIID riid, void **ppv);

  // "DummyExitPoint": reads a long and a string, appends VARIANT_TRUE.
  static HRESULT DummyExitPoint(CQilSafeArray &input, CQilSafeArray &output);

protected:
  void *GetInterface(REFIID riid) override;
};
