#include "tree/ObjectTree.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <sstream>

#include <msxml2.h>

#include "http/HttpSession.h"
#include "module/HostClasses.h"
#include "tallowick/Page.h"
#include "tallowick/Strings.h"
#include "tree/HostAO.h"
#include "tree/TreeObjects.h"
#include "values/IdCommon.h"

namespace host::tree {
namespace {

using tallowick::platform::EqualsNoCase;

std::mutex g_treesLock;
std::vector<ObjectTree *> g_trees;

constexpr int kMaxFrameDepth = 16;

// Elements that are never agent objects, and containers that are one only
// when they have an id.
const std::set<std::wstring> kNeverObjects = {
    L"HTML",     L"HEAD", L"TITLE",  L"META",     L"LINK",  L"STYLE", L"SCRIPT",  L"BASE",
    L"NOSCRIPT", L"BODY", L"FORM",   L"TBODY",    L"THEAD", L"TFOOT", L"COL",     L"COLGROUP",
    L"BR",       L"HR",   L"OPTION", L"OPTGROUP", L"PARAM", L"MAP",   L"FRAMESET"};
// Parts of a table's structure: looked through, never made objects on demand,
// so that a table's objects below it are its rows.
const std::set<std::wstring> kTableParts = {L"TBODY",   L"THEAD", L"TFOOT",
                                            L"CAPTION", L"COL",   L"COLGROUP"};
const std::set<std::wstring> kPlainContainers = {
    L"DIV",      L"SPAN",   L"P",          L"FONT",   L"B",     L"I",   L"U",
    L"EM",       L"STRONG", L"CENTER",     L"NOBR",   L"LABEL", L"UL",  L"OL",
    L"LI",       L"DL",     L"DT",         L"DD",     L"SMALL", L"BIG", L"PRE",
    L"FIELDSET", L"LEGEND", L"BLOCKQUOTE", L"CAPTION"};

std::wstring Upper(std::wstring text) {
  for (wchar_t &c : text)
    c = static_cast<wchar_t>(std::towupper(c));
  return text;
}

std::wstring Lower(std::wstring text) {
  for (wchar_t &c : text)
    c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

bool IsFrameElement(IHTMLElement *element) {
  std::wstring tag = TagName(element);
  return EqualsNoCase(tag, L"FRAME") || EqualsNoCase(tag, L"IFRAME");
}

ComPtr<IHTMLDocument2> ViewLinkDocument(IHTMLElement *element) {
  ComPtr<IHTMLDocument2> document;
  if (tallowick::platform::GetViewLinkDocument(element, document.Out()) != S_OK)
    document.Reset();
  return document;
}

// Where the event configuration file named by an object is: an absolute
// path as it is, otherwise next to the program or in its "config" folder.
std::wstring ConfigurationPath(const std::wstring &name) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path given(name);
  if (given.is_absolute())
    return fs::exists(given, error) ? name : std::wstring();
  WCHAR program[MAX_PATH] = {};
  DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return {};
  fs::path folder = fs::path(std::wstring(program, length)).parent_path();
  for (const fs::path &candidate : {folder / given, folder / "config" / given}) {
    if (fs::exists(candidate, error))
      return candidate.wstring();
  }
  return {};
}

std::wstring Quoted(const std::wstring &text) {
  std::wstring out = L"\"";
  for (wchar_t c : text) {
    if (c == L'"' || c == L'\\')
      out += L'\\';
    if (c == L'\n') {
      out += L"\\n";
      continue;
    }
    out += c;
  }
  return out + L"\"";
}

// One record entry as step text.
std::wstring EntryText(IWebAttrVal *value) {
  WEB_AV_TYPE type = WEB_AV_EMPTY;
  value->GetType(&type);
  switch (type) {
  case WEB_AV_LONG: {
    LONG number = 0;
    value->GetLongValue(0, &number);
    return std::to_wstring(number);
  }
  case WEB_AV_BOOL: {
    LONG flag = 0;
    value->GetBoolValue(0, &flag);
    return flag != 0 ? L"true" : L"false";
  }
  case WEB_AV_POINT: {
    tagPOINT p{};
    value->GetPointValue(0, &p);
    return L"(" + std::to_wstring(p.x) + L"," + std::to_wstring(p.y) + L")";
  }
  case WEB_AV_RECT: {
    tagRECT r{};
    value->GetRectValue(0, &r);
    return L"(" + std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"," +
           std::to_wstring(r.right) + L"," + std::to_wstring(r.bottom) + L")";
  }
  default: {
    BSTR text = nullptr;
    std::wstring out;
    if (SUCCEEDED(value->GetStringValue(0, &text)))
      out = FromBstr(text);
    SysFreeString(text);
    return Quoted(out);
  }
  }
}

} // namespace

std::wstring WebClassName(LONG webClass) {
  ComPtr<IWIAgentServices> services;
  if (FAILED(CreateAgentServices(nullptr, __uuidof(IWIAgentServices),
                                 reinterpret_cast<void **>(services.Out()))))
    return {};
  BSTR name = nullptr;
  std::wstring out;
  if (SUCCEEDED(services->GetWebClassName(webClass, &name)))
    out = FromBstr(name);
  SysFreeString(name);
  return out;
}

LONG StandardClass(IHTMLElement *element, bool viewLink) {
  if (viewLink)
    return kViewLink;
  std::wstring tag = Upper(TagName(element));
  if (kNeverObjects.count(tag) != 0)
    return kNoClass;
  if (kPlainContainers.count(tag) != 0)
    return ElementId(element).empty() ? kNoClass : kWebElement;
  if (tag == L"A") {
    bool href = false;
    AttributeText(element, L"href", &href);
    return href ? kLink : (ElementId(element).empty() ? kNoClass : kWebElement);
  }
  if (tag == L"IMG")
    return kImage;
  if (tag == L"AREA")
    return kWebArea;
  if (tag == L"TEXTAREA")
    return kWebEdit;
  if (tag == L"SELECT")
    return kWebList;
  if (tag == L"BUTTON")
    return kWebButton;
  if (tag == L"TABLE")
    return kWebTable;
  if (tag == L"TR")
    return kHtmlRow;
  if (tag == L"TD" || tag == L"TH")
    return kHtmlCell;
  if (tag == L"FRAME" || tag == L"IFRAME")
    return kFrame;
  if (tag != L"INPUT")
    return kWebElement;
  std::wstring type = Lower(AttributeText(element, L"type"));
  if (type == L"hidden")
    return kNoClass;
  if (type == L"submit" || type == L"button" || type == L"reset")
    return kWebButton;
  if (type == L"checkbox")
    return kWebCheckBox;
  if (type == L"radio")
    return kWebRadioGroup;
  if (type == L"file")
    return kWebFile;
  if (type == L"image")
    return kImage;
  return kWebEdit;
}

POINT FrameScreenOffset(const Node *frame) {
  if (frame == nullptr || !frame->element || frame->parent == nullptr)
    return kClientOrigin;
  POINT outer = FrameScreenOffset(frame->parent->frame);
  RECT rect{};
  ClientRect(frame->element.Get(), &rect);
  return POINT{outer.x + rect.left, outer.y + rect.top};
}

// --- event configuration ---

EventConfiguration::EventConfiguration() {
  for (const wchar_t *name :
       {L"Link", L"Image", L"WebArea", L"WebButton", L"WebCheckBox", L"WebRadioGroup", L"ViewLink"})
    events_[name] = {L"onclick"};
  for (const wchar_t *name : {L"WebEdit", L"WebFile", L"WebList"})
    events_[name] = {L"onchange"};
}

bool EventConfiguration::Load(const std::wstring &path) {
  ComPtr<IXMLDOMDocument> document;
  if (FAILED(CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                              reinterpret_cast<void **>(document.Out()))))
    return false;
  document->put_async(VARIANT_FALSE);
  VARIANT source;
  VariantInit(&source);
  source.vt = VT_BSTR;
  source.bstrVal = ToBstr(path);
  VARIANT_BOOL loaded = VARIANT_FALSE;
  HRESULT hr = document->load(source, &loaded);
  VariantClear(&source);
  if (FAILED(hr) || loaded == VARIANT_FALSE)
    return false;
  auto list = [](auto *parent, const wchar_t *tag) {
    ComPtr<IXMLDOMNodeList> nodes;
    BSTR name = SysAllocString(tag);
    if (name == nullptr || FAILED(parent->getElementsByTagName(name, nodes.Out())))
      nodes.Reset();
    SysFreeString(name);
    std::vector<ComPtr<IXMLDOMElement>> out;
    LONG length = 0;
    if (nodes)
      nodes->get_length(&length);
    for (LONG i = 0; i < length; ++i) {
      ComPtr<IXMLDOMNode> node;
      if (SUCCEEDED(nodes->get_item(i, node.Out())) && node)
        if (auto element = QueryAs<IXMLDOMElement>(node.Get()))
          out.push_back(element);
    }
    return out;
  };
  auto nameOf = [](IXMLDOMElement *element) {
    BSTR key = SysAllocString(L"Name");
    VariantHolder value;
    std::wstring out;
    if (key != nullptr && SUCCEEDED(element->getAttribute(key, value.Ptr())) &&
        value->vt == VT_BSTR)
      out = FromBstr(value->bstrVal);
    SysFreeString(key);
    return out;
  };
  for (const auto &entry : list(document.Get(), L"Class")) {
    std::wstring className = nameOf(entry.Get());
    if (className.empty())
      continue;
    auto &events = events_[className];
    for (const auto &event : list(entry.Get(), L"Event")) {
      std::wstring name = Lower(nameOf(event.Get()));
      if (!name.empty() && std::find(events.begin(), events.end(), name) == events.end())
        events.push_back(name);
    }
  }
  return true;
}

bool EventConfiguration::Records(const std::wstring &className, const std::wstring &event) const {
  auto found = events_.find(className);
  if (found == events_.end())
    return false;
  std::wstring name = Lower(event);
  return std::find(found->second.begin(), found->second.end(), name) != found->second.end();
}

// --- the tree ---

ObjectTree::ObjectTree(LONG browserId)
    : browserId_(browserId), events_(std::make_unique<EventConfiguration>()) {
  root_.kind = NodeKind::Browser;
  std::lock_guard guard(g_treesLock);
  g_trees.push_back(this);
}

ObjectTree::~ObjectTree() {
  Clear();
  std::lock_guard guard(g_treesLock);
  g_trees.erase(std::remove(g_trees.begin(), g_trees.end(), this), g_trees.end());
}

ObjectTree *ObjectTree::OfElement(IUnknown *element) {
  ComPtr<IHTMLElement> html = QueryAs<IHTMLElement>(element);
  ComPtr<IHTMLDocument2> document = DocumentOf(html.Get());
  std::lock_guard guard(g_treesLock);
  for (ObjectTree *tree : g_trees) {
    if (tree->NodeOfElement(element) != nullptr || tree->FrameOfDocument(document.Get()) != nullptr)
      return tree;
  }
  return nullptr;
}

ObjectTree *ObjectTree::OfAO(IUnknown *ao) {
  ComPtr<IUnknown> identity = Identity(ao);
  std::lock_guard guard(g_treesLock);
  for (ObjectTree *tree : g_trees) {
    if (tree->NodeOfAO(identity.Get()) != nullptr)
      return tree;
    for (const auto &[element, inner] : tree->viewLinkInner_) {
      if (SameObject(inner, identity.Get()))
        return tree;
    }
  }
  return nullptr;
}

ObjectTree *ObjectTree::OfBrowser(LONG browserId) {
  std::lock_guard guard(g_treesLock);
  for (ObjectTree *tree : g_trees) {
    if (tree->browserId_ == browserId)
      return tree;
  }
  return nullptr;
}

Node *ObjectTree::NodeOfAO(IUnknown *ao) {
  ComPtr<IUnknown> identity = Identity(ao);
  // The browser's IUnknown is its IWebObj2 (never queried here: the tree
  // goes while the browser is destroyed).
  if (root_.ao != nullptr && identity.Get() == static_cast<IUnknown *>(root_.ao))
    return &root_;
  auto found = byAO_.find(identity.Get());
  return found != byAO_.end() ? found->second : nullptr;
}

Node *ObjectTree::NodeOfElement(IUnknown *element) {
  auto found = byElement_.find(Identity(element).Get());
  return found != byElement_.end() ? found->second : nullptr;
}

Node *ObjectTree::FrameOfDocument(IUnknown *document) {
  auto found = byDocument_.find(Identity(document).Get());
  return found != byDocument_.end() ? found->second : nullptr;
}

Node *ObjectTree::ViewLinkFrameOf(Node *owner) {
  if (owner == nullptr)
    return nullptr;
  for (Node *child : owner->children) {
    if (child->kind == NodeKind::ViewLinkFrame)
      return child;
  }
  return nullptr;
}

Node *ObjectTree::NewNode(NodeKind kind, Node *parent, Node *frame) {
  nodes_.push_back(std::make_unique<Node>());
  Node *node = nodes_.back().get();
  node->kind = kind;
  node->parent = parent;
  node->frame = frame;
  if (parent != nullptr)
    parent->children.push_back(node);
  return node;
}

void ObjectTree::Index(Node *node) {
  if (node->ao != nullptr)
    byAO_[Identity(node->ao).Get()] = node;
  if (node->identity)
    byElement_[node->identity.Get()] = node;
  if (node->document && node->kind != NodeKind::Page)
    byDocument_[Identity(node->document.Get()).Get()] = node;
}

void ObjectTree::Unindex(Node *node) {
  if (node->ao != nullptr)
    byAO_.erase(Identity(node->ao).Get());
  auto forget = [&](IUnknown *key) {
    auto found = byElement_.find(key);
    if (found != byElement_.end() && found->second == node)
      byElement_.erase(found);
  };
  if (node->identity)
    forget(node->identity.Get());
  for (IUnknown *alias : node->aliases)
    forget(alias);
  node->aliases.clear();
  if (node->document && node->kind != NodeKind::Page)
    byDocument_.erase(Identity(node->document.Get()).Get());
}

// Cuts the node's object loose: a host object forgets its node, a kit
// object drops its links (ReleaseRefs); then the tree lets go of it.
static void LetGo(Node *node) {
  IWebObj2 *ao = std::exchange(node->ao, nullptr);
  CHostAO *host = std::exchange(node->host, nullptr);
  if (ao == nullptr)
    return;
  if (host != nullptr)
    host->Detach();
  else
    ao->ReleaseRefs();
  ao->Release();
}

void ObjectTree::Drop(Node *node) {
  std::vector<Node *> subtree{node};
  for (size_t i = 0; i < subtree.size(); ++i)
    subtree.insert(subtree.end(), subtree[i]->children.begin(), subtree[i]->children.end());
  if (node->parent != nullptr) {
    auto &siblings = node->parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), node), siblings.end());
    node->parent = nullptr;
  }
  for (auto it = subtree.rbegin(); it != subtree.rend(); ++it) {
    Unindex(*it);
    (*it)->children.clear();
    LetGo(*it);
  }
}

void ObjectTree::Clear() {
  for (const auto &document : handled_) {
    tallowick::platform::SetPageEventHandler(document.Get(), nullptr);
    tallowick::platform::SetNavigationHandler(document.Get(), nullptr);
  }
  handled_.clear();
  while (!root_.children.empty())
    Drop(root_.children.back());
  std::map<IUnknown *, IWebObj2 *> inner;
  inner.swap(viewLinkInner_);
  for (auto &[element, ao] : inner) {
    if (CHostAO *host = HostObjectOf(ao))
      host->Detach();
    ao->Release();
  }
  byAO_.clear();
  byElement_.clear();
  byDocument_.clear();
  radioGroups_.clear();
  identities_.clear();
  nodes_.clear();
  root_.children.clear();
}

void ObjectTree::Adopt(Node *node, IWebObj2 *ao, CHostAO *host, LONG kitId) {
  if (node->ao != nullptr) {
    byAO_.erase(Identity(node->ao).Get());
    LetGo(node);
  }
  node->ao = ao;
  node->host = host;
  node->kitId = kitId;
  byAO_[Identity(ao).Get()] = node;
  if (host == nullptr) {
    AssignId(node);
    ao->SetKitId(kitId);
  }
}

// A kit's object gets the node's ids; an object type id that the kit set
// (its view-link marks) stays.
void ObjectTree::AssignId(Node *node) {
  WebIdParts parts{browserId_, node->frameId, node->objectId, node->typeId};
  ComPtr<IWebRunTimeID> own;
  LONG type = 0;
  if (SUCCEEDED(node->ao->GetId(own.Out())) && own && SUCCEEDED(own->GetInnerObjTypeId(&type)) &&
      type != 0)
    parts.type = type;
  ComPtr<IWebRunTimeID> id;
  if (SUCCEEDED(NewWebRunTimeID(parts, id.Out())))
    node->ao->SetId(id.Get());
}

HRESULT ObjectTree::Show(IHTMLDocument2 *document) {
  if (document == nullptr)
    return E_INVALIDARG;
  Clear();
  Node *page = NewNode(NodeKind::Page, &root_, nullptr);
  page->document = ComPtr<IHTMLDocument2>(document);
  page->typeId = kPageType;
  CHostAO *pageAO = NewPageAO(this, page);
  Adopt(page, pageAO, pageAO, 0);
  Index(page);
  Node *frame = NewFrame(NodeKind::Frame, page, nullptr, nullptr, document);
  building_ = true;
  HRESULT hr = BuildFrame(frame);
  building_ = false;
  navigated_ = false;
  tallowick::platform::SetPageEventHandler(document,
                                           [this](const tallowick::platform::PageEvent &event) {
                                             return OnPageEvent(event.type, event.element);
                                           });
  tallowick::platform::SetNavigationHandler(
      document, [this](const tallowick::platform::Navigation &navigation,
                       tallowick::platform::NavigationAnswer *answer) {
        HRESULT hr = OnHttpNavigation(navigation, answer);
        if (hr == S_FALSE) {
          hr = OnNavigation(navigation.url, &answer->html);
          answer->replace = hr == S_OK;
        }
        return SUCCEEDED(hr) ? S_OK : hr;
      });
  handled_.push_back(ComPtr<IHTMLDocument2>(document));
  return hr;
}

Node *ObjectTree::NewFrame(NodeKind kind, Node *parent, Node *, IHTMLElement *element,
                           IHTMLDocument2 *document) {
  Node *node = NewNode(kind, parent, nullptr);
  node->frame = node;
  node->element = ComPtr<IHTMLElement>(element);
  node->identity =
      kind == NodeKind::Frame && element != nullptr ? Identity(element) : ComPtr<IUnknown>();
  node->document = ComPtr<IHTMLDocument2>(document);
  node->root = DocumentElement(document);
  node->frameId = nextFrameId_++;
  CHostAO *ao =
      kind == NodeKind::ViewLinkFrame ? NewViewLinkFrameAO(this, node) : NewFrameAO(this, node);
  Adopt(node, ao, ao, 0);
  Index(node);
  return node;
}

static int FrameDepth(Node *frame) {
  int depth = 0;
  for (Node *at = frame; at != nullptr && at->parent != nullptr; at = at->parent->frame)
    ++depth;
  return depth;
}

HRESULT ObjectTree::BuildFrame(Node *frame) {
  if (!frame->root || FrameDepth(frame) > kMaxFrameDepth)
    return S_OK;
  struct Pending {
    ComPtr<IHTMLElement> element;
    Node *parent;
  };
  std::vector<Pending> stack;
  stack.push_back({frame->root, frame});
  LONG frameIndex = 0;
  while (!stack.empty()) {
    Pending item = std::move(stack.back());
    stack.pop_back();
    IHTMLElement *element = item.element.Get();
    if (IsFrameElement(element)) {
      ComPtr<IHTMLDocument2> document = FrameDocument(frame->document.Get(), frameIndex++);
      if (!document)
        continue;
      Node *child = NewFrame(NodeKind::Frame, item.parent, frame, element, document.Get());
      BuildFrame(child);
      continue;
    }
    Node *node = AddElement(element, item.parent, frame);
    if (node != nullptr && node->kind == NodeKind::Element && node->element &&
        SameObject(node->element.Get(), element)) {
      if (ComPtr<IHTMLDocument2> document = ViewLinkDocument(element)) {
        Node *viewLink = NewFrame(NodeKind::ViewLinkFrame, node, frame, element, document.Get());
        BuildFrame(viewLink);
      }
    }
    Node *parent = node != nullptr ? node : item.parent;
    auto children = Children(element);
    for (auto it = children.rbegin(); it != children.rend(); ++it)
      stack.push_back({std::move(*it), parent});
  }
  return S_OK;
}

IWebObj2 *ObjectTree::AskKits(IHTMLElement *element, Node *frame, LONG *kitId) {
  std::vector<Kit> kits = kits_; // a kit may load another page meanwhile
  for (const Kit &kit : kits) {
    ComPtr<IWebObj2> ao;
    if (kit.factory->NewAO(element, frame->ao, ao.Out()) == S_OK && ao) {
      *kitId = kit.id;
      return ao.Detach();
    }
  }
  return nullptr;
}

Node *ObjectTree::AddElement(IHTMLElement *element, Node *parent, Node *frame) {
  ComPtr<IUnknown> identity = Identity(element);
  LONG kitId = 0;
  IWebObj2 *kitAO = AskKits(element, frame, &kitId);
  Node *existing = NodeOfElement(identity.Get());
  if (kitAO != nullptr) {
    Node *node = existing;
    if (node == nullptr || !SameObject(node->element.Get(), element)) {
      node = NewNode(NodeKind::Element, parent, frame);
      node->element = ComPtr<IHTMLElement>(element);
      node->identity = identity;
      node->frameId = frame->frameId;
      node->objectId = nextObjectId_++;
      node->typeId = frame->kind == NodeKind::ViewLinkFrame ? kViewLinkInnerType : 0;
      Index(node);
    }
    Adopt(node, kitAO, nullptr, kitId);
    return node;
  }
  if (existing != nullptr)
    return SameObject(existing->element.Get(), element) ? existing : nullptr;
  LONG webClass = StandardClass(element, static_cast<bool>(ViewLinkDocument(element)));
  if (webClass == kNoClass)
    return nullptr;
  if (webClass == kWebRadioGroup) {
    // One object for the buttons of a group.
    auto key = std::make_pair(frame, AttributeText(element, L"name"));
    auto group = radioGroups_.find(key);
    if (group != radioGroups_.end() && !key.second.empty()) {
      byElement_[identity.Get()] = group->second;
      group->second->aliases.push_back(identity.Get());
      identities_.push_back(identity);
      return nullptr;
    }
  }
  Node *node = NewNode(NodeKind::Element, parent, frame);
  node->element = ComPtr<IHTMLElement>(element);
  node->identity = identity;
  node->frameId = frame->frameId;
  node->objectId = nextObjectId_++;
  node->typeId = frame->kind == NodeKind::ViewLinkFrame ? kViewLinkInnerType : 0;
  CHostAO *ao = webClass == kViewLink ? NewViewLinkAO(this, node, element)
                                      : NewElementAO(this, node, webClass, element);
  Adopt(node, ao, ao, 0);
  Index(node);
  if (webClass == kWebRadioGroup)
    radioGroups_[std::make_pair(frame, AttributeText(element, L"name"))] = node;
  return node;
}

// The node of the nearest ancestor with an object, or the frame of the
// element's document; *frame receives that frame.
Node *ObjectTree::NearestNode(IHTMLElement *element, Node **frame) {
  *frame = FrameOfDocument(DocumentOf(element).Get());
  if (*frame == nullptr)
    return nullptr;
  for (ComPtr<IHTMLElement> at = ParentElement(element); at; at = ParentElement(at.Get())) {
    Node *node = NodeOfElement(at.Get());
    if (node != nullptr && node->frame == *frame)
      return node;
  }
  return *frame;
}

HRESULT ObjectTree::ElementAO(IHTMLElement *element, bool create, IWebObj2 **ao) {
  *ao = nullptr;
  if (element == nullptr)
    return E_INVALIDARG;
  if (Node *node = NodeOfElement(element)) {
    *ao = node->ao;
    (*ao)->AddRef();
    return S_OK;
  }
  if (!create || kTableParts.count(Upper(TagName(element))) != 0)
    return S_FALSE;
  Node *frame = nullptr;
  Node *parent = NearestNode(element, &frame);
  if (parent == nullptr)
    return S_FALSE;
  LONG webClass = StandardClass(element, static_cast<bool>(ViewLinkDocument(element)));
  if (webClass == kNoClass || webClass == kFrame)
    webClass = kWebElement;
  Node *node = NewNode(NodeKind::Element, parent, frame);
  node->element = ComPtr<IHTMLElement>(element);
  node->identity = Identity(element);
  node->frameId = frame->frameId;
  node->objectId = nextObjectId_++;
  node->typeId = frame->kind == NodeKind::ViewLinkFrame ? kViewLinkInnerType : 0;
  CHostAO *host = webClass == kViewLink ? NewViewLinkAO(this, node, element)
                                        : NewElementAO(this, node, webClass, element);
  Adopt(node, host, host, 0);
  Index(node);
  *ao = node->ao;
  (*ao)->AddRef();
  return S_OK;
}

HRESULT ObjectTree::ViewLinkElementAO(IHTMLElement *element, IWebObj2 **ao) {
  *ao = nullptr;
  if (element == nullptr)
    return E_INVALIDARG;
  if (!ViewLinkDocument(element))
    return S_FALSE;
  Node *node = NodeOfElement(element);
  if (node != nullptr && node->host != nullptr && node->ao->CompareClass(kViewLink) == S_OK) {
    *ao = node->ao;
    (*ao)->AddRef();
    return S_OK;
  }
  ComPtr<IUnknown> identity = Identity(element);
  auto found = viewLinkInner_.find(identity.Get());
  if (found == viewLinkInner_.end()) {
    Node *frame = nullptr;
    NearestNode(element, &frame);
    if (frame == nullptr)
      return S_FALSE;
    CHostAO *inner = NewViewLinkAO(this, nullptr, element);
    ComPtr<IWebRunTimeID> id;
    if (SUCCEEDED(NewWebRunTimeID({browserId_, frame->frameId, nextObjectId_++, 0}, id.Out())))
      inner->SetId(id.Get());
    found = viewLinkInner_.emplace(identity.Get(), inner).first;
    identities_.push_back(identity);
  }
  *ao = found->second;
  (*ao)->AddRef();
  return S_OK;
}

HRESULT ObjectTree::Link(Node *parent, IWebObj2 *ao) {
  if (Node *node = NodeOfAO(ao)) {
    if (node == parent || node->kind != NodeKind::Element)
      return E_INVALIDARG;
    Reparent(node, parent);
    return S_OK;
  }
  Node *frame = parent->frame != nullptr ? parent->frame : nullptr;
  if (frame == nullptr)
    return E_INVALIDARG;
  Node *node = NewNode(NodeKind::Element, parent, frame);
  ComPtr<IUnknown> wrapped;
  if (ao->GetWrappedElement(wrapped.Out()) == S_OK && wrapped) {
    node->element = QueryAs<IHTMLElement>(wrapped.Get());
    if (node->element && NodeOfElement(wrapped.Get()) == nullptr)
      node->identity = Identity(wrapped.Get());
  }
  node->frameId = frame->frameId;
  node->objectId = nextObjectId_++;
  LONG kitId = 0;
  ao->GetKitID(&kitId);
  ao->AddRef();
  CHostAO *host = HostObjectOf(ao);
  if (host != nullptr)
    host->Attach(this, node);
  Adopt(node, ao, host, kitId);
  if (host != nullptr)
    AssignId(node);
  Index(node);
  return S_OK;
}

HRESULT ObjectTree::Unlink(Node *node) {
  if (node->kind != NodeKind::Element)
    return E_INVALIDARG;
  Drop(node);
  return S_OK;
}

void ObjectTree::UnlinkChildren(Node *node) {
  std::vector<Node *> children = node->children;
  for (Node *child : children)
    Drop(child);
}

void ObjectTree::Reparent(Node *node, Node *parent) {
  for (Node *at = parent; at != nullptr; at = at->parent) {
    if (at == node)
      return; // never under itself
  }
  if (node->parent != nullptr) {
    auto &siblings = node->parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), node), siblings.end());
  }
  node->parent = parent;
  parent->children.push_back(node);
}

// --- navigation ---

HRESULT ObjectTree::OnNavigation(const std::wstring &url, std::string *html) {
  std::string path = tallowick::platform::PathFromFileUrl(url);
  std::error_code error;
  if (path.empty() || !std::filesystem::is_regular_file(path, error))
    return S_FALSE; // the page stays; the navigation is only recorded by the page
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  if (!file && !file.eof())
    return S_FALSE;
  *html = content.str();
  navigated_ = true;
  return S_OK;
}

HRESULT ObjectTree::OnHttpNavigation(const tallowick::platform::Navigation &navigation,
                                     tallowick::platform::NavigationAnswer *answer) {
  if (!http::IsHttpUrl(navigation.url))
    return S_FALSE;
  if (!http_)
    http_ = std::make_unique<http::HttpSession>();
  HRESULT hr = http::AnswerNavigation(*http_, navigation, answer);
  navigationError_ = hr != S_OK ? http_->LastError() : std::wstring();
  if (hr == S_OK)
    navigated_ = true;
  return hr;
}

HRESULT ObjectTree::LoadUrl(const std::wstring &url) {
  if (!http_)
    http_ = std::make_unique<http::HttpSession>();
  http::Response response;
  HRESULT hr = http_->Get(url, &response);
  navigationError_ = FAILED(hr) ? http_->LastError() : std::wstring();
  if (FAILED(hr))
    return hr;
  ComPtr<IHTMLDocument2> document;
  hr = tallowick::platform::LoadPageFromString(response.body, response.url, document.Out());
  if (FAILED(hr))
    return hr;
  return Show(document.Get());
}

void ObjectTree::Refresh() {
  if (!navigated_ || building_ || recordingEvent_ || handled_.empty())
    return;
  navigated_ = false;
  ComPtr<IHTMLDocument2> current;
  if (FAILED(tallowick::platform::GetCurrentDocument(handled_.front().Get(), current.Out())) ||
      !current)
    return;
  Show(current.Get());
}

void ObjectTree::RefreshAll() {
  std::vector<ObjectTree *> trees;
  {
    std::lock_guard guard(g_treesLock);
    trees = g_trees;
  }
  for (ObjectTree *tree : trees)
    tree->Refresh();
}

// --- recording ---

bool ObjectTree::OnPageEvent(const std::wstring &type, IHTMLElement *element) {
  if (!recording_ || recordingEvent_ || element == nullptr || type == L"navigate")
    return true;
  recordingEvent_ = true; // events fired while a record is filled are not recorded
  try {
    Record(type, element);
  } catch (...) {
  }
  recordingEvent_ = false;
  return true;
}

std::wstring ObjectTree::ClassNameOf(IWebObj2 *ao) {
  LONG webClass = 0;
  ao->GetRecordableClass(&webClass);
  return WebClassName(webClass);
}

// "Frame "name" / " for each frame below the page's own, then the object.
std::wstring ObjectTree::DescribeNode(Node *node) {
  std::vector<Node *> path;
  for (Node *at = node; at != nullptr && at->kind != NodeKind::Page; at = at->parent) {
    if (at == node || (at->kind != NodeKind::Element && at->parent != nullptr &&
                       at->parent->kind != NodeKind::Page))
      path.push_back(at);
  }
  std::wstring text;
  for (auto it = path.rbegin(); it != path.rend(); ++it) {
    LONG nameId = (*it)->kitId != 0 ? kAttrLogicalName : kAttrName;
    ComPtr<IWebAttrVal> name;
    BSTR value = nullptr;
    std::wstring nameText;
    if ((*it)->ao->GetAttr(nameId, nullptr, name.Out()) == S_OK && name &&
        SUCCEEDED(name->GetStringValue(0, &value)))
      nameText = FromBstr(value);
    SysFreeString(value);
    if (!text.empty())
      text += L" / ";
    text += ClassNameOf((*it)->ao) + L" " + Quoted(nameText);
  }
  return text;
}

void ObjectTree::Record(const std::wstring &type, IHTMLElement *element) {
  Node *frame = nullptr;
  Node *node = NodeOfElement(element);
  if (node == nullptr) {
    node = NearestNode(element, &frame);
    if (node == nullptr)
      return;
    if (node->kind != NodeKind::Element) {
      ComPtr<IWebObj2> created;
      if (ElementAO(element, true, created.Out()) != S_OK)
        return;
      node = NodeOfAO(created.Get());
    }
  }
  if (node == nullptr || node->frame == nullptr)
    return;
  frame = node->frame;

  RECT rect{};
  ClientRect(element, &rect);
  POINT offset = FrameScreenOffset(frame);
  POINT point{offset.x + (rect.left + rect.right) / 2, offset.y + (rect.top + rect.bottom) / 2};

  // The kits say which object records the event; otherwise the host's own.
  ComPtr<IWebObj2> recorder;
  VariantHolder data;
  SAFEARRAY *array = SafeArrayCreateVector(VT_VARIANT, 0, 4); // name, x, y, window
  if (array == nullptr)
    return;
  data->vt = VT_ARRAY | VT_VARIANT;
  data->parray = array;
  VARIANT item;
  VariantInit(&item);
  LONG at = 0;
  item.vt = VT_BSTR;
  item.bstrVal = ToBstr(type);
  SafeArrayPutElement(array, &at, &item);
  VariantClear(&item);
  item.vt = VT_I4;
  item.lVal = point.x;
  at = 1;
  SafeArrayPutElement(array, &at, &item);
  item.lVal = point.y;
  at = 2;
  SafeArrayPutElement(array, &at, &item);
  item.lVal = 0;
  at = 3;
  SafeArrayPutElement(array, &at, &item);
  std::vector<Kit> kits = kits_;
  for (const Kit &kit : kits) {
    if (kit.factory->GetRecordAO(element, *data, frame->ao, recorder.Out()) == S_OK && recorder)
      break;
    recorder.Reset();
  }
  if (!recorder)
    recorder = ComPtr<IWebObj2>(node->ao);
  Node *recorderNode = NodeOfAO(recorder.Get());
  if (recorderNode == nullptr)
    recorderNode = node;

  // The object's event configuration decides whether the event is a step.
  auto config = QueryAs<IWebObjSelfEventConfig>(recorder.Get());
  LONG state = 0;
  BSTR file = nullptr;
  if (config && SUCCEEDED(config->GetEventConfigState(&state)) && state == 2 &&
      SUCCEEDED(config->GetEventConfigFile(&file)) && SysStringLen(file) != 0) {
    std::wstring name = FromBstr(file);
    if (loadedConfigurations_.insert(name).second) {
      std::wstring path = ConfigurationPath(name);
      if (!path.empty())
        events_->Load(path);
    }
  }
  SysFreeString(file);
  if (!events_->Records(ClassNameOf(recorder.Get()), type))
    return;

  ComPtr<IWebInfo> record;
  if (FAILED(CreateWebInfo(nullptr, IID_IWebInfo, reinterpret_cast<void **>(record.Out()))))
    return;
  BSTR event = ToBstr(type);
  record->InsertAttrString(kAttrEventName, event, 1);
  tagWIEventData eventData{event, {point.x, point.y}, 0};
  IWebInfo *filled = record.Detach();
  HRESULT hr = recorder->FillRecordInformation(element, eventData, &filled);
  record = ComPtr<IWebInfo>(filled);
  if (filled != nullptr)
    filled->Release();
  SysFreeString(event);
  if (hr != S_OK || !record)
    return;

  std::wstring text = DescribeNode(recorderNode) + L" " + type;
  UINT size = 0;
  record->GetSize(&size);
  for (UINT i = 0; i < size; ++i) {
    LONG name = 0;
    ComPtr<IWebAttrVal> value;
    if (FAILED(record->GetAttrNameByIndex(i, &name)) || name == kAttrEventName ||
        FAILED(record->GetAttrValueByIndex(i, value.Out())) || !value)
      continue;
    text += L" " + std::to_wstring(name) + L"=" + EntryText(value.Get());
  }
  steps_.push_back({text, record});
}

} // namespace host::tree
