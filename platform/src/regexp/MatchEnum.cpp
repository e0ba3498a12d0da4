// CMatchEnum: IEnumVARIANT over a match collection, each match as VT_DISPATCH.
#include "regexp/RegExpInternal.h"

#include <atomic>

namespace tallowick::platform::regexp {
namespace {

class CMatchEnum final : public IEnumVARIANT {
public:
  CMatchEnum(std::vector<MatchRecord> records, size_t position)
      : records_(std::move(records)), position_(position) {}

  STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
    if (ppv == nullptr)
      return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IEnumVARIANT) {
      *ppv = static_cast<IEnumVARIANT *>(this);
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

  STDMETHODIMP Next(ULONG celt, VARIANT *rgVar, ULONG *pCeltFetched) override {
    if (pCeltFetched != nullptr)
      *pCeltFetched = 0;
    if (celt == 0)
      return S_OK;
    if (rgVar == nullptr || (celt > 1 && pCeltFetched == nullptr))
      return E_POINTER;
    ULONG fetched = 0;
    for (; fetched < celt && position_ < records_.size(); ++fetched, ++position_) {
      VariantInit(&rgVar[fetched]);
      IDispatch *match = nullptr;
      HRESULT hr = CreateMatch(records_[position_], &match);
      if (FAILED(hr)) {
        for (ULONG i = 0; i < fetched; ++i)
          VariantClear(&rgVar[i]);
        return hr;
      }
      rgVar[fetched].vt = VT_DISPATCH;
      rgVar[fetched].pdispVal = match;
    }
    if (pCeltFetched != nullptr)
      *pCeltFetched = fetched;
    return fetched == celt ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG celt) override {
    size_t left = records_.size() - position_;
    if (celt > left) {
      position_ = records_.size();
      return S_FALSE;
    }
    position_ += celt;
    return S_OK;
  }
  STDMETHODIMP Reset() override {
    position_ = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(IEnumVARIANT **ppEnum) override {
    if (ppEnum == nullptr)
      return E_POINTER;
    return CreateMatchEnum(records_, position_, ppEnum);
  }

private:
  ~CMatchEnum() = default;

  std::atomic<ULONG> refs_{1};
  const std::vector<MatchRecord> records_;
  size_t position_;
};

} // namespace

HRESULT CreateMatchEnum(std::vector<MatchRecord> records, size_t position, IEnumVARIANT **ppEnum) {
  if (ppEnum == nullptr)
    return E_POINTER;
  *ppEnum = nullptr;
  try {
    *ppEnum = new CMatchEnum(std::move(records), position);
    return S_OK;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

} // namespace tallowick::platform::regexp
