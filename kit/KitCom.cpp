#include "kit/KitCom.h"

namespace KitModule {
namespace {

LONG g_locks = 0;
HINSTANCE g_instance = nullptr;
constexpr DWORD kPathChars = 260;

} // namespace

void Lock() { InterlockedIncrement(&g_locks); }
void Unlock() { InterlockedDecrement(&g_locks); }
LONG LockCount() { return g_locks; }
HINSTANCE Instance() { return g_instance; }
void SetInstance(HINSTANCE instance) { g_instance = instance; }

std::wstring FullPath() {
  WCHAR path[kPathChars] = {};
  DWORD length = GetModuleFileNameW(g_instance, path, kPathChars);
  if (length >= kPathChars)
    length = kPathChars - 1;
  return std::wstring(path, length);
}

std::wstring FileName() {
  std::wstring path = FullPath();
  size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

} // namespace KitModule

STDMETHODIMP CKitComRoot::CInner::QueryInterface(REFIID riid, void **ppv) {
  if (ppv == nullptr)
    return E_POINTER;
  *ppv = nullptr;
  if (riid == IID_IUnknown) {
    *ppv = static_cast<IUnknown *>(this);
    AddRef();
    return S_OK;
  }
  void *itf = owner_->GetInterface(riid);
  if (itf == nullptr)
    return E_NOINTERFACE;
  *ppv = itf;
  static_cast<IUnknown *>(itf)->AddRef(); // goes to the outer unknown
  return S_OK;
}

STDMETHODIMP_(ULONG) CKitComRoot::CInner::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&refs_));
}

STDMETHODIMP_(ULONG) CKitComRoot::CInner::Release() {
  LONG left = InterlockedDecrement(&refs_);
  if (left == 0)
    delete owner_;
  return static_cast<ULONG>(left);
}

STDMETHODIMP CKitClassFactory::QueryInterface(REFIID riid, void **ppv) {
  if (ppv == nullptr)
    return E_POINTER;
  *ppv = nullptr;
  if (riid != IID_IUnknown && riid != IID_IClassFactory)
    return E_NOINTERFACE;
  *ppv = static_cast<IClassFactory *>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CKitClassFactory::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&refs_));
}

STDMETHODIMP_(ULONG) CKitClassFactory::Release() {
  LONG left = InterlockedDecrement(&refs_);
  if (left == 0)
    delete this;
  return static_cast<ULONG>(left);
}

STDMETHODIMP CKitClassFactory::CreateInstance(IUnknown *outer, REFIID riid, void **ppv) {
  if (ppv == nullptr)
    return E_POINTER;
  *ppv = nullptr;
  try {
    return creator_(outer, riid, ppv);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

STDMETHODIMP CKitClassFactory::LockServer(BOOL lock) {
  if (lock)
    KitModule::Lock();
  else
    KitModule::Unlock();
  return S_OK;
}
