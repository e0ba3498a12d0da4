// Small helpers shared by the value objects: an owning interface pointer, an
// owning VARIANT and an exception barrier for COM methods.
#pragma once

#include <windows.h>

#include <new>
#include <utility>

#include "TallowickIE_h.h"

namespace host {

// Holds one reference to an interface.
template <class T> class ComPtr {
public:
  ComPtr() = default;
  explicit ComPtr(T *p) : p_(p) {
    if (p_ != nullptr)
      p_->AddRef();
  }
  ComPtr(const ComPtr &other) : ComPtr(other.p_) {}
  ComPtr(ComPtr &&other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr &operator=(ComPtr other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }
  ~ComPtr() { Reset(); }

  void Reset() {
    if (p_ != nullptr)
      std::exchange(p_, nullptr)->Release();
  }
  // The address for an out-parameter; what was held is released first.
  T **Out() {
    Reset();
    return &p_;
  }
  T *Get() const { return p_; }
  T *operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // Hands the reference over to the caller.
  T *Detach() { return std::exchange(p_, nullptr); }
  // Writes a new reference to an out-pointer.
  void CopyTo(T **out) const {
    *out = p_;
    if (p_ != nullptr)
      p_->AddRef();
  }

private:
  T *p_ = nullptr;
};

// Queries `from` for I; an empty pointer when it does not answer.
template <class I> ComPtr<I> QueryAs(IUnknown *from) {
  ComPtr<I> result;
  if (from != nullptr &&
      FAILED(from->QueryInterface(__uuidof(I), reinterpret_cast<void **>(result.Out()))))
    result.Reset();
  return result;
}

// A VARIANT that clears itself.
class VariantHolder {
public:
  VariantHolder() { VariantInit(&v_); }
  VariantHolder(const VariantHolder &) = delete;
  VariantHolder &operator=(const VariantHolder &) = delete;
  ~VariantHolder() { VariantClear(&v_); }
  VARIANT *Ptr() { return &v_; }
  VARIANT &operator*() { return v_; }
  VARIANT *operator->() { return &v_; }
  // Moves the value into *out (which must be uninitialised or cleared).
  void Detach(VARIANT *out) {
    *out = v_;
    VariantInit(&v_);
  }

private:
  VARIANT v_;
};

// Runs a method body, turning C++ exceptions into HRESULTs.
template <class F> HRESULT Guarded(F &&body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc &) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

inline bool IsKnownType(WEB_AV_TYPE type) {
  return type >= WEB_AV_EMPTY && type <= WEB_AV_PACKABLE;
}

// Makes a new value object of the host's own classes.
HRESULT NewWebVariant(ComPtr<IWebVariant> &out);
HRESULT NewWebAttrVal(ComPtr<IWebAttrVal> &out);
// A new IWebVariant holding a copy of `source`.
HRESULT CopyWebVariant(IWebVariant *source, ComPtr<IWebVariant> &out);
// A new IWebAttrVal holding a copy of `source`.
HRESULT CopyWebAttrVal(IWebAttrVal *source, ComPtr<IWebAttrVal> &out);
// New runtime and event ids of the host's classes holding a copy of `source`.
HRESULT CopyWebRunTimeID(IWebRunTimeID *source, ComPtr<IWebRunTimeID> &out);
HRESULT CopyWebEventID(IWebEventID *source, ComPtr<IWebEventID> &out);

} // namespace host
