// CMatch: one match of a RegExp: its text, where it starts and its length,
// in characters.
#include "oleaut/OleAut.h"
#include "regexp/RegExpInternal.h"

#include <atomic>
#include <new>

namespace tallowick::platform::regexp {
namespace {

enum : DISPID { kDispValue = DISPID_VALUE, kDispFirstIndex = 10001, kDispLength = 10002 };

constexpr DispMember kMembers[] = {
    {L"Value", kDispValue}, {L"FirstIndex", kDispFirstIndex}, {L"Length", kDispLength}};

class CMatch final : public IMatch {
public:
  explicit CMatch(MatchRecord record) : record_(std::move(record)) {}

  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (ppv == nullptr)
      return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IMatch) {
      *ppv = static_cast<IMatch *>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override {
    ULONG left = --refs_;
    if (left == 0)
      delete this;
    return left;
  }

  STDMETHODIMP GetTypeInfoCount(UINT *pctinfo) override {
    if (pctinfo == nullptr)
      return E_POINTER;
    *pctinfo = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **ppTInfo) override {
    if (ppTInfo == nullptr)
      return E_POINTER;
    *ppTInfo = nullptr;
    return DISP_E_BADINDEX;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *names, UINT cNames, LCID, DISPID *ids) override {
    return LookupNames(kMembers, std::size(kMembers), names, cNames, ids);
  }
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS *params, VARIANT *result,
                      EXCEPINFO *, UINT *) override {
    HRESULT hr = CheckInvoke(riid, params);
    if (FAILED(hr))
      return hr;
    if (id != kDispValue && id != kDispFirstIndex && id != kDispLength)
      return DISP_E_MEMBERNOTFOUND;
    if (!IsGet(flags))
      return DISP_E_MEMBERNOTFOUND;
    if (params->cArgs != 0)
      return DISP_E_BADPARAMCOUNT;
    VARIANT value;
    VariantInit(&value);
    if (id == kDispValue) {
      value.vt = VT_BSTR;
      hr = get_Value(&value.bstrVal);
    } else {
      value.vt = VT_I4;
      hr = id == kDispFirstIndex ? get_FirstIndex(&value.lVal) : get_Length(&value.lVal);
    }
    if (FAILED(hr))
      return hr;
    SetResult(result, value);
    return S_OK;
  }

  STDMETHODIMP get_Value(BSTR *pValue) override {
    if (pValue == nullptr)
      return E_POINTER;
    *pValue = oleaut::MakeBstr(record_.value);
    return *pValue != nullptr ? S_OK : E_OUTOFMEMORY;
  }
  STDMETHODIMP get_FirstIndex(LONG *pFirstIndex) override {
    if (pFirstIndex == nullptr)
      return E_POINTER;
    *pFirstIndex = record_.firstIndex;
    return S_OK;
  }
  STDMETHODIMP get_Length(LONG *pLength) override {
    if (pLength == nullptr)
      return E_POINTER;
    *pLength = static_cast<LONG>(record_.value.size());
    return S_OK;
  }

private:
  ~CMatch() = default;

  std::atomic<ULONG> refs_{1};
  const MatchRecord record_;
};

} // namespace

HRESULT CreateMatch(MatchRecord record, IDispatch **match) {
  if (match == nullptr)
    return E_POINTER;
  *match = nullptr;
  try {
    auto *object = new CMatch(std::move(record));
    *match = object; // the constructor's reference goes to the caller
    return S_OK;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

} // namespace tallowick::platform::regexp
