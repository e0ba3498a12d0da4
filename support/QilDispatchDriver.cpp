#include "support/QilDispatchDriver.h"

#include <mshtml.h>

#include "support/QilBstr.h"
#include "support/QilComPtr.h"
#include "support/QilVariant.h"

namespace {

HRESULT LookUp(IDispatch *object, LPCOLESTR name, DISPID &id) {
  LPOLESTR names[1] = {const_cast<LPOLESTR>(name != nullptr ? name : L"")};
  return object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id);
}

HRESULT Put(IDispatch *object, DISPID id, WORD kind, VARIANT *value) {
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS arguments{};
  arguments.rgvarg = value;
  arguments.cArgs = 1;
  arguments.rgdispidNamedArgs = &named;
  arguments.cNamedArgs = 1;
  return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &arguments, nullptr, nullptr,
                        nullptr);
}

bool TakesReferencePut(const VARIANT &value) {
  return value.vt == VT_UNKNOWN || value.vt == VT_DISPATCH || (value.vt & VT_ARRAY) != 0 ||
         (value.vt & VT_BYREF) != 0;
}

bool IsName(LPCOLESTR name, LPCOLESTR known) { return lstrcmpiW(name, known) == 0; }

// Step 3: any member through IDispatch, as text.
void ReadNamedText(IDispatch *object, LPCOLESTR name, BSTR *text) {
  CQilVariant value;
  GetNamedProperty(object, name, &value);
  if (value.vt != VT_BSTR && FAILED(VariantChangeType(&value, &value, 0, VT_BSTR)))
    return;
  *text = value.bstrVal;
  value.vt = VT_EMPTY;
}

void TextOfAttribute(HRESULT hr, VARIANT &value, BSTR *text) {
  if (FAILED(hr) || value.vt != VT_BSTR)
    return;
  *text = value.bstrVal;
  value.vt = VT_EMPTY;
}

void ReadWindowText(IHTMLWindow2 *window, LPCOLESTR name, BSTR *text) {
  if (IsName(name, L"name")) {
    window->get_name(text);
    return;
  }
  ReadNamedText(window, name, text);
}

void ReadDocumentText(IHTMLDocument2 *document, LPCOLESTR name, BSTR *text) {
  if (!IsName(name, L"URL")) {
    ReadNamedText(document, name, text);
    return;
  }
  CQilComPtr<IHTMLLocation> location;
  if (SUCCEEDED(document->get_location(&location)) && location)
    location->get_href(text);
}

void ReadElementText(IHTMLElement *element, LPCOLESTR name, BSTR *text, DWORD flags) {
  CQilBstr attribute(name);
  if ((flags & kPropertyOfElementAttribute) != 0) {
    CQilVariant value;
    TextOfAttribute(element->getAttribute(attribute, 0, &value), value, text);
    return;
  }
  if ((flags & kPropertyOfElementStyle) != 0) {
    CQilComPtr<IHTMLStyle> style;
    if (FAILED(element->get_style(&style)) || !style)
      return;
    CQilVariant value;
    TextOfAttribute(style->getAttribute(attribute, 0, &value), value, text);
    return;
  }
  if (IsName(name, L"className"))
    element->get_className(text);
  else if (IsName(name, L"tagName"))
    element->get_tagName(text);
  else if (IsName(name, L"id"))
    element->get_id(text);
  else if (IsName(name, L"outerHTML"))
    element->get_outerHTML(text);
  else if (IsName(name, L"innerHTML"))
    element->get_innerHTML(text);
  else if (IsName(name, L"innerText"))
    element->get_innerText(text);
  else
    ReadNamedText(element, name, text);
}

bool ReadText(IUnknown *object, LPCOLESTR name, BSTR *text, DWORD flags) {
  if ((flags & kPropertyOfWindow) != 0) {
    CQilComPtr<IHTMLWindow2> window;
    if (FAILED(window.QueryFrom(object)) || !window)
      return false;
    ReadWindowText(window, name, text);
    return true;
  }
  if ((flags & kPropertyOfDocument) != 0) {
    CQilComPtr<IHTMLDocument2> document;
    if (FAILED(document.QueryFrom(object)) || !document)
      return false;
    ReadDocumentText(document, name, text);
    return true;
  }
  CQilComPtr<IHTMLElement> element;
  if (FAILED(element.QueryFrom(object)) || !element)
    return false;
  ReadElementText(element, name, text, flags);
  return true;
}

} // namespace

HRESULT GetNamedProperty(IDispatch *object, LPCOLESTR name, VARIANT *value) {
  if (object == nullptr)
    return E_POINTER;
  if (value == nullptr)
    return E_INVALIDARG;
  DISPID id = DISPID_UNKNOWN;
  HRESULT hr = LookUp(object, name, id);
  if (FAILED(hr))
    return hr;
  DISPPARAMS none{};
  return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value,
                        nullptr, nullptr);
}

HRESULT SetNamedProperty(IDispatch *object, LPCOLESTR name, VARIANT *value) {
  if (object == nullptr)
    return E_POINTER;
  if (value == nullptr)
    return E_INVALIDARG;
  DISPID id = DISPID_UNKNOWN;
  HRESULT hr = LookUp(object, name, id);
  if (FAILED(hr))
    return hr;
  if (TakesReferencePut(*value) && SUCCEEDED(hr = Put(object, id, DISPATCH_PROPERTYPUTREF, value)))
    return hr;
  return Put(object, id, DISPATCH_PROPERTYPUT, value);
}

HRESULT CallMethodById(IDispatch *object, DISPID id, DISPPARAMS *arguments, VARIANT *result,
                       EXCEPINFO *exception, UINT *argumentError) {
  if (object == nullptr)
    return E_POINTER;
  DISPPARAMS none{};
  return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                        arguments != nullptr ? arguments : &none, result, exception,
                        argumentError);
}

HRESULT CallNamedMethod(IDispatch *object, LPCOLESTR name, DISPPARAMS *arguments, VARIANT *result,
                        EXCEPINFO *exception, UINT *argumentError) {
  if (object == nullptr)
    return E_POINTER;
  DISPID id = DISPID_UNKNOWN;
  HRESULT hr = LookUp(object, name, id);
  if (FAILED(hr))
    return hr;
  return CallMethodById(object, id, arguments, result, exception, argumentError);
}

HRESULT CallNamedMethod0(IDispatch *object, LPCOLESTR name, VARIANT *result, EXCEPINFO *exception,
                         UINT *argumentError) {
  DISPPARAMS none{};
  return CallNamedMethod(object, name, &none, result, exception, argumentError);
}

HRESULT CallNamedMethod1(IDispatch *object, LPCOLESTR name, VARIANT *argument, VARIANT *result,
                         EXCEPINFO *exception, UINT *argumentError) {
  if (object == nullptr)
    return E_POINTER;
  if (argument == nullptr)
    return E_INVALIDARG;
  DISPPARAMS one{};
  one.rgvarg = argument;
  one.cArgs = 1;
  return CallNamedMethod(object, name, &one, result, exception, argumentError);
}

HRESULT CallMethodById1(IDispatch *object, DISPID id, VARIANT *argument, VARIANT *result,
                        EXCEPINFO *exception, UINT *argumentError) {
  if (object == nullptr)
    return E_POINTER;
  if (argument == nullptr)
    return E_INVALIDARG;
  DISPPARAMS one{};
  one.rgvarg = argument;
  one.cArgs = 1;
  return CallMethodById(object, id, &one, result, exception, argumentError);
}

bool ReadPropertyText(IUnknown *object, LPCOLESTR name, BSTR *text, DWORD flags) {
  if (text == nullptr)
    return false;
  *text = nullptr;
  if (object == nullptr)
    return false;
  return ReadText(object, name != nullptr ? name : L"", text, flags);
}
