// The table object: the element object of an HTML TABLE, with its row and
// cell counts, table attributes, rows as direct children, and the host's
// table requests. The base of the grid control objects.
#pragma once

#include "webobj/IE4Obj.h"

class CIE4Table : public CIE4Obj {
public:
  CIE4Table(IUnknown *element, IWebObj2 *parent);
  ~CIE4Table() override;

  STDMETHODIMP GetDirectChildCount(LONG bUpdateBefore, LONG *plCount) override;
  STDMETHODIMP GetDirectChildren(IFilterStruct *pFilter, SAFEARRAY **ppsaChildren) override;
  STDMETHODIMP GetAttrEx(LONG Name, IWebAttrVal *pAttrData, IWebAttrVal **ppAttrVal) override;
  STDMETHODIMP InvokeMethod(METHOD_NAME_ENUM MethodName, IWebInfo **ppWebInfo) override;

  // The table's own operations, in this order; 0 or false when the DOM
  // cannot tell.
  virtual LONG GetRowCount();
  virtual LONG GetRowCellCount(LONG rowIndex);
  virtual LONG GetCellCount();
  // The trimmed texts of the row's cells joined by ";"; true only when one
  // of them is not empty (*text is freed first and left empty otherwise).
  virtual bool GetRowText(IUnknown *row, BSTR *text);

protected:
  CQilComPtr<IHTMLElementCollection> Rows();
  // Whether attribute `id` is one of the table's; fills `value` and the
  // HRESULT to answer.
  bool TableAttribute(LONG id, IWebAttrVal *data, CQilComPtr<IWebAttrVal> &value, HRESULT &hr);
  HRESULT TableName(IWebAttrVal *value);
  HRESULT CellRunTimeId(IWebAttrVal *data, IWebAttrVal *value);
  LONG PositionInDocument();
  HRESULT CaptionText(IWebAttrVal *value);
  HRESULT FirstRowText(IWebAttrVal *value);

  BSTR m_bstrTableName = nullptr;
};
