#include "support/TallowickCallbackerIE.h"

CTallowickCallbackerIE::CTallowickCallbackerIE() {
  RegisterCallback(L"DummyExitPoint", &CTallowickCallbackerIE::DummyExitPoint, WI_PRIORITY_NORMAL);
}

HRESULT CTallowickCallbackerIE::Create(IUnknown *outer, REFIID riid, void **ppv) {
  try {
    return CreateKitObject<CTallowickCallbackerIE>(outer, riid, ppv);
  } catch (...) { // the table could not be built
    return E_OUTOFMEMORY;
  }
}

void *CTallowickCallbackerIE::GetInterface(REFIID riid) {
  if (riid == IID_IWICallbacker)
    return static_cast<IWICallbacker *>(this);
  return nullptr;
}

HRESULT CTallowickCallbackerIE::DummyExitPoint(CQilSafeArray &input, CQilSafeArray &output) {
  LONG number = 0;
  BSTR text = nullptr;
  input.ReadLong(number);
  input.ReadString(&text);
  SysFreeString(text);
  return output.AppendBool(true);
}
