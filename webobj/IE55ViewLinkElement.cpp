#include "webobj/IE55ViewLinkElement.h"

#include "webobj/WebIds.h"

CIE55ViewLinkElement::CIE55ViewLinkElement(IUnknown *element, IWebObj2 *parent, IWebObj2 *innerAO)
    : CIE4Obj(element, parent) {
  m_spInnerAO.Release();
  SetWebClass(kViewLinkClass);
  m_pUtil = SharedWebObjUtil(kViewLinkUtil);
  m_spInnerAO = innerAO;
}

CIE55ViewLinkElement::~CIE55ViewLinkElement() { m_spInnerAO.Release(); }

bool CIE55ViewLinkElement::IsViewLinkPredicate() const { return false; }

STDMETHODIMP CIE55ViewLinkElement::GetAllChildren(IFilterStruct *pFilter,
                                                  SAFEARRAY **ppsaChildren) {
  if (!m_spInnerAO)
    return E_FAIL;
  return m_spInnerAO->GetAllChildren(pFilter, ppsaChildren);
}

STDMETHODIMP CIE55ViewLinkElement::GetDirectChildren(IFilterStruct *pFilter,
                                                     SAFEARRAY **ppsaChildren) {
  if (!m_spInnerAO)
    return E_FAIL;
  return m_spInnerAO->GetDirectChildren(pFilter, ppsaChildren);
}

STDMETHODIMP CIE55ViewLinkElement::GetDirectChildrenForLearn(SAFEARRAY **ppsaChildren) {
  if (!m_spInnerAO)
    return E_FAIL;
  return m_spInnerAO->GetDirectChildrenForLearn(ppsaChildren);
}

STDMETHODIMP CIE55ViewLinkElement::GetAttrEx(LONG Name, IWebAttrVal *pAttrData,
                                             IWebAttrVal **ppAttrVal) {
  if (ppAttrVal == nullptr)
    return E_FAIL;
  switch (Name) {
  case 146:
    GetAttr(58, nullptr, ppAttrVal);
    return S_OK;
  case 198:
  case 199:
    return E_FAIL;
  case 73:
  case 74:
  case 172:
    if (!m_spInnerAO)
      return E_FAIL;
    return m_spInnerAO->GetAttr(Name, pAttrData, ppAttrVal);
  default:
    return CIE4Obj::GetAttrEx(Name, pAttrData, ppAttrVal);
  }
}

STDMETHODIMP CIE55ViewLinkElement::InvokeMethod(METHOD_NAME_ENUM MethodName, IWebInfo **ppWebInfo) {
  if (MethodName != GET_OBJ_ID_FROM_POINT && MethodName != GET_TEXT_INFO_EX)
    return CIE4Obj::InvokeMethod(MethodName, ppWebInfo);
  if (!m_spInnerAO)
    return E_FAIL;
  return m_spInnerAO->InvokeMethod(MethodName, ppWebInfo);
}
