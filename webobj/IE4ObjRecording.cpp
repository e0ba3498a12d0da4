// Recording of the element object: the record of a user action and the
// record configuration of its web class.
#include "webobj/IE4Obj.h"
#include "webobj/RecordConfig.h"

STDMETHODIMP CIE4Obj::GetRecordConfig(IWebInfo **ppObligAttrs, IWebInfo **ppOptionalAttrs,
                                      BSTR *pbstrSelector) {
  if (ppObligAttrs == nullptr || ppOptionalAttrs == nullptr || pbstrSelector == nullptr)
    return E_POINTER;
  if (m_pUtil == nullptr)
    return E_FAIL;
  return RecordConfig::GetLists(m_pUtil, ppObligAttrs, ppOptionalAttrs, pbstrSelector);
}

STDMETHODIMP CIE4Obj::GetRecordAttr(IWebInfo **ppObligAttrs, IWebInfo **ppOptionalAttrs,
                                    BSTR *pbstrSelector) {
  if (ppObligAttrs == nullptr || ppOptionalAttrs == nullptr || pbstrSelector == nullptr)
    return E_POINTER;
  if (m_pUtil == nullptr)
    return E_FAIL;
  HRESULT hr = GetRecordConfig(ppObligAttrs, ppOptionalAttrs, pbstrSelector);
  if (FAILED(hr))
    return hr;
  hr = GetAttrs(ppObligAttrs);
  if (FAILED(hr))
    return hr;
  hr = GetAttrs(ppOptionalAttrs);
  return FAILED(hr) ? hr : S_OK;
}

STDMETHODIMP CIE4Obj::FillRecordInformation(IUnknown *pElement, tagWIEventData,
                                            IWebInfo **ppRecInfo) {
  CQilComPtr<IHTMLElement> element;
  if (pElement != nullptr) {
    HRESULT hr = pElement->QueryInterface(IID_IHTMLElement, reinterpret_cast<void **>(&element));
    if (FAILED(hr) && hr != E_NOINTERFACE)
      return hr;
  }
  return BuildRecordInfo(element, ppRecInfo);
}

HRESULT CIE4Obj::BuildRecordInfo(IUnknown *, IWebInfo **record) {
  if (record == nullptr || *record == nullptr)
    return E_POINTER;
  CQilComPtr<IWebAttrVal> name;
  if (GetAttr(6, nullptr, &name) == S_OK && name)
    (*record)->InsertAttrWebAttr(6, name, 1);
  return S_OK;
}
