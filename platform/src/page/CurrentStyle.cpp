// The cascaded style of an element (IHTMLCurrentStyle), read-only.
#include <windows.h>

#include "page/ObjectSupport.h"
#include "page/PageObjects.h"
#include "page/StyleSupport.h"

namespace tallowick::page {

using styles::CssName;
using styles::Fallback;
using styles::KnownProperty;
using support::Text;

namespace {

class CurrentStyle final : public StubIHTMLCurrentStyle {
public:
  CurrentStyle(Page *page, std::shared_ptr<Node> node) : page_(page), node_(std::move(node)) {}
  using Self = CurrentStyle;
  PAGE_IUNKNOWN
  PAGE_IDISPATCH

  void *Find(REFIID riid) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, IID_IHTMLCurrentStyle))
      return static_cast<IHTMLCurrentStyle *>(this);
    return nullptr;
  }
  std::span<const std::span<const Member<CurrentStyle>>> Tables() const;

  HRESULT FindDynamic(const std::wstring &name, DISPID *id) {
    const wchar_t *property = KnownProperty(name);
    if (!property)
      return DISP_E_UNKNOWNNAME;
    *id = page_->ExpandoId(property);
    return S_OK;
  }
  HRESULT InvokeDynamic(DISPID id, WORD flags, DISPPARAMS *, VARIANT *result) {
    const std::wstring *name = page_->ExpandoName(id);
    if (!name || !KnownProperty(*name) ||
        (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)))
      return DISP_E_MEMBERNOTFOUND;
    if (result)
      ToVariant(AllocBstr(Value(CssName(*name))), result);
    return S_OK;
  }

  std::wstring Value(const std::wstring &css) {
    return ComputedStyle(*node_, css, Fallback(*node_, css));
  }
  HRESULT GetText(const wchar_t *css, BSTR *p) {
    if (!p)
      return E_POINTER;
    return Guarded([&] { return ToBstr(Value(css), p); });
  }
  HRESULT GetVariant(const wchar_t *css, VARIANT *p) {
    if (!p)
      return E_POINTER;
    VariantInit(p);
    return Guarded([&] {
      ToVariant(AllocBstr(Value(css)), p);
      return S_OK;
    });
  }

#define CURRENT_TEXT(Name, css)                                                                    \
  STDMETHOD(get_##Name)(BSTR * p) override { return GetText(css, p); }
#define CURRENT_VARIANT(Name, css)                                                                 \
  STDMETHOD(get_##Name)(VARIANT * p) override { return GetVariant(css, p); }
  CURRENT_TEXT(position, L"position")
  CURRENT_TEXT(styleFloat, L"float")
  CURRENT_VARIANT(color, L"color")
  CURRENT_VARIANT(backgroundColor, L"background-color")
  CURRENT_TEXT(fontFamily, L"font-family")
  CURRENT_TEXT(fontStyle, L"font-style")
  CURRENT_VARIANT(fontWeight, L"font-weight")
  CURRENT_VARIANT(fontSize, L"font-size")
  CURRENT_VARIANT(left, L"left")
  CURRENT_VARIANT(top, L"top")
  CURRENT_VARIANT(width, L"width")
  CURRENT_VARIANT(height, L"height")
  CURRENT_TEXT(textAlign, L"text-align")
  CURRENT_TEXT(textDecoration, L"text-decoration")
  CURRENT_TEXT(display, L"display")
  CURRENT_TEXT(visibility, L"visibility")
  CURRENT_VARIANT(zIndex, L"z-index")
  CURRENT_TEXT(overflow, L"overflow")
  CURRENT_TEXT(cursor, L"cursor")
#undef CURRENT_TEXT
#undef CURRENT_VARIANT

  STDMETHOD(getAttribute)(BSTR name, LONG, VARIANT *value) override {
    if (!value)
      return E_POINTER;
    VariantInit(value);
    std::wstring key = Text(name);
    if (!KnownProperty(key)) {
      value->vt = VT_NULL;
      return S_OK;
    }
    return GetVariant(CssName(key).c_str(), value);
  }

private:
  std::atomic<ULONG> refs_{0};
  PageRef page_;
  std::shared_ptr<Node> node_;
};

constexpr Member<CurrentStyle> kCurrentMembers[] = {
#define Self CurrentStyle
    PAGE_METHOD(IHTMLCurrentStyle, getAttribute),
#undef Self
};
constexpr std::span<const Member<CurrentStyle>> kCurrentTables[] = {kCurrentMembers};
std::span<const std::span<const Member<CurrentStyle>>> CurrentStyle::Tables() const {
  return kCurrentTables;
}

} // namespace

HRESULT NewCurrentStyle(Page *page, std::shared_ptr<Node> node, IHTMLCurrentStyle **out) {
  if (!out)
    return E_POINTER;
  *out = nullptr;
  return Guarded([&] {
    auto *style = new CurrentStyle(page, std::move(node));
    style->AddRef();
    *out = style;
    return S_OK;
  });
}

} // namespace tallowick::page
