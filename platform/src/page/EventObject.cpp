// The event object handed to event handlers.
#include <windows.h>

#include "page/ObjectSupport.h"
#include "page/PageObjects.h"

namespace tallowick::page {

using support::Bool;
using support::Long;
using support::Publish;

namespace {

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

} // namespace

HRESULT NewEventObject(Page *page, std::shared_ptr<Node> source, const std::wstring &type,
                       IHTMLEventObj **out) {
  if (!out)
    return E_POINTER;
  *out = nullptr;
  return Guarded([&] { return Publish(new EventObject(page, std::move(source), type), out); });
}

} // namespace tallowick::page
