// The page: lifetime of a loaded page's documents and windows, node objects,
// expando ids, fired events, and the public loading functions.
#include "page/HtmlElement.h"

#include <algorithm>
#include <cwctype>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "page/script/Behavior.h"
#include "page/script/ScriptEngine.h"
#include "tallowick/Strings.h"

namespace tallowick::page {

Page::Page(std::shared_ptr<PageDocument> top) : top_(std::move(top)) { Adopt(*top_); }

Page::~Page() {
  engine_.reset(); // its finalizers release what script held
  ReleaseExpandos(true);
  documents_.clear();
  retired_.clear();
  kept_.clear();
  top_.reset();
}

ScriptEngine *Page::Script() {
  if (!engine_ && !dying_) {
    try {
      engine_ = std::make_unique<ScriptEngine>(*this);
    } catch (...) {
      return nullptr;
    }
  }
  return engine_.get();
}

bool Page::Unpin() {
  // Never to zero: only a Release may end the page.
  if (refs_ <= 1)
    return false;
  --refs_;
  return true;
}

void Page::ReportError(const platform::ScriptError &error) {
  errors.push_back(error);
  if (!errorHandler)
    return;
  try {
    errorHandler(error);
  } catch (...) {
  }
}

namespace {

bool RunsAsJavaScript(const Node &script) {
  std::wstring type = script.AttributeValue(L"type");
  std::wstring language = script.AttributeValue(L"language");
  for (wchar_t &c : type)
    c = static_cast<wchar_t>(towlower(c));
  for (wchar_t &c : language)
    c = static_cast<wchar_t>(towlower(c));
  if (!type.empty())
    return type.find(L"javascript") != std::wstring::npos ||
           type.find(L"jscript") != std::wstring::npos ||
           type.find(L"ecmascript") != std::wstring::npos;
  return language.empty() || language.rfind(L"javascript", 0) == 0 ||
         language.rfind(L"jscript", 0) == 0;
}

std::wstring ScriptText(const Node &script) {
  std::wstring text;
  for (const auto &child : script.children)
    if (child->kind == NodeKind::Text)
      text += child->text;
  return text;
}

bool ReadFile(const std::string &path, std::string *content) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return false;
  std::ostringstream data;
  data << in.rdbuf();
  *content = data.str();
  return true;
}

} // namespace

namespace {

// Bound elements in the order IE fires oncontentready: when the parser has
// read an element's end tag, so inner elements before the ones around them.
// Each comes with the document position after which it fires.
std::vector<std::pair<size_t, std::shared_ptr<Node>>>
ContentReadyOrder(const std::vector<Node *> &all, std::vector<std::shared_ptr<Node>> bound) {
  std::map<const Node *, size_t> position;
  for (size_t i = 0; i < all.size(); ++i)
    position[all[i]] = i;
  std::vector<std::pair<size_t, std::shared_ptr<Node>>> order;
  for (auto &element : bound) {
    std::vector<Node *> inside = Descendants(element.get());
    const Node *last = inside.empty() ? element.get() : inside.back();
    auto found = position.find(last);
    order.emplace_back(found == position.end() ? all.size() : found->second, std::move(element));
  }
  // Same end: the deeper element closes first.
  std::stable_sort(order.begin(), order.end(), [](const auto &a, const auto &b) {
    return a.first != b.first ? a.first < b.first : b.second->Contains(a.second.get());
  });
  return order;
}

} // namespace

void Page::Start() {
  NavigationHold hold(this);
  PageDocument &document = *top_;
  std::vector<std::shared_ptr<Node>> bound = AttachBehaviors(*this, document);
  std::vector<Node *> all = Descendants(document.root.get());
  auto ready = ContentReadyOrder(all, bound);
  size_t nextReady = 0;
  auto fireReadyBefore = [&](size_t at) {
    for (; nextReady < ready.size() && ready[nextReady].first < at && top_.get() == &document;
         ++nextReady)
      FireLifecycle(*this, *ready[nextReady].second, L"oncontentready");
  };
  std::map<const Node *, size_t> position;
  for (size_t i = 0; i < all.size(); ++i)
    position[all[i]] = i;
  std::vector<std::shared_ptr<Node>> scripts;
  for (Node *node : all)
    if (node->Is(L"SCRIPT") && RunsAsJavaScript(*node))
      scripts.push_back(node->shared_from_this());
  for (const auto &script : scripts) {
    fireReadyBefore(position[script.get()]);
    if (top_.get() != &document)
      return; // a script navigated away
    std::wstring code = ScriptText(*script), source = document.url;
    std::wstring src = script->AttributeValue(L"src");
    if (!src.empty()) {
      source = document.ResolveUrl(src);
      std::string content;
      if (!ReadFile(PathFromUrl(source), &content)) {
        ReportError({L"Cannot load script " + source, 0, source, false});
        continue;
      }
      code = platform::Widen(content);
    }
    if (ScriptEngine *engine = Script())
      engine->RunProgram(code, source);
  }
  fireReadyBefore(all.size() + 1);
  for (const auto &element : bound)
    if (top_.get() == &document)
      FireLifecycle(*this, *element, L"ondocumentready");
  // onload: the body's handler, else a function the scripts put as window.onload.
  Node *body = document.Body();
  if (top_.get() != &document)
    return;
  if (body && body->HasAttribute(L"onload")) {
    DispatchEvent(this, *body, L"onload", nullptr);
    return;
  }
  ScriptEngine *engine = ExistingScript();
  if (engine && engine->HasGlobal(L"onload", nullptr)) {
    Var handler;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    if (SUCCEEDED(engine->InvokeGlobal(L"onload", DISPATCH_PROPERTYGET, &none, &handler.v)) &&
        handler.v.vt == VT_DISPATCH && handler.v.pdispVal)
      engine->CallHandler(handler.v.pdispVal, nullptr, {}, nullptr);
  }
}

HRESULT Page::Navigate(platform::Navigation navigation) {
  platform::Navigation record = navigation;
  record.element = nullptr;
  navigations.push_back(std::move(record));
  if (!navigationHandler)
    return S_OK;
  platform::NavigationAnswer answer;
  HRESULT hr = E_FAIL;
  try {
    hr = navigationHandler(navigation, &answer);
  } catch (...) {
    hr = E_FAIL;
  }
  if (FAILED(hr) || !answer.replace)
    return hr;
  pendingTop_ = ParseDocument(answer.html, answer.url.empty() ? navigation.url : answer.url);
  ApplyPendingNavigation();
  return hr;
}

void Page::ApplyPendingNavigation() {
  if (!pendingTop_ || holds > 0 || (engine_ && engine_->Busy()) || dying_)
    return;
  Replace(std::move(pendingTop_));
}

void Page::Replace(std::shared_ptr<PageDocument> next) {
  // A page whose loading navigates again, answered by yet another page, ends here.
  constexpr int kMaxNestedNavigations = 8;
  if (replacing_ >= kMaxNestedNavigations) {
    ReportError(
        {L"Navigation loop: the page loaded by a navigation navigated again", 0, next->url, false});
    return;
  }
  ++replacing_;
  AddRef(); // the engine's finalizers must not end the page
  DetachBehaviors(*this, *top_->root);
  engine_.reset();
  currentEvent = nullptr;
  Adopt(*next);
  HtmlDocument *old = DocumentObject(*top_);
  HtmlDocument *fresh = DocumentObject(*next);
  old->HandWindowTo(*fresh);
  retired_.push_back(top_);
  top_ = std::move(next);
  Start();
  --replacing_;
  Release();
}

void Page::Adopt(PageDocument &document) {
  document.page = this;
  for (Node *node : Descendants(document.root.get()))
    if (node->frame)
      Adopt(*node->frame);
}

TypedValue::~TypedValue() {
  if (pinned)
    pinned->Pin(); // `value` releases the reference next
}

HRESULT TypedValue::Copy(VARIANT *out) const {
  if (!node)
    return VariantCopy(out, &value.v);
  VariantInit(out);
  IDispatch *object = WrapNode(node.get());
  if (!object) {
    out->vt = VT_NULL;
    return S_OK;
  }
  out->vt = VT_DISPATCH;
  out->pdispVal = object;
  return S_OK;
}

void Page::NoteExpandoHolder(const std::shared_ptr<Node> &node) {
  if (!expandoHolders_.empty() && expandoHolders_.back().lock() == node)
    return;
  expandoHolders_.push_back(node);
  if (expandoHolders_.size() < expandoPurgeAt_)
    return;
  std::erase_if(expandoHolders_, [](const std::weak_ptr<Node> &held) { return held.expired(); });
  expandoPurgeAt_ = std::max<size_t>(64, expandoHolders_.size() * 2);
}

void Page::ReleaseExpandos(bool nodes) {
  std::vector<std::shared_ptr<TypedValue>> dropped; // released once the walk is done
  for (const auto &held : expandoHolders_) {
    std::shared_ptr<Node> node = held.lock();
    if (!node)
      continue;
    for (Attribute &attribute : node->attributes)
      if (attribute.typed && (attribute.typed->pinned || (nodes && attribute.typed->node)))
        dropped.push_back(std::move(attribute.typed));
  }
  if (nodes)
    expandoHolders_.clear();
  dropped.clear();
}

void Page::Keep(std::shared_ptr<PageDocument> document) {
  Adopt(*document);
  kept_.push_back(std::move(document));
}

ULONG Page::Release() {
  ULONG count = --refs_;
  if (count != 0 || dying_)
    return count;
  // Script holders gave up the page reference of the objects they hold;
  // ending the engine takes those back, and an object still held outside
  // keeps the page.
  if (engine_ || !expandoHolders_.empty()) {
    ++refs_;
    engine_.reset();
    ReleaseExpandos(false);
    count = --refs_;
    if (count != 0)
      return count;
  }
  dying_ = true;
  delete this;
  return 0;
}

HtmlDocument *Page::DocumentObject(PageDocument &document) {
  auto &slot = documents_[&document];
  if (!slot)
    slot = std::make_unique<HtmlDocument>(this, document);
  return slot.get();
}

DISPID Page::ExpandoId(const std::wstring &name) {
  std::wstring key;
  for (wchar_t c : name)
    key += platform::FoldCase(c);
  auto found = expandoIds_.find(key);
  if (found != expandoIds_.end())
    return found->second;
  DISPID id = kExpandoBase + static_cast<DISPID>(expandoNames_.size());
  expandoIds_.emplace(key, id);
  expandoNames_.push_back(name);
  return id;
}

const std::wstring *Page::ExpandoName(DISPID id) const {
  if (id < kExpandoBase || static_cast<size_t>(id - kExpandoBase) >= expandoNames_.size())
    return nullptr;
  return &expandoNames_[static_cast<size_t>(id - kExpandoBase)];
}

bool Page::Fire(const std::wstring &type, const Node *source, const std::wstring &detail) {
  if (dying_)
    return false;
  platform::PageEvent event;
  event.type = type;
  event.detail = detail;
  if (source) {
    event.tagName = source->tag;
    event.id = source->AttributeValue(L"id");
    event.sourceIndex = source->document ? source->document->SourceIndex(source) : -1;
  }
  events.push_back(event);
  if (!handler)
    return true;
  IDispatch *element =
      source && source->IsElement() ? WrapNode(const_cast<Node *>(source)) : nullptr;
  if (element)
    element->QueryInterface(IID_IHTMLElement, reinterpret_cast<void **>(&event.element));
  bool run = true;
  try {
    run = handler(event);
  } catch (...) {
  }
  if (event.element)
    event.element->Release();
  if (element)
    element->Release();
  return run;
}

IDispatch *WrapNode(Node *node) {
  if (!node)
    return nullptr;
  if (node->kind == NodeKind::Document) {
    if (!node->document || !node->document->page)
      return nullptr;
    HtmlDocument *document = node->document->page->DocumentObject(*node->document);
    IHTMLDocument2 *dispatch = document;
    dispatch->AddRef();
    return dispatch;
  }
  if (node->wrapper) {
    node->wrapper->AddRef();
    if (node->IsElement())
      return static_cast<IHTMLElement *>(node->wrapper);
    return static_cast<IHTMLDOMNode *>(node->wrapper);
  }
  if (!node->document || !node->document->page)
    return nullptr;
  try {
    std::shared_ptr<Node> owned = node->shared_from_this();
    if (node->IsElement()) {
      auto *element = new HtmlElement(node->document->page, owned);
      IHTMLElement *dispatch = element;
      dispatch->AddRef();
      return dispatch;
    }
    auto *text = new HtmlTextNode(node->document->page, owned);
    IHTMLDOMNode *dispatch = text;
    dispatch->AddRef();
    return dispatch;
  } catch (...) {
    return nullptr;
  }
}

Node *NodeOf(IUnknown *object) {
  if (!object)
    return nullptr;
  void *found = nullptr;
  if (FAILED(object->QueryInterface(IID_ITallowickPageNode, &found)) || !found)
    return nullptr;
  // The private interface answers the node itself, without a reference.
  return static_cast<Node *>(found);
}

namespace {

HtmlDocument *DocumentObjectOf(IHTMLDocument2 *document) {
  if (!document)
    return nullptr;
  void *found = nullptr;
  if (FAILED(document->QueryInterface(IID_ITallowickPageDocument, &found)))
    return nullptr;
  return static_cast<HtmlDocument *>(found);
}

HRESULT Publish(std::shared_ptr<PageDocument> top, IHTMLDocument2 **document) {
  auto *page = new Page(std::move(top));
  IHTMLDocument2 *object = page->DocumentObject(page->Top());
  object->AddRef();
  page->Start();
  // A script of the page may have navigated: the caller gets the document shown now.
  IHTMLDocument2 *current = page->DocumentObject(page->Top());
  current->AddRef();
  object->Release();
  *document = current;
  return S_OK;
}

Page *PageOf(IHTMLDocument2 *document) {
  HtmlDocument *object = DocumentObjectOf(document);
  return object ? object->GetPage() : nullptr;
}

// Installs `value` into a member of the page of `document`.
template <typename T> HRESULT SetPageMember(IHTMLDocument2 *document, T Page::*member, T value) {
  Page *page = PageOf(document);
  if (!page)
    return E_INVALIDARG;
  return Guarded([&] {
    page->*member = std::move(value);
    return S_OK;
  });
}

// Copies a member of the page of `document` out.
template <typename T>
HRESULT CopyPageMember(IHTMLDocument2 *document, const T Page::*member, T *out) {
  if (!out)
    return E_POINTER;
  Page *page = PageOf(document);
  if (!page)
    return E_INVALIDARG;
  return Guarded([&] {
    *out = page->*member;
    return S_OK;
  });
}

} // namespace

} // namespace tallowick::page

namespace tallowick::platform {

using namespace tallowick::page;

HRESULT LoadPageFromFile(const std::wstring &path, const std::wstring &url,
                         IHTMLDocument2 **document) {
  if (!document)
    return E_POINTER;
  *document = nullptr;
  if (path.empty())
    return E_INVALIDARG;
  return Guarded([&]() -> HRESULT {
    auto top = LoadDocumentFile(Narrow(path), url);
    if (!top)
      return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    return Publish(std::move(top), document);
  });
}

HRESULT LoadPageFromString(const std::string &html, const std::wstring &url,
                           IHTMLDocument2 **document) {
  if (!document)
    return E_POINTER;
  *document = nullptr;
  return Guarded([&]() -> HRESULT {
    return Publish(ParseDocument(html, url.empty() ? L"about:blank" : url), document);
  });
}

HRESULT GetPageWindow(IHTMLDocument2 *document, IHTMLWindow2 **window) {
  if (!window)
    return E_POINTER;
  *window = nullptr;
  if (!document)
    return E_INVALIDARG;
  return document->get_parentWindow(window);
}

HRESULT SetPageEventHandler(IHTMLDocument2 *document, PageEventHandler handler) {
  return SetPageMember(document, &Page::handler, std::move(handler));
}

HRESULT GetPageEvents(IHTMLDocument2 *document, std::vector<PageEvent> *events) {
  return CopyPageMember(document, &Page::events, events);
}

HRESULT GetViewLinkDocument(IHTMLElement *element, IHTMLDocument2 **document) {
  if (!document)
    return E_POINTER;
  *document = nullptr;
  Node *node = NodeOf(element);
  if (!node)
    return E_INVALIDARG;
  return Guarded([&]() -> HRESULT {
    PageDocument *viewLink = ViewLinkOf(*node);
    if (!viewLink || !viewLink->page)
      return S_FALSE;
    IHTMLDocument2 *object = viewLink->page->DocumentObject(*viewLink);
    object->AddRef();
    *document = object;
    return S_OK;
  });
}

HRESULT GetViewLinkOwner(IHTMLDocument2 *document, IHTMLElement **owner) {
  if (!owner)
    return E_POINTER;
  *owner = nullptr;
  HtmlDocument *object = DocumentObjectOf(document);
  if (!object)
    return E_INVALIDARG;
  Node *element = object->Data().viewLinkOwner;
  if (!element)
    return S_FALSE;
  return WrapNodeAs(element, owner);
}

HRESULT UserClick(IHTMLElement *element) {
  Node *node = NodeOf(element);
  if (!node || !node->IsElement() || !node->document || !node->document->page)
    return E_INVALIDARG;
  Page *page = node->document->page;
  return Guarded([&]() -> HRESULT {
    NavigationHold hold(page);
    std::shared_ptr<Node> held = node->shared_from_this();
    for (const wchar_t *type : {L"onmousedown", L"onmouseup"}) {
      IHTMLEventObj *event = nullptr;
      HRESULT hr = NewEventObject(page, held, type + 2, &event);
      if (FAILED(hr))
        return hr;
      IHTMLEventObj2 *writable = nullptr;
      if (SUCCEEDED(
              event->QueryInterface(IID_IHTMLEventObj2, reinterpret_cast<void **>(&writable)))) {
        writable->put_button(1);
        writable->Release();
      }
      DispatchEvent(page, *held, type, event);
      event->Release();
    }
    return element->click();
  });
}

HRESULT SetScriptErrorHandler(IHTMLDocument2 *document, ScriptErrorHandler handler) {
  return SetPageMember(document, &Page::errorHandler, std::move(handler));
}

HRESULT GetScriptErrors(IHTMLDocument2 *document, std::vector<ScriptError> *errors) {
  return CopyPageMember(document, &Page::errors, errors);
}

HRESULT SetScriptBudget(IHTMLDocument2 *document, unsigned long milliseconds) {
  Page *page = PageOf(document);
  if (!page)
    return E_INVALIDARG;
  page->budgetMs = milliseconds ? milliseconds : 5000;
  return S_OK;
}

HRESULT RunPageTimers(IHTMLDocument2 *document, unsigned long elapsedMs, long *ran) {
  if (ran)
    *ran = 0;
  Page *page = PageOf(document);
  if (!page)
    return E_INVALIDARG;
  return Guarded([&] {
    NavigationHold hold(page);
    ScriptEngine *engine = page->ExistingScript();
    long count = engine ? engine->RunTimers(elapsedMs) : 0;
    if (ran)
      *ran = count;
    return S_OK;
  });
}

HRESULT SetNavigationHandler(IHTMLDocument2 *document, NavigationHandler handler) {
  return SetPageMember(document, &Page::navigationHandler, std::move(handler));
}

HRESULT GetNavigations(IHTMLDocument2 *document, std::vector<Navigation> *navigations) {
  return CopyPageMember(document, &Page::navigations, navigations);
}

std::string PathFromFileUrl(const std::wstring &url) { return PathFromUrl(url); }

HRESULT GetCurrentDocument(IHTMLDocument2 *document, IHTMLDocument2 **current) {
  if (!current)
    return E_POINTER;
  *current = nullptr;
  Page *page = PageOf(document);
  if (!page)
    return E_INVALIDARG;
  IHTMLDocument2 *object = page->DocumentObject(page->Top());
  object->AddRef();
  *current = object;
  return S_OK;
}

} // namespace tallowick::platform
