#include "support/HostCallbacks.h"

#include "support/QilBstr.h"
#include "support/QilVariant.h"

CQilComPtr<IUnknown> GetHostCallbackRegistry(IUnknown *agentObject) {
  CQilComPtr<IWIBrowserServices> services;
  if (FAILED(services.QueryFrom(agentObject)) || !services)
    return {};
  CQilComPtr<IUnknown> registry;
  if (FAILED(services->GetCallbackRegistry(&registry)))
    return {};
  return registry;
}

bool HostHasCallback(IUnknown *registry, LPCOLESTR name) {
  CQilComPtr<IWICallbackQuery> query;
  if (FAILED(query.QueryFrom(registry)) || !query)
    return true;
  CQilBstr callbackName(name != nullptr ? name : L"");
  VARIANT_BOOL registered = VARIANT_FALSE;
  if (FAILED(query->IsCallbackRegistered(callbackName, &registered)))
    return true;
  return registered == VARIANT_TRUE;
}

HRESULT InvokeHostCallback(IUnknown *registry, LPCOLESTR name, CQilSafeArray &input,
                           CQilSafeArray &output, LONG flag) {
  if (registry == nullptr)
    return E_POINTER;
  try {
    CQilComPtr<IWICallbackerRegistrar> registrar;
    HRESULT hr = registrar.QueryFrom(registry);
    if (FAILED(hr) || !registrar)
      return FAILED(hr) ? hr : E_NOINTERFACE;
    CQilVariant inputValue;
    CQilVariant outputValue;
    hr = input.ToVariant(&inputValue);
    if (SUCCEEDED(hr))
      hr = output.ToVariant(&outputValue);
    if (FAILED(hr))
      return hr;
    CQilBstr callbackName(name != nullptr ? name : L"");
    hr = registrar->InvokeHostCallback(callbackName, inputValue, &outputValue, flag);
    if (SUCCEEDED(hr))
      output.FromVariant(outputValue);
    return hr;
  } catch (const CQilSafeArrayError &) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}
