// Attribute nodes: one attribute of an element, looked up by name on each use.
#include <windows.h>

#include "page/ObjectSupport.h"
#include "page/PageObjects.h"

namespace tallowick::page {

using support::Bool;
using support::Publish;

namespace {

class DomAttribute final : public StubIHTMLDOMAttribute {
public:
  DomAttribute(Page *page, std::shared_ptr<Node> node, std::wstring name)
      : page_(page), node_(std::move(node)), name_(std::move(name)) {}
  using Self = DomAttribute;
  PAGE_IUNKNOWN
  PAGE_IDISPATCH
  void *Find(REFIID riid) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, IID_IHTMLDOMAttribute))
      return static_cast<IHTMLDOMAttribute *>(this);
    return nullptr;
  }
  std::span<const std::span<const Member<DomAttribute>>> Tables() const;
  HRESULT FindDynamic(const std::wstring &, DISPID *) { return DISP_E_UNKNOWNNAME; }
  HRESULT InvokeDynamic(DISPID, WORD, DISPPARAMS *, VARIANT *) { return DISP_E_MEMBERNOTFOUND; }

  STDMETHOD(get_nodeName)(BSTR *p) override {
    const Attribute *attr = node_->FindAttribute(name_);
    return ToBstr(attr ? attr->name : name_, p);
  }
  STDMETHOD(put_nodeValue)(VARIANT v) override {
    return Guarded([&] {
      node_->SetAttribute(name_, VariantText(v), false);
      return S_OK;
    });
  }
  STDMETHOD(get_nodeValue)(VARIANT *p) override {
    if (!p)
      return E_POINTER;
    VariantInit(p);
    return Guarded([&] {
      const Attribute *attr = node_->FindAttribute(name_);
      if (!attr)
        p->vt = VT_NULL;
      else
        ToVariant(AllocBstr(attr->value), p);
      return S_OK;
    });
  }
  STDMETHOD(get_specified)(VARIANT_BOOL *p) override {
    return Bool(node_->FindAttribute(name_) != nullptr, p);
  }

private:
  std::atomic<ULONG> refs_{0};
  PageRef page_;
  std::shared_ptr<Node> node_;
  std::wstring name_;
};

constexpr Member<DomAttribute> kAttributeMembers[] = {
#define Self DomAttribute
    PAGE_GET(IHTMLDOMAttribute, nodeName),
    PAGE_PROP(IHTMLDOMAttribute, nodeValue),
    PAGE_GET(IHTMLDOMAttribute, specified),
#undef Self
};
constexpr std::span<const Member<DomAttribute>> kAttributeTables[] = {kAttributeMembers};
std::span<const std::span<const Member<DomAttribute>>> DomAttribute::Tables() const {
  return kAttributeTables;
}

} // namespace

HRESULT NewDomAttribute(Page *page, std::shared_ptr<Node> node, const std::wstring &name,
                        IHTMLDOMAttribute **out) {
  if (!out)
    return E_POINTER;
  *out = nullptr;
  return Guarded([&] { return Publish(new DomAttribute(page, std::move(node), name), out); });
}

} // namespace tallowick::page
