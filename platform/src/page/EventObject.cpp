// The event object: window.event while an event is dispatched, and what
// createEventObject answers. Every member can be set and read (IHTMLEventObj2),
// and script or C++ may add members of their own (srcNode, treeNodeIndex, ...).
#include <windows.h>

#include <map>

#include "page/ObjectSupport.h"
#include "page/PageObjects.h"
#include "tallowick/Strings.h"

namespace tallowick::page {

using support::Bool;
using support::Long;
using support::Publish;
using support::Text;

namespace {

std::wstring Folded(const std::wstring &name) {
  std::wstring key;
  for (wchar_t c : name)
    key += platform::FoldCase(c);
  return key;
}

class EventObject final : public StubIHTMLEventObj, public StubIHTMLEventObj2, public ExpandoHost {
public:
  EventObject(Page *page, std::shared_ptr<Node> source, std::wstring type)
      : page_(page), source_(std::move(source)), type_(std::move(type)) {}
  using Self = EventObject;
  STDMETHOD(QueryInterface)(REFIID riid, void **ppv) override {
    return AnswerQuery(riid, ppv,
                       {{&IID_ITallowickPageObject, page_.get()},
                        {&IID_ITallowickExpandoHost, static_cast<ExpandoHost *>(this)}},
                       Find(riid));
  }
  PAGE_REFCOUNT
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
  HRESULT FindDynamic(const std::wstring &name, DISPID *id) {
    if (!expandos_.count(Folded(name)))
      return DISP_E_UNKNOWNNAME;
    *id = page_->ExpandoId(name);
    return S_OK;
  }
  HRESULT InvokeDynamic(DISPID id, WORD flags, DISPPARAMS *params, VARIANT *result) {
    const std::wstring *name = page_->ExpandoName(id);
    if (!name)
      return DISP_E_MEMBERNOTFOUND;
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
      if (params->cArgs < 1)
        return DISP_E_BADPARAMCOUNT;
      return PutExpando(*name, params->rgvarg[0]);
    }
    auto found = expandos_.find(Folded(*name));
    if (found == expandos_.end())
      return DISP_E_MEMBERNOTFOUND;
    return result ? VariantCopy(result, &found->second->v) : S_OK;
  }
  HRESULT PutExpando(const std::wstring &name, const VARIANT &value) override {
    return Guarded([&] {
      auto slot = std::make_shared<Var>();
      HRESULT hr = VariantCopyInd(&slot->v, const_cast<VARIANT *>(&value));
      if (SUCCEEDED(hr))
        expandos_[Folded(name)] = slot;
      return hr;
    });
  }

  // IHTMLEventObj2 attributes: the expandos by name.
  STDMETHOD(setAttribute)(BSTR name, VARIANT value, LONG) override {
    if (!name)
      return E_INVALIDARG;
    return PutExpando(Text(name), value);
  }
  STDMETHOD(getAttribute)(BSTR name, LONG, VARIANT *value) override {
    if (!value)
      return E_POINTER;
    VariantInit(value);
    auto found = expandos_.find(Folded(Text(name)));
    if (found == expandos_.end()) {
      value->vt = VT_NULL;
      return S_OK;
    }
    return VariantCopy(value, &found->second->v);
  }
  STDMETHOD(removeAttribute)(BSTR name, LONG, VARIANT_BOOL *success) override {
    bool removed = expandos_.erase(Folded(Text(name))) > 0;
    return success ? Bool(removed, success) : S_OK;
  }

  STDMETHOD(putref_srcElement)(IHTMLElement *v) override {
    Node *node = NodeOf(v);
    source_ = node ? node->shared_from_this() : nullptr;
    return S_OK;
  }
  STDMETHOD(get_srcElement)(IHTMLElement **p) override { return WrapNodeAs(source_.get(), p); }
  STDMETHOD(putref_fromElement)(IHTMLElement *v) override { return Keep(v, from_); }
  STDMETHOD(get_fromElement)(IHTMLElement **p) override { return WrapNodeAs(from_.get(), p); }
  STDMETHOD(putref_toElement)(IHTMLElement *v) override { return Keep(v, to_); }
  STDMETHOD(get_toElement)(IHTMLElement **p) override { return WrapNodeAs(to_.get(), p); }
  STDMETHOD(put_altKey)(VARIANT_BOOL v) override { return altKey_ = v, S_OK; }
  STDMETHOD(get_altKey)(VARIANT_BOOL *p) override { return Bool(altKey_, p); }
  STDMETHOD(put_ctrlKey)(VARIANT_BOOL v) override { return ctrlKey_ = v, S_OK; }
  STDMETHOD(get_ctrlKey)(VARIANT_BOOL *p) override { return Bool(ctrlKey_, p); }
  STDMETHOD(put_shiftKey)(VARIANT_BOOL v) override { return shiftKey_ = v, S_OK; }
  STDMETHOD(get_shiftKey)(VARIANT_BOOL *p) override { return Bool(shiftKey_, p); }
  STDMETHOD(put_returnValue)(VARIANT v) override { return VariantCopyInd(&returnValue_.v, &v); }
  STDMETHOD(get_returnValue)(VARIANT *p) override {
    if (!p)
      return E_POINTER;
    VariantInit(p);
    return VariantCopy(p, &returnValue_.v);
  }
  STDMETHOD(put_cancelBubble)(VARIANT_BOOL v) override { return cancelBubble_ = v, S_OK; }
  STDMETHOD(get_cancelBubble)(VARIANT_BOOL *p) override { return Bool(cancelBubble_, p); }
  STDMETHOD(put_keyCode)(LONG v) override { return keyCode_ = v, S_OK; }
  STDMETHOD(get_keyCode)(LONG *p) override { return Long(keyCode_, p); }
  STDMETHOD(put_button)(LONG v) override { return button_ = v, S_OK; }
  STDMETHOD(get_button)(LONG *p) override { return Long(button_, p); }
  STDMETHOD(put_type)(BSTR v) override {
    return Guarded([&] { return type_ = Text(v), S_OK; });
  }
  STDMETHOD(get_type)(BSTR *p) override { return ToBstr(type_, p); }
  STDMETHOD(put_qualifier)(BSTR v) override {
    return Guarded([&] { return qualifier_ = Text(v), S_OK; });
  }
  STDMETHOD(get_qualifier)(BSTR *p) override { return ToBstr(qualifier_, p); }
  STDMETHOD(put_reason)(LONG v) override { return reason_ = v, S_OK; }
  STDMETHOD(get_reason)(LONG *p) override { return Long(reason_, p); }
  STDMETHOD(put_x)(LONG v) override { return x_ = v, S_OK; }
  STDMETHOD(get_x)(LONG *p) override { return Long(x_, p); }
  STDMETHOD(put_y)(LONG v) override { return y_ = v, S_OK; }
  STDMETHOD(get_y)(LONG *p) override { return Long(y_, p); }
  STDMETHOD(put_clientX)(LONG v) override { return clientX_ = v, S_OK; }
  STDMETHOD(get_clientX)(LONG *p) override { return Long(clientX_, p); }
  STDMETHOD(put_clientY)(LONG v) override { return clientY_ = v, S_OK; }
  STDMETHOD(get_clientY)(LONG *p) override { return Long(clientY_, p); }
  STDMETHOD(put_offsetX)(LONG v) override { return offsetX_ = v, S_OK; }
  STDMETHOD(get_offsetX)(LONG *p) override { return Long(offsetX_, p); }
  STDMETHOD(put_offsetY)(LONG v) override { return offsetY_ = v, S_OK; }
  STDMETHOD(get_offsetY)(LONG *p) override { return Long(offsetY_, p); }
  STDMETHOD(put_screenX)(LONG v) override { return screenX_ = v, S_OK; }
  STDMETHOD(get_screenX)(LONG *p) override { return Long(screenX_, p); }
  STDMETHOD(put_screenY)(LONG v) override { return screenY_ = v, S_OK; }
  STDMETHOD(get_screenY)(LONG *p) override { return Long(screenY_, p); }
  STDMETHOD(get_srcFilter)(IDispatch **p) override {
    if (!p)
      return E_POINTER;
    *p = nullptr;
    return S_OK;
  }

  // Takes the members of another event object (fireEvent copies the one it is given).
  void CopyFrom(IHTMLEventObj *model) {
    if (auto *same = dynamic_cast<EventObject *>(static_cast<IHTMLEventObj *>(model))) {
      from_ = same->from_;
      to_ = same->to_;
      qualifier_ = same->qualifier_;
      altKey_ = same->altKey_;
      ctrlKey_ = same->ctrlKey_;
      shiftKey_ = same->shiftKey_;
      keyCode_ = same->keyCode_;
      button_ = same->button_;
      reason_ = same->reason_;
      x_ = same->x_;
      y_ = same->y_;
      clientX_ = same->clientX_;
      clientY_ = same->clientY_;
      offsetX_ = same->offsetX_;
      offsetY_ = same->offsetY_;
      screenX_ = same->screenX_;
      screenY_ = same->screenY_;
      for (const auto &[name, value] : same->expandos_) {
        auto slot = std::make_shared<Var>();
        VariantCopy(&slot->v, &value->v);
        expandos_[name] = slot;
      }
      return;
    }
    model->get_altKey(&altKey_);
    model->get_ctrlKey(&ctrlKey_);
    model->get_shiftKey(&shiftKey_);
    model->get_keyCode(&keyCode_);
    model->get_button(&button_);
    model->get_x(&x_);
    model->get_y(&y_);
    model->get_clientX(&clientX_);
    model->get_clientY(&clientY_);
    model->get_offsetX(&offsetX_);
    model->get_offsetY(&offsetY_);
    model->get_screenX(&screenX_);
    model->get_screenY(&screenY_);
  }

private:
  static HRESULT Keep(IHTMLElement *element, std::shared_ptr<Node> &slot) {
    Node *node = NodeOf(element);
    slot = node ? node->shared_from_this() : nullptr;
    return S_OK;
  }

  std::atomic<ULONG> refs_{0};
  PageRef page_;
  std::shared_ptr<Node> source_, from_, to_;
  std::wstring type_, qualifier_;
  Var returnValue_;
  VARIANT_BOOL cancelBubble_ = VARIANT_FALSE, altKey_ = VARIANT_FALSE, ctrlKey_ = VARIANT_FALSE,
               shiftKey_ = VARIANT_FALSE;
  LONG keyCode_ = 0, button_ = 0, reason_ = 0, x_ = 0, y_ = 0, clientX_ = 0, clientY_ = 0,
       offsetX_ = 0, offsetY_ = 0, screenX_ = 0, screenY_ = 0;
  std::map<std::wstring, std::shared_ptr<Var>> expandos_;
};

#define EVENT_PROP(name)                                                                           \
  {                                                                                                \
    L## #name, &Thunk<Self, &IHTMLEventObj2::get_##name>,                                          \
        &Thunk<Self, &IHTMLEventObj2::put_##name>, nullptr                                         \
  }
#define EVENT_REF(name)                                                                            \
  {                                                                                                \
    L## #name, &Thunk<Self, &IHTMLEventObj2::get_##name>,                                          \
        &Thunk<Self, &IHTMLEventObj2::putref_##name>, nullptr                                      \
  }

constexpr Member<EventObject> kEventMembers[] = {
#define Self EventObject
    EVENT_REF(srcElement),
    EVENT_PROP(altKey),
    EVENT_PROP(ctrlKey),
    EVENT_PROP(shiftKey),
    PAGE_PROP(IHTMLEventObj, returnValue),
    PAGE_PROP(IHTMLEventObj, cancelBubble),
    EVENT_REF(fromElement),
    EVENT_REF(toElement),
    PAGE_PROP(IHTMLEventObj, keyCode),
    EVENT_PROP(button),
    EVENT_PROP(type),
    EVENT_PROP(qualifier),
    EVENT_PROP(reason),
    EVENT_PROP(x),
    EVENT_PROP(y),
    EVENT_PROP(clientX),
    EVENT_PROP(clientY),
    EVENT_PROP(offsetX),
    EVENT_PROP(offsetY),
    EVENT_PROP(screenX),
    EVENT_PROP(screenY),
    PAGE_METHOD(IHTMLEventObj2, setAttribute),
    PAGE_METHOD(IHTMLEventObj2, getAttribute),
    PAGE_METHOD(IHTMLEventObj2, removeAttribute),
#undef Self
};
constexpr std::span<const Member<EventObject>> kEventTables[] = {kEventMembers};
std::span<const std::span<const Member<EventObject>>> EventObject::Tables() const {
  return kEventTables;
}

} // namespace

HRESULT CopyEventObject(Page *page, IHTMLEventObj *model, std::shared_ptr<Node> source,
                        const std::wstring &type, IHTMLEventObj **out) {
  if (!out)
    return E_POINTER;
  *out = nullptr;
  return Guarded([&] {
    auto *copy = new EventObject(page, std::move(source), type);
    if (model)
      copy->CopyFrom(model);
    return Publish(copy, out);
  });
}

HRESULT NewEventObject(Page *page, std::shared_ptr<Node> source, const std::wstring &type,
                       IHTMLEventObj **out) {
  if (!out)
    return E_POINTER;
  *out = nullptr;
  return Guarded([&] { return Publish(new EventObject(page, std::move(source), type), out); });
}

} // namespace tallowick::page
