// The host module: its class table, class factories, registration and exports.
#include <windows.h>

#include <optional>
#include <string>

#include "TallowickHost.h"
#include "common/ComObject.h"
#include "module/HostClasses.h"

namespace {

HINSTANCE g_module = nullptr;

// A class object of the table. It lives as long as the module; while anyone
// holds a reference to it, it keeps the module loaded.
class CClassFactory final : public IClassFactory {
public:
  explicit CClassFactory(host::ClassCreator create) : create_(create) {}
  CClassFactory(const CClassFactory &) = delete;
  CClassFactory &operator=(const CClassFactory &) = delete;

  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (ppv == nullptr)
      return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != IID_IClassFactory)
      return E_NOINTERFACE;
    *ppv = static_cast<IClassFactory *>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override {
    LONG refs = InterlockedIncrement(&refs_);
    if (refs == 1)
      host::LockModule();
    return static_cast<ULONG>(refs);
  }
  STDMETHODIMP_(ULONG) Release() override {
    LONG refs = InterlockedDecrement(&refs_);
    if (refs == 0)
      host::UnlockModule();
    return static_cast<ULONG>(refs);
  }
  STDMETHODIMP CreateInstance(IUnknown *outer, REFIID riid, void **ppv) override {
    if (ppv == nullptr)
      return E_POINTER;
    *ppv = nullptr;
    try {
      return create_(outer, riid, ppv);
    } catch (...) {
      return E_UNEXPECTED;
    }
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    if (lock)
      host::LockModule();
    else
      host::UnlockModule();
    return S_OK;
  }

private:
  host::ClassCreator create_;
  LONG refs_ = 0;
};

struct HostClass {
  const CLSID &clsid;
  const wchar_t *description;
  const wchar_t *progId; // null when the class has none
  CClassFactory &factory;
};

CClassFactory g_webInfo{host::CreateWebInfo};
CClassFactory g_webAttrVal{host::CreateWebAttrVal};
CClassFactory g_webVariant{host::CreateWebVariant};
CClassFactory g_webRunTimeID{host::CreateWebRunTimeID};
CClassFactory g_classSet{host::CreateWIClassSet};
CClassFactory g_filterStruct{host::CreateFilterStruct};
CClassFactory g_webEventID{host::CreateWebEventID};
CClassFactory g_runtimeID{host::CreateRuntimeID};
CClassFactory g_agentServices{host::CreateAgentServices};
CClassFactory g_kitsManager{host::CreateKitsManager};
CClassFactory g_callbackRegistry{host::CreateCallbackRegistry};
CClassFactory g_browser{host::CreateBrowser};

const HostClass kClasses[] = {
    {CLSID_WebInfo, L"WebInfo Class", nullptr, g_webInfo},
    {CLSID_WebAttrVal, L"WebAttrVal Class", nullptr, g_webAttrVal},
    {CLSID_WebVariant, L"WebVariant Class", nullptr, g_webVariant},
    {CLSID_WebRunTimeID, L"WebRunTimeID Class", nullptr, g_webRunTimeID},
    {CLSID_WIClassSet, L"WIClassSet Class", nullptr, g_classSet},
    {CLSID_FilterStruct, L"FilterStruct Class", nullptr, g_filterStruct},
    {CLSID_WebEventID, L"WebEventID Class", nullptr, g_webEventID},
    {CLSID_RuntimeID, L"RuntimeID Class", nullptr, g_runtimeID},
    {CLSID_WIAgentServicesIE, L"WIAgentServicesIE Class", kAgentServicesProgID, g_agentServices},
    {CLSID_WIKitsManager, L"WIKitsManagerIE Class", kKitsManagerProgID, g_kitsManager},
    {CLSID_WICallbackRegistry, L"WICallbackRegistryIE Class", kCallbackRegistryProgID,
     g_callbackRegistry},
    {CLSID_WIBrowserIE, L"WIBrowserIE Class", kBrowserProgID, g_browser},
};

// The module's file name without its folder; empty when it cannot be read.
std::wstring ModuleFileName() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD size = static_cast<DWORD>(path.size());
    DWORD length = GetModuleFileNameW(g_module, path.data(), size);
    if (length == 0)
      return {};
    if (length < size) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  size_t slash = path.find_last_of(L"/\\");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring ClsidText(const CLSID &clsid) {
  WCHAR text[40] = {};
  StringFromGUID2(clsid, text, 40);
  return text;
}

// Writes a string value (the default value when name is null) under
// HKEY_CLASSES_ROOT\path, creating the key.
bool SetString(const std::wstring &path, const wchar_t *name, const std::wstring &value) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  LONG rc = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                           static_cast<DWORD>((value.size() + 1) * sizeof(WCHAR)));
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

std::optional<std::wstring> DefaultString(const std::wstring &path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return std::nullopt;
  DWORD type = 0;
  DWORD size = 0;
  std::optional<std::wstring> text;
  if (RegQueryValueExW(key, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      type == REG_SZ) {
    std::wstring buffer(size / sizeof(WCHAR) + 1, L'\0');
    size = static_cast<DWORD>(buffer.size() * sizeof(WCHAR));
    if (RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE *>(buffer.data()),
                         &size) == ERROR_SUCCESS)
      text = std::wstring(buffer.c_str());
  }
  RegCloseKey(key);
  return text;
}

bool RegisterHostClass(const HostClass &hostClass, const std::wstring &moduleName) {
  const std::wstring clsid = ClsidText(hostClass.clsid);
  const std::wstring classKey = L"CLSID\\" + clsid;
  const std::wstring serverKey = classKey + L"\\InprocServer32";
  if (!SetString(classKey, nullptr, hostClass.description) ||
      !SetString(serverKey, nullptr, moduleName) ||
      !SetString(serverKey, L"ThreadingModel", L"Apartment"))
    return false;
  if (hostClass.progId == nullptr)
    return true;
  const std::wstring progId = hostClass.progId;
  return SetString(classKey + L"\\ProgID", nullptr, progId) &&
         SetString(progId, nullptr, hostClass.description) &&
         SetString(progId + L"\\CLSID", nullptr, clsid);
}

bool DeleteTree(const std::wstring &path) {
  LONG rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

bool UnregisterHostClass(const HostClass &hostClass) {
  const std::wstring clsid = ClsidText(hostClass.clsid);
  if (!DeleteTree(L"CLSID\\" + clsid))
    return false;
  if (hostClass.progId == nullptr)
    return true;
  // A ProgID that now names another class is not ours to remove.
  const std::wstring progId = hostClass.progId;
  std::optional<std::wstring> named = DefaultString(progId + L"\\CLSID");
  CLSID namedClsid{};
  if (!named || FAILED(CLSIDFromString(named->c_str(), &namedClsid)) ||
      namedClsid != hostClass.clsid)
    return true;
  return DeleteTree(progId);
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE hinst, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = hinst;
    DisableThreadLibraryCalls(hinst);
  }
  return TRUE;
}

STDAPI DllCanUnloadNow(void) { return host::ModuleLockCount() == 0 ? S_OK : S_FALSE; }

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID *ppv) {
  if (ppv == nullptr)
    return E_POINTER;
  *ppv = nullptr;
  for (const HostClass &hostClass : kClasses) {
    if (hostClass.clsid == rclsid)
      return hostClass.factory.QueryInterface(riid, ppv);
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllRegisterServer(void) {
  try {
    const std::wstring moduleName = ModuleFileName();
    if (moduleName.empty())
      return SELFREG_E_CLASS;
    for (const HostClass &hostClass : kClasses) {
      if (!RegisterHostClass(hostClass, moduleName))
        return SELFREG_E_CLASS;
    }
    return S_OK;
  } catch (...) {
    return SELFREG_E_CLASS;
  }
}

STDAPI DllUnregisterServer(void) {
  try {
    HRESULT hr = S_OK;
    for (const HostClass &hostClass : kClasses) {
      if (!UnregisterHostClass(hostClass))
        hr = SELFREG_E_CLASS;
    }
    return hr;
  } catch (...) {
    return SELFREG_E_CLASS;
  }
}
