// CWebRunTimeID: an agent object's identity, four LONG parts: browser (the
// std window), frame, object and object type. All zero is "not set".
//
// Text form: "browser;frame;object;type", four signed decimals without
// spaces, e.g. "12;3;45;-3". Anything else is E_INVALIDARG.
// IRuntimeID form: lValues "browser", "frame", "object" and "type"; reading
// one takes the names it has (at least one), the others are 0.
// SetIdFromVariant takes the text form (VT_BSTR), a one-dimensional array of
// four integers, an IWebRunTimeID or IRuntimeID (VT_UNKNOWN/VT_DISPATCH), or
// an integer alone, which is the whole id with only the object part set.
// Integers may come as any integer type, or as a floating value without a
// fraction (as scripts pass numbers); by reference is fine.
// Compare orders by browser, frame, object, type, as signed numbers.
// A failed Set* leaves the id as it was.
#include <cmath>
#include <tuple>

#include "common/ComObject.h"
#include "module/HostClasses.h"
#include "values/IdCommon.h"

namespace host {
namespace {

constexpr const wchar_t *kPartNames[4] = {L"browser", L"frame", L"object", L"type"};

LONG *PartOf(WebIdParts &parts, int i) {
  LONG *all[4] = {&parts.browser, &parts.frame, &parts.object, &parts.type};
  return all[i];
}

int Order(const WebIdParts &a, const WebIdParts &b) {
  auto key = [](const WebIdParts &p) { return std::tie(p.browser, p.frame, p.object, p.type); };
  if (key(a) == key(b))
    return 0;
  return key(a) < key(b) ? -1 : 1;
}

// The scalar types that may carry an id part.
bool IsNumeric(VARTYPE vt) { return IsNumber(vt) && vt != VT_CY && vt != VT_DECIMAL; }

// A scalar integer variant (or a floating one without a fraction) as a LONG.
std::optional<LONG> IntegerOf(const VARIANT &value) {
  if (value.vt == VT_R4 || value.vt == VT_R8) {
    double d = value.vt == VT_R4 ? value.fltVal : value.dblVal;
    if (!std::isfinite(d) || d != std::floor(d) || d < INT32_MIN || d > INT32_MAX)
      return std::nullopt;
    return static_cast<LONG>(d);
  }
  if (!IsNumeric(value.vt))
    return std::nullopt;
  VARIANT converted;
  VariantInit(&converted);
  if (FAILED(VariantChangeType(&converted, &value, 0, VT_I4)))
    return std::nullopt;
  return converted.lVal;
}

// A one-dimensional array of exactly four integers (VT_VARIANT elements hold
// integers themselves).
std::optional<WebIdParts> PartsFromArray(SAFEARRAY *array) {
  if (array == nullptr || SafeArrayGetDim(array) != 1)
    return std::nullopt;
  LONG lower = 0, upper = 0;
  VARTYPE vt = VT_EMPTY;
  if (FAILED(SafeArrayGetLBound(array, 1, &lower)) ||
      FAILED(SafeArrayGetUBound(array, 1, &upper)) || FAILED(SafeArrayGetVartype(array, &vt)))
    return std::nullopt;
  if (static_cast<std::int64_t>(upper) - lower != 3)
    return std::nullopt;
  WebIdParts parts;
  for (int i = 0; i < 4; ++i) {
    LONG index = lower + i;
    VARIANT element;
    VariantInit(&element);
    if (vt == VT_VARIANT) {
      if (FAILED(SafeArrayGetElement(array, &index, &element)))
        return std::nullopt;
    } else {
      if (!IsNumeric(vt))
        return std::nullopt;
      // The union's first bytes hold a scalar of any of these types.
      element.vt = vt;
      if (FAILED(SafeArrayGetElement(array, &index, &element.llVal)))
        return std::nullopt;
    }
    std::optional<LONG> value = IntegerOf(element);
    VariantClear(&element);
    if (!value)
      return std::nullopt;
    *PartOf(parts, i) = *value;
  }
  return parts;
}

class CWebRunTimeID : public CHostObject<IWebRunTimeID> {
public:
  CWebRunTimeID() = default;
  explicit CWebRunTimeID(const WebIdParts &parts) : parts_(parts) {}

  STDMETHODIMP SetId(IWebRunTimeID *other) override { return ReadWebIdParts(other, parts_); }
  STDMETHODIMP SetIdFromIds(LONG browser, LONG frame, LONG object, LONG type) override {
    parts_ = {browser, frame, object, type};
    return S_OK;
  }
  STDMETHODIMP SetIdFromRTID(IRuntimeID *rtid) override;
  STDMETHODIMP SetIdFromVariant(VARIANT id) override;
  STDMETHODIMP SetInnerObjTypeId(LONG type) override { return Assign(parts_.type, type); }
  STDMETHODIMP SetInnerObjId(LONG object) override { return Assign(parts_.object, object); }
  STDMETHODIMP SetInnerFrameId(LONG frame) override { return Assign(parts_.frame, frame); }
  STDMETHODIMP SetInnerStdWinId(LONG browser) override { return Assign(parts_.browser, browser); }
  STDMETHODIMP SetIdFromString(BSTR text) override {
    std::optional<WebIdParts> parts = WebIdFromText(std::wstring_view(text, SysStringLen(text)));
    if (!parts)
      return E_INVALIDARG;
    parts_ = *parts;
    return S_OK;
  }
  STDMETHODIMP Reset() override {
    parts_ = {};
    return S_OK;
  }
  STDMETHODIMP GetStdWinId(IWebRunTimeID **out) override {
    return NewWebRunTimeID({parts_.browser, 0, 0, 0}, out);
  }
  STDMETHODIMP GetFrameId(IWebRunTimeID **out) override {
    return NewWebRunTimeID({parts_.browser, parts_.frame, 0, 0}, out);
  }
  STDMETHODIMP GetInnerObjTypeId(LONG *out) override { return Read(parts_.type, out); }
  STDMETHODIMP GetInnerObjId(LONG *out) override { return Read(parts_.object, out); }
  STDMETHODIMP GetInnerFrameId(LONG *out) override { return Read(parts_.frame, out); }
  STDMETHODIMP GetInnerStdWinId(LONG *out) override { return Read(parts_.browser, out); }
  STDMETHODIMP GetIdAsString(BSTR *out) override {
    if (out == nullptr)
      return E_POINTER;
    *out = nullptr;
    try {
      return PutBstr(WebIdToText(parts_), out);
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }
  STDMETHODIMP GetIdAsRTID(IRuntimeID **out) override;
  STDMETHODIMP IsEqual(IWebRunTimeID *other) override {
    WebIdParts theirs;
    HRESULT hr = ReadWebIdParts(other, theirs);
    if (FAILED(hr))
      return hr;
    return theirs == parts_ ? S_OK : S_FALSE;
  }
  STDMETHODIMP Compare(IWebRunTimeID *other, int *result) override {
    if (result == nullptr)
      return E_POINTER;
    *result = 0;
    WebIdParts theirs;
    HRESULT hr = ReadWebIdParts(other, theirs);
    if (FAILED(hr))
      return hr;
    *result = Order(parts_, theirs);
    return S_OK;
  }
  STDMETHODIMP CompareNoType(IWebRunTimeID *other) override {
    WebIdParts theirs;
    HRESULT hr = ReadWebIdParts(other, theirs);
    if (FAILED(hr))
      return hr;
    theirs.type = parts_.type;
    return theirs == parts_ ? S_OK : S_FALSE;
  }
  STDMETHODIMP IsInvalid() override { return parts_ == WebIdParts{} ? S_OK : S_FALSE; }
  STDMETHODIMP IsValidStdWinId() override { return parts_.browser != 0 ? S_OK : S_FALSE; }
  STDMETHODIMP IsValidFrameId() override { return parts_.frame != 0 ? S_OK : S_FALSE; }
  STDMETHODIMP IsValidObjId() override { return parts_.object != 0 ? S_OK : S_FALSE; }
  STDMETHODIMP IsFilterMatch(WEB_ID_FILTERS filter) override {
    bool object = parts_.object != 0;
    switch (filter) {
    case ALL_KINDS_OF_OBJECTS:
      return S_OK;
    case ONLY_OBJECTS:
      return object ? S_OK : S_FALSE;
    case ONLY_REGULAR_OBJECTS:
      // Negative types mark inner objects of view-link controls.
      return object && parts_.type >= 0 ? S_OK : S_FALSE;
    case ONLY_FRAMES_OR_STD_OBJECT:
      return object ? S_FALSE : S_OK;
    }
    return E_INVALIDARG;
  }

private:
  static HRESULT Assign(LONG &part, LONG value) {
    part = value;
    return S_OK;
  }
  static HRESULT Read(LONG part, LONG *out) {
    if (out == nullptr)
      return E_POINTER;
    *out = part;
    return S_OK;
  }

  WebIdParts parts_;
};

STDMETHODIMP CWebRunTimeID::SetIdFromRTID(IRuntimeID *rtid) {
  if (rtid == nullptr)
    return E_POINTER;
  WebIdParts parts;
  bool any = false;
  for (int i = 0; i < 4; ++i) {
    BSTR name = SysAllocString(kPartNames[i]);
    if (name == nullptr)
      return E_OUTOFMEMORY;
    VARIANT value;
    VariantInit(&value);
    HRESULT hr = rtid->get_VARIANTValue(name, &value);
    SysFreeString(name);
    if (FAILED(hr))
      continue; // not there: 0
    std::optional<LONG> number = IntegerOf(value);
    if (!number && value.vt == VT_BSTR) {
      auto parsed = ParseDecimal(FromBstr(value.bstrVal), INT32_MIN, INT32_MAX);
      if (parsed)
        number = static_cast<LONG>(*parsed);
    }
    VariantClear(&value);
    if (!number)
      return E_INVALIDARG;
    *PartOf(parts, i) = *number;
    any = true;
  }
  if (!any)
    return E_INVALIDARG;
  parts_ = parts;
  return S_OK;
}

STDMETHODIMP CWebRunTimeID::SetIdFromVariant(VARIANT id) {
  VARIANT value;
  VariantInit(&value);
  if (FAILED(VariantCopyInd(&value, &id)))
    return E_INVALIDARG;
  HRESULT hr = E_INVALIDARG;
  if (value.vt == VT_BSTR) {
    hr = SetIdFromString(value.bstrVal);
  } else if ((value.vt & VT_ARRAY) != 0) {
    if (auto parts = PartsFromArray(value.parray)) {
      parts_ = *parts;
      hr = S_OK;
    }
  } else if (value.vt == VT_UNKNOWN || value.vt == VT_DISPATCH) {
    IUnknown *unknown = value.vt == VT_UNKNOWN ? value.punkVal : value.pdispVal;
    HeldRef<IWebRunTimeID> webId;
    HeldRef<IRuntimeID> rtid;
    if (unknown == nullptr) {
      hr = E_INVALIDARG;
    } else if (SUCCEEDED(unknown->QueryInterface(IID_IWebRunTimeID,
                                                 reinterpret_cast<void **>(webId.Out())))) {
      hr = SetId(webId.Get());
    } else if (SUCCEEDED(unknown->QueryInterface(IID_IRuntimeID,
                                                 reinterpret_cast<void **>(rtid.Out())))) {
      hr = SetIdFromRTID(rtid.Get());
    }
  } else if (auto object = IntegerOf(value)) {
    parts_ = {0, 0, *object, 0};
    hr = S_OK;
  }
  VariantClear(&value);
  return hr;
}

STDMETHODIMP CWebRunTimeID::GetIdAsRTID(IRuntimeID **out) {
  if (out == nullptr)
    return E_POINTER;
  *out = nullptr;
  HeldRef<IRuntimeID> rtid;
  HRESULT hr = CreateRuntimeID(nullptr, IID_IRuntimeID, reinterpret_cast<void **>(rtid.Out()));
  if (FAILED(hr))
    return hr;
  const LONG values[4] = {parts_.browser, parts_.frame, parts_.object, parts_.type};
  for (int i = 0; i < 4 && SUCCEEDED(hr); ++i) {
    BSTR name = SysAllocString(kPartNames[i]);
    if (name == nullptr)
      return E_OUTOFMEMORY;
    hr = rtid->put_lValue(name, values[i]);
    SysFreeString(name);
  }
  if (FAILED(hr))
    return hr;
  *out = rtid.Detach();
  return S_OK;
}

} // namespace

HRESULT NewWebRunTimeID(const WebIdParts &parts, IWebRunTimeID **out) {
  if (out == nullptr)
    return E_POINTER;
  return CreateObject<CWebRunTimeID>(nullptr, IID_IWebRunTimeID, reinterpret_cast<void **>(out),
                                     parts);
}

HRESULT CreateWebRunTimeID(IUnknown *outer, REFIID riid, void **ppv) {
  return CreateObject<CWebRunTimeID>(outer, riid, ppv);
}

} // namespace host
