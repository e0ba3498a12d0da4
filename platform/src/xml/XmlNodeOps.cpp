// IXMLDOMNode operations shared by the document and the other nodes.
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <algorithm>

#include "tallowick/Strings.h"
#include "xml/XmlDocument.h"
#include "xml/XmlNode.h"

namespace tallowick::platform::xml {

namespace {

bool HasValue(xmlNodePtr node) {
  switch (node->type) {
  case XML_ATTRIBUTE_NODE:
  case XML_TEXT_NODE:
  case XML_CDATA_SECTION_NODE:
  case XML_COMMENT_NODE:
  case XML_PI_NODE:
    return true;
  default:
    return false;
  }
}

// Sets the text of a value-carrying node without reading markup out of it.
void SetValue(XmlTree &tree, xmlNodePtr node, const std::string &text) {
  if (node->type == XML_ATTRIBUTE_NODE) {
    auto *attribute = reinterpret_cast<xmlAttrPtr>(node);
    if (node->parent != nullptr) {
      xmlSetNsProp(node->parent, attribute->ns, node->name, X(text));
      return;
    }
    // Attribute children are never handed out, so they may be freed.
    xmlFreeNodeList(node->children);
    node->children = node->last = nullptr;
    xmlNodePtr value = xmlNewDocText(node->doc, X(text));
    if (value == nullptr)
      throw std::bad_alloc();
    value->parent = node;
    node->children = node->last = value;
    return;
  }
  (void)tree;
  xmlNodeSetContent(node, X(text)); // taken literally for character data
}

// Deeper trees than the parser makes can only come from edits; copying them
// must not exhaust the stack.
constexpr int kMaxCopyDepth = 4096;

int SubtreeDepth(xmlNodePtr root) {
  int depth = 0, deepest = 0;
  xmlNodePtr node = root;
  while (node != nullptr) {
    if (!IsLeafForDom(node) && node->children != nullptr) {
      node = node->children;
      deepest = std::max(deepest, ++depth);
      continue;
    }
    while (node != root && node->next == nullptr) {
      node = node->parent;
      --depth;
    }
    if (node == root)
      break;
    node = node->next;
  }
  return deepest;
}

// XPath expressions nest no deeper than this (the evaluator recurses).
constexpr int kMaxQueryNesting = 256;

bool QueryTooDeep(const std::string &query) {
  int depth = 0;
  for (char c : query) {
    if (c == '(' || c == '[')
      ++depth;
    else if ((c == ')' || c == ']') && depth > 0)
      --depth;
    if (depth > kMaxQueryNesting)
      return true;
  }
  return false;
}

bool IsAncestorOrSelf(xmlNodePtr candidate, xmlNodePtr node) {
  for (xmlNodePtr n = node; n != nullptr; n = n->parent)
    if (n == candidate)
      return true;
  return false;
}

bool Insertable(xmlNodePtr parent, xmlNodePtr child) {
  switch (child->type) {
  case XML_ELEMENT_NODE:
  case XML_TEXT_NODE:
  case XML_CDATA_SECTION_NODE:
  case XML_ENTITY_REF_NODE:
  case XML_PI_NODE:
  case XML_COMMENT_NODE:
  case XML_DOCUMENT_FRAG_NODE:
    break;
  default:
    return false;
  }
  if (parent->type == XML_DOCUMENT_NODE) {
    // A document holds markup only, and one element.
    if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE ||
        child->type == XML_ENTITY_REF_NODE)
      return false;
    if (child->type == XML_ELEMENT_NODE)
      for (xmlNodePtr c = parent->children; c != nullptr; c = c->next)
        if (c->type == XML_ELEMENT_NODE && c != child)
          return false;
  }
  return true;
}

} // namespace

const wchar_t *NodeTypeString(DOMNodeType type) {
  switch (type) {
  case NODE_ELEMENT:
    return L"element";
  case NODE_ATTRIBUTE:
    return L"attribute";
  case NODE_TEXT:
    return L"text";
  case NODE_CDATA_SECTION:
    return L"cdatasection";
  case NODE_ENTITY_REFERENCE:
    return L"entityreference";
  case NODE_ENTITY:
    return L"entity";
  case NODE_PROCESSING_INSTRUCTION:
    return L"processinginstruction";
  case NODE_COMMENT:
    return L"comment";
  case NODE_DOCUMENT:
    return L"document";
  case NODE_DOCUMENT_TYPE:
    return L"documenttype";
  case NODE_DOCUMENT_FRAGMENT:
    return L"documentfragment";
  case NODE_NOTATION:
    return L"notation";
  default:
    return L"";
  }
}

HRESULT NodeGetValue(xmlNodePtr node, VARIANT *value) {
  VariantInit(value);
  if (!HasValue(node)) {
    value->vt = VT_NULL;
    return S_FALSE;
  }
  BSTR text = nullptr;
  HRESULT hr = ReturnBstr(Widen(NodeText(node)), &text);
  if (FAILED(hr))
    return hr;
  value->vt = VT_BSTR;
  value->bstrVal = text;
  return S_OK;
}

HRESULT NodePutValue(XmlTree &tree, xmlNodePtr node, const VARIANT &value) {
  if (!HasValue(node))
    return E_FAIL; // elements, documents and the rest carry no value
  std::string text;
  HRESULT hr = VariantToUtf8(value, text);
  if (FAILED(hr))
    return hr;
  SetValue(tree, node, text);
  return S_OK;
}

HRESULT NodeGetText(xmlNodePtr node, BSTR *text) { return ReturnBstr(Widen(NodeText(node)), text); }

HRESULT NodePutText(XmlTree &tree, xmlNodePtr node, BSTR text) {
  std::string utf8 = BstrToUtf8(text);
  if (HasValue(node)) {
    SetValue(tree, node, utf8);
    return S_OK;
  }
  if (node->type != XML_ELEMENT_NODE && node->type != XML_DOCUMENT_FRAG_NODE)
    return E_FAIL;
  SetElementText(tree, node, utf8);
  return S_OK;
}

HRESULT NodeInsert(const TreePtr &tree, XmlDocument *owner, xmlNodePtr parent,
                   IXMLDOMNode *newChild, xmlNodePtr before, IXMLDOMNode **outNewChild) {
  if (newChild == nullptr)
    return E_INVALIDARG;
  if (!CanHaveChildren(parent))
    return E_FAIL;
  xmlNodePtr child = UnwrapNode(newChild, tree);
  if (child == nullptr)
    return E_INVALIDARG; // not a node of this document
  if (!Insertable(parent, child) || IsAncestorOrSelf(child, parent))
    return E_FAIL;
  if (child == before)
    before = before->next;
  if (child->type == XML_DOCUMENT_FRAG_NODE) {
    // A fragment hands over its children, all or none, and stays empty.
    for (xmlNodePtr moved = child->children; moved != nullptr; moved = moved->next)
      if (!Insertable(parent, moved))
        return E_FAIL;
    if (parent->type == XML_DOCUMENT_NODE) {
      int elements = 0;
      for (xmlNodePtr moved = child->children; moved != nullptr; moved = moved->next)
        elements += moved->type == XML_ELEMENT_NODE;
      if (elements > 1 || (elements == 1 && xmlDocGetRootElement(parent->doc) != nullptr))
        return E_FAIL;
    }
    while (xmlNodePtr moved = child->children) {
      xmlUnlinkNode(moved);
      LinkChild(parent, moved, before);
    }
  } else {
    if (child->parent != nullptr)
      xmlUnlinkNode(child);
    tree->orphans.insert(child); // so that it is freed should it leave the tree again
    LinkChild(parent, child, before);
  }
  if (outNewChild == nullptr)
    return S_OK;
  newChild->AddRef();
  *outNewChild = newChild;
  (void)owner;
  return S_OK;
}

HRESULT NodeRemove(const TreePtr &tree, XmlDocument *owner, xmlNodePtr parent, IXMLDOMNode *child,
                   IXMLDOMNode **outOld) {
  if (outOld != nullptr)
    *outOld = nullptr;
  if (child == nullptr)
    return E_INVALIDARG;
  xmlNodePtr node = UnwrapNode(child, tree);
  if (node == nullptr || node->parent != parent || node->type == XML_ATTRIBUTE_NODE)
    return E_INVALIDARG;
  UnlinkToOrphans(*tree, node);
  if (outOld == nullptr)
    return S_OK;
  return WrapAs(tree, owner, node, outOld);
}

HRESULT NodeClone(const TreePtr &tree, XmlDocument *owner, xmlNodePtr node, bool deep,
                  IXMLDOMNode **out) {
  if (node->type == XML_DOCUMENT_NODE) {
    xmlDocPtr copy = xmlCopyDoc(tree->doc, deep ? 1 : 0);
    if (copy == nullptr)
      return E_OUTOFMEMORY;
    auto *document = new XmlDocument(copy);
    HRESULT hr = document->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void **>(out));
    document->Release();
    return hr;
  }
  if (node->type == XML_DTD_NODE || node->type == XML_ENTITY_DECL)
    return E_FAIL;
  if (deep && SubtreeDepth(node) > kMaxCopyDepth)
    return E_OUTOFMEMORY; // libxml2 copies recursively
  xmlNodePtr copy = nullptr;
  if (node->type == XML_ATTRIBUTE_NODE)
    copy = reinterpret_cast<xmlNodePtr>(xmlCopyProp(nullptr, reinterpret_cast<xmlAttrPtr>(node)));
  else
    copy = xmlDocCopyNode(node, tree->doc, deep ? 1 : 2);
  if (copy == nullptr)
    return E_OUTOFMEMORY;
  copy->doc = tree->doc;
  tree->orphans.insert(copy);
  return WrapAs(tree, owner, copy, out);
}

namespace {

void IgnoreXPathError(void *, xmlErrorPtr) {}

} // namespace

HRESULT NodeSelect(const TreePtr &tree, XmlDocument *, xmlNodePtr node, BSTR query,
                   std::vector<xmlNodePtr> &found) {
  std::string expression = BstrToUtf8(query);
  if (expression.empty())
    return E_INVALIDARG;
  if (QueryTooDeep(expression))
    return E_FAIL;
  xmlXPathContextPtr context = xmlXPathNewContext(tree->doc);
  if (context == nullptr)
    return E_OUTOFMEMORY;
  context->node = node;
  context->error = IgnoreXPathError;
  // Prefixes in scope at the context node are usable in the query.
  xmlNsPtr *namespaces =
      xmlGetNsList(tree->doc, node->type == XML_ATTRIBUTE_NODE ? node->parent : node);
  for (xmlNsPtr *ns = namespaces; ns != nullptr && *ns != nullptr; ++ns)
    if ((*ns)->prefix != nullptr)
      xmlXPathRegisterNs(context, (*ns)->prefix, (*ns)->href);
  xmlFree(namespaces);
  xmlXPathObjectPtr result = xmlXPathEvalExpression(X(expression), context);
  xmlXPathFreeContext(context);
  if (result == nullptr)
    return E_FAIL; // not a valid expression
  HRESULT hr = S_OK;
  if (result->type != XPATH_NODESET) {
    hr = E_FAIL; // a query must select nodes
  } else if (result->nodesetval != nullptr) {
    for (int i = 0; i < result->nodesetval->nodeNr; ++i) {
      xmlNodePtr hit = result->nodesetval->nodeTab[i];
      if (hit->type != XML_NAMESPACE_DECL)
        found.push_back(hit);
    }
  }
  xmlXPathFreeObject(result);
  return hr;
}

} // namespace tallowick::platform::xml
