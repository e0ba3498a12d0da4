#include "controls/WfTreeView.h"

#include <climits>
#include <cwctype>
#include <new>
#include <vector>

#include "recognition/WfKitUtil.h"
#include "support/QilBstr.h"
#include "support/QilDispatchDriver.h"
#include "support/QilVariant.h"
#include "webobj/HostServices.h"
#include "webobj/WebIds.h"

namespace {

// Attribute ids of the tree's requests and records.
constexpr LONG kTvAttrClassName = 0;
constexpr LONG kTvAttrName = 6;
constexpr LONG kTvAttrDisabled = 46;
constexpr LONG kTvAttrEventName = 64;
constexpr LONG kTvAttrVisibleNames = 121;
constexpr LONG kTvAttrVisibleCount = 122;
constexpr LONG kTvAttrElementId = 138;
constexpr LONG kTvAttrRuntimeId = 199;
constexpr LONG kTvAttrSelectedNodePath = 16387;
constexpr LONG kTvAttrNodePath = 16388;
constexpr LONG kTvAttrVisibleNodeNumber = 16389;
constexpr LONG kTvAttrEventTagName = 16390;

// Kit methods.
constexpr LONG kSelectNode = 1024;
constexpr LONG kSetNodeCheck = 1026;
constexpr LONG kExpandNode = 1027;
constexpr LONG kCollapseNode = 1028;
constexpr LONG kGetNodeText = 1029;

// Node actions.
constexpr LONG kActionSelect = 1;
constexpr LONG kActionExpand = 2;
constexpr LONG kActionCollapse = 3;
constexpr LONG kActionCheck = 4;
constexpr LONG kActionUncheck = 5;

// Guards the upward walks against a page whose node parents form a cycle.
constexpr size_t kMaxNodeDepth = 100000;

constexpr WCHAR kPathSeparator = L';';

std::wstring Trimmed(LPCOLESTR text, UINT length) {
  UINT begin = 0;
  while (begin < length && iswspace(text[begin]))
    ++begin;
  UINT end = length;
  while (end > begin && iswspace(text[end - 1]))
    --end;
  return std::wstring(text + begin, end - begin);
}

std::wstring Trimmed(const std::wstring &text) {
  return Trimmed(text.c_str(), static_cast<UINT>(text.size()));
}

bool EqualsNoCase(LPCOLESTR a, LPCOLESTR b) { return lstrcmpiW(a, b) == 0; }

// The decimal number at the start of `text`, as _wtoi reads it (saturated).
LONG LeadingNumber(const std::wstring &text) {
  size_t at = 0;
  while (at < text.size() && iswspace(text[at]))
    ++at;
  bool negative = at < text.size() && text[at] == L'-';
  if (at < text.size() && (text[at] == L'-' || text[at] == L'+'))
    ++at;
  LONG value = 0;
  for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at) {
    LONG digit = text[at] - L'0';
    if (value > (LONG_MAX - digit) / 10)
      return negative ? LONG_MIN : LONG_MAX;
    value = value * 10 + digit;
  }
  return negative ? -value : value;
}

// The sibling position a path segment names ("#k"), or -1.
LONG SegmentIndex(const std::wstring &segment) {
  if (segment.size() < 2 || segment[0] != L'#')
    return -1;
  return LeadingNumber(segment.substr(1));
}

std::vector<std::wstring> SplitPath(const std::wstring &path) {
  std::vector<std::wstring> segments;
  size_t start = 0;
  for (;;) {
    size_t end = path.find(kPathSeparator, start);
    segments.push_back(Trimmed(path.substr(start, end - start)));
    if (end == std::wstring::npos)
      return segments;
    start = end + 1;
  }
}

HRESULT ToBstr(const std::wstring &text, CQilBstr &out) {
  out.Attach(SysAllocStringLen(text.c_str(), static_cast<UINT>(text.size())));
  return out.Get() != nullptr ? S_OK : E_OUTOFMEMORY;
}

// ---- the behaviour's script interface ----

HRESULT CallWithText(IDispatch *object, LPCOLESTR method, LPCOLESTR argument, VARIANT *result) {
  CQilVariant text(argument);
  return CallNamedMethod1(object, method, &text, result, nullptr, nullptr);
}

HRESULT NodeAttribute(IDispatch *node, LPCOLESTR name, VARIANT *value) {
  return CallWithText(node, L"getAttribute", name, value);
}

// getAttribute(name) as a boolean; E_FAIL when it is no boolean.
HRESULT NodeFlag(IDispatch *node, LPCOLESTR name, bool &flag) {
  CQilVariant value;
  HRESULT hr = NodeAttribute(node, name, &value);
  if (FAILED(hr))
    return hr;
  if (value.vt != VT_BOOL)
    return E_FAIL;
  flag = value.boolVal != VARIANT_FALSE;
  return S_OK;
}

bool IsExpanded(IDispatch *node) {
  bool expanded = false;
  return SUCCEEDED(NodeFlag(node, L"expanded", expanded)) && expanded;
}

HRESULT NodeText(IDispatch *node, std::wstring &text) {
  CQilVariant value;
  if (FAILED(NodeAttribute(node, L"text", &value)) || value.vt != VT_BSTR)
    return E_FAIL;
  text = Trimmed(value.bstrVal != nullptr ? value.bstrVal : L"", SysStringLen(value.bstrVal));
  return S_OK;
}

std::wstring NodeUniqueId(IDispatch *node) {
  CQilVariant value;
  if (FAILED(NodeAttribute(node, L"uniqueID", &value)) || FAILED(value.ChangeType(VT_BSTR)))
    return std::wstring();
  return std::wstring(value.bstrVal != nullptr ? value.bstrVal : L"", SysStringLen(value.bstrVal));
}

HRESULT ObjectResult(HRESULT hr, VARIANT &value, CQilComPtr<IDispatch> &object) {
  object.Release();
  if (FAILED(hr))
    return hr;
  if (value.vt != VT_DISPATCH || value.pdispVal == nullptr)
    return E_FAIL;
  object = value.pdispVal;
  return S_OK;
}

HRESULT ChildrenOf(IDispatch *container, CQilComPtr<IDispatch> &children) {
  CQilVariant value;
  HRESULT hr = CallNamedMethod0(container, L"getChildren", &value, nullptr, nullptr);
  return FAILED(ObjectResult(hr, value, children)) ? E_FAIL : S_OK;
}

HRESULT EnumeratorOf(IDispatch *children, CQilComPtr<IEnumVARIANT> &items) {
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  CQilVariant value;
  if (FAILED(CallMethodById(children, DISPID_NEWENUM, &none, &value, nullptr, nullptr)) ||
      (value.vt != VT_UNKNOWN && value.vt != VT_DISPATCH) || value.punkVal == nullptr)
    return E_FAIL;
  if (FAILED(items.QueryFrom(value.punkVal)) || !items)
    return E_NOINTERFACE;
  return S_OK;
}

HRESULT NodeByIndex(IDispatch *tree, LPCOLESTR index, CQilComPtr<IDispatch> &node) {
  CQilVariant value;
  HRESULT hr = CallWithText(tree, L"getTreeNode", index, &value);
  return FAILED(ObjectResult(hr, value, node)) ? E_FAIL : S_OK;
}

// The node's parent node; empty at the top. E_FAIL for an answer that is
// neither an object nor null.
HRESULT ParentNode(IDispatch *node, CQilComPtr<IDispatch> &parent) {
  parent.Release();
  CQilVariant value;
  HRESULT hr = CallNamedMethod0(node, L"getParent", &value, nullptr, nullptr);
  if (FAILED(hr))
    return hr;
  if (value.vt == VT_NULL)
    return S_OK;
  if (value.vt != VT_DISPATCH || value.pdispVal == nullptr)
    return E_FAIL;
  parent = value.pdispVal;
  return S_OK;
}

// ---- sibling lists and node names ----

struct TreeItem {
  CQilComPtr<IDispatch> node;
  std::wstring text;
  bool readable = false;
};

// Calls `visit` with each object among the container's children, in order,
// until it answers true (S_OK); S_FALSE when it never did.
template <class Visit> HRESULT WalkChildren(IDispatch *container, Visit visit) {
  CQilComPtr<IDispatch> children;
  HRESULT hr = ChildrenOf(container, children);
  if (FAILED(hr))
    return hr;
  CQilComPtr<IEnumVARIANT> enumerator;
  hr = EnumeratorOf(children, enumerator);
  if (FAILED(hr))
    return hr;
  for (;;) {
    CQilVariant item;
    ULONG fetched = 0;
    if (enumerator->Next(1, &item, &fetched) != S_OK || fetched == 0)
      return S_FALSE;
    if (item.vt == VT_DISPATCH && item.pdispVal != nullptr && visit(item.pdispVal))
      return S_OK;
  }
}

HRESULT ReadChildren(IDispatch *container, std::vector<TreeItem> &items) {
  HRESULT hr = WalkChildren(container, [&items](IDispatch *node) {
    TreeItem entry;
    entry.node = node;
    entry.readable = SUCCEEDED(NodeText(node, entry.text));
    items.push_back(std::move(entry));
    return false;
  });
  return FAILED(hr) ? hr : S_OK;
}

// Whether another readable sibling has the same text.
bool HasTwin(const std::vector<TreeItem> &items, size_t at) {
  std::wstring id;
  bool idRead = false;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i == at || !items[i].readable || items[i].text != items[at].text)
      continue;
    if (!idRead) {
      id = NodeUniqueId(items[at].node);
      idRead = true;
    }
    if (NodeUniqueId(items[i].node) != id)
      return true;
  }
  return false;
}

// Whether the text, read back as a path segment, would name something else:
// it holds the separator, or it reads as "#k" of an earlier sibling, which a
// path walk meets first.
bool IsMisread(const std::wstring &text, LONG position) {
  if (text.find(kPathSeparator) != std::wstring::npos)
    return true;
  LONG index = SegmentIndex(text);
  return index >= 0 && index < position;
}

// The name of items[at]: its text, or "#" and its position among the
// readable siblings when the text cannot address it.
std::wstring NameAmongSiblings(const std::vector<TreeItem> &items, size_t at) {
  LONG position = 0;
  for (size_t i = 0; i < at; ++i)
    if (items[i].readable)
      ++position;
  const std::wstring &text = items[at].text;
  if (text.empty() || HasTwin(items, at) || IsMisread(text, position))
    return L"#" + std::to_wstring(position);
  return text;
}

size_t FindItem(const std::vector<TreeItem> &items, IDispatch *node) {
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i].node.IsSameObject(node))
      return i;
  std::wstring id = NodeUniqueId(node);
  for (size_t i = 0; i < items.size() && !id.empty(); ++i)
    if (NodeUniqueId(items[i].node) == id)
      return i;
  return items.size();
}

HRESULT NodeName(IDispatch *tree, IDispatch *node, std::wstring &name) {
  std::wstring text;
  if (FAILED(NodeText(node, text)))
    return E_FAIL;
  CQilComPtr<IDispatch> parent;
  HRESULT hr = ParentNode(node, parent);
  if (FAILED(hr))
    return hr;
  std::vector<TreeItem> siblings;
  hr = ReadChildren(parent ? parent.Get() : tree, siblings);
  if (FAILED(hr))
    return hr;
  size_t at = FindItem(siblings, node);
  if (at == siblings.size())
    return E_FAIL;
  name = NameAmongSiblings(siblings, at);
  return S_OK;
}

HRESULT NodePath(IDispatch *tree, IDispatch *node, std::wstring &path) {
  std::vector<std::wstring> names;
  for (CQilComPtr<IDispatch> at(node); at;) {
    if (names.size() >= kMaxNodeDepth)
      return E_FAIL;
    std::wstring name;
    HRESULT hr = NodeName(tree, at, name);
    if (FAILED(hr))
      return hr;
    names.push_back(std::move(name));
    CQilComPtr<IDispatch> parent;
    if (FAILED(ParentNode(at, parent)))
      break;
    at = parent;
  }
  path.clear();
  for (auto name = names.rbegin(); name != names.rend(); ++name) {
    if (name != names.rbegin())
      path += kPathSeparator;
    path += *name;
  }
  return S_OK;
}

// ---- the visible walk ----

struct VisibleWalk {
  LONG target = -1; // the number looked for; -1 lists every visible node
  LONG count = 0;
  bool found = false;
  bool listed = false; // whether `names` holds a name yet
  std::wstring names;
  std::wstring hit;
};

HRESULT WalkVisible(IDispatch *container, VisibleWalk &walk, size_t depth = 0) {
  std::vector<TreeItem> items;
  if (depth >= kMaxNodeDepth || FAILED(ReadChildren(container, items)))
    return S_FALSE;
  for (size_t i = 0; i < items.size(); ++i) {
    ++walk.count;
    if (!items[i].readable)
      continue;
    std::wstring name = NameAmongSiblings(items, i);
    if (walk.target >= 0 && walk.count - 1 == walk.target) {
      walk.found = true;
      walk.hit = std::move(name);
      return S_OK;
    }
    if (walk.listed)
      walk.names += L'\n';
    walk.names += name;
    walk.listed = true;
    if (!IsExpanded(items[i].node))
      continue;
    WalkVisible(items[i].node, walk, depth + 1);
    if (walk.found)
      return S_OK;
  }
  return S_OK;
}

// ---- following a path ----

HRESULT FindChild(IDispatch *container, const std::wstring &segment, CQilComPtr<IDispatch> &found) {
  LONG index = SegmentIndex(segment);
  LONG counted = 0;
  HRESULT hr = WalkChildren(container, [&](IDispatch *node) {
    std::wstring text;
    if (FAILED(NodeText(node, text)))
      return false;
    if ((index >= 0 && counted == index) || text == segment) {
      found = node;
      return true;
    }
    ++counted;
    return false;
  });
  if (FAILED(hr))
    return hr;
  return hr == S_OK ? S_OK : kItemNotFound;
}

// ---- parts of a rendered node ----

HRESULT PartOf(IDispatch *node, LPCOLESTR name, CQilComPtr<IHTMLElement> &part) {
  CQilVariant subtree;
  HRESULT hr = NodeAttribute(node, L"subtree", &subtree);
  if (FAILED(hr))
    return hr;
  CQilComPtr<IHTMLElement> element;
  CQilComPtr<IDispatch> allDispatch;
  CQilComPtr<IHTMLElementCollection> all;
  CQilComPtr<IDispatch> item;
  if (subtree.vt != VT_DISPATCH || FAILED(element.QueryFrom(subtree.pdispVal)) || !element ||
      FAILED(element->get_all(&allDispatch)) || FAILED(all.QueryFrom(allDispatch)) || !all ||
      FAILED(all->item(CQilVariant(name), CQilVariant(LONG{0}), &item)) ||
      FAILED(part.QueryFrom(item)) || !part)
    return E_FAIL;
  return S_OK;
}

HRESULT CheckState(IDispatch *node, bool &checked) {
  CQilComPtr<IHTMLElement> box;
  CQilVariant value;
  if (FAILED(PartOf(node, L"_cb", box)) ||
      FAILED(box->getAttribute(CQilBstr(L"checked"), 0, &value)) || value.vt != VT_BOOL)
    return E_FAIL;
  checked = value.boolVal != VARIANT_FALSE;
  return S_OK;
}

HRESULT IsLeaf(IDispatch *node, bool &leaf) {
  CQilComPtr<IDispatch> children;
  if (FAILED(ChildrenOf(node, children)))
    return E_FAIL;
  CQilVariant length;
  HRESULT hr = GetNamedProperty(children, L"length", &length);
  if (FAILED(hr))
    return hr;
  if (length.vt != VT_I4)
    return E_FAIL;
  leaf = length.lVal == 0;
  return S_OK;
}

LPCOLESTR PartOfAction(LONG action) {
  switch (action) {
  case kActionSelect:
    return L"_tntext";
  case kActionExpand:
  case kActionCollapse:
    return L"junction";
  default:
    return L"_cb";
  }
}

// ---- recording ----

// The rendered node that holds `source`: the expando treenode of the first
// element at or above it that has one.
CQilComPtr<IHTMLElement> RenderedNodeOf(IHTMLElement *source) {
  CQilComPtr<IHTMLElement> rendered;
  for (CQilComPtr<IHTMLElement> at(source); at && !rendered; at = ParentElement(at)) {
    CQilVariant value;
    if (SUCCEEDED(at->getAttribute(CQilBstr(L"treenode"), 0, &value)) && value.vt == VT_DISPATCH &&
        value.pdispVal != nullptr)
      rendered.QueryFrom(value.pdispVal);
  }
  return rendered;
}

// The dotted index of a rendered node, from the sibIndex of each enclosing
// rendered node.
HRESULT RenderedIndex(IHTMLElement *rendered, std::wstring &index) {
  index.clear();
  for (CQilComPtr<IHTMLElement> at(rendered); at; at = ParentElement(at)) {
    CQilBstr tag;
    if (FAILED(at->get_tagName(&tag)))
      return E_FAIL;
    if (!EqualsNoCase(tag.Text(), L"treenode"))
      return S_OK;
    CQilVariant sibling;
    if (FAILED(at->getAttribute(CQilBstr(L"sibIndex"), 0, &sibling)))
      return E_FAIL;
    if (sibling.vt == VT_NULL || sibling.vt == VT_EMPTY)
      return S_OK;
    if (FAILED(sibling.ChangeType(VT_BSTR)))
      return E_FAIL;
    std::wstring part(sibling.bstrVal != nullptr ? sibling.bstrVal : L"",
                      SysStringLen(sibling.bstrVal));
    index = index.empty() ? part : part + L"." + index;
  }
  return S_OK;
}

std::wstring LowerAscii(LPCOLESTR text) {
  std::wstring lower(text);
  for (WCHAR &c : lower)
    if (c >= L'A' && c <= L'Z')
      c = static_cast<WCHAR>(c - L'A' + L'a');
  return lower;
}

HRESULT WriteString(IWebInfo *record, LONG id, const std::wstring &text) {
  CQilBstr value;
  HRESULT hr = ToBstr(text, value);
  if (FAILED(hr))
    return hr;
  CQilComPtr<IWebAttrVal> entry = HostServices::NewWebAttrValString(value);
  if (!entry)
    return E_FAIL;
  return record->ReplaceAttrValueByName(id, entry, 1);
}

HRESULT WriteLong(IWebInfo *record, LONG id, LONG number) {
  CQilComPtr<IWebAttrVal> entry = HostServices::NewWebAttrValLong(number);
  if (!entry)
    return E_FAIL;
  return record->ReplaceAttrValueByName(id, entry, 1);
}

// ---- request entries ----

HRESULT ReadRequestString(IWebInfo *request, LONG id, std::wstring &text) {
  CQilComPtr<IWebVariant> entry;
  CQilBstr value;
  if (FAILED(request->GetTopInnerAttrValueByName(id, WEB_AV_STRING, &entry)) || !entry ||
      FAILED(entry->get_string(&value)))
    return E_FAIL;
  text.assign(value.Text(), value.Length());
  return S_OK;
}

HRESULT ReadRequestLong(IWebInfo *request, LONG id, WEB_AV_TYPE type, LONG &number) {
  CQilComPtr<IWebVariant> entry;
  if (FAILED(request->GetTopInnerAttrValueByName(id, type, &entry)) || !entry)
    return E_FAIL;
  HRESULT hr = type == WEB_AV_BOOL ? entry->get_bool(&number) : entry->get_long(&number);
  return FAILED(hr) ? E_FAIL : S_OK;
}

} // namespace

CWfTreeView::CWfTreeView(IUnknown *element, IWebObj2 *parent, IWebObj2 *innerAO)
    : CAOEventConnection<CIE55ViewLinkElement>(element, parent, innerAO) {
  SetWebClass(kTreeViewClass);
  NameWebFormsEventConfiguration();
  CQilComPtr<IWebObjEventConfigControl> inner;
  if (m_spInnerAO && SUCCEEDED(inner.QueryFrom(m_spInnerAO)) && inner)
    inner->SetEventConfig(CQilBstr(kWebFormsEventConfiguration), VARIANT_TRUE);
}

CQilComPtr<IDispatch> CWfTreeView::TreeDispatch() const {
  CQilComPtr<IDispatch> tree;
  tree.QueryFrom(m_spHTMLElement);
  return tree;
}

STDMETHODIMP CWfTreeView::GetAttrEx(LONG Name, IWebAttrVal *pAttrData, IWebAttrVal **ppAttrVal) {
  if (ppAttrVal == nullptr)
    return E_FAIL;
  try {
    CQilComPtr<IWebAttrVal> value;
    switch (Name) {
    case kTvAttrClassName:
      value = HostServices::NewWebAttrValString(CQilBstr(L"WbfTreeView"));
      break;
    case kTvAttrDisabled:
      value = DisabledValue();
      break;
    case kTvAttrVisibleNames:
    case kTvAttrVisibleCount:
      value = VisibleNodesValue(Name == kTvAttrVisibleCount);
      break;
    case kAttrDescription:
      return GetAttr(kTvAttrElementId, nullptr, ppAttrVal);
    case kTvAttrRuntimeId:
      value = RuntimeIdValue();
      break;
    case kTvAttrSelectedNodePath:
      value = SelectedPathValue();
      break;
    default:
      return CIE55ViewLinkElement::GetAttrEx(Name, pAttrData, ppAttrVal);
    }
    *ppAttrVal = value.Detach();
    return S_OK;
  } catch (...) {
    return E_FAIL;
  }
}

// getAttribute("disabled", 0): null is false, a boolean is itself, anything
// else no value.
CQilComPtr<IWebAttrVal> CWfTreeView::DisabledValue() {
  CQilVariant disabled;
  if (!m_spHTMLElement ||
      FAILED(m_spHTMLElement->getAttribute(CQilBstr(L"disabled"), 0, &disabled)))
    return {};
  if (disabled.vt == VT_NULL)
    return HostServices::NewWebAttrValBool(false);
  if (disabled.vt == VT_BOOL)
    return HostServices::NewWebAttrValBool(disabled.boolVal == VARIANT_TRUE);
  return {};
}

// The names of the visible nodes, one a line, or their number.
CQilComPtr<IWebAttrVal> CWfTreeView::VisibleNodesValue(bool count) {
  CQilComPtr<IDispatch> tree = TreeDispatch();
  if (!tree)
    return {};
  VisibleWalk walk;
  WalkVisible(tree, walk);
  if (count)
    return HostServices::NewWebAttrValLong(walk.count);
  CQilBstr names;
  CQilComPtr<IWebAttrVal> value;
  if (SUCCEEDED(ToBstr(walk.names, names)))
    value = HostServices::NewWebAttrValString(names);
  if (value)
    value->SetUseSpecialChars(1);
  return value;
}

CQilComPtr<IWebAttrVal> CWfTreeView::RuntimeIdValue() {
  CQilComPtr<IWebRunTimeID> id;
  CQilComPtr<IWebAttrVal> value = HostServices::NewWebAttrVal();
  if (value && (FAILED(GetId(&id)) || FAILED(value->AddWebRTID(id))))
    value.Release();
  return value;
}

CQilComPtr<IWebAttrVal> CWfTreeView::SelectedPathValue() {
  std::wstring path;
  CQilBstr text;
  if (FAILED(SelectedNodePath(path)) || FAILED(ToBstr(path, text)))
    return {};
  return HostServices::NewWebAttrValString(text);
}

HRESULT CWfTreeView::SelectedNodePath(std::wstring &path) {
  CQilComPtr<IDispatch> tree = TreeDispatch();
  CQilVariant index;
  if (!tree || FAILED(GetNamedProperty(tree, L"selectedNodeIndex", &index)) || index.vt != VT_BSTR)
    return E_FAIL;
  CQilComPtr<IDispatch> node;
  HRESULT hr = NodeByIndex(tree, index.bstrVal != nullptr ? index.bstrVal : L"", node);
  if (FAILED(hr))
    return hr;
  return NodePath(tree, node, path);
}

STDMETHODIMP CWfTreeView::InvokeMethod(METHOD_NAME_ENUM MethodName, IWebInfo **ppWebInfo) {
  if (ppWebInfo == nullptr || *ppWebInfo == nullptr)
    return E_INVALIDARG;
  LONG method = static_cast<LONG>(MethodName);
  switch (method) {
  case kSelectNode:
  case kSetNodeCheck:
  case kExpandNode:
  case kCollapseNode:
  case kGetNodeText:
    break;
  default:
    return CIE55ViewLinkElement::InvokeMethod(MethodName, ppWebInfo);
  }
  HRESULT outcome = E_FAIL;
  try {
    outcome = InvokeTreeMethod(method, *ppWebInfo);
  } catch (const std::bad_alloc &) {
    outcome = E_OUTOFMEMORY;
  } catch (...) {
    outcome = E_FAIL;
  }
  (*ppWebInfo)->SetReturnValue(outcome);
  return S_OK;
}

HRESULT CWfTreeView::InvokeTreeMethod(LONG method, IWebInfo *request) {
  if (method == kGetNodeText)
    return GetVisibleNodeName(request);
  std::wstring path;
  if (FAILED(ReadRequestString(request, kTvAttrNodePath, path)))
    return E_FAIL;
  switch (method) {
  case kSelectNode:
    return FollowPath(path, kActionSelect);
  case kExpandNode:
    return FollowPath(path, kActionExpand);
  case kCollapseNode:
    return CollapseNode(path);
  default: {
    LONG checked = 0;
    if (FAILED(ReadRequestLong(request, kTvAttrName, WEB_AV_BOOL, checked)))
      return E_FAIL;
    return FollowPath(path, checked != 0 ? kActionCheck : kActionUncheck);
  }
  }
}

HRESULT CWfTreeView::GetVisibleNodeName(IWebInfo *request) {
  VisibleWalk walk;
  if (FAILED(ReadRequestLong(request, kTvAttrVisibleNodeNumber, WEB_AV_LONG, walk.target)))
    return E_FAIL;
  if (walk.target < 0)
    return kIndexOutOfRange;
  CQilComPtr<IDispatch> tree = TreeDispatch();
  if (!tree)
    return E_FAIL;
  WalkVisible(tree, walk);
  if (!walk.found)
    return kIndexOutOfRange;
  return WriteString(request, kTvAttrName, walk.hit);
}

HRESULT CWfTreeView::FollowPath(const std::wstring &path, LONG action) {
  CQilComPtr<IDispatch> container = TreeDispatch();
  if (!container)
    return E_FAIL;
  std::vector<std::wstring> segments = SplitPath(path);
  for (size_t i = 0; i < segments.size(); ++i) {
    CQilComPtr<IDispatch> child;
    HRESULT hr = FindChild(container, segments[i], child);
    if (FAILED(hr))
      return hr;
    if (i + 1 == segments.size())
      return ApplyAction(child, action);
    hr = ApplyAction(child, kActionExpand);
    if (FAILED(hr))
      return hr;
    container = child;
  }
  return kItemNotFound;
}

HRESULT CWfTreeView::CollapseNode(const std::wstring &path) {
  CQilComPtr<IDispatch> tree = TreeDispatch();
  if (!tree)
    return E_FAIL;
  CQilComPtr<IDispatch> container = tree;
  for (const std::wstring &segment : SplitPath(path)) {
    CQilComPtr<IDispatch> child;
    if (SUCCEEDED(FindChild(container, segment, child))) {
      container = child;
      continue;
    }
    // Not reachable: nothing to collapse when a collapsed node hides it. The
    // tree itself always shows its top-level nodes.
    if (container.Get() == tree.Get())
      return kItemNotFound;
    CQilVariant expanded;
    HRESULT hr = NodeAttribute(container, L"expanded", &expanded);
    if (expanded.vt != VT_BOOL)
      return hr;
    return expanded.boolVal != VARIANT_FALSE ? kItemNotFound : S_OK;
  }
  return ApplyAction(container, kActionCollapse);
}

HRESULT CWfTreeView::ApplyAction(IDispatch *node, LONG action) {
  bool leaf = false;
  HRESULT hr = IsLeaf(node, leaf);
  if (FAILED(hr))
    return hr;
  if (action == kActionExpand || action == kActionCollapse) {
    if (leaf)
      return S_OK;
    CQilVariant expanded;
    hr = NodeAttribute(node, L"expanded", &expanded);
    if (expanded.vt != VT_BOOL)
      return FAILED(hr) ? hr : E_FAIL;
    if ((expanded.boolVal != VARIANT_FALSE) == (action == kActionExpand))
      return S_OK;
  } else if (action == kActionCheck || action == kActionUncheck) {
    bool hasCheckBox = false;
    if (FAILED(NodeFlag(node, L"checkBox", hasCheckBox)) || !hasCheckBox)
      return kNoCheckBox;
    bool checked = false;
    hr = CheckState(node, checked);
    if (FAILED(hr))
      return hr;
    if (checked == (action == kActionCheck))
      return S_OK;
  }
  CQilComPtr<IHTMLElement> part;
  if (FAILED(PartOf(node, PartOfAction(action), part)))
    return E_FAIL;
  return ClickPart(part);
}

// Fires "click" on the part through the element object's event replay.
HRESULT CWfTreeView::ClickPart(IHTMLElement *part) {
  CQilComPtr<IWebObj2> partAO;
  HRESULT hr = CreateWebObject<CIE4Obj>(&partAO, part, m_spParent.Get());
  if (FAILED(hr))
    return hr;
  CQilComPtr<IWebInfo> request = HostServices::NewWebInfo();
  if (!request)
    return E_FAIL;
  hr = request->InsertAttrString(kTvAttrEventName, CQilBstr(L"click"), 1);
  if (FAILED(hr))
    return hr;
  IWebInfo *raw = request;
  hr = partAO->InvokeMethod(CALL_EVENT, &raw);
  return FAILED(hr) ? hr : request->GetReturnValue();
}

HRESULT CWfTreeView::BuildRecordInfo(IUnknown *element, IWebInfo **record) {
  HRESULT hr = CIE55ViewLinkElement::BuildRecordInfo(element, record);
  if (hr != S_OK)
    return hr;
  try {
    IWebInfo *info = *record;
    std::wstring event;
    if (FAILED(ReadRequestString(info, kTvAttrEventName, event)))
      return E_FAIL;
    CQilComPtr<IHTMLElement> source;
    CQilBstr tagName;
    if (FAILED(source.QueryFrom(element)) || !source || FAILED(source->get_tagName(&tagName)))
      return E_FAIL;
    std::wstring tag = LowerAscii(tagName.Text());
    if (EqualsNoCase(event.c_str(), L"onselectedindexchange")) {
      std::wstring path;
      hr = SelectedNodePath(path);
      if (SUCCEEDED(hr))
        hr = WriteString(info, kTvAttrNodePath, path);
    } else if (EqualsNoCase(event.c_str(), L"onclick") && tag == L"span") {
      hr = RecordNodeClick(source, false, info);
    } else if (EqualsNoCase(event.c_str(), L"onclick") && tag == L"input") {
      hr = RecordNodeClick(source, true, info);
    } else if (EqualsNoCase(event.c_str(), L"oncheck")) {
      hr = RecordCheckEvent(source, info);
    } else {
      return S_FALSE;
    }
    if (FAILED(hr))
      return hr;
    return WriteString(info, kTvAttrEventTagName, tag);
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT CWfTreeView::RecordNodeClick(IHTMLElement *source, bool withCheckState, IWebInfo *record) {
  CQilComPtr<IDispatch> tree = TreeDispatch();
  CQilComPtr<IHTMLElement> rendered = RenderedNodeOf(source);
  if (!tree || !rendered)
    return E_FAIL;
  std::wstring index;
  HRESULT hr = RenderedIndex(rendered, index);
  if (FAILED(hr))
    return hr;
  CQilComPtr<IDispatch> node;
  hr = NodeByIndex(tree, index.c_str(), node);
  if (FAILED(hr))
    return hr;
  return RecordNode(node, withCheckState, record);
}

HRESULT CWfTreeView::RecordCheckEvent(IHTMLElement *source, IWebInfo *record) {
  CQilComPtr<IDispatch> tree = TreeDispatch();
  CQilComPtr<IHTMLEventObj> event = CWfKitUtil::GetCurrentEvent(source);
  CQilComPtr<IDispatch> eventDispatch;
  CQilVariant index;
  if (!tree || FAILED(eventDispatch.QueryFrom(event)) || !eventDispatch ||
      FAILED(GetNamedProperty(eventDispatch, L"treeNodeIndex", &index)) || index.vt != VT_BSTR)
    return E_FAIL;
  CQilComPtr<IDispatch> node;
  HRESULT hr = NodeByIndex(tree, index.bstrVal != nullptr ? index.bstrVal : L"", node);
  if (FAILED(hr))
    return hr;
  return RecordNode(node, true, record);
}

HRESULT CWfTreeView::RecordNode(IDispatch *node, bool withCheckState, IWebInfo *record) {
  std::wstring path;
  HRESULT hr = NodePath(TreeDispatch(), node, path);
  if (FAILED(hr))
    return hr;
  hr = WriteString(record, kTvAttrNodePath, path);
  if (FAILED(hr) || !withCheckState)
    return hr;
  bool checked = false;
  hr = CheckState(node, checked);
  if (FAILED(hr))
    return hr;
  return WriteLong(record, kTvAttrName, checked ? 1 : 0);
}
