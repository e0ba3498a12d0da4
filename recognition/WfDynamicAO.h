// A dynamic AO: an element object inside a kit control whose web class is
// the id of the recognition rule that created it.
#pragma once

#include "webobj/AOEventConnection.h"
#include "webobj/IE4Obj.h"

class CWfDynamicAO : public CAOEventConnection<CIE4Obj> {
public:
  CWfDynamicAO(LONG ruleId, IUnknown *element, IWebObj2 *parent);
  ~CWfDynamicAO() override;

  // Attribute 0 is the recordable class as a long.
  STDMETHODIMP GetAttrEx(LONG Name, IWebAttrVal *pAttrData, IWebAttrVal **ppAttrVal) override;
};
