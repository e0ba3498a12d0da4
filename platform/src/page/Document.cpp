// The document and window objects of a page's documents.
#include <windows.h>

#include <cwctype>

#include "page/HtmlElement.h"
#include "page/Layout.h"
#include "page/script/ScriptEngine.h"
#include "tallowick/Strings.h"

namespace tallowick::page {

using platform::EqualsNoCase;

namespace {

std::wstring Text(BSTR value) { return value ? std::wstring(value, SysStringLen(value)) : L""; }

Selector Filtered(std::shared_ptr<Node> root, bool (*keep)(const Node &)) {
  return [root, keep] {
    std::vector<Node *> nodes = Descendants(root.get());
    std::erase_if(nodes, [&](Node *node) { return !keep(*node); });
    return nodes;
  };
}

constexpr Member<HtmlDocument> kDocumentMembers[] = {
#define Self HtmlDocument
    PAGE_GET(IHTMLDocument, Script),
    PAGE_GET(IHTMLDocument2, all),
    PAGE_GET(IHTMLDocument2, body),
    PAGE_GET(IHTMLDocument2, selection),
    PAGE_GET(IHTMLDocument2, activeElement),
    PAGE_GET(IHTMLDocument2, images),
    PAGE_GET(IHTMLDocument2, links),
    PAGE_GET(IHTMLDocument2, forms),
    PAGE_GET(IHTMLDocument2, anchors),
    PAGE_GET(IHTMLDocument2, scripts),
    PAGE_PROP(IHTMLDocument2, title),
    PAGE_GET(IHTMLDocument2, readyState),
    PAGE_GET(IHTMLDocument2, frames),
    PAGE_GET(IHTMLDocument2, location),
    PAGE_GET(IHTMLDocument2, URL),
    PAGE_GET(IHTMLDocument2, domain),
    PAGE_METHOD(IHTMLDocument2, createElement),
    PAGE_METHOD(IHTMLDocument2, elementFromPoint),
    PAGE_GET(IHTMLDocument2, parentWindow),
    PAGE_METHOD(IHTMLDocument2, toString),
    PAGE_GET(IHTMLDocument3, documentElement),
    PAGE_METHOD(IHTMLDocument3, getElementsByName),
    PAGE_METHOD(IHTMLDocument3, getElementById),
    PAGE_METHOD(IHTMLDocument3, getElementsByTagName),
    PAGE_METHOD(IHTMLDocument3, createDocumentFragment),
    PAGE_METHOD(IHTMLDocument3, attachEvent),
    PAGE_METHOD(IHTMLDocument3, detachEvent),
    PAGE_METHOD(IHTMLDocument3, releaseCapture),
    PAGE_METHOD(IHTMLDocument4, focus),
    PAGE_METHOD(IHTMLDocument4, hasFocus),
    PAGE_METHOD(IHTMLDocument4, createEventObject),
#undef Self
};
constexpr std::span<const Member<HtmlDocument>> kDocumentTables[] = {kDocumentMembers};

constexpr Member<HtmlWindow> kWindowMembers[] = {
#define Self HtmlWindow
    PAGE_METHOD(IHTMLFramesCollection2, item),
    PAGE_GET(IHTMLFramesCollection2, length),
    PAGE_GET(IHTMLWindow2, frames),
    PAGE_PROP(IHTMLWindow2, status),
    PAGE_METHOD(IHTMLWindow2, alert),
    PAGE_GET(IHTMLWindow2, location),
    PAGE_PROP(IHTMLWindow2, name),
    PAGE_GET(IHTMLWindow2, parent),
    PAGE_GET(IHTMLWindow2, self),
    PAGE_GET(IHTMLWindow2, top),
    PAGE_GET(IHTMLWindow2, window),
    PAGE_GET(IHTMLWindow2, document),
    PAGE_GET(IHTMLWindow2, event),
    PAGE_GET(IHTMLWindow2, closed),
    PAGE_METHOD(IHTMLWindow2, toString),
    PAGE_METHOD(IHTMLWindow2, setTimeout),
    PAGE_METHOD(IHTMLWindow2, clearTimeout),
    PAGE_METHOD(IHTMLWindow2, setInterval),
    PAGE_METHOD(IHTMLWindow2, clearInterval),
    PAGE_METHOD(IHTMLWindow2, execScript),
#undef Self
};
constexpr std::span<const Member<HtmlWindow>> kWindowTables[] = {kWindowMembers};

template <class I> HRESULT Hand(I *object, I **p) {
  object->AddRef();
  *p = object;
  return S_OK;
}

} // namespace

HtmlWindow *Page::WindowObject(PageDocument &document) {
  return DocumentObject(document)->Window();
}

// --- HtmlDocument ---

HtmlDocument::HtmlDocument(Page *page, PageDocument &document)
    : page_(page), document_(document), window_(std::make_unique<HtmlWindow>(page, document)) {}

HtmlDocument::~HtmlDocument() = default;

STDMETHODIMP HtmlDocument::QueryInterface(REFIID riid, void **ppv) {
  return AnswerQuery(riid, ppv,
                     {{&IID_ITallowickPageDocument, this}, {&IID_ITallowickPageObject, page_}},
                     Find(riid));
}

void *HtmlDocument::Find(REFIID riid) {
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
      IsEqualIID(riid, IID_IHTMLDocument) || IsEqualIID(riid, IID_IHTMLDocument2))
    return static_cast<IHTMLDocument2 *>(this);
  if (IsEqualIID(riid, IID_IHTMLDocument3))
    return static_cast<IHTMLDocument3 *>(this);
  if (IsEqualIID(riid, IID_IHTMLDocument4))
    return static_cast<IHTMLDocument4 *>(this);
  return nullptr;
}

std::span<const std::span<const Member<HtmlDocument>>> HtmlDocument::Tables() const {
  return kDocumentTables;
}

HRESULT HtmlDocument::FindDynamic(const std::wstring &name, DISPID *id) {
  // document.formName and document.imageName, as IE resolves them.
  for (Node *node : Descendants(document_.root.get()))
    if ((node->Is(L"FORM") || node->Is(L"IMG") || node->Is(L"IFRAME")) &&
        node->AttributeValue(L"name") == name) {
      *id = page_->ExpandoId(name);
      return S_OK;
    }
  return DISP_E_UNKNOWNNAME;
}

HRESULT HtmlDocument::InvokeDynamic(DISPID id, WORD flags, DISPPARAMS *, VARIANT *result) {
  const std::wstring *name = page_->ExpandoName(id);
  if (!name || (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)))
    return DISP_E_MEMBERNOTFOUND;
  for (Node *node : Descendants(document_.root.get()))
    if ((node->Is(L"FORM") || node->Is(L"IMG") || node->Is(L"IFRAME")) &&
        node->AttributeValue(L"name") == *name) {
      IDispatch *object = WrapNode(node);
      if (result)
        ToVariant(object, result);
      else if (object)
        object->Release();
      return S_OK;
    }
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT HtmlDocument::Collection(Selector selector, IHTMLElementCollection **p) {
  return Guarded([&] { return NewElementCollection(page_, std::move(selector), p); });
}

STDMETHODIMP HtmlDocument::get_Script(IDispatch **p) {
  // The script's global object: the window.
  if (!p)
    return E_POINTER;
  *p = static_cast<IHTMLWindow2 *>(window_.get());
  (*p)->AddRef();
  return S_OK;
}

void HtmlDocument::HandWindowTo(HtmlDocument &next) {
  std::swap(window_, next.window_);
  window_->Rebind(document_);
  next.window_->Rebind(next.document_);
}

STDMETHODIMP HtmlDocument::get_all(IHTMLElementCollection **p) {
  return Collection(AllUnder(document_.root), p);
}

STDMETHODIMP HtmlDocument::get_body(IHTMLElement **p) { return WrapNodeAs(document_.Body(), p); }

STDMETHODIMP HtmlDocument::get_activeElement(IHTMLElement **p) {
  Node *active = document_.activeElement;
  if (!active || !document_.root->Contains(active))
    active = document_.Body();
  return WrapNodeAs(active, p);
}

STDMETHODIMP HtmlDocument::get_images(IHTMLElementCollection **p) {
  return Collection(Filtered(document_.root, [](const Node &n) { return n.Is(L"IMG"); }), p);
}

STDMETHODIMP HtmlDocument::get_links(IHTMLElementCollection **p) {
  return Collection(Filtered(document_.root,
                             [](const Node &n) {
                               return (n.Is(L"A") || n.Is(L"AREA")) && n.HasAttribute(L"href");
                             }),
                    p);
}

STDMETHODIMP HtmlDocument::get_forms(IHTMLElementCollection **p) {
  return Collection(Filtered(document_.root, [](const Node &n) { return n.Is(L"FORM"); }), p);
}

STDMETHODIMP HtmlDocument::get_anchors(IHTMLElementCollection **p) {
  return Collection(
      Filtered(document_.root, [](const Node &n) { return n.Is(L"A") && n.HasAttribute(L"name"); }),
      p);
}

STDMETHODIMP HtmlDocument::get_scripts(IHTMLElementCollection **p) {
  return Collection(Filtered(document_.root, [](const Node &n) { return n.Is(L"SCRIPT"); }), p);
}

STDMETHODIMP HtmlDocument::put_title(BSTR v) {
  return Guarded([&] {
    for (Node *node : Descendants(document_.root.get()))
      if (node->Is(L"TITLE")) {
        RemoveChildren(*node);
        auto text = std::make_shared<Node>();
        text->kind = NodeKind::Text;
        text->text = Text(v);
        InsertChildren(*node, 0, {text});
        return S_OK;
      }
    Node *head = document_.Head();
    if (!head)
      return S_OK;
    auto title = ParseFragment(L"<title></title>", *head);
    InsertChildren(*head, head->children.size(), title);
    return put_title(v);
  });
}

STDMETHODIMP HtmlDocument::get_title(BSTR *p) {
  if (!p)
    return E_POINTER;
  return Guarded([&] { return ToBstr(document_.Title(), p); });
}

STDMETHODIMP HtmlDocument::get_readyState(BSTR *p) { return ToBstr(L"complete", p); }

STDMETHODIMP HtmlDocument::get_frames(IHTMLFramesCollection2 **p) {
  if (!p)
    return E_POINTER;
  return Hand<IHTMLFramesCollection2>(window_.get(), p);
}

STDMETHODIMP HtmlDocument::get_location(IHTMLLocation **p) {
  return Guarded([&] { return NewLocation(page_, &document_, p); });
}

STDMETHODIMP HtmlDocument::get_URL(BSTR *p) { return ToBstr(document_.url, p); }

STDMETHODIMP HtmlDocument::get_domain(BSTR *p) {
  if (!p)
    return E_POINTER;
  return Guarded([&] {
    std::wstring url = document_.url;
    size_t start = url.find(L"://");
    if (start == std::wstring::npos)
      return ToBstr(L"", p);
    start += 3;
    size_t end = url.find_first_of(L":/?#", start);
    return ToBstr(url.substr(start, end == std::wstring::npos ? end : end - start), p);
  });
}

namespace {

// An element of a tag that the parser only makes in its own context.
std::shared_ptr<Node> ContextFreeElement(const std::wstring &name) {
  static const wchar_t *const kTags[] = {L"TR",    L"TD",      L"TH",     L"TBODY",    L"THEAD",
                                         L"TFOOT", L"CAPTION", L"COL",    L"COLGROUP", L"HTML",
                                         L"HEAD",  L"BODY",    L"OPTION", L"FRAME"};
  std::wstring upper;
  for (wchar_t c : name)
    upper += static_cast<wchar_t>(std::towupper(c));
  for (const wchar_t *tag : kTags)
    if (upper == tag) {
      auto node = std::make_shared<Node>();
      node->tag = upper;
      node->known = true;
      return node;
    }
  return nullptr;
}

} // namespace

STDMETHODIMP HtmlDocument::createElement(BSTR tag, IHTMLElement **p) {
  if (!p)
    return E_POINTER;
  *p = nullptr;
  std::wstring name = Text(tag);
  if (name.empty())
    return E_INVALIDARG;
  return Guarded([&]() -> HRESULT {
    Node *body = document_.Body();
    if (!body)
      return E_FAIL;
    // IE accepts both a tag name and a tag's markup.
    std::wstring markup = name.front() == L'<' ? name : L"<" + name + L">";
    auto nodes = ParseFragment(markup, *body);
    if (nodes.empty() || !nodes.front()->IsElement())
      nodes = {ContextFreeElement(name)}; // TR, TD, HTML, BODY, ... outside their places
    if (!nodes.front())
      return E_INVALIDARG;
    std::shared_ptr<Node> element = nodes.front();
    AdoptInto(*element, &document_);
    return WrapNodeAs(element.get(), p);
  });
}

STDMETHODIMP HtmlDocument::createDocumentFragment(IHTMLDocument2 **p) {
  if (!p)
    return E_POINTER;
  *p = nullptr;
  return Guarded([&]() -> HRESULT {
    // IE's fragment is a document of its own (with a body), owned by the page.
    auto fragment = ParseDocument("<html><head></head><body></body></html>", document_.url);
    page_->Keep(fragment);
    IHTMLDocument2 *object = page_->DocumentObject(*fragment);
    object->AddRef();
    *p = object;
    return S_OK;
  });
}

// Handlers attached to the document hear what bubbles up to it (and
// onstop, which only a user's Stop would fire).
STDMETHODIMP HtmlDocument::get_selection(IHTMLSelectionObject **p) {
  return NewSelectionObject(page_, this, p);
}

STDMETHODIMP HtmlDocument::attachEvent(BSTR event, IDispatch *handler, VARIANT_BOOL *result) {
  return AttachListener(document_.root->listeners, event, handler, result);
}

STDMETHODIMP HtmlDocument::detachEvent(BSTR event, IDispatch *handler) {
  return DetachListener(document_.root->listeners, event, handler);
}

STDMETHODIMP HtmlDocument::elementFromPoint(LONG x, LONG y, IHTMLElement **p) {
  if (!p)
    return E_POINTER;
  *p = nullptr;
  return WrapNodeAs(ElementFromPoint(document_, x, y), p);
}

STDMETHODIMP HtmlDocument::get_parentWindow(IHTMLWindow2 **p) {
  if (!p)
    return E_POINTER;
  return Hand<IHTMLWindow2>(window_.get(), p);
}

STDMETHODIMP HtmlDocument::toString(BSTR *p) { return ToBstr(L"[object]", p); }

STDMETHODIMP HtmlDocument::get_documentElement(IHTMLElement **p) {
  return WrapNodeAs(document_.DocumentElement(), p);
}

STDMETHODIMP HtmlDocument::getElementsByName(BSTR v, IHTMLElementCollection **p) {
  std::wstring name = Text(v);
  std::shared_ptr<Node> root = document_.root;
  return Collection(
      [root, name] {
        std::vector<Node *> nodes = Descendants(root.get());
        std::erase_if(nodes, [&](Node *n) { return n->AttributeValue(L"name") != name; });
        return nodes;
      },
      p);
}

STDMETHODIMP HtmlDocument::getElementById(BSTR v, IHTMLElement **p) {
  if (!p)
    return E_POINTER;
  *p = nullptr;
  return Guarded([&]() -> HRESULT {
    std::wstring id = Text(v);
    if (id.empty())
      return S_OK;
    // IE also answers the first element whose name is the id.
    for (Node *node : Descendants(document_.root.get()))
      if (node->AttributeValue(L"id") == id ||
          (node->AttributeValue(L"name") == id && node->HasAttribute(L"name")))
        return WrapNodeAs(node, p);
    return S_OK;
  });
}

STDMETHODIMP HtmlDocument::getElementsByTagName(BSTR v, IHTMLElementCollection **p) {
  return Collection(TagsIn(AllUnder(document_.root), Text(v)), p);
}

STDMETHODIMP HtmlDocument::focus() { return S_OK; }

STDMETHODIMP HtmlDocument::hasFocus(VARIANT_BOOL *p) {
  if (!p)
    return E_POINTER;
  *p = VARIANT_TRUE;
  return S_OK;
}

STDMETHODIMP HtmlDocument::createEventObject(VARIANT *from, IHTMLEventObj **p) {
  if (!p)
    return E_POINTER;
  *p = nullptr;
  return Guarded([&]() -> HRESULT {
    // A copy of the given event object (its members and expandos), or a blank one.
    std::shared_ptr<Node> source;
    std::wstring type;
    IHTMLEventObj *model = nullptr;
    if (from)
      InterfaceFromVariant(*from, IID_IHTMLEventObj, reinterpret_cast<void **>(&model));
    if (model) {
      IHTMLElement *element = nullptr;
      if (SUCCEEDED(model->get_srcElement(&element)) && element) {
        if (Node *node = NodeOf(element))
          source = node->shared_from_this();
        element->Release();
      }
      BSTR text = nullptr;
      if (SUCCEEDED(model->get_type(&text)))
        type = Text(text);
      SysFreeString(text);
    }
    HRESULT hr = CopyEventObject(page_, model, source, type, p);
    if (model)
      model->Release();
    return hr;
  });
}

// --- HtmlWindow ---

STDMETHODIMP HtmlWindow::QueryInterface(REFIID riid, void **ppv) {
  if (!ppv)
    return E_POINTER;
  if (IsEqualIID(riid, IID_ITallowickPageObject)) {
    *ppv = page_;
    return S_OK;
  }
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
      IsEqualIID(riid, IID_IHTMLFramesCollection2) || IsEqualIID(riid, IID_IHTMLWindow2)) {
    *ppv = static_cast<IHTMLWindow2 *>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

std::span<const std::span<const Member<HtmlWindow>>> HtmlWindow::Tables() const {
  return kWindowTables;
}

std::vector<Node *> HtmlWindow::FrameElements() const {
  std::vector<Node *> frames;
  // Every name the window's dispatch resolves asks for the frames: a page
  // without any answers at once instead of walking its whole tree.
  if (!document_->hasFrames)
    return frames;
  for (Node *node : Descendants(document_->root.get()))
    if (node->frame)
      frames.push_back(node);
  return frames;
}

bool HtmlWindow::IsTop() const { return document_ == &page_->Top(); }

HRESULT HtmlWindow::FindDynamic(const std::wstring &name, DISPID *id) {
  // window.frameName reaches the frame's window.
  for (Node *node : FrameElements())
    if (node->frame->name == name) {
      *id = page_->ExpandoId(name);
      return S_OK;
    }
  // The script's globals: its variables and functions, eval.
  if (IsTop())
    if (ScriptEngine *engine = EngineOf(page_); engine && engine->HasGlobal(name, nullptr)) {
      *id = page_->ExpandoId(name);
      return S_OK;
    }
  return DISP_E_UNKNOWNNAME;
}

HRESULT HtmlWindow::InvokeDynamic(DISPID id, WORD flags, DISPPARAMS *params, VARIANT *result) {
  const std::wstring *name = page_->ExpandoName(id);
  if (!name)
    return DISP_E_MEMBERNOTFOUND;
  bool frame = false;
  for (Node *node : FrameElements())
    frame = frame || node->frame->name == *name;
  if (!frame && IsTop()) {
    ScriptEngine *engine = EngineOf(page_);
    if (!engine)
      return DISP_E_MEMBERNOTFOUND;
    NavigationHold hold(page_);
    return engine->InvokeGlobal(*name, flags & ~kBridgeGet, params, result);
  }
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))
    return DISP_E_MEMBERNOTFOUND;
  Var key;
  ToVariant(AllocBstr(*name), &key.v);
  return item(&key.v, result);
}

STDMETHODIMP HtmlWindow::item(VARIANT *index, VARIANT *result) {
  if (!result)
    return E_POINTER;
  VariantInit(result);
  if (!index)
    return E_INVALIDARG;
  return Guarded([&]() -> HRESULT {
    std::vector<Node *> frames = FrameElements();
    Node *found = nullptr;
    const VARIANT &key = index->vt == (VT_BYREF | VT_VARIANT) ? *index->pvarVal : *index;
    if (key.vt == VT_BSTR) {
      std::wstring name = VariantText(key);
      for (Node *node : frames)
        if (!found && node->frame->name == name)
          found = node;
    } else {
      Arg<LONG> at;
      if (FAILED(at.Set(key)))
        return E_INVALIDARG;
      if (at.value >= 0 && static_cast<size_t>(at.value) < frames.size())
        found = frames[static_cast<size_t>(at.value)];
    }
    if (!found)
      return E_INVALIDARG;
    IHTMLWindow2 *window = page_->WindowObject(*found->frame);
    window->AddRef();
    ToVariant(window, result);
    return S_OK;
  });
}

STDMETHODIMP HtmlWindow::get_length(LONG *p) {
  if (!p)
    return E_POINTER;
  return Guarded([&] {
    *p = static_cast<LONG>(FrameElements().size());
    return S_OK;
  });
}

STDMETHODIMP HtmlWindow::get_frames(IHTMLFramesCollection2 **p) {
  if (!p)
    return E_POINTER;
  return Hand<IHTMLFramesCollection2>(this, p);
}

STDMETHODIMP HtmlWindow::put_status(BSTR v) {
  return Guarded([&] {
    status_ = Text(v);
    return S_OK;
  });
}

STDMETHODIMP HtmlWindow::get_status(BSTR *p) { return ToBstr(status_, p); }

STDMETHODIMP HtmlWindow::alert(BSTR message) {
  return Guarded([&] {
    page_->Fire(L"alert", nullptr, Text(message));
    return S_OK;
  });
}

STDMETHODIMP HtmlWindow::get_location(IHTMLLocation **p) {
  return Guarded([&] { return NewLocation(page_, document_, p); });
}

STDMETHODIMP HtmlWindow::put_name(BSTR v) {
  return Guarded([&] {
    document_->name = Text(v);
    return S_OK;
  });
}

STDMETHODIMP HtmlWindow::get_name(BSTR *p) { return ToBstr(document_->name, p); }

STDMETHODIMP HtmlWindow::get_parent(IHTMLWindow2 **p) {
  if (!p)
    return E_POINTER;
  HtmlWindow *parent = document_->parent ? page_->WindowObject(*document_->parent) : this;
  return Hand<IHTMLWindow2>(parent, p);
}

STDMETHODIMP HtmlWindow::get_self(IHTMLWindow2 **p) {
  if (!p)
    return E_POINTER;
  return Hand<IHTMLWindow2>(this, p);
}

STDMETHODIMP HtmlWindow::get_window(IHTMLWindow2 **p) { return get_self(p); }

STDMETHODIMP HtmlWindow::get_top(IHTMLWindow2 **p) {
  if (!p)
    return E_POINTER;
  PageDocument *top = document_;
  while (top->parent)
    top = top->parent;
  return Hand<IHTMLWindow2>(page_->WindowObject(*top), p);
}

STDMETHODIMP HtmlWindow::get_document(IHTMLDocument2 **p) {
  if (!p)
    return E_POINTER;
  return Hand<IHTMLDocument2>(page_->DocumentObject(*document_), p);
}

// The document scrolls through its document element, within its extent.
STDMETHODIMP HtmlWindow::scrollTo(LONG x, LONG y) {
  return Guarded([&]() -> HRESULT {
    Node *root = document_->DocumentElement();
    if (!root)
      return S_OK;
    root->scrollLeft = ClampScroll(*root, x, false);
    root->scrollTop = ClampScroll(*root, y, true);
    return S_OK;
  });
}

STDMETHODIMP HtmlWindow::scrollBy(LONG x, LONG y) {
  Node *root = document_->DocumentElement();
  if (!root)
    return S_OK;
  return scrollTo(root->scrollLeft + x, root->scrollTop + y);
}

STDMETHODIMP HtmlWindow::get_event(IHTMLEventObj **p) {
  if (!p)
    return E_POINTER;
  *p = page_->currentEvent;
  if (*p)
    (*p)->AddRef();
  return S_OK;
}

namespace {

bool IsJavaScript(BSTR language) {
  std::wstring name = Text(language);
  return name.empty() || EqualsNoCase(name, L"javascript") || EqualsNoCase(name, L"jscript") ||
         EqualsNoCase(name, L"ecmascript");
}

} // namespace

STDMETHODIMP HtmlWindow::execScript(BSTR code, BSTR language, VARIANT *result) {
  if (result)
    VariantInit(result);
  if (!IsJavaScript(language))
    return E_INVALIDARG; // no other script language is offered
  return Guarded([&]() -> HRESULT {
    ScriptEngine *engine = EngineOf(page_);
    if (!engine)
      return E_OUTOFMEMORY;
    NavigationHold hold(page_);
    HRESULT hr = engine->Evaluate(Text(code), L"execScript", nullptr);
    if (hr == DISP_E_EXCEPTION) {
      EXCEPINFO info{};
      TakePendingException(&info);
      if (info.scode == HRESULT_FROM_WIN32(ERROR_TIMEOUT))
        hr = info.scode;
      SysFreeString(info.bstrSource);
      SysFreeString(info.bstrDescription);
    }
    return hr;
  });
}

STDMETHODIMP HtmlWindow::setTimeout(BSTR expression, LONG msec, VARIANT *, LONG *timerID) {
  return Guarded([&]() -> HRESULT {
    ScriptEngine *engine = EngineOf(page_);
    if (!engine)
      return E_OUTOFMEMORY;
    Var code;
    code.v.vt = VT_BSTR;
    code.v.bstrVal = AllocBstr(Text(expression));
    long id = 0;
    HRESULT hr = engine->AddTimer(code.v, msec, false, &id);
    if (timerID)
      *timerID = id;
    return hr;
  });
}

STDMETHODIMP HtmlWindow::setInterval(BSTR expression, LONG msec, VARIANT *, LONG *timerID) {
  return Guarded([&]() -> HRESULT {
    ScriptEngine *engine = EngineOf(page_);
    if (!engine)
      return E_OUTOFMEMORY;
    Var code;
    code.v.vt = VT_BSTR;
    code.v.bstrVal = AllocBstr(Text(expression));
    long id = 0;
    HRESULT hr = engine->AddTimer(code.v, msec, true, &id);
    if (timerID)
      *timerID = id;
    return hr;
  });
}

STDMETHODIMP HtmlWindow::clearTimeout(LONG timerID) {
  if (ScriptEngine *engine = page_->ExistingScript())
    engine->ClearTimer(timerID);
  return S_OK;
}

STDMETHODIMP HtmlWindow::clearInterval(LONG timerID) { return clearTimeout(timerID); }

STDMETHODIMP HtmlWindow::get_closed(VARIANT_BOOL *p) {
  if (!p)
    return E_POINTER;
  *p = VARIANT_FALSE;
  return S_OK;
}

STDMETHODIMP HtmlWindow::toString(BSTR *p) { return ToBstr(L"[object Window]", p); }

} // namespace tallowick::page
