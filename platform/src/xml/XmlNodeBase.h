// IXMLDOMNode and IDispatch, shared by the document and the other node objects.
#pragma once

#include "xml/XmlCommon.h"

namespace tallowick::platform::xml {

HRESULT NodeGetValue(xmlNodePtr node, VARIANT *value);
HRESULT NodePutValue(XmlTree &tree, xmlNodePtr node, const VARIANT &value);
HRESULT NodeGetText(xmlNodePtr node, BSTR *text);
HRESULT NodePutText(XmlTree &tree, xmlNodePtr node, BSTR text);
HRESULT NodeInsert(const TreePtr &tree, XmlDocument *owner, xmlNodePtr parent,
                   IXMLDOMNode *newChild, xmlNodePtr before, IXMLDOMNode **outNewChild);
HRESULT NodeRemove(const TreePtr &tree, XmlDocument *owner, xmlNodePtr parent,
                   IXMLDOMNode *child, IXMLDOMNode **outOld);
HRESULT NodeClone(const TreePtr &tree, XmlDocument *owner, xmlNodePtr node, bool deep,
                  IXMLDOMNode **out);
HRESULT NodeSelect(const TreePtr &tree, XmlDocument *owner, xmlNodePtr node, BSTR query,
                   std::vector<xmlNodePtr> &found);
const wchar_t *NodeTypeString(DOMNodeType type);

template <class... Interfaces>
class NodeBase : public Interfaces..., public ITallowickXmlNode {
 public:
  // The node this object stands for, its tree and the document that made it.
  virtual xmlNodePtr Node() = 0;
  virtual const TreePtr &Tree() = 0;
  virtual XmlDocument *Owner() = 0;

  STDMETHOD(QueryInterface)(REFIID riid, void **out) override = 0;
  STDMETHOD_(ULONG, AddRef)() override = 0;
  STDMETHOD_(ULONG, Release)() override = 0;

  xmlNodePtr RawNode() override { return Node(); }
  XmlTree *RawTree() override { return Tree().get(); }

  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT *count) override {
    if (count == nullptr)
      return E_POINTER;
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **info) override {
    if (info == nullptr)
      return E_POINTER;
    *info = nullptr;
    return DISP_E_BADINDEX;
  }
  STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR *names, UINT count, LCID,
                             DISPID *ids) override {
    return DispatchGetIDsOfNames(riid, names, count, ids);
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *params, VARIANT *result,
                      EXCEPINFO *, UINT *) override {
    IDispatch *self = nullptr;
    if (FAILED(this->QueryInterface(IID_IDispatch, reinterpret_cast<void **>(&self))))
      return E_UNEXPECTED;
    HRESULT hr = DispatchInvoke(self, id, flags, params, result);
    self->Release();
    return hr;
  }

  // IXMLDOMNode
  STDMETHODIMP get_nodeName(BSTR *name) override {
    if (name == nullptr)
      return E_POINTER;
    return Guard([&] { return ReturnBstr(QualifiedName(Node()), name); });
  }
  STDMETHODIMP get_nodeValue(VARIANT *value) override {
    if (value == nullptr)
      return E_POINTER;
    return Guard([&] { return NodeGetValue(Node(), value); });
  }
  STDMETHODIMP put_nodeValue(VARIANT value) override {
    return Guard([&] { return NodePutValue(*Tree(), Node(), value); });
  }
  STDMETHODIMP get_nodeType(DOMNodeType *type) override {
    if (type == nullptr)
      return E_POINTER;
    *type = NodeTypeOf(Node());
    return S_OK;
  }
  STDMETHODIMP get_parentNode(IXMLDOMNode **parent) override {
    if (parent == nullptr)
      return E_POINTER;
    xmlNodePtr node = Node();
    xmlNodePtr up = node->type == XML_ATTRIBUTE_NODE ? nullptr : node->parent;
    return Guard([&] { return WrapAs(Tree(), Owner(), up, parent); });
  }
  STDMETHODIMP get_childNodes(IXMLDOMNodeList **list) override {
    if (list == nullptr)
      return E_POINTER;
    return Guard([&] {
      std::vector<xmlNodePtr> children;
      if (!IsLeafForDom(Node()))
        for (xmlNodePtr c = Node()->children; c != nullptr; c = c->next)
          children.push_back(c);
      return NewNodeList(Tree(), Owner(), children, list);
    });
  }
  STDMETHODIMP get_firstChild(IXMLDOMNode **child) override {
    return Related(IsLeafForDom(Node()) ? nullptr : Node()->children, child);
  }
  STDMETHODIMP get_lastChild(IXMLDOMNode **child) override {
    return Related(IsLeafForDom(Node()) ? nullptr : Node()->last, child);
  }
  STDMETHODIMP get_previousSibling(IXMLDOMNode **sibling) override {
    return Related(IsSibling() ? Node()->prev : nullptr, sibling);
  }
  STDMETHODIMP get_nextSibling(IXMLDOMNode **sibling) override {
    return Related(IsSibling() ? Node()->next : nullptr, sibling);
  }
  STDMETHODIMP get_attributes(IXMLDOMNamedNodeMap **map) override {
    if (map == nullptr)
      return E_POINTER;
    *map = nullptr;
    if (Node()->type == XML_ELEMENT_NODE)
      return Guard([&] { return NewAttributeMap(Tree(), Owner(), Node(), map); });
    return S_FALSE;
  }
  STDMETHODIMP insertBefore(IXMLDOMNode *newChild, VARIANT refChild,
                            IXMLDOMNode **outNewChild) override {
    return Guard([&]() -> HRESULT {
      if (outNewChild != nullptr)
        *outNewChild = nullptr;
      xmlNodePtr before = nullptr;
      VARIANT *ref = &refChild;
      if (ref->vt == (VT_BYREF | VT_VARIANT) && ref->pvarVal != nullptr)
        ref = ref->pvarVal;
      if (ref->vt == VT_DISPATCH || ref->vt == VT_UNKNOWN) {
        if (ref->punkVal != nullptr) {
          before = UnwrapNode(ref->punkVal, Tree());
          if (before == nullptr || before->parent != Node() || before->type == XML_ATTRIBUTE_NODE)
            return E_INVALIDARG;
        }
      } else if (ref->vt != VT_EMPTY && ref->vt != VT_NULL && ref->vt != VT_ERROR) {
        return E_INVALIDARG;
      }
      return NodeInsert(Tree(), Owner(), Node(), newChild, before, outNewChild);
    });
  }
  STDMETHODIMP replaceChild(IXMLDOMNode *newChild, IXMLDOMNode *oldChild,
                            IXMLDOMNode **outOldChild) override {
    return Guard([&]() -> HRESULT {
      if (outOldChild != nullptr)
        *outOldChild = nullptr;
      if (newChild == nullptr || oldChild == nullptr)
        return E_INVALIDARG;
      xmlNodePtr old = UnwrapNode(oldChild, Tree());
      if (old == nullptr || old->parent != Node() || old->type == XML_ATTRIBUTE_NODE)
        return E_INVALIDARG;
      if (UnwrapNode(newChild, Tree()) == old) {
        if (outOldChild != nullptr)
          return WrapAs(Tree(), Owner(), old, outOldChild);
        return S_OK;
      }
      HRESULT hr = NodeInsert(Tree(), Owner(), Node(), newChild, old, nullptr);
      if (FAILED(hr))
        return hr;
      return NodeRemove(Tree(), Owner(), Node(), oldChild, outOldChild);
    });
  }
  STDMETHODIMP removeChild(IXMLDOMNode *child, IXMLDOMNode **outOld) override {
    return Guard([&] { return NodeRemove(Tree(), Owner(), Node(), child, outOld); });
  }
  STDMETHODIMP appendChild(IXMLDOMNode *newChild, IXMLDOMNode **outNewChild) override {
    return Guard([&] {
      if (outNewChild != nullptr)
        *outNewChild = nullptr;
      return NodeInsert(Tree(), Owner(), Node(), newChild, nullptr, outNewChild);
    });
  }
  STDMETHODIMP hasChildNodes(VARIANT_BOOL *has) override {
    if (has == nullptr)
      return E_POINTER;
    bool any = !IsLeafForDom(Node()) && Node()->children != nullptr;
    *has = any ? VARIANT_TRUE : VARIANT_FALSE;
    return any ? S_OK : S_FALSE;
  }
  STDMETHODIMP get_ownerDocument(IXMLDOMDocument **document) override {
    if (document == nullptr)
      return E_POINTER;
    *document = nullptr;
    if (Node()->type == XML_DOCUMENT_NODE)
      return S_FALSE;
    return WrapAs(Tree(), Owner(), reinterpret_cast<xmlNodePtr>(Tree()->doc), document);
  }
  STDMETHODIMP cloneNode(VARIANT_BOOL deep, IXMLDOMNode **clone) override {
    if (clone == nullptr)
      return E_POINTER;
    *clone = nullptr;
    return Guard([&] { return NodeClone(Tree(), Owner(), Node(), deep != VARIANT_FALSE, clone); });
  }
  STDMETHODIMP get_nodeTypeString(BSTR *text) override {
    if (text == nullptr)
      return E_POINTER;
    return Guard([&] { return ReturnBstr(NodeTypeString(NodeTypeOf(Node())), text); });
  }
  STDMETHODIMP get_text(BSTR *text) override {
    if (text == nullptr)
      return E_POINTER;
    return Guard([&] { return NodeGetText(Node(), text); });
  }
  STDMETHODIMP put_text(BSTR text) override {
    return Guard([&] { return NodePutText(*Tree(), Node(), text); });
  }
  STDMETHODIMP get_specified(VARIANT_BOOL *specified) override {
    if (specified == nullptr)
      return E_POINTER;
    *specified = VARIANT_TRUE;
    return S_OK;
  }
  STDMETHODIMP get_definition(IXMLDOMNode **definition) override {
    if (definition == nullptr)
      return E_POINTER;
    *definition = nullptr; // no schema information
    return S_FALSE;
  }
  STDMETHODIMP get_nodeTypedValue(VARIANT *value) override {
    if (value == nullptr)
      return E_POINTER;
    // Without data types an element's typed value is its text.
    DOMNodeType type = NodeTypeOf(Node());
    if (type != NODE_ELEMENT && type != NODE_DOCUMENT)
      return get_nodeValue(value);
    VariantInit(value);
    BSTR text = nullptr;
    HRESULT hr = get_text(&text);
    if (FAILED(hr))
      return hr;
    value->vt = VT_BSTR;
    value->bstrVal = text;
    return S_OK;
  }
  STDMETHODIMP put_nodeTypedValue(VARIANT value) override {
    DOMNodeType type = NodeTypeOf(Node());
    if (type != NODE_ELEMENT)
      return put_nodeValue(value);
    return Guard([&]() -> HRESULT {
      std::string text;
      HRESULT hr = VariantToUtf8(value, text);
      if (FAILED(hr))
        return hr;
      SetElementText(*Tree(), Node(), text);
      return S_OK;
    });
  }
  STDMETHODIMP get_dataType(VARIANT *type) override {
    if (type == nullptr)
      return E_POINTER;
    VariantInit(type);
    type->vt = VT_NULL; // untyped
    return S_FALSE;
  }
  STDMETHODIMP put_dataType(BSTR) override { return E_NOTIMPL; } // schema data types
  STDMETHODIMP get_xml(BSTR *xml) override {
    if (xml == nullptr)
      return E_POINTER;
    return Guard([&] { return ReturnBstr(NodeXml(Node()), xml); });
  }
  STDMETHODIMP transformNode(IXMLDOMNode *, BSTR *xml) override {
    if (xml == nullptr)
      return E_POINTER;
    *xml = nullptr;
    return E_NOTIMPL; // no XSLT
  }
  STDMETHODIMP selectNodes(BSTR query, IXMLDOMNodeList **list) override {
    if (list == nullptr)
      return E_POINTER;
    *list = nullptr;
    return Guard([&]() -> HRESULT {
      std::vector<xmlNodePtr> found;
      HRESULT hr = NodeSelect(Tree(), Owner(), Node(), query, found);
      if (FAILED(hr))
        return hr;
      return NewNodeList(Tree(), Owner(), found, list);
    });
  }
  STDMETHODIMP selectSingleNode(BSTR query, IXMLDOMNode **node) override {
    if (node == nullptr)
      return E_POINTER;
    *node = nullptr;
    return Guard([&]() -> HRESULT {
      std::vector<xmlNodePtr> found;
      HRESULT hr = NodeSelect(Tree(), Owner(), Node(), query, found);
      if (FAILED(hr))
        return hr;
      return WrapAs(Tree(), Owner(), found.empty() ? nullptr : found.front(), node);
    });
  }
  STDMETHODIMP get_parsed(VARIANT_BOOL *parsed) override {
    if (parsed == nullptr)
      return E_POINTER;
    *parsed = VARIANT_TRUE; // loading is synchronous
    return S_OK;
  }
  STDMETHODIMP get_namespaceURI(BSTR *uri) override {
    if (uri == nullptr)
      return E_POINTER;
    xmlNsPtr ns = HasName() ? Node()->ns : nullptr;
    return Guard([&] { return ReturnBstr(ns ? FromXml(ns->href) : std::wstring(), uri); });
  }
  STDMETHODIMP get_prefix(BSTR *prefix) override {
    if (prefix == nullptr)
      return E_POINTER;
    xmlNsPtr ns = HasName() ? Node()->ns : nullptr;
    return Guard([&] { return ReturnBstr(ns ? FromXml(ns->prefix) : std::wstring(), prefix); });
  }
  STDMETHODIMP get_baseName(BSTR *name) override {
    if (name == nullptr)
      return E_POINTER;
    bool named = HasName() || Node()->type == XML_PI_NODE || Node()->type == XML_ENTITY_REF_NODE;
    return Guard([&] { return ReturnBstr(named ? FromXml(Node()->name) : std::wstring(), name); });
  }
  STDMETHODIMP transformNodeToObject(IXMLDOMNode *, VARIANT) override { return E_NOTIMPL; }

 protected:
  virtual ~NodeBase() = default;

 private:
  bool HasName() {
    auto type = Node()->type;
    return type == XML_ELEMENT_NODE || type == XML_ATTRIBUTE_NODE;
  }
  bool IsSibling() {
    auto type = Node()->type;
    return type != XML_ATTRIBUTE_NODE && type != XML_DOCUMENT_NODE && Node()->parent != nullptr &&
           !IsLeafForDom(Node()->parent);
  }
  HRESULT Related(xmlNodePtr other, IXMLDOMNode **out) {
    if (out == nullptr)
      return E_POINTER;
    return Guard([&] { return WrapAs(Tree(), Owner(), other, out); });
  }
};

} // namespace tallowick::platform::xml
