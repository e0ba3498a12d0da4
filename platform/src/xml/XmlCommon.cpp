#include "xml/XmlCommon.h"

#include <algorithm>

#include "tallowick/Strings.h"
#include "oleaut/OleAut.h"
#include "xml/XmlDocument.h"
#include "xml/XmlNode.h"

namespace tallowick::platform::xml {

XmlTree::XmlTree(xmlDocPtr document) : doc(document) {}

XmlTree::~XmlTree() {
  // Orphans still out of the tree are freed with it; those inserted again
  // belong to their new parent. Roots are collected before anything is freed.
  std::vector<xmlNodePtr> roots;
  for (xmlNodePtr node : orphans)
    if (node->parent == nullptr)
      roots.push_back(node);
  for (xmlNodePtr node : roots) {
    if (node->type == XML_ATTRIBUTE_NODE)
      xmlFreeProp(reinterpret_cast<xmlAttrPtr>(node));
    else
      xmlFreeNode(node);
  }
  xmlFreeDoc(doc);
}

std::wstring FromXml(const xmlChar *text) {
  if (text == nullptr)
    return {};
  return Widen(reinterpret_cast<const char *>(text));
}

std::string ToUtf8(std::wstring_view text) { return Narrow(text); }

std::string BstrToUtf8(BSTR text) {
  std::string utf8 = Narrow(oleaut::BstrView(text));
  // libxml2 strings end at the first NUL.
  utf8.erase(std::find(utf8.begin(), utf8.end(), '\0'), utf8.end());
  return utf8;
}

HRESULT ReturnBstr(std::wstring_view text, BSTR *out) {
  if (out == nullptr)
    return E_POINTER;
  *out = oleaut::MakeBstr(text);
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT ReturnOwnedXml(xmlChar *text, BSTR *out) {
  std::unique_ptr<xmlChar, void (*)(void *)> owned(text, [](void *p) { xmlFree(p); });
  return ReturnBstr(FromXml(text), out);
}

HRESULT VariantToUtf8(const VARIANT &value, std::string &text) {
  if (value.vt == VT_BSTR) {
    text = BstrToUtf8(value.bstrVal);
    return S_OK;
  }
  if (value.vt == VT_EMPTY || value.vt == VT_NULL) {
    text.clear();
    return S_OK;
  }
  VARIANT converted;
  VariantInit(&converted);
  HRESULT hr = VariantChangeType(&converted, &value, 0, VT_BSTR);
  if (FAILED(hr))
    return hr;
  text = BstrToUtf8(converted.bstrVal);
  VariantClear(&converted);
  return S_OK;
}

DOMNodeType NodeTypeOf(xmlNodePtr node) {
  switch (node->type) {
  case XML_ELEMENT_NODE:
    return NODE_ELEMENT;
  case XML_ATTRIBUTE_NODE:
    return NODE_ATTRIBUTE;
  case XML_TEXT_NODE:
    return NODE_TEXT;
  case XML_CDATA_SECTION_NODE:
    return NODE_CDATA_SECTION;
  case XML_ENTITY_REF_NODE:
    return NODE_ENTITY_REFERENCE;
  case XML_ENTITY_NODE:
  case XML_ENTITY_DECL:
    return NODE_ENTITY;
  case XML_PI_NODE:
    return NODE_PROCESSING_INSTRUCTION;
  case XML_COMMENT_NODE:
    return NODE_COMMENT;
  case XML_DOCUMENT_NODE:
  case XML_HTML_DOCUMENT_NODE:
    return NODE_DOCUMENT;
  case XML_DOCUMENT_TYPE_NODE:
  case XML_DTD_NODE:
    return NODE_DOCUMENT_TYPE;
  case XML_DOCUMENT_FRAG_NODE:
    return NODE_DOCUMENT_FRAGMENT;
  case XML_NOTATION_NODE:
    return NODE_NOTATION;
  default:
    return NODE_INVALID;
  }
}

std::string QualifiedNameUtf8(xmlNodePtr node) {
  switch (node->type) {
  case XML_TEXT_NODE:
    return "#text";
  case XML_CDATA_SECTION_NODE:
    return "#cdata-section";
  case XML_COMMENT_NODE:
    return "#comment";
  case XML_DOCUMENT_NODE:
  case XML_HTML_DOCUMENT_NODE:
    return "#document";
  case XML_DOCUMENT_FRAG_NODE:
    return "#document-fragment";
  default:
    break;
  }
  std::string name = node->name ? reinterpret_cast<const char *>(node->name) : "";
  bool named = node->type == XML_ELEMENT_NODE || node->type == XML_ATTRIBUTE_NODE;
  if (named && node->ns != nullptr && node->ns->prefix != nullptr)
    return reinterpret_cast<const char *>(node->ns->prefix) + (":" + name);
  return name;
}

std::wstring QualifiedName(xmlNodePtr node) { return Widen(QualifiedNameUtf8(node)); }

bool IsLeafForDom(xmlNodePtr node) {
  switch (node->type) {
  case XML_ELEMENT_NODE:
  case XML_DOCUMENT_NODE:
  case XML_HTML_DOCUMENT_NODE:
  case XML_DOCUMENT_FRAG_NODE:
    return false;
  default:
    return true; // attribute values, entity contents and declarations are not walked
  }
}

bool CanHaveChildren(xmlNodePtr node) { return !IsLeafForDom(node); }

std::vector<xmlNodePtr> ElementsByTagName(xmlNodePtr root, const std::string &name) {
  std::vector<xmlNodePtr> found;
  bool all = name == "*";
  if (root == nullptr || IsLeafForDom(root))
    return found;
  // Iterative pre-order walk: deep trees must not exhaust the stack.
  xmlNodePtr node = root->children;
  while (node != nullptr) {
    if (node->type == XML_ELEMENT_NODE) {
      if (all || QualifiedNameUtf8(node) == name)
        found.push_back(node);
      if (node->children != nullptr) {
        node = node->children;
        continue;
      }
    }
    while (node != nullptr && node->next == nullptr) {
      node = node->parent;
      if (node == root)
        return found;
    }
    if (node != nullptr)
      node = node->next;
  }
  return found;
}

HRESULT WrapNode(const TreePtr &tree, XmlDocument *owner, xmlNodePtr node, REFIID riid,
                 void **out) {
  if (out == nullptr)
    return E_POINTER;
  *out = nullptr;
  if (node == nullptr)
    return S_FALSE;
  if (node->type == XML_DOCUMENT_NODE || node->type == XML_HTML_DOCUMENT_NODE) {
    // A document is its own object; the tree of an earlier load has none left.
    if (owner->Tree().get() != tree.get() || node != reinterpret_cast<xmlNodePtr>(tree->doc))
      return S_FALSE;
    return owner->QueryInterface(riid, out);
  }
  auto found = tree->wrappers.find(node);
  if (found != tree->wrappers.end())
    return found->second->QueryInterface(riid, out);
  auto *object = new XmlNode(tree, owner, node);
  HRESULT hr = object->QueryInterface(riid, out);
  object->Release();
  return hr;
}

xmlNodePtr UnwrapNode(IUnknown *object, const TreePtr &tree) {
  if (object == nullptr)
    return nullptr;
  ITallowickXmlNode *access = nullptr;
  if (FAILED(object->QueryInterface(IID_ITallowickXmlNode, reinterpret_cast<void **>(&access))))
    return nullptr;
  xmlNodePtr node = access->RawTree() == tree.get() ? access->RawNode() : nullptr;
  access->Release();
  return node;
}

void LinkChild(xmlNodePtr parent, xmlNodePtr child, xmlNodePtr before) {
  child->parent = parent;
  if (before != nullptr) {
    child->next = before;
    child->prev = before->prev;
    if (before->prev != nullptr)
      before->prev->next = child;
    else
      parent->children = child;
    before->prev = child;
  } else {
    child->prev = parent->last;
    child->next = nullptr;
    if (parent->last != nullptr)
      parent->last->next = child;
    else
      parent->children = child;
    parent->last = child;
  }
  if (child->doc != parent->doc)
    xmlSetTreeDoc(child, parent->doc);
}

void UnlinkToOrphans(XmlTree &tree, xmlNodePtr node) {
  tree.orphans.insert(node);
  xmlUnlinkNode(node);
}

namespace {

void AppendContent(std::string &text, xmlNodePtr node) {
  if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
    if (node->content != nullptr)
      text += reinterpret_cast<const char *>(node->content);
  } else if (node->type == XML_ENTITY_REF_NODE) {
    xmlChar *content = xmlNodeGetContent(node);
    if (content != nullptr)
      text += reinterpret_cast<const char *>(content);
    xmlFree(content);
  }
}

std::string Trim(const std::string &text) {
  const char *space = " \t\r\n";
  size_t first = text.find_first_not_of(space);
  if (first == std::string::npos)
    return {};
  size_t last = text.find_last_not_of(space);
  return text.substr(first, last - first + 1);
}

} // namespace

std::string NodeText(xmlNodePtr node) {
  if (node->type == XML_ATTRIBUTE_NODE) {
    xmlChar *value = xmlNodeListGetString(node->doc, node->children, 1);
    std::string text = value ? reinterpret_cast<const char *>(value) : "";
    xmlFree(value);
    return text;
  }
  if (node->type == XML_COMMENT_NODE || node->type == XML_PI_NODE || node->type == XML_TEXT_NODE ||
      node->type == XML_CDATA_SECTION_NODE) {
    return node->content ? reinterpret_cast<const char *>(node->content) : "";
  }
  if (node->type == XML_ENTITY_REF_NODE) {
    std::string text;
    AppendContent(text, node);
    return text;
  }
  if (IsLeafForDom(node))
    return {};
  std::string text;
  xmlNodePtr current = node->children;
  while (current != nullptr) {
    AppendContent(text, current);
    if (current->type == XML_ELEMENT_NODE && current->children != nullptr) {
      current = current->children;
      continue;
    }
    while (current != nullptr && current->next == nullptr) {
      current = current->parent;
      if (current == node)
        return Trim(text);
    }
    if (current != nullptr)
      current = current->next;
  }
  return Trim(text);
}

void SetElementText(XmlTree &tree, xmlNodePtr node, const std::string &text) {
  while (node->children != nullptr)
    UnlinkToOrphans(tree, node->children);
  if (text.empty())
    return;
  xmlNodePtr child = xmlNewDocText(node->doc, X(text));
  if (child == nullptr)
    throw std::bad_alloc();
  LinkChild(node, child, nullptr);
}

namespace {

std::string DumpNode(xmlNodePtr node) {
  xmlBufferPtr buffer = xmlBufferCreate();
  if (buffer == nullptr)
    throw std::bad_alloc();
  xmlNodeDump(buffer, node->doc, node, 0, 0);
  std::string text(reinterpret_cast<const char *>(xmlBufferContent(buffer)),
                   static_cast<size_t>(xmlBufferLength(buffer)));
  xmlBufferFree(buffer);
  return text;
}

} // namespace

std::wstring NodeXml(xmlNodePtr node) {
  std::string xml;
  if (node->type == XML_DOCUMENT_NODE || node->type == XML_DOCUMENT_FRAG_NODE) {
    bool document = node->type == XML_DOCUMENT_NODE;
    for (xmlNodePtr child = node->children; child != nullptr; child = child->next) {
      xml += DumpNode(child);
      if (document)
        xml += "\r\n";
    }
  } else if (node->type == XML_ATTRIBUTE_NODE) {
    xmlChar *escaped = xmlEncodeSpecialChars(node->doc, X(NodeText(node)));
    xml = QualifiedNameUtf8(node) + "=\"" +
          (escaped ? reinterpret_cast<const char *>(escaped) : "") + "\"";
    xmlFree(escaped);
  } else {
    xml = DumpNode(node);
  }
  return Widen(xml);
}

} // namespace tallowick::platform::xml
