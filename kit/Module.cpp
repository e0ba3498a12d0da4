// The TallowickIE module: object map, entry points and reference-counted
// registration of the coclasses and the type library.
#include <windows.h>

#include <cstdio>

#include "TallowickIE_h.h"
#include "controls/WfCalendarDayStyle.h"
#include "kit/KitCom.h"
#include "kit/KitResources.h"
#include "kit/RegistryScript.h"
#include "kit/TallowickIE.h"
#include "kit/resource.h"
#include "recognition/TallowickFactoryIE.h"
#include "support/QilUtils.h"
#include "support/TallowickCallbackerIE.h"
#include "support/TallowickRequestsHandlerIE.h"
#include "support/TimeTrace.h"
#include "webobj/HostServices.h"
#include "webobj/IE4Obj.h"
#include "webobj/RecordConfig.h"

namespace {

struct ObjectMapEntry {
  const CLSID *clsid;
  KitCreator create;
  UINT registryScript;
  CKitClassFactory *factory; // cached on first request
};

ObjectMapEntry g_objectMap[] = {
    {&CLSID_TallowickIE, &CTallowickIE::Create, IDR_TALLOWICKIE, nullptr},
    {&CLSID_TallowickFactoryIE, &CTallowickFactoryIE::Create, IDR_TALLOWICKFACTORYIE, nullptr},
    {&CLSID_TallowickRequestsHandlerIE, &CTallowickRequestsHandlerIE::Create,
     IDR_TALLOWICKREQUESTSHANDLERIE, nullptr},
    {&CLSID_TallowickCallbackerIE, &CTallowickCallbackerIE::Create, IDR_TALLOWICKCALLBACKERIE,
     nullptr},
};

constexpr DWORD kTypeLibRetryMs = 172;
// Registrations in other processes take their turn; none waits for ever.
constexpr WCHAR kRegistrationMutex[] = L"TallowickIE_Registration";
constexpr DWORD kRegistrationWaitMs = 60000;

// Holds the machine-wide registration mutex for one read-modify-write of the
// reference counts. An abandoned mutex is taken over: the registry itself is
// never torn, so the counts it holds are the ones to go on from.
class CRegistrationLock {
public:
  CRegistrationLock() {
    m_mutex = CreateMutexW(nullptr, FALSE, kRegistrationMutex);
    if (m_mutex == nullptr) {
      m_hr = HRESULT_FROM_WIN32(GetLastError());
      return;
    }
    DWORD wait = WaitForSingleObject(m_mutex, kRegistrationWaitMs);
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) {
      m_owned = true;
      m_hr = S_OK;
      return;
    }
    m_hr = wait == WAIT_TIMEOUT ? HRESULT_FROM_WIN32(ERROR_TIMEOUT)
                                : HRESULT_FROM_WIN32(GetLastError());
  }
  ~CRegistrationLock() {
    if (m_owned)
      ReleaseMutex(m_mutex);
    if (m_mutex != nullptr)
      CloseHandle(m_mutex);
  }
  CRegistrationLock(const CRegistrationLock &) = delete;
  CRegistrationLock &operator=(const CRegistrationLock &) = delete;

  HRESULT Result() const { return m_hr; }

private:
  HANDLE m_mutex = nullptr;
  bool m_owned = false;
  HRESULT m_hr = E_FAIL;
};

std::wstring ClsidText(REFCLSID clsid) {
  WCHAR text[40] = {};
  StringFromGUID2(clsid, text, 40);
  return text;
}

// A DWORD "RefCount"; missing or not 4 bytes long counts as 0.
DWORD ReadRefCount(HKEY key) {
  DWORD count = 0;
  DWORD size = sizeof count;
  DWORD type = 0;
  if (RegQueryValueExW(key, L"RefCount", nullptr, &type, reinterpret_cast<BYTE *>(&count), &size) !=
          ERROR_SUCCESS ||
      size != sizeof count)
    return 0;
  return count;
}

void WriteRefCount(HKEY key, DWORD count) {
  RegSetValueExW(key, L"RefCount", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&count),
                 sizeof count);
}

// Adds or takes one registration; answers the count left.
DWORD AdjustRefCount(HKEY key, bool add) {
  DWORD count = ReadRefCount(key);
  if (add) {
    WriteRefCount(key, ++count);
    return count;
  }
  if (count >= 2) {
    WriteRefCount(key, --count);
    return count;
  }
  if (count == 1)
    RegDeleteValueW(key, L"RefCount");
  return 0;
}

HRESULT RunRegistryScript(UINT id, bool registering) {
  std::wstring text;
  if (!KitResources::RegistryScript(id, text))
    return E_FAIL;
  CRegistryScript script;
  HRESULT hr = script.Parse(text, {{L"RELATIVE_PATH", KitModule::FileName()}});
  if (FAILED(hr))
    return hr;
  return registering ? script.Register() : script.Unregister();
}

HRESULT UpdateClassRegistry(const ObjectMapEntry &entry, bool registering) {
  HRESULT result = S_OK;
  if (registering) {
    result = RunRegistryScript(entry.registryScript, true);
    if (FAILED(result))
      return result;
  }
  std::wstring serverKey = L"CLSID\\" + ClsidText(*entry.clsid) + L"\\InprocServer32";
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, serverKey.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
    return E_FAIL;
  DWORD left = AdjustRefCount(key, registering);
  if (!registering && left == 0)
    result = RunRegistryScript(entry.registryScript, false);
  RegCloseKey(key);
  return result;
}

std::wstring TypeLibKeyPath(const TLIBATTR &attr) {
  WCHAR path[128];
  std::swprintf(path, 128, L"TypeLib\\%ls\\%d.%d\\%d\\Win32", ClsidText(attr.guid).c_str(),
                attr.wMajorVerNum, attr.wMinorVerNum, static_cast<int>(attr.lcid));
  return path;
}

// Registers the library under the module's bare file name with an empty help folder.
HRESULT RegisterTypeLibByFileName(ITypeLib *lib) {
  std::wstring fileName = KitModule::FileName();
  std::wstring noHelpFolder;
  return RegisterTypeLib(lib, fileName.data(), noHelpFolder.data());
}

HRESULT LoadOwnTypeLib(ITypeLib **lib, TLIBATTR &attr) {
  HRESULT hr = LoadTypeLib(KitModule::FullPath().c_str(), lib);
  if (FAILED(hr))
    return hr;
  TLIBATTR *libAttr = nullptr;
  hr = (*lib)->GetLibAttr(&libAttr);
  if (FAILED(hr)) {
    (*lib)->Release();
    *lib = nullptr;
    return hr;
  }
  attr = *libAttr;
  (*lib)->ReleaseTLibAttr(libAttr);
  return S_OK;
}

HRESULT RegisterServer() {
  for (const ObjectMapEntry &entry : g_objectMap) {
    HRESULT hr = UpdateClassRegistry(entry, true);
    if (FAILED(hr))
      return hr;
  }
  ITypeLib *lib = nullptr;
  TLIBATTR attr{};
  HRESULT hr = LoadOwnTypeLib(&lib, attr);
  if (FAILED(hr))
    return hr;
  std::wstring fullPath = KitModule::FullPath();
  std::wstring folder = fullPath.substr(0, fullPath.size() - KitModule::FileName().size());
  hr = RegisterTypeLib(lib, fullPath.data(), folder.data()); // the standard way first
  if (SUCCEEDED(hr)) {
    hr = RegisterTypeLibByFileName(lib);
    if (FAILED(hr)) {
      Sleep(kTypeLibRetryMs);
      hr = RegisterTypeLibByFileName(lib);
    }
  }
  lib->Release();
  if (FAILED(hr))
    return hr;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, TypeLibKeyPath(attr).c_str(), 0, KEY_ALL_ACCESS, &key) !=
      ERROR_SUCCESS)
    return E_FAIL;
  AdjustRefCount(key, true);
  RegCloseKey(key);
  return hr;
}

HRESULT UnregisterServer() {
  ITypeLib *lib = nullptr;
  TLIBATTR attr{};
  HRESULT hr = LoadOwnTypeLib(&lib, attr);
  if (FAILED(hr))
    return hr;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, TypeLibKeyPath(attr).c_str(), 0, KEY_ALL_ACCESS, &key) !=
      ERROR_SUCCESS) {
    lib->Release();
    return E_FAIL;
  }
  DWORD left = AdjustRefCount(key, false);
  RegCloseKey(key);
  for (const ObjectMapEntry &entry : g_objectMap)
    UpdateClassRegistry(entry, false);
  if (left > 0) {
    hr = RegisterTypeLibByFileName(lib); // still registered for the other installations
  } else {
    hr =
        UnRegisterTypeLib(attr.guid, attr.wMajorVerNum, attr.wMinorVerNum, attr.lcid, attr.syskind);
  }
  lib->Release();
  if (FAILED(hr))
    return hr;
  return left > 0 ? S_FALSE : S_OK;
}

void ReleaseClassFactories() {
  for (ObjectMapEntry &entry : g_objectMap) {
    if (entry.factory == nullptr)
      continue;
    entry.factory->Release();
    entry.factory = nullptr;
  }
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE hinst, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    KitModule::SetInstance(hinst);
    DisableThreadLibraryCalls(hinst);
    TimeTrace::Start();
    return TRUE;
  }
  if (reason != DLL_PROCESS_DETACH)
    return TRUE;
  // Freed by FreeLibrary: nothing may outlive the module. At process exit
  // other modules may be gone already, so nothing is called then.
  if (reserved == nullptr) {
    HostServices::ReleaseAgentServices();
    ReleaseTextMatcher();
    RecordConfig::Release();
    CWfCalendarDayStyle::ReleaseLearned();
    TimeTrace::Stop();
    HostServices::ReleaseFactories();
    ReleaseClassFactories();
    ElementIds::ReleaseTable();
  }
  return TRUE;
}

STDAPI DllCanUnloadNow(void) { return KitModule::LockCount() == 0 ? S_OK : S_FALSE; }

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID *ppv) {
  if (ppv == nullptr)
    return E_POINTER;
  *ppv = nullptr;
  for (ObjectMapEntry &entry : g_objectMap) {
    if (*entry.clsid != rclsid)
      continue;
    if (entry.factory == nullptr) {
      entry.factory = new (std::nothrow) CKitClassFactory(entry.create);
      if (entry.factory == nullptr)
        return E_OUTOFMEMORY;
      entry.factory->AddRef();
    }
    return entry.factory->QueryInterface(riid, ppv);
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllRegisterServer(void) {
  try {
    CRegistrationLock lock;
    if (FAILED(lock.Result()))
      return lock.Result();
    return RegisterServer();
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

STDAPI DllUnregisterServer(void) {
  try {
    CRegistrationLock lock;
    if (FAILED(lock.Result()))
      return lock.Result();
    return UnregisterServer();
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}
