// Text ranges over the text of their scope.
#include <windows.h>

#include <algorithm>
#include <cwctype>

#include "page/ObjectSupport.h"
#include "page/PageObjects.h"
#include "tallowick/Strings.h"

namespace tallowick::page {

using platform::EqualsNoCase;
using support::Bool;
using support::Publish;
using support::Text;

namespace {

// A range over the text of its scope (the body): character offsets into the
// scope's innerText, which is what IE's ranges select and compare.
class TextRange final : public StubIHTMLTxtRange {
public:
  TextRange(Page *page, std::shared_ptr<Node> scope) : page_(page), scope_(std::move(scope)) {
    end_ = Text().size();
  }
  using Self = TextRange;
  STDMETHOD(QueryInterface)(REFIID riid, void **ppv) override {
    return AnswerQuery(riid, ppv,
                       {{&IID_ITallowickTextRange, this}, {&IID_ITallowickPageObject, page_.get()}},
                       Find(riid));
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

HRESULT NewTextRange(Page *page, std::shared_ptr<Node> scope, IHTMLTxtRange **out) {
  if (!out)
    return E_POINTER;
  *out = nullptr;
  return Guarded([&] { return Publish(new TextRange(page, std::move(scope)), out); });
}

} // namespace tallowick::page
