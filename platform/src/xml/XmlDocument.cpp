#include "xml/XmlDocument.h"

#include <libxml/parser.h>
#include <libxml/valid.h>

#include <climits>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "tallowick/Strings.h"
#include "oleaut/OleAut.h"
#include "xml/XmlNode.h"

namespace tallowick::platform::xml {

namespace {

// Error codes in the style of the parse errors Windows reports.
constexpr LONG kObjectNotFound = static_cast<LONG>(0x800C0006);
constexpr LONG kMissingRoot = static_cast<LONG>(0xC00CE558);
constexpr LONG kEndTagMismatch = static_cast<LONG>(0xC00CE56D);
constexpr LONG kSyntaxError = static_cast<LONG>(0xC00CE50D);
constexpr LONG kNamespaceError = static_cast<LONG>(0xC00CE01D);
constexpr LONG kUnsupportedSource = static_cast<LONG>(0x80070057);

LONG ErrorCodeFor(const xmlError &error) {
  if (error.domain == XML_FROM_NAMESPACE)
    return kNamespaceError;
  switch (error.code) {
  case XML_ERR_DOCUMENT_EMPTY:
    return kMissingRoot;
  case XML_ERR_TAG_NAME_MISMATCH:
    return kEndTagMismatch;
  default:
    return kSyntaxError;
  }
}

// The first error a parse reports, and nothing on stderr.
struct ErrorSink {
  bool seen = false;
  xmlErrorDomain domain = XML_FROM_NONE;
  int code = 0;
  int line = 0;
  int column = 0;
  std::string message;
};

void CollectError(void *context, xmlErrorPtr error) {
  auto *parser = static_cast<xmlParserCtxtPtr>(context);
  if (parser == nullptr || error == nullptr || error->level < XML_ERR_ERROR)
    return;
  auto *sink = static_cast<ErrorSink *>(parser->_private);
  if (sink == nullptr || sink->seen)
    return;
  sink->seen = true;
  sink->domain = static_cast<xmlErrorDomain>(error->domain);
  sink->code = error->code;
  sink->line = error->line;
  sink->column = error->int2;
  sink->message = error->message ? error->message : "";
  while (!sink->message.empty() && (sink->message.back() == '\n' || sink->message.back() == '\r'))
    sink->message.pop_back();
}

void IgnoreGenericError(void *, const char *, ...) {}

// Routes this thread's libxml2 diagnostics to the parse for its duration.
class QuietParse {
public:
  explicit QuietParse(xmlParserCtxtPtr parser)
      : structured_(xmlStructuredError), structuredContext_(xmlStructuredErrorContext),
        generic_(xmlGenericError), genericContext_(xmlGenericErrorContext) {
    xmlSetStructuredErrorFunc(parser, CollectError);
    xmlSetGenericErrorFunc(nullptr, IgnoreGenericError);
  }
  ~QuietParse() {
    xmlSetStructuredErrorFunc(structuredContext_, structured_);
    xmlSetGenericErrorFunc(genericContext_, generic_);
  }
  QuietParse(const QuietParse &) = delete;
  QuietParse &operator=(const QuietParse &) = delete;

private:
  xmlStructuredErrorFunc structured_;
  void *structuredContext_;
  xmlGenericErrorFunc generic_;
  void *genericContext_;
};

xmlDocPtr NewEmptyDocument() {
  xmlDocPtr document = xmlNewDoc(BAD_CAST "1.0");
  if (document == nullptr)
    throw std::bad_alloc();
  return document;
}

// The 1-based line `line` of `bytes` without its line break, and where it starts.
std::string SourceLine(const std::string &bytes, int line, size_t &start) {
  start = 0;
  for (int current = 1; current < line; ++current) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) {
      start = bytes.size();
      return {};
    }
    start = end + 1;
  }
  size_t end = bytes.find('\n', start);
  std::string text =
      bytes.substr(start, end == std::string::npos ? std::string::npos : end - start);
  if (!text.empty() && text.back() == '\r')
    text.pop_back();
  return text;
}

int HexValue(wchar_t c) {
  if (c >= L'0' && c <= L'9')
    return c - L'0';
  if (c >= L'a' && c <= L'f')
    return c - L'a' + 10;
  if (c >= L'A' && c <= L'F')
    return c - L'A' + 10;
  return -1;
}

// A file path from a path or a file: URL; false for other URLs.
bool PathFromLocation(const std::wstring &location, std::string &path) {
  std::wstring text = location;
  const std::wstring scheme = L"file:";
  if (text.size() >= scheme.size() && EqualsNoCase(text.substr(0, scheme.size()), scheme)) {
    text = text.substr(scheme.size());
    if (text.rfind(L"//", 0) == 0) {
      text = text.substr(2);
      size_t slash = text.find(L'/');
      std::wstring host = text.substr(0, slash);
      if (!host.empty() && !EqualsNoCase(host, L"localhost"))
        return false; // no remote files
      text = slash == std::wstring::npos ? L"" : text.substr(slash);
    }
    std::string decoded;
    std::string utf8 = Narrow(text);
    for (size_t i = 0; i < utf8.size(); ++i) {
      int high = 0, low = 0;
      if (utf8[i] == '%' && i + 2 < utf8.size() + 0 && (high = HexValue(utf8[i + 1])) >= 0 &&
          (low = HexValue(utf8[i + 2])) >= 0) {
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
      } else {
        decoded += utf8[i];
      }
    }
    path = decoded;
    return true;
  }
  size_t colon = text.find(L':');
  if (colon != std::wstring::npos && colon > 1 && text.find(L'/') > colon)
    return false; // another URL scheme: nothing is fetched from networks
  path = Narrow(text);
  return true;
}

bool ReadFile(const std::string &path, std::string &bytes) {
  struct stat info {};
  if (path.empty() || stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
    return false;
  std::ifstream file(path, std::ios::binary);
  if (!file)
    return false;
  std::ostringstream content;
  content << file.rdbuf();
  if (file.bad())
    return false;
  bytes = content.str();
  return true;
}

// The VARIANT itself, or what a VT_BYREF|VT_VARIANT points to.
const VARIANT &Deref(const VARIANT &value) {
  if (value.vt == (VT_BYREF | VT_VARIANT) && value.pvarVal != nullptr)
    return *value.pvarVal;
  return value;
}

} // namespace

XmlDocument::XmlDocument() : XmlDocument(NewEmptyDocument()) {}

XmlDocument::XmlDocument(xmlDocPtr document) {
  xmlInitParser();
  try {
    tree_ = std::make_shared<XmlTree>(document);
  } catch (...) {
    xmlFreeDoc(document);
    throw;
  }
}

XmlDocument::~XmlDocument() = default;

STDMETHODIMP XmlDocument::QueryInterface(REFIID riid, void **out) {
  if (out == nullptr)
    return E_POINTER;
  *out = nullptr;
  if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IXMLDOMNode ||
      riid == IID_IXMLDOMDocument)
    *out = static_cast<IXMLDOMDocument *>(this);
  else if (riid == IID_ITallowickXmlNode)
    *out = static_cast<ITallowickXmlNode *>(this);
  else
    return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) XmlDocument::AddRef() { return ++refs_; }

STDMETHODIMP_(ULONG) XmlDocument::Release() {
  ULONG left = --refs_;
  if (left == 0)
    delete this;
  return left;
}

bool XmlDocument::Parse(const std::string &bytes, const char *encoding, const std::wstring &url) {
  error_ = ParseErrorInfo{};
  error_.url = url;
  tree_ = std::make_shared<XmlTree>(NewEmptyDocument());
  if (bytes.size() > static_cast<size_t>(INT_MAX)) {
    error_.code = kSyntaxError;
    error_.reason = L"The document is too large.";
    return false;
  }
  xmlParserCtxtPtr parser = xmlNewParserCtxt();
  if (parser == nullptr)
    throw std::bad_alloc();
  ErrorSink sink;
  parser->_private = &sink;
  parser->sax->serror = CollectError;
  int options = XML_PARSE_NONET | (preserveWhiteSpace_ ? 0 : XML_PARSE_NOBLANKS);
  std::string base = Narrow(url);
  xmlDocPtr document = nullptr;
  bool wellFormed = false;
  int lastLine = 0;
  {
    QuietParse quiet(parser);
    document = xmlCtxtReadMemory(parser, bytes.data(), static_cast<int>(bytes.size()),
                                 base.empty() ? nullptr : base.c_str(), encoding, options);
    wellFormed = document != nullptr && parser->wellFormed && parser->nsWellFormed;
    lastLine = parser->input != nullptr ? parser->input->line : 0;
  }
  xmlFreeParserCtxt(parser);
  if (wellFormed) {
    tree_ = std::make_shared<XmlTree>(document);
    return true;
  }
  xmlFreeDoc(document);
  error_.code = kSyntaxError;
  error_.reason = L"The document is not well formed.";
  error_.line = lastLine > 0 ? lastLine : 1;
  error_.linepos = 1;
  if (sink.seen) {
    xmlError error{};
    error.domain = sink.domain;
    error.code = sink.code;
    error_.code = ErrorCodeFor(error);
    error_.reason = Widen(sink.message);
    error_.line = sink.line > 0 ? sink.line : error_.line;
    error_.linepos = sink.column > 0 ? sink.column : 1;
  }
  size_t start = 0;
  error_.srcText = Widen(SourceLine(bytes, error_.line, start));
  error_.filepos = static_cast<LONG>(std::min<size_t>(start + error_.linepos - 1, bytes.size()));
  return false;
}

bool XmlDocument::LoadFile(const std::wstring &location) {
  std::string path;
  std::string bytes;
  if (!PathFromLocation(location, path) || !ReadFile(path, bytes)) {
    tree_ = std::make_shared<XmlTree>(NewEmptyDocument());
    error_ = ParseErrorInfo{};
    error_.code = kObjectNotFound;
    error_.url = location;
    error_.reason = L"The system cannot locate the object specified.";
    return false;
  }
  return Parse(bytes, nullptr, location);
}

STDMETHODIMP XmlDocument::load(VARIANT source, VARIANT_BOOL *isSuccessful) {
  if (isSuccessful == nullptr)
    return E_POINTER;
  *isSuccessful = VARIANT_FALSE;
  return Guard([&]() -> HRESULT {
    const VARIANT &value = Deref(source);
    bool loaded = false;
    url_.clear();
    if (value.vt == VT_BSTR || value.vt == (VT_BYREF | VT_BSTR)) {
      BSTR text = value.vt == VT_BSTR ? value.bstrVal : *value.pbstrVal;
      std::wstring location(oleaut::BstrView(text));
      url_ = location;
      loaded = LoadFile(location);
    } else if (value.vt == (VT_ARRAY | VT_UI1) && value.parray != nullptr) {
      void *data = nullptr;
      HRESULT hr = SafeArrayAccessData(value.parray, &data);
      if (FAILED(hr))
        return hr;
      ULONG size = value.parray->rgsabound[0].cElements;
      std::string bytes(static_cast<const char *>(data), size);
      SafeArrayUnaccessData(value.parray);
      loaded = Parse(bytes, nullptr, L"");
    } else if ((value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN) && value.punkVal != nullptr) {
      IXMLDOMNode *other = nullptr;
      if (FAILED(value.punkVal->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void **>(&other))))
        return E_INVALIDARG;
      BSTR xml = nullptr;
      HRESULT hr = other->get_xml(&xml);
      other->Release();
      if (FAILED(hr))
        return hr;
      std::string bytes = BstrToUtf8(xml);
      SysFreeString(xml);
      loaded = Parse(bytes, "UTF-8", L"");
    } else {
      tree_ = std::make_shared<XmlTree>(NewEmptyDocument());
      error_ = ParseErrorInfo{};
      error_.code = kUnsupportedSource;
      error_.reason = L"The source of the document is not supported.";
      return E_INVALIDARG;
    }
    *isSuccessful = loaded ? VARIANT_TRUE : VARIANT_FALSE;
    return loaded ? S_OK : S_FALSE;
  });
}

STDMETHODIMP XmlDocument::loadXML(BSTR xml, VARIANT_BOOL *isSuccessful) {
  if (isSuccessful == nullptr)
    return E_POINTER;
  *isSuccessful = VARIANT_FALSE;
  return Guard([&]() -> HRESULT {
    url_.clear();
    // The text is already Unicode: any declared encoding is moot.
    bool loaded = Parse(Narrow(oleaut::BstrView(xml)), "UTF-8", L"");
    *isSuccessful = loaded ? VARIANT_TRUE : VARIANT_FALSE;
    return loaded ? S_OK : S_FALSE;
  });
}

STDMETHODIMP XmlDocument::save(VARIANT destination) {
  return Guard([&]() -> HRESULT {
    const VARIANT &value = Deref(destination);
    std::wstring xml = NodeXml(Node());
    if (value.vt == VT_BSTR) {
      std::string path;
      if (!PathFromLocation(std::wstring(oleaut::BstrView(value.bstrVal)), path) || path.empty())
        return E_INVALIDARG;
      std::ofstream file(path, std::ios::binary | std::ios::trunc);
      std::string bytes = Narrow(xml);
      if (!file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        return E_ACCESSDENIED;
      return S_OK;
    }
    if ((value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN) && value.punkVal != nullptr) {
      IXMLDOMDocument *target = nullptr;
      if (FAILED(value.punkVal->QueryInterface(IID_IXMLDOMDocument,
                                               reinterpret_cast<void **>(&target))))
        return E_INVALIDARG;
      BSTR text = oleaut::MakeBstr(xml);
      VARIANT_BOOL ok = VARIANT_FALSE;
      HRESULT hr = text ? target->loadXML(text, &ok) : E_OUTOFMEMORY;
      SysFreeString(text);
      target->Release();
      return FAILED(hr) ? hr : (ok ? S_OK : E_FAIL);
    }
    return E_INVALIDARG;
  });
}

STDMETHODIMP XmlDocument::get_doctype(IXMLDOMDocumentType **documentType) {
  if (documentType == nullptr)
    return E_POINTER;
  auto *dtd = reinterpret_cast<xmlNodePtr>(xmlGetIntSubset(tree_->doc));
  return Guard([&] { return WrapAs(tree_, this, dtd, documentType); });
}

STDMETHODIMP XmlDocument::get_implementation(IXMLDOMImplementation **impl) {
  return NewImplementation(impl);
}

STDMETHODIMP XmlDocument::get_documentElement(IXMLDOMElement **element) {
  if (element == nullptr)
    return E_POINTER;
  return Guard([&] { return WrapAs(tree_, this, xmlDocGetRootElement(tree_->doc), element); });
}

STDMETHODIMP XmlDocument::putref_documentElement(IXMLDOMElement *element) {
  return Guard([&]() -> HRESULT {
    auto *documentNode = reinterpret_cast<xmlNodePtr>(tree_->doc);
    xmlNodePtr old = xmlDocGetRootElement(tree_->doc);
    if (element == nullptr) {
      if (old != nullptr)
        UnlinkToOrphans(*tree_, old);
      return S_OK;
    }
    xmlNodePtr root = UnwrapNode(element, tree_);
    if (root == nullptr || root->type != XML_ELEMENT_NODE)
      return E_INVALIDARG;
    if (root == old)
      return S_OK;
    if (root->parent != nullptr)
      xmlUnlinkNode(root);
    tree_->orphans.insert(root);
    LinkChild(documentNode, root, old);
    if (old != nullptr)
      UnlinkToOrphans(*tree_, old);
    return S_OK;
  });
}

HRESULT XmlDocument::CreateOrphan(xmlNodePtr node, REFIID riid, void **out) {
  if (node == nullptr)
    return E_OUTOFMEMORY;
  tree_->orphans.insert(node);
  return WrapNode(tree_, this, node, riid, out);
}

namespace {

bool ValidQName(const std::string &name) {
  return !name.empty() && xmlValidateQName(X(name), 0) == 0;
}

} // namespace

STDMETHODIMP XmlDocument::createElement(BSTR tagName, IXMLDOMElement **element) {
  if (element == nullptr)
    return E_POINTER;
  *element = nullptr;
  return Guard([&]() -> HRESULT {
    std::string name = BstrToUtf8(tagName);
    if (!ValidQName(name))
      return E_INVALIDARG;
    return CreateOrphan(xmlNewDocNode(tree_->doc, nullptr, X(name), nullptr), IID_IXMLDOMElement,
                        reinterpret_cast<void **>(element));
  });
}

STDMETHODIMP XmlDocument::createDocumentFragment(IXMLDOMDocumentFragment **fragment) {
  if (fragment == nullptr)
    return E_POINTER;
  *fragment = nullptr;
  return Guard([&] {
    return CreateOrphan(xmlNewDocFragment(tree_->doc), IID_IXMLDOMDocumentFragment,
                        reinterpret_cast<void **>(fragment));
  });
}

STDMETHODIMP XmlDocument::createTextNode(BSTR data, IXMLDOMText **text) {
  if (text == nullptr)
    return E_POINTER;
  *text = nullptr;
  return Guard([&] {
    return CreateOrphan(xmlNewDocText(tree_->doc, X(BstrToUtf8(data))), IID_IXMLDOMText,
                        reinterpret_cast<void **>(text));
  });
}

STDMETHODIMP XmlDocument::createComment(BSTR data, IXMLDOMComment **comment) {
  if (comment == nullptr)
    return E_POINTER;
  *comment = nullptr;
  return Guard([&] {
    return CreateOrphan(xmlNewDocComment(tree_->doc, X(BstrToUtf8(data))), IID_IXMLDOMComment,
                        reinterpret_cast<void **>(comment));
  });
}

STDMETHODIMP XmlDocument::createCDATASection(BSTR data, IXMLDOMCDATASection **cdata) {
  if (cdata == nullptr)
    return E_POINTER;
  *cdata = nullptr;
  return Guard([&] {
    std::string text = BstrToUtf8(data);
    return CreateOrphan(xmlNewCDataBlock(tree_->doc, X(text), static_cast<int>(text.size())),
                        IID_IXMLDOMCDATASection, reinterpret_cast<void **>(cdata));
  });
}

STDMETHODIMP XmlDocument::createProcessingInstruction(BSTR target, BSTR data,
                                                      IXMLDOMProcessingInstruction **pi) {
  if (pi == nullptr)
    return E_POINTER;
  *pi = nullptr;
  return Guard([&]() -> HRESULT {
    std::string name = BstrToUtf8(target);
    if (name.empty() || xmlValidateName(X(name), 0) != 0)
      return E_INVALIDARG;
    return CreateOrphan(xmlNewDocPI(tree_->doc, X(name), X(BstrToUtf8(data))),
                        IID_IXMLDOMProcessingInstruction, reinterpret_cast<void **>(pi));
  });
}

STDMETHODIMP XmlDocument::createAttribute(BSTR name, IXMLDOMAttribute **attribute) {
  if (attribute == nullptr)
    return E_POINTER;
  *attribute = nullptr;
  return Guard([&]() -> HRESULT {
    std::string text = BstrToUtf8(name);
    if (!ValidQName(text))
      return E_INVALIDARG;
    auto *node = reinterpret_cast<xmlNodePtr>(xmlNewDocProp(tree_->doc, X(text), nullptr));
    return CreateOrphan(node, IID_IXMLDOMAttribute, reinterpret_cast<void **>(attribute));
  });
}

STDMETHODIMP XmlDocument::createEntityReference(BSTR name, IXMLDOMEntityReference **entityRef) {
  if (entityRef == nullptr)
    return E_POINTER;
  *entityRef = nullptr;
  return Guard([&]() -> HRESULT {
    std::string text = BstrToUtf8(name);
    if (text.empty() || xmlValidateName(X(text), 0) != 0)
      return E_INVALIDARG;
    return CreateOrphan(xmlNewReference(tree_->doc, X(text)), IID_IXMLDOMEntityReference,
                        reinterpret_cast<void **>(entityRef));
  });
}

STDMETHODIMP XmlDocument::getElementsByTagName(BSTR tagName, IXMLDOMNodeList **resultList) {
  if (resultList == nullptr)
    return E_POINTER;
  *resultList = nullptr;
  if (tagName == nullptr)
    return E_INVALIDARG;
  return Guard([&] {
    return NewNodeList(tree_, this, ElementsByTagName(Node(), BstrToUtf8(tagName)), resultList);
  });
}

STDMETHODIMP XmlDocument::createNode(VARIANT type, BSTR name, BSTR namespaceURI,
                                     IXMLDOMNode **node) {
  if (node == nullptr)
    return E_POINTER;
  *node = nullptr;
  return Guard([&]() -> HRESULT {
    const VARIANT &value = Deref(type);
    LONG kind = NODE_INVALID;
    if (value.vt == VT_BSTR) {
      std::wstring text(oleaut::BstrView(value.bstrVal));
      for (LONG k = NODE_ELEMENT; k <= NODE_NOTATION; ++k)
        if (EqualsNoCase(text, NodeTypeString(static_cast<DOMNodeType>(k))))
          kind = k;
    } else {
      VARIANT number;
      VariantInit(&number);
      if (FAILED(VariantChangeType(&number, &value, 0, VT_I4)))
        return E_INVALIDARG;
      kind = number.lVal;
    }
    std::string uri = BstrToUtf8(namespaceURI);
    IUnknown *created = nullptr;
    HRESULT hr = E_INVALIDARG;
    auto *out = reinterpret_cast<void **>(&created);
    switch (kind) {
    case NODE_ELEMENT: {
      hr = createElement(name, reinterpret_cast<IXMLDOMElement **>(out));
      xmlNodePtr element = SUCCEEDED(hr) ? UnwrapNode(created, tree_) : nullptr;
      if (element != nullptr && !uri.empty()) {
        std::string qname = BstrToUtf8(name);
        size_t colon = qname.find(':');
        std::string prefix = colon == std::string::npos ? "" : qname.substr(0, colon);
        xmlNsPtr ns = xmlNewNs(element, X(uri), prefix.empty() ? nullptr : X(prefix));
        if (ns != nullptr) {
          xmlSetNs(element, ns);
          if (colon != std::string::npos)
            xmlNodeSetName(element, X(qname.substr(colon + 1)));
        }
      }
      break;
    }
    case NODE_ATTRIBUTE:
      hr = createAttribute(name, reinterpret_cast<IXMLDOMAttribute **>(out));
      break;
    case NODE_TEXT:
      hr = createTextNode(nullptr, reinterpret_cast<IXMLDOMText **>(out));
      break;
    case NODE_CDATA_SECTION:
      hr = createCDATASection(nullptr, reinterpret_cast<IXMLDOMCDATASection **>(out));
      break;
    case NODE_ENTITY_REFERENCE:
      hr = createEntityReference(name, reinterpret_cast<IXMLDOMEntityReference **>(out));
      break;
    case NODE_PROCESSING_INSTRUCTION:
      hr = createProcessingInstruction(name, nullptr,
                                       reinterpret_cast<IXMLDOMProcessingInstruction **>(out));
      break;
    case NODE_COMMENT:
      hr = createComment(nullptr, reinterpret_cast<IXMLDOMComment **>(out));
      break;
    case NODE_DOCUMENT_FRAGMENT:
      hr = createDocumentFragment(reinterpret_cast<IXMLDOMDocumentFragment **>(out));
      break;
    default:
      return E_INVALIDARG; // documents, document types, entities and notations are not made here
    }
    if (FAILED(hr) || created == nullptr)
      return FAILED(hr) ? hr : E_FAIL;
    hr = created->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void **>(node));
    created->Release();
    return hr;
  });
}

STDMETHODIMP XmlDocument::nodeFromID(BSTR idString, IXMLDOMNode **node) {
  if (node == nullptr)
    return E_POINTER;
  *node = nullptr;
  return Guard([&]() -> HRESULT {
    xmlAttrPtr id = xmlGetID(tree_->doc, X(BstrToUtf8(idString)));
    return WrapAs(tree_, this, id != nullptr ? id->parent : nullptr, node);
  });
}

STDMETHODIMP XmlDocument::get_readyState(LONG *value) {
  if (value == nullptr)
    return E_POINTER;
  *value = 4; // completed: loading is synchronous
  return S_OK;
}

STDMETHODIMP XmlDocument::get_parseError(IXMLDOMParseError **errorObj) {
  return NewParseError(error_, errorObj);
}

STDMETHODIMP XmlDocument::get_url(BSTR *url) {
  if (url == nullptr)
    return E_POINTER;
  *url = nullptr;
  if (url_.empty())
    return S_FALSE;
  return Guard([&] { return ReturnBstr(url_, url); });
}

namespace {

HRESULT GetFlag(bool flag, VARIANT_BOOL *out) {
  if (out == nullptr)
    return E_POINTER;
  *out = flag ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

} // namespace

STDMETHODIMP XmlDocument::get_async(VARIANT_BOOL *isAsync) { return GetFlag(async_, isAsync); }

STDMETHODIMP XmlDocument::put_async(VARIANT_BOOL isAsync) {
  async_ = isAsync != VARIANT_FALSE;
  return S_OK;
}

STDMETHODIMP XmlDocument::abort() { return S_OK; } // nothing is ever in progress

STDMETHODIMP XmlDocument::get_validateOnParse(VARIANT_BOOL *value) {
  return GetFlag(validateOnParse_, value);
}

STDMETHODIMP XmlDocument::put_validateOnParse(VARIANT_BOOL value) {
  validateOnParse_ = value != VARIANT_FALSE;
  return S_OK;
}

STDMETHODIMP XmlDocument::get_resolveExternals(VARIANT_BOOL *value) {
  return GetFlag(resolveExternals_, value);
}

STDMETHODIMP XmlDocument::put_resolveExternals(VARIANT_BOOL value) {
  resolveExternals_ = value != VARIANT_FALSE;
  return S_OK;
}

STDMETHODIMP XmlDocument::get_preserveWhiteSpace(VARIANT_BOOL *value) {
  return GetFlag(preserveWhiteSpace_, value);
}

STDMETHODIMP XmlDocument::put_preserveWhiteSpace(VARIANT_BOOL value) {
  preserveWhiteSpace_ = value != VARIANT_FALSE;
  return S_OK;
}

// Loading completes within load(): there are no state changes to report later.
STDMETHODIMP XmlDocument::put_onreadystatechange(VARIANT) { return S_OK; }
STDMETHODIMP XmlDocument::put_ondataavailable(VARIANT) { return S_OK; }
STDMETHODIMP XmlDocument::put_ontransformnode(VARIANT) { return S_OK; }

HRESULT CreateXmlDocument(REFIID riid, void **out) {
  if (out == nullptr)
    return E_POINTER;
  *out = nullptr;
  return Guard([&] {
    auto *document = new XmlDocument();
    HRESULT hr = document->QueryInterface(riid, out);
    document->Release();
    return hr;
  });
}

HRESULT CreateDomDocument(IUnknown *outer, REFIID riid, void **out) {
  if (out == nullptr)
    return E_POINTER;
  *out = nullptr;
  if (outer != nullptr)
    return CLASS_E_NOAGGREGATION;
  return CreateXmlDocument(riid, out);
}

} // namespace tallowick::platform::xml
