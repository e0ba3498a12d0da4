// The kit factory (coclass TallowickFactoryIE). Recognition of the Web Forms
// controls plugs into the operations of CWIKitFactoryImpl.
#pragma once

#include "kit/KitCom.h"
#include "recognition/WIKitFactoryImpl.h"

class CTallowickFactoryIE : public CWIKitFactoryImpl, public CKitComRoot {
public:
  KIT_DELEGATING_IUNKNOWN

  static HRESULT Create(IUnknown *outer, REFIID riid, void **ppv);

protected:
  // IUnknown and IWIKitFactoryEx; IWIKitFactoryEx2 is not offered.
  void *GetInterface(REFIID riid) override;
};
