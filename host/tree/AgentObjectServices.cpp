#include "tree/AgentObjectServices.h"

#include "tree/HostAO.h"
#include "tree/ObjectTree.h"

namespace host::tree {
namespace {

// Every entry point first brings trees whose page navigated up to date.
HRESULT Begin(IWebObj2 **ao) {
  if (ao == nullptr)
    return E_POINTER;
  *ao = nullptr;
  ObjectTree::RefreshAll();
  return S_OK;
}

HRESULT Give(Node *node, IWebObj2 **ao) {
  if (node == nullptr || node->ao == nullptr)
    return S_FALSE;
  *ao = node->ao;
  (*ao)->AddRef();
  return S_OK;
}

ObjectTree *TreeOf(IUnknown *element, IWebObj2 *parent) {
  ObjectTree *tree = parent != nullptr ? ObjectTree::OfAO(parent) : nullptr;
  if (tree != nullptr &&
      (tree->NodeOfElement(element) != nullptr ||
       tree->FrameOfDocument(DocumentOf(QueryAs<IHTMLElement>(element).Get()).Get()) != nullptr))
    return tree;
  return ObjectTree::OfElement(element);
}

} // namespace

HRESULT FindAO(IUnknown *element, IWebObj2 **ao) {
  return GetElementAO(element, nullptr, false, ao);
}

HRESULT FindAOById(IWebRunTimeID *id, IWebObj2 **ao) {
  HRESULT hr = Begin(ao);
  if (FAILED(hr))
    return hr;
  if (id == nullptr)
    return E_INVALIDARG;
  return Guarded([&]() -> HRESULT {
    LONG browser = 0;
    id->GetInnerStdWinId(&browser);
    ObjectTree *tree = ObjectTree::OfBrowser(browser);
    if (tree == nullptr || tree->Root()->ao == nullptr)
      return S_FALSE;
    ComPtr<IWebRunTimeID> own;
    if (SUCCEEDED(tree->Root()->ao->GetIdRef(own.Out())) && own && own->IsEqual(id) == S_OK)
      return Give(tree->Root(), ao);
    return tree->Root()->ao->GetChildById(id, ao) == S_OK ? S_OK : S_FALSE;
  });
}

HRESULT GetBrowserAO(IWebObj2 *from, IWebObj2 **ao) {
  HRESULT hr = Begin(ao);
  if (FAILED(hr))
    return hr;
  ObjectTree *tree = ObjectTree::OfAO(from);
  return tree != nullptr ? Give(tree->Root(), ao) : S_FALSE;
}

HRESULT GetPageAO(IWebObj2 *from, IWebObj2 **ao) {
  HRESULT hr = Begin(ao);
  if (FAILED(hr))
    return hr;
  ObjectTree *tree = ObjectTree::OfAO(from);
  return tree != nullptr ? Give(tree->PageNode(), ao) : S_FALSE;
}

HRESULT GetElementAO(IUnknown *element, IWebObj2 *parent, bool create, IWebObj2 **ao) {
  HRESULT hr = Begin(ao);
  if (FAILED(hr))
    return hr;
  ComPtr<IHTMLElement> html = QueryAs<IHTMLElement>(element);
  if (!html)
    return element == nullptr ? E_INVALIDARG : S_FALSE;
  return Guarded([&]() -> HRESULT {
    ObjectTree *tree = TreeOf(html.Get(), parent);
    return tree != nullptr ? tree->ElementAO(html.Get(), create, ao) : S_FALSE;
  });
}

HRESULT GetViewLinkElementAO(IUnknown *element, IWebObj2 *parent, IWebObj2 **ao) {
  HRESULT hr = Begin(ao);
  if (FAILED(hr))
    return hr;
  ComPtr<IHTMLElement> html = QueryAs<IHTMLElement>(element);
  if (!html)
    return element == nullptr ? E_INVALIDARG : S_FALSE;
  return Guarded([&]() -> HRESULT {
    ObjectTree *tree = TreeOf(html.Get(), parent);
    return tree != nullptr ? tree->ViewLinkElementAO(html.Get(), ao) : S_FALSE;
  });
}

} // namespace host::tree
