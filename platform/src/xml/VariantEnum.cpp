// The enumerator behind the node lists' _newEnum.
#include "xml/XmlObject.h"

namespace tallowick::platform::xml {

namespace {

class VariantEnum final : public IEnumVARIANT {
public:
  explicit VariantEnum(std::vector<IDispatch *> items) : items_(std::move(items)) {}

  STDMETHODIMP QueryInterface(REFIID riid, void **out) override {
    if (out == nullptr)
      return E_POINTER;
    *out = nullptr;
    if (riid != IID_IUnknown && riid != IID_IEnumVARIANT)
      return E_NOINTERFACE;
    *out = static_cast<IEnumVARIANT *>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override {
    ULONG left = --refs_;
    if (left == 0)
      delete this;
    return left;
  }
  STDMETHODIMP Next(ULONG count, VARIANT *values, ULONG *fetched) override {
    if (fetched != nullptr)
      *fetched = 0;
    if (count == 0)
      return S_OK;
    if (values == nullptr || (count > 1 && fetched == nullptr))
      return E_POINTER;
    ULONG done = 0;
    while (done < count && cursor_ < items_.size()) {
      VariantInit(&values[done]);
      values[done].vt = VT_DISPATCH;
      values[done].pdispVal = items_[cursor_++];
      values[done].pdispVal->AddRef();
      ++done;
    }
    if (fetched != nullptr)
      *fetched = done;
    return done == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    size_t left = items_.size() - cursor_;
    cursor_ += count < left ? count : left;
    return count <= left ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override {
    cursor_ = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(IEnumVARIANT **copy) override {
    if (copy == nullptr)
      return E_POINTER;
    *copy = nullptr;
    return Guard([&] {
      for (IDispatch *item : items_)
        item->AddRef();
      auto *clone = new VariantEnum(items_);
      clone->cursor_ = cursor_;
      *copy = clone;
      return S_OK;
    });
  }

private:
  ~VariantEnum() {
    for (IDispatch *item : items_)
      item->Release();
  }

  std::atomic<ULONG> refs_{1};
  std::vector<IDispatch *> items_;
  size_t cursor_ = 0;
};

} // namespace

HRESULT NewVariantEnum(std::vector<IDispatch *> items, IUnknown **out) {
  *out = new VariantEnum(std::move(items));
  return S_OK;
}

} // namespace tallowick::platform::xml
