// Helpers for the value object tests: creation through the host's creators,
// owning BSTRs and VARIANTs, and a reference-counting probe object.
#pragma once

#include "CountingUnknown.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "TallowickIE_h.h"
#include "module/HostClasses.h"
#include "values/ValueHelpers.h"

namespace host::test {

template <class I> ComPtr<I> Make(HRESULT (*creator)(IUnknown *, REFIID, void **)) {
  ComPtr<I> p;
  EXPECT_EQ(creator(nullptr, __uuidof(I), reinterpret_cast<void **>(p.Out())), S_OK);
  return p;
}
inline ComPtr<IWebVariant> NewVariant() { return Make<IWebVariant>(CreateWebVariant); }
inline ComPtr<IWebAttrVal> NewAttr() { return Make<IWebAttrVal>(CreateWebAttrVal); }
inline ComPtr<IWebInfo> NewInfo() { return Make<IWebInfo>(CreateWebInfo); }

inline ComPtr<IWebRunTimeID> NewRtid(LONG browser, LONG frame, LONG object, LONG type) {
  auto id = Make<IWebRunTimeID>(CreateWebRunTimeID);
  EXPECT_EQ(id->SetIdFromIds(browser, frame, object, type), S_OK);
  return id;
}

// An owning BSTR.
class Bstr {
public:
  Bstr() = default;
  explicit Bstr(const wchar_t *text) : b_(SysAllocString(text)) {}
  Bstr(const Bstr &) = delete;
  Bstr &operator=(const Bstr &) = delete;
  ~Bstr() { SysFreeString(b_); }
  BSTR *Out() {
    SysFreeString(b_);
    b_ = nullptr;
    return &b_;
  }
  operator BSTR() const { return b_; }
  std::wstring Text() const { return std::wstring(b_, SysStringLen(b_)); }

private:
  BSTR b_ = nullptr;
};

inline std::wstring StringOf(IWebVariant *v) {
  Bstr text;
  EXPECT_EQ(v->get_string(text.Out()), S_OK);
  return text.Text();
}

inline WEB_AV_TYPE TypeOf(IWebVariant *v) {
  WEB_AV_TYPE type = WEB_AV_PACKABLE;
  EXPECT_EQ(v->GetType(&type), S_OK);
  return type;
}
inline WEB_AV_TYPE TypeOf(IWebAttrVal *a) {
  WEB_AV_TYPE type = WEB_AV_PACKABLE;
  EXPECT_EQ(a->GetType(&type), S_OK);
  return type;
}

} // namespace host::test
