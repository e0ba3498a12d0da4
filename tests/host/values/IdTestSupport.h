// Test helpers for the id objects: a held reference, BSTR and VARIANT
// holders, and an IUnknown that counts its references.
#pragma once

#include "CountingUnknown.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/ComObject.h"
#include "module/HostClasses.h"
#include "values/IdCommon.h"

namespace host::test {

template <class I> HeldRef<I> Make(HRESULT (*create)(IUnknown *, REFIID, void **)) {
  HeldRef<I> object;
  EXPECT_EQ(S_OK, create(nullptr, __uuidof(I), reinterpret_cast<void **>(object.Out())));
  return object;
}

struct Bstr {
  explicit Bstr(const wchar_t *text) : value(SysAllocString(text)) {}
  explicit Bstr(const std::wstring &text)
      : value(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  Bstr() = default;
  Bstr(const Bstr &) = delete;
  ~Bstr() { SysFreeString(value); }
  BSTR *Out() {
    SysFreeString(value);
    value = nullptr;
    return &value;
  }
  std::wstring Text() const { return std::wstring(value, SysStringLen(value)); }
  BSTR value = nullptr;
};

struct Variant {
  Variant() { VariantInit(&value); }
  Variant(const Variant &) = delete;
  ~Variant() { VariantClear(&value); }
  VARIANT value;
};

} // namespace host::test
