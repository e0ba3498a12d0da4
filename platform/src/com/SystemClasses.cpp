// The built-in class table and the class factory its entries share.
#include "com/SystemClasses.h"

#include "tallowick/Strings.h"
#include "regexp/RegExpInternal.h"
#include "xml/XmlDocument.h"

#include <atomic>
#include <new>

namespace tallowick::platform {
namespace {

using CreateProc = HRESULT (*)(IUnknown *outer, REFIID riid, void **ppv);

struct SystemClass {
  const wchar_t *progId;
  const CLSID *clsid;
  CreateProc create;
};

const SystemClass kClasses[] = {
    {L"VBScript.RegExp", &CLSID_RegExp, &regexp::CreateRegExp},
    {L"Msxml2.DOMDocument", &CLSID_DOMDocument, &xml::CreateDomDocument},
    {L"Msxml2.DOMDocument.3.0", &CLSID_DOMDocument, &xml::CreateDomDocument},
};

const SystemClass *FindByClsid(REFCLSID clsid) {
  for (const SystemClass &entry : kClasses)
    if (*entry.clsid == clsid)
      return &entry;
  return nullptr;
}

class CSystemClassFactory final : public IClassFactory {
public:
  explicit CSystemClassFactory(CreateProc create) : create_(create) {}

  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (ppv == nullptr)
      return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *ppv = static_cast<IClassFactory *>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override {
    ULONG left = --refs_;
    if (left == 0)
      delete this;
    return left;
  }
  STDMETHODIMP CreateInstance(IUnknown *outer, REFIID riid, void **ppv) override {
    return create_(outer, riid, ppv);
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; } // the platform never unloads

private:
  ~CSystemClassFactory() = default;

  std::atomic<ULONG> refs_{1};
  CreateProc create_;
};

} // namespace

bool FindSystemClassId(LPCOLESTR progId, CLSID &clsid) {
  if (progId == nullptr)
    return false;
  for (const SystemClass &entry : kClasses) {
    if (EqualsNoCase(progId, entry.progId)) {
      clsid = *entry.clsid;
      return true;
    }
  }
  return false;
}

HRESULT GetSystemClassObject(REFCLSID clsid, REFIID riid, void **ppv) {
  if (ppv == nullptr)
    return E_POINTER;
  *ppv = nullptr;
  const SystemClass *entry = FindByClsid(clsid);
  if (entry == nullptr)
    return REGDB_E_CLASSNOTREG;
  auto *factory = new (std::nothrow) CSystemClassFactory(entry->create);
  if (factory == nullptr)
    return E_OUTOFMEMORY;
  HRESULT hr = factory->QueryInterface(riid, ppv);
  factory->Release();
  return hr;
}

} // namespace tallowick::platform
