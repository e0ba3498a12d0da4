// The event object handed to event handlers.
#include <windows.h>

#include "page/ObjectSupport.h"
#include "page/PageObjects.h"

namespace tallowick::page {

using support::Bool;
using support::Long;
using support::Publish;

namespace {

// IHTMLEventObj and the writable IHTMLEventObj2 (for events made with
// createEventObject): both tables share one set of values.
class EventObject final : public StubIHTMLEventObj, public StubIHTMLEventObj2 {
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
    if (IsEqualIID(riid, IID_IHTMLEventObj2))
      return static_cast<IHTMLEventObj2 *>(this);
    return nullptr;
  }
  std::span<const std::span<const Member<EventObject>>> Tables() const;
  HRESULT FindDynamic(const std::wstring &, DISPID *) { return DISP_E_UNKNOWNNAME; }
  HRESULT InvokeDynamic(DISPID, WORD, DISPPARAMS *, VARIANT *) { return DISP_E_MEMBERNOTFOUND; }

  STDMETHOD(get_srcElement)(IHTMLElement **p) override { return WrapNodeAs(source_.get(), p); }
  STDMETHOD(get_altKey)(VARIANT_BOOL *p) override { return Bool(altKey_, p); }
  STDMETHOD(get_ctrlKey)(VARIANT_BOOL *p) override { return Bool(ctrlKey_, p); }
  STDMETHOD(get_shiftKey)(VARIANT_BOOL *p) override { return Bool(shiftKey_, p); }
  STDMETHOD(put_altKey)(VARIANT_BOOL v) override { return altKey_ = v != VARIANT_FALSE, S_OK; }
  STDMETHOD(put_ctrlKey)(VARIANT_BOOL v) override { return ctrlKey_ = v != VARIANT_FALSE, S_OK; }
  STDMETHOD(put_shiftKey)(VARIANT_BOOL v) override { return shiftKey_ = v != VARIANT_FALSE, S_OK; }
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
  STDMETHOD(get_button)(LONG *p) override { return Long(button_, p); }
  STDMETHOD(put_button)(LONG v) override { return button_ = v, S_OK; }
  STDMETHOD(get_type)(BSTR *p) override { return ToBstr(type_, p); }
  STDMETHOD(get_qualifier)(BSTR *p) override { return ToBstr(L"", p); }
  STDMETHOD(get_reason)(LONG *p) override { return Long(0, p); }
  STDMETHOD(get_x)(LONG *p) override { return Long(x_, p); }
  STDMETHOD(get_y)(LONG *p) override { return Long(y_, p); }
  STDMETHOD(put_x)(LONG v) override { return x_ = v, S_OK; }
  STDMETHOD(put_y)(LONG v) override { return y_ = v, S_OK; }
  STDMETHOD(get_clientX)(LONG *p) override { return Long(clientX_, p); }
  STDMETHOD(get_clientY)(LONG *p) override { return Long(clientY_, p); }
  STDMETHOD(put_clientX)(LONG v) override { return clientX_ = v, S_OK; }
  STDMETHOD(put_clientY)(LONG v) override { return clientY_ = v, S_OK; }
  STDMETHOD(get_offsetX)(LONG *p) override { return Long(0, p); }
  STDMETHOD(get_offsetY)(LONG *p) override { return Long(0, p); }
  STDMETHOD(get_screenX)(LONG *p) override { return Long(screenX_, p); }
  STDMETHOD(get_screenY)(LONG *p) override { return Long(screenY_, p); }
  STDMETHOD(put_screenX)(LONG v) override { return screenX_ = v, S_OK; }
  STDMETHOD(put_screenY)(LONG v) override { return screenY_ = v, S_OK; }
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
  LONG button_ = 0;
  LONG x_ = 0;
  LONG y_ = 0;
  LONG clientX_ = 0;
  LONG clientY_ = 0;
  LONG screenX_ = 0;
  LONG screenY_ = 0;
  bool altKey_ = false;
  bool ctrlKey_ = false;
  bool shiftKey_ = false;
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
    PAGE_GET(IHTMLEventObj, screenX),
    PAGE_GET(IHTMLEventObj, screenY),
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
