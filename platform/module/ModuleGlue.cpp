// Runs the module's DllMain on load and unload, as the Windows loader does.
// Compiled into each module that defines DllMain, so the call binds to that
// module's own (hidden) DllMain and the handle is that module's base address.
#include <dlfcn.h>
#include <windows.h>

#include "tallowick/Loader.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE hinst, DWORD reason, LPVOID reserved);

namespace {

HINSTANCE OwnHandle() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void *>(&OwnHandle), &info) == 0)
    return nullptr;
  return static_cast<HINSTANCE>(info.dli_fbase);
}

__attribute__((constructor)) void ModuleAttach() {
  DllMain(OwnHandle(), DLL_PROCESS_ATTACH, nullptr);
}

__attribute__((destructor)) void ModuleDetach() {
  // As on Windows, lpReserved is non-null when the process is terminating.
  LPVOID reserved = tallowick::platform::ProcessIsExiting() ? reinterpret_cast<LPVOID>(1) : nullptr;
  DllMain(OwnHandle(), DLL_PROCESS_DETACH, reserved);
}

} // namespace
