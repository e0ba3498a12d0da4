// CMatchCollection: the matches one Execute found, by zero-based index and
// through an enumerator.
#include "regexp/RegExpInternal.h"

#include <atomic>

namespace tallowick::platform::regexp {
namespace {

enum : DISPID { kDispItem = DISPID_VALUE, kDispCount = 1, kDispNewEnum = DISPID_NEWENUM };

constexpr DispMember kMembers[] = {
    {L"Item", kDispItem}, {L"Count", kDispCount}, {L"_NewEnum", kDispNewEnum}};

class CMatchCollection final : public IMatchCollection {
public:
  explicit CMatchCollection(std::vector<MatchRecord> records) : records_(std::move(records)) {}

  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (ppv == nullptr)
      return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IMatchCollection) {
      *ppv = static_cast<IMatchCollection *>(this);
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
                      EXCEPINFO *, UINT *argErr) override {
    HRESULT hr = CheckInvoke(riid, params);
    if (FAILED(hr))
      return hr;
    if (!IsGet(flags))
      return DISP_E_MEMBERNOTFOUND;
    VARIANT value;
    VariantInit(&value);
    switch (id) {
    case kDispItem: {
      if (params->cArgs != 1)
        return DISP_E_BADPARAMCOUNT;
      VARIANT index;
      hr = GetArgument(params, 0, VT_I4, index, argErr);
      if (FAILED(hr))
        return hr;
      value.vt = VT_DISPATCH;
      hr = get_Item(index.lVal, &value.pdispVal);
      break;
    }
    case kDispCount:
      if (params->cArgs != 0)
        return DISP_E_BADPARAMCOUNT;
      value.vt = VT_I4;
      hr = get_Count(&value.lVal);
      break;
    case kDispNewEnum:
      if (params->cArgs != 0)
        return DISP_E_BADPARAMCOUNT;
      value.vt = VT_UNKNOWN;
      hr = get__NewEnum(&value.punkVal);
      break;
    default:
      return DISP_E_MEMBERNOTFOUND;
    }
    if (FAILED(hr))
      return hr;
    SetResult(result, value);
    return S_OK;
  }

  // An index outside 0..Count-1 is an invalid argument.
  STDMETHODIMP get_Item(LONG index, IDispatch **ppMatch) override {
    if (ppMatch == nullptr)
      return E_POINTER;
    *ppMatch = nullptr;
    if (index < 0 || static_cast<size_t>(index) >= records_.size())
      return E_INVALIDARG;
    return CreateMatch(records_[index], ppMatch);
  }
  STDMETHODIMP get_Count(LONG *pCount) override {
    if (pCount == nullptr)
      return E_POINTER;
    *pCount = static_cast<LONG>(records_.size());
    return S_OK;
  }
  STDMETHODIMP get__NewEnum(IUnknown **ppEnum) override {
    if (ppEnum == nullptr)
      return E_POINTER;
    *ppEnum = nullptr;
    try {
      IEnumVARIANT *enumerator = nullptr;
      HRESULT hr = CreateMatchEnum(records_, 0, &enumerator);
      *ppEnum = enumerator;
      return hr;
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }

private:
  ~CMatchCollection() = default;

  std::atomic<ULONG> refs_{1};
  const std::vector<MatchRecord> records_;
};

} // namespace

HRESULT CreateMatchCollection(std::vector<MatchRecord> records, IDispatch **collection) {
  if (collection == nullptr)
    return E_POINTER;
  *collection = nullptr;
  try {
    *collection = new CMatchCollection(std::move(records));
    return S_OK;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

} // namespace tallowick::platform::regexp
