// The DOM document: loading (always synchronous) through libxml2, the parse
// error of the last load, and the factory methods for new nodes.
#pragma once

#include "xml/XmlNodeBase.h"

namespace tallowick::platform::xml {

struct ParseErrorInfo {
  LONG code = 0;
  std::wstring url;
  std::wstring reason;
  std::wstring srcText;
  LONG line = 0;
  LONG linepos = 0;
  LONG filepos = 0;
};
HRESULT NewParseError(const ParseErrorInfo &info, IXMLDOMParseError **out);

class XmlDocument final : public NodeBase<IXMLDOMDocument> {
 public:
  XmlDocument();
  // A document over an existing tree (a clone).
  explicit XmlDocument(xmlDocPtr document);

  xmlNodePtr Node() override { return reinterpret_cast<xmlNodePtr>(tree_->doc); }
  const TreePtr &Tree() override { return tree_; }
  XmlDocument *Owner() override { return this; }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void **out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IXMLDOMDocument
  STDMETHODIMP get_doctype(IXMLDOMDocumentType **documentType) override;
  STDMETHODIMP get_implementation(IXMLDOMImplementation **impl) override;
  STDMETHODIMP get_documentElement(IXMLDOMElement **element) override;
  STDMETHODIMP putref_documentElement(IXMLDOMElement *element) override;
  STDMETHODIMP createElement(BSTR tagName, IXMLDOMElement **element) override;
  STDMETHODIMP createDocumentFragment(IXMLDOMDocumentFragment **fragment) override;
  STDMETHODIMP createTextNode(BSTR data, IXMLDOMText **text) override;
  STDMETHODIMP createComment(BSTR data, IXMLDOMComment **comment) override;
  STDMETHODIMP createCDATASection(BSTR data, IXMLDOMCDATASection **cdata) override;
  STDMETHODIMP createProcessingInstruction(BSTR target, BSTR data,
                                           IXMLDOMProcessingInstruction **pi) override;
  STDMETHODIMP createAttribute(BSTR name, IXMLDOMAttribute **attribute) override;
  STDMETHODIMP createEntityReference(BSTR name, IXMLDOMEntityReference **entityRef) override;
  STDMETHODIMP getElementsByTagName(BSTR tagName, IXMLDOMNodeList **resultList) override;
  STDMETHODIMP createNode(VARIANT type, BSTR name, BSTR namespaceURI, IXMLDOMNode **node) override;
  STDMETHODIMP nodeFromID(BSTR idString, IXMLDOMNode **node) override;
  STDMETHODIMP load(VARIANT source, VARIANT_BOOL *isSuccessful) override;
  STDMETHODIMP get_readyState(LONG *value) override;
  STDMETHODIMP get_parseError(IXMLDOMParseError **errorObj) override;
  STDMETHODIMP get_url(BSTR *url) override;
  STDMETHODIMP get_async(VARIANT_BOOL *isAsync) override;
  STDMETHODIMP put_async(VARIANT_BOOL isAsync) override;
  STDMETHODIMP abort() override;
  STDMETHODIMP loadXML(BSTR xml, VARIANT_BOOL *isSuccessful) override;
  STDMETHODIMP save(VARIANT destination) override;
  STDMETHODIMP get_validateOnParse(VARIANT_BOOL *value) override;
  STDMETHODIMP put_validateOnParse(VARIANT_BOOL value) override;
  STDMETHODIMP get_resolveExternals(VARIANT_BOOL *value) override;
  STDMETHODIMP put_resolveExternals(VARIANT_BOOL value) override;
  STDMETHODIMP get_preserveWhiteSpace(VARIANT_BOOL *value) override;
  STDMETHODIMP put_preserveWhiteSpace(VARIANT_BOOL value) override;
  STDMETHODIMP put_onreadystatechange(VARIANT sink) override;
  STDMETHODIMP put_ondataavailable(VARIANT sink) override;
  STDMETHODIMP put_ontransformnode(VARIANT sink) override;

 private:
  ~XmlDocument() override;
  // Parses `bytes` into a new tree; on failure records the error and leaves an empty tree.
  bool Parse(const std::string &bytes, const char *encoding, const std::wstring &url);
  bool LoadFile(const std::wstring &location);
  HRESULT CreateOrphan(xmlNodePtr node, REFIID riid, void **out);

  std::atomic<ULONG> refs_{1};
  TreePtr tree_;
  ParseErrorInfo error_;
  std::wstring url_;
  bool async_ = true;
  bool validateOnParse_ = true;
  bool resolveExternals_ = true;
  bool preserveWhiteSpace_ = false;
};

// A new empty document (the class factory's product).
HRESULT CreateXmlDocument(REFIID riid, void **out);
HRESULT CreateDomDocument(IUnknown *outer, REFIID riid, void **out);

} // namespace tallowick::platform::xml
