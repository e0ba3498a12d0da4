// The object tree of one browser: browser -> page -> frames (the page's own
// frame, frames and iframes, view-link frames) -> agent objects. The tree
// holds one reference to every agent object in it; host agent objects point
// back to their node without a reference, and the tree cuts those links
// (ReleaseRefs for kit objects) before it lets go of them, so no parent and
// child keep each other alive.
#pragma once

#include <windows.h>

#include <mshtml.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "TallowickHost.h"
#include "tallowick/Page.h"
#include "tree/DomAccess.h"

namespace host::http {
class HttpSession;
} // namespace host::http

namespace host::tree {

class CHostAO;
class CBrowserAO;
class EventConfiguration;

enum class NodeKind { Browser, Page, Frame, ViewLinkFrame, Element };

// Web class ids of the host's table.
enum WebClass : LONG {
  kNoClass = 0,
  kHtmlRow = 2,
  kHtmlCell = 3,
  kWebElement = 10,
  kWebTable = 11,
  kLink = 12,
  kImage = 13,
  kWebArea = 14,
  kWebButton = 15,
  kWebRadioGroup = 16,
  kWebCheckBox = 17,
  kWebEdit = 18,
  kWebFile = 19,
  kWebList = 20,
  kFrame = 21,
  kPage = 22,
  kBrowser = 24,
  kViewLink = 27,
  kViewLinkFrame = 28,
};

// Object type ids of runtime ids: the page, and elements inside a view-link
// frame.
inline constexpr LONG kPageType = 1;
inline constexpr LONG kViewLinkInnerType = -3;

// The screen point of the browser's client area: frame offsets start here.
inline constexpr POINT kClientOrigin = {0, 0};

struct Node {
  NodeKind kind = NodeKind::Element;
  IWebObj2 *ao = nullptr;          // one reference, except for the browser (which owns the tree)
  CHostAO *host = nullptr;         // the host's own object, when the node's AO is one
  LONG kitId = 0;                  // of a kit's object
  ComPtr<IHTMLElement> element;    // element; frame element; view-link owner
  ComPtr<IUnknown> identity;       // of the element
  std::vector<IUnknown *> aliases; // further element identities indexed to this node
  ComPtr<IHTMLDocument2> document; // page and frames
  ComPtr<IHTMLElement> root;       // frames: the document element
  Node *parent = nullptr;
  Node *frame = nullptr; // frames: the frame itself; others: the frame they are in
  std::vector<Node *> children;
  LONG frameId = 0;
  LONG objectId = 0;
  LONG typeId = 0;
};

// Whether a DOM event on an object of a class is recorded.
class EventConfiguration {
public:
  // The host's own configuration.
  EventConfiguration();
  // Adds the configuration file in the host's format (see README); false
  // when it cannot be read.
  bool Load(const std::wstring &path);
  bool Records(const std::wstring &className, const std::wstring &event) const;

private:
  std::map<std::wstring, std::vector<std::wstring>> events_;
};

class ObjectTree {
public:
  struct Kit {
    ComPtr<IWIKitFactoryEx> factory;
    LONG id = 0;
  };
  struct Step {
    std::wstring text;
    ComPtr<IWebInfo> record;
  };

  explicit ObjectTree(LONG browserId);
  ~ObjectTree();
  ObjectTree(const ObjectTree &) = delete;
  ObjectTree &operator=(const ObjectTree &) = delete;

  // Shows a document: the old page goes, the new one is built.
  HRESULT Show(IHTMLDocument2 *document);
  // Fetches the page at an http:// URL and shows it.
  HRESULT LoadUrl(const std::wstring &url);
  // Why the last page load or navigation over HTTP failed; empty when it did not.
  const std::wstring &NavigationError() const { return navigationError_; }
  // Rebuilds the tree when a navigation replaced a document of the page.
  void Refresh();
  static void RefreshAll();
  // Releases the page and all its objects.
  void Clear();

  void AddKit(IWIKitFactoryEx *factory, LONG kitId) { kits_.push_back({ComPtr(factory), kitId}); }
  void ClearKits() { kits_.clear(); }

  Node *Root() { return &root_; }
  Node *PageNode() { return root_.children.empty() ? nullptr : root_.children.front(); }
  LONG BrowserId() const { return browserId_; }

  // Lookups; null when the tree has none.
  Node *NodeOfAO(IUnknown *ao);
  Node *NodeOfElement(IUnknown *element);
  Node *FrameOfDocument(IUnknown *document);
  Node *ViewLinkFrameOf(Node *owner);

  // Agent object services: the AO of an element (created on demand when
  // `create`), the host's own view-link AO of an element.
  HRESULT ElementAO(IHTMLElement *element, bool create, IWebObj2 **ao);
  HRESULT ViewLinkElementAO(IHTMLElement *element, IWebObj2 **ao);

  // Links an AO under a node (AddChild), unlinks it (RemoveChild) and
  // unlinks all children of a node.
  HRESULT Link(Node *parent, IWebObj2 *ao);
  HRESULT Unlink(Node *node);
  void UnlinkChildren(Node *node);
  void Reparent(Node *node, Node *parent);

  // Recording.
  void SetRecording(bool on) { recording_ = on; }
  const std::vector<Step> &Steps() const { return steps_; }
  // Handles one page event; answers whether its default action runs.
  bool OnPageEvent(const std::wstring &type, IHTMLElement *element);
  // A link or form that leads to a file shows that file.
  HRESULT OnNavigation(const std::wstring &url, std::string *html);
  // A link or form that leads to an http:// URL shows the server's answer
  // (S_FALSE for other URLs).
  HRESULT OnHttpNavigation(const tallowick::platform::Navigation &navigation,
                           tallowick::platform::NavigationAnswer *answer);

  // The trees alive in this process (agent object services search them).
  static ObjectTree *OfElement(IUnknown *element);
  static ObjectTree *OfAO(IUnknown *ao);
  static ObjectTree *OfBrowser(LONG browserId);

private:
  Node *NewNode(NodeKind kind, Node *parent, Node *frame);
  void Index(Node *node);
  void Unindex(Node *node);
  void Drop(Node *node); // unlinks and releases a subtree
  HRESULT BuildFrame(Node *frame);
  Node *AddElement(IHTMLElement *element, Node *parent, Node *frame);
  Node *NewFrame(NodeKind kind, Node *parent, Node *frame, IHTMLElement *element,
                 IHTMLDocument2 *document);
  IWebObj2 *AskKits(IHTMLElement *element, Node *frame, LONG *kitId);
  void Adopt(Node *node, IWebObj2 *ao, CHostAO *host, LONG kitId);
  void AssignId(Node *node);
  Node *NearestNode(IHTMLElement *element, Node **frame);
  std::wstring ClassNameOf(IWebObj2 *ao);
  std::wstring DescribeNode(Node *node);
  void Record(const std::wstring &type, IHTMLElement *element);

  LONG browserId_;
  Node root_;
  std::vector<std::unique_ptr<Node>> nodes_;
  std::map<IUnknown *, Node *> byAO_;
  std::map<IUnknown *, Node *> byElement_;
  std::map<IUnknown *, Node *> byDocument_;
  std::map<IUnknown *, IWebObj2 *> viewLinkInner_; // element -> host view-link AO (one ref)
  std::vector<ComPtr<IUnknown>> identities_;       // keeps the keys above alive
  std::map<std::pair<Node *, std::wstring>, Node *> radioGroups_;
  std::set<std::wstring> loadedConfigurations_;
  std::vector<Kit> kits_;
  std::vector<ComPtr<IHTMLDocument2>> handled_; // documents with our event handler
  LONG nextFrameId_ = 1;
  LONG nextObjectId_ = 1;
  bool recording_ = false;
  bool recordingEvent_ = false;
  bool navigated_ = false;
  bool building_ = false;
  std::vector<Step> steps_;
  std::unique_ptr<EventConfiguration> events_;
  std::unique_ptr<http::HttpSession> http_; // the browser's HTTP session (its cookies)
  std::wstring navigationError_;
};

// A frame's offset from its client coordinates to the screen: the browser's
// client origin plus, for frames inside a document, the position of the frame
// element (the view-link owner) in its own frame.
POINT FrameScreenOffset(const Node *frame);
// The class a node's AO records under, as a name.
std::wstring WebClassName(LONG webClass);
// The standard web class of an element; kNoClass for plain containers.
LONG StandardClass(IHTMLElement *element, bool viewLink);

} // namespace host::tree
