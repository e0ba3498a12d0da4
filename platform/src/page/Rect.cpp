// Rectangles (IHTMLRect) of element geometry.
#include <windows.h>

#include "page/ObjectSupport.h"
#include "page/PageObjects.h"

namespace tallowick::page {

using support::Long;
using support::Publish;

namespace {

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

} // namespace

HRESULT NewRect(Page *page, LONG left, LONG top, LONG right, LONG bottom, IHTMLRect **out) {
  if (!out)
    return E_POINTER;
  *out = nullptr;
  return Guarded([&] { return Publish(new Rect(page, left, top, right, bottom), out); });
}

} // namespace tallowick::page
