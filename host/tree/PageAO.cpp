// CPageAO: the page of a browser; its child is the page's own frame.
#include "module/HostClasses.h"
#include "tree/HostAO.h"
#include "tree/TreeObjects.h"

namespace host::tree {
namespace {

class CPageAO final : public CHostAO, public IWIBrowserServices {
public:
  CPageAO(ObjectTree *tree, Node *node) : CHostAO(tree, node, kPage) {}

  HOST_AO_IUNKNOWN

  std::wstring Name() override {
    std::wstring title = node_ != nullptr ? DocumentTitle(node_->document.Get()) : L"";
    return title.empty() ? WebClassName(kPage) : title;
  }

  STDMETHODIMP GetCallbackRegistry(IUnknown **registry) override {
    if (registry == nullptr)
      return E_POINTER;
    *registry = nullptr;
    return CreateCallbackRegistry(nullptr, IID_IUnknown, reinterpret_cast<void **>(registry));
  }

protected:
  HRESULT QueryOther(REFIID riid, void **ppv) override {
    if (riid != __uuidof(IWIBrowserServices))
      return CHostAO::QueryOther(riid, ppv);
    *ppv = static_cast<IWIBrowserServices *>(this);
    return S_OK;
  }
  IUnknown *Wrapped() override { return node_ != nullptr ? node_->document.Get() : nullptr; }
  bool Rect(RECT *rect) override {
    *rect = RECT{};
    if (node_ == nullptr || node_->children.empty())
      return false;
    ClientRect(node_->children.front()->root.Get(), rect);
    OffsetRect(rect, kClientOrigin.x - rect->left, kClientOrigin.y - rect->top);
    return true;
  }
  HRESULT Attribute(LONG name, IWebAttrVal *, ComPtr<IWebAttrVal> &value) override {
    if (name == kAttrUrl && node_ != nullptr)
      return StringValue(DocumentUrl(node_->document.Get()), value);
    return E_FAIL;
  }
};

} // namespace

CHostAO *NewPageAO(ObjectTree *tree, Node *node) { return new CPageAO(tree, node); }

} // namespace host::tree
