// Live element collections, child node lists and their enumerators.
#include <windows.h>

#include <algorithm>

#include "common/Strings.h"
#include "page/PageObjects.h"

namespace tallowick::page {

using platform::EqualsNoCase;

Selector AllUnder(std::shared_ptr<Node> root) {
  return [root] { return Descendants(root.get()); };
}

Selector ChildrenOf(std::shared_ptr<Node> node) {
  return [node] { return ChildElements(node.get()); };
}

Selector TagsIn(Selector base, std::wstring tag) {
  return [base = std::move(base), tag = std::move(tag)] {
    std::vector<Node *> nodes = base();
    if (tag == L"*")
      return nodes;
    std::erase_if(nodes, [&](Node *node) { return !EqualsNoCase(node->tag, tag); });
    return nodes;
  };
}

namespace {

bool IsNumber(const VARIANT &v) {
  switch (v.vt) {
  case VT_I1:
  case VT_I2:
  case VT_I4:
  case VT_I8:
  case VT_UI1:
  case VT_UI2:
  case VT_UI4:
  case VT_UI8:
  case VT_INT:
  case VT_UINT:
  case VT_R4:
  case VT_R8:
  case VT_DECIMAL:
    return true;
  default:
    return false;
  }
}

bool IsMissing(const VARIANT &v) { return v.vt == VT_EMPTY || v.vt == VT_ERROR || v.vt == VT_NULL; }

const VARIANT &Deref(const VARIANT &v) {
  return v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal ? *v.pvarVal : v;
}

bool NameMatches(const Node &node, const std::wstring &name) {
  const Attribute *id = node.FindAttribute(L"id");
  if (id && id->value == name)
    return true;
  const Attribute *attr = node.FindAttribute(L"name");
  return attr && attr->value == name;
}

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

std::vector<IDispatch *> WrapAll(const std::vector<Node *> &nodes) {
  std::vector<IDispatch *> items;
  items.reserve(nodes.size());
  for (Node *node : nodes)
    items.push_back(WrapNode(node));
  return items;
}

class ElementCollection final : public StubIHTMLElementCollection {
public:
  ElementCollection(Page *page, Selector selector) : page_(page), selector_(std::move(selector)) {}
  using Self = ElementCollection;
  PAGE_IUNKNOWN
  PAGE_IDISPATCH

  void *Find(REFIID riid) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, IID_IHTMLElementCollection))
      return static_cast<IHTMLElementCollection *>(this);
    return nullptr;
  }
  std::span<const std::span<const Member<ElementCollection>>> Tables() const;

  // Named members: document.all.someId reaches the element of that id or name.
  HRESULT FindDynamic(const std::wstring &name, DISPID *id) {
    for (Node *node : selector_())
      if (NameMatches(*node, name)) {
        *id = page_->ExpandoId(name);
        return S_OK;
      }
    return DISP_E_UNKNOWNNAME;
  }

  HRESULT InvokeDynamic(DISPID id, WORD flags, DISPPARAMS *params, VARIANT *result) {
    if (id == DISPID_NEWENUM) {
      Out<IUnknown *> enumerator;
      HRESULT hr = get__newEnum(enumerator.Get());
      if (SUCCEEDED(hr))
        enumerator.Deliver(result);
      return hr;
    }
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))
      return DISP_E_MEMBERNOTFOUND;
    Var name, index;
    if (id == DISPID_VALUE) { // coll(name [, index])
      UINT n = params->cArgs;
      if (n >= 1)
        VariantCopyInd(&name.v, &params->rgvarg[n - 1]);
      if (n >= 2)
        VariantCopyInd(&index.v, &params->rgvarg[n - 2]);
    } else {
      const std::wstring *expando = page_->ExpandoName(id);
      if (!expando)
        return DISP_E_MEMBERNOTFOUND;
      ToVariant(AllocBstr(*expando), &name.v);
    }
    Out<IDispatch *> found;
    HRESULT hr = item(name.v, index.v, found.Get());
    if (FAILED(hr))
      return hr;
    if (!found.value) {
      if (result)
        result->vt = VT_NULL;
      return S_OK;
    }
    found.Deliver(result);
    return S_OK;
  }

  STDMETHOD(toString)(BSTR *p) override { return ToBstr(L"[object]", p); }

  STDMETHOD(get_length)(LONG *p) override {
    if (!p)
      return E_POINTER;
    return Guarded([&] {
      *p = static_cast<LONG>(selector_().size());
      return S_OK;
    });
  }

  STDMETHOD(get__newEnum)(IUnknown **p) override {
    if (!p)
      return E_POINTER;
    *p = nullptr;
    return Guarded([&] { return NewEnumerator(WrapAll(selector_()), p); });
  }

  STDMETHOD(item)(VARIANT name, VARIANT index, IDispatch **pdisp) override {
    if (!pdisp)
      return E_POINTER;
    *pdisp = nullptr;
    return Guarded([&]() -> HRESULT {
      const VARIANT &key = Deref(name);
      const VARIANT &position = Deref(index);
      std::vector<Node *> nodes = selector_();
      if (IsNumber(key)) {
        Arg<LONG> at;
        if (FAILED(at.Set(key)) || at.value < 0 || static_cast<size_t>(at.value) >= nodes.size())
          return S_OK;
        *pdisp = WrapNode(nodes[static_cast<size_t>(at.value)]);
        return S_OK;
      }
      if (IsMissing(key))
        return S_OK;
      std::wstring wanted = VariantText(key);
      std::erase_if(nodes, [&](Node *node) { return !NameMatches(*node, wanted); });
      if (!IsMissing(position)) {
        Arg<LONG> at;
        HRESULT hr = at.Set(position);
        if (FAILED(hr))
          return hr;
        if (at.value >= 0 && static_cast<size_t>(at.value) < nodes.size())
          *pdisp = WrapNode(nodes[static_cast<size_t>(at.value)]);
        return S_OK;
      }
      if (nodes.empty())
        return S_OK;
      if (nodes.size() == 1) {
        *pdisp = WrapNode(nodes.front());
        return S_OK;
      }
      // Several elements of that name: a live collection of them.
      Selector base = selector_;
      IHTMLElementCollection *named = nullptr;
      HRESULT hr = NewElementCollection(
          page_.get(),
          [base, wanted] {
            std::vector<Node *> all = base();
            std::erase_if(all, [&](Node *node) { return !NameMatches(*node, wanted); });
            return all;
          },
          &named);
      *pdisp = named;
      return hr;
    });
  }

  STDMETHOD(tags)(VARIANT tagName, IDispatch **pdisp) override {
    if (!pdisp)
      return E_POINTER;
    *pdisp = nullptr;
    return Guarded([&] {
      IHTMLElementCollection *tagged = nullptr;
      HRESULT hr = NewElementCollection(page_.get(), TagsIn(selector_, VariantText(Deref(tagName))),
                                        &tagged);
      *pdisp = tagged;
      return hr;
    });
  }

private:
  std::atomic<ULONG> refs_{0};
  PageRef page_;
  Selector selector_;
};

constexpr Member<ElementCollection> kCollectionMembers[] = {
#define Self ElementCollection
    PAGE_GET(IHTMLElementCollection, length),
    PAGE_METHOD(IHTMLElementCollection, item),
    PAGE_METHOD(IHTMLElementCollection, tags),
    PAGE_METHOD(IHTMLElementCollection, toString),
#undef Self
};
constexpr std::span<const Member<ElementCollection>> kCollectionTables[] = {kCollectionMembers};

std::span<const std::span<const Member<ElementCollection>>> ElementCollection::Tables() const {
  return kCollectionTables;
}

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

HRESULT NewElementCollection(Page *page, Selector selector, IHTMLElementCollection **out) {
  if (!out)
    return E_POINTER;
  *out = nullptr;
  return Guarded([&] {
    auto *collection = new ElementCollection(page, std::move(selector));
    collection->AddRef();
    *out = collection;
    return S_OK;
  });
}

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
