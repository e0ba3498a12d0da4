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
  // The owner's border, as CSS: "border: 1px solid black". The computed
  // style's border parts when the page engine gives them, else the inline
  // style's border.
  STDMETHODIMP GetFrameStyle(BSTR *style) override {
    if (style == nullptr)
      return E_POINTER;
    *style = nullptr;
    return Guarded([&]() -> HRESULT {
      if (node_ == nullptr || !node_->element)
        return E_FAIL;
      std::wstring border;
      ComPtr<IHTMLElement2> owner = QueryAs<IHTMLElement2>(node_->element.Get());
      ComPtr<IHTMLCurrentStyle> current;
      if (owner && SUCCEEDED(owner->get_currentStyle(current.Out())) && current) {
        for (const wchar_t *part : {L"borderWidth", L"borderStyle", L"borderColor"}) {
          std::wstring value = PropertyText(current.Get(), part);
          if (!value.empty())
            border += (border.empty() ? L"" : L" ") + value;
        }
      }
      ComPtr<IHTMLStyle> inline_;
      if (border.empty() && SUCCEEDED(node_->element->get_style(inline_.Out())) && inline_)
        border = PropertyText(inline_.Get(), L"border");
      return PutBstr(L"border: " + (border.empty() ? std::wstring(L"none") : border), style);
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
