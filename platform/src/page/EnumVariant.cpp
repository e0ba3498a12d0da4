// The enumerator behind the collections' _newEnum.
#include <windows.h>

#include <algorithm>

#include "page/PageObjects.h"

namespace tallowick::page {

namespace {

class EnumVariant final : public IEnumVARIANT {
public:
  EnumVariant(std::vector<VARIANT> items, size_t position)
      : items_(std::move(items)), position_(position) {}
  ~EnumVariant() {
    for (VARIANT &item : items_)
      VariantClear(&item);
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
      VariantCopy(&out[done], &items_[position_]);
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
      std::vector<VARIANT> copies(items_.size());
      for (size_t i = 0; i < items_.size(); ++i) {
        VariantInit(&copies[i]);
        VariantCopy(&copies[i], &items_[i]);
      }
      auto *clone = new EnumVariant(std::move(copies), position_);
      clone->AddRef();
      *out = clone;
      return S_OK;
    });
  }

private:
  std::atomic<ULONG> refs_{0};
  std::vector<VARIANT> items_;
  size_t position_;
};

} // namespace

HRESULT NewEnumerator(std::vector<IDispatch *> items, IUnknown **out) {
  std::vector<VARIANT> values;
  try {
    values.resize(items.size());
  } catch (...) {
    for (IDispatch *item : items)
      if (item)
        item->Release();
    return E_OUTOFMEMORY;
  }
  for (size_t i = 0; i < items.size(); ++i) {
    VariantInit(&values[i]);
    ToVariant(items[i], &values[i]);
  }
  return NewVariantEnumerator(std::move(values), out);
}

HRESULT NewVariantEnumerator(std::vector<VARIANT> items, IUnknown **out) {
  EnumVariant *enumerator = nullptr;
  try {
    enumerator = new EnumVariant(std::move(items), 0);
  } catch (...) {
    for (VARIANT &item : items) // not moved from when the allocation failed
      VariantClear(&item);
    return E_OUTOFMEMORY;
  }
  enumerator->AddRef();
  *out = enumerator;
  return S_OK;
}

} // namespace tallowick::page
