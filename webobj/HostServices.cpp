#include "webobj/HostServices.h"

#include <cwchar>

namespace HostServices {
namespace {

#ifdef _WIN32
constexpr wchar_t kSeparator = L'\\';
#else
constexpr wchar_t kSeparator = L'/';
#endif
constexpr DWORD kFolderChars = 520;
constexpr DWORD kServerPathChars = 260;

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring ComputeKitFolder() {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&ComputeKitFolder), &module))
    return std::wstring();
  WCHAR path[kFolderChars] = {};
  DWORD length = GetModuleFileNameW(module, path, kFolderChars);
  if (length == 0 || length >= kFolderChars)
    return std::wstring();
  std::wstring folder(path, length);
  while (!folder.empty() && !IsSeparator(folder.back()))
    folder.pop_back();
  return folder;
}

// The common factories cache: one locked class factory per slot.
enum FactorySlot : int {
  kWebInfoSlot = 0,
  kWebAttrValSlot = 1,
  kWebVariantSlot = 2,
  kWebRunTimeIDSlot = 3,
  kClassSetSlot = 6,
  kFilterStructSlot = 7,
  kSlotCount = 8
};

struct FactoriesCache {
  IClassFactory *slots[kSlotCount] = {};
};

FactoriesCache *volatile g_factories = nullptr;
IWIAgentServices *g_agentServices = nullptr;

FactoriesCache *Factories() {
  if (g_factories != nullptr)
    return g_factories;
  HANDLE mutex = CreateMutexW(nullptr, FALSE, L"WICommonFactories_Create");
  if (mutex != nullptr)
    WaitForSingleObject(mutex, INFINITE);
  if (g_factories == nullptr)
    g_factories = new FactoriesCache;
  if (mutex != nullptr) {
    ReleaseMutex(mutex);
    CloseHandle(mutex);
  }
  return g_factories;
}

IClassFactory *SlotFactory(int slot, REFCLSID clsid) {
  FactoriesCache *cache = Factories();
  if (cache->slots[slot] != nullptr)
    return cache->slots[slot];
  IClassFactory *factory = nullptr;
  if (FAILED(GetClassObjectFromDll(clsid, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, nullptr,
                                   IID_IClassFactory, reinterpret_cast<void **>(&factory))) ||
      factory == nullptr)
    return nullptr;
  factory->LockServer(TRUE);
  cache->slots[slot] = factory;
  return factory;
}

HRESULT CreateFromSlot(int slot, REFCLSID clsid, REFIID riid, void **ppv) {
  if (ppv == nullptr)
    return E_POINTER;
  *ppv = nullptr;
  IClassFactory *factory = SlotFactory(slot, clsid);
  if (factory == nullptr)
    return E_FAIL;
  return factory->CreateInstance(nullptr, riid, ppv);
}

const wchar_t *const kBuiltInClassNames[] = {
    L"",        L"Any Web Object", L"HtmlRow",    L"HtmlCell",  L"Text",          L"Hyperlink",
    L"Applet",  L"StdObject",      L"HtmlToggle", L"ActiveX",   L"WebElement",    L"WebTable",
    L"Link",    L"Image",          L"WebArea",    L"WebButton", L"WebRadioGroup", L"WebCheckBox",
    L"WebEdit", L"WebFile",        L"WebList",    L"Frame",     L"Page",          L"Container",
    L"Browser", L"WebXML",         L"PlugIn",     L"ViewLink",  L"ViewLinkFrame"};
constexpr LONG kBuiltInClassCount = sizeof kBuiltInClassNames / sizeof kBuiltInClassNames[0];

template <class T>
CQilComPtr<T> Created(HRESULT (*create)(REFCLSID, REFIID, void **), REFCLSID clsid) {
  CQilComPtr<T> object;
  if (FAILED(create(clsid, __uuidof(T), reinterpret_cast<void **>(&object))))
    object.Release();
  return object;
}

} // namespace

const std::wstring &KitFolder() {
  static const std::wstring folder = ComputeKitFolder();
  return folder;
}

HMODULE LoadServerDll(LPCWSTR path, LPCWSTR folder) {
  if (path == nullptr)
    return nullptr;
  const std::wstring &kitFolder = KitFolder();
  if (folder == nullptr && path[0] == L'\\' && path[1] == L'\\')
    return LoadLibraryW(path);
  std::wstring candidate =
      folder != nullptr ? std::wstring(folder) + kSeparator + path : kitFolder + path;
  HMODULE module = LoadLibraryExW(candidate.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (module != nullptr)
    return module;
  return LoadLibraryW(path);
}

HMODULE PreloadServerOf(REFCLSID clsid) {
  WCHAR clsidText[40] = {};
  if (StringFromGUID2(clsid, clsidText, 40) == 0)
    return nullptr;
  std::wstring keyPath = std::wstring(L"CLSID\\") + clsidText + L"\\InprocServer32";
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return nullptr;
  WCHAR server[kServerPathChars + 1] = {};
  DWORD size = kServerPathChars * sizeof(WCHAR);
  DWORD type = 0;
  LONG rc = RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE *>(server), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || server[0] == L'\0')
    return nullptr;
  return LoadServerDll(server, nullptr);
}

HRESULT CreateInstanceFromDll(REFCLSID clsid, IUnknown *outer, DWORD context, REFIID riid,
                              void **ppv) {
  HMODULE module = PreloadServerOf(clsid);
  HRESULT hr = CoCreateInstance(clsid, outer, context, riid, ppv);
  if (module != nullptr)
    FreeLibrary(module);
  return hr;
}

HRESULT GetClassObjectFromDll(REFCLSID clsid, DWORD context, void *reserved, REFIID riid,
                              void **ppv) {
  HMODULE module = PreloadServerOf(clsid);
  HRESULT hr = CoGetClassObject(clsid, context, static_cast<COSERVERINFO *>(reserved), riid, ppv);
  if (module != nullptr)
    FreeLibrary(module);
  return hr;
}

void ReleaseFactories() {
  FactoriesCache *cache = g_factories;
  g_factories = nullptr;
  if (cache == nullptr)
    return;
  for (IClassFactory *factory : cache->slots) {
    if (factory == nullptr)
      continue;
    factory->LockServer(FALSE);
    factory->Release();
  }
  delete cache;
}

HRESULT CreateWebInfo(REFCLSID clsid, REFIID riid, void **ppv) {
  return CreateFromSlot(kWebInfoSlot, clsid, riid, ppv);
}
HRESULT CreateWebAttrVal(REFCLSID clsid, REFIID riid, void **ppv) {
  return CreateFromSlot(kWebAttrValSlot, clsid, riid, ppv);
}
HRESULT CreateWebVariant(REFCLSID clsid, REFIID riid, void **ppv) {
  return CreateFromSlot(kWebVariantSlot, clsid, riid, ppv);
}
HRESULT CreateWebRunTimeID(REFCLSID clsid, REFIID riid, void **ppv) {
  return CreateFromSlot(kWebRunTimeIDSlot, clsid, riid, ppv);
}
HRESULT CreateWIClassSet(REFCLSID clsid, REFIID riid, void **ppv) {
  return CreateFromSlot(kClassSetSlot, clsid, riid, ppv);
}
HRESULT CreateFilterStruct(REFCLSID clsid, REFIID riid, void **ppv) {
  return CreateFromSlot(kFilterStructSlot, clsid, riid, ppv);
}

CQilComPtr<IWebVariant> NewWebVariant() {
  return Created<IWebVariant>(CreateWebVariant, CLSID_WebVariant);
}
CQilComPtr<IWebInfo> NewWebInfo() { return Created<IWebInfo>(CreateWebInfo, CLSID_WebInfo); }
CQilComPtr<IWebAttrVal> NewWebAttrVal() {
  return Created<IWebAttrVal>(CreateWebAttrVal, CLSID_WebAttrVal);
}
CQilComPtr<IFilterStruct> NewFilterStruct() {
  return Created<IFilterStruct>(CreateFilterStruct, CLSID_FilterStruct);
}

CQilComPtr<IWebAttrVal> NewWebAttrValBool(bool value) {
  CQilComPtr<IWebAttrVal> attr = NewWebAttrVal();
  if (attr && FAILED(attr->AddBool(value ? 1 : 0)))
    attr.Release();
  return attr;
}
CQilComPtr<IWebAttrVal> NewWebAttrValString(BSTR value) {
  CQilComPtr<IWebAttrVal> attr = NewWebAttrVal();
  if (attr && FAILED(attr->AddString(value)))
    attr.Release();
  return attr;
}
CQilComPtr<IWebAttrVal> NewWebAttrValLong(LONG value) {
  CQilComPtr<IWebAttrVal> attr = NewWebAttrVal();
  if (attr && FAILED(attr->AddLong(value)))
    attr.Release();
  return attr;
}

void EnsureAgentServices() {
  if (g_agentServices != nullptr)
    return;
  CLSID clsid{};
  if (FAILED(CLSIDFromProgID(L"Quillon.WIAgentServicesIE", &clsid)))
    return;
  IUnknown *unknown = nullptr;
  if (FAILED(CreateInstanceFromDll(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                   IID_IUnknown, reinterpret_cast<void **>(&unknown))))
    return;
  // The object's IUnknown is its IWIAgentServices.
  g_agentServices = reinterpret_cast<IWIAgentServices *>(unknown);
}

IWIAgentServices *AgentServices() { return g_agentServices; }

void ReleaseAgentServices() {
  IWIAgentServices *services = g_agentServices;
  g_agentServices = nullptr;
  if (services != nullptr)
    services->Release();
}

HRESULT RegisterWebClass(LONG id, BSTR name) {
  if (g_agentServices == nullptr)
    return E_FAIL;
  return g_agentServices->RegisterWebClass(id, name);
}

CQilBstr GetWebClassName(LONG id) {
  CQilBstr name;
  if (g_agentServices == nullptr) {
    if (id >= 0 && id < kBuiltInClassCount)
      name = kBuiltInClassNames[id];
    if (!name)
      name = L"";
    return name;
  }
  if (FAILED(g_agentServices->GetWebClassName(id, &name)) || !name)
    name = L"";
  return name;
}

LONG BuiltInWebClassId(LPCOLESTR name) {
  for (LONG id = 0; id < kBuiltInClassCount; ++id)
    if (std::wcscmp(kBuiltInClassNames[id], name != nullptr ? name : L"") == 0)
      return id;
  return 0;
}

LONG GetWebClassId(BSTR name) {
  if (g_agentServices == nullptr)
    return BuiltInWebClassId(name);
  LONG id = 0;
  if (FAILED(g_agentServices->GetWebClassId(name, &id)))
    return 0;
  return id;
}

CQilBstr GetRecordableClassName(IWebObj2 *ao) {
  LONG webClass = 0;
  if (ao == nullptr || FAILED(ao->GetRecordableClass(&webClass)))
    return CQilBstr(L"");
  return GetWebClassName(webClass);
}

HRESULT GetSetting(BSTR name, IWebVariant **value) {
  if (value == nullptr)
    return E_POINTER;
  *value = nullptr;
  if (g_agentServices == nullptr)
    return E_FAIL;
  VARIANT setting;
  VariantInit(&setting);
  HRESULT hr = g_agentServices->GetSetting(name, &setting);
  if (FAILED(hr))
    return hr;
  CQilComPtr<IWebVariant> variant = NewWebVariant();
  if (!variant) {
    VariantClear(&setting);
    return E_FAIL;
  }
  hr = variant->put_variant(setting);
  VariantClear(&setting);
  if (FAILED(hr))
    return hr;
  *value = variant.Detach();
  return S_OK;
}

LONG GetLongSetting(BSTR name) {
  CQilComPtr<IWebVariant> value;
  if (FAILED(GetSetting(name, &value)) || !value)
    return 0;
  WEB_AV_TYPE type = WEB_AV_EMPTY;
  LONG number = 0;
  if (FAILED(value->GetType(&type)) || type != WEB_AV_LONG)
    return 0;
  if (FAILED(value->get_long(&number)))
    return 0;
  return number;
}

bool GetBoolSetting(BSTR name, bool defaultValue) {
  LONG value = GetLongSetting(name);
  if (value == 0)
    return false;
  if (value == 1)
    return true;
  return defaultValue;
}

CQilComPtr<IWebObj2> GetHostAO(IUnknown *element, IWebObj2 *parent, VARIANT_BOOL flag) {
  CQilComPtr<IWebObj2> ao;
  CQilComPtr<IWIAgentObjectServices> objects;
  if (g_agentServices == nullptr || FAILED(objects.QueryFrom(g_agentServices)))
    return ao;
  if (FAILED(objects->GetElementAO(element, parent, flag, &ao)))
    ao.Release();
  return ao;
}

CQilComPtr<IWebObj2> GetWrappedHostAO(IUnknown *element, IWebObj2 *parent) {
  CQilComPtr<IWebObj2> ao;
  CQilComPtr<IWIAgentObjectServices> objects;
  if (g_agentServices == nullptr || FAILED(objects.QueryFrom(g_agentServices)))
    return ao;
  if (FAILED(objects->GetViewLinkElementAO(element, parent, &ao)))
    ao.Release();
  return ao;
}

} // namespace HostServices
