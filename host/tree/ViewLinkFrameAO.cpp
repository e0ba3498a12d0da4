// CViewLinkFrameAO: the frame of a view-link document, a child of the AO of
// the element that owns it.
#include "tree/FrameAO.h"
#include "tree/TreeObjects.h"

namespace host::tree {
namespace {

class CViewLinkFrameAO final : public CFrameAO, public IWIViewLinkFrameAO {
public:
  CViewLinkFrameAO(ObjectTree *tree, Node *node) : CFrameAO(tree, node, kViewLinkFrame) {}

  HOST_AO_IUNKNOWN

  STDMETHODIMP GetOwnerAO(IWebObj2 **owner) override {
    if (owner == nullptr)
      return E_POINTER;
    *owner = nullptr;
    if (node_ == nullptr || node_->parent == nullptr || node_->parent->ao == nullptr)
      return E_FAIL;
    *owner = node_->parent->ao;
    (*owner)->AddRef();
    return S_OK;
  }
  STDMETHODIMP GetOwnerElement(IUnknown **element) override { return GetFrameElement(element); }
  STDMETHODIMP GetViewLinkDocument(IUnknown **document) override { return GetDocument(document); }
  // The owner's border, as CSS: "border: 1px solid #000000".
  STDMETHODIMP GetFrameStyle(BSTR *style) override {
    if (style == nullptr)
      return E_POINTER;
    *style = nullptr;
    return Guarded([&]() -> HRESULT {
      if (node_ == nullptr)
        return E_FAIL;
      ComPtr<IHTMLElement2> owner = QueryAs<IHTMLElement2>(node_->element.Get());
      ComPtr<IHTMLCurrentStyle> current;
      if (!owner || FAILED(owner->get_currentStyle(current.Out())) || !current)
        return E_FAIL;
      std::wstring parts[3] = {PropertyText(current.Get(), L"borderWidth"),
                               PropertyText(current.Get(), L"borderStyle"),
                               PropertyText(current.Get(), L"borderColor")};
      std::wstring text = L"border:";
      for (const auto &part : parts) {
        if (!part.empty())
          text += L" " + part;
      }
      return PutBstr(text, style);
    });
  }

protected:
  HRESULT QueryOther(REFIID riid, void **ppv) override {
    if (riid != __uuidof(IWIViewLinkFrameAO))
      return CFrameAO::QueryOther(riid, ppv);
    *ppv = static_cast<IWIViewLinkFrameAO *>(this);
    return S_OK;
  }
};

} // namespace

CHostAO *NewViewLinkFrameAO(ObjectTree *tree, Node *node) {
  return new CViewLinkFrameAO(tree, node);
}

} // namespace host::tree
