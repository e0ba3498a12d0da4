// A small in-process server for the COM runtime's tests: one aggregatable
// class with a counter interface, registration, and a type library.
#include "TestServer.h"

#include <string>

namespace {

HINSTANCE g_module = nullptr;
LONG g_locks = 0;

class Counter final : public ITestCounter {
public:
  explicit Counter(IUnknown *outer) : outer_(outer != nullptr ? outer : &inner_) {
    inner_.owner = this;
    InterlockedIncrement(&g_locks);
  }
  ~Counter() { InterlockedDecrement(&g_locks); }

  IUnknown *NonDelegating() { return &inner_; }

  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    return outer_->QueryInterface(riid, ppv);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return outer_->AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return outer_->Release(); }
  STDMETHODIMP Add(LONG amount) override {
    value_ += amount;
    return S_OK;
  }
  STDMETHODIMP Get(LONG *value) override {
    if (value == nullptr)
      return E_POINTER;
    *value = value_;
    return S_OK;
  }

private:
  // The non-delegating unknown: the object's identity when aggregated.
  struct Inner final : IUnknown {
    Counter *owner = nullptr;
    LONG refs = 1;
    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
      if (ppv == nullptr)
        return E_POINTER;
      *ppv = nullptr;
      if (riid == IID_IUnknown) {
        *ppv = static_cast<IUnknown *>(this);
      } else if (riid == __uuidof(ITestCounter)) {
        *ppv = static_cast<ITestCounter *>(owner);
      } else {
        return E_NOINTERFACE;
      }
      static_cast<IUnknown *>(*ppv)->AddRef();
      return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs); }
    STDMETHODIMP_(ULONG) Release() override {
      LONG left = InterlockedDecrement(&refs);
      if (left == 0)
        delete owner;
      return static_cast<ULONG>(left);
    }
  };

  Inner inner_;
  IUnknown *outer_;
  LONG value_ = 0;
};

class Factory final : public IClassFactory {
public:
  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (ppv == nullptr)
      return E_POINTER;
    if (riid != IID_IUnknown && riid != IID_IClassFactory) {
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
    *ppv = static_cast<IClassFactory *>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown *outer, REFIID riid, void **ppv) override {
    if (ppv == nullptr)
      return E_POINTER;
    *ppv = nullptr;
    if (outer != nullptr && riid != IID_IUnknown)
      return CLASS_E_NOAGGREGATION;
    auto *counter = new Counter(outer);
    HRESULT hr = counter->NonDelegating()->QueryInterface(riid, ppv);
    counter->NonDelegating()->Release();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    if (lock)
      InterlockedIncrement(&g_locks);
    else
      InterlockedDecrement(&g_locks);
    return S_OK;
  }
};

Factory g_factory;

std::wstring ModuleFileName() {
  WCHAR path[MAX_PATH];
  DWORD n = GetModuleFileNameW(g_module, path, MAX_PATH);
  std::wstring full(path, n);
  size_t slash = full.find_last_of(L"/\\");
  return slash == std::wstring::npos ? full : full.substr(slash + 1);
}

LONG SetDefault(const std::wstring &path, const std::wstring &value, LPCWSTR name = nullptr) {
  HKEY key = nullptr;
  LONG rc = RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr);
  if (rc != ERROR_SUCCESS)
    return rc;
  rc = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                      static_cast<DWORD>((value.size() + 1) * sizeof(WCHAR)));
  RegCloseKey(key);
  return rc;
}

std::wstring ClsidText() {
  WCHAR text[40];
  StringFromGUID2(CLSID_TestCounter, text, 40);
  return text;
}

const TALLOWICK_TYPEINFO_DESC kTypes[] = {
    {TKIND_COCLASS, CLSID_TestCounter, L"TestCounter", L"TestCounter Class"},
    {TKIND_INTERFACE, __uuidof(ITestCounter), L"ITestCounter", L"Counter interface"},
};
const TALLOWICK_TYPELIB_DESC kTypeLib = {{LIBID_TestServer, 0, SYS_WIN32, 1, 0, 0},
                                         L"TestServerLib",
                                         L"TestServer 1.0 Type Library",
                                         2,
                                         kTypes};

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE hinst, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH)
    g_module = hinst;
  return TRUE;
}

STDAPI DllCanUnloadNow(void) { return g_locks == 0 ? S_OK : S_FALSE; }

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID *ppv) {
  if (ppv == nullptr)
    return E_POINTER;
  *ppv = nullptr;
  if (rclsid != CLSID_TestCounter)
    return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(riid, ppv);
}

STDAPI DllRegisterServer(void) {
  std::wstring clsid = L"CLSID\\" + ClsidText();
  LONG rc = SetDefault(clsid, L"TestCounter Class");
  if (rc == ERROR_SUCCESS)
    rc = SetDefault(clsid + L"\\InprocServer32", ModuleFileName());
  if (rc == ERROR_SUCCESS)
    rc = SetDefault(clsid + L"\\InprocServer32", L"Apartment", L"ThreadingModel");
  if (rc == ERROR_SUCCESS)
    rc = SetDefault(clsid + L"\\ProgID", kTestCounterProgID);
  if (rc == ERROR_SUCCESS)
    rc = SetDefault(std::wstring(kTestCounterProgID) + L"\\CLSID", ClsidText());
  if (rc == ERROR_SUCCESS)
    rc = SetDefault(std::wstring(kTestCounterIndependentProgID) + L"\\CLSID", ClsidText());
  return rc == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
}

STDAPI DllUnregisterServer(void) {
  std::wstring clsid = L"CLSID\\" + ClsidText();
  RegDeleteTreeW(HKEY_CLASSES_ROOT, clsid.c_str());
  RegDeleteTreeW(HKEY_CLASSES_ROOT, kTestCounterProgID);
  RegDeleteTreeW(HKEY_CLASSES_ROOT, kTestCounterIndependentProgID);
  return S_OK;
}

extern "C" const TALLOWICK_TYPELIB_DESC *TallowickTypeLib(void) { return &kTypeLib; }

extern "C" HINSTANCE TestServerModuleHandle(void) { return g_module; }
