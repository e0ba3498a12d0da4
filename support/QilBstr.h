// Owning BSTR wrapper.
#pragma once

#include <windows.h>

#include <memory>

class CQilBstr {
public:
  CQilBstr() = default;
  CQilBstr(LPCOLESTR text) : s_(SysAllocString(text)) {} // NOLINT: implicit from literals
  CQilBstr(LPCOLESTR text, UINT length) : s_(SysAllocStringLen(text, length)) {}
  CQilBstr(const CQilBstr &other) : s_(other.Copy()) {}
  CQilBstr(CQilBstr &&other) noexcept : s_(other.s_) { other.s_ = nullptr; }
  ~CQilBstr() { SysFreeString(s_); }

  CQilBstr &operator=(const CQilBstr &other) {
    if (this != std::addressof(other))
      Attach(other.Copy());
    return *this;
  }
  CQilBstr &operator=(CQilBstr &&other) noexcept {
    if (this != std::addressof(other))
      Attach(other.Detach());
    return *this;
  }
  CQilBstr &operator=(LPCOLESTR text) {
    Attach(SysAllocString(text));
    return *this;
  }

  operator BSTR() const { return s_; }
  BSTR Get() const { return s_; }
  // Frees what is held and hands out the slot for an out-parameter.
  BSTR *operator&() {
    Empty();
    return &s_;
  }
  UINT Length() const { return SysStringLen(s_); }
  bool IsEmpty() const { return Length() == 0; }
  // Never null: an empty string for a null BSTR.
  LPCOLESTR Text() const { return s_ != nullptr ? s_ : L""; }

  void Empty() {
    SysFreeString(s_);
    s_ = nullptr;
  }
  void Attach(BSTR s) {
    if (s == s_)
      return;
    SysFreeString(s_);
    s_ = s;
  }
  BSTR Detach() {
    BSTR s = s_;
    s_ = nullptr;
    return s;
  }
  BSTR Copy() const { return s_ != nullptr ? SysAllocStringLen(s_, SysStringLen(s_)) : nullptr; }
  HRESULT CopyTo(BSTR *out) const {
    if (out == nullptr)
      return E_POINTER;
    *out = Copy();
    return (*out == nullptr && s_ != nullptr) ? E_OUTOFMEMORY : S_OK;
  }
  HRESULT Append(LPCOLESTR text, UINT length) {
    UINT current = Length();
    BSTR joined = SysAllocStringLen(nullptr, current + length);
    if (joined == nullptr)
      return E_OUTOFMEMORY;
    for (UINT i = 0; i < current; ++i)
      joined[i] = s_[i];
    for (UINT i = 0; i < length; ++i)
      joined[current + i] = text[i];
    Attach(joined);
    return S_OK;
  }
  HRESULT Append(LPCOLESTR text) { return Append(text, text != nullptr ? lstrlenW(text) : 0); }

private:
  BSTR s_ = nullptr;
};
