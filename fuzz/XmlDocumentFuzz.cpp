// Fuzz target: the XML document parses any bytes (as UTF-8 text), then every
// node is walked and read, and the parse error is read whole.
#include <windows.h>
#include <msxml2.h>
#include <oleauto.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

void Free(BSTR text) { SysFreeString(text); }

void ReadParseError(IXMLDOMDocument *document) {
  IXMLDOMParseError *error = nullptr;
  if (document->get_parseError(&error) != S_OK || error == nullptr)
    __builtin_trap();
  LONG number = 0;
  BSTR text = nullptr;
  error->get_errorCode(&number);
  error->get_line(&number);
  error->get_linepos(&number);
  error->get_filepos(&number);
  error->get_reason(&text);
  Free(text);
  error->get_srcText(&text);
  Free(text);
  error->get_url(&text);
  Free(text);
  error->Release();
}

void ReadNode(IXMLDOMNode *node) {
  BSTR text = nullptr;
  node->get_nodeName(&text);
  Free(text);
  node->get_text(&text);
  Free(text);
  node->get_xml(&text);
  Free(text);
  VARIANT value;
  node->get_nodeValue(&value);
  VariantClear(&value);
  IXMLDOMNamedNodeMap *attributes = nullptr;
  if (node->get_attributes(&attributes) == S_OK && attributes != nullptr) {
    IXMLDOMNode *attribute = nullptr;
    while (attributes->nextNode(&attribute) == S_OK && attribute != nullptr) {
      attribute->get_nodeName(&text);
      Free(text);
      attribute->get_nodeValue(&value);
      VariantClear(&value);
      attribute->Release();
    }
    attributes->Release();
  }
  IXMLDOMElement *element = nullptr;
  if (node->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void **>(&element)) == S_OK) {
    BSTR name = SysAllocString(L"Name");
    element->getAttribute(name, &value);
    VariantClear(&value);
    SysFreeString(name);
    element->Release();
  }
}

// Depth-first over the whole tree without recursion.
void Walk(IXMLDOMDocument *document) {
  std::vector<IXMLDOMNode *> pending;
  IXMLDOMNode *root = nullptr;
  if (document->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void **>(&root)) != S_OK)
    __builtin_trap();
  pending.push_back(root);
  while (!pending.empty()) {
    IXMLDOMNode *node = pending.back();
    pending.pop_back();
    ReadNode(node);
    IXMLDOMNode *child = nullptr;
    if (node->get_lastChild(&child) == S_OK && child != nullptr) {
      while (child != nullptr) {
        pending.push_back(child);
        IXMLDOMNode *previous = nullptr;
        child->get_previousSibling(&previous);
        child = previous;
      }
    }
    node->Release();
  }
  IXMLDOMNodeList *all = nullptr;
  BSTR star = SysAllocString(L"*");
  if (document->getElementsByTagName(star, &all) == S_OK && all != nullptr)
    all->Release();
  SysFreeString(star);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  // One class object for the run: activation reads the registry, parsing should dominate.
  static IClassFactory *factory = [] {
    IClassFactory *object = nullptr;
    if (FAILED(CoInitialize(nullptr)) ||
        FAILED(CoGetClassObject(CLSID_DOMDocument, CLSCTX_INPROC_SERVER, nullptr,
                                IID_IClassFactory, reinterpret_cast<void **>(&object))))
      __builtin_trap();
    return object;
  }();
  IXMLDOMDocument *document = nullptr;
  if (FAILED(factory->CreateInstance(nullptr, IID_IXMLDOMDocument,
                                     reinterpret_cast<void **>(&document))))
    __builtin_trap();
  document->put_async(VARIANT_FALSE);
  // The bytes as UTF-8 text, decoded leniently as a caller's string would be.
  std::string bytes(reinterpret_cast<const char *>(data), size);
  int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                   nullptr, 0);
  std::wstring text(length > 0 ? length : 0, L'\0');
  if (length > 0)
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                        length);
  BSTR xml = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  VARIANT_BOOL loaded = VARIANT_FALSE;
  HRESULT hr = document->loadXML(xml, &loaded);
  SysFreeString(xml);
  if ((hr == S_OK) != (loaded == VARIANT_TRUE))
    __builtin_trap();
  ReadParseError(document);
  Walk(document);

  // The same bytes as they come from a file: raw, in whatever encoding they declare.
  SAFEARRAY *array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(size));
  if (array == nullptr)
    __builtin_trap();
  void *target = nullptr;
  if (size > 0 && SUCCEEDED(SafeArrayAccessData(array, &target))) {
    std::copy(data, data + size, static_cast<uint8_t *>(target));
    SafeArrayUnaccessData(array);
  }
  VARIANT source;
  VariantInit(&source);
  source.vt = VT_ARRAY | VT_UI1;
  source.parray = array;
  hr = document->load(source, &loaded);
  VariantClear(&source);
  if ((hr == S_OK) != (loaded == VARIANT_TRUE))
    __builtin_trap();
  ReadParseError(document);
  Walk(document);
  if (document->Release() != 0)
    __builtin_trap(); // every node object was released
  return 0;
}
