#include <windows.h>

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "TestServer.h"

extern char **environ;

namespace {

namespace fs = std::filesystem;

fs::path ExecutableFolder() {
  WCHAR path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return fs::path(std::wstring(path, n)).parent_path();
}

// Each test gets its own registry file and an initialised apartment.
class ComTest : public ::testing::Test {
protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("tallowick-com-" + std::to_string(getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    setenv("TALLOWICK_REGISTRY", (folder_ / "registry.reg").c_str(), 1);
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
  }
  void TearDown() override {
    CoUninitialize();
    unsetenv("TALLOWICK_REGISTRY");
    fs::remove_all(folder_);
  }

  static HRESULT RegisterServer(const char *entry = "DllRegisterServer") {
    HMODULE module = LoadLibraryW(kTestServerModule);
    if (module == nullptr)
      return E_FAIL;
    FARPROC proc = GetProcAddress(module, entry);
    auto entryPoint = reinterpret_cast<HRESULT (*)()>(reinterpret_cast<void (*)()>(proc));
    HRESULT hr = proc != nullptr ? entryPoint() : E_FAIL;
    FreeLibrary(module);
    return hr;
  }

  static void SetInprocServer(const std::wstring &clsid, const std::wstring &module) {
    HKEY key = nullptr;
    std::wstring path = L"CLSID\\" + clsid + L"\\InprocServer32";
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, nullptr, 0, REG_SZ,
                             reinterpret_cast<const BYTE *>(module.c_str()),
                             static_cast<DWORD>((module.size() + 1) * sizeof(WCHAR))),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }

  fs::path folder_;
};

TEST(GuidStrings, FormatsAndParsesTheBracedForm) {
  WCHAR text[39];
  EXPECT_EQ(StringFromGUID2(CLSID_TestCounter, text, 39), 39);
  EXPECT_STREQ(text, L"{6B1E0C2A-3F4D-4C55-9A61-2D7E8F9A0B11}");
  EXPECT_EQ(StringFromGUID2(CLSID_TestCounter, text, 38), 0);

  CLSID parsed{};
  EXPECT_EQ(CLSIDFromString(L"{6b1e0c2a-3f4d-4c55-9a61-2d7e8f9a0b11}", &parsed), S_OK);
  EXPECT_EQ(parsed, CLSID_TestCounter);
  IID iid{};
  EXPECT_EQ(IIDFromString(text, &iid), S_OK);
  EXPECT_EQ(iid, CLSID_TestCounter);

  EXPECT_EQ(CLSIDFromString(L"{6B1E0C2A-3F4D-4C55-9A61-2D7E8F9A0B1}", &parsed), CO_E_CLASSSTRING);
  EXPECT_EQ(CLSIDFromString(L"{6B1E0C2A+3F4D-4C55-9A61-2D7E8F9A0B11}", &parsed), CO_E_CLASSSTRING);
  EXPECT_EQ(IIDFromString(L"6B1E0C2A-3F4D-4C55-9A61-2D7E8F9A0B11", &iid), E_INVALIDARG);
  EXPECT_EQ(CLSIDFromString(nullptr, &parsed), S_OK);
  EXPECT_EQ(parsed, GUID_NULL);

  LPOLESTR allocated = nullptr;
  ASSERT_EQ(StringFromCLSID(CLSID_TestCounter, &allocated), S_OK);
  EXPECT_STREQ(allocated, text);
  CoTaskMemFree(allocated);
}

TEST(Apartment, InitialisationIsCountedPerThread) {
  IUnknown *unknown = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void **>(&unknown)),
            CO_E_NOTINITIALIZED);
  EXPECT_EQ(unknown, nullptr);
  EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
  EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
  EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
  CoUninitialize();
  CoUninitialize();
}

TEST_F(ComTest, UnregisteredClassesAndProgIDs) {
  IUnknown *unknown = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void **>(&unknown)),
            REGDB_E_CLASSNOTREG);
  CLSID clsid{};
  EXPECT_EQ(CLSIDFromProgID(L"Tallowick.NoSuchClass", &clsid), CO_E_CLASSSTRING);
  EXPECT_EQ(CLSIDFromString(L"Tallowick.NoSuchClass", &clsid), CO_E_CLASSSTRING);
  EXPECT_EQ(
      CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, nullptr),
      E_INVALIDARG);
}

TEST_F(ComTest, ActivatesARegisteredServerByClsidAndProgID) {
  ASSERT_EQ(RegisterServer(), S_OK);

  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(kTestCounterProgID, &clsid), S_OK);
  EXPECT_EQ(clsid, CLSID_TestCounter);
  LPOLESTR progID = nullptr;
  ASSERT_EQ(ProgIDFromCLSID(CLSID_TestCounter, &progID), S_OK);
  EXPECT_STREQ(progID, kTestCounterProgID);
  CoTaskMemFree(progID);

  ITestCounter *counter = nullptr;
  ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(ITestCounter),
                             reinterpret_cast<void **>(&counter)),
            S_OK);
  counter->Add(3);
  LONG value = 0;
  counter->Get(&value);
  EXPECT_EQ(value, 3);
  IDispatch *dispatch = nullptr;
  EXPECT_EQ(counter->QueryInterface(IID_IDispatch, reinterpret_cast<void **>(&dispatch)),
            E_NOINTERFACE);

  // The server stays while an object lives, and goes once it can unload.
  CoFreeUnusedLibraries();
  EXPECT_NE(GetModuleHandleW(kTestServerModule), nullptr);
  counter->Release();
  CoFreeUnusedLibraries();
  EXPECT_EQ(GetModuleHandleW(kTestServerModule), nullptr);
}

TEST_F(ComTest, ServerModuleFailures) {
  SetInprocServer(L"{6B1E0C2A-3F4D-4C55-9A61-2D7E8F9A0B11}", L"libtallowick_no_such_module.so");
  IUnknown *unknown = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void **>(&unknown)),
            HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND));

  SetInprocServer(L"{6B1E0C2A-3F4D-4C55-9A61-2D7E8F9A0B11}", L"libtallowick_platform.so");
  EXPECT_EQ(CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void **>(&unknown)),
            CO_E_ERRORINDLL);

  // Only a local server asked for: nothing in-process is tried.
  ASSERT_EQ(RegisterServer(), S_OK);
  EXPECT_EQ(CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown,
                             reinterpret_cast<void **>(&unknown)),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(unknown, nullptr);
}

// A controlling unknown that aggregates the counter.
class Outer final : public IUnknown {
public:
  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (riid == IID_IUnknown) {
      *ppv = this;
      AddRef();
      return S_OK;
    }
    return inner->QueryInterface(riid, ppv);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }
  ULONG refs = 1;
  IUnknown *inner = nullptr;
};

TEST_F(ComTest, AggregatedObjectDelegatesToItsOuterUnknown) {
  ASSERT_EQ(RegisterServer(), S_OK);
  Outer outer;
  ITestCounter *counter = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_TestCounter, &outer, CLSCTX_INPROC_SERVER,
                             __uuidof(ITestCounter), reinterpret_cast<void **>(&counter)),
            CLASS_E_NOAGGREGATION);
  ASSERT_EQ(CoCreateInstance(CLSID_TestCounter, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void **>(&outer.inner)),
            S_OK);
  ASSERT_EQ(outer.QueryInterface(__uuidof(ITestCounter), reinterpret_cast<void **>(&counter)),
            S_OK);
  EXPECT_EQ(outer.refs, 2u); // the inner object's AddRef went to the outer one
  IUnknown *identity = nullptr;
  ASSERT_EQ(counter->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(&identity)), S_OK);
  EXPECT_EQ(identity, &outer);
  identity->Release();
  counter->Release();
  EXPECT_EQ(outer.refs, 1u);
  EXPECT_EQ(outer.inner->Release(), 0u);
  CoFreeUnusedLibraries();
  EXPECT_EQ(GetModuleHandleW(kTestServerModule), nullptr);
}

// A process-local class object that counts its activations.
class LocalFactory final : public IClassFactory {
public:
  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (riid != IID_IUnknown && riid != IID_IClassFactory)
      return E_NOINTERFACE;
    *ppv = this;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }
  STDMETHODIMP CreateInstance(IUnknown *, REFIID riid, void **ppv) override {
    ++created;
    return QueryInterface(riid, ppv);
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }
  ULONG refs = 1;
  int created = 0;
};

TEST_F(ComTest, RegisteredClassObjectsComeBeforeTheRegistry) {
  ASSERT_EQ(RegisterServer(), S_OK);
  LocalFactory factory;
  DWORD cookie = 0;
  ASSERT_EQ(CoRegisterClassObject(CLSID_TestCounter, &factory, CLSCTX_INPROC_SERVER,
                                  REGCLS_MULTIPLEUSE, &cookie),
            S_OK);
  EXPECT_EQ(factory.refs, 2u);
  IUnknown *unknown = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_ALL, IID_IUnknown,
                             reinterpret_cast<void **>(&unknown)),
            S_OK);
  EXPECT_EQ(unknown, static_cast<IUnknown *>(&factory));
  unknown->Release();
  EXPECT_EQ(factory.created, 1);

  EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
  EXPECT_EQ(factory.refs, 1u);
  EXPECT_EQ(CoRevokeClassObject(cookie), CO_E_OBJNOTREG);

  // A single-use registration serves one activation, then the registry does.
  ASSERT_EQ(CoRegisterClassObject(CLSID_TestCounter, &factory, CLSCTX_INPROC_SERVER,
                                  REGCLS_SINGLEUSE, &cookie),
            S_OK);
  IClassFactory *first = nullptr;
  IClassFactory *second = nullptr;
  ASSERT_EQ(CoGetClassObject(CLSID_TestCounter, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                             reinterpret_cast<void **>(&first)),
            S_OK);
  ASSERT_EQ(CoGetClassObject(CLSID_TestCounter, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                             reinterpret_cast<void **>(&second)),
            S_OK);
  EXPECT_EQ(first, static_cast<IClassFactory *>(&factory));
  EXPECT_NE(second, first);
  first->Release();
  second->Release();
  EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
}

TEST_F(ComTest, ASecondProcessActivatesByClsidAndProgID) {
  ASSERT_EQ(RegisterServer(), S_OK);
  std::string client = (ExecutableFolder() / "com_client").string();
  char *argv[] = {client.data(), nullptr};
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, client.c_str(), nullptr, nullptr, argv, environ), 0);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(ComTest, TypeLibraryLoadsAndRegisters) {
  std::wstring fullPath = (ExecutableFolder() / kTestServerModule).wstring();
  ITypeLib *lib = nullptr;
  ASSERT_EQ(LoadTypeLib(fullPath.c_str(), &lib), S_OK);
  TLIBATTR *attr = nullptr;
  ASSERT_EQ(lib->GetLibAttr(&attr), S_OK);
  EXPECT_EQ(attr->guid, LIBID_TestServer);
  EXPECT_EQ(attr->wMajorVerNum, 1);
  EXPECT_EQ(attr->wMinorVerNum, 0);
  EXPECT_EQ(attr->syskind, SYS_WIN32);
  lib->ReleaseTLibAttr(attr);
  BSTR name = nullptr;
  BSTR doc = nullptr;
  ASSERT_EQ(lib->GetDocumentation(-1, &name, &doc, nullptr, nullptr), S_OK);
  EXPECT_STREQ(name, L"TestServerLib");
  EXPECT_STREQ(doc, L"TestServer 1.0 Type Library");
  SysFreeString(name);
  SysFreeString(doc);
  TYPEKIND kind{};
  EXPECT_EQ(lib->GetTypeInfoType(0, &kind), S_OK);
  EXPECT_EQ(kind, TKIND_COCLASS);
  EXPECT_EQ(lib->GetTypeInfoType(2, &kind), TYPE_E_ELEMENTNOTFOUND);
  // A full path alone does not register.
  ITypeLib *registered = nullptr;
  EXPECT_EQ(LoadRegTypeLib(LIBID_TestServer, 1, 0, 0, &registered), TYPE_E_LIBNOTREGISTERED);

  // Registered under the bare file name with an empty help folder.
  ASSERT_EQ(RegisterTypeLib(lib, kTestServerModule, L""), S_OK);
  lib->Release();
  const std::wstring base = L"TypeLib\\{6B1E0C2A-3F4D-4C55-9A61-2D7E8F9A0B12}\\1.0";
  auto readDefault = [](const std::wstring &path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
      return std::wstring(L"<missing>");
    WCHAR buffer[MAX_PATH] = {};
    DWORD size = sizeof buffer;
    RegQueryValueExW(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE *>(buffer), &size);
    RegCloseKey(key);
    return std::wstring(buffer);
  };
  EXPECT_EQ(readDefault(base), L"TestServer 1.0 Type Library");
  EXPECT_EQ(readDefault(base + L"\\0\\Win32"), kTestServerModule);
  EXPECT_EQ(readDefault(base + L"\\FLAGS"), L"0");
  EXPECT_EQ(readDefault(base + L"\\HELPDIR"), L"");
  ASSERT_EQ(LoadRegTypeLib(LIBID_TestServer, 1, 0, 0, &registered), S_OK);
  registered->Release();

  EXPECT_EQ(UnRegisterTypeLib(LIBID_TestServer, 1, 0, 0, SYS_WIN32), S_OK);
  EXPECT_EQ(readDefault(L"TypeLib\\{6B1E0C2A-3F4D-4C55-9A61-2D7E8F9A0B12}"), L"<missing>");
  EXPECT_EQ(UnRegisterTypeLib(LIBID_TestServer, 1, 0, 0, SYS_WIN32), TYPE_E_REGISTRYACCESS);

  // A bare name loads by the module search and registers itself.
  ASSERT_EQ(LoadTypeLib(kTestServerModule, &lib), S_OK);
  lib->Release();
  EXPECT_EQ(readDefault(base + L"\\0\\win32"), kTestServerModule);
  EXPECT_EQ(LoadTypeLib(L"libtallowick_platform.so", &lib), TYPE_E_CANTLOADLIBRARY);
  EXPECT_EQ(lib, nullptr);
}

} // namespace
