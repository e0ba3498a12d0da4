#include "tree/DomAccess.h"

#include <cwctype>

namespace host::tree {
namespace {

std::wstring Take(BSTR text) {
  std::wstring out = FromBstr(text);
  SysFreeString(text);
  return out;
}

} // namespace

ComPtr<IUnknown> Identity(IUnknown *object) { return QueryAs<IUnknown>(object); }

bool SameObject(IUnknown *a, IUnknown *b) {
  if (a == nullptr || b == nullptr)
    return false;
  return Identity(a).Get() == Identity(b).Get();
}

std::wstring TagName(IHTMLElement *element) {
  BSTR text = nullptr;
  if (element == nullptr || FAILED(element->get_tagName(&text)))
    return {};
  return Take(text);
}

std::wstring ElementId(IHTMLElement *element) {
  BSTR text = nullptr;
  if (element == nullptr || FAILED(element->get_id(&text)))
    return {};
  return Take(text);
}

std::wstring ClassName(IHTMLElement *element) {
  BSTR text = nullptr;
  if (element == nullptr || FAILED(element->get_className(&text)))
    return {};
  return Take(text);
}

std::wstring InnerText(IHTMLElement *element) {
  BSTR text = nullptr;
  if (element == nullptr || FAILED(element->get_innerText(&text)))
    return {};
  return Take(text);
}

std::wstring AttributeText(IHTMLElement *element, const wchar_t *name, bool *present) {
  if (present != nullptr)
    *present = false;
  if (element == nullptr)
    return {};
  BSTR key = SysAllocString(name);
  VariantHolder value;
  HRESULT hr = key != nullptr ? element->getAttribute(key, 2, value.Ptr()) : E_OUTOFMEMORY;
  SysFreeString(key);
  if (FAILED(hr) || value->vt == VT_NULL || value->vt == VT_EMPTY)
    return {};
  if (present != nullptr)
    *present = true;
  if (value->vt != VT_BSTR && FAILED(VariantChangeType(value.Ptr(), value.Ptr(), 0, VT_BSTR)))
    return {};
  return FromBstr(value->bstrVal);
}

HRESULT GetProperty(IUnknown *object, const wchar_t *name, VARIANT *value) {
  if (value == nullptr)
    return E_POINTER;
  VariantInit(value);
  ComPtr<IDispatch> dispatch = QueryAs<IDispatch>(object);
  if (!dispatch)
    return E_NOINTERFACE;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID id = DISPID_UNKNOWN;
  HRESULT hr = dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr))
    return hr;
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value,
                          nullptr, nullptr);
}

std::wstring PropertyText(IUnknown *object, const wchar_t *name) {
  VariantHolder value;
  if (FAILED(GetProperty(object, name, value.Ptr())) || value->vt == VT_NULL ||
      value->vt == VT_EMPTY)
    return {};
  if (value->vt != VT_BSTR && FAILED(VariantChangeType(value.Ptr(), value.Ptr(), 0, VT_BSTR)))
    return {};
  return FromBstr(value->bstrVal);
}

bool PropertyBool(IUnknown *object, const wchar_t *name) {
  VariantHolder value;
  if (FAILED(GetProperty(object, name, value.Ptr())))
    return false;
  if (FAILED(VariantChangeType(value.Ptr(), value.Ptr(), 0, VT_BOOL)))
    return false;
  return value->boolVal != VARIANT_FALSE;
}

std::vector<ComPtr<IHTMLElement>> Children(IHTMLElement *element) {
  std::vector<ComPtr<IHTMLElement>> out;
  ComPtr<IDispatch> dispatch;
  if (element == nullptr || FAILED(element->get_children(dispatch.Out())))
    return out;
  ComPtr<IHTMLElementCollection> children = QueryAs<IHTMLElementCollection>(dispatch.Get());
  LONG length = 0;
  if (!children || FAILED(children->get_length(&length)))
    return out;
  out.reserve(static_cast<size_t>(length));
  for (LONG i = 0; i < length; ++i) {
    VARIANT index, none;
    VariantInit(&index);
    VariantInit(&none);
    index.vt = VT_I4;
    index.lVal = i;
    ComPtr<IDispatch> item;
    if (SUCCEEDED(children->item(index, none, item.Out())) && item) {
      ComPtr<IHTMLElement> child = QueryAs<IHTMLElement>(item.Get());
      if (child)
        out.push_back(std::move(child));
    }
  }
  return out;
}

ComPtr<IHTMLElement> ParentElement(IHTMLElement *element) {
  ComPtr<IHTMLElement> parent;
  if (element == nullptr || FAILED(element->get_parentElement(parent.Out())))
    parent.Reset();
  return parent;
}

ComPtr<IHTMLElement> DocumentElement(IHTMLDocument2 *document) {
  ComPtr<IHTMLElement> root;
  ComPtr<IHTMLDocument3> document3 = QueryAs<IHTMLDocument3>(document);
  if (!document3 || FAILED(document3->get_documentElement(root.Out())))
    root.Reset();
  return root;
}

ComPtr<IHTMLDocument2> DocumentOf(IHTMLElement *element) {
  ComPtr<IDispatch> dispatch;
  if (element == nullptr || FAILED(element->get_document(dispatch.Out())))
    return {};
  return QueryAs<IHTMLDocument2>(dispatch.Get());
}

ComPtr<IHTMLDocument2> FrameDocument(IHTMLDocument2 *document, LONG index) {
  ComPtr<IHTMLDocument2> frameDocument;
  ComPtr<IHTMLWindow2> window;
  if (document == nullptr || FAILED(document->get_parentWindow(window.Out())) || !window)
    return frameDocument;
  VARIANT at;
  VariantInit(&at);
  at.vt = VT_I4;
  at.lVal = index;
  VariantHolder result;
  if (FAILED(window->item(&at, result.Ptr())) || result->vt != VT_DISPATCH)
    return frameDocument;
  ComPtr<IHTMLWindow2> frame = QueryAs<IHTMLWindow2>(result->pdispVal);
  if (!frame || FAILED(frame->get_document(frameDocument.Out())))
    frameDocument.Reset();
  return frameDocument;
}

std::wstring DocumentUrl(IHTMLDocument2 *document) {
  BSTR text = nullptr;
  if (document == nullptr || FAILED(document->get_URL(&text)))
    return {};
  return Take(text);
}

std::wstring DocumentTitle(IHTMLDocument2 *document) {
  BSTR text = nullptr;
  if (document == nullptr || FAILED(document->get_title(&text)))
    return {};
  return Take(text);
}

bool ClientRect(IHTMLElement *element, RECT *rect) {
  *rect = RECT{};
  ComPtr<IHTMLElement2> element2 = QueryAs<IHTMLElement2>(element);
  ComPtr<IHTMLRect> box;
  if (!element2 || FAILED(element2->getBoundingClientRect(box.Out())) || !box)
    return false;
  box->get_left(&rect->left);
  box->get_top(&rect->top);
  box->get_right(&rect->right);
  box->get_bottom(&rect->bottom);
  return true;
}

} // namespace host::tree
