// Late-bound call plumbing shared by the RegExp component's classes.
#include "regexp/RegExpInternal.h"

#include "tallowick/Strings.h"

namespace tallowick::platform::regexp {

HRESULT LookupNames(const DispMember *members, size_t count, LPOLESTR *names, UINT cNames,
                    DISPID *ids) {
  if (names == nullptr || ids == nullptr)
    return E_POINTER;
  HRESULT hr = S_OK;
  for (UINT i = 0; i < cNames; ++i) {
    ids[i] = DISPID_UNKNOWN;
    if (names[i] == nullptr) {
      hr = DISP_E_UNKNOWNNAME;
      continue;
    }
    // Only the member itself has a name; further names would be its parameters.
    if (i > 0) {
      hr = DISP_E_UNKNOWNNAME;
      continue;
    }
    bool found = false;
    for (size_t m = 0; m < count && !found; ++m) {
      if (EqualsNoCase(names[i], members[m].name)) {
        ids[i] = members[m].id;
        found = true;
      }
    }
    if (!found)
      hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

HRESULT CheckInvoke(REFIID riid, DISPPARAMS *params) {
  if (riid != IID_NULL)
    return DISP_E_UNKNOWNINTERFACE;
  if (params == nullptr)
    return E_INVALIDARG;
  if (params->cArgs > 0 && params->rgvarg == nullptr)
    return E_INVALIDARG;
  if (params->cNamedArgs > params->cArgs ||
      (params->cNamedArgs > 0 && params->rgdispidNamedArgs == nullptr))
    return E_INVALIDARG;
  return S_OK;
}

bool IsGet(WORD flags) { return (flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) != 0; }
bool IsPut(WORD flags) { return (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0; }

namespace {

HRESULT Convert(VARIANT &arg, VARTYPE vt, VARIANT &out) {
  VariantInit(&out);
  HRESULT hr = VariantChangeType(&out, &arg, 0, vt);
  return FAILED(hr) ? DISP_E_TYPEMISMATCH : S_OK;
}

} // namespace

HRESULT GetArgument(DISPPARAMS *params, UINT index, VARTYPE vt, VARIANT &out, UINT *argErr) {
  VariantInit(&out);
  if (params->cNamedArgs > 0)
    return DISP_E_NONAMEDARGS;
  if (index >= params->cArgs)
    return DISP_E_PARAMNOTOPTIONAL;
  UINT slot = params->cArgs - 1 - index; // arguments come last to first
  HRESULT hr = Convert(params->rgvarg[slot], vt, out);
  if (FAILED(hr) && argErr != nullptr)
    *argErr = slot;
  return hr;
}

HRESULT GetPutValue(DISPPARAMS *params, VARTYPE vt, VARIANT &out, UINT *argErr) {
  VariantInit(&out);
  if (params->cArgs != 1)
    return DISP_E_BADPARAMCOUNT;
  if (params->cNamedArgs > 1 ||
      (params->cNamedArgs == 1 && params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT))
    return DISP_E_PARAMNOTFOUND;
  HRESULT hr = Convert(params->rgvarg[0], vt, out);
  if (FAILED(hr) && argErr != nullptr)
    *argErr = 0;
  return hr;
}

void SetResult(VARIANT *result, VARIANT &value) {
  if (result == nullptr) {
    VariantClear(&value);
    return;
  }
  VariantClear(result);
  *result = value; // ownership moves to the caller
  VariantInit(&value);
}

} // namespace tallowick::platform::regexp
