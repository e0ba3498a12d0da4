// A module that records its DllMain calls for the module loading tests.
#include "Probe.h"

#include <windows.h>

#include <cstdlib>

namespace {
HINSTANCE g_instance = nullptr;

ModuleProbe *Probe() {
  const char *address = std::getenv(TALLOWICK_PROBE_ENV);
  if (address == nullptr)
    return nullptr;
  return reinterpret_cast<ModuleProbe *>(std::strtoull(address, nullptr, 16));
}
} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE hinst, DWORD reason, LPVOID) {
  ModuleProbe *probe = Probe();
  if (reason == DLL_PROCESS_ATTACH) {
    g_instance = hinst;
    if (probe != nullptr) {
      ++probe->attaches;
      probe->attachHandle = hinst;
    }
  } else if (reason == DLL_PROCESS_DETACH && probe != nullptr) {
    ++probe->detaches;
    probe->detachHandle = hinst;
  }
  return TRUE;
}

extern "C" DECLSPEC_EXPORT HINSTANCE ProbeOwnHandle() { return g_instance; }

extern "C" DECLSPEC_EXPORT int ProbeAnswer() { return 42; }
