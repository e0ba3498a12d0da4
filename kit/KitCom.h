// The kit's COM plumbing: the module (lock count, instance handle), the
// object root that every coclass derives from (reference counting with
// aggregation), and the class factory.
#pragma once

#include <windows.h>

#include <new>
#include <string>

namespace KitModule {

void Lock();
void Unlock();
LONG LockCount();
HINSTANCE Instance();
void SetInstance(HINSTANCE instance);
// The module's own file name without its folder ("RELATIVE_PATH").
std::wstring FileName();
// The module's full path.
std::wstring FullPath();

} // namespace KitModule

// The single-threaded object root: an inner (non-delegating) unknown that
// owns the reference count and gives the object's identity, and an outer
// unknown that the object's interfaces delegate to — the inner one unless the
// object is aggregated. Each live object holds a module lock.
class CKitComRoot {
public:
  CKitComRoot() : inner_(this), outer_(&inner_) { KitModule::Lock(); }
  CKitComRoot(const CKitComRoot &) = delete;
  CKitComRoot &operator=(const CKitComRoot &) = delete;
  virtual ~CKitComRoot() { KitModule::Unlock(); }

  void SetOuter(IUnknown *outer) { outer_ = outer != nullptr ? outer : &inner_; }
  IUnknown *NonDelegatingUnknown() { return &inner_; }

protected:
  // The object's interface for riid (not IUnknown), or null.
  virtual void *GetInterface(REFIID riid) = 0;

  HRESULT OuterQueryInterface(REFIID riid, void **ppv) { return outer_->QueryInterface(riid, ppv); }
  ULONG OuterAddRef() { return outer_->AddRef(); }
  ULONG OuterRelease() { return outer_->Release(); }

private:
  class CInner final : public IUnknown {
  public:
    explicit CInner(CKitComRoot *owner) : owner_(owner) {}
    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

  private:
    CKitComRoot *owner_;
    LONG refs_ = 0;
  };

  CInner inner_;
  IUnknown *outer_;
};

// IUnknown of a coclass's interfaces: everything goes to the outer unknown.
#define KIT_DELEGATING_IUNKNOWN                                                                    \
  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {                                  \
    return OuterQueryInterface(riid, ppv);                                                         \
  }                                                                                                \
  STDMETHODIMP_(ULONG) AddRef() override { return OuterAddRef(); }                                 \
  STDMETHODIMP_(ULONG) Release() override { return OuterRelease(); }

// Makes a T (a CKitComRoot), aggregated by `outer` when given, and queries it.
template <class T> HRESULT CreateKitObject(IUnknown *outer, REFIID riid, void **ppv) {
  if (ppv == nullptr)
    return E_POINTER;
  *ppv = nullptr;
  if (outer != nullptr && riid != IID_IUnknown)
    return CLASS_E_NOAGGREGATION;
  T *object = new (std::nothrow) T;
  if (object == nullptr)
    return E_OUTOFMEMORY;
  object->SetOuter(outer);
  IUnknown *inner = object->NonDelegatingUnknown();
  inner->AddRef();
  HRESULT hr = inner->QueryInterface(riid, ppv);
  inner->Release();
  return hr;
}

using KitCreator = HRESULT (*)(IUnknown *outer, REFIID riid, void **ppv);

// The class factory of one coclass. Server locks count in the module lock;
// the factory itself does not keep the module loaded.
class CKitClassFactory final : public IClassFactory {
public:
  explicit CKitClassFactory(KitCreator creator) : creator_(creator) {}
  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP CreateInstance(IUnknown *outer, REFIID riid, void **ppv) override;
  STDMETHODIMP LockServer(BOOL lock) override;

private:
  KitCreator creator_;
  LONG refs_ = 0;
};
