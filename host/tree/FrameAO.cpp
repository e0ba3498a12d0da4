#include "tree/FrameAO.h"

#include "tree/ElementQuery.h"
#include "tree/TreeObjects.h"

namespace host::tree {
namespace {

constexpr HRESULT kNotFound = 0x80040209;

HRESULT ToArray(const std::vector<ComPtr<IHTMLElement>> &elements, VARIANT *out) {
  SAFEARRAY *array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(elements.size()));
  if (array == nullptr)
    return E_OUTOFMEMORY;
  for (size_t i = 0; i < elements.size(); ++i) {
    VARIANT item;
    VariantInit(&item);
    item.vt = VT_DISPATCH;
    item.pdispVal = elements[i].Get(); // IHTMLElement derives from IDispatch
    LONG at = static_cast<LONG>(i);
    HRESULT hr = SafeArrayPutElement(array, &at, &item);
    if (FAILED(hr)) {
      SafeArrayDestroy(array);
      return hr;
    }
  }
  out->vt = VT_ARRAY | VT_VARIANT;
  out->parray = array;
  return S_OK;
}

} // namespace

HRESULT CFrameAO::QueryOther(REFIID riid, void **ppv) {
  if (riid == __uuidof(IWIFrameAO))
    *ppv = static_cast<IWIFrameAO *>(this);
  else if (riid == __uuidof(IWIElementQuery))
    *ppv = static_cast<IWIElementQuery *>(this);
  else
    return CHostAO::QueryOther(riid, ppv);
  return S_OK;
}

std::wstring CFrameAO::Name() {
  if (node_ == nullptr)
    return WebClassName(kFrame);
  IHTMLElement *element = node_->element.Get();
  for (const std::wstring &name : {AttributeText(element, L"name"), ElementId(element),
                                   DocumentTitle(node_->document.Get())}) {
    if (!name.empty())
      return name;
  }
  LONG webClass = 0;
  GetRecordableClass(&webClass);
  return WebClassName(webClass);
}

IUnknown *CFrameAO::Wrapped() {
  if (node_ == nullptr)
    return nullptr;
  // The page's own frame wraps its document element.
  return node_->element ? node_->element.Get() : node_->root.Get();
}

bool CFrameAO::Rect(RECT *rect) {
  *rect = RECT{};
  if (node_ == nullptr)
    return false;
  RECT box{};
  if (node_->element)
    ClientRect(node_->element.Get(), &box);
  else
    ClientRect(DocumentElement(node_->document.Get()).Get(), &box);
  POINT offset = FrameScreenOffset(node_);
  *rect = RECT{offset.x, offset.y, offset.x + (box.right - box.left),
               offset.y + (box.bottom - box.top)};
  return true;
}

HRESULT CFrameAO::Attribute(LONG name, IWebAttrVal *, ComPtr<IWebAttrVal> &value) {
  if (node_ == nullptr)
    return E_FAIL;
  switch (name) {
  case kAttrScreenOffset:
    return PointValue(FrameScreenOffset(node_), value);
  case kAttrUrl:
    return StringValue(DocumentUrl(node_->document.Get()), value);
  case kAttrTagName:
    return StringValue(TagName(node_->element.Get()), value);
  case kAttrText:
  case kAttrInnerText:
  case kAttrInnerText2:
    return StringValue(InnerText(DocumentElement(node_->document.Get()).Get()), value);
  default:
    return E_FAIL;
  }
}

HRESULT CFrameAO::Invoke(METHOD_NAME_ENUM method, IWebInfo *info) {
  if (node_ == nullptr)
    return E_NOTIMPL;
  switch (method) {
  case MAKE_VISIBLE: {
    RECT rect{};
    Rect(&rect);
    ComPtr<IWebAttrVal> value;
    HRESULT hr = RectValue(rect, value);
    if (FAILED(hr))
      return hr;
    info->ReplaceAttrValueByName(kAttrRect, value.Get(), 1);
    info->SetReturnValue(S_OK);
    return S_OK;
  }
  case SCROLL_POINT_INTO_VIEW: {
    // Point 65 is how far to scroll, as the kit's MAKE_VISIBLE computes it.
    ComPtr<IWebVariant> point;
    tagPOINT by{};
    if (SUCCEEDED(info->GetTopInnerAttrValueByName(kAttrPoint, WEB_AV_POINT, point.Out())) && point)
      point->get_point(&by);
    ComPtr<IHTMLWindow2> window;
    HRESULT hr = node_->document->get_parentWindow(window.Out());
    if (SUCCEEDED(hr) && window)
      hr = window->scrollBy(by.x, by.y);
    info->SetReturnValue(hr);
    return S_OK;
  }
  case ID_TO_DESC:
    return IdToDesc(info);
  case GET_OBJ_ID_FROM_POINT:
    return ObjectFromPoint(info);
  default:
    return E_NOTIMPL;
  }
}

// The description (class name 0, name 95, tag 58) of the AO of the frame
// whose runtime id the request carries (its RTID, or entry 48).
HRESULT CFrameAO::IdToDesc(IWebInfo *info) {
  ComPtr<IWebRunTimeID> id;
  if (FAILED(info->GetRTID(id.Out())) || !id || id->IsInvalid() == S_OK) {
    ComPtr<IWebVariant> entry;
    if (SUCCEEDED(info->GetTopInnerAttrValueByName(kAttrRecordId, WEB_AV_ID, entry.Out())) && entry)
      entry->get_RTID(id.Out());
  }
  if (!id)
    return E_INVALIDARG;
  ComPtr<IWebObj2> ao;
  if (GetChildById(id.Get(), ao.Out()) != S_OK || !ao) {
    info->SetReturnValue(kNotFound);
    return S_OK;
  }
  for (LONG name : {kAttrClassName, kAttrName, kAttrTagName}) {
    ComPtr<IWebAttrVal> value;
    if (ao->GetAttr(name, nullptr, value.Out()) == S_OK && value)
      info->ReplaceAttrValueByName(name, value.Get(), 1);
  }
  info->SetReturnValue(S_OK);
  return S_OK;
}

// The innermost AO of this frame under point 65 (client coordinates):
// its id under 48 and as the request's RTID.
HRESULT CFrameAO::ObjectFromPoint(IWebInfo *info) {
  ComPtr<IWebVariant> point;
  tagPOINT at{};
  if (FAILED(info->GetTopInnerAttrValueByName(kAttrPoint, WEB_AV_POINT, point.Out())) || !point ||
      FAILED(point->get_point(&at))) {
    info->SetReturnValue(E_INVALIDARG);
    return S_OK;
  }
  Node *hit = nullptr;
  std::vector<Node *> stack(node_->children.rbegin(), node_->children.rend());
  while (!stack.empty()) {
    Node *node = stack.back();
    stack.pop_back();
    if (node->kind != NodeKind::Element)
      continue; // other frames answer for their own objects
    RECT rect{};
    if (ClientRect(node->element.Get(), &rect) && at.x >= rect.left && at.x <= rect.right &&
        at.y >= rect.top && at.y <= rect.bottom)
      hit = node; // later in document order is further in
    stack.insert(stack.end(), node->children.rbegin(), node->children.rend());
  }
  if (hit == nullptr) {
    info->SetReturnValue(S_FALSE);
    return S_OK;
  }
  ComPtr<IWebRunTimeID> id;
  HRESULT hr = hit->ao->GetId(id.Out());
  if (FAILED(hr))
    return hr;
  info->InsertAttrWebRTID(kAttrRecordId, id.Get(), 1);
  info->SetRTID(id.Get());
  info->SetReturnValue(S_OK);
  return S_OK;
}

STDMETHODIMP CFrameAO::GetFrameElement(IUnknown **element) { return GetWrappedElement(element); }

STDMETHODIMP CFrameAO::GetDocument(IUnknown **document) {
  if (document == nullptr)
    return E_POINTER;
  *document = nullptr;
  if (node_ == nullptr || !node_->document)
    return E_FAIL;
  return node_->document->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(document));
}

STDMETHODIMP CFrameAO::GetWindowNumber(LONG *window) {
  if (window == nullptr)
    return E_POINTER;
  *window = node_ != nullptr ? node_->frameId : 0;
  return node_ != nullptr ? S_OK : E_FAIL;
}

ComPtr<IHTMLElement> CFrameAO::Root(IUnknown *root) {
  if (root != nullptr)
    return QueryAs<IHTMLElement>(root);
  return node_ != nullptr ? node_->root : ComPtr<IHTMLElement>();
}

STDMETHODIMP CFrameAO::QueryElements(BSTR xpath, BSTR css, IUnknown *root, LONG max,
                                     VARIANT *elements) {
  if (elements == nullptr)
    return E_POINTER;
  VariantInit(elements);
  return Guarded([&]() -> HRESULT {
    ComPtr<IHTMLElement> scope = Root(root);
    if (!scope)
      return E_INVALIDARG;
    std::vector<ComPtr<IHTMLElement>> found;
    HRESULT hr = tree::QueryElements(scope.Get(), FromBstr(xpath), FromBstr(css), max, found);
    if (FAILED(hr))
      return hr;
    hr = ToArray(found, elements);
    if (FAILED(hr))
      return hr;
    return found.empty() ? S_FALSE : S_OK;
  });
}

HRESULT CFrameAO::First(BSTR xpath, BSTR css, IUnknown *root, IDispatch **element) {
  if (element == nullptr)
    return E_POINTER;
  *element = nullptr;
  return Guarded([&]() -> HRESULT {
    ComPtr<IHTMLElement> scope = Root(root);
    if (!scope)
      return E_INVALIDARG;
    std::vector<ComPtr<IHTMLElement>> found;
    HRESULT hr = tree::QueryElements(scope.Get(), FromBstr(xpath), FromBstr(css), 1, found);
    if (FAILED(hr))
      return hr;
    if (found.empty())
      return S_FALSE;
    *element = found.front().Detach();
    return S_OK;
  });
}

STDMETHODIMP CFrameAO::QueryFirstByXPath(BSTR xpath, IUnknown *root, IDispatch **element) {
  if (SysStringLen(xpath) == 0)
    return E_INVALIDARG;
  return First(xpath, nullptr, root, element);
}

STDMETHODIMP CFrameAO::QueryAllByXPath(BSTR xpath, IUnknown *root, VARIANT *elements) {
  if (SysStringLen(xpath) == 0)
    return E_INVALIDARG;
  return QueryElements(xpath, nullptr, root, -1, elements);
}

STDMETHODIMP CFrameAO::QueryFirstByCss(BSTR css, IUnknown *root, IDispatch **element) {
  if (SysStringLen(css) == 0)
    return E_INVALIDARG;
  return First(nullptr, css, root, element);
}

STDMETHODIMP CFrameAO::QueryAllByCss(BSTR css, IUnknown *root, VARIANT *elements) {
  if (SysStringLen(css) == 0)
    return E_INVALIDARG;
  return QueryElements(nullptr, css, root, -1, elements);
}

STDMETHODIMP CFrameAO::GetAOPath(IWebObj2 *ao, BSTR *path) {
  if (path == nullptr)
    return E_POINTER;
  *path = nullptr;
  if (ao == nullptr)
    return E_INVALIDARG;
  return Guarded([&]() -> HRESULT {
    ComPtr<IUnknown> wrapped;
    if (ao->GetWrappedElement(wrapped.Out()) != S_OK || !wrapped)
      return E_FAIL;
    ComPtr<IHTMLElement> element = QueryAs<IHTMLElement>(wrapped.Get());
    if (!element)
      return E_FAIL;
    return PutBstr(XPathOf(element.Get()), path);
  });
}

CHostAO *NewFrameAO(ObjectTree *tree, Node *node) { return new CFrameAO(tree, node, kFrame); }

} // namespace host::tree
