// An owning interface pointer for the commands, and the texts they print.
#pragma once

#include <windows.h>

#include <string>

#include "tallowick/Strings.h"

namespace tallowick::cli {

template <class T> class Ref {
public:
  Ref() = default;
  explicit Ref(T *p, bool addRef = true) : p_(p) {
    if (p_ && addRef)
      p_->AddRef();
  }
  Ref(const Ref &other) : Ref(other.p_) {}
  Ref(Ref &&other) noexcept : p_(other.p_) { other.p_ = nullptr; }
  Ref &operator=(Ref other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }
  ~Ref() { Reset(); }
  void Reset() {
    if (p_)
      p_->Release();
    p_ = nullptr;
  }
  T **Out() {
    Reset();
    return &p_;
  }
  void **OutVoid() { return reinterpret_cast<void **>(Out()); }
  T *operator->() const { return p_; }
  T *Get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

  template <class Q> Ref<Q> As() const {
    Ref<Q> out;
    if (p_)
      p_->QueryInterface(__uuidof(Q), out.OutVoid());
    return out;
  }

private:
  T *p_ = nullptr;
};

// A BSTR taken over: its UTF-8 text, and the BSTR freed.
inline std::string TakeText(BSTR text) {
  std::string out =
      text ? platform::Narrow(std::wstring_view(text, SysStringLen(text))) : std::string();
  SysFreeString(text);
  return out;
}

// Text in double quotes with ", \ and line feeds escaped.
std::string Quoted(const std::string &text);
// A VARIANT as eval prints it: VT_I4 3, VT_BSTR "x", VT_BOOL true, ...
std::string VariantText(const VARIANT &value);
std::string HresultText(HRESULT hr);

} // namespace tallowick::cli
