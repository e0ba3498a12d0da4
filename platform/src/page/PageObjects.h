// The COM objects of a loaded page. A Page is the unit of lifetime: its
// documents and windows live as long as the page, and every other object
// (elements, collections, styles, ranges) holds a reference on the page.
// Element objects are created on first use and cached on their node, so one
// node is always one object while that object lives.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <tallowick/Page.h>

#include "page/Dispatch.h"
#include "page/Dom.h"
#include "page/MshtmlStubs.h"

namespace tallowick::page {

class HtmlDocument;
class HtmlWindow;
class ScriptEngine;

// Private interface ids: QueryInterface answers the Node (page node objects)
// or the HtmlDocument or text range behind an object, without a reference.
DEFINE_GUID(IID_ITallowickPageNode, 0x6E0C1A52, 0x3F0B, 0x4C7E, 0x9A, 0x1D, 0x5B, 0x2F, 0x4C, 0x8E,
            0x7D, 0x10);
DEFINE_GUID(IID_ITallowickPageDocument, 0x6E0C1A53, 0x3F0B, 0x4C7E, 0x9A, 0x1D, 0x5B, 0x2F, 0x4C,
            0x8E, 0x7D, 0x10);
DEFINE_GUID(IID_ITallowickTextRange, 0x6E0C1A54, 0x3F0B, 0x4C7E, 0x9A, 0x1D, 0x5B, 0x2F, 0x4C, 0x8E,
            0x7D, 0x10);

// Style objects answer the node whose style they are, without a reference.
DEFINE_GUID(IID_ITallowickStyleNode, 0x6E0C1A58, 0x3F0B, 0x4C7E, 0x9A, 0x1D, 0x5B, 0x2F, 0x4C, 0x8E,
            0x7D, 0x10);

// A non-string value kept by setAttribute (an expando object or number).
// An object of the element's own page must not keep that page alive (the
// page owns the element: a cycle): a node is kept as the node, not its
// object; any other page object keeps its reference with the page's given
// back (`pinned`), taken again when the value goes.
struct TypedValue {
  Var value;
  std::shared_ptr<Node> node;
  Page *pinned = nullptr;
  TypedValue() = default;
  TypedValue(const TypedValue &) = delete;
  TypedValue &operator=(const TypedValue &) = delete;
  ~TypedValue();
  // The value, with a node as its object.
  HRESULT Copy(VARIANT *out) const;
};

class Page {
public:
  explicit Page(std::shared_ptr<PageDocument> top);
  ~Page();
  Page(const Page &) = delete;
  Page &operator=(const Page &) = delete;

  ULONG AddRef() { return ++refs_; }
  ULONG Release();
  // A reference that the script engine holds on one of the page's objects
  // does not keep the page alive (it would be a cycle through the engine):
  // the bridge unpins after taking one and pins before dropping it.
  bool Unpin();
  void Pin() { ++refs_; }

  PageDocument &Top() { return *top_; }
  // Attaches behaviours, runs the scripts and fires onload of the top document.
  void Start();
  // The document and window objects of a document of this page (not AddRef'd).
  HtmlDocument *DocumentObject(PageDocument &document);
  HtmlWindow *WindowObject(PageDocument &document);
  // Page-wide DISPIDs for expando names (case-insensitive).
  DISPID ExpandoId(const std::wstring &name);
  const std::wstring *ExpandoName(DISPID id) const;

  // Records the event and asks the handler; true runs the default action.
  bool Fire(const std::wstring &type, const Node *source, const std::wstring &detail = {});
  platform::PageEventHandler handler;
  std::vector<platform::PageEvent> events;
  IHTMLEventObj *currentEvent = nullptr; // window.event while an event is fired
  unsigned long propertyChanges = 0;     // onpropertychange notifications so far
  unsigned long nextUniqueId = 1;        // for elements' uniqueID

  // Scripts: the engine is created on first need and lives with the document.
  ScriptEngine *Script();
  ScriptEngine *ExistingScript() { return engine_.get(); }
  void ReportError(const platform::ScriptError &error);
  platform::ScriptErrorHandler errorHandler;
  std::vector<platform::ScriptError> errors;
  unsigned long budgetMs = 5000;

  // Navigation: records it, asks the handler, and replaces the top document
  // when it answers a page (once no script is running).
  HRESULT Navigate(platform::Navigation navigation);
  void ApplyPendingNavigation();
  int holds = 0; // NavigationHold scopes open
  platform::NavigationHandler navigationHandler;
  std::vector<platform::Navigation> navigations;

  // An element's expando now holds one of the page's objects (TypedValue).
  void NoteExpandoHolder(const std::shared_ptr<Node> &node);
  // Adds a document that belongs to the page without being a frame (a view-link document).
  void Adopt(PageDocument &document);
  // Adopts a document that script made and keeps it for the page's life.
  void Keep(std::shared_ptr<PageDocument> document);

private:
  void Replace(std::shared_ptr<PageDocument> top);
  bool dying_ = false;
  int replacing_ = 0; // nested Replace calls (a page that navigates while it loads)
  std::unique_ptr<ScriptEngine> engine_;
  std::shared_ptr<PageDocument> pendingTop_;
  std::vector<std::shared_ptr<PageDocument>> retired_;
  std::vector<std::shared_ptr<PageDocument>> kept_; // documents script made
  // Drops the expandos that hold the page's objects: those that gave the
  // page's reference back, and with `nodes` also the nodes (cycles of nodes).
  void ReleaseExpandos(bool nodes);
  std::vector<std::weak_ptr<Node>> expandoHolders_;
  size_t expandoPurgeAt_ = 64;
  std::atomic<ULONG> refs_{0};
  std::shared_ptr<PageDocument> top_;
  std::map<PageDocument *, std::unique_ptr<HtmlDocument>> documents_;
  std::map<std::wstring, DISPID> expandoIds_;
  std::vector<std::wstring> expandoNames_;
};

// A C++ entry point that may run script: a navigation that answers a new
// page replaces the document when the outermost such scope closes.
class NavigationHold {
public:
  explicit NavigationHold(Page *page) : page_(page) {
    page_->AddRef();
    ++page_->holds;
  }
  ~NavigationHold() {
    if (--page_->holds == 0)
      page_->ApplyPendingNavigation();
    page_->Release();
  }
  NavigationHold(const NavigationHold &) = delete;
  NavigationHold &operator=(const NavigationHold &) = delete;

private:
  Page *page_;
};

// Holds a page reference for an object's lifetime.
class PageRef {
public:
  explicit PageRef(Page *page) : page_(page) { page_->AddRef(); }
  ~PageRef() { page_->Release(); }
  PageRef(const PageRef &) = delete;
  PageRef &operator=(const PageRef &) = delete;
  Page *operator->() const { return page_; }
  Page *get() const { return page_; }

private:
  Page *page_;
};

// attachEvent / detachEvent on a list of listeners (elements, documents).
HRESULT AttachListener(std::vector<Listener> &listeners, BSTR event, IDispatch *handler,
                       VARIANT_BOOL *result);
HRESULT DetachListener(std::vector<Listener> &listeners, BSTR event, IDispatch *handler);

// The object of a node (element, text or comment), AddRef'd; null for null.
IDispatch *WrapNode(Node *node);
template <class I> HRESULT WrapNodeAs(Node *node, I **out) {
  if (!out)
    return E_POINTER;
  *out = nullptr;
  if (!node)
    return S_OK;
  IDispatch *dispatch = WrapNode(node);
  if (!dispatch)
    return E_OUTOFMEMORY;
  HRESULT hr = dispatch->QueryInterface(__uuidof(I), reinterpret_cast<void **>(out));
  dispatch->Release();
  return hr;
}
// The node behind one of the page's node objects; null for anything else.
Node *NodeOf(IUnknown *object);

// A live element list: the selector is evaluated on each access.
using Selector = std::function<std::vector<Node *>()>;
HRESULT NewElementCollection(Page *page, Selector selector, IHTMLElementCollection **out);
Selector AllUnder(std::shared_ptr<Node> root);
Selector ChildrenOf(std::shared_ptr<Node> node);
Selector TagsIn(Selector base, std::wstring tag);
HRESULT NewChildNodes(Page *page, std::shared_ptr<Node> node, IDispatch **out);
HRESULT NewEnumerator(std::vector<IDispatch *> items, IUnknown **out);    // takes the references
HRESULT NewVariantEnumerator(std::vector<VARIANT> items, IUnknown **out); // takes the values

HRESULT NewStyle(Page *page, std::shared_ptr<Node> node, IHTMLStyle **out);
HRESULT NewCurrentStyle(Page *page, std::shared_ptr<Node> node, IHTMLCurrentStyle **out);
HRESULT NewSelectionObject(Page *page, IHTMLDocument2 *document, IHTMLSelectionObject **out);
HRESULT NewRect(Page *page, LONG left, LONG top, LONG right, LONG bottom, IHTMLRect **out);
HRESULT NewLocation(Page *page, PageDocument *document, IHTMLLocation **out);
HRESULT NewEventObject(Page *page, std::shared_ptr<Node> source, const std::wstring &type,
                       IHTMLEventObj **out);
// A new event object with the members (and expandos) of `model`.
HRESULT CopyEventObject(Page *page, IHTMLEventObj *model, std::shared_ptr<Node> source,
                        const std::wstring &type, IHTMLEventObj **out);
HRESULT NewTextRange(Page *page, std::shared_ptr<Node> scope, IHTMLTxtRange **out);
HRESULT NewDomAttribute(Page *page, std::shared_ptr<Node> node, const std::wstring &name,
                        IHTMLDOMAttribute **out);

// Inline style declarations of a node (property names lower case, in order).
std::vector<std::pair<std::wstring, std::wstring>> ParseDeclarations(const std::wstring &css);
std::wstring StyleValue(const Node &node, const std::wstring &property);
void SetStyleValue(Node &node, const std::wstring &property, const std::wstring &value);
// The cascaded value of a property: inline style, then <style> rules, then
// inheritance for inherited properties, then `fallback`.
std::wstring ComputedStyle(const Node &node, const std::wstring &property,
                           const std::wstring &fallback);
// The cascade for many nodes of one document: its style sheets parsed once.
// Value answers the cascaded value, else the property's initial value.
class StyleCascade {
public:
  explicit StyleCascade(const PageDocument &document);
  ~StyleCascade();
  StyleCascade(const StyleCascade &) = delete;
  StyleCascade &operator=(const StyleCascade &) = delete;
  std::wstring Value(const Node &node, const std::wstring &property) const;

private:
  struct Sheet;
  std::unique_ptr<Sheet> sheet_;
};

class HtmlDocument final : public StubIHTMLDocument2,
                           public StubIHTMLDocument3,
                           public StubIHTMLDocument4 {
public:
  HtmlDocument(Page *page, PageDocument &document);
  ~HtmlDocument();
  using Self = HtmlDocument;

  // Lifetime is the page's.
  STDMETHOD(QueryInterface)(REFIID riid, void **ppv) override;
  STDMETHOD_(ULONG, AddRef)() override { return page_->AddRef(); }
  STDMETHOD_(ULONG, Release)() override { return page_->Release(); }
  PAGE_IDISPATCH
  void *Find(REFIID riid);
  std::span<const std::span<const Member<HtmlDocument>>> Tables() const;
  HRESULT FindDynamic(const std::wstring &name, DISPID *id);
  HRESULT InvokeDynamic(DISPID id, WORD flags, DISPPARAMS *params, VARIANT *result);

  PageDocument &Data() { return document_; }
  Page *GetPage() { return page_; }
  HtmlWindow *Window() { return window_.get(); }
  // Navigation: the new document takes over this document's window.
  void HandWindowTo(HtmlDocument &next);

  // IHTMLDocument
  STDMETHOD(get_Script)(IDispatch **p) override;
  // IHTMLDocument2
  STDMETHOD(get_all)(IHTMLElementCollection **p) override;
  STDMETHOD(get_body)(IHTMLElement **p) override;
  STDMETHOD(get_selection)(IHTMLSelectionObject **p) override;
  STDMETHOD(get_activeElement)(IHTMLElement **p) override;
  STDMETHOD(get_images)(IHTMLElementCollection **p) override;
  STDMETHOD(get_links)(IHTMLElementCollection **p) override;
  STDMETHOD(get_forms)(IHTMLElementCollection **p) override;
  STDMETHOD(get_anchors)(IHTMLElementCollection **p) override;
  STDMETHOD(get_scripts)(IHTMLElementCollection **p) override;
  STDMETHOD(put_title)(BSTR v) override;
  STDMETHOD(get_title)(BSTR *p) override;
  STDMETHOD(get_readyState)(BSTR *p) override;
  STDMETHOD(get_frames)(IHTMLFramesCollection2 **p) override;
  STDMETHOD(get_location)(IHTMLLocation **p) override;
  STDMETHOD(get_URL)(BSTR *p) override;
  STDMETHOD(get_domain)(BSTR *p) override;
  STDMETHOD(createElement)(BSTR eTag, IHTMLElement **newElem) override;
  STDMETHOD(elementFromPoint)(LONG x, LONG y, IHTMLElement **elementHit) override;
  STDMETHOD(get_parentWindow)(IHTMLWindow2 **p) override;
  STDMETHOD(toString)(BSTR *String) override;
  // IHTMLDocument3
  STDMETHOD(get_documentElement)(IHTMLElement **p) override;
  STDMETHOD(getElementsByName)(BSTR v, IHTMLElementCollection **pelColl) override;
  STDMETHOD(getElementById)(BSTR v, IHTMLElement **pel) override;
  STDMETHOD(getElementsByTagName)(BSTR v, IHTMLElementCollection **pelColl) override;
  STDMETHOD(createDocumentFragment)(IHTMLDocument2 **pNewDoc) override;
  STDMETHOD(attachEvent)(BSTR event, IDispatch *pDisp, VARIANT_BOOL *pfResult) override;
  STDMETHOD(detachEvent)(BSTR event, IDispatch *pDisp) override;
  STDMETHOD(releaseCapture)() override { return S_OK; }
  // IHTMLDocument4
  STDMETHOD(focus)() override;
  STDMETHOD(hasFocus)(VARIANT_BOOL *pfFocus) override;
  STDMETHOD(createEventObject)(VARIANT *pvarEventObject, IHTMLEventObj **ppEventObj) override;

private:
  HRESULT Collection(Selector selector, IHTMLElementCollection **p);
  Page *page_;
  PageDocument &document_;
  std::unique_ptr<HtmlWindow> window_;
};

class HtmlWindow final : public StubIHTMLWindow2 {
public:
  HtmlWindow(Page *page, PageDocument &document) : page_(page), document_(&document) {}
  PageDocument &Data() { return *document_; }
  void Rebind(PageDocument &document) { document_ = &document; }
  using Self = HtmlWindow;

  STDMETHOD(QueryInterface)(REFIID riid, void **ppv) override;
  STDMETHOD_(ULONG, AddRef)() override { return page_->AddRef(); }
  STDMETHOD_(ULONG, Release)() override { return page_->Release(); }
  PAGE_IDISPATCH
  std::span<const std::span<const Member<HtmlWindow>>> Tables() const;
  HRESULT FindDynamic(const std::wstring &name, DISPID *id);
  HRESULT InvokeDynamic(DISPID id, WORD flags, DISPPARAMS *params, VARIANT *result);

  // IHTMLFramesCollection2
  STDMETHOD(item)(VARIANT *pvarIndex, VARIANT *pvarResult) override;
  STDMETHOD(get_length)(LONG *p) override;
  // IHTMLWindow2
  STDMETHOD(get_frames)(IHTMLFramesCollection2 **p) override;
  STDMETHOD(put_status)(BSTR v) override;
  STDMETHOD(get_status)(BSTR *p) override;
  STDMETHOD(alert)(BSTR message) override;
  STDMETHOD(get_location)(IHTMLLocation **p) override;
  STDMETHOD(put_name)(BSTR v) override;
  STDMETHOD(get_name)(BSTR *p) override;
  STDMETHOD(get_parent)(IHTMLWindow2 **p) override;
  STDMETHOD(get_self)(IHTMLWindow2 **p) override;
  STDMETHOD(get_top)(IHTMLWindow2 **p) override;
  STDMETHOD(get_window)(IHTMLWindow2 **p) override;
  STDMETHOD(get_document)(IHTMLDocument2 **p) override;
  STDMETHOD(scrollBy)(LONG x, LONG y) override;
  STDMETHOD(scrollTo)(LONG x, LONG y) override;
  STDMETHOD(get_event)(IHTMLEventObj **p) override;
  STDMETHOD(get_closed)(VARIANT_BOOL *p) override;
  STDMETHOD(toString)(BSTR *String) override;
  STDMETHOD(setTimeout)(BSTR expression, LONG msec, VARIANT *language, LONG *timerID) override;
  STDMETHOD(clearTimeout)(LONG timerID) override;
  STDMETHOD(setInterval)(BSTR expression, LONG msec, VARIANT *language, LONG *timerID) override;
  STDMETHOD(clearInterval)(LONG timerID) override;
  STDMETHOD(execScript)(BSTR code, BSTR language, VARIANT *pvarRet) override;

private:
  std::vector<Node *> FrameElements() const;
  bool IsTop() const;
  Page *page_;
  PageDocument *document_;
  std::wstring status_;
};

} // namespace tallowick::page
