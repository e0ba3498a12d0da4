#pragma once
// XML DOM document interfaces, as declared by the Windows SDK.
#include <oaidl.h>
#include <objbase.h>

typedef enum tagDOMNodeType {
  NODE_INVALID = 0,
  NODE_ELEMENT,
  NODE_ATTRIBUTE,
  NODE_TEXT,
  NODE_CDATA_SECTION,
  NODE_ENTITY_REFERENCE,
  NODE_ENTITY,
  NODE_PROCESSING_INSTRUCTION,
  NODE_COMMENT,
  NODE_DOCUMENT,
  NODE_DOCUMENT_TYPE,
  NODE_DOCUMENT_FRAGMENT,
  NODE_NOTATION
} DOMNodeType;

#define TALLOWICK_XMLDOM_GUID(name, l)                                                             \
  DEFINE_GUID(name, l, 0x7B36, 0x11D2, 0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60)

TALLOWICK_XMLDOM_GUID(IID_IXMLDOMNode, 0x2933BF80);
TALLOWICK_XMLDOM_GUID(IID_IXMLDOMDocument, 0x2933BF81);
TALLOWICK_XMLDOM_GUID(IID_IXMLDOMNodeList, 0x2933BF82);
TALLOWICK_XMLDOM_GUID(IID_IXMLDOMNamedNodeMap, 0x2933BF83);
TALLOWICK_XMLDOM_GUID(IID_IXMLDOMCharacterData, 0x2933BF84);
TALLOWICK_XMLDOM_GUID(IID_IXMLDOMAttribute, 0x2933BF85);
TALLOWICK_XMLDOM_GUID(IID_IXMLDOMElement, 0x2933BF86);
TALLOWICK_XMLDOM_GUID(IID_IXMLDOMText, 0x2933BF87);
TALLOWICK_XMLDOM_GUID(IID_IXMLDOMComment, 0x2933BF88);
TALLOWICK_XMLDOM_GUID(IID_IXMLDOMProcessingInstruction, 0x2933BF89);
TALLOWICK_XMLDOM_GUID(IID_IXMLDOMCDATASection, 0x2933BF8A);
TALLOWICK_XMLDOM_GUID(IID_IXMLDOMDocumentType, 0x2933BF8B);
TALLOWICK_XMLDOM_GUID(IID_IXMLDOMNotation, 0x2933BF8C);
TALLOWICK_XMLDOM_GUID(IID_IXMLDOMEntity, 0x2933BF8D);
TALLOWICK_XMLDOM_GUID(IID_IXMLDOMEntityReference, 0x2933BF8E);
TALLOWICK_XMLDOM_GUID(IID_IXMLDOMImplementation, 0x2933BF8F);
TALLOWICK_XMLDOM_GUID(CLSID_DOMDocument, 0x2933BF90);
DEFINE_GUID(IID_IXMLDOMDocumentFragment, 0x3EFAA413, 0x272F, 0x11D2, 0x83, 0x6F, 0x00, 0x00,
            0xF8, 0x7A, 0x77, 0x82);
DEFINE_GUID(IID_IXMLDOMParseError, 0x3EFAA426, 0x272F, 0x11D2, 0x83, 0x6F, 0x00, 0x00, 0xF8,
            0x7A, 0x77, 0x82);

#ifdef __cplusplus
#define TALLOWICK_XMLDOM_UUID(type, l)                                                             \
  __CRT_UUID_DECL(type, l, 0x7B36, 0x11D2, 0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60)

interface IXMLDOMNode;
interface IXMLDOMNodeList;
interface IXMLDOMNamedNodeMap;
interface IXMLDOMDocument;
interface IXMLDOMDocumentType;
interface IXMLDOMImplementation;
interface IXMLDOMElement;
interface IXMLDOMDocumentFragment;
interface IXMLDOMText;
interface IXMLDOMComment;
interface IXMLDOMCDATASection;
interface IXMLDOMProcessingInstruction;
interface IXMLDOMAttribute;
interface IXMLDOMEntityReference;
interface IXMLDOMParseError;

MIDL_INTERFACE("2933BF80-7B36-11D2-B20E-00C04F983E60")
IXMLDOMNode : public IDispatch {
 public:
  STDMETHOD(get_nodeName)(BSTR * name) = 0;
  STDMETHOD(get_nodeValue)(VARIANT * value) = 0;
  STDMETHOD(put_nodeValue)(VARIANT value) = 0;
  STDMETHOD(get_nodeType)(DOMNodeType * type) = 0;
  STDMETHOD(get_parentNode)(IXMLDOMNode * *parent) = 0;
  STDMETHOD(get_childNodes)(IXMLDOMNodeList * *childList) = 0;
  STDMETHOD(get_firstChild)(IXMLDOMNode * *firstChild) = 0;
  STDMETHOD(get_lastChild)(IXMLDOMNode * *lastChild) = 0;
  STDMETHOD(get_previousSibling)(IXMLDOMNode * *previousSibling) = 0;
  STDMETHOD(get_nextSibling)(IXMLDOMNode * *nextSibling) = 0;
  STDMETHOD(get_attributes)(IXMLDOMNamedNodeMap * *attributeMap) = 0;
  STDMETHOD(insertBefore)(IXMLDOMNode * newChild, VARIANT refChild, IXMLDOMNode * *outNewChild) = 0;
  STDMETHOD(replaceChild)(IXMLDOMNode * newChild, IXMLDOMNode * oldChild,
                          IXMLDOMNode * *outOldChild) = 0;
  STDMETHOD(removeChild)(IXMLDOMNode * childNode, IXMLDOMNode * *oldChild) = 0;
  STDMETHOD(appendChild)(IXMLDOMNode * newChild, IXMLDOMNode * *outNewChild) = 0;
  STDMETHOD(hasChildNodes)(VARIANT_BOOL * hasChild) = 0;
  STDMETHOD(get_ownerDocument)(IXMLDOMDocument * *XMLDOMDocument) = 0;
  STDMETHOD(cloneNode)(VARIANT_BOOL deep, IXMLDOMNode * *cloneRoot) = 0;
  STDMETHOD(get_nodeTypeString)(BSTR * nodeType) = 0;
  STDMETHOD(get_text)(BSTR * text) = 0;
  STDMETHOD(put_text)(BSTR text) = 0;
  STDMETHOD(get_specified)(VARIANT_BOOL * isSpecified) = 0;
  STDMETHOD(get_definition)(IXMLDOMNode * *definitionNode) = 0;
  STDMETHOD(get_nodeTypedValue)(VARIANT * typedValue) = 0;
  STDMETHOD(put_nodeTypedValue)(VARIANT typedValue) = 0;
  STDMETHOD(get_dataType)(VARIANT * dataTypeName) = 0;
  STDMETHOD(put_dataType)(BSTR dataTypeName) = 0;
  STDMETHOD(get_xml)(BSTR * xmlString) = 0;
  STDMETHOD(transformNode)(IXMLDOMNode * stylesheet, BSTR * xmlString) = 0;
  STDMETHOD(selectNodes)(BSTR queryString, IXMLDOMNodeList * *resultList) = 0;
  STDMETHOD(selectSingleNode)(BSTR queryString, IXMLDOMNode * *resultNode) = 0;
  STDMETHOD(get_parsed)(VARIANT_BOOL * isParsed) = 0;
  STDMETHOD(get_namespaceURI)(BSTR * namespaceURI) = 0;
  STDMETHOD(get_prefix)(BSTR * prefixString) = 0;
  STDMETHOD(get_baseName)(BSTR * nameString) = 0;
  STDMETHOD(transformNodeToObject)(IXMLDOMNode * stylesheet, VARIANT outputObject) = 0;
};
TALLOWICK_XMLDOM_UUID(IXMLDOMNode, 0x2933BF80)

MIDL_INTERFACE("2933BF82-7B36-11D2-B20E-00C04F983E60")
IXMLDOMNodeList : public IDispatch {
 public:
  STDMETHOD(get_item)(LONG index, IXMLDOMNode * *listItem) = 0;
  STDMETHOD(get_length)(LONG * listLength) = 0;
  STDMETHOD(nextNode)(IXMLDOMNode * *nextItem) = 0;
  STDMETHOD(reset)() = 0;
  STDMETHOD(get__newEnum)(IUnknown * *ppUnk) = 0;
};
TALLOWICK_XMLDOM_UUID(IXMLDOMNodeList, 0x2933BF82)

MIDL_INTERFACE("2933BF83-7B36-11D2-B20E-00C04F983E60")
IXMLDOMNamedNodeMap : public IDispatch {
 public:
  STDMETHOD(getNamedItem)(BSTR name, IXMLDOMNode * *namedItem) = 0;
  STDMETHOD(setNamedItem)(IXMLDOMNode * newItem, IXMLDOMNode * *nameItem) = 0;
  STDMETHOD(removeNamedItem)(BSTR name, IXMLDOMNode * *namedItem) = 0;
  STDMETHOD(get_item)(LONG index, IXMLDOMNode * *listItem) = 0;
  STDMETHOD(get_length)(LONG * listLength) = 0;
  STDMETHOD(getQualifiedItem)(BSTR baseName, BSTR namespaceURI, IXMLDOMNode * *qualifiedItem) = 0;
  STDMETHOD(removeQualifiedItem)(BSTR baseName, BSTR namespaceURI,
                                 IXMLDOMNode * *qualifiedItem) = 0;
  STDMETHOD(nextNode)(IXMLDOMNode * *nextItem) = 0;
  STDMETHOD(reset)() = 0;
  STDMETHOD(get__newEnum)(IUnknown * *ppUnk) = 0;
};
TALLOWICK_XMLDOM_UUID(IXMLDOMNamedNodeMap, 0x2933BF83)

MIDL_INTERFACE("2933BF81-7B36-11D2-B20E-00C04F983E60")
IXMLDOMDocument : public IXMLDOMNode {
 public:
  STDMETHOD(get_doctype)(IXMLDOMDocumentType * *documentType) = 0;
  STDMETHOD(get_implementation)(IXMLDOMImplementation * *impl) = 0;
  STDMETHOD(get_documentElement)(IXMLDOMElement * *DOMElement) = 0;
  STDMETHOD(putref_documentElement)(IXMLDOMElement * DOMElement) = 0;
  STDMETHOD(createElement)(BSTR tagName, IXMLDOMElement * *element) = 0;
  STDMETHOD(createDocumentFragment)(IXMLDOMDocumentFragment * *docFrag) = 0;
  STDMETHOD(createTextNode)(BSTR data, IXMLDOMText * *text) = 0;
  STDMETHOD(createComment)(BSTR data, IXMLDOMComment * *comment) = 0;
  STDMETHOD(createCDATASection)(BSTR data, IXMLDOMCDATASection * *cdata) = 0;
  STDMETHOD(createProcessingInstruction)(BSTR target, BSTR data,
                                         IXMLDOMProcessingInstruction * *pi) = 0;
  STDMETHOD(createAttribute)(BSTR name, IXMLDOMAttribute * *attribute) = 0;
  STDMETHOD(createEntityReference)(BSTR name, IXMLDOMEntityReference * *entityRef) = 0;
  STDMETHOD(getElementsByTagName)(BSTR tagName, IXMLDOMNodeList * *resultList) = 0;
  STDMETHOD(createNode)(VARIANT Type, BSTR name, BSTR namespaceURI, IXMLDOMNode * *node) = 0;
  STDMETHOD(nodeFromID)(BSTR idString, IXMLDOMNode * *node) = 0;
  STDMETHOD(load)(VARIANT xmlSource, VARIANT_BOOL * isSuccessful) = 0;
  STDMETHOD(get_readyState)(LONG * value) = 0;
  STDMETHOD(get_parseError)(IXMLDOMParseError * *errorObj) = 0;
  STDMETHOD(get_url)(BSTR * urlString) = 0;
  STDMETHOD(get_async)(VARIANT_BOOL * isAsync) = 0;
  STDMETHOD(put_async)(VARIANT_BOOL isAsync) = 0;
  STDMETHOD(abort)() = 0;
  STDMETHOD(loadXML)(BSTR bstrXML, VARIANT_BOOL * isSuccessful) = 0;
  STDMETHOD(save)(VARIANT destination) = 0;
  STDMETHOD(get_validateOnParse)(VARIANT_BOOL * isValidating) = 0;
  STDMETHOD(put_validateOnParse)(VARIANT_BOOL isValidating) = 0;
  STDMETHOD(get_resolveExternals)(VARIANT_BOOL * isResolving) = 0;
  STDMETHOD(put_resolveExternals)(VARIANT_BOOL isResolving) = 0;
  STDMETHOD(get_preserveWhiteSpace)(VARIANT_BOOL * isPreserving) = 0;
  STDMETHOD(put_preserveWhiteSpace)(VARIANT_BOOL isPreserving) = 0;
  STDMETHOD(put_onreadystatechange)(VARIANT readystatechangeSink) = 0;
  STDMETHOD(put_ondataavailable)(VARIANT ondataavailableSink) = 0;
  STDMETHOD(put_ontransformnode)(VARIANT ontransformnodeSink) = 0;
};
TALLOWICK_XMLDOM_UUID(IXMLDOMDocument, 0x2933BF81)

MIDL_INTERFACE("2933BF86-7B36-11D2-B20E-00C04F983E60")
IXMLDOMElement : public IXMLDOMNode {
 public:
  STDMETHOD(get_tagName)(BSTR * tagName) = 0;
  STDMETHOD(getAttribute)(BSTR name, VARIANT * value) = 0;
  STDMETHOD(setAttribute)(BSTR name, VARIANT value) = 0;
  STDMETHOD(removeAttribute)(BSTR name) = 0;
  STDMETHOD(getAttributeNode)(BSTR name, IXMLDOMAttribute * *attributeNode) = 0;
  STDMETHOD(setAttributeNode)(IXMLDOMAttribute * DOMAttribute,
                              IXMLDOMAttribute * *attributeNode) = 0;
  STDMETHOD(removeAttributeNode)(IXMLDOMAttribute * DOMAttribute,
                                 IXMLDOMAttribute * *attributeNode) = 0;
  STDMETHOD(getElementsByTagName)(BSTR tagName, IXMLDOMNodeList * *resultList) = 0;
  STDMETHOD(normalize)() = 0;
};
TALLOWICK_XMLDOM_UUID(IXMLDOMElement, 0x2933BF86)

MIDL_INTERFACE("2933BF85-7B36-11D2-B20E-00C04F983E60")
IXMLDOMAttribute : public IXMLDOMNode {
 public:
  STDMETHOD(get_name)(BSTR * attributeName) = 0;
  STDMETHOD(get_value)(VARIANT * attributeValue) = 0;
  STDMETHOD(put_value)(VARIANT attributeValue) = 0;
};
TALLOWICK_XMLDOM_UUID(IXMLDOMAttribute, 0x2933BF85)

MIDL_INTERFACE("3EFAA413-272F-11D2-836F-0000F87A7782")
IXMLDOMDocumentFragment : public IXMLDOMNode{};
__CRT_UUID_DECL(IXMLDOMDocumentFragment, 0x3EFAA413, 0x272F, 0x11D2, 0x83, 0x6F, 0x00, 0x00, 0xF8,
                0x7A, 0x77, 0x82)

MIDL_INTERFACE("2933BF84-7B36-11D2-B20E-00C04F983E60")
IXMLDOMCharacterData : public IXMLDOMNode {
 public:
  STDMETHOD(get_data)(BSTR * data) = 0;
  STDMETHOD(put_data)(BSTR data) = 0;
  STDMETHOD(get_length)(LONG * dataLength) = 0;
  STDMETHOD(substringData)(LONG offset, LONG count, BSTR * data) = 0;
  STDMETHOD(appendData)(BSTR data) = 0;
  STDMETHOD(insertData)(LONG offset, BSTR data) = 0;
  STDMETHOD(deleteData)(LONG offset, LONG count) = 0;
  STDMETHOD(replaceData)(LONG offset, LONG count, BSTR data) = 0;
};
TALLOWICK_XMLDOM_UUID(IXMLDOMCharacterData, 0x2933BF84)

MIDL_INTERFACE("2933BF87-7B36-11D2-B20E-00C04F983E60")
IXMLDOMText : public IXMLDOMCharacterData {
 public:
  STDMETHOD(splitText)(LONG offset, IXMLDOMText * *rightHandTextNode) = 0;
};
TALLOWICK_XMLDOM_UUID(IXMLDOMText, 0x2933BF87)

MIDL_INTERFACE("2933BF88-7B36-11D2-B20E-00C04F983E60")
IXMLDOMComment : public IXMLDOMCharacterData{};
TALLOWICK_XMLDOM_UUID(IXMLDOMComment, 0x2933BF88)

MIDL_INTERFACE("2933BF8A-7B36-11D2-B20E-00C04F983E60")
IXMLDOMCDATASection : public IXMLDOMText{};
TALLOWICK_XMLDOM_UUID(IXMLDOMCDATASection, 0x2933BF8A)

MIDL_INTERFACE("2933BF89-7B36-11D2-B20E-00C04F983E60")
IXMLDOMProcessingInstruction : public IXMLDOMNode {
 public:
  STDMETHOD(get_target)(BSTR * name) = 0;
  STDMETHOD(get_data)(BSTR * value) = 0;
  STDMETHOD(put_data)(BSTR value) = 0;
};
TALLOWICK_XMLDOM_UUID(IXMLDOMProcessingInstruction, 0x2933BF89)

MIDL_INTERFACE("2933BF8E-7B36-11D2-B20E-00C04F983E60")
IXMLDOMEntityReference : public IXMLDOMNode{};
TALLOWICK_XMLDOM_UUID(IXMLDOMEntityReference, 0x2933BF8E)

MIDL_INTERFACE("2933BF8B-7B36-11D2-B20E-00C04F983E60")
IXMLDOMDocumentType : public IXMLDOMNode {
 public:
  STDMETHOD(get_name)(BSTR * rootName) = 0;
  STDMETHOD(get_entities)(IXMLDOMNamedNodeMap * *entityMap) = 0;
  STDMETHOD(get_notations)(IXMLDOMNamedNodeMap * *notationMap) = 0;
};
TALLOWICK_XMLDOM_UUID(IXMLDOMDocumentType, 0x2933BF8B)

MIDL_INTERFACE("2933BF8F-7B36-11D2-B20E-00C04F983E60")
IXMLDOMImplementation : public IDispatch {
 public:
  STDMETHOD(hasFeature)(BSTR feature, BSTR version, VARIANT_BOOL * hasFeature) = 0;
};
TALLOWICK_XMLDOM_UUID(IXMLDOMImplementation, 0x2933BF8F)

MIDL_INTERFACE("3EFAA426-272F-11D2-836F-0000F87A7782")
IXMLDOMParseError : public IDispatch {
 public:
  STDMETHOD(get_errorCode)(LONG * errorCode) = 0;
  STDMETHOD(get_url)(BSTR * urlString) = 0;
  STDMETHOD(get_reason)(BSTR * reasonString) = 0;
  STDMETHOD(get_srcText)(BSTR * sourceString) = 0;
  STDMETHOD(get_line)(LONG * lineNumber) = 0;
  STDMETHOD(get_linepos)(LONG * linePosition) = 0;
  STDMETHOD(get_filepos)(LONG * filePosition) = 0;
};
__CRT_UUID_DECL(IXMLDOMParseError, 0x3EFAA426, 0x272F, 0x11D2, 0x83, 0x6F, 0x00, 0x00, 0xF8, 0x7A,
                0x77, 0x82)

#undef TALLOWICK_XMLDOM_UUID
#endif
#undef TALLOWICK_XMLDOM_GUID
