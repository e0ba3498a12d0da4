// tallowick register|unregister MODULE
#include <windows.h>

#include <cstdio>
#include <string>

#include "Cli.h"
#include "tallowick/Loader.h"
#include "tallowick/Strings.h"

namespace tallowick::cli {

int RunRegister(const Invocation &invocation, bool unregister) {
  const char *entryName = unregister ? "DllUnregisterServer" : "DllRegisterServer";
  if (invocation.args.size() != 2) {
    std::fprintf(stderr, "usage: tallowick %s MODULE\n", unregister ? "unregister" : "register");
    return 2;
  }
  const std::string &path = invocation.args[1];
  std::wstring widePath = tallowick::platform::Widen(path);
  HMODULE module = LoadLibraryExW(widePath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (module == nullptr) {
    DWORD error = GetLastError();
    std::fprintf(stderr, "tallowick: cannot load module '%s' (error %u): %s\n", path.c_str(),
                 static_cast<unsigned>(error), tallowick::platform::LastLoaderMessage().c_str());
    return 1;
  }
  FARPROC proc = GetProcAddress(module, entryName);
  if (proc == nullptr) {
    std::fprintf(stderr, "tallowick: module '%s' does not export %s\n", path.c_str(), entryName);
    FreeLibrary(module);
    return 1;
  }
  auto entry = reinterpret_cast<HRESULT(WINAPI *)()>(reinterpret_cast<void (*)()>(proc));
  HRESULT hr = entry();
  std::printf("%s: 0x%08X\n", entryName, static_cast<unsigned>(hr));
  FreeLibrary(module);
  return SUCCEEDED(hr) ? 0 : 1;
}

} // namespace tallowick::cli
