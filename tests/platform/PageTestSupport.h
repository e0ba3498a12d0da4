// Helpers for the page engine tests: an owning interface pointer, loading
// pages from markup, and late-bound property reads and calls by name.
#pragma once

#include <windows.h>

#include <mshtml.h>
#include <tallowick/Page.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "OleAutTestSupport.h"

template <class T> class Ptr {
public:
  Ptr() = default;
  Ptr(const Ptr &) = delete;
  Ptr(Ptr &&other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  Ptr &operator=(Ptr &&other) noexcept {
    Reset();
    p_ = std::exchange(other.p_, nullptr);
    return *this;
  }
  ~Ptr() { Reset(); }
  void Reset() {
    if (p_)
      p_->Release();
    p_ = nullptr;
  }
  T **operator&() {
    Reset();
    return &p_;
  }
  T *operator->() const { return p_; }
  T *get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  template <class U> Ptr<U> As() const {
    Ptr<U> out;
    if (p_)
      p_->QueryInterface(__uuidof(U), reinterpret_cast<void **>(&out));
    return out;
  }

private:
  T *p_ = nullptr;
};

inline std::wstring Take(BSTR text) {
  std::wstring out = text ? std::wstring(text, SysStringLen(text)) : L"";
  SysFreeString(text);
  return out;
}

// A BSTR argument that frees itself.
class Bstr {
public:
  explicit Bstr(const wchar_t *text) : b_(SysAllocString(text)) {}
  ~Bstr() { SysFreeString(b_); }
  Bstr(const Bstr &) = delete;
  operator BSTR() const { return b_; }

private:
  BSTR b_;
};

inline Ptr<IHTMLDocument2> LoadHtml(const char *html,
                                    const wchar_t *url = L"http://example.test/app/page.aspx") {
  Ptr<IHTMLDocument2> document;
  EXPECT_EQ(S_OK, tallowick::platform::LoadPageFromString(html, url, &document));
  return document;
}

inline Ptr<IHTMLElement> ById(IHTMLDocument2 *document, const wchar_t *id) {
  Ptr<IHTMLDocument3> document3;
  document->QueryInterface(IID_IHTMLDocument3, reinterpret_cast<void **>(&document3));
  Ptr<IHTMLElement> element;
  if (document3)
    document3->getElementById(Bstr(id), &element);
  return element;
}

inline std::wstring Tag(IHTMLElement *element) {
  BSTR tag = nullptr;
  if (!element || FAILED(element->get_tagName(&tag)))
    return L"<none>";
  return Take(tag);
}

inline std::wstring Id(IDispatch *object) {
  Ptr<IHTMLElement> element;
  if (!object ||
      FAILED(object->QueryInterface(IID_IHTMLElement, reinterpret_cast<void **>(&element))))
    return L"<none>";
  BSTR id = nullptr;
  element->get_id(&id);
  return Take(id);
}

inline LONG Length(IHTMLElementCollection *collection) {
  LONG length = -1;
  if (collection)
    collection->get_length(&length);
  return length;
}

inline HRESULT Invoke(IDispatch *object, const wchar_t *name, WORD flags,
                      std::initializer_list<VARIANT> args, VARIANT *result) {
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
  if (FAILED(hr))
    return hr;
  VARIANT reversed[8];
  UINT count = 0;
  for (auto it = args.end(); it != args.begin();)
    reversed[count++] = *--it;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params = {reversed, nullptr, count, 0};
  if (flags & DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &named;
    params.cNamedArgs = 1;
  }
  return object->Invoke(id, IID_NULL, 0, flags, &params, result, nullptr, nullptr);
}

inline Var Get(IDispatch *object, const wchar_t *name) {
  Var result;
  EXPECT_EQ(S_OK, Invoke(object, name, DISPATCH_PROPERTYGET, {}, &result.v)) << name;
  return result;
}
