// Child node lists.
#include <windows.h>

#include "page/ObjectSupport.h"
#include "page/PageObjects.h"

namespace tallowick::page {

using support::WrapAll;

namespace {

class ChildNodes final : public StubIHTMLDOMChildrenCollection {
public:
  ChildNodes(Page *page, std::shared_ptr<Node> node) : page_(page), node_(std::move(node)) {}
  using Self = ChildNodes;
  PAGE_IUNKNOWN
  PAGE_IDISPATCH

  void *Find(REFIID riid) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, IID_IHTMLDOMChildrenCollection))
      return static_cast<IHTMLDOMChildrenCollection *>(this);
    return nullptr;
  }
  std::span<const std::span<const Member<ChildNodes>>> Tables() const;
  HRESULT FindDynamic(const std::wstring &, DISPID *) { return DISP_E_UNKNOWNNAME; }
  HRESULT InvokeDynamic(DISPID id, WORD, DISPPARAMS *params, VARIANT *result) {
    if (id == DISPID_NEWENUM) {
      Out<IUnknown *> enumerator;
      HRESULT hr = get__newEnum(enumerator.Get());
      if (SUCCEEDED(hr))
        enumerator.Deliver(result);
      return hr;
    }
    if (id != DISPID_VALUE || params->cArgs < 1)
      return DISP_E_MEMBERNOTFOUND;
    Arg<LONG> index;
    HRESULT hr = index.Set(params->rgvarg[params->cArgs - 1]);
    if (FAILED(hr))
      return hr;
    Out<IDispatch *> found;
    hr = item(index.value, found.Get());
    if (SUCCEEDED(hr))
      found.Deliver(result);
    return hr;
  }

  STDMETHOD(get_length)(LONG *p) override {
    if (!p)
      return E_POINTER;
    *p = static_cast<LONG>(node_->children.size());
    return S_OK;
  }
  STDMETHOD(get__newEnum)(IUnknown **p) override {
    if (!p)
      return E_POINTER;
    *p = nullptr;
    return Guarded([&] {
      std::vector<Node *> nodes;
      for (auto &child : node_->children)
        nodes.push_back(child.get());
      return NewEnumerator(WrapAll(nodes), p);
    });
  }
  STDMETHOD(item)(LONG index, IDispatch **p) override {
    if (!p)
      return E_POINTER;
    *p = nullptr;
    if (index < 0 || static_cast<size_t>(index) >= node_->children.size())
      return E_INVALIDARG;
    *p = WrapNode(node_->children[static_cast<size_t>(index)].get());
    return *p ? S_OK : E_OUTOFMEMORY;
  }

private:
  std::atomic<ULONG> refs_{0};
  PageRef page_;
  std::shared_ptr<Node> node_;
};

constexpr Member<ChildNodes> kChildNodesMembers[] = {
#define Self ChildNodes
    PAGE_GET(IHTMLDOMChildrenCollection, length),
    PAGE_METHOD(IHTMLDOMChildrenCollection, item),
#undef Self
};
constexpr std::span<const Member<ChildNodes>> kChildNodesTables[] = {kChildNodesMembers};

std::span<const std::span<const Member<ChildNodes>>> ChildNodes::Tables() const {
  return kChildNodesTables;
}

} // namespace

HRESULT NewChildNodes(Page *page, std::shared_ptr<Node> node, IDispatch **out) {
  if (!out)
    return E_POINTER;
  *out = nullptr;
  return Guarded([&] {
    auto *list = new ChildNodes(page, std::move(node));
    list->AddRef();
    *out = static_cast<IHTMLDOMChildrenCollection *>(list);
    return S_OK;
  });
}

} // namespace tallowick::page
