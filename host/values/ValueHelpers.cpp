// Creation and copying of the host's value objects for one another.
#include "values/ValueHelpers.h"

#include "module/HostClasses.h"

namespace host {

namespace {

template <class I> HRESULT Create(HRESULT (*creator)(IUnknown *, REFIID, void **), ComPtr<I> &out) {
  return creator(nullptr, __uuidof(I), reinterpret_cast<void **>(out.Out()));
}

} // namespace

HRESULT NewWebVariant(ComPtr<IWebVariant> &out) { return Create(CreateWebVariant, out); }

HRESULT NewWebAttrVal(ComPtr<IWebAttrVal> &out) { return Create(CreateWebAttrVal, out); }

HRESULT CopyWebVariant(IWebVariant *source, ComPtr<IWebVariant> &out) {
  if (source == nullptr)
    return E_INVALIDARG;
  HRESULT hr = NewWebVariant(out);
  if (SUCCEEDED(hr))
    hr = out->Set(source);
  if (FAILED(hr))
    out.Reset();
  return hr;
}

HRESULT CopyWebAttrVal(IWebAttrVal *source, ComPtr<IWebAttrVal> &out) {
  if (source == nullptr)
    return E_INVALIDARG;
  HRESULT hr = NewWebAttrVal(out);
  if (SUCCEEDED(hr))
    hr = out->Set(source);
  if (FAILED(hr))
    out.Reset();
  return hr;
}

HRESULT CopyWebRunTimeID(IWebRunTimeID *source, ComPtr<IWebRunTimeID> &out) {
  if (source == nullptr)
    return E_INVALIDARG;
  HRESULT hr = Create(CreateWebRunTimeID, out);
  if (SUCCEEDED(hr))
    hr = out->SetId(source);
  if (FAILED(hr))
    out.Reset();
  return hr;
}

HRESULT CopyWebEventID(IWebEventID *source, ComPtr<IWebEventID> &out) {
  if (source == nullptr)
    return E_INVALIDARG;
  HRESULT hr = Create(CreateWebEventID, out);
  if (SUCCEEDED(hr))
    hr = out->SetEventFromEvent(source);
  if (FAILED(hr))
    out.Reset();
  return hr;
}

} // namespace host
