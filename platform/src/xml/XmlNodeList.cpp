// Node lists: a fixed set of nodes, taken when the list is made.
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

} // namespace

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
