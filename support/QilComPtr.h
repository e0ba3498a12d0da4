// Owning smart pointer for COM interfaces: AddRef on copy, Release on drop.
#pragma once

#include <windows.h>

#include <memory>

template <class T> class CQilComPtr {
public:
  CQilComPtr() = default;
  CQilComPtr(T *p) : p_(p) { // NOLINT: implicit, as interface pointers are passed around
    if (p_ != nullptr)
      p_->AddRef();
  }
  CQilComPtr(const CQilComPtr &other) : CQilComPtr(other.p_) {}
  CQilComPtr(CQilComPtr &&other) noexcept : p_(other.p_) { other.p_ = nullptr; }
  ~CQilComPtr() { Release(); }

  CQilComPtr &operator=(T *p) {
    if (p != nullptr)
      p->AddRef();
    Release();
    p_ = p;
    return *this;
  }
  CQilComPtr &operator=(const CQilComPtr &other) { return *this = other.p_; }
  CQilComPtr &operator=(CQilComPtr &&other) noexcept {
    if (this != std::addressof(other)) {
      Release();
      p_ = other.p_;
      other.p_ = nullptr;
    }
    return *this;
  }

  // Releases what is held and hands out the slot for an out-parameter.
  T **operator&() {
    Release();
    return &p_;
  }
  T *operator->() const { return p_; }
  operator T *() const { return p_; }
  T *Get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

  void Release() {
    T *p = p_;
    p_ = nullptr;
    if (p != nullptr)
      p->Release();
  }
  // Takes over a reference the caller already owns.
  void Attach(T *p) {
    Release();
    p_ = p;
  }
  T *Detach() {
    T *p = p_;
    p_ = nullptr;
    return p;
  }
  // Hands a new reference to an out-parameter.
  HRESULT CopyTo(T **out) const {
    if (out == nullptr)
      return E_POINTER;
    *out = p_;
    if (p_ != nullptr)
      p_->AddRef();
    return S_OK;
  }
  // Queries what is held for another interface; empty on failure.
  template <class Q> HRESULT QueryInterface(Q **out) const {
    if (out == nullptr)
      return E_POINTER;
    *out = nullptr;
    if (p_ == nullptr)
      return E_NOINTERFACE;
    return p_->QueryInterface(__uuidof(Q), reinterpret_cast<void **>(out));
  }
  // Replaces what is held by `source` queried for T; empty on failure.
  HRESULT QueryFrom(IUnknown *source) {
    Release();
    if (source == nullptr)
      return E_NOINTERFACE;
    return source->QueryInterface(__uuidof(T), reinterpret_cast<void **>(&p_));
  }
  // Whether two pointers reach the same object (IUnknown identity).
  bool IsSameObject(IUnknown *other) const {
    if (p_ == nullptr || other == nullptr)
      return p_ == nullptr && other == nullptr;
    CQilComPtr<IUnknown> a;
    CQilComPtr<IUnknown> b;
    p_->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(&a));
    other->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(&b));
    return a.Get() == b.Get();
  }

private:
  T *p_ = nullptr;
};
