#include "xml/XmlNode.h"

#include "tallowick/Strings.h"
#include "xml/XmlDocument.h"

namespace tallowick::platform::xml {

xmlAttrPtr FindAttribute(xmlNodePtr element, const std::string &name) {
  for (xmlAttrPtr attribute = element->properties; attribute != nullptr;
       attribute = attribute->next)
    if (QualifiedNameUtf8(reinterpret_cast<xmlNodePtr>(attribute)) == name)
      return attribute;
  return nullptr;
}

XmlNode::XmlNode(TreePtr tree, XmlDocument *owner, xmlNodePtr node)
    : tree_(std::move(tree)), owner_(owner), node_(node) {
  tree_->wrappers[node_] = this;
  owner_->AddRef();
}

XmlNode::~XmlNode() {
  tree_->wrappers.erase(node_);
  owner_->Release();
}

STDMETHODIMP XmlNode::QueryInterface(REFIID riid, void **out) {
  if (out == nullptr)
    return E_POINTER;
  *out = nullptr;
  auto type = node_->type;
  bool text = type == XML_TEXT_NODE || type == XML_CDATA_SECTION_NODE;
  if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IXMLDOMNode)
    *out = static_cast<IXMLDOMElement *>(this);
  else if (riid == IID_ITallowickXmlNode)
    *out = static_cast<ITallowickXmlNode *>(this);
  else if (riid == IID_IXMLDOMElement && type == XML_ELEMENT_NODE)
    *out = static_cast<IXMLDOMElement *>(this);
  else if (riid == IID_IXMLDOMAttribute && type == XML_ATTRIBUTE_NODE)
    *out = static_cast<IXMLDOMAttribute *>(this);
  else if ((riid == IID_IXMLDOMText || riid == IID_IXMLDOMCharacterData) && text)
    *out = static_cast<IXMLDOMText *>(static_cast<IXMLDOMCDATASection *>(this));
  else if (riid == IID_IXMLDOMCDATASection && type == XML_CDATA_SECTION_NODE)
    *out = static_cast<IXMLDOMCDATASection *>(this);
  else if ((riid == IID_IXMLDOMComment || riid == IID_IXMLDOMCharacterData) &&
           type == XML_COMMENT_NODE)
    *out = static_cast<IXMLDOMComment *>(this);
  else if (riid == IID_IXMLDOMProcessingInstruction && type == XML_PI_NODE)
    *out = static_cast<IXMLDOMProcessingInstruction *>(this);
  else if (riid == IID_IXMLDOMDocumentType && type == XML_DTD_NODE)
    *out = static_cast<IXMLDOMDocumentType *>(this);
  else if (riid == IID_IXMLDOMDocumentFragment && type == XML_DOCUMENT_FRAG_NODE)
    *out = static_cast<IXMLDOMDocumentFragment *>(this);
  else if (riid == IID_IXMLDOMEntityReference && type == XML_ENTITY_REF_NODE)
    *out = static_cast<IXMLDOMEntityReference *>(this);
  else
    return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) XmlNode::AddRef() { return ++refs_; }

STDMETHODIMP_(ULONG) XmlNode::Release() {
  ULONG left = --refs_;
  if (left == 0)
    delete this;
  return left;
}

// IXMLDOMElement

STDMETHODIMP XmlNode::get_tagName(BSTR *tagName) { return get_nodeName(tagName); }

STDMETHODIMP XmlNode::getAttribute(BSTR name, VARIANT *value) {
  if (value == nullptr)
    return E_POINTER;
  VariantInit(value);
  if (name == nullptr)
    return E_INVALIDARG;
  if (node_->type != XML_ELEMENT_NODE)
    return E_UNEXPECTED;
  return Guard([&]() -> HRESULT {
    std::string key = BstrToUtf8(name);
    std::wstring text;
    bool found = false;
    if (xmlAttrPtr attribute = FindAttribute(node_, key)) {
      text = Widen(NodeText(reinterpret_cast<xmlNodePtr>(attribute)));
      found = true;
    } else if (key == "xmlns" || key.rfind("xmlns:", 0) == 0) {
      // Namespace declarations are attributes in the DOM.
      std::string prefix = key.size() > 5 ? key.substr(6) : "";
      for (xmlNsPtr ns = node_->nsDef; ns != nullptr && !found; ns = ns->next) {
        std::string declared = ns->prefix ? reinterpret_cast<const char *>(ns->prefix) : "";
        if (declared == prefix) {
          text = FromXml(ns->href);
          found = true;
        }
      }
    }
    if (!found) {
      value->vt = VT_NULL;
      return S_FALSE;
    }
    BSTR copy = nullptr;
    HRESULT hr = ReturnBstr(text, &copy);
    if (FAILED(hr))
      return hr;
    value->vt = VT_BSTR;
    value->bstrVal = copy;
    return S_OK;
  });
}

STDMETHODIMP XmlNode::setAttribute(BSTR name, VARIANT value) {
  if (node_->type != XML_ELEMENT_NODE)
    return E_UNEXPECTED;
  return Guard([&]() -> HRESULT {
    std::string key = BstrToUtf8(name);
    if (key.empty() || xmlValidateQName(X(key), 0) != 0)
      return E_INVALIDARG;
    std::string text;
    HRESULT hr = VariantToUtf8(value, text);
    if (FAILED(hr))
      return hr;
    if (xmlAttrPtr existing = FindAttribute(node_, key)) {
      xmlSetNsProp(node_, existing->ns, existing->name, X(text));
      return S_OK;
    }
    xmlAttrPtr created = nullptr;
    size_t colon = key.find(':');
    if (colon != std::string::npos && key.compare(0, colon, "xmlns") != 0) {
      std::string prefix = key.substr(0, colon);
      if (xmlNsPtr ns = xmlSearchNs(node_->doc, node_, X(prefix)))
        created = xmlNewNsProp(node_, ns, X(key.substr(colon + 1)), X(text));
    }
    if (created == nullptr)
      created = xmlNewProp(node_, X(key), X(text));
    return created != nullptr ? S_OK : E_OUTOFMEMORY;
  });
}

STDMETHODIMP XmlNode::removeAttribute(BSTR name) {
  if (node_->type != XML_ELEMENT_NODE)
    return E_UNEXPECTED;
  return Guard([&]() -> HRESULT {
    xmlAttrPtr attribute = FindAttribute(node_, BstrToUtf8(name));
    if (attribute == nullptr)
      return S_FALSE;
    auto *node = reinterpret_cast<xmlNodePtr>(attribute);
    if (tree_->wrappers.count(node) != 0)
      UnlinkToOrphans(*tree_, node); // its object lives on
    else
      xmlRemoveProp(attribute);
    return S_OK;
  });
}

STDMETHODIMP XmlNode::getAttributeNode(BSTR name, IXMLDOMAttribute **attributeNode) {
  if (attributeNode == nullptr)
    return E_POINTER;
  *attributeNode = nullptr;
  if (node_->type != XML_ELEMENT_NODE)
    return E_UNEXPECTED;
  return Guard([&] {
    auto *attribute = reinterpret_cast<xmlNodePtr>(FindAttribute(node_, BstrToUtf8(name)));
    return WrapAs(tree_, owner_, attribute, attributeNode);
  });
}

STDMETHODIMP XmlNode::setAttributeNode(IXMLDOMAttribute *attribute, IXMLDOMAttribute **old) {
  if (old != nullptr)
    *old = nullptr;
  if (node_->type != XML_ELEMENT_NODE)
    return E_UNEXPECTED;
  return Guard([&]() -> HRESULT {
    xmlNodePtr added = UnwrapNode(attribute, tree_);
    if (added == nullptr || added->type != XML_ATTRIBUTE_NODE)
      return E_INVALIDARG;
    if (added->parent == node_)
      return S_OK;
    if (added->parent != nullptr)
      return E_FAIL; // in use by another element
    auto *replaced = reinterpret_cast<xmlNodePtr>(FindAttribute(node_, QualifiedNameUtf8(added)));
    if (replaced != nullptr)
      UnlinkToOrphans(*tree_, replaced);
    auto *link = reinterpret_cast<xmlAttrPtr>(added);
    added->parent = node_;
    link->next = nullptr;
    link->prev = nullptr;
    if (node_->properties == nullptr) {
      node_->properties = link;
    } else {
      xmlAttrPtr last = node_->properties;
      while (last->next != nullptr)
        last = last->next;
      last->next = link;
      link->prev = last;
    }
    if (replaced != nullptr && old != nullptr)
      return WrapAs(tree_, owner_, replaced, old);
    return S_OK;
  });
}

STDMETHODIMP XmlNode::removeAttributeNode(IXMLDOMAttribute *attribute, IXMLDOMAttribute **removed) {
  if (removed != nullptr)
    *removed = nullptr;
  if (node_->type != XML_ELEMENT_NODE)
    return E_UNEXPECTED;
  return Guard([&]() -> HRESULT {
    xmlNodePtr node = UnwrapNode(attribute, tree_);
    if (node == nullptr || node->type != XML_ATTRIBUTE_NODE || node->parent != node_)
      return E_INVALIDARG;
    UnlinkToOrphans(*tree_, node);
    if (removed == nullptr)
      return S_OK;
    return WrapAs(tree_, owner_, node, removed);
  });
}

STDMETHODIMP XmlNode::getElementsByTagName(BSTR tagName, IXMLDOMNodeList **resultList) {
  if (resultList == nullptr)
    return E_POINTER;
  *resultList = nullptr;
  if (tagName == nullptr)
    return E_INVALIDARG;
  return Guard([&] {
    return NewNodeList(tree_, owner_, ElementsByTagName(node_, BstrToUtf8(tagName)), resultList);
  });
}

STDMETHODIMP XmlNode::normalize() {
  if (node_->type != XML_ELEMENT_NODE)
    return E_UNEXPECTED;
  return Guard([&]() -> HRESULT {
    std::vector<xmlNodePtr> pending{node_};
    while (!pending.empty()) {
      xmlNodePtr parent = pending.back();
      pending.pop_back();
      xmlNodePtr child = parent->children;
      while (child != nullptr) {
        xmlNodePtr next = child->next;
        if (child->type == XML_TEXT_NODE && next != nullptr && next->type == XML_TEXT_NODE) {
          xmlNodeAddContent(child, next->content);
          UnlinkToOrphans(*tree_, next);
          continue;
        }
        if (child->type == XML_TEXT_NODE && (child->content == nullptr || *child->content == 0))
          UnlinkToOrphans(*tree_, child);
        else if (child->type == XML_ELEMENT_NODE)
          pending.push_back(child);
        child = next;
      }
    }
    return S_OK;
  });
}

// IXMLDOMAttribute, IXMLDOMDocumentType

STDMETHODIMP XmlNode::get_name(BSTR *name) { return get_nodeName(name); }

STDMETHODIMP XmlNode::get_value(VARIANT *value) { return get_nodeValue(value); }

STDMETHODIMP XmlNode::put_value(VARIANT value) { return put_nodeValue(value); }

// IXMLDOMCharacterData, IXMLDOMText, IXMLDOMProcessingInstruction

bool XmlNode::IsCharacterData() const {
  auto type = node_->type;
  return type == XML_TEXT_NODE || type == XML_CDATA_SECTION_NODE || type == XML_COMMENT_NODE;
}

STDMETHODIMP XmlNode::get_data(BSTR *data) {
  if (data == nullptr)
    return E_POINTER;
  *data = nullptr;
  if (!IsCharacterData() && node_->type != XML_PI_NODE)
    return E_UNEXPECTED;
  return Guard([&] { return ReturnBstr(FromXml(node_->content), data); });
}

STDMETHODIMP XmlNode::put_data(BSTR data) {
  if (!IsCharacterData() && node_->type != XML_PI_NODE)
    return E_UNEXPECTED;
  return Guard([&] {
    xmlNodeSetContent(node_, X(BstrToUtf8(data)));
    return S_OK;
  });
}

STDMETHODIMP XmlNode::get_length(LONG *length) {
  if (length == nullptr)
    return E_POINTER;
  *length = 0;
  if (!IsCharacterData())
    return E_UNEXPECTED;
  return Guard([&] {
    *length = static_cast<LONG>(FromXml(node_->content).size());
    return S_OK;
  });
}

STDMETHODIMP XmlNode::substringData(LONG offset, LONG count, BSTR *data) {
  if (data == nullptr)
    return E_POINTER;
  *data = nullptr;
  if (!IsCharacterData())
    return E_UNEXPECTED;
  return Guard([&]() -> HRESULT {
    std::wstring text = FromXml(node_->content);
    if (offset < 0 || count < 0 || static_cast<size_t>(offset) > text.size())
      return E_INVALIDARG;
    return ReturnBstr(std::wstring_view(text).substr(offset, count), data);
  });
}

HRESULT XmlNode::EditData(LONG offset, LONG count, const std::wstring &insert) {
  if (!IsCharacterData())
    return E_UNEXPECTED;
  return Guard([&]() -> HRESULT {
    std::wstring text = FromXml(node_->content);
    if (offset < 0 || count < 0 || static_cast<size_t>(offset) > text.size())
      return E_INVALIDARG;
    text.replace(offset, count, insert);
    xmlNodeSetContent(node_, X(Narrow(text)));
    return S_OK;
  });
}

STDMETHODIMP XmlNode::appendData(BSTR data) {
  if (!IsCharacterData())
    return E_UNEXPECTED;
  return Guard([&] {
    xmlNodeAddContent(node_, X(BstrToUtf8(data)));
    return S_OK;
  });
}

STDMETHODIMP XmlNode::insertData(LONG offset, BSTR data) {
  return Guard([&] { return EditData(offset, 0, Widen(BstrToUtf8(data))); });
}

STDMETHODIMP XmlNode::deleteData(LONG offset, LONG count) { return EditData(offset, count, {}); }

STDMETHODIMP XmlNode::replaceData(LONG offset, LONG count, BSTR data) {
  return Guard([&] { return EditData(offset, count, Widen(BstrToUtf8(data))); });
}

STDMETHODIMP XmlNode::splitText(LONG offset, IXMLDOMText **rightHandTextNode) {
  if (rightHandTextNode != nullptr)
    *rightHandTextNode = nullptr;
  if (node_->type != XML_TEXT_NODE && node_->type != XML_CDATA_SECTION_NODE)
    return E_UNEXPECTED;
  return Guard([&]() -> HRESULT {
    std::wstring text = FromXml(node_->content);
    if (offset < 0 || static_cast<size_t>(offset) > text.size())
      return E_INVALIDARG;
    std::string tail = Narrow(text.substr(offset));
    xmlNodePtr right = node_->type == XML_TEXT_NODE
                           ? xmlNewDocText(node_->doc, X(tail))
                           : xmlNewCDataBlock(node_->doc, X(tail), static_cast<int>(tail.size()));
    if (right == nullptr)
      return E_OUTOFMEMORY;
    tree_->orphans.insert(right);
    xmlNodeSetContent(node_, X(Narrow(text.substr(0, offset))));
    if (node_->parent != nullptr)
      LinkChild(node_->parent, right, node_->next);
    if (rightHandTextNode == nullptr)
      return S_OK;
    return WrapAs(tree_, owner_, right, rightHandTextNode);
  });
}

STDMETHODIMP XmlNode::get_target(BSTR *name) { return get_nodeName(name); }

STDMETHODIMP XmlNode::get_entities(IXMLDOMNamedNodeMap **entityMap) {
  if (entityMap == nullptr)
    return E_POINTER;
  *entityMap = nullptr;
  if (node_->type != XML_DTD_NODE)
    return E_UNEXPECTED;
  return Guard([&] { return NewEntityMap(tree_, owner_, node_, entityMap); });
}

STDMETHODIMP XmlNode::get_notations(IXMLDOMNamedNodeMap **notationMap) {
  if (notationMap == nullptr)
    return E_POINTER;
  *notationMap = nullptr;
  if (node_->type != XML_DTD_NODE)
    return E_UNEXPECTED;
  // Notations are not nodes in the parsed tree: the map is empty.
  return Guard([&] { return NewEntityMap(tree_, owner_, nullptr, notationMap); });
}

} // namespace tallowick::platform::xml
