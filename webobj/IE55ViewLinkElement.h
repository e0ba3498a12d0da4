// The agent object of an element whose content a behaviour renders into a
// view-link document. Questions about that document (children, the object
// under a point, text information, attributes 73, 74 and 172) go to the
// host's own agent object of the element, the inner object.
#pragma once

#include "webobj/IE4Obj.h"

class CIE55ViewLinkElement : public CIE4Obj {
public:
  CIE55ViewLinkElement(IUnknown *element, IWebObj2 *parent, IWebObj2 *innerAO);
  ~CIE55ViewLinkElement() override;

  STDMETHODIMP GetAllChildren(IFilterStruct *pFilter, SAFEARRAY **ppsaChildren) override;
  STDMETHODIMP GetDirectChildren(IFilterStruct *pFilter, SAFEARRAY **ppsaChildren) override;
  STDMETHODIMP GetAttrEx(LONG Name, IWebAttrVal *pAttrData, IWebAttrVal **ppAttrVal) override;
  STDMETHODIMP InvokeMethod(METHOD_NAME_ENUM MethodName, IWebInfo **ppWebInfo) override;
  STDMETHODIMP GetDirectChildrenForLearn(SAFEARRAY **ppsaChildren) override;

  // Answers false; kept by the control objects.
  virtual bool IsViewLinkPredicate() const;

protected:
  CQilComPtr<IWebObj2> m_spInnerAO;
};
