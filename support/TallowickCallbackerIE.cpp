#include "support/TallowickCallbackerIE.h"

HRESULT CTallowickCallbackerIE::Create(IUnknown *outer, REFIID riid, void **ppv) {
  return CreateKitObject<CTallowickCallbackerIE>(outer, riid, ppv);
}

void *CTallowickCallbackerIE::GetInterface(REFIID riid) {
  if (riid == IID_IWICallbacker)
    return static_cast<IWICallbacker *>(this);
  return nullptr;
}
