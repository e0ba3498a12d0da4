// Live element collections and the selectors that feed them.
#include <windows.h>

#include <algorithm>

#include "tallowick/Strings.h"
#include "page/ObjectSupport.h"
#include "page/PageObjects.h"

namespace tallowick::page {

using platform::EqualsNoCase;
using support::WrapAll;

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

} // namespace

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

} // namespace tallowick::page
