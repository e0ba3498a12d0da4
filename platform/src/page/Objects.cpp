// The page's small objects: rectangles, locations, event objects, attribute
// nodes and text ranges.
#include <windows.h>

#include <algorithm>
#include <cwctype>

#include "common/Strings.h"
#include "page/PageObjects.h"

namespace tallowick::page {

using platform::EqualsNoCase;

namespace {

std::wstring Text(BSTR value) { return value ? std::wstring(value, SysStringLen(value)) : L""; }

HRESULT Long(LONG value, LONG *p) {
  if (!p)
    return E_POINTER;
  *p = value;
  return S_OK;
}

HRESULT Bool(bool value, VARIANT_BOOL *p) {
  if (!p)
    return E_POINTER;
  *p = value ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

template <class T, class I> HRESULT Publish(T *object, I **out) {
  object->AddRef();
  *out = object;
  return S_OK;
}

// --- rectangles ---

class Rect final : public StubIHTMLRect {
public:
  Rect(Page *page, LONG left, LONG top, LONG right, LONG bottom)
      : page_(page), left_(left), top_(top), right_(right), bottom_(bottom) {}
  using Self = Rect;
  PAGE_IUNKNOWN
  PAGE_IDISPATCH
  void *Find(REFIID riid) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, IID_IHTMLRect))
      return static_cast<IHTMLRect *>(this);
    return nullptr;
  }
  std::span<const std::span<const Member<Rect>>> Tables() const;
  HRESULT FindDynamic(const std::wstring &, DISPID *) { return DISP_E_UNKNOWNNAME; }
  HRESULT InvokeDynamic(DISPID, WORD, DISPPARAMS *, VARIANT *) { return DISP_E_MEMBERNOTFOUND; }

  STDMETHOD(put_left)(LONG v) override { return left_ = v, S_OK; }
  STDMETHOD(get_left)(LONG *p) override { return Long(left_, p); }
  STDMETHOD(put_top)(LONG v) override { return top_ = v, S_OK; }
  STDMETHOD(get_top)(LONG *p) override { return Long(top_, p); }
  STDMETHOD(put_right)(LONG v) override { return right_ = v, S_OK; }
  STDMETHOD(get_right)(LONG *p) override { return Long(right_, p); }
  STDMETHOD(put_bottom)(LONG v) override { return bottom_ = v, S_OK; }
  STDMETHOD(get_bottom)(LONG *p) override { return Long(bottom_, p); }

private:
  std::atomic<ULONG> refs_{0};
  PageRef page_;
  LONG left_, top_, right_, bottom_;
};

constexpr Member<Rect> kRectMembers[] = {
#define Self Rect
    PAGE_PROP(IHTMLRect, left),
    PAGE_PROP(IHTMLRect, top),
    PAGE_PROP(IHTMLRect, right),
    PAGE_PROP(IHTMLRect, bottom),
#undef Self
};
constexpr std::span<const Member<Rect>> kRectTables[] = {kRectMembers};
std::span<const std::span<const Member<Rect>>> Rect::Tables() const { return kRectTables; }

// --- locations ---

struct UrlParts {
  std::wstring protocol, host, hostname, port, pathname, search, hash;
};

UrlParts SplitUrl(const std::wstring &url) {
  UrlParts parts;
  std::wstring rest = url;
  size_t hash = rest.find(L'#');
  if (hash != std::wstring::npos) {
    parts.hash = rest.substr(hash);
    rest.resize(hash);
  }
  size_t query = rest.find(L'?');
  if (query != std::wstring::npos) {
    parts.search = rest.substr(query);
    rest.resize(query);
  }
  size_t colon = rest.find(L':');
  if (colon == std::wstring::npos)
    return parts;
  parts.protocol = rest.substr(0, colon + 1);
  rest = rest.substr(colon + 1);
  if (rest.starts_with(L"//")) {
    size_t slash = rest.find(L'/', 2);
    parts.host = rest.substr(2, slash == std::wstring::npos ? slash : slash - 2);
    rest = slash == std::wstring::npos ? L"/" : rest.substr(slash);
    size_t port = parts.host.rfind(L':');
    parts.hostname = parts.host.substr(0, port);
    if (port != std::wstring::npos)
      parts.port = parts.host.substr(port + 1);
  }
  parts.pathname = rest;
  return parts;
}

class Location final : public StubIHTMLLocation {
public:
  Location(Page *page, PageDocument *document)
      : page_(page), document_(document->shared_from_this()) {}
  using Self = Location;
  PAGE_IUNKNOWN
  PAGE_IDISPATCH
  void *Find(REFIID riid) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, IID_IHTMLLocation))
      return static_cast<IHTMLLocation *>(this);
    return nullptr;
  }
  std::span<const std::span<const Member<Location>>> Tables() const;
  HRESULT FindDynamic(const std::wstring &, DISPID *) { return DISP_E_UNKNOWNNAME; }
  HRESULT InvokeDynamic(DISPID id, WORD flags, DISPPARAMS *, VARIANT *result) {
    if (id != DISPID_VALUE || (flags & DISPATCH_PROPERTYPUT))
      return DISP_E_MEMBERNOTFOUND;
    Out<BSTR> href;
    HRESULT hr = get_href(href.Get());
    if (SUCCEEDED(hr))
      href.Deliver(result);
    return hr;
  }

  HRESULT Part(std::wstring UrlParts::*part, BSTR *p) {
    if (!p)
      return E_POINTER;
    return Guarded([&] { return ToBstr(SplitUrl(document_->url).*part, p); });
  }
  HRESULT Navigate(BSTR url) {
    return Guarded([&] {
      page_->Fire(L"navigate", nullptr, document_->ResolveUrl(Text(url)));
      return S_OK;
    });
  }

  STDMETHOD(put_href)(BSTR v) override { return Navigate(v); }
  STDMETHOD(get_href)(BSTR *p) override { return ToBstr(document_->url, p); }
  STDMETHOD(get_protocol)(BSTR *p) override { return Part(&UrlParts::protocol, p); }
  STDMETHOD(get_host)(BSTR *p) override { return Part(&UrlParts::host, p); }
  STDMETHOD(get_hostname)(BSTR *p) override { return Part(&UrlParts::hostname, p); }
  STDMETHOD(get_port)(BSTR *p) override { return Part(&UrlParts::port, p); }
  STDMETHOD(get_pathname)(BSTR *p) override { return Part(&UrlParts::pathname, p); }
  STDMETHOD(get_search)(BSTR *p) override { return Part(&UrlParts::search, p); }
  STDMETHOD(get_hash)(BSTR *p) override { return Part(&UrlParts::hash, p); }
  STDMETHOD(reload)(VARIANT_BOOL) override {
    return Guarded([&] {
      page_->Fire(L"navigate", nullptr, document_->url);
      return S_OK;
    });
  }
  STDMETHOD(replace)(BSTR url) override { return Navigate(url); }
  STDMETHOD(assign)(BSTR url) override { return Navigate(url); }
  STDMETHOD(toString)(BSTR *p) override { return get_href(p); }

private:
  std::atomic<ULONG> refs_{0};
  PageRef page_;
  std::shared_ptr<PageDocument> document_;
};

constexpr Member<Location> kLocationMembers[] = {
#define Self Location
    PAGE_PROP(IHTMLLocation, href),     PAGE_GET(IHTMLLocation, protocol),
    PAGE_GET(IHTMLLocation, host),      PAGE_GET(IHTMLLocation, hostname),
    PAGE_GET(IHTMLLocation, port),      PAGE_GET(IHTMLLocation, pathname),
    PAGE_GET(IHTMLLocation, search),    PAGE_GET(IHTMLLocation, hash),
    PAGE_METHOD(IHTMLLocation, reload), PAGE_METHOD(IHTMLLocation, replace),
    PAGE_METHOD(IHTMLLocation, assign), PAGE_METHOD(IHTMLLocation, toString),
#undef Self
};
constexpr std::span<const Member<Location>> kLocationTables[] = {kLocationMembers};
std::span<const std::span<const Member<Location>>> Location::Tables() const {
  return kLocationTables;
}

// --- event objects ---

class EventObject final : public StubIHTMLEventObj {
public:
  EventObject(Page *page, std::shared_ptr<Node> source, std::wstring type)
      : page_(page), source_(std::move(source)), type_(std::move(type)) {}
  using Self = EventObject;
  PAGE_IUNKNOWN
  PAGE_IDISPATCH
  void *Find(REFIID riid) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, IID_IHTMLEventObj))
      return static_cast<IHTMLEventObj *>(this);
    return nullptr;
  }
  std::span<const std::span<const Member<EventObject>>> Tables() const;
  HRESULT FindDynamic(const std::wstring &, DISPID *) { return DISP_E_UNKNOWNNAME; }
  HRESULT InvokeDynamic(DISPID, WORD, DISPPARAMS *, VARIANT *) { return DISP_E_MEMBERNOTFOUND; }

  STDMETHOD(get_srcElement)(IHTMLElement **p) override { return WrapNodeAs(source_.get(), p); }
  STDMETHOD(get_altKey)(VARIANT_BOOL *p) override { return Bool(false, p); }
  STDMETHOD(get_ctrlKey)(VARIANT_BOOL *p) override { return Bool(false, p); }
  STDMETHOD(get_shiftKey)(VARIANT_BOOL *p) override { return Bool(false, p); }
  STDMETHOD(put_returnValue)(VARIANT v) override { return VariantCopyInd(&returnValue_.v, &v); }
  STDMETHOD(get_returnValue)(VARIANT *p) override {
    if (!p)
      return E_POINTER;
    VariantInit(p);
    return VariantCopy(p, &returnValue_.v);
  }
  STDMETHOD(put_cancelBubble)(VARIANT_BOOL v) override { return cancelBubble_ = v, S_OK; }
  STDMETHOD(get_cancelBubble)(VARIANT_BOOL *p) override { return Bool(cancelBubble_, p); }
  STDMETHOD(get_fromElement)(IHTMLElement **p) override {
    return WrapNodeAs<IHTMLElement>(nullptr, p);
  }
  STDMETHOD(get_toElement)(IHTMLElement **p) override {
    return WrapNodeAs<IHTMLElement>(nullptr, p);
  }
  STDMETHOD(put_keyCode)(LONG v) override { return keyCode_ = v, S_OK; }
  STDMETHOD(get_keyCode)(LONG *p) override { return Long(keyCode_, p); }
  STDMETHOD(get_button)(LONG *p) override { return Long(0, p); }
  STDMETHOD(get_type)(BSTR *p) override { return ToBstr(type_, p); }
  STDMETHOD(get_qualifier)(BSTR *p) override { return ToBstr(L"", p); }
  STDMETHOD(get_reason)(LONG *p) override { return Long(0, p); }
  STDMETHOD(get_x)(LONG *p) override { return Long(0, p); }
  STDMETHOD(get_y)(LONG *p) override { return Long(0, p); }
  STDMETHOD(get_clientX)(LONG *p) override { return Long(0, p); }
  STDMETHOD(get_clientY)(LONG *p) override { return Long(0, p); }
  STDMETHOD(get_offsetX)(LONG *p) override { return Long(0, p); }
  STDMETHOD(get_offsetY)(LONG *p) override { return Long(0, p); }
  STDMETHOD(get_screenX)(LONG *p) override { return Long(0, p); }
  STDMETHOD(get_screenY)(LONG *p) override { return Long(0, p); }
  STDMETHOD(get_srcFilter)(IDispatch **p) override {
    if (!p)
      return E_POINTER;
    *p = nullptr;
    return S_OK;
  }

private:
  std::atomic<ULONG> refs_{0};
  PageRef page_;
  std::shared_ptr<Node> source_;
  std::wstring type_;
  Var returnValue_;
  VARIANT_BOOL cancelBubble_ = VARIANT_FALSE;
  LONG keyCode_ = 0;
};

constexpr Member<EventObject> kEventMembers[] = {
#define Self EventObject
    PAGE_GET(IHTMLEventObj, srcElement),
    PAGE_GET(IHTMLEventObj, altKey),
    PAGE_GET(IHTMLEventObj, ctrlKey),
    PAGE_GET(IHTMLEventObj, shiftKey),
    PAGE_PROP(IHTMLEventObj, returnValue),
    PAGE_PROP(IHTMLEventObj, cancelBubble),
    PAGE_GET(IHTMLEventObj, fromElement),
    PAGE_GET(IHTMLEventObj, toElement),
    PAGE_PROP(IHTMLEventObj, keyCode),
    PAGE_GET(IHTMLEventObj, button),
    PAGE_GET(IHTMLEventObj, type),
    PAGE_GET(IHTMLEventObj, x),
    PAGE_GET(IHTMLEventObj, y),
    PAGE_GET(IHTMLEventObj, clientX),
    PAGE_GET(IHTMLEventObj, clientY),
#undef Self
};
constexpr std::span<const Member<EventObject>> kEventTables[] = {kEventMembers};
std::span<const std::span<const Member<EventObject>>> EventObject::Tables() const {
  return kEventTables;
}

// --- attribute nodes ---

class DomAttribute final : public StubIHTMLDOMAttribute {
public:
  DomAttribute(Page *page, std::shared_ptr<Node> node, std::wstring name)
      : page_(page), node_(std::move(node)), name_(std::move(name)) {}
  using Self = DomAttribute;
  PAGE_IUNKNOWN
  PAGE_IDISPATCH
  void *Find(REFIID riid) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, IID_IHTMLDOMAttribute))
      return static_cast<IHTMLDOMAttribute *>(this);
    return nullptr;
  }
  std::span<const std::span<const Member<DomAttribute>>> Tables() const;
  HRESULT FindDynamic(const std::wstring &, DISPID *) { return DISP_E_UNKNOWNNAME; }
  HRESULT InvokeDynamic(DISPID, WORD, DISPPARAMS *, VARIANT *) { return DISP_E_MEMBERNOTFOUND; }

  STDMETHOD(get_nodeName)(BSTR *p) override {
    const Attribute *attr = node_->FindAttribute(name_);
    return ToBstr(attr ? attr->name : name_, p);
  }
  STDMETHOD(put_nodeValue)(VARIANT v) override {
    return Guarded([&] {
      node_->SetAttribute(name_, VariantText(v), false);
      return S_OK;
    });
  }
  STDMETHOD(get_nodeValue)(VARIANT *p) override {
    if (!p)
      return E_POINTER;
    VariantInit(p);
    return Guarded([&] {
      const Attribute *attr = node_->FindAttribute(name_);
      if (!attr)
        p->vt = VT_NULL;
      else
        ToVariant(AllocBstr(attr->value), p);
      return S_OK;
    });
  }
  STDMETHOD(get_specified)(VARIANT_BOOL *p) override {
    return Bool(node_->FindAttribute(name_) != nullptr, p);
  }

private:
  std::atomic<ULONG> refs_{0};
  PageRef page_;
  std::shared_ptr<Node> node_;
  std::wstring name_;
};

constexpr Member<DomAttribute> kAttributeMembers[] = {
#define Self DomAttribute
    PAGE_GET(IHTMLDOMAttribute, nodeName),
    PAGE_PROP(IHTMLDOMAttribute, nodeValue),
    PAGE_GET(IHTMLDOMAttribute, specified),
#undef Self
};
constexpr std::span<const Member<DomAttribute>> kAttributeTables[] = {kAttributeMembers};
std::span<const std::span<const Member<DomAttribute>>> DomAttribute::Tables() const {
  return kAttributeTables;
}

// --- text ranges ---

// A range over the text of its scope (the body): character offsets into the
// scope's innerText, which is what IE's ranges select and compare.
class TextRange final : public StubIHTMLTxtRange {
public:
  TextRange(Page *page, std::shared_ptr<Node> scope) : page_(page), scope_(std::move(scope)) {
    end_ = Text().size();
  }
  using Self = TextRange;
  STDMETHOD(QueryInterface)(REFIID riid, void **ppv) override {
    if (!ppv)
      return E_POINTER;
    if (IsEqualIID(riid, IID_ITallowickTextRange)) {
      *ppv = this;
      return S_OK;
    }
    *ppv = Find(riid);
    if (!*ppv)
      return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  PAGE_REFCOUNT
  PAGE_IDISPATCH
  void *Find(REFIID riid) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, IID_IHTMLTxtRange))
      return static_cast<IHTMLTxtRange *>(this);
    return nullptr;
  }
  std::span<const std::span<const Member<TextRange>>> Tables() const;
  HRESULT FindDynamic(const std::wstring &, DISPID *) { return DISP_E_UNKNOWNNAME; }
  HRESULT InvokeDynamic(DISPID, WORD, DISPPARAMS *, VARIANT *) { return DISP_E_MEMBERNOTFOUND; }

  std::wstring Text(std::vector<TextSpan> *spans = nullptr) const {
    return InnerText(*scope_, spans);
  }
  void Clamp() {
    size_t size = Text().size();
    end_ = std::min(end_, size);
    start_ = std::min(start_, end_);
  }
  // Only ranges of this engine can be compared with one another.
  static TextRange *Of(IHTMLTxtRange *range) {
    void *found = nullptr;
    if (!range || FAILED(range->QueryInterface(IID_ITallowickTextRange, &found)))
      return nullptr;
    return static_cast<TextRange *>(found);
  }

  STDMETHOD(get_htmlText)(BSTR *p) override {
    IHTMLElement *parent = nullptr;
    HRESULT hr = parentElement(&parent);
    if (FAILED(hr) || !parent)
      return FAILED(hr) ? hr : ToBstr(L"", p);
    hr = parent->get_outerHTML(p);
    parent->Release();
    return hr;
  }
  STDMETHOD(put_text)(BSTR) override { return E_NOTIMPL; }
  STDMETHOD(get_text)(BSTR *p) override {
    if (!p)
      return E_POINTER;
    return Guarded([&] {
      Clamp();
      return ToBstr(Text().substr(start_, end_ - start_), p);
    });
  }
  STDMETHOD(parentElement)(IHTMLElement **p) override {
    if (!p)
      return E_POINTER;
    *p = nullptr;
    return Guarded([&] {
      std::vector<TextSpan> spans;
      Text(&spans);
      const Node *best = scope_.get();
      for (const TextSpan &span : spans) // later spans are deeper or later
        if (span.begin <= start_ && end_ <= span.end && best->Contains(span.element))
          best = span.element;
      return WrapNodeAs(const_cast<Node *>(best), p);
    });
  }
  STDMETHOD(duplicate)(IHTMLTxtRange **p) override {
    if (!p)
      return E_POINTER;
    *p = nullptr;
    return Guarded([&] {
      auto *copy = new TextRange(page_.get(), scope_);
      copy->start_ = start_;
      copy->end_ = end_;
      return Publish(copy, p);
    });
  }
  STDMETHOD(inRange)(IHTMLTxtRange *range, VARIANT_BOOL *p) override {
    TextRange *other = Of(range);
    if (!other)
      return E_INVALIDARG;
    return Bool(start_ <= other->start_ && other->end_ <= end_, p);
  }
  STDMETHOD(isEqual)(IHTMLTxtRange *range, VARIANT_BOOL *p) override {
    TextRange *other = Of(range);
    if (!other)
      return E_INVALIDARG;
    return Bool(start_ == other->start_ && end_ == other->end_, p);
  }
  STDMETHOD(scrollIntoView)(VARIANT_BOOL) override { return S_OK; }
  STDMETHOD(collapse)(VARIANT_BOOL toStart) override {
    if (toStart)
      end_ = start_;
    else
      start_ = end_;
    return S_OK;
  }
  STDMETHOD(expand)(BSTR unit, VARIANT_BOOL *success) override {
    return Guarded([&]() -> HRESULT {
      std::wstring text = Text();
      Clamp();
      size_t start = start_, end = end_;
      std::wstring what = page::Text(unit);
      if (EqualsNoCase(what, L"character")) {
        if (end == start && end < text.size())
          ++end;
      } else if (EqualsNoCase(what, L"word")) {
        while (start > 0 && !std::iswspace(text[start - 1]))
          --start;
        while (end < text.size() && !std::iswspace(text[end]))
          ++end;
        while (end < text.size() && text[end] == L' ') // a word takes its trailing space
          ++end;
      } else if (EqualsNoCase(what, L"sentence")) {
        auto isEnd = [](wchar_t c) { return c == L'.' || c == L'!' || c == L'?' || c == L'\n'; };
        while (start > 0 && !isEnd(text[start - 1]))
          --start;
        while (end < text.size() && !isEnd(text[end]))
          ++end;
        if (end < text.size())
          ++end;
      } else if (EqualsNoCase(what, L"textedit")) {
        start = 0;
        end = text.size();
      } else {
        return E_INVALIDARG;
      }
      bool changed = start != start_ || end != end_;
      start_ = start;
      end_ = end;
      return success ? Bool(changed, success) : S_OK;
    });
  }
  STDMETHOD(move)(BSTR unit, LONG count, LONG *actual) override {
    HRESULT hr = moveStart(unit, count, actual);
    end_ = start_;
    return hr;
  }
  HRESULT MovePoint(size_t &point, BSTR unit, LONG count, LONG *actual) {
    if (!EqualsNoCase(page::Text(unit), L"character"))
      return E_NOTIMPL;
    long size = static_cast<long>(Text().size());
    long target = std::clamp(static_cast<long>(point) + count, 0L, size);
    if (actual)
      *actual = static_cast<LONG>(target - static_cast<long>(point));
    point = static_cast<size_t>(target);
    return S_OK;
  }
  STDMETHOD(moveStart)(BSTR unit, LONG count, LONG *actual) override {
    return Guarded([&] {
      HRESULT hr = MovePoint(start_, unit, count, actual);
      end_ = std::max(end_, start_);
      return hr;
    });
  }
  STDMETHOD(moveEnd)(BSTR unit, LONG count, LONG *actual) override {
    return Guarded([&] {
      HRESULT hr = MovePoint(end_, unit, count, actual);
      start_ = std::min(start_, end_);
      return hr;
    });
  }
  STDMETHOD(select)() override { return S_OK; }
  STDMETHOD(moveToElementText)(IHTMLElement *element) override {
    Node *node = NodeOf(element);
    if (!node || !scope_->Contains(node))
      return E_INVALIDARG;
    return Guarded([&]() -> HRESULT {
      if (node == scope_.get()) {
        start_ = 0;
        end_ = Text().size();
        return S_OK;
      }
      std::vector<TextSpan> spans;
      Text(&spans);
      for (const TextSpan &span : spans)
        if (span.element == node) {
          start_ = span.begin;
          end_ = span.end;
          return S_OK;
        }
      // An element without text (hidden, empty): an empty range where it stands.
      start_ = end_ = 0;
      return S_OK;
    });
  }
  STDMETHOD(setEndPoint)(BSTR how, IHTMLTxtRange *range) override {
    TextRange *other = Of(range);
    if (!other)
      return E_INVALIDARG;
    size_t *mine = nullptr;
    size_t theirs = 0;
    if (!Points(page::Text(how), &mine, other, &theirs))
      return E_INVALIDARG;
    *mine = theirs;
    if (start_ > end_) {
      if (mine == &start_)
        end_ = start_;
      else
        start_ = end_;
    }
    return S_OK;
  }
  STDMETHOD(compareEndPoints)(BSTR how, IHTMLTxtRange *range, LONG *ret) override {
    if (!ret)
      return E_POINTER;
    TextRange *other = Of(range);
    if (!other)
      return E_INVALIDARG;
    size_t *mine = nullptr;
    size_t theirs = 0;
    if (!Points(page::Text(how), &mine, other, &theirs))
      return E_INVALIDARG;
    *ret = *mine < theirs ? -1 : (*mine > theirs ? 1 : 0);
    return S_OK;
  }
  STDMETHOD(findText)(BSTR string, LONG count, LONG flags, VARIANT_BOOL *success) override {
    return Guarded([&] {
      std::wstring wanted = page::Text(string);
      std::wstring text = Text();
      bool matchCase = flags & 4;
      auto fold = [&](std::wstring s) {
        if (!matchCase)
          for (auto &c : s)
            c = platform::FoldCase(c);
        return s;
      };
      std::wstring haystack = fold(text), needle = fold(wanted);
      size_t at = std::wstring::npos;
      if (!needle.empty())
        at = count >= 0 ? haystack.find(needle, start_) : haystack.rfind(needle, end_);
      if (at != std::wstring::npos) {
        start_ = at;
        end_ = at + needle.size();
      }
      return success ? Bool(at != std::wstring::npos, success) : S_OK;
    });
  }

private:
  bool Points(const std::wstring &how, size_t **mine, TextRange *other, size_t *theirs) {
    bool startFirst = EqualsNoCase(how, L"StartToStart") || EqualsNoCase(how, L"StartToEnd");
    bool startSecond = EqualsNoCase(how, L"StartToStart") || EqualsNoCase(how, L"EndToStart");
    if (!EqualsNoCase(how, L"StartToStart") && !EqualsNoCase(how, L"StartToEnd") &&
        !EqualsNoCase(how, L"EndToStart") && !EqualsNoCase(how, L"EndToEnd"))
      return false;
    *mine = startFirst ? &start_ : &end_;
    *theirs = startSecond ? other->start_ : other->end_;
    return true;
  }

  std::atomic<ULONG> refs_{0};
  PageRef page_;
  std::shared_ptr<Node> scope_;
  size_t start_ = 0, end_ = 0;
};

constexpr Member<TextRange> kRangeMembers[] = {
#define Self TextRange
    PAGE_GET(IHTMLTxtRange, htmlText),          PAGE_PROP(IHTMLTxtRange, text),
    PAGE_METHOD(IHTMLTxtRange, parentElement),  PAGE_METHOD(IHTMLTxtRange, duplicate),
    PAGE_METHOD(IHTMLTxtRange, inRange),        PAGE_METHOD(IHTMLTxtRange, isEqual),
    PAGE_METHOD(IHTMLTxtRange, scrollIntoView), PAGE_METHOD(IHTMLTxtRange, collapse),
    PAGE_METHOD(IHTMLTxtRange, expand),         PAGE_METHOD(IHTMLTxtRange, move),
    PAGE_METHOD(IHTMLTxtRange, moveStart),      PAGE_METHOD(IHTMLTxtRange, moveEnd),
    PAGE_METHOD(IHTMLTxtRange, select),         PAGE_METHOD(IHTMLTxtRange, moveToElementText),
    PAGE_METHOD(IHTMLTxtRange, setEndPoint),    PAGE_METHOD(IHTMLTxtRange, compareEndPoints),
    PAGE_METHOD(IHTMLTxtRange, findText),
#undef Self
};
constexpr std::span<const Member<TextRange>> kRangeTables[] = {kRangeMembers};
std::span<const std::span<const Member<TextRange>>> TextRange::Tables() const {
  return kRangeTables;
}

} // namespace

HRESULT NewRect(Page *page, LONG left, LONG top, LONG right, LONG bottom, IHTMLRect **out) {
  if (!out)
    return E_POINTER;
  *out = nullptr;
  return Guarded([&] { return Publish(new Rect(page, left, top, right, bottom), out); });
}

HRESULT NewLocation(Page *page, PageDocument *document, IHTMLLocation **out) {
  if (!out)
    return E_POINTER;
  *out = nullptr;
  return Guarded([&] { return Publish(new Location(page, document), out); });
}

HRESULT NewEventObject(Page *page, std::shared_ptr<Node> source, const std::wstring &type,
                       IHTMLEventObj **out) {
  if (!out)
    return E_POINTER;
  *out = nullptr;
  return Guarded([&] { return Publish(new EventObject(page, std::move(source), type), out); });
}

HRESULT NewTextRange(Page *page, std::shared_ptr<Node> scope, IHTMLTxtRange **out) {
  if (!out)
    return E_POINTER;
  *out = nullptr;
  return Guarded([&] { return Publish(new TextRange(page, std::move(scope)), out); });
}

HRESULT NewDomAttribute(Page *page, std::shared_ptr<Node> node, const std::wstring &name,
                        IHTMLDOMAttribute **out) {
  if (!out)
    return E_POINTER;
  *out = nullptr;
  return Guarded([&] { return Publish(new DomAttribute(page, std::move(node), name), out); });
}

} // namespace tallowick::page
