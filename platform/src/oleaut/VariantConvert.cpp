// The conversion engine behind VariantChangeType(Ex) and the Var*From* helpers,
// with the English (United States) rules for text, whatever the LCID.
#include "oleaut/NumberText.h"
#include "oleaut/OleAut.h"

#include "tallowick/Strings.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>
#include <cwctype>
#include <new>
#include <vector>

namespace tallowick::platform::oleaut {
namespace {

using I128 = __int128;
constexpr int kMaxValueDepth = 4;

struct Options {
  LCID lcid = LOCALE_USER_DEFAULT;
  bool valueProperty = true;
  bool alphaBool = false;
  DWORD dateFlags = 0;
};

// A numeric value on its way between types.
struct Number {
  enum Kind { Int, Real, Currency } kind = Int;
  I128 i = 0;
  double r = 0;
  int64_t cy = 0;
  bool wrap = false; // bits may be reinterpreted (booleans, hex literals, error codes)
};

bool IsIntegerType(VARTYPE vt) {
  switch (vt) {
  case VT_I1:
  case VT_UI1:
  case VT_I2:
  case VT_UI2:
  case VT_I4:
  case VT_UI4:
  case VT_I8:
  case VT_UI8:
  case VT_INT:
  case VT_UINT:
    return true;
  default:
    return false;
  }
}

bool IsScalarTarget(VARTYPE vt) {
  if (IsIntegerType(vt))
    return true;
  switch (vt) {
  case VT_EMPTY:
  case VT_NULL:
  case VT_R4:
  case VT_R8:
  case VT_CY:
  case VT_DATE:
  case VT_BSTR:
  case VT_BOOL:
  case VT_ERROR:
  case VT_UNKNOWN:
  case VT_DISPATCH:
  case VT_DECIMAL:
    return true;
  default:
    return false;
  }
}

bool IsValidTarget(VARTYPE vt) {
  if (vt & VT_ARRAY) {
    VARTYPE element = vt & ~VT_ARRAY;
    return element == VT_VARIANT || (element > VT_NULL && IsScalarTarget(element));
  }
  return IsScalarTarget(vt);
}

void IntegerBits(VARTYPE vt, int &bits, bool &isSigned) {
  switch (vt) {
  case VT_I1:
    bits = 8;
    isSigned = true;
    break;
  case VT_UI1:
    bits = 8;
    isSigned = false;
    break;
  case VT_I2:
    bits = 16;
    isSigned = true;
    break;
  case VT_UI2:
    bits = 16;
    isSigned = false;
    break;
  case VT_I4:
  case VT_INT:
    bits = 32;
    isSigned = true;
    break;
  case VT_UI4:
  case VT_UINT:
    bits = 32;
    isSigned = false;
    break;
  case VT_I8:
    bits = 64;
    isSigned = true;
    break;
  default:
    bits = 64;
    isSigned = false;
    break;
  }
}

Number FromParsed(const ParsedNumber &p) {
  Number n;
  if (p.radix) {
    n.i = p.negative ? -static_cast<I128>(p.radixValue) : static_cast<I128>(p.radixValue);
    n.wrap = true;
    return n;
  }
  if (p.digits.empty())
    return n;
  if (p.exponent >= 0 && p.digits.size() + static_cast<size_t>(p.exponent) <= 36) {
    for (char c : p.digits)
      n.i = n.i * 10 + (c - '0');
    for (int e = 0; e < p.exponent; ++e)
      n.i *= 10;
    if (p.negative)
      n.i = -n.i;
    return n;
  }
  n.kind = Number::Real;
  std::string text = p.digits + "e" + std::to_string(p.exponent);
  double value = 0;
  auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec == std::errc::result_out_of_range)
    value = p.exponent > 0 ? HUGE_VAL : 0.0;
  n.r = p.negative ? -value : value;
  return n;
}

// The numeric value of a non-byref, non-interface source.
HRESULT GetNumber(const VARIANT &s, Number &n) {
  n = Number{};
  switch (s.vt) {
  case VT_EMPTY:
    return S_OK;
  case VT_I1:
    n.i = static_cast<signed char>(s.cVal);
    return S_OK;
  case VT_UI1:
    n.i = s.bVal;
    return S_OK;
  case VT_I2:
    n.i = s.iVal;
    return S_OK;
  case VT_UI2:
    n.i = s.uiVal;
    return S_OK;
  case VT_I4:
    n.i = s.lVal;
    return S_OK;
  case VT_UI4:
    n.i = s.ulVal;
    return S_OK;
  case VT_INT:
    n.i = s.intVal;
    return S_OK;
  case VT_UINT:
    n.i = s.uintVal;
    return S_OK;
  case VT_I8:
    n.i = s.llVal;
    return S_OK;
  case VT_UI8:
    n.i = s.ullVal;
    return S_OK;
  case VT_BOOL:
    n.i = s.boolVal;
    n.wrap = true;
    return S_OK;
  case VT_R4:
    n.kind = Number::Real;
    n.r = s.fltVal;
    return S_OK;
  case VT_R8:
    n.kind = Number::Real;
    n.r = s.dblVal;
    return S_OK;
  case VT_DATE:
    n.kind = Number::Real;
    n.r = s.date;
    return S_OK;
  case VT_CY:
    n.kind = Number::Currency;
    n.cy = s.cyVal.int64;
    return S_OK;
  case VT_DECIMAL: {
    I128 mantissa = (static_cast<I128>(s.decVal.Hi32) << 64) | s.decVal.Lo64;
    if (s.decVal.sign & DECIMAL_NEG)
      mantissa = -mantissa;
    if (s.decVal.scale == 0) {
      n.i = mantissa;
    } else {
      n.kind = Number::Real;
      n.r =
          static_cast<double>(static_cast<long double>(mantissa) / std::pow(10.0L, s.decVal.scale));
    }
    return S_OK;
  }
  case VT_BSTR: {
    ParsedNumber parsed;
    if (!ParseNumber(BstrView(s.bstrVal), parsed))
      return DISP_E_TYPEMISMATCH;
    n = FromParsed(parsed);
    return n.kind == Number::Real && !std::isfinite(n.r) ? DISP_E_OVERFLOW : S_OK;
  }
  default:
    return DISP_E_TYPEMISMATCH;
  }
}

HRESULT ToInteger(const Number &n, VARTYPE vt, I128 &out) {
  int bits;
  bool isSigned;
  IntegerBits(vt, bits, isSigned);
  I128 v = 0;
  switch (n.kind) {
  case Number::Int:
    v = n.i;
    break;
  case Number::Real: {
    if (!std::isfinite(n.r))
      return DISP_E_OVERFLOW;
    double rounded = std::nearbyint(n.r); // ties to even
    if (std::fabs(rounded) >= 1e38)
      return DISP_E_OVERFLOW;
    v = static_cast<I128>(rounded);
    break;
  }
  case Number::Currency: {
    v = n.cy / 10000;
    int64_t rest = n.cy % 10000;
    int64_t half = rest < 0 ? -rest : rest;
    if (half > 5000 || (half == 5000 && (v & 1) != 0))
      v += rest < 0 ? -1 : 1;
    break;
  }
  }
  I128 span = static_cast<I128>(1) << bits;
  I128 low = isSigned ? -(span / 2) : 0;
  I128 high = isSigned ? span / 2 - 1 : span - 1;
  if (v >= low && v <= high) {
    out = v;
    return S_OK;
  }
  if (!n.wrap || v < -(span / 2) || v >= span)
    return DISP_E_OVERFLOW;
  I128 bitsValue = v < 0 ? v + span : v;
  out = isSigned && bitsValue >= span / 2 ? bitsValue - span : bitsValue;
  return S_OK;
}

double ToReal(const Number &n) {
  switch (n.kind) {
  case Number::Int:
    return static_cast<double>(n.i);
  case Number::Real:
    return n.r;
  case Number::Currency:
    return static_cast<double>(n.cy) / 10000.0;
  }
  return 0;
}

HRESULT ToCurrency(const Number &n, int64_t &out) {
  if (n.kind == Number::Currency) {
    out = n.cy;
    return S_OK;
  }
  if (n.kind == Number::Int) {
    I128 scaled = n.i * 10000;
    if (n.i > INT64_MAX || n.i < INT64_MIN || scaled > INT64_MAX || scaled < INT64_MIN)
      return DISP_E_OVERFLOW;
    out = static_cast<int64_t>(scaled);
    return S_OK;
  }
  double scaled = std::nearbyint(n.r * 10000.0);
  if (!std::isfinite(scaled) || scaled >= 9223372036854775808.0 || scaled < -9223372036854775808.0)
    return DISP_E_OVERFLOW;
  out = static_cast<int64_t>(scaled);
  return S_OK;
}

HRESULT ToDecimal(const VARIANT &s, DECIMAL &out) {
  if (s.vt == VT_BSTR) {
    ParsedNumber parsed;
    if (!ParseNumber(BstrView(s.bstrVal), parsed))
      return DISP_E_TYPEMISMATCH;
    if (parsed.radix) {
      return MakeDecimal(parsed.negative, std::to_string(parsed.radixValue), 0, out)
                 ? S_OK
                 : DISP_E_OVERFLOW;
    }
    return MakeDecimal(parsed.negative, parsed.digits, parsed.exponent, out) ? S_OK
                                                                             : DISP_E_OVERFLOW;
  }
  Number n;
  HRESULT hr = GetNumber(s, n);
  if (FAILED(hr))
    return hr;
  ParsedNumber parsed;
  if (n.kind == Number::Int) {
    I128 magnitude = n.i < 0 ? -n.i : n.i;
    std::string digits;
    do {
      digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(magnitude % 10)));
      magnitude /= 10;
    } while (magnitude != 0);
    return MakeDecimal(n.i < 0, digits, 0, out) ? S_OK : DISP_E_OVERFLOW;
  }
  if (n.kind == Number::Currency) {
    uint64_t magnitude = n.cy < 0 ? 0 - static_cast<uint64_t>(n.cy) : static_cast<uint64_t>(n.cy);
    return MakeDecimal(n.cy < 0, std::to_string(magnitude), -4, out) ? S_OK : DISP_E_OVERFLOW;
  }
  if (!std::isfinite(n.r))
    return DISP_E_OVERFLOW;
  if (!ParseNumber(FormatReal(n.r, 15), parsed))
    return DISP_E_OVERFLOW;
  return MakeDecimal(parsed.negative, parsed.digits, parsed.exponent, out) ? S_OK : DISP_E_OVERFLOW;
}

HRESULT ToBool(const VARIANT &s, VARIANT_BOOL &out) {
  if (s.vt == VT_BSTR) {
    std::wstring_view text = BstrView(s.bstrVal);
    while (!text.empty() && std::iswspace(text.front()))
      text.remove_prefix(1);
    while (!text.empty() && std::iswspace(text.back()))
      text.remove_suffix(1);
    if (EqualsNoCase(text, L"True")) {
      out = VARIANT_TRUE;
      return S_OK;
    }
    if (EqualsNoCase(text, L"False")) {
      out = VARIANT_FALSE;
      return S_OK;
    }
  }
  Number n;
  HRESULT hr = GetNumber(s, n);
  if (FAILED(hr))
    return hr;
  bool nonZero = n.kind == Number::Int ? n.i != 0 : n.kind == Number::Real ? n.r != 0 : n.cy != 0;
  out = nonZero ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT ToDate(const VARIANT &s, DATE &out) {
  if (s.vt == VT_BSTR)
    return ParseDate(BstrView(s.bstrVal), out);
  Number n;
  HRESULT hr = GetNumber(s, n);
  if (FAILED(hr))
    return hr;
  double value = ToReal(n);
  if (!(value > kMinDate - 1.0 && value < kMaxDate))
    return DISP_E_OVERFLOW;
  out = value;
  return S_OK;
}

HRESULT ToText(const VARIANT &s, const Options &opt, std::wstring &out) {
  switch (s.vt) {
  case VT_EMPTY:
    out.clear();
    return S_OK;
  case VT_I1:
    out = std::to_wstring(static_cast<signed char>(s.cVal));
    return S_OK;
  case VT_UI1:
    out = std::to_wstring(s.bVal);
    return S_OK;
  case VT_I2:
    out = std::to_wstring(s.iVal);
    return S_OK;
  case VT_UI2:
    out = std::to_wstring(s.uiVal);
    return S_OK;
  case VT_I4:
    out = std::to_wstring(s.lVal);
    return S_OK;
  case VT_UI4:
    out = std::to_wstring(s.ulVal);
    return S_OK;
  case VT_INT:
    out = std::to_wstring(s.intVal);
    return S_OK;
  case VT_UINT:
    out = std::to_wstring(s.uintVal);
    return S_OK;
  case VT_I8:
    out = std::to_wstring(s.llVal);
    return S_OK;
  case VT_UI8:
    out = std::to_wstring(s.ullVal);
    return S_OK;
  case VT_R4:
    if (!std::isfinite(s.fltVal))
      return DISP_E_OVERFLOW;
    out = FormatReal(s.fltVal, 7);
    return S_OK;
  case VT_R8:
    if (!std::isfinite(s.dblVal))
      return DISP_E_OVERFLOW;
    out = FormatReal(s.dblVal, 15);
    return S_OK;
  case VT_CY:
    out = FormatCurrency(s.cyVal.int64);
    return S_OK;
  case VT_DECIMAL:
    out = FormatDecimal(s.decVal);
    return S_OK;
  case VT_DATE:
    return FormatDate(s.date, opt.dateFlags, out);
  case VT_BOOL:
    if (opt.alphaBool)
      out = s.boolVal ? L"True" : L"False";
    else
      out = std::to_wstring(s.boolVal);
    return S_OK;
  default:
    return DISP_E_TYPEMISMATCH;
  }
}

void StoreInteger(VARIANT &out, VARTYPE vt, I128 v) {
  out.vt = vt;
  switch (vt) {
  case VT_I1:
    out.cVal = static_cast<CHAR>(v);
    break;
  case VT_UI1:
    out.bVal = static_cast<BYTE>(v);
    break;
  case VT_I2:
    out.iVal = static_cast<SHORT>(v);
    break;
  case VT_UI2:
    out.uiVal = static_cast<USHORT>(v);
    break;
  case VT_I4:
    out.lVal = static_cast<LONG>(v);
    break;
  case VT_UI4:
    out.ulVal = static_cast<ULONG>(v);
    break;
  case VT_INT:
    out.intVal = static_cast<INT>(v);
    break;
  case VT_UINT:
    out.uintVal = static_cast<UINT>(v);
    break;
  case VT_I8:
    out.llVal = static_cast<LONGLONG>(v);
    break;
  default:
    out.ullVal = static_cast<ULONGLONG>(v);
    break;
  }
}

HRESULT ConvertScalar(const VARIANT &s, VARTYPE vt, const Options &opt, VARIANT &out);
HRESULT Convert(const VARIANT &src, VARTYPE vt, const Options &opt, VARIANT &out, int depth);

HRESULT ConvertInterface(const VARIANT &s, VARTYPE vt, VARIANT &out) {
  if (s.vt != VT_UNKNOWN && s.vt != VT_DISPATCH)
    return DISP_E_TYPEMISMATCH;
  out.vt = vt;
  out.punkVal = nullptr;
  if (s.punkVal == nullptr)
    return S_OK;
  const IID &iid = vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown;
  void *result = nullptr;
  HRESULT hr = s.punkVal->QueryInterface(iid, &result);
  if (FAILED(hr) || result == nullptr) {
    out.vt = VT_EMPTY;
    return FAILED(hr) ? hr : E_NOINTERFACE;
  }
  out.punkVal = static_cast<IUnknown *>(result);
  return S_OK;
}

// An object converts through its value property (DISPID_VALUE).
HRESULT ConvertValueProperty(const VARIANT &s, VARTYPE vt, const Options &opt, VARIANT &out,
                             int depth) {
  if (!opt.valueProperty || depth >= kMaxValueDepth || s.punkVal == nullptr)
    return DISP_E_TYPEMISMATCH;
  IDispatch *dispatch = nullptr;
  if (s.vt == VT_DISPATCH) {
    dispatch = s.pdispVal;
    dispatch->AddRef();
  } else if (FAILED(
                 s.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void **>(&dispatch))) ||
             dispatch == nullptr) {
    return DISP_E_TYPEMISMATCH;
  }
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  VARIANT value;
  VariantInit(&value);
  HRESULT hr = dispatch->Invoke(DISPID_VALUE, IID_NULL, opt.lcid, DISPATCH_PROPERTYGET, &none,
                                &value, nullptr, nullptr);
  dispatch->Release();
  if (FAILED(hr)) {
    VariantClear(&value);
    return DISP_E_TYPEMISMATCH;
  }
  hr = Convert(value, vt, opt, out, depth + 1);
  VariantClear(&value);
  return hr;
}

// A non-owning variant over one array element.
void ElementView(SAFEARRAY *psa, VARTYPE elementType, size_t index, VARIANT &view) {
  char *element = static_cast<char *>(psa->pvData) + index * psa->cbElements;
  if (elementType == VT_VARIANT) {
    std::memcpy(&view, element, sizeof view);
    return;
  }
  VariantInit(&view);
  if (elementType == VT_DECIMAL) {
    std::memcpy(&view.decVal, element, sizeof(DECIMAL));
  } else {
    std::memcpy(&view.llVal, element, psa->cbElements);
  }
  view.vt = elementType;
}

HRESULT ConvertArray(const VARIANT &s, VARTYPE vt, const Options &opt, VARIANT &out, int depth) {
  if (s.vt == VT_BSTR && vt == (VT_ARRAY | VT_UI1)) {
    UINT bytes = SysStringByteLen(s.bstrVal);
    SAFEARRAY *psa = SafeArrayCreateVector(VT_UI1, 0, bytes);
    if (psa == nullptr)
      return E_OUTOFMEMORY;
    if (bytes != 0)
      std::memcpy(psa->pvData, s.bstrVal, bytes);
    out.vt = vt;
    out.parray = psa;
    return S_OK;
  }
  if (s.vt == (VT_ARRAY | VT_UI1) && vt == VT_BSTR) {
    SAFEARRAY *psa = s.parray;
    if (psa == nullptr || psa->cDims != 1)
      return DISP_E_TYPEMISMATCH;
    BSTR bstr =
        SysAllocStringByteLen(static_cast<LPCSTR>(psa->pvData), psa->rgsabound[0].cElements);
    if (bstr == nullptr)
      return E_OUTOFMEMORY;
    out.vt = VT_BSTR;
    out.bstrVal = bstr;
    return S_OK;
  }
  if (!(s.vt & VT_ARRAY) || !(vt & VT_ARRAY) || s.parray == nullptr)
    return DISP_E_TYPEMISMATCH;

  SAFEARRAY *from = s.parray;
  VARTYPE fromType = 0;
  if (FAILED(SafeArrayGetVartype(from, &fromType)) || from->pvData == nullptr)
    return DISP_E_TYPEMISMATCH;
  VARTYPE toType = vt & ~VT_ARRAY;
  std::vector<SAFEARRAYBOUND> bounds(from->rgsabound, from->rgsabound + from->cDims);
  std::reverse(bounds.begin(), bounds.end());
  SAFEARRAY *to = SafeArrayCreate(toType, from->cDims, bounds.data());
  if (to == nullptr)
    return E_OUTOFMEMORY;
  size_t count = 1;
  for (UINT i = 0; i < from->cDims; ++i)
    count *= from->rgsabound[i].cElements;
  for (size_t i = 0; i < count; ++i) {
    VARIANT view, converted;
    ElementView(from, fromType, i, view);
    VariantInit(&converted);
    HRESULT hr = toType == VT_VARIANT ? VariantCopy(&converted, &view)
                                      : Convert(view, toType, opt, converted, depth);
    if (FAILED(hr)) {
      SafeArrayDestroy(to);
      return hr;
    }
    char *slot = static_cast<char *>(to->pvData) + i * to->cbElements;
    if (toType == VT_VARIANT)
      std::memcpy(slot, &converted, sizeof converted);
    else if (toType == VT_DECIMAL)
      std::memcpy(slot, &converted.decVal, sizeof(DECIMAL));
    else
      std::memcpy(slot, &converted.llVal, to->cbElements);
  }
  out.vt = vt;
  out.parray = to;
  return S_OK;
}

HRESULT ConvertScalar(const VARIANT &s, VARTYPE vt, const Options &opt, VARIANT &out) {
  if (IsIntegerType(vt)) {
    Number n;
    HRESULT hr = GetNumber(s, n);
    I128 value = 0;
    if (SUCCEEDED(hr))
      hr = ToInteger(n, vt, value);
    if (SUCCEEDED(hr))
      StoreInteger(out, vt, value);
    return hr;
  }
  switch (vt) {
  case VT_EMPTY:
  case VT_NULL:
    if (s.vt == VT_NULL || s.vt == VT_ERROR)
      return DISP_E_TYPEMISMATCH;
    out.vt = vt;
    return S_OK;
  case VT_R4:
  case VT_R8: {
    Number n;
    HRESULT hr = GetNumber(s, n);
    if (FAILED(hr))
      return hr;
    double value = ToReal(n);
    if (vt == VT_R8) {
      out.dblVal = value;
    } else {
      if (std::isfinite(value) && std::fabs(value) > FLT_MAX)
        return DISP_E_OVERFLOW;
      out.fltVal = static_cast<FLOAT>(value);
    }
    out.vt = vt;
    return S_OK;
  }
  case VT_CY: {
    Number n;
    HRESULT hr = GetNumber(s, n);
    if (SUCCEEDED(hr))
      hr = ToCurrency(n, out.cyVal.int64);
    if (SUCCEEDED(hr))
      out.vt = VT_CY;
    return hr;
  }
  case VT_DECIMAL: {
    DECIMAL value;
    HRESULT hr = ToDecimal(s, value);
    if (FAILED(hr))
      return hr;
    out.decVal = value;
    out.vt = VT_DECIMAL;
    return S_OK;
  }
  case VT_DATE: {
    HRESULT hr = ToDate(s, out.date);
    if (SUCCEEDED(hr))
      out.vt = VT_DATE;
    return hr;
  }
  case VT_BOOL: {
    HRESULT hr = ToBool(s, out.boolVal);
    if (SUCCEEDED(hr))
      out.vt = VT_BOOL;
    return hr;
  }
  case VT_BSTR: {
    std::wstring text;
    HRESULT hr = ToText(s, opt, text);
    if (FAILED(hr))
      return hr;
    out.bstrVal = MakeBstr(text);
    if (out.bstrVal == nullptr)
      return E_OUTOFMEMORY;
    out.vt = VT_BSTR;
    return S_OK;
  }
  case VT_ERROR: {
    if (!IsIntegerType(s.vt))
      return DISP_E_TYPEMISMATCH;
    Number n;
    GetNumber(s, n);
    n.wrap = true;
    I128 value = 0;
    HRESULT hr = ToInteger(n, VT_I4, value);
    if (FAILED(hr))
      return hr;
    out.vt = VT_ERROR;
    out.scode = static_cast<SCODE>(value);
    return S_OK;
  }
  case VT_UNKNOWN:
  case VT_DISPATCH:
    return ConvertInterface(s, vt, out);
  default:
    return DISP_E_BADVARTYPE;
  }
}

HRESULT Convert(const VARIANT &src, VARTYPE vt, const Options &opt, VARIANT &out, int depth) {
  if (!IsValidTarget(vt))
    return DISP_E_BADVARTYPE;
  VARIANT s;
  HRESULT hr = ByrefView(src, s);
  if (SUCCEEDED(hr) && (s.vt & VT_BYREF)) {
    VARIANT inner;
    hr = ByrefView(s, inner);
    s = inner;
  }
  if (FAILED(hr))
    return hr;
  if ((s.vt & VT_BYREF) || !IsValidVariantType(s.vt))
    return DISP_E_BADVARTYPE;
  if (s.vt == vt)
    return VariantCopy(&out, &s);
  if ((s.vt & VT_ARRAY) || (vt & VT_ARRAY))
    return ConvertArray(s, vt, opt, out, depth);
  bool objectSource = s.vt == VT_DISPATCH || s.vt == VT_UNKNOWN;
  bool objectTarget = vt == VT_DISPATCH || vt == VT_UNKNOWN;
  if (objectSource && !objectTarget) {
    if (vt == VT_EMPTY || vt == VT_NULL)
      return DISP_E_TYPEMISMATCH;
    return ConvertValueProperty(s, vt, opt, out, depth);
  }
  return ConvertScalar(s, vt, opt, out);
}

// Keeps C++ exceptions inside the API.
template <class F> HRESULT Guarded(F &&body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc &) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

HRESULT ConvertGuarded(const VARIANT &src, VARTYPE vt, const Options &opt, VARIANT &out) {
  return Guarded([&] { return Convert(src, vt, opt, out, 0); });
}

// Converts into `*dest`, which may be the source itself.
HRESULT ChangeType(VARIANT *dest, const VARIANT *src, VARTYPE vt, const Options &opt) {
  if (dest == nullptr || src == nullptr)
    return E_INVALIDARG;
  VARIANT out;
  VariantInit(&out);
  HRESULT hr = ConvertGuarded(*src, vt, opt, out);
  if (FAILED(hr))
    return hr;
  hr = VariantClear(dest);
  if (FAILED(hr)) {
    VariantClear(&out);
    return hr;
  }
  *dest = out;
  return S_OK;
}

// Runs the engine on a C string source.
template <class T>
HRESULT FromText(LPCOLESTR text, LCID lcid, VARTYPE vt, T VARIANT::*field, T *result) {
  if (text == nullptr || result == nullptr)
    return E_INVALIDARG;
  VARIANT src, out;
  VariantInit(&src);
  VariantInit(&out);
  src.vt = VT_BSTR;
  src.bstrVal = SysAllocString(text);
  if (src.bstrVal == nullptr)
    return E_OUTOFMEMORY;
  Options opt;
  opt.lcid = lcid;
  HRESULT hr = ConvertGuarded(src, vt, opt, out);
  VariantClear(&src);
  if (SUCCEEDED(hr))
    *result = out.*field;
  return hr;
}

HRESULT ToBstr(const VARIANT &src, const Options &opt, BSTR *result) {
  if (result == nullptr)
    return E_INVALIDARG;
  *result = nullptr;
  VARIANT out;
  VariantInit(&out);
  HRESULT hr = ConvertGuarded(src, VT_BSTR, opt, out);
  if (SUCCEEDED(hr))
    *result = out.bstrVal;
  return hr;
}

} // namespace
} // namespace tallowick::platform::oleaut

using namespace tallowick::platform::oleaut;

extern "C" {

HRESULT WINAPI VariantChangeTypeEx(VARIANTARG *pvargDest, const VARIANTARG *pvarSrc, LCID lcid,
                                   USHORT wFlags, VARTYPE vt) {
  Options opt;
  opt.lcid = lcid;
  opt.valueProperty = !(wFlags & VARIANT_NOVALUEPROP);
  opt.alphaBool = (wFlags & (VARIANT_ALPHABOOL | VARIANT_LOCALBOOL)) != 0;
  return ChangeType(pvargDest, pvarSrc, vt, opt);
}

HRESULT WINAPI VariantChangeType(VARIANTARG *pvargDest, const VARIANTARG *pvarSrc, USHORT wFlags,
                                 VARTYPE vt) {
  return VariantChangeTypeEx(pvargDest, pvarSrc, LOCALE_USER_DEFAULT, wFlags, vt);
}

HRESULT WINAPI VarI4FromStr(LPCOLESTR strIn, LCID lcid, ULONG dwFlags, LONG *plOut) {
  (void)dwFlags;
  return FromText(strIn, lcid, VT_I4, &VARIANT::lVal, plOut);
}

HRESULT WINAPI VarR8FromStr(LPCOLESTR strIn, LCID lcid, ULONG dwFlags, DOUBLE *pdblOut) {
  (void)dwFlags;
  return FromText(strIn, lcid, VT_R8, &VARIANT::dblVal, pdblOut);
}

HRESULT WINAPI VarDateFromStr(LPCOLESTR strIn, LCID lcid, ULONG dwFlags, DATE *pdateOut) {
  (void)dwFlags;
  return FromText(strIn, lcid, VT_DATE, &VARIANT::date, pdateOut);
}

HRESULT WINAPI VarBstrFromI4(LONG lIn, LCID lcid, ULONG dwFlags, BSTR *pbstrOut) {
  (void)dwFlags;
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = lIn;
  Options opt;
  opt.lcid = lcid;
  return ToBstr(v, opt, pbstrOut);
}

HRESULT WINAPI VarBstrFromR8(DOUBLE dblIn, LCID lcid, ULONG dwFlags, BSTR *pbstrOut) {
  (void)dwFlags;
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_R8;
  v.dblVal = dblIn;
  Options opt;
  opt.lcid = lcid;
  return ToBstr(v, opt, pbstrOut);
}

HRESULT WINAPI VarBstrFromDate(DATE dateIn, LCID lcid, ULONG dwFlags, BSTR *pbstrOut) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_DATE;
  v.date = dateIn;
  Options opt;
  opt.lcid = lcid;
  opt.dateFlags = dwFlags & (VAR_DATEVALUEONLY | VAR_TIMEVALUEONLY);
  return ToBstr(v, opt, pbstrOut);
}

HRESULT WINAPI VarBstrFromBool(VARIANT_BOOL boolIn, LCID lcid, ULONG dwFlags, BSTR *pbstrOut) {
  (void)dwFlags;
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = boolIn;
  Options opt;
  opt.lcid = lcid;
  opt.alphaBool = true;
  return ToBstr(v, opt, pbstrOut);
}

HRESULT WINAPI VarBstrCmp(BSTR bstrLeft, BSTR bstrRight, LCID lcid, ULONG dwFlags) {
  (void)lcid;
  return Guarded([&] { return CompareText(BstrView(bstrLeft), BstrView(bstrRight), dwFlags) + 1; });
}

HRESULT WINAPI VarBstrCat(BSTR bstrLeft, BSTR bstrRight, BSTR *pbstrResult) {
  if (pbstrResult == nullptr)
    return E_INVALIDARG;
  *pbstrResult = nullptr;
  UINT left = SysStringByteLen(bstrLeft);
  UINT right = SysStringByteLen(bstrRight);
  if (left > UINT32_MAX - right)
    return E_OUTOFMEMORY;
  BSTR result = SysAllocStringByteLen(nullptr, left + right);
  if (result == nullptr)
    return E_OUTOFMEMORY;
  auto *bytes = reinterpret_cast<char *>(result);
  if (left != 0)
    std::memcpy(bytes, bstrLeft, left);
  if (right != 0)
    std::memcpy(bytes + left, bstrRight, right);
  *pbstrResult = result;
  return S_OK;
}

} // extern "C"
