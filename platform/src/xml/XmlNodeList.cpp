// Node lists (a fixed set of nodes, taken when the list is made) and the
// enumerator behind their _newEnum.
#include "xml/XmlObject.h"

namespace tallowick::platform::xml {

namespace {

class XmlNodeList final : public DispatchObject<IXMLDOMNodeList> {
 public:
  explicit XmlNodeList(std::vector<IXMLDOMNode *> nodes) : nodes_(std::move(nodes)) {}

  STDMETHODIMP get_item(LONG index, IXMLDOMNode **item) override {
    if (item == nullptr)
      return E_POINTER;
    *item = nullptr;
    if (index < 0 || static_cast<size_t>(index) >= nodes_.size())
      return S_FALSE;
    *item = nodes_[index];
    (*item)->AddRef();
    return S_OK;
  }
  STDMETHODIMP get_length(LONG *length) override {
    if (length == nullptr)
      return E_POINTER;
    *length = static_cast<LONG>(nodes_.size());
    return S_OK;
  }
  STDMETHODIMP nextNode(IXMLDOMNode **next) override {
    if (next == nullptr)
      return E_POINTER;
    HRESULT hr = get_item(static_cast<LONG>(cursor_), next);
    if (hr == S_OK)
      ++cursor_;
    return hr;
  }
  STDMETHODIMP reset() override {
    cursor_ = 0;
    return S_OK;
  }
  STDMETHODIMP get__newEnum(IUnknown **enumerator) override {
    if (enumerator == nullptr)
      return E_POINTER;
    *enumerator = nullptr;
    return Guard([&] {
      std::vector<IDispatch *> items;
      items.reserve(nodes_.size());
      for (IXMLDOMNode *node : nodes_) {
        node->AddRef();
        items.push_back(node);
      }
      return NewVariantEnum(std::move(items), enumerator);
    });
  }

 private:
  ~XmlNodeList() override {
    for (IXMLDOMNode *node : nodes_)
      node->Release();
  }

  std::vector<IXMLDOMNode *> nodes_;
  size_t cursor_ = 0;
};

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

HRESULT NewNodeList(const TreePtr &tree, XmlDocument *owner, const std::vector<xmlNodePtr> &nodes,
                    IXMLDOMNodeList **out) {
  if (out == nullptr)
    return E_POINTER;
  *out = nullptr;
  std::vector<IXMLDOMNode *> objects;
  objects.reserve(nodes.size());
  auto release = [&] {
    for (IXMLDOMNode *object : objects)
      object->Release();
  };
  try {
    for (xmlNodePtr node : nodes) {
      IXMLDOMNode *object = nullptr;
      HRESULT hr = WrapAs(tree, owner, node, &object);
      if (FAILED(hr)) {
        release();
        return hr;
      }
      if (object != nullptr)
        objects.push_back(object);
    }
    *out = new XmlNodeList(std::move(objects));
    return S_OK;
  } catch (...) {
    release();
    throw;
  }
}

} // namespace tallowick::platform::xml
