// The page engine's node tree: what gumbo builds, in the form the MSHTML
// objects read. A document owns its tree; COM wrappers keep detached
// subtrees alive through shared ownership.
#pragma once

#include <memory>
#include <string>
#include <vector>

struct IUnknown;

namespace tallowick::page {

class Page;
class PageDocument;

enum class NodeKind { Element, Text, Comment, Document };

// A value set through setAttribute that is no string (an expando object or number).
struct TypedValue;

struct Attribute {
  std::wstring name; // as written
  std::wstring value;
  std::shared_ptr<TypedValue> typed; // when set with a non-string value
};

// A handler attached with attachEvent.
struct Listener {
  std::wstring type; // lower case, "onclick"
  std::shared_ptr<TypedValue> handler;
};
// The element behaviour attached to an element (script/Behavior.h).
struct Behavior;

struct Node : public std::enable_shared_from_this<Node> {
  NodeKind kind = NodeKind::Element;
  std::wstring tag;   // IE's tagName: upper case, or a prefixed tag's local name as written
  std::wstring scope; // the prefix of a prefixed tag
  bool known = false; // a tag HTML defines (void elements, serialization)
  std::wstring text;  // text and comment data
  std::vector<Attribute> attributes;
  std::vector<std::shared_ptr<Node>> children;
  Node *parent = nullptr;
  PageDocument *document = nullptr;    // the document the node belongs to
  IUnknown *wrapper = nullptr;         // the node's COM object while it lives (not owned)
  std::shared_ptr<PageDocument> frame; // a frame's or iframe's document
  std::vector<Listener> listeners;     // attachEvent handlers, in attach order
  std::shared_ptr<Behavior> behavior;  // the element behaviour, when one is attached
  std::wstring uniqueId;               // uniqueID, given on first read
  std::vector<std::pair<std::wstring, std::wstring>> expressions; // style property, expression
  long scrollLeft = 0;                 // scroll offsets the layout honours
  long scrollTop = 0;

  Node() = default;
  Node(const Node &) = delete;
  Node &operator=(const Node &) = delete;
  ~Node(); // tears deep trees down without recursion

  bool IsElement() const { return kind == NodeKind::Element; }
  bool Is(const wchar_t *upperTag) const { return IsElement() && tag == upperTag; }
  // Attribute lookup: exact name, or ASCII case-insensitive.
  const Attribute *FindAttribute(const std::wstring &name, bool caseSensitive = false) const;
  std::wstring AttributeValue(const wchar_t *name) const;
  bool HasAttribute(const wchar_t *name) const { return FindAttribute(name) != nullptr; }
  void SetAttribute(const std::wstring &name, const std::wstring &value, bool caseSensitive);
  bool RemoveAttribute(const std::wstring &name, bool caseSensitive);
  size_t IndexInParent() const;
  Node *ParentElement() const;
  bool Contains(const Node *other) const; // self or a descendant
};

// Pre-order walk over the subtree under root (root excluded); iterative.
Node *NextInTree(const Node *node, const Node *root);
// Elements under root in document order.
std::vector<Node *> Descendants(const Node *root);
std::vector<Node *> ChildElements(const Node *node);

// The document: its tree, URL and frames.
class PageDocument : public std::enable_shared_from_this<PageDocument> {
public:
  unsigned long revision = 0;                 // bumped by every edit that can move boxes
  std::shared_ptr<struct LayoutState> layout; // the boxes of the last layout
  std::shared_ptr<Node> root;                 // NodeKind::Document
  std::wstring url;
  std::wstring name;              // the frame's name, for its window
  PageDocument *parent = nullptr; // the document whose frame holds this one
  Node *frameElement = nullptr;
  Node *activeElement = nullptr;
  Node *viewLinkOwner = nullptr; // the element whose behaviour renders this document
  Page *page = nullptr;          // the page whose objects wrap this document's nodes
  // Whether a node of this document was given a frame; the window looks
  // for frames by name only then (every place that gives one sets it).
  bool hasFrames = false;

  Node *DocumentElement() const;
  Node *Body() const;
  Node *Head() const;
  // sourceIndex: the element's position among all elements in document order; -1 if detached.
  long SourceIndex(const Node *node) const;
  std::wstring Title() const;
  std::wstring ResolveUrl(const std::wstring &href) const;
};

// Parsing. Frames and iframes load their documents from files relative to the URL.
std::shared_ptr<PageDocument> ParseDocument(const std::string &html, const std::wstring &url,
                                            int frameDepth = 0);
std::shared_ptr<PageDocument> LoadDocumentFile(const std::string &path, const std::wstring &url,
                                               int frameDepth = 0);
// Parses a fragment in the context of element `context`; the nodes come back unattached.
std::vector<std::shared_ptr<Node>> ParseFragment(const std::wstring &html, const Node &context);

// Tree edits.
// Marks the node's document as changed, so that its layout is recomputed.
void Changed(const Node &node);
void InsertChildren(Node &parent, size_t at, std::vector<std::shared_ptr<Node>> nodes);
std::shared_ptr<Node> Detach(Node &node);
void RemoveChildren(Node &node);
void AdoptInto(Node &node, PageDocument *document);
// A detached copy of the node (and with `deep` of its subtree): kind, tag,
// text and attributes; not its handlers or behaviour.
std::shared_ptr<Node> CloneTree(const Node &node, bool deep);

// Text and markup. With `spans`, InnerText also records where each element's
// text starts and ends in the result.
struct TextSpan {
  const Node *element;
  size_t begin, end;
};
std::wstring InnerText(const Node &node, std::vector<TextSpan> *spans = nullptr);
std::wstring OuterHtml(const Node &node);
std::wstring InnerHtml(const Node &node);

// Maps file: URLs to paths and back.
std::wstring FileUrl(const std::string &path);
std::string PathFromUrl(const std::wstring &url);

} // namespace tallowick::page
