// The enumerator behind the collections' _newEnum.
#include <windows.h>

#include <algorithm>

#include "page/PageObjects.h"

namespace tallowick::page {

namespace {

class EnumVariant final : public IEnumVARIANT {
public:
  EnumVariant(std::vector<IDispatch *> items, size_t position)
      : items_(std::move(items)), position_(position) {}
  ~EnumVariant() {
    for (IDispatch *item : items_)
      if (item)
        item->Release();
  }
  STDMETHOD(QueryInterface)(REFIID riid, void **ppv) override {
    if (!ppv)
      return E_POINTER;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IEnumVARIANT)) {
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    *ppv = static_cast<IEnumVARIANT *>(this);
    return S_OK;
  }
  PAGE_REFCOUNT
  STDMETHOD(Next)(ULONG count, VARIANT *out, ULONG *fetched) override {
    if (!out && count)
      return E_POINTER;
    ULONG done = 0;
    for (; done < count && position_ < items_.size(); ++done, ++position_) {
      VariantInit(&out[done]);
      IDispatch *item = items_[position_];
      if (item)
        item->AddRef();
      ToVariant(item, &out[done]);
    }
    if (fetched)
      *fetched = done;
    return done == count ? S_OK : S_FALSE;
  }
  STDMETHOD(Skip)(ULONG count) override {
    size_t left = items_.size() - position_;
    position_ += std::min<size_t>(count, left);
    return count <= left ? S_OK : S_FALSE;
  }
  STDMETHOD(Reset)() override {
    position_ = 0;
    return S_OK;
  }
  STDMETHOD(Clone)(IEnumVARIANT **out) override {
    if (!out)
      return E_POINTER;
    *out = nullptr;
    return Guarded([&] {
      for (IDispatch *item : items_)
        if (item)
          item->AddRef();
      auto *clone = new EnumVariant(items_, position_);
      clone->AddRef();
      *out = clone;
      return S_OK;
    });
  }

private:
  std::atomic<ULONG> refs_{0};
  std::vector<IDispatch *> items_;
  size_t position_;
};

} // namespace

HRESULT NewEnumerator(std::vector<IDispatch *> items, IUnknown **out) {
  EnumVariant *enumerator = nullptr;
  try {
    enumerator = new EnumVariant(std::move(items), 0);
  } catch (...) {
    for (IDispatch *item : items) // not moved from when the allocation failed
      if (item)
        item->Release();
    return E_OUTOFMEMORY;
  }
  enumerator->AddRef();
  *out = enumerator;
  return S_OK;
}

} // namespace tallowick::page
