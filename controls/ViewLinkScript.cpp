#include "controls/ViewLinkScript.h"

#include <cwchar>
#include <cwctype>

#include "support/QilDispatchDriver.h"
#include "webobj/AOEventConnection.h"
#include "webobj/HostServices.h"

namespace ViewLinkScript {

HRESULT ElementDispatch(IHTMLElement *element, CQilComPtr<IDispatch> &dispatch) {
  dispatch.Release();
  if (element == nullptr)
    return E_FAIL;
  return dispatch.QueryFrom(element);
}

HRESULT GetProperty(IDispatch *object, LPCOLESTR name, CQilVariant &value) {
  value.Clear();
  return GetNamedProperty(object, name, &value);
}

HRESULT Call0(IDispatch *object, LPCOLESTR name, CQilVariant &result) {
  result.Clear();
  return CallNamedMethod0(object, name, &result, nullptr, nullptr);
}

HRESULT Call1(IDispatch *object, LPCOLESTR name, const VARIANT &argument, CQilVariant &result) {
  result.Clear();
  CQilVariant copy(argument);
  return CallNamedMethod1(object, name, &copy, &result, nullptr, nullptr);
}

HRESULT Call2(IDispatch *object, LPCOLESTR name, const VARIANT &first, const VARIANT &second,
              CQilVariant &result) {
  result.Clear();
  CQilVariant arguments[2] = {CQilVariant(second), CQilVariant(first)}; // right to left
  DISPPARAMS parameters{};
  parameters.rgvarg = arguments;
  parameters.cArgs = 2;
  return CallNamedMethod(object, name, &parameters, &result, nullptr, nullptr);
}

HRESULT GetAttribute(IDispatch *object, LPCOLESTR name, CQilVariant &value) {
  return Call1(object, L"getAttribute", CQilVariant(name), value);
}

HRESULT GetAttributeText(IDispatch *object, LPCOLESTR name, CQilBstr &text) {
  text.Empty();
  CQilVariant value;
  HRESULT hr = GetAttribute(object, name, value);
  if (FAILED(hr))
    return hr;
  if (value.vt != VT_BSTR)
    return S_FALSE;
  text.Attach(value.bstrVal);
  value.vt = VT_EMPTY;
  return S_OK;
}

CQilComPtr<IDispatch> DispatchOf(const VARIANT &value) {
  if (value.vt != VT_DISPATCH)
    return {};
  return value.pdispVal;
}

CQilBstr IndexName(LONG index) {
  WCHAR text[16] = {};
  swprintf(text, 16, L"#%d", static_cast<int>(index));
  return CQilBstr(text);
}

bool ParseIndexName(BSTR name, LONG &number) {
  UINT length = SysStringLen(name);
  if (length < 2 || name[0] != L'#')
    return false;
  UINT at = 1;
  while (at < length && iswspace(name[at]))
    ++at;
  bool negative = false;
  if (at < length && (name[at] == L'-' || name[at] == L'+'))
    negative = name[at++] == L'-';
  // The reading saturates at the bounds of a 32-bit number.
  constexpr long long kLargest = 2147483647LL;
  long long limit = negative ? kLargest + 1 : kLargest;
  long long value = 0;
  for (; at < length && name[at] >= L'0' && name[at] <= L'9'; ++at)
    value = value >= limit ? limit : value * 10 + (name[at] - L'0');
  if (value > limit)
    value = limit;
  number = static_cast<LONG>(negative ? -value : value);
  return true;
}

CQilBstr Copy(BSTR text) { return CQilBstr(text != nullptr ? text : L"", SysStringLen(text)); }

bool SameText(BSTR left, BSTR right) {
  return VarBstrCmp(left, right, LOCALE_USER_DEFAULT, 0) == static_cast<HRESULT>(VARCMP_EQ);
}

HRESULT AppendLine(CQilBstr &list, BSTR text) {
  HRESULT hr = list.Append(L"\n", 1);
  if (FAILED(hr))
    return hr;
  return list.Append(text, SysStringLen(text));
}

CQilBstr Trimmed(BSTR text) {
  UINT begin = 0;
  UINT end = SysStringLen(text);
  while (begin < end && iswspace(text[begin]))
    ++begin;
  while (end > begin && iswspace(text[end - 1]))
    --end;
  return CQilBstr(text != nullptr ? text + begin : L"", end - begin);
}

bool ReadRequestString(IWebInfo *request, LONG id, CQilBstr &value) {
  CQilComPtr<IWebVariant> entry;
  if (request == nullptr ||
      FAILED(request->GetTopInnerAttrValueByName(id, WEB_AV_STRING, &entry)) || !entry)
    return false;
  WEB_AV_TYPE type = WEB_AV_EMPTY;
  if (FAILED(entry->GetType(&type)) || type != WEB_AV_STRING)
    return false;
  return SUCCEEDED(entry->get_string(&value));
}

bool ReadRequestLong(IWebInfo *request, LONG id, LONG &value) {
  CQilComPtr<IWebVariant> entry;
  if (request == nullptr || FAILED(request->GetTopInnerAttrValueByName(id, WEB_AV_LONG, &entry)) ||
      !entry)
    return false;
  return SUCCEEDED(entry->get_long(&value));
}

HRESULT ReplaceString(IWebInfo *record, LONG id, BSTR value) {
  CQilComPtr<IWebAttrVal> entry = HostServices::NewWebAttrValString(value);
  if (!entry)
    return E_FAIL;
  return record->ReplaceAttrValueByName(id, entry, 1);
}

HRESULT ReplaceLong(IWebInfo *record, LONG id, LONG value) {
  CQilComPtr<IWebAttrVal> entry = HostServices::NewWebAttrValLong(value);
  if (!entry)
    return E_FAIL;
  return record->ReplaceAttrValueByName(id, entry, 1);
}

void OutString(BSTR text, IWebAttrVal **value) {
  CQilComPtr<IWebAttrVal> made = HostServices::NewWebAttrValString(text);
  if (made)
    *value = made.Detach();
}

void OutLong(LONG number, IWebAttrVal **value) {
  CQilComPtr<IWebAttrVal> made = HostServices::NewWebAttrValLong(number);
  if (made)
    *value = made.Detach();
}

void OutRuntimeId(IWebObj2 *object, IWebAttrVal **value) {
  CQilComPtr<IWebRunTimeID> id;
  if (FAILED(object->GetId(&id)) || !id)
    return;
  CQilComPtr<IWebAttrVal> made = HostServices::NewWebAttrVal();
  if (made && SUCCEEDED(made->AddWebRTID(id)))
    *value = made.Detach();
}

bool AnswerControlAttribute(IWebObj2 *control, LPCOLESTR className, LONG id, IWebAttrVal *data,
                            IWebAttrVal **value) {
  switch (id) {
  case 0:
    OutString(CQilBstr(className), value);
    return true;
  case 146:
    control->GetAttr(138, data, value);
    return true;
  case 199:
    OutRuntimeId(control, value);
    return true;
  default:
    return false;
  }
}

void NameInnerEventConfiguration(IWebObj2 *innerAO) {
  CQilComPtr<IWebObjEventConfigControl> control;
  if (innerAO == nullptr || FAILED(control.QueryFrom(innerAO)) || !control)
    return;
  CQilBstr file(kWebFormsEventConfiguration);
  control->SetEventConfig(file, VARIANT_TRUE);
}

} // namespace ViewLinkScript
