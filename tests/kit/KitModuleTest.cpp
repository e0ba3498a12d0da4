#include "KitTestSupport.h"

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "TallowickIE_h.h"

namespace {

constexpr const wchar_t *kKitModule = L"libTallowickIE.so";
const wchar_t *const kClsids[] = {
    L"{DFD0DCE1-9E27-43F5-85FB-995F3453720E}", L"{7838E0E6-BFFF-4B02-9656-E76512EDDFEC}",
    L"{B92C9351-02DD-40BF-B30A-F953408884E3}", L"{491A7FB8-72A9-40C0-8F04-31DC4ADB7E57}"};
const std::wstring kTypeLibKey = L"TypeLib\\{2F4F997F-2324-49AA-B6FD-C25627BB2C7D}\\1.0\\0\\Win32";

template <class F> F Export(HMODULE module, const char *name) {
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

HRESULT CallEntry(const wchar_t *modulePath, const char *entry) {
  HMODULE module = LoadLibraryW(modulePath);
  if (module == nullptr)
    return E_FAIL;
  auto proc = Export<HRESULT (*)()>(module, entry);
  HRESULT hr = proc != nullptr ? proc() : E_FAIL;
  FreeLibrary(module);
  return hr;
}

class KitModuleTest : public KitRegistryTest {
protected:
  static long ServerRefCount(const wchar_t *clsid) {
    return ReadDword(HKEY_CLASSES_ROOT, std::wstring(L"CLSID\\") + clsid + L"\\InprocServer32",
                     L"RefCount");
  }
};

TEST_F(KitModuleTest, RegistrationIsReferenceCounted) {
  ASSERT_EQ(CallEntry(kKitModule, "DllRegisterServer"), S_OK);
  ASSERT_EQ(CallEntry(kKitModule, "DllRegisterServer"), S_OK);
  for (const wchar_t *clsid : kClsids)
    EXPECT_EQ(ServerRefCount(clsid), 2) << clsid;
  EXPECT_EQ(ReadDword(HKEY_CLASSES_ROOT, kTypeLibKey, L"RefCount"), 2);

  EXPECT_EQ(CallEntry(kKitModule, "DllUnregisterServer"), S_FALSE);
  for (const wchar_t *clsid : kClsids) {
    EXPECT_EQ(ServerRefCount(clsid), 1) << clsid;
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, std::wstring(L"CLSID\\") + clsid + L"\\InprocServer32"),
              kKitModule);
  }
  EXPECT_EQ(ReadDword(HKEY_CLASSES_ROOT, kTypeLibKey, L"RefCount"), 1);
  EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kTypeLibKey), kKitModule);
  EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, L"Quillon.TallowickIE\\CurVer"),
            L"Quillon.TallowickIE.1");

  EXPECT_EQ(CallEntry(kKitModule, "DllUnregisterServer"), S_OK);
  for (const wchar_t *clsid : kClsids)
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, std::wstring(L"CLSID\\") + clsid), L"<missing>");
  EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, L"Quillon.TallowickIE.1"), L"<missing>");
  EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, L"TypeLib\\{2F4F997F-2324-49AA-B6FD-C25627BB2C7D}"),
            L"<missing>");
}

// Starts one process per entry of `entries`, each calling its entry point
// `times` times at once with the others; answers how many processes saw a failure.
int RunConcurrently(const std::vector<const char *> &entries, int times) {
  std::vector<pid_t> children;
  for (const char *entry : entries) {
    pid_t pid = fork();
    if (pid == 0) {
      int failures = 0;
      for (int i = 0; i < times; ++i)
        failures += FAILED(CallEntry(kKitModule, entry)) ? 1 : 0;
      _exit(failures == 0 ? 0 : 1);
    }
    if (pid > 0)
      children.push_back(pid);
  }
  int failed = static_cast<int>(entries.size() - children.size());
  for (pid_t pid : children) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
      ++failed;
  }
  return failed;
}

TEST_F(KitModuleTest, ConcurrentRegistrationsKeepEveryCount) {
  constexpr int kProcesses = 6;
  constexpr int kTimes = 12;
  const std::vector<const char *> registering(kProcesses, "DllRegisterServer");
  ASSERT_EQ(RunConcurrently(registering, kTimes), 0);
  for (const wchar_t *clsid : kClsids)
    EXPECT_EQ(ServerRefCount(clsid), kProcesses * kTimes) << clsid;
  EXPECT_EQ(ReadDword(HKEY_CLASSES_ROOT, kTypeLibKey, L"RefCount"), kProcesses * kTimes);

  // Half take registrations away while the other half add them: the count stays.
  std::vector<const char *> mixed;
  for (int i = 0; i < kProcesses; ++i)
    mixed.push_back(i % 2 == 0 ? "DllRegisterServer" : "DllUnregisterServer");
  ASSERT_EQ(RunConcurrently(mixed, kTimes), 0);
  for (const wchar_t *clsid : kClsids)
    EXPECT_EQ(ServerRefCount(clsid), kProcesses * kTimes) << clsid;
  EXPECT_EQ(ReadDword(HKEY_CLASSES_ROOT, kTypeLibKey, L"RefCount"), kProcesses * kTimes);

  const std::vector<const char *> unregistering(kProcesses, "DllUnregisterServer");
  ASSERT_EQ(RunConcurrently(unregistering, kTimes), 0);
  for (const wchar_t *clsid : kClsids)
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, std::wstring(L"CLSID\\") + clsid), L"<missing>");
  EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, L"Quillon.TallowickIE.1"), L"<missing>");
  EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, L"TypeLib\\{2F4F997F-2324-49AA-B6FD-C25627BB2C7D}"),
            L"<missing>");
}

TEST_F(KitModuleTest, RegistersTheBareFileNameFromAnyFolder) {
  WCHAR self[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  auto source = std::filesystem::path(std::wstring(self, n)).parent_path() / kKitModule;
  auto copy = folder_ / "elsewhere" / kKitModule;
  std::filesystem::create_directories(copy.parent_path());
  std::filesystem::copy_file(source, copy);
  ASSERT_EQ(CallEntry(copy.wstring().c_str(), "DllRegisterServer"), S_OK);
  EXPECT_EQ(
      ReadString(HKEY_CLASSES_ROOT, std::wstring(L"CLSID\\") + kClsids[0] + L"\\InprocServer32"),
      kKitModule);
  EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kTypeLibKey), kKitModule);
  EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT,
                       std::wstring(L"CLSID\\") + kClsids[0] + L"\\InprocServer32",
                       L"ThreadingModel"),
            L"Apartment");
}

// A kits manager that keeps what the kit hands over; the callback registrar
// is optional.
class FakeKitsManager final : public IWIKitRegistrar, public IWICallbackerRegistrar {
public:
  explicit FakeKitsManager(bool offersCallbacks) : offersCallbacks_(offersCallbacks) {}
  ~FakeKitsManager() { Reset(); }
  void Reset() {
    for (IUnknown **slot : {&factory, &handler, &callbacker}) {
      if (*slot != nullptr)
        (*slot)->Release();
      *slot = nullptr;
    }
  }

  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    *ppv = nullptr;
    if (riid == IID_IUnknown || riid == IID_IWIKitRegistrar) {
      *ppv = static_cast<IWIKitRegistrar *>(this);
    } else if (riid == IID_IWICallbackerRegistrar && offersCallbacks_) {
      *ppv = static_cast<IWICallbackerRegistrar *>(this);
    } else {
      return E_NOINTERFACE;
    }
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP RegisterKit(IUnknown *, LONG) override { return E_UNEXPECTED; }
  STDMETHODIMP RegisterKitFactory(IWIKitFactoryEx *object, LONG flags) override {
    factoryFlags = flags;
    return Keep(&factory, object);
  }
  STDMETHODIMP RegisterRequestsHandler(IWIKitRequestsHandler2 *object, LONG flags) override {
    handlerFlags = flags;
    return Keep(&handler, object);
  }
  STDMETHODIMP RegisterCallbacker(IWICallbacker *object) override {
    return Keep(&callbacker, object);
  }
  STDMETHODIMP InvokeHostCallback(BSTR, VARIANT, VARIANT *, LONG) override { return S_FALSE; }

  IUnknown *factory = nullptr;
  IUnknown *handler = nullptr;
  IUnknown *callbacker = nullptr;
  LONG factoryFlags = 0;
  LONG handlerFlags = 0;

private:
  static HRESULT Keep(IUnknown **slot, IUnknown *object) {
    object->AddRef();
    if (*slot != nullptr)
      (*slot)->Release();
    *slot = object;
    return S_OK;
  }
  bool offersCallbacks_;
};

class KitObjectTest : public KitModuleTest {
protected:
  void SetUp() override {
    KitModuleTest::SetUp();
    ASSERT_EQ(CallEntry(kKitModule, "DllRegisterServer"), S_OK);
  }
  static IWIKit *CreateKit() {
    IWIKit *kit = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_TallowickIE, nullptr, CLSCTX_INPROC_SERVER, IID_IWIKit,
                               reinterpret_cast<void **>(&kit)),
              S_OK);
    return kit;
  }
  static HRESULT CanUnloadNow() {
    HMODULE module = GetModuleHandleW(kKitModule);
    if (module == nullptr)
      return S_OK;
    return Export<HRESULT (*)()>(module, "DllCanUnloadNow")();
  }
};

TEST_F(KitObjectTest, AnswersItsIdAndName) {
  IWIKit *kit = CreateKit();
  ASSERT_NE(kit, nullptr);
  LONG id = 0;
  EXPECT_EQ(kit->GetKitID(&id), S_OK);
  EXPECT_EQ(id, 4);
  EXPECT_EQ(kit->GetKitID(nullptr), E_POINTER);
  BSTR name = nullptr;
  EXPECT_EQ(kit->GetKitName(&name), S_OK);
  EXPECT_STREQ(name, L"Tallowick for IE");
  SysFreeString(name);
  EXPECT_EQ(kit->GetKitName(nullptr), E_POINTER);
  IWIKit2 *kit2 = nullptr;
  ASSERT_EQ(kit->QueryInterface(IID_IWIKit2, reinterpret_cast<void **>(&kit2)), S_OK);
  EXPECT_EQ(kit2->Terminate(), S_OK);
  kit2->Release();
  EXPECT_EQ(CanUnloadNow(), S_FALSE);
  kit->Release();
  EXPECT_EQ(CanUnloadNow(), S_OK);
}

TEST_F(KitObjectTest, InitializeHandsTheWorkingObjectsToTheKitsManager) {
  IWIKit *kit = CreateKit();
  ASSERT_NE(kit, nullptr);
  EXPECT_EQ(kit->Initialize(nullptr), S_OK); // no agent services, no manager: still S_OK

  FakeKitsManager manager(true);
  EXPECT_EQ(kit->Initialize(static_cast<IWIKitRegistrar *>(&manager)), S_OK);
  ASSERT_NE(manager.factory, nullptr);
  ASSERT_NE(manager.handler, nullptr);
  ASSERT_NE(manager.callbacker, nullptr);
  EXPECT_EQ(manager.factoryFlags, 1);
  EXPECT_EQ(manager.handlerFlags, 1);

  // The factory is its own object; its second interface is not offered.
  IUnknown *unknown = nullptr;
  EXPECT_EQ(
      manager.factory->QueryInterface(IID_IWIKitFactoryEx2, reinterpret_cast<void **>(&unknown)),
      E_NOINTERFACE);
  EXPECT_EQ(manager.factory->QueryInterface(IID_IWIKit, reinterpret_cast<void **>(&unknown)),
            E_NOINTERFACE);

  FakeKitsManager withoutCallbacks(false);
  EXPECT_EQ(kit->Initialize(static_cast<IWIKitRegistrar *>(&withoutCallbacks)), S_OK);
  EXPECT_NE(withoutCallbacks.factory, nullptr);
  EXPECT_NE(withoutCallbacks.handler, nullptr);
  EXPECT_EQ(withoutCallbacks.callbacker, nullptr);

  kit->Release();
  EXPECT_EQ(CanUnloadNow(), S_FALSE); // the managers still hold the kit's objects
  manager.Reset();
  withoutCallbacks.Reset();
  EXPECT_EQ(CanUnloadNow(), S_OK);
}

TEST_F(KitObjectTest, WorkingObjectsAnswerNoneUntilRecognitionExists) {
  IWIKitFactoryEx *factory = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_TallowickFactoryIE, nullptr, CLSCTX_INPROC_SERVER,
                             IID_IWIKitFactoryEx, reinterpret_cast<void **>(&factory)),
            S_OK);
  IWebObj2 *ao = reinterpret_cast<IWebObj2 *>(0x1);
  IUnknown *element = factory; // any object stands for an element here
  IWebObj2 *parent = reinterpret_cast<IWebObj2 *>(factory);
  EXPECT_EQ(factory->NewAO(element, parent, &ao), S_FALSE);
  EXPECT_EQ(ao, nullptr);
  EXPECT_EQ(factory->NewAO(nullptr, parent, &ao), E_POINTER);
  EXPECT_EQ(factory->IsAOSpyable(nullptr, 0), E_NOTIMPL);
  VARIANT data;
  VariantInit(&data);
  EXPECT_EQ(factory->GetRecordAO(element, data, parent, &ao), E_FAIL);
  data.vt = VT_I4;
  EXPECT_EQ(factory->GetRecordAO(element, data, parent, &ao), E_INVALIDARG);
  factory->Release();

  IWIKitRequestsHandler2 *handler = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_TallowickRequestsHandlerIE, nullptr, CLSCTX_INPROC_SERVER,
                             IID_IWIKitRequestsHandler2, reinterpret_cast<void **>(&handler)),
            S_OK);
  EXPECT_EQ(handler->ProcessRequest(static_cast<WEB_MSG_TYPE>(1025), nullptr), S_OK);
  EXPECT_EQ(handler->ProcessRequest(QUERY_ATTR, nullptr), S_FALSE);
  handler->Release();

  IWICallbacker *callbacker = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_TallowickCallbackerIE, nullptr, CLSCTX_INPROC_SERVER,
                             IID_IWICallbacker, reinterpret_cast<void **>(&callbacker)),
            S_OK);
  BSTR name = SysAllocString(L"NoSuchExitPoint");
  VARIANT output;
  VariantInit(&output);
  EXPECT_EQ(callbacker->InvokeCallback(name, data, &output), E_NOTIMPL);
  WI_PRIORITY priority{};
  EXPECT_EQ(callbacker->GetCallbackPriority(name, &priority), E_NOTIMPL);
  EXPECT_EQ(callbacker->GetCallbackPriority(name, nullptr), E_POINTER);
  SysFreeString(name);
  SAFEARRAY *names = nullptr;
  ASSERT_EQ(callbacker->GetSupportedCallbacks(&names), S_OK);
  EXPECT_EQ(SafeArrayGetDim(names), 2u);
  SafeArrayDestroy(names);
  callbacker->Release();
  EXPECT_EQ(CanUnloadNow(), S_OK);
}

TEST_F(KitObjectTest, KitObjectCanBeAggregated) {
  struct Outer final : IUnknown {
    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
      if (riid == IID_IUnknown) {
        *ppv = this;
        return S_OK;
      }
      return inner->QueryInterface(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    ULONG refs = 1;
    IUnknown *inner = nullptr;
  } outer;
  IWIKit *kit = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_TallowickIE, &outer, CLSCTX_INPROC_SERVER, IID_IWIKit,
                             reinterpret_cast<void **>(&kit)),
            CLASS_E_NOAGGREGATION);
  ASSERT_EQ(CoCreateInstance(CLSID_TallowickIE, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void **>(&outer.inner)),
            S_OK);
  ASSERT_EQ(outer.QueryInterface(IID_IWIKit, reinterpret_cast<void **>(&kit)), S_OK);
  EXPECT_EQ(outer.refs, 2u);
  IUnknown *identity = nullptr;
  kit->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(&identity));
  EXPECT_EQ(identity, &outer);
  kit->Release();
  EXPECT_EQ(outer.inner->Release(), 0u);
  EXPECT_EQ(CanUnloadNow(), S_OK);
}

} // namespace
