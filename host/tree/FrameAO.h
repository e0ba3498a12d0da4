// CFrameAO: the host's agent object of a frame - the page's own frame, a
// frame or iframe, or (CViewLinkFrameAO) the view-link document of an
// element behaviour. It offers the frame services and the element queries.
#pragma once

#include "tree/HostAO.h"

namespace host::tree {

class CFrameAO : public CHostAO, public IWIFrameAO, public IWIElementQuery {
public:
  CFrameAO(ObjectTree *tree, Node *node, LONG webClass) : CHostAO(tree, node, webClass) {}

  HOST_AO_IUNKNOWN
  std::wstring Name() override;

  // IWIFrameAO
  STDMETHODIMP GetFrameElement(IUnknown **element) override;
  STDMETHODIMP GetDocument(IUnknown **document) override;
  STDMETHODIMP GetWindowNumber(LONG *window) override;

  // IWIElementQuery. A null root is the frame's document element.
  STDMETHODIMP QueryFirstByXPath(BSTR xpath, IUnknown *root, IDispatch **element) override;
  STDMETHODIMP QueryAllByXPath(BSTR xpath, IUnknown *root, VARIANT *elements) override;
  STDMETHODIMP QueryFirstByCss(BSTR css, IUnknown *root, IDispatch **element) override;
  STDMETHODIMP QueryAllByCss(BSTR css, IUnknown *root, VARIANT *elements) override;
  STDMETHODIMP QueryElements(BSTR xpath, BSTR css, IUnknown *root, LONG max,
                             VARIANT *elements) override;
  STDMETHODIMP GetAOPath(IWebObj2 *ao, BSTR *path) override;

protected:
  HRESULT QueryOther(REFIID riid, void **ppv) override;
  HRESULT Attribute(LONG name, IWebAttrVal *data, ComPtr<IWebAttrVal> &value) override;
  HRESULT Invoke(METHOD_NAME_ENUM method, IWebInfo *info) override;
  // The frame's rectangle in screen terms.
  bool Rect(RECT *rect) override;
  IUnknown *Wrapped() override;

private:
  ComPtr<IHTMLElement> Root(IUnknown *root);
  HRESULT First(BSTR xpath, BSTR css, IUnknown *root, IDispatch **element);
  HRESULT IdToDesc(IWebInfo *info);
  HRESULT ObjectFromPoint(IWebInfo *info);
};

} // namespace host::tree
