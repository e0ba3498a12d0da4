// The page: lifetime of a loaded page's documents and windows, node objects,
// expando ids, fired events, and the public loading functions.
#include "page/HtmlElement.h"

#include <fstream>
#include <iterator>

#include "tallowick/Strings.h"

namespace tallowick::page {

Page::Page(std::shared_ptr<PageDocument> top) : top_(std::move(top)) { Adopt(*top_); }

Page::~Page() {
  documents_.clear();
  top_.reset();
}

void Page::Adopt(PageDocument &document) {
  document.page = this;
  for (Node *node : Descendants(document.root.get()))
    if (node->frame)
      Adopt(*node->frame);
}

ULONG Page::Release() {
  ULONG count = --refs_;
  if (count == 0)
    delete this;
  return count;
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
  *document = object;
  return S_OK;
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
  HtmlDocument *object = DocumentObjectOf(document);
  if (!object)
    return E_INVALIDARG;
  return Guarded([&] {
    object->GetPage()->handler = std::move(handler);
    return S_OK;
  });
}

HRESULT GetPageEvents(IHTMLDocument2 *document, std::vector<PageEvent> *events) {
  if (!events)
    return E_POINTER;
  HtmlDocument *object = DocumentObjectOf(document);
  if (!object)
    return E_INVALIDARG;
  return Guarded([&] {
    *events = object->GetPage()->events;
    return S_OK;
  });
}

HRESULT GetViewLinkDocument(IHTMLElement *element, IHTMLDocument2 **document) {
  if (!document)
    return E_POINTER;
  *document = nullptr;
  if (!element)
    return E_INVALIDARG;
  return S_FALSE;
}

HRESULT GetViewLinkOwner(IHTMLDocument2 *document, IHTMLElement **owner) {
  if (!owner)
    return E_POINTER;
  *owner = nullptr;
  if (!document)
    return E_INVALIDARG;
  return S_FALSE;
}

} // namespace tallowick::platform
