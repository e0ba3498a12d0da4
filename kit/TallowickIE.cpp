// TallowickIE module entry points.
#include <windows.h>

#include "TallowickIE_h.h"

STDAPI DllCanUnloadNow(void) { return S_OK; }

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID *ppv) {
  (void)rclsid;
  (void)riid;
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllRegisterServer(void) { return S_OK; }

STDAPI DllUnregisterServer(void) { return S_OK; }
