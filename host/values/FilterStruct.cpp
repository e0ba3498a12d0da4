// CFilterStruct: what a child query selects: tag name, id filter, web class,
// xpath and css selector. Defaults: empty strings, ALL_KINDS_OF_OBJECTS and
// class 0 (any class). A filter value outside WEB_ID_FILTERS is E_INVALIDARG.
#include "common/ComObject.h"
#include "module/HostClasses.h"
#include "values/IdCommon.h"

namespace host {
namespace {

class CFilterStruct : public CHostObject<IFilterStruct> {
public:
  STDMETHODIMP get_tagName(BSTR *out) override { return Get(tagName_, out); }
  STDMETHODIMP put_tagName(BSTR text) override { return Put(tagName_, text); }
  STDMETHODIMP get_filter(WEB_ID_FILTERS *out) override {
    if (out == nullptr)
      return E_POINTER;
    *out = filter_;
    return S_OK;
  }
  STDMETHODIMP put_filter(WEB_ID_FILTERS filter) override {
    switch (filter) {
    case ALL_KINDS_OF_OBJECTS:
    case ONLY_REGULAR_OBJECTS:
    case ONLY_OBJECTS:
    case ONLY_FRAMES_OR_STD_OBJECT:
      filter_ = filter;
      return S_OK;
    }
    return E_INVALIDARG;
  }
  STDMETHODIMP get_webClass(LONG *out) override {
    if (out == nullptr)
      return E_POINTER;
    *out = webClass_;
    return S_OK;
  }
  STDMETHODIMP put_webClass(LONG webClass) override {
    webClass_ = webClass;
    return S_OK;
  }
  STDMETHODIMP get_xpath(BSTR *out) override { return Get(xpath_, out); }
  STDMETHODIMP put_xpath(BSTR text) override { return Put(xpath_, text); }
  STDMETHODIMP get_css(BSTR *out) override { return Get(css_, out); }
  STDMETHODIMP put_css(BSTR text) override { return Put(css_, text); }

private:
  static HRESULT Get(const std::wstring &value, BSTR *out) {
    if (out != nullptr)
      *out = nullptr;
    return PutBstr(value, out);
  }
  static HRESULT Put(std::wstring &value, BSTR text) {
    try {
      value = FromBstr(text);
    } catch (...) {
      return E_OUTOFMEMORY;
    }
    return S_OK;
  }

  std::wstring tagName_, xpath_, css_;
  WEB_ID_FILTERS filter_ = ALL_KINDS_OF_OBJECTS;
  LONG webClass_ = 0;
};

} // namespace

HRESULT CreateFilterStruct(IUnknown *outer, REFIID riid, void **ppv) {
  return CreateObject<CFilterStruct>(outer, riid, ppv);
}

} // namespace host
