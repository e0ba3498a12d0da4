// Per-thread COM initialisation.
#include <windows.h>

#include <atomic>

#include "com/ComInternal.h"

namespace {

struct ThreadApartment {
  LONG count = 0;
  DWORD model = 0;
};

thread_local ThreadApartment t_apartment;
std::atomic<LONG> g_initialisedThreads{0};

constexpr DWORD kModelMask = COINIT_APARTMENTTHREADED;

} // namespace

namespace tallowick::platform {

bool IsComInitializedOnThread() { return t_apartment.count > 0; }

} // namespace tallowick::platform

extern "C" {

HRESULT WINAPI CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit) {
  if (pvReserved != nullptr)
    return E_INVALIDARG;
  DWORD model = dwCoInit & kModelMask;
  ThreadApartment &apartment = t_apartment;
  if (apartment.count > 0) {
    if (apartment.model != model)
      return RPC_E_CHANGED_MODE;
    ++apartment.count;
    return S_FALSE;
  }
  apartment.count = 1;
  apartment.model = model;
  ++g_initialisedThreads;
  return S_OK;
}

HRESULT WINAPI CoInitialize(LPVOID pvReserved) {
  return CoInitializeEx(pvReserved, COINIT_APARTMENTTHREADED);
}

void WINAPI CoUninitialize(void) {
  ThreadApartment &apartment = t_apartment;
  if (apartment.count == 0)
    return;
  if (--apartment.count > 0)
    return;
  if (--g_initialisedThreads == 0)
    tallowick::platform::ReleaseComServers();
}

} // extern "C"
