// The agent object of an ASP.NET DataGrid: a table object of web class
// "WbfGrid" that addresses the controls inside its cells by row, column,
// control group and position, and records an action on such a control as a
// step naming the cell, the control and its position in the cell.
#pragma once

#include <windows.h>

#include <mshtml.h>

#include "support/QilComPtr.h"
#include "webobj/AOEventConnection.h"
#include "webobj/IE4Table.h"
#include "webobj/IEConfigurationObject.h"

class CWfGrid : public CAOEventConnection<CIE4Table> {
public:
  CWfGrid(IUnknown *element, IWebObj2 *parent);
  ~CWfGrid() override;

  // Whether a TABLE is a DataGrid: it matches "Grid_Main", or it has an id,
  // holds to "Grid_Rules" when that names a rules property, lies in an
  // ASP.NET form and has at least two rows of equal cell counts, the last
  // row possibly a pager row of one cell spanning all columns.
  static bool IsGrid(IHTMLElement *element);
  // The same test against the given configuration instead of the kit's.
  static bool IsGrid(IHTMLElement *element, const CIEConfigurationObject &configuration);
  // The control group of a web class name: 1 for input controls, 0 for
  // clickable ones, -1 for any other.
  static LONG ControlGroup(BSTR className);

  STDMETHODIMP GetAttrEx(LONG Name, IWebAttrVal *pAttrData, IWebAttrVal **ppAttrVal) override;
  STDMETHODIMP InvokeMethod(METHOD_NAME_ENUM MethodName, IWebInfo **ppWebInfo) override;
  HRESULT BuildRecordInfo(IUnknown *element, IWebInfo **record) override;

private:
  // The outermost cell between `element` (itself included) and this grid's
  // TABLE; E_FAIL when the element does not lie in the grid.
  HRESULT FindGridCell(IHTMLElement *element, CQilComPtr<IHTMLElement> &cell);
  // Attribute 78: the id of a cell's n-th control of a group; whether it was
  // found is the HRESULT (1 or 0).
  HRESULT InnerControlId(IWebAttrVal *data, IWebAttrVal **ppAttrVal);
  HRESULT PutRecordEntries(IHTMLElement *element, IHTMLElement *cell, IWebInfo *record);
};
