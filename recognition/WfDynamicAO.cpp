#include "recognition/WfDynamicAO.h"

#include "webobj/HostServices.h"

CWfDynamicAO::CWfDynamicAO(LONG ruleId, IUnknown *element, IWebObj2 *parent)
    : CAOEventConnection<CIE4Obj>(element, parent) {
  SetWebClass(ruleId);
  NameWebFormsEventConfiguration();
}

CWfDynamicAO::~CWfDynamicAO() = default;

STDMETHODIMP CWfDynamicAO::GetAttrEx(LONG Name, IWebAttrVal *pAttrData, IWebAttrVal **ppAttrVal) {
  if (Name != 0)
    return CIE4Obj::GetAttrEx(Name, pAttrData, ppAttrVal);
  if (ppAttrVal == nullptr)
    return E_POINTER;
  *ppAttrVal = nullptr;
  LONG recordable = 0;
  HRESULT hr = GetRecordableClass(&recordable);
  if (FAILED(hr))
    return hr;
  CQilComPtr<IWebAttrVal> value = HostServices::NewWebAttrValLong(recordable);
  if (!value)
    return E_FAIL;
  *ppAttrVal = value.Detach();
  return S_OK;
}
