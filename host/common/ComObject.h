// Reference counting, module lock and QueryInterface for the host's objects.
#pragma once

#include <windows.h>

#include <new>
#include <string>

namespace host {

// The module's lock count: live objects plus server locks.
void LockModule();
void UnlockModule();
LONG ModuleLockCount();

// A host object implementing the interfaces Is... (the first one answers
// IUnknown). Derived classes add interfaces beyond those by overriding
// QueryOther.
template <class... Is> class CHostObject : public Is... {
public:
  CHostObject() { LockModule(); }
  CHostObject(const CHostObject &) = delete;
  CHostObject &operator=(const CHostObject &) = delete;
  virtual ~CHostObject() { UnlockModule(); }

  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown) {
      *ppv = static_cast<First<Is...> *>(this);
    } else if (!(Match<Is>(riid, ppv) || ...)) {
      // What QueryOther answers gets its reference here, as the others do.
      HRESULT hr = QueryOther(riid, ppv);
      if (FAILED(hr)) {
        *ppv = nullptr;
        return hr;
      }
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  STDMETHODIMP_(ULONG) Release() override {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

protected:
  // Answers further interfaces; the caller AddRefs what is put into *ppv.
  virtual HRESULT QueryOther(REFIID, void **) { return E_NOINTERFACE; }

private:
  template <class F, class...> struct FirstOf {
    using type = F;
  };
  template <class... Js> using First = typename FirstOf<Js...>::type;
  template <class I> bool Match(REFIID riid, void **ppv) {
    if (riid != __uuidof(I)) return false;
    *ppv = static_cast<I *>(this);
    return true;
  }
  LONG refs_ = 1;
};

// Makes a T and queries it for riid (non-aggregatable classes).
template <class T, class... Args>
HRESULT CreateObject(IUnknown *outer, REFIID riid, void **ppv, Args &&...args) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  T *object = new (std::nothrow) T(std::forward<Args>(args)...);
  if (object == nullptr) return E_OUTOFMEMORY;
  HRESULT hr = object->QueryInterface(riid, ppv);
  object->Release();
  return hr;
}

// BSTR helpers: a null BSTR is the empty string.
inline std::wstring FromBstr(BSTR text) { return std::wstring(text, SysStringLen(text)); }
inline BSTR ToBstr(const std::wstring &text) {
  return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}
// Writes a new BSTR to an out-pointer.
inline HRESULT PutBstr(const std::wstring &text, BSTR *out) {
  if (out == nullptr) return E_POINTER;
  *out = ToBstr(text);
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

} // namespace host
