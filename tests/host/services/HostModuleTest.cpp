#include "HostModuleFixture.h"

#include <fstream>
#include <string>
#include <utility>

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

// A string value under HKEY_CLASSES_ROOT\path, or "<missing>".
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

using HostModuleTest = HostModuleFixture;

TEST_F(HostModuleTest, RegistersEveryClassByBareFileName) {
  for (const ClassCase &c : kClasses) {
    std::wstring key = L"CLSID\\" + Text(c.clsid);
    SCOPED_TRACE(testing::Message() << key.c_str());
    EXPECT_NE(ReadString(key), L"<missing>");
    EXPECT_EQ(ReadString(key + L"\\InprocServer32"), L"libTallowickHost.so");
    EXPECT_EQ(ReadString(key + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
  }
  for (auto [progId, clsid] : {std::pair{kAgentServicesProgID, &CLSID_WIAgentServicesIE},
                               std::pair{kKitsManagerProgID, &CLSID_WIKitsManager}}) {
    EXPECT_EQ(ReadString(std::wstring(progId) + L"\\CLSID"), Text(*clsid));
    EXPECT_EQ(ReadString(L"CLSID\\" + Text(*clsid) + L"\\ProgID"), progId);
  }
}

TEST_F(HostModuleTest, CreatesEveryClassAndNoOther) {
  for (const ClassCase &c : kClasses) {
    SCOPED_TRACE(testing::Message() << Text(c.clsid).c_str());
    IUnknown *object = nullptr;
    ASSERT_EQ(CoCreateInstance(c.clsid, nullptr, CLSCTX_INPROC_SERVER, c.iid,
                               reinterpret_cast<void **>(&object)),
              S_OK);
    object->Release();
  }
  IWIAgentServices *services = nullptr;
  ASSERT_EQ(Create(kAgentServicesProgID, IID_IWIAgentServices, &services), S_OK);
  services->Release();
  IWICallbackerRegistrar *callbacks = nullptr;
  ASSERT_EQ(Create(kKitsManagerProgID, IID_IWICallbackerRegistrar, &callbacks), S_OK);
  callbacks->Release();

  HMODULE module = LoadLibraryW(kHostModule);
  ASSERT_NE(module, nullptr);
  auto getClassObject =
      Export<HRESULT(WINAPI *)(REFCLSID, REFIID, LPVOID *)>(module, "DllGetClassObject");
  void *object = &module;
  EXPECT_EQ(getClassObject(CLSID_TallowickIE, IID_IClassFactory, &object),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(getClassObject(CLSID_WebInfo, IID_IClassFactory, nullptr), E_POINTER);
  IClassFactory *factory = nullptr;
  ASSERT_EQ(
      getClassObject(CLSID_WIKitsManager, IID_IClassFactory, reinterpret_cast<void **>(&factory)),
      S_OK);
  EXPECT_EQ(factory->CreateInstance(factory, IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
  factory->Release();
  FreeLibrary(module);
}

TEST_F(HostModuleTest, UnregisterRemovesItsKeysOnly) {
  // Another server has taken over one ProgID since: that one stays.
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
    EXPECT_EQ(ReadString(L"CLSID\\" + Text(c.clsid)), L"<missing>");
  EXPECT_EQ(ReadString(L"Quillon.WIAgentServicesIE\\CLSID"), L"<missing>");
  EXPECT_EQ(ReadString(L"Quillon.WIKitsManagerIE\\CLSID"), other);
  IUnknown *object = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_WIAgentServicesIE, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void **>(&object)),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(CallExport("DllUnregisterServer"), S_OK);
}

TEST_F(HostModuleTest, RegistrationThatCannotBeWrittenFails) {
  // The registry file's folder is a plain file: nothing can be written.
  std::ofstream(folder_ / "blocked") << "x";
  setenv("TALLOWICK_REGISTRY", (folder_ / "blocked" / "registry.reg").c_str(), 1);
  EXPECT_EQ(CallExport("DllRegisterServer"), SELFREG_E_CLASS);
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
  auto canUnload = Export<HRESULT(WINAPI *)()>(module, "DllCanUnloadNow");

  // Objects, a held class object and a server lock each keep the module.
  EXPECT_EQ(canUnload(), S_FALSE);
  services->Release();
  manager->Release();
  EXPECT_EQ(canUnload(), S_FALSE);
  ASSERT_EQ(factory->LockServer(TRUE), S_OK);
  factory->Release();
  EXPECT_EQ(canUnload(), S_FALSE);
  CoFreeUnusedLibraries();
  ASSERT_NE(GetModuleHandleW(kHostModule), nullptr);

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
