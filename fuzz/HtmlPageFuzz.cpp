// Fuzz target: the page engine loads any bytes as a page, then every element
// is walked and read (tag, attributes, text, markup, style, geometry, table indexes),
// and the body's content is replaced by the same bytes parsed as a fragment.
#include <windows.h>

#include <mshtml.h>
#include <oleauto.h>
#include <tallowick/Page.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

template <class T> void Release(T *&object) {
  if (object)
    object->Release();
  object = nullptr;
}

void ReadElement(IHTMLElement *element) {
  BSTR text = nullptr;
  element->get_tagName(&text);
  SysFreeString(text);
  element->get_innerText(&text);
  SysFreeString(text);
  element->get_outerHTML(&text);
  SysFreeString(text);
  LONG index = 0;
  element->get_sourceIndex(&index);
  for (const wchar_t *name : {L"id", L"href", L"class", L"style", L"width", L"src"}) {
    BSTR attribute = SysAllocString(name);
    VARIANT value;
    VariantInit(&value);
    element->getAttribute(attribute, 0, &value);
    VariantClear(&value);
    SysFreeString(attribute);
  }
  IHTMLElement2 *element2 = nullptr;
  if (element->QueryInterface(IID_IHTMLElement2, reinterpret_cast<void **>(&element2)) == S_OK) {
    IHTMLCurrentStyle *style = nullptr;
    if (element2->get_currentStyle(&style) == S_OK && style) {
      style->get_display(&text);
      SysFreeString(text);
    }
    Release(style);
    IHTMLRect *rect = nullptr; // geometry: the layout of the whole page
    if (element2->getBoundingClientRect(&rect) == S_OK)
      Release(rect);
    element2->put_scrollTop(1 << 30);
    element2->get_scrollHeight(&index);
  }
  Release(element2);
  element->get_offsetWidth(&index);
  IHTMLTableRow *row = nullptr;
  if (element->QueryInterface(IID_IHTMLTableRow, reinterpret_cast<void **>(&row)) == S_OK)
    row->get_rowIndex(&index);
  Release(row);
  IHTMLDOMNode *node = nullptr;
  if (element->QueryInterface(IID_IHTMLDOMNode, reinterpret_cast<void **>(&node)) == S_OK) {
    IDispatch *children = nullptr;
    node->get_childNodes(&children);
    Release(children);
  }
  Release(node);
}

void WalkAll(IHTMLDocument2 *document) {
  IHTMLElementCollection *all = nullptr;
  if (document->get_all(&all) != S_OK || !all)
    __builtin_trap();
  LONG length = 0;
  all->get_length(&length);
  for (LONG i = 0; i < length; ++i) {
    VARIANT index, none;
    VariantInit(&index);
    VariantInit(&none);
    index.vt = VT_I4;
    index.lVal = i;
    IDispatch *item = nullptr;
    if (all->item(index, none, &item) != S_OK || !item)
      __builtin_trap(); // every index below length answers an element
    IHTMLElement *element = nullptr;
    if (item->QueryInterface(IID_IHTMLElement, reinterpret_cast<void **>(&element)) != S_OK)
      __builtin_trap();
    ReadElement(element);
    Release(element);
    Release(item);
  }
  Release(all);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::string html(reinterpret_cast<const char *>(data), size);
  IHTMLDocument2 *document = nullptr;
  // An http URL: frames resolve but are not read from disk.
  if (tallowick::platform::LoadPageFromString(html, L"http://fuzz.test/dir/page.html", &document) !=
          S_OK ||
      !document)
    __builtin_trap();
  WalkAll(document);
  IHTMLElement *body = nullptr;
  if (document->get_body(&body) == S_OK && body) {
    std::wstring wide(html.begin(), html.end()); // bytes as Latin-1
    BSTR fragment = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    body->put_innerHTML(fragment);
    SysFreeString(fragment);
    WalkAll(document);
  }
  Release(body);
  Release(document);
  return 0;
}
