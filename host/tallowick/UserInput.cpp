#include "UserInput.h"

#include <cstdlib>

#include "ComRef.h"
#include "tallowick/Page.h"

namespace tallowick::cli {
namespace {

using platform::Narrow;
using platform::Widen;

std::string Trim(const std::string &text) {
  size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos)
    return {};
  size_t last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

Ref<IHTMLDocument4> DocumentOf(IHTMLElement *element) {
  Ref<IDispatch> document;
  if (FAILED(element->get_document(document.Out())) || !document)
    return {};
  return document.As<IHTMLDocument4>();
}

// Fires EVENT ("onkeydown", "onchange", ...) with an event object.
HRESULT Fire(IHTMLElement *element, const wchar_t *event, LONG keyCode = 0) {
  Ref<IHTMLElement3> element3;
  element->QueryInterface(IID_IHTMLElement3, element3.OutVoid());
  Ref<IHTMLDocument4> document = DocumentOf(element);
  if (!element3 || !document)
    return E_FAIL;
  VARIANT none;
  VariantInit(&none);
  Ref<IHTMLEventObj> object;
  HRESULT hr = document->createEventObject(&none, object.Out());
  if (FAILED(hr) || !object)
    return FAILED(hr) ? hr : E_FAIL;
  if (keyCode != 0)
    object->put_keyCode(keyCode);
  VARIANT arg;
  arg.vt = VT_DISPATCH;
  arg.pdispVal = object.Get();
  VARIANT_BOOL cancelled = VARIANT_FALSE;
  BSTR name = SysAllocString(event);
  hr = element3->fireEvent(name, &arg, &cancelled);
  SysFreeString(name);
  return hr;
}

// Sets the element's `value` through its dispatch interface (inputs and text areas).
HRESULT PutValue(IHTMLElement *element, const std::wstring &text) {
  wchar_t member[] = L"value";
  LPOLESTR names[] = {member};
  DISPID id = 0;
  HRESULT hr = element->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
  if (FAILED(hr))
    return hr;
  VARIANT value;
  value.vt = VT_BSTR;
  value.bstrVal = SysAllocString(text.c_str());
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params = {&value, &named, 1, 1};
  hr = element->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
  VariantClear(&value);
  return hr;
}

bool IsTextField(IHTMLElement *element) {
  BSTR tag = nullptr;
  element->get_tagName(&tag);
  std::string name = TakeText(tag);
  if (name == "TEXTAREA")
    return true;
  Ref<IHTMLInputElement> input;
  element->QueryInterface(IID_IHTMLInputElement, input.OutVoid());
  BSTR type = nullptr;
  if (!input || FAILED(input->get_type(&type)))
    return false;
  std::string kind = TakeText(type);
  return kind == "text" || kind == "password" || kind == "file" || kind.empty();
}

HRESULT Focus(IHTMLElement *element) {
  Ref<IHTMLElement2> element2;
  element->QueryInterface(IID_IHTMLElement2, element2.OutVoid());
  return element2 ? element2->focus() : E_FAIL;
}

HRESULT Blur(IHTMLElement *element) {
  Ref<IHTMLElement2> element2;
  element->QueryInterface(IID_IHTMLElement2, element2.OutVoid());
  return element2 ? element2->blur() : E_FAIL;
}

} // namespace

HRESULT UserClick(IHTMLElement *element) {
  Focus(element);
  return platform::UserClick(element);
}

HRESULT UserType(IHTMLElement *element, const std::string &text) {
  if (!IsTextField(element))
    return E_INVALIDARG;
  Focus(element);
  std::wstring wide = Widen(text);
  std::wstring typed;
  HRESULT hr = PutValue(element, typed);
  for (size_t i = 0; i < wide.size() && SUCCEEDED(hr); ++i) {
    LONG code = static_cast<LONG>(wide[i]);
    Fire(element, L"onkeydown", code);
    Fire(element, L"onkeypress", code);
    typed += wide[i];
    hr = PutValue(element, typed);
    Fire(element, L"onkeyup", code);
  }
  if (FAILED(hr))
    return hr;
  hr = Fire(element, L"onchange");
  Blur(element);
  return hr;
}

HRESULT UserSelect(IHTMLElement *element, const std::string &option, std::string &error) {
  Ref<IHTMLSelectElement> select;
  element->QueryInterface(IID_IHTMLSelectElement, select.OutVoid());
  if (!select) {
    error = "the element is no list (SELECT)";
    return E_INVALIDARG;
  }
  LONG count = 0;
  select->get_length(&count);
  LONG chosen = -1;
  if (option.size() > 1 && option[0] == '#') {
    char *end = nullptr;
    long index = std::strtol(option.c_str() + 1, &end, 10);
    if (*end == '\0' && index >= 0 && index < count)
      chosen = static_cast<LONG>(index);
  }
  for (LONG i = 0; i < count && chosen < 0; ++i) {
    VARIANT at, none;
    at.vt = VT_I4;
    at.lVal = i;
    VariantInit(&none);
    Ref<IDispatch> item;
    Ref<IHTMLOptionElement> entry;
    BSTR text = nullptr;
    if (FAILED(select->item(at, none, item.Out())) || !item ||
        !(entry = item.As<IHTMLOptionElement>()) || FAILED(entry->get_text(&text)))
      continue;
    if (Trim(TakeText(text)) == Trim(option))
      chosen = i;
  }
  if (chosen < 0) {
    error = "the list has no option '" + option + "'";
    return E_INVALIDARG;
  }
  Focus(element);
  HRESULT hr = select->put_selectedIndex(chosen);
  if (FAILED(hr))
    return hr;
  hr = Fire(element, L"onchange");
  Blur(element);
  return hr;
}

HRESULT UserCheck(IHTMLElement *element, bool checked) {
  Ref<IHTMLInputElement> input;
  element->QueryInterface(IID_IHTMLInputElement, input.OutVoid());
  if (!input)
    return E_INVALIDARG;
  VARIANT_BOOL state = VARIANT_FALSE;
  input->get_checked(&state);
  if ((state != VARIANT_FALSE) == checked)
    return S_FALSE;
  return UserClick(element);
}

} // namespace tallowick::cli
