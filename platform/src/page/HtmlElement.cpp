#include "page/HtmlElement.h"

#include <algorithm>
#include <array>
#include <cwctype>

#include "page/Layout.h"
#include "page/script/Behavior.h"
#include "page/script/ScriptEngine.h"
#include "tallowick/Strings.h"

namespace tallowick::page {

using platform::EqualsNoCase;

namespace {

std::wstring Lower(std::wstring s) {
  for (auto &c : s)
    c = static_cast<wchar_t>(std::towlower(c));
  return s;
}

// The handler properties every element has (null until a handler is set).
bool IsEventName(const std::wstring &name) {
  static const wchar_t *const kEvents[] = {
      L"onclick",       L"ondblclick",      L"onmousedown", L"onmouseup", L"onmouseover",
      L"onmouseout",    L"onmousemove",     L"onkeydown",   L"onkeyup",   L"onkeypress",
      L"onfocus",       L"onblur",          L"onchange",    L"onsubmit",  L"onreset",
      L"onselect",      L"onload",          L"onunload",    L"onscroll",  L"oncontextmenu",
      L"onselectstart", L"onpropertychange"};
  for (const wchar_t *event : kEvents)
    if (EqualsNoCase(name, event))
      return true;
  return false;
}

// javascript: URLs are percent-decoded before they run.
std::wstring UrlDecode(const std::wstring &text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'%' && i + 2 < text.size() && iswxdigit(text[i + 1]) &&
        iswxdigit(text[i + 2])) {
      out += static_cast<wchar_t>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
      continue;
    }
    out += text[i];
  }
  return out;
}

std::wstring Text(BSTR value) { return value ? std::wstring(value, SysStringLen(value)) : L""; }

LONG ParseLong(const std::wstring &text, LONG fallback) {
  size_t i = 0;
  while (i < text.size() && std::iswspace(text[i]))
    ++i;
  bool negative = i < text.size() && text[i] == L'-';
  if (i < text.size() && (text[i] == L'-' || text[i] == L'+'))
    ++i;
  if (i >= text.size() || !std::iswdigit(text[i]))
    return fallback;
  long long value = 0;
  for (; i < text.size() && std::iswdigit(text[i]) && value < 0x7FFFFFFF; ++i)
    value = value * 10 + (text[i] - L'0');
  value = std::min<long long>(value, 0x7FFFFFFF);
  return static_cast<LONG>(negative ? -value : value);
}

HRESULT AttrBstr(const Node &node, const wchar_t *name, BSTR *p) {
  if (!p)
    return E_POINTER;
  return ToBstr(node.AttributeValue(name), p);
}

HRESULT AttrVariant(const Node &node, const wchar_t *name, VARIANT *p) {
  if (!p)
    return E_POINTER;
  VariantInit(p);
  BSTR text = nullptr;
  HRESULT hr = ToBstr(node.AttributeValue(name), &text);
  if (SUCCEEDED(hr))
    ToVariant(text, p);
  return hr;
}

HRESULT SetAttr(Node &node, const wchar_t *name, BSTR value) {
  return Guarded([&] {
    node.SetAttribute(name, Text(value), false);
    return S_OK;
  });
}

HRESULT SetFlag(Node &node, const wchar_t *name, VARIANT_BOOL on) {
  return Guarded([&] {
    if (on)
      node.SetAttribute(name, name, false);
    else
      node.RemoveAttribute(name, false);
    return S_OK;
  });
}

HRESULT Flag(const Node &node, const wchar_t *name, VARIANT_BOOL *p) {
  if (!p)
    return E_POINTER;
  *p = node.HasAttribute(name) ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Long(LONG value, LONG *p) {
  if (!p)
    return E_POINTER;
  *p = value;
  return S_OK;
}

Node *FirstChild(const Node &node, const wchar_t *tag) {
  for (auto &child : node.children)
    if (child->Is(tag))
      return child.get();
  return nullptr;
}

std::vector<Node *> ChildrenTagged(const Node &node, std::initializer_list<const wchar_t *> tags) {
  std::vector<Node *> out;
  for (auto &child : node.children)
    for (const wchar_t *tag : tags)
      if (child->Is(tag))
        out.push_back(child.get());
  return out;
}

// The rows of a table in the order of the table's rows collection: the head's,
// then the bodies' and direct rows in tree order, then the foot's.
std::vector<Node *> TableRows(const Node &table) {
  std::vector<Node *> rows;
  Node *head = FirstChild(table, L"THEAD");
  Node *foot = FirstChild(table, L"TFOOT");
  if (head)
    for (Node *row : ChildrenTagged(*head, {L"TR"}))
      rows.push_back(row);
  for (auto &child : table.children) {
    if (child->Is(L"TR"))
      rows.push_back(child.get());
    else if (child->Is(L"TBODY") || (child->Is(L"THEAD") && child.get() != head) ||
             (child->Is(L"TFOOT") && child.get() != foot))
      for (Node *row : ChildrenTagged(*child, {L"TR"}))
        rows.push_back(row);
  }
  if (foot)
    for (Node *row : ChildrenTagged(*foot, {L"TR"}))
      rows.push_back(row);
  return rows;
}

std::vector<Node *> RowCells(const Node &row) { return ChildrenTagged(row, {L"TD", L"TH"}); }

Node *AncestorTagged(const Node &node, const wchar_t *tag) {
  for (Node *p = node.parent; p; p = p->parent)
    if (p->Is(tag))
      return p;
  return nullptr;
}

LONG IndexOf(const std::vector<Node *> &nodes, const Node *node) {
  auto it = std::find(nodes.begin(), nodes.end(), node);
  return it == nodes.end() ? -1 : static_cast<LONG>(it - nodes.begin());
}

// Property names whose attribute has another name.
std::wstring AttributeNameOf(const std::wstring &name) {
  if (EqualsNoCase(name, L"className"))
    return L"class";
  if (EqualsNoCase(name, L"htmlFor"))
    return L"for";
  if (EqualsNoCase(name, L"httpEquiv"))
    return L"http-equiv";
  return name;
}

std::vector<std::shared_ptr<Node>> TextNodes(const std::wstring &text, PageDocument *document) {
  // Line breaks in assigned text become BR elements, as IE does.
  std::vector<std::shared_ptr<Node>> nodes;
  std::wstring line;
  auto flush = [&] {
    if (line.empty())
      return;
    auto node = std::make_shared<Node>();
    node->kind = NodeKind::Text;
    node->text = line;
    node->document = document;
    nodes.push_back(node);
    line.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' || text[i] == L'\n') {
      if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
        ++i;
      flush();
      auto br = std::make_shared<Node>();
      br->tag = L"BR";
      br->known = true;
      br->document = document;
      nodes.push_back(br);
      continue;
    }
    line += text[i];
  }
  flush();
  return nodes;
}

// Whether the object's references are the page's own (documents, windows).
bool CountsOnThePage(IUnknown *object) {
  void *found = nullptr;
  if (SUCCEEDED(object->QueryInterface(IID_ITallowickPageDocument, &found)) && found)
    return true;
  IHTMLWindow2 *window = nullptr;
  if (FAILED(object->QueryInterface(IID_IHTMLWindow2, reinterpret_cast<void **>(&window))))
    return false;
  window->Release();
  return true;
}

// An expando that holds an object of the element's own page: a node is kept
// as the node; a document or window gives the page's reference back.
// Answers whether the value was so kept.
bool KeepWithoutPage(TypedValue &typed, Page *page) {
  IUnknown *object = typed.value.v.punkVal; // VT_DISPATCH and VT_UNKNOWN alike
  void *owner = nullptr;
  if (!object || FAILED(object->QueryInterface(IID_ITallowickPageObject, &owner)) || owner != page)
    return false;
  if (Node *node = NodeOf(object); node && node->kind != NodeKind::Document) {
    typed.node = node->shared_from_this();
    VariantClear(&typed.value.v);
    return true;
  }
  if (CountsOnThePage(object) && page->Unpin())
    typed.pinned = page;
  return typed.pinned != nullptr;
}

constexpr Member<HtmlElement> kCommonMembers[] = {
#define Self HtmlElement
    PAGE_METHOD(IHTMLElement, setAttribute),
    PAGE_METHOD(IHTMLElement, getAttribute),
    PAGE_METHOD(IHTMLElement, removeAttribute),
    PAGE_PROP(IHTMLElement, className),
    PAGE_PROP(IHTMLElement, id),
    PAGE_GET(IHTMLElement, tagName),
    PAGE_GET(IHTMLElement, parentElement),
    PAGE_GET(IHTMLElement, style),
    PAGE_PROP(IHTMLElement, title),
    PAGE_PROP(IHTMLElement, lang),
    PAGE_GET(IHTMLElement, document),
    PAGE_METHOD(IHTMLElement, scrollIntoView),
    PAGE_METHOD(IHTMLElement, contains),
    PAGE_GET(IHTMLElement, sourceIndex),
    PAGE_GET(IHTMLElement, offsetLeft),
    PAGE_GET(IHTMLElement, offsetTop),
    PAGE_GET(IHTMLElement, offsetWidth),
    PAGE_GET(IHTMLElement, offsetHeight),
    PAGE_GET(IHTMLElement, offsetParent),
    PAGE_PROP(IHTMLElement, innerHTML),
    PAGE_PROP(IHTMLElement, innerText),
    PAGE_PROP(IHTMLElement, outerHTML),
    PAGE_PROP(IHTMLElement, outerText),
    PAGE_METHOD(IHTMLElement, insertAdjacentHTML),
    PAGE_METHOD(IHTMLElement, insertAdjacentText),
    PAGE_METHOD(IHTMLElement, click),
    PAGE_METHOD(IHTMLElement, toString),
    PAGE_GET(IHTMLElement, children),
    PAGE_GET(IHTMLElement, all),
    PAGE_GET(IHTMLElement2, scopeName),
    PAGE_GET(IHTMLElement2, currentStyle),
    PAGE_METHOD(IHTMLElement2, getBoundingClientRect),
    PAGE_METHOD(IHTMLElement2, focus),
    PAGE_METHOD(IHTMLElement2, blur),
    PAGE_GET(IHTMLElement2, clientHeight),
    PAGE_GET(IHTMLElement2, clientWidth),
    PAGE_GET(IHTMLElement2, clientTop),
    PAGE_GET(IHTMLElement2, clientLeft),
    PAGE_PROP(IHTMLElement2, scrollTop),
    PAGE_PROP(IHTMLElement2, scrollLeft),
    PAGE_GET(IHTMLElement2, scrollHeight),
    PAGE_GET(IHTMLElement2, scrollWidth),
    PAGE_GET(IHTMLElement2, readyState),
    PAGE_METHOD(IHTMLElement2, getElementsByTagName),
    PAGE_METHOD(IHTMLElement3, fireEvent),
    PAGE_PROP(IHTMLElement3, disabled),
    PAGE_METHOD(IHTMLElement4, getAttributeNode),
    PAGE_GET(IHTMLDOMNode, nodeType),
    PAGE_GET(IHTMLDOMNode, parentNode),
    PAGE_METHOD(IHTMLDOMNode, hasChildNodes),
    PAGE_GET(IHTMLDOMNode, childNodes),
    PAGE_METHOD(IHTMLDOMNode, removeNode),
    PAGE_METHOD(IHTMLDOMNode, appendChild),
    PAGE_METHOD(IHTMLDOMNode, insertBefore),
    PAGE_METHOD(IHTMLDOMNode, removeChild),
    PAGE_METHOD(IHTMLElement2, attachEvent),
    PAGE_METHOD(IHTMLElement2, detachEvent),
    PAGE_GET(IHTMLDOMNode, nodeName),
    PAGE_GET(IHTMLDOMNode, nodeValue),
    PAGE_GET(IHTMLDOMNode, firstChild),
    PAGE_GET(IHTMLDOMNode, lastChild),
    PAGE_GET(IHTMLDOMNode, previousSibling),
    PAGE_GET(IHTMLDOMNode, nextSibling),
    PAGE_PROP(IHTMLElement2, dir),
    PAGE_METHOD(IHTMLElement2, setCapture),
    PAGE_METHOD(IHTMLElement2, releaseCapture),
    PAGE_GET(IHTMLElement2, runtimeStyle),
    PAGE_GET(IHTMLElement3, isDisabled),
    PAGE_METHOD(IHTMLElement2, insertAdjacentElement),
    PAGE_METHOD(IHTMLElement3, mergeAttributes),
    PAGE_METHOD(IHTMLDOMNode, cloneNode),
    {L"uniqueID", &Thunk<Self, &HtmlElement::UniqueId>, nullptr, nullptr},
};

constexpr Member<HtmlElement> kTableMembers[] = {
    PAGE_PROP(IHTMLTable, border),      PAGE_GET(IHTMLTable, cellSpacing),
    PAGE_GET(IHTMLTable, cellPadding),  PAGE_GET(IHTMLTable, width),
    PAGE_GET(IHTMLTable, height),       PAGE_GET(IHTMLTable, rows),
    PAGE_GET(IHTMLTable, tHead),        PAGE_GET(IHTMLTable, tFoot),
    PAGE_GET(IHTMLTable, tBodies),      PAGE_GET(IHTMLTable, caption),
    PAGE_GET(IHTMLTable2, cells),       PAGE_PROP(IHTMLTable, align),
    PAGE_METHOD(IHTMLTable, insertRow), PAGE_METHOD(IHTMLTable, deleteRow),
};
constexpr Member<HtmlElement> kSectionMembers[] = {
    PAGE_GET(IHTMLTableSection, rows),
    PAGE_PROP(IHTMLTableSection, align),
    PAGE_METHOD(IHTMLTableSection, insertRow),
    PAGE_METHOD(IHTMLTableSection, deleteRow),
};
constexpr Member<HtmlElement> kRowMembers[] = {
    PAGE_GET(IHTMLTableRow, cells),           PAGE_GET(IHTMLTableRow, rowIndex),
    PAGE_GET(IHTMLTableRow, sectionRowIndex), PAGE_PROP(IHTMLTableRow, align),
    PAGE_METHOD(IHTMLTableRow, insertCell),   PAGE_METHOD(IHTMLTableRow, deleteCell),
};
constexpr Member<HtmlElement> kCellMembers[] = {
    PAGE_GET(IHTMLTableCell, cellIndex), PAGE_PROP(IHTMLTableCell, colSpan),
    PAGE_PROP(IHTMLTableCell, rowSpan),  PAGE_GET(IHTMLTableCell, width),
    PAGE_GET(IHTMLTableCell, height),    PAGE_PROP(IHTMLTableCell, align),
};
constexpr Member<HtmlElement> kCaptionMembers[] = {
    PAGE_PROP(IHTMLTableCaption, align),
};
constexpr Member<HtmlElement> kAnchorMembers[] = {
    PAGE_PROP(IHTMLAnchorElement, href),
    PAGE_PROP(IHTMLAnchorElement, name),
    PAGE_GET(IHTMLAnchorElement, target),
};
constexpr Member<HtmlElement> kFormMembers[] = {
    PAGE_GET(IHTMLFormElement, action),    PAGE_GET(IHTMLFormElement, method),
    PAGE_GET(IHTMLFormElement, elements),  PAGE_GET(IHTMLFormElement, length),
    PAGE_PROP(IHTMLFormElement, name),     PAGE_GET(IHTMLFormElement, target),
    PAGE_METHOD(IHTMLFormElement, submit), PAGE_METHOD(IHTMLFormElement, item),
    PAGE_METHOD(IHTMLFormElement, tags),
};
constexpr Member<HtmlElement> kInputMembers[] = {
    PAGE_PROP(IHTMLInputElement, type),
    PAGE_PROP(IHTMLInputElement, value),
    PAGE_PROP(IHTMLInputElement, checked),
    PAGE_PROP(IHTMLInputElement, name),
    PAGE_GET(IHTMLInputElement, form),
    PAGE_GET(IHTMLInputElement, readOnly),
    PAGE_GET(IHTMLInputElement, alt),
    PAGE_PROP(IHTMLInputElement, src),
    PAGE_METHOD(IHTMLInputElement, createTextRange),
    PAGE_METHOD(IHTMLInputElement, select),
};
constexpr Member<HtmlElement> kSelectMembers[] = {
    PAGE_GET(IHTMLSelectElement, options), PAGE_PROP(IHTMLSelectElement, selectedIndex),
    PAGE_PROP(IHTMLSelectElement, value),  PAGE_GET(IHTMLSelectElement, type),
    PAGE_GET(IHTMLSelectElement, length),  PAGE_GET(IHTMLSelectElement, multiple),
    PAGE_PROP(IHTMLSelectElement, name),   PAGE_GET(IHTMLSelectElement, form),
    PAGE_METHOD(IHTMLSelectElement, item), PAGE_METHOD(IHTMLSelectElement, tags),
};
constexpr Member<HtmlElement> kOptionMembers[] = {
    PAGE_PROP(IHTMLOptionElement, selected), PAGE_PROP(IHTMLOptionElement, text),
    PAGE_PROP(IHTMLOptionElement, value),    PAGE_GET(IHTMLOptionElement, index),
    PAGE_GET(IHTMLOptionElement, form),
};
constexpr Member<HtmlElement> kImgMembers[] = {
    PAGE_PROP(IHTMLImgElement, src),  PAGE_PROP(IHTMLImgElement, name),
    PAGE_GET(IHTMLImgElement, width), PAGE_GET(IHTMLImgElement, height),
    PAGE_GET(IHTMLImgElement, alt),
};
constexpr Member<HtmlElement> kBodyMembers[] = {
    PAGE_METHOD(IHTMLBodyElement, createTextRange),
};
constexpr Member<HtmlElement> kFrameMembers[] = {
    PAGE_PROP(IHTMLFrameBase, src),
    PAGE_PROP(IHTMLFrameBase, name),
#undef Self
};

std::span<const Member<HtmlElement>> KindMembers(ElementKind kind) {
  switch (kind) {
  case ElementKind::Table:
    return kTableMembers;
  case ElementKind::Section:
    return kSectionMembers;
  case ElementKind::Row:
    return kRowMembers;
  case ElementKind::Cell:
    return kCellMembers;
  case ElementKind::Caption:
    return kCaptionMembers;
  case ElementKind::Anchor:
    return kAnchorMembers;
  case ElementKind::Form:
    return kFormMembers;
  case ElementKind::Input:
    return kInputMembers;
  case ElementKind::Select:
    return kSelectMembers;
  case ElementKind::Option:
    return kOptionMembers;
  case ElementKind::Img:
    return kImgMembers;
  case ElementKind::Body:
    return kBodyMembers;
  case ElementKind::Frame:
  case ElementKind::IFrame:
    return kFrameMembers;
  case ElementKind::Plain:
    break;
  }
  return {};
}

const Member<HtmlElement> *FindMember(std::span<const std::span<const Member<HtmlElement>>> tables,
                                      const std::wstring &name, bool caseSensitive) {
  for (auto table : tables)
    for (const auto &member : table)
      if (caseSensitive ? name == member.name : EqualsNoCase(name, member.name))
        return &member;
  return nullptr;
}

} // namespace

ElementKind KindOf(const Node &node) {
  if (!node.known)
    return ElementKind::Plain;
  static const struct {
    const wchar_t *tag;
    ElementKind kind;
  } kinds[] = {{L"TABLE", ElementKind::Table},   {L"THEAD", ElementKind::Section},
               {L"TBODY", ElementKind::Section}, {L"TFOOT", ElementKind::Section},
               {L"TR", ElementKind::Row},        {L"TD", ElementKind::Cell},
               {L"TH", ElementKind::Cell},       {L"CAPTION", ElementKind::Caption},
               {L"A", ElementKind::Anchor},      {L"FORM", ElementKind::Form},
               {L"INPUT", ElementKind::Input},   {L"SELECT", ElementKind::Select},
               {L"OPTION", ElementKind::Option}, {L"IMG", ElementKind::Img},
               {L"BODY", ElementKind::Body},     {L"FRAME", ElementKind::Frame},
               {L"IFRAME", ElementKind::IFrame}};
  for (const auto &entry : kinds)
    if (node.tag == entry.tag)
      return entry.kind;
  return ElementKind::Plain;
}

HtmlElement::HtmlElement(Page *page, std::shared_ptr<Node> node)
    : page_(page), node_(std::move(node)), kind_(KindOf(*node_)) {
  if (node_->document)
    document_ = node_->document->shared_from_this();
  node_->wrapper = static_cast<IHTMLElement *>(this);
}

HtmlElement::~HtmlElement() { node_->wrapper = nullptr; }

STDMETHODIMP HtmlElement::QueryInterface(REFIID riid, void **ppv) {
  return AnswerQuery(riid, ppv,
                     {{&IID_ITallowickPageNode, node_.get()},
                      {&IID_ITallowickPageObject, page_.get()},
                      {&IID_ITallowickExpandoHost, static_cast<ExpandoHost *>(this)}},
                     Find(riid));
}

void *HtmlElement::Find(REFIID riid) {
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
      IsEqualIID(riid, IID_IHTMLElement))
    return static_cast<IHTMLElement *>(this);
  if (IsEqualIID(riid, IID_IHTMLElement2))
    return static_cast<IHTMLElement2 *>(this);
  if (IsEqualIID(riid, IID_IHTMLElement3))
    return static_cast<IHTMLElement3 *>(this);
  if (IsEqualIID(riid, IID_IHTMLElement4))
    return static_cast<IHTMLElement4 *>(this);
  if (IsEqualIID(riid, IID_IHTMLDOMNode))
    return static_cast<IHTMLDOMNode *>(this);
  switch (kind_) {
  case ElementKind::Table:
    if (IsEqualIID(riid, IID_IHTMLTable))
      return static_cast<IHTMLTable *>(this);
    if (IsEqualIID(riid, IID_IHTMLTable2))
      return static_cast<IHTMLTable2 *>(this);
    break;
  case ElementKind::Section:
    if (IsEqualIID(riid, IID_IHTMLTableSection))
      return static_cast<IHTMLTableSection *>(this);
    break;
  case ElementKind::Row:
    if (IsEqualIID(riid, IID_IHTMLTableRow))
      return static_cast<IHTMLTableRow *>(this);
    break;
  case ElementKind::Cell:
    if (IsEqualIID(riid, IID_IHTMLTableCell))
      return static_cast<IHTMLTableCell *>(this);
    break;
  case ElementKind::Caption:
    if (IsEqualIID(riid, IID_IHTMLTableCaption))
      return static_cast<IHTMLTableCaption *>(this);
    break;
  case ElementKind::Anchor:
    if (IsEqualIID(riid, IID_IHTMLAnchorElement))
      return static_cast<IHTMLAnchorElement *>(this);
    break;
  case ElementKind::Form:
    if (IsEqualIID(riid, IID_IHTMLFormElement))
      return static_cast<IHTMLFormElement *>(this);
    break;
  case ElementKind::Input:
    if (IsEqualIID(riid, IID_IHTMLInputElement))
      return static_cast<IHTMLInputElement *>(this);
    break;
  case ElementKind::Select:
    if (IsEqualIID(riid, IID_IHTMLSelectElement))
      return static_cast<IHTMLSelectElement *>(this);
    break;
  case ElementKind::Option:
    if (IsEqualIID(riid, IID_IHTMLOptionElement))
      return static_cast<IHTMLOptionElement *>(this);
    break;
  case ElementKind::Img:
    if (IsEqualIID(riid, IID_IHTMLImgElement))
      return static_cast<IHTMLImgElement *>(this);
    break;
  case ElementKind::Body:
    if (IsEqualIID(riid, IID_IHTMLBodyElement))
      return static_cast<IHTMLBodyElement *>(this);
    break;
  case ElementKind::IFrame:
    if (IsEqualIID(riid, IID_IHTMLIFrameElement))
      return static_cast<IHTMLIFrameElement *>(this);
    [[fallthrough]];
  case ElementKind::Frame:
    if (IsEqualIID(riid, IID_IHTMLFrameBase))
      return static_cast<IHTMLFrameBase *>(this);
    break;
  case ElementKind::Plain:
    break;
  }
  return nullptr;
}

std::span<const std::span<const Member<HtmlElement>>> HtmlElement::Tables() const {
  // One pair of tables per kind, built once.
  static const auto pairs = [] {
    std::vector<std::array<std::span<const Member<HtmlElement>>, 2>> all;
    for (int k = 0; k <= static_cast<int>(ElementKind::IFrame); ++k)
      all.push_back({KindMembers(static_cast<ElementKind>(k)),
                     std::span<const Member<HtmlElement>>(kCommonMembers)});
    return all;
  }();
  return pairs[static_cast<size_t>(kind_)];
}

HRESULT HtmlElement::FindDynamic(const std::wstring &name, DISPID *id) {
  // The behaviour's members, a form's named controls, then expandos:
  // attributes, whether from the markup, setAttribute or script.
  if (!FindBehaviorMember(*node_, name) && !NamedControl(name) && !node_->FindAttribute(name) &&
      !IsEventName(name))
    return DISP_E_UNKNOWNNAME;
  *id = page_->ExpandoId(name);
  return S_OK;
}

Node *HtmlElement::NamedControl(const std::wstring &name) const {
  if (kind_ != ElementKind::Form || name.empty())
    return nullptr;
  for (Node *control : FormControls())
    if (control->AttributeValue(L"name") == name || control->AttributeValue(L"id") == name)
      return control;
  return nullptr;
}

HRESULT HtmlElement::PutExpando(const std::wstring &name, const VARIANT &value) {
  return Guarded([&] {
    BSTR bname = AllocBstr(name);
    HRESULT hr = setAttribute(bname, value, 0);
    SysFreeString(bname);
    return hr;
  });
}

HRESULT HtmlElement::InvokeDynamic(DISPID id, WORD flags, DISPPARAMS *params, VARIANT *result) {
  const std::wstring *name = page_->ExpandoName(id);
  if (!name)
    return DISP_E_MEMBERNOTFOUND;
  if (FindBehaviorMember(*node_, *name))
    return InvokeBehaviorMember(*node_, *name, flags, params, result);
  flags &= ~kBridgeGet;
  if (Node *control = NamedControl(*name); control && !(flags & DISPATCH_PROPERTYPUT)) {
    IDispatch *object = WrapNode(control);
    if (result)
      ToVariant(object, result);
    else if (object)
      object->Release();
    return S_OK;
  }
  // A handler attribute from the markup reads as its function, as in IE.
  const Attribute *handler = node_->FindAttribute(*name);
  if (handler && !handler->typed && !(flags & DISPATCH_PROPERTYPUT) && name->size() > 2 &&
      EqualsNoCase(name->substr(0, 2), L"on")) {
    ScriptEngine *engine = EngineOf(page_.get());
    IDispatch *function = nullptr;
    HRESULT hr = engine ? engine->CompileHandler(handler->value,
                                                 node_->document ? node_->document->url : L"",
                                                 &function, node_.get())
                        : E_FAIL;
    if (FAILED(hr))
      return hr;
    if ((flags & DISPATCH_METHOD) && !(flags & DISPATCH_PROPERTYGET)) {
      std::vector<VARIANT *> args; // form.onsubmit(...) by name: the element is this
      for (UINT i = params->cArgs; i > params->cNamedArgs; --i)
        args.push_back(&params->rgvarg[i - 1]);
      NavigationHold hold(page_.get());
      hr = engine->CallHandler(function, static_cast<IHTMLElement *>(this), args, result);
      function->Release();
      return hr;
    }
    if (result)
      ToVariant(function, result);
    else
      function->Release();
    return S_OK;
  }
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    if (params->cArgs < 1)
      return DISP_E_BADPARAMCOUNT;
    Arg<VARIANT> value;
    HRESULT hr = value.Set(params->rgvarg[0]);
    if (FAILED(hr))
      return hr;
    BSTR bname = AllocBstr(*name);
    hr = setAttribute(bname, value.Get(), 0);
    SysFreeString(bname);
    return hr;
  }
  if (!node_->FindAttribute(*name)) {
    if (!IsEventName(*name))
      return DISP_E_MEMBERNOTFOUND;
    if ((flags & DISPATCH_METHOD) && !(flags & DISPATCH_PROPERTYGET))
      return DISP_E_TYPEMISMATCH; // no handler to call
    if (result)
      result->vt = VT_NULL;
    return S_OK;
  }
  Var value;
  BSTR bname = AllocBstr(*name);
  HRESULT hr = getAttribute(bname, 2, &value.v);
  SysFreeString(bname);
  if (FAILED(hr))
    return hr;
  // el.expando(args): a function put as an expando is called, with the element as this.
  if ((flags & DISPATCH_METHOD) && !(flags & DISPATCH_PROPERTYGET) && value.v.vt == VT_DISPATCH &&
      value.v.pdispVal) {
    ScriptLink *link = nullptr;
    uint32_t key = 0;
    if (ScriptObjectKey(value.v.pdispVal, &link, &key) && link->engine) {
      std::vector<VARIANT *> args;
      for (UINT i = params->cArgs; i > params->cNamedArgs; --i)
        args.push_back(&params->rgvarg[i - 1]);
      NavigationHold hold(page_.get());
      return link->engine->CallHandler(value.v.pdispVal, static_cast<IHTMLElement *>(this), args,
                                       result);
    }
    return value.v.pdispVal->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_METHOD, params, result,
                                    nullptr, nullptr);
  }
  if (result)
    ToVariant(value.v, result);
  return S_OK;
}

// --- IHTMLElement ---

STDMETHODIMP HtmlElement::setAttribute(BSTR name, VARIANT value, LONG flags) {
  if (!name || !*name)
    return E_INVALIDARG;
  return Guarded([&]() -> HRESULT {
    std::wstring key = Text(name);
    const Member<HtmlElement> *member = FindMember(Tables(), key, flags & 1);
    if (member && member->put) {
      DISPPARAMS params = {&value, nullptr, 1, 0};
      return member->put(this, &params, nullptr);
    }
    std::wstring attribute = AttributeNameOf(key);
    if (value.vt == VT_BSTR) {
      node_->SetAttribute(attribute, Text(value.bstrVal), flags & 1);
      return S_OK;
    }
    auto typed = std::make_shared<TypedValue>();
    HRESULT hr = VariantCopyInd(&typed->value.v, &value);
    if (FAILED(hr))
      return hr;
    bool object = typed->value.v.vt == VT_DISPATCH || typed->value.v.vt == VT_UNKNOWN;
    if (object && KeepWithoutPage(*typed, page_.get()))
      page_->NoteExpandoHolder(node_);
    node_->SetAttribute(attribute, object ? L"[object]" : VariantText(typed->value.v), flags & 1);
    const_cast<Attribute *>(node_->FindAttribute(attribute, flags & 1))->typed = typed;
    return S_OK;
  });
}

STDMETHODIMP HtmlElement::getAttribute(BSTR name, LONG flags, VARIANT *value) {
  if (!value)
    return E_POINTER;
  VariantInit(value);
  return Guarded([&]() -> HRESULT {
    std::wstring key = Text(name);
    if (!(flags & 2)) {
      // IE answers properties first: getAttribute("width") of an IMG is its VT_I4 width.
      const Member<HtmlElement> *member = FindMember(Tables(), key, flags & 1);
      if (member && member->get) {
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        return member->get(this, &none, value);
      }
    }
    const Attribute *attr = node_->FindAttribute(AttributeNameOf(key), flags & 1);
    if (!attr) {
      value->vt = VT_NULL;
      return S_OK;
    }
    if (attr->typed)
      return attr->typed->Copy(value);
    ToVariant(AllocBstr(attr->value), value);
    return S_OK;
  });
}

STDMETHODIMP HtmlElement::removeAttribute(BSTR name, LONG flags, VARIANT_BOOL *success) {
  return Guarded([&] {
    bool removed = node_->RemoveAttribute(AttributeNameOf(Text(name)), flags & 1);
    if (success)
      *success = removed ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  });
}

STDMETHODIMP HtmlElement::put_className(BSTR v) { return SetAttr(*node_, L"class", v); }
STDMETHODIMP HtmlElement::get_className(BSTR *p) { return AttrBstr(*node_, L"class", p); }
STDMETHODIMP HtmlElement::put_id(BSTR v) { return SetAttr(*node_, L"id", v); }
STDMETHODIMP HtmlElement::get_id(BSTR *p) { return AttrBstr(*node_, L"id", p); }
STDMETHODIMP HtmlElement::get_tagName(BSTR *p) { return ToBstr(node_->tag, p); }
STDMETHODIMP HtmlElement::put_title(BSTR v) { return SetAttr(*node_, L"title", v); }
STDMETHODIMP HtmlElement::get_title(BSTR *p) { return AttrBstr(*node_, L"title", p); }
STDMETHODIMP HtmlElement::put_lang(BSTR v) { return SetAttr(*node_, L"lang", v); }
STDMETHODIMP HtmlElement::get_lang(BSTR *p) { return AttrBstr(*node_, L"lang", p); }

STDMETHODIMP HtmlElement::get_parentElement(IHTMLElement **p) {
  return WrapNodeAs(node_->ParentElement(), p);
}

STDMETHODIMP HtmlElement::get_style(IHTMLStyle **p) { return NewStyle(page_.get(), node_, p); }

STDMETHODIMP HtmlElement::get_document(IDispatch **p) {
  if (!p)
    return E_POINTER;
  *p = nullptr;
  if (!node_->document)
    return S_OK;
  IHTMLDocument2 *document = page_->DocumentObject(*node_->document);
  document->AddRef();
  *p = document;
  return S_OK;
}

STDMETHODIMP HtmlElement::scrollIntoView(VARIANT start) {
  // Absent or true aligns the element's top with the top of the view, false its bottom.
  VARIANT flag;
  VariantInit(&flag);
  bool alignTop = true;
  if (start.vt != VT_EMPTY && start.vt != VT_ERROR &&
      SUCCEEDED(VariantChangeType(&flag, &start, 0, VT_BOOL)))
    alignTop = flag.boolVal != VARIANT_FALSE;
  ScrollIntoView(*node_, alignTop);
  return S_OK;
}

STDMETHODIMP HtmlElement::contains(IHTMLElement *child, VARIANT_BOOL *result) {
  if (!result)
    return E_POINTER;
  Node *other = NodeOf(child);
  *result = other && node_->Contains(other) ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

STDMETHODIMP HtmlElement::get_sourceIndex(LONG *p) {
  if (!p)
    return E_POINTER;
  return Guarded([&] {
    *p = node_->document ? node_->document->SourceIndex(node_.get()) : -1;
    return S_OK;
  });
}

STDMETHODIMP HtmlElement::get_offsetLeft(LONG *p) { return Long(BoxOf(*node_).left, p); }
STDMETHODIMP HtmlElement::get_offsetTop(LONG *p) { return Long(BoxOf(*node_).top, p); }
STDMETHODIMP HtmlElement::get_offsetWidth(LONG *p) { return Long(BoxOf(*node_).width, p); }
STDMETHODIMP HtmlElement::get_offsetHeight(LONG *p) { return Long(BoxOf(*node_).height, p); }
STDMETHODIMP HtmlElement::get_offsetParent(IHTMLElement **p) {
  return WrapNodeAs(OffsetParentOf(*node_), p);
}

HRESULT HtmlElement::Notify(const wchar_t *property, HRESULT hr) {
  if (SUCCEEDED(hr))
    FirePropertyChange(page_.get(), *node_, property);
  return hr;
}

Node &HtmlElement::Content() const {
  Node *literal = LiteralContentOf(*node_);
  return literal ? *literal : *node_;
}

void HtmlElement::ReplaceChildren(std::vector<std::shared_ptr<Node>> nodes) {
  Node &content = Content();
  std::vector<std::shared_ptr<Node>> removed = content.children;
  RemoveChildren(content);
  InsertChildren(content, 0, std::move(nodes));
  for (const auto &node : removed)
    DetachBehaviors(*page_.get(), *node);
}

STDMETHODIMP HtmlElement::put_innerHTML(BSTR v) {
  return Guarded([&] {
    ReplaceChildren(ParseFragment(Text(v), *node_));
    return S_OK;
  });
}

STDMETHODIMP HtmlElement::get_innerHTML(BSTR *p) {
  if (!p)
    return E_POINTER;
  return Guarded([&] { return ToBstr(InnerHtml(Content()), p); });
}

STDMETHODIMP HtmlElement::put_innerText(BSTR v) {
  return Guarded([&] {
    ReplaceChildren(TextNodes(Text(v), node_->document));
    return S_OK;
  });
}

STDMETHODIMP HtmlElement::get_innerText(BSTR *p) {
  if (!p)
    return E_POINTER;
  return Guarded([&] { return ToBstr(InnerText(Content()), p); });
}

HRESULT HtmlElement::ReplaceWith(std::vector<std::shared_ptr<Node>> nodes) {
  Node *parent = node_->parent;
  if (!parent || parent->kind == NodeKind::Document)
    return E_FAIL; // IE refuses to replace the root or a detached element
  size_t index = node_->IndexInParent();
  Detach(*node_);
  InsertChildren(*parent, index, std::move(nodes));
  DetachBehaviors(*page_.get(), *node_);
  return S_OK;
}

STDMETHODIMP HtmlElement::put_outerHTML(BSTR v) {
  return Guarded([&]() -> HRESULT {
    if (!node_->parent)
      return E_FAIL;
    return ReplaceWith(ParseFragment(Text(v), *node_->parent));
  });
}

STDMETHODIMP HtmlElement::get_outerHTML(BSTR *p) {
  if (!p)
    return E_POINTER;
  return Guarded([&] { return ToBstr(OuterHtml(*node_), p); });
}

STDMETHODIMP HtmlElement::put_outerText(BSTR v) {
  return Guarded([&] { return ReplaceWith(TextNodes(Text(v), node_->document)); });
}

STDMETHODIMP HtmlElement::get_outerText(BSTR *p) { return get_innerText(p); }

HRESULT HtmlElement::InsertAdjacent(const std::wstring &where,
                                    std::vector<std::shared_ptr<Node>> nodes) {
  Node *parent = node_->parent;
  if (EqualsNoCase(where, L"afterBegin")) {
    InsertChildren(*node_, 0, std::move(nodes));
    return S_OK;
  }
  if (EqualsNoCase(where, L"beforeEnd")) {
    InsertChildren(*node_, node_->children.size(), std::move(nodes));
    return S_OK;
  }
  bool before = EqualsNoCase(where, L"beforeBegin");
  if (!before && !EqualsNoCase(where, L"afterEnd"))
    return E_INVALIDARG;
  if (!parent || parent->kind == NodeKind::Document)
    return E_FAIL;
  InsertChildren(*parent, node_->IndexInParent() + (before ? 0 : 1), std::move(nodes));
  return S_OK;
}

STDMETHODIMP HtmlElement::insertAdjacentElement(BSTR where, IHTMLElement *element,
                                                IHTMLElement **inserted) {
  if (inserted)
    *inserted = nullptr;
  Node *node = NodeOf(element);
  if (!node || !node->document || node->document->page != page_.get() ||
      node->Contains(node_.get()))
    return E_INVALIDARG;
  return Guarded([&]() -> HRESULT {
    std::shared_ptr<Node> owned = node->shared_from_this();
    Node *parent = node->parent;
    size_t index = parent ? node->IndexInParent() : 0;
    if (parent)
      Detach(*node);
    HRESULT hr = InsertAdjacent(Text(where), {owned});
    if (FAILED(hr)) {
      if (parent) // put back where it was
        InsertChildren(*parent, index, {owned});
      return hr;
    }
    if (inserted) {
      element->AddRef();
      *inserted = element;
    }
    return S_OK;
  });
}

STDMETHODIMP HtmlElement::mergeAttributes(IHTMLElement *source) {
  return mergeAttributes(source, nullptr);
}

// The source's attributes (expandos included) join the element's; its id
// and name stay unless pvarFlags is false, as in IE.
STDMETHODIMP HtmlElement::mergeAttributes(IHTMLElement *source, VARIANT *preserve) {
  Node *from = NodeOf(source);
  if (!from || !from->IsElement())
    return E_INVALIDARG;
  bool keepIdentity = !preserve || preserve->vt != VT_BOOL || preserve->boolVal != VARIANT_FALSE;
  return Guarded([&] {
    std::vector<Attribute> copied = from->attributes;
    for (const Attribute &attribute : copied) {
      if (keepIdentity &&
          (EqualsNoCase(attribute.name, L"id") || EqualsNoCase(attribute.name, L"name")))
        continue;
      node_->SetAttribute(attribute.name, attribute.value, false);
      const_cast<Attribute *>(node_->FindAttribute(attribute.name))->typed = attribute.typed;
      if (attribute.typed && (attribute.typed->node || attribute.typed->pinned))
        page_->NoteExpandoHolder(node_);
    }
    return S_OK;
  });
}

STDMETHODIMP HtmlElement::cloneNode(VARIANT_BOOL deep, IHTMLDOMNode **cloned) {
  if (!cloned)
    return E_POINTER;
  *cloned = nullptr;
  return Guarded([&] {
    std::shared_ptr<Node> copy = CloneTree(*node_, deep);
    // Copied expandos that hold the page's objects are the page's to end.
    std::vector<Node *> nodes = Descendants(copy.get());
    nodes.push_back(copy.get());
    for (Node *node : nodes)
      for (const Attribute &attribute : node->attributes)
        if (attribute.typed && (attribute.typed->node || attribute.typed->pinned))
          page_->NoteExpandoHolder(node->shared_from_this());
    return WrapNodeAs(copy.get(), cloned);
  });
}

STDMETHODIMP HtmlElement::insertAdjacentHTML(BSTR where, BSTR html) {
  return Guarded([&]() -> HRESULT {
    std::wstring position = Text(where);
    bool inside = EqualsNoCase(position, L"afterBegin") || EqualsNoCase(position, L"beforeEnd");
    const Node *context = inside ? node_.get() : node_->parent;
    if (!context)
      return E_FAIL;
    return InsertAdjacent(position, ParseFragment(Text(html), *context));
  });
}

STDMETHODIMP HtmlElement::insertAdjacentText(BSTR where, BSTR text) {
  return Guarded([&] {
    auto node = std::make_shared<Node>();
    node->kind = NodeKind::Text;
    node->text = Text(text);
    return InsertAdjacent(Text(where), {node});
  });
}

STDMETHODIMP HtmlElement::click() {
  return Guarded([&]() -> HRESULT {
    NavigationHold hold(page_.get());
    std::shared_ptr<Node> held = node_;
    std::wstring type = Lower(node_->AttributeValue(L"type"));
    bool toggles = kind_ == ElementKind::Input && (type == L"checkbox" || type == L"radio");
    VARIANT_BOOL was = VARIANT_FALSE;
    if (toggles) { // the state changes before onclick sees it; a cancelled click restores it
      get_checked(&was);
      put_checked(type == L"radio" || !was ? VARIANT_TRUE : VARIANT_FALSE);
    }
    if (!DispatchEvent(page_.get(), *node_, L"onclick", nullptr)) {
      if (toggles)
        put_checked(was);
      return S_OK;
    }
    if (toggles) {
      VARIANT_BOOL now = VARIANT_FALSE;
      get_checked(&now);
      if (now != was)
        DispatchEvent(page_.get(), *node_, L"onchange", nullptr);
      return S_OK;
    }
    if (kind_ == ElementKind::Anchor && node_->HasAttribute(L"href"))
      return FollowLink();
    bool submitter = (kind_ == ElementKind::Input && (type == L"submit" || type == L"image")) ||
                     (node_->Is(L"BUTTON") && (type.empty() || type == L"submit"));
    Node *form = AncestorTagged(*node_, L"FORM");
    if (!submitter || !form || !DispatchEvent(page_.get(), *form, L"onsubmit", nullptr))
      return S_OK;
    IHTMLFormElement *object = nullptr;
    HRESULT hr = WrapNodeAs(form, &object);
    if (SUCCEEDED(hr) && object) {
      hr = object->submit();
      object->Release();
    }
    return hr;
  });
}

HRESULT HtmlElement::FollowLink() {
  std::wstring href = node_->AttributeValue(L"href");
  if (href.size() >= 11 && EqualsNoCase(href.substr(0, 11), L"javascript:")) {
    std::wstring code = UrlDecode(href.substr(11));
    page_->Fire(L"navigate", node_.get(), href);
    if (ScriptEngine *engine = EngineOf(page_.get()))
      engine->RunProgram(code, node_->document ? node_->document->url : L"");
    return S_OK;
  }
  BSTR url = nullptr;
  HRESULT hr = get_href(&url);
  if (FAILED(hr))
    return hr;
  platform::Navigation navigation;
  navigation.url = Text(url);
  SysFreeString(url);
  navigation.method = L"get";
  navigation.element = this;
  page_->Fire(L"navigate", node_.get(), navigation.url);
  return page_->Navigate(std::move(navigation));
}

STDMETHODIMP HtmlElement::toString(BSTR *p) {
  if (kind_ == ElementKind::Anchor)
    return get_href(p);
  return ToBstr(L"[object]", p);
}

HRESULT HtmlElement::Collection(Selector selector, IHTMLElementCollection **p) {
  return NewElementCollection(page_.get(), std::move(selector), p);
}

HRESULT HtmlElement::CollectionDispatch(Selector selector, IDispatch **p) {
  if (!p)
    return E_POINTER;
  *p = nullptr;
  IHTMLElementCollection *collection = nullptr;
  HRESULT hr = Collection(std::move(selector), &collection);
  *p = collection;
  return hr;
}

STDMETHODIMP HtmlElement::get_children(IDispatch **p) {
  return Guarded([&] { return CollectionDispatch(ChildrenOf(node_), p); });
}

STDMETHODIMP HtmlElement::get_all(IDispatch **p) {
  return Guarded([&] { return CollectionDispatch(AllUnder(node_), p); });
}

// --- IHTMLElement2 ---

STDMETHODIMP HtmlElement::get_scopeName(BSTR *p) {
  return ToBstr(node_->scope.empty() ? L"HTML" : node_->scope, p);
}

STDMETHODIMP HtmlElement::get_currentStyle(IHTMLCurrentStyle **p) {
  return NewCurrentStyle(page_.get(), node_, p);
}

STDMETHODIMP HtmlElement::getBoundingClientRect(IHTMLRect **rect) {
  ViewportRect box = ClientRectOf(*node_);
  return NewRect(page_.get(), box.left, box.top, box.right, box.bottom, rect);
}

STDMETHODIMP HtmlElement::focus() {
  return Guarded([&] {
    NavigationHold hold(page_.get());
    PageDocument *document = node_->document;
    if (!document || document->activeElement == node_.get())
      return S_OK;
    // The element that had the focus loses it first.
    if (Node *previous = document->activeElement) {
      std::shared_ptr<Node> held = previous->shared_from_this();
      document->activeElement = nullptr;
      DispatchEvent(page_.get(), *held, L"onblur", nullptr);
    }
    document->activeElement = node_.get();
    DispatchEvent(page_.get(), *node_, L"onfocus", nullptr);
    return S_OK;
  });
}

STDMETHODIMP HtmlElement::blur() {
  return Guarded([&] {
    NavigationHold hold(page_.get());
    if (!node_->document || node_->document->activeElement != node_.get())
      return S_OK;
    node_->document->activeElement = nullptr;
    DispatchEvent(page_.get(), *node_, L"onblur", nullptr);
    return S_OK;
  });
}

STDMETHODIMP HtmlElement::attachEvent(BSTR event, IDispatch *handler, VARIANT_BOOL *result) {
  return AttachListener(node_->listeners, event, handler, result);
}

STDMETHODIMP HtmlElement::detachEvent(BSTR event, IDispatch *handler) {
  return DetachListener(node_->listeners, event, handler);
}

HRESULT AttachListener(std::vector<Listener> &listeners, BSTR event, IDispatch *handler,
                       VARIANT_BOOL *result) {
  if (result)
    *result = VARIANT_FALSE;
  std::wstring type = Lower(Text(event));
  if (!handler || type.size() < 3 || type.compare(0, 2, L"on") != 0)
    return E_INVALIDARG;
  return Guarded([&] {
    auto value = std::make_shared<TypedValue>();
    handler->AddRef();
    value->value.v.vt = VT_DISPATCH;
    value->value.v.pdispVal = handler;
    listeners.push_back({type, value});
    if (result)
      *result = VARIANT_TRUE;
    return S_OK;
  });
}

HRESULT DetachListener(std::vector<Listener> &listeners, BSTR event, IDispatch *handler) {
  std::wstring type = Lower(Text(event));
  return Guarded([&] {
    IUnknown *identity = nullptr;
    if (handler)
      handler->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(&identity));
    for (auto it = listeners.begin(); it != listeners.end(); ++it) {
      IUnknown *other = nullptr;
      IDispatch *attached = it->handler->value.v.pdispVal;
      if (attached)
        attached->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(&other));
      bool same = it->type == type && other == identity;
      if (other)
        other->Release();
      if (same) {
        listeners.erase(it);
        break;
      }
    }
    if (identity)
      identity->Release();
    return S_OK;
  });
}

// --- rows and cells ---

std::shared_ptr<Node> NewElement(const wchar_t *tag, PageDocument *document) {
  auto node = std::make_shared<Node>();
  node->tag = tag;
  node->known = true;
  node->document = document;
  return node;
}

// Inserts `node` among `siblings` (all children of one parent) at `index`
// (-1 or their count: after the last, under `fallback` when there are none).
HRESULT InsertAmong(const std::vector<Node *> &siblings, LONG index, Node &fallback,
                    std::shared_ptr<Node> node) {
  LONG count = static_cast<LONG>(siblings.size());
  if (index < -1 || index > count)
    return E_INVALIDARG;
  if (index == -1 || index == count) {
    Node &parent = siblings.empty() ? fallback : *siblings.back()->parent;
    size_t at = siblings.empty() ? parent.children.size() : siblings.back()->IndexInParent() + 1;
    InsertChildren(parent, at, {std::move(node)});
    return S_OK;
  }
  Node &before = *siblings[static_cast<size_t>(index)];
  InsertChildren(*before.parent, before.IndexInParent(), {std::move(node)});
  return S_OK;
}

HRESULT RemoveAmong(const std::vector<Node *> &siblings, LONG index) {
  LONG count = static_cast<LONG>(siblings.size());
  if (index == -1)
    index = count - 1;
  if (index < 0 || index >= count)
    return E_INVALIDARG;
  Detach(*siblings[static_cast<size_t>(index)]);
  return S_OK;
}

STDMETHODIMP HtmlElement::insertRow(LONG index, IDispatch **row) {
  if (row)
    *row = nullptr;
  return Guarded([&]() -> HRESULT {
    Node *fallback = node_.get();
    if (kind_ == ElementKind::Table) {
      std::vector<Node *> bodies = ChildrenTagged(*node_, {L"TBODY"});
      if (bodies.empty()) { // IE gives a table without sections a body first
        InsertChildren(*node_, node_->children.size(), {NewElement(L"TBODY", node_->document)});
        bodies = ChildrenTagged(*node_, {L"TBODY"});
      }
      fallback = bodies.back();
    }
    std::vector<Node *> rows =
        kind_ == ElementKind::Table ? TableRows(*node_) : ChildrenTagged(*node_, {L"TR"});
    std::shared_ptr<Node> made = NewElement(L"TR", node_->document);
    HRESULT hr = InsertAmong(rows, index, *fallback, made);
    if (SUCCEEDED(hr) && row)
      *row = WrapNode(made.get());
    return hr;
  });
}

STDMETHODIMP HtmlElement::deleteRow(LONG index) {
  return Guarded([&] {
    return RemoveAmong(
        kind_ == ElementKind::Table ? TableRows(*node_) : ChildrenTagged(*node_, {L"TR"}), index);
  });
}

STDMETHODIMP HtmlElement::insertCell(LONG index, IDispatch **cell) {
  if (cell)
    *cell = nullptr;
  return Guarded([&]() -> HRESULT {
    std::shared_ptr<Node> made = NewElement(L"TD", node_->document);
    HRESULT hr = InsertAmong(RowCells(*node_), index, *node_, made);
    if (SUCCEEDED(hr) && cell)
      *cell = WrapNode(made.get());
    return hr;
  });
}

STDMETHODIMP HtmlElement::deleteCell(LONG index) {
  return Guarded([&] { return RemoveAmong(RowCells(*node_), index); });
}

// --- members of IE's later interfaces ---

STDMETHODIMP HtmlElement::put_dir(BSTR v) { return Notify(L"dir", SetAttr(*node_, L"dir", v)); }
STDMETHODIMP HtmlElement::get_dir(BSTR *p) { return AttrBstr(*node_, L"dir", p); }
STDMETHODIMP HtmlElement::setCapture(VARIANT_BOOL) { return S_OK; }
STDMETHODIMP HtmlElement::releaseCapture() { return S_OK; }
STDMETHODIMP HtmlElement::get_runtimeStyle(IHTMLStyle **p) { return get_style(p); }
STDMETHODIMP HtmlElement::select() { return S_OK; }

STDMETHODIMP HtmlElement::get_isDisabled(VARIANT_BOOL *p) {
  if (!p)
    return E_POINTER;
  *p = VARIANT_FALSE;
  for (const Node *node = node_.get(); node; node = node->parent)
    if (node->IsElement() && node->HasAttribute(L"disabled"))
      *p = VARIANT_TRUE;
  return S_OK;
}

HRESULT HtmlElement::UniqueId(BSTR *p) {
  if (!p)
    return E_POINTER;
  return Guarded([&] {
    if (node_->uniqueId.empty())
      node_->uniqueId = L"ms__id" + std::to_wstring(page_->nextUniqueId++);
    return ToBstr(node_->uniqueId, p);
  });
}

STDMETHODIMP HtmlElement::get_clientHeight(LONG *p) { return Long(BoxOf(*node_).clientHeight, p); }
STDMETHODIMP HtmlElement::get_clientWidth(LONG *p) { return Long(BoxOf(*node_).clientWidth, p); }
STDMETHODIMP HtmlElement::get_clientTop(LONG *p) { return Long(BoxOf(*node_).clientTop, p); }
STDMETHODIMP HtmlElement::get_clientLeft(LONG *p) { return Long(BoxOf(*node_).clientLeft, p); }
STDMETHODIMP HtmlElement::get_scrollHeight(LONG *p) { return Long(BoxOf(*node_).scrollHeight, p); }
STDMETHODIMP HtmlElement::get_scrollWidth(LONG *p) { return Long(BoxOf(*node_).scrollWidth, p); }

STDMETHODIMP HtmlElement::put_scrollTop(LONG v) {
  node_->scrollTop = ClampScroll(*node_, v, true);
  return S_OK;
}
STDMETHODIMP HtmlElement::get_scrollTop(LONG *p) {
  return Long(ClampScroll(*node_, node_->scrollTop, true), p);
}
STDMETHODIMP HtmlElement::put_scrollLeft(LONG v) {
  node_->scrollLeft = ClampScroll(*node_, v, false);
  return S_OK;
}
STDMETHODIMP HtmlElement::get_scrollLeft(LONG *p) {
  return Long(ClampScroll(*node_, node_->scrollLeft, false), p);
}

STDMETHODIMP HtmlElement::get_readyState(VARIANT *p) {
  if (!p)
    return E_POINTER;
  VariantInit(p);
  return Guarded([&] {
    ToVariant(AllocBstr(L"complete"), p);
    return S_OK;
  });
}

STDMETHODIMP HtmlElement::get_readyState(BSTR *p) { return ToBstr(L"complete", p); }

STDMETHODIMP HtmlElement::getElementsByTagName(BSTR v, IHTMLElementCollection **p) {
  return Guarded([&] { return Collection(TagsIn(AllUnder(node_), Text(v)), p); });
}

// --- IHTMLElement3, IHTMLElement4 ---

STDMETHODIMP HtmlElement::fireEvent(BSTR name, VARIANT *eventObject, VARIANT_BOOL *notCancelled) {
  return Guarded([&]() -> HRESULT {
    std::wstring type = Text(name);
    if (type.size() < 3 || !EqualsNoCase(type.substr(0, 2), L"on"))
      return E_INVALIDARG;
    // The handlers see a copy of the given event object, with srcElement and type set.
    NavigationHold hold(page_.get());
    IHTMLEventObj *model = nullptr;
    if (eventObject)
      InterfaceFromVariant(*eventObject, IID_IHTMLEventObj, reinterpret_cast<void **>(&model));
    IHTMLEventObj *event = nullptr;
    HRESULT hr = CopyEventObject(page_.get(), model, node_, Lower(type.substr(2)), &event);
    if (model)
      model->Release();
    if (FAILED(hr))
      return hr;
    bool run = DispatchEvent(page_.get(), *node_, Lower(type), event);
    event->Release();
    if (notCancelled)
      *notCancelled = run ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  });
}

STDMETHODIMP HtmlElement::put_disabled(VARIANT_BOOL v) { return SetFlag(*node_, L"disabled", v); }
STDMETHODIMP HtmlElement::get_disabled(VARIANT_BOOL *p) { return Flag(*node_, L"disabled", p); }

STDMETHODIMP HtmlElement::getAttributeNode(BSTR name, IHTMLDOMAttribute **p) {
  return Guarded([&] { return NewDomAttribute(page_.get(), node_, Text(name), p); });
}

// --- IHTMLDOMNode ---

STDMETHODIMP HtmlElement::get_nodeType(LONG *p) { return Long(1, p); }

STDMETHODIMP HtmlElement::get_parentNode(IHTMLDOMNode **p) {
  Node *parent = node_->parent;
  return WrapNodeAs(parent && parent->kind != NodeKind::Document ? parent : nullptr, p);
}

STDMETHODIMP HtmlElement::hasChildNodes(VARIANT_BOOL *p) {
  if (!p)
    return E_POINTER;
  *p = node_->children.empty() ? VARIANT_FALSE : VARIANT_TRUE;
  return S_OK;
}

STDMETHODIMP HtmlElement::get_childNodes(IDispatch **p) {
  return Guarded([&] { return NewChildNodes(page_.get(), node_, p); });
}

STDMETHODIMP HtmlElement::removeNode(VARIANT_BOOL deep, IHTMLDOMNode **removed) {
  return Guarded([&]() -> HRESULT {
    Node *parent = node_->parent;
    if (parent) {
      size_t index = node_->IndexInParent();
      std::vector<std::shared_ptr<Node>> kept;
      if (!deep) { // the children stay in the element's place
        kept = node_->children;
        node_->children.clear();
      }
      Detach(*node_);
      InsertChildren(*parent, index, std::move(kept));
      DetachBehaviors(*page_.get(), *node_);
    }
    if (!removed)
      return S_OK;
    IHTMLDOMNode *self = this;
    self->AddRef();
    *removed = self;
    return S_OK;
  });
}

STDMETHODIMP HtmlElement::insertBefore(IHTMLDOMNode *newChild, VARIANT refChild,
                                       IHTMLDOMNode **node) {
  if (node)
    *node = nullptr;
  Node *child = NodeOf(newChild);
  if (!child || !child->document || child->document->page != page_.get() ||
      child->Contains(node_.get()))
    return E_INVALIDARG;
  IUnknown *reference = nullptr;
  if (FAILED(InterfaceFromVariant(refChild, IID_IUnknown, reinterpret_cast<void **>(&reference))))
    return E_INVALIDARG;
  Node *before = NodeOf(reference);
  if (reference)
    reference->Release();
  if (before && before->parent != node_.get())
    return E_INVALIDARG;
  return Guarded([&]() -> HRESULT {
    std::shared_ptr<Node> owned = child->shared_from_this();
    if (child->parent)
      Detach(*child);
    size_t at = before ? before->IndexInParent() : node_->children.size();
    InsertChildren(*node_, at, {owned});
    if (node) {
      newChild->AddRef();
      *node = newChild;
    }
    return S_OK;
  });
}

STDMETHODIMP HtmlElement::removeChild(IHTMLDOMNode *oldChild, IHTMLDOMNode **node) {
  if (node)
    *node = nullptr;
  Node *child = NodeOf(oldChild);
  if (!child || child->parent != node_.get())
    return E_INVALIDARG;
  return Guarded([&]() -> HRESULT {
    std::shared_ptr<Node> owned = Detach(*child);
    DetachBehaviors(*page_.get(), *owned);
    if (node) {
      oldChild->AddRef();
      *node = oldChild;
    }
    return S_OK;
  });
}

STDMETHODIMP HtmlElement::appendChild(IHTMLDOMNode *newChild, IHTMLDOMNode **node) {
  if (node)
    *node = nullptr;
  Node *child = NodeOf(newChild);
  if (!child || !child->document || child->document->page != page_.get())
    return E_INVALIDARG;
  if (child->Contains(node_.get()))
    return E_INVALIDARG; // would make a cycle
  return Guarded([&]() -> HRESULT {
    std::shared_ptr<Node> owned = child->shared_from_this();
    if (child->parent)
      Detach(*child);
    InsertChildren(*node_, node_->children.size(), {owned});
    if (node) {
      newChild->AddRef();
      *node = newChild;
    }
    return S_OK;
  });
}

STDMETHODIMP HtmlElement::get_nodeName(BSTR *p) { return ToBstr(node_->tag, p); }

STDMETHODIMP HtmlElement::get_nodeValue(VARIANT *p) {
  if (!p)
    return E_POINTER;
  VariantInit(p);
  p->vt = VT_NULL;
  return S_OK;
}

STDMETHODIMP HtmlElement::get_firstChild(IHTMLDOMNode **p) {
  return WrapNodeAs(node_->children.empty() ? nullptr : node_->children.front().get(), p);
}

STDMETHODIMP HtmlElement::get_lastChild(IHTMLDOMNode **p) {
  return WrapNodeAs(node_->children.empty() ? nullptr : node_->children.back().get(), p);
}

STDMETHODIMP HtmlElement::get_previousSibling(IHTMLDOMNode **p) {
  Node *parent = node_->parent;
  size_t index = node_->IndexInParent();
  return WrapNodeAs(parent && index > 0 ? parent->children[index - 1].get() : nullptr, p);
}

STDMETHODIMP HtmlElement::get_nextSibling(IHTMLDOMNode **p) {
  Node *parent = node_->parent;
  size_t index = node_->IndexInParent();
  return WrapNodeAs(
      parent && index + 1 < parent->children.size() ? parent->children[index + 1].get() : nullptr,
      p);
}

// --- tables ---

Node *HtmlElement::Table() const { return kind_ == ElementKind::Table ? node_.get() : nullptr; }

Node *HtmlElement::Section() const {
  Node *parent = node_->parent;
  return parent && (parent->Is(L"THEAD") || parent->Is(L"TBODY") || parent->Is(L"TFOOT") ||
                    parent->Is(L"TABLE"))
             ? parent
             : nullptr;
}

STDMETHODIMP HtmlElement::put_border(VARIANT v) {
  return Guarded([&] {
    node_->SetAttribute(L"border", VariantText(v), false);
    return S_OK;
  });
}
STDMETHODIMP HtmlElement::get_border(VARIANT *p) { return AttrVariant(*node_, L"border", p); }
STDMETHODIMP HtmlElement::get_cellSpacing(VARIANT *p) {
  return AttrVariant(*node_, L"cellSpacing", p);
}
STDMETHODIMP HtmlElement::get_cellPadding(VARIANT *p) {
  return AttrVariant(*node_, L"cellPadding", p);
}
STDMETHODIMP HtmlElement::get_width(VARIANT *p) { return AttrVariant(*node_, L"width", p); }
STDMETHODIMP HtmlElement::get_height(VARIANT *p) { return AttrVariant(*node_, L"height", p); }

STDMETHODIMP HtmlElement::get_rows(IHTMLElementCollection **p) {
  return Guarded([&] {
    std::shared_ptr<Node> node = node_;
    bool table = kind_ == ElementKind::Table;
    return Collection(
        [node, table] { return table ? TableRows(*node) : ChildrenTagged(*node, {L"TR"}); }, p);
  });
}

STDMETHODIMP HtmlElement::get_tHead(IHTMLTableSection **p) {
  return WrapNodeAs(FirstChild(*node_, L"THEAD"), p);
}
STDMETHODIMP HtmlElement::get_tFoot(IHTMLTableSection **p) {
  return WrapNodeAs(FirstChild(*node_, L"TFOOT"), p);
}
STDMETHODIMP HtmlElement::get_caption(IHTMLTableCaption **p) {
  return WrapNodeAs(FirstChild(*node_, L"CAPTION"), p);
}

STDMETHODIMP HtmlElement::get_tBodies(IHTMLElementCollection **p) {
  return Guarded([&] {
    std::shared_ptr<Node> node = node_;
    return Collection([node] { return ChildrenTagged(*node, {L"TBODY"}); }, p);
  });
}

STDMETHODIMP HtmlElement::get_cells(IHTMLElementCollection **p) {
  return Guarded([&] {
    std::shared_ptr<Node> node = node_;
    bool table = kind_ == ElementKind::Table;
    return Collection(
        [node, table] {
          if (!table)
            return RowCells(*node);
          std::vector<Node *> cells;
          for (Node *row : TableRows(*node))
            for (Node *cell : RowCells(*row))
              cells.push_back(cell);
          return cells;
        },
        p);
  });
}

STDMETHODIMP HtmlElement::get_rowIndex(LONG *p) {
  if (!p)
    return E_POINTER;
  return Guarded([&] {
    Node *table = AncestorTagged(*node_, L"TABLE");
    *p = table ? IndexOf(TableRows(*table), node_.get()) : -1;
    return S_OK;
  });
}

STDMETHODIMP HtmlElement::get_sectionRowIndex(LONG *p) {
  if (!p)
    return E_POINTER;
  return Guarded([&] {
    Node *section = Section();
    *p = section ? IndexOf(ChildrenTagged(*section, {L"TR"}), node_.get()) : -1;
    return S_OK;
  });
}

STDMETHODIMP HtmlElement::get_cellIndex(LONG *p) {
  if (!p)
    return E_POINTER;
  return Guarded([&] {
    Node *row = node_->parent;
    *p = row && row->Is(L"TR") ? IndexOf(RowCells(*row), node_.get()) : -1;
    return S_OK;
  });
}

STDMETHODIMP HtmlElement::put_colSpan(LONG v) {
  if (v < 1)
    return E_INVALIDARG;
  return Guarded([&] {
    node_->SetAttribute(L"colSpan", std::to_wstring(v), false);
    return S_OK;
  });
}
STDMETHODIMP HtmlElement::get_colSpan(LONG *p) {
  return Long(std::max<LONG>(1, ParseLong(node_->AttributeValue(L"colSpan"), 1)), p);
}
STDMETHODIMP HtmlElement::put_rowSpan(LONG v) {
  if (v < 1)
    return E_INVALIDARG;
  return Guarded([&] {
    node_->SetAttribute(L"rowSpan", std::to_wstring(v), false);
    return S_OK;
  });
}
STDMETHODIMP HtmlElement::get_rowSpan(LONG *p) {
  return Long(std::max<LONG>(1, ParseLong(node_->AttributeValue(L"rowSpan"), 1)), p);
}

// --- attributes several element interfaces share ---

STDMETHODIMP HtmlElement::put_align(BSTR v) { return SetAttr(*node_, L"align", v); }
STDMETHODIMP HtmlElement::get_align(BSTR *p) { return AttrBstr(*node_, L"align", p); }
STDMETHODIMP HtmlElement::put_name(BSTR v) { return SetAttr(*node_, L"name", v); }
STDMETHODIMP HtmlElement::get_name(BSTR *p) { return AttrBstr(*node_, L"name", p); }
STDMETHODIMP HtmlElement::get_target(BSTR *p) { return AttrBstr(*node_, L"target", p); }
STDMETHODIMP HtmlElement::get_alt(BSTR *p) { return AttrBstr(*node_, L"alt", p); }

std::vector<Node *> HtmlElement::Options() const {
  std::vector<Node *> options;
  for (Node *node : Descendants(node_.get()))
    if (node->Is(L"OPTION"))
      options.push_back(node);
  return options;
}

std::vector<Node *> HtmlElement::FormControls() const {
  std::vector<Node *> controls;
  for (Node *node : Descendants(node_.get()))
    if (node->Is(L"INPUT") || node->Is(L"SELECT") || node->Is(L"TEXTAREA") || node->Is(L"BUTTON") ||
        node->Is(L"OBJECT") || node->Is(L"FIELDSET"))
      controls.push_back(node);
  return controls;
}

namespace {

Node *OwningSelect(const Node &option) { return AncestorTagged(option, L"SELECT"); }

std::vector<Node *> OptionsOf(const Node &select) {
  std::vector<Node *> options;
  for (Node *node : Descendants(&select))
    if (node->Is(L"OPTION"))
      options.push_back(node);
  return options;
}

LONG SelectedIndex(const Node &select) {
  auto options = OptionsOf(select);
  for (size_t i = 0; i < options.size(); ++i)
    if (options[i]->HasAttribute(L"selected"))
      return static_cast<LONG>(i);
  // A single-choice list shows its first option when none is marked.
  return !select.HasAttribute(L"multiple") && !options.empty() ? 0 : -1;
}

std::wstring OptionValue(const Node &option) {
  const Attribute *value = option.FindAttribute(L"value");
  return value ? value->value : InnerText(option);
}

void SelectOption(Node &select, Node *chosen) {
  bool multiple = select.HasAttribute(L"multiple");
  for (Node *option : OptionsOf(select)) {
    if (option == chosen)
      option->SetAttribute(L"selected", L"selected", false);
    else if (!multiple)
      option->RemoveAttribute(L"selected", false);
  }
}

} // namespace

STDMETHODIMP HtmlElement::put_value(BSTR v) {
  return Notify(L"value", Guarded([&] {
                  std::wstring value = Text(v);
                  if (kind_ == ElementKind::Select) {
                    Node *chosen = nullptr;
                    for (Node *option : Options())
                      if (!chosen && OptionValue(*option) == value)
                        chosen = option;
                    if (chosen)
                      SelectOption(*node_, chosen);
                    return S_OK;
                  }
                  node_->SetAttribute(L"value", value, false);
                  return S_OK;
                }));
}

STDMETHODIMP HtmlElement::get_value(BSTR *p) {
  if (!p)
    return E_POINTER;
  return Guarded([&] {
    if (kind_ == ElementKind::Select) {
      auto options = Options();
      LONG index = SelectedIndex(*node_);
      return ToBstr(index < 0 ? L"" : OptionValue(*options[static_cast<size_t>(index)]), p);
    }
    if (kind_ == ElementKind::Option)
      return ToBstr(OptionValue(*node_), p);
    const Attribute *value = node_->FindAttribute(L"value");
    std::wstring type = Lower(node_->AttributeValue(L"type"));
    if (!value && (type == L"checkbox" || type == L"radio"))
      return ToBstr(L"on", p);
    return ToBstr(value ? value->value : L"", p);
  });
}

STDMETHODIMP HtmlElement::get_type(BSTR *p) {
  if (!p)
    return E_POINTER;
  return Guarded([&] {
    if (kind_ == ElementKind::Select)
      return ToBstr(node_->HasAttribute(L"multiple") ? L"select-multiple" : L"select-one", p);
    std::wstring type = Lower(node_->AttributeValue(L"type"));
    return ToBstr(type.empty() ? L"text" : type, p);
  });
}

STDMETHODIMP HtmlElement::put_type(BSTR v) { return SetAttr(*node_, L"type", v); }

STDMETHODIMP HtmlElement::get_form(IHTMLFormElement **p) {
  return WrapNodeAs(AncestorTagged(*node_, L"FORM"), p);
}

STDMETHODIMP HtmlElement::put_src(BSTR v) { return SetAttr(*node_, L"src", v); }

STDMETHODIMP HtmlElement::get_src(BSTR *p) {
  if (!p)
    return E_POINTER;
  return Guarded([&] {
    const Attribute *src = node_->FindAttribute(L"src");
    if (!src || kind_ == ElementKind::Frame || kind_ == ElementKind::IFrame || !node_->document)
      return ToBstr(src ? src->value : L"", p);
    return ToBstr(node_->document->ResolveUrl(src->value), p);
  });
}

STDMETHODIMP HtmlElement::put_href(BSTR v) { return SetAttr(*node_, L"href", v); }

STDMETHODIMP HtmlElement::get_href(BSTR *p) {
  if (!p)
    return E_POINTER;
  return Guarded([&] {
    const Attribute *href = node_->FindAttribute(L"href");
    if (!href || !node_->document)
      return ToBstr(href ? href->value : L"", p);
    return ToBstr(node_->document->ResolveUrl(href->value), p);
  });
}

STDMETHODIMP HtmlElement::get_length(LONG *p) {
  if (!p)
    return E_POINTER;
  return Guarded([&] {
    *p = static_cast<LONG>(kind_ == ElementKind::Select ? Options().size() : FormControls().size());
    return S_OK;
  });
}

namespace {
Selector ListOf(std::shared_ptr<Node> node, bool select) {
  return [node, select] {
    std::vector<Node *> out;
    for (Node *n : Descendants(node.get()))
      if (select ? n->Is(L"OPTION")
                 : (n->Is(L"INPUT") || n->Is(L"SELECT") || n->Is(L"TEXTAREA") || n->Is(L"BUTTON") ||
                    n->Is(L"OBJECT") || n->Is(L"FIELDSET")))
        out.push_back(n);
    return out;
  };
}
} // namespace

STDMETHODIMP HtmlElement::get__newEnum(IUnknown **p) {
  if (!p)
    return E_POINTER;
  *p = nullptr;
  return Guarded([&] {
    IHTMLElementCollection *list = nullptr;
    HRESULT hr = Collection(ListOf(node_, kind_ == ElementKind::Select), &list);
    if (FAILED(hr))
      return hr;
    hr = list->get__newEnum(p);
    list->Release();
    return hr;
  });
}

STDMETHODIMP HtmlElement::item(VARIANT name, VARIANT index, IDispatch **pdisp) {
  if (!pdisp)
    return E_POINTER;
  *pdisp = nullptr;
  return Guarded([&] {
    IHTMLElementCollection *list = nullptr;
    HRESULT hr = Collection(ListOf(node_, kind_ == ElementKind::Select), &list);
    if (FAILED(hr))
      return hr;
    hr = list->item(name, index, pdisp);
    list->Release();
    return hr;
  });
}

STDMETHODIMP HtmlElement::tags(VARIANT tagName, IDispatch **pdisp) {
  if (!pdisp)
    return E_POINTER;
  *pdisp = nullptr;
  return Guarded([&] {
    IHTMLElementCollection *list = nullptr;
    HRESULT hr = Collection(ListOf(node_, kind_ == ElementKind::Select), &list);
    if (FAILED(hr))
      return hr;
    hr = list->tags(tagName, pdisp);
    list->Release();
    return hr;
  });
}

STDMETHODIMP HtmlElement::createTextRange(IHTMLTxtRange **range) {
  return Guarded([&] { return NewTextRange(page_.get(), node_, range); });
}

// --- forms ---

STDMETHODIMP HtmlElement::get_action(BSTR *p) { return AttrBstr(*node_, L"action", p); }

STDMETHODIMP HtmlElement::get_method(BSTR *p) {
  if (!p)
    return E_POINTER;
  return Guarded([&] {
    std::wstring method = Lower(node_->AttributeValue(L"method"));
    return ToBstr(method == L"post" ? L"post" : L"get", p);
  });
}

STDMETHODIMP HtmlElement::get_elements(IDispatch **p) {
  return Guarded([&] { return CollectionDispatch(ListOf(node_, false), p); });
}

platform::Navigation HtmlElement::Submission() const {
  platform::Navigation navigation;
  std::wstring action = node_->AttributeValue(L"action");
  navigation.url = node_->document ? node_->document->ResolveUrl(action) : action;
  navigation.method = Lower(node_->AttributeValue(L"method")) == L"post" ? L"post" : L"get";
  // The successful controls, in document order.
  for (Node *control : FormControls()) {
    std::wstring name = control->AttributeValue(L"name");
    if (name.empty() || control->HasAttribute(L"disabled"))
      continue;
    if (control->Is(L"SELECT")) {
      for (Node *option : OptionsOf(*control))
        if (option->HasAttribute(L"selected"))
          navigation.fields.emplace_back(name, option->HasAttribute(L"value")
                                                   ? option->AttributeValue(L"value")
                                                   : InnerText(*option));
      continue;
    }
    if (control->Is(L"TEXTAREA")) {
      navigation.fields.emplace_back(name, InnerText(*control));
      continue;
    }
    if (!control->Is(L"INPUT"))
      continue;
    std::wstring type = Lower(control->AttributeValue(L"type"));
    if (type == L"submit" || type == L"button" || type == L"reset" || type == L"image" ||
        type == L"file")
      continue;
    if ((type == L"checkbox" || type == L"radio") && !control->HasAttribute(L"checked"))
      continue;
    std::wstring value = control->AttributeValue(L"value");
    if ((type == L"checkbox" || type == L"radio") && !control->HasAttribute(L"value"))
      value = L"on";
    navigation.fields.emplace_back(name, value);
  }
  return navigation;
}

// The handler as script reads it: the function of the markup's attribute, an
// object put there, or null.
STDMETHODIMP HtmlElement::get_onsubmit(VARIANT *p) {
  if (!p)
    return E_POINTER;
  VariantInit(p);
  return Guarded([&]() -> HRESULT {
    DISPID id = DISPID_UNKNOWN;
    DISPPARAMS none = {};
    if (FAILED(FindDynamic(L"onsubmit", &id)) ||
        FAILED(InvokeDynamic(id, DISPATCH_PROPERTYGET, &none, p))) {
      VariantClear(p);
      p->vt = VT_NULL;
    }
    return S_OK;
  });
}

STDMETHODIMP HtmlElement::put_onsubmit(VARIANT v) { return PutExpando(L"onsubmit", v); }

STDMETHODIMP HtmlElement::submit() {
  return Guarded([&] {
    NavigationHold hold(page_.get());
    platform::Navigation navigation = Submission();
    navigation.element = this;
    page_->Fire(L"navigate", node_.get(), navigation.url);
    return page_->Navigate(std::move(navigation));
  });
}

// --- inputs ---

STDMETHODIMP HtmlElement::put_checked(VARIANT_BOOL v) {
  return Notify(L"checked", Guarded([&] {
                  if (v && Lower(node_->AttributeValue(L"type")) == L"radio") {
                    // Checking a radio button clears the others of its group.
                    std::wstring name = node_->AttributeValue(L"name");
                    Node *scope = AncestorTagged(*node_, L"FORM");
                    if (!scope && node_->document)
                      scope = node_->document->root.get();
                    if (scope && !name.empty())
                      for (Node *other : Descendants(scope))
                        if (other != node_.get() && other->Is(L"INPUT") &&
                            other->AttributeValue(L"name") == name &&
                            Lower(other->AttributeValue(L"type")) == L"radio")
                          other->RemoveAttribute(L"checked", false);
                  }
                  return SetFlag(*node_, L"checked", v);
                }));
}

STDMETHODIMP HtmlElement::get_checked(VARIANT_BOOL *p) { return Flag(*node_, L"checked", p); }
STDMETHODIMP HtmlElement::get_readOnly(VARIANT_BOOL *p) { return Flag(*node_, L"readOnly", p); }

STDMETHODIMP HtmlElement::get_width(LONG *p) {
  LONG laid = BoxOf(*node_).width;
  return Long(laid ? laid : ParseLong(node_->AttributeValue(L"width"), 0), p);
}

STDMETHODIMP HtmlElement::get_height(LONG *p) {
  LONG laid = BoxOf(*node_).height;
  return Long(laid ? laid : ParseLong(node_->AttributeValue(L"height"), 0), p);
}

// --- select and option ---

STDMETHODIMP HtmlElement::get_options(IDispatch **p) {
  return Guarded([&] { return CollectionDispatch(ListOf(node_, true), p); });
}

STDMETHODIMP HtmlElement::put_selectedIndex(LONG v) {
  return Notify(L"selectedIndex", Guarded([&] {
                  auto options = Options();
                  Node *chosen = v >= 0 && static_cast<size_t>(v) < options.size()
                                     ? options[static_cast<size_t>(v)]
                                     : nullptr;
                  if (!chosen)
                    for (Node *option : options)
                      option->RemoveAttribute(L"selected", false);
                  else
                    SelectOption(*node_, chosen);
                  return S_OK;
                }));
}

STDMETHODIMP HtmlElement::get_selectedIndex(LONG *p) {
  if (!p)
    return E_POINTER;
  return Guarded([&] {
    *p = SelectedIndex(*node_);
    return S_OK;
  });
}

STDMETHODIMP HtmlElement::get_multiple(VARIANT_BOOL *p) { return Flag(*node_, L"multiple", p); }

STDMETHODIMP HtmlElement::put_selected(VARIANT_BOOL v) {
  return Guarded([&] {
    Node *select = OwningSelect(*node_);
    if (v && select)
      SelectOption(*select, node_.get());
    else
      SetFlag(*node_, L"selected", v);
    return S_OK;
  });
}

STDMETHODIMP HtmlElement::get_selected(VARIANT_BOOL *p) {
  if (!p)
    return E_POINTER;
  return Guarded([&] {
    Node *select = OwningSelect(*node_);
    if (!select)
      return Flag(*node_, L"selected", p);
    LONG index = SelectedIndex(*select);
    *p = index >= 0 && IndexOf(OptionsOf(*select), node_.get()) == index ? VARIANT_TRUE
                                                                         : VARIANT_FALSE;
    return S_OK;
  });
}

STDMETHODIMP HtmlElement::put_text(BSTR v) { return put_innerText(v); }
STDMETHODIMP HtmlElement::put_text(VARIANT v) {
  return Guarded([&] {
    node_->SetAttribute(L"text", VariantText(v), false);
    return S_OK;
  });
}
STDMETHODIMP HtmlElement::get_text(VARIANT *p) { return AttrVariant(*node_, L"text", p); }
STDMETHODIMP HtmlElement::get_text(BSTR *p) { return get_innerText(p); }

STDMETHODIMP HtmlElement::get_index(LONG *p) {
  if (!p)
    return E_POINTER;
  return Guarded([&] {
    Node *select = OwningSelect(*node_);
    *p = select ? IndexOf(OptionsOf(*select), node_.get()) : 0;
    return S_OK;
  });
}

// --- text and comment nodes ---

namespace {
constexpr Member<HtmlTextNode> kTextMembers[] = {
#define Self HtmlTextNode
    PAGE_GET(IHTMLDOMNode, nodeType),         PAGE_GET(IHTMLDOMNode, parentNode),
    PAGE_METHOD(IHTMLDOMNode, hasChildNodes), PAGE_GET(IHTMLDOMNode, nodeName),
    PAGE_PROP(IHTMLDOMNode, nodeValue),       PAGE_GET(IHTMLDOMNode, previousSibling),
    PAGE_GET(IHTMLDOMNode, nextSibling),      PAGE_METHOD(IHTMLDOMNode, removeNode),
    PAGE_METHOD(IHTMLDOMNode, cloneNode),
#undef Self
};
constexpr std::span<const Member<HtmlTextNode>> kTextTables[] = {kTextMembers};
} // namespace

HtmlTextNode::HtmlTextNode(Page *page, std::shared_ptr<Node> node)
    : page_(page), node_(std::move(node)) {
  if (node_->document)
    document_ = node_->document->shared_from_this();
  node_->wrapper = static_cast<IHTMLDOMNode *>(this);
}

HtmlTextNode::~HtmlTextNode() { node_->wrapper = nullptr; }

STDMETHODIMP HtmlTextNode::QueryInterface(REFIID riid, void **ppv) {
  return AnswerQuery(
      riid, ppv, {{&IID_ITallowickPageNode, node_.get()}, {&IID_ITallowickPageObject, page_.get()}},
      Find(riid));
}

void *HtmlTextNode::Find(REFIID riid) {
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
      IsEqualIID(riid, IID_IHTMLDOMNode))
    return static_cast<IHTMLDOMNode *>(this);
  return nullptr;
}

std::span<const std::span<const Member<HtmlTextNode>>> HtmlTextNode::Tables() const {
  return kTextTables;
}

STDMETHODIMP HtmlTextNode::get_nodeType(LONG *p) {
  return Long(node_->kind == NodeKind::Comment ? 8 : 3, p);
}

STDMETHODIMP HtmlTextNode::get_parentNode(IHTMLDOMNode **p) {
  Node *parent = node_->parent;
  return WrapNodeAs(parent && parent->kind != NodeKind::Document ? parent : nullptr, p);
}

STDMETHODIMP HtmlTextNode::hasChildNodes(VARIANT_BOOL *p) {
  if (!p)
    return E_POINTER;
  *p = VARIANT_FALSE;
  return S_OK;
}

STDMETHODIMP HtmlTextNode::removeNode(VARIANT_BOOL, IHTMLDOMNode **removed) {
  return Guarded([&] {
    std::shared_ptr<Node> held = node_;
    Detach(*node_);
    if (removed) {
      IHTMLDOMNode *self = this;
      self->AddRef();
      *removed = self;
    }
    return S_OK;
  });
}

STDMETHODIMP HtmlTextNode::cloneNode(VARIANT_BOOL, IHTMLDOMNode **cloned) {
  if (!cloned)
    return E_POINTER;
  *cloned = nullptr;
  return Guarded([&] { return WrapNodeAs(CloneTree(*node_, false).get(), cloned); });
}

STDMETHODIMP HtmlTextNode::get_nodeName(BSTR *p) {
  return ToBstr(node_->kind == NodeKind::Comment ? L"#comment" : L"#text", p);
}

STDMETHODIMP HtmlTextNode::put_nodeValue(VARIANT v) {
  return Guarded([&] {
    node_->text = VariantText(v);
    Changed(*node_);
    return S_OK;
  });
}

STDMETHODIMP HtmlTextNode::get_nodeValue(VARIANT *p) {
  if (!p)
    return E_POINTER;
  VariantInit(p);
  return Guarded([&] {
    ToVariant(AllocBstr(node_->text), p);
    return S_OK;
  });
}

STDMETHODIMP HtmlTextNode::get_previousSibling(IHTMLDOMNode **p) {
  Node *parent = node_->parent;
  size_t index = node_->IndexInParent();
  return WrapNodeAs(parent && index > 0 ? parent->children[index - 1].get() : nullptr, p);
}

STDMETHODIMP HtmlTextNode::get_nextSibling(IHTMLDOMNode **p) {
  Node *parent = node_->parent;
  size_t index = node_->IndexInParent();
  return WrapNodeAs(
      parent && index + 1 < parent->children.size() ? parent->children[index + 1].get() : nullptr,
      p);
}

} // namespace tallowick::page
