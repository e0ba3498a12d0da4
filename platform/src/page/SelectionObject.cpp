// document.selection (IHTMLSelectionObject). The page has no user selection:
// its type is "None", createRange() gives a text range collapsed at the start
// of the body, and empty()/clear() leave the page as it is.
#include <windows.h>

#include "page/ObjectSupport.h"
#include "page/PageObjects.h"

namespace tallowick::page {

namespace {

class SelectionObject final : public IHTMLSelectionObject {
public:
  // The document's references are its page's: page_ keeps it.
  SelectionObject(Page *page, IHTMLDocument2 *document) : page_(page), document_(document) {}
  using Self = SelectionObject;
  PAGE_IUNKNOWN
  PAGE_IDISPATCH

  void *Find(REFIID riid) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, IID_IHTMLSelectionObject))
      return static_cast<IHTMLSelectionObject *>(this);
    return nullptr;
  }
  std::span<const std::span<const Member<SelectionObject>>> Tables() const;
  HRESULT FindDynamic(const std::wstring &, DISPID *) { return DISP_E_UNKNOWNNAME; }
  HRESULT InvokeDynamic(DISPID, WORD, DISPPARAMS *, VARIANT *) { return DISP_E_MEMBERNOTFOUND; }

  STDMETHOD(createRange)(IDispatch **range) override {
    if (!range)
      return E_POINTER;
    *range = nullptr;
    IHTMLElement *body = nullptr;
    HRESULT hr = document_->get_body(&body);
    if (FAILED(hr) || !body)
      return FAILED(hr) ? hr : E_FAIL;
    IHTMLBodyElement *bodyElement = nullptr;
    hr = body->QueryInterface(IID_IHTMLBodyElement, reinterpret_cast<void **>(&bodyElement));
    body->Release();
    if (FAILED(hr))
      return hr;
    IHTMLTxtRange *text = nullptr;
    hr = bodyElement->createTextRange(&text);
    bodyElement->Release();
    if (FAILED(hr))
      return hr;
    text->collapse(VARIANT_TRUE);
    *range = text; // IHTMLTxtRange is its IDispatch
    return S_OK;
  }
  STDMETHOD(empty)() override { return S_OK; }
  STDMETHOD(clear)() override { return S_OK; }
  STDMETHOD(get_type)(BSTR *p) override {
    if (!p)
      return E_POINTER;
    *p = SysAllocString(L"None");
    return *p ? S_OK : E_OUTOFMEMORY;
  }

private:
  std::atomic<ULONG> refs_{0};
  PageRef page_;
  IHTMLDocument2 *document_;
};

constexpr Member<SelectionObject> kSelectionMembers[] = {
#define Self SelectionObject
    PAGE_METHOD(IHTMLSelectionObject, createRange),
    PAGE_METHOD(IHTMLSelectionObject, empty),
    PAGE_METHOD(IHTMLSelectionObject, clear),
    PAGE_GET(IHTMLSelectionObject, type),
#undef Self
};
constexpr std::span<const Member<SelectionObject>> kSelectionTables[] = {kSelectionMembers};
std::span<const std::span<const Member<SelectionObject>>> SelectionObject::Tables() const {
  return kSelectionTables;
}

} // namespace

HRESULT NewSelectionObject(Page *page, IHTMLDocument2 *document, IHTMLSelectionObject **out) {
  if (!out)
    return E_POINTER;
  *out = nullptr;
  return Guarded([&] {
    auto *selection = new SelectionObject(page, document);
    selection->AddRef();
    *out = selection;
    return S_OK;
  });
}

} // namespace tallowick::page
