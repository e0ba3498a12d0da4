// CWebVariant: one typed value of the host (IWebVariant).
//
// Kinds and their WEB_AV_TYPE: empty, error (a WEB_AV_ERR_CODE), bool, long,
// double, string, point, rect, event id (WEB_AV_EVENT_ID), runtime id
// (WEB_AV_ID), and two opaque kinds reported as WEB_AV_PACKABLE: an IUnknown
// kept by identity (put_unknown) and a VARIANT that maps to no typed kind.
// - Booleans are stored as 0/1; get_bool and get_long of a bool answer 1 for
//   true; ToVariant answers VT_BOOL with VARIANT_TRUE (-1).
// - Runtime and event ids are stored as copies (host classes) and handed out
//   as new copies, so neither side sees the other's later changes.
// - put_variant maps VT_EMPTY/VT_NULL to empty, integers that fit to long,
//   VT_R4/VT_R8 to double, VT_BOOL, VT_BSTR, a 1-D VT_ARRAY|VT_I4 of 2 or 4
//   elements to point or rect, an IUnknown/IDispatch answering IWebRunTimeID or
//   IWebEventID to a copy of that id, other VT_UNKNOWN to the unknown kind,
//   VT_ERROR 0..4 to an error; anything else is kept as a VARIANT.
// - ToVariant: VT_EMPTY, VT_ERROR (scode = the error code), VT_BOOL, VT_I4,
//   VT_R8, VT_BSTR, VT_ARRAY|VT_I4 {x, y} / {left, top, right, bottom},
//   VT_UNKNOWN (a copy of a runtime or event id, or the kept IUnknown), or the
//   kept VARIANT.
// - get_x answers the value of its kind or converts bool, long, double, string
//   and kept VARIANTs through VariantChangeType ("True"/"False" for booleans as
//   text); ids convert to and from their string forms. What cannot convert
//   answers DISP_E_TYPEMISMATCH (or the conversion's own error, such as
//   DISP_E_OVERFLOW) and a zero/null out-value.
// - Compare* answer S_OK when equal, S_FALSE when not; E_INVALIDARG only for a
//   null object argument. A comparison converts the argument to the stored
//   kind, except that a bool on either side compares truth values and a long
//   against a fraction compares as doubles.
#include <windows.h>

#include <string>

#include "common/ComObject.h"
#include "module/HostClasses.h"
#include "values/TextCompare.h"
#include "values/ValueHelpers.h"

namespace host {

namespace {

enum class Kind {
  Empty,
  Error,
  Bool,
  Long,
  Double,
  String,
  Point,
  Rect,
  EventId,
  RunTimeId,
  Unknown,
  Variant
};

bool IsObjectVariant(const VARIANT &v) { return v.vt == VT_UNKNOWN || v.vt == VT_DISPATCH; }

IUnknown *ObjectOf(const VARIANT &v) {
  return v.vt == VT_UNKNOWN ? v.punkVal : v.vt == VT_DISPATCH ? v.pdispVal : nullptr;
}

bool IsFractionType(VARTYPE vt) {
  return vt == VT_R4 || vt == VT_R8 || vt == VT_CY || vt == VT_DECIMAL || vt == VT_DATE;
}

// A 1-D VT_ARRAY|VT_I4 with `count` elements, read into `out`.
bool ReadLongArray(const VARIANT &v, ULONG count, LONG *out) {
  if (v.vt != (VT_ARRAY | VT_I4) || v.parray == nullptr || SafeArrayGetDim(v.parray) != 1)
    return false;
  LONG lower = 0, upper = -1;
  if (FAILED(SafeArrayGetLBound(v.parray, 1, &lower)) ||
      FAILED(SafeArrayGetUBound(v.parray, 1, &upper)) ||
      static_cast<LONGLONG>(upper) - lower + 1 != static_cast<LONGLONG>(count))
    return false;
  for (ULONG i = 0; i < count; ++i) {
    LONG index = lower + static_cast<LONG>(i);
    if (FAILED(SafeArrayGetElement(v.parray, &index, &out[i])))
      return false;
  }
  return true;
}

HRESULT MakeLongArray(const LONG *values, ULONG count, VARIANT *out) {
  SAFEARRAY *array = SafeArrayCreateVector(VT_I4, 0, count);
  if (array == nullptr)
    return E_OUTOFMEMORY;
  for (ULONG i = 0; i < count; ++i) {
    LONG index = static_cast<LONG>(i);
    HRESULT hr = SafeArrayPutElement(array, &index, const_cast<LONG *>(&values[i]));
    if (FAILED(hr)) {
      SafeArrayDestroy(array);
      return hr;
    }
  }
  out->vt = VT_ARRAY | VT_I4;
  out->parray = array;
  return S_OK;
}

HRESULT ChangeTo(VARIANT *out, VARIANT *in, VARTYPE vt) {
  return VariantChangeType(out, in, VARIANT_ALPHABOOL, vt);
}

class CWebVariant : public CHostObject<IWebVariant> {
public:
  CWebVariant() { VariantInit(&raw_); }
  ~CWebVariant() override { Clear(); }

  STDMETHODIMP put_bool(LONG bVal) override {
    Clear();
    kind_ = Kind::Bool;
    number_ = bVal != 0 ? 1 : 0;
    return S_OK;
  }
  STDMETHODIMP put_long(LONG lVal) override {
    Clear();
    kind_ = Kind::Long;
    number_ = lVal;
    return S_OK;
  }
  STDMETHODIMP put_double(double dVal) override {
    Clear();
    kind_ = Kind::Double;
    real_ = dVal;
    return S_OK;
  }
  STDMETHODIMP put_string(BSTR bstrVal) override {
    return Guarded([&] {
      std::wstring text = FromBstr(bstrVal);
      Clear();
      kind_ = Kind::String;
      text_ = std::move(text);
      return S_OK;
    });
  }
  STDMETHODIMP put_point(tagPOINT ptVal) override {
    Clear();
    kind_ = Kind::Point;
    point_ = ptVal;
    return S_OK;
  }
  STDMETHODIMP put_rect(tagRECT rectVal) override {
    Clear();
    kind_ = Kind::Rect;
    rect_ = rectVal;
    return S_OK;
  }
  STDMETHODIMP put_eventId(IWebEventID *pEventId) override {
    if (pEventId == nullptr)
      return E_INVALIDARG;
    ComPtr<IWebEventID> copy;
    HRESULT hr = CopyWebEventID(pEventId, copy);
    if (FAILED(hr))
      return hr;
    Clear();
    kind_ = Kind::EventId;
    event_ = std::move(copy);
    return S_OK;
  }
  STDMETHODIMP put_RTID(IWebRunTimeID *pWebRTID) override {
    if (pWebRTID == nullptr)
      return E_INVALIDARG;
    ComPtr<IWebRunTimeID> copy;
    HRESULT hr = CopyWebRunTimeID(pWebRTID, copy);
    if (FAILED(hr))
      return hr;
    Clear();
    kind_ = Kind::RunTimeId;
    rtid_ = std::move(copy);
    return S_OK;
  }
  STDMETHODIMP put_variant(VARIANT vtVal) override {
    return Guarded([&] { return PutVariant(vtVal); });
  }
  STDMETHODIMP put_unknown(IUnknown *punkVal) override {
    Clear();
    if (punkVal == nullptr)
      return S_OK;
    kind_ = Kind::Unknown;
    unknown_ = ComPtr<IUnknown>(punkVal);
    return S_OK;
  }
  STDMETHODIMP Set(IWebVariant *pwvVal) override {
    if (pwvVal == nullptr)
      return E_INVALIDARG;
    if (pwvVal == static_cast<IWebVariant *>(this))
      return S_OK;
    return Guarded([&] { return SetFrom(pwvVal); });
  }

  STDMETHODIMP get_bool(LONG *pbVal) override {
    if (pbVal == nullptr)
      return E_POINTER;
    *pbVal = 0;
    if (kind_ == Kind::Bool) {
      *pbVal = number_;
      return S_OK;
    }
    VariantHolder v;
    HRESULT hr = ConvertScalar(VT_BOOL, v);
    if (SUCCEEDED(hr))
      *pbVal = v->boolVal != VARIANT_FALSE ? 1 : 0;
    return hr;
  }
  STDMETHODIMP get_long(LONG *plVal) override {
    if (plVal == nullptr)
      return E_POINTER;
    *plVal = 0;
    if (kind_ == Kind::Long || kind_ == Kind::Bool) {
      *plVal = number_;
      return S_OK;
    }
    VariantHolder v;
    HRESULT hr = ConvertScalar(VT_I4, v);
    if (SUCCEEDED(hr))
      *plVal = v->lVal;
    return hr;
  }
  STDMETHODIMP get_double(double *pdVal) override {
    if (pdVal == nullptr)
      return E_POINTER;
    *pdVal = 0;
    if (kind_ == Kind::Double || kind_ == Kind::Long || kind_ == Kind::Bool) {
      *pdVal = kind_ == Kind::Double ? real_ : number_;
      return S_OK;
    }
    VariantHolder v;
    HRESULT hr = ConvertScalar(VT_R8, v);
    if (SUCCEEDED(hr))
      *pdVal = v->dblVal;
    return hr;
  }
  STDMETHODIMP get_string(BSTR *pbstrVal) override {
    if (pbstrVal == nullptr)
      return E_POINTER;
    *pbstrVal = nullptr;
    return Guarded([&] {
      std::wstring text;
      HRESULT hr = AsText(text);
      return FAILED(hr) ? hr : PutBstr(text, pbstrVal);
    });
  }
  STDMETHODIMP get_point(tagPOINT *pptVal) override {
    if (pptVal == nullptr)
      return E_POINTER;
    *pptVal = {};
    if (kind_ != Kind::Point)
      return DISP_E_TYPEMISMATCH;
    *pptVal = point_;
    return S_OK;
  }
  STDMETHODIMP get_rect(tagRECT *prectVal) override {
    if (prectVal == nullptr)
      return E_POINTER;
    *prectVal = {};
    if (kind_ != Kind::Rect)
      return DISP_E_TYPEMISMATCH;
    *prectVal = rect_;
    return S_OK;
  }
  STDMETHODIMP get_eventId(IWebEventID **ppEventId) override {
    if (ppEventId == nullptr)
      return E_POINTER;
    *ppEventId = nullptr;
    return Guarded([&] {
      ComPtr<IWebEventID> id;
      HRESULT hr = AsEventId(id);
      if (SUCCEEDED(hr))
        *ppEventId = id.Detach();
      return hr;
    });
  }
  STDMETHODIMP get_RTID(IWebRunTimeID **ppWebRTID) override {
    if (ppWebRTID == nullptr)
      return E_POINTER;
    *ppWebRTID = nullptr;
    return Guarded([&] {
      ComPtr<IWebRunTimeID> id;
      HRESULT hr = AsRunTimeId(id);
      if (SUCCEEDED(hr))
        *ppWebRTID = id.Detach();
      return hr;
    });
  }
  STDMETHODIMP get_unknown(IUnknown **ppunkVal) override {
    if (ppunkVal == nullptr)
      return E_POINTER;
    *ppunkVal = nullptr;
    switch (kind_) {
    case Kind::Unknown:
      unknown_.CopyTo(ppunkVal);
      return S_OK;
    case Kind::EventId:
    case Kind::RunTimeId:
      return Guarded([&] {
        ComPtr<IWebEventID> event;
        ComPtr<IWebRunTimeID> rtid;
        HRESULT hr = kind_ == Kind::EventId ? AsEventId(event) : AsRunTimeId(rtid);
        if (SUCCEEDED(hr))
          *ppunkVal = event ? static_cast<IUnknown *>(event.Detach()) : rtid.Detach();
        return hr;
      });
    case Kind::Variant:
      if (IUnknown *object = ObjectOf(raw_); object != nullptr) {
        object->AddRef();
        *ppunkVal = object;
        return S_OK;
      }
      return DISP_E_TYPEMISMATCH;
    default:
      return DISP_E_TYPEMISMATCH;
    }
  }

  STDMETHODIMP GetType(WEB_AV_TYPE *pType) override {
    if (pType == nullptr)
      return E_POINTER;
    *pType = TypeOf(kind_);
    return S_OK;
  }
  STDMETHODIMP ToVariant(VARIANT *pvt) override {
    if (pvt == nullptr)
      return E_POINTER;
    VariantInit(pvt);
    return Guarded([&] { return MakeVariant(pvt, false); });
  }
  STDMETHODIMP ChangeType(WEB_AV_TYPE type) override {
    if (!IsKnownType(type))
      return E_INVALIDARG;
    if (type == TypeOf(kind_))
      return S_OK;
    return Guarded([&] { return ConvertInPlace(type); });
  }
  STDMETHODIMP SetEmpty() override {
    Clear();
    return S_OK;
  }
  STDMETHODIMP SetError(WEB_AV_ERR_CODE errCode) override {
    if (errCode < WEB_UNDEFINED_ERROR || errCode > WEB_E_FAILED)
      return E_INVALIDARG;
    Clear();
    kind_ = Kind::Error;
    number_ = errCode;
    return S_OK;
  }
  STDMETHODIMP CleanSpecialChars() override {
    if (kind_ != Kind::String)
      return S_OK;
    return Guarded([&] {
      text_ = host::CleanSpecialChars(text_);
      return S_OK;
    });
  }

  STDMETHODIMP CompareBool(LONG bValue) override {
    VARIANT v;
    v.vt = VT_BOOL;
    v.boolVal = bValue != 0 ? VARIANT_TRUE : VARIANT_FALSE;
    return CompareVariant(v);
  }
  STDMETHODIMP CompareLong(LONG lValue) override {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = lValue;
    return CompareVariant(v);
  }
  STDMETHODIMP CompareDouble(double dValue) override {
    VARIANT v;
    v.vt = VT_R8;
    v.dblVal = dValue;
    return CompareVariant(v);
  }
  STDMETHODIMP CompareString(BSTR BSTRValue, LONG bIgnorePrecedingSpaces,
                             LONG bIgnoreCase) override {
    return Guarded([&] {
      if (kind_ == Kind::String)
        return Answer(
            TextEquals(text_, FromBstr(BSTRValue), bIgnorePrecedingSpaces != 0, bIgnoreCase != 0));
      VARIANT v;
      v.vt = VT_BSTR;
      v.bstrVal = BSTRValue;
      return CompareVariant(v);
    });
  }
  STDMETHODIMP ComparePoint(tagPOINT ptValue) override {
    return Answer(kind_ == Kind::Point && point_.x == ptValue.x && point_.y == ptValue.y);
  }
  STDMETHODIMP CompareRect(tagRECT rectValue) override {
    return Answer(kind_ == Kind::Rect && rect_.left == rectValue.left &&
                  rect_.top == rectValue.top && rect_.right == rectValue.right &&
                  rect_.bottom == rectValue.bottom);
  }
  STDMETHODIMP CompareEventId(IWebEventID *pEventIdValue) override {
    if (pEventIdValue == nullptr)
      return E_INVALIDARG;
    return CompareObject(pEventIdValue);
  }
  STDMETHODIMP CompareWebRTID(IWebRunTimeID *pWebRTIDValue) override {
    if (pWebRTIDValue == nullptr)
      return E_INVALIDARG;
    return CompareObject(pWebRTIDValue);
  }
  STDMETHODIMP CompareVariant(VARIANT vtValue) override {
    return Guarded([&] {
      VariantHolder arg;
      HRESULT hr = VariantCopyInd(arg.Ptr(), &vtValue);
      if (FAILED(hr))
        return hr;
      return CompareWith(*arg);
    });
  }
  STDMETHODIMP CompareUnknown(IUnknown *punkValue) override {
    if (punkValue == nullptr)
      return Answer(kind_ == Kind::Empty);
    return CompareObject(punkValue);
  }
  STDMETHODIMP Compare(IWebVariant *pwvVal, LONG bIgnorePrecedingSpaces,
                       LONG bIgnoreCase) override {
    if (pwvVal == nullptr)
      return E_INVALIDARG;
    return Guarded([&] { return CompareTo(pwvVal, bIgnorePrecedingSpaces, bIgnoreCase); });
  }
  STDMETHODIMP CompareRegExpBstr(BSTR BSTRValue, LONG bIgnorePrecedingSpaces,
                                 LONG bIgnoreCase) override {
    return Guarded([&] {
      std::wstring pattern;
      if (FAILED(AsText(pattern)))
        return S_FALSE;
      return Answer(RegExpMatches(pattern, FromBstr(BSTRValue), bIgnorePrecedingSpaces != 0,
                                  bIgnoreCase != 0));
    });
  }
  STDMETHODIMP CompareRegExp(IWebVariant *pwvVal, LONG bIgnorePrecedingSpaces,
                             LONG bIgnoreCase) override {
    if (pwvVal == nullptr)
      return E_INVALIDARG;
    BSTR text = nullptr;
    if (FAILED(pwvVal->get_string(&text)))
      return S_FALSE;
    HRESULT hr = CompareRegExpBstr(text, bIgnorePrecedingSpaces, bIgnoreCase);
    SysFreeString(text);
    return hr;
  }

private:
  static HRESULT Answer(bool equal) { return equal ? S_OK : S_FALSE; }

  static WEB_AV_TYPE TypeOf(Kind kind) {
    switch (kind) {
    case Kind::Empty:
      return WEB_AV_EMPTY;
    case Kind::Error:
      return WEB_AV_ERROR;
    case Kind::Bool:
      return WEB_AV_BOOL;
    case Kind::Long:
      return WEB_AV_LONG;
    case Kind::Double:
      return WEB_AV_DOUBLE;
    case Kind::String:
      return WEB_AV_STRING;
    case Kind::Point:
      return WEB_AV_POINT;
    case Kind::Rect:
      return WEB_AV_RECT;
    case Kind::EventId:
      return WEB_AV_EVENT_ID;
    case Kind::RunTimeId:
      return WEB_AV_ID;
    case Kind::Unknown:
    case Kind::Variant:
      return WEB_AV_PACKABLE;
    }
    return WEB_AV_EMPTY;
  }

  void Clear() {
    kind_ = Kind::Empty;
    number_ = 0;
    real_ = 0;
    text_.clear();
    point_ = {};
    rect_ = {};
    event_.Reset();
    rtid_.Reset();
    unknown_.Reset();
    VariantClear(&raw_);
  }

  HRESULT PutVariant(const VARIANT &source) {
    VariantHolder v;
    HRESULT hr = VariantCopyInd(v.Ptr(), &source);
    if (FAILED(hr))
      return hr;
    switch (v->vt) {
    case VT_EMPTY:
    case VT_NULL:
      Clear();
      return S_OK;
    case VT_BOOL:
      return put_bool(v->boolVal != VARIANT_FALSE);
    case VT_R4:
    case VT_R8: {
      VariantHolder d;
      hr = VariantChangeType(d.Ptr(), v.Ptr(), 0, VT_R8);
      return FAILED(hr) ? hr : put_double(d->dblVal);
    }
    case VT_BSTR:
      return put_string(v->bstrVal);
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_INT:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UINT:
    case VT_I8:
    case VT_UI8: {
      VariantHolder l;
      if (SUCCEEDED(VariantChangeType(l.Ptr(), v.Ptr(), 0, VT_I4)))
        return put_long(l->lVal);
      break;
    }
    case VT_ERROR:
      if (v->scode >= WEB_UNDEFINED_ERROR && v->scode <= WEB_E_FAILED)
        return SetError(static_cast<WEB_AV_ERR_CODE>(v->scode));
      break;
    case VT_UNKNOWN:
    case VT_DISPATCH: {
      IUnknown *object = ObjectOf(*v);
      if (object == nullptr)
        return put_unknown(nullptr);
      if (auto id = QueryAs<IWebRunTimeID>(object))
        return put_RTID(id.Get());
      if (auto id = QueryAs<IWebEventID>(object))
        return put_eventId(id.Get());
      if (v->vt == VT_UNKNOWN)
        return put_unknown(object);
      break;
    }
    case VT_ARRAY | VT_I4: {
      LONG values[4];
      if (ReadLongArray(*v, 2, values))
        return put_point({values[0], values[1]});
      if (ReadLongArray(*v, 4, values))
        return put_rect({values[0], values[1], values[2], values[3]});
      break;
    }
    default:
      break;
    }
    Clear();
    kind_ = Kind::Variant;
    v.Detach(&raw_);
    return S_OK;
  }

  HRESULT SetFrom(IWebVariant *source) {
    WEB_AV_TYPE type = WEB_AV_EMPTY;
    HRESULT hr = source->GetType(&type);
    if (FAILED(hr))
      return hr;
    switch (type) {
    case WEB_AV_EMPTY:
      Clear();
      return S_OK;
    case WEB_AV_BOOL: {
      LONG value = 0;
      hr = source->get_bool(&value);
      return FAILED(hr) ? hr : put_bool(value);
    }
    case WEB_AV_LONG: {
      LONG value = 0;
      hr = source->get_long(&value);
      return FAILED(hr) ? hr : put_long(value);
    }
    case WEB_AV_DOUBLE: {
      double value = 0;
      hr = source->get_double(&value);
      return FAILED(hr) ? hr : put_double(value);
    }
    case WEB_AV_STRING: {
      BSTR value = nullptr;
      hr = source->get_string(&value);
      if (SUCCEEDED(hr))
        hr = put_string(value);
      SysFreeString(value);
      return hr;
    }
    case WEB_AV_POINT: {
      tagPOINT value{};
      hr = source->get_point(&value);
      return FAILED(hr) ? hr : put_point(value);
    }
    case WEB_AV_RECT: {
      tagRECT value{};
      hr = source->get_rect(&value);
      return FAILED(hr) ? hr : put_rect(value);
    }
    case WEB_AV_ID: {
      ComPtr<IWebRunTimeID> value;
      hr = source->get_RTID(value.Out());
      return FAILED(hr) ? hr : put_RTID(value.Get());
    }
    case WEB_AV_EVENT_ID: {
      ComPtr<IWebEventID> value;
      hr = source->get_eventId(value.Out());
      return FAILED(hr) ? hr : put_eventId(value.Get());
    }
    default: {
      // Errors and opaque values travel as their VARIANT; a kept IUnknown
      // stays an IUnknown.
      ComPtr<IUnknown> object;
      if (type == WEB_AV_PACKABLE && SUCCEEDED(source->get_unknown(object.Out())) && object) {
        VariantHolder probe;
        if (SUCCEEDED(source->ToVariant(probe.Ptr())) && probe->vt == VT_UNKNOWN)
          return put_unknown(object.Get());
      }
      VariantHolder value;
      hr = source->ToVariant(value.Ptr());
      return FAILED(hr) ? hr : PutVariant(*value);
    }
    }
  }

  // The value as a VARIANT; `forConversion` gives ids as their string form.
  HRESULT MakeVariant(VARIANT *out, bool forConversion) {
    switch (kind_) {
    case Kind::Empty:
      return S_OK;
    case Kind::Error:
      out->vt = VT_ERROR;
      out->scode = number_;
      return S_OK;
    case Kind::Bool:
      out->vt = VT_BOOL;
      out->boolVal = number_ != 0 ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    case Kind::Long:
      out->vt = VT_I4;
      out->lVal = number_;
      return S_OK;
    case Kind::Double:
      out->vt = VT_R8;
      out->dblVal = real_;
      return S_OK;
    case Kind::String:
      out->bstrVal = ToBstr(text_);
      if (out->bstrVal == nullptr)
        return E_OUTOFMEMORY;
      out->vt = VT_BSTR;
      return S_OK;
    case Kind::Point: {
      LONG values[] = {point_.x, point_.y};
      return MakeLongArray(values, 2, out);
    }
    case Kind::Rect: {
      LONG values[] = {rect_.left, rect_.top, rect_.right, rect_.bottom};
      return MakeLongArray(values, 4, out);
    }
    case Kind::EventId:
    case Kind::RunTimeId: {
      if (forConversion) {
        std::wstring text;
        HRESULT hr = AsText(text);
        if (FAILED(hr))
          return hr;
        out->bstrVal = ToBstr(text);
        if (out->bstrVal == nullptr)
          return E_OUTOFMEMORY;
        out->vt = VT_BSTR;
        return S_OK;
      }
      IUnknown *copy = nullptr;
      HRESULT hr = get_unknown(&copy);
      if (FAILED(hr))
        return hr;
      out->vt = VT_UNKNOWN;
      out->punkVal = copy;
      return S_OK;
    }
    case Kind::Unknown:
      out->vt = VT_UNKNOWN;
      unknown_.CopyTo(&out->punkVal);
      return S_OK;
    case Kind::Variant:
      return VariantCopy(out, &raw_);
    }
    return E_UNEXPECTED;
  }

  // Converts a scalar value (bool, long, double, string, kept VARIANT) to vt.
  HRESULT ConvertScalar(VARTYPE vt, VariantHolder &out) {
    switch (kind_) {
    case Kind::Bool:
    case Kind::Long:
    case Kind::Double:
    case Kind::String:
    case Kind::Variant:
    case Kind::EventId:
    case Kind::RunTimeId: {
      VariantHolder mine;
      HRESULT hr = MakeVariant(mine.Ptr(), true);
      if (FAILED(hr))
        return hr;
      return ChangeTo(out.Ptr(), mine.Ptr(), vt);
    }
    default:
      return DISP_E_TYPEMISMATCH;
    }
  }

  HRESULT AsText(std::wstring &text) {
    switch (kind_) {
    case Kind::String:
      text = text_;
      return S_OK;
    case Kind::RunTimeId:
    case Kind::EventId: {
      BSTR value = nullptr;
      HRESULT hr = kind_ == Kind::RunTimeId ? rtid_->GetIdAsString(&value)
                                            : event_->GetEventIdAsString(&value);
      if (SUCCEEDED(hr))
        text = FromBstr(value);
      SysFreeString(value);
      return hr;
    }
    case Kind::Bool:
    case Kind::Long:
    case Kind::Double:
    case Kind::Variant: {
      VariantHolder v;
      HRESULT hr = ConvertScalar(VT_BSTR, v);
      if (SUCCEEDED(hr))
        text = FromBstr(v->bstrVal);
      return hr;
    }
    default:
      return DISP_E_TYPEMISMATCH;
    }
  }

  HRESULT AsRunTimeId(ComPtr<IWebRunTimeID> &out) {
    if (kind_ == Kind::RunTimeId)
      return CopyWebRunTimeID(rtid_.Get(), out);
    if (kind_ == Kind::Unknown) {
      auto id = QueryAs<IWebRunTimeID>(unknown_.Get());
      return id ? CopyWebRunTimeID(id.Get(), out) : DISP_E_TYPEMISMATCH;
    }
    if (kind_ != Kind::String && kind_ != Kind::Variant && kind_ != Kind::Long)
      return DISP_E_TYPEMISMATCH;
    HRESULT hr =
        CreateWebRunTimeID(nullptr, IID_IWebRunTimeID, reinterpret_cast<void **>(out.Out()));
    if (FAILED(hr))
      return hr;
    VariantHolder mine;
    hr = MakeVariant(mine.Ptr(), true);
    if (SUCCEEDED(hr))
      hr = out->SetIdFromVariant(*mine);
    if (FAILED(hr)) {
      out.Reset();
      return DISP_E_TYPEMISMATCH;
    }
    return S_OK;
  }

  HRESULT AsEventId(ComPtr<IWebEventID> &out) {
    if (kind_ == Kind::EventId)
      return CopyWebEventID(event_.Get(), out);
    if (kind_ == Kind::Unknown) {
      auto id = QueryAs<IWebEventID>(unknown_.Get());
      return id ? CopyWebEventID(id.Get(), out) : DISP_E_TYPEMISMATCH;
    }
    if (kind_ != Kind::String)
      return DISP_E_TYPEMISMATCH;
    HRESULT hr = CreateWebEventID(nullptr, IID_IWebEventID, reinterpret_cast<void **>(out.Out()));
    if (FAILED(hr))
      return hr;
    BSTR text = ToBstr(text_);
    if (text == nullptr)
      return E_OUTOFMEMORY;
    hr = out->SetEventIDFromString(text);
    SysFreeString(text);
    if (FAILED(hr)) {
      out.Reset();
      return DISP_E_TYPEMISMATCH;
    }
    return S_OK;
  }

  HRESULT ConvertInPlace(WEB_AV_TYPE type) {
    switch (type) {
    case WEB_AV_EMPTY:
      Clear();
      return S_OK;
    case WEB_AV_BOOL: {
      LONG value = 0;
      HRESULT hr = get_bool(&value);
      return FAILED(hr) ? hr : put_bool(value);
    }
    case WEB_AV_LONG: {
      LONG value = 0;
      HRESULT hr = get_long(&value);
      return FAILED(hr) ? hr : put_long(value);
    }
    case WEB_AV_DOUBLE: {
      double value = 0;
      HRESULT hr = get_double(&value);
      return FAILED(hr) ? hr : put_double(value);
    }
    case WEB_AV_STRING: {
      std::wstring text;
      HRESULT hr = AsText(text);
      if (FAILED(hr))
        return hr;
      Clear();
      kind_ = Kind::String;
      text_ = std::move(text);
      return S_OK;
    }
    case WEB_AV_ID: {
      ComPtr<IWebRunTimeID> id;
      HRESULT hr = AsRunTimeId(id);
      return FAILED(hr) ? hr : put_RTID(id.Get());
    }
    case WEB_AV_EVENT_ID: {
      ComPtr<IWebEventID> id;
      HRESULT hr = AsEventId(id);
      return FAILED(hr) ? hr : put_eventId(id.Get());
    }
    default:
      // Points, rects, errors and opaque values are not made from other kinds.
      return DISP_E_TYPEMISMATCH;
    }
  }

  HRESULT CompareTo(IWebVariant *other, LONG ignoreSpaces, LONG ignoreCase) {
    if (other == static_cast<IWebVariant *>(this))
      return S_OK;
    WEB_AV_TYPE type = WEB_AV_EMPTY;
    HRESULT hr = other->GetType(&type);
    if (FAILED(hr))
      return hr;
    switch (type) {
    case WEB_AV_STRING: {
      BSTR text = nullptr;
      hr = other->get_string(&text);
      if (SUCCEEDED(hr))
        hr = CompareString(text, ignoreSpaces, ignoreCase);
      SysFreeString(text);
      return hr;
    }
    case WEB_AV_POINT: {
      tagPOINT value{};
      hr = other->get_point(&value);
      return FAILED(hr) ? hr : ComparePoint(value);
    }
    case WEB_AV_RECT: {
      tagRECT value{};
      hr = other->get_rect(&value);
      return FAILED(hr) ? hr : CompareRect(value);
    }
    case WEB_AV_PACKABLE: {
      ComPtr<IUnknown> object;
      if (SUCCEEDED(other->get_unknown(object.Out())) && object)
        return CompareObject(object.Get());
      break;
    }
    default:
      break;
    }
    VariantHolder value;
    hr = other->ToVariant(value.Ptr());
    return FAILED(hr) ? hr : CompareWith(*value);
  }

  HRESULT CompareObject(IUnknown *object) {
    VARIANT v;
    v.vt = VT_UNKNOWN;
    v.punkVal = object;
    return Guarded([&] { return CompareWith(v); });
  }

  // Compares with a VARIANT (by value, not by reference).
  HRESULT CompareWith(VARIANT &arg) {
    switch (kind_) {
    case Kind::Empty:
      return Answer(arg.vt == VT_EMPTY || arg.vt == VT_NULL ||
                    (IsObjectVariant(arg) && ObjectOf(arg) == nullptr));
    case Kind::Error:
      return Answer(arg.vt == VT_ERROR && arg.scode == number_);
    case Kind::Point: {
      LONG values[2];
      return Answer(ReadLongArray(arg, 2, values) && values[0] == point_.x &&
                    values[1] == point_.y);
    }
    case Kind::Rect: {
      LONG values[4];
      return Answer(ReadLongArray(arg, 4, values) && values[0] == rect_.left &&
                    values[1] == rect_.top && values[2] == rect_.right &&
                    values[3] == rect_.bottom);
    }
    case Kind::RunTimeId:
    case Kind::EventId:
      return CompareId(arg);
    case Kind::Unknown:
      return Answer(IsObjectVariant(arg) && SameObject(unknown_.Get(), ObjectOf(arg)));
    case Kind::Variant:
      if (IsObjectVariant(raw_))
        return Answer(IsObjectVariant(arg) && SameObject(ObjectOf(raw_), ObjectOf(arg)));
      return CompareAsText(arg);
    default:
      return CompareScalar(arg);
    }
  }

  static bool SameObject(IUnknown *a, IUnknown *b) {
    if (a == nullptr || b == nullptr)
      return a == b;
    ComPtr<IUnknown> ia = QueryAs<IUnknown>(a), ib = QueryAs<IUnknown>(b);
    return ia && ia.Get() == ib.Get();
  }

  HRESULT CompareScalar(VARIANT &arg) {
    if (IsObjectVariant(arg) || arg.vt == VT_EMPTY || arg.vt == VT_NULL)
      return S_FALSE;
    VariantHolder converted;
    if (kind_ == Kind::Bool || arg.vt == VT_BOOL) {
      LONG mine = 0;
      if (FAILED(get_bool(&mine)) || FAILED(ChangeTo(converted.Ptr(), &arg, VT_BOOL)))
        return S_FALSE;
      return Answer((mine != 0) == (converted->boolVal != VARIANT_FALSE));
    }
    if (kind_ == Kind::Double || (kind_ == Kind::Long && IsFractionType(arg.vt))) {
      double mine = kind_ == Kind::Double ? real_ : number_;
      if (FAILED(ChangeTo(converted.Ptr(), &arg, VT_R8)))
        return S_FALSE;
      return Answer(mine == converted->dblVal);
    }
    if (kind_ == Kind::Long) {
      if (FAILED(ChangeTo(converted.Ptr(), &arg, VT_I4)))
        return S_FALSE;
      return Answer(number_ == converted->lVal);
    }
    return CompareAsText(arg);
  }

  // Strings and kept VARIANTs: exact comparison of the text forms.
  HRESULT CompareAsText(VARIANT &arg) {
    std::wstring mine;
    VariantHolder converted;
    if (FAILED(AsText(mine)) || FAILED(ChangeTo(converted.Ptr(), &arg, VT_BSTR)))
      return S_FALSE;
    return Answer(mine == FromBstr(converted->bstrVal));
  }

  HRESULT CompareId(VARIANT &arg) {
    ComPtr<CWebVariant> other(new CWebVariant);
    other->Release(); // ComPtr holds the only reference.
    if (FAILED(other->PutVariant(arg)))
      return S_FALSE;
    if (other->kind_ != kind_ && FAILED(other->ConvertInPlace(TypeOf(kind_))))
      return S_FALSE;
    HRESULT hr = kind_ == Kind::RunTimeId ? rtid_->IsEqual(other->rtid_.Get())
                                          : event_->IsEqual(other->event_.Get());
    return Answer(hr == S_OK);
  }

  Kind kind_ = Kind::Empty;
  LONG number_ = 0; // bool (0/1), long, or error code
  double real_ = 0;
  std::wstring text_;
  tagPOINT point_{};
  tagRECT rect_{};
  ComPtr<IWebEventID> event_;
  ComPtr<IWebRunTimeID> rtid_;
  ComPtr<IUnknown> unknown_;
  VARIANT raw_;
};

} // namespace

HRESULT CreateWebVariant(IUnknown *outer, REFIID riid, void **ppv) {
  return CreateObject<CWebVariant>(outer, riid, ppv);
}

} // namespace host
