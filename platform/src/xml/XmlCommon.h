// Shared pieces of the XML DOM document: the libxml2 tree behind a document,
// node identity, strings and the COM plumbing every DOM object uses.
#pragma once

#include <windows.h>
#include <msxml2.h>
#include <oleauto.h>

#include <libxml/tree.h>

#include <atomic>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace tallowick::platform::xml {

class XmlNode;
class XmlDocument;

// One parsed (or built) libxml2 document. Node objects share it with their
// document, so it lives as long as anything points into it. Nodes taken out of
// the tree are kept as orphans and freed with it.
struct XmlTree {
  explicit XmlTree(xmlDocPtr document);
  ~XmlTree();
  XmlTree(const XmlTree &) = delete;
  XmlTree &operator=(const XmlTree &) = delete;

  xmlDocPtr doc;
  std::unordered_map<xmlNodePtr, XmlNode *> wrappers; // identity: one object per node
  std::unordered_set<xmlNodePtr> orphans;
};
using TreePtr = std::shared_ptr<XmlTree>;

// Private access from a COM node of this implementation to its libxml2 node.
DEFINE_GUID(IID_ITallowickXmlNode, 0x6b1f3e52, 0x0d4c, 0x4a8e, 0x9a, 0x51, 0x2f, 0x7c, 0x43, 0xe0,
            0x11, 0x5d);
struct ITallowickXmlNode : public IUnknown {
  virtual xmlNodePtr RawNode() = 0;
  virtual XmlTree *RawTree() = 0;
};

// Runs `body`, turning any C++ exception into an HRESULT.
template <class F> HRESULT Guard(F &&body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc &) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

// Strings: libxml2 holds UTF-8, COM hands out BSTRs.
std::wstring FromXml(const xmlChar *text);
std::string ToUtf8(std::wstring_view text);
std::string BstrToUtf8(BSTR text);
inline const xmlChar *X(const std::string &s) { return reinterpret_cast<const xmlChar *>(s.c_str()); }
HRESULT ReturnBstr(std::wstring_view text, BSTR *out);
// Takes ownership of `text` (xmlFree).
HRESULT ReturnOwnedXml(xmlChar *text, BSTR *out);
// A VARIANT value as UTF-8 text (numbers and dates as VariantChangeType formats them).
HRESULT VariantToUtf8(const VARIANT &value, std::string &text);

DOMNodeType NodeTypeOf(xmlNodePtr node);
std::wstring QualifiedName(xmlNodePtr node);
std::string QualifiedNameUtf8(xmlNodePtr node);
// Whether children may be inserted under `node` through the DOM.
bool CanHaveChildren(xmlNodePtr node);
bool IsLeafForDom(xmlNodePtr node);
// Element descendants of `root` in document order whose name is `name` ("*": all).
std::vector<xmlNodePtr> ElementsByTagName(xmlNodePtr root, const std::string &name);

// The COM object of `node` (created on first use), or nullptr and S_FALSE.
HRESULT WrapNode(const TreePtr &tree, XmlDocument *owner, xmlNodePtr node, REFIID riid,
                 void **out);
template <class I> HRESULT WrapAs(const TreePtr &tree, XmlDocument *owner, xmlNodePtr node,
                                  I **out) {
  return WrapNode(tree, owner, node, __uuidof(I), reinterpret_cast<void **>(out));
}
// The libxml2 node behind `object` if it belongs to `tree`, else nullptr.
xmlNodePtr UnwrapNode(IUnknown *object, const TreePtr &tree);

// New list objects over a fixed set of nodes.
HRESULT NewNodeList(const TreePtr &tree, XmlDocument *owner, const std::vector<xmlNodePtr> &nodes,
                    IXMLDOMNodeList **out);
HRESULT NewAttributeMap(const TreePtr &tree, XmlDocument *owner, xmlNodePtr element,
                        IXMLDOMNamedNodeMap **out);
HRESULT NewEntityMap(const TreePtr &tree, XmlDocument *owner, xmlNodePtr dtd,
                     IXMLDOMNamedNodeMap **out);
// An enumerator over the objects, each held as VT_DISPATCH.
HRESULT NewVariantEnum(std::vector<IDispatch *> items, IUnknown **out);
HRESULT NewImplementation(IXMLDOMImplementation **out);

// Tree edits that keep node objects valid: nothing a live object points to is freed.
void LinkChild(xmlNodePtr parent, xmlNodePtr child, xmlNodePtr before);
void UnlinkToOrphans(XmlTree &tree, xmlNodePtr node);
// Text of elements and documents: the concatenated text of descendants.
std::string NodeText(xmlNodePtr node);
// Replaces the children of `node` by one text node holding `text`.
void SetElementText(XmlTree &tree, xmlNodePtr node, const std::string &text);
// Serialised markup of a node.
std::wstring NodeXml(xmlNodePtr node);

// The IDispatch part that every DOM object shares: no type information and
// late binding by name for the members listed in XmlDispatch.cpp.
HRESULT DispatchGetIDsOfNames(REFIID iid, LPOLESTR *names, UINT count, DISPID *ids);
HRESULT DispatchInvoke(IDispatch *self, DISPID id, WORD flags, DISPPARAMS *params,
                       VARIANT *result);

} // namespace tallowick::platform::xml
