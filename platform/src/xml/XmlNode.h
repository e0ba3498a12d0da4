// Every node other than the document: elements, attributes, text, CDATA,
// comments, processing instructions, entity references, fragments and the
// document type. One object per libxml2 node; it answers the interfaces its
// node type has.
#pragma once

#include "xml/XmlNodeBase.h"

namespace tallowick::platform::xml {

class XmlNode final
    : public NodeBase<IXMLDOMElement, IXMLDOMAttribute, IXMLDOMCDATASection, IXMLDOMComment,
                      IXMLDOMProcessingInstruction, IXMLDOMDocumentType, IXMLDOMDocumentFragment,
                      IXMLDOMEntityReference> {
 public:
  XmlNode(TreePtr tree, XmlDocument *owner, xmlNodePtr node);

  xmlNodePtr Node() override { return node_; }
  const TreePtr &Tree() override { return tree_; }
  XmlDocument *Owner() override { return owner_; }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void **out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IXMLDOMElement
  STDMETHODIMP get_tagName(BSTR *tagName) override;
  STDMETHODIMP getAttribute(BSTR name, VARIANT *value) override;
  STDMETHODIMP setAttribute(BSTR name, VARIANT value) override;
  STDMETHODIMP removeAttribute(BSTR name) override;
  STDMETHODIMP getAttributeNode(BSTR name, IXMLDOMAttribute **attributeNode) override;
  STDMETHODIMP setAttributeNode(IXMLDOMAttribute *attribute, IXMLDOMAttribute **old) override;
  STDMETHODIMP removeAttributeNode(IXMLDOMAttribute *attribute,
                                   IXMLDOMAttribute **removed) override;
  STDMETHODIMP getElementsByTagName(BSTR tagName, IXMLDOMNodeList **resultList) override;
  STDMETHODIMP normalize() override;

  // IXMLDOMAttribute (get_name also serves IXMLDOMDocumentType)
  STDMETHODIMP get_name(BSTR *name) override;
  STDMETHODIMP get_value(VARIANT *value) override;
  STDMETHODIMP put_value(VARIANT value) override;

  // IXMLDOMCharacterData, IXMLDOMText (get_data/put_data also serve IXMLDOMProcessingInstruction)
  STDMETHODIMP get_data(BSTR *data) override;
  STDMETHODIMP put_data(BSTR data) override;
  STDMETHODIMP get_length(LONG *length) override;
  STDMETHODIMP substringData(LONG offset, LONG count, BSTR *data) override;
  STDMETHODIMP appendData(BSTR data) override;
  STDMETHODIMP insertData(LONG offset, BSTR data) override;
  STDMETHODIMP deleteData(LONG offset, LONG count) override;
  STDMETHODIMP replaceData(LONG offset, LONG count, BSTR data) override;
  STDMETHODIMP splitText(LONG offset, IXMLDOMText **rightHandTextNode) override;

  // IXMLDOMProcessingInstruction
  STDMETHODIMP get_target(BSTR *name) override;

  // IXMLDOMDocumentType
  STDMETHODIMP get_entities(IXMLDOMNamedNodeMap **entityMap) override;
  STDMETHODIMP get_notations(IXMLDOMNamedNodeMap **notationMap) override;

 private:
  ~XmlNode() override;
  bool IsCharacterData() const;
  HRESULT EditData(LONG offset, LONG count, const std::wstring &insert);

  std::atomic<ULONG> refs_{1};
  TreePtr tree_;
  XmlDocument *owner_;
  xmlNodePtr node_;
};

// The attribute of `element` whose qualified name is `name`, or nullptr.
xmlAttrPtr FindAttribute(xmlNodePtr element, const std::string &name);

} // namespace tallowick::platform::xml
