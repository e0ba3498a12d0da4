// Class objects: the process-local class table and activation of in-process
// servers through HKEY_CLASSES_ROOT\CLSID\{...}\InprocServer32.
#include <windows.h>

#include <algorithm>
#include <mutex>
#include <vector>

#include "com/ComInternal.h"
#include "com/RegKey.h"
#include "com/SystemClasses.h"

namespace {

using tallowick::platform::GuidToString;
using tallowick::platform::IsComInitializedOnThread;
using tallowick::platform::RegKey;

struct RegisteredClass {
  DWORD cookie;
  CLSID clsid;
  IUnknown *object;
  DWORD context;
  DWORD flags;
  bool used; // a REGCLS_SINGLEUSE object hands out one activation
};

struct LoadedServer {
  HMODULE module;
};

struct ComState {
  std::mutex lock;
  std::vector<RegisteredClass> classes;
  std::vector<LoadedServer> servers;
  DWORD nextCookie = 1;
};

ComState &State() {
  static auto *state = new ComState; // outlives static destruction of clients
  return *state;
}

// A registered class object for the request, with a reference for the caller.
IUnknown *FindRegisteredClass(REFCLSID clsid, DWORD context) {
  ComState &state = State();
  std::lock_guard guard(state.lock);
  for (auto &entry : state.classes) {
    if (entry.clsid != clsid || (entry.context & context) == 0)
      continue;
    if ((entry.flags & REGCLS_MULTIPLEUSE) == 0 && (entry.flags & REGCLS_MULTI_SEPARATE) == 0) {
      if (entry.used)
        continue;
      entry.used = true;
    }
    entry.object->AddRef();
    return entry.object;
  }
  return nullptr;
}

// Keeps one COM reference per module; a module loaded again drops the extra one.
void RememberServer(HMODULE module) {
  ComState &state = State();
  std::unique_lock guard(state.lock);
  bool known = std::any_of(state.servers.begin(), state.servers.end(),
                           [module](const LoadedServer &s) { return s.module == module; });
  if (!known) {
    state.servers.push_back({module});
    return;
  }
  guard.unlock();
  FreeLibrary(module);
}

using DllGetClassObjectProc = HRESULT(WINAPI *)(REFCLSID, REFIID, LPVOID *);
using DllCanUnloadNowProc = HRESULT(WINAPI *)();

bool CanUnloadNow(HMODULE module) {
  auto canUnload =
      tallowick::platform::ProcAs<DllCanUnloadNowProc>(GetProcAddress(module, "DllCanUnloadNow"));
  return canUnload != nullptr && canUnload() == S_OK;
}

HRESULT GetInprocClassObject(REFCLSID clsid, REFIID riid, LPVOID *ppv) {
  std::wstring clsidKey = L"CLSID\\" + GuidToString(clsid);
  RegKey classKey;
  if (classKey.Open(HKEY_CLASSES_ROOT, clsidKey) != ERROR_SUCCESS)
    return REGDB_E_CLASSNOTREG;
  RegKey serverKey;
  if (serverKey.Open(classKey.get(), L"InprocServer32") != ERROR_SUCCESS)
    return REGDB_E_CLASSNOTREG;
  auto path = serverKey.ReadString();
  if (!path || path->empty())
    return REGDB_E_CLASSNOTREG;

  HMODULE module = LoadLibraryExW(path->c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (module == nullptr) {
    DWORD error = GetLastError();
    return HRESULT_FROM_WIN32(error != 0 ? error : ERROR_MOD_NOT_FOUND);
  }
  auto entry = tallowick::platform::ProcAs<DllGetClassObjectProc>(
      GetProcAddress(module, "DllGetClassObject"));
  if (entry == nullptr) {
    FreeLibrary(module);
    return CO_E_ERRORINDLL;
  }
  RememberServer(module);
  return entry(clsid, riid, ppv);
}

} // namespace

namespace tallowick::platform {

// Servers that can unload go first, again and again, so that a server still
// holding another one's objects releases them (from its detach code) while
// that one is loaded; whatever is left goes last-loaded first.
void ReleaseComServers() {
  std::vector<LoadedServer> servers;
  {
    ComState &state = State();
    std::lock_guard guard(state.lock);
    servers.swap(state.servers);
  }
  for (bool progress = true; progress;) {
    progress = false;
    for (auto it = servers.rbegin(); it != servers.rend(); ++it) {
      if (!CanUnloadNow(it->module))
        continue;
      HMODULE module = it->module;
      servers.erase(std::next(it).base());
      FreeLibrary(module);
      progress = true;
      break;
    }
  }
  for (auto it = servers.rbegin(); it != servers.rend(); ++it)
    FreeLibrary(it->module);
}

} // namespace tallowick::platform

extern "C" {

HRESULT WINAPI CoRegisterClassObject(REFCLSID rclsid, LPUNKNOWN pUnk, DWORD dwClsContext,
                                     DWORD flags, LPDWORD lpdwRegister) {
  if (pUnk == nullptr || lpdwRegister == nullptr)
    return E_INVALIDARG;
  *lpdwRegister = 0;
  if (!IsComInitializedOnThread())
    return CO_E_NOTINITIALIZED;
  ComState &state = State();
  std::lock_guard guard(state.lock);
  pUnk->AddRef();
  DWORD cookie = state.nextCookie++;
  state.classes.push_back({cookie, rclsid, pUnk, dwClsContext, flags, false});
  *lpdwRegister = cookie;
  return S_OK;
}

HRESULT WINAPI CoRevokeClassObject(DWORD dwRegister) {
  IUnknown *object = nullptr;
  {
    ComState &state = State();
    std::lock_guard guard(state.lock);
    auto it =
        std::find_if(state.classes.begin(), state.classes.end(),
                     [dwRegister](const RegisteredClass &c) { return c.cookie == dwRegister; });
    if (it == state.classes.end())
      return CO_E_OBJNOTREG;
    object = it->object;
    state.classes.erase(it);
  }
  object->Release();
  return S_OK;
}

HRESULT WINAPI CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, COSERVERINFO *pServerInfo,
                                REFIID riid, LPVOID *ppv) {
  (void)pServerInfo;
  if (ppv == nullptr)
    return E_INVALIDARG;
  *ppv = nullptr;
  if (!IsComInitializedOnThread())
    return CO_E_NOTINITIALIZED;
  if ((dwClsContext & CLSCTX_ALL) == 0)
    return E_INVALIDARG;

  if (IUnknown *registered = FindRegisteredClass(rclsid, dwClsContext)) {
    HRESULT hr = registered->QueryInterface(riid, ppv);
    registered->Release();
    return hr;
  }
  if ((dwClsContext & (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER)) == 0)
    return REGDB_E_CLASSNOTREG; // no local or remote servers here
  HRESULT hr = GetInprocClassObject(rclsid, riid, ppv);
  if (hr != REGDB_E_CLASSNOTREG)
    return hr;
  return tallowick::platform::GetSystemClassObject(rclsid, riid, ppv);
}

HRESULT WINAPI CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext,
                                REFIID riid, LPVOID *ppv) {
  if (ppv == nullptr)
    return E_INVALIDARG;
  *ppv = nullptr;
  IClassFactory *factory = nullptr;
  HRESULT hr = CoGetClassObject(rclsid, dwClsContext, nullptr, IID_IClassFactory,
                                reinterpret_cast<void **>(&factory));
  if (FAILED(hr))
    return hr;
  hr = factory->CreateInstance(pUnkOuter, riid, ppv);
  factory->Release();
  return hr;
}

void WINAPI CoFreeUnusedLibrariesEx(DWORD dwUnloadDelay, DWORD dwReserved) {
  (void)dwUnloadDelay;
  (void)dwReserved;
  ComState &state = State();
  std::vector<LoadedServer> servers;
  {
    std::lock_guard guard(state.lock);
    servers = state.servers;
  }
  // Asked outside the lock: a server may call back into COM.
  for (const LoadedServer &server : servers) {
    if (!CanUnloadNow(server.module))
      continue;
    {
      std::lock_guard guard(state.lock);
      auto it = std::find_if(state.servers.begin(), state.servers.end(),
                             [&](const LoadedServer &s) { return s.module == server.module; });
      if (it == state.servers.end())
        continue;
      state.servers.erase(it);
    }
    FreeLibrary(server.module);
  }
}

void WINAPI CoFreeUnusedLibraries(void) { CoFreeUnusedLibrariesEx(INFINITE, 0); }

} // extern "C"
