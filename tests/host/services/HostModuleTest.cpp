#include "HostModuleFixture.h"

#include <string>

namespace {

struct ClassCase {
  const CLSID &clsid;
  const IID &iid;
};

const ClassCase kClasses[] = {
    {CLSID_WebInfo, IID_IWebInfo},
    {CLSID_WebAttrVal, IID_IWebAttrVal},
    {CLSID_WebVariant, IID_IWebVariant},
    {CLSID_WebRunTimeID, IID_IWebRunTimeID},
    {CLSID_WIClassSet, IID_IWIClassSet},
    {CLSID_FilterStruct, IID_IFilterStruct},
    {CLSID_WebEventID, IID_IWebEventID},
    {CLSID_RuntimeID, IID_IRuntimeID},
    {CLSID_WIAgentServicesIE, IID_IWIAgentServices},
    {CLSID_WIKitsManager, IID_IWIKitRegistrar},
};

std::wstring Text(const GUID &guid) {
  WCHAR text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

// The value under HKEY_CLASSES_ROOT\path, or "<missing>".
std::wstring ReadString(const std::wstring &path, const wchar_t *name = nullptr) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return L"<missing>";
  wchar_t buffer[512] = {};
  DWORD size = sizeof buffer;
  LONG rc = RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE *>(buffer), &size);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS ? buffer : L"<missing>";
}

bool KeyExists(const std::wstring &path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

using HostModuleTest = HostModuleFixture;

TEST_F(HostModuleTest, RegistersEveryClassByBareFileName) {
  for (const ClassCase &c : kClasses) {
    SCOPED_TRACE(testing::Message() << "CLSID " << Text(c.clsid).c_str());
    std::wstring key = L"CLSID\\" + Text(c.clsid);
    EXPECT_NE(ReadString(key), L"<missing>");
    EXPECT_NE(ReadString(key), L"");
    EXPECT_EQ(ReadString(key + L"\\InprocServer32"), L"libTallowickHost.so");
    EXPECT_EQ(ReadString(key + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
  }
  struct {
    const wchar_t *progId;
    const CLSID &clsid;
  } progIds[] = {{L"Quillon.WIAgentServicesIE", CLSID_WIAgentServicesIE},
                 {L"Quillon.WIKitsManagerIE", CLSID_WIKitsManager}};
  for (const auto &p : progIds) {
    EXPECT_EQ(ReadString(std::wstring(p.progId) + L"\\CLSID"), Text(p.clsid));
    EXPECT_EQ(ReadString(L"CLSID\\" + Text(p.clsid) + L"\\ProgID"), p.progId);
    CLSID resolved{};
    EXPECT_EQ(CLSIDFromProgID(p.progId, &resolved), S_OK);
    EXPECT_EQ(resolved, p.clsid);
  }
}

TEST_F(HostModuleTest, CreatesEveryClassByClsid) {
  for (const ClassCase &c : kClasses) {
    SCOPED_TRACE(testing::Message() << "CLSID " << Text(c.clsid).c_str());
    IUnknown *object = nullptr;
    ASSERT_EQ(CoCreateInstance(c.clsid, nullptr, CLSCTX_INPROC_SERVER, c.iid,
                               reinterpret_cast<void **>(&object)),
              S_OK);
    ASSERT_NE(object, nullptr);
    object->Release();
  }
}

TEST_F(HostModuleTest, CreatesServicesAndKitsManagerByProgId) {
  IWIAgentServices *services = nullptr;
  ASSERT_EQ(Create(kAgentServicesProgID, IID_IWIAgentServices, &services), S_OK);
  IWIKitRegistrar *registrar = nullptr;
  ASSERT_EQ(Create(kKitsManagerProgID, IID_IWIKitRegistrar, &registrar), S_OK);
  IWICallbackerRegistrar *callbacks = nullptr;
  EXPECT_EQ(
      registrar->QueryInterface(IID_IWICallbackerRegistrar, reinterpret_cast<void **>(&callbacks)),
      S_OK);
  if (callbacks != nullptr)
    callbacks->Release();
  registrar->Release();
  services->Release();
}

TEST_F(HostModuleTest, ClassObjectsOfTheModuleOnly) {
  HMODULE module = LoadLibraryW(kHostModule);
  ASSERT_NE(module, nullptr);
  auto getClassObject = reinterpret_cast<HRESULT(WINAPI *)(REFCLSID, REFIID, LPVOID *)>(
      reinterpret_cast<void (*)()>(GetProcAddress(module, "DllGetClassObject")));
  ASSERT_NE(getClassObject, nullptr);
  void *object = reinterpret_cast<void *>(1);
  EXPECT_EQ(getClassObject(CLSID_TallowickIE, IID_IClassFactory, &object),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(getClassObject(CLSID_WebInfo, IID_IClassFactory, nullptr), E_POINTER);

  IClassFactory *factory = nullptr;
  ASSERT_EQ(
      getClassObject(CLSID_WIKitsManager, IID_IClassFactory, reinterpret_cast<void **>(&factory)),
      S_OK);
  IUnknown *outer = factory; // any non-null outer: the classes cannot be aggregated
  IUnknown *aggregated = nullptr;
  EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, reinterpret_cast<void **>(&aggregated)),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(aggregated, nullptr);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, nullptr), E_POINTER);
  factory->Release();
  FreeLibrary(module);
}

TEST_F(HostModuleTest, UnregisterRemovesItsKeysAndIsRepeatable) {
  // Another server has since taken over one ProgID: that one stays.
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, L"Quillon.WIKitsManagerIE\\CLSID", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  std::wstring other = Text(CLSID_TallowickIE);
  ASSERT_EQ(RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>(other.c_str()),
                           static_cast<DWORD>((other.size() + 1) * sizeof(WCHAR))),
            ERROR_SUCCESS);
  RegCloseKey(key);

  EXPECT_EQ(CallExport("DllUnregisterServer"), S_OK);
  for (const ClassCase &c : kClasses)
    EXPECT_FALSE(KeyExists(L"CLSID\\" + Text(c.clsid)));
  EXPECT_TRUE(KeyExists(L"CLSID"));
  EXPECT_FALSE(KeyExists(L"Quillon.WIAgentServicesIE"));
  EXPECT_EQ(ReadString(L"Quillon.WIKitsManagerIE\\CLSID"), other);
  IUnknown *object = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_WIKitsManager, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void **>(&object)),
            REGDB_E_CLASSNOTREG);

  EXPECT_EQ(CallExport("DllUnregisterServer"), S_OK);
  EXPECT_EQ(CallExport("DllRegisterServer"), S_OK);
  EXPECT_EQ(ReadString(L"Quillon.WIKitsManagerIE\\CLSID"), Text(CLSID_WIKitsManager));
}

TEST_F(HostModuleTest, UnloadsWhenEverythingIsReleased) {
  IWIAgentServices *services = nullptr;
  ASSERT_EQ(Create(kAgentServicesProgID, IID_IWIAgentServices, &services), S_OK);
  IUnknown *manager = nullptr;
  ASSERT_EQ(Create(kKitsManagerProgID, IID_IUnknown, &manager), S_OK);
  IClassFactory *factory = nullptr;
  ASSERT_EQ(CoGetClassObject(CLSID_WebInfo, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                             reinterpret_cast<void **>(&factory)),
            S_OK);
  HMODULE module = GetModuleHandleW(kHostModule);
  ASSERT_NE(module, nullptr);
  auto canUnload = reinterpret_cast<HRESULT(WINAPI *)()>(
      reinterpret_cast<void (*)()>(GetProcAddress(module, "DllCanUnloadNow")));
  ASSERT_NE(canUnload, nullptr);

  // Objects, a held class object and a server lock each keep the module.
  EXPECT_EQ(canUnload(), S_FALSE);
  services->Release();
  manager->Release();
  EXPECT_EQ(canUnload(), S_FALSE);
  ASSERT_EQ(factory->LockServer(TRUE), S_OK);
  factory->Release();
  EXPECT_EQ(canUnload(), S_FALSE);
  CoFreeUnusedLibraries();
  EXPECT_NE(GetModuleHandleW(kHostModule), nullptr);

  ASSERT_EQ(CoGetClassObject(CLSID_WebInfo, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                             reinterpret_cast<void **>(&factory)),
            S_OK);
  ASSERT_EQ(factory->LockServer(FALSE), S_OK);
  factory->Release();
  EXPECT_EQ(canUnload(), S_OK);
  CoFreeUnusedLibraries();
  EXPECT_EQ(GetModuleHandleW(kHostModule), nullptr);
}

} // namespace
