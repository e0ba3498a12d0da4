// The document's location: the parts of its URL and navigation.
#include <windows.h>

#include "page/ObjectSupport.h"
#include "page/PageObjects.h"

namespace tallowick::page {

using support::Publish;
using support::Text;

namespace {

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

} // namespace

HRESULT NewLocation(Page *page, PageDocument *document, IHTMLLocation **out) {
  if (!out)
    return E_POINTER;
  *out = nullptr;
  return Guarded([&] { return Publish(new Location(page, document), out); });
}

} // namespace tallowick::page
