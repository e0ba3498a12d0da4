#include "recognition/TallowickFactoryIE.h"

HRESULT CTallowickFactoryIE::Create(IUnknown *outer, REFIID riid, void **ppv) {
  return CreateKitObject<CTallowickFactoryIE>(outer, riid, ppv);
}

void *CTallowickFactoryIE::GetInterface(REFIID riid) {
  if (riid == IID_IWIKitFactoryEx)
    return static_cast<IWIKitFactoryEx *>(this);
  return nullptr;
}
