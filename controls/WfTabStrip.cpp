#include "controls/WfTabStrip.h"

#include "controls/ViewLinkScript.h"
#include "support/QilDispatchDriver.h"
#include "webobj/WebIds.h"

using namespace ViewLinkScript;

namespace {

constexpr LONG kAttrSelectedTabName = 16387;
constexpr LONG kAttrTabIndex = 16389;
constexpr LONG kMethodSelectTab = 1024;
constexpr LONG kMethodGetTabText = 1029;

} // namespace

CWfTabStrip::CWfTabStrip(IUnknown *element, IWebObj2 *parent, IWebObj2 *innerAO)
    : CAOEventConnection<CIE55ViewLinkElement>(element, parent, innerAO) {
  SetWebClass(kTabStripClass);
  NameWebFormsEventConfiguration();
  NameInnerEventConfiguration(m_spInnerAO);
}

STDMETHODIMP CWfTabStrip::GetAttrEx(LONG Name, IWebAttrVal *pAttrData, IWebAttrVal **ppAttrVal) {
  if (ppAttrVal == nullptr)
    return CIE55ViewLinkElement::GetAttrEx(Name, pAttrData, ppAttrVal);
  if (AnswerControlAttribute(this, L"WbfTabStrip", Name, pAttrData, ppAttrVal))
    return S_OK;
  CQilBstr text;
  switch (Name) {
  case 6:
    if (SUCCEEDED(SelectedTabText(text)))
      OutString(text, ppAttrVal);
    return S_OK;
  case 121:
    if (SUCCEEDED(AllTabTexts(text))) {
      OutString(text, ppAttrVal);
      if (*ppAttrVal != nullptr)
        (*ppAttrVal)->SetUseSpecialChars(1);
    }
    return S_OK;
  case 122: {
    CQilComPtr<IDispatch> strip;
    LONG count = -1;
    if (SUCCEEDED(Dispatch(strip)) && SUCCEEDED(TabCount(strip, count)))
      OutLong(count, ppAttrVal);
    return S_OK;
  }
  case kAttrSelectedTabName:
    if (SUCCEEDED(SelectedTabName(text)))
      OutString(text, ppAttrVal);
    return S_OK;
  default:
    return CIE55ViewLinkElement::GetAttrEx(Name, pAttrData, ppAttrVal);
  }
}

STDMETHODIMP CWfTabStrip::InvokeMethod(METHOD_NAME_ENUM MethodName, IWebInfo **ppWebInfo) {
  LONG method = static_cast<LONG>(MethodName);
  if (method != kMethodSelectTab && method != kMethodGetTabText)
    return CIE55ViewLinkElement::InvokeMethod(MethodName, ppWebInfo);
  if (ppWebInfo == nullptr || *ppWebInfo == nullptr)
    return E_POINTER;
  IWebInfo *request = *ppWebInfo;
  HRESULT outcome = method == kMethodSelectTab ? SelectTab(request) : GetTabText(request);
  request->SetReturnValue(outcome);
  return S_FALSE;
}

HRESULT CWfTabStrip::BuildRecordInfo(IUnknown *element, IWebInfo **record) {
  HRESULT hr = CIE55ViewLinkElement::BuildRecordInfo(element, record);
  if (hr != S_OK)
    return hr;
  CQilBstr name;
  if (FAILED(SelectedTabName(name)))
    return S_FALSE;
  ReplaceString(*record, 6, name);
  return S_OK;
}

HRESULT CWfTabStrip::Dispatch(CQilComPtr<IDispatch> &dispatch) {
  return ElementDispatch(m_spHTMLElement, dispatch);
}

HRESULT CWfTabStrip::TabCount(IDispatch *strip, LONG &count) {
  count = -1;
  CQilVariant value;
  HRESULT hr = GetProperty(strip, L"numTabs", value);
  if (FAILED(hr))
    return hr;
  if (value.vt != VT_I4)
    return S_FALSE;
  count = value.lVal;
  return S_OK;
}

HRESULT CWfTabStrip::TabText(IDispatch *strip, LONG index, CQilBstr &text) {
  text.Empty();
  LONG count = -1;
  HRESULT hr = TabCount(strip, count);
  if (hr != S_OK)
    return hr;
  if (index < 0 || index >= count)
    return kIndexOutOfRange;
  CQilVariant tab;
  hr = Call1(strip, L"getTab", CQilVariant(index), tab);
  if (FAILED(hr))
    return hr;
  CQilComPtr<IDispatch> tabObject = DispatchOf(tab);
  if (!tabObject)
    return kItemNotFound;
  hr = GetAttributeText(tabObject, L"innerText", text);
  return FAILED(hr) ? hr : S_OK;
}

HRESULT CWfTabStrip::SelectedIndex(CQilComPtr<IDispatch> &strip, CQilVariant &selected) {
  HRESULT hr = Dispatch(strip);
  if (FAILED(hr))
    return hr;
  return GetProperty(strip, L"selectedindex", selected);
}

HRESULT CWfTabStrip::SelectedTabText(CQilBstr &text) {
  text.Empty();
  CQilComPtr<IDispatch> strip;
  CQilVariant selected;
  HRESULT hr = SelectedIndex(strip, selected);
  if (FAILED(hr) || selected.vt != VT_I4)
    return FAILED(hr) ? hr : S_OK;
  hr = TabText(strip, selected.lVal, text);
  return FAILED(hr) ? hr : S_OK;
}

HRESULT CWfTabStrip::SelectedTabName(CQilBstr &name) {
  name.Empty();
  CQilComPtr<IDispatch> strip;
  CQilVariant selected;
  HRESULT hr = SelectedIndex(strip, selected);
  if (FAILED(hr))
    return hr;
  if (selected.vt == VT_BSTR) {
    hr = selected.ChangeType(VT_I4);
    if (FAILED(hr))
      return hr;
  }
  if (selected.vt != VT_I4)
    return S_OK;
  LONG index = selected.lVal;
  CQilBstr text;
  hr = TabText(strip, index, text);
  if (FAILED(hr))
    return hr;
  if (text.IsEmpty()) {
    name = IndexName(index);
    return S_OK;
  }
  LONG count = -1;
  hr = TabCount(strip, count);
  if (FAILED(hr))
    return hr;
  name = Copy(text);
  LONG named = -1;
  // A text that replay would read as another tab's index names its own.
  if (ParseIndexName(text, named) && named >= 0 && named < count) {
    name = IndexName(index);
    return S_OK;
  }
  for (LONG other = 0; other < count; ++other) {
    CQilBstr otherText;
    if (other == index || FAILED(TabText(strip, other, otherText)))
      continue;
    if (SameText(text, otherText)) {
      name = IndexName(index);
      break;
    }
  }
  return S_OK;
}

HRESULT CWfTabStrip::AllTabTexts(CQilBstr &list) {
  list = L"";
  CQilComPtr<IDispatch> strip;
  HRESULT hr = Dispatch(strip);
  if (FAILED(hr))
    return hr;
  LONG count = -1;
  hr = TabCount(strip, count);
  if (FAILED(hr))
    return hr;
  for (LONG index = 0; index < count; ++index) {
    CQilBstr text;
    if (FAILED(TabText(strip, index, text)))
      continue;
    hr = index == 0 ? list.Append(text, text.Length()) : AppendLine(list, text);
    if (FAILED(hr))
      return hr;
  }
  return S_OK;
}

HRESULT CWfTabStrip::TabIndexOf(IDispatch *strip, BSTR name, LONG &index) {
  index = -1;
  LONG count = -1;
  HRESULT hr = TabCount(strip, count);
  if (hr != S_OK)
    return hr;
  LONG number = -1;
  if (ParseIndexName(name, number) && number >= 0 && number < count) {
    index = number;
    return S_OK;
  }
  for (LONG tab = 0; tab < count; ++tab) {
    CQilBstr text;
    if (SUCCEEDED(TabText(strip, tab, text)) && SameText(text, name)) {
      index = tab;
      return S_OK;
    }
  }
  return kItemNotFound;
}

HRESULT CWfTabStrip::SelectTab(IWebInfo *request) {
  CQilComPtr<IDispatch> strip;
  HRESULT hr = Dispatch(strip);
  if (FAILED(hr))
    return hr;
  CQilBstr name;
  if (!ReadRequestString(request, 6, name))
    return E_FAIL;
  LONG index = -1;
  hr = TabIndexOf(strip, name, index);
  if (FAILED(hr) || index < 0)
    return hr;
  CQilVariant value(index);
  return SetNamedProperty(strip, L"selectedindex", &value);
}

HRESULT CWfTabStrip::GetTabText(IWebInfo *request) {
  LONG index = -1;
  if (!ReadRequestLong(request, kAttrTabIndex, index) || index < 0)
    return E_FAIL;
  CQilComPtr<IDispatch> strip;
  HRESULT hr = Dispatch(strip);
  if (FAILED(hr))
    return hr;
  CQilBstr text;
  hr = TabText(strip, index, text);
  if (FAILED(hr))
    return hr;
  return ReplaceString(request, 6, text);
}
